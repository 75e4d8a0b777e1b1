#include "ui/SEditAddressListDlg.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"
#include "ui/DialogButtons.h"
#include "ui/SAddAliasDlg.h"

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

namespace {

QString Text(unsigned id) { return platform::ToQString(LoadQimString(id)); }

// A folder out of the menu shows its icon greyed.
QIcon FolderIcon(bool inMenu) {
    const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    if (inMenu) return icon;
    return QIcon(icon.pixmap(16, 16, QIcon::Disabled));
}

}  // namespace

TAddressFolderTree::TAddressFolderTree(QWidget* parent) : QTreeWidget(parent) {
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::DropOnly);
}

bool TAddressFolderTree::Accepts(const QDropEvent* event) const {
    return entrySource && event->source() == entrySource && itemAt(event->position().toPoint());
}

void TAddressFolderTree::dragEnterEvent(QDragEnterEvent* event) {
    if (entrySource && event->source() == entrySource) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TAddressFolderTree::dragMoveEvent(QDragMoveEvent* event) {
    if (Accepts(event)) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TAddressFolderTree::dropEvent(QDropEvent* event) {
    QTreeWidgetItem* target = Accepts(event) ? itemAt(event->position().toPoint()) : nullptr;
    if (!target) {
        event->ignore();
        return;
    }
    // The entry list keeps its rows: the editor copies or moves them itself.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (onEntriesDropped) onEntriesDropped(target->data(0, Qt::UserRole).toInt());
}

SEditAddressListDlg::SEditAddressListDlg(QWidget* parent, SAddressBookEditor& editor)
    : QDialog(parent), editor_(editor) {
    setObjectName("QimAddressBookDlg");
    setWindowTitle(Text(qimstr::AddressBookCaption));
    folders = new TAddressFolderTree(this);
    folders->setObjectName("QimAddressFolders");
    folders->setHeaderHidden(true);
    folders->setRootIsDecorated(false);
    entries = new QTreeWidget(this);
    entries->setObjectName("QimAddressEntries");
    entries->setHeaderLabels({Text(qimstr::AliasColumn), Text(qimstr::AddressColumn), Text(qimstr::CommentColumn)});
    entries->setRootIsDecorated(false);
    entries->setSelectionMode(QAbstractItemView::ExtendedSelection);
    entries->setDragEnabled(true);
    entries->setDragDropMode(QAbstractItemView::DragOnly);
    entries->setColumnWidth(0, 140);
    entries->setColumnWidth(1, 240);
    folders->entrySource = entries->viewport();
    folders->onEntriesDropped = [this](int id) { DropEntriesOn(id); };

    auto* folderButtons = new QVBoxLayout;
    folderButtons->addWidget(folders, 1);
    folderButtons->addWidget(Button(qimstr::NewFolderButton, this, [this] { NewFolder(); }));
    folderButtons->addWidget(Button(qimstr::RenameFolderButton, this, [this] { RenameFolder(); }));
    folderButtons->addWidget(Button(qimstr::DeleteFolderButton, this, [this] { DeleteFolder(); }));
    folderButtons->addWidget(Button(qimstr::MenuToggleButton, this, [this] { ToggleMenu(); }));

    auto* entryButtons = new QHBoxLayout;
    entryButtons->addWidget(Button(qimstr::AddButton, this, [this] { AddEntry(); }));
    entryButtons->addWidget(Button(qimstr::EditButton, this, [this] { EditEntry(); }));
    entryButtons->addWidget(Button(qimstr::DeleteButton, this, [this] { DeleteEntries(); }));
    entryButtons->addWidget(Button(qimstr::UpButton, this, [this] { MoveEntry(-1); }));
    entryButtons->addWidget(Button(qimstr::DownButton, this, [this] { MoveEntry(1); }));
    entryButtons->addStretch(1);
    moveMode = new QCheckBox(Text(qimstr::MoveModeCheck), this);
    entryButtons->addWidget(moveMode);
    auto* entryPane = new QVBoxLayout;
    entryPane->addWidget(entries, 1);
    entryPane->addLayout(entryButtons);

    auto* panes = new QHBoxLayout;
    panes->addLayout(folderButtons, 1);
    panes->addLayout(entryPane, 3);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panes, 1);
    layout->addWidget(OkCancel(this));
    resize(760, 420);

    connect(folders, &QTreeWidget::currentItemChanged, this, [this] { FillEntries(); });
    connect(entries, &QTreeWidget::itemDoubleClicked, this, [this] { EditEntry(); });
    FillFolders();
    SelectFolder(0);
}

QPushButton* SEditAddressListDlg::Button(unsigned textId, QWidget* parent, std::function<void()> action) {
    auto* button = new QPushButton(Text(textId), parent);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, std::move(action));
    return button;
}

