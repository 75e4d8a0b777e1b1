#include "crypt/SCryptMailHeader.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "common/SHeaderField.h"
#include "crypt/CryptCodes.h"
#include "platform/TextFile.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A decimal number of at most 9 digits after an optional sign; the rest of
// a longer number is passed over, so a hostile value cannot overflow.
std::int32_t ReadNumber(const char*& p) {
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    std::int32_t value = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        if (digits++ < 9) value = value * 10 + (*p - '0');
    return negative ? -value : value;
}

}  // namespace

std::string BareAddress(const std::string& field) {
    const std::size_t open = field.find('<');
    if (open != std::string::npos) {
        const std::size_t close = field.find('>', open + 1);
        if (close != std::string::npos) return field.substr(open + 1, close - open - 1);
    }
    // The first word that holds an at sign, else the first word.
    std::string first;
    std::size_t pos = 0;
    while (pos < field.size()) {
        while (pos < field.size() && (IsBlank(field[pos]) || field[pos] == ',')) ++pos;
        if (pos < field.size() && field[pos] == '(') {
            const std::size_t close = field.find(')', pos);
            pos = close == std::string::npos ? field.size() : close + 1;
            continue;
        }
        std::size_t end = pos;
        while (end < field.size() && !IsBlank(field[end]) && field[end] != ',' && field[end] != '(') ++end;
        std::string word = field.substr(pos, end - pos);
        if (word.find('@') != std::string::npos) return word;
        if (first.empty()) first = word;
        pos = end;
    }
    return first;
}

SCryptMailHeader::SCryptMailHeader() : option(qimcrypt::OptionDefault) {}

bool SCryptMailHeader::IsSupported() const {
    return major == qimcrypt::VersionMajor && minor == qimcrypt::VersionMinor && option == qimcrypt::OptionLoki91;
}

void SCryptMailHeader::TakeLine(const char* line) {
    if (const char* v = HeaderFieldValue(line, qimcrypt::VersionField)) {
        major = ReadNumber(v);
        minor = 0;
        if (*v == '.') {
            ++v;
            minor = ReadNumber(v);
        }
    } else if (const char* o = HeaderFieldValue(line, qimcrypt::OptionField)) {
        option = (*o == '-' || *o == '+' || (*o >= '0' && *o <= '9')) ? ReadNumber(o) : 0;
    } else if (const char* f = HeaderFieldValue(line, qimcrypt::FromField)) {
        from = BareAddress(f);
    }
}

bool SCryptMailHeader::Read(const char* path) {
    *this = SCryptMailHeader();
    platform::TextFile file;
    if (!file.Open(path, "r")) return false;
    char line[qimcrypt::HeaderLineSize];
    while (file.Gets(line, sizeof line)) {
        std::size_t len = std::strlen(line);
        const bool whole = len > 0 && line[len - 1] == '\n';
        if (whole) line[--len] = '\0';
        else {
            // Pass over the rest of a long line.
            int c;
            while ((c = file.Getc()) != EOF && c != '\n') {
            }
        }
        if (len == 0 && whole) break;
        TakeLine(line);
    }
    return true;
}
