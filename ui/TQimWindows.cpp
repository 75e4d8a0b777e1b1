#include "ui/TQimWindows.h"

#include <QAction>
#include <QApplication>
#include <QFontDialog>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <cstdio>
#include <optional>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "address/AliasLookup.h"
#include "app/SQimCommandLine.h"
#include "app/SQimInstance.h"
#include "config/SSettingData.h"
#include "app/TQimApp.h"
#include "common/FilePath.h"
#include "common/QimMessageBox.h"
#include "crypt/PgpMailSteps.h"
#include "platform/ScriptedDialogService.h"
#include "platform/qt/QtText.h"
#include "store/SQimFolder.h"
#include "ui/QimMenuBuilder.h"
#include "ui/QtFonts.h"
#include "ui/QtDialogService.h"
#include "ui/SQimPFrame.h"
#include "ui/SQimPMhWindow.h"
#include "ui/SQimPSendFrame.h"
#include "ui/SQimPTreeView.h"
#include "ui/SQimPWindow.h"
#include "ui/SReceiveMailsDlg.h"
#include "ui/TCertificateQuestion.h"
#include "ui/TCryptDialogs.h"
#include "ui/TFolderTree.h"
#include "ui/TMailPrint.h"
#include "ui/TMailViewPane.h"
#include "ui/TNewMailNotice.h"
#include "ui/TNetworkSettingsDlg.h"
#include "ui/TOptionDialogs.h"
#include "ui/TQimFrame.h"
#include "ui/TQimPSettingsMail.h"
#include "ui/TQimSendWindow.h"
#include "ui/SEditAddressListDlg.h"
#include "ui/SSubsFromDlg.h"
#include "ui/THeaderListModel.h"
#include "ui/TMailViewPane.h"
#include "ui/TQimWindow.h"
#include "ui/TSaveFolderDlg.h"
#include "ui/TSendMailDlg.h"
#include "ui/TTemplatesDlg.h"
#include "send/SQuoteMail.h"
#include "send/SReplyPrefix.h"

TQimWindows::TQimWindows(TQimApp& app) : app_(app) {}

TQimWindows::~TQimWindows() {
    if (settingsMail_) {
        // The window goes with the frame first; the commands are ours until then.
        frame_.reset();
        SetQimPSettingsMail(nullptr);
    }
    // The compose window and the login run lean on this layer: they go with it.
    if (auto* compose = dynamic_cast<TQimSendWindow*>(app_.ComposeWindow())) {
        app_.SetComposeWindow(nullptr);
        delete compose;
    }
    app_.Login().SetAuthenticator({});
}

