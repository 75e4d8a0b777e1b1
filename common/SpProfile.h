// Access to one section of one INI settings file. Every setting of Qim goes
// through this class or a subclass. All traffic reaches the file through the two
// primitive operations (the buffer form of GetString and the const char* form of
// WriteString), so a subclass that overrides those two redirects everything.
#pragma once

#include <string>

constexpr int kProfilePathSize = 261;

// Copies `programPath` to `dest` and replaces everything from its last "." on
// with ".INI" (".INI" is appended when there is no dot). Returns `dest`.
char* MakeINIPathFromArgv0(char* dest, const char* programPath);

class SpProfile {
public:
    SpProfile(const char* section, const char* fileName);
    virtual ~SpProfile() = default;

    void SetFilename(const char* fileName);
    void SetFilenameByArgv0(const char* programPath);
    const char* Filename() const { return fileName_; }
    const char* Section() const { return section_; }

    // True when the text read differs from the default (ASCII case ignored):
    // a missing key and a key equal to the default both give false, with the
    // default in the buffer.
    virtual bool GetString(const char* key, char* buffer, int size, const char* def) const;
    virtual bool GetString(const char* key, std::string& out, int size, const char* def) const;
    virtual int GetInt(const char* key, int def) const;
    virtual bool GetBinary(const char* key, void* data, int length) const;
    virtual bool WriteString(const char* key, const char* value) const;
    virtual bool WriteString(const char* key, const std::string& value) const;
    // Stores the value between double quotes, so blanks at its ends survive.
    virtual bool WriteStringDQ(const char* key, const std::string& value) const;
    virtual bool WriteInt(const char* key, int value) const;
    // Upper-case hex, two characters per byte, high nibble first.
    virtual bool WriteBinary(const char* key, const void* data, int length) const;
    virtual bool DeleteKey(const char* key) const;

protected:
    char fileName_[kProfilePathSize] = {};
    char section_[kProfilePathSize] = {};
};
