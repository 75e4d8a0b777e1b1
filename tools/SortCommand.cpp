// sort: a stored rule set of the local folders run over one folder, as the
// main window's automatic sorting does (the same marking, checks, messages
// and moves), with how many mails each rule moved on standard output.
#include <cstdio>
#include <string>
#include <vector>

#include "config/QimGlobals.h"
#include "filters/SAMFProfile.h"
#include "filters/SAutoMoveFiles.h"
#include "platform/CodePage.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/ScriptedDialogService.h"
#include "store/SQimCacheFolder.h"
#include "tools/HomeOption.h"
#include "tools/ToolCommand.h"

namespace {

int SortCommand(const std::vector<std::string>& args);

const qimtool::Command kSort{"sort", "[--home DIR] [--set 1|2] [--utf8] [FOLDER]",
                             "自動振り分けの規則でフォルダーのメールを振り分ける", SortCommand};

const char kHelp[] =
    "使い方: qimtool sort [--home DIR] [--set 1|2] [--utf8] [FOLDER]\n"
    "  QIM.INI に保存された自動振り分け (--set 2 で自動振り分け２) の規則を順に FOLDER の\n"
    "  メールに当て、合ったメールを規則の移動先のフォルダーに移します (Qim の「自動振り分け」と同じ)。\n"
    "  FOLDER は QimHome からの相対パス (絶対パスも可)、省略すると受信箱 (QimHome)。\n"
    "  規則ごとに 番号、移したメールの数、項目、内容、移動先 をタブ区切りで書きます。\n"
    "  出力は Shift_JIS、--utf8 で UTF-8。メッセージは標準エラーに書きます。\n"
    "  終了状態: 0 成功、1 規則がない・読みきれない・移動先がない・移動できなかった、\n"
    "  2 使い方の誤り。\n";

std::string ToTerminal(const std::string& sjis) { return platform::Cp932ToUtf8Lossy(sjis); }

// Boxes on standard error, as without windows, and counted.
class CountingDialogs : public platform::HeadlessDialogService {
public:
    platform::MessageAnswer MessageBox(const platform::MessageBoxRequest& request) override {
        ++boxes_;
        return HeadlessDialogService::MessageBox(request);
    }
    int Boxes() const { return boxes_; }

private:
    int boxes_ = 0;
};

std::string ItemName(const SAutoMoveFilesData& rule) {
    switch (rule.headerType) {
    case kSortHeaderFrom:
        return "From";
    case kSortHeaderSubject:
        return "Subject";
    case kSortHeaderTo:
        return "To";
    default:
        return rule.fieldName;
    }
}

int SortCommand(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return qimtool::kExitOk;
        }
    }
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--utf8"}, {"--home", "--set"}, parsed, error)) return qimtool::UsageError(kSort, error);
    if (parsed.operands.size() > 1) return qimtool::UsageError(kSort, "余分な引数があります: " + parsed.operands[1]);
    const std::string* setText = parsed.Value("--set");
    if (setText && *setText != "1" && *setText != "2")
        return qimtool::UsageError(kSort, "--set は 1 か 2 です: " + *setText);
    const bool second = setText && *setText == "2";
    int status = 0;
    if (!qimtool::SetHome(parsed, kSort, status)) return status;

    const std::string& home = GetQimHome();
    std::string folder = home;
    if (!parsed.operands.empty()) {
        std::string typed;
        if (!qimtool::TerminalToSjis(parsed.operands[0], typed))
            return qimtool::UsageError(kSort, "Shift_JIS にできないフォルダー名です: " + parsed.operands[0]);
        folder = ResolveSortDestination(home, typed);
    }
    if (!platform::IsDirectory(folder.c_str())) return qimtool::Failure("フォルダーが見つかりません: " + ToTerminal(folder));

    const SSortRuleSet set = second ? SSortRuleSet::Local2 : SSortRuleSet::Local1;
    SAMFProfile profile(set);
    const bool complete = profile.Load();
    const std::string section = AutoSortSection(set);
    if (profile.rules.empty())
        return qimtool::Failure("自動振り分け" + std::string(second ? "２" : "") + "の規則がありません (QIM.INI の [" +
                                section + "])");
    if (!complete)
        std::fprintf(stderr, "qimtool: QIM.INI の [%s] の %zu 番目の規則が読めません。その前の %zu 個の規則で振り分けます。\n",
                     section.c_str(), profile.rules.size() + 1, profile.rules.size());

    // Mail put into the folder behind the program's back is sorted too.
    SQimCacheFolder(folder).UpdateCache();
    CountingDialogs dialogs;
    platform::ScopedDialogService scope(dialogs);
    SAutoMoveFiles run(dialogs);
    if (!run.Start(home, folder, profile.rules)) return qimtool::Failure("キャッシュファイルを読めませんでした: " + ToTerminal(folder));
    while (run.RunStep()) {
    }
    const bool utf8 = parsed.Has("--utf8");
    std::string out;
    for (std::size_t i = 0; i < profile.rules.size(); ++i) {
        const SAutoMoveFilesData& rule = profile.rules[i];
        out.append(std::to_string(i + 1)).append("\t").append(std::to_string(run.MovedPerRule()[i])).append("\t");
        out.append(ItemName(rule)).append("\t").append(rule.pattern).append("\t").append(rule.destination).append("\n");
    }
    if (!qimtool::WriteOutput("", utf8 ? ToTerminal(out) : out)) return qimtool::Failure("書き出せませんでした");
    return complete && !run.Failed() && dialogs.Boxes() == 0 ? qimtool::kExitOk : qimtool::kExitFailure;
}

}  // namespace

const bool kRegistered = qimtool::RegisterCommand(kSort);
