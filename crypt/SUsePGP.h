// The bridge to the outside PGP message library: loads the library of the
// configured PGP version (libpgpmsg60.so or libpgpmsg55.so, from the
// program's own folder, then the library path), initialises it, hands it
// files, answers its call-backs, and tells whether a file holds PGP armour.
#pragma once

#include <cstdint>
#include <string>

#include "outside/pgpmsg/PgpMsgApi.h"
#include "platform/DialogService.h"

class SUsePGP {
public:
    enum Operation {
        Encrypt = PGPMSG_OP_ENCRYPT,
        Sign = PGPMSG_OP_SIGN,
        EncryptSign = PGPMSG_OP_ENCRYPT_SIGN,
        DecryptVerify = PGPMSG_OP_DECRYPT_VERIFY,
        AttachKey = PGPMSG_OP_ATTACH_KEY,
    };

    SUsePGP() = default;
    ~SUsePGP() { Close(); }
    SUsePGP(const SUsePGP&) = delete;
    SUsePGP& operator=(const SUsePGP&) = delete;

    // Loads and initialises the library of version (major, minor): 6.0 or
    // 5.50. Another version shows "Illegal Version"; a failed initialisation
    // shows "PGPMsgInit failed(...)."; both in an error box. True at once when
    // that version is already initialised.
    bool Open(int major, int minor, platform::ParentWindow parent = nullptr);
    // Hands `inPath` to the library, which writes `outPath` (Shift_JIS paths).
    // The library's result is kept as LastError; an operation outside 0-4 is
    // refused with 10001.
    bool Perform(platform::ParentWindow owner, int operation, const char* inPath, const char* outPath);
    void Close();

    bool IsOpen() const { return initialised_; }
    std::int32_t LastError() const { return lastError_; }

    // A line of the file begins (any case) with the BEGIN line of a PGP
    // message, a signed message or a signature.
    static bool HoldsPgpMessage(const char* path);
    // A line begins with "-----BEGIN PGP PUBLIC KEY BLOCK-----".
    static bool HoldsPgpKey(const char* path);

    // The file name the program looks for, by version; null for another version.
    static const char* LibraryName(int major, int minor);
    // The call-back given to the library (kinds 0, 1 and 2).
    static std::int32_t CallBack(std::int32_t kind, void* data);

private:
    bool Load(const char* name, platform::ParentWindow parent);

    void* library_ = nullptr;
    PgpMsgInitFunction init_ = nullptr;
    PgpMsgPerformFunction perform_ = nullptr;
    PgpMsgExitFunction exit_ = nullptr;
    bool initialised_ = false;
    int major_ = -1;
    int minor_ = -1;
    std::int32_t lastError_ = 0;
};
