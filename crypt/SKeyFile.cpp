#include "crypt/SKeyFile.h"

#include <cstdio>
#include <cstring>

#include "config/QimGlobals.h"
#include "common/CmmnStringIds.h"
#include "common/FilePath.h"
#include "common/TextTools.h"
#include "platform/AtomicFile.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace {

constexpr unsigned kOwnerOnly = 0600;

unsigned char CheckByte(const unsigned char* plain) {
    unsigned sum = 0;
    for (int i = 0; i < qimcrypt::KeyRecordPlain; ++i) sum += plain[i];
    return static_cast<unsigned char>(sum & 0xFF);
}

}  // namespace

std::string SKeyRecord::Address() const { return std::string(address, strnlen(address, sizeof address)); }

void SKeyRecord::SetAddress(const std::string& text) {
    std::memset(address, 0, sizeof address);
    std::memcpy(address, text.data(), text.size() < sizeof address ? text.size() : sizeof address);
}

bool SKeyRecord::HasAddress(const std::string& text) const {
    SKeyRecord other;
    other.SetAddress(text);
    return std::memcmp(address, other.address, sizeof address) == 0;
}

unsigned KeyFileMessageId(SKeyFileStatus status) {
    switch (status) {
    case SKeyFileStatus::Ok: return 0;
    case SKeyFileStatus::CannotOpen: return cmmnstr::CannotOpenKeyFile;
    case SKeyFileStatus::CannotRead: return cmmnstr::CannotReadKeyFile;
    case SKeyFileStatus::WrongKey: return cmmnstr::KeyFileKeyWrong;
    case SKeyFileStatus::CannotWrite: return cmmnstr::CannotWriteKeyFile;
    }
    return 0;
}

std::string SKeyFile::DefaultPath() {
    std::string path;
    MergeFilePath(path, GetQimHome(), qimcrypt::KeyFileName);
    return path;
}

bool SKeyFile::Exists() const { return platform::PathExists(path_.c_str()); }

void SKeyFile::Seal(const SLoki91& cipher, const SKeyRecord& record, unsigned char out[qimcrypt::KeyRecordSize]) {
    unsigned char* p = out;
    std::memcpy(p, record.key, kLokiKeySize);
    std::memcpy(p + kLokiKeySize, record.key2, kLokiKeySize);
    std::memcpy(p + 2 * kLokiKeySize, record.address, qimcrypt::KeyAddressSize);
    out[qimcrypt::KeyRecordPlain] = CheckByte(out);
    for (int i = 0; i < qimcrypt::KeyRecordPlain; i += kLokiBlockSize) cipher.EncryptBlock(out + i);
}

bool SKeyFile::Open(const SLoki91& cipher, const unsigned char in[qimcrypt::KeyRecordSize], SKeyRecord& record) {
    unsigned char plain[qimcrypt::KeyRecordPlain];
    std::memcpy(plain, in, sizeof plain);
    for (int i = 0; i < qimcrypt::KeyRecordPlain; i += kLokiBlockSize) cipher.DecryptBlock(plain + i);
    if (CheckByte(plain) != in[qimcrypt::KeyRecordPlain]) return false;
    std::memcpy(record.key, plain, kLokiKeySize);
    std::memcpy(record.key2, plain + kLokiKeySize, kLokiKeySize);
    std::memcpy(record.address, plain + 2 * kLokiKeySize, qimcrypt::KeyAddressSize);
    return true;
}

template <class Take>
SKeyFileStatus SKeyFile::Scan(const unsigned char fileKey[kLokiKeySize], Take take) const {
    FILE* fp = platform::OpenFile(path_.c_str(), "r");
    if (!fp) return SKeyFileStatus::CannotOpen;
    const SLoki91 cipher(fileKey);
    unsigned char stored[qimcrypt::KeyRecordSize];
    SKeyFileStatus status = SKeyFileStatus::Ok;
    for (;;) {
        const std::size_t n = std::fread(stored, 1, sizeof stored, fp);
        if (n == 0 && !std::ferror(fp)) break;
        if (n < sizeof stored) {
            status = SKeyFileStatus::CannotRead;
            break;
        }
        SKeyRecord record;
        if (!Open(cipher, stored, record)) {
            status = SKeyFileStatus::WrongKey;
            break;
        }
        if (!take(record)) break;
    }
    std::fclose(fp);
    return status;
}

SKeyFileStatus SKeyFile::Read(const unsigned char fileKey[kLokiKeySize], std::vector<SKeyRecord>& records) const {
    records.clear();
    const SKeyFileStatus status = Scan(fileKey, [&records](const SKeyRecord& r) {
        records.push_back(r);
        return true;
    });
    if (status != SKeyFileStatus::Ok) records.clear();
    return status;
}

SKeyFileStatus SKeyFile::Find(const unsigned char fileKey[kLokiKeySize], const std::string& address,
                              SKeyRecord& record, bool& found) const {
    found = false;
    return Scan(fileKey, [&](const SKeyRecord& r) {
        if (!r.HasAddress(address)) return true;
        record = r;
        found = true;
        return false;
    });
}

SKeyFileStatus SKeyFile::Write(const unsigned char fileKey[kLokiKeySize], const std::vector<SKeyRecord>& records) const {
    const SLoki91 cipher(fileKey);
    std::string data(records.size() * qimcrypt::KeyRecordSize, '\0');
    for (std::size_t i = 0; i < records.size(); ++i)
        Seal(cipher, records[i], reinterpret_cast<unsigned char*>(data.data()) + i * qimcrypt::KeyRecordSize);
    if (Exists()) platform::SetFileAttributes(path_.c_str(), platform::FILE_ATTRIBUTE_NORMAL);
    const bool ok = platform::ReplaceFileContents(path_.c_str(), data, kOwnerOnly);
    if (platform::PathExists(path_.c_str()))
        platform::SetFileAttributes(path_.c_str(), platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN);
    return ok ? SKeyFileStatus::Ok : SKeyFileStatus::CannotWrite;
}
