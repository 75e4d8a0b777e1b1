#include "ui/SImap4CommunDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/TQimApp.h"
#include "config/QimNotices.h"
#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"
#include "ui/SSocketErrorMessageDlg.h"

using platform::ToQString;

SImap4CommunDlg::SImap4CommunDlg(QWidget* mainWindow, SUserInetData& inet, const SSettingData& settings)
    : SImap4CommunDlg(mainWindow, inet, settings, false) {}

SImap4CommunDlg::SImap4CommunDlg(QWidget* mainWindow, SUserInetData& inet, const SSettingData& settings, bool mh)
    : QDialog(mainWindow) {
    if (mh)
        session_ = std::make_unique<SImap4MhSession>(inet, settings, *this);
    else
        session_ = std::make_unique<SImap4Session>(inet, settings, *this);
    Build();
}

SImap4CommunDlg::~SImap4CommunDlg() {
    // The session's LOGOUT still reports through this window.
    session_.reset();
}

void SImap4CommunDlg::Build() {
    const QString name = QStringLiteral("Qim");
    setWindowTitle(name);
    status = new QLabel(name, this);
    status->setObjectName(QString::number(qimimap::kControlStatus));
    status->setMinimumWidth(320);
    gauge = new QProgressBar(this);
    gauge->setObjectName(QString::number(qimimap::kControlGauge));
    gauge->setRange(0, 1);
    gauge->setValue(0);
    cancelButton = new QPushButton(ToQString(LoadQimString(qimstr::CancelButton)), this);
    cancelButton->setObjectName(QString::number(qimimap::kControlCancel));
    emergencyButton = new QPushButton(ToQString(LoadQimString(qimstr::EmergencyButton)), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status);
    layout->addWidget(gauge);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(emergencyButton);
    layout->addLayout(buttons);

    connect(cancelButton, &QPushButton::clicked, this, [this] { session_->Cancel(); });
    connect(emergencyButton, &QPushButton::clicked, this, [this] { session_->Emergency(); });
}

// The dialog's lower right corner on the main window's.
void SImap4CommunDlg::PlaceOverMainWindow() {
    QWidget* main = parentWidget();
    if (!main || placed_) return;
    placed_ = true;
    adjustSize();
    const QRect frame = main->frameGeometry();
    move(frame.right() - frameGeometry().width() + 1, frame.bottom() - frameGeometry().height() + 1);
}

void SImap4CommunDlg::ShowStatus(const std::string& text) {
    status->setText(security_.empty() ? ToQString(text) : ToQString(text) + "  [" + ToQString(security_) + "]");
}

void SImap4CommunDlg::ShowCaption(const std::string& text) { setWindowTitle(ToQString(text)); }

void SImap4CommunDlg::ShowSecurity(const std::string& text) {
    security_ = text;
    status->setText(status->text() + "  [" + ToQString(text) + "]");
}

void SImap4CommunDlg::SetProgressRange(int low, int high) {
    gauge->setRange(low, high > low ? high : low + 1);
    gauge->setValue(low);
}

void SImap4CommunDlg::SetProgress(int value) { gauge->setValue(value); }

// While an operation runs the main window takes no input: the requester waits
// for the completion before it asks again.
void SImap4CommunDlg::ShowSession(bool shown) {
    if (shown) {
        setWindowModality(Qt::ApplicationModal);
        PlaceOverMainWindow();
        show();
    } else {
        hide();
        setWindowModality(Qt::NonModal);
    }
}

void SImap4CommunDlg::Notify(const SNotice& notice) { ShowNotice(notice, this); }

void SImap4CommunDlg::SocketError(const std::string& text, int code) {
    socketError_ = std::make_unique<SSocketErrorMessageDlg>(parentWidget(), text, code);
    socketError_->show();
}

namespace {

bool AskApplication(int code) {
    TQimApp* app = TQimApp::Instance();
    if (!app) return false;
    SAppRequest request;
    request.code = code;
    return app->Request(request) != 0;
}

}  // namespace

bool SImap4CommunDlg::AskNetworkSettings() { return AskApplication(qimreq::AskNetworkSettings); }
bool SImap4CommunDlg::AskPassword() { return AskApplication(qimreq::AskPassword); }

void SImap4CommunDlg::Completed(int operation, int result, SImap4Target target, int replyTo) {
    if (completion_) completion_(operation, result, target, replyTo);
}


// The close box is the Cancel button.
void SImap4CommunDlg::reject() { session_->Cancel(); }

SImap4MhCommunDlg::SImap4MhCommunDlg(QWidget* mainWindow, SUserInetData& inet, const SSettingData& settings)
    : SImap4CommunDlg(mainWindow, inet, settings, true) {}
