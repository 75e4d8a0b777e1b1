// The server-folder window under offscreen Qt: against Dovecot the folders,
// a folder's headers, a mail in the viewer and mails moved and copied between
// folders as a user works; against scripted servers the refusals that must
// come before anything is sent and what a failed reply leaves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidgetItem>
#include <QAction>
#include <QMenuBar>
#include <deque>
#include <set>
#include <sstream>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimSendSettingData.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "imap/Imap4Codes.h"
#include "imap/QimPSizeColumn.h"
#include "imap/SQimPFolderList.h"
#include "send/SSendMail.h"
#include "platform/FileSystem.h"
#include "platform/PrivateProfile.h"
#include "platform/ScriptedDialogService.h"
#include "store/QimStoreCodes.h"
#include "store/SMemCacheFolder.h"
#include "support/EventLoop.h"
#include "support/ScriptedSocket.h"
#include "support/TestServers.h"
#include "support/TestSupport.h"
#include "tests/imap/ImapTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QimMenuBuilder.h"
#include "ui/SAMFDialog.h"
#include "ui/SImap4CommunDlg.h"
#include "ui/SQimPFrame.h"
#include "ui/SQimPSendFrame.h"
#include "ui/TComposeEdit.h"
#include "ui/SQimPMhWindow.h"
#include "ui/SQimPTreeView.h"
#include "ui/SSetWarnSizeAFolderDlg.h"
#include "ui/TSaveFolderDlg.h"
#include "ui/SQimPWindow.h"
#include "ui/TQimPSettingsMail.h"
#include "ui/TDeleteConfirmDlg.h"
#include "ui/THeaderListModel.h"
#include "ui/TMailViewPane.h"
#include "ui/TQimFrame.h"
#include "ui/TQimWindows.h"

namespace {

using qimtest::Sjis;
using namespace qimimap;
using namespace qimstore;

std::string Mail(const std::string& subject, const std::string& body, int day) {
    return "From: sender@example.jp\r\nTo: taro@example.jp\r\nSubject: " + subject + "\r\nDate: " +
           std::to_string(day) + " Jan 2026 09:00:00 +0900\r\n\r\n" + body + "\r\n";
}

class QimPWindowBase : public ::testing::Test {
protected:
    void SetUp() override {
        qimtest::QimTestApp();
        ResetQimProcessValues();
        SetQimHome(home_.Path());
        SetQimIniPath(home_.File("QIM.INI"));
        inet_.pop3Server = "127.0.0.1";
        inet_.pop3Port = kImap4Port;
        inet_.userName = "taro";
        inet_.password = "secret";
    }
    void TearDown() override {
        window_.reset();
        ResetQimProcessValues();
    }
    template <typename W = SQimPWindow>
    SQimPWindow& Open() {
        window_ = std::make_unique<W>(inet_, settings_, home_.Path());
        window_->resize(1000, 600);
        window_->show();
        window_->Session().Session().SetTimeout(8000);
        return *window_;
    }
    // Runs the loop until the session has nothing more to do: idle, and
    // still idle once what its last completion brought has run.
    bool Idle(int ms = 15000) {
        const auto idle = [&] { return !window_->SessionDialog() || !window_->SessionDialog()->Session().IsBusy(); };
        QElapsedTimer clock;
        clock.start();
        do {
            if (!qimtest::RunUntil(idle, ms)) return false;
            qimtest::RunFor(30);
        } while (!idle() && clock.elapsed() < ms);
        return idle();
    }
    std::vector<int> Rows() const {
        std::vector<int> numbers;
        for (int r = 0; r < window_->Model()->rowCount(); ++r) numbers.push_back(window_->Model()->NumberAt(r));
        return numbers;
    }
    std::vector<std::string> ServerNodes() const {
        std::vector<std::string> paths;
        std::vector<QTreeWidgetItem*> pending{window_->Tree()->ServerRoot()};
        while (!pending.empty()) {
            QTreeWidgetItem* item = pending.back();
            pending.pop_back();
            if (!item) continue;
            paths.push_back(TFolderTree::PathOf(item) + " " + std::to_string(SQimPTreeView::KindOf(item)));
            for (int i = item->childCount() - 1; i >= 0; --i) pending.push_back(item->child(i));
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const platform::RecordedBox& b : dialogs_.Boxes())
            if (b.kind == platform::RecordedBox::Kind::Message) texts.push_back(b.text);
        return texts;
    }
    bool Boxed(unsigned id) const {
        for (const std::string& t : BoxTexts())
            if (t.find(LoadQimString(id)) != std::string::npos) return true;
        return false;
    }

