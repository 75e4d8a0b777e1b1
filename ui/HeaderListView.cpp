#include "ui/HeaderListView.h"

#include <QHeaderView>
#include <QSplitter>
#include <QVBoxLayout>
#include <QItemSelection>
#include <QTreeView>
#include <algorithm>

#include "config/QimLayoutSettings.h"
#include "config/SSettingData.h"
#include "store/QimStoreCodes.h"
#include "ui/THeaderListModel.h"
#include "ui/QtFonts.h"

QTreeView* MakeHeaderListView(const QString& objectName, THeaderListModel*& model, bool stretchLastColumn) {
    auto* list = new QTreeView;
    list->setObjectName(objectName);
    model = new THeaderListModel(list);
    list->setModel(model);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setItemsExpandable(false);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setDragEnabled(true);
    list->setDragDropMode(QAbstractItemView::DragOnly);
    ApplyListFont(*list);
    list->setDefaultDropAction(Qt::MoveAction);
    list->setSortingEnabled(false);
    QHeaderView* header = list->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setStretchLastSection(stretchLastColumn);
    header->setSectionResizeMode(QHeaderView::Interactive);
    for (int c = 0; c < qimstore::kColumnCount; ++c) list->setColumnWidth(c, kBuiltInColumnWidths[c]);
    return list;
}

std::vector<int> SelectedHeaderNumbers(const QTreeView& list, const THeaderListModel& model) {
    std::vector<int> rows;
    for (const QModelIndex& index : list.selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    std::vector<int> numbers;
    numbers.reserve(rows.size());
    for (int row : rows) numbers.push_back(model.NumberAt(row));
    return numbers;
}

void SelectHeaderNumbers(QTreeView& list, const THeaderListModel& model, const std::vector<int>& numbers) {
    QItemSelection selection;
    for (int number : numbers) {
        const int row = model.RowOf(number);
        if (row >= 0) selection.select(model.index(row, 0), model.index(row, model.columnCount() - 1));
    }
    list.selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QWidget* PlaceListAndViewer(QSplitter* listPane, QTreeView* list, QWidget* viewer, int docking, QWidget* owner,
                            const QString& windowName) {
    if (docking == kViewerSeparate) {
        auto* window = new QWidget(owner, Qt::Window);
        window->setObjectName(windowName);
        window->setWindowTitle("Qim");
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(viewer);
        window->resize(640, 480);
        listPane->addWidget(list);
        return window;
    }
    const bool viewerOnTop = docking == kViewerUpperRight;
    if (viewerOnTop) listPane->addWidget(viewer);
    listPane->addWidget(list);
    if (!viewerOnTop) listPane->addWidget(viewer);
    return nullptr;
}
