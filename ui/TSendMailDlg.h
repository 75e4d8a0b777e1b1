// "メールの送信": runs one send (SSendMail) while it shows the conversation's
// status texts and forwards the "ｷｬﾝｾﾙ" button. The send first waits for the
// confirmed POP3 login; TAppLoginConfirmation asks the application's login
// state, which runs the login-only conversation when the login is not
// confirmed yet.
#pragma once

#include <QDialog>
#include <QPointer>
#include <optional>

#include "send/SSendMail.h"

class QLabel;
class QPushButton;
class SLoginState;

class TAppLoginConfirmation : public SLoginConfirmation {
public:
    TAppLoginConfirmation(SLoginState& state, QObject* asker) : state_(state), asker_(asker) {}
    void ConfirmLogin(std::function<void(bool confirmed)> done) override;

private:
    SLoginState& state_;
    QPointer<QObject> asker_;
};

class TSendMailDlg : public QDialog {
    Q_OBJECT

public:
    TSendMailDlg(QWidget* parent, SSendMail& send);

    // The outcome once the dialog ended; empty while it runs.
    std::optional<SSmtpOutcome> Outcome() const { return outcome_; }

    QLabel* status = nullptr;
    QPushButton* cancelButton = nullptr;  // "ｷｬﾝｾﾙ"

    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    SSendMail& send_;
    std::string security_;  // the session's TLS, once there is one
    bool started_ = false;
    std::optional<SSmtpOutcome> outcome_;
};
