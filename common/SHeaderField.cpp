#include "common/SHeaderField.h"

#include <cstring>

#include "common/JString.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

const char* HeaderFieldBody(const char* field, const char* name) {
    if (!field || !name) return nullptr;
    std::size_t n = std::strlen(name);
    while (n > 0 && IsBlank(name[n - 1])) --n;
    if (n > 0 && name[n - 1] == ':') --n;
    if (n == 0 || jstrnaicmp(field, name, static_cast<int>(n)) != 0) return nullptr;
    const char* p = field + n;
    while (IsBlank(*p)) ++p;
    return *p == ':' ? p + 1 : nullptr;
}

const char* HeaderFieldValue(const char* field, const char* name) {
    const char* p = HeaderFieldBody(field, name);
    if (p) {
        while (IsBlank(*p)) ++p;
    }
    return p;
}

bool HeaderFieldText(const char* field, const char* name, std::string& value) {
    const char* p = HeaderFieldValue(field, name);
    if (!p) return false;
    value.assign(p, std::strcspn(p, "\r\n"));
    return true;
}
