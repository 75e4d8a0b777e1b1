// The stored font records (CONFIG.INI section Font) and Qt's fonts, both ways.
#pragma once

#include <QColor>
#include <QFont>

class QWidget;
class SFont;

// The face, size, weight and styles of the record; its colour into `colour`.
QFont ToQFont(const SFont& font, QColor* colour = nullptr);
// `font` with the face, size and styles of `qfont`; its colour and the fields
// Qt has no word for stay as they were.
void TakeQFont(const QFont& qfont, SFont& font);

// The header list font (HLWFont) on `list`, when one is stored.
void ApplyListFont(QWidget& list);
