// Receiving over TLS from a real Dovecot whose certificate the tests made:
// TLS from the first byte and STLS, the test CA given as TLSCAFile, an
// untrusted certificate refused until the user trusts it, a name that does
// not match refused whatever the CA.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "config/STlsConnection.h"
#include "platform/CertificateQuestion.h"
#include "support/TestCertificates.h"
#include "support/TestServers.h"
#include "tests/pop3/Pop3TestSupport.h"

namespace {

using pop3test::Home;
using pop3test::Receive;
using pop3test::RunResult;

// Answers the trust question as told and counts the questions.
class Trust : public platform::CertificateQuestion {
public:
    explicit Trust(platform::TrustAnswer answer) : answer_(answer), before_(platform::SetCertificateQuestion(this)) {}
    ~Trust() override { platform::SetCertificateQuestion(before_); }
    platform::TrustAnswer AskTrust(const std::string& text) override {
        ++asked;
        lastText = text;
        return answer_;
    }
    int asked = 0;
    std::string lastText;

private:
    platform::TrustAnswer answer_;
    platform::CertificateQuestion* before_;
};

class DovecotTls : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(certificates.Ok());
        ASSERT_TRUE(dovecot.Ok()) << dovecot.Log();
        ASSERT_GT(dovecot.Pop3sPort(), 0) << dovecot.Log();
        user = dovecot.NewUser();
        home.inet.userName = user;
        home.inet.tlsCaFile = certificates.CaFile();
        dovecot.Deliver(user, "From: a@example.jp\r\nSubject: tls\r\n\r\nover TLS\r\n");
    }
    void ExpectStored(const RunResult& r) {
        EXPECT_FALSE(r.outcome.failed);
        EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("1")), "From: a@example.jp\r\nSubject: tls\r\n\r\nover TLS\r\n");
        ASSERT_FALSE(r.seen.security.empty()) << "the session's TLS is shown";
        EXPECT_NE(r.seen.security.back().find("TLS"), std::string::npos) << r.seen.security.back();
    }
    qimtest::TestCertificates& certificates = qimtest::TestCertificates::Shared();
    qimtest::DovecotServer& dovecot = qimtest::DovecotServer::SharedTls();
    std::string user;
    Home home;
};

TEST_F(DovecotTls, Pop3sAndStlsReceiveWithTheCompanyCa) {
    home.inet.pop3Security = 2;
    home.inet.pop3Port = dovecot.Pop3sPort();
    ExpectStored(Receive(home));

    // STLS on the plain port: the login goes inside TLS.
    Home again;
    again.inet.userName = user;
    again.inet.tlsCaFile = certificates.CaFile();
    again.inet.pop3Security = 1;
    again.inet.pop3Port = dovecot.Pop3Port();
    dovecot.Deliver(user, "From: a@example.jp\r\nSubject: tls\r\n\r\nover TLS\r\n");
    const RunResult r = Receive(again);
    EXPECT_FALSE(r.outcome.failed);
    ASSERT_FALSE(r.seen.security.empty());
}

TEST_F(DovecotTls, AnUntrustedCertificateIsRefusedUntilTheUserTrustsIt) {
    home.inet.tlsCaFile.clear();  // the test CA is nobody's
    home.inet.pop3Security = 2;
    home.inet.pop3Port = dovecot.Pop3sPort();
    {
        // Without a question (the tool) and with "do not connect": refused, nothing stored.
        const RunResult plain = Receive(home);
        EXPECT_TRUE(plain.outcome.failed);
        Trust no(platform::TrustAnswer::Refuse);
        const RunResult refused = Receive(home);
        EXPECT_TRUE(refused.outcome.failed);
        EXPECT_EQ(no.asked, 1);
        EXPECT_NE(no.lastText.find("SHA-256"), std::string::npos) << qimtest::Utf8(no.lastText);
        EXPECT_FALSE(qimtest::FileExists(home.dir.File("1")));
    }
    {
        Trust always(platform::TrustAnswer::Always);
        ExpectStored(Receive(home));
        EXPECT_EQ(always.asked, 1);
    }
    // Pinned: the next run asks nothing, and the pin file is the user's alone.
    struct stat st {};
    ASSERT_EQ(stat(CertificatePinPath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    Trust never(platform::TrustAnswer::Refuse);
    dovecot.Deliver(user, "From: a@example.jp\r\nSubject: tls\r\n\r\nover TLS\r\n");
    const RunResult pinned = Receive(home);
    EXPECT_FALSE(pinned.outcome.failed);
    EXPECT_EQ(never.asked, 0);
}

TEST_F(DovecotTls, ACertificateForAnotherNameIsRefusedWhateverTheCa) {
    qimtest::DovecotServer wrong(certificates.WrongNameCert(), certificates.WrongNameKey());
    ASSERT_TRUE(wrong.Ok()) << wrong.Log();
    const std::string other = wrong.NewUser();
    wrong.Deliver(other, "Subject: x\r\n\r\nx\r\n");
    home.inet.userName = other;
    home.inet.pop3Security = 2;
    home.inet.pop3Port = wrong.Pop3sPort();
    const RunResult r = Receive(home);
    EXPECT_TRUE(r.outcome.failed);
    EXPECT_FALSE(qimtest::FileExists(home.dir.File("1")));
    EXPECT_EQ(wrong.Mailbox(other).size(), 1u) << "nothing was taken from the server";
}

}  // namespace
