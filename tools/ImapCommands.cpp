// imap: the server folders of the IMAP4 account of a home directory, without
// windows, over the same session the server-folder window uses. Folders are
// named in their local path form ("_QimP\仕事", or 仕事 and 仕事/2026 below the root).
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "config/QimGlobals.h"
#include "config/SQimTmpFilePath.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "config/QimNotices.h"
#include "imap/Imap4Codes.h"
#include "imap/SImap4Flags.h"
#include "imap/SQimPIniFilesMail.h"
#include "imap/SQimPSettingData.h"
#include "platform/CodePage.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/NativePath.h"
#include "tools/AccountPassword.h"
#include "tools/HomeOption.h"
#include "tools/ImapHeaders.h"
#include "tools/ImapRunner.h"
#include "tools/ToolCommand.h"

namespace {

int ImapCommand(const std::vector<std::string>& args);

const qimtool::Command kImap{"imap", "folders|headers|fetch|append|copy|flag|delete|search|mkdir|rename|rmdir|put-settings|get-settings ...",
                             "IMAP4 サーバーのフォルダーとメールを扱う", ImapCommand};

const char kHelp[] =
    "使い方: qimtool imap SUB [--home DIR] [--mh] [--verbose] ...\n"
    "  folders [--utf8]                   サーバーのフォルダーを 1 行に 1 つ出す\n"
    "  headers FOLDER [--recent] [--utf8] ヘッダー一覧 (番号 TAB 日付 TAB 差出人 TAB 件名)\n"
    "  fetch FOLDER N OUT                 N 番のメールを OUT (- は標準出力) に取り出す\n"
    "  append FOLDER MAIL [--seen]        メールファイルをフォルダーに追加する\n"
    "  copy FOLDER FIRST LAST DEST        FIRST から LAST 番を DEST にコピーする\n"
    "  flag FOLDER FIRST LAST +FLAG|-FLAG フラグ (\\Seen \\Answered \\Flagged \\Deleted \\Draft) を変える\n"
    "  delete FOLDER FIRST LAST           削除の印を付けてフォルダーを閉じる (消去する)\n"
    "  search [--field NAME] FOLDER PATTERN  見つかったメールの番号を 1 行に 1 つ出す\n"
    "  mkdir FOLDER / rename OLD NEW / rmdir FOLDER\n"
    "  put-settings                       設定ファイルをサーバーに置く (終了時と同じ。置いたファイル名を出す)\n"
    "  get-settings                       設定ファイルをサーバーから取り出す (起動時と同じ。書き換えたファイル名を出す)\n"
    "  put-settings と get-settings の鍵ファイルと QIM.INI は QIM.INI の INIFilesPlace に従う。\n"
    "  FOLDER は _QimP\\A\\B の形 (先頭の _QimP\\ は省略でき、/ も区切りに使える)。_QimP は INBOX。\n"
    "  --mh は #mh 名前空間のサーバー。設定とパスワードは receive と同じ (QIM.INI, QIM_PASSWORD, 端末)。\n"
    "  終了状態: 0 成功、1 失敗 (search で見つからないときも)、2 使い方の誤り。\n";

struct SubCommand {
    const char* name;
    std::size_t operands;
};
constexpr SubCommand kSubCommands[] = {
    {"folders", 0}, {"headers", 1}, {"fetch", 3}, {"append", 2}, {"copy", 4},  {"flag", 4},
    {"delete", 3},  {"search", 2},  {"mkdir", 1}, {"rename", 2}, {"rmdir", 1},
    {"put-settings", 0}, {"get-settings", 0},
};

// The local path form of a typed folder name, Shift_JIS: "_QimP" and
// backslashes, whatever separator was typed.
bool FolderPathOf(const std::string& typed, std::string& path) {
    std::string sjis;
    if (!qimtool::TerminalToSjis(typed, sjis)) return false;
    for (char& c : sjis)
        if (c == '/') c = '\\';
    while (!sjis.empty() && sjis.back() == '\\') sjis.pop_back();
    const std::string root = qimimap::kQimPRoot;
    if (sjis == root || sjis.rfind(root + "\\", 0) == 0)
        path = sjis;
    else
        path = sjis.empty() ? root : root + "\\" + sjis;
    return true;
}

// The mailbox a folder's mail lives in: the root is the INBOX; a folder of
// the plain variant keeps its mail in its "_mbox".
std::string MailFolderOf(const std::string& folder, bool mh) {
    if (mh || folder == qimimap::kQimPRoot) return folder;
    return folder + "\\" + qimimap::kMboxFolder;
}

bool NumberOf(const std::string& text, int& number) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1 || value > 0x7fffffff) return false;
    number = static_cast<int>(value);
    return true;
}

