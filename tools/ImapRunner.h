// One IMAP4 session without windows, for the imap subcommands: each Run
// carries one operation to its completion in a local event loop, with the
// messages on standard error (progress too with `verbose`).
#pragma once

#include <memory>
#include <string>

#include "imap/SImap4Session.h"

class SSettingData;
class SUserInetData;

namespace qimtool {

class ImapRunner : public SImap4Observer {
public:
    ImapRunner(SUserInetData& inet, const SSettingData& settings, bool mh, bool verbose);
    ~ImapRunner() override;

    // True when the operation completed with success.
    bool Run(int operation, const SImap4Request& request);
    // The same for an operation already requested from Session() by someone else.
    bool Wait(int operation);
    SImap4Session& Session() { return *session_; }
    bool Verbose() const { return verbose_; }
    // The last notification of these kinds came in the last Run.
    bool NoRecentMail() const { return noRecentMail_; }

    void ShowStatus(const std::string& text) override;
    void ShowCaption(const std::string& text) override;
    void ShowSecurity(const std::string& text) override;
    void Notify(const SNotice& notice) override;
    void SocketError(const std::string& text, int code) override;
    bool AskNetworkSettings() override;
    bool AskPassword() override;
    void Completed(int operation, int result, SImap4Target target, int replyTo) override;

private:
    void Begin(int operation);
    bool Loop();
    void Finish(bool ok);

    SUserInetData& inet_;
    bool verbose_;
    std::unique_ptr<SImap4Session> session_;
    std::string lastStatus_;
    int running_ = 0;
    bool done_ = false;
    bool ok_ = false;
    bool noRecentMail_ = false;
};

}  // namespace qimtool
