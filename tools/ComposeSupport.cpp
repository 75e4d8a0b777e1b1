#include "tools/ComposeSupport.h"

#include <cstdlib>
#include <memory>

#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/CodePage.h"
#include "platform/FileSystem.h"
#include "send/SMakeMimeMail.h"

namespace qimtool {

// The home directory: --home, else $QIMHOME. QIM.INI is the one in it.
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
        status = Failure("QimHome フォルダーが見つかりません: " + (typed ? *typed : std::string(env)));
        return false;
    }
    SetQimHome(home);
    SetQimIniPath(home + "/QIM.INI");
    return true;
}

std::string Utf8Of(const std::string& sjis) { return platform::Cp932ToUtf8Lossy(sjis); }

bool Typed(const ParsedArgs& parsed, const char* option, std::string& sjis) {
    sjis.clear();
    std::string joined;
    for (const auto& [name, value] : parsed.values) {
        if (name != option) continue;
        std::string converted;
        if (!TerminalToSjis(value, converted)) {
            Failure(std::string(option) + " の値が Shift_JIS にできません");
            return false;
        }
        sjis += (sjis.empty() ? "" : ", ") + converted;
    }
    return true;
}

// The message file of a compose: the maker's own, or (plain text without
// MIME) the header text, the empty line and the editor lines.
bool MakeMessage(SEMailMimeHeader& header, SComposeText& editor, SAttachmentList& attachments, bool mime,
                 std::string& message) {
    std::unique_ptr<SMakeMimeMailFile> maker;
    if (!attachments.empty()) {
        auto binary = std::make_unique<SMakeBinaryMimeMail>(header, editor, &attachments, nullptr);
        binary->askSize = false;  // the files were named on purpose
        binary->confirm = false;
        maker = std::move(binary);
    } else if (mime) {
        maker = std::make_unique<SMakePlainTextMimeMail>(header, editor, nullptr);
    }
    if (maker) {
        if (!maker->Make()) return false;
        return ReadInput(maker->FilePath(), message);
    }
    // Without MIME the header lines go as typed (the server side converts
    // them to JIS with the rest), and without MIME-Version and Content-Type.
    SEMailHeader plain;
    static_cast<SEMailHeader&>(plain) = static_cast<const SEMailHeader&>(header);
    if (!plain.Build()) {
        Failure(Utf8Of(LoadQimString(qimstr::HeaderTooLong)));
        return false;
    }
    header.SetHeaderText(plain.HeaderText());
    message = plain.HeaderText() + "\r\n" + editor.Text();
    return true;
}

}  // namespace qimtool