// The bytes of a file the session wrote (a Shift_JIS name).
bool ReadSjisNamed(const std::string& sjisPath, std::string& data) {
    std::string native;
    return platform::ToNativePath(sjisPath.c_str(), native) && qimtool::ReadInput(native, data);
}

std::string Shown(const std::string& sjis, bool utf8) { return utf8 ? platform::Cp932ToUtf8Lossy(sjis) : sjis; }

class ImapTool {
public:
    ImapTool(qimtool::ImapRunner& runner, const SUserInetData& inet, const qimtool::ParsedArgs& parsed, bool mh)
        : runner_(runner), inet_(inet), parsed_(parsed), mh_(mh) {}

    int Run(const std::string& sub);

private:
    int Folders();
    int Headers();
    int Fetch();
    int Append();
    int Copy();
    int Flag();
    int Delete();
    int Search();
    int MakeFolder();
    int RenameFolder();
    int RemoveFolder();
    SQimPIniFilesMail::RequestFunction SessionRequest();
    int PutSettings();
    int GetSettings();
    int SettingsDone(SQimPIniFilesMail& settings, int operation, bool requested);

    bool Folder(std::size_t index, std::string& path) { return FolderPathOf(parsed_.operands[index], path); }
    bool Range(std::size_t index, SImap4Request& request);
    int Done(bool ok) { return ok ? qimtool::kExitOk : qimtool::kExitFailure; }
    int Usage(const std::string& message) { return qimtool::UsageError(kImap, message); }

    qimtool::ImapRunner& runner_;
    const SUserInetData& inet_;
    const qimtool::ParsedArgs& parsed_;
    bool mh_;
};

int ImapTool::Run(const std::string& sub) {
    if (sub == "folders") return Folders();
    if (sub == "headers") return Headers();
    if (sub == "fetch") return Fetch();
    if (sub == "append") return Append();
    if (sub == "copy") return Copy();
    if (sub == "flag") return Flag();
    if (sub == "delete") return Delete();
    if (sub == "search") return Search();
    if (sub == "mkdir") return MakeFolder();
    if (sub == "rename") return RenameFolder();
    if (sub == "put-settings") return PutSettings();
    if (sub == "get-settings") return GetSettings();
    return RemoveFolder();
}

bool ImapTool::Range(std::size_t index, SImap4Request& request) {
    return NumberOf(parsed_.operands[index], request.first) && NumberOf(parsed_.operands[index + 1], request.last) &&
           request.first <= request.last;
}

int ImapTool::Folders() {
    SQimTmpFilePath list;
    SImap4Request request;
    request.listFile = list.Path();
    request.folder = qimimap::kQimPRoot;
    if (!runner_.Run(qimimap::kOpListFolders, request)) return qimtool::kExitFailure;
    std::string text;
    if (!ReadSjisNamed(list.Path(), text))
        return qimtool::Failure("フォルダーの一覧を読めませんでした。");
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) out.append(line).push_back('\n');
        pos = end + 1;
    }
    return Done(qimtool::WriteOutput("", Shown(out, parsed_.Has("--utf8"))));
}

int ImapTool::Headers() {
    std::string folder;
    if (!Folder(0, folder)) return Usage("Shift_JIS にできないフォルダー名です");
    std::string rows;
    if (!qimtool::FetchHeaderRows(runner_, MailFolderOf(folder, mh_), parsed_.Has("--recent"), rows))
        return qimtool::kExitFailure;
    if (runner_.NoRecentMail() && parsed_.Has("--recent")) std::fprintf(stderr, "新着メールはありません。\n");
    return Done(qimtool::WriteOutput("", Shown(rows, parsed_.Has("--utf8"))));
}

int ImapTool::Fetch() {
    SImap4Request request;
    std::string folder;
    if (!Folder(0, folder)) return Usage("Shift_JIS にできないフォルダー名です");
    if (!NumberOf(parsed_.operands[1], request.first)) return Usage("メールの番号が正しくありません");
    request.folder = MailFolderOf(folder, mh_);
    const std::string& out = parsed_.operands[2];
    SQimTmpFilePath temporary;
    if (out == "-") {
        request.mailFile = temporary.Path();
    } else if (!qimtool::TerminalToSjis(out, request.mailFile)) {
        return Usage("Shift_JIS にできないファイル名です");
    }
    if (!runner_.Run(qimimap::kOpFetchBody, request)) return qimtool::kExitFailure;
    if (out != "-") return qimtool::kExitOk;
    std::string mail;
    if (!ReadSjisNamed(request.mailFile, mail)) return qimtool::Failure("取り出したメールを読めません。");
    return Done(qimtool::WriteOutput("", mail));
}

