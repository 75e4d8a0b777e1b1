#include "config/QimFolderViewSettings.h"

#include <cstdio>

#include "common/FilePath.h"
#include "config/QimSettingKeys.h"
#include "config/SQimProfile.h"

namespace {

constexpr int kFolderValueSize = 261;
constexpr int kSortValueSize = 32;
constexpr int kColumns = 4;      // No., Date, From/To, Subject
constexpr int kDirections = 5;   // none, ascending, descending, thread ascending, thread descending

std::string HexKey(const std::string& relative) {
    static const char digits[] = "0123456789ABCDEF";
    std::string key;
    key.reserve(relative.size() * 2);
    for (unsigned char c : relative) {
        key.push_back(digits[c >> 4]);
        key.push_back(digits[c & 0x0f]);
    }
    return key;
}

std::string FullFolder(const std::string& home, const std::string& relative) {
    std::string full;
    MakeFullPath(full, home, relative);
    return full;
}

}  // namespace

std::string RelativeFolder(const std::string& home, const std::string& folder) {
    if (IsSameDir(home, folder)) return ".";
    if (!IsSubfolder(home, folder, true)) return std::string();
    std::string rest = folder.substr(home.size());
    while (!rest.empty() && rest.front() == '/') rest.erase(0, 1);
    while (!rest.empty() && rest.back() == '/') rest.pop_back();
    return rest.empty() ? std::string(".") : rest;
}

std::string ReadLastFolder(const std::string& home) {
    std::string relative;
    if (!SQimProfile(qimini::Qim).GetString(qimini::LastFolder, relative, kFolderValueSize, nullptr) || relative.empty())
        return std::string();
    // Only a folder below the home directory: the value is read from a file.
    if (relative.front() == '/' || relative == ".." || relative.rfind("../", 0) == 0 ||
        relative.find("/../") != std::string::npos)
        return std::string();
    const std::string full = FullFolder(home, relative);
    return DoesDirectoryExist(full.c_str()) ? full : std::string();
}

bool WriteLastFolder(const std::string& home, const std::string& folder) {
    const std::string relative = RelativeFolder(home, folder);
    if (relative.empty()) return false;
    return SQimProfile(qimini::Qim).WriteString(qimini::LastFolder, relative.c_str());
}

bool ReadFolderSort(const std::string& home, const std::string& folder, int& column, int& direction) {
    const std::string relative = RelativeFolder(home, folder);
    if (relative.empty()) return false;
    char text[kSortValueSize];
    if (!SQimProfile(qimini::HLWSort).GetString(HexKey(relative).c_str(), text, sizeof text, nullptr)) return false;
    int c = 0, d = 0;
    if (std::sscanf(text, "%d:%d", &c, &d) != 2 || c < 0 || c >= kColumns || d < 0 || d >= kDirections) return false;
    // Only the Subject column has the thread orders.
    if (d > 2 && c != kColumns - 1) return false;
    column = c;
    direction = d;
    return true;
}

bool WriteFolderSort(const std::string& home, const std::string& folder, int column, int direction) {
    const std::string relative = RelativeFolder(home, folder);
    if (relative.empty()) return false;
    char text[kSortValueSize];
    std::snprintf(text, sizeof text, "%d:%d", column, direction);
    return SQimProfile(qimini::HLWSort).WriteString(HexKey(relative).c_str(), text);
}
