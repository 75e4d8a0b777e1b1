// The address-book editor (qimcmd::AddAddress): the address folders on the
// left, the entries of the selected folder on the right. Folders are made,
// renamed, deleted and taken in or out of the alias menu; entries are added,
// edited, deleted, moved up and down and dragged onto another folder (copied,
// or moved in move mode). Everything stays in memory until OK, which saves.
#pragma once

#include <QDialog>
#include <QTreeWidget>
#include <functional>
#include <vector>

#include "address/SAddressBookEditor.h"

class QCheckBox;
class QPushButton;

// The folder list of the editor: it takes entries dragged from the entry list.
class TAddressFolderTree : public QTreeWidget {
    Q_OBJECT

public:
    explicit TAddressFolderTree(QWidget* parent = nullptr);
    // Entries were dropped on the folder of that id.
    std::function<void(int folderId)> onEntriesDropped;
    const QWidget* entrySource = nullptr;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool Accepts(const QDropEvent* event) const;
};

class SEditAddressListDlg : public QDialog {
    Q_OBJECT

public:
    // `editor` has been opened.
    SEditAddressListDlg(QWidget* parent, SAddressBookEditor& editor);

    // The commands of the buttons.
    void NewFolder();
    void DeleteFolder();
    void RenameFolder();
    void ToggleMenu();
    void AddEntry();
    void EditEntry();
    void DeleteEntries();
    void MoveEntry(int delta);
    // The selected entries dropped on folder `folderId`.
    void DropEntriesOn(int folderId);
    // Saves; stays open when the save fails.
    void accept() override;

    // The id of the selected folder.
    int CurrentFolderId() const;
    void SelectFolder(int id);
    void SelectEntries(const std::vector<int>& rows);

    TAddressFolderTree* folders = nullptr;
    QTreeWidget* entries = nullptr;
    QCheckBox* moveMode = nullptr;

private:
    void FillFolders();
    void FillEntries();
    QTreeWidgetItem* FolderItem(int id) const;
    void ShowFolderState(QTreeWidgetItem* item, const SAddressFolder& folder) const;
    int CurrentFolderIndex() const;
    std::vector<int> SelectedRows() const;
    void Show(const SAddressBookRefusal& refusal);
    QPushButton* Button(unsigned textId, QWidget* parent, std::function<void()> action);

    SAddressBookEditor& editor_;
};

// Opens the editor over ALIAS.INI; a damaged folder list is reported instead.
// True when the user saved.
bool RunAddressBookEditor(QWidget* parent);
