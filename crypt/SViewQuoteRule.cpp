#include "crypt/SViewQuoteRule.h"

#include <cstring>

#include "config/QimSettingKeys.h"
#include "config/SQimProfile.h"
#include "common/MbChar.h"

namespace {

constexpr const char* kPrefixList = "PrefixList";
constexpr const char* kPrefixLimit = "PrefixLimit";
constexpr int kListSize = 256;

}  // namespace

const char* SViewQuoteRule::DefaultList() { return ">,\x81\x84"; }

SViewQuoteRule::SViewQuoteRule() { SetPrefixList(DefaultList()); }

void SViewQuoteRule::Read() {
    SConfigProfile profile(qimini::Font);
    std::string list;
    profile.GetString(kPrefixList, list, kListSize, DefaultList());
    SetPrefixList(list);
    SetLimit(profile.GetInt(kPrefixLimit, kDefaultLimit));
}

void SViewQuoteRule::SetPrefixList(const std::string& list) {
    prefixes_.clear();
    std::string item;
    for (const char* p = list.c_str(); *p;) {
        const std::size_t len = MbCharLen(p);
        if (len == 1 && *p == ',') {
            if (!item.empty()) prefixes_.push_back(item);
            item.clear();
        } else {
            item.append(p, len);
        }
        p += len;
    }
    if (!item.empty()) prefixes_.push_back(item);
}

bool SViewQuoteRule::IsQuoted(const std::string& line) const {
    const char* p = line.c_str();
    for (int column = 0; column < limit_ && *p; ++column) {
        for (const std::string& prefix : prefixes_)
            if (std::strncmp(p, prefix.c_str(), prefix.size()) == 0) return true;
        p += MbCharLen(p);
    }
    return false;
}

int SViewQuoteRule::Level(const std::string& line) const {
    if (!IsQuoted(line)) return 0;
    // Prefixes in a row at the start, blanks between them allowed: "> > x" and ">> x" are 2.
    int level = 0;
    const char* p = line.c_str();
    for (;;) {
        while (*p == ' ' || *p == '\t') ++p;
        bool matched = false;
        for (const std::string& prefix : prefixes_) {
            if (!prefix.empty() && std::strncmp(p, prefix.c_str(), prefix.size()) == 0) {
                p += prefix.size();
                matched = true;
                break;
            }
        }
        if (!matched) break;
        ++level;
    }
    // "名前> text": quoted, one level.
    return level > 0 ? level : 1;
}
