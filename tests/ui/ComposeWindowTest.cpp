#include <gtest/gtest.h>

#include <QLineEdit>
#include <unistd.h>

#include <QListWidget>
#include <QMenuBar>
#include <QPointer>
#include <QTextCursor>

#include "config/QimCommandIds.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimSendSettingData.h"
#include "config/SUserInetData.h"
#include "platform/ScriptedDialogService.h"
#include "send/SSendMail.h"
#include "store/SQimFolder.h"
#include "support/ScriptedSocket.h"
#include "support/TestServers.h"
#include "tests/app/AppTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QimMenuBuilder.h"
#include "ui/TComposeEdit.h"
#include "ui/TQimFrame.h"
#include "ui/TQimSendWindow.h"
#include "ui/TQimWindows.h"
#include "ui/TSendMailDlg.h"
#include "ui/TSaveFolderDlg.h"
#include "ui/TCryptDialogs.h"
#include <QCheckBox>
#include "common/FilePath.h"
#include "config/QimGlobals.h"
#include "config/QimRequestCodes.h"
#include "app/SLoginState.h"

namespace {

using platform::MessageAnswer;
using qimtest::Sjis;
using qimtest::Utf8;

class ComposeWindow : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        qimtest::QimTestApp();
        scope_ = std::make_unique<platform::ScopedDialogService>(dialogs_);
        ASSERT_TRUE(smtp_.Ok());
        smtp_.Clear();
        inet_.smtpServer = "127.0.0.1";
        inet_.smtpPort = smtp_.Port();
        inet_.userName = "taro";
        inet_.mailAddress = "taro@example.jp";
        settings_.sentMail.kind = kSaveHomeRelative;
        settings_.sentMail.folder = "sent";
        settings_.draft.kind = kSaveHomeRelative;
        settings_.draft.folder = "drafts";
        for (const char* f : {"sent", "drafts"}) platform::CreateDirectory((home_ + "/" + f).c_str());
    }
    void TearDown() override {
        // A window that closed itself deletes itself; the others go here.
        for (const QPointer<TQimSendWindow>& w : windows_) delete w.data();
        QimHomeTest::TearDown();
    }
    TQimSendWindow* NewWindow() {
        auto* w = new TQimSendWindow(inet_, settings_, login_, false);
        windows_.push_back(w);
        w->sendTimeoutMs = 20000;
        w->onDestroy = [this] { ++closed_; };
        w->editHeader = [] { return false; };
        return w;
    }
    bool Showed(unsigned id) const {
        for (const auto& box : dialogs_.Boxes())
            if (box.text.find(LoadQimString(id)) != std::string::npos) return true;
        return false;
    }

    qimtest::SmtpServer& smtp_ = qimtest::SmtpServer::Shared();
    SUserInetData inet_;
    SQimSendSettingData settings_;
    SLoginAlreadyConfirmed login_;
    platform::ScriptedDialogService dialogs_;
    std::unique_ptr<platform::ScopedDialogService> scope_;
    int closed_ = 0;
    std::vector<QPointer<TQimSendWindow>> windows_;
};