    qimtest::TempDir home_;
    SUserInetData inet_;
    SSettingData settings_;
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService installed_{dialogs_};
    std::unique_ptr<SQimPWindow> window_;
};

// ---- Against Dovecot ----

class QimPWindow : public QimPWindowBase {
protected:
    void SetUp() override {
        QimPWindowBase::SetUp();
        ASSERT_TRUE(dovecot.Ok()) << dovecot.Log();
        user_ = dovecot.NewUser();
        inet_.userName = user_;
        inet_.pop3Port = dovecot.ImapPort();
    }
    // The server prepared as another client would leave it.
    void Prepare(const std::vector<std::string>& folders, const std::vector<std::pair<std::string, std::string>>& mails) {
        imaptest::Recorder seen;
        SImap4Session session(inet_, settings_, seen);
        const auto run = [&](const SImap4Request& r, int op) {
            const std::size_t before = seen.completions.size();
            if (!session.Request(r, op)) return false;
            const auto done = [&] {
                for (std::size_t i = before; i < seen.completions.size(); ++i)
                    if (seen.completions[i].operation == op) return true;
                return false;
            };
            return qimtest::RunUntil(done, 10000) && seen.Last(op)->result == kResultSuccess;
        };
        for (const std::string& folder : folders) {
            SImap4Request r;
            r.folder = folder;
            ASSERT_TRUE(run(r, kOpCreateFolder)) << folder << seen.AllNotices();
        }
        int serial = 0;
        for (const auto& [folder, mail] : mails) {
            const std::string file = home_.File("prepared" + std::to_string(++serial));
            qimtest::WriteFileBytes(file, mail);
            SImap4Request r;
            r.folder = folder;
            r.mailFile = file;
            ASSERT_TRUE(run(r, kOpAppend)) << folder << seen.AllNotices();
            platform::RemoveFile(file.c_str());
        }
    }
    // What imap_peek.py says; every argument goes to it as it is.
    std::string Peek(const std::vector<std::string>& args) const {
        std::string command = "/usr/bin/python3 " + std::string(QIM_TEST_SERVERS_DIR) + "/imap_peek.py " +
                              std::to_string(dovecot.ImapPort()) + " " + user_;
        for (const std::string& a : args) command += " '" + a + "'";
        return qimtest::RunCommand(command);
    }
    int Count(const std::string& mailbox) const {
        std::istringstream in(Peek({"flags", mailbox}));
        int n = 0;
        for (std::string line; std::getline(in, line);) n += !line.empty();
        return n;
    }

    qimtest::DovecotServer& dovecot = qimtest::DovecotServer::Shared();
    std::string user_;
};

TEST_F(QimPWindow, ListsFoldersShowsHeadersOpensAMailAndMovesOneToAnotherFolder) {
    Prepare({"_QimP\\Work\\_mbox", "_QimP\\" + Sjis("保存") + "\\_mbox", "_QimP\\Lists"},
            {{"_QimP", Mail("inbox one", "i1", 1)},
             {"_QimP\\Work\\_mbox", Mail("work one", "w1", 2)},
             {"_QimP\\Work\\_mbox", Mail("work two", Sjis("日本語の本文"), 3)},
             {"_QimP\\Work\\_mbox", Mail("work three", "w3", 4)}});
    SQimPWindow& w = Open();
    w.StartUp();
    ASSERT_TRUE(Idle()) << testing::PrintToString(BoxTexts());
    // The folders, and the INBOX's headers at once.
    EXPECT_EQ(ServerNodes(), (std::vector<std::string>{"_QimP 3", "_QimP\\Lists 8", "_QimP\\Work 2",
                                                       "_QimP\\" + Sjis("保存") + " 2"}));
    EXPECT_EQ(w.ShownFolder(), "_QimP");
    EXPECT_EQ(Rows(), std::vector<int>{1});
    EXPECT_FALSE(w.IsStartingUp());

    w.SelectFolder("_QimP\\Work");
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Rows(), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(w.Model()->columnCount(), kColumnCount + 1);
    EXPECT_EQ(w.Model()->data(w.Model()->index(0, kSizeColumn), Qt::DisplayRole).toString(), "1");

    // The mail comes into the viewer and counts as read.
    w.SelectNumbers({2});
    w.ShowMail(2);
    ASSERT_TRUE(Idle());
    EXPECT_NE(w.Viewer()->toPlainText().indexOf(QString::fromUtf8("日本語の本文")), -1) << w.Viewer()->toPlainText().toStdString();
    EXPECT_EQ(w.Cache().GetMarks(2) & kMarkRead, kMarkRead);

    // Dragged onto the other folder: gone here, there on the server.
    w.SelectNumbers({2});
    ASSERT_TRUE(w.TransferTo("_QimP\\" + Sjis("保存"), false));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Rows(), (std::vector<int>{2, 1}));
    EXPECT_TRUE(w.Viewer()->ShownPath().empty());  // the viewer let go of the mail that went
    EXPECT_EQ(Count("_QimP.Work._mbox"), 2);
    EXPECT_EQ(Count("_QimP.&T91bWA-._mbox"), 1);
    w.SelectFolder("_QimP\\" + Sjis("保存"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Rows(), std::vector<int>{1});
    EXPECT_EQ(w.Model()->RecordAt(0)->header.subject, "work two");
    EXPECT_TRUE(BoxTexts().empty()) << testing::PrintToString(BoxTexts());
}

TEST_F(QimPWindow, FoldersAreMadeRenamedAndDeletedFromTheTree) {
    SQimPWindow& w = Open();
    w.StartUp();
    ASSERT_TRUE(Idle());
    // An empty INBOX at the start says so.
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{LoadQimString(qimstr::NoNewMail)});
    dialogs_.Clear();
    w.Tree()->setCurrentItem(w.Tree()->ServerRoot());
    dialogs_.AnswerInput(std::string("Project"));
    ASSERT_TRUE(w.Commands().Execute(qimcmd::NewFolder));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(ServerNodes(), (std::vector<std::string>{"_QimP 3", "_QimP\\Project 2"}));
    EXPECT_NE(Peek({"list"}).find("_QimP.Project._mbox"), std::string::npos);

    // Renamed in place, as a user edits the label.
    QTreeWidgetItem* item = w.Tree()->ServerItemOf("_QimP\\Project");
    ASSERT_NE(item, nullptr);
    item->setText(0, QString::fromUtf8("計画"));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(ServerNodes(), (std::vector<std::string>{"_QimP 3", "_QimP\\" + Sjis("計画") + " 2"}));
    const std::string names = Peek({"list"});
    EXPECT_EQ(names.find("Project"), std::string::npos) << names;

