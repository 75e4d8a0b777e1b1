#include "ui/TSendMailDlg.h"

#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "app/SLoginState.h"
#include "platform/qt/QtText.h"

void TAppLoginConfirmation::ConfirmLogin(std::function<void(bool confirmed)> done) {
    if (!asker_) {
        done(false);
        return;
    }
    state_.Ask(asker_.data(), 0, [done](int, bool confirmed) { done(confirmed); });
}

TSendMailDlg::TSendMailDlg(QWidget* parent, SSendMail& send) : QDialog(parent), send_(send) {
    setWindowTitle(platform::ToQString(LoadQimString(qimstr::SendDialogCaption)));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    status = new QLabel(this);
    status->setMinimumWidth(280);
    status->setWordWrap(true);
    layout->addWidget(status);
    cancelButton = new QPushButton(platform::ToQString(LoadQimString(qimstr::CancelButton)), this);
    layout->addWidget(cancelButton, 0, Qt::AlignHCenter);
    connect(cancelButton, &QPushButton::clicked, this, [this] { send_.Cancel(); });
    send_.onStatus = [this](const std::string& text) {
        status->setText(security_.empty() ? platform::ToQString(text)
                                          : platform::ToQString(text) + "  [" + platform::ToQString(security_) + "]");
    };
    // The session's TLS version and cipher stay beside every status that follows.
    send_.onSecured = [this](const std::string& text) {
        security_ = text;
        status->setText(status->text() + "  [" + platform::ToQString(text) + "]");
    };
    send_.onEnded = [this](SSmtpOutcome outcome) {
        outcome_ = outcome;
        // Ends from the event loop: the conversation is still on the stack here.
        QTimer::singleShot(0, this, [this] { done(outcome_ == SSmtpOutcome::Sent ? Accepted : Rejected); });
    };
}

void TSendMailDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    QTimer::singleShot(0, this, [this] {
        send_.Start();
        // A send that could not even start (an address list that cannot be
        // read) has ended already.
        if (!send_.Running() && !outcome_) {
            outcome_ = SSmtpOutcome::Failed;
            done(Rejected);
        }
    });
}

void TSendMailDlg::reject() {
    // The close box is the cancel button: the conversation decides whether it may stop.
    if (outcome_) {
        QDialog::reject();
        return;
    }
    send_.Cancel();
}
