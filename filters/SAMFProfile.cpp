#include "filters/SAMFProfile.h"

#include "address/SAliasKeys.h"
#include "common/AppNames.h"
#include "config/QimGlobals.h"

namespace {

constexpr const char* kHeaderTypeKey = "HeaderType";
constexpr const char* kPosTypeKey = "PosType";
constexpr const char* kInKey = "In";
constexpr const char* kDestKey = "Dest";
constexpr const char* kFieldNameKey = "HFName";
constexpr int kInvertedBits = kFindOptionAtLineStart | kFindOptionMatchCase;

// A text of a rule; false when it is missing or empty.
bool ReadText(const SpProfile& profile, const char* prefix, int index, std::string& out) {
    return profile.GetString(IndexedKey(prefix, index).c_str(), out, kSortValueMax + 1, "");
}

}  // namespace

std::string AutoSortSection(SSortRuleSet set) {
    const bool server = set == SSortRuleSet::Server1 || set == SSortRuleSet::Server2;
    const bool second = set == SSortRuleSet::Local2 || set == SSortRuleSet::Server2;
    std::string section = server ? GetQimPAppName() : GetAppName();
    section.append(second ? "MoveFiles2" : "MoveFiles");
    return section;
}

int PosTypeOfOption(const SFindOption& option) { return option.GetAsInt() ^ kInvertedBits; }

SFindOption OptionOfPosType(int posType) {
    SFindOption option;
    option.SetByInt(posType ^ kInvertedBits);
    return option;
}

SAMFProfile::SAMFProfile(const std::string& section, const std::string& file)
    : profile_(section.c_str(), file.c_str()) {}

SAMFProfile::SAMFProfile(SSortRuleSet set) : SAMFProfile(AutoSortSection(set), GetQimIniPath()) {}

bool SAMFProfile::Load() {
    rules.clear();
    const int count = profile_.GetInt("Num", 0);
    if (count < 1) return false;
    for (int i = 0; i < count; ++i) {
        SAutoMoveFilesData rule;
        const int type = profile_.GetInt(IndexedKey(kHeaderTypeKey, i).c_str(), -1);
        const int posType = profile_.GetInt(IndexedKey(kPosTypeKey, i).c_str(), -1);
        if (type < 0 || posType < 0) return false;
        rule.headerType = type > kSortHeaderField ? kSortHeaderField : type;
        rule.option = OptionOfPosType(posType);
        if (!ReadText(profile_, kInKey, i, rule.pattern) || !ReadText(profile_, kDestKey, i, rule.destination))
            return false;
        if (rule.headerType == kSortHeaderField && !ReadText(profile_, kFieldNameKey, i, rule.fieldName)) return false;
        rules.push_back(std::move(rule));
    }
    return true;
}

bool SAMFProfile::Save() const {
    const int previous = profile_.GetInt("Num", 0);
    bool ok = true;
    const int count = static_cast<int>(rules.size());
    for (int i = 0; i < count && ok; ++i) {
        const SAutoMoveFilesData& rule = rules[static_cast<std::size_t>(i)];
        ok = profile_.WriteInt(IndexedKey(kHeaderTypeKey, i).c_str(), rule.headerType) &&
             profile_.WriteInt(IndexedKey(kPosTypeKey, i).c_str(), PosTypeOfOption(rule.option)) &&
             profile_.WriteStringDQ(IndexedKey(kInKey, i).c_str(), rule.pattern) &&
             profile_.WriteStringDQ(IndexedKey(kDestKey, i).c_str(), rule.destination);
        const std::string fieldKey = IndexedKey(kFieldNameKey, i);
        if (ok) {
            ok = rule.headerType == kSortHeaderField ? profile_.WriteString(fieldKey.c_str(), rule.fieldName)
                                                     : !HasKey(profile_, fieldKey.c_str()) ||
                                                           profile_.DeleteKey(fieldKey.c_str());
        }
    }
    if (!profile_.WriteInt("Num", count)) ok = false;
    if (!DeleteIndexedKeys(profile_, count, previous,
                           {kHeaderTypeKey, kPosTypeKey, kInKey, kDestKey, kFieldNameKey}))
        ok = false;
    return ok;
}
