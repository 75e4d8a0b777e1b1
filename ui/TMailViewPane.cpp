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
#include "common/SMHUnfoldDecode.h"
#include "platform/TextFile.h"
#include "platform/qt/QtText.h"

namespace {

// Collects the decoded header fields and the body lines as they arrive.
class DisplayCollector : public SMHUnfoldDecodeMail {
public:
    explicit DisplayCollector(std::string& out) : out_(out) {}
    ~DisplayCollector() override { Finish(); }
    bool Action(const char* field) override {
        out_ += field;
        return true;
    }

private:
    std::string& out_;
};

}  // namespace

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
    text.clear();
    FILE* fp = platform::OpenFile(mailPath.c_str(), "rb");
    if (!fp) return false;
    std::string data;
    char block[1 << 16];
    std::size_t got = 0;
    bool cut = false;
    while ((got = std::fread(block, 1, sizeof block, fp)) > 0) {
        if (data.size() + got > limit) {
            data.append(block, limit - data.size());
            cut = true;
            break;
        }
        data.append(block, got);
    }
    std::fclose(fp);
    DisplayCollector collector(text);
    collector.Init();
    std::size_t at = 0;
    std::string line;
    while (at < data.size()) {
        std::size_t nl = data.find('\n', at);
        const std::size_t end = nl == std::string::npos ? data.size() : nl + 1;
        line.assign(data, at, end - at);
        // CR LF on disk, LF on screen.
        if (line.size() >= 2 && line[line.size() - 2] == '\r' && line.back() == '\n') line.erase(line.size() - 2, 1);
        // A NUL would end the line early for the collector.
        std::replace(line.begin(), line.end(), '\0', ' ');
        collector.Execute(line.c_str());
        at = end;
        if (!collector.InHeader()) break;
    }
    collector.Finish();
    if (at < data.size()) {
        std::string body = data.substr(at);
        std::string::size_type out = 0;
        for (std::string::size_type i = 0; i < body.size(); ++i) {
            if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
            body[out++] = body[i];
        }
        body.resize(out);
        text += body;
    }
    if (cut) text += "\n...\n";
    return true;
}

bool TMailViewPane::ShowMail(const std::string& mailPath, int number, const std::string& folder) {
    data_.Prepare(mailPath, number, folder);
    std::string text;
    if (!DisplayText(data_.DisplayPath(), text)) {
        Clear();
        return false;
    }
    shown_ = mailPath;
    setPlainText(platform::ToQString(text));
    MarkQuotedLines(text);
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
        if (quoteRule_.IsQuoted(text.substr(at, nl - at))) {
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