void SEditAddressListDlg::ShowFolderState(QTreeWidgetItem* item, const SAddressFolder& folder) const {
    item->setText(0, platform::ToQString(folder.name));
    item->setIcon(0, FolderIcon(!folder.IsNonMenu()));
    item->setData(0, Qt::UserRole, folder.id);
}

void SEditAddressListDlg::FillFolders() {
    folders->clear();
    for (const SAddressFolder& folder : editor_.Folders()) {
        if (folder.IsDeleted()) continue;
        ShowFolderState(new QTreeWidgetItem(folders), folder);
    }
}

QTreeWidgetItem* SEditAddressListDlg::FolderItem(int id) const {
    for (int i = 0; i < folders->topLevelItemCount(); ++i)
        if (folders->topLevelItem(i)->data(0, Qt::UserRole).toInt() == id) return folders->topLevelItem(i);
    return nullptr;
}

int SEditAddressListDlg::CurrentFolderId() const {
    const QTreeWidgetItem* item = folders->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : -1;
}

int SEditAddressListDlg::CurrentFolderIndex() const {
    if (!folders->currentItem()) return -1;
    return editor_.Folders().FindById(CurrentFolderId());
}

void SEditAddressListDlg::SelectFolder(int id) {
    if (QTreeWidgetItem* item = FolderItem(id)) folders->setCurrentItem(item);
}

void SEditAddressListDlg::FillEntries() {
    entries->clear();
    const SAddressArray* contents = folders->currentItem() ? editor_.Contents(CurrentFolderId()) : nullptr;
    if (!contents) return;
    for (const SAlias& entry : contents->aliases)
        new QTreeWidgetItem(entries, {platform::ToQString(entry.alias), platform::ToQString(entry.address),
                                      platform::ToQString(entry.comment)});
}

std::vector<int> SEditAddressListDlg::SelectedRows() const {
    std::vector<int> rows;
    for (QTreeWidgetItem* item : entries->selectedItems()) rows.push_back(entries->indexOfTopLevelItem(item));
    std::sort(rows.begin(), rows.end());
    return rows;
}

void SEditAddressListDlg::SelectEntries(const std::vector<int>& rows) {
    entries->clearSelection();
    for (int row : rows)
        if (QTreeWidgetItem* item = entries->topLevelItem(row)) item->setSelected(true);
    if (!rows.empty()) entries->setCurrentItem(entries->topLevelItem(rows.back()), 0, QItemSelectionModel::NoUpdate);
}

void SEditAddressListDlg::Show(const SAddressBookRefusal& refusal) {
    if (refusal) QimMessageBox(this, refusal->text.c_str(), refusal->icon);
}

void SEditAddressListDlg::NewFolder() {
    platform::InputBoxRequest request;
    request.parent = this;
    request.caption = LoadStringCmmnDll(cmmnstr::AddressFolderInput);
    request.prompt = LoadStringCmmnDll(cmmnstr::NewFolderName);
    request.maxLength = qimaddr::kFolderNameMax;
    std::string name;
    if (!platform::Dialogs().InputBox(request, name) || name.empty()) return;
    int id = -1;
    if (SAddressBookRefusal refusal = editor_.NewFolder(name, &id)) return Show(refusal);
    const SAddressFolder& folder = editor_.Folders()[static_cast<std::size_t>(editor_.Folders().FindById(id))];
    ShowFolderState(new QTreeWidgetItem(folders), folder);
    SelectFolder(id);
}

