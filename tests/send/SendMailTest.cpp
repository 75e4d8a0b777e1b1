#include <gtest/gtest.h>

#include <QTimer>
#include <optional>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "send/SComposeChecks.h"
#include "send/SMakeMimeMail.h"
#include "send/SSendMail.h"
#include "support/TestServers.h"
#include "tests/send/SendTestSupport.h"

namespace {

using platform::MessageAnswer;
using qimtest::RunUntil;
using qimtest::Sjis;
using qimtest::Utf8;
using qimtest::Parsed;
using qimtest::ParseWithPython;

// Confirms the login later, from the event loop, as the application does
// after a login-only POP3 conversation; or refuses it.
class LaterLogin : public SLoginConfirmation {
public:
    bool answer = true;
    int asked = 0;
    void ConfirmLogin(std::function<void(bool)> done) override {
        ++asked;
        QTimer::singleShot(50, [done, this] { done(answer); });
    }
};

class SendMail : public qimtest::SendTest {
protected:
    void SetUp() override {
        SendTest::SetUp();
        ASSERT_TRUE(smtp_.Ok());
        smtp_.Clear();
        inet_.smtpServer = "127.0.0.1";
        inet_.smtpPort = smtp_.Port();
        inet_.userName = "taro";
        inet_.mailAddress = "taro@example.jp";
        header_.from = Sjis("山田 太郎 <taro@example.jp>");
        header_.xMailer = "Qim Ver.0.9931";
    }

    std::optional<SSmtpOutcome> Send(SSendMail& send) {
        std::optional<SSmtpOutcome> outcome;
        send.onEnded = [&](SSmtpOutcome o) { outcome = o; };
        send.SetTimeout(20000);
        send.Start();
        EXPECT_TRUE(RunUntil([&] { return outcome.has_value(); }, 30000));
        return outcome;
    }

    qimtest::SmtpServer& smtp_ = qimtest::SmtpServer::Shared();
    SUserInetData inet_;
    SEMailMimeHeader header_;
    SLoginAlreadyConfirmed confirmed_;
};

TEST_F(SendMail, AJapaneseMessageWithTwoAttachmentsArrivesWholeAtARealServer) {
    header_.to = Sjis("鈴木 <suzuki@example.jp>, sato@example.jp");
    header_.cc = "cc1@example.jp, Cc Two <cc2@example.jp>";
    header_.bcc = "secret@example.jp";
    header_.subject = Sjis("来週の会議資料（第二版）について");
    const std::string longLine = Sjis(std::string("とても長い行です。") + std::string(30, 'x') +
                                      "これはまだ同じ行の続きで、七十八桁を超えています。終わり。");
    const std::string body = Sjis("皆様\r\n\r\n資料を添付します。\r\n.\r\n") + longLine + "\r\n" + Sjis("以上です。\r\n");
    SComposeText editor(body);
    dialogs_.AnswerMessage(MessageAnswer::Yes);  // the long line may go
    ASSERT_TRUE(CheckBeforeSend(editor, nullptr));

    std::string first(3000, '\0');
    for (std::size_t i = 0; i < first.size(); ++i) first[i] = static_cast<char>(i % 256);
    const std::string second = "\x89PNG\r\n\x1a\n" + std::string(700, '\xff') + "end";
    const std::string firstPath = dir_.File(Sjis("会議資料.bin"));
    const std::string secondPath = dir_.File(Sjis("写真 その１.png"));
    qimtest::WriteFileBytes(Utf8(firstPath), first);
    qimtest::WriteFileBytes(Utf8(secondPath), second);
    SAttachmentList list = {firstPath, secondPath};
    SMakeBinaryMimeMail maker(header_, editor, &list, nullptr);
    dialogs_.AnswerMessage(MessageAnswer::Yes);  // send with these files
    ASSERT_TRUE(maker.Make());

    SSendMail send(inet_, header_, confirmed_, qimtest::ShowInBoxes);
    send.SetMessageFile(maker.FilePath());
    ASSERT_EQ(Send(send), SSmtpOutcome::Sent);
    EXPECT_EQ(dialogs_.Unanswered(), 0);

    const auto messages = smtp_.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].mailFrom, "taro@example.jp");
    EXPECT_EQ(messages[0].rcptTo, (std::vector<std::string>{"suzuki@example.jp", "sato@example.jp", "cc1@example.jp",
                                                            "cc2@example.jp", "secret@example.jp"}));
    EXPECT_EQ(messages[0].data.find("secret@"), std::string::npos);
    const Parsed parsed = ParseWithPython(dir_.Path(), messages[0].data);
    EXPECT_EQ(parsed.subject, "来週の会議資料（第二版）について");
    ASSERT_EQ(parsed.texts.size(), 1u);
    EXPECT_EQ(parsed.texts[0], Utf8(body));
    ASSERT_EQ(parsed.files.size(), 2u);
    EXPECT_EQ(parsed.files[0].first, "会議資料.bin");
    EXPECT_EQ(parsed.files[0].second, first);
    EXPECT_EQ(parsed.files[1].first, "写真 その１.png");
    EXPECT_EQ(parsed.files[1].second, second);
}

