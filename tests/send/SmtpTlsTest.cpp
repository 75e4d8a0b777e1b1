// The SMTP conversation against real servers with TLS and AUTH (aiosmtpd):
// STARTTLS and TLS from the first byte, each AUTH mechanism, a wrong password,
// a server without STARTTLS, certificates that verification refuses, and SIZE.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <optional>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/STlsConnection.h"
#include "platform/CertificateQuestion.h"
#include "send/SSmtpSession.h"
#include "support/TestServers.h"
#include "tests/send/SendTestSupport.h"

namespace {

using qimtest::RunUntil;
using qimtest::SmtpTlsServer;
using qimtest::TestCertificates;

class Observer : public SSmtpSessionObserver {
public:
    std::optional<SSmtpOutcome> outcome;
    std::string secured;
    void OnSmtpSecured(const std::string& text) override { secured = text; }
    void OnSmtpNotice(const SNotice& notice) override { qimtest::ShowInBoxes(notice); }
    void OnSmtpEnded(SSmtpOutcome o) override { outcome = o; }
};

// Answers the trust question as a script says and remembers what it was asked.
class ScriptedQuestion : public platform::CertificateQuestion {
public:
    explicit ScriptedQuestion(platform::TrustAnswer answer) : answer_(answer) {
        previous_ = platform::SetCertificateQuestion(this);
    }
    ~ScriptedQuestion() override { platform::SetCertificateQuestion(previous_); }
    platform::TrustAnswer AskTrust(const std::string& text) override {
        asked.push_back(text);
        return answer_;
    }
    std::vector<std::string> asked;

private:
    platform::TrustAnswer answer_;
    platform::CertificateQuestion* previous_ = nullptr;
};

const char kMessage[] = "From: me@example.jp\r\nTo: you@example.jp\r\nSubject: tls\r\n\r\nbody\r\n";

class SmtpTls : public qimtest::SendTest {
protected:
    void SetUp() override {
        SendTest::SetUp();
        ASSERT_TRUE(TestCertificates::Shared().Ok());
        ASSERT_TRUE(SmtpTlsServer::Shared().Ok()) << SmtpTlsServer::Shared().Log();
        inet_.smtpServer = "127.0.0.1";
        inet_.userName = "user";
        inet_.password = "secret";
        inet_.mailAddress = "me@example.jp";
        inet_.smtpAuth = 1;
        inet_.tlsCaFile = TestCertificates::Shared().CaFile();
        header_.from = "Me <me@example.jp>";
        header_.to = "you@example.jp";
        ASSERT_TRUE(header_.Build());
    }

    std::optional<SSmtpOutcome> Send(const std::string& variant, int security, const std::string& message = kMessage) {
        inet_.smtpPort = SmtpTlsServer::Shared().Port(variant);
        inet_.smtpSecurity = security;
        const std::string path = dir_.File("message.eml");
        qimtest::WriteFileBytes(path, message);
        SGetLineFile lines(path);
        Observer observer;
        SSmtpSession session(inet_, header_, lines, true, observer);
        session.askPassword = [this](SUserInetData& inet) {
            ++passwordPrompts_;
            if (retypedPasswords_.empty()) return false;
            inet.password = retypedPasswords_.front();
            retypedPasswords_.erase(retypedPasswords_.begin());
            return true;
        };
        session.SetTimeout(20000);
        session.Start();
        EXPECT_TRUE(RunUntil([&] { return observer.outcome.has_value(); }));
        secured_ = observer.secured;
        return observer.outcome;
    }

    // A box with the text of `id` (its longest piece between conversions).
    bool ShowedText(unsigned id) const {
        const std::string format = LoadQimString(id);
        std::string longest;
        std::size_t start = 0;
        for (std::size_t at; (at = format.find('%', start)) != std::string::npos;) {
            if (at - start > longest.size()) longest = format.substr(start, at - start);
            start = format.find_first_not_of("-0123456789.l", at + 1) + 1;
        }
        if (format.size() - start > longest.size()) longest = format.substr(start);
        for (const auto& box : dialogs_.Boxes())
            if (box.text.find(longest) != std::string::npos) return true;
        return false;
    }

    std::size_t Stored(const std::string& variant) const { return SmtpTlsServer::Shared().Messages(variant).size(); }

    SUserInetData inet_;
    SEMailMimeHeader header_;
    std::string secured_;
    std::vector<std::string> retypedPasswords_;
    int passwordPrompts_ = 0;
};

// Each mechanism the client may choose, inside STARTTLS or TLS from the start.
TEST_F(SmtpTls, EveryMechanismAuthenticatesInsideTlsAndTheMessageArrives) {
    const struct {
        const char* variant;
        int security;
    } cases[] = {
        {"starttls", kSecurityStartTls},        // CRAM-MD5, the strongest offered
        {"starttls_plain", kSecurityStartTls},  // PLAIN
        {"starttls_login", kSecurityStartTls},  // LOGIN
        {"implicit", kSecurityTls},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.variant);
        dialogs_.Clear();
        const std::size_t before = Stored(c.variant);
        EXPECT_EQ(Send(c.variant, c.security), SSmtpOutcome::Sent);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{});
        ASSERT_EQ(Stored(c.variant), before + 1);
        EXPECT_NE(SmtpTlsServer::Shared().Messages(c.variant).back().data.find("body"), std::string::npos);
        EXPECT_EQ(secured_.rfind(qimtest::Sjis("暗号化通信: TLSv1."), 0), 0u) << secured_;
    }
}

