// The local main window's sorting commands: one-shot sorting, the two rule
// sets and their dialogs, and the run as steps posted to the window.
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <cstdio>

#include "common/FilePath.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "filters/SAutoMoveFiles.h"
#include "platform/DialogService.h"
#include "platform/qt/QtText.h"
#include "ui/SAMFDialog.h"
#include "ui/SMoveFilesDialog.h"
#include "ui/TQimWindow.h"

bool TQimWindow::RunRuleSet(SSortRuleSet set, const std::string& folder) {
    SAMFProfile profile(set);
    // A set cut short by a damaged key still runs the rules before it.
    profile.Load();
    return RunSortRules(std::move(profile.rules), folder);
}

bool TQimWindow::RunSortRules(std::vector<SAutoMoveFilesData> rules, const std::string& folder) {
    // The run before goes; its posted steps find a newer run number.
    ++sortRunId_;
    sort_ = std::make_unique<SAutoMoveFiles>(platform::Dialogs(), window());
    sort_->onMarked = [this](const std::vector<int>& numbers) {
        if (!IsSameDir(sort_->Folder(), shown_)) return;
        // Marks only: the mail in the viewer stays, and no read mark is set.
        showingMail_ = true;
        SelectNumbers(numbers);
        showingMail_ = false;
    };
    sort_->onRuleStarted = [this](int index) { ShowSortProgress(index); };
    sort_->move = [this](SMemCacheFolder& source, const std::vector<int>& numbers, const std::string& destination) {
        const std::vector<int> moved = MailCommands().MoveMails(source, numbers, destination);
        ReloadFolder(source.Path());
        return moved;
    };
    sort_->onMoved = [this](int index, const std::vector<int>&) { ShowSortProgress(index); };
    sort_->onEnded = [this] {
        char text[256];
        std::snprintf(text, sizeof text, LoadQimString(qimstr::SortFinished).c_str(), sort_->TotalMoved());
        SetSortStatus(platform::ToQString(text));
    };
    if (!sort_->Start(home_, folder, std::move(rules))) return false;
    PostSortStep();
    return true;
}

void TQimWindow::PostSortStep() {
    const unsigned run = sortRunId_;
    QMetaObject::invokeMethod(
        this,
        [this, run] {
            if (run == sortRunId_ && sort_ && sort_->RunStep()) PostSortStep();
        },
        Qt::QueuedConnection);
}

void TQimWindow::ShowSortProgress(int index) {
    const SAutoMoveFilesData* rule = sort_->CurrentRule();
    if (!rule) return;
    char text[512];
    std::snprintf(text, sizeof text, LoadQimString(qimstr::SortProgress).c_str(), index + 1, sort_->Count(),
                  rule->pattern.c_str(), sort_->MovedPerRule()[static_cast<std::size_t>(index)]);
    SetSortStatus(platform::ToQString(text));
}

void TQimWindow::SetSortStatus(const QString& text) {
    sortStatus_ = text;
    auto* frame = qobject_cast<QMainWindow*>(window());
    if (!frame) return;
    if (!sortStatusLabel_) {
        sortStatusLabel_ = new QLabel(frame->statusBar());
        sortStatusLabel_->setObjectName("QimSortStatus");
        frame->statusBar()->addPermanentWidget(sortStatusLabel_);
    }
    sortStatusLabel_->setText(text);
}

void TQimWindow::OneShotSort() {
    SAutoMoveFilesData rule;
    if (!EditMoveFilesRule(window(), oneShot_, home_, rule)) return;
    oneShot_ = rule;
    RunSortRules({rule}, shown_);
}

void TQimWindow::EditRuleSet(SSortRuleSet set) {
    SAMFDialog dialog(window(), set, home_);
    dialog.exec();
}
