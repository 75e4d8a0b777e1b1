// search: which mail files match a pattern, searched as Qim searches them (the
// header fields unfolded and decoded, Shift_JIS text, one answer per file).
// A folder stands for its numbered mail files, in ascending number order.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/FilePath.h"
#include "common/SFindCondition.h"
#include "common/SFindMail.h"
#include "tools/ToolCommand.h"

namespace {

int SearchCommand(const std::vector<std::string>& args);

const qimtool::Command kSearch{"search", "[--body|--header|--field NAME] [--case] [--word] [--start] PATTERN PATH...",
                               "メールの検索 (一致したファイルのパスを表示)", SearchCommand};

const char kSearchHelp[] =
    "使い方: qimtool search [--body | --header | --field NAME] [--case] [--word] [--start] PATTERN PATH...\n"
    "  PATTERN を含むメールファイルのパスを 1 行に 1 つ表示します。PATH がフォルダーなら、その中の\n"
    "  番号の名前のファイル (1, 2, ...) を番号順に調べます (サブフォルダーには入りません)。\n"
    "  ヘッダーの各欄は折り返しを戻し、MIME 符号化 (ISO-2022-JP) を復号してから調べます。\n"
    "  --body        本文だけ (保存されたままの行)\n"
    "  --header      ヘッダーの各欄だけ\n"
    "  --field NAME  ヘッダーの NAME 欄の値だけ (NAME の大文字小文字は区別しない)\n"
    "                どれもなければメール全体を調べます。\n"
    "  --case        大文字と小文字を区別する\n"
    "  --word        単語として一致するものだけ\n"
    "  --start       行 (欄の値) の先頭で一致するものだけ\n"
    "PATTERN と PATH は端末の UTF-8 で書きます (内部で Shift_JIS にします)。\n"
    "終了状態: 0 一致あり、1 一致なし、2 使い方の誤り。読めないファイルは知らせて残りを調べます。\n";

bool WantsHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--") return false;
        if (a == "--help" || a == "-h") return true;
    }
    return false;
}

// A mail file's name: a number in decimal, without sign or leading zeros.
bool IsMailFileName(const char* name) {
    if (name[0] < '1' || name[0] > '9') return false;
    for (const char* p = name + 1; *p; ++p)
        if (*p < '0' || *p > '9') return false;
    return true;
}

