#include "address/SAliasExpand.h"

#include "address/AddressCodes.h"
#include "common/JapaneseCodes.h"
#include "config/QimGlobals.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

using namespace qimaddr;

bool AliasListFilePath(const std::string& value, const std::string& home, std::string& path) {
    std::string name = value.substr(value.empty() ? 0 : 1);
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsKanji1(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
            ++i;  // a second byte may be 0x5C and is no separator
            continue;
        }
        if (name[i] == '\\') name[i] = '/';
    }
    if (name.empty() || name[0] == '/') return false;
    for (std::size_t start = 0; start <= name.size();) {
        std::size_t end = name.find('/', start);
        if (end == std::string::npos) end = name.size();
        if (end - start == 2 && name.compare(start, 2, "..") == 0) return false;
        start = end + 1;
    }
    path = home;
    if (!path.empty() && path.back() != '/') path.push_back('/');
    path.append(name);
    return true;
}

namespace {

// The items of a list file: one per line (an over-long line comes in pieces
// that join without a separator), ";" lines skipped, an empty line ends.
bool ReadListFile(const std::string& path, std::string& out) {
    if (!platform::IsRegularFile(path.c_str())) return false;
    platform::TextFile file;
    if (!file.Open(path.c_str(), "r")) return false;
    char buffer[kListChunk + 1];
    bool lineStart = true;  // the previous piece ended a line
    bool inComment = false;
    bool first = true;
    int items = 0;
    for (int n; (n = file.ReadLine(buffer, sizeof buffer)) > 0;) {
        std::string piece(buffer, static_cast<std::size_t>(n));
        const bool ends = piece.back() == '\n';
        if (ends) piece.pop_back();
        if (lineStart) {
            inComment = !piece.empty() && piece[0] == ';';
            if (!inComment && piece.empty() && ends) break;
        }
        if (!inComment) {
            if (++items > kListItemMax) return false;
            if (lineStart && !first) out.append(", ");
            out.append(piece);
            first = false;
        }
        lineStart = ends;
    }
    return !file.Error();
}

}  // namespace

bool ExpandAliasAddress(const std::string& value, std::string& out) {
    out.clear();
    if (value.empty() || value[0] != '\\') {
        out = value;
        return true;
    }
    if (value.size() > 1 && value[1] == '\\') {
        out = value.substr(1);
        return true;
    }
    std::string path;
    if (!AliasListFilePath(value, GetQimHome(), path) || !ReadListFile(path, out)) {
        out.clear();
        return false;
    }
    return true;
}

std::string ExpandAddress(const std::string& value) {
    std::string out;
    ExpandAliasAddress(value, out);
    return out;
}
