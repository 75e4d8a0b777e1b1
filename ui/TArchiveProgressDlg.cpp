#include "ui/TArchiveProgressDlg.h"

#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include "common/AppNames.h"
#include "common/FilePath.h"
#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/DialogService.h"
#include "platform/qt/QtText.h"

TArchiveProgressDlg::TArchiveProgressDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("QimArchiveProgress");
    setWindowTitle(QStringLiteral("Qim"));
    firstLine = new QLabel(this);
    firstLine->setObjectName("ArchiveFirstLine");
    secondLine = new QLabel(this);
    secondLine->setObjectName("ArchiveSecondLine");
    progress = new QProgressBar(this);
    progress->setObjectName("ArchiveProgress");
    progress->setRange(0, 1);
    progress->setValue(0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(firstLine);
    layout->addWidget(secondLine);
    layout->addWidget(progress);
    setMinimumWidth(420);
}

void TArchiveProgressDlg::Update() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

bool TArchiveProgressDlg::AskArchiveName(std::string& name) {
    platform::InputBoxRequest request;
    request.parent = parentWidget();
    request.caption = GetAppName();
    request.prompt = LoadQimString(qimstr::ArchiveNamePrompt);
    request.text = name;
    request.maxLength = kMaxPath;
    std::string typed;
    if (!platform::Dialogs().InputBox(request, typed)) return false;
    name = typed;
    return true;
}

void TArchiveProgressDlg::Notify(const SNotice& notice) { ShowNotice(notice, this); }

void TArchiveProgressDlg::BeginRun(const std::string& archive, int range) {
    secondLine->setText(platform::ToQString(archive));
    progress->setRange(0, range);
    progress->setValue(0);
    show();
    Update();
}

void TArchiveProgressDlg::ShowFirstLine(const std::string& text) {
    firstLine->setText(platform::ToQString(text));
    Update();
}

void TArchiveProgressDlg::StepRun() {
    if (progress->value() < progress->maximum()) progress->setValue(progress->value() + 1);
    Update();
}

void TArchiveProgressDlg::EndRun() {
    firstLine->clear();
    Update();
}

void TArchiveProgressDlg::ShowStatus(const std::string& text) {
    if (!isVisible()) show();
    firstLine->setText(platform::ToQString(text));
    Update();
}
