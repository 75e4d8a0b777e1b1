// Small helpers for the numbered keys of ALIAS.INI ("Alias%d", "From%d" ...).
#pragma once

#include <initializer_list>
#include <string>

class SpProfile;

// "Alias" and 3 give "Alias3".
std::string IndexedKey(const char* prefix, int index);
// Whether the key is in the section at all (an empty value counts).
bool HasKey(const SpProfile& profile, const char* key);
// Deletes the keys of the indices from `from` up to `to` - 1, stopping at the
// first index that has none of them: the program writes its indices without
// gaps, so a stored count far larger than the keys present (a damaged file)
// costs nothing. False when a deletion failed.
bool DeleteIndexedKeys(const SpProfile& profile, int from, int to, std::initializer_list<const char*> prefixes);
