#include "support/TestSupport.h"

#include "platform/CodePage.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace qimtest {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/qimtest.XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

TempDir::~TempDir() {
    std::error_code ec;
    // Files marked read-only must become writable again before they can go.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    }
    std::filesystem::remove_all(path_, ec);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
}

bool FileExists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

unsigned FileMode(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::string RunCommand(const std::string& command, int* status) {
    std::string out;
    FILE* p = popen(command.c_str(), "r");
    if (!p) {
        if (status) *status = -1;
        return out;
    }
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    int rc = pclose(p);
    if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    return out;
}

std::string PdfText(const std::string& pdf) {
    int status = 0;
    const std::string text = RunCommand(
        "pdftotext -layout '" + pdf + "' - | /usr/bin/python3 -c 'import sys, unicodedata as u; "
        "t = sys.stdin.read().replace(\"\\u2ed1\", \"\\u9577\").replace(\" \", \"\"); "
        "sys.stdout.write(\"\".join(u.normalize(\"NFKC\", c) if 0x2f00 <= ord(c) <= 0x2fdf else c for c in t))'",
        &status);
    if (status != 0) throw std::runtime_error("pdftotext failed on " + pdf);
    return text;
}

std::string Sjis(const std::string& utf8) {
    std::string out;
    if (!platform::Utf8ToCp932(utf8, out)) throw std::runtime_error("no Shift_JIS form: " + utf8);
    return out;
}

std::string Utf8(const std::string& sjis) { return platform::Cp932ToUtf8Lossy(sjis); }

std::string BuiltProgram(const std::string& name) {
    const char* dir = std::getenv("QIM_BIN_DIR");
    return std::string(dir && *dir ? dir : QIM_BIN_DIR) + "/" + name;
}

}  // namespace qimtest

// Fontconfig, which Qt's windows load, keeps its caches until the process
// ends; the leak checker of the sanitizer build is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
