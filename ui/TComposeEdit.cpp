#include "ui/TComposeEdit.h"

#include <QTextBlock>
#include <QTextCursor>

#include "platform/qt/QtText.h"

namespace {

std::string Sjis(const QString& text) { return platform::SjisOf(text); }

}  // namespace

TComposeEdit::TComposeEdit(QWidget* parent) : QPlainTextEdit(parent) { setLineWrapMode(QPlainTextEdit::WidgetWidth); }

int TComposeEdit::LineCount() const {
    const QTextDocument* doc = document();
    // An empty document is no line at all; a final empty block after a line
    // break is the end of the last line.
    if (doc->isEmpty()) return 0;
    int count = doc->blockCount();
    if (doc->lastBlock().text().isEmpty()) --count;
    return count;
}

std::string TComposeEdit::Line(int index) const { return Sjis(document()->findBlockByNumber(index).text()); }

int TComposeEdit::CharPosition(int index, int byteOffset) const {
    const QString text = document()->findBlockByNumber(index).text();
    int bytes = 0;
    int i = 0;
    while (i < text.size() && bytes < byteOffset) {
        const int width = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        bytes += static_cast<int>(Sjis(text.mid(i, width)).size());
        i += width;
    }
    return i;
}

void TComposeEdit::Replace(int index, int start, int end, const std::string& text) {
    const QTextBlock block = document()->findBlockByNumber(index);
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + CharPosition(index, start));
    cursor.setPosition(block.position() + CharPosition(index, end), QTextCursor::KeepAnchor);
    cursor.insertText(platform::ToQString(text));
    setTextCursor(cursor);
}

void TComposeEdit::BreakLine(int index, int position) {
    const QTextBlock block = document()->findBlockByNumber(index);
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + CharPosition(index, position));
    cursor.insertBlock();
}

void TComposeEdit::Select(int index, int start, int end) {
    const QTextBlock block = document()->findBlockByNumber(index);
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + CharPosition(index, start));
    cursor.setPosition(block.position() + CharPosition(index, end), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void TComposeEdit::InsertAtCaret(const char* text) {
    QString q = platform::ToQString(text);
    q.remove('\r');
    insertPlainText(q);
}

std::string TComposeEdit::SjisText() const {
    std::string out;
    for (int i = 0; i < LineCount(); ++i) out += Line(i) + "\r\n";
    return out;
}

void TComposeEdit::SetSjisText(const std::string& text) {
    QString q = platform::ToQString(text);
    q.remove('\r');
    setPlainText(q);
}
