#include "crypt/MailFileNames.h"

#include <cstring>

#include "common/MbChar.h"
#include "common/SCheckWindowsFileName.h"

namespace {

// The start of the last path component: after the last '/' or '\' that is a
// character of its own.
const char* LastComponent(const char* text) {
    const char* start = text;
    for (const char* p = text; *p;) {
        const std::size_t len = MbCharLen(p);
        if (len == 1 && (*p == '/' || *p == '\\')) start = p + 1;
        p += len;
    }
    return start;
}

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool IsSecondByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

}  // namespace

std::string PlainFileNameFromMail(const std::string& name, const char* fallback) {
    // A NUL inside ends the name, as it would for the file system.
    const std::string text(name.c_str());
    std::string out;
    for (const char* p = LastComponent(text.c_str()); *p;) {
        const std::size_t len = MbCharLen(p);
        const unsigned char c = static_cast<unsigned char>(*p);
        // A first byte without its second one is dropped alone.
        if (IsKanji1(c) && (len == 1 || !IsSecondByte(static_cast<unsigned char>(p[1])))) {
            ++p;
            continue;
        }
        if (len == 1 && IsControl(c)) {
            ++p;
            continue;
        }
        if (out.size() + len > kMaxMailFileName) break;
        if (len == 1 && MbCharInSet(p, 1, SCheckWindowsFileName::BadChars()))
            out += '_';
        else
            out.append(p, len);
        p += len;
    }
    std::size_t lead = 0;
    while (lead < out.size() && (out[lead] == '.' || out[lead] == ' ')) ++lead;
    out.erase(0, lead);
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out.empty() ? std::string(fallback ? fallback : "") : out;
}