bool IsRegularFile(const std::string& nativeDir, const dirent* entry) {
    if (entry->d_type == DT_REG) return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return false;
    struct stat st;
    return stat((nativeDir + "/" + entry->d_name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The names of the mail files in a folder, in ascending number order; false
// (with errno) when the folder cannot be listed.
bool ListMailFiles(const std::string& nativeDir, std::vector<std::string>& names) {
    names.clear();
    DIR* dir = opendir(nativeDir.c_str());
    if (!dir) return false;
    errno = 0;
    while (const dirent* entry = readdir(dir)) {
        if (IsMailFileName(entry->d_name) && IsRegularFile(nativeDir, entry)) names.emplace_back(entry->d_name);
        errno = 0;
    }
    const int readError = errno;
    closedir(dir);
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    errno = readError;
    return readError == 0;
}

std::string Reason(int error) { return std::strerror(error); }

// Runs the search over the operands and prints the matching paths as typed.
class SearchRun {
public:
    SearchRun(SFindMail& finder, const SFindCondition& condition) : finder_(finder), condition_(condition) {}

    void SearchOperand(const std::string& typed) {
        std::string sjis;
        if (!qimtool::TerminalToSjis(typed, sjis)) {
            qimtool::Failure("Shift_JIS にできないパスです: " + typed);
            return;
        }
        struct stat st;
        if (stat(typed.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
            SearchFolder(typed, sjis);
        } else {
            SearchFile(typed, sjis);
        }
    }

    bool AnyMatch() const { return anyMatch_; }
    bool WriteFailed() const { return std::ferror(stdout) != 0; }

private:
    void SearchFolder(const std::string& typed, const std::string& sjis) {
        std::vector<std::string> names;
        if (!ListMailFiles(typed, names)) {
            qimtool::Failure("フォルダーを読めません: " + typed + " (" + Reason(errno) + ")");
            if (names.empty()) return;
        }
        const std::string typedDir = typed.back() == '/' ? typed : typed + "/";
        std::string path;
        for (const std::string& name : names) {
            MergeFilePath(path, sjis, name);
            SearchFile(typedDir + name, path);
        }
    }

    void SearchFile(const std::string& typed, const std::string& sjis) {
        if (finder_.Find(sjis.c_str(), condition_)) {
            anyMatch_ = true;
            std::fwrite(typed.data(), 1, typed.size(), stdout);
            std::fputc('\n', stdout);
        } else if (int error = finder_.LastError()) {
            qimtool::Failure("ファイルを読めません: " + typed + " (" + Reason(error) + ")");
        }
    }

    SFindMail& finder_;
    const SFindCondition& condition_;
    bool anyMatch_ = false;
};

// Builds the condition from the options; an empty string, or a usage error.
std::string MakeCondition(const qimtool::ParsedArgs& parsed, SFindMailCondition& condition) {
    int whereCount = (parsed.Has("--body") ? 1 : 0) + (parsed.Has("--header") ? 1 : 0);
    for (const auto& v : parsed.values) whereCount += v.first == "--field" ? 1 : 0;
    if (whereCount > 1) return "--body, --header, --field はどれか一つだけ指定できます";
    if (parsed.operands.size() < 2) return "検索する文字列とパスを指定してください";

    SFindOption option;
    option.MatchCase = parsed.Has("--case");
    option.WholeWord = parsed.Has("--word");
    option.AtLineStart = parsed.Has("--start");
    condition.SetOption(option);

    std::string pattern;
    if (!qimtool::TerminalToSjis(parsed.operands[0], pattern)) return "検索する文字列を Shift_JIS にできません";
    if (pattern.empty()) return "検索する文字列が空です";
    if (pattern.find('\n') != std::string::npos || pattern.find('\r') != std::string::npos)
        return "検索する文字列に改行は使えません";
    if (!condition.SetPattern(pattern.c_str()))
        return "検索する文字列が長すぎます (Shift_JIS で " + std::to_string(kFindPatternMax) + " バイトまで)";

    condition.SetWhere(SFindMailCondition::FindInWholeMail);
    if (parsed.Has("--body")) condition.SetWhere(SFindMailCondition::FindInBody);
    if (parsed.Has("--header")) condition.SetWhere(SFindMailCondition::FindInHeader);
    if (const std::string* field = parsed.Value("--field")) {
        std::string name;
        if (!qimtool::TerminalToSjis(*field, name)) return "欄の名前を Shift_JIS にできません";
        if (!condition.SetFieldName(name.c_str()))
            return "欄の名前が長すぎます (" + std::to_string(kFindFieldNameMax) + " バイトまで)";
        if (condition.FieldNameLength() == 0) return "欄の名前が空です";
        condition.SetWhere(SFindMailCondition::FindInField);
    }
    return "";
}

int SearchCommand(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::fputs(kSearchHelp, stdout);
        return qimtool::kExitOk;
    }
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--body", "--header", "--case", "--word", "--start"}, {"--field"}, parsed, error))
        return qimtool::UsageError(kSearch, error);
    SFindMailCondition condition;
    error = MakeCondition(parsed, condition);
    if (!error.empty()) return qimtool::UsageError(kSearch, error);

    SFindMail finder;
    if (!finder.NewFindInMail(condition.Where())) return qimtool::Failure("メモリーが足りません");
    SearchRun run(finder, condition);
    for (std::size_t i = 1; i < parsed.operands.size(); ++i) run.SearchOperand(parsed.operands[i]);
    if (std::fflush(stdout) != 0 || run.WriteFailed()) return qimtool::Failure("結果を書けません");
    return run.AnyMatch() ? qimtool::kExitOk : qimtool::kExitFailure;
}

const bool kRegistered = qimtool::RegisterCommand(kSearch);

}  // namespace
