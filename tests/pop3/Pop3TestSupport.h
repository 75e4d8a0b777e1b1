// Helpers of the receive tests: a home folder with the account in memory, an
// observer that records what a conversation reports, message texts, and the
// pieces of POP3 scenarios for the scripted socket.
#pragma once

#include <string>
#include <vector>

#include "common/JapaneseCodes.h"
#include "config/QimGlobals.h"
#include "config/QimNotices.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "pop3/SPop3Conversation.h"
#include "pop3/SReceiveRun.h"
#include "support/EventLoop.h"
#include "support/ScriptedSocket.h"
#include "support/TestSupport.h"

namespace pop3test {

// Shift_JIS text (written as UTF-8 in the test) to ISO-2022-JP, as a server holds it.
inline std::string Jis(const std::string& utf8) {
    const std::string sjis = qimtest::Sjis(utf8);
    std::string out(static_cast<std::size_t>(LengthAsJis(reinterpret_cast<const unsigned char*>(sjis.c_str()))) + 8, '\0');
    const int n = Sjis2Jis(out.data(), reinterpret_cast<const unsigned char*>(sjis.c_str()));
    out.resize(static_cast<std::size_t>(n));
    return out;
}

// A home folder (the inbox) and the account records in memory.
struct Home {
    qimtest::TempDir dir;
    SUserInetData inet;
    SSettingData settings;
    Home() {
        qimtest::EnsureCoreApp();
        SetQimHome(dir.Path());
        SetQimIniPath(dir.File("QIM.INI"));
        inet.pop3Server = "127.0.0.1";
        inet.pop3Port = 110;
        inet.userName = "taro";
        inet.password = "secret";
    }
};

// What a conversation reported: the texts of its status line, header lines
// and notices, its login codes and its end.
struct Recorder : SPop3Observer {
    std::vector<std::string> statuses, froms, subjects, notices, security;
    std::vector<int> logins;
    int waiting = -1;  // the count of MailWaiting
    int ended = 0;
    int result = -1;
    bool failed = false;
    void ShowStatus(const std::string& t) override { statuses.push_back(t); }
    void ShowFrom(const std::string& t) override { froms.push_back(t); }
    void ShowSubject(const std::string& t) override { subjects.push_back(t); }
    void MailWaiting(int count) override { waiting = count; }
    void ShowSecurity(const std::string& t) override { security.push_back(t); }
    void Notify(const SNotice& n) override { notices.push_back(NoticeText(n)); }
    void ReportLogin(int code) override { logins.push_back(code); }
    void Ended(int r, bool f) override {
        ++ended;
        result = r;
        failed = f;
    }
    bool Noticed(const std::string& text) const {
        for (const std::string& n : notices)
            if (n.find(text) != std::string::npos) return true;
        return false;
    }
};

// One receive into Home's inbox, to its end: the outcome and what was reported.
struct RunResult {
    SReceiveOutcome outcome;
    Recorder seen;
};
inline RunResult Receive(Home& home, int timeoutMs = 0) {
    SReceiveRun run(home.dir.Path(), home.inet, home.settings);
    RunResult r;
    r.outcome = RunReceive(run, r.seen, timeoutMs);
    return r;
}

// A message as a server sends it after RETR: dot-stuffed, with the end mark.
inline std::string Retrieved(const std::string& message) {
    std::string out = "+OK\r\n";
    bool lineStart = true;
    for (char c : message) {
        if (lineStart && c == '.') out += '.';
        out += c;
        lineStart = c == '\n';
    }
    return out + ".\r\n";
}

// The greeting and the USER/PASS login of the account of Home.
inline constexpr const char* kLogin =
    "S: +OK ready\n"
    "C: USER taro\n"
    "S: +OK\n"
    "C: PASS secret\n"
    "S: +OK logged in\n";

// RETR n answered with `message` and, with `dele`, DELE n accepted.
inline void Retr(qimtest::Scenario& s, int n, const std::string& message, bool dele = true) {
    s.Client("RETR " + std::to_string(n) + "\r\n").Server(Retrieved(message));
    if (dele) s.Client("DELE " + std::to_string(n) + "\r\n").Server("+OK\r\n");
}

}  // namespace pop3test
