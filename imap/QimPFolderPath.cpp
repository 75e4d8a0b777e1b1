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
    const std::size_t first = std::strlen(kQimPRoot) + 1;  // after the root's separator
    if (first >= path.size()) return true;
    std::vector<std::string> names(1);
    for (std::size_t i = first; i < path.size();) {
        const std::size_t length = CharLength(path, i);
        if (length == 1 && IsSeparator(path[i])) {
            names.emplace_back();
        } else {
            names.back().append(path, i, length);
        }
        i += length;
    }
    if (names.back().empty()) names.pop_back();  // one trailing separator
    for (const std::string& name : names) {
        // An empty name starts an absolute part ("_QimP\/etc"); a NUL would
        // cut the name short wherever it becomes a file name.
        if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos) return false;
    }
    components = std::move(names);
    return true;
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
