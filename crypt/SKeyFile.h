// The key file "KeyFileB.cip" in the home directory: one 89-byte record per
// address, 88 bytes of cipher text (key, second key field, address) and a
// check byte, the sum of the 88 plain bytes. The file is encrypted with the
// key of its lock method (SKeyFileSettings) and carries the read-only and
// hidden attributes between writes.
#pragma once

#include <string>
#include <vector>

#include "crypt/CryptCodes.h"
#include "crypt/SLoki91.h"

struct SKeyRecord {
    unsigned char key[kLokiKeySize] = {};
    // Kept as it is read; new records have zero bytes here.
    unsigned char key2[kLokiKeySize] = {};
    // Zero-padded; a 72-byte address has no terminating zero.
    char address[qimcrypt::KeyAddressSize] = {};

    std::string Address() const;
    // The first 72 bytes of the text, zero bytes after a shorter one.
    void SetAddress(const std::string& text);
    // Compared over all 72 bytes of the stored form.
    bool HasAddress(const std::string& text) const;
};

enum class SKeyFileStatus {
    Ok,
    CannotOpen,   // "鍵管理ファイルを開くことが出来ません。"
    CannotRead,   // a read error or a record cut short
    WrongKey,     // a check byte does not fit: wrong key or a damaged file
    CannotWrite,
};

// The common library's message for a status (0 for Ok).
unsigned KeyFileMessageId(SKeyFileStatus status);

class SKeyFile {
public:
    // The key file of the home directory.
    static std::string DefaultPath();

    explicit SKeyFile(std::string path = DefaultPath()) : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }
    bool Exists() const;

    SKeyFileStatus Read(const unsigned char fileKey[kLokiKeySize], std::vector<SKeyRecord>& records) const;
    // The first record of `address`; `found` tells whether there is one.
    SKeyFileStatus Find(const unsigned char fileKey[kLokiKeySize], const std::string& address, SKeyRecord& record,
                        bool& found) const;
    // Replaces the whole file at once (owner-only permissions), then sets the
    // read-only and hidden attributes again.
    SKeyFileStatus Write(const unsigned char fileKey[kLokiKeySize], const std::vector<SKeyRecord>& records) const;

    // One record to its 89 stored bytes and back; false when the check byte does not fit.
    static void Seal(const SLoki91& cipher, const SKeyRecord& record, unsigned char out[qimcrypt::KeyRecordSize]);
    static bool Open(const SLoki91& cipher, const unsigned char in[qimcrypt::KeyRecordSize], SKeyRecord& record);

private:
    // Calls `take` for each record until it returns false.
    template <class Take>
    SKeyFileStatus Scan(const unsigned char fileKey[kLokiKeySize], Take take) const;

    std::string path_;
};
