// Mail-level encryption: the header stays in clear (with the given extra
// header lines), the body becomes base64 text of its cipher text; and back.
// Temporary files are made in the given folder (the program's temporary
// folder when none is given) and always deleted.
#pragma once

#include <string>

#include "crypt/SLoki91File.h"

class SLoki91Mime : public SLoki91File {
public:
    enum class Error {
        None,
        OpenInput,   // the mail cannot be read
        OpenOutput,  // the output cannot be written
        TempFile,    // no temporary file could be made or written
        Data,        // the body is no whole cipher text (bad base64, cut short)
        Empty,       // nothing came out of the decryption
        WrongKey,    // what came out is no mail text: a wrong key (or a damaged body)
    };

    explicit SLoki91Mime(const unsigned char key[kLokiKeySize], std::string tempDir = std::string());

    // Copies the header lines up to the first empty line, writes `extraHeader`
    // (lines ending in LF) and an empty line, then the body encrypted and in
    // base64. Header lines of the field `extraHeader` names are not copied, so
    // the mail carries that field once. The output is removed on failure.
    bool EncryptMail(const char* inPath, const char* outPath, const char* extraHeader);
    // Copies the header lines and an empty line, then the body decoded from
    // base64 and decrypted. True when at least one byte came out and it is
    // text: the cipher has no check of its own, so control bytes that no mail
    // text holds are taken as the sign of a wrong key. (A body of a block or
    // two decrypted with a wrong key can still pass as text.)
    bool DecryptMail(const char* inPath, const char* outPath);

    Error LastError() const { return error_; }

private:
    bool Fail(Error error);

    std::string tempDir_;
    Error error_ = Error::None;
};
