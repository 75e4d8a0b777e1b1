#include "send/SAddressList.h"

#include "common/JapaneseCodes.h"
#include "platform/TextFile.h"

bool IsAddressListField(const std::string& to) {
    const std::size_t start = to.find_first_not_of(" \t");
    return start != std::string::npos && to[start] == '\\';
}

bool AddressListPath(const std::string& to, const std::string& home, std::string& path) {
    std::string name = to.substr(to.find('\\') + 1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsKanji1(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
            ++i;  // the second byte may be 0x5C and is no separator
            continue;
        }
        if (name[i] == '\\') name[i] = '/';
    }
    if (name.empty() || name[0] == '/') return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        if (name.compare(start, end - start, "..") == 0 && end - start == 2) return false;
        start = end + 1;
    }
    path = home.empty() || home.back() == '/' ? home + name : home + "/" + name;
    return true;
}

bool SGetAddressAndSalutationList(const std::string& path, std::vector<SAddressEntry>& entries) {
    platform::TextFile file;
    if (!file.Open(path.c_str(), "r")) return false;
    entries.clear();
    std::string line;
    while (file.GetLine(line)) {
        if (line.empty()) break;  // an empty line ends the list
        if (line[0] == ';') continue;
        SAddressEntry entry;
        const std::size_t percent = line.find('%');
        entry.address = line.substr(0, percent);
        if (percent != std::string::npos) entry.salutation = line.substr(percent + 1);
        const std::size_t b = entry.address.find_first_not_of(" \t");
        const std::size_t e = entry.address.find_last_not_of(" \t");
        entry.address = b == std::string::npos ? std::string() : entry.address.substr(b, e - b + 1);
        if (!entry.address.empty()) entries.push_back(std::move(entry));
    }
    return true;
}

bool SGetAddressList(const std::string& path, std::vector<std::string>& addresses) {
    std::vector<SAddressEntry> entries;
    if (!SGetAddressAndSalutationList(path, entries)) return false;
    addresses.clear();
    for (SAddressEntry& entry : entries) addresses.push_back(std::move(entry.address));
    return true;
}

bool SGetLineWithSalutation::Open() {
    held_ = false;
    where_ = boundary_.empty() ? Where::Done : Where::BeforeBoundary;
    if (!inner_.Open()) return false;
    if (where_ == Where::Done && !salutation_.empty()) {
        heldLine_ = salutation_ + "\r\n";
        held_ = true;
    }
    return true;
}

bool SGetLineWithSalutation::NextLine(std::string& line) {
    if (held_) {
        held_ = false;
        line = heldLine_;
        return true;
    }
    if (!inner_.NextLine(line)) return false;
    if (where_ == Where::BeforeBoundary && line == "--" + boundary_ + "\r\n") {
        where_ = Where::InPartHeader;
    } else if (where_ == Where::InPartHeader && line == "\r\n") {
        where_ = Where::Done;
        if (!salutation_.empty()) {
            heldLine_ = salutation_ + "\r\n";
            held_ = true;
        }
    }
    return true;
}