TEST_F(SendMail, ARefusedRecipientFailsTheWholeSend) {
    header_.to = "ok@example.jp, reject-me@example.jp";
    header_.subject = "x";
    SComposeText editor("body");
    SMakePlainTextMimeMail maker(header_, editor, nullptr);
    ASSERT_TRUE(maker.Make());
    SSendMail send(inet_, header_, confirmed_, qimtest::ShowInBoxes);
    send.SetMessageFile(maker.FilePath());
    EXPECT_EQ(Send(send), SSmtpOutcome::Failed);
    EXPECT_TRUE(Showed(qimstr::ErrorAborting));
    EXPECT_TRUE(smtp_.Messages().empty());
}

TEST_F(SendMail, TheSendWaitsForTheLoginAndIsAbandonedWithoutIt) {
    header_.to = "you@example.jp";
    SComposeText editor("body");
    ASSERT_TRUE(header_.Build());
    LaterLogin login;
    {
        login.answer = false;
        SSendMail send(inet_, header_, login, qimtest::ShowInBoxes);
        send.SetEditor(&editor);
        EXPECT_EQ(Send(send), SSmtpOutcome::Cancelled);
        EXPECT_TRUE(smtp_.Messages().empty());
    }
    login.answer = true;
    SSendMail send(inet_, header_, login, qimtest::ShowInBoxes);
    send.SetEditor(&editor);
    EXPECT_EQ(Send(send), SSmtpOutcome::Sent);
    EXPECT_EQ(login.asked, 2);
    ASSERT_EQ(smtp_.Messages().size(), 1u);
    // Without a message file the header text and the editor lines go out.
    EXPECT_EQ(smtp_.Messages()[0].data, header_.HeaderText() + "\r\nbody\r\n");
}

TEST_F(SendMail, AnAddressListSendsOneCopyPerEntryWithItsSalutation) {
    qimtest::WriteFileBytes(home_ + "/list.txt", Sjis("; friends\r\na1@example.jp%田中様\r\nreject@example.jp\r\n"
                                                      "b1@example.jp\r\n\r\nnever@example.jp\r\n"));
    header_.to = "\\list.txt";
    header_.subject = "news";
    SComposeText editor(Sjis("本文\r\n"));
    const std::string attachment = dir_.File("a.txt");
    qimtest::WriteFileBytes(attachment, "attached");
    SAttachmentList list = {attachment};
    SMakeBinaryMimeMail maker(header_, editor, &list, nullptr);
    maker.confirm = false;
    ASSERT_TRUE(maker.Make());
    SSendMail send(inet_, header_, confirmed_, qimtest::ShowInBoxes);
    send.SetMessageFile(maker.FilePath());
    EXPECT_EQ(Send(send), SSmtpOutcome::Failed);  // one entry was refused
    const auto messages = smtp_.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].rcptTo, (std::vector<std::string>{"a1@example.jp"}));
    EXPECT_EQ(messages[1].rcptTo, (std::vector<std::string>{"b1@example.jp"}));
    const Parsed withSalutation = ParseWithPython(dir_.Path(), messages[0].data);
    ASSERT_EQ(withSalutation.texts.size(), 1u);
    EXPECT_EQ(withSalutation.texts[0], "田中様\r\n本文\r\n");
    ASSERT_EQ(withSalutation.files.size(), 1u);
    EXPECT_EQ(withSalutation.files[0].second, "attached");
    const Parsed plain = ParseWithPython(dir_.Path(), messages[1].data);
    EXPECT_EQ(plain.texts, (std::vector<std::string>{"本文\r\n"}));
    EXPECT_NE(messages[1].data.find("To: b1@example.jp\r\n"), std::string::npos);
    // The failed address is named, and the To field is the list again.
    bool named = false;
    for (const std::string& text : BoxTexts()) named |= text.find("reject@example.jp") != std::string::npos;
    EXPECT_TRUE(named);
    EXPECT_EQ(header_.to, "\\list.txt");
}

TEST_F(SendMail, AnAddressListMustBeAFileInTheHome) {
    const struct {
        const char* to;
        unsigned told;
    } cases[] = {
        {"\\..\\outside.txt", qimstr::AddressListOutsideHome},
        {"\\sub/../../outside.txt", qimstr::AddressListOutsideHome},
        {"\\/etc/passwd", qimstr::AddressListOutsideHome},
        {"\\missing.txt", qimstr::CannotOpenFile},
    };
    qimtest::WriteFileBytes(dir_.File("outside.txt"), "victim@example.jp\n");
    for (const auto& c : cases) {
        dialogs_.Clear();
        header_.to = c.to;
        SComposeText editor("body");
        SSendMail send(inet_, header_, confirmed_, qimtest::ShowInBoxes);
        send.SetEditor(&editor);
        EXPECT_EQ(Send(send), SSmtpOutcome::Failed) << c.to;
        EXPECT_TRUE(Showed(c.told)) << c.to;
    }
    EXPECT_TRUE(smtp_.Messages().empty());
}

}  // namespace
