#include "imap/SIniFileNames.h"

#include <strings.h>

#include <algorithm>
#include <cstring>

#include "address/AddressCodes.h"
#include "address/SAliasExpand.h"
#include "common/JapaneseCodes.h"
#include "common/SCheckWindowsFileName.h"
#include "config/QimSettingKeys.h"
#include "crypt/CryptCodes.h"
#include "imap/SQimPMemCacheFolder.h"
#include "platform/PrivateProfile.h"
#include "store/QimStoreCodes.h"

namespace {

// Longest name a settings file may have (bytes).
constexpr std::size_t kMaxSettingsName = 200;
// ALIAS.INI's lists of sections and keys are read into buffers of at most this size.
constexpr unsigned kMaxNameList = 1u << 20;

bool IsSecondByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The names of the sections (`section` null) or of the keys of one section.
std::vector<std::string> NameList(const char* section, const char* file) {
    for (unsigned size = 4096;; size *= 2) {
        std::vector<char> buffer(size);
        const unsigned n = platform::GetPrivateProfileString(section, nullptr, "", buffer.data(), size, file);
        // A list cut short returns size-2; read it again into more room.
        if (n == size - 2 && size < kMaxNameList) continue;
        std::vector<std::string> names;
        for (unsigned i = 0; i < n && buffer[i];) {
            names.emplace_back(&buffer[i]);
            i += static_cast<unsigned>(names.back().size()) + 1;
        }
        return names;
    }
}

// "Address" followed by the entry's index.
bool IsAddressKey(const std::string& key) {
    constexpr std::size_t kLength = 7;
    return key.size() > kLength && strncasecmp(key.c_str(), "Address", kLength) == 0 && AllDigits(key.substr(kLength));
}

void AddOnce(std::vector<std::string>& list, const std::string& name) {
    if (std::find(list.begin(), list.end(), name) == list.end()) list.push_back(name);
}

}  // namespace

bool IsPlainFileName(const std::string& name) {
    if (name.empty() || name.size() > kMaxSettingsName || name.size() != std::strlen(name.c_str())) return false;
    if (name.front() == '.' || name.back() == '.' || name.back() == ' ') return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsKanji1(c)) {
            if (i + 1 >= name.size() || !IsSecondByte(static_cast<unsigned char>(name[i + 1]))) return false;
            ++i;
            continue;
        }
        if (c < 0x20 || c == 0x7F) return false;
    }
    return !SCheckWindowsFileName::DoesContainBadChars(name.c_str());
}

bool IsTemplateFileName(const std::string& name) {
    // The form TemplateFilePath writes: the unsigned decimal hash between the two.
    constexpr std::size_t kPrefix = 3, kSuffix = 4;
    if (name.size() <= kPrefix + kSuffix || name.size() > kPrefix + 10 + kSuffix) return false;
    if (name.compare(0, kPrefix, "Qim") != 0) return false;
    const std::string suffix = name.substr(name.size() - kSuffix);
    if (suffix != ".thd" && suffix != ".ttl") return false;
    return AllDigits(name.substr(kPrefix, name.size() - kPrefix - kSuffix));
}

bool IsReservedHomeName(const std::string& name) {
    if (AllDigits(name)) return true;
    static const char* const kReserved[] = {
        qimstore::kCacheFileName, qimimap::kMarkSizeFileName, "PFolders.TXT", qimini::CertificatePinFile,
        qimini::QimIni,           qimini::ConfigIni,          qimini::AliasIni, qimcrypt::KeyFileName,
    };
    for (const char* reserved : kReserved)
        if (strcasecmp(name.c_str(), reserved) == 0) return true;
    return false;
}

void AliasListFiles(const std::string& aliasIniPath, std::vector<std::string>& plain,
                    std::vector<std::string>& inFolders) {
    const char* file = aliasIniPath.c_str();
    for (const std::string& section : NameList(nullptr, file)) {
        for (const std::string& key : NameList(section.c_str(), file)) {
            if (!IsAddressKey(key)) continue;
            char value[qimaddr::kAddressBuffer];
            platform::GetPrivateProfileString(section.c_str(), key.c_str(), "", value, sizeof value, file);
            // "\\x" stands for the address "\x", not for a file.
            if (value[0] != '\\' || value[1] == '\\') continue;
            std::string name;
            if (!AliasListFilePath(value, std::string(), name)) continue;
            AddOnce(name.find('/') == std::string::npos ? plain : inFolders, name);
        }
    }
}
