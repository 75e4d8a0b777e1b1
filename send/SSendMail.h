// One send of the compose window: first the user's POP3 login is confirmed
// (every send follows a confirmed login), then the SMTP conversation hands
// the message over; a To field naming an address list sends one copy per
// entry. The window shows the status texts and the notices and forwards the
// cancel button; the sent copy is stored by the caller once the send is
// complete (storeSentCopy).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "send/SAddressList.h"
#include "send/SSmtpSession.h"

// The application's answer to "is the POP3 login confirmed?": when it is not
// yet, the application confirms it (a login-only POP3 conversation) and then
// calls `done` with the outcome. `done` may run before ConfirmLogin returns.
class SLoginConfirmation {
public:
    virtual ~SLoginConfirmation() = default;
    virtual void ConfirmLogin(std::function<void(bool confirmed)> done) = 0;
};

// For callers without a POP3 account to confirm (tests, the command-line tool).
class SLoginAlreadyConfirmed : public SLoginConfirmation {
public:
    void ConfirmLogin(std::function<void(bool confirmed)> done) override { done(true); }
};

class SSendMail : public SSmtpSessionObserver {
public:
    // Shows a notice at once (a box of the compose window, a line of qimtool).
    using NoticeSink = std::function<void(const SNotice& notice)>;

    SSendMail(SUserInetData& inet, SEMailMimeHeader& header, SLoginConfirmation& login, NoticeSink notify);
    ~SSendMail() override;

    // The message: a finished message file (its header included) ...
    void SetMessageFile(const std::string& path) { messageFile_ = path; }
    // ... or, without one, the header object's text and the editor's lines.
    void SetEditor(const SComposeEditor* editor) { editor_ = editor; }
    // A finished file whose header holds lines the server must not see (Bcc):
    // the line source to use instead of the plain file reader.
    void SetLineSource(std::unique_ptr<SGetLine> lines) { customLines_ = std::move(lines); }

    std::function<void(const std::string& text)> onStatus;
    // The send is over. On Sent the caller stores the sent copy of the
    // message file (Fcc) before the compose window closes.
    std::function<void(SSmtpOutcome outcome)> onEnded;
    // The sent copy (Fcc): run once the server accepted the message, before
    // onEnded, with the message file (empty when the editor was sent). The
    // compose window stores the copy in the sent-mail folder here.
    std::function<void(const std::string& messageFile)> storeSentCopy;
    // Passed on to every conversation (SSmtpSession).
    std::function<bool(SUserInetData& inet)> askNetworkSettings;
    std::function<bool(SEMailHeader& header)> completeHeader;
    std::function<bool(SUserInetData& inet)> askPassword;
    // The connection is encrypted: its TLS text (for the status line, stderr).
    std::function<void(const std::string& text)> onSecured;
    void SetTimeout(int milliseconds) { timeoutMs_ = milliseconds; }

    // Starts the send; the rest runs from the event loop.
    void Start();
    void Cancel();
    bool Running() const { return running_; }

    void OnSmtpStatus(const std::string& text) override;
    void OnSmtpNotice(const SNotice& notice) override;
    void OnSmtpSecured(const std::string& text) override;
    void OnSmtpEnded(SSmtpOutcome outcome) override;

private:
    bool PrepareList();
    void RunNext();
    void RunSession(std::unique_ptr<SGetLine> lines, bool headerInFile);
    void EndList();
    void Done(SSmtpOutcome outcome);

    SUserInetData& inet_;
    SEMailMimeHeader& header_;
    SLoginConfirmation& login_;
    NoticeSink notify_;
    std::string messageFile_;
    const SComposeEditor* editor_ = nullptr;
    std::unique_ptr<SGetLine> customLines_;
    int timeoutMs_ = SSmtpSession::kDefaultTimeoutMs;

    bool running_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::unique_ptr<SGetLine> baseLines_;
    std::unique_ptr<SGetLine> lines_;
    std::unique_ptr<SSmtpSession> session_;
    // Address-list sending.
    bool listMode_ = false;
    std::vector<SAddressEntry> entries_;
    std::size_t nextEntry_ = 0;
    std::vector<std::string> failed_;
    std::string savedTo_;
};
