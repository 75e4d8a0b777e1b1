// The session against a real Dovecot: every operation of the server-folder
// mode, with what the server holds afterwards read back by Python's imaplib
// (tests/servers/imap_peek.py), and the secure connections with the tests'
// own certificate.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "imap/Imap4Codes.h"
#include "imap/SImap4Flags.h"
#include "store/QimStoreCodes.h"
#include "support/TestCertificates.h"
#include "support/TestServers.h"
#include "tests/imap/ImapTestSupport.h"

namespace {

using imaptest::FakeCache;
using imaptest::Home;
using imaptest::Jis;
using qimtest::Sjis;
using namespace qimimap;

using Session = imaptest::Session<>;

class DovecotImap : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dovecot.Ok()) << dovecot.Log();
        user = dovecot.NewUser();
        home.inet.userName = user;
        home.inet.pop3Port = dovecot.ImapPort();
    }
    // What imap_peek.py says about the user's mailboxes.
    std::string Peek(const std::string& args) const {
        return qimtest::RunCommand("/usr/bin/python3 " + std::string(QIM_TEST_SERVERS_DIR) + "/imap_peek.py " +
                                   std::to_string(dovecot.ImapPort()) + " " + user + " " + args);
    }
    std::vector<std::string> Lines(const std::string& text) const {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    SImap4Request Folder(const std::string& folder, FakeCache* cache = nullptr) const {
        SImap4Request r;
        r.folder = folder;
        r.cache = cache;
        return r;
    }
    std::string Message(const std::string& subjectJis, const std::string& body) const {
        return "From: sender@example.jp\r\nTo: " + user + "@example.jp\r\nSubject: " + subjectJis +
               "\r\nDate: Mon, 1 Jan 2024 09:00:00 +0900\r\nMIME-Version: 1.0\r\n"
               "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" +
               body;
    }

    qimtest::DovecotServer& dovecot = qimtest::DovecotServer::Shared();
    std::string user;
    Home home;
};

TEST_F(DovecotImap, JapaneseFoldersMadeByTheSessionAreListedWithTheSettingsMailboxLeftOut) {
    Session session(home);
    const std::string nihongo = "_QimP\\" + Sjis("日本語の箱");
    for (const std::string& folder : {nihongo, nihongo + "\\_mbox", std::string("_QimP\\Work")})
        ASSERT_EQ(session.Run(Folder(folder), kOpCreateFolder), kResultSuccess) << session.seen.AllNotices();
    EXPECT_EQ(session.session->Delimiter(), ".");
    SImap4Request r = Folder("_QimP");
    r.listFile = home.dir.File("PFolders.TXT");
    ASSERT_EQ(session.Run(r, kOpListFolders), kResultSuccess) << session.seen.AllNotices();
    std::vector<std::string> expected{nihongo, nihongo + "\\_mbox", "_QimP\\Work"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Lines(qimtest::ReadFileBytes(r.listFile)), expected);
    // The settings mailbox was missing: the session made it.
    const std::vector<std::string> names = Lines(Peek("list"));
    EXPECT_NE(std::find(names.begin(), names.end(), "_QimP._inimbox"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "_QimP.&ZeVnLIqeMG57sQ-"), names.end());
}

TEST_F(DovecotImap, HeadersOfAllAndOfRecentMailComeWhileUnseenMailStaysUnseen) {
    dovecot.Deliver(user, Message(Jis("会議のお知らせ"), "one\r\n"));
    dovecot.Deliver(user, Message("plain", "two\r\n"));
    auto first = std::make_unique<Session>(home);
    Session& session = *first;
    FakeCache all;
    ASSERT_EQ(session.Run(Folder("_QimP", &all), kOpFetchHeaders), kResultSuccess) << session.seen.AllNotices();
    ASSERT_EQ(all.headers.size(), 2u);
    EXPECT_NE(all.headers[0].lines.find(Sjis("Subject: 会議のお知らせ\r\n")), std::string::npos) << all.headers[0].lines;
    EXPECT_NE(all.headers[0].lines.find("From: sender@example.jp\r\n"), std::string::npos);
    EXPECT_EQ(all.headers[0].lines.find("MIME-Version"), std::string::npos) << "only the four fields";
    EXPECT_EQ(all.headers[1].number, 2);
    EXPECT_EQ(all.headers[0].mark & qimstore::kMarkRead, 0);
    EXPECT_GT(all.headers[1].size, 100u);
    EXPECT_EQ(all.filled, std::vector<bool>{true});
    // Nothing was marked read on the server.
    EXPECT_EQ(Peek("flags INBOX").find("\\Seen"), std::string::npos) << Peek("flags INBOX");

    // The next start: a new session, to which only the new message is recent.
    first.reset();
    dovecot.Deliver(user, Message("third", "three\r\n"));
    FakeCache recent;
    Session again(home);
    again.session->SetStartingUp(true, true);
    ASSERT_EQ(again.Run(Folder("_QimP", &recent), kOpFetchHeaders), kResultSuccess) << again.seen.AllNotices();
    EXPECT_EQ(again.seen.Last(kOpFetchHeaders)->operation, kOpFetchHeaders);
    ASSERT_EQ(recent.headers.size(), 1u);
    EXPECT_EQ(recent.headers[0].number, 3);
    EXPECT_NE(recent.headers[0].lines.find("Subject: third"), std::string::npos);
    EXPECT_EQ(Peek("flags INBOX").find("\\Seen"), std::string::npos);
}

