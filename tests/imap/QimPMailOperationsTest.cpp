// The operations of the server-folder window on mails: which requests they
// send over the header list's selection, in which order, what they do after
// the last completion, and what a failure stops. Against a fake session that
// takes every request, and against scripted servers for the exact commands.
#include <gtest/gtest.h>

#include <deque>

#include "config/QimStringIds.h"
#include "imap/Imap4Codes.h"
#include "imap/SQimPMailOperations.h"
#include "imap/SQimPMemCacheFolder.h"
#include "platform/FileSystem.h"
#include "store/QimStoreCodes.h"
#include "store/SQimCacheFolder.h"
#include "tests/imap/ImapTestSupport.h"

namespace {

using imaptest::Home;
using imaptest::Jis;
using imaptest::kLogin;
using imaptest::Logout;
using qimtest::Scenario;
using qimtest::ScriptedSockets;
using qimtest::Sjis;
using namespace qimimap;

// The header list: numbers from the top, all selected unless told.
struct List : SQimPMailSelection {
    std::vector<int> numbers;
    std::vector<bool> selected;
    std::vector<unsigned char> marks;
    explicit List(std::vector<int> n = {}) : numbers(std::move(n)), selected(numbers.size(), true), marks(numbers.size(), 0) {}
    int ItemCount() const override { return static_cast<int>(numbers.size()); }
    bool IsSelected(int p) const override { return selected[static_cast<std::size_t>(p)]; }
    int NumberAt(int p) const override { return numbers[static_cast<std::size_t>(p)]; }
    unsigned char MarkAt(int p) const override { return marks[static_cast<std::size_t>(p)]; }
};

struct Sent {
    int operation;
    SImap4Request request;
};

// A window that records what the operations ask of it. Without a session it
// takes every request; with one it hands them on.
struct Window : SQimPMailWindow {
    List list;
    SImap4Session* session = nullptr;
    std::vector<Sent> sent;
    std::vector<std::string> events;
    std::vector<unsigned> notices;
    std::deque<SDeleteAnswer> answers;
    bool confirmAll = true;

    const SQimPMailSelection& Selection() const override { return list; }
    bool SendRequest(const SImap4Request& request, int operation) override {
        if (session && !session->Request(request, operation)) return false;
        sent.push_back({operation, request});
        return true;
    }
    void Notify(const SNotice& notice) override { notices.push_back(notice.id); }
    SDeleteAnswer AskDelete(int number) override {
        events.push_back("ask " + std::to_string(number));
        if (answers.empty()) return SDeleteAnswer::Cancel;
        const SDeleteAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    bool ConfirmDeleteAll() override {
        events.push_back("all?");
        return confirmAll;
    }
    void ReleaseViewers(const std::string& mailbox, int first, int last) override {
        events.push_back("release " + mailbox + " " + std::to_string(first) + ":" + std::to_string(last));
    }
    void DeleteLocalMails(const std::string& folder, const std::vector<int>& numbers) override {
        std::string e = "delete " + folder;
        for (int n : numbers) e += " " + std::to_string(n);
        events.push_back(e);
    }
    void ServerFolderChanged(const SQimPFolderRef& folder) override { events.push_back("changed " + folder.path); }
    void LocalFolderChanged(const std::string& folder) override { events.push_back("local " + folder); }
    void ReadMarkChanged(const SQimPFolderRef&, int number, bool read) override {
        events.push_back("read " + std::to_string(number) + (read ? "+" : "-"));
    }
};

// The requests as text: "747 3:5", "749".
std::vector<std::string> Requests(const Window& w) {
    std::vector<std::string> out;
    for (const Sent& s : w.sent) {
        std::string text = std::to_string(s.operation);
        if (s.operation != kOpCloseFolder) text += " " + std::to_string(s.request.first) + ":" + std::to_string(s.request.last);
        out.push_back(text);
    }
    return out;
}

const SQimPFolderRef kA = SQimPFolderRef::Server("_QimP\\A", "_QimP\\A\\_mbox");
const SQimPFolderRef kB = SQimPFolderRef::Server("_QimP\\B", "_QimP\\B\\_mbox");

class MailOperations : public ::testing::Test {
protected:
    // Answers every request sent so far (and those the answers bring) with
    // the next result of `results`, success once they are used up.
    void Complete(std::deque<int> results = {}) {
        for (std::size_t answered = 0; answered < window.sent.size(); ++answered) {
            const int result = results.empty() ? kResultSuccess : results.front();
            if (!results.empty()) results.pop_front();
            operations.Completed(window.sent[answered].operation, result);
        }
    }

