#include "common/STransferDecode.h"

#include <vector>

#include "common/SMimeBase64.h"

namespace {

int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The next line of `text` from `at` without its line end; `next` is past it.
std::string_view LineAt(std::string_view text, std::size_t at, std::size_t& next) {
    std::size_t end = text.find('\n', at);
    next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

}  // namespace

std::string DecodeBase64Text(std::string_view encoded) {
    std::string kept;
    for (char c : encoded)
        if (SMimeBase64::IsBase64Char(c)) kept += c;
    // Padding is put back by length, so a missing or stray "=" does no harm.
    if (kept.size() % 4 == 1) kept.pop_back();
    while (kept.size() % 4) kept += '=';
    std::vector<unsigned char> out(kept.size() / 4 * 3 + 1);
    const int n = SMimeBase64::DecodeBinary(kept.c_str(), out.data(), false);
    return n > 0 ? std::string(reinterpret_cast<const char*>(out.data()), static_cast<std::size_t>(n)) : std::string();
}

std::string DecodeQuotedPrintableText(std::string_view encoded) {
    std::string out;
    std::size_t at = 0;
    while (at < encoded.size()) {
        std::size_t next = 0;
        std::string_view line = LineAt(encoded, at, next);
        const bool last = next >= encoded.size() && (encoded.empty() || encoded.back() != '\n');
        at = next;
        while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
        const bool soft = !line.empty() && line.back() == '=';
        if (soft) line.remove_suffix(1);
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '=' && i + 2 < line.size() && Hex(line[i + 1]) >= 0 && Hex(line[i + 2]) >= 0) {
                out += static_cast<char>(Hex(line[i + 1]) * 16 + Hex(line[i + 2]));
                i += 2;
            } else {
                out += line[i];
            }
        }
        if (!soft && !last) out += "\r\n";
    }
    return out;
}
