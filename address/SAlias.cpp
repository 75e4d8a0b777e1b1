#include "address/SAlias.h"

#include "common/JString.h"

using namespace qimaddr;

namespace {

bool Fits(const std::string& value, int buffer) {
    return value.size() < static_cast<std::size_t>(buffer) && value.find_first_of("\r\n") == std::string::npos;
}

}  // namespace

bool SAlias::FitsStoredForm() const {
    return Fits(alias, kAliasBuffer) && Fits(address, kAddressBuffer) && Fits(comment, kCommentBuffer);
}

bool SAliasArray::FindAddress(const std::string& alias, std::string& address) const {
    for (const SAlias& entry : *this) {
        if (entry.alias != alias) continue;
        address = entry.address;
        return true;
    }
    return false;
}

bool SAliasArray::FindAlias(const std::string& address, std::string& alias) const {
    for (const SAlias& entry : *this) {
        if (jstraicmp(entry.address.c_str(), address.c_str()) != 0) continue;
        alias = entry.alias;
        return true;
    }
    return false;
}
