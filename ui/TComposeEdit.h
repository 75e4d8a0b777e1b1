// The compose window's editor: a plain-text edit that the composer's checks,
// makers and fold commands read and change (SComposeEditor, lines are its
// paragraphs in Shift_JIS) and that quoting and forwarding write into (STextSink).
#pragma once

#include <QPlainTextEdit>

#include "common/STextSink.h"
#include "send/SComposeEditor.h"

class TComposeEdit : public QPlainTextEdit, public SComposeEditor, public STextSink {
    Q_OBJECT

public:
    explicit TComposeEdit(QWidget* parent = nullptr);

    // SComposeEditor
    int LineCount() const override;
    std::string Line(int index) const override;
    void Replace(int index, int start, int end, const std::string& text) override;
    void BreakLine(int index, int position) override;
    void Select(int index, int start, int end) override;
    // STextSink: Shift_JIS text with CR LF or LF line breaks.
    void InsertAtCaret(const char* text) override;

    // The whole text in Shift_JIS, each line ending CR LF.
    std::string SjisText() const;
    void SetSjisText(const std::string& text);

private:
    // The character position inside a block of a byte offset of its Shift_JIS form.
    int CharPosition(int index, int byteOffset) const;
};
