// The page layout of a printed mail: on every page a header line with the
// subject over a thin rule and the page number "- n / N -" at the foot; on
// the first the header block (field names in bold) and a rule, then the text
// wrapped to the width of the page, quoted lines as they are.
#pragma once

#include <QFont>
#include <QString>

#include "print/SPrintedMail.h"

class QPagedPaintDevice;

struct SPrintStyle {
    // "印刷は固定ﾌｫﾝﾄにする": a fixed-pitch Japanese face instead of the display font.
    bool fixedFont = false;
    // The face of the display font; empty: a Japanese face of the system.
    QString family;
    double pointSize = 10.0;
};

// The face the text is set in: the style's choice, then the Japanese faces
// the desktop is likely to have (fonts-noto-cjk, IPA, VL).
QFont PrintFont(const SPrintStyle& style);

// Paints the mail onto `device` (a printer or a PDF writer that has not begun
// yet) and returns the number of pages; -1 when the device could not begin
// (an output file that cannot be written) or a page could not be added.
int PrintMailPages(QPagedPaintDevice& device, const SPrintedMail& mail, const SPrintStyle& style);