TQimFrame* TQimWindows::CreateMainFrame() {
    // The installed icon of the theme; the drawn one where Qim runs from its build folder.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("qim"), TNewMailNotice::TrayIcon(0)));
    if (app_.IsServerMode()) {
        // The settings kept on the server: the window's start may fetch them already.
        settingsMail_ = std::make_unique<TQimPSettingsMail>();
        SetQimPSettingsMail(settingsMail_.get());
        // MailBoxType chooses the server's namespace before the frame is made.
        SQimPWindow* client = nullptr;
        if (app_.UserInetData().mailBoxType)
            client = new SQimPMhWindow(app_.UserInetData(), GetSettingData(), AbsoluteDirectory(GetQimHome()));
        auto frame = std::make_unique<SQimPFrame>(app_, client);
        qimpWindow_ = frame->Window();
        frame_ = std::move(frame);
        frame_->RestoreRectangle();
    } else {
        frame_ = std::make_unique<TQimFrame>(app_, false);
        frame_->RestoreRectangle();
        window_ = new TQimWindow(AbsoluteDirectory(GetQimHome()), &app_.SendSettingData(), frame_.get());
        frame_->SetClient(window_);
        window_->SetReceiveHook([this] { ReceiveIntoInbox(); });
        frame_->AddCommand(qimcmd::ExtractPgpKey, [this] { ImportKeysOfSelectedMail(); });
        frame_->AddCommand(
            qimcmd::SortAfterReceive,
            [] { GetSettingData().sortAfterReceive = !GetSettingData().sortAfterReceive; },
            [] { return GetSettingData().sortAfterReceive; });
        StartNewMailNotice();
    }
    frame_->AddCommand(qimcmd::CryptKeys, [this] { EditKeyFile(frame_.get(), app_.UserInetData().password); });
    // A reply or a forward starts from the mail shown or selected.
    const auto mailAtHand = [this] {
        return !MailAtHand().empty() || (qimpWindow_ && !qimpWindow_->SelectedNumbers().empty());
    };
    frame_->AddCommandWhen(qimcmd::Reply, mailAtHand, [this] { StartFromMail(qimcmd::Reply); });
    frame_->AddCommandWhen(qimcmd::Forward, mailAtHand, [this] { StartFromMail(qimcmd::Forward); });
    frame_->AddCommandWhen(qimcmd::Print, mailAtHand, [this] { OnMailAtHand(qimcmd::Print); });
    frame_->AddCommandWhen(qimcmd::SaveMailAs, mailAtHand, [this] { OnMailAtHand(qimcmd::SaveMailAs); });
    frame_->AddCommand(qimcmd::Templates, [this] {
        TTemplatesDlg dialog(frame_.get());
        dialog.exec();
    });
    frame_->AddCommand(qimcmd::ReplyPrefix, [this] { EditReplyPrefix(frame_.get(), app_.SendSettingData()); });
    frame_->AddCommand(qimcmd::Compose, [this] {
        const std::string mailto = GetMailtoAddress();
        ClearMailtoAddress();
        OpenComposeWindow(mailto);
    });
    // The sent-mail and draft folders: the list shows To in them, so it follows a change.
    for (const bool draft : {false, true})
        frame_->AddCommand(draft ? qimcmd::DraftFolder : qimcmd::SentMailFolder, [this, draft] {
            if (!EditSaveFolderSettings(frame_.get(), app_.SendSettingData(), draft, app_.IsServerMode()) || !window_)
                return;
            const SQimSendSettingData& send = app_.SendSettingData();
            FolderMayBeNew((draft ? send.draft : send.sentMail).FullPath());
            window_->Refresh();
        });
    frame_->AddCommand(qimcmd::AddAddress, [this] { RunAddressBookEditor(frame_.get()); });
    frame_->AddCommand(qimcmd::FromSubstitution, [this] { EditFromSubstitution(); });
    frame_->AddCommand(qimcmd::LoadDraft, [this] {
        platform::FileDialogRequest request;
        request.parent = frame_.get();
        request.mustExist = true;
        std::vector<std::string> paths;
        if (!platform::Dialogs().FileDialog(request, paths) || paths.empty()) return;
        OpenComposeWindow()->OpenDraft(paths.front());
    });
    // A send waits for the confirmed POP3 login: the login-only conversation
    // runs when it is not confirmed yet.
    app_.Login().SetAuthenticator([this] {
        const int code = RunUserAuthDialog(frame_.get(), app_.UserInetData(), GetSettingData());
        app_.Login().Report(code ? code : qimreq::LoginPromptCancelled);
    });
    return frame_.get();
}

void TQimWindows::StartNewMailNotice() {
    notice_ = new TNewMailNotice(AbsoluteDirectory(GetQimHome()), frame_.get());
    notice_->onActivate = [this] { ActivateMainFrame(); };
    notice_->SetEnabled(GetSettingData().desktopNotice);
    // Reading a mail or changing its mark goes with a change of the selection.
    QObject::connect(window_, &TQimWindow::SelectionChanged, notice_, &TNewMailNotice::RecountSoon);
    frame_->AddCommand(
        qimcmd::DesktopNotice,
        [this] {
            SSettingData& settings = GetSettingData();
            settings.desktopNotice = !settings.desktopNotice;
            notice_->SetEnabled(settings.desktopNotice);
        },
        [] { return GetSettingData().desktopNotice; });
}

