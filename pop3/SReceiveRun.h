// One receive into the inbox, without windows: notes the first new number,
// runs the conversation (the caller decides how: a dialog, or an event loop),
// then clears the read mark of the new mails, brings the inbox's header cache
// up to date and tells the user when nothing came. Also the two settings the
// menu toggles, and a headless login check for senders.
#pragma once

#include <functional>
#include <string>

#include "platform/DialogService.h"
#include "pop3/SPop3Conversation.h"

class SLoginState;
class SSettingData;
class SUserInetData;

struct SReceiveOutcome {
    int result = qimpop3::kResultOk;  // how the conversation ended
    bool failed = false;              // the run did not complete
    int firstNew = 0;                 // number of the first mail of this run
    int lastNew = 0;                  // the inbox's last number afterwards (firstNew - 1: none)
    bool exitRequested = false;       // the main window is to close (Exit command)
    bool Arrived() const { return lastNew >= firstNew; }
};

class SReceiveRun {
public:
    // Answers the no-new-mail notice: true when the user chose "終了(&X)".
    using NoNewMailQuestion = std::function<bool()>;

    SReceiveRun(const std::string& inbox, SUserInetData& inet, SSettingData& settings, SLoginState* login,
                platform::DialogService& dialogs, platform::ParentWindow parent = nullptr);

    // Notes the first new number; call before the conversation starts.
    void Begin();
    int FirstNew() const { return firstNew_; }

    // The conversation's observer parts that belong to the application: the
    // login state (string 1208 and the forgotten password on a refusal).
    void ReportLogin(int code);

    // After the conversation ended with `result`.
    SReceiveOutcome Finish(int result, bool failed);

    // The no-new-mail notice; without one a message box with OK says it.
    void SetNoNewMailQuestion(NoNewMailQuestion ask) { askNoNewMail_ = std::move(ask); }

    const std::string& Inbox() const { return inbox_; }
    SUserInetData& Inet() { return inet_; }
    SSettingData& Settings() { return settings_; }

private:
    bool LoginConfirmed() const;

    std::string inbox_;
    SUserInetData& inet_;
    SSettingData& settings_;
    SLoginState* login_;
    platform::DialogService& dialogs_;
    platform::ParentWindow parent_;
    NoNewMailQuestion askNoNewMail_;
    int firstNew_ = 1;
};

// Runs one receive to its end in a local event loop (no windows): the
// conversation reports to `display` (may be null). `timeoutMs` 0 keeps the
// default inactivity limit.
SReceiveOutcome RunReceive(SReceiveRun& run, SPop3Observer* display = nullptr, int timeoutMs = 0);

// Command 437: "DelMails" inverted. Returns the new value.
bool ToggleDeleteOnServer(SSettingData& settings);
// Command 512: bit 0 of "APOP" flipped. Returns whether APOP is now on.
bool ToggleApop(SSettingData& settings);

// Confirms the user's POP3 login in the background and calls `done` once,
// from the event loop, with qimreq::LoginAccepted, LoginRefused,
// LoginPromptCancelled, or 0 when the server could not be asked (no
// connection, no settings). `display` (may be null) sees the conversation and
// answers the settings and password requests; it must outlive the check.
void ConfirmPop3Login(SUserInetData& inet, const SSettingData& settings, std::function<void(int code)> done,
                      SPop3Observer* display = nullptr, int timeoutMs = 0);

// Lets `login` answer the senders' question by a headless login check with
// these records; the outcome goes to login.Report.
void InstallPop3Authenticator(SLoginState& login, SUserInetData& inet, const SSettingData& settings);
