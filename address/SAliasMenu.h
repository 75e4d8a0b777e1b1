// The alias pop-up menu of the compose window's address fields, as data: the
// paste item, the entries of folder 0, a sub-menu for every other folder that
// is in the menu and has entries, and the column breaks. The window turns it
// into its own menu and asks it for the text a chosen item inserts.
#pragma once

#include <string>
#include <vector>

#include "address/SAddressArray.h"
#include "address/SAddressFolder.h"

struct SAliasMenuItem {
    enum class Kind { Command, Separator, SubMenu };
    Kind kind = Kind::Command;
    int id = 0;                         // Command: qimaddr::kPasteCommand or an entry's id
    std::string text;                   // Command: the alias; SubMenu: the folder name
    bool newColumn = false;             // a new column begins before this item
    std::vector<SAliasMenuItem> items;  // SubMenu
};

class SAliasMenu {
public:
    // Reads the folder list and each listed folder's entries afresh; false
    // when the folder list is damaged (the menu then holds what could be read).
    bool Load(int maxRows);
    // Builds from what is given (`contents` holds the folders' entries).
    void Build(const SAddressFolderList& folders, const SAddressArrayList& contents, int maxRows);

    const std::vector<SAliasMenuItem>& Items() const { return items_; }
    // The stored address value of entry item `id`; null for any other id.
    const std::string* AddressOf(int id) const;
    // The text choosing item `id` inserts (the expanded address); false when
    // `id` is no entry or the expansion failed.
    bool Expansion(int id, std::string& text) const;

private:
    void AddEntries(std::vector<SAliasMenuItem>& menu, const SAliasArray& aliases, int maxRows);

    std::vector<SAliasMenuItem> items_;
    std::vector<std::string> addresses_;  // by id - kFirstAliasCommand
};

// What an address field holds after `addition` is put in at its end: with
// ", " between when the field already holds text.
std::string AppendToAddressField(const std::string& field, const std::string& addition);
