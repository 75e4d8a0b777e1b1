// alias: the address book of a home directory (ALIAS.INI): list its folders
// and entries, add an entry, and expand an alias name into the addresses the
// compose window would put in.
#include <cstdio>
#include <string>
#include <vector>

#include "address/AliasLookup.h"
#include "address/SAddressArray.h"
#include "address/SAddressFolder.h"
#include "address/SAliasExpand.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/CodePage.h"
#include "tools/HomeOption.h"
#include "tools/ToolCommand.h"

namespace {

int AliasCommand(const std::vector<std::string>& args);

const qimtool::Command kAlias{"alias",
                              "list [--home DIR] [--utf8] | add [--home DIR] [--comment C] FOLDER NAME ADDRESS | "
                              "expand [--home DIR] [--utf8] NAME",
                              "住所録 (ALIAS.INI) の一覧、登録、別名の展開", AliasCommand};

const char kAliasHelp[] =
    "使い方: qimtool alias list [--home DIR] [--utf8]\n"
    "        qimtool alias add [--home DIR] [--comment C] FOLDER NAME ADDRESS\n"
    "        qimtool alias expand [--home DIR] [--utf8] NAME\n"
    "  list    フォルダーごとに登録されている名前、アドレス、コメントをタブ区切りで書く\n"
    "  add     FOLDER (よく使うアドレス はフォルダー 0) の最後に NAME と ADDRESS を登録する。\n"
    "          FOLDER がなければ作ります (アドレスメニューに出るフォルダーになります)。\n"
    "  expand  NAME を送信メールの宛先に入れるときのアドレスを書く (リストファイルも展開)。\n"
    "          NAME が住所録にないとき、展開できないときは終了コード 1。\n"
    "  --home がなければ環境変数 QIMHOME のホームディレクトリ。出力は Shift_JIS、--utf8 で UTF-8。\n";

std::string Utf8Of(const std::string& sjis) { return platform::Cp932ToUtf8Lossy(sjis); }

int Write(std::string out, bool utf8) {
    if (utf8) out = Utf8Of(out);
    if (!qimtool::WriteOutput("", out)) return qimtool::Failure("書き出せませんでした");
    return qimtool::kExitOk;
}

int AliasList(bool utf8) {
    SAddressFolderList folders;
    const bool ok = folders.Load();
    std::string out;
    for (const SAddressFolder& folder : folders) {
        out.append("[").append(folder.name).append("]\t").append(std::to_string(folder.id));
        if (folder.IsNonMenu()) out.append("\t").append(LoadQimString(qimstr::NonMenuMark));
        out.append("\n");
        SAddressArray contents{folder.id, {}, 0};
        contents.Load(false);
        for (const SAlias& entry : contents.aliases)
            out.append("\t").append(entry.alias).append("\t").append(entry.address).append("\t").append(entry.comment).append("\n");
    }
    const int status = Write(out, utf8);
    if (!ok) return qimtool::Failure(Utf8Of(LoadStringCmmnDll(cmmnstr::SettingsBroken)));
    return status;
}

int AliasAdd(const qimtool::ParsedArgs& parsed) {
    if (parsed.operands.size() != 4) return qimtool::UsageError(kAlias, "FOLDER NAME ADDRESS を指定してください");
    std::string folderName;
    SAlias entry;
    const std::string* comment = parsed.Value("--comment");
    if (!qimtool::TerminalToSjis(parsed.operands[1], folderName) || !qimtool::TerminalToSjis(parsed.operands[2], entry.alias) ||
        !qimtool::TerminalToSjis(parsed.operands[3], entry.address) ||
        (comment && !qimtool::TerminalToSjis(*comment, entry.comment)))
        return qimtool::UsageError(kAlias, "Shift_JIS にできない文字があります");
    if (entry.alias.empty() || entry.address.empty())
        return qimtool::UsageError(kAlias, Utf8Of(LoadQimString(qimstr::EnterAliasAndAddress)));
    if (!entry.FitsStoredForm()) return qimtool::Failure(Utf8Of(LoadQimString(qimstr::AliasFieldsTooLong)));
    // A damaged folder list is never written over.
    SAddressFolderList folders;
    if (!folders.Load()) return qimtool::Failure(Utf8Of(LoadStringCmmnDll(cmmnstr::SettingsBroken)));
    int index = folders.FindByName(folderName);
    if (index < 0) {
        if (folderName.empty() || folderName.size() > static_cast<std::size_t>(qimaddr::kFolderNameMax))
            return qimtool::UsageError(kAlias, "フォルダー名は 1 から 256 バイトまでです");
        if (folders.NewFolder(folderName) < 0) return qimtool::Failure(Utf8Of(LoadStringCmmnDll(cmmnstr::CannotRegisterMore)));
        if (!folders.Save()) return qimtool::Failure(Utf8Of(LoadStringCmmnDll(cmmnstr::CannotWriteOut)));
        index = static_cast<int>(folders.size()) - 1;
    }
    SAddressArray contents{folders[static_cast<std::size_t>(index)].id, {}, 0};
    contents.Load(false);
    contents.aliases.push_back(entry);
    if (!contents.Save()) return qimtool::Failure(Utf8Of(LoadStringCmmnDll(cmmnstr::CannotWriteOut)));
    return qimtool::kExitOk;
}

int AliasExpand(const qimtool::ParsedArgs& parsed) {
    if (parsed.operands.size() != 2) return qimtool::UsageError(kAlias, "展開する名前を一つ指定してください");
    std::string name;
    if (!qimtool::TerminalToSjis(parsed.operands[1], name)) return qimtool::UsageError(kAlias, "Shift_JIS にできない名前です");
    std::string address;
    if (!FindAddressOfAliasName(name, address)) {
        std::string message = "「";
        message.append(parsed.operands[1]).append("」は住所録にありません。");
        return qimtool::Failure(message);
    }
    std::string path;
    if (address.size() > 1 && address[0] == '\\' && address[1] != '\\' && !AliasListFilePath(address, GetQimHome(), path))
        return qimtool::Failure(Utf8Of(LoadQimString(qimstr::AliasListOutsideHome)));
    std::string expanded;
    if (!ExpandAliasAddress(address, expanded) || expanded.empty())
        return qimtool::Failure(Utf8Of(LoadQimString(qimstr::AliasListFailed)));
    expanded.push_back('\n');
    return Write(expanded, parsed.Has("--utf8"));
}

int AliasCommand(const std::vector<std::string>& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            std::fputs(kAliasHelp, stdout);
            return qimtool::kExitOk;
        }
    qimtool::ParsedArgs parsed;
    std::string error;
    if (!qimtool::ParseArgs(args, {"--utf8"}, {"--home", "--comment"}, parsed, error))
        return qimtool::UsageError(kAlias, error);
    if (parsed.operands.empty()) return qimtool::UsageError(kAlias, "list, add, expand のどれかを指定してください");
    const std::string& sub = parsed.operands[0];
    if (sub != "list" && sub != "add" && sub != "expand") return qimtool::UsageError(kAlias, "不明な操作です: " + sub);
    int status = 0;
    if (!qimtool::SetHome(parsed, kAlias, status)) return status;
    if (sub == "list") {
        if (parsed.operands.size() != 1) return qimtool::UsageError(kAlias, "list に引数はありません");
        return AliasList(parsed.Has("--utf8"));
    }
    if (sub == "add") return AliasAdd(parsed);
    return AliasExpand(parsed);
}

const bool kRegistered = qimtool::RegisterCommand(kAlias);

}  // namespace
