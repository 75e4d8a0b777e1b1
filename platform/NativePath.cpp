#include "platform/NativePath.h"

#include <cstring>

#include "platform/CodePage.h"

namespace platform {
namespace {

bool IsPlainAscii(const char* s) {
    for (; *s; ++s) {
        if (static_cast<unsigned char>(*s) >= 0x80) return false;
    }
    return true;
}

}  // namespace

bool ToNativePath(const char* sjisPath, std::string& native) {
    if (!sjisPath) return false;
    if (IsPlainAscii(sjisPath)) {
        native.assign(sjisPath);
        return true;
    }
    return static_cast<bool>(Cp932ToUtf8(std::string_view(sjisPath, std::strlen(sjisPath)), native));
}

bool FromNativePath(const char* nativePath, std::string& sjis) {
    if (!nativePath) return false;
    if (IsPlainAscii(nativePath)) {
        sjis.assign(nativePath);
        return true;
    }
    return static_cast<bool>(Utf8ToCp932(std::string_view(nativePath, std::strlen(nativePath)), sjis));
}

}  // namespace platform