    w.SelectFolder("_QimP\\" + Sjis("計画"));
    ASSERT_TRUE(Idle());
    ASSERT_TRUE(w.Commands().Execute(qimcmd::DeleteFolder));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(ServerNodes(), std::vector<std::string>{"_QimP 3"});
    EXPECT_EQ(Peek({"list"}).find("_mbox"), std::string::npos) << Peek({"list"});
    EXPECT_EQ(w.ShownFolder(), "_QimP");
    EXPECT_TRUE(BoxTexts().empty()) << testing::PrintToString(BoxTexts());
}

// Answers the delete questions in turn by their buttons' names.
class DeleteAnswers {
public:
    explicit DeleteAnswers(std::deque<const char*> answers) : answers_(std::move(answers)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<TDeleteConfirmDlg*>(QApplication::activeModalWidget());
            if (!dialog || answers_.empty()) return;
            QPushButton* button = dialog->findChild<QPushButton*>(answers_.front());
            answers_.pop_front();
            ASSERT_NE(button, nullptr);
            button->click();
        });
        timer_.start();
    }
    bool Done() const { return answers_.empty(); }

private:
    std::deque<const char*> answers_;
    QTimer timer_;
};

TEST_F(QimPWindow, TheSettingsGoToTheServerOnceAndComeBackByteForByte) {
    Prepare({}, {});
    TQimPSettingsMail settings;
    SQimPSettingsMail* before = SetQimPSettingsMail(&settings);
    const std::string config = home_.File("CONFIG.INI");
    qimtest::WriteFileBytes(config, "[QimP]\r\nWarnSizeAFolder=300\r\n");
    SQimPWindow& w = Open();
    w.StartUp();
    ASSERT_TRUE(Idle());
    for (int put = 0; put < 2; ++put) {
        ASSERT_TRUE(w.Commands().Execute(qimcmd::SettingsToServer));
        ASSERT_TRUE(Idle());
    }
    EXPECT_EQ(Count("_QimP._inimbox"), 1) << "the newest settings mail only";
    const std::string stored = qimtest::ReadFileBytes(config);
    EXPECT_NE(stored.find("WarnSizeAFolder=300"), std::string::npos) << stored;
    qimtest::WriteFileBytes(config, "[QimP]\r\nWarnSizeAFolder=1\r\n");
    ASSERT_TRUE(w.Commands().Execute(qimcmd::SettingsFromServer));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(qimtest::ReadFileBytes(config), stored);
    SetQimPSettingsMail(before);
}

TEST_F(QimPWindow, MarksGoToTheServerAndTheDeleteAsksPerMail) {
    Prepare({}, {{"_QimP", Mail("m1", "1", 1)}, {"_QimP", Mail("m2", "2", 2)}, {"_QimP", Mail("m3", "3", 3)}});
    const std::string local = home_.File("saved");
    ASSERT_TRUE(platform::CreateDirectory(local.c_str()));
    SQimPWindow& w = Open();
    w.StartUp();
    ASSERT_TRUE(Idle());
    ASSERT_EQ(Rows(), (std::vector<int>{3, 2, 1}));
    w.SelectNumbers({1, 2, 3});
    w.MarkMails(true);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Peek({"flags", "INBOX"}), "1 \\Seen\n2 \\Seen\n3 \\Seen\n");
    w.SelectNumbers({2});
    w.MarkMails(false);
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Peek({"flags", "INBOX"}), "1 \\Seen\n2 \n3 \\Seen\n");
    EXPECT_EQ(w.Cache().GetMarks(2) & kMarkRead, 0);

    // Copied into a local folder: the next number there, the server keeps it.
    w.SelectNumbers({3});
    ASSERT_TRUE(w.TransferTo(local, true));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(qimtest::ReadFileBytes(local + "/1"), Mail("m3", "3", 3));
    EXPECT_EQ(SMemCacheFolder(local).Count(), 1);
    EXPECT_EQ(Count("INBOX"), 3);

    // The server's search marks what it found.
    SFindMailCondition condition;
    condition.SetPattern("m2");
    condition.SetFieldName("Subject");
    condition.SetWhere(SFindMailCondition::FindInField);
    ASSERT_TRUE(w.SearchShownFolder(condition, true));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(w.SelectedNumbers(), std::vector<int>{2});
    EXPECT_EQ(w.SearchResult(), std::vector<int>{2});

    // The last listed is asked first: 1 yes, 3 no.
    w.SelectNumbers({1, 3});
    DeleteAnswers answers({TDeleteConfirmDlg::kYes, TDeleteConfirmDlg::kNo});
    ASSERT_TRUE(w.Commands().Execute(qimcmd::DeleteMail));
    ASSERT_TRUE(Idle());
    EXPECT_TRUE(answers.Done());
    EXPECT_EQ(Count("INBOX"), 2);
    EXPECT_EQ(Rows(), (std::vector<int>{2, 1}));
    EXPECT_EQ(w.Model()->RecordAt(1)->header.subject, "m2");
    EXPECT_TRUE(BoxTexts().empty()) << testing::PrintToString(BoxTexts());
}

