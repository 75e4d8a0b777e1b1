// The compose window "QimSend": header fields, the editor, the attachment
// list and the compose menu. It makes the message (plain, with attachments,
// encrypted, through PGP), runs the send dialog, stores the sent copy before
// it closes, and saves and reopens unsent mails. A failed send, or a sent copy
// that could not be stored, leaves the window open with its content.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <string>

#include "app/SCommandTable.h"
#include "app/SQimCloseQuery.h"
#include "print/SPrintedMail.h"
#include "send/SAttachmentList.h"
#include "send/SEMailHeader.h"
#include "send/SSendMail.h"
#include "send/STemplates.h"

class QLineEdit;
class QListWidget;
class QMenu;
class TContextHelp;
class SQimSendSettingData;
class SUserInetData;
class SUsePGP;
class SSaveMailFile;
struct SSaveMailFolderProperty;
class TComposeEdit;
class TTextFind;

class TQimSendWindow : public QMainWindow, public SClosingWindow {
    Q_OBJECT

public:
    TQimSendWindow(SUserInetData& inet, SQimSendSettingData& settings, SLoginConfirmation& login, bool pgpInUse,
                   QWidget* parent = nullptr);
    ~TQimSendWindow() override;

    bool ExecCommand(int id);
    // A mailto: start (what follows "mailto:"): its addresses go into To, and
    // Cc, Bcc, Subject and the text when the URL carries them (SMailtoUrl.h).
    void SetMailto(const std::string& mailto);
    // Opens an unsent mail: header fields, attachments and the text.
    bool OpenDraft(const std::string& path);
    // A reply to the stored mail at `path`: the reply header, the header
    // dialog, then the head template and the quoted text (none while Shift is
    // held). False when the mail cannot be read or the dialog was cancelled.
    bool StartReply(const std::string& path);
    // The forward of the mail at `path` between the marker lines, with "Fw:".
    bool StartForward(const std::string& path);
    // qimcmd::InsertMailWhole, InsertMailBody: a mail read in behind a prefix the user types, the
    // whole of it (header fields decoded) or its text parts.
    bool InsertMailWithPrefix(bool bodyOnly);
    // qimcmd::PasteWithPrefix: the clipboard's lines behind the reply prefix.
    void PasteQuoted();
    // qimcmd::TailTemplateFirst + index: the tail template at the end of the text.
    bool InsertTailTemplate(int index);
    // qimcmd::SaveDraftAsFile: saves into the unsent-mail folder and asks whether to close.
    bool SaveDraft();
    // qimcmd::InsertFile: a file's text at the caret.
    bool InsertFileText();
    // The send commands (qimcmd::SendMail to SendAttachedEncrypted, PgpEncryptAndSign to PgpAttachKey).
    // True when sent.
    bool Send(int command);

    // The header fields into the header object.
    void CollectFields();
    // The fields as typed (the empty ones left out) and the text, for the
    // page of qimcmd::FilePrint and the file of qimcmd::FileSaveAs.
    SPrintedMail TypedText() const;
    SEMailMimeHeader& Header() { return header_; }
    SAttachmentList& Attachments() { return attachments_; }
    void RefreshAttachmentList();

    // Edits the header (qimcmd::ResetHeaders); true on OK. A test gives its own.
    std::function<bool()> editHeader;
    // A mail was stored in a folder (qimreq::ReloadFolder to the main window).
    std::function<void(const std::string& folder)> onFolderChanged;
    // The window is about to go (the application forgets it).
    std::function<void()> onDestroy;
    // The send dialog's time-out, for tests.
    int sendTimeoutMs = 0;
    // Whether Shift is down (a test gives its own).
    std::function<bool()> shiftHeld;
    // The head template the header dialog chose (empty: none).
    std::string headTemplateChoice;
    // Where the head templates' %X and %A look.
    STemplateSources templateSources;

    QLineEdit* toEdit = nullptr;
    QLineEdit* ccEdit = nullptr;
    QLineEdit* bccEdit = nullptr;
    QLineEdit* subjectEdit = nullptr;
    QListWidget* attachmentList = nullptr;
    TComposeEdit* editor = nullptr;
    // Find and replace in the editor (qimcmd::EditFind, EditReplace, EditFindNext).
    TTextFind* textFind = nullptr;

    // SClosingWindow
    bool CanClose() override { return true; }
    bool IsEnabled() const override { return isEnabled(); }
    void Destroy() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Where the sent copy and the unsent mail go: the folder of the property
    // in the local store. The server-folder mode's window may send them to
    // the server instead. False when the mail was not stored.
    virtual bool StoreSentCopyIn(const SSaveMailFolderProperty& fcc, SSaveMailFile& writer);
    virtual bool SaveDraftIn(const SSaveMailFolderProperty& draft, SSaveMailFile& writer);
    // The save-folder dialogs offer the server's folders.
    virtual bool OffersServerFolders() const { return false; }

private:
    void BuildWindow(bool pgpInUse);
    void RegisterCommands();
    void ShowFields();
    bool RunHeaderDialog();
    // The chosen head template, expanded with the mail replied to, at the caret.
    void InsertHeadTemplate();
    void FillTailMenu();
    // A reply or forward is in place: the caret at `caret`, the text counted as unchanged.
    void SettleStart(int caret);
    bool EditSaveFolder(bool draft);
    // Runs the send dialog over the finished file (empty: header text and editor).
    bool RunSend(const std::string& messageFile, bool ownFile);
    void UpdateTitle();

    SUserInetData& inet_;
    SQimSendSettingData& settings_;
    SLoginConfirmation& login_;
    SEMailMimeHeader header_;
    SAttachmentList attachments_;
    SCommandTable commands_;
    std::unique_ptr<SUsePGP> pgp_;
    SReplyFields replySource_;
    std::string appliedHeadTemplate_;
    QMenu* tailMenu_ = nullptr;
    TContextHelp* help_ = nullptr;
    bool destroyed_ = false;
};
