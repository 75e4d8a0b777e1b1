#include "imap/QimPFolderPath.h"

#include <cstring>

#include "common/JapaneseCodes.h"
#include "imap/Imap4Codes.h"

namespace qimimap {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// A double-byte character needs a valid second byte: a first byte before a
// separator is a stray byte, and the separator still separates.
std::size_t CharLength(const std::string& s, std::size_t i) {
    if (i + 1 < s.size() && IsKanji1(static_cast<unsigned char>(s[i])) &&
        IsKanji2(static_cast<unsigned char>(s[i + 1])))
        return 2;
    return 1;
}

}  // namespace

bool IsQimPFolder(const std::string& path) {
    const std::size_t n = std::strlen(kQimPRoot);
    if (path.compare(0, n, kQimPRoot) != 0) return false;
    return path.size() == n || IsSeparator(path[n]);
}

bool QimPComponents(const std::string& path, std::vector<std::string>& components) {
    components.clear();
    if (!IsQimPFolder(path)) return false;
    std::string name;
    auto take = [&]() {
        if (name.empty()) return true;
        // A NUL would cut the name short wherever it becomes a file name.
        if (name == "." || name == ".." || name.find('\0') != std::string::npos) return false;
        components.push_back(name);
        name.clear();
        return true;
    };
    for (std::size_t i = std::strlen(kQimPRoot); i < path.size();) {
        const std::size_t length = CharLength(path, i);
        if (length == 1 && IsSeparator(path[i])) {
            if (!take()) break;
        } else {
            name.append(path, i, length);
        }
        i += length;
    }
    if (take()) return true;
    components.clear();
    return false;
}

std::string QimPPathOf(const std::vector<std::string>& components) {
    std::string path(kQimPRoot);
    for (const std::string& c : components) {
        path.push_back('\\');
        path.append(c);
    }
    return path;
}

}  // namespace qimimap
