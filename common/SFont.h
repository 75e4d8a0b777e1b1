// A font choice with its colour and point size, stored in one settings value
// "colour,pointsize,height,width,...,face name".
#pragma once

#include <cstdint>

#include "common/SpProfile.h"

constexpr int LF_FACESIZE = 32;

// The font description in its usual Windows field order.
struct LOGFONT {
    std::int32_t lfHeight;
    std::int32_t lfWidth;
    std::int32_t lfEscapement;
    std::int32_t lfOrientation;
    std::int32_t lfWeight;
    std::uint8_t lfItalic;
    std::uint8_t lfUnderline;
    std::uint8_t lfStrikeOut;
    std::uint8_t lfCharSet;
    std::uint8_t lfOutPrecision;
    std::uint8_t lfClipPrecision;
    std::uint8_t lfQuality;
    std::uint8_t lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];
};

class SFont {
public:
    SFont() { SetDefault(this); }
    virtual ~SFont() = default;

    LOGFONT logFont;
    std::uint32_t colour;  // RGB of the text
    int pointSize;         // tenths of a point

    static void SetDefault(SFont* font);

    // The object supplies only the stored form; the font is passed explicitly.
    // False when the key is missing or empty or has fewer than 16 fields.
    virtual bool ReadFont(const SpProfile& profile, const char* key, SFont* font) const;
    // Writes nothing (and succeeds) when the face name is empty.
    virtual bool WriteFont(const SpProfile& profile, const char* key, const SFont& font) const;

    bool operator==(const SFont& other) const;
    bool operator!=(const SFont& other) const { return !(*this == other); }
};
