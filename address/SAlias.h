// The entries of an address folder: a display name (the alias), the address
// it stands for (one address, a comma-separated list, or a list-file
// reference "\file") and a comment. All Shift_JIS.
#pragma once

#include <string>
#include <vector>

#include "address/AddressCodes.h"

struct SAlias {
    std::string alias;    // at most kAliasBuffer - 1 bytes as stored
    std::string address;  // at most kAddressBuffer - 1 bytes
    std::string comment;  // at most kCommentBuffer - 1 bytes

    // Whether every value fits what a load reads back and holds no line break.
    bool FitsStoredForm() const;
    bool operator==(const SAlias&) const = default;
};

class SAliasArray : public std::vector<SAlias> {
public:
    using std::vector<SAlias>::vector;
    using std::vector<SAlias>::operator=;

    // The address of the first entry named `alias` (exact comparison).
    bool FindAddress(const std::string& alias, std::string& address) const;
    // The alias of the first entry whose address is `address`, letter case
    // ignored (Shift_JIS-aware).
    bool FindAlias(const std::string& address, std::string& alias) const;
};
