// The viewer pane beside the header list: the shown mail's text, header lines
// unfolded and decoded, the body as stored. A plain stand-in until the full
// display preparation (attachments, encryption) takes its place.
#pragma once

#include <QPlainTextEdit>
#include <string>

class TMailViewPane : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TMailViewPane(QWidget* parent = nullptr);

    // False (and an empty pane) when the file cannot be read.
    bool ShowMail(const std::string& mailPath);
    void Clear();
    // The mail file shown, empty when none.
    const std::string& ShownPath() const { return shown_; }

    // The text shown for a mail file, Shift_JIS: decoded header fields, then
    // the body. Mail beyond `limit` bytes is cut there with a line saying so.
    static bool DisplayText(const std::string& mailPath, std::string& text, std::size_t limit = kDisplayLimit);
    static constexpr std::size_t kDisplayLimit = 8u << 20;

private:
    std::string shown_;
};