TEST_F(ComposeWindow, ADraftWithTwoAttachmentsReopensAndIsSentWithItsSentCopy) {
    const std::string a = dir_.File(Sjis("資料.bin"));
    const std::string b = dir_.File("photo.png");
    qimtest::WriteFileBytes(Utf8(a), std::string("\x00\x01\x02binary", 9));
    qimtest::WriteFileBytes(Utf8(b), "\x89PNG....");

    auto first = NewWindow();
    first->toEdit->setText("suzuki@example.jp");
    first->subjectEdit->setText(QString::fromUtf8("会議の資料"));
    first->editor->setPlainText(QString::fromUtf8("鈴木様\n\n資料を二つ添付します。\n山田"));
    dialogs_.AnswerFile({a, b});
    ASSERT_TRUE(first->ExecCommand(qimcmd::AddAttachment));
    EXPECT_EQ(first->attachmentList->count(), 2);
    dialogs_.AnswerMessage(MessageAnswer::No);  // keep the window after saving
    ASSERT_TRUE(first->SaveDraft());
    EXPECT_EQ(closed_, 0);
    const std::string draft = home_ + "/drafts/1";
    ASSERT_EQ(SQimFolder(home_ + "/drafts").LastNumber(), 1);

    auto second = NewWindow();
    ASSERT_TRUE(second->OpenDraft(draft));
    EXPECT_EQ(second->Attachments(), (SAttachmentList{a, b}));
    EXPECT_EQ(second->subjectEdit->text(), QString::fromUtf8("会議の資料"));
    EXPECT_EQ(Utf8(second->editor->SjisText()), "鈴木様\r\n\r\n資料を二つ添付します。\r\n山田\r\n");

    dialogs_.AnswerMessage(MessageAnswer::Yes);  // send with these attachments
    EXPECT_TRUE(second->Send(qimcmd::SendMail));
    EXPECT_EQ(closed_, 1);
    const auto messages = smtp_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rcptTo, std::vector<std::string>{"suzuki@example.jp"});
    // The sent copy is in the Fcc folder, as it was sent (Shift_JIS on disk).
    ASSERT_EQ(SQimFolder(home_ + "/sent").LastNumber(), 1);
    const std::string copy = qimtest::ReadFileBytes(Utf8(home_ + "/sent/1"));
    EXPECT_NE(copy.find("multipart/mixed"), std::string::npos);
    EXPECT_NE(copy.find(Sjis("資料を二つ添付します。")), std::string::npos);
    EXPECT_NE(copy.find("photo.png"), std::string::npos);
}

// qimcmd::InsertFile, InsertMailWhole, InsertMailBody: a text file as it stands, a whole mail, and only a
// mail's body, each at the caret (the mails without a prefix).
TEST_F(ComposeWindow, FilesAndMailsAreReadInAtTheCaret) {
    const std::string text = dir_.File("memo.txt");
    qimtest::WriteFileBytes(text, Sjis("一行目\r\n二行目\r\n"));
    const std::string mail = dir_.File("mail");
    qimtest::WriteFileBytes(mail, "Subject: x\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" +
                                      Sjis("こんにちは\r\n"));
    const struct {
        int command;
        std::string path;
        std::string shown;
    } cases[] = {
        {qimcmd::InsertFile, text, "前\n一行目\n二行目\n"},
        {qimcmd::InsertMailWhole, mail, "前\nSubject: x\nMIME-Version: 1.0\n"},
        {qimcmd::InsertMailBody, mail, "前\nこんにちは\n"},
    };
    for (const auto& c : cases) {
        auto w = NewWindow();
        w->editor->setPlainText(QString::fromUtf8("前\n"));
        w->editor->moveCursor(QTextCursor::End);
        dialogs_.AnswerFile({c.path});
        if (c.command != qimcmd::InsertFile) dialogs_.AnswerInput(std::string());  // no prefix
        ASSERT_TRUE(w->ExecCommand(c.command)) << c.command;
        const std::string shown = w->editor->toPlainText().toStdString();
        EXPECT_EQ(shown.substr(0, c.shown.size()), c.shown) << c.command << ": " << shown;
    }
    auto w = NewWindow();
    dialogs_.AnswerFile({dir_.File("missing")});
    w->ExecCommand(qimcmd::InsertFile);
    EXPECT_TRUE(Showed(qimstr::CannotOpenFile));
}

TEST_F(ComposeWindow, ARefusedRecipientKeepsTheWindowAndItsText) {
    auto w = NewWindow();
    w->toEdit->setText("reject-me@example.jp");
    w->subjectEdit->setText("test");
    w->editor->setPlainText(QString::fromUtf8("消えてはいけない本文"));
    EXPECT_FALSE(w->Send(qimcmd::SendMail));
    EXPECT_EQ(closed_, 0);
    EXPECT_TRUE(Showed(qimstr::ErrorAborting));
    EXPECT_EQ(Utf8(w->editor->SjisText()), "消えてはいけない本文\r\n");
    EXPECT_EQ(SQimFolder(home_ + "/sent").LastNumber(), 0);
    EXPECT_TRUE(smtp_.Messages().empty());
}