TEST_F(SmtpTls, AWrongPasswordSaysSoAndTheRetypedOneIsTried) {
    for (const char* variant : {"starttls_plain", "starttls"}) {
        SCOPED_TRACE(variant);
        dialogs_.Clear();
        passwordPrompts_ = 0;
        inet_.password = "wrong";
        retypedPasswords_ = {};
        EXPECT_EQ(Send(variant, kSecurityStartTls), SSmtpOutcome::Failed);
        EXPECT_TRUE(Showed(qimstr::WrongPassword));
        EXPECT_EQ(passwordPrompts_, 1);

        const std::size_t before = Stored(variant);
        inet_.password = "wrong";
        retypedPasswords_ = {"secret"};
        EXPECT_EQ(Send(variant, kSecurityStartTls), SSmtpOutcome::Sent);
        EXPECT_EQ(Stored(variant), before + 1);
    }
}

TEST_F(SmtpTls, AServerWithoutStartTlsIsRefusedBeforeAnyMailData) {
    EXPECT_EQ(Send("nostarttls", kSecurityStartTls), SSmtpOutcome::Failed);
    EXPECT_TRUE(ShowedText(qimstr::StartTlsNotOffered));
    EXPECT_EQ(Stored("nostarttls"), 0u);
}

TEST_F(SmtpTls, PasswordsInPlainTextOnlyWhenTheUserAllowsIt) {
    // The server offers PLAIN and LOGIN without TLS.
    EXPECT_EQ(Send("nostarttls", kSecurityPlain), SSmtpOutcome::Failed);
    EXPECT_TRUE(Showed(qimstr::SmtpAuthNoMechanism));
    inet_.smtpAuthPlainText = true;
    EXPECT_EQ(Send("nostarttls", kSecurityPlain), SSmtpOutcome::Sent);
    EXPECT_EQ(secured_, "");
}

TEST_F(SmtpTls, AMessageLargerThanTheServersSizeIsRefusedBeforeMailFrom) {
    std::string big = "Subject: big\r\n\r\n";
    for (int i = 0; i < 4000; ++i) big += std::string(70, 'x') + "\r\n";
    const std::size_t before = Stored("starttls");
    EXPECT_EQ(Send("starttls", kSecurityStartTls, big), SSmtpOutcome::Failed);
    EXPECT_TRUE(ShowedText(qimstr::SmtpMessageTooLarge));
    EXPECT_EQ(Stored("starttls"), before);
}

TEST_F(SmtpTls, AHostNameMismatchIsRefused) {
    ScriptedQuestion question(platform::TrustAnswer::Refuse);
    EXPECT_EQ(Send("mismatch", kSecurityTls), SSmtpOutcome::Failed);
    ASSERT_EQ(question.asked.size(), 1u);
    EXPECT_TRUE(ShowedText(qimstr::CertificateRefused));
    EXPECT_EQ(Stored("mismatch"), 0u);
}

// Without the test CA the certificate is unknown: refused, trusted once (asked
// again next time), or trusted always (pinned in a file only the owner reads).
TEST_F(SmtpTls, AnUntrustedCertificateIsRefusedUntilTheUserTrustsIt) {
    inet_.tlsCaFile.clear();
    {
        ScriptedQuestion refuse(platform::TrustAnswer::Refuse);
        EXPECT_EQ(Send("starttls", kSecurityStartTls), SSmtpOutcome::Failed);
        ASSERT_EQ(refuse.asked.size(), 1u);
        EXPECT_NE(refuse.asked[0].find("SHA-256"), std::string::npos);
        EXPECT_NE(refuse.asked[0].find("CN=localhost"), std::string::npos);
        EXPECT_NE(refuse.asked[0].find("CN=Qim Test CA"), std::string::npos);
    }
    {
        ScriptedQuestion once(platform::TrustAnswer::Once);
        EXPECT_EQ(Send("starttls", kSecurityStartTls), SSmtpOutcome::Sent);
        EXPECT_EQ(Send("implicit", kSecurityTls), SSmtpOutcome::Sent);
        EXPECT_EQ(once.asked.size(), 2u);
    }
    {
        ScriptedQuestion always(platform::TrustAnswer::Always);
        EXPECT_EQ(Send("implicit", kSecurityTls), SSmtpOutcome::Sent);
        EXPECT_EQ(always.asked.size(), 1u);
    }
    struct stat st{};
    ASSERT_EQ(stat(CertificatePinPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    ScriptedQuestion none(platform::TrustAnswer::Refuse);
    EXPECT_EQ(Send("starttls", kSecurityStartTls), SSmtpOutcome::Sent);
    EXPECT_TRUE(none.asked.empty());
}

}  // namespace
