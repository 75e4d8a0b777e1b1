#include "app/SOptionCommands.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/SCommandTable.h"
#include "app/SQimWindowLayer.h"
#include "common/QimMessageBox.h"
#include "common/SFont.h"
#include "config/QimCommandIds.h"
#include "config/QimLayoutSettings.h"
#include "config/QimSettingKeys.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimSendSettingData.h"
#include "config/SUserInetData.h"
#include "platform/DialogService.h"

namespace {

// The address phrase is read back into 72 bytes with its terminator.
constexpr std::size_t kMaxPhraseBytes = 71;

std::string WithBounds(unsigned id) {
    char text[256];
    std::snprintf(text, sizeof text, LoadQimString(id).c_str(), kMinFoldWidth, kMaxFoldWidth);
    return text;
}

// A whole decimal number and nothing else.
bool ParseWidth(const std::string& text, int& width) {
    std::size_t begin = text.find_first_not_of(" \t");
    std::size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) return false;
    const std::string digits = text.substr(begin, end - begin + 1);
    if (digits.empty() || digits.size() > 6 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
    width = std::atoi(digits.c_str());
    return true;
}

}  // namespace

void SOptionCommands::Written(bool ok) {
    if (!ok)
        QimMessageBox(windows_.MainWindow(), LoadQimString(qimstr::SettingNotWritten).c_str(),
                      platform::MessageIcon::Stop);
}

void SOptionCommands::ToggleTextAsMime() {
    send_.textAsMime = !send_.textAsMime;
    Written(send_.Write());
}

bool SOptionCommands::AskUntilValid(platform::InputBoxRequest request, const std::function<bool(const std::string&)>& valid,
                                    const std::string& refusal, std::string& typed) {
    request.parent = windows_.MainWindow();
    for (;;) {
        if (!platform::Dialogs().InputBox(request, typed)) return false;
        if (valid(typed)) return true;
        QimMessageBox(windows_.MainWindow(), refusal.c_str(), platform::MessageIcon::Exclamation);
        request.text = typed;
    }
}

void SOptionCommands::EditFoldWidth() {
    platform::InputBoxRequest request;
    request.caption = LoadQimString(qimcmd::FoldWidth);
    request.prompt = WithBounds(qimstr::FoldWidthPrompt);
    request.text = std::to_string(send_.foldWidth);
    request.maxLength = 6;
    int width = 0;
    const auto inBounds = [&width](const std::string& text) {
        return ParseWidth(text, width) && width >= kMinFoldWidth && width <= kMaxFoldWidth;
    };
    std::string typed;
    if (!AskUntilValid(request, inBounds, WithBounds(qimstr::FoldWidthOutOfRange), typed)) return;
    send_.foldWidth = width;
    Written(send_.Write());
}

void SOptionCommands::EditAddressPhrase() {
    platform::InputBoxRequest request;
    request.caption = LoadQimString(qimcmd::AddressPhrase);
    request.prompt = LoadQimString(qimstr::AddressPhrasePrompt);
    request.text = inet_.addrPhrase;
    // A longer phrase would come back cut at the next start.
    const auto fits = [](const std::string& text) { return text.size() <= kMaxPhraseBytes; };
    std::string typed;
    if (!AskUntilValid(request, fits, LoadQimString(qimstr::AddressPhraseTooLong), typed)) return;
    inet_.addrPhrase = typed;
    Written(inet_.Write());
}

void SOptionCommands::EditWebBrowser() {
    platform::InputBoxRequest request;
    request.parent = windows_.MainWindow();
    request.caption = LoadQimString(qimcmd::WebBrowser);
    request.prompt = LoadQimString(qimstr::WebBrowserPrompt);
    request.text = ReadWebBrowser();
    std::string typed;
    if (!platform::Dialogs().InputBox(request, typed)) return;
    Written(WriteWebBrowser(typed));
}

void SOptionCommands::EditFont(int command, const char* key) {
    SFont font;
    ReadQimFont(key, font);
    if (!windows_.ChooseFont(LoadQimString(command), font)) return;
    Written(WriteQimFont(key, font));
    windows_.FontsChanged();
}

void SOptionCommands::Register(SCommandTable& table) {
    table.Add(qimcmd::TextAsMime, [this] { ToggleTextAsMime(); }, [this] { return send_.textAsMime; });
    table.Add(qimcmd::FoldWidth, [this] { EditFoldWidth(); });
    table.Add(qimcmd::AddressPhrase, [this] { EditAddressPhrase(); });
    table.Add(qimcmd::WebBrowser, [this] { EditWebBrowser(); });
    const struct {
        int command;
        const char* key;
    } fonts[] = {{qimcmd::ViewerFont, qimini::MVDefFont},
                 {qimcmd::QuoteFont, qimini::MVQuoteFont},
                 {qimcmd::ListFont, qimini::HLWFont}};
    for (const auto& f : fonts) {
        const int command = f.command;
        const char* key = f.key;
        table.Add(command, [this, command, key] { EditFont(command, key); });
    }
}