int ImapTool::Append() {
    SImap4Request request;
    std::string folder;
    if (!Folder(0, folder)) return Usage("Shift_JIS にできないフォルダー名です");
    if (!qimtool::TerminalToSjis(parsed_.operands[1], request.mailFile)) return Usage("Shift_JIS にできないファイル名です");
    if (!platform::IsRegularFile(request.mailFile.c_str())) return qimtool::Failure("メールファイルがありません: " + parsed_.operands[1]);
    request.folder = MailFolderOf(folder, mh_);
    request.mark = parsed_.Has("--seen") ? qimimap::MarkOfFlags(qimimap::kFlagSeen) : 0;
    return Done(runner_.Run(qimimap::kOpAppend, request));
}

int ImapTool::Copy() {
    SImap4Request request;
    std::string source, destination;
    if (!Folder(0, source) || !Folder(3, destination)) return Usage("Shift_JIS にできないフォルダー名です");
    if (!Range(1, request)) return Usage("メールの番号が正しくありません");
    request.source = MailFolderOf(source, mh_);
    request.folder = request.source;
    request.destination = MailFolderOf(destination, mh_);
    return Done(runner_.Run(qimimap::kOpCopy, request));
}

int ImapTool::Flag() {
    SImap4Request request;
    std::string folder;
    if (!Folder(0, folder)) return Usage("Shift_JIS にできないフォルダー名です");
    if (!Range(1, request)) return Usage("メールの番号が正しくありません");
    const std::string& change = parsed_.operands[3];
    const unsigned flag = change.size() > 1 ? qimimap::FlagBitOf(change.substr(1)) : 0;
    if ((change[0] != '+' && change[0] != '-') || flag == 0 || flag == qimimap::kFlagRecent)
        return Usage("+FLAG か -FLAG (\\Seen \\Answered \\Flagged \\Deleted \\Draft) を指定してください");
    request.folder = MailFolderOf(folder, mh_);
    request.add = change[0] == '+';
    request.flags = flag;
    return Done(runner_.Run(qimimap::kOpChangeFlags, request));
}

int ImapTool::Delete() {
    SImap4Request request;
    std::string folder;
    if (!Folder(0, folder)) return Usage("Shift_JIS にできないフォルダー名です");
    if (!Range(1, request)) return Usage("メールの番号が正しくありません");
    request.folder = MailFolderOf(folder, mh_);
    if (!runner_.Run(qimimap::kOpMarkDeleted, request)) return qimtool::kExitFailure;
    return Done(runner_.Run(qimimap::kOpCloseFolder, request));
}

int ImapTool::Search() {
    SImap4Request request;
    std::string folder, pattern;
    if (!Folder(0, folder)) return Usage("Shift_JIS にできないフォルダー名です");
    if (!qimtool::TerminalToSjis(parsed_.operands[1], pattern) || pattern.empty())
        return Usage("検索する文字列を Shift_JIS にできません");
    request.condition.SetPattern(pattern.c_str());
    if (const std::string* field = parsed_.Value("--field")) {
        std::string name;
        if (!qimtool::TerminalToSjis(*field, name) || name.empty()) return Usage("フィールド名が正しくありません");
        request.condition.SetFieldName(name.c_str());
        request.condition.SetWhere(SFindMailCondition::FindInField);
    }
    std::string result;
    request.folder = MailFolderOf(folder, mh_);
    request.searchResult = &result;
    if (!runner_.Run(qimimap::kOpSearch, request)) return qimtool::kExitFailure;
    std::string out;
    for (std::size_t pos = 0; pos < result.size();) {
        const std::size_t start = result.find_first_not_of(" \r\n", pos);
        if (start == std::string::npos) break;
        std::size_t end = result.find_first_of(" \r\n", start);
        if (end == std::string::npos) end = result.size();
        out.append(result, start, end - start).push_back('\n');
        pos = end;
    }
    if (!qimtool::WriteOutput("", out)) return qimtool::Failure("書き出せませんでした");
    return out.empty() ? qimtool::kExitFailure : qimtool::kExitOk;
}

int ImapTool::MakeFolder() {
    SImap4Request request;
    std::string folder;
    if (!Folder(0, folder)) return Usage("Shift_JIS にできないフォルダー名です");
    if (folder == qimimap::kQimPRoot) return Usage("_QimP そのものは作れません");
    request.folder = MailFolderOf(folder, mh_);
    return Done(runner_.Run(qimimap::kOpCreateFolder, request));
}

