#include "common/TextTools.h"
#include "common/STransferDecode.h"

#include <vector>

#include "common/SMimeBase64.h"

namespace {



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
            if (line[i] == '=' && i + 2 < line.size() && HexDigitValue(line[i + 1]) >= 0 &&
                HexDigitValue(line[i + 2]) >= 0) {
                out += static_cast<char>(HexDigitValue(line[i + 1]) * 16 + HexDigitValue(line[i + 2]));
                i += 2;
            } else {
                out += line[i];
            }
        }
        if (!soft && !last) out += "\r\n";
    }
    return out;
}