TEST_F(QimPWindow, ARuleSetMovesServerMailIntoALocalAndAServerFolder) {
    Prepare({"_QimP\\ml\\_mbox"}, {{"_QimP", Mail("m1", "1", 1)}, {"_QimP", Mail("m2", "2", 2)}, {"_QimP", Mail("m3", "3", 3)}});
    ASSERT_TRUE(platform::CreateDirectory(home_.File("saved").c_str()));
    qimtest::WriteFileBytes(home_.File("QIM.INI"),
                            "[QimPMoveFiles]\r\nNum=2\r\n"
                            "HeaderType0=1\r\nPosType0=0\r\nIn0=\"m1\"\r\nDest0=\"saved\"\r\n"
                            "HeaderType1=1\r\nPosType1=0\r\nIn1=\"m3\"\r\nDest1=\"_QimP\\ml\"\r\n");
    SQimPWindow& w = Open();
    w.StartUp();
    ASSERT_TRUE(Idle());
    ASSERT_EQ(Rows(), (std::vector<int>{3, 2, 1}));
    ASSERT_TRUE(w.Commands().Execute(qimcmd::AutoSort));
    ASSERT_TRUE(qimtest::RunUntil([&] { return !w.IsSorting(); }, 20000));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(w.SortMoved(), 2);
    EXPECT_EQ(qimtest::ReadFileBytes(home_.File("saved") + "/1"), Mail("m1", "1", 1));
    EXPECT_EQ(SMemCacheFolder(home_.File("saved")).Count(), 1);
    EXPECT_EQ(Count("INBOX"), 1);
    EXPECT_EQ(Count("_QimP.ml._mbox"), 1);
    ASSERT_EQ(Rows(), std::vector<int>{1});
    EXPECT_EQ(w.Model()->RecordAt(0)->header.subject, "m2");
    EXPECT_TRUE(BoxTexts().empty()) << testing::PrintToString(BoxTexts());
}

TEST_F(QimPWindow, TheComposeWindowSavesItsDraftIntoAServerFolder) {
    Prepare({"_QimP\\" + Sjis("下書き") + "\\_mbox"}, {});
    SQimPWindow& w = Open();
    w.StartUp();
    ASSERT_TRUE(Idle());
    dialogs_.Clear();
    SQimSendSettingData send;
    send.draft.kind = kSaveQimPRelative;
    send.draft.folder = Sjis("下書き");
    SLoginAlreadyConfirmed login;
    inet_.mailAddress = "taro@example.jp";
    auto* compose = new SQimPSendFrame(w, inet_, send, login, false);
    compose->toEdit->setText("hanako@example.jp");
    compose->subjectEdit->setText(QString::fromUtf8("下書きの件"));
    compose->editor->setPlainText(QString::fromUtf8("書きかけです。"));
    dialogs_.AnswerMessage(platform::MessageAnswer::No);  // the window stays open
    ASSERT_TRUE(compose->SaveDraft());
    ASSERT_TRUE(Idle());
    const std::string saved = Peek({"body", "_QimP.&Tgtm+DBN-._mbox", "1"});
    EXPECT_NE(saved.find("Subject: =?ISO-2022-JP?"), std::string::npos) << saved;
    EXPECT_NE(saved.find("To: hanako@example.jp"), std::string::npos) << saved;
    // Nothing was stored locally.
    EXPECT_FALSE(qimtest::FileExists(home_.File("1")));
    delete compose;
}

TEST(QimPSendFrameFolders, AServerPropertyNamesAFolderBelowQimPOrNone) {
    struct Case {
        int kind;
        const char* folder;
        const char* server;  // null: not a server folder
    };
    const Case cases[] = {
        {kSaveQimPRelative, "", "_QimP"},
        {kSaveQimPRelative, "A/B", "_QimP\\A\\B"},
        {kSaveQimPRelative, "\\A\\", "_QimP\\A"},
        {kSaveQimPRelative, "_QimP\\Sent", "_QimP\\Sent"},
        {kSaveQimPRelative, "..\\..\\etc", nullptr},
        {kSaveQimPRelative, "A\\..\\..", nullptr},
        {kSaveHomeRelative, "A", nullptr},
        {kSaveHomeRelative | kSaveQimPRelative, "A", nullptr},
        {kSaveNone, "A", nullptr},
    };
    for (const Case& c : cases) {
        SSaveMailFolderProperty p;
        p.kind = c.kind;
        p.folder = c.folder;
        std::string folder;
        EXPECT_EQ(SQimPSendFrame::ServerFolderOf(p, folder), c.server != nullptr) << c.folder;
        if (c.server) {
            EXPECT_EQ(folder, c.server) << c.folder;
        }
    }
}

// ---- The mode's dialogs ----

class QimPDialogs : public QimPWindowBase {};

TEST_F(QimPDialogs, TheSizeWarningDialogShowsAndTakesItsTwoSettings) {
    SQimPSettingData settings;
    settings.warnSizeFolders = kWarnServerFolders;
    settings.warnSizeKB = 300;
    SSetWarnSizeAFolderDlg dialog(nullptr, settings);
    EXPECT_TRUE(dialog.server->isChecked());
    EXPECT_EQ(dialog.limit->text(), "300");
    dialog.both->setChecked(true);
    dialog.limit->setText("0");  // no limit to speak of: the dialog stays
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    dialog.limit->setText("500");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.Collect(settings);
    EXPECT_EQ(settings.warnSizeFolders, kWarnBothFolders);
    EXPECT_EQ(settings.warnSizeKB, 500);
}

TEST_F(QimPDialogs, ASaveFolderOnTheServerIsCheckedAgainstTheFolderList) {
    SQimPFolderList list(home_.Path().c_str());
    qimtest::WriteFileBytes(SQimPFolderList::Path(), "_QimP\\Sent\\_mbox\r\n");
    SSaveMailFolderProperty property;
    TSaveFolderDlg dialog(nullptr, property, false, true);
    ASSERT_NE(dialog.serverCheck, nullptr);
    dialog.saveCheck->setChecked(true);
    dialog.serverCheck->setChecked(true);
    dialog.folderEdit->setText("Snet");
    dialogs_.AnswerMessage(platform::MessageAnswer::Yes);  // type it again
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialogs_.Boxes().size(), 1u);
    dialog.folderEdit->setText("Sent");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Result().kind, kSaveQimPRelative);
    EXPECT_EQ(dialog.Result().folder, "Sent");
    // Nothing local was offered to be made.
    EXPECT_EQ(dialogs_.Boxes().size(), 1u);
    EXPECT_FALSE(qimtest::FileExists(home_.File("Sent")));
}

