// What a mail's header says about the program's own encryption: the version
// ("X-Qim-Crypt-Version: 0.1"), the option ("X-Qim-Crypt-Option") and the
// sender's address (From).
#pragma once

#include <cstdint>
#include <string>

class SCryptMailHeader {
public:
    std::int32_t major = 0;
    std::int32_t minor = 0;
    std::int32_t option;
    // The bare address of From ("a@b" of "Name <a@b>").
    std::string from;

    SCryptMailHeader();

    // Reads the header lines up to the first empty line (in pieces of qimcrypt::HeaderLineSize
    // bytes; the rest of a longer line is passed over). False when the file cannot be opened.
    bool Read(const char* path);
    // Takes one header line (without its line end).
    void TakeLine(const char* line);

    // The header says the mail is encrypted.
    bool IsValid() const { return (major >= 1 || minor >= 1) && option >= 0; }
    // The one version and option this program decrypts.
    bool IsSupported() const;
};

// "Name <a@b>", "a@b (Name)" or "a@b" -> "a@b"; empty when no address is there.
std::string BareAddress(const std::string& field);
