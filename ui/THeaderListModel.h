// The header list as a model over the shown folder's in-memory header cache:
// one row per record, never a widget or a copy per mail. The rows are an index
// vector into the cache's array, so sorting moves indexes, not records; the
// list state of a row is read from its file only when the row is drawn.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/SMemCacheFolder.h"
#include "store/SQimComparator.h"

class THeaderListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The drag of selected rows carries their mail numbers in list order, as
    // decimal text separated by blanks, and the folder they come from.
    static constexpr char kMailNumbersMime[] = "application/x-qim-mail-numbers";
    static constexpr char kSourceFolderMime[] = "application/x-qim-mail-folder";

    explicit THeaderListModel(QObject* parent = nullptr);

    // After the cache was loaded anew: rows in the reverse of the array order
    // (the newest record on top), every sort direction back to none.
    void Reset(SMemCacheFolder* folder, bool inInbox, int firstNew);
    // Sorts the rows by `column` under the comparator's present direction;
    // selections follow their mails.
    void SortBy(int column);
    // The list states are read again (after marks changed or a receive).
    void RefreshStates(int firstNew);
    void RefreshState(int number);
    // The From column shows To (the header text and the field follow).
    void SetShowsTo(bool to);
    // The From column is drawn again (the substitution rules changed).
    void RefreshFromColumn();
    // A column after Subject with each mail's size in kilobytes, read through
    // `size` (bytes, -1 unknown) when drawn; an empty function takes it away.
    void SetSizeColumn(std::function<long long(int number)> size);
    bool HasSizeColumn() const { return static_cast<bool>(size_); }

    SQimComparator& Comparator() { return comparator_; }
    const SQimComparator& Comparator() const { return comparator_; }
    SMemCacheFolder* Folder() const { return folder_; }

    int NumberAt(int row) const;
    const SQimMailData* RecordAt(int row) const;
    // Row of mail `number`, -1 when it is not listed.
    int RowOf(int number) const;
    int ListState(int row) const;
    // The From column's text of a record (Shift_JIS): To when the column shows
    // To, else the sender after the From substitution.
    std::string FromColumnText(const SQimMailData& record) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }

    // The five list-state icons, drawn once.
    static const QIcon& StateIcon(int state);

private:
    QString Text(const SQimMailData& record, int column) const;

    SMemCacheFolder* folder_ = nullptr;
    std::vector<int> rows_;              // row -> index into the cache's array
    mutable std::vector<signed char> states_;  // by array index; -1 not read yet
    mutable std::unordered_map<int, int> rowOfNumber_;  // built when first asked, dropped when rows move
    SQimComparator comparator_;
    std::function<long long(int number)> size_;
    bool inInbox_ = false;
    int firstNew_ = 0;
};
