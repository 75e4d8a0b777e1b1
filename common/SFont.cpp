#include "common/SFont.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kStoredSize = 96;
constexpr int kFieldCount = 16;

void CopyFaceName(char* dest, const char* src) {
    std::size_t n = strnlen(src, LF_FACESIZE - 1);
    std::memcpy(dest, src, n);
    dest[n] = '\0';
}

}  // namespace

void SFont::SetDefault(SFont* font) {
    LOGFONT& lf = font->logFont;
    std::memset(&lf, 0, sizeof lf);
    lf.lfWeight = 400;
    lf.lfCharSet = 128;  // Shift_JIS
    CopyFaceName(lf.lfFaceName, "Terminal");
    font->colour = 0;
    font->pointSize = 130;
}

bool SFont::ReadFont(const SpProfile& profile, const char* key, SFont* font) const {
    char text[kStoredSize];
    profile.GetString(key, text, sizeof text, "");
    if (!text[0]) return false;

    LOGFONT& lf = font->logFont;
    char* field = text;
    for (int i = 0; i < kFieldCount; ++i) {
        if (!field) return false;  // fewer fields than needed; earlier ones are kept
        char* comma = std::strchr(field, ',');
        if (comma) *comma = '\0';
        long v = std::strtol(field, nullptr, 10);
        switch (i) {
        case 0: font->colour = static_cast<std::uint32_t>(v); break;
        case 1: font->pointSize = static_cast<int>(v); break;
        case 2: lf.lfHeight = static_cast<std::int32_t>(v); break;
        case 3: lf.lfWidth = static_cast<std::int32_t>(v); break;
        case 4: lf.lfEscapement = static_cast<std::int32_t>(v); break;
        case 5: lf.lfOrientation = static_cast<std::int32_t>(v); break;
        case 6: lf.lfWeight = static_cast<std::int32_t>(v); break;
        case 7: lf.lfItalic = static_cast<std::uint8_t>(v); break;
        case 8: lf.lfUnderline = static_cast<std::uint8_t>(v); break;
        case 9: lf.lfStrikeOut = static_cast<std::uint8_t>(v); break;
        case 10: lf.lfCharSet = static_cast<std::uint8_t>(v); break;
        case 11: lf.lfOutPrecision = static_cast<std::uint8_t>(v); break;
        case 12: lf.lfClipPrecision = static_cast<std::uint8_t>(v); break;
        case 13: lf.lfQuality = static_cast<std::uint8_t>(v); break;
        case 14: lf.lfPitchAndFamily = static_cast<std::uint8_t>(v); break;
        case 15: CopyFaceName(lf.lfFaceName, field); break;
        }
        field = comma ? comma + 1 : nullptr;
    }
    return true;
}

bool SFont::WriteFont(const SpProfile& profile, const char* key, const SFont& font) const {
    const LOGFONT& lf = font.logFont;
    if (!lf.lfFaceName[0]) return true;
    char text[kStoredSize * 3];  // room for any field values; real fonts take far less
    std::snprintf(text, sizeof text, "%ld,%d,%ld,%ld,%ld,%ld,%ld,%d,%d,%d,%d,%d,%d,%d,%d,%s",
                  static_cast<long>(font.colour), font.pointSize, static_cast<long>(lf.lfHeight),
                  static_cast<long>(lf.lfWidth), static_cast<long>(lf.lfEscapement),
                  static_cast<long>(lf.lfOrientation), static_cast<long>(lf.lfWeight), lf.lfItalic, lf.lfUnderline,
                  lf.lfStrikeOut, lf.lfCharSet, lf.lfOutPrecision, lf.lfClipPrecision, lf.lfQuality,
                  lf.lfPitchAndFamily, lf.lfFaceName);
    return profile.WriteString(key, text);
}

bool SFont::operator==(const SFont& other) const {
    const LOGFONT& a = logFont;
    const LOGFONT& b = other.logFont;
    return colour == other.colour && pointSize == other.pointSize && a.lfHeight == b.lfHeight &&
           a.lfWidth == b.lfWidth && a.lfEscapement == b.lfEscapement && a.lfOrientation == b.lfOrientation &&
           a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic && a.lfUnderline == b.lfUnderline &&
           a.lfStrikeOut == b.lfStrikeOut && a.lfCharSet == b.lfCharSet && a.lfOutPrecision == b.lfOutPrecision &&
           a.lfClipPrecision == b.lfClipPrecision && a.lfQuality == b.lfQuality &&
           a.lfPitchAndFamily == b.lfPitchAndFamily && std::strcmp(a.lfFaceName, b.lfFaceName) == 0;
}