void TQimWindows::StartFromMail(int command) {
    const std::string mail = MailAtHand();
    // A server mail is fetched first; the command comes again once it is here.
    if (mail.empty() && qimpWindow_ && qimpWindow_->FetchForCommand(command)) return;
    if (mail.empty()) {
        QimMessageBox(frame_.get(), LoadQimString(qimstr::NoMailSelected).c_str(), platform::MessageIcon::Stop);
        return;
    }
    if (command == qimcmd::Forward && HasAttachments(mail.c_str()))
        QimMessageBox(frame_.get(), LoadQimString(qimstr::ForwardWithoutAttachments).c_str(),
                      platform::MessageIcon::Exclamation);
    TQimSendWindow* compose = OpenComposeWindow();
    // Handed over as a posted command, once the window is up.
    QPointer<TQimSendWindow> alive(compose);
    QMetaObject::invokeMethod(
        compose,
        [alive, mail, command] {
            if (!alive) return;
            if (command == qimcmd::Reply) alive->StartReply(mail);
            else alive->StartForward(mail);
        },
        Qt::QueuedConnection);
}

std::string TQimWindows::MailAtHand() const {
    return window_ ? window_->CurrentMailPath() : qimpWindow_ ? qimpWindow_->CurrentMailPath() : std::string();
}

void TQimWindows::OnMailAtHand(int command) {
    const std::string mail = MailAtHand();
    if (mail.empty() && qimpWindow_ && qimpWindow_->FetchForCommand(command)) return;
    if (mail.empty()) return;
    const TMailViewPane* viewer = window_ ? window_->Viewer() : qimpWindow_->Viewer();
    if (command == qimcmd::Print) PrintMail(frame_.get(), viewer, mail);
    else SaveMailAs(frame_.get(), viewer, mail);
}

void TQimWindows::EditFromSubstitution() {
    SSubsFromDlg dialog(frame_.get(), app_.SubsFrom());
    if (dialog.exec() != QDialog::Accepted) return;
    if (!app_.ReplaceSubsFrom(dialog.Rules()))
        QimMessageBox(frame_.get(), LoadQimString(qimstr::SubsFromSaveFailed).c_str(), platform::MessageIcon::Stop);
    // The list shows the new names at once, without reading the folder again.
    if (window_) window_->Model()->RefreshFromColumn();
    if (qimpWindow_) qimpWindow_->Model()->RefreshFromColumn();
}

void TQimWindows::ImportKeysOfSelectedMail() {
    const std::vector<int> selected = window_->SelectedNumbers();
    if (selected.empty()) return;
    const std::string mail = SQimFolder(window_->ShownFolder()).MailPath(selected.back());
    const SSettingData& settings = GetSettingData();
    SUsePGP pgp;
    if (pgp.Open(settings.pgpMajor, settings.pgpMinor, frame_.get()))
        ImportAttachedPgpKeys(pgp, frame_.get(), mail.c_str());
}

void TQimWindows::ReceiveIntoInbox() {
    const std::string inbox = AbsoluteDirectory(GetQimHome());
    window_->BeginReceive();
    const SReceiveOutcome outcome =
        RunReceiveDialog(frame_.get(), app_.UserInetData(), GetSettingData(), &app_.Login(), inbox);
    window_->ReceiveEnded(outcome.Arrived());
    // The first rule set sorts the inbox with the new mail in it (as posted steps).
    if (outcome.Arrived() && GetSettingData().sortAfterReceive) window_->RunRuleSet(SSortRuleSet::Local1, inbox);
    if (notice_) notice_->MailArrived(outcome.Arrived() ? outcome.lastNew - outcome.firstNew + 1 : 0);
    if (outcome.exitRequested) PostCommand(qimcmd::Exit);
}

