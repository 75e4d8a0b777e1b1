// Helpers of the IMAP4 session tests: a home with the account in memory, an
// observer that records what a session reports, a header cache that records
// what it is given, and the opening of scripted conversations.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/JapaneseCodes.h"
#include "config/QimGlobals.h"
#include "config/QimNotices.h"
#include "config/QimStrings.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "imap/SImap4HeaderSink.h"
#include "imap/SImap4Session.h"
#include "support/EventLoop.h"
#include "support/ScriptedSocket.h"
#include "support/TestSupport.h"

namespace imaptest {

// Shift_JIS text (written as UTF-8 in the test) to ISO-2022-JP, as a server holds it.
inline std::string Jis(const std::string& utf8) {
    const std::string sjis = qimtest::Sjis(utf8);
    std::string out(static_cast<std::size_t>(LengthAsJis(reinterpret_cast<const unsigned char*>(sjis.c_str()))) + 8, '\0');
    const int n = Sjis2Jis(out.data(), reinterpret_cast<const unsigned char*>(sjis.c_str()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// A home folder and the account records in memory.
struct Home {
    qimtest::TempDir dir;
    SUserInetData inet;
    SSettingData settings;
    Home() {
        qimtest::EnsureCoreApp();
        SetQimHome(dir.Path());
        SetQimIniPath(dir.File("QIM.INI"));
        inet.pop3Server = "127.0.0.1";
        inet.pop3Port = 143;
        inet.userName = "taro";
        inet.password = "secret";
    }
};

struct Completion {
    int operation;
    int result;
    SImap4Target target;
    int replyTo;
};

// What a session reported, in order.
struct Recorder : SImap4Observer {
    std::vector<std::string> statuses, captions, notices, socketErrors, security;
    std::vector<Completion> completions;
    std::vector<bool> shown;
    int passwordAsked = 0;
    bool passwordAnswer = false;
    void ShowStatus(const std::string& t) override { statuses.push_back(t); }
    void ShowCaption(const std::string& t) override { captions.push_back(t); }
    void ShowSecurity(const std::string& t) override { security.push_back(t); }
    void ShowSession(bool s) override { shown.push_back(s); }
    void Notify(const SNotice& n) override { notices.push_back(NoticeText(n)); }
    void SocketError(const std::string& text, int code) override { socketErrors.push_back(text); }
    bool AskPassword() override {
        ++passwordAsked;
        return passwordAnswer;
    }
    void Completed(int operation, int result, SImap4Target target, int replyTo) override {
        completions.push_back({operation, result, target, replyTo});
    }
    // Whether a notice holds `text` (Shift_JIS) or the program's string `id`.
    bool Noticed(const std::string& text) const {
        for (const std::string& n : notices)
            if (n.find(text) != std::string::npos) return true;
        return false;
    }
    bool Noticed(unsigned id) const { return Noticed(LoadQimString(id)); }
    // The completions of `operation` (the final one of a request is the last).
    int CountOf(int operation) const {
        int n = 0;
        for (const Completion& c : completions) n += c.operation == operation;
        return n;
    }
    const Completion* Last(int operation) const {
        for (auto it = completions.rbegin(); it != completions.rend(); ++it)
            if (it->operation == operation) return &*it;
        return nullptr;
    }
    std::string AllNotices() const {
        std::string all;
        for (const std::string& n : notices) all.append(qimtest::Utf8(n)).append("\n");
        return all;
    }
};

// A header cache that keeps what it is told.
struct FakeCache : SImap4HeaderSink {
    struct Header {
        std::string lines;  // every line as given, one after the other
        unsigned char mark = 0;
        std::uint32_t size = 0;
        int number = 0;
        bool ok = false;
    };
    std::vector<Header> headers;
    std::vector<bool> filled;
    bool open = false;
    bool refuse = false;  // EndHeader reports a failure to store
    void BeginHeader() override {
        EXPECT_FALSE(open) << "a header begun inside another";
        open = true;
        headers.emplace_back();
    }
    void HeaderLine(const char* line) override {
        EXPECT_TRUE(open) << "a header line outside a header";
        headers.back().lines.append(line);
    }
    bool EndHeader(unsigned char mark, std::uint32_t size, int number, bool ok) override {
        EXPECT_TRUE(open) << "a header ended that was not begun";
        open = false;
        headers.back().mark = mark;
        headers.back().size = size;
        headers.back().number = number;
        headers.back().ok = ok;
        return ok && !refuse;
    }
    bool SetFilled(bool f) override {
        filled.push_back(f);
        return true;
    }
};

// A session of the account of `home`, with a short time-out.
template <typename SessionType = SImap4Session>
struct Session {
    Recorder seen;
    std::unique_ptr<SessionType> session;
    explicit Session(Home& home, int timeoutMs = 5000) {
        session = std::make_unique<SessionType>(home.inet, home.settings, seen);
        session->SetTimeout(timeoutMs);
    }
    // Requests `operation` and runs the loop until its completion came; the
    // completion's result, or -1 when the request was refused or none came.
    int Run(const SImap4Request& request, int operation, int ms = 10000) {
        const std::size_t before = seen.completions.size();
        if (!session->Request(request, operation)) return -1;
        auto done = [&] {
            for (std::size_t i = before; i < seen.completions.size(); ++i)
                if (seen.completions[i].operation == operation) return true;
            return false;
        };
        if (!qimtest::RunUntil(done, ms)) return -1;
        // What the session posted together with the completion comes too.
        qimtest::RunFor(20);
        return seen.Last(operation)->result;
    }
    int Run(int operation) { return Run(SImap4Request(), operation); }
};

// The opening every scripted conversation shares: the greeting (with the
// capabilities, so none are asked for), LOGIN of the account of Home (a0001)
// and the delimiter "." (a0002). The next command is a0003.
inline constexpr const char* kLogin =
    "S: * OK [CAPABILITY IMAP4rev1 AUTH=PLAIN] ready\n"
    "C: a0001 LOGIN taro secret\n"
    "S: a0001 OK logged in\n"
    "C: a0002 LIST \"\" \"\"\n"
    "S: * LIST (\\Noselect) \".\" \"\"\n"
    "S: a0002 OK done\n";

// The LOGOUT a session sends when it goes while connected.
inline std::string Logout(const std::string& tag) { return "C: " + tag + " LOGOUT\n"; }

}  // namespace imaptest
