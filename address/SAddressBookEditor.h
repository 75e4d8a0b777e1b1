// What the address-book editor does below its window: the folder list and
// the folders' entries in memory, the refusals of its commands, and the save
// on OK. Nothing reaches the file before Save. A refusal comes back as the
// text to show (Shift_JIS, from the common library's table).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "address/SAddressArray.h"
#include "address/SAddressFolder.h"
#include "platform/DialogService.h"

struct SAddressBookMessage {
    std::string text;
    platform::MessageIcon icon = platform::MessageIcon::Exclamation;
};
using SAddressBookRefusal = std::optional<SAddressBookMessage>;

class SAddressBookEditor {
public:
    // Reads the folder list; a damaged list gives the message to show.
    SAddressBookRefusal Open();

    const SAddressFolderList& Folders() const { return folders_; }
    // The entries of folder `id`, read on first use; null for an unknown id.
    SAddressArray* Contents(int id);

    // The commands on folders, by index in the folder list. `newId` gets the
    // new folder's id; it starts out of the menu.
    SAddressBookRefusal NewFolder(const std::string& name, int* newId = nullptr);
    SAddressBookRefusal DeleteFolder(int index);
    SAddressBookRefusal RenameFolder(int index, const std::string& name);
    SAddressBookRefusal ToggleMenu(int index);

    // The commands on entries, by row in folder `id`.
    void AddEntry(int id, const SAlias& entry);
    void ReplaceEntry(int id, int row, const SAlias& entry);
    void DeleteEntries(int id, std::vector<int> rows);
    // Copies (moves, with `move`) the rows of folder `from` to the end of folder `to`.
    SAddressBookRefusal CopyEntries(int from, std::vector<int> rows, int to, bool move);
    // Swaps row `row` with its neighbour `row + delta` (delta -1 or 1); false at an end.
    bool MoveEntry(int id, int row, int delta);

    // Deletes the sections of deleted folders, writes the folder list and
    // every changed folder. Everything is checked before the first write.
    SAddressBookRefusal Save();

    // "%s を削除しますか？" with the folder's name.
    std::string DeleteFolderQuestion(int index) const;

private:
    SAddressBookRefusal NameTaken(const std::string& name, int except) const;
    SAddressBookRefusal SpecialFolderRefusal(unsigned reasonId) const;

    SAddressFolderList folders_;
    SAddressArrayList contents_;
};
