#include "address/SAddressBookEditor.h"

#include <algorithm>

#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/SNotice.h"

using namespace qimaddr;

namespace {

SAddressBookMessage Library(unsigned id, platform::MessageIcon icon = platform::MessageIcon::Exclamation) {
    return SAddressBookMessage{LoadStringCmmnDll(id), icon};
}

void SortUnique(std::vector<int>& rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
}

}  // namespace

SAddressBookRefusal SAddressBookEditor::Open() {
    contents_.clear();
    if (!folders_.Load()) return Library(cmmnstr::SettingsBroken, platform::MessageIcon::Stop);
    return std::nullopt;
}

SAddressArray* SAddressBookEditor::Contents(int id) {
    if (SAddressArray* loaded = contents_.Find(id)) return loaded;
    if (folders_.FindById(id) < 0) return nullptr;
    return &contents_.Load(id, false);
}

SAddressBookRefusal SAddressBookEditor::NameTaken(const std::string& name, int except) const {
    const int at = folders_.FindByName(name, true);
    if (at >= 0 && at != except) return Library(cmmnstr::FolderExists);
    return std::nullopt;
}

SAddressBookRefusal SAddressBookEditor::SpecialFolderRefusal(unsigned reasonId) const {
    std::string format = LoadStringCmmnDll(cmmnstr::SpecialFolder);
    format.append(LoadStringCmmnDll(reasonId));
    return SAddressBookMessage{FormatNotice(format, {folders_[0].name}), platform::MessageIcon::Exclamation};
}

SAddressBookRefusal SAddressBookEditor::NewFolder(const std::string& name, int* newId) {
    if (SAddressBookRefusal taken = NameTaken(name, -1)) return taken;
    const int id = folders_.NewFolder(name, kNonMenu);
    if (id < 0) return Library(cmmnstr::CannotRegisterMore);
    if (newId) *newId = id;
    return std::nullopt;
}

SAddressBookRefusal SAddressBookEditor::DeleteFolder(int index) {
    if (index <= 0) return SpecialFolderRefusal(cmmnstr::CannotDelete);
    if (index >= static_cast<int>(folders_.size())) return std::nullopt;
    folders_[static_cast<std::size_t>(index)].flags |= kDeleted;
    return std::nullopt;
}

SAddressBookRefusal SAddressBookEditor::RenameFolder(int index, const std::string& name) {
    if (index <= 0) return SpecialFolderRefusal(cmmnstr::CannotRename);
    if (index >= static_cast<int>(folders_.size())) return std::nullopt;
    if (SAddressBookRefusal taken = NameTaken(name, index)) return taken;
    folders_[static_cast<std::size_t>(index)].name = name;
    return std::nullopt;
}

SAddressBookRefusal SAddressBookEditor::ToggleMenu(int index) {
    if (index <= 0) return SpecialFolderRefusal(cmmnstr::CannotSetNonMenu);
    if (index >= static_cast<int>(folders_.size())) return std::nullopt;
    folders_[static_cast<std::size_t>(index)].flags ^= kNonMenu;
    return std::nullopt;
}

void SAddressBookEditor::AddEntry(int id, const SAlias& entry) {
    if (SAddressArray* contents = Contents(id)) {
        contents->aliases.push_back(entry);
        contents->MarkChanged();
    }
}

void SAddressBookEditor::ReplaceEntry(int id, int row, const SAlias& entry) {
    SAddressArray* contents = Contents(id);
    if (!contents || row < 0 || row >= static_cast<int>(contents->aliases.size())) return;
    contents->aliases[static_cast<std::size_t>(row)] = entry;
    contents->MarkChanged();
}

void SAddressBookEditor::DeleteEntries(int id, std::vector<int> rows) {
    SAddressArray* contents = Contents(id);
    if (!contents) return;
    SortUnique(rows);
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        if (*it >= 0 && *it < static_cast<int>(contents->aliases.size()))
            contents->aliases.erase(contents->aliases.begin() + *it);
    contents->MarkChanged();
}

SAddressBookRefusal SAddressBookEditor::CopyEntries(int from, std::vector<int> rows, int to, bool move) {
    if (from == to) return Library(cmmnstr::SameFolderMove);
    // Loading one may move the other in memory: both are looked up afterwards.
    if (!Contents(from) || !Contents(to)) return std::nullopt;
    SAddressArray* source = contents_.Find(from);
    SAddressArray* target = contents_.Find(to);
    SortUnique(rows);
    for (int row : rows)
        if (row >= 0 && row < static_cast<int>(source->aliases.size()))
            target->aliases.push_back(source->aliases[static_cast<std::size_t>(row)]);
    target->MarkChanged();
    if (move) DeleteEntries(from, rows);
    return std::nullopt;
}

bool SAddressBookEditor::MoveEntry(int id, int row, int delta) {
    SAddressArray* contents = Contents(id);
    const int other = row + delta;
    if (!contents || row < 0 || other < 0 || row >= static_cast<int>(contents->aliases.size()) ||
        other >= static_cast<int>(contents->aliases.size()))
        return false;
    std::swap(contents->aliases[static_cast<std::size_t>(row)], contents->aliases[static_cast<std::size_t>(other)]);
    contents->MarkChanged();
    return true;
}

SAddressBookRefusal SAddressBookEditor::Save() {
    const SAddressBookMessage cannotWrite = Library(cmmnstr::CannotWriteOut, platform::MessageIcon::Stop);
    for (const SAddressFolder& folder : folders_)
        if (!folder.IsDeleted() && folder.name.size() > static_cast<std::size_t>(kFolderNameMax)) return cannotWrite;
    for (const SAddressArray& contents : contents_)
        for (const SAlias& entry : contents.aliases)
            if (!entry.FitsStoredForm()) return cannotWrite;
    bool ok = true;
    for (int i = static_cast<int>(folders_.size()) - 1; i > 0; --i) {
        const SAddressFolder folder = folders_[static_cast<std::size_t>(i)];
        if (!folder.IsDeleted()) continue;
        if (!contents_.Delete(folder.id)) ok = false;
        folders_.erase(folders_.begin() + i);
    }
    if (!folders_.Save()) ok = false;
    for (SAddressArray& contents : contents_) {
        if (!contents.IsChanged()) continue;
        if (contents.Save()) {
            contents.state &= ~kContentsChanged;
        } else {
            ok = false;
        }
    }
    if (!ok) return cannotWrite;
    return std::nullopt;
}

std::string SAddressBookEditor::DeleteFolderQuestion(int index) const {
    const std::string name = index >= 0 && index < static_cast<int>(folders_.size())
                                 ? folders_[static_cast<std::size_t>(index)].name
                                 : std::string();
    return FormatNotice(LoadStringCmmnDll(cmmnstr::ConfirmDelete), {name});
}
