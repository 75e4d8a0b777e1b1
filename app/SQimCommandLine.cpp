#include "app/SQimCommandLine.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "config/QimCommandIds.h"
#include "config/QimSettingKeys.h"
#include "config/SUserInetData.h"
#include "common/FilePath.h"
#include "common/JString.h"
#include "common/QimCmmnsVersion.h"
#include "platform/NativePath.h"

namespace {

bool EqualsNoCase(const std::string& a, const char* b) { return jstraicmp(a.c_str(), b) == 0; }

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    const std::size_t n = std::strlen(prefix);
    return text.size() >= n && jstrnaicmp(text.c_str(), prefix, static_cast<int>(n)) == 0;
}

// One switch ("/X..." with the Linux "-X..." already turned into it).
void ApplySwitch(const std::string& arg, const SStartEnvironment& env, SQimStartOptions& o) {
    const char second = arg.size() > 1 ? arg[1] : '\0';
    const std::string rest = arg.size() > 2 ? arg.substr(2) : std::string();
    if (second == 'H' || second == 'h') {
        o.home = SearchQimHome(rest, env, o.home);
    } else if (second == 'I' || second == 'i') {
        o.iniPath = rest;
    } else if (EqualsNoCase(arg, "/NC")) {
        o.receiveAtStart = false;
    } else if (EqualsNoCase(arg, "/NU")) {
        o.receiveAtStart = false;
        o.settingsAtStart = true;
    } else if (second == '4') {
        o.mailboxTypeRequest = kImap4Port;
    } else if (second == '3') {
        o.mailboxTypeRequest = kPop3Port;
    } else if (EqualsNoCase(arg, "/DOUBLE")) {
        o.instanceMode = 1;
    } else if (EqualsNoCase(arg, "/DOUBLEX")) {
        o.instanceMode = 2;
    }
}

// The long options of a Linux program; they are taken out before the switches
// are examined. False with `error` for an option that lacks its value.
bool TakeLongOptions(std::vector<std::string>& args, SQimStartOptions& o, std::string& error) {
    std::vector<std::string> rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help") {
            o.help = true;
        } else if (a == "--version") {
            o.version = true;
        } else if (a == "--no-dialogs") {
            o.noDialogs = true;
        } else if (a == "--screenshot" || a.rfind("--screenshot=", 0) == 0) {
            if (a.size() > 13) {
                o.screenshot = a.substr(13);
            } else if (i + 1 < args.size()) {
                o.screenshot = args[++i];
            }
            if (o.screenshot.empty()) {
                error = "--screenshot にはファイル名が必要です。";
                return false;
            }
        } else {
            rest.push_back(a);
        }
    }
    args.swap(rest);
    return true;
}

}  // namespace

bool ParseQimCommandLine(const std::vector<std::string>& args, const SStartEnvironment& env,
                         const std::string& previousHome, SQimStartOptions& options, std::string& error) {
    SQimStartOptions o;
    std::vector<std::string> remaining = args;
    if (!TakeLongOptions(remaining, o, error)) return false;
    o.home = SearchQimHome(std::string(), env, previousHome);
    o.iniPath.clear();
    for (auto it = remaining.rbegin(); it != remaining.rend(); ++it) {
        std::string arg;
        if (!platform::FromNativePath(it->c_str(), arg)) {
            error = "引数 " + *it + " は Shift_JIS で表せないため使えません。";
            return false;
        }
        if (arg.size() > 1 && arg[0] == '-' && arg[1] != '-') arg[0] = '/';
        if (!arg.empty() && arg[0] == '/') {
            ApplySwitch(arg, env, o);
        } else if (StartsWithNoCase(arg, "mailto:")) {
            o.mailto = arg.substr(7);
        }
    }
    if (o.iniPath.empty()) o.iniPath = SearchQimIni(o.home, env);
    options = std::move(o);
    return true;
}

int FirstActionCommand(const std::string& mailto, bool receiveAtStart, bool settingsAtStart) {
    if (!mailto.empty()) return qimcmd::Compose;
    if (receiveAtStart) return qimcmd::Receive;
    if (settingsAtStart) return qimcmd::NetworkSettings;
    return 0;
}

int RequestedPop3Port(int mailboxTypeRequest, int pop3Port) {
    if (mailboxTypeRequest == kImap4Port && !IsServerFolderPort(pop3Port)) return kImap4Port;
    if (mailboxTypeRequest == kPop3Port && IsServerFolderPort(pop3Port)) return kPop3Port;
    return 0;
}

const char* QimUsageText() {
    return "使い方: qim [スイッチ...] [mailto:アドレス]\n"
           "  /H<フォルダー>  -H<フォルダー>  QimHome フォルダー (無指定なら QIMHOME, $HOME/QimHome, ./QimHome)\n"
           "  /I<ファイル>    -I<ファイル>    設定ファイル (無指定なら QIMINI, $QIMINIHOME/QIM.INI, QimHome/QIM.INI)\n"
           "  /NC  -NC        起動時に受信しない\n"
           "  /NU  -NU        起動時に受信せず、ネットワーク関係の設定を開く\n"
           "  /4   -4         サーバー側のフォルダー (IMAP4, ポート 143) に切り替える\n"
           "  /3   -3         ローカルのフォルダー (POP3, ポート 110) に切り替える\n"
           "  /DOUBLE         既に起動していても、もう一つ起動する\n"
           "  /DOUBLEX        起動中のものと QimHome が違うときだけ、もう一つ起動する\n"
           "  mailto:アドレス そのアドレス宛てのメールを書き始める\n"
           "  --help          この説明\n"
           "  --version       版\n"
           "スイッチは後ろから順に調べるので、食い違うときは左のものが勝ちます。\n";
}

std::string QimVersionText() {
    char text[64];
    std::snprintf(text, sizeof text, "Qim %s (qimcmmns %d.%02d)", QIM_VERSION, QimCmmnsVersionMajor(),
                  QimCmmnsVersionMinor());
    return text;
}

bool PrintInformation(const SQimStartOptions& options) {
    if (options.help) {
        std::fputs(QimUsageText(), stdout);
        return true;
    }
    if (options.version) {
        std::printf("%s\n", QimVersionText().c_str());
        return true;
    }
    return false;
}