// ---- The frame of the mode ----

class QimPFrame : public QimPWindowBase {
protected:
    // The main frame as the program builds it from QIM.INI.
    TQimFrame* Build(int mailBoxType, int port = kImap4Port) {
        qimtest::WriteFileBytes(home_.File("QIM.INI"), "[Host]\r\nPOP3Addr=127.0.0.1\r\nPOP3Port=" + std::to_string(port) +
                                                           "\r\nUserName=taro\r\nMailBoxType=" +
                                                           std::to_string(mailBoxType) + "\r\n");
        TQimApp& app = qimtest::QimTestApp();
        app.PrepareMainWindow();
        windows_ = std::make_unique<TQimWindows>(app);
        app.SetWindowLayer(windows_.get());
        return windows_->CreateMainFrame();
    }
    void TearDown() override {
        TQimApp& app = qimtest::QimTestApp();
        app.SetWindowLayer(nullptr);
        windows_.reset();
        // The one application object goes on to the other tests in the local mode.
        qimtest::WriteFileBytes(home_.File("QIM.INI"), "[Host]\r\nPOP3Port=110\r\n");
        app.PrepareMainWindow();
        QimPWindowBase::TearDown();
    }
    std::unique_ptr<TQimWindows> windows_;
};

TEST_F(QimPFrame, TheIMAP4PortOpensTheServerFolderWindowOfTheMailboxType) {
    TQimFrame* frame = Build(0);
    EXPECT_TRUE(qimtest::QimTestApp().IsServerMode());
    EXPECT_NE(dynamic_cast<SQimPFrame*>(frame), nullptr);
    ASSERT_NE(windows_->ServerWindow(), nullptr);
    EXPECT_EQ(windows_->Window(), nullptr);
    EXPECT_EQ(dynamic_cast<SQimPMhWindow*>(windows_->ServerWindow()), nullptr);
    qimtest::QimTestApp().SetWindowLayer(nullptr);
    windows_.reset();
    Build(1, kImap4TlsPort);
    EXPECT_NE(dynamic_cast<SQimPMhWindow*>(windows_->ServerWindow()), nullptr);
}

TEST_F(QimPFrame, EveryServerModeCommandIsServedOrGreyed) {
    GetSettingData() = SSettingData();
    TQimFrame* frame = Build(0);
    // With the INBOX shown and nothing selected.
    using namespace qimcmd;
    const std::set<int> enabled = {
        // the frame and the application
        Exit, Compose, CryptKeys, SentMailFolder, LoadDraft, DraftFolder, Templates, ReplyPrefix, AddAddress,
        FromSubstitution, NetworkSettings, FixedPrintFont, NoAttachmentNotice, AttachmentFolder, DefaultSort, PgpUsage,
        ViewerSeparate, ViewerLowerRight, ViewerBelow, ViewerUpperRight, About, HelpContents, HelpOnHelp,
        PasswordInKeyring, TextAsMime, FoldWidth, AddressPhrase, WebBrowser, ViewerFont, QuoteFont, ListFont,
        // the server-folder window
        Receive, NewFolder, RenameFolder, DeleteFolder, RefreshCache, ImportAsNewMail, SwapFromTo, ShowMail, NextMail,
        PreviousMail, SelectAll, ClearSelection, ExtractAttachments, Uudecode, FindInFolder, FindAllAndMark,
        SettingsToServer, SettingsFromServer, BackupSettingsOnServer, BackupSettingsLocally, SettingsOnServer,
        ShowLocalMailSize, MailVolumeWarning, ServerAutoSortSettings, ServerAutoSort2Settings, AutoSort, AutoSort2,
        OneShotSort};
    // Served, but not now: they need a selected mail, a local folder or a search done.
    const std::set<int> greyed = {Reply, Forward, DeleteMail, MarkUnread, MarkRead, MarkImportant, RenumberGaps,
                                  RenumberByDate, ArchiveFolder, FindNext, Print, SaveMailAs};
    for (QAction* action : CommandActions(frame->menuBar())) {
        const int id = CommandOf(action);
        if (action->isSeparator()) continue;
        EXPECT_EQ(action->isEnabled(), enabled.count(id) == 1) << id;
        EXPECT_EQ(frame->IsCommandServed(id), enabled.count(id) + greyed.count(id) == 1) << id;
    }
    // The server folders' sorting: the settings always, the runs on a shown server folder.
    for (int id : {ServerAutoSortSettings, ServerAutoSort2Settings, AutoSort, AutoSort2, OneShotSort})
        EXPECT_TRUE(frame->IsCommandServed(id)) << id;
    // The option shows its state and keeps it.
    EXPECT_TRUE(FindCommandAction(frame->menuBar(), ShowLocalMailSize)->isCheckable());
    EXPECT_FALSE(FindCommandAction(frame->menuBar(), ShowLocalMailSize)->isChecked());
    EXPECT_TRUE(frame->ExecCommand(ShowLocalMailSize));
    EXPECT_TRUE(FindCommandAction(frame->menuBar(), ShowLocalMailSize)->isChecked());
    SQimPSettingData read;
    read.Read();
    EXPECT_TRUE(read.showLocalMailSize);
}

// ---- Against scripted servers ----

class QimPWindowScripted : public QimPWindowBase {};