void TQimWindows::ShowMainFrame() { frame_->ShowAtStart(); }

platform::ParentWindow TQimWindows::MainWindow() { return frame_.get(); }

void TQimWindows::PostCommand(int id) {
    if (frame_) frame_->PostCommand(id);
}

void TQimWindows::ActivateMainFrame() {
    if (frame_) frame_->Activate();
}

void TQimWindows::ReloadFolder(const std::string& folder) {
    if (qimpWindow_) {
        qimpWindow_->Tree()->FillLocal(AbsoluteDirectory(GetQimHome()));
        qimpWindow_->LocalFolderChanged(folder);
        return;
    }
    if (!window_) return;
    FolderMayBeNew(folder);
    window_->ReloadFolder(folder);
}

void TQimWindows::FolderMayBeNew(const std::string& folder) {
    TFolderTree* tree = window_->Tree();
    if (tree->ItemOf(folder) || !IsSubfolder(AbsoluteDirectory(GetQimHome()), folder, true)) return;
    const QSignalBlocker block(tree);
    tree->Fill(AbsoluteDirectory(GetQimHome()), window_->ShownFolder());
}

bool TQimWindows::EditNetworkSettings(SUserInetData& data) {
    TNetworkSettingsDlg dialog(frame_.get(), data);
    return dialog.exec() == QDialog::Accepted && dialog.Collect(data);
}

bool TQimWindows::EditDefaultSort(int& value) {
    TDefaultSortDlg dialog(frame_.get(), value);
    if (dialog.exec() != QDialog::Accepted) return false;
    value = dialog.Value();
    return true;
}

bool TQimWindows::ChooseFont(const std::string& caption, SFont& font) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, ToQFont(font), frame_.get(), platform::ToQString(caption));
    if (!ok) return false;
    TakeQFont(chosen, font);
    return true;
}

void TQimWindows::FontsChanged() {
    if (window_) {
        window_->Viewer()->ReadSettings();
        ApplyListFont(*window_->List());
    }
    if (qimpWindow_) {
        qimpWindow_->Viewer()->ReadSettings();
        ApplyListFont(*qimpWindow_->List());
    }
}

bool TQimWindows::EditPgpUsage(int& usage) {
    TPgpUsageDlg dialog(frame_.get(), usage);
    if (dialog.exec() != QDialog::Accepted) return false;
    usage = dialog.Usage();
    return true;
}

TQimSendWindow* TQimWindows::OpenComposeWindow(const std::string& mailto) {
    if (auto* open = dynamic_cast<TQimSendWindow*>(app_.ComposeWindow())) {
        if (!mailto.empty()) open->SetMailto(mailto);
        open->raise();
        open->activateWindow();
        return open;
    }
    composeLogin_ = std::make_unique<TAppLoginConfirmation>(app_.Login(), frame_.get());
    const bool pgpInUse = (GetSettingData().pgpUsage & 1) != 0;
    TQimSendWindow* compose = nullptr;
    if (qimpWindow_)
        compose = new SQimPSendFrame(*qimpWindow_, app_.UserInetData(), app_.SendSettingData(), *composeLogin_, pgpInUse);
    else
        compose = new TQimSendWindow(app_.UserInetData(), app_.SendSettingData(), *composeLogin_, pgpInUse);
    compose->onFolderChanged = [this](const std::string& folder) { ReloadFolder(folder); };
    compose->onDestroy = [this] { app_.SetComposeWindow(nullptr); };
    // The head templates' %X shows the sender as the list does, %A as the address book names it.
    compose->templateSources.substitutedFrom = [this](const std::string& from) { return app_.SubsFrom().Substitute(from); };
    compose->templateSources.aliasName = FindAliasNameOfAddress;
    app_.SetComposeWindow(compose);
    if (!mailto.empty()) compose->SetMailto(mailto);
    compose->show();
    return compose;
}

