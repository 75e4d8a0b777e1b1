// The test servers themselves: if these fail, the protocol tests cannot say
// anything, so they say it here first.
#include <gtest/gtest.h>

#include "support/TestServers.h"

namespace {

TEST(TestServers, DovecotServesPop3WithApop) {
    qimtest::DovecotServer dovecot;
    ASSERT_TRUE(dovecot.Ok()) << dovecot.Log();
    dovecot.AddUser("taro");
    dovecot.Deliver("taro", "Subject: hi\r\n\r\nbody\r\n");
    int status = -1;
    std::string out = qimtest::RunCommand(
        "/usr/bin/python3 -c \"import poplib; p=poplib.POP3('127.0.0.1'," + std::to_string(dovecot.Pop3Port()) +
            "); p.apop('taro','secret'); print(p.stat()[0]); print(b'\\\\n'.join(p.retr(1)[1]).decode()); p.quit()\"",
        &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out, "1\nSubject: hi\n\nbody\n");
    EXPECT_EQ(dovecot.Mailbox("taro").size(), 1u);
}

TEST(TestServers, SmtpServerStoresEnvelopeAndData) {
    qimtest::SmtpServer smtp;
    ASSERT_TRUE(smtp.Ok());
    int status = -1;
    qimtest::RunCommand("/usr/bin/python3 -c \"import smtplib; s=smtplib.SMTP('127.0.0.1'," +
                            std::to_string(smtp.Port()) +
                            "); s.sendmail('a@example.jp',['b@example.jp','c@example.jp'],b'Subject: t\\r\\n\\r\\n.dot\\r\\n'); s.quit()\"",
                        &status);
    EXPECT_EQ(status, 0);
    std::vector<qimtest::SmtpMessage> messages = smtp.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].mailFrom, "a@example.jp");
    EXPECT_EQ(messages[0].rcptTo, (std::vector<std::string>{"b@example.jp", "c@example.jp"}));
    EXPECT_EQ(messages[0].data, "Subject: t\r\n\r\n.dot\r\n");
}

}  // namespace
