// The viewer: shows a mail after its display preparation (PGP and the
// program's own encryption undone): a header block (From, To, Cc, the Date in
// local time, Subject; every field on request), the text parts in Unicode,
// quoted lines in the quote font and a colour for each level, links that open
// on a click, and a row of the attached files that saves one on a click. It
// serves the commands that take attachments out and uudecode the mail, and
// shows the stored source; a text is found in the mail shown (TTextFind).
#pragma once

#include <QFont>
#include <QPlainTextEdit>
#include <functional>
#include <string>
#include <vector>

#include "crypt/SViewMailData.h"
#include "crypt/SViewQuoteRule.h"
#include "ui/TAttachDialog.h"
#include "ui/TCryptDialogs.h"

class QListWidget;
class SFont;
class SUsePGP;
class TTextFind;

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
    // The stored mail as it is on disk, in a window of its own.
    void ShowSource();
    // Every header field instead of the five of the header block.
    void SetShowAllHeaders(bool all);
    bool ShowsAllHeaders() const { return allHeaders_; }

    // The subject of the mail shown (UTF-8), for the window title.
    const std::string& ShownSubject() const { return subject_; }
    // The attached files listed under the text.
    QListWidget* AttachmentRow() const { return attachmentRow_; }
    const std::vector<SAttachmentEntry>& AttachmentEntries() const { return attachments_; }
    // Saves the attachment of that row (its questions first); 1 when saved.
    int SaveAttachmentAt(int row);
    // Find in the text shown (Ctrl+F, F3 and the pop-up).
    TTextFind* TextFind() const { return textFind_; }
    // The link under a position of the text (empty when there is none), and what opens it.
    std::string LinkAt(int position) const;
    std::function<void(const std::string& url)> openLink;
    // "住所録に登録" of the pop-up: the sender of the mail shown into the address book.
    std::function<void()> registerSender;

    SViewMailData& Data() { return data_; }
    const SViewMailData& Data() const { return data_; }
    // The bridge the application owns (null: the pane opens its own when PGP is in use).
    void SetPgp(SUsePGP* pgp) { data_.SetPgp(pgp); }
    // Replaces the attachment dialog (tests).
    void SetAttachmentPrompt(SAttachmentPrompt* prompt) { prompt_ = prompt ? prompt : &qtPrompt_; }
    // Reads the fonts and the quoted-line settings again.
    void ReadSettings();
    const QFont& QuoteFont() const { return quoteFont_; }
    const SViewQuoteRule& QuoteRule() const { return quoteRule_; }

    // Mail beyond this is shown up to it, with a last line saying so.
    static constexpr std::size_t kDisplayLimit = 8u << 20;
    // A stored font as Qt draws it (ui/QtFonts.h).
    static QFont ToQFont(const SFont& font, QColor* colour = nullptr);

signals:
    // A mail was shown or the pane was cleared: the title may change.
    void MailShown();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // Header block, text, formats and the attachment row for the prepared mail.
    bool Render();
    // `text` is the UTF-8 shown: quoted body lines get the quote format of their level.
    void MarkQuotedLines(const std::string& text);
    void MarkHeaderAndLinks(const QString& text, int headerLines);
    void LayOutAttachmentRow();

    std::string shown_;
    std::string subject_;
    bool allHeaders_ = false;
    std::vector<SAttachmentEntry> attachments_;
    QListWidget* attachmentRow_ = nullptr;
    struct Link {
        int start, end;
        std::string url;
    };
    std::vector<Link> links_;
    SViewMailData data_;
    TQtCryptKeyPrompt keyPrompt_;
    TQtAttachmentPrompt qtPrompt_;
    SAttachmentPrompt* prompt_ = &qtPrompt_;
    SViewQuoteRule quoteRule_;
    QFont quoteFont_;
    QColor quoteColour_;
    TTextFind* textFind_ = nullptr;
};

// A link of a shown mail, opened in the configured web browser as every link
// of the program opens (the desktop's browser when none is configured).
void OpenLinkAsConfigured(const std::string& url);
