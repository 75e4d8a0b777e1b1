#include "ui/TQimSendWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "app/SMailtoUrl.h"
#include "app/SQimHelp.h"
#include "app/TQimApp.h"
#include "config/QimCommandIds.h"
#include "config/QimRequestCodes.h"
#include "config/QimGlobals.h"
#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimSendSettingData.h"
#include "config/SQimTmpFilePath.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "common/QimMessageBox.h"
#include "common/SReplyMimeMail.h"
#include "crypt/SMailCrypt.h"
#include "crypt/SUsePGP.h"
#include "platform/TextFile.h"
#include "platform/qt/QtText.h"
#include "config/QimLayoutSettings.h"
#include "config/QimSettingKeys.h"
#include "send/SSaveFolderOffer.h"
#include "send/SComposeChecks.h"
#include "send/SHalfwayHeader.h"
#include "send/SMakeMimeMail.h"
#include "ui/TContextHelp.h"
#include "send/SQuoteMail.h"
#include "send/SReplyHeader.h"
#include "send/SReplyPrefix.h"
#include "send/SSaveMailFile.h"
#include "send/SendCodes.h"
#include "ui/QimMenuBuilder.h"
#include "ui/QimMenuTables.h"
#include "ui/TMailPrint.h"
#include "ui/TAliasMenu.h"
#include "ui/TComposeEdit.h"
#include "ui/TCryptDialogs.h"
#include "ui/TSaveFolderDlg.h"
#include "ui/TTemplatesDlg.h"
#include "ui/TTextFind.h"
#include "ui/TSendMailDlg.h"

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::ToQString;

