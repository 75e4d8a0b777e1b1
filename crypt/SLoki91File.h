// File-to-file encryption with SLoki91 in chunks of qimcrypt::FileChunk (4000) bytes, each chunk
// encrypted block by block. Two chunk buffers are kept for the object's life.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "crypt/CryptCodes.h"
#include "crypt/SLoki91.h"

class SCryptProgress;

class SLoki91File : public SLoki91 {
public:
    SLoki91File();
    explicit SLoki91File(const unsigned char key[kLokiKeySize]);

    // The gauge to advance (null: none); the caption for the next file work.
    void SetProgress(SCryptProgress* progress, std::string caption);

    // The output is created or truncated. On failure it is removed again, so
    // no half-written file is left behind.
    bool EncryptFile(const char* inPath, const char* outPath);
    // Only the last chunk of the file loses its filling: a zero byte inside
    // an earlier chunk is data. Fails when the input is not a whole number of
    // blocks. With `append` the plain text goes after what the output holds
    // (cut back to that length on failure). `written` gets the plain length.
    bool DecryptFile(const char* inPath, const char* outPath, bool append = false, std::uint64_t* written = nullptr);

private:
    struct Files;
    void BeginProgress(const char* inPath);
    void EndProgress();

    std::unique_ptr<unsigned char[]> in_;
    std::unique_ptr<unsigned char[]> next_;
    SCryptProgress* progress_ = nullptr;
    std::string caption_;
};
