// qimtool: each capability of the common library and the store as a
// subcommand, in the spirit of nkf.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/QimCmmnsVersion.h"
#include "platform/qt/SecretServiceKeeper.h"
#include "tools/ToolCommand.h"

namespace {

void PrintHelp(FILE* out) {
    std::fprintf(out, "使い方: qimtool SUBCOMMAND [OPTIONS] [ARGS]\n\n");
    std::vector<qimtool::Command> sorted = qimtool::Commands();
    std::sort(sorted.begin(), sorted.end(),
              [](const qimtool::Command& a, const qimtool::Command& b) { return std::strcmp(a.name, b.name) < 0; });
    for (const qimtool::Command& c : sorted) std::fprintf(out, "  %-10s %-28s %s\n", c.name, c.usage, c.summary);
    std::fprintf(out,
                 "\nデータは標準入力から読み、標準出力に Shift_JIS のまま書きます (--utf8 で端末向けに変換)。\n"
                 "終了状態: 0 成功、1 処理の失敗、2 使い方の誤り。\n");
}

}  // namespace

// Fontconfig, which the print layout loads, keeps its caches until the
// process ends; the leak checker of the sanitizer build is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

int main(int argc, char** argv) {
    // A password the settings keep in the desktop's keyring is read from there
    // by the subcommands that run an event loop (receive, send).
    static platform::SecretServiceKeeper keyring;
    platform::SetPasswordKeeper(&keyring);
    if (argc < 2) {
        PrintHelp(stderr);
        return qimtool::kExitUsage;
    }
    std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        PrintHelp(stdout);
        return qimtool::kExitOk;
    }
    if (name == "--version") {
        std::printf("qimtool (Qim) qimcmmns %d.%02d\n", QimCmmnsVersionMajor(), QimCmmnsVersionMinor());
        return qimtool::kExitOk;
    }
    for (const qimtool::Command& c : qimtool::Commands()) {
        if (name == c.name) return c.run(std::vector<std::string>(argv + 2, argv + argc));
    }
    std::fprintf(stderr, "qimtool: 不明なサブコマンドです: %s\n(qimtool --help で一覧を表示します)\n", name.c_str());
    return qimtool::kExitUsage;
}