TEST_F(DovecotImap, ABodyArrivesByteForByteInShiftJis) {
    const std::string body = "日本語の本文です。\r\n\r\n２行目　全角空白\r\n最後の行";
    dovecot.Deliver(user, Message(Jis("件名"), Jis(body)));
    Session session(home);
    SImap4Request r = Folder("_QimP");
    r.first = 1;
    r.mailFile = home.dir.File("view.tmp");
    ASSERT_EQ(session.Run(r, kOpFetchBody), kResultSuccess) << session.seen.AllNotices();
    EXPECT_EQ(qimtest::ReadFileBytes(r.mailFile), Sjis(Message("件名", body)));
    EXPECT_NE(Peek("flags INBOX").find("\\Seen"), std::string::npos) << "a message read is read";
}

TEST_F(DovecotImap, CopyMarkDeletedAndCloseMoveMailBetweenFolders) {
    for (const char* subject : {"a", "b", "c"}) dovecot.Deliver(user, Message(subject, "x\r\n"));
    Session session(home);
    ASSERT_EQ(session.Run(Folder("_QimP\\Work\\_mbox"), kOpCreateFolder), kResultSuccess);
    SImap4Request copy;
    copy.source = "_QimP";
    copy.destination = "_QimP\\Work\\_mbox";
    copy.first = 2;
    copy.last = 3;
    ASSERT_EQ(session.Run(copy, kOpCopy), kResultSuccess) << session.seen.AllNotices();
    SImap4Request del = Folder("_QimP");
    del.first = 2;
    del.last = 3;
    ASSERT_EQ(session.Run(del, kOpMarkDeleted), kResultSuccess);
    ASSERT_EQ(session.Run(kOpCloseFolder), kResultSuccess);
    EXPECT_EQ(Lines(Peek("flags INBOX")).size(), 1u);
    EXPECT_EQ(Lines(Peek("flags _QimP.Work._mbox")).size(), 2u);
    EXPECT_NE(Peek("body _QimP.Work._mbox 1").find("Subject: b\r\n"), std::string::npos);
}

TEST_F(DovecotImap, AnAppendedMessageIsHeldInJisWithItsReadMark) {
    const std::string mail = "From: me@example.jp\r\nSubject: 送信済み\r\n\r\n本文の行\r\n";
    qimtest::WriteFileBytes(home.dir.File("sent"), Sjis(mail));
    Session session(home);
    ASSERT_EQ(session.Run(Folder("_QimP\\Sent\\_mbox"), kOpCreateFolder), kResultSuccess);
    SImap4Request r = Folder("_QimP\\Sent\\_mbox");
    r.mailFile = home.dir.File("sent");
    r.mark = qimstore::kMarkRead | kMarkRecent;
    ASSERT_EQ(session.Run(r, kOpAppendSent), kResultSuccess) << session.seen.AllNotices();
    EXPECT_EQ(Peek("body _QimP.Sent._mbox 1"), Jis(mail));
    EXPECT_NE(Peek("flags _QimP.Sent._mbox").find("\\Seen"), std::string::npos);
    // Replacing keeps only the newest message.
    ASSERT_EQ(session.Run(r, kOpReplace), kResultSuccess) << session.seen.AllNotices();
    EXPECT_EQ(Lines(Peek("flags _QimP.Sent._mbox")).size(), 1u);
}

