// Blanks and tabs around an address-book text, which a typed field or a From
// field brings along.
#pragma once

#include <string>

inline std::string TrimBlanks(const std::string& text) {
    const std::size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    const std::size_t e = text.find_last_not_of(" \t");
    return text.substr(b, e - b + 1);
}