// The start of the scripted window tests after the login: the folder list
// (with the settings mailbox, so none is made) and the empty INBOX's headers,
// under the tags `first` and `first` + 1.
std::string StartScript(const std::vector<std::string>& names, int first = 3) {
    const std::string list = "a000" + std::to_string(first), select = "a000" + std::to_string(first + 1);
    std::string script = "C: " + list + " LIST \"_QimP.\" *\n";
    for (const std::string& name : names) script += "S: * LIST () \".\" \"" + name + "\"\n";
    script += "S: * LIST () \".\" \"_QimP._inimbox\"\n"
              "S: " + list + " OK\n"
              "C: " + select + " SELECT inbox\nS: * 0 EXISTS\nS: * 1 RECENT\nS: " + select + " OK\n";
    return script;
}

// Settings commands that fetch the settings mail at the start and refuse the
// first close, as the settings kept on the server may.
struct FetchingSettings : SQimPSettingsMail {
    std::vector<std::string> seen;
    std::string file;
    bool OnStart(SQimPSettingsHost& host) override {
        SImap4Request r;
        r.folder = kSettingsMailbox;
        r.first = 1;
        file = host.SettingsMailFile();
        r.mailFile = file;
        seen.push_back("start");
        return host.Request(r, kOpFetchBodyForForward);
    }
    void Completed(SQimPSettingsHost& host, int operation, int result) override {
        seen.push_back(std::to_string(operation) + "/" + std::to_string(result));
        host.ListFolders();
    }
    bool OnCloseRequest(SQimPSettingsHost&) override {
        seen.push_back("close?");
        return seen.size() > 3;
    }
};

TEST_F(QimPWindowScripted, TheSettingsCommandsStartFirstAndHearTheirOwnCompletions) {
    const std::string mail = "Subject: INI Files\r\n\r\nx\r\n";
    qimtest::Scenario s(imaptest::kLogin);
    s.Script("C: a0003 SELECT \"_QimP._inimbox\"\nS: * 1 EXISTS\nS: a0003 OK\nC: a0004 FETCH 1 BODY[]\n");
    s.Server("* 1 FETCH (BODY[] {" + std::to_string(mail.size()) + "}\r\n" + mail + ")\r\na0004 OK\r\n");
    s.Script(StartScript({"_QimP.A._mbox"}, 5) + imaptest::Logout("a0007"));
    qimtest::ScriptedSockets sockets(s);
    FetchingSettings settings;
    SQimPSettingsMail* before = SetQimPSettingsMail(&settings);
    SQimPWindow& w = Open();
    w.StartUp();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(qimtest::ReadFileBytes(settings.file), mail);
    EXPECT_EQ(ServerNodes(), (std::vector<std::string>{"_QimP 3", "_QimP\\A 2"}));
    EXPECT_FALSE(w.MayClose());
    EXPECT_TRUE(w.MayClose());
    EXPECT_EQ(settings.seen, (std::vector<std::string>{"start", "758/1", "close?", "close?"}));
    window_.reset();
    SetQimPSettingsMail(before);
    EXPECT_TRUE(s.Finished()) << testing::PrintToString(s.Problems());
}

TEST_F(QimPWindowScripted, TheMhVariantWorksOnEveryFolderItselfWithoutItsMbox) {
    qimtest::Scenario s(imaptest::kLogin);
    s.Script("C: a0003 LIST \"#mh.\" *\n"
             "S: * LIST () \".\" \"#mh.A\"\n"
             "S: * LIST () \".\" \"#mh.A.B\"\n"
             "S: * LIST () \".\" \"#mh._inimbox\"\n"
             "S: a0003 OK\n"
             "C: a0004 SELECT inbox\nS: * 0 EXISTS\nS: * 1 RECENT\nS: a0004 OK\n"
             // A folder's own mailbox; a new folder is a mailbox of its own.
             "C: a0005 SELECT \"#mh.A\"\nS: * 0 EXISTS\nS: * 0 RECENT\nS: a0005 OK\n"
             "C: a0006 CREATE \"#mh.A.X\"\nS: a0006 OK\n"
             "C: a0007 LIST \"#mh.\" *\n"
             "S: * LIST () \".\" \"#mh.A\"\n"
             "S: * LIST () \".\" \"#mh.A.B\"\n"
             "S: * LIST () \".\" \"#mh.A.X\"\n"
             "S: * LIST () \".\" \"#mh._inimbox\"\n"
             "S: a0007 OK\n" +
             imaptest::Logout("a0008"));
    qimtest::ScriptedSockets sockets(s);
    SQimPWindow& w = Open<SQimPMhWindow>();
    w.StartUp();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(ServerNodes(), (std::vector<std::string>{"_QimP 3", "_QimP\\A 2", "_QimP\\A\\B 2"}));
    w.SelectFolder("_QimP\\A");
    ASSERT_TRUE(Idle());
    dialogs_.AnswerInput(std::string("X"));
    ASSERT_TRUE(w.Commands().Execute(qimcmd::NewFolder));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(ServerNodes(),
              (std::vector<std::string>{"_QimP 3", "_QimP\\A 2", "_QimP\\A\\B 2", "_QimP\\A\\X 2"}));
    window_.reset();
    EXPECT_TRUE(s.Finished()) << testing::PrintToString(s.Problems());
}

