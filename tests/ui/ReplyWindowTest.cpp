#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>

#include "app/SLoginState.h"
#include "config/QimCommandIds.h"
#include "config/QimSettingKeys.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimSendSettingData.h"
#include "config/SUserInetData.h"
#include "platform/ScriptedDialogService.h"
#include "send/STemplates.h"
#include "tests/app/AppTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QimMenuBuilder.h"
#include "ui/TComposeEdit.h"
#include "ui/TQimFrame.h"
#include "ui/TQimSendWindow.h"
#include "ui/TQimWindow.h"
#include "ui/TQimWindows.h"
#include "ui/TTemplatesDlg.h"

namespace {

using platform::MessageAnswer;
using qimtest::Sjis;
using qimtest::Utf8;

// A Japanese mail with a text part and an attachment, answered in a thread.
std::string JapaneseMultipart() {
    return "Received: from relay\r\n\tby mx; Mon, 1 Jun 2026 10:00:00 +0900\r\n"
           "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
           "To: taro@example.jp\r\nSubject: =?ISO-2022-JP?B?GyRCMnE1RBsoQg==?=\r\n"
           "Date: Mon, 1 Jun 2026 10:00:00 +0900\r\nMessage-Id: <m2@example.jp>\r\nReferences: <m1@example.jp>\r\n"
           "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b1\"\r\n\r\n"
           "--b1\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" +
           Sjis("来週の会議について\r\nよろしく\r\n") +
           "--b1\r\nContent-Type: application/octet-stream; name=\"a.bin\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
           "AAECAw==\r\n--b1--\r\n";
}

class ReplyWindow : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        qimtest::QimTestApp();
        scope_ = std::make_unique<platform::ScopedDialogService>(dialogs_);
        inet_.mailAddress = "taro@example.jp";
        inet_.userName = "taro";
        mail_ = home_ + "/1";
        qimtest::WriteFileBytes(mail_, JapaneseMultipart());
    }
    void TearDown() override {
        for (const QPointer<TQimSendWindow>& w : windows_) delete w.data();
        QimHomeTest::TearDown();
    }
    TQimSendWindow* NewWindow() {
        auto* w = new TQimSendWindow(inet_, settings_, login_, false);
        windows_.push_back(w);
        w->editHeader = [] { return true; };
        w->shiftHeld = [] { return false; };
        return w;
    }
    bool Showed(unsigned id) const {
        for (const auto& box : dialogs_.Boxes())
            if (box.text.find(LoadQimString(id)) != std::string::npos) return true;
        return false;
    }

    SUserInetData inet_;
    SQimSendSettingData settings_;
    SLoginAlreadyConfirmed login_;
    platform::ScriptedDialogService dialogs_;
    std::unique_ptr<platform::ScopedDialogService> scope_;
    std::vector<QPointer<TQimSendWindow>> windows_;
    std::string mail_;
};

TEST_F(ReplyWindow, AReplyToAJapaneseMultipartMailQuotesItsTextUnderTheGreeting) {
    STemplateList heads(STemplateKind::Head);
    ASSERT_TRUE(heads.WriteNames({Sjis("挨拶")}));
    ASSERT_TRUE(heads.WriteText(Sjis("挨拶"), Sjis("%A さん\r\n%d のメールより\r\n")));
    auto* w = NewWindow();
    w->templateSources.aliasName = [](const std::string& address, std::string& alias) {
        alias = address == "yamada@example.jp" ? Sjis("山田部長") : std::string();
        return !alias.empty();
    };
    w->editHeader = [w] {
        w->headTemplateChoice = Sjis("挨拶");
        return true;
    };
    settings_.replyPrefix = "> ";
    ASSERT_TRUE(w->StartReply(mail_));
    EXPECT_EQ(w->toEdit->text().toStdString(), "山田 <yamada@example.jp>");
    EXPECT_EQ(w->subjectEdit->text().toStdString(), "Re: 会議");
    EXPECT_EQ(w->Header().inReplyTo, "<m2@example.jp>");
    EXPECT_EQ(w->Header().references, "<m1@example.jp> <m2@example.jp>");
    EXPECT_EQ(Utf8(w->editor->SjisText()),
              "山田部長 さん\r\nMon, 1 Jun 2026 10:00:00 +0900 のメールより\r\n"
              "> 来週の会議について\r\n> よろしく\r\n");
    // The caret waits under the greeting, above the quote.
    EXPECT_EQ(w->editor->textCursor().blockNumber(), 2);
    EXPECT_EQ(w->editor->textCursor().positionInBlock(), 0);
}

