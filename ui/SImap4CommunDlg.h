// The window of the server-folder session: a status line, a gauge, ｷｬﾝｾﾙ and
// the emergency button over the IMAP4 session it owns. It is shown while an
// operation runs (blocking the main window meanwhile) and hidden between
// them; completions go to the handler its owner (the server-folder window)
// sets. SImap4MhCommunDlg does the same for servers of the "#mh" namespace.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>

#include "imap/SImap4Session.h"

class QLabel;
class QProgressBar;
class QPushButton;
class SSettingData;
class SSocketErrorMessageDlg;
class SUserInetData;

class SImap4CommunDlg : public QDialog, public SImap4Observer {
    Q_OBJECT

public:
    SImap4CommunDlg(QWidget* mainWindow, SUserInetData& inet, const SSettingData& settings);
    ~SImap4CommunDlg() override;

    using CompletionHandler = std::function<void(int operation, int result, SImap4Target target, int replyTo)>;
    void SetCompletionHandler(CompletionHandler handler) { completion_ = std::move(handler); }
    bool Request(const SImap4Request& request, int operation) { return session_->Request(request, operation); }
    SImap4Session& Session() { return *session_; }

    QLabel* status = nullptr;              // control 733
    QProgressBar* gauge = nullptr;         // control 734
    QPushButton* cancelButton = nullptr;   // control 732
    QPushButton* emergencyButton = nullptr;

    // SImap4Observer
    void ShowStatus(const std::string& text) override;
    void ShowCaption(const std::string& text) override;
    void ShowSecurity(const std::string& text) override;
    void SetProgressRange(int low, int high) override;
    void SetProgress(int value) override;
    void ShowSession(bool shown) override;
    void Notify(const SNotice& notice) override;
    void SocketError(const std::string& text, int code) override;
    bool AskNetworkSettings() override;
    bool AskPassword() override;
    void Completed(int operation, int result, SImap4Target target, int replyTo) override;

    void reject() override;

protected:
    SImap4CommunDlg(QWidget* mainWindow, SUserInetData& inet, const SSettingData& settings, bool mh);

private:
    void Build();
    void PlaceOverMainWindow();

    std::unique_ptr<SImap4Session> session_;
    std::unique_ptr<SSocketErrorMessageDlg> socketError_;
    CompletionHandler completion_;
    std::string security_;
    bool placed_ = false;
};

class SImap4MhCommunDlg : public SImap4CommunDlg {
    Q_OBJECT

public:
    SImap4MhCommunDlg(QWidget* mainWindow, SUserInetData& inet, const SSettingData& settings);
};