TEST_F(QimPWindowScripted, FolderCommandsThatCannotBeCarriedOutSendNothing) {
    qimtest::Scenario s(imaptest::kLogin + StartScript({"_QimP.A", "_QimP.A._mbox", "_QimP.A.B._mbox", "_QimP.M"}));
    s.Script(imaptest::Logout("a0005"));
    qimtest::ScriptedSockets sockets(s);
    SQimPWindow& w = Open();
    w.StartUp();
    ASSERT_TRUE(Idle());
    EXPECT_EQ(ServerNodes(), (std::vector<std::string>{"_QimP 3", "_QimP\\A 2", "_QimP\\A\\B 2", "_QimP\\M 8"}));
    struct Case {
        const char* node;
        int command;
        unsigned refusal;
    };
    const Case cases[] = {
        {"_QimP\\A", qimcmd::DeleteFolder, qimstr::FolderHoldsFolders},
        // The root holds folders: that is what it is told first.
        {"_QimP", qimcmd::DeleteFolder, qimstr::FolderHoldsFolders},
        {"_QimP", qimcmd::RenameFolder, qimstr::QimPCannotRename},
        {"_QimP\\M", qimcmd::NewFolder, qimstr::NoFolderUnderMailbox},
    };
    for (const Case& c : cases) {
        dialogs_.Clear();
        {
            // Made current without showing it: its headers would be asked for.
            const QSignalBlocker block(w.Tree());
            w.Tree()->setCurrentItem(w.Tree()->ServerItemOf(c.node));
        }
        if (c.command == qimcmd::NewFolder) dialogs_.AnswerInput(std::string("X"));
        ASSERT_TRUE(w.Commands().Execute(c.command));
        ASSERT_TRUE(Idle());
        EXPECT_TRUE(Boxed(c.refusal)) << c.node << " " << c.command << testing::PrintToString(BoxTexts());
    }
    window_.reset();
    EXPECT_TRUE(s.Finished()) << testing::PrintToString(s.Problems());
}

// ---- Sorting the server's folders ----

// The fetch of one INBOX header, as the session asks for it, and its reply.
void HeaderFetch(qimtest::Scenario& s, int tag, int number, const std::string& subject, const std::string& from) {
    const std::string header = "From: " + from + "\r\nSubject: " + subject + "\r\nDate: " + std::to_string(number) +
                               " Jan 2026 09:00:00 +0900\r\n\r\n";
    const std::string t = "a00" + std::string(tag < 10 ? "0" : "") + std::to_string(tag);
    s.Script("C: " + t + " FETCH " + std::to_string(number) +
             " (RFC822.SIZE FLAGS BODY.PEEK[HEADER.FIELDS (TO DATE FROM SUBJECT)])\n");
    s.Server("* " + std::to_string(number) + " FETCH (RFC822.SIZE 100 FLAGS (\\Seen) BODY[HEADER.FIELDS (TO DATE FROM SUBJECT)] {" +
             std::to_string(header.size()) + "}\r\n" + header + ")\r\n" + t + " OK\r\n");
}

// The folder list with "_QimP\\ml" and the INBOX holding `exists` mails,
// whose headers follow from the tag a0005 on.
std::string SortStartScript(int exists) {
    return "C: a0003 LIST \"_QimP.\" *\n"
           "S: * LIST () \".\" \"_QimP.ml._mbox\"\n"
           "S: * LIST () \".\" \"_QimP._inimbox\"\n"
           "S: a0003 OK\n"
           "C: a0004 SELECT inbox\nS: * " +
           std::to_string(exists) + " EXISTS\nS: * 0 RECENT\nS: a0004 OK\n";
}

TEST_F(QimPWindowScripted, TheServerRuleSetsAreEditedInTheirOwnSection) {
    qimtest::WriteFileBytes(home_.File("QIM.INI"),
                            "[QimMoveFiles]\r\nNum=1\r\nHeaderType0=1\r\nPosType0=1\r\nIn0=\"local\"\r\nDest0=\"l\"\r\n"
                            "[QimPMoveFiles]\r\nNum=2\r\nHeaderType0=1\r\nPosType0=1\r\nIn0=\"a\"\r\nDest0=\"_QimP\\A\"\r\n"
                            "HeaderType1=0\r\nPosType1=1\r\nIn1=\"b\"\r\nDest1=\"_QimP\\B\"\r\n");
    SQimPWindow& w = Open();
    std::string caption;
    qimtest::WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<SAMFDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        caption = dialog->windowTitle().toStdString();
        dialog->list->setCurrentItem(dialog->list->topLevelItem(0));
        dialog->DeleteRule();
        dialog->accept();
    });
    ASSERT_TRUE(w.Commands().Execute(qimcmd::ServerAutoSortSettings));
    EXPECT_EQ(caption, "自動振り分け設定");
    const auto key = [&](const char* section, const char* name) {
        char buffer[64];
        platform::GetPrivateProfileString(section, name, "<none>", buffer, sizeof buffer, home_.File("QIM.INI").c_str());
        return std::string(buffer);
    };
    EXPECT_EQ(key("QimPMoveFiles", "Num"), "1");
    EXPECT_EQ(key("QimPMoveFiles", "In0"), "b");
    EXPECT_EQ(key("QimPMoveFiles", "In1"), "<none>");
    EXPECT_EQ(key("QimMoveFiles", "In0"), "local");
    qimtest::WhenModalOpens([&](QWidget* modal) {
        caption = modal->windowTitle().toStdString();
        static_cast<QDialog*>(modal)->reject();
    });
    ASSERT_TRUE(w.Commands().Execute(qimcmd::ServerAutoSort2Settings));
    EXPECT_EQ(caption, "自動振り分け２設定");
}

