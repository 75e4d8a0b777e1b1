// The MIME header of a message or of one of its parts: MIME-Version,
// Content-Type (type, subtype, charset, name, multipart boundary),
// Content-Transfer-Encoding and Content-Description, read field by field into
// an SMimePart. Whole lines are not decoded (a boundary must stay as it is);
// only names are.
#pragma once

#include <cstdio>
#include <string>

#include "common/SMHUnfoldDecode.h"
#include "common/SMimePart.h"

class SStrTok;

class SAnalizeMimeHeader : public SMHUnfoldDecode {
public:
    SAnalizeMimeHeader();
    ~SAnalizeMimeHeader() override;

    void Init() override;
    // One unfolded field; always true.
    bool Action(const char* field) override;

    // A parameter value: skips blanks and tabs; a value in double quotes runs to
    // the closing quote (false when there is none); otherwise, with `toEnd`, the
    // whole rest, else up to ':', blank, tab, CR or LF. With `decode`, encoded
    // words are decoded to Shift_JIS (the raw value stays when they cannot be).
    static bool GetName(const char* text, std::string& out, bool decode, bool toEnd);
    // Takes parameters from `tokens` until one begins with `key` (letter case
    // ignored), and reads its value with GetName. A decoded value written as
    // encoded words without quotes also takes the encoded words that follow it
    // after a blank: folding splits a long name into several. False when no
    // parameter begins with `key`.
    static bool TakeParam(SStrTok* tokens, const char* key, std::string& out, bool decode = false);

    int VersionMajor() const { return versionMajor_; }
    int VersionMinor() const { return versionMinor_; }
    bool IsVersion1P0() const { return versionMajor_ == 1 && versionMinor_ == 0; }
    const std::string& Boundary() const { return boundary_; }
    const SMimePart& Part() const { return part_; }

protected:
    void AnalizeVersion(const char* value);
    void AnalizeEncoding(SStrTok& tokens);
    void AnalizeDescription(const char* value);
    void AnalizeContentType(SStrTok& tokens);
    void AnalizeTextParams(SStrTok& tokens);

    int versionMajor_ = 0;
    int versionMinor_ = 0;
    std::string boundary_;
    SMimePart part_;
    // The raw values, for the name and boundary forms the token reading misses.
    std::string contentType_;
    std::string disposition_;
    void TakeModernParams();
};

// The same, reading the header from a file.
class SAnalizeMimeHeaderFile : public SAnalizeMimeHeader {
public:
    // Lines of at most 1024 bytes are analysed (the rest of a longer line is
    // read and dropped) until the end of the file, the blank line after the
    // header or, when `end` is not -1, that offset of the file. The stream is
    // left at the first body line. Always true.
    bool AnalizeMimeHeader(FILE* file, long end = -1);
    // The same on the file at `path`; false when it cannot be opened.
    bool AnalizeMimeHeader(const char* path);

    // Offset of the first body line after the last AnalizeMimeHeader.
    long BodyStart() const { return bodyStart_; }

private:
    long bodyStart_ = 0;
};
