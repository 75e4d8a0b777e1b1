// Texts between Qim (Shift_JIS bytes) and Qt (QString), for the screen only.
#pragma once

#include <QString>
#include <string>

namespace platform {

// Bytes without a Unicode form show as U+FFFD, so a broken text still shows the rest.
QString ToQString(const std::string& sjis);
QString ToQString(const char* sjis);
// False when the text has no Shift_JIS form (`sjis` then holds nothing useful).
bool FromQString(const QString& text, std::string& sjis);
// The Shift_JIS form of what a user typed; characters without one are left out.
std::string SjisOf(const QString& text);

}  // namespace platform
