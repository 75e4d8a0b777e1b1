#include "pop3/SReceiveRun.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>

#include "config/QimStringIds.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "platform/DurableFile.h"
#include "store/SMailCommands.h"
#include "store/SQimCacheFolder.h"

SReceiveRun::SReceiveRun(const std::string& inbox, SUserInetData& inet, SSettingData& settings)
    : inbox_(inbox), inet_(inet), settings_(settings) {}

void SReceiveRun::Begin() {
    // A run that died between writing and naming a message left its temporary
    // file; that message was never deleted on the server and comes again.
    platform::DurableFile::RemoveLeftovers(inbox_.c_str(), qimpop3::kReceiveTempPrefix);
    SQimCacheFolder box(inbox_);
    firstNew_ = box.LastNumber() + 1;
}

SReceiveOutcome SReceiveRun::Finish(int result, bool failed, bool loginConfirmed) {
    SReceiveOutcome outcome;
    outcome.result = result;
    outcome.failed = failed;
    outcome.firstNew = firstNew_;
    // Mails stored before a failure are in the inbox all the same: they get
    // their marks and cache records whatever the end of the run was.
    bool marksFailed = false;
    const bool arrived = SettleReceivedMail(inbox_, firstNew_, marksFailed);
    if (marksFailed) outcome.notices.push_back(SNotice::Program(qimstr::CannotSetUnread));
    SQimFolder box;
    box.SetFolder(inbox_);
    outcome.lastNew = arrived ? box.LastNumber() : firstNew_ - 1;
    if (result == qimpop3::kResultOk) {
        outcome.noNewMail = !arrived && !failed && loginConfirmed;
        outcome.beep = outcome.noNewMail && settings_.noNewMailBeep;
    } else {
        outcome.exitRequested = !loginConfirmed;
    }
    return outcome;
}

namespace {

// Waits for the end of a conversation and passes the rest on.
class SLoopObserver : public SPop3Observer {
public:
    explicit SLoopObserver(SPop3Observer& display) : display_(display) {}
    void ShowStatus(const std::string& t) override { display_.ShowStatus(t); }
    void ShowFrom(const std::string& t) override { display_.ShowFrom(t); }
    void ShowSubject(const std::string& t) override { display_.ShowSubject(t); }
    void ShowSecurity(const std::string& t) override { display_.ShowSecurity(t); }
    void SetProgressRange(int l, int h) override { display_.SetProgressRange(l, h); }
    void SetProgress(int v) override { display_.SetProgress(v); }
    void SetMessagePart(int message, int percent) override { display_.SetMessagePart(message, percent); }
    void MailWaiting(int count) override { display_.MailWaiting(count); }
    void Notify(const SNotice& notice) override { display_.Notify(notice); }
    bool AskNetworkSettings() override { return display_.AskNetworkSettings(); }
    bool AskPassword() override { return display_.AskPassword(); }
    void ReportLogin(int code) override { display_.ReportLogin(code); }
    void Ended(int result, bool failed) override {
        result_ = result;
        failed_ = failed;
        ended_ = true;
        loop_.quit();
        display_.Ended(result, failed);
    }
    void Wait() {
        if (!ended_) loop_.exec();
    }

    int result_ = qimpop3::kResultOk;
    bool failed_ = false;

private:
    SPop3Observer& display_;
    QEventLoop loop_;
    bool ended_ = false;
};

// A login check that owns itself until it has answered.
class SLoginCheck : public SPop3Observer {
public:
    SLoginCheck(SUserInetData& inet, const SSettingData& settings, std::function<void(int)> done,
                SPop3Observer& display)
        : done_(std::move(done)), display_(display),
          conversation_(inet, settings, *this, SPop3Conversation::Mode::LoginOnly) {}
    void Run(int timeoutMs) {
        if (timeoutMs > 0) conversation_.SetTimeout(timeoutMs);
        conversation_.Start();
    }
    void ShowStatus(const std::string& t) override { display_.ShowStatus(t); }
    void ShowSecurity(const std::string& t) override { display_.ShowSecurity(t); }
    void Notify(const SNotice& notice) override { display_.Notify(notice); }
    bool AskNetworkSettings() override { return display_.AskNetworkSettings(); }
    bool AskPassword() override { return display_.AskPassword(); }
    void ReportLogin(int code) override { display_.ReportLogin(code); }
    void Ended(int result, bool failed) override {
        const int code = conversation_.LoginCode();
        display_.Ended(result, failed);
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
    SPop3Observer& display_;
    SPop3Conversation conversation_;
};

}  // namespace

SReceiveOutcome RunReceive(SReceiveRun& run, SPop3Observer& display, int timeoutMs) {
    run.Begin();
    SLoopObserver observer(display);
    {
        SPop3Conversation conversation(run.Inet(), run.Settings(), observer);
        conversation.SetInbox(run.Inbox());
        if (timeoutMs > 0) conversation.SetTimeout(timeoutMs);
        conversation.Start();
        observer.Wait();
    }
    return run.Finish(observer.result_, observer.failed_, true);
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
                      SPop3Observer& display, int timeoutMs) {
    (new SLoginCheck(inet, settings, std::move(done), display))->Run(timeoutMs);
}
