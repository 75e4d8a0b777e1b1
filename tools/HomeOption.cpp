#include "tools/HomeOption.h"

#include <cstdlib>
#include <string>

#include "config/QimGlobals.h"
#include "platform/FileSystem.h"

namespace qimtool {

bool SetHome(const ParsedArgs& parsed, const Command& command, int& status) {
    const std::string* typed = parsed.Value("--home");
    const char* env = std::getenv("QIMHOME");
    if (!typed && !(env && *env)) {
        status = UsageError(command, "--home か環境変数 QIMHOME でホームディレクトリを指定してください");
        return false;
    }
    std::string home;
    if (!TerminalToSjis(typed ? *typed : env, home)) {
        status = Failure("ホームディレクトリの名前が Shift_JIS にできません");
        return false;
    }
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    if (!platform::IsDirectory(home.c_str())) {
        std::string message = "QimHome フォルダーが見つかりません: ";
        message.append(typed ? *typed : std::string(env));
        status = Failure(message);
        return false;
    }
    SetQimHome(home);
    SetQimIniPath(home + "/QIM.INI");
    return true;
}

}  // namespace qimtool
