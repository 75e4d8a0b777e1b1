// receive: brings the POP3 server's mail into the inbox of a home directory,
// with that home's settings, as the program's Receive command does, but
// without windows: progress and every message go to standard error.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "config/QimGlobals.h"
#include "config/QimNotices.h"
#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/SQimHomeSearch.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "platform/CodePage.h"
#include "platform/DialogService.h"
#include "platform/DurableFile.h"
#include "platform/FileSystem.h"
#include "filters/SAMFProfile.h"
#include "filters/SAutoMoveFiles.h"
#include "pop3/SReceiveRun.h"
#include "tools/AccountPassword.h"
#include "tools/ToolCommand.h"

namespace {

int ReceiveCommand(const std::vector<std::string>& args);

const qimtool::Command kReceive{"receive", "[--home DIR]", "POP3 サーバーのメールを受信箱に受信する", ReceiveCommand};

const char kHelp[] =
    "使い方: qimtool receive [--home DIR]\n"
    "  DIR (無指定なら QIMHOME, $HOME/QimHome) の設定で POP3 サーバーからメールを受信し、\n"
    "  受信箱 (DIR そのもの) に新しい番号のファイルとして保存します。\n"
    "  パスワードは QIM.INI に保存されていればそれを、なければ環境変数 QIM_PASSWORD を、\n"
    "  それもなければ端末から (表示せずに) 読みます。経過とメッセージは標準エラーに出します。\n"
    "  DelMails=0 (サーバーにメールを残す) のときは受信済みのメールを UIDL で DIR/UIDL*.TXT に覚え、\n"
    "  次の受信では新しいメールだけを受信します。\n"
    "  SortAfterReceive=1 ([Qim]) のときは、受信したあと受信箱で自動振り分けを実行します。\n"
    "  終了状態: 0 成功、1 受信の失敗、2 使い方の誤り。\n";

std::string ToTerminal(const std::string& sjis) {
    std::string utf8;
    qimtool::SjisToTerminal(sjis, utf8);
    return utf8;
}

// Progress on standard error, one line per status text.
class TerminalProgress : public SPop3Observer {
public:
    explicit TerminalProgress(SUserInetData& inet) : inet_(inet) {}
    void ShowStatus(const std::string& text) override {
        if (!text.empty() && text != last_) std::fprintf(stderr, "%s\n", ToTerminal(text).c_str());
        last_ = text;
    }
    void ShowFrom(const std::string& text) override { std::fprintf(stderr, "  From: %s\n", ToTerminal(text).c_str()); }
    void ShowSubject(const std::string& text) override {
        std::fprintf(stderr, "  Subject: %s\n", ToTerminal(text).c_str());
    }
    void ShowSecurity(const std::string& text) override { std::fprintf(stderr, "%s\n", ToTerminal(text).c_str()); }
    bool AskPassword() override { return qimtool::PromptPassword(inet_.password); }
    void Notify(const SNotice& notice) override { ShowNotice(notice); }
    // Nobody else is told of a refused login here.
    void ReportLogin(int code) override {
        if (code == qimreq::LoginRefused) ShowNotice(SNotice::Program(qimstr::WrongPassword));
    }
    void Ended(int, bool) override {}

private:
    SUserInetData& inet_;
    std::string last_;
};

// The first rule set over the inbox, as the window does after new mail when
// the option is on. A skipped rule is only told (the mail is safe in the
// inbox); false when a move failed.
bool SortInbox(const std::string& home, platform::DialogService& dialogs) {
    SAMFProfile profile(SSortRuleSet::Local1);
    profile.Load();
    if (profile.rules.empty()) return true;
    SAutoMoveFiles run(dialogs);
    if (!run.Start(home, home, profile.rules)) return false;
    while (run.RunStep()) {
    }
    std::fprintf(stderr, "自動振り分けで %d 通を移しました。\n", run.TotalMoved());
    return !run.Failed();
}

int ReceiveCommand(const std::vector<std::string>& args) {
    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kHelp, stdout);
            return qimtool::kExitOk;
        }
    }
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {}, {"--home"}, parsed, error)) return qimtool::UsageError(kReceive, error);
    if (!parsed.operands.empty()) return qimtool::UsageError(kReceive, "余分な引数があります: " + parsed.operands[0]);

    SProcessEnvironment env;
    std::string home;
    if (const std::string* typed = parsed.Value("--home")) {
        if (!qimtool::TerminalToSjis(*typed, home))
            return qimtool::UsageError(kReceive, "Shift_JIS にできないフォルダー名です: " + *typed);
    } else {
        home = SearchQimHome(std::string(), env, std::string());
    }
    if (!platform::IsDirectory(home.c_str())) return qimtool::Failure("QimHome フォルダーが見つかりません: " + ToTerminal(home));
    SetQimHome(home);
    SetQimIniPath(SearchQimIni(home, env));

    int argc = 1;
    char name[] = "qimtool";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    SUserInetData inet;
    inet.Read();
    SSettingData& settings = GetSettingData();
    settings.Read();
    if (inet.pop3Server.empty() || inet.userName.empty() || inet.pop3Port < 1)
        return qimtool::Failure("受信の設定 (POP3Addr, POP3Port, UserName) が QIM.INI にありません。");
    if (!qimtool::TakePasswordFromEnvironment(inet, error)) return qimtool::Failure(error);
    // Measuring only: what the flush to stable storage costs per message.
    if (const char* off = std::getenv("QIM_BENCH_NO_FSYNC"); off && std::strcmp(off, "1") == 0)
        platform::DurableFile::SetSyncEnabled(false);

    platform::HeadlessDialogService dialogs;
    platform::DialogService* before = platform::SetDialogService(&dialogs);
    SReceiveRun run(home, inet, settings);
    TerminalProgress progress(inet);
    int timeoutMs = 0;
    if (const char* t = std::getenv("QIM_RECEIVE_TIMEOUT_MS")) timeoutMs = std::atoi(t);
    const SReceiveOutcome outcome = RunReceive(run, progress, timeoutMs);
    ShowNotices(outcome.notices);
    if (outcome.noNewMail) ShowNotice(SNotice::Program(qimstr::NoNewMail, {}, platform::MessageIcon::Information));
    const bool sorted = !(settings.sortAfterReceive && outcome.Arrived()) || SortInbox(home, dialogs);
    platform::SetDialogService(before);

    if (outcome.Arrived())
        std::fprintf(stderr, "%d 通受信しました (%d から %d)。\n", outcome.lastNew - outcome.firstNew + 1,
                     outcome.firstNew, outcome.lastNew);
    return outcome.failed || outcome.result != qimpop3::kResultOk || !sorted ? qimtool::kExitFailure : qimtool::kExitOk;
}

const bool kRegistered = qimtool::RegisterCommand(kReceive);

}  // namespace
