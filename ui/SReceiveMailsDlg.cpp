#include "ui/SReceiveMailsDlg.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "app/SLoginState.h"
#include "app/TQimApp.h"
#include "config/QimLayoutSettings.h"
#include "config/QimNotices.h"
#include "platform/qt/QtText.h"
#include "ui/QtDialogService.h"

using platform::ToQString;

SReceiveMailsDlg::SReceiveMailsDlg(QWidget* parent, SUserInetData& inet, const SSettingData& settings,
                                   const std::string& inbox, SPop3Conversation::Mode mode)
    : QDialog(parent), conversation_(inet, settings, *this, mode) {
    setWindowTitle(ToQString(LoadQimString(qimstr::ReceiveCaption)));
    setModal(true);
    conversation_.SetInbox(inbox);

    status = new QLabel(this);
    status->setObjectName(QString::number(qimpop3::kControlStatus));
    from = new QLabel(this);
    from->setObjectName(QString::number(qimpop3::kControlFrom));
    subject = new QLabel(this);
    subject->setObjectName(QString::number(qimpop3::kControlSubject));
    progress = new QProgressBar(this);
    progress->setObjectName(QString::number(qimpop3::kControlProgress));
    progress->setRange(0, 1);
    progress->setValue(0);
    cancelButton = new QPushButton(ToQString(LoadQimString(qimstr::CancelButton)), this);
    otherButton = new QPushButton(QStringLiteral("Cancel"), this);
    for (QLabel* l : {status, from, subject}) l->setMinimumWidth(360);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status);
    layout->addWidget(from);
    layout->addWidget(subject);
    layout->addWidget(progress);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancelButton);
    buttons->addWidget(otherButton);
    layout->addLayout(buttons);

    connect(cancelButton, &QPushButton::clicked, this, [this] { CloseRequested(); });
    connect(otherButton, &QPushButton::clicked, this, [this] { CloseRequested(); });
}

SReceiveMailsDlg::~SReceiveMailsDlg() = default;

void SReceiveMailsDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_) {
        started_ = true;
        conversation_.Start();
    }
}

void SReceiveMailsDlg::ShowStatus(const std::string& text) {
    status->setText(security_.empty() ? ToQString(text) : ToQString(text) + "  [" + ToQString(security_) + "]");
}
void SReceiveMailsDlg::ShowSecurity(const std::string& text) {
    security_ = text;
    status->setText(status->text() + "  [" + ToQString(text) + "]");
}
void SReceiveMailsDlg::ShowFrom(const std::string& text) { from->setText(ToQString(text)); }
void SReceiveMailsDlg::ShowSubject(const std::string& text) { subject->setText(ToQString(text)); }

// Each message is a stretch of this many steps of the bar, so that a long one
// moves it as its bytes come.
constexpr int kStepsPerMessage = 100;

void SReceiveMailsDlg::SetProgressRange(int low, int high) {
    progress->setRange((low - 1) * kStepsPerMessage, high * kStepsPerMessage);
    progress->setValue((low - 1) * kStepsPerMessage);
}

void SReceiveMailsDlg::SetProgress(int value) { progress->setValue(value * kStepsPerMessage); }

void SReceiveMailsDlg::SetMessagePart(int message, int percent) {
    const int value = (message - 1) * kStepsPerMessage + percent;
    if (value > progress->value()) progress->setValue(value);
}

void SReceiveMailsDlg::MailWaiting(int) {
    const std::string sound = ReadNewMailSound();
    if (!sound.empty()) platform::Dialogs().PlaySound(sound);
}

void SReceiveMailsDlg::Notify(const SNotice& notice) { ShowNotice(notice, this); }

bool SReceiveMailsDlg::AskNetworkSettings() {
    TQimApp* app = TQimApp::Instance();
    if (!app) return false;
    SAppRequest request;
    request.code = qimreq::AskNetworkSettings;
    return app->Request(request) != 0;
}

bool SReceiveMailsDlg::AskPassword() {
    TQimApp* app = TQimApp::Instance();
    if (!app) return false;
    SAppRequest request;
    request.code = qimreq::AskPassword;
    return app->Request(request) != 0;
}

void SReceiveMailsDlg::ReportLogin(int code) {
    if (loginReport_) loginReport_(code);
}

void SReceiveMailsDlg::Ended(int result, bool failed) {
    ended_ = true;
    failed_ = failed;
    result_ = result;
    done(result);
}

void SReceiveMailsDlg::CloseRequested() {
    if (conversation_.RequestClose() && ended_) done(result_);
}

void SReceiveMailsDlg::reject() { CloseRequested(); }

void SReceiveMailsDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
    CloseRequested();
}

SUserAuthDlg::SUserAuthDlg(QWidget* parent, SUserInetData& inet, const SSettingData& settings)
    : SReceiveMailsDlg(parent, inet, settings, std::string(), SPop3Conversation::Mode::LoginOnly) {
    setWindowTitle(ToQString(LoadQimString(qimstr::UserAuthCaption)));
}

namespace {

// qimpop3::kDialogNoNewMail: "OK" or "終了(&X)"; true when the user chose to end the program.
bool AskNoNewMail(QWidget* parent) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Qim"), ToQString(LoadQimString(qimstr::NoNewMail)),
                    QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    QPushButton* exit = box.addButton(ToQString(LoadQimString(qimstr::ExitButton)), QMessageBox::RejectRole);
    box.exec();
    return box.clickedButton() == exit;
}

}  // namespace

SReceiveOutcome RunReceiveDialog(QWidget* parent, SUserInetData& inet, SSettingData& settings, SLoginState* login,
                                 const std::string& inbox) {
    SReceiveRun run(inbox, inet, settings);
    run.Begin();
    SReceiveMailsDlg dlg(parent, inet, settings, inbox);
    // The login codes go to the application, which shows a refusal
    // (qimstr::WrongPassword) and forgets the password.
    dlg.SetLoginReport([login](int code) {
        if (login) login->Report(code);
    });
    const int result = dlg.exec();
    SReceiveOutcome outcome = run.Finish(result, dlg.Failed(), !login || login->Confirmed());
    ShowNotices(outcome.notices, parent);
    if (outcome.beep) platform::Dialogs().Beep(platform::BeepKind::Exclamation);
    if (outcome.noNewMail) {
        // The real dialog only with the real windows; a scripted service
        // answers the plain message box.
        if (dynamic_cast<QtDialogService*>(&platform::Dialogs()))
            outcome.exitRequested = AskNoNewMail(parent);
        else
            ShowNotice(SNotice::Program(qimstr::NoNewMail, {}, platform::MessageIcon::Information), parent);
    }
    return outcome;
}

int RunUserAuthDialog(QWidget* parent, SUserInetData& inet, const SSettingData& settings) {
    SUserAuthDlg dlg(parent, inet, settings);
    dlg.exec();
    return dlg.Conversation().LoginCode();
}