TEST_F(ComposeWindow, WithoutASentFolderTheSendStillClosesAndAFailedCopyIsReported) {
    settings_.sentMail.kind = kSaveNone;
    auto w = NewWindow();
    w->toEdit->setText("a@example.jp");
    w->editor->setPlainText("hello");
    EXPECT_TRUE(w->Send(qimcmd::SendMail));
    EXPECT_EQ(closed_, 1);
    EXPECT_EQ(SQimFolder(home_ + "/sent").LastNumber(), 0);

    // A sent folder that went away after it was chosen: made on Yes, else no copy.
    settings_.sentMail = {kSaveHomeRelative, "gone/sent"};
    dialogs_.AnswerMessage(MessageAnswer::No);
    auto kept = NewWindow();
    kept->toEdit->setText("b@example.jp");
    kept->editor->setPlainText("hello again");
    EXPECT_TRUE(kept->Send(qimcmd::SendMail));
    EXPECT_EQ(closed_, 1);  // sent, but the window stays: its copy is not stored
    EXPECT_TRUE(Showed(qimstr::SentCopyFailed));
    EXPECT_FALSE(DoesDirectoryExist((home_ + "/gone").c_str()));
    ASSERT_FALSE(dialogs_.Boxes().empty());
    EXPECT_EQ(dialogs_.Boxes()[0].text, Sjis("フォルダー ") + home_ + Sjis("/gone/sent がありません。作りますか？"));
    EXPECT_EQ(dialogs_.Boxes()[0].buttons, platform::MessageButtons::YesNo);

    dialogs_.Clear();
    dialogs_.AnswerMessage(MessageAnswer::Yes);
    EXPECT_TRUE(kept->Send(qimcmd::SendMail));
    EXPECT_EQ(closed_, 2);
    EXPECT_EQ(SQimFolder(home_ + "/gone/sent").LastNumber(), 1);
    EXPECT_EQ(dialogs_.Unanswered(), 0);
    EXPECT_EQ(smtp_.Messages().size(), 3u);
}

TEST_F(ComposeWindow, ThePgpItemsExistOnlyWhilePgpIsInUse) {
    TQimSendWindow off(inet_, settings_, login_, false);
    TQimSendWindow on(inet_, settings_, login_, true);
    for (int id : {qimcmd::PgpEncryptAndSign, qimcmd::PgpEncrypt, qimcmd::PgpSign, qimcmd::PgpAttachKey}) {
        EXPECT_EQ(FindCommandAction(off.menuBar(), id), nullptr) << id;
        EXPECT_NE(FindCommandAction(on.menuBar(), id), nullptr) << id;
    }
    EXPECT_NE(FindCommandAction(off.menuBar(), qimcmd::SendMail), nullptr);
}

TEST_F(ComposeWindow, AConnectionClosedBeforeTheMessageWasAcceptedIsAFailedSend) {
    // The server takes the whole message and hangs up instead of answering
    // the end of the data with 250.
    char host[129] = {};
    gethostname(host, 128);
    qimtest::Scenario hangUp("S: 220 hangup.example\nC: EHLO " + std::string(host) +
                             "\nS: 250 ok\nC: MAIL FROM:<taro@example.jp>\nS: 250 ok\nC: RCPT TO:<a@example.jp>\n"
                             "S: 250 ok\nC: DATA\nS: 354 go on\n-- client data\n-- close");
    qimtest::ScriptedSockets sockets(hangUp);
    auto* w = NewWindow();
    w->toEdit->setText("a@example.jp");
    w->editor->setPlainText(QString::fromUtf8("まだ届いていない本文"));
    EXPECT_FALSE(w->Send(qimcmd::SendMail));
    EXPECT_EQ(closed_, 0);
    EXPECT_EQ(Utf8(w->editor->SjisText()), "まだ届いていない本文\r\n");
    EXPECT_EQ(SQimFolder(home_ + "/sent").LastNumber(), 0);
}

