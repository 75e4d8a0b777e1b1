// The address book as other parts of the program ask it: from an alias name
// to its address, from an address to its alias name, and the expansion of
// alias names typed into an address field. Each call reads ALIAS.INI afresh,
// folder 0 first, then the folders in list order.
#pragma once

#include <string>
#include <vector>

#include "address/SAddressArray.h"

// The entries of every folder (comments skipped), folder 0 first.
SAddressArrayList LoadAddressBook();

// The stored address value of the first entry named `aliasName` (exact).
bool FindAddressOfAliasName(const std::string& aliasName, std::string& address);
// The alias name of the first entry whose address is `address` (a bare
// address, the part between < and >; letter case ignored).
bool FindAliasNameOfAddress(const std::string& address, std::string& aliasName);

// Each comma-separated item of an address field that is exactly an alias
// name (blanks around it aside) becomes that entry's expanded address; other
// items, and an alias whose expansion fails, stay as typed. A field that
// begins with a backslash (an address-list file of the send) is left alone.
std::string ExpandAliasesInField(const std::string& field);

// The items of an address field, cut at commas outside double quotes, angle
// brackets and comments; blanks around each item removed, empty items dropped.
std::vector<std::string> SplitAddressField(const std::string& field);
