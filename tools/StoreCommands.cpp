// cache: the header cache of a local mail folder (rebuild, list as the header
// list shows it). folder: the next mail number of a folder.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "store/QimStoreCodes.h"
#include "store/SMemCacheFolder.h"
#include "store/SQimComparator.h"
#include "tools/HeaderRows.h"
#include "tools/ToolCommand.h"

namespace {

int CacheCommand(const std::vector<std::string>& args);
int FolderCommand(const std::vector<std::string>& args);

const qimtool::Command kCache{"cache", "rebuild FOLDER | update FOLDER | list FOLDER [--sort no|date|from|subject|thread] [--reverse] [--to] [--utf8]",
                              "メールフォルダーのヘッダーキャッシュ (HCACHE.TXT) の作り直しと一覧", CacheCommand};
const qimtool::Command kFolder{"folder", "next FOLDER", "メールフォルダーの次のメール番号", FolderCommand};

const char kCacheHelp[] =
    "使い方: qimtool cache rebuild FOLDER\n"
    "        qimtool cache update FOLDER\n"
    "        qimtool cache list FOLDER [--sort no|date|from|subject|thread] [--reverse] [--to] [--utf8]\n"
    "  rebuild  FOLDER のメールファイルから HCACHE.TXT を作り直す\n"
    "  update   HCACHE.TXT の最後の番号より後のメールを書き足す (壊れていれば作り直す)\n"
    "  list     一覧に出る順で 番号、日付、From (--to で To)、Subject をタブ区切りで書く。\n"
    "           キャッシュがなければ作ります。--sort no (既定) はファイルの逆順 (一覧の並び)、\n"
    "           date/from/subject/thread はその欄の昇順、--reverse で逆順。\n"
    "           出力は Shift_JIS、--utf8 で UTF-8。\n";

const char kFolderHelp[] =
    "使い方: qimtool folder next FOLDER\n"
    "  next  FOLDER に次に入るメールの番号 (一番大きな番号の名前 + 1) を書く\n";

bool WantsHelp(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

// The folder operand: typed, so UTF-8; it must be a folder.
bool FolderOperand(const qimtool::Command& command, const std::string& typed, std::string& folder, int& status) {
    if (!qimtool::TerminalToSjis(typed, folder)) {
        status = qimtool::UsageError(command, "Shift_JIS にできないフォルダー名です: " + typed);
        return false;
    }
    if (!platform::IsDirectory(folder.c_str())) {
        status = qimtool::Failure("フォルダーが見つかりません: " + typed);
        return false;
    }
    return true;
}

int CacheRebuild(const std::string& folder) {
    std::string cachePath = folder + "/" + qimstore::kCacheFileName;
    const bool had = platform::IsRegularFile(cachePath.c_str());
    // Pointing at a folder without a cache builds it.
    SQimCacheFolder cache(folder);
    const bool ok = had ? cache.RebuildCache() : cache.CacheExists();
    if (!ok) return qimtool::Failure("キャッシュファイルを書けませんでした: " + cache.CachePath());
    return qimtool::kExitOk;
}

int CacheUpdate(const std::string& folder) {
    std::string cachePath = folder + "/" + qimstore::kCacheFileName;
    const bool had = platform::IsRegularFile(cachePath.c_str());
    SQimCacheFolder cache(folder);
    const bool ok = had ? cache.UpdateCache() : cache.CacheExists();
    if (!ok) return qimtool::Failure("キャッシュファイルを書けませんでした: " + cache.CachePath());
    return qimtool::kExitOk;
}

int SortColumn(const std::string& name) {
    if (name == "no") return -1;
    if (name == "date") return qimstore::kColumnDate;
    if (name == "from") return qimstore::kColumnFrom;
    if (name == "subject" || name == "thread") return qimstore::kColumnSubject;
    return -2;
}

int CacheList(const std::string& folder, const qimtool::ParsedArgs& parsed) {
    const std::string* sortName = parsed.Value("--sort");
    const int column = SortColumn(sortName ? *sortName : "no");
    if (column == -2) return qimtool::UsageError(kCache, "--sort は no, date, from, subject, thread のどれかです");
    const bool reverse = parsed.Has("--reverse");
    SMemCacheFolder cache(folder);
    if (!cache.CacheExists()) return qimtool::Failure("キャッシュファイルを読めませんでした: " + cache.CachePath());
    std::vector<const SQimMailData*> rows;
    rows.reserve(cache.Records().size());
    if (column < 0) {
        // Each record goes in at the top of the list: the reverse of the file.
        for (auto it = cache.Records().rbegin(); it != cache.Records().rend(); ++it) rows.push_back(&*it);
        if (reverse) std::reverse(rows.begin(), rows.end());
    } else {
        for (const SQimMailData& r : cache.Records()) rows.push_back(&r);
        SQimComparator comparator;
        comparator.SetShowsTo(parsed.Has("--to"));
        const bool thread = *sortName == "thread";
        comparator.SetDirection(column, thread ? (reverse ? qimstore::kDirThreadDescending : qimstore::kDirThreadAscending)
                                               : (reverse ? qimstore::kDirDescending : qimstore::kDirAscending));
        comparator.Sort(rows, column);
    }
    const bool to = parsed.Has("--to");
    std::string out;
    out.reserve(rows.size() * 80);
    for (const SQimMailData* r : rows) qimtool::AppendHeaderRow(out, *r, to);
    if (parsed.Has("--utf8")) out = platform::Cp932ToUtf8Lossy(out);
    if (!qimtool::WriteOutput("", out)) return qimtool::Failure("書き出せませんでした");
    return qimtool::kExitOk;
}

int CacheCommand(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::fputs(kCacheHelp, stdout);
        return qimtool::kExitOk;
    }
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--reverse", "--to", "--utf8"}, {"--sort"}, parsed, error))
        return qimtool::UsageError(kCache, error);
    if (parsed.operands.size() != 2) return qimtool::UsageError(kCache, "rebuild か update か list と FOLDER を指定してください");
    const std::string& mode = parsed.operands[0];
    if (mode != "rebuild" && mode != "update" && mode != "list") return qimtool::UsageError(kCache, "不明な指定です: " + mode);
    if (mode != "list" && (parsed.flags.size() + parsed.values.size()) > 0)
        return qimtool::UsageError(kCache, mode + " にはオプションがありません");
    std::string folder;
    int status = 0;
    if (!FolderOperand(kCache, parsed.operands[1], folder, status)) return status;
    if (mode == "rebuild") return CacheRebuild(folder);
    if (mode == "update") return CacheUpdate(folder);
    return CacheList(folder, parsed);
}

int FolderCommand(const std::vector<std::string>& args) {
    if (WantsHelp(args)) {
        std::fputs(kFolderHelp, stdout);
        return qimtool::kExitOk;
    }
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {}, {}, parsed, error)) return qimtool::UsageError(kFolder, error);
    if (parsed.operands.size() != 2 || parsed.operands[0] != "next")
        return qimtool::UsageError(kFolder, "next FOLDER を指定してください");
    std::string folder;
    int status = 0;
    if (!FolderOperand(kFolder, parsed.operands[1], folder, status)) return status;
    const int last = SQimFolder(folder).LastNumber();
    if (last == INT_MAX) return qimtool::Failure("このフォルダーにはもう番号がありません");
    std::printf("%d\n", last + 1);
    return qimtool::kExitOk;
}

const bool kRegistered = qimtool::RegisterCommand(kCache) && qimtool::RegisterCommand(kFolder);

}  // namespace