namespace {

constexpr int kInsertPrefixSize = 128;

std::string Sjis(const QString& text) { return platform::SjisOf(text); }

// The header dialog (qimcmd::ResetHeaders): every field of the header object.
class THeaderDlg : public QDialog {
public:
    THeaderDlg(QWidget* parent, SEMailHeader& header, std::string& headTemplate)
        : QDialog(parent), header_(header), headTemplate_(headTemplate) {
        setWindowTitle(ToQString(LoadQimString(qimstr::HeaderDialogCaption)));
        auto* form = new QFormLayout(this);
        const std::pair<const char*, std::string*> fields[] = {
            {"From:", &header.from}, {"Reply-To:", &header.replyTo}, {"To:", &header.to},
            {"Cc:", &header.cc},     {"Bcc:", &header.bcc},          {"Subject:", &header.subject},
        };
        for (const auto& [name, value] : fields) {
            auto* edit = new QLineEdit(ToQString(*value), this);
            form->addRow(name, edit);
            edits_.push_back({edit, value});
        }
        extra_ = new QPlainTextEdit(ToQString(header.extraHeader), this);
        form->addRow("", extra_);
        // The head template to put in front of the text; the list's default is chosen at first.
        templates_ = new QComboBox(this);
        templates_->addItem(ToQString(LoadQimString(qimstr::NoTemplate)));
        const STemplateList heads(STemplateKind::Head);
        const std::string chosen = headTemplate.empty() ? heads.ReadDefault() : headTemplate;
        for (const std::string& name : heads.ReadNames()) {
            templates_->addItem(ToQString(name));
            if (name == chosen) templates_->setCurrentIndex(templates_->count() - 1);
        }
        form->addRow(ToQString(LoadQimString(qimstr::HeadTemplateChoice)), templates_);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        form->addRow(buttons);
    }
    void accept() override {
        for (const auto& [edit, value] : edits_) *value = Sjis(edit->text());
        header_.extraHeader = Sjis(extra_->toPlainText());
        headTemplate_ = templates_->currentIndex() > 0 ? Sjis(templates_->currentText()) : std::string();
        QDialog::accept();
    }

private:
    SEMailHeader& header_;
    std::string& headTemplate_;
    QComboBox* templates_;
    std::vector<std::pair<QLineEdit*, std::string*>> edits_;
    QPlainTextEdit* extra_;
};

// The text of an unsent mail (or the body of a mail read in) into the editor,
// without a prefix. Its text parts are written as they stand; encoded parts
// are not its text.
class TDraftBody : public SReplyMimeMail {
public:
    TDraftBody(platform::ParentWindow owner, STextSink* editor) : SReplyMimeMail(owner, editor, "") {}
    void Report(const SNotice& notice) override { ShowNotice(notice, Owner()); }
    bool ActionBase64(FILE*, long, long, const SMimePart&) override { return true; }
    bool ActionQuotedPrintable(FILE*, long, long, const SMimePart&) override { return true; }
    bool ActionOtherEncoded(FILE*, long, long, const SMimePart&) override { return true; }
    bool ActionNoEncoded(FILE* file, long start, long end, const SMimePart&) override {
        return ShowAsIs(file, start, end);
    }
};

// The quote of a reply or of a mail read in with a prefix; what the walk
// finds wrong is shown at once.
class TQuoteBody : public SQuoteReplyMimeMail {
public:
    TQuoteBody(platform::ParentWindow owner, STextSink* editor, const std::string& prefix)
        : SQuoteReplyMimeMail(owner, editor, prefix.c_str()) {}
    void Report(const SNotice& notice) override { ShowNotice(notice, Owner()); }
};

// Asks for the prefix of a mail read in; false when cancelled.
bool AskInsertPrefix(QWidget* parent, std::string& prefix) {
    platform::InputBoxRequest request;
    request.parent = parent;
    request.caption = LoadQimString(qimstr::InsertPrefixCaption);
    request.prompt = LoadQimString(qimstr::InsertPrefixPrompt);
    request.maxLength = kInsertPrefixSize;
    return platform::Dialogs().InputBox(request, prefix);
}

// The window shown while attachments are encoded: which file is at work,
// a wait cursor, and the main window closed to input until it is done.
class TEncodingProgress {
public:
    explicit TEncodingProgress(QWidget* owner) : dialog_(owner) {
        dialog_.setWindowTitle(QStringLiteral("Qim"));
        auto* layout = new QVBoxLayout(&dialog_);
        layout->addWidget(&label_);
        Show("Binary File(s)");
        dialog_.show();
        main_ = owner ? owner->parentWidget() : nullptr;
        if (main_) main_->setEnabled(false);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~TEncodingProgress() {
        QApplication::restoreOverrideCursor();
        if (main_) main_->setEnabled(true);
    }
    void Show(const std::string& what) {
        label_.setText(ToQString(what + "\r\n" + LoadQimString(qimstr::EncodingAttachment)));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }

private:
    QDialog dialog_;
    QLabel label_;
    QWidget* main_ = nullptr;
};
}  // namespace

TQimSendWindow::TQimSendWindow(SUserInetData& inet, SQimSendSettingData& settings, SLoginConfirmation& login,
                               bool pgpInUse, QWidget* parent)
    : QMainWindow(parent), inet_(inet), settings_(settings), login_(login) {
    setObjectName("QimSend");
    setAttribute(Qt::WA_DeleteOnClose, false);
    header_.xMailer = kQimMailer;
    BuildWindow(pgpInUse);
    RegisterCommands();
    UpdateTitle();
    editHeader = [this] { return RunHeaderDialog(); };
    shiftHeld = [] { return (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier) != 0; };
}

TQimSendWindow::~TQimSendWindow() = default;

void TQimSendWindow::BuildWindow(bool pgpInUse) {
    BuildMenuBar(menuBar(), ComposeMenuTable());
    if (!pgpInUse) RemoveCommands(menuBar(), ComposePgpCommands());
    // The tail templates, read afresh each time the menu opens: the list may
    // have been edited in the main window meanwhile.
    tailMenu_ = new QMenu(ToQString(LoadQimString(qimstr::TailTemplateMenu)), this);
    // Before the help menu, the last one.
    const QList<QAction*> tops = menuBar()->actions();
    menuBar()->insertMenu(tops.isEmpty() ? nullptr : tops.back(), tailMenu_);
    connect(tailMenu_, &QMenu::aboutToShow, this, [this] { FillTailMenu(); });
    help_ = new TContextHelp(this, "compose.html");
    for (QAction* action : CommandActions(menuBar())) {
        // In context-help mode a chosen item opens its help instead.
        connect(action, &QAction::triggered, this, [this, action] {
            if (!help_->TakeCommand(CommandOf(action))) ExecCommand(CommandOf(action));
        });
    }
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* form = new QFormLayout;
    toEdit = new QLineEdit(central);
    ccEdit = new QLineEdit(central);
    bccEdit = new QLineEdit(central);
    subjectEdit = new QLineEdit(central);
    for (QLineEdit* field : {toEdit, ccEdit, bccEdit}) AttachAddressBook(field, settings_);
    form->addRow("To:", toEdit);
    form->addRow("Cc:", ccEdit);
    form->addRow("Bcc:", bccEdit);
    form->addRow("Subject:", subjectEdit);
    layout->addLayout(form);
    attachmentList = new QListWidget(central);
    attachmentList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    attachmentList->setMaximumHeight(80);
    // Shown only while files are attached: an empty box would only take room from the text.
    attachmentList->hide();
    layout->addWidget(attachmentList);
    editor = new TComposeEdit(central);
    layout->addWidget(editor, 1);
    textFind = new TTextFind(editor);
    // The item's F3.
    if (QAction* next = FindCommandAction(menuBar(), qimcmd::EditFindNext)) next->setShortcut(QKeySequence(Qt::Key_F3));
    setCentralWidget(central);
    resize(640, 480);
}

void TQimSendWindow::RegisterCommands() {
    using namespace qimcmd;
    for (int id : {SendMail, SendWithAttachment, SendEncrypted, SendAttachedEncrypted, PgpEncryptAndSign, PgpEncrypt,
                   PgpSign, PgpAttachKey})
        commands_.Add(id, [this, id] { Send(id); });
    commands_.Add(AddAttachment, [this] {
        CollectFields();
        if (ChooseAttachments(attachments_, this)) RefreshAttachmentList();
    });
    commands_.Add(ArrangeAttachments, [this] {
        std::vector<int> rows;
        for (QListWidgetItem* item : attachmentList->selectedItems()) rows.push_back(attachmentList->row(item));
        RemoveAttachments(attachments_, rows);
        RefreshAttachmentList();
    });
    commands_.Add(qimcmd::FoldLongLines, [this] { ::FoldLongLines(*editor, settings_.foldWidth, SFoldMode::AtOnce, this); });
    commands_.Add(FoldLongLinesAsking, [this] { ::FoldLongLines(*editor, settings_.foldWidth, SFoldMode::Ask, this); });
    commands_.Add(CheckHankakuKana, [this] { CheckBeforeSend(*editor, this); });
    commands_.Add(SaveDraftAsFile, [this] { SaveDraft(); });
    commands_.Add(FilePrint, [this] { PrintThroughDialog(this, TypedText(), qimini::SMEDefFont); });
    commands_.Add(FileSaveAs, [this] { SaveTextAs(this, TypedText()); });
    commands_.Add(InsertFile, [this] { InsertFileText(); });
    commands_.Add(InsertMailWhole, [this] { InsertMailWithPrefix(false); });
    commands_.Add(InsertMailBody, [this] { InsertMailWithPrefix(true); });
    commands_.Add(PasteWithPrefix, [this] { PasteQuoted(); });
    commands_.Add(Templates, [this] {
        TTemplatesDlg dialog(this);
        dialog.exec();
    });
    commands_.Add(qimcmd::ReplyPrefix, [this] { EditReplyPrefix(this, settings_); });
    for (int i = 0; i < qimcmd::TailTemplateCount; ++i)
        commands_.Add(qimcmd::TailTemplateFirst + i, [this, i] { InsertTailTemplate(i); });
    commands_.Add(LoadDraft, [this] {
        platform::FileDialogRequest request;
        request.parent = this;
        request.mustExist = true;
        std::vector<std::string> paths;
        if (platform::Dialogs().FileDialog(request, paths) && !paths.empty()) OpenDraft(paths.front());
    });
    commands_.Add(ResetHeaders, [this] {
        CollectFields();
        if (!editHeader || !editHeader()) return;
        ShowFields();
        // A head template chosen anew goes in at the caret.
        if (headTemplateChoice != appliedHeadTemplate_) InsertHeadTemplate();
    });
    commands_.Add(SentMailFolder, [this] { EditSaveFolderSettings(this, settings_, false, OffersServerFolders()); });
    commands_.Add(DraftFolder, [this] { EditSaveFolderSettings(this, settings_, true, OffersServerFolders()); });
    commands_.Add(Exit, [this] { close(); });
    commands_.Add(HelpContents, [this] { OpenQimHelp("index.html", this); });
    commands_.Add(EditUndo, [this] { editor->undo(); });
    commands_.Add(EditCut, [this] { editor->cut(); });
    commands_.Add(EditCopy, [this] { editor->copy(); });
    commands_.Add(EditPaste, [this] { editor->paste(); });
    commands_.Add(EditClearAll, [this] { editor->clear(); });
    commands_.Add(EditDelete, [this] { editor->textCursor().removeSelectedText(); });
    commands_.Add(EditFind, [this] { textFind->OpenFind(); });
    commands_.Add(EditReplace, [this] { textFind->OpenReplace(); });
    commands_.Add(EditFindNext, [this] { textFind->FindNext(); });
}

bool TQimSendWindow::ExecCommand(int id) { return commands_.Execute(id); }

SPrintedMail TQimSendWindow::TypedText() const {
    SPrintedMail text;
    text.subject = subjectEdit->text();
    for (const auto& [name, field] : {std::pair{"To", toEdit}, {"Cc", ccEdit}, {"Bcc", bccEdit}, {"Subject", subjectEdit}})
        if (!field->text().isEmpty()) text.header.emplace_back(QString::fromLatin1(name), field->text());
    text.body = editor->toPlainText();
    return text;
}

void TQimSendWindow::SetMailto(const std::string& mailto) {
    const SMailtoFields fields = ParseMailtoUrl(mailto);
    toEdit->setText(ToQString(fields.to));
    if (!fields.cc.empty()) ccEdit->setText(ToQString(fields.cc));
    if (!fields.bcc.empty()) bccEdit->setText(ToQString(fields.bcc));
    if (!fields.subject.empty()) subjectEdit->setText(ToQString(fields.subject));
    // Text the user has written already stays.
    if (!fields.body.empty() && editor->document()->isEmpty()) editor->setPlainText(ToQString(fields.body));
    CollectFields();
    UpdateTitle();
}

void TQimSendWindow::CollectFields() {
    header_.to = Sjis(toEdit->text());
    header_.cc = Sjis(ccEdit->text());
    header_.bcc = Sjis(bccEdit->text());
    header_.subject = Sjis(subjectEdit->text());
    ExpandAddressFields(header_);
    header_.from = inet_.FromAddress();
    header_.clientAddr = inet_.clientAddr;
    header_.xMailer = kQimMailer;
}

void TQimSendWindow::ShowFields() {
    toEdit->setText(ToQString(header_.to));
    ccEdit->setText(ToQString(header_.cc));
    bccEdit->setText(ToQString(header_.bcc));
    subjectEdit->setText(ToQString(header_.subject));
    UpdateTitle();
}

void TQimSendWindow::RefreshAttachmentList() {
    attachmentList->clear();
    for (const std::string& path : attachments_) attachmentList->addItem(ToQString(path));
    attachmentList->setVisible(!attachments_.empty());
}

void TQimSendWindow::UpdateTitle() {
    std::string title = LoadQimString(qimstr::ComposeCaption);
    if (!header_.to.empty() || !header_.subject.empty()) title = header_.to + " - " + header_.subject;
    setWindowTitle(ToQString(title));
}

bool TQimSendWindow::RunHeaderDialog() {
    THeaderDlg dialog(this, header_, headTemplateChoice);
    return dialog.exec() == QDialog::Accepted;
}

void TQimSendWindow::InsertHeadTemplate() {
    appliedHeadTemplate_ = headTemplateChoice;
    std::string text;
    if (headTemplateChoice.empty() || !STemplateList(STemplateKind::Head).ReadText(headTemplateChoice, text)) return;
    editor->InsertAtCaret(ExpandHeadTemplate(text, replySource_, templateSources).c_str());
}

bool TQimSendWindow::StartReply(const std::string& path) {
    SReplyFields source;
    if (!header_.ReadReplyFields(path.c_str(), source)) {
        QimMessageBox(this, LoadQimString(qimstr::MailUnreadable).c_str(), MessageIcon::Stop);
        return false;
    }
    replySource_ = source;
    CollectFields();
    SReplyOptions options;
    options.ownAddress = inet_.mailAddress;
    StartReplyHeader(source, options, header_);
    ShowFields();
    headTemplateChoice.clear();
    if (!editHeader || !editHeader()) return false;
    ShowFields();
    // Held at the moment the header is confirmed: the user wants no quote.
    const bool quote = !(shiftHeld && shiftHeld());
    InsertHeadTemplate();
    const int writeAt = editor->textCursor().position();
    if (quote) {
        TQuoteBody body(this, editor, settings_.replyPrefix);
        if (!body.Process(path.c_str())) {
            QimMessageBox(this, LoadQimString(qimstr::MailUnreadable).c_str(), MessageIcon::Stop);
            return false;
        }
    }
    // The caret where the answer is written: after the greeting, above the quote.
    SettleStart(writeAt);
    return true;
}

void TQimSendWindow::SettleStart(int caret) {
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(caret);
    editor->setTextCursor(cursor);
    editor->document()->setModified(false);
}

bool TQimSendWindow::StartForward(const std::string& path) {
    SReplyFields source;
    if (!header_.ReadReplyFields(path.c_str(), source)) {
        QimMessageBox(this, LoadQimString(qimstr::CannotOpenFile).c_str(), MessageIcon::Stop);
        return false;
    }
    replySource_ = source;
    CollectFields();
    header_.subject = ForwardSubject(source.subject);
    ShowFields();
    std::string pre, post;
    ReadForwardMarkers(pre, post);
    const int writeAt = editor->textCursor().position();
    switch (ForwardMail(*editor, path.c_str(), pre, post)) {
    case SForwardResult::Done:
        break;
    case SForwardResult::CannotOpen:
        QimMessageBox(this, LoadQimString(qimstr::CannotOpenFile).c_str(), MessageIcon::Stop);
        return false;
    case SForwardResult::Failed:
        QimMessageBox(this, LoadQimString(qimstr::MailUnreadable).c_str(), MessageIcon::Stop);
        return false;
    }
    // A note for the recipient goes above the forwarded mail.
    SettleStart(writeAt);
    toEdit->setFocus();
    return true;
}

bool TQimSendWindow::InsertMailWithPrefix(bool bodyOnly) {
    platform::FileDialogRequest request;
    request.parent = this;
    request.mustExist = true;
    std::vector<std::string> paths;
    if (!platform::Dialogs().FileDialog(request, paths) || paths.empty()) return false;
    std::string prefix;
    if (!AskInsertPrefix(this, prefix)) return false;
    bool done;
    if (bodyOnly) {
        TQuoteBody body(this, editor, prefix);
        done = body.Process(paths.front().c_str());
    } else {
        SInsertMailFilePrefixDecode reader(*editor, prefix);
        done = FeedMailFile(paths.front().c_str(), reader);
    }
    if (!done) QimMessageBox(this, LoadQimString(qimstr::MailUnreadable).c_str(), MessageIcon::Stop);
    return done;
}

void TQimSendWindow::PasteQuoted() {
    std::string text;
    platform::FromQString(QGuiApplication::clipboard()->text(), text);
    if (text.empty()) return;
    SQuoteReplyMimeMail quote(this, editor, settings_.replyPrefix.c_str());
    quote.InsertText(text);
}

bool TQimSendWindow::InsertTailTemplate(int index) {
    const STemplateList tails(STemplateKind::Tail);
    const std::vector<std::string> names = tails.ReadNames();
    std::string text;
    if (index < 0 || index >= static_cast<int>(names.size()) ||
        !tails.ReadText(names[static_cast<std::size_t>(index)], text))
        return false;
    editor->moveCursor(QTextCursor::End);
    editor->InsertAtCaret("\r\n");
    editor->InsertAtCaret(text.c_str());
    return true;
}

void TQimSendWindow::FillTailMenu() {
    tailMenu_->clear();
    const std::vector<std::string> names = STemplateList(STemplateKind::Tail).ReadNames();
    for (int i = 0; i < static_cast<int>(names.size()) && i < qimcmd::TailTemplateCount; ++i) {
        QAction* item = tailMenu_->addAction(ToQString(names[static_cast<std::size_t>(i)]));
        const int id = qimcmd::TailTemplateFirst + i;
        connect(item, &QAction::triggered, this, [this, id] { ExecCommand(id); });
    }
    if (tailMenu_->isEmpty()) tailMenu_->addAction(ToQString(LoadQimString(qimstr::NoTemplate)))->setEnabled(false);
}

bool TQimSendWindow::SaveDraft() {
    CollectFields();
    const SSaveMailFolderProperty& draft = settings_.draft;
    SSaveDraftMail writer(header_, *editor, attachments_, draft.kind & kDraftKindMask, this);
    writer.onStored = [this](const std::string& f) {
        editor->document()->setModified(false);
        if (onFolderChanged) onFolderChanged(f);
    };
    if (!SaveDraftIn(draft, writer)) return false;
    const std::string question = DraftSavedQuestion(draft.kind == kSaveNone ? std::string() : draft.folder);
    if (QimMessageBox(this, question.c_str(), MessageIcon::Question, MessageButtons::YesNo) == MessageAnswer::Yes)
        Destroy();
    return true;
}

bool TQimSendWindow::SaveDraftIn(const SSaveMailFolderProperty& draft, SSaveMailFile& writer) {
    // Without a folder chosen the draft goes where new mail goes.
    if (!EnsureSaveFolder(draft, this)) return false;
    return writer.Save(draft.kind == kSaveNone ? GetQimHome() : draft.FullPath());
}

bool TQimSendWindow::StoreSentCopyIn(const SSaveMailFolderProperty& fcc, SSaveMailFile& writer) {
    // The folder may have gone since it was chosen.
    return EnsureSaveFolder(fcc, this) && StoreSentCopy(fcc, writer);
}

bool TQimSendWindow::OpenDraft(const std::string& path) {
    SHalfwayHeader read;
    SAttachmentList files;
    if (!read.ReadDraft(path.c_str(), files)) {
        QimMessageBox(this, LoadQimString(qimstr::MailUnreadable).c_str(), MessageIcon::Stop);
        return false;
    }
    header_.to = read.to;
    header_.cc = read.cc;
    header_.bcc = read.bcc;
    header_.subject = read.subject;
    header_.replyTo = read.replyTo;
    header_.sender = read.sender;
    header_.inReplyTo = read.inReplyTo;
    header_.from = inet_.FromAddress();
    header_.xMailer = kQimMailer;
    attachments_ = files;
    RefreshAttachmentList();
    ShowFields();
    editor->clear();
    TDraftBody body(this, editor);
    if (!body.Process(path.c_str())) {
        QimMessageBox(this, LoadQimString(qimstr::MailUnreadable).c_str(), MessageIcon::Stop);
        return false;
    }
    // The date comes with every build; From is the user's; so a recipient is
    // what an unsent mail may lack. Checked on the fields: a build here would
    // spend a message number.
    const auto blank = [](const std::string& v) { return v.find_first_not_of(" \t") == std::string::npos; };
    if (blank(header_.from) || (blank(header_.to) && blank(header_.cc) && blank(header_.bcc))) {
        QimMessageBox(this, LoadQimString(qimstr::HeaderIncomplete).c_str(), MessageIcon::Stop);
        if (editHeader && editHeader()) ShowFields();
    }
    editor->document()->setModified(false);
    return true;
}

bool TQimSendWindow::InsertFileText() {
    platform::FileDialogRequest request;
    request.parent = this;
    request.mustExist = true;
    std::vector<std::string> paths;
    if (!platform::Dialogs().FileDialog(request, paths) || paths.empty()) return false;
    const std::string& path = paths.front();
    FILE* file = platform::OpenFile(path.c_str(), "rb");
    if (!file) {
        QimMessageBox(this, LoadQimString(qimstr::CannotOpenFile).c_str(), MessageIcon::Stop);
        return false;
    }
    std::string text;
    char block[65536];
    for (std::size_t n; (n = fread(block, 1, sizeof block, file)) > 0;) text.append(block, n);
    fclose(file);
    // The editor holds text: a NUL would cut it short.
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    editor->InsertAtCaret(text.c_str());
    return true;
}

bool TQimSendWindow::Send(int command) {
    using namespace qimcmd;
    CollectFields();
    if (!CheckBeforeSend(*editor, this)) return false;
    const bool pgp = command == PgpEncryptAndSign || command == PgpEncrypt || command == PgpSign ||
                     command == PgpAttachKey;
    // Files listed in the window always go with the mail, whichever send was chosen.
    const bool binary = command == SendWithAttachment || command == SendAttachedEncrypted || !attachments_.empty();
    std::unique_ptr<TEncodingProgress> progress;
    std::unique_ptr<SMakeMimeMailFile> maker;
    if (binary) {
        auto made = std::make_unique<SMakeBinaryMimeMail>(header_, *editor, &attachments_, this);
        made->onAttachmentsChosen = [this] { RefreshAttachmentList(); };
        made->onEncoding = [this, &progress](const std::string& path) {
            if (!progress) progress = std::make_unique<TEncodingProgress>(this);
            progress->Show(path);
        };
        maker = std::move(made);
    } else if (settings_.textAsMime || pgp || command == SendEncrypted) {
        maker = std::make_unique<SMakePlainTextMimeMail>(header_, *editor, this);
    }
    if (!maker) {
        // Text without MIME: the header text and the editor lines go as they are.
        header_.mimeVersion.clear();
        header_.contentType.clear();
        if (!header_.Build()) {
            QimMessageBox(this, LoadQimString(qimstr::HeaderTooLong).c_str(), MessageIcon::Stop);
            return false;
        }
        return RunSend(std::string(), false);
    }
    const bool made = maker->Make();
    progress.reset();
    if (!made) return false;
    std::string file = maker->FilePath();
    SQimTmpFilePath transformed;
    if (command == SendEncrypted || command == SendAttachedEncrypted) {
        TQtCryptKeyPrompt prompt;
        SCryptContext context;
        context.parent = this;
        context.prompt = &prompt;
        context.loginPassword = inet_.password;
        if (EncryptMailForSend(context, header_.to, file.c_str(), transformed.Path()) != SCryptResult::Ok) {
            header_.cryptVersion.clear();
            return false;
        }
        file = transformed.Path();
    } else if (pgp) {
        if (!pgp_) pgp_ = std::make_unique<SUsePGP>();
        const SSettingData& s = GetSettingData();
        const int op = command == PgpEncryptAndSign ? SUsePGP::EncryptSign
                       : command == PgpEncrypt      ? SUsePGP::Encrypt
                       : command == PgpSign         ? SUsePGP::Sign
                                                    : SUsePGP::AttachKey;
        if (!pgp_->Open(s.pgpMajor, s.pgpMinor, this) || !pgp_->Perform(this, op, file.c_str(), transformed.Path()))
            return false;
        file = transformed.Path();
    }
    const bool sent = RunSend(file, true);
    header_.cryptVersion.clear();
    return sent;
}

bool TQimSendWindow::RunSend(const std::string& messageFile, bool ownFile) {
    SSendMail send(inet_, header_, login_, [this](const SNotice& notice) { ShowNotice(notice, this); });
    if (!messageFile.empty()) send.SetMessageFile(messageFile);
    else send.SetEditor(editor);
    if (sendTimeoutMs > 0) send.SetTimeout(sendTimeoutMs);
    // A refused password (535) is asked again, as the receive's is.
    send.askPassword = [](SUserInetData&) {
        TQimApp* app = TQimApp::Instance();
        if (!app || !app->Requests().Has(qimreq::AskPassword)) return false;
        SAppRequest request;
        request.code = qimreq::AskPassword;
        return app->Request(request) == 1;
    };
    send.completeHeader = [this](SEMailHeader&) {
        if (!editHeader || !editHeader()) return false;
        ShowFields();
        return header_.Build();
    };
    // The sent copy is stored before the window may close; a copy that could
    // not be stored keeps the window open.
    bool copyStored = true;
    send.storeSentCopy = [&](const std::string& file) {
        std::unique_ptr<SSaveMailFile> writer;
        if (!file.empty())
            writer = std::make_unique<SSaveSentMailFile>(
                file, ownFile ? SSaveSentMailFile::Mode::Move : SSaveSentMailFile::Mode::Copy, this);
        else
            writer = std::make_unique<SSaveSentMail>(header_, *editor, this);
        writer->onStored = [this](const std::string& f) {
            if (onFolderChanged) onFolderChanged(f);
        };
        copyStored = StoreSentCopyIn(settings_.sentMail, *writer);
    };
    TSendMailDlg dialog(this, send);
    dialog.exec();
    if (dialog.Outcome() != SSmtpOutcome::Sent) return false;
    if (!copyStored) {
        QimMessageBox(this, LoadQimString(qimstr::SentCopyFailed).c_str(), MessageIcon::Stop);
        return true;
    }
    Destroy();
    return true;
}

void TQimSendWindow::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (onDestroy) onDestroy();
    hide();
    deleteLater();
}

void TQimSendWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    Destroy();
}