TEST_F(ComposeWindow, TheSendWaitsForTheLoginCheckAndIsAbandonedWhenItFails) {
    SLoginState state(inet_);
    int runs = 0;
    int result = qimreq::LoginRefused;
    state.SetAuthenticator([&] {
        ++runs;
        state.Report(result);
    });
    QObject asker;
    TAppLoginConfirmation confirmation(state, &asker);
    auto* checked = new TQimSendWindow(inet_, settings_, confirmation, false);
    windows_.push_back(checked);
    checked->onDestroy = [this] { ++closed_; };
    checked->toEdit->setText("a@example.jp");
    checked->editor->setPlainText("text");
    EXPECT_FALSE(checked->Send(qimcmd::SendMail));
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(smtp_.Messages().empty());
    EXPECT_EQ(closed_, 0);

    result = qimreq::LoginAccepted;
    EXPECT_TRUE(checked->Send(qimcmd::SendMail));
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(smtp_.Messages().size(), 1u);
    EXPECT_EQ(closed_, 1);
    EXPECT_TRUE(state.Confirmed());
}

TEST_F(ComposeWindow, CommandFourElevenAndAMailtoStartOpenTheOneComposeWindow) {
    TQimApp& app = qimtest::QimTestApp();
    {
        TQimWindows windows(app);
        app.SetWindowLayer(&windows);
        TQimFrame* frame = windows.CreateMainFrame();
        SetMailtoAddress("first@example.jp");
        ASSERT_TRUE(frame->ExecCommand(qimcmd::Compose));
        auto* compose = dynamic_cast<TQimSendWindow*>(app.ComposeWindow());
        ASSERT_NE(compose, nullptr);
        EXPECT_EQ(compose->toEdit->text(), "first@example.jp");
        EXPECT_TRUE(GetMailtoAddress().empty());  // taken once
        ASSERT_TRUE(frame->ExecCommand(qimcmd::Compose));
        EXPECT_EQ(app.ComposeWindow(), compose);
        compose->Destroy();
        EXPECT_EQ(app.ComposeWindow(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_TRUE(frame->ExecCommand(qimcmd::Compose));
        EXPECT_NE(app.ComposeWindow(), nullptr);
        app.SetWindowLayer(nullptr);
    }
    EXPECT_EQ(app.ComposeWindow(), nullptr);
}

TEST_F(ComposeWindow, TheSaveFolderDialogsStoreTheirFolderInTheSettings) {
    struct Case {
        const char* name;
        bool draft;
        bool save;
        const char* folder;
        const char* key;        // QIM.INI [QimSend]
        const char* kindValue;  // stored there, "<none>" when the choice went to CONFIG.INI
    } cases[] = {
        {"sent mails into a new home folder", false, true, "sent2", "bFcc", "1"},
        {"drafts into a new home folder", true, true, "drafts2", "Draft", "17"},
        {"sent mails off", false, false, "sent3", "bFcc", "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The folder is not there yet: offered and made.
        if (c.save) dialogs_.AnswerMessage(MessageAnswer::Yes);
        auto* w = NewWindow();
        qimtest::WhenModalOpens([&](QWidget* modal) {
            auto* dialog = qobject_cast<TSaveFolderDlg*>(modal);
            ASSERT_NE(dialog, nullptr);
            dialog->saveCheck->setChecked(c.save);
            dialog->folderEdit->setText(c.folder);
            dialog->accept();
        });
        ASSERT_TRUE(w->ExecCommand(c.draft ? qimcmd::DraftFolder : qimcmd::SentMailFolder));
        EXPECT_EQ(Stored(Ini(), "QimSend", c.key), c.kindValue);
        SQimSendSettingData read;
        read.Read();
        const SSaveMailFolderProperty& p = c.draft ? read.draft : read.sentMail;
        EXPECT_EQ(p.kind, c.save ? kSaveHomeRelative : kSaveNone);
        if (c.save) {
            EXPECT_EQ(p.folder, c.folder);
        }
        EXPECT_EQ(DoesDirectoryExist((home_ + "/" + c.folder).c_str()), c.save);
    }
    EXPECT_EQ(dialogs_.Unanswered(), 0);
}

TEST_F(ComposeWindow, AMissingSaveFolderRefusedKeepsTheDialogAndTheSetting) {
    auto* w = NewWindow();
    dialogs_.AnswerMessage(MessageAnswer::No);
    bool stayedOpen = false;
    qimtest::WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<TSaveFolderDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->folderEdit->setText("elsewhere");
        dialog->accept();
        stayedOpen = dialog->isVisible();
        dialog->reject();
    });
    ASSERT_TRUE(w->ExecCommand(qimcmd::SentMailFolder));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(settings_.sentMail.folder, "sent");
    EXPECT_EQ(Stored(Ini(), "QimSend", "Fcc"), "<none>");
    EXPECT_FALSE(DoesDirectoryExist((home_ + "/elsewhere").c_str()));
    ASSERT_EQ(dialogs_.Boxes().size(), 1u);
    EXPECT_EQ(dialogs_.Boxes()[0].icon, platform::MessageIcon::Question);

    // A draft saved into a folder that went away asks too; refused, nothing is saved.
    settings_.draft.folder = "gone";
    dialogs_.AnswerMessage(MessageAnswer::No);
    w->toEdit->setText("a@example.jp");
    ASSERT_TRUE(w->ExecCommand(qimcmd::SaveDraftAsFile));
    EXPECT_FALSE(DoesDirectoryExist((home_ + "/gone").c_str()));
    EXPECT_EQ(dialogs_.Boxes().size(), 2u);
}

TEST_F(ComposeWindow, AnEncryptedSendCarriesTheCipherTextAndACancelledKeySendsNothing) {
    auto* w = NewWindow();
    w->toEdit->setText("hanako@example.jp");
    w->editor->setPlainText(QString::fromUtf8("秘密の本文です"));
    qimtest::WhenModalOpens([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(w->Send(qimcmd::SendEncrypted));
    EXPECT_TRUE(smtp_.Messages().empty());
    EXPECT_EQ(closed_, 0);
    EXPECT_TRUE(w->Header().cryptVersion.empty());

    qimtest::WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<TCryptKeyDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->key->setText("secret");
        dialog->keyAgain->setText("secret");
        dialog->accept();
    });
    EXPECT_TRUE(w->Send(qimcmd::SendEncrypted));
    EXPECT_EQ(closed_, 1);
    const auto messages = smtp_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].data.find("X-Qim-Crypt-Version: 0.1"), std::string::npos);
    EXPECT_EQ(messages[0].data.find(Sjis("秘密")), std::string::npos);
    // The copy is what was sent: encrypted too.
    const std::string copy = qimtest::ReadFileBytes(Utf8(home_ + "/sent/1"));
    EXPECT_NE(copy.find("X-Qim-Crypt-Version: 0.1"), std::string::npos);
    EXPECT_EQ(copy.find(Sjis("秘密")), std::string::npos);
}

TEST_F(ComposeWindow, ADraftWithoutRecipientOpensTheHeaderDialogAndAnUnreadableOneIsReported) {
    const std::string path = dir_.File("draft");
    qimtest::WriteFileBytes(Utf8(path), "Subject: half\r\n\r\nnot yet addressed\r\n");
    auto* w = NewWindow();
    int asked = 0;
    w->editHeader = [&] {
        ++asked;
        w->Header().to = "later@example.jp";
        return true;
    };
    ASSERT_TRUE(w->OpenDraft(path));
    EXPECT_TRUE(Showed(qimstr::HeaderIncomplete));
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(w->toEdit->text(), "later@example.jp");
    EXPECT_EQ(w->editor->SjisText(), "not yet addressed\r\n");

    EXPECT_FALSE(w->OpenDraft(dir_.File("gone")));
    EXPECT_TRUE(Showed(qimstr::MailUnreadable));
    EXPECT_EQ(w->editor->SjisText(), "not yet addressed\r\n");  // what was there stays
}

}  // namespace
