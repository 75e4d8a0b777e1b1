#include "ui/THeaderListModel.h"

#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <array>

#include "app/TQimApp.h"
#include "imap/QimPSizeColumn.h"
#include "platform/qt/QtText.h"
#include "store/QimStoreCodes.h"
#include "store/SQimFolder.h"

using namespace qimstore;

namespace {

// An envelope in the state's colours: a filled flap for unread mail, a red
// corner for important mail, a star for mail that has just come in.
QIcon DrawStateIcon(int state) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const bool unread = state == kStateNew || state == kStateUnread || state == kStateImportantUnread;
    const bool important = state == kStateImportantRead || state == kStateImportantUnread;
    const QRectF body(1.5, 3.5, 13, 9);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(unread ? QColor(255, 236, 140) : QColor(245, 245, 245));
    p.drawRect(body);
    QPolygonF flap;
    flap << body.topLeft() << QPointF(8, 9) << body.topRight();
    p.setBrush(unread ? QColor(235, 190, 40) : Qt::NoBrush);
    p.drawPolygon(flap);
    if (important) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 30, 30));
        p.drawEllipse(QPointF(12.5, 11.5), 3, 3);
    }
    if (state == kStateNew) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 120, 220));
        p.drawEllipse(QPointF(3.5, 3.5), 3, 3);
    }
    p.end();
    return QIcon(pixmap);
}

}  // namespace

THeaderListModel::THeaderListModel(QObject* parent) : QAbstractTableModel(parent) {}

const QIcon& THeaderListModel::StateIcon(int state) {
    static const std::array<QIcon, kStateCount> icons = [] {
        std::array<QIcon, kStateCount> all;
        for (int s = 0; s < kStateCount; ++s) all[static_cast<std::size_t>(s)] = DrawStateIcon(s);
        return all;
    }();
    return icons[static_cast<std::size_t>(std::clamp(state, 0, kStateCount - 1))];
}

void THeaderListModel::Reset(SMemCacheFolder* folder, bool inInbox, int firstNew) {
    beginResetModel();
    folder_ = folder;
    inInbox_ = inInbox;
    firstNew_ = firstNew;
    comparator_.Reset();
    const int count = folder_ ? folder_->Count() : 0;
    rows_.resize(static_cast<std::size_t>(count));
    // Each record goes in at the top: the last record of the file is row 0.
    for (int i = 0; i < count; ++i) rows_[static_cast<std::size_t>(i)] = count - 1 - i;
    states_.assign(static_cast<std::size_t>(count), -1);
    rowOfNumber_.clear();
    endResetModel();
}

void THeaderListModel::SortBy(int column) {
    if (!folder_ || rows_.empty()) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList persistent = persistentIndexList();
    std::vector<int> persistentRecords;
    persistentRecords.reserve(static_cast<std::size_t>(persistent.size()));
    for (const QModelIndex& index : persistent)
        persistentRecords.push_back(index.isValid() ? rows_[static_cast<std::size_t>(index.row())] : -1);

    const std::vector<SQimMailData>& records = folder_->Records();
    rowOfNumber_.clear();
    // Through the comparator's own sort, which orders a large folder by keys
    // made once per row (dates as numbers, subjects past their tags).
    std::vector<const SQimMailData*> sorted;
    sorted.reserve(rows_.size());
    for (int record : rows_) sorted.push_back(&records[static_cast<std::size_t>(record)]);
    comparator_.Sort(sorted, column);
    for (std::size_t row = 0; row < sorted.size(); ++row) rows_[row] = static_cast<int>(sorted[row] - records.data());

    std::vector<int> rowOfRecord(records.size());
    for (std::size_t row = 0; row < rows_.size(); ++row) rowOfRecord[static_cast<std::size_t>(rows_[row])] = int(row);
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (qsizetype i = 0; i < persistent.size(); ++i) {
        const int record = persistentRecords[static_cast<std::size_t>(i)];
        moved.push_back(record < 0 ? QModelIndex()
                                   : index(rowOfRecord[static_cast<std::size_t>(record)], persistent[i].column()));
    }
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void THeaderListModel::RefreshStates(int firstNew) {
    firstNew_ = firstNew;
    std::fill(states_.begin(), states_.end(), static_cast<signed char>(-1));
    if (!rows_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DecorationRole});
}

void THeaderListModel::RefreshState(int number) {
    const int row = RowOf(number);
    if (row < 0) return;
    states_[static_cast<std::size_t>(rows_[static_cast<std::size_t>(row)])] = -1;
    emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole});
}

