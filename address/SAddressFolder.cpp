#include "address/SAddressFolder.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <set>

#include "address/SAliasKeys.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimProfile.h"

using namespace qimaddr;

namespace {

constexpr const char* kFolderKey = "F";

SAddressFolder SpecialFolder() {
    SAddressFolder folder;
    folder.id = kSpecialFolderId;
    folder.name = LoadQimString(qimstr::SpecialAddressFolder);
    return folder;
}

// A decimal number that fills [begin, end) and fits an int.
bool ParseInt(const char* begin, const char* end, long& value) {
    if (begin == end) return false;
    errno = 0;
    char* stop = nullptr;
    value = std::strtol(begin, &stop, 10);
    return errno == 0 && stop == end && value >= INT_MIN && value <= INT_MAX;
}

}  // namespace

SAddressFolderList::SAddressFolderList() { push_back(SpecialFolder()); }

bool ParseFolderValue(const char* value, SAddressFolder& folder) {
    const char* idEnd = value;
    while (*idEnd && *idEnd != ' ') ++idEnd;
    if (*idEnd != ' ') return false;
    const char* bitBegin = idEnd + 1;
    const char* bitEnd = bitBegin;
    while (*bitEnd && *bitEnd != ' ') ++bitEnd;
    if (*bitEnd != ' ' || !bitEnd[1]) return false;
    long id = 0, bit = 0;
    if (!ParseInt(value, idEnd, id) || !ParseInt(bitBegin, bitEnd, bit)) return false;
    folder.id = static_cast<int>(id);
    folder.flags = static_cast<unsigned short>(bit & kNonMenu);
    folder.name = bitEnd + 1;
    return true;
}

bool SAddressFolderList::Load() {
    clear();
    push_back(SpecialFolder());
    const SAliasProfile profile(kFolderSection);
    const int count = profile.GetInt("Num", 1);
    std::set<int> ids{kSpecialFolderId};
    for (int i = 1; i < count; ++i) {
        char value[kFolderValueBuffer];
        if (!profile.GetString(IndexedKey(kFolderKey, i).c_str(), value, sizeof value, "")) return false;
        SAddressFolder folder;
        // Two folders of one id would share (and delete) one section.
        if (!ParseFolderValue(value, folder) || !ids.insert(folder.id).second) return false;
        push_back(std::move(folder));
    }
    return true;
}

bool SAddressFolderList::Save() const {
    for (const SAddressFolder& folder : *this)
        if (folder.name.size() > static_cast<std::size_t>(kFolderNameMax) ||
            folder.name.find_first_of("\r\n") != std::string::npos)
            return false;
    const SAliasProfile profile(kFolderSection);
    const int previous = profile.GetInt("Num", -1);
    bool ok = true;
    for (std::size_t i = 0; i < size(); ++i) {
        const SAddressFolder& folder = (*this)[i];
        std::string value = std::to_string(folder.id);
        value.append(folder.IsNonMenu() ? " 1 " : " 0 ");
        value.append(folder.name);
        if (!profile.WriteStringDQ(IndexedKey(kFolderKey, static_cast<int>(i)).c_str(), value)) ok = false;
    }
    if (!profile.WriteInt("Num", static_cast<int>(size()))) ok = false;
    if (!DeleteIndexedKeys(profile, static_cast<int>(size()), previous, {kFolderKey})) ok = false;
    return ok;
}

int SAddressFolderList::FindById(int id) const {
    for (std::size_t i = 0; i < size(); ++i)
        if ((*this)[i].id == id) return static_cast<int>(i);
    return -1;
}

int SAddressFolderList::FindByName(const std::string& name, bool ignoreDeleted) const {
    for (std::size_t i = 0; i < size(); ++i) {
        const SAddressFolder& folder = (*this)[i];
        if (ignoreDeleted && folder.IsDeleted()) continue;
        if (folder.name == name) return static_cast<int>(i);
    }
    return -1;
}

int SAddressFolderList::NewFolder(const std::string& name, unsigned short flags) {
    const int id = NextFreeId();
    if (id < 0) return -1;
    push_back(SAddressFolder{id, name, flags});
    return id;
}

int SAddressFolderList::NextFreeId() const {
    std::set<int> used;
    for (const SAddressFolder& folder : *this) used.insert(folder.id);
    for (int n = 0; n < INT_MAX; ++n)
        if (!used.count(n)) return n;
    return -1;
}
