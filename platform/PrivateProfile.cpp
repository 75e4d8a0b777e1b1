#include "platform/PrivateProfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePage.h"
#include "platform/DialogService.h"
#include "platform/NativePath.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Names compare with ASCII letters folded; the trail byte of a double-byte
// character is never folded.
bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// One line of the file, classified when it is parsed.
struct Line {
    enum Kind { Other, Section, Key } kind = Other;
    std::string text;
    std::string_view Name() const {  // section or key name
        std::string_view t = Trim(text);
        if (kind == Section) {
            t.remove_prefix(1);
            std::size_t close = t.find(']');
            return Trim(close == std::string_view::npos ? t : t.substr(0, close));
        }
        return Trim(t.substr(0, t.find('=')));
    }
    std::string_view Value() const {
        std::string_view v = Trim(std::string_view(text).substr(text.find('=') + 1));
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
            v.remove_prefix(1);
            v.remove_suffix(1);
        }
        return v;
    }
};

Line Classify(std::string text) {
    Line line;
    std::string_view t = Trim(text);
    if (!t.empty() && t.front() == '[')
        line.kind = Line::Section;
    else if (!t.empty() && t.front() != ';' && t.find('=') != std::string_view::npos)
        line.kind = Line::Key;
    line.text = std::move(text);
    return line;
}

struct Identity {
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = -1;
    long long mtimeNs = 0;
    bool regular = false;
    bool operator==(const Identity&) const = default;
};

struct ProfileFile {
    Identity id;
    std::vector<Line> lines;
    // Not read (see kMaxProfileBytes): reads give the defaults and writes
    // fail, so the file is never replaced by one made from nothing.
    bool refused = false;

    // Index of the section header, or -1.
    long FindSection(std::string_view section) const {
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].kind == Line::Section && SameName(lines[i].Name(), section)) return static_cast<long>(i);
        return -1;
    }
    // One past the last line of the section that starts at `header`.
    std::size_t SectionEnd(long header) const {
        std::size_t i = static_cast<std::size_t>(header) + 1;
        while (i < lines.size() && lines[i].kind != Line::Section) ++i;
        return i;
    }
    long FindKey(long header, std::string_view key) const {
        std::size_t end = SectionEnd(header);
        for (std::size_t i = static_cast<std::size_t>(header) + 1; i < end; ++i)
            if (lines[i].kind == Line::Key && SameName(lines[i].Name(), key)) return static_cast<long>(i);
        return -1;
    }
};

// A settings file holds a few kilobytes. A larger one, or one that is no plain
// file (a link to a device, a FIFO), is refused: reading it could take all the
// memory or never end.
constexpr off_t kMaxProfileBytes = 4 << 20;

std::mutex g_mutex;
std::map<std::string, ProfileFile> g_cache;  // by resolved on-disk path
// Refused files not yet reported, and those reported (once per process).
std::vector<std::string> g_unreported;
std::set<std::string> g_reported;
std::atomic<bool> g_anyUnreported{false};  // spares every read a second lock

bool Resolve(const char* file, std::string& path) {
    if (!file || !*file || !ToNativePath(file, path)) return false;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // Rewrite the file a link points at, not the link.
        char* real = realpath(path.c_str(), nullptr);
        if (real) {
            path = real;
            std::free(real);
        }
    }
    return true;
}

bool StatIdentity(const std::string& path, Identity& id) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return false;
    id.dev = st.st_dev;
    id.ino = st.st_ino;
    id.size = st.st_size;
    id.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
    id.regular = S_ISREG(st.st_mode);
    return true;
}

// The whole file, if it holds at most kMaxProfileBytes (it may have grown
// since it was looked at). `tooLarge` tells a refusal from a read error.
bool ReadAll(const std::string& path, std::string& data, bool& tooLarge) {
    tooLarge = false;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    char buf[65536];
    ssize_t n;
    while ((n = read(fd, buf, sizeof buf)) > 0) {
        data.append(buf, static_cast<std::size_t>(n));
        if (data.size() > static_cast<std::size_t>(kMaxProfileBytes)) {
            tooLarge = true;
            break;
        }
    }
    close(fd);
    return n == 0 && !tooLarge;
}

void Refuse(ProfileFile& pf, const Identity& id, const std::string& path) {
    pf = ProfileFile{};
    pf.id = id;
    pf.refused = true;
    if (g_reported.insert(path).second) {
        g_unreported.push_back(path);
        g_anyUnreported = true;
    }
}