TEST_F(QimPWindowScripted, ARuleSetMovesWhatEachRuleMatchesOnceTheMoveBeforeIsDone) {
    qimtest::WriteFileBytes(
        home_.File("QIM.INI"),
        "[QimPMoveFiles]\r\nNum=4\r\n"
        "HeaderType0=1\r\nPosType0=1\r\nIn0=\"report\"\r\nDest0=\"_QimP\\ml\"\r\n"
        "HeaderType1=0\r\nPosType1=1\r\nIn1=\"boss\"\r\nDest1=\"_QimP\\gone\"\r\n"
        "HeaderType2=1\r\nPosType2=1\r\nIn2=\"hello\"\r\nDest2=\"_QimP\"\r\n"
        // After the first move the server numbers "s3 hello" 1.
        "HeaderType3=0\r\nPosType3=1\r\nIn3=\"boss\"\r\nDest3=\"_QimP/ml/\"\r\n");
    qimtest::Scenario s(imaptest::kLogin + SortStartScript(3));
    HeaderFetch(s, 5, 1, "s1 report", "a@example.jp");
    HeaderFetch(s, 6, 2, "s2 report", "b@example.jp");
    HeaderFetch(s, 7, 3, "s3 hello", "boss@example.jp");
    // The first rule: 1 and 2 together, then gone from the INBOX.
    s.Script("C: a0008 EXAMINE inbox\nS: * 3 EXISTS\nS: a0008 OK\n"
             "C: a0009 COPY 1:2 \"_QimP.ml._mbox\"\nS: a0009 OK\n"
             "C: a0010 SELECT inbox\nS: * 3 EXISTS\nS: a0010 OK\n"
             "C: a0011 STORE 1:2 +FLAGS.SILENT (\\Deleted)\nS: a0011 OK\n"
             "C: a0012 CLOSE\nS: a0012 OK\n"
             "C: a0013 SELECT inbox\nS: * 1 EXISTS\nS: * 0 RECENT\nS: a0013 OK\n");
    HeaderFetch(s, 14, 1, "s3 hello", "boss@example.jp");
    s.Script("C: a0015 EXAMINE inbox\nS: * 1 EXISTS\nS: a0015 OK\n"
             "C: a0016 COPY 1:1 \"_QimP.ml._mbox\"\nS: a0016 OK\n"
             "C: a0017 SELECT inbox\nS: * 1 EXISTS\nS: a0017 OK\n"
             "C: a0018 STORE 1:1 +FLAGS.SILENT (\\Deleted)\nS: a0018 OK\n"
             "C: a0019 CLOSE\nS: a0019 OK\n"
             "C: a0020 SELECT inbox\nS: * 0 EXISTS\nS: * 0 RECENT\nS: a0020 OK\n" +
             imaptest::Logout("a0021"));
    qimtest::ScriptedSockets sockets(s);
    SQimPWindow& w = Open();
    w.ListFolders();
    ASSERT_TRUE(Idle());
    ASSERT_EQ(Rows(), (std::vector<int>{3, 2, 1}));
    ASSERT_TRUE(w.Commands().IsEnabled(qimcmd::AutoSort));
    ASSERT_TRUE(w.Commands().Execute(qimcmd::AutoSort));
    ASSERT_TRUE(qimtest::RunUntil([&] { return !w.IsSorting(); }, 15000));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(w.SortMoved(), 3);
    EXPECT_TRUE(Rows().empty());
    // Over a local folder the runs are not offered.
    w.SelectFolder(home_.Path());
    EXPECT_FALSE(w.Commands().IsEnabled(qimcmd::AutoSort));
    // Told once: the missing folder; the shown folder itself is passed over silently.
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{FormatNotice(LoadQimString(qimstr::SortDestinationMissing),
                                                                {std::string("_QimP\\gone")})});
    window_.reset();
    EXPECT_TRUE(s.Finished()) << testing::PrintToString(s.Problems());
}

TEST_F(QimPWindowScripted, ANamedFieldRuleAsksTheServerAndAFailedMoveEndsTheRun) {
    qimtest::WriteFileBytes(home_.File("QIM.INI"),
                            "[QimPMoveFiles2]\r\nNum=2\r\n"
                            "HeaderType0=3\r\nPosType0=1\r\nIn0=\"qim\"\r\nDest0=\"_QimP\\ml\"\r\nHFName0=\"X-ML\"\r\n"
                            "HeaderType1=1\r\nPosType1=1\r\nIn1=\"s\"\r\nDest1=\"gone\"\r\n");
    qimtest::Scenario s(imaptest::kLogin + SortStartScript(2));
    HeaderFetch(s, 5, 1, "s1", "a@example.jp");
    HeaderFetch(s, 6, 2, "s2", "b@example.jp");
    // A number the list does not show is none of its mails.
    s.Script("C: a0007 SELECT inbox\nS: * 2 EXISTS\nS: a0007 OK\n"
             "C: a0008 SEARCH HEADER \"X-ML\" qim\nS: * SEARCH 2 9\nS: a0008 OK\n"
             "C: a0009 EXAMINE inbox\nS: * 2 EXISTS\nS: a0009 OK\n"
             "C: a0010 COPY 2:2 \"_QimP.ml._mbox\"\nS: a0010 NO over quota\n" +
             imaptest::Logout("a0011"));
    qimtest::ScriptedSockets sockets(s);
    SQimPWindow& w = Open();
    w.ListFolders();
    ASSERT_TRUE(Idle());
    ASSERT_EQ(Rows(), (std::vector<int>{2, 1}));
    ASSERT_TRUE(w.Commands().Execute(qimcmd::AutoSort2));
    ASSERT_TRUE(qimtest::RunUntil([&] { return !w.IsSorting(); }, 15000));
    ASSERT_TRUE(Idle());
    // Nothing deleted, and the rule after it not tried.
    EXPECT_EQ(w.SortMoved(), 0);
    EXPECT_EQ(Rows(), (std::vector<int>{2, 1}));
    EXPECT_TRUE(Boxed(qimstr::CannotCopyMail)) << testing::PrintToString(BoxTexts());
    for (const std::string& text : BoxTexts()) EXPECT_EQ(text.find("gone"), std::string::npos) << text;
    window_.reset();
    EXPECT_TRUE(s.Finished()) << testing::PrintToString(s.Problems());
}

}  // namespace
