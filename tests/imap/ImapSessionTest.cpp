// The operations of the session against scripted servers: the exact
// commands it sends, what it makes of the replies, and the completions.
#include <gtest/gtest.h>

#include "config/QimStringIds.h"
#include "imap/Imap4Codes.h"
#include "imap/SImap4Flags.h"
#include "store/QimStoreCodes.h"
#include "tests/imap/ImapTestSupport.h"

namespace {

using imaptest::FakeCache;
using imaptest::Home;
using imaptest::Jis;
using imaptest::kLogin;
using imaptest::Logout;
using qimtest::Scenario;
using qimtest::ScriptedSockets;
using qimtest::Sjis;
using namespace qimimap;

using Session = imaptest::Session<>;

SImap4Request Folder(const std::string& folder, FakeCache* cache = nullptr) {
    SImap4Request r;
    r.folder = folder;
    r.cache = cache;
    return r;
}

std::string Literal(const std::string& bytes) { return "{" + std::to_string(bytes.size()) + "}"; }

TEST(ImapSession, AHeaderFetchPeeksAndStoresEachHeaderWithItsMarkSizeAndNumber) {
    Home home;
    const std::string first = Jis("Subject: テスト\r\nFrom: a@example.jp\r\n\r\n");
    const std::string second = "Subject: plain\r\n\r\n";
    Scenario s(kLogin);
    s.Script("C: a0003 SELECT inbox\n"
             "S: * FLAGS (\\Seen \\Answered)\n"
             "S: * 2 EXISTS\n"
             "S: * 0 RECENT\n"
             "S: * OK [UIDVALIDITY 42] ok\n"
             "S: a0003 OK [READ-WRITE] selected\n"
             "C: a0004 FETCH 1 (RFC822.SIZE FLAGS BODY.PEEK[HEADER.FIELDS (TO DATE FROM SUBJECT)])\n");
    s.Server("* 1 FETCH (RFC822.SIZE 120 FLAGS (\\Seen \\Recent) BODY[HEADER.FIELDS (TO DATE FROM SUBJECT)] " +
             Literal(first) + "\r\n" + first + ")\r\na0004 OK\r\n");
    s.Script("C: a0005 FETCH 2 (RFC822.SIZE FLAGS BODY.PEEK[HEADER.FIELDS (TO DATE FROM SUBJECT)])\n");
    // The items may come after the literal too.
    s.Server("* 2 FETCH (BODY[HEADER.FIELDS (TO DATE FROM SUBJECT)] " + Literal(second) + "\r\n" + second +
             " FLAGS () RFC822.SIZE 77)\r\na0005 OK\r\n");
    s.Script(Logout("a0006"));
    ScriptedSockets sockets(s);
    FakeCache cache;
    {
        Session session(home);
        EXPECT_EQ(session.Run(Folder("_QimP", &cache), kOpFetchHeaders), kResultSuccess) << session.seen.AllNotices();
        EXPECT_EQ(session.seen.Last(kOpFetchHeaders)->target, SImap4Target::Session);
        EXPECT_EQ(session.seen.CountOf(kOpNoRecentMail), 1);
        EXPECT_EQ(session.session->MailboxStatus().uidValidity, 42u);
    }
    ASSERT_EQ(cache.headers.size(), 2u);
    EXPECT_EQ(cache.headers[0].lines, Sjis("Subject: テスト\r\nFrom: a@example.jp\r\n\r\n"));
    EXPECT_EQ(cache.headers[0].mark, qimstore::kMarkRead | kMarkRecent);
    EXPECT_EQ(cache.headers[0].size, 120u);
    EXPECT_EQ(cache.headers[0].number, 1);
    EXPECT_EQ(cache.headers[1].lines, second);
    EXPECT_EQ(cache.headers[1].mark, qimstore::kMarkNone);
    EXPECT_EQ(cache.headers[1].size, 77u);
    EXPECT_EQ(cache.headers[1].number, 2);
    EXPECT_EQ(cache.filled, std::vector<bool>{true});
    for (const std::string& line : s.ClientLines()) EXPECT_EQ(line.find("STORE"), std::string::npos) << line;
}

TEST(ImapSession, RecentMailOnlyAtStartUpFetchesFromTheFirstRecentMessage) {
    Home home;
    home.settings.onlyNewMailsAtStart = true;
    Scenario s(kLogin);
    s.Script("C: a0003 SELECT inbox\nS: * 5 EXISTS\nS: * 2 RECENT\nS: a0003 OK\n"
             "C: a0004 FETCH 4 (RFC822.SIZE FLAGS BODY.PEEK[HEADER.FIELDS (TO DATE FROM SUBJECT)])\n");
    // A message without any of the fields: its header is the empty line.
    s.Server("* 4 FETCH (FLAGS (\\Recent) RFC822.SIZE 9 BODY[HEADER.FIELDS (TO DATE FROM SUBJECT)] {2}\r\n\r\n)\r\n"
             "a0004 OK\r\n");
    s.Script("C: a0005 FETCH 5 (RFC822.SIZE FLAGS BODY.PEEK[HEADER.FIELDS (TO DATE FROM SUBJECT)])\n"
             "S: * 5 FETCH (FLAGS (\\Recent) BODY[HEADER.FIELDS (TO DATE FROM SUBJECT)] NIL)\n"
             "S: a0005 OK\n" +
             Logout("a0006"));
    ScriptedSockets sockets(s);
    FakeCache cache;
    Session session(home);
    session.session->SetStartingUp(true);
    // The request asked for all headers: its completion keeps that code.
    EXPECT_EQ(session.Run(Folder("_QimP", &cache), kOpFetchHeaders), kResultSuccess) << session.seen.AllNotices();
    EXPECT_EQ(session.seen.CountOf(kOpNewMail), 1) << "recent mail in the inbox";
    EXPECT_EQ(session.seen.CountOf(kOpNoRecentMail), 0);
    ASSERT_EQ(cache.headers.size(), 2u);
    EXPECT_EQ(cache.headers[0].number, 4);
    EXPECT_EQ(cache.headers[0].lines, std::string("\r\n"));
    EXPECT_EQ(cache.headers[1].number, 5);
    EXPECT_EQ(cache.headers[1].lines, "");
}

TEST(ImapSession, AnEmptyFolderListsNoHeadersAtOnceButHasNothingToFetchCopyOrDelete) {
    Home home;
    Scenario s(kLogin);
    const char* empty = "S: * 0 EXISTS\nS: * 0 RECENT\n";
    s.Script(std::string("C: a0003 SELECT inbox\n") + empty + "S: a0003 OK\n");
    s.Script(std::string("C: a0004 SELECT \"_QimP.Work._mbox\"\n") + empty + "S: a0004 OK\n");
    s.Script(std::string("C: a0005 EXAMINE \"_QimP.Work._mbox\"\n") + empty + "S: a0005 OK\n");
    s.Script(std::string("C: a0006 SELECT \"_QimP.Work._mbox\"\n") + empty + "S: a0006 OK\n");
    s.Script(Logout("a0007"));
    ScriptedSockets sockets(s);
    FakeCache cache;
    Session session(home);
    EXPECT_EQ(session.Run(Folder("_QimP", &cache), kOpFetchHeaders), kResultSuccess);
    EXPECT_EQ(cache.filled, std::vector<bool>{true});
    EXPECT_TRUE(cache.headers.empty());
    SImap4Request body = Folder("_QimP\\Work\\_mbox");
    body.first = 1;
    body.replyTo = 77;
    body.mailFile = home.dir.File("body");
    EXPECT_EQ(session.Run(body, kOpFetchBody), kResultFailure);
    EXPECT_EQ(session.seen.Last(kOpFetchBody)->target, SImap4Target::Reply);
    EXPECT_EQ(session.seen.Last(kOpFetchBody)->replyTo, 77);
    SImap4Request copy;
    copy.source = "_QimP\\Work\\_mbox";
    copy.destination = "_QimP";
    copy.first = copy.last = 1;
    EXPECT_EQ(session.Run(copy, kOpCopy), kResultFailure);
    SImap4Request del = Folder("_QimP\\Work\\_mbox");
    del.first = del.last = 1;
    EXPECT_EQ(session.Run(del, kOpMarkDeleted), kResultFailure);
    EXPECT_TRUE(session.seen.notices.empty()) << "nothing to do is no error to show";
}

TEST(ImapSession, ABodyComesIntoTheFileByteForByteInShiftJis) {
    Home home;
    // The last line has no line end, and ")" follows it on the same line.
    const std::string text = "Subject: テスト\r\n\r\n日本語の本文\r\n\r\n最後の行";
    const std::string jis = Jis(text);
    Scenario s(kLogin);
    s.Script("C: a0003 SELECT \"_QimP.Work._mbox\"\nS: * 3 EXISTS\nS: a0003 OK\nC: a0004 FETCH 2 BODY[]\n");
    // Cut inside the first escape sequence of the kanji, and again inside a kanji.
    const std::size_t kanji = jis.find('\x1b');
    const std::string head = "* 2 FETCH (FLAGS (\\Seen) BODY[] " + Literal(jis) + "\r\n";
    s.Server(head + jis.substr(0, kanji + 1)).Cut().Server(jis.substr(kanji + 1, 6)).Cut();
    s.Server(jis.substr(kanji + 7) + ")\r\n* 3 FETCH (FLAGS (\\Seen))\r\na0004 OK done\r\n");
    s.Script(Logout("a0005"));
    ScriptedSockets sockets(s);
    Session session(home);
    SImap4Request r = Folder("_QimP\\Work\\_mbox");
    r.first = 2;
    r.mailFile = home.dir.File("mail");
    r.replyTo = 5;
    EXPECT_EQ(session.Run(r, kOpFetchBodyForReply), kResultSuccess) << session.seen.AllNotices();
    EXPECT_EQ(session.seen.Last(kOpFetchBodyForReply)->target, SImap4Target::Reply);
    EXPECT_EQ(qimtest::ReadFileBytes(home.dir.File("mail")), Sjis(text));
}

TEST(ImapSession, CopyStoreAndCloseSendTheirRangesFlagsAndMailboxes) {
    Home home;
    Scenario s(kLogin);
    s.Script("C: a0003 EXAMINE \"_QimP.A._mbox\"\nS: * 9 EXISTS\nS: a0003 OK\n"
             "C: a0004 COPY 2:4 \"_QimP.&ZeVnLIqe-._mbox\"\nS: a0004 OK copied\n"
             "C: a0005 SELECT \"_QimP.A._mbox\"\nS: * 9 EXISTS\nS: a0005 OK\n"
             "C: a0006 STORE 3:3 +FLAGS.SILENT (\\Deleted)\nS: a0006 OK\n"
             "C: a0007 SELECT \"_QimP.A._mbox\"\nS: * 9 EXISTS\nS: a0007 OK\n"
             "C: a0008 STORE 1:2 -FLAGS.SILENT (\\Seen)\nS: a0008 OK\n"
             // \Recent is the server's own: a mark that has it sets nothing.
             "C: a0009 SELECT \"_QimP.A._mbox\"\nS: * 9 EXISTS\nS: a0009 OK\n"
             "C: a0010 STORE 5:5 +FLAGS.SILENT ()\nS: a0010 OK\n"
             "C: a0011 CLOSE\nS: a0011 OK\n" +
             Logout("a0012"));
    ScriptedSockets sockets(s);
    Session session(home);
    SImap4Request copy;
    copy.source = "_QimP\\A\\_mbox";
    copy.destination = "_QimP\\" + Sjis("日本語") + "\\_mbox";
    copy.first = 2;
    copy.last = 4;
    EXPECT_EQ(session.Run(copy, kOpCopy), kResultSuccess);
    SImap4Request r = Folder("_QimP\\A\\_mbox");
    r.first = r.last = 3;
    EXPECT_EQ(session.Run(r, kOpMarkDeleted), kResultSuccess);
    r.first = 1;
    r.last = 2;
    r.mark = qimstore::kMarkRead;
    r.add = false;
    EXPECT_EQ(session.Run(r, kOpChangeFlags), kResultSuccess);
    r.first = r.last = 5;
    r.mark = kMarkRecent;
    r.add = true;
    EXPECT_EQ(session.Run(r, kOpChangeFlags), kResultSuccess);
    EXPECT_EQ(session.Run(kOpCloseFolder), kResultSuccess);
    EXPECT_EQ(session.seen.Last(kOpCloseFolder)->target, SImap4Target::None);
}

TEST(ImapSession, AppendSendsTheJisLiteralAndReplaceKeepsOnlyTheNewestMessage) {
    Home home;
    const std::string mail = "Subject: テスト\r\n\r\n本文\r\n";
    qimtest::WriteFileBytes(home.dir.File("mail"), Sjis(mail));
    const std::string jis = Jis(mail);
    Scenario s(kLogin);
    s.Script("C: a0003 APPEND \"_QimP._inimbox\" (\\Seen) " + Literal(jis) + "\nS: + go ahead\n");
    s.Client(jis + "\r\n").Script("S: a0003 OK [APPENDUID 1 7] done\n");
    // The folder holds only the new message: no STORE, no CLOSE.
    s.Script("C: a0004 SELECT \"_QimP._inimbox\"\nS: * 1 EXISTS\nS: a0004 OK\n");
    s.Script("C: a0005 APPEND \"_QimP._inimbox\" " + Literal(jis) + "\nS: + go ahead\n");
    s.Client(jis + "\r\n").Script("S: a0005 OK\n");
    s.Script("C: a0006 SELECT \"_QimP._inimbox\"\nS: * 3 EXISTS\nS: a0006 OK\n"
             "C: a0007 STORE 1:2 +FLAGS.SILENT (\\Deleted)\nS: a0007 OK\n"
             "C: a0008 CLOSE\nS: a0008 OK\n" +
             Logout("a0009"));
    ScriptedSockets sockets(s);
    Session session(home);
    SImap4Request r = Folder("_inimbox");
    r.mailFile = home.dir.File("mail");
    r.mark = qimstore::kMarkRead;
    EXPECT_EQ(session.Run(r, kOpReplace), kResultSuccess) << session.seen.AllNotices();
    r.mark = qimstore::kMarkNone;
    EXPECT_EQ(session.Run(r, kOpReplace), kResultSuccess) << session.seen.AllNotices();
}

TEST(ImapSession, SearchSendsNoCharsetForAsciiAndCollectsTheNumbers) {
    Home home;
    std::string result = "old";
    Scenario s(kLogin);
    s.Script("C: a0003 SELECT inbox\nS: * 4 EXISTS\nS: a0003 OK\n"
             "C: a0004 SEARCH BODY hello\nS: * SEARCH 1 3\nS: * 4 EXISTS\nS: a0004 OK\n"
             "C: a0005 SELECT inbox\nS: * 4 EXISTS\nS: a0005 OK\n");
    s.Client("a0006 SEARCH CHARSET ISO-2022-JP HEADER Subject \"" + Jis("会議") + "\"\r\n")
        .Script("S: * SEARCH 2\nS: a0006 OK\n");
    // A pattern that holds a line end goes as a literal: it cannot become a command.
    s.Script("C: a0007 SELECT inbox\nS: * 4 EXISTS\nS: a0007 OK\n"
             "C: a0008 SEARCH TEXT {21}\nS: + ready\nC: x\n"
             "C: a0099 DELETE INBOX\n"
             "S: * SEARCH\nS: a0008 OK\n" +
             Logout("a0009"));
    ScriptedSockets sockets(s);
    Session session(home);
    SImap4Request r = Folder("_QimP");
    r.searchResult = &result;
    r.replyTo = 9;
    r.condition.SetWhere(SFindMailCondition::FindInBody);
    r.condition.SetPattern("hello");
    EXPECT_EQ(session.Run(r, kOpSearch), kResultSuccess);
    EXPECT_EQ(result, "1 3");
    EXPECT_EQ(session.seen.Last(kOpSearch)->target, SImap4Target::Reply);
    r.condition.SetWhere(SFindMailCondition::FindInField);
    r.condition.SetFieldName("Subject");
    r.condition.SetPattern(Sjis("会議").c_str());
    EXPECT_EQ(session.Run(r, kOpSearch), kResultSuccess);
    EXPECT_EQ(result, "2");
    r.condition.SetWhere(SFindMailCondition::FindInWholeMail);
    r.condition.SetPattern("x\r\na0099 DELETE INBOX");
    EXPECT_EQ(session.Run(r, kOpSearch), kResultSuccess);
    EXPECT_EQ(result, "");
}

TEST(ImapSession, TheFolderListTakesLiteralNamesAndLeavesOutWhatWouldLeaveTheCacheRoot) {
    Home home;
    const std::string listFile = home.dir.File("PFolders.TXT");
    Scenario s(kLogin);
    s.Script("C: a0003 LIST \"_QimP.\" *\n"
             "S: * LIST (\\HasNoChildren) \".\" \"_QimP.Work\"\n"
             "S: * LIST (\\HasNoChildren) \".\" {16}\n"
             "S: _QimP.&ZeVnLIqe-\n"
             "S: * LIST () \".\" _QimP.Work._mbox\n"
             "S: * LIST () \".\" \"_QimP._inimbox\"\n"
             "S: * LIST () \".\" \"_QimP..\"\n"
             "S: * LIST () \".\" \"_QimP.a/../../etc\"\n"
             "S: * LIST () \".\" \"_QimP.&AAE-\"\n"
             "S: * LIST () \".\" \"INBOX\"\n"
             "S: * LIST () \".\" {8}\n"
             "S: _QimP...\n"
             "S: a0003 OK listed\n"
             // Without the settings mailbox it is made, and the list made again.
             "C: a0004 LIST \"_QimP.\" *\n"
             "S: * LIST () \".\" \"_QimP.Work\"\n"
             "S: a0004 OK\n"
             "C: a0005 CREATE \"_QimP._inimbox\"\nS: a0005 OK\n"
             "C: a0006 LIST \"_QimP.\" *\n"
             "S: * LIST () \".\" \"_QimP.Work\"\n"
             "S: * LIST () \".\" \"_QimP._inimbox\"\n"
             "S: a0006 OK\n" +
             Logout("a0007"));
    ScriptedSockets sockets(s);
    Session session(home);
    SImap4Request r = Folder("_QimP");
    r.listFile = listFile;
    EXPECT_EQ(session.Run(r, kOpListFolders), kResultSuccess) << session.seen.AllNotices();
    EXPECT_EQ(qimtest::ReadFileBytes(listFile),
              "_QimP\\Work\r\n_QimP\\" + Sjis("日本語") + "\r\n_QimP\\Work\\_mbox\r\n");
    EXPECT_EQ(session.Run(r, kOpListFolders), kResultSuccess) << session.seen.AllNotices();
    EXPECT_EQ(qimtest::ReadFileBytes(listFile), "_QimP\\Work\r\n");
}

TEST(ImapSession, RenameAndDeleteWorkFromTheInboxAndTheMhServerHasNoMbox) {
    Home home;
    Scenario plain(kLogin);
    plain.Script("C: a0003 SELECT inbox\nS: a0003 OK\nC: a0004 RENAME \"_QimP.A\" \"_QimP.B\"\nS: a0004 OK\n"
                 "C: a0005 SELECT inbox\nS: a0005 OK\nC: a0006 DELETE \"_QimP.B._mbox\"\nS: a0006 OK\n"
                 // Made with its mail box only, the folder itself never existed: it is gone all the same.
                 "C: a0007 DELETE \"_QimP.B\"\nS: a0007 NO [NONEXISTENT] Mailbox doesn't exist: _QimP.B\n"
                 "C: a0008 SELECT inbox\nS: a0008 OK\nC: a0009 DELETE \"_QimP.C\"\nS: a0009 NO [NONEXISTENT] no\n" +
                 Logout("a0010"));
    Scenario mh("S: * OK [CAPABILITY IMAP4rev1] ready\nC: a0001 LOGIN taro secret\nS: a0001 OK\n"
                "C: a0002 LIST \"\" \"\"\nS: * LIST (\\Noselect) \"/\" \"\"\nS: a0002 OK\n"
                "C: a0003 SELECT inbox\nS: a0003 OK\nC: a0004 DELETE \"#mh/B\"\nS: a0004 OK\n" +
                Logout("a0005"));
    ScriptedSockets sockets({&plain, &mh});
    {
        Session session(home);
        SImap4Request r;
        r.source = "_QimP\\A";
        r.destination = "_QimP\\B";
        EXPECT_EQ(session.Run(r, kOpRenameFolder), kResultSuccess);
        EXPECT_EQ(session.Run(Folder("_QimP\\B"), kOpDeleteFolder), kResultSuccess);
        EXPECT_EQ(session.Run(Folder("_QimP\\C"), kOpDeleteFolderOnly), kResultFailure);
        EXPECT_TRUE(session.seen.Noticed(qimstr::ErrorAborting));
        EXPECT_TRUE(session.session->IsLoggedIn()) << "a refusal keeps the session";
    }
    imaptest::Session<SImap4MhSession> session(home);
    EXPECT_EQ(session.Run(Folder("_QimP\\B"), kOpDeleteFolder), kResultSuccess);
}

TEST(ImapSession, ConnectChecksTheAccountAndLeavesADisconnectedSessionAsItWas) {
    Home home;
    Scenario check("S: * OK [CAPABILITY IMAP4rev1] ready\nC: a0001 LOGIN taro secret\nS: a0001 OK\n"
                   "C: a0002 LOGOUT\nS: * BYE bye\nS: a0002 OK\n-- close\n");
    // The next request connects anew; once logged in a connect only says so.
    Scenario work("S: * OK [CAPABILITY IMAP4rev1] ready\nC: a0003 LOGIN taro secret\nS: a0003 NO wrong\n"
                  "C: a0004 LOGIN taro secret\nS: a0004 OK\n"
                  "C: a0005 LIST \"\" \"\"\nS: * LIST () \".\" \"\"\nS: a0005 OK\nC: a0006 CLOSE\nS: a0006 OK\n" +
                  Logout("a0007"));
    ScriptedSockets sockets({&check, &work});
    Session session(home);
    EXPECT_EQ(session.Run(kOpConnect), kResultSuccess);
    EXPECT_EQ(session.seen.Last(kOpLoginResult)->result, kResultLoggedIn);
    EXPECT_FALSE(session.session->IsConnected());
    EXPECT_TRUE(session.seen.socketErrors.empty()) << "the close after LOGOUT is no error";
    // A refused login: its result, the server's words, and the connection stays for the next try.
    EXPECT_EQ(session.Run(kOpCloseFolder), kResultFailure);
    EXPECT_EQ(session.seen.Last(kOpLoginResult)->result, kResultLoginFailed);
    EXPECT_TRUE(session.seen.Noticed("wrong"));
    EXPECT_TRUE(session.session->IsConnected());
    EXPECT_EQ(session.Run(kOpCloseFolder), kResultSuccess);
    EXPECT_EQ(session.Run(kOpConnect), kResultLoggedIn);
}

TEST(ImapSession, WithoutAPasswordNothingConnects) {
    Home home;
    home.inet.password.clear();
    Scenario s("");
    ScriptedSockets sockets(s);
    Session session(home);
    EXPECT_EQ(session.Run(kOpListFolders), kResultFailure);
    EXPECT_EQ(session.seen.passwordAsked, 1);
    EXPECT_EQ(session.seen.Last(kOpLoginResult)->result, kResultCannotStart);
    EXPECT_EQ(session.session->GetState(), State::Idle);
}

TEST(ImapSession, TheKeepAliveSendsNoopWhileIdleAndARequestMeanwhileWaitsForIt) {
    Home home;
    home.settings.sendNoop = true;
    home.settings.noopMinutes = 2;
    Scenario s(kLogin);
    s.Script("C: a0003 CLOSE\nS: a0003 OK\n"
             "C: a0004 NOOP\n-- delay 100\nS: * 3 RECENT\nS: a0004 OK\n"
             "C: a0005 CLOSE\nS: a0005 OK\n"
             "C: a0006 NOOP\nS: a0006 OK\n" +
             Logout("a0007"));
    ScriptedSockets sockets(s);
    Session session(home);
    session.session->SetKeepAliveTick(20);
    EXPECT_EQ(session.Run(kOpCloseFolder), kResultSuccess);
    ASSERT_TRUE(qimtest::RunUntil([&] { return s.ClientSaid("a0004 NOOP"); }, 5000));
    // The window may ask while the NOOP is under way: the request starts after it.
    EXPECT_FALSE(session.session->IsBusy());
    EXPECT_EQ(session.Run(kOpCloseFolder), kResultSuccess);
    EXPECT_TRUE(qimtest::RunUntil([&] { return s.ClientSaid("a0006 NOOP"); }, 5000));
    qimtest::RunFor(15);
    // The login, two closes and the new mail the NOOP's reply told of; nothing for the NOOPs.
    ASSERT_EQ(session.seen.completions.size(), 4u);
    EXPECT_EQ(session.seen.CountOf(kOpCloseFolder), 2);
    EXPECT_EQ(session.seen.CountOf(kOpNewMail), 1);
    EXPECT_EQ(session.seen.CountOf(kOpNoop), 0);
    EXPECT_EQ(session.seen.shown, (std::vector<bool>{true, false, true, false})) << "a NOOP shows no dialog";
}

}  // namespace
