// The search commands of the local main window: the list's From (To) and
// Subject texts, and the mail files of the shown folder through SFindMail, in
// the order the list shows them.
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QMainWindow>
#include <QShortcut>
#include <QStatusBar>
#include <QTreeView>
#include <cstdio>

#include "common/SFindMail.h"
#include "config/QimCommandIds.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/DialogService.h"
#include "platform/qt/QtText.h"
#include "store/QimStoreCodes.h"
#include "ui/TFindInListDlg.h"
#include "ui/TFindMailDlg.h"
#include "ui/THeaderListModel.h"
#include "ui/TMailViewPane.h"
#include "ui/TQimWindow.h"
#include "ui/WaitCursor.h"

using namespace qimstore;

void TQimWindow::RegisterSearchCommands() {
    for (const int id : {qimcmd::FindFrom, qimcmd::FindSubject}) {
        commands_.Add(id, [this, id] {
            const bool from = id == qimcmd::FindFrom;
            TFindInListDlg dialog(this, from ? TFindInListDlg::Column::From : TFindInListDlg::Column::Subject);
            if (dialog.exec() == QDialog::Accepted) FindInList(from ? kColumnFrom : kColumnSubject, dialog.Condition());
        });
    }
    for (const bool all : {false, true}) {
        commands_.Add(all ? qimcmd::FindAllAndMark : qimcmd::FindInFolder, [this, all] {
            TFindMailDlg dialog(this, TFindMailDlg::Kind::Local);
            if (dialog.exec() != QDialog::Accepted) return;
            if (all) FindAllMails(dialog.Condition());
            else FindMail(dialog.Condition());
        });
    }
    commands_.AddWhen(qimcmd::FindNext, [this] { return searched_; }, [this] { FindNextMail(); });
    // The item's Ctrl+F3 while the focus is anywhere in the window.
    auto* next = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F3), this);
    next->setContext(Qt::WidgetWithChildrenShortcut);
    connect(next, &QShortcut::activated, this, [this] { FindNextMail(); });
}

int TQimWindow::FindInList(int column, const SFindCondition& condition) {
    std::vector<int> rows;
    {
        WaitCursor wait;
        for (int row = 0; row < model_->rowCount(); ++row) {
            const SQimMailData* record = model_->RecordAt(row);
            if (!record) continue;
            const std::string text = column == kColumnFrom ? model_->FromColumnText(*record) : record->header.subject;
            if (condition.Find(text.c_str()) >= 0) rows.push_back(row);
        }
    }
    SelectFoundRows(rows);
    if (!rows.empty()) ShowMail(model_->NumberAt(rows.front()));
    ReportFound(static_cast<int>(rows.size()));
    return static_cast<int>(rows.size());
}

bool TQimWindow::FindMail(const SFindMailCondition& condition) {
    lastSearch_.CopyToMe(condition);
    searched_ = true;
    return FindNextMail();
}

bool TQimWindow::FindNextMail() {
    if (!searched_) return false;
    SFindMail finder;
    if (!finder.NewFindInMail(lastSearch_.Where())) return false;
    int found = -1;
    {
        WaitCursor wait;
        // After the mail the user is at; from the top when no row is chosen.
        const QModelIndex current = list_->currentIndex();
        const bool at = current.isValid() && list_->selectionModel()->isRowSelected(current.row(), QModelIndex());
        for (int row = at ? current.row() + 1 : 0; row < model_->rowCount(); ++row) {
            if (finder.Find(cache_.MailPath(model_->NumberAt(row)).c_str(), lastSearch_)) {
                found = row;
                break;
            }
        }
    }
    if (found < 0) {
        ReportFound(0);
        return false;
    }
    ShowStatus(std::string());
    SelectFoundRows({found});
    ShowMail(model_->NumberAt(found));
    return true;
}

int TQimWindow::FindAllMails(const SFindMailCondition& condition) {
    // What was found all at once can be stepped through with the next search.
    lastSearch_.CopyToMe(condition);
    searched_ = true;
    SFindMail finder;
    if (!finder.NewFindInMail(condition.Where())) return 0;
    std::vector<int> rows;
    {
        WaitCursor wait;
        for (int row = 0; row < model_->rowCount(); ++row)
            if (finder.Find(cache_.MailPath(model_->NumberAt(row)).c_str(), condition)) rows.push_back(row);
    }
    SelectFoundRows(rows);
    ReportFound(static_cast<int>(rows.size()));
    return static_cast<int>(rows.size());
}

void TQimWindow::SelectFoundRows(const std::vector<int>& rows) {
    if (rows.empty()) return;
    // Runs of neighbouring rows as one range each: a folder of thousands
    // found stays one quick selection.
    QItemSelection selection;
    const int last = model_->columnCount() - 1;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1) ++j;
        selection.select(model_->index(rows[i], 0), model_->index(rows[j], last));
        i = j + 1;
    }
    // The mail to show is the caller's choice, not the selection's.
    showingMail_ = true;
    QItemSelectionModel* model = list_->selectionModel();
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    model->setCurrentIndex(model_->index(rows.front(), 0), QItemSelectionModel::NoUpdate);
    showingMail_ = false;
    list_->scrollTo(model_->index(rows.front(), 0));
}

void TQimWindow::ReportFound(int count) {
    if (count == 0) {
        platform::Dialogs().Beep(platform::BeepKind::Exclamation);
        ShowStatus(LoadQimString(qimstr::NothingFound));
        return;
    }
    char line[128];
    std::snprintf(line, sizeof line, LoadQimString(qimstr::FoundMailCount).c_str(), count);
    ShowStatus(line);
}

void TQimWindow::ShowStatus(const std::string& text) {
    if (auto* frame = qobject_cast<QMainWindow*>(window())) frame->statusBar()->showMessage(platform::ToQString(text));
}
