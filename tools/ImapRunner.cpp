#include "tools/ImapRunner.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdio>

#include "config/QimNotices.h"
#include "config/SUserInetData.h"
#include "tools/AccountPassword.h"
#include "tools/ToolCommand.h"

namespace qimtool {

namespace {

std::string ToTerminal(const std::string& sjis) {
    std::string utf8;
    SjisToTerminal(sjis, utf8);
    return utf8;
}

}  // namespace

ImapRunner::ImapRunner(SUserInetData& inet, const SSettingData& settings, bool mh, bool verbose)
    : inet_(inet), verbose_(verbose) {
    if (mh)
        session_ = std::make_unique<SImap4MhSession>(inet, settings, *this);
    else
        session_ = std::make_unique<SImap4Session>(inet, settings, *this);
}

ImapRunner::~ImapRunner() = default;

bool ImapRunner::Run(int operation, const SImap4Request& request) {
    Begin(operation);
    if (!session_->Request(request, operation)) {
        running_ = 0;
        return false;
    }
    return Loop();
}

// Completions come from the event loop, never from inside Request.
bool ImapRunner::Wait(int operation) {
    Begin(operation);
    return Loop();
}

void ImapRunner::Begin(int operation) {
    running_ = operation;
    done_ = false;
    ok_ = false;
    noRecentMail_ = false;
}

bool ImapRunner::Loop() {
    QEventLoop loop;
    // A session that ends an operation without a completion must not keep us waiting.
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
        if (!done_ && !session_->IsBusy()) Finish(false);
        if (done_) loop.quit();
    });
    guard.start(50);
    while (!done_) loop.exec();
    running_ = 0;
    return ok_;
}

void ImapRunner::Finish(bool ok) {
    done_ = true;
    ok_ = ok;
}

void ImapRunner::ShowStatus(const std::string& text) {
    if (verbose_ && !text.empty() && text != lastStatus_) std::fprintf(stderr, "%s\n", ToTerminal(text).c_str());
    lastStatus_ = text;
}

void ImapRunner::ShowCaption(const std::string& text) {
    if (verbose_ && !text.empty()) std::fprintf(stderr, "%s\n", ToTerminal(text).c_str());
}

void ImapRunner::ShowSecurity(const std::string& text) { std::fprintf(stderr, "%s\n", ToTerminal(text).c_str()); }

void ImapRunner::Notify(const SNotice& notice) { ShowNotice(notice); }

void ImapRunner::SocketError(const std::string& text, int code) {
    std::fprintf(stderr, "Socket Error: %s\n", ToTerminal(text).c_str());
}

bool ImapRunner::AskNetworkSettings() {
    std::fprintf(stderr, "qimtool: 受信の設定 (POP3Addr, POP3Port, UserName) が QIM.INI にありません。\n");
    return false;
}

bool ImapRunner::AskPassword() { return PromptPassword(inet_.password); }

void ImapRunner::Completed(int operation, int result, SImap4Target target, int replyTo) {
    if (operation == qimimap::kOpNoRecentMail) {
        noRecentMail_ = true;
        return;
    }
    if (done_ || running_ == 0) return;
    if (operation == qimimap::kOpLoginResult) {
        // The connect request ends with its login; for the others a login that
        // could not start or was refused ends the request here.
        if (running_ == qimimap::kOpConnect)
            Finish(result == qimimap::kResultLoggedIn);
        else if (result == qimimap::kResultCannotStart || result == qimimap::kResultLoginFailed)
            Finish(false);
        return;
    }
    if (operation != running_) return;
    Finish(operation == qimimap::kOpConnect ? result == qimimap::kResultLoggedIn : result == qimimap::kResultSuccess);
}

}  // namespace qimtool
