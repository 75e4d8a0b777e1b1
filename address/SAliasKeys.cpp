#include "address/SAliasKeys.h"

#include "common/SpProfile.h"

std::string IndexedKey(const char* prefix, int index) {
    std::string key = prefix;
    key.append(std::to_string(index));
    return key;
}

bool HasKey(const SpProfile& profile, const char* key) {
    // A default no stored value can equal: one control byte.
    static const char kAbsent[] = "\x01";
    char buffer[4];
    return profile.GetString(key, buffer, sizeof buffer, kAbsent);
}

bool DeleteIndexedKeys(const SpProfile& profile, int from, int to, std::initializer_list<const char*> prefixes) {
    bool ok = true;
    for (int i = from < 0 ? 0 : from; i < to; ++i) {
        bool any = false;
        for (const char* prefix : prefixes) {
            const std::string key = IndexedKey(prefix, i);
            if (!HasKey(profile, key.c_str())) continue;
            any = true;
            if (!profile.DeleteKey(key.c_str())) ok = false;
        }
        if (!any) break;
    }
    return ok;
}