void THeaderListModel::SetShowsTo(bool to) {
    if (comparator_.ShowsTo() == to) return;
    comparator_.SetShowsTo(to);
    emit headerDataChanged(Qt::Horizontal, kColumnFrom, kColumnFrom);
    if (!rows_.empty()) emit dataChanged(index(0, kColumnFrom), index(rowCount() - 1, kColumnFrom));
}

void THeaderListModel::RefreshFromColumn() {
    if (!rows_.empty()) emit dataChanged(index(0, kColumnFrom), index(rowCount() - 1, kColumnFrom), {Qt::DisplayRole});
}

void THeaderListModel::SetSizeColumn(std::function<long long(int number)> size) {
    if (!size && !size_) return;
    beginResetModel();
    size_ = std::move(size);
    endResetModel();
}

int THeaderListModel::NumberAt(int row) const {
    const SQimMailData* record = RecordAt(row);
    return record ? record->number : 0;
}

const SQimMailData* THeaderListModel::RecordAt(int row) const {
    if (!folder_ || row < 0 || row >= rowCount()) return nullptr;
    return &folder_->Record(rows_[static_cast<std::size_t>(row)]);
}

int THeaderListModel::RowOf(int number) const {
    if (rowOfNumber_.empty() && !rows_.empty()) {
        rowOfNumber_.reserve(rows_.size());
        for (std::size_t row = 0; row < rows_.size(); ++row)
            rowOfNumber_.emplace(folder_->Record(rows_[row]).number, static_cast<int>(row));
    }
    const auto it = rowOfNumber_.find(number);
    return it == rowOfNumber_.end() ? -1 : it->second;
}

int THeaderListModel::ListState(int row) const {
    const SQimMailData* record = RecordAt(row);
    if (!record) return kStateRead;
    signed char& state = states_[static_cast<std::size_t>(rows_[static_cast<std::size_t>(row)])];
    if (state < 0)
        state = static_cast<signed char>(
            MailListState(folder_->GetMarks(record->number), inInbox_, record->number, firstNew_));
    return state;
}

int THeaderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int THeaderListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumnCount + (size_ ? 1 : 0);
}

std::string THeaderListModel::FromColumnText(const SQimMailData& record) const {
    if (comparator_.ShowsTo()) return record.header.to;
    // The sender as the From substitution rules of the application show it.
    if (const TQimApp* app = TQimApp::Instance()) return app->SubsFrom().Substitute(record.header.from);
    return record.header.from;
}

QString THeaderListModel::Text(const SQimMailData& record, int column) const {
    switch (column) {
    case kColumnNumber:
        return QString::number(record.number);
    case kColumnDate:
        return platform::ToQString(record.header.date);
    case kColumnFrom:
        return platform::ToQString(FromColumnText(record));
    case kColumnSubject:
        return platform::ToQString(record.header.subject);
    case qimimap::kSizeColumn:
        return size_ ? platform::ToQString(qimimap::SizeColumnText(size_(record.number))) : QString();
    default:
        return QString();
    }
}

QVariant THeaderListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return QVariant();
    const SQimMailData* record = RecordAt(index.row());
    if (!record) return QVariant();
    if (role == Qt::DisplayRole) return Text(*record, index.column());
    if (role == Qt::DecorationRole && index.column() == kColumnNumber) return StateIcon(ListState(index.row()));
    if (role == Qt::TextAlignmentRole && (index.column() == kColumnNumber || index.column() == qimimap::kSizeColumn))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant THeaderListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    switch (section) {
    case kColumnNumber:
        return QStringLiteral("No.");
    case kColumnDate:
        return QStringLiteral("Date");
    case kColumnFrom:
        return comparator_.ShowsTo() ? QStringLiteral("To") : QStringLiteral("From");
    case kColumnSubject:
        return QStringLiteral("Subject");
    case qimimap::kSizeColumn:
        return size_ ? QVariant(platform::ToQString(qimimap::SizeColumnHeader())) : QVariant();
    default:
        return QVariant();
    }
}

Qt::ItemFlags THeaderListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList THeaderListModel::mimeTypes() const { return {QString::fromLatin1(kMailNumbersMime)}; }

QMimeData* THeaderListModel::mimeData(const QModelIndexList& indexes) const {
    std::vector<int> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QByteArray numbers;
    for (int row : rows) {
        if (!numbers.isEmpty()) numbers += ' ';
        numbers += QByteArray::number(NumberAt(row));
    }
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kMailNumbersMime), numbers);
    if (folder_) mime->setData(QString::fromLatin1(kSourceFolderMime), QByteArray::fromStdString(folder_->Path()));
    return mime;
}
