// "メールの受信": shows what the POP3 conversation reports (status, From,
// Subject, progress) and forwards the buttons and the close box to it. The
// first close request lets the current message finish; a second one cuts the
// connection. SUserAuthDlg runs the login-only conversation in the same way.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "pop3/SPop3Conversation.h"
#include "pop3/SReceiveRun.h"

class QLabel;
class QProgressBar;
class QPushButton;
class SLoginState;
class SSettingData;
class SUserInetData;

class SReceiveMailsDlg : public QDialog, public SPop3Observer {
    Q_OBJECT

public:
    SReceiveMailsDlg(QWidget* parent, SUserInetData& inet, const SSettingData& settings, const std::string& inbox,
                     SPop3Conversation::Mode mode = SPop3Conversation::Mode::Receive);
    ~SReceiveMailsDlg() override;

    // Where the login codes go (the application's login state, or the run).
    void SetLoginReport(std::function<void(int code)> report) { loginReport_ = std::move(report); }
    void SetTimeout(int milliseconds) { conversation_.SetTimeout(milliseconds); }
    bool Failed() const { return failed_; }
    SPop3Conversation& Conversation() { return conversation_; }

    QLabel* status = nullptr;
    QLabel* from = nullptr;
    QLabel* subject = nullptr;
    QProgressBar* progress = nullptr;
    QPushButton* cancelButton = nullptr;  // "ｷｬﾝｾﾙ" (IDOK)
    QPushButton* otherButton = nullptr;   // "Cancel" (IDCANCEL)

    // SPop3Observer
    void ShowStatus(const std::string& text) override;
    // The session's TLS version and cipher, kept beside the status.
    void ShowSecurity(const std::string& text) override;
    void ShowFrom(const std::string& text) override;
    void ShowSubject(const std::string& text) override;
    void SetProgressRange(int low, int high) override;
    void SetProgress(int value) override;
    void SetMessagePart(int message, int percent) override;
    void MailWaiting(int count) override;
    void Notify(const SNotice& notice) override;
    bool AskNetworkSettings() override;
    bool AskPassword() override;
    void ReportLogin(int code) override;
    void Ended(int result, bool failed) override;

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void CloseRequested();

    SPop3Conversation conversation_;
    std::string security_;  // the session's TLS, once there is one
    std::function<void(int)> loginReport_;
    bool started_ = false;
    bool ended_ = false;
    bool failed_ = false;
    int result_ = qimpop3::kResultOk;
};

class SUserAuthDlg : public SReceiveMailsDlg {
    Q_OBJECT

public:
    SUserAuthDlg(QWidget* parent, SUserInetData& inet, const SSettingData& settings);
};

// qimcmd::Receive of the main window: runs a receive into `inbox` with the
// dialog, then marks, cache and what the outcome has to say (the no-new-mail
// notice among it). The window reloads the inbox when outcome.Arrived(), and
// closes itself when exitRequested.
SReceiveOutcome RunReceiveDialog(QWidget* parent, SUserInetData& inet, SSettingData& settings, SLoginState* login,
                                 const std::string& inbox);

// The login check with its dialog (what the application runs when a sender
// asks whether the login is confirmed): the code reported, 0 when none.
int RunUserAuthDialog(QWidget* parent, SUserInetData& inet, const SSettingData& settings);
