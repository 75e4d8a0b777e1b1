#include "ui/TMailViewPane.h"

#include <QApplication>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "config/QimLayoutSettings.h"
#include "config/QimSettingKeys.h"
#include "common/SFont.h"
#include "common/SMailText.h"
#include "platform/CodePage.h"
#include "platform/TextFile.h"
#include "platform/qt/QtText.h"


TMailViewPane::TMailViewPane(QWidget* parent) : QPlainTextEdit(parent), data_(this) {
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setObjectName("QimViewPane");
    SCryptContext context;
    context.parent = this;
    context.prompt = &keyPrompt_;
    data_.SetCryptContext(context);
    data_.SetBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    ReadSettings();
}

QFont TMailViewPane::ToQFont(const SFont& font, QColor* colour) {
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

void TMailViewPane::ReadSettings() {
    SFont text, quote;
    ReadQimFont(qimini::MVDefFont, text);
    ReadQimFont(qimini::MVQuoteFont, quote);
    QColor colour;
    setFont(ToQFont(text, &colour));
    QPalette pal = palette();
    pal.setColor(QPalette::Text, colour);
    setPalette(pal);
    quoteFont_ = ToQFont(quote, &quoteColour_);
    quoteRule_.Read();
}

bool TMailViewPane::DisplayText(const std::string& mailPath, std::string& text, std::size_t limit) {
    std::string utf8;
    if (!MailFileTextUtf8(mailPath.c_str(), utf8, limit)) {
        text.clear();
        return false;
    }
    text = platform::Utf8ToCp932Lossy(utf8);
    return true;
}

bool TMailViewPane::ShowMail(const std::string& mailPath, int number, const std::string& folder) {
    data_.Prepare(mailPath, number, folder);
    // Straight from the stored bytes to Unicode: a character that Shift_JIS
    // lacks (an emoji, a hangul) still shows.
    std::string utf8;
    if (!MailFileTextUtf8(data_.TextPath().c_str(), utf8, kDisplayLimit)) {
        Clear();
        return false;
    }
    shown_ = mailPath;
    setPlainText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    MarkQuotedLines(utf8);
    return true;
}

void TMailViewPane::MarkQuotedLines(const std::string& text) {
    // Body lines only: a header field is never a quotation.
    std::size_t at = text.find("\n\n");
    if (at == std::string::npos) return;
    int block = static_cast<int>(std::count(text.begin(), text.begin() + at, '\n')) + 2;
    at += 2;
    QTextCharFormat format;
    format.setFont(quoteFont_);
    format.setForeground(quoteColour_);
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    while (at < text.size()) {
        std::size_t nl = text.find('\n', at);
        if (nl == std::string::npos) nl = text.size();
        // The rule's prefixes are Shift_JIS, as the settings keep them.
        if (quoteRule_.IsQuoted(platform::Utf8ToCp932Lossy(text.substr(at, nl - at)))) {
            const QTextBlock line = document()->findBlockByNumber(block);
            if (line.isValid()) {
                cursor.setPosition(line.position());
                cursor.setPosition(line.position() + line.length() - 1, QTextCursor::KeepAnchor);
                cursor.setCharFormat(format);
            }
        }
        at = nl + 1;
        ++block;
    }
    cursor.endEditBlock();
}

void TMailViewPane::Clear() {
    shown_.clear();
    data_.Release();
    clear();
}

int TMailViewPane::TakeOutAttachments() {
    if (shown_.empty()) return 0;
    return data_.TakeOutAttachments(*prompt_);
}

int TMailViewPane::Uudecode() {
    if (shown_.empty()) return 0;
    return data_.Uudecode();
}
