#include "ui/HeaderListView.h"

#include <QHeaderView>
#include <QTreeView>

#include "config/QimLayoutSettings.h"
#include "store/QimStoreCodes.h"
#include "ui/THeaderListModel.h"

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
