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
