#include "filters/SSubsFrom.h"

#include "address/SAliasKeys.h"
#include "config/SQimProfile.h"

namespace {

constexpr const char* kSection = "SubsFrom";
constexpr const char* kFromKey = "From";
constexpr const char* kSubsKey = "Subs";
constexpr const char* kOptKey = "Opt";

bool Fits(const std::string& value) {
    return !value.empty() && value.size() <= static_cast<std::size_t>(kSubsFromValueMax) &&
           value.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

bool SSubsFrom::FitsStoredForm() const { return Fits(from) && Fits(subs); }

bool SSubsFromArray::Load() {
    clear();
    const SAliasProfile profile(kSection);
    const int count = profile.GetInt("Num", 0);
    if (count < 1) return false;
    for (int i = 0; i < count; ++i) {
        SSubsFrom rule;
        if (!profile.GetString(IndexedKey(kFromKey, i).c_str(), rule.from, kSubsFromValueMax + 1, "")) return false;
        if (!profile.GetString(IndexedKey(kSubsKey, i).c_str(), rule.subs, kSubsFromValueMax + 1, "")) return false;
        rule.opt.SetByInt(profile.GetInt(IndexedKey(kOptKey, i).c_str(), kSubsFromDefaultOpt));
        push_back(std::move(rule));
    }
    return true;
}

bool SSubsFromArray::Save() const {
    const SAliasProfile profile(kSection);
    const int previous = profile.GetInt("Num", -1);
    bool ok = true;
    for (std::size_t i = 0; i < size(); ++i) {
        const SSubsFrom& rule = (*this)[i];
        const int index = static_cast<int>(i);
        if (!profile.WriteStringDQ(IndexedKey(kFromKey, index).c_str(), rule.from)) ok = false;
        if (!profile.WriteStringDQ(IndexedKey(kSubsKey, index).c_str(), rule.subs)) ok = false;
        if (!profile.WriteInt(IndexedKey(kOptKey, index).c_str(), rule.opt.GetAsInt())) ok = false;
    }
    const int count = static_cast<int>(size());
    if (!profile.WriteInt("Num", count)) ok = false;
    if (!DeleteIndexedKeys(profile, count, previous, {kFromKey, kSubsKey, kOptKey})) ok = false;
    return ok;
}

std::string SSubsFromArray::Substitute(const std::string& from) const {
    for (const SSubsFrom& rule : *this)
        if (SFindOption::Find(from.c_str(), rule.from.c_str(), rule.opt) >= 0) return rule.subs;
    return from;
}