int ImapTool::RenameFolder() {
    SImap4Request request;
    if (!Folder(0, request.source) || !Folder(1, request.destination)) return Usage("Shift_JIS にできないフォルダー名です");
    if (request.source == qimimap::kQimPRoot || request.destination == qimimap::kQimPRoot)
        return Usage("_QimP そのものの名前は変えられません");
    return Done(runner_.Run(qimimap::kOpRenameFolder, request));
}

int ImapTool::RemoveFolder() {
    SImap4Request request;
    std::string folder;
    if (!Folder(0, folder)) return Usage("Shift_JIS にできないフォルダー名です");
    if (folder == qimimap::kQimPRoot) return Usage("_QimP そのものは削除できません");
    request.folder = folder;
    request.destination = folder;
    return Done(runner_.Run(qimimap::kOpDeleteFolder, request));
}

// The session's completion goes to the settings commands, which tell the rest.
int ImapTool::SettingsDone(SQimPIniFilesMail& settings, int operation, bool requested) {
    if (requested) {
        const bool ok = runner_.Wait(operation);
        settings.Completed(operation, ok ? qimimap::kResultSuccess : qimimap::kResultFailure);
    }
    ShowNotices(settings.TakeNotices());
    if (!requested || !settings.Succeeded()) return qimtool::kExitFailure;
    std::string out;
    for (const std::string& name : settings.Files()) out.append(name).push_back('\n');
    return Done(qimtool::WriteOutput("", Shown(out, parsed_.Has("--utf8"))));
}

SQimPIniFilesMail::RequestFunction ImapTool::SessionRequest() {
    return [this](const SImap4Request& r, int op) { return runner_.Session().Request(r, op); };
}

int ImapTool::PutSettings() {
    SQimPSettingData options;
    options.Read();
    // Listing the folders makes the settings mailbox when the server has none yet.
    SQimTmpFilePath list;
    SImap4Request request;
    request.listFile = list.Path();
    request.folder = qimimap::kQimPRoot;
    if (!runner_.Run(qimimap::kOpListFolders, request)) return qimtool::kExitFailure;
    SQimTmpFilePath mail;
    SQimPIniFilesMail settings(SessionRequest(), inet_.mailAddress, options.iniFilesPlace);
    return SettingsDone(settings, qimimap::kOpReplace, settings.Put(mail.Path()));
}

int ImapTool::GetSettings() {
    SQimPSettingData options;
    options.Read();
    SQimTmpFilePath mail;
    SQimPIniFilesMail settings(SessionRequest(), inet_.mailAddress, options.iniFilesPlace);
    return SettingsDone(settings, qimimap::kOpFetchBodyForForward, settings.Fetch(mail.Path()));
}

int ImapCommand(const std::vector<std::string>& args) {
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::fputs(kHelp, stdout);
        return args.empty() ? qimtool::kExitUsage : qimtool::kExitOk;
    }
    const SubCommand* sub = nullptr;
    for (const SubCommand& s : kSubCommands)
        if (args[0] == s.name) sub = &s;
    if (!sub) return qimtool::UsageError(kImap, "不明な指定です: " + args[0]);
    qimtool::ParsedArgs parsed;
    std::string error;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (!qimtool::ParseArgs(rest, {"--utf8", "--recent", "--seen", "--mh", "--verbose"}, {"--home", "--field"}, parsed,
                            error))
        return qimtool::UsageError(kImap, error);
    if (parsed.operands.size() != sub->operands)
        return qimtool::UsageError(kImap, std::string(sub->name) + " の引数の数が違います (--help)");
    int status = 0;
    if (!qimtool::SetHome(parsed, kImap, status)) return status;

    int argc = 1;
    char name[] = "qimtool";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    SUserInetData inet;
    inet.Read();
    SSettingData& settings = GetSettingData();
    settings.Read();
    if (!inet.HasReceiveAccount())
        return qimtool::Failure("受信の設定 (POP3Addr, POP3Port, UserName) が QIM.INI にありません。");
    if (!qimtool::TakePasswordFromEnvironment(inet, error)) return qimtool::Failure(error);

    platform::HeadlessDialogService dialogs;
    platform::DialogService* before = platform::SetDialogService(&dialogs);
    int result = qimtool::kExitFailure;
    {
        qimtool::ImapRunner runner(inet, settings, parsed.Has("--mh"), parsed.Has("--verbose"));
        if (const char* t = std::getenv("QIM_RECEIVE_TIMEOUT_MS")) runner.Session().SetTimeout(std::atoi(t));
        result = ImapTool(runner, inet, parsed, parsed.Has("--mh")).Run(sub->name);
    }
    platform::SetDialogService(before);
    return result;
}

const bool kRegistered = qimtool::RegisterCommand(kImap);

}  // namespace
