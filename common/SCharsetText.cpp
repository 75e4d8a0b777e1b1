#include "common/SCharsetText.h"

#include <cctype>
#include <vector>

#include "common/JapaneseCodes.h"
#include "platform/CodePage.h"

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool IsAscii(std::string_view bytes) {
    for (char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

bool HasJisEscape(std::string_view bytes) {
    for (std::size_t i = 0; i + 2 < bytes.size(); ++i)
        if (bytes[i] == '\x1b' && (bytes[i + 1] == '$' || bytes[i + 1] == '(')) return true;
    return false;
}

bool IsSjisLabel(const std::string& name) {
    return name == "shift_jis" || name == "shift-jis" || name == "sjis" || name == "x-sjis" || name == "cp932" ||
           name == "windows-31j" || name == "ms_kanji";
}

// JIS (and what is stored already as Shift_JIS) to Shift_JIS.
std::string JisToSjis(std::string_view bytes) {
    std::string sjis(bytes.size() + 1, '\0');
    const int n = Jis2SjisBytes(sjis.data(), reinterpret_cast<const unsigned char*>(bytes.data()),
                                static_cast<int>(bytes.size()));
    sjis.resize(static_cast<std::size_t>(n));
    return sjis;
}

bool IsValidCp932(std::string_view bytes) {
    std::string ignored;
    return static_cast<bool>(platform::Cp932ToUtf8(bytes, ignored));
}

std::string GuessToUtf8(std::string_view bytes) {
    // JIS is 7-bit and so valid UTF-8 too: its escapes decide first.
    if (HasJisEscape(bytes)) return platform::Cp932ToUtf8Lossy(JisToSjis(bytes));
    if (platform::IsValidUtf8(bytes)) return std::string(bytes);
    std::string utf8;
    if (platform::Cp932ToUtf8(bytes, utf8)) return utf8;
    platform::CharsetToUtf8("windows-1252", bytes, utf8);
    return utf8;
}

}  // namespace

bool IsJisCharset(std::string_view charset) {
    // Compared where it stands, without a lower-case copy.
    static constexpr std::string_view kJis = "iso-2022-jp";
    if (charset.size() < kJis.size()) return false;
    for (std::size_t i = 0; i < kJis.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(charset[i])) != kJis[i]) return false;
    }
    return true;
}

std::string TextToUtf8(std::string_view charset, std::string_view bytes) {
    if (IsAscii(bytes) && !HasJisEscape(bytes)) return std::string(bytes);
    const std::string name = Lower(charset);
    if (IsJisCharset(name) || name.empty() || name == "us-ascii") {
        // Stored JIS is Shift_JIS by now; raw 8-bit text under these labels is a guess.
        const std::string sjis = JisToSjis(bytes);
        if (IsJisCharset(name) && IsValidCp932(sjis)) return platform::Cp932ToUtf8Lossy(sjis);
        return GuessToUtf8(bytes);
    }
    std::string utf8;
    if (platform::CharsetToUtf8(name, bytes, utf8)) return utf8;
    return GuessToUtf8(bytes);
}

std::string TextToSjis(std::string_view charset, std::string_view bytes) {
    if (IsAscii(bytes) && !HasJisEscape(bytes)) return std::string(bytes);
    const std::string name = Lower(charset);
    // Shift_JIS needs no way through Unicode (and keeps what has no Unicode form).
    if (IsSjisLabel(name) && IsValidCp932(bytes)) return std::string(bytes);
    if (IsJisCharset(name)) {
        // 7-bit JIS gives Shift_JIS by construction; 8-bit bytes under this
        // label are checked (they may be a lie).
        const std::string sjis = JisToSjis(bytes);
        if (IsAscii(bytes) || IsValidCp932(sjis)) return sjis;
    }
    return platform::Utf8ToCp932Lossy(TextToUtf8(charset, bytes));
}
