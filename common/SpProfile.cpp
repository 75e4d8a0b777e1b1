#include "common/SpProfile.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "common/JString.h"
#include "platform/PrivateProfile.h"

namespace {

void CopyBounded(char* dest, const char* src, std::size_t size) {
    std::size_t n = std::strlen(src);
    if (n >= size) n = size - 1;
    std::memcpy(dest, src, n);
    dest[n] = '\0';
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

}  // namespace

char* MakeINIPathFromArgv0(char* dest, const char* programPath) {
    std::strcpy(dest, programPath);
    char* dot = std::strrchr(dest, '.');
    std::strcpy(dot ? dot : dest + std::strlen(dest), ".INI");
    return dest;
}

SpProfile::SpProfile(const char* section, const char* fileName) {
    CopyBounded(section_, section ? section : "", sizeof section_);
    SetFilename(fileName);
}

void SpProfile::SetFilename(const char* fileName) {
    if (fileName) CopyBounded(fileName_, fileName, sizeof fileName_);
}

void SpProfile::SetFilenameByArgv0(const char* programPath) {
    // Room for the path and a ".INI" that may be appended.
    std::vector<char> path(std::strlen(programPath) + 5);
    SetFilename(MakeINIPathFromArgv0(path.data(), programPath));
}

bool SpProfile::GetString(const char* key, char* buffer, int size, const char* def) const {
    if (!buffer || size <= 0) return false;
    const char* fallback = def ? def : "";
    platform::GetPrivateProfileString(section_, key, fallback, buffer, static_cast<unsigned>(size), fileName_);
    return jstraicmp(buffer, fallback) != 0;
}

bool SpProfile::GetString(const char* key, std::string& out, int size, const char* def) const {
    char* buffer = size > 0 ? new (std::nothrow) char[static_cast<std::size_t>(size)] : nullptr;
    if (!buffer) {
        out = def ? def : "";
        return false;
    }
    bool result = GetString(key, buffer, size, def);
    out = buffer;
    delete[] buffer;
    return result;
}

int SpProfile::GetInt(const char* key, int def) const {
    return platform::GetPrivateProfileInt(section_, key, def, fileName_);
}

bool SpProfile::GetBinary(const char* key, void* data, int length) const {
    if (length <= 0) return false;
    std::vector<char> text(2 * static_cast<std::size_t>(length) + 1, '\0');
    bool found = GetString(key, text.data(), static_cast<int>(text.size()), "");
    if (found) {
        unsigned char* out = static_cast<unsigned char*>(data);
        for (int i = 0; i < length; ++i)
            out[i] = static_cast<unsigned char>((HexValue(text[2 * i]) << 4) | HexValue(text[2 * i + 1]));
    }
    return found;
}

bool SpProfile::WriteString(const char* key, const char* value) const {
    return platform::WritePrivateProfileString(section_, key, value, fileName_);
}

bool SpProfile::WriteString(const char* key, const std::string& value) const {
    return WriteString(key, value.c_str());
}

bool SpProfile::WriteStringDQ(const char* key, const std::string& value) const {
    return WriteString(key, ("\"" + value + "\"").c_str());
}

bool SpProfile::WriteInt(const char* key, int value) const {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return WriteString(key, text);
}

bool SpProfile::WriteBinary(const char* key, const void* data, int length) const {
    if (length < 0) return false;
    static const char kDigits[] = "0123456789ABCDEF";
    const unsigned char* in = static_cast<const unsigned char*>(data);
    std::string text(2 * static_cast<std::size_t>(length), '0');
    for (int i = 0; i < length; ++i) {
        text[2 * i] = kDigits[in[i] >> 4];
        text[2 * i + 1] = kDigits[in[i] & 0x0F];
    }
    return WriteString(key, text.c_str());
}

bool SpProfile::DeleteKey(const char* key) const { return WriteString(key, static_cast<const char*>(nullptr)); }
