#include "address/SAliasMenu.h"

#include "address/SAliasExpand.h"

using namespace qimaddr;

bool SAliasMenu::Load(int maxRows) {
    SAddressFolderList folders;
    const bool ok = folders.Load();
    SAddressArrayList contents;
    for (const SAddressFolder& folder : folders)
        if (!folder.IsNonMenu()) contents.Load(folder.id, true);
    Build(folders, contents, maxRows);
    return ok;
}

void SAliasMenu::AddEntries(std::vector<SAliasMenuItem>& menu, const SAliasArray& aliases, int maxRows) {
    int inThisMenu = 0;
    for (const SAlias& entry : aliases) {
        const int id = kFirstAliasCommand + static_cast<int>(addresses_.size());
        if (id >= kAliasCommandLimit) return;
        SAliasMenuItem item;
        item.id = id;
        item.text = entry.alias;
        item.newColumn = maxRows > 0 && inThisMenu > 0 && inThisMenu % maxRows == 0;
        menu.push_back(std::move(item));
        addresses_.push_back(entry.address);
        ++inThisMenu;
    }
}

void SAliasMenu::Build(const SAddressFolderList& folders, const SAddressArrayList& contents, int maxRows) {
    items_.clear();
    addresses_.clear();
    items_.push_back(SAliasMenuItem{SAliasMenuItem::Kind::Command, kPasteCommand, {}, false, {}});
    bool subMenuSeparated = false;
    for (const SAddressFolder& folder : folders) {
        if (folder.IsNonMenu()) continue;
        const SAddressArray* entries = contents.Find(folder.id);
        if (!entries || entries->aliases.empty()) continue;
        if (folder.id == kSpecialFolderId) {
            items_.push_back(SAliasMenuItem{SAliasMenuItem::Kind::Separator, 0, {}, false, {}});
            AddEntries(items_, entries->aliases, maxRows);
            continue;
        }
        SAliasMenuItem sub{SAliasMenuItem::Kind::SubMenu, 0, folder.name, false, {}};
        AddEntries(sub.items, entries->aliases, maxRows);
        if (sub.items.empty()) continue;  // the ids ran out
        if (!subMenuSeparated) {
            items_.push_back(SAliasMenuItem{SAliasMenuItem::Kind::Separator, 0, {}, false, {}});
            subMenuSeparated = true;
        }
        items_.push_back(std::move(sub));
    }
}

const std::string* SAliasMenu::AddressOf(int id) const {
    const int index = id - kFirstAliasCommand;
    if (index < 0 || index >= static_cast<int>(addresses_.size())) return nullptr;
    return &addresses_[static_cast<std::size_t>(index)];
}

bool SAliasMenu::Expansion(int id, std::string& text) const {
    const std::string* address = AddressOf(id);
    text.clear();
    return address && ExpandAliasAddress(*address, text) && !text.empty();
}

std::string AppendToAddressField(const std::string& field, const std::string& addition) {
    std::string out = field;
    if (!out.empty()) out.append(", ");
    out.append(addition);
    return out;
}