void TQimWindows::ShowAbout() {
    const std::string text = LoadQimString(qimstr::AboutText) + "\n" + QimVersionText();
    QimMessageBox(frame_.get(), text.c_str(), platform::MessageIcon::Information);
}

void TQimWindows::ScheduleScreenshot(const std::string& file, int delayMs) {
    QTimer::singleShot(delayMs, frame_.get(), [this, file, delayMs] {
        // The last pop-up (the settings) opened on its first item, so that
        // items, check marks and a status-bar hint show too.
        const QList<QAction*> tops = frame_->menuBar()->actions();
        if (!tops.isEmpty() && tops.back()->menu()) {
            frame_->menuBar()->setActiveAction(tops.back());
            QMenu* menu = tops.back()->menu();
            for (QAction* item : menu->actions()) {
                if (item->isEnabled() && !item->isSeparator()) {
                    menu->setActiveAction(item);
                    break;
                }
            }
        }
        QTimer::singleShot(delayMs, frame_.get(), [this, file] {
            const bool saved = SaveScreenshot(file);
            std::fprintf(saved ? stdout : stderr, saved ? "qim: %s に保存しました。\n" : "qim: %s に保存できませんでした。\n",
                         file.c_str());
            if (QAction* open = frame_->menuBar()->activeAction(); open && open->menu()) open->menu()->close();
            frame_->close();
            if (!saved) QCoreApplication::exit(1);
        });
    });
}

bool TQimWindows::SaveScreenshot(const std::string& file) {
    QPixmap frame = frame_->grab();
    QAction* open = frame_->menuBar()->activeAction();
    QMenu* popup = open ? open->menu() : nullptr;
    if (popup && popup->isVisible()) {
        const QPoint at = popup->pos() - frame_->mapToGlobal(QPoint(0, 0));
        const QPixmap menu = popup->grab();
        QPixmap canvas(frame.size().expandedTo(QSize(at.x() + menu.width(), at.y() + menu.height())));
        canvas.fill(Qt::white);
        QPainter painter(&canvas);
        painter.drawPixmap(0, 0, frame);
        painter.drawPixmap(at, menu);
        painter.end();
        frame = canvas;
    }
    return frame.save(QString::fromStdString(file), "PNG");
}

int RunQim(int argc, char** argv) {
    SProcessEnvironment env;
    {
        // --help, --version and a bad argument need no window: answered
        // before the window system is reached, so they work without a display.
        SQimStartOptions early;
        std::string error;
        if (!ParseQimCommandLine({argv + 1, argv + argc}, env, "QimHome", early, error)) {
            std::fprintf(stderr, "qim: %s\n", error.c_str());
            return 2;
        }
        if (PrintInformation(early)) return 0;
    }
    TQimApp app(argc, argv);
    // Qt has taken its own options out of argv by now.
    std::vector<std::string> args(argv + 1, argv + argc);
    int exitCode = 0;
    if (!app.ReadCommandLine(args, env, exitCode)) return exitCode;

    QtDialogService qtDialogs;
    std::optional<platform::ScopedDialogService> dialogs;
    TCertificateQuestion certificateQuestion;
    if (!app.StartOptions().noDialogs) {
        dialogs.emplace(qtDialogs);
        platform::SetCertificateQuestion(&certificateQuestion);
    }

    SLocalRunningCopy running;
    if (!app.Start(running, exitCode)) return exitCode;
    app.PrepareMainWindow();

    TQimWindows windows(app);
    app.SetWindowLayer(&windows);
    windows.CreateMainFrame();
    windows.ShowMainFrame();
    if (const int first = app.FirstActionCommand()) windows.PostCommand(first);
    if (!app.StartOptions().screenshot.empty()) windows.ScheduleScreenshot(app.StartOptions().screenshot);
    exitCode = app.exec();
    app.SetWindowLayer(nullptr);
    platform::SetCertificateQuestion(nullptr);
    return exitCode;
}
