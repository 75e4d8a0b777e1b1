#include "pop3/SUidlListing.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A message number: decimal digits only, 1..limit, without overflow.
bool ParseNumber(const std::string& text, int limit, int& value) {
    if (text.empty() || text.size() > 10) return false;
    long long n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > limit) return false;
    value = static_cast<int>(n);
    return true;
}

}  // namespace

bool IsValidUid(const std::string& uid) {
    if (uid.empty() || uid.size() > SUidlListing::kMaxUidLength) return false;
    for (char c : uid) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x21 || b > 0x7E) return false;
    }
    return true;
}

SUidlListing::SUidlListing(int messageCount) : messageCount_(messageCount) {}

bool SUidlListing::AddLine(const char* line, std::size_t length) {
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < length) {
        while (i < length && IsBlank(line[i])) ++i;
        if (i == length) break;
        const std::size_t start = i;
        while (i < length && !IsBlank(line[i])) ++i;
        if (tokens.size() == 2) return false;
        tokens.emplace_back(line + start, i - start);
    }
    if (tokens.size() != 2 || byNumber_.size() >= kMaxLines) return false;
    int number = 0;
    if (!ParseNumber(tokens[0], messageCount_, number)) return false;
    const std::string& uid = tokens[1];
    if (!IsValidUid(uid) || byNumber_.count(number) != 0) return false;
    if (!ids_.insert(uid).second) return false;
    byNumber_.emplace(number, uid);
    return true;
}

const std::string& SUidlListing::UidOf(int number) const {
    static const std::string none;
    const auto found = byNumber_.find(number);
    return found == byNumber_.end() ? none : found->second;
}