// Tells the user of the files refused since the last call, once each. Called
// without the lock held: a box runs the event loop, which may read settings.
void ReportRefusals() {
    if (!g_anyUnreported) return;
    std::vector<std::string> paths;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        paths.swap(g_unreported);
        g_anyUnreported = false;
    }
    for (const std::string& native : paths) {
        std::string text;
        Utf8ToCp932("設定ファイル " + native + " は大きすぎるか通常のファイルではないため、読み込みません。"
                    "設定は既定の値になり、このファイルへの書き込みはしません。",
                    text);
        MessageBoxRequest box;
        box.text = text.empty() ? native : text;
        box.caption = "Qim";
        box.icon = MessageIcon::Stop;
        Dialogs().MessageBox(box);
    }
}

// Reports refusals when the public call that caused them returns.
struct ReportOnReturn {
    ~ReportOnReturn() { ReportRefusals(); }
};

// The parsed file, reloaded when it changed on disk. A missing or unreadable
// file is empty.
ProfileFile& Load(const std::string& path) {
    ProfileFile& pf = g_cache[path];
    Identity id;
    if (!StatIdentity(path, id)) {
        pf = ProfileFile{};
        return pf;
    }
    if (pf.id == id) return pf;
    pf = ProfileFile{};
    if (!id.regular || id.size > kMaxProfileBytes) {
        Refuse(pf, id, path);
        return pf;
    }
    std::string data;
    bool tooLarge = false;
    if (!ReadAll(path, data, tooLarge)) {
        if (tooLarge) Refuse(pf, id, path);
        return pf;
    }
    std::size_t start = 0;
    while (start < data.size()) {
        std::size_t lf = data.find('\n', start);
        std::size_t stop = lf == std::string::npos ? data.size() : lf;
        std::size_t len = stop - start;
        if (len > 0 && data[stop - 1] == '\r') --len;
        pf.lines.push_back(Classify(data.substr(start, len)));
        start = stop + 1;
    }
    pf.id = id;
    return pf;
}

bool WriteFully(int fd, const std::string& data) {
    const char* p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

void SyncFolderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        fsync(dfd);
        close(dfd);
    }
}

// Temporary file beside the target, fsync, rename, fsync of the folder.
bool Store(const std::string& path, ProfileFile& pf) {
    std::string data;
    for (const Line& l : pf.lines) {
        data += l.text;
        data += "\r\n";
    }
    std::size_t slash = path.rfind('/');
    std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string tmp = dir + "." + base + ".XXXXXX";
    int fd = mkostemp(tmp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    mode_t mode = stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0600;
    bool ok = fchmod(fd, mode) == 0 && WriteFully(fd, data) && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    if (!ok || rename(tmp.c_str(), path.c_str()) != 0) {
        unlink(tmp.c_str());
        pf.id = Identity{};  // force a reload: the file did not change
        return false;
    }
    SyncFolderOf(path);
    StatIdentity(path, pf.id);
    return true;
}

bool HasLineBreak(const char* s) { return s && std::strpbrk(s, "\r\n") != nullptr; }

unsigned CopyOut(std::string_view value, char* buffer, unsigned size) {
    unsigned n = static_cast<unsigned>(std::min<std::size_t>(value.size(), size - 1));
    std::memcpy(buffer, value.data(), n);
    buffer[n] = '\0';
    return n;
}

// A double-NUL list of names; a cut list still ends in two NULs.
unsigned CopyList(const std::vector<std::string_view>& names, char* buffer, unsigned size) {
    if (size < 2) {
        buffer[0] = '\0';
        return 0;
    }
    unsigned pos = 0;
    for (std::string_view name : names) {
        if (pos + name.size() + 1 > size - 1) {
            unsigned room = size - 2 - pos;
            std::memcpy(buffer + pos, name.data(), room);
            buffer[size - 2] = '\0';
            buffer[size - 1] = '\0';
            return size - 2;
        }
        std::memcpy(buffer + pos, name.data(), name.size());
        pos += static_cast<unsigned>(name.size());
        buffer[pos++] = '\0';
    }
    buffer[pos] = '\0';
    return pos;
}

bool LookupValue(const char* section, const char* key, const char* file, std::string& value) {
    std::string path;
    if (!section || !key || !Resolve(file, path)) return false;
    ReportOnReturn report;
    std::lock_guard<std::mutex> lock(g_mutex);
    ProfileFile& pf = Load(path);
    long header = pf.FindSection(section);
    long at = header >= 0 ? pf.FindKey(header, key) : -1;
    if (at < 0) return false;
    value.assign(pf.lines[at].Value());
    return true;
}

}  // namespace

