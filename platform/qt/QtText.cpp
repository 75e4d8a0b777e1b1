#include "platform/qt/QtText.h"

#include "platform/CodePage.h"

namespace platform {

QString ToQString(const std::string& sjis) { return QString::fromStdString(Cp932ToUtf8Lossy(sjis)); }

QString ToQString(const char* sjis) { return ToQString(std::string(sjis ? sjis : "")); }

bool FromQString(const QString& text, std::string& sjis) {
    const std::u16string utf16(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
    return static_cast<bool>(Utf16ToCp932(utf16, sjis));
}

std::string SjisOf(const QString& text) {
    std::string sjis;
    FromQString(text, sjis);
    return sjis;
}

}  // namespace platform
