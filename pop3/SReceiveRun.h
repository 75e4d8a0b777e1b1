// One receive into the inbox, without windows: notes the first new number,
// runs the conversation (the caller decides how: a dialog, or an event loop),
// then clears the read mark of the new mails and brings the inbox's header
// cache up to date. What the user is to be told comes back in the outcome for
// the caller to show. Also the two settings the menu toggles, and a headless
// login check for senders.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/SNotice.h"
#include "pop3/SPop3Conversation.h"

class SSettingData;
class SUserInetData;

struct SReceiveOutcome {
    int result = qimpop3::kResultOk;  // how the conversation ended
    bool failed = false;              // the run did not complete
    int firstNew = 0;                 // number of the first mail of this run
    int lastNew = 0;                  // the inbox's last number afterwards (firstNew - 1: none)
    // To show before anything else (a read mark that could not be cleared).
    std::vector<SNotice> notices;
    // The run completed and brought nothing: the caller beeps when `beep` and
    // shows qimpop3::kDialogNoNewMail (qimstr::NoNewMail), whose "終了(&X)" ends the program.
    bool noNewMail = false;
    bool beep = false;
    // The run failed while the login is not confirmed: the main window closes.
    bool exitRequested = false;
    bool Arrived() const { return lastNew >= firstNew; }
};

class SReceiveRun {
public:
    SReceiveRun(const std::string& inbox, SUserInetData& inet, SSettingData& settings);

    // Notes the first new number; call before the conversation starts.
    void Begin();
    int FirstNew() const { return firstNew_; }

    // After the conversation ended with `result`. `loginConfirmed` is the
    // application's login flag (true where no application keeps one).
    SReceiveOutcome Finish(int result, bool failed, bool loginConfirmed);

    const std::string& Inbox() const { return inbox_; }
    SUserInetData& Inet() { return inet_; }
    SSettingData& Settings() { return settings_; }

private:
    std::string inbox_;
    SUserInetData& inet_;
    SSettingData& settings_;
    int firstNew_ = 1;
};

// Runs one receive to its end in a local event loop (no windows): the
// conversation reports to `display`, which shows its notices. `timeoutMs` 0
// keeps the default inactivity limit.
SReceiveOutcome RunReceive(SReceiveRun& run, SPop3Observer& display, int timeoutMs = 0);

// qimcmd::KeepMailOnServer: "DelMails" inverted. Returns the new value.
bool ToggleDeleteOnServer(SSettingData& settings);
// qimcmd::UseApop: qimpop3::kApopBit of "APOP" flipped. Returns whether APOP is now on.
bool ToggleApop(SSettingData& settings);

// Confirms the user's POP3 login in the background and calls `done` once,
// from the event loop, with qimreq::LoginAccepted, LoginRefused,
// LoginPromptCancelled, or 0 when the server could not be asked (no
// connection, no settings). `display` sees the conversation, shows its
// notices and answers the settings and password requests; it must outlive
// the check.
void ConfirmPop3Login(SUserInetData& inet, const SSettingData& settings, std::function<void(int code)> done,
                      SPop3Observer& display, int timeoutMs = 0);