void SEditAddressListDlg::DeleteFolder() {
    const int index = CurrentFolderIndex();
    if (index < 0) return;
    // Folder 0 is refused before anything is asked.
    if (index == 0) return Show(editor_.DeleteFolder(0));
    if (QimMessageBox(this, editor_.DeleteFolderQuestion(index).c_str(), MessageIcon::Question,
                      MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    const int id = CurrentFolderId();
    if (SAddressBookRefusal refusal = editor_.DeleteFolder(index)) return Show(refusal);
    delete FolderItem(id);
    SelectFolder(0);
}

void SEditAddressListDlg::RenameFolder() {
    const int index = CurrentFolderIndex();
    if (index < 0) return;
    if (index == 0) return Show(editor_.RenameFolder(0, std::string()));
    platform::InputBoxRequest request;
    request.parent = this;
    request.caption = LoadStringCmmnDll(cmmnstr::AddressFolderInput);
    request.prompt = LoadStringCmmnDll(cmmnstr::NewFolderName);
    request.text = editor_.Folders()[static_cast<std::size_t>(index)].name;
    request.maxLength = qimaddr::kFolderNameMax;
    std::string name;
    if (!platform::Dialogs().InputBox(request, name) || name.empty()) return;
    if (SAddressBookRefusal refusal = editor_.RenameFolder(index, name)) return Show(refusal);
    ShowFolderState(folders->currentItem(), editor_.Folders()[static_cast<std::size_t>(index)]);
}

void SEditAddressListDlg::ToggleMenu() {
    const int index = CurrentFolderIndex();
    if (index < 0) return;
    if (SAddressBookRefusal refusal = editor_.ToggleMenu(index)) return Show(refusal);
    ShowFolderState(folders->currentItem(), editor_.Folders()[static_cast<std::size_t>(index)]);
}

void SEditAddressListDlg::AddEntry() {
    const int id = CurrentFolderId();
    SAlias entry;
    if (id < 0 || !EditAlias(this, SAlias{}, entry)) return;
    editor_.AddEntry(id, entry);
    FillEntries();
    SelectEntries({entries->topLevelItemCount() - 1});
}

void SEditAddressListDlg::EditEntry() {
    const int id = CurrentFolderId();
    const std::vector<int> rows = SelectedRows();
    SAddressArray* contents = id >= 0 ? editor_.Contents(id) : nullptr;
    if (!contents || rows.empty()) return;
    const int row = rows.front();
    SAlias entry;
    if (!EditAlias(this, contents->aliases[static_cast<std::size_t>(row)], entry)) return;
    editor_.ReplaceEntry(id, row, entry);
    FillEntries();
    SelectEntries({row});
}

void SEditAddressListDlg::DeleteEntries() {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    if (QimMessageBox(this, LoadStringCmmnDll(cmmnstr::ConfirmDeleteAddresses).c_str(), MessageIcon::Question,
                      MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    editor_.DeleteEntries(CurrentFolderId(), rows);
    FillEntries();
}

void SEditAddressListDlg::MoveEntry(int delta) {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1) return;
    if (!editor_.MoveEntry(CurrentFolderId(), rows.front(), delta)) return;
    FillEntries();
    SelectEntries({rows.front() + delta});
}

void SEditAddressListDlg::DropEntriesOn(int folderId) {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty()) return;
    if (SAddressBookRefusal refusal = editor_.CopyEntries(CurrentFolderId(), rows, folderId, moveMode->isChecked()))
        return Show(refusal);
    FillEntries();
}

void SEditAddressListDlg::accept() {
    if (SAddressBookRefusal refusal = editor_.Save()) return Show(refusal);
    QDialog::accept();
}

bool RunAddressBookEditor(QWidget* parent) {
    SAddressBookEditor editor;
    if (SAddressBookRefusal refusal = editor.Open()) {
        QimMessageBox(parent, refusal->text.c_str(), refusal->icon);
        return false;
    }
    SEditAddressListDlg dialog(parent, editor);
    return dialog.exec() == QDialog::Accepted;
}
