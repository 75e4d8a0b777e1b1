// archive: a local folder's mails packed into one LHA archive inside it and
// then deleted from it, as the program's command does (through the outside
// archiver library, with the same checks and messages, on standard error);
// and the list of what an archive holds.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/SArchiveFolder.h"
#include "archive/SUnlha32.h"
#include "config/QimGlobals.h"
#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "tools/HomeOption.h"
#include "tools/ToolCommand.h"

namespace {

int ArchiveCommand(const std::vector<std::string>& args);

const qimtool::Command kArchive{"archive", "[--home DIR] FOLDER [NAME] | list [--utf8] ARCHIVE",
                                "フォルダーのメールを LHA 書庫にまとめて削除する、書庫の中身の一覧", ArchiveCommand};

const char kHelp[] =
    "使い方: qimtool archive [--home DIR] FOLDER [NAME]\n"
    "        qimtool archive list [--utf8] ARCHIVE\n"
    "  FOLDER のメール (1* ... 9*) と HCACHE.TXT を FOLDER の中の書庫 NAME.LZH にまとめ、\n"
    "  書庫を読み直してすべてのファイルが正しく入っていることを確かめてから FOLDER から削除し、\n"
    "  ヘッダーキャッシュを作り直します。NAME がなければ フォルダー名 + 今日の日付 (YYYYMMDD)。\n"
    "  相対パスの FOLDER は --home (または QIMHOME) があればその中、なければ今のフォルダーから。\n"
    "  書庫のパスを標準出力に、メッセージを標準エラーに書きます。\n"
    "  list  書庫に入っているファイルの 名前、元の大きさ、圧縮後の大きさ、方式 をタブ区切りで書く。\n"
    "        名前は Shift_JIS、--utf8 で UTF-8。\n"
    "  終了状態: 0 成功、1 失敗 (メールは削除されていません。削除できなかったファイルがあるときも 1)、\n"
    "  2 使い方の誤り。\n";

std::string ToTerminal(const std::string& sjis) { return platform::Cp932ToUtf8Lossy(sjis); }

void PrintNotice(const SNotice& notice) { std::fprintf(stderr, "%s\n", ToTerminal(NoticeText(notice)).c_str()); }

// Progress and messages on standard error; the name as given on the command line.
class TerminalArchiveObserver : public SArchiveObserver {
public:
    explicit TerminalArchiveObserver(const std::string* name) : name_(name) {}
    bool AskArchiveName(std::string& name) override {
        if (name_) name = *name_;
        return true;
    }
    void Notify(const SNotice& notice) override {
        ++notices_;
        PrintNotice(notice);
    }
    void BeginRun(const std::string& archive, int range) override {
        std::fprintf(stderr, "%s %s\n", ToTerminal(LoadQimString(qimstr::ArchiveRunning)).c_str(), ToTerminal(archive).c_str());
    }
    void ShowFirstLine(const std::string&) override {}
    void StepRun() override {}
    void EndRun() override {}
    void ShowStatus(const std::string& text) override { std::fprintf(stderr, "%s\n", ToTerminal(text).c_str()); }
    int Notices() const { return notices_; }

private:
    const std::string* name_;
    int notices_ = 0;
};

int ArchiveList(const std::string& typed, bool utf8) {
    std::string path;
    if (!qimtool::TerminalToSjis(typed, path)) return qimtool::UsageError(kArchive, "Shift_JIS にできない名前です: " + typed);
    const SUnlhaEntryPoints* library = qimarchive::LoadUnlha32();
    if (!library) {
        PrintNotice(SNotice::Program(qimstr::UnlhaMissing));
        return qimtool::kExitFailure;
    }
    if (!library->CanWalk()) {
        PrintNotice(SNotice::Program(qimstr::UnlhaEntryMissing));
        return qimtool::kExitFailure;
    }
    void* archive = library->openArchive(nullptr, path.c_str(), qimarchive::kUnlhaOpenMode);
    if (!archive) {
        PrintNotice(SNotice::Program(qimstr::UnlhaOpenFailed));
        return qimtool::kExitFailure;
    }
    std::string out;
    UnlhaEntry entry{};
    int result = library->findFirst(archive, "*.*", &entry);
    for (; result == UNLHA_OK; result = library->findNext(archive, &entry)) {
        entry.fileName[sizeof entry.fileName - 1] = '\0';
        entry.method[sizeof entry.method - 1] = '\0';
        out.append(entry.fileName).append("\t").append(std::to_string(entry.originalSize)).append("\t");
        out.append(std::to_string(entry.compressedSize)).append("\t").append(entry.method).append("\n");
    }
    library->closeArchive(archive);
    if (utf8) out = ToTerminal(out);
    if (!qimtool::WriteOutput("", out)) return qimtool::Failure("書き出せませんでした");
    if (result != UNLHA_NOT_FOUND) {
        PrintNotice(SNotice::Program(qimstr::ArchiveUnreadable));
        return qimtool::kExitFailure;
    }
    return qimtool::kExitOk;
}

int ArchiveFolder(const qimtool::ParsedArgs& parsed) {
    const bool homeGiven = parsed.Value("--home") || std::getenv("QIMHOME");
    if (homeGiven) {
        int status = 0;
        if (!qimtool::SetHome(parsed, kArchive, status)) return status;
    }
    std::string folder, name;
    if (!qimtool::TerminalToSjis(parsed.operands[0], folder))
        return qimtool::UsageError(kArchive, "Shift_JIS にできないフォルダー名です: " + parsed.operands[0]);
    if (parsed.operands.size() == 2 && !qimtool::TerminalToSjis(parsed.operands[1], name))
        return qimtool::UsageError(kArchive, "Shift_JIS にできない名前です: " + parsed.operands[1]);
    if (homeGiven && !folder.empty() && folder[0] != '/') folder = GetQimHome() + "/" + folder;
    if (!platform::IsDirectory(folder.c_str())) return qimtool::Failure("フォルダーが見つかりません: " + parsed.operands[0]);

    TerminalArchiveObserver observer(parsed.operands.size() == 2 ? &name : nullptr);
    SArchiveFolder command(observer);
    const SArchiveFolder::Result result = command.Run(folder);
    if (result != SArchiveFolder::Result::Archived) return qimtool::kExitFailure;
    PrintNotice(SNotice::Program(qimstr::ArchiveFinished, {long(command.Deleted()), command.ArchivePath()}));
    std::printf("%s\n", ToTerminal(command.ArchivePath()).c_str());
    return observer.Notices() > 0 ? qimtool::kExitFailure : qimtool::kExitOk;
}

int ArchiveCommand(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return qimtool::kExitOk;
        }
    }
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--utf8"}, {"--home"}, parsed, error)) return qimtool::UsageError(kArchive, error);
    const bool list = parsed.operands.size() == 2 && parsed.operands[0] == "list";
    if (list) {
        if (parsed.Value("--home")) return qimtool::UsageError(kArchive, "list には --home はありません");
        return ArchiveList(parsed.operands[1], parsed.Has("--utf8"));
    }
    if (parsed.Has("--utf8")) return qimtool::UsageError(kArchive, "--utf8 は list のオプションです");
    if (parsed.operands.empty() || parsed.operands.size() > 2)
        return qimtool::UsageError(kArchive, "FOLDER と (あれば) NAME を指定してください");
    return ArchiveFolder(parsed);
}

const bool kRegistered = qimtool::RegisterCommand(kArchive);

}  // namespace