TEST_F(ReplyWindow, ShiftHeldLeavesTheQuoteOutAndACancelledHeaderOrAnUnreadableMailToo) {
    auto* shift = NewWindow();
    shift->shiftHeld = [] { return true; };
    ASSERT_TRUE(shift->StartReply(mail_));
    EXPECT_EQ(shift->subjectEdit->text().toStdString(), "Re: 会議");
    EXPECT_TRUE(shift->editor->SjisText().empty());

    auto* cancelled = NewWindow();
    cancelled->editHeader = [] { return false; };
    EXPECT_FALSE(cancelled->StartReply(mail_));
    EXPECT_TRUE(cancelled->editor->SjisText().empty());

    auto* missing = NewWindow();
    EXPECT_FALSE(missing->StartReply(home_ + "/none"));
    EXPECT_TRUE(Showed(qimstr::MailUnreadable));
    EXPECT_TRUE(missing->toEdit->text().isEmpty());
}

TEST_F(ReplyWindow, AForwardHoldsTheMailBetweenTheMarkersWithoutItsReceivedLines) {
    auto* w = NewWindow();
    ASSERT_TRUE(w->StartForward(mail_));
    EXPECT_EQ(w->subjectEdit->text().toStdString(), "Fw: 会議");
    EXPECT_TRUE(w->toEdit->text().isEmpty());
    EXPECT_TRUE(w->Header().inReplyTo.empty());
    const std::string text = Utf8(w->editor->SjisText());
    const std::string pre = "\r\n----- Forwarded Message ------ ------\r\n\r\n";
    const std::string post = "\r\n----- End of Forwarded Message ------\r\n\r\n";
    EXPECT_EQ(text.substr(0, pre.size()), pre);
    EXPECT_EQ(text.find("Received"), std::string::npos);
    EXPECT_NE(text.find("From: 山田 <yamada@example.jp>\r\nTo: taro@example.jp\r\nSubject: 会議\r\n"), std::string::npos);
    EXPECT_NE(text.find("来週の会議について\r\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - post.size()), post);
    EXPECT_EQ(w->editor->textCursor().position(), 0);
}

TEST_F(ReplyWindow, AMailReadInWithAPrefixAndATailTemplateGoWhereTheyBelong) {
    STemplateList tails(STemplateKind::Tail);
    ASSERT_TRUE(tails.WriteNames({"short", Sjis("署名")}));
    ASSERT_TRUE(tails.WriteText(Sjis("署名"), Sjis("--\r\n山田 太郎\r\n")));
    auto* w = NewWindow();
    w->editor->SetSjisText("top\r\n");
    w->editor->moveCursor(QTextCursor::Start);
    dialogs_.AnswerFile({mail_});
    dialogs_.AnswerInput(std::string("| "));
    ASSERT_TRUE(w->ExecCommand(qimcmd::InsertMailBody));
    EXPECT_EQ(Utf8(w->editor->SjisText()), "| 来週の会議について\r\n| よろしく\r\ntop\r\n");
    // The tail template goes to the end whatever the caret, after a line break.
    w->editor->moveCursor(QTextCursor::Start);
    ASSERT_TRUE(w->ExecCommand(qimcmd::TailTemplateFirst + 1));
    EXPECT_EQ(Utf8(w->editor->SjisText()), "| 来週の会議について\r\n| よろしく\r\ntop\r\n\r\n--\r\n山田 太郎\r\n");
    // The pop-up lists the tail templates in order, as commands from 2150.
    QMenu* tail = nullptr;
    for (QAction* top : w->menuBar()->actions())
        if (top->text().toStdString() == "文末ﾃﾝﾌﾟﾚｰﾄ") tail = top->menu();
    ASSERT_NE(tail, nullptr);
    emit tail->aboutToShow();
    ASSERT_EQ(tail->actions().size(), 2);
    EXPECT_EQ(tail->actions().at(1)->text().toStdString(), "署名");

    // The whole mail, header fields decoded; a cancelled prefix reads nothing.
    auto* whole = NewWindow();
    dialogs_.AnswerFile({mail_});
    dialogs_.AnswerInput(std::string(">"));
    ASSERT_TRUE(whole->ExecCommand(qimcmd::InsertMailWhole));
    EXPECT_EQ(Utf8(whole->editor->SjisText()).rfind(">Received: from relay by mx; Mon", 0), 0u);
    EXPECT_NE(Utf8(whole->editor->SjisText()).find(">Subject: 会議\r\n"), std::string::npos);
    auto* none = NewWindow();
    dialogs_.AnswerFile({mail_});
    dialogs_.AnswerInput(std::nullopt);
    EXPECT_FALSE(none->InsertMailWithPrefix(true));
    EXPECT_TRUE(none->editor->SjisText().empty());
}

TEST_F(ReplyWindow, ReplyAndForwardOfTheMainWindowNeedASelectedMail) {
    TQimApp& app = qimtest::QimTestApp();
    TQimWindows windows(app);
    app.SetWindowLayer(&windows);
    TQimFrame* frame = windows.CreateMainFrame();
    TQimWindow* window = windows.Window();
    ASSERT_NE(window, nullptr);
    window->Refresh();
    QAction* reply = FindCommandAction(frame->menuBar(), qimcmd::Reply);
    QAction* forward = FindCommandAction(frame->menuBar(), qimcmd::Forward);
    ASSERT_NE(reply, nullptr);
    window->SelectNumbers({});
    EXPECT_FALSE(reply->isEnabled());
    EXPECT_FALSE(forward->isEnabled());
    frame->ExecCommand(qimcmd::Reply);
    EXPECT_TRUE(Showed(qimstr::NoMailSelected));
    EXPECT_EQ(app.ComposeWindow(), nullptr);

    window->SelectNumbers({1});
    EXPECT_TRUE(reply->isEnabled());
    EXPECT_TRUE(forward->isEnabled());
    // The mail has an attachment, which a forward leaves behind: the user is told.
    ASSERT_TRUE(frame->ExecCommand(qimcmd::Forward));
    EXPECT_TRUE(Showed(qimstr::ForwardWithoutAttachments));
    auto* compose = dynamic_cast<TQimSendWindow*>(app.ComposeWindow());
    ASSERT_NE(compose, nullptr);
    QCoreApplication::processEvents();
    EXPECT_EQ(compose->subjectEdit->text().toStdString(), "Fw: 会議");

    compose->editHeader = [] { return true; };
    compose->shiftHeld = [] { return false; };
    compose->editor->clear();
    ASSERT_TRUE(frame->ExecCommand(qimcmd::Reply));
    EXPECT_EQ(app.ComposeWindow(), compose);  // the one compose window
    QCoreApplication::processEvents();
    EXPECT_EQ(compose->subjectEdit->text().toStdString(), "Re: 会議");
    EXPECT_EQ(Utf8(compose->editor->SjisText()), ">来週の会議について\r\n>よろしく\r\n");
    compose->Destroy();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    app.SetWindowLayer(nullptr);
}

TEST_F(ReplyWindow, TheTemplatesDialogStoresRenamesAndRemovesTemplateFiles) {
    STemplateList tails(STemplateKind::Tail);
    ASSERT_TRUE(tails.WriteNames({"old"}));
    ASSERT_TRUE(tails.WriteText("old", "old text\r\n"));
    const std::string oldFile = TemplateFilePath(STemplateKind::Tail, "old");
    {
        TTemplatesDlg dialog(nullptr);
        ASSERT_EQ(dialog.tail->names->count(), 1);
        EXPECT_EQ(dialog.tail->text->toPlainText().toStdString(), "old text\n");
        dialogs_.AnswerInput(std::string("renamed"));
        ASSERT_TRUE(dialog.tail->RenameTemplate());
        dialogs_.AnswerInput(std::string("renamed"));  // a second one of that name is refused
        EXPECT_FALSE(dialog.tail->AddTemplate());
        dialogs_.AnswerInput(Sjis("署名"));
        ASSERT_TRUE(dialog.tail->AddTemplate());
        dialog.tail->text->setPlainText(QString::fromUtf8("--\n山田"));
        dialog.tail->isDefault->setChecked(true);
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(tails.ReadNames(), (std::vector<std::string>{"renamed", Sjis("署名")}));
    EXPECT_EQ(tails.ReadDefault(), Sjis("署名"));
    EXPECT_FALSE(qimtest::FileExists(oldFile));
    std::string text;
    ASSERT_TRUE(tails.ReadText("renamed", text));
    EXPECT_EQ(text, "old text\r\n");
    ASSERT_TRUE(tails.ReadText(Sjis("署名"), text));
    EXPECT_EQ(text, Sjis("--\r\n山田"));
    {
        TTemplatesDlg dialog(nullptr);
        dialog.tail->names->setCurrentRow(0);
        dialogs_.AnswerMessage(MessageAnswer::Yes);
        ASSERT_TRUE(dialog.tail->DeleteTemplate());
        dialog.accept();
    }
    EXPECT_EQ(tails.ReadNames(), std::vector<std::string>{Sjis("署名")});
    EXPECT_FALSE(qimtest::FileExists(TemplateFilePath(STemplateKind::Tail, "renamed")));
}

TEST_F(ReplyWindow, TheReplyPrefixIsAskedAndStoredAtOnce) {
    auto* w = NewWindow();
    dialogs_.AnswerInput(Sjis("＞ "));
    ASSERT_TRUE(w->ExecCommand(qimcmd::ReplyPrefix));
    EXPECT_EQ(settings_.replyPrefix, Sjis("＞ "));
    EXPECT_EQ(Stored(Config(), qimini::QimSend, qimini::RPrefix), Sjis("＞ "));
    dialogs_.AnswerInput(std::nullopt);
    w->ExecCommand(qimcmd::ReplyPrefix);
    EXPECT_EQ(settings_.replyPrefix, Sjis("＞ "));
}

}  // namespace
