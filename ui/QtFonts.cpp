#include "ui/QtFonts.h"

#include <QWidget>
#include <algorithm>
#include <cstring>
#include <string>

#include "common/SFont.h"
#include "config/QimLayoutSettings.h"
#include "config/QimSettingKeys.h"
#include "platform/qt/QtText.h"

QFont ToQFont(const SFont& font, QColor* colour) {
    QFont out;
    const LOGFONT& lf = font.logFont;
    const std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName));
    if (!face.empty()) out.setFamily(platform::ToQString(face));
    // The fixed-pitch faces of Windows have no namesake here.
    out.setStyleHint(face == "Terminal" || (lf.lfPitchAndFamily & 0x03) == 1 ? QFont::TypeWriter : QFont::AnyStyle);
    if (font.pointSize > 0) out.setPointSizeF(font.pointSize / 10.0);
    out.setBold(lf.lfWeight >= 600);
    out.setItalic(lf.lfItalic != 0);
    out.setUnderline(lf.lfUnderline != 0);
    out.setStrikeOut(lf.lfStrikeOut != 0);
    // COLORREF: red in the low byte.
    if (colour) *colour = QColor(font.colour & 0xFF, (font.colour >> 8) & 0xFF, (font.colour >> 16) & 0xFF);
    return out;
}

void TakeQFont(const QFont& qfont, SFont& font) {
    LOGFONT& lf = font.logFont;
    std::string face;
    platform::FromQString(qfont.family(), face);
    // The record holds 31 bytes of the face; a cut must not split a double-byte character.
    std::size_t length = 0;
    while (length < face.size()) {
        const auto lead = static_cast<unsigned char>(face[length]);
        const std::size_t step = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) ? 2 : 1;
        if (length + step > sizeof lf.lfFaceName - 1) break;
        length += step;
    }
    std::memset(lf.lfFaceName, 0, sizeof lf.lfFaceName);
    std::memcpy(lf.lfFaceName, face.data(), std::min(length, face.size()));
    const double points = qfont.pointSizeF() > 0 ? qfont.pointSizeF() : qfont.pixelSize() * 0.75;
    font.pointSize = static_cast<int>(points * 10 + 0.5);
    // Height in device units of a 96-dpi screen, negative for the character height.
    lf.lfHeight = -static_cast<std::int32_t>(points * 96 / 72 + 0.5);
    lf.lfWidth = 0;
    lf.lfWeight = qfont.bold() ? 700 : 400;
    lf.lfItalic = qfont.italic() ? 1 : 0;
    lf.lfUnderline = qfont.underline() ? 1 : 0;
    lf.lfStrikeOut = qfont.strikeOut() ? 1 : 0;
    lf.lfPitchAndFamily = (lf.lfPitchAndFamily & ~0x03) | (qfont.fixedPitch() ? 1 : 0);
}

void ApplyListFont(QWidget& list) {
    SFont font;
    if (ReadQimFont(qimini::HLWFont, font)) list.setFont(ToQFont(font));
}