    Home home;
    SQimPMemCacheFolder cache{home.dir.Path().c_str()};
    Window window;
    SQimPMailOperations operations{window, cache};
};

TEST_F(MailOperations, RunsFollowTheListOrderFromItsBottom) {
    struct Case {
        std::vector<int> numbers;      // from the top
        std::vector<bool> selected;
        std::vector<std::string> copies;
    };
    const Case cases[] = {
        {{9, 5, 4, 3}, {}, {"747 3:5", "747 9:9"}},
        {{3, 4, 5, 9}, {}, {"747 9:9", "747 5:5", "747 4:4", "747 3:3"}},
        // Unselected mails between do not break a run of numbers; unselected
        // numbers are never taken in.
        {{6, 8, 5, 4}, {true, false, true, true}, {"747 4:6"}},
        {{6, 5, 4}, {true, false, true}, {"747 4:4", "747 6:6"}},
        // A number that cannot be read ends the walk.
        {{7, 0, 2, 1}, {}, {"747 1:2"}},
    };
    for (const Case& c : cases) {
        window.sent.clear();
        window.list = List(c.numbers);
        if (!c.selected.empty()) window.list.selected = c.selected;
        ASSERT_TRUE(operations.Transfer(kA, kB, true));
        Complete();
        EXPECT_EQ(Requests(window), c.copies) << testing::PrintToString(c.numbers);
        EXPECT_FALSE(operations.InProgress());
    }
}

TEST_F(MailOperations, NothingSelectedOrTheSameFolderStartsNothing) {
    window.list = List({1, 2});
    window.list.selected = {false, false};
    EXPECT_FALSE(operations.Transfer(kA, kB, false));
    EXPECT_FALSE(operations.Delete(kA, true));
    EXPECT_FALSE(operations.ChangeReadMark(kA, true));
    window.list.selected = {true, true};
    EXPECT_FALSE(operations.Transfer(kA, kA, false));
    // Two local folders are the store's business.
    EXPECT_FALSE(operations.Transfer(SQimPFolderRef::Local("/x"), SQimPFolderRef::Local("/y"), false));
    EXPECT_TRUE(window.sent.empty());
}

TEST_F(MailOperations, AMoveThatFailsOnTheWayDeletesNothing) {
    window.list = List({9, 5, 4, 3});
    ASSERT_TRUE(operations.Transfer(kA, kB, false));
    Complete({kResultSuccess, kResultFailure});
    EXPECT_EQ(Requests(window), (std::vector<std::string>{"747 3:5", "747 9:9"}));
    EXPECT_EQ(window.notices, std::vector<unsigned>{qimstr::CannotCopyMail});
    EXPECT_TRUE(window.events.empty()) << testing::PrintToString(window.events);
    EXPECT_FALSE(operations.InProgress());
}

TEST_F(MailOperations, TheAskingDeleteFollowsEveryAnswer) {
    using A = SDeleteAnswer;
    struct Case {
        std::deque<A> answers;
        bool confirmAll;
        std::vector<std::string> requests;
    };
    // The list shows 10, 11, 12 from the top: 12 is asked first.
    const Case cases[] = {
        {{A::Yes, A::No, A::Yes}, true, {"748 12:12", "748 10:10", "749"}},
        {{A::Yes, A::All}, true, {"748 12:12", "748 11:11", "748 10:10", "749"}},
        {{A::All}, false, {}},  // All, then No: the command ends, nothing deleted
        {{A::No, A::Cancel}, true, {}},
        {{A::Yes, A::Cancel}, true, {"748 12:12", "749"}},  // what was deleted before Cancel goes
    };
    for (const Case& c : cases) {
        window.sent.clear();
        window.events.clear();
        window.list = List({10, 11, 12});
        window.answers = c.answers;
        window.confirmAll = c.confirmAll;
        operations.Delete(kA, true);
        Complete();
        EXPECT_EQ(Requests(window), c.requests) << testing::PrintToString(window.events);
        EXPECT_EQ(std::count(window.events.begin(), window.events.end(), "changed _QimP\\A"), c.requests.empty() ? 0 : 1);
        // The deleter goes back to asking for the next command.
        EXPECT_FALSE(operations.InProgress());
    }
}

TEST_F(MailOperations, ADeleteLetsGoOfTheViewersAndAFailedRunStillExpungesTheEarlierOnes) {
    window.list = List({9, 5, 4, 3});
    ASSERT_TRUE(operations.Delete(kA, false));
    Complete({kResultSuccess, kResultFailure});
    EXPECT_EQ(Requests(window), (std::vector<std::string>{"748 3:5", "748 9:9", "749"}));
    EXPECT_EQ(window.notices, std::vector<unsigned>{qimstr::CannotDeleteServerMail});
    EXPECT_EQ(window.events, (std::vector<std::string>{"release _QimP\\A\\_mbox 3:5", "release _QimP\\A\\_mbox 9:9",
                                                       "changed _QimP\\A"}));
    // Nothing marked at all: no CLOSE, the list shows the server again.
    window.sent.clear();
    window.events.clear();
    window.notices.clear();
    ASSERT_TRUE(operations.Delete(kA, false));
    Complete({kResultFailure});
    EXPECT_EQ(Requests(window), std::vector<std::string>{"748 3:5"});
    EXPECT_EQ(window.events.back(), "changed _QimP\\A");
}

TEST_F(MailOperations, MarkingReadShowsTheMarksTheServerTook) {
    window.list = List({9, 2, 1});
    ASSERT_TRUE(operations.ChangeReadMark(kA, true));
    Complete({kResultSuccess, kResultFailure});
    ASSERT_EQ(window.sent.size(), 2u);
    EXPECT_EQ(window.sent[0].operation, kOpChangeFlags);
    EXPECT_EQ(window.sent[0].request.mark, qimstore::kMarkRead);
    EXPECT_TRUE(window.sent[0].request.add);
    EXPECT_EQ(window.notices, std::vector<unsigned>{qimstr::CannotChangeMarks});
    EXPECT_EQ(window.events, (std::vector<std::string>{"read 1+", "read 2+"}));
    window.sent.clear();
    window.events.clear();
    ASSERT_TRUE(operations.ChangeReadMark(kA, false));
    Complete();
    EXPECT_FALSE(window.sent[0].request.add);
    EXPECT_EQ(window.events, (std::vector<std::string>{"read 1-", "read 2-", "read 9-"}));
}

TEST_F(MailOperations, ACommandWaitsForTheOneUnderWay) {
    window.list = List({3, 2});
    ASSERT_TRUE(operations.Transfer(kA, kB, true));
    EXPECT_TRUE(operations.InProgress());
    EXPECT_FALSE(operations.Delete(kA, false));
    // A completion nobody waits for is not taken.
    EXPECT_FALSE(operations.Completed(kOpMarkDeleted, kResultSuccess));
    Complete();
    EXPECT_EQ(Requests(window), std::vector<std::string>{"747 2:3"});
}

// ---- Against scripted servers ----

// The session's completions reach the operations.
struct Forwarder : imaptest::Recorder {
    SQimPMailOperations* operations = nullptr;
    void Completed(int operation, int result, SImap4Target target, int replyTo) override {
        Recorder::Completed(operation, result, target, replyTo);
        operations->Completed(operation, result);
    }
};

class ScriptedMailOperations : public MailOperations {
protected:
    void Start() {
        forwarder.operations = &operations;
        session = std::make_unique<SImap4Session>(home.inet, home.settings, forwarder);
        session->SetTimeout(5000);
        window.session = session.get();
    }
    void RunToEnd() {
        EXPECT_TRUE(qimtest::RunUntil([&] { return !operations.InProgress() && !session->IsBusy(); }, 10000));
        qimtest::RunFor(20);
    }
    Forwarder forwarder;
    std::unique_ptr<SImap4Session> session;
};

TEST_F(ScriptedMailOperations, MovingBetweenServerFoldersCopiesRunsThenDeletesAndCloses) {
    Scenario s(kLogin);
    s.Script("C: a0003 EXAMINE \"_QimP.A._mbox\"\nS: * 9 EXISTS\nS: a0003 OK\n"
             "C: a0004 COPY 3:5 \"_QimP.B._mbox\"\nS: a0004 OK\n"
             "C: a0005 EXAMINE \"_QimP.A._mbox\"\nS: * 9 EXISTS\nS: a0005 OK\n"
             "C: a0006 COPY 9:9 \"_QimP.B._mbox\"\nS: a0006 OK\n"
             "C: a0007 SELECT \"_QimP.A._mbox\"\nS: * 9 EXISTS\nS: a0007 OK\n"
             "C: a0008 STORE 3:5 +FLAGS.SILENT (\\Deleted)\nS: a0008 OK\n"
             "C: a0009 SELECT \"_QimP.A._mbox\"\nS: * 9 EXISTS\nS: a0009 OK\n"
             "C: a0010 STORE 9:9 +FLAGS.SILENT (\\Deleted)\nS: a0010 OK\n"
             "C: a0011 CLOSE\nS: * 5 EXPUNGE\nS: a0011 OK\n" +
             Logout("a0012"));
    ScriptedSockets sockets(s);
    // The destination's cache was filled: it is fetched again when shown.
    ASSERT_TRUE(cache.MakeDirectory("_QimP\\B"));
    cache.SetFolder("_QimP\\B");
    ASSERT_TRUE(cache.Reset());
    ASSERT_TRUE(cache.SetFilled(true));
    cache.SetFolder("_QimP\\A");
    Start();
    window.list = List({9, 5, 4, 3});
    ASSERT_TRUE(operations.Transfer(kA, kB, false));
    RunToEnd();
    EXPECT_TRUE(forwarder.notices.empty()) << forwarder.AllNotices();
    EXPECT_TRUE(window.notices.empty());
    EXPECT_EQ(window.events, (std::vector<std::string>{"release _QimP\\A\\_mbox 3:5", "release _QimP\\A\\_mbox 9:9",
                                                       "changed _QimP\\A"}));
    EXPECT_FALSE(cache.IsFilled());
    session.reset();
    EXPECT_TRUE(s.Finished()) << testing::PrintToString(s.Problems());
}

TEST_F(ScriptedMailOperations, ACopyIntoALocalFolderTakesItsNextNumberItsCacheAndTheReadMark) {
    const std::string local = home.dir.File("local");
    ASSERT_TRUE(platform::CreateDirectory(local.c_str()));
    const std::string old = "Subject: old\r\n\r\nold\r\n";
    qimtest::WriteFileBytes(local + "/41", old);
    {
        SQimCacheFolder folder(local);  // the cache of 41
        ASSERT_EQ(folder.LastCachedNumber(), 41);
    }
    const std::string text = "From: a@example.jp\r\nSubject: テスト\r\n\r\n本文\r\n";
    const std::string jis = Jis(text);
    Scenario s(kLogin);
    s.Script("C: a0003 SELECT \"_QimP.A._mbox\"\nS: * 9 EXISTS\nS: a0003 OK\nC: a0004 FETCH 7 BODY[]\n");
    s.Server("* 7 FETCH (BODY[] {" + std::to_string(jis.size()) + "}\r\n" + jis + ")\r\na0004 OK\r\n");
    s.Script(Logout("a0005"));
    ScriptedSockets sockets(s);
    Start();
    window.list = List({8, 7});
    window.list.selected = {false, true};
    window.list.marks = {0, qimstore::kMarkRead};
    ASSERT_TRUE(operations.Transfer(kA, SQimPFolderRef::Local(local), true));
    RunToEnd();
    EXPECT_EQ(qimtest::ReadFileBytes(local + "/42"), Sjis(text));
    EXPECT_EQ(qimtest::ReadFileBytes(local + "/41"), old);
    SQimCacheFolder folder(local);
    EXPECT_EQ(folder.LastCachedNumber(), 42);
    EXPECT_EQ(folder.GetMarks(42) & qimstore::kMarkRead, qimstore::kMarkRead);
    EXPECT_EQ(window.events, std::vector<std::string>{"local " + local});
    session.reset();
    EXPECT_TRUE(s.Finished()) << testing::PrintToString(s.Problems());
}

TEST_F(ScriptedMailOperations, AFetchBrokenOffLeavesNoPartialMail) {
    const std::string local = home.dir.File("local");
    ASSERT_TRUE(platform::CreateDirectory(local.c_str()));
    Scenario s(kLogin);
    s.Script("C: a0003 SELECT \"_QimP.A._mbox\"\nS: * 9 EXISTS\nS: a0003 OK\nC: a0004 FETCH 3 BODY[]\n");
    s.Server("* 3 FETCH (BODY[] {500}\r\nSubject: cut\r\n\r\nthe start of it\r\n").Cut().Close();
    ScriptedSockets sockets(s);
    Start();
    window.list = List({3});
    ASSERT_TRUE(operations.Transfer(kA, SQimPFolderRef::Local(local), false));
    RunToEnd();
    EXPECT_EQ(window.notices, std::vector<unsigned>{qimstr::CannotFetchMail});
    EXPECT_FALSE(qimtest::FileExists(local + "/1"));
    // A failed move deletes nothing on the server.
    for (const Sent& r : window.sent) EXPECT_EQ(r.operation, kOpFetchForCopy);
}

TEST_F(ScriptedMailOperations, AnAppendFromALocalFolderCarriesTheReadMarkAsSeen) {
    const std::string local = home.dir.File("local");
    ASSERT_TRUE(platform::CreateDirectory(local.c_str()));
    const std::string one = "Subject: one\r\n\r\n1\r\n";
    const std::string two = "Subject: two\r\n\r\n2\r\n";
    qimtest::WriteFileBytes(local + "/1", one);
    qimtest::WriteFileBytes(local + "/2", two);
    ASSERT_TRUE(SQimFolder(local).SetMarks(1, qimstore::kMarkRead));
    Scenario s(kLogin);
    // The last one listed goes first.
    s.Script("C: a0003 APPEND \"_QimP.B._mbox\" {" + std::to_string(two.size()) + "}\nS: + go\n");
    s.Client(two + "\r\n").Script("S: a0003 OK\n");
    s.Script("C: a0004 APPEND \"_QimP.B._mbox\" (\\Seen) {" + std::to_string(one.size()) + "}\nS: + go\n");
    s.Client(one + "\r\n").Script("S: a0004 OK\n");
    s.Script(Logout("a0005"));
    ScriptedSockets sockets(s);
    Start();
    window.list = List({1, 2});
    ASSERT_TRUE(operations.Transfer(SQimPFolderRef::Local(local), kB, false));
    RunToEnd();
    EXPECT_TRUE(forwarder.notices.empty()) << forwarder.AllNotices();
    // Moved: the window deletes the local mails once all were appended.
    EXPECT_EQ(window.events, std::vector<std::string>{"delete " + local + " 2 1"});
    session.reset();
    EXPECT_TRUE(s.Finished()) << testing::PrintToString(s.Problems());
}

}  // namespace