TEST_F(DovecotImap, FlagsAreSetAndClearedOnTheServer) {
    dovecot.Deliver(user, Message("flag", "x\r\n"));
    Session session(home);
    SImap4Request r = Folder("_QimP");
    r.first = r.last = 1;
    r.mark = qimstore::kMarkRead;
    r.add = true;
    ASSERT_EQ(session.Run(r, kOpChangeFlags), kResultSuccess) << session.seen.AllNotices();
    EXPECT_NE(Peek("flags INBOX").find("\\Seen"), std::string::npos);
    r.add = false;
    ASSERT_EQ(session.Run(r, kOpChangeFlags), kResultSuccess);
    EXPECT_EQ(Peek("flags INBOX").find("\\Seen"), std::string::npos);
}

TEST_F(DovecotImap, SearchFindsAJapaneseSubject) {
    // 昨日の件 and 定例会議の件, MIME-encoded as mail carries them.
    dovecot.Deliver(user, Message("=?ISO-2022-JP?B?GyRCOnJGfCRON28bKEI=?=", "x\r\n"));
    dovecot.Deliver(user, Message("=?ISO-2022-JP?B?GyRCRGpOYzJxNUQkTjdvGyhC?=", "y\r\n"));
    dovecot.Deliver(user, Message("other", "z\r\n"));
    Session session(home);
    std::string result;
    SImap4Request r = Folder("_QimP");
    r.searchResult = &result;
    r.condition.SetWhere(SFindMailCondition::FindInField);
    r.condition.SetFieldName("Subject");
    r.condition.SetPattern(Sjis("会議").c_str());
    ASSERT_EQ(session.Run(r, kOpSearch), kResultSuccess) << session.seen.AllNotices();
    EXPECT_EQ(result, "2");
    r.condition.SetWhere(SFindMailCondition::FindInBody);
    r.condition.SetPattern("z");
    ASSERT_EQ(session.Run(r, kOpSearch), kResultSuccess);
    EXPECT_EQ(result, "3");
}

TEST_F(DovecotImap, FoldersAreCreatedRenamedAndDeletedWithTheirMailboxes) {
    Session session(home);
    ASSERT_EQ(session.Run(Folder("_QimP\\" + Sjis("旧")), kOpCreateFolder), kResultSuccess);
    ASSERT_EQ(session.Run(Folder("_QimP\\" + Sjis("旧") + "\\_mbox"), kOpCreateFolder), kResultSuccess);
    SImap4Request rename;
    rename.source = "_QimP\\" + Sjis("旧");
    rename.destination = "_QimP\\" + Sjis("新");
    ASSERT_EQ(session.Run(rename, kOpRenameFolder), kResultSuccess) << session.seen.AllNotices();
    std::string names = Peek("list");
    EXPECT_NE(names.find("_QimP.&ZbA-._mbox"), std::string::npos) << names;
    EXPECT_EQ(names.find("_QimP.&Zec-"), std::string::npos) << names;
    ASSERT_EQ(session.Run(Folder("_QimP\\" + Sjis("新")), kOpDeleteFolder), kResultSuccess) << session.seen.AllNotices();
    names = Peek("list");
    EXPECT_EQ(names.find("_QimP.&ZbA-"), std::string::npos) << names;
}

TEST_F(DovecotImap, StartTlsAndTlsFromTheFirstByteLogInWithTheCompanyCa) {
    qimtest::DovecotServer& tls = qimtest::DovecotServer::SharedTls();
    ASSERT_TRUE(tls.Ok()) << tls.Log();
    ASSERT_GT(tls.ImapsPort(), 0);
    const std::string tlsUser = tls.NewUser();
    home.inet.userName = tlsUser;
    home.inet.tlsCaFile = qimtest::TestCertificates::Shared().CaFile();
    for (const auto& [security, port] : {std::pair{kSecurityStartTls, tls.ImapPort()}, std::pair{kSecurityTls, tls.ImapsPort()}}) {
        home.inet.pop3Security = security;
        home.inet.pop3Port = port;
        Session session(home);
        EXPECT_EQ(session.Run(kOpConnect), kResultSuccess) << session.seen.AllNotices();
        ASSERT_FALSE(session.seen.security.empty()) << security;
        EXPECT_NE(session.seen.security.back().find("TLS"), std::string::npos);
    }
}

}  // namespace
