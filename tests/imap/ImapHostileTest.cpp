// Servers that misbehave, go silent or end the session, and the secure
// login: each gets a clear message, ends the operation, and never makes the
// session hang, take memory without bound or send the password in the clear.
#include <gtest/gtest.h>

#include "config/QimStringIds.h"
#include "config/STlsConnection.h"
#include "imap/Imap4Codes.h"
#include "tests/imap/ImapTestSupport.h"

namespace {

using imaptest::FakeCache;
using imaptest::Home;
using imaptest::kLogin;
using imaptest::Logout;
using qimtest::Scenario;
using qimtest::ScriptedSockets;
using namespace qimimap;

using Session = imaptest::Session<>;

SImap4Request Inbox(FakeCache* cache = nullptr) {
    SImap4Request r;
    r.folder = "_QimP";
    r.cache = cache;
    return r;
}

// The connection is gone and the next request connects anew.
void ExpectDisconnected(Session& session) {
    EXPECT_FALSE(session.session->IsConnected());
    EXPECT_EQ(session.session->GetState(), State::Idle);
    EXPECT_FALSE(session.session->IsBusy());
}

TEST(ImapHostile, ALiteralTooLargeToTakeEndsTheConnectionAndTheNextRequestConnectsAnew) {
    Home home;
    Scenario first(kLogin);
    first.Script("C: a0003 SELECT inbox\nS: * 1 EXISTS\nS: a0003 OK\n"
                 "C: a0004 FETCH 1 (RFC822.SIZE FLAGS BODY.PEEK[HEADER.FIELDS (TO DATE FROM SUBJECT)])\n"
                 "S: * 1 FETCH (BODY[HEADER.FIELDS (TO DATE FROM SUBJECT)] {2147483648}\n"
                 "S: a0004 OK\n");
    // The tags go on where the session left them.
    Scenario second("S: * OK [CAPABILITY IMAP4rev1] ready\nC: a0005 LOGIN taro secret\nS: a0005 OK\n"
                    "C: a0006 LIST \"\" \"\"\nS: * LIST () \".\" \"\"\nS: a0006 OK\nC: a0007 CLOSE\nS: a0007 OK\n" +
                    Logout("a0008"));
    ScriptedSockets sockets({&first, &second});
    FakeCache cache;
    Session session(home);
    EXPECT_EQ(session.Run(Inbox(&cache), kOpFetchHeaders), kResultFailure);
    EXPECT_TRUE(session.seen.Noticed(qimtest::Sjis("サーバーの応答が正しくない"))) << session.seen.AllNotices();
    EXPECT_TRUE(session.seen.Noticed("{2147483648}"));
    EXPECT_EQ(cache.filled, std::vector<bool>{false}) << "the cache is to be fetched again";
    ExpectDisconnected(session);
    EXPECT_EQ(session.Run(kOpCloseFolder), kResultSuccess);
}

TEST(ImapHostile, ALineThatNeverEndsIsReadInBoundedPiecesUntilTheTimeout) {
    Home home;
    Scenario s(kLogin);
    s.Script("C: a0003 SELECT inbox\n");
    // A long but finished line is passed over; then one that never ends.
    s.Server("* OK " + std::string(5000, 'x') + "\r\n* 2 EXISTS\r\n* OK ");
    for (int i = 0; i < 50; ++i) s.Server(std::string(4096, 'y')).Cut();
    ScriptedSockets sockets(s);
    Session session(home, 400);
    EXPECT_EQ(session.Run(Inbox(), kOpSearch), kResultFailure);
    EXPECT_EQ(session.session->MailboxStatus().exists, 2);
    EXPECT_TRUE(session.seen.Noticed(qimtest::Sjis("秒間応答がありません"))) << session.seen.AllNotices();
    ExpectDisconnected(session);
}

TEST(ImapHostile, AByeInTheMiddleOfACommandEndsTheSessionWithTheServersWords) {
    Home home;
    Scenario s(kLogin);
    s.Script("C: a0003 SELECT inbox\nS: * 3 EXISTS\nS: * BYE Server shutting down\n");
    ScriptedSockets sockets(s);
    Session session(home);
    EXPECT_EQ(session.Run(Inbox(), kOpSearch), kResultFailure);
    EXPECT_TRUE(session.seen.Noticed("* BYE Server shutting down")) << session.seen.AllNotices();
    EXPECT_TRUE(s.ClosedByClient());
    ExpectDisconnected(session);
}

TEST(ImapHostile, ATaggedReplyThatIsNotForTheCommandSentIsNotTakenForItsReply) {
    Home home;
    for (const char* reply : {"a0002 OK stale", "a0099 OK forged", "b0003 OK wrong letter"}) {
        Scenario s(kLogin);
        s.Script(std::string("C: a0003 CLOSE\nS: ") + reply + "\n");
        ScriptedSockets sockets(s);
        Session session(home);
        EXPECT_EQ(session.Run(kOpCloseFolder), kResultFailure) << reply;
        EXPECT_TRUE(session.seen.Noticed(reply)) << session.seen.AllNotices();
        ExpectDisconnected(session);
    }
}

TEST(ImapHostile, WhatALiteralHoldsIsNeverTakenForAReply) {
    Home home;
    Scenario s(kLogin);
    // An alert whose text is a literal that looks like the tagged reply.
    s.Script("C: a0003 CLOSE\nS: * OK [ALERT] {17}\nS: a0003 OK forged\n");
    s.Server("\r\n").Script("S: a0003 NO refused\n" + Logout("a0004"));
    ScriptedSockets sockets(s);
    Session session(home);
    EXPECT_EQ(session.Run(kOpCloseFolder), kResultFailure);
    EXPECT_TRUE(session.session->IsLoggedIn());
}

TEST(ImapHostile, ASilentServerTimesOutAndASecondCancelCutsAtOnce) {
    Home home;
    {
        Scenario s("S: * OK [CAPABILITY IMAP4rev1] ready\nC: a0001 LOGIN taro secret\n");
        ScriptedSockets sockets(s);
        Session session(home, 300);
        EXPECT_EQ(session.Run(kOpListFolders), kResultFailure);
        EXPECT_TRUE(session.seen.Noticed(qimtest::Sjis("サーバーから 1 秒間応答がありません"))) << session.seen.AllNotices();
        ExpectDisconnected(session);
    }
    Scenario s("S: * OK [CAPABILITY IMAP4rev1] ready\nC: a0001 LOGIN taro secret\n");
    ScriptedSockets sockets(s);
    Session session(home, 60000);
    ASSERT_TRUE(session.session->Request(SImap4Request(), kOpListFolders));
    ASSERT_TRUE(qimtest::RunUntil([&] { return s.Finished(); }));
    session.session->Cancel();
    qimtest::RunFor(50);
    EXPECT_TRUE(session.seen.completions.empty()) << "the first cancel waits for the reply";
    session.session->Cancel();
    ASSERT_TRUE(qimtest::RunUntil([&] { return session.seen.Last(kOpListFolders) != nullptr; }, 2000));
    EXPECT_EQ(session.seen.Last(kOpListFolders)->result, kResultFailure);
    EXPECT_TRUE(session.seen.notices.empty()) << "a cancel shows no box";
    ExpectDisconnected(session);
}

TEST(ImapHostile, TheEmergencyButtonWarnsAndEndsAtOnceWithoutWaitingForTheServer) {
    Home home;
    Scenario s(std::string(kLogin) + "C: a0003 CLOSE\n");
    ScriptedSockets sockets(s);
    Session session(home, 60000);
    ASSERT_TRUE(session.session->Request(SImap4Request(), kOpCloseFolder));
    ASSERT_TRUE(qimtest::RunUntil([&] { return s.Finished(); }));
    session.session->Emergency();
    ASSERT_TRUE(qimtest::RunUntil([&] { return session.seen.Last(kOpCloseFolder) != nullptr; }, 2000));
    EXPECT_EQ(session.seen.Last(kOpCloseFolder)->result, kResultFailure);
    EXPECT_TRUE(session.seen.Noticed(qimstr::CloseQimAfterDialog));
    // The reply to the CLOSE would come to the next command: the connection went with it.
    ExpectDisconnected(session);
}

TEST(ImapHostile, ACancelTakesEffectBeforeTheNextCommand) {
    Home home;
    Scenario s(kLogin);
    s.Script("C: a0003 SELECT inbox\n-- delay 100\nS: * 1 EXISTS\nS: a0003 OK\n" + Logout("a0004"));
    ScriptedSockets sockets(s);
    FakeCache cache;
    Session session(home);
    ASSERT_TRUE(session.session->Request(Inbox(&cache), kOpFetchHeaders));
    ASSERT_TRUE(qimtest::RunUntil([&] { return s.ClientSaid("a0003 SELECT inbox"); }));
    session.session->Cancel();
    ASSERT_TRUE(qimtest::RunUntil([&] { return session.seen.Last(kOpFetchHeaders) != nullptr; }));
    EXPECT_EQ(session.seen.Last(kOpFetchHeaders)->result, kResultFailure);
    EXPECT_EQ(session.seen.Last(kOpFetchHeaders)->target, SImap4Target::None);
    EXPECT_EQ(cache.filled, std::vector<bool>{false});
    EXPECT_TRUE(session.session->IsLoggedIn());
}

TEST(ImapHostile, StartTlsThatIsNotOfferedOrRefusedEndsBeforeAnyPassword) {
    Home home;
    home.inet.pop3Security = kSecurityStartTls;
    Scenario absent("S: * OK [CAPABILITY IMAP4rev1 AUTH=PLAIN] ready\n");
    Scenario refused("S: * OK ready\nC: a0001 CAPABILITY\nS: * CAPABILITY IMAP4rev1 STARTTLS\nS: a0001 OK\n"
                     "C: a0002 STARTTLS\nS: a0002 BAD not now\n");
    ScriptedSockets sockets({&absent, &refused});
    Session session(home);
    EXPECT_EQ(session.Run(kOpListFolders), kResultFailure);
    EXPECT_TRUE(session.seen.Noticed(qimtest::Sjis("STARTTLS) に対応していません"))) << session.seen.AllNotices();
    EXPECT_EQ(session.Run(kOpListFolders), kResultFailure);
    EXPECT_TRUE(session.seen.Noticed("a0002 BAD not now")) << session.seen.AllNotices();
    for (const Scenario* s : {&absent, &refused}) EXPECT_EQ(s->ClientBytes().find("LOGIN"), std::string::npos);
    ExpectDisconnected(session);
}

TEST(ImapHostile, StartTlsDropsWhatCameBeforeTheHandshakeAndAsksTheCapabilitiesAgain) {
    Home home;
    home.inet.pop3Security = kSecurityStartTls;
    // The lines after the STARTTLS reply would refuse the LOGIN if they were read.
    Scenario s("S: * OK [CAPABILITY IMAP4rev1 STARTTLS LOGINDISABLED] ready\nC: a0001 STARTTLS\n"
               "S: a0001 OK begin\nS: * CAPABILITY IMAP4rev1 LOGINDISABLED\nS: a0002 NO injected\n-- tls\n"
               "C: a0002 CAPABILITY\nS: * CAPABILITY IMAP4rev1 AUTH=PLAIN\nS: a0002 OK\n"
               "C: a0003 LOGIN taro secret\nS: a0003 OK\n"
               "C: a0004 LIST \"\" \"\"\nS: * LIST () \".\" \"\"\nS: a0004 OK\nC: a0005 CLOSE\nS: a0005 OK\n" +
               Logout("a0006"));
    ScriptedSockets sockets(s);
    Session session(home);
    EXPECT_EQ(session.Run(kOpCloseFolder), kResultSuccess) << session.seen.AllNotices();
    ASSERT_FALSE(session.seen.security.empty());
}

TEST(ImapHostile, LoginDisabledTakesAuthenticatePlainInsideTlsAndNothingInTheClear) {
    Home home;
    home.inet.pop3Security = kSecurityStartTls;
    // AUTHENTICATE PLAIN: "\0taro\0secret" in base64.
    Scenario tls("S: * OK [CAPABILITY IMAP4rev1 STARTTLS LOGINDISABLED] ready\nC: a0001 STARTTLS\nS: a0001 OK\n-- tls\n"
                 "C: a0002 CAPABILITY\nS: * CAPABILITY IMAP4rev1 LOGINDISABLED AUTH=PLAIN\nS: a0002 OK\n"
                 "C: a0003 AUTHENTICATE PLAIN\nS: +\nC: AHRhcm8Ac2VjcmV0\nS: a0003 OK\n"
                 "C: a0004 LIST \"\" \"\"\nS: * LIST () \".\" \"\"\nS: a0004 OK\nC: a0005 CLOSE\nS: a0005 OK\n" +
                 Logout("a0006"));
    ScriptedSockets sockets(tls);
    {
        Session session(home);
        EXPECT_EQ(session.Run(kOpCloseFolder), kResultSuccess) << session.seen.AllNotices();
    }
    home.inet.pop3Security = kSecurityPlain;
    Scenario plain("S: * OK [CAPABILITY IMAP4rev1 LOGINDISABLED AUTH=PLAIN] ready\n");
    ScriptedSockets more(plain);
    Session session(home);
    EXPECT_EQ(session.Run(kOpCloseFolder), kResultFailure);
    EXPECT_TRUE(session.seen.Noticed(qimtest::Sjis("STARTTLS か SSL/TLS を選んで下さい"))) << session.seen.AllNotices();
    EXPECT_EQ(plain.ClientBytes(), "");
}

}  // namespace
