#include "address/SAddressArray.h"

#include <algorithm>

#include "address/SAliasKeys.h"
#include "config/SQimProfile.h"

using namespace qimaddr;

namespace {

constexpr const char* kAliasKey = "Alias";
constexpr const char* kAddressKey = "Address";
constexpr const char* kCommentKey = "Comment";

}  // namespace

std::string AddressSectionName(int id) {
    if (id == kSpecialFolderId) return kSpecialSection;
    std::string name = "F";
    name.append(std::to_string(id));
    return name;
}

void SAddressArray::Load(bool skipComments) {
    aliases.clear();
    state = 0;
    const SAliasProfile profile(AddressSectionName(id).c_str());
    const int count = profile.GetInt("Num", -1);
    for (int i = 0; i < count; ++i) {
        const std::string aliasKey = IndexedKey(kAliasKey, i);
        const std::string addressKey = IndexedKey(kAddressKey, i);
        if (!HasKey(profile, aliasKey.c_str()) && !HasKey(profile, addressKey.c_str())) break;
        SAlias entry;
        profile.GetString(aliasKey.c_str(), entry.alias, kAliasBuffer, "");
        profile.GetString(addressKey.c_str(), entry.address, kAddressBuffer, "");
        if (!skipComments) profile.GetString(IndexedKey(kCommentKey, i).c_str(), entry.comment, kCommentBuffer, "");
        aliases.push_back(std::move(entry));
    }
}

bool SAddressArray::Save() const {
    if (!std::all_of(aliases.begin(), aliases.end(), [](const SAlias& a) { return a.FitsStoredForm(); })) return false;
    const SAliasProfile profile(AddressSectionName(id).c_str());
    const int previous = profile.GetInt("Num", -1);
    bool ok = true;
    for (std::size_t i = 0; i < aliases.size(); ++i) {
        const SAlias& entry = aliases[i];
        const int index = static_cast<int>(i);
        if (!profile.WriteString(IndexedKey(kAliasKey, index).c_str(), entry.alias)) ok = false;
        if (!profile.WriteString(IndexedKey(kAddressKey, index).c_str(), entry.address)) ok = false;
        const std::string commentKey = IndexedKey(kCommentKey, index);
        if (entry.comment.empty()) {
            if (HasKey(profile, commentKey.c_str()) && !profile.DeleteKey(commentKey.c_str())) ok = false;
        } else if (!profile.WriteStringDQ(commentKey.c_str(), entry.comment)) {
            ok = false;
        }
    }
    const int count = static_cast<int>(aliases.size());
    if (!profile.WriteInt("Num", count)) ok = false;
    if (!DeleteIndexedKeys(profile, count, previous, {kAliasKey, kAddressKey, kCommentKey})) ok = false;
    return ok;
}

SAddressArray* SAddressArrayList::Find(int id) {
    for (SAddressArray& contents : *this)
        if (contents.id == id) return &contents;
    return nullptr;
}

const SAddressArray* SAddressArrayList::Find(int id) const {
    for (const SAddressArray& contents : *this)
        if (contents.id == id) return &contents;
    return nullptr;
}

SAddressArray& SAddressArrayList::Load(int id, bool skipComments) {
    SAddressArray* contents = Find(id);
    if (!contents) {
        push_back(SAddressArray{});
        contents = &back();
        contents->id = id;
    }
    contents->Load(skipComments);
    return *contents;
}

bool SAddressArrayList::Save(int id) {
    const SAddressArray* contents = Find(id);
    return contents && contents->Save();
}

bool SAddressArrayList::Delete(int id) {
    bool ok = true;
    if (id != kSpecialFolderId) ok = SAliasProfile(AddressSectionName(id).c_str()).DeleteKey(nullptr);
    erase(std::remove_if(begin(), end(), [id](const SAddressArray& c) { return c.id == id; }), end());
    return ok;
}