unsigned GetPrivateProfileString(const char* section, const char* key, const char* def, char* buffer,
                                 unsigned size, const char* file) {
    if (!buffer || size == 0) return 0;
    if (section && key) {
        std::string value;
        if (LookupValue(section, key, file, value)) return CopyOut(value, buffer, size);
        return CopyOut(Trim(def ? def : ""), buffer, size);
    }
    std::string path;
    if (!Resolve(file, path)) return CopyList({}, buffer, size);

    ReportOnReturn report;
    std::lock_guard<std::mutex> lock(g_mutex);
    ProfileFile& pf = Load(path);
    if (!section) {
        std::vector<std::string_view> sections;
        for (const Line& l : pf.lines)
            if (l.kind == Line::Section) sections.push_back(l.Name());
        return CopyList(sections, buffer, size);
    }
    long header = pf.FindSection(section);
    std::vector<std::string_view> names;
    if (header >= 0) {
        std::size_t end = pf.SectionEnd(header);
        for (std::size_t i = static_cast<std::size_t>(header) + 1; i < end; ++i)
            if (pf.lines[i].kind == Line::Key) names.push_back(pf.lines[i].Name());
    }
    return CopyList(names, buffer, size);
}

int GetPrivateProfileInt(const char* section, const char* key, int def, const char* file) {
    std::string text;
    if (!LookupValue(section, key, file, text)) return def;
    const char* p = text.c_str();
    while (IsBlank(*p)) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    long long v = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        v = v * 10 + (*p - '0');
        if (v > static_cast<long long>(INT_MAX) + 1) break;  // keep the sum bounded
    }
    if (negative) v = -v;
    if (v > INT_MAX) v = INT_MAX;
    if (v < INT_MIN) v = INT_MIN;
    return static_cast<int>(v);
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value, const char* file) {
    if (!section && !key && !value) return FlushPrivateProfile(file);
    if (!section || HasLineBreak(section) || std::strchr(section, ']') || HasLineBreak(key) ||
        HasLineBreak(value) || (key && (std::strchr(key, '=') || Trim(key).empty())))
        return false;
    std::string path;
    if (!Resolve(file, path)) return false;

    ReportOnReturn report;
    std::lock_guard<std::mutex> lock(g_mutex);
    ProfileFile& pf = Load(path);
    if (pf.refused) return false;
    long header = pf.FindSection(section);
    if (!key) {  // remove the section
        if (header < 0) return true;
        pf.lines.erase(pf.lines.begin() + header, pf.lines.begin() + static_cast<long>(pf.SectionEnd(header)));
        return Store(path, pf);
    }
    long at = header >= 0 ? pf.FindKey(header, key) : -1;
    if (!value) {  // remove the key
        if (at < 0) return true;
        pf.lines.erase(pf.lines.begin() + at);
        return Store(path, pf);
    }
    if (at >= 0) {
        std::string name(pf.lines[at].Name());
        pf.lines[at] = Classify(name + "=" + value);
    } else if (header >= 0) {
        // After the last key of the section, so blank lines before the next section stay put.
        std::size_t pos = static_cast<std::size_t>(header) + 1;
        for (std::size_t i = pos; i < pf.SectionEnd(header); ++i)
            if (pf.lines[i].kind == Line::Key) pos = i + 1;
        pf.lines.insert(pf.lines.begin() + static_cast<long>(pos), Classify(std::string(key) + "=" + value));
    } else {
        if (!pf.lines.empty() && !Trim(pf.lines.back().text).empty()) pf.lines.push_back(Classify(""));
        pf.lines.push_back(Classify("[" + std::string(section) + "]"));
        pf.lines.push_back(Classify(std::string(key) + "=" + value));
    }
    return Store(path, pf);
}

bool FlushPrivateProfile(const char* file) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (!file) {
        g_cache.clear();
        return true;
    }
    std::string path;
    if (Resolve(file, path)) g_cache.erase(path);
    return true;
}

bool RestrictProfileFile(const char* file) {
    std::string path;
    return Resolve(file, path) && chmod(path.c_str(), 0600) == 0;
}

}  // namespace platform
