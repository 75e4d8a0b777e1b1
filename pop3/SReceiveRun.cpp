#include "pop3/SReceiveRun.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include "app/QimRequestCodes.h"
#include "app/QimStringIds.h"
#include "app/QimStrings.h"
#include "app/SLoginState.h"
#include "app/SSettingData.h"
#include "app/SUserInetData.h"
#include "platform/DurableFile.h"
#include "store/SFolderCommands.h"
#include "store/SQimCacheFolder.h"

SReceiveRun::SReceiveRun(const std::string& inbox, SUserInetData& inet, SSettingData& settings, SLoginState* login,
                         platform::DialogService& dialogs, platform::ParentWindow parent)
    : inbox_(inbox), inet_(inet), settings_(settings), login_(login), dialogs_(dialogs), parent_(parent) {}

void SReceiveRun::Begin() {
    // A run that died between writing and naming a message left its temporary
    // file; that message was never deleted on the server and comes again.
    platform::DurableFile::RemoveLeftovers(inbox_.c_str(), qimpop3::kReceiveTempPrefix);
    SQimCacheFolder box(inbox_);
    firstNew_ = box.LastNumber() + 1;
}

void SReceiveRun::ReportLogin(int code) {
    if (login_) {
        login_->Report(code);
        return;
    }
    if (code == qimreq::LoginRefused) {
        platform::MessageBoxRequest box;
        box.parent = parent_;
        box.text = LoadQimString(qimstr::WrongPassword);
        box.caption = "Qim";
        box.icon = platform::MessageIcon::Stop;
        dialogs_.MessageBox(box);
        inet_.password.clear();
    }
}

bool SReceiveRun::LoginConfirmed() const { return !login_ || login_->Confirmed(); }

SReceiveOutcome SReceiveRun::Finish(int result, bool failed) {
    SReceiveOutcome outcome;
    outcome.result = result;
    outcome.failed = failed;
    outcome.firstNew = firstNew_;
    // Mails stored before a failure are in the inbox all the same: they get
    // their marks and cache records whatever the end of the run was.
    SFolderCommands commands(dialogs_, parent_);
    const bool arrived = commands.FinishReceive(inbox_, firstNew_);
    SQimFolder box;
    box.SetFolder(inbox_);
    outcome.lastNew = arrived ? box.LastNumber() : firstNew_ - 1;
    if (result == qimpop3::kResultOk) {
        if (!arrived && !failed && LoginConfirmed()) {
            if (settings_.noNewMailBeep) dialogs_.Beep(platform::BeepKind::Exclamation);
            if (askNoNewMail_) {
                outcome.exitRequested = askNoNewMail_();
            } else {
                platform::MessageBoxRequest notice;
                notice.parent = parent_;
                notice.text = LoadQimString(qimstr::NoNewMail);
                notice.caption = "Qim";
                notice.icon = platform::MessageIcon::Information;
                dialogs_.MessageBox(notice);
            }
        }
    } else if (!LoginConfirmed()) {
        outcome.exitRequested = true;
    }
    return outcome;
}

namespace {

// Waits for the end of a conversation and passes the rest on.
class SLoopObserver : public SPop3Observer {
public:
    SLoopObserver(SPop3Observer* display, std::function<void(int)> login) : display_(display), login_(login) {}
    void ShowStatus(const std::string& t) override { if (display_) display_->ShowStatus(t); }
    void ShowFrom(const std::string& t) override { if (display_) display_->ShowFrom(t); }
    void ShowSubject(const std::string& t) override { if (display_) display_->ShowSubject(t); }
    void SetProgressRange(int l, int h) override { if (display_) display_->SetProgressRange(l, h); }
    void SetProgress(int v) override { if (display_) display_->SetProgress(v); }
    bool AskNetworkSettings() override { return display_ && display_->AskNetworkSettings(); }
    bool AskPassword() override { return display_ && display_->AskPassword(); }
    void ReportLogin(int code) override {
        if (login_) login_(code);
        if (display_) display_->ReportLogin(code);
    }
    void Ended(int result, bool failed) override {
        result_ = result;
        failed_ = failed;
        ended_ = true;
        loop_.quit();
        if (display_) display_->Ended(result, failed);
    }
    void Wait() {
        if (!ended_) loop_.exec();
    }

    int result_ = qimpop3::kResultOk;
    bool failed_ = false;

private:
    SPop3Observer* display_;
    std::function<void(int)> login_;
    QEventLoop loop_;
    bool ended_ = false;
};

// A login check that owns itself until it has answered.
class SLoginCheck : public SPop3Observer {
public:
    SLoginCheck(SUserInetData& inet, const SSettingData& settings, std::function<void(int)> done,
                SPop3Observer* display)
        : done_(std::move(done)), display_(display),
          conversation_(inet, settings, *this, SPop3Conversation::Mode::LoginOnly) {}
    void Run(int timeoutMs) {
        if (timeoutMs > 0) conversation_.SetTimeout(timeoutMs);
        conversation_.Start();
    }
    void ShowStatus(const std::string& t) override { if (display_) display_->ShowStatus(t); }
    bool AskNetworkSettings() override { return display_ && display_->AskNetworkSettings(); }
    bool AskPassword() override { return display_ && display_->AskPassword(); }
    void ReportLogin(int code) override {
        if (display_) display_->ReportLogin(code);
    }
    void Ended(int result, bool failed) override {
        const int code = conversation_.LoginCode();
        if (display_) display_->Ended(result, failed);
        // Gone only once the conversation's own call has returned.
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this, code] {
                auto done = std::move(done_);
                delete this;
                if (done) done(code);
            },
            Qt::QueuedConnection);
    }

private:
    std::function<void(int)> done_;
    SPop3Observer* display_;
    SPop3Conversation conversation_;
};

}  // namespace

SReceiveOutcome RunReceive(SReceiveRun& run, SPop3Observer* display, int timeoutMs) {
    run.Begin();
    SLoopObserver observer(display, [&run](int code) { run.ReportLogin(code); });
    {
        SPop3Conversation conversation(run.Inet(), run.Settings(), observer);
        conversation.SetInbox(run.Inbox());
        if (timeoutMs > 0) conversation.SetTimeout(timeoutMs);
        conversation.Start();
        observer.Wait();
    }
    return run.Finish(observer.result_, observer.failed_);
}

bool ToggleDeleteOnServer(SSettingData& settings) {
    settings.deleteOnServer = !settings.deleteOnServer;
    return settings.deleteOnServer;
}

bool ToggleApop(SSettingData& settings) {
    settings.useApop ^= qimpop3::kApopBit;
    return (settings.useApop & qimpop3::kApopBit) != 0;
}

void ConfirmPop3Login(SUserInetData& inet, const SSettingData& settings, std::function<void(int code)> done,
                      SPop3Observer* display, int timeoutMs) {
    (new SLoginCheck(inet, settings, std::move(done), display))->Run(timeoutMs);
}

void InstallPop3Authenticator(SLoginState& login, SUserInetData& inet, const SSettingData& settings) {
    login.SetAuthenticator([&login, &inet, &settings] {
        ConfirmPop3Login(inet, settings, [&login](int code) { login.Report(code); });
    });
}
