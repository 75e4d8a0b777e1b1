// The viewer: shows a mail after its display preparation (PGP and the
// program's own encryption undone, a display copy without binary parts), the
// header lines unfolded and decoded, quoted lines in the quote font; and
// serves the commands that take attachments out and uudecode the mail.
#pragma once

#include <QFont>
#include <QPlainTextEdit>
#include <string>

#include "crypt/SViewMailData.h"
#include "crypt/SViewQuoteRule.h"
#include "ui/TAttachDialog.h"
#include "ui/TCryptDialogs.h"

class SFont;
class SUsePGP;

class TMailViewPane : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TMailViewPane(QWidget* parent = nullptr);

    // Prepares and shows the mail; false (and an empty pane) only when no
    // text could be read. A step of the preparation that failed has shown its
    // box and the mail is shown from the last text obtained.
    bool ShowMail(const std::string& mailPath, int number = 0, const std::string& folder = std::string());
    void Clear();
    // The mail file shown, empty when none.
    const std::string& ShownPath() const { return shown_; }

    // "添付ﾌｧｲﾙの取り出し": the number of files saved.
    int TakeOutAttachments();
    // "&Uudecode" on the stored mail: the number of files saved.
    int Uudecode();

    SViewMailData& Data() { return data_; }
    // The bridge the application owns (null: the pane opens its own when PGP is in use).
    void SetPgp(SUsePGP* pgp) { data_.SetPgp(pgp); }
    // Replaces the attachment dialog (tests).
    void SetAttachmentPrompt(SAttachmentPrompt* prompt) { prompt_ = prompt ? prompt : &qtPrompt_; }
    // Reads the fonts and the quoted-line settings again.
    void ReadSettings();
    const QFont& QuoteFont() const { return quoteFont_; }
    const SViewQuoteRule& QuoteRule() const { return quoteRule_; }

    // The text shown for a mail file, in Shift_JIS (what has no form there is
    // 〓): decoded header fields, then the body (common/SMailText.h). Mail
    // beyond `limit` bytes is cut there with a line saying so.
    static bool DisplayText(const std::string& mailPath, std::string& text, std::size_t limit = kDisplayLimit);
    static constexpr std::size_t kDisplayLimit = 8u << 20;
    // A stored font as Qt draws it.
    static QFont ToQFont(const SFont& font, QColor* colour = nullptr);

private:
    // `text` is the UTF-8 shown.
    void MarkQuotedLines(const std::string& text);

    std::string shown_;
    SViewMailData data_;
    TQtCryptKeyPrompt keyPrompt_;
    TQtAttachmentPrompt qtPrompt_;
    SAttachmentPrompt* prompt_ = &qtPrompt_;
    SViewQuoteRule quoteRule_;
    QFont quoteFont_;
    QColor quoteColour_;
};
