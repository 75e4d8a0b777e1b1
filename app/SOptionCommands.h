// The options of the settings menu that take a value or a choice of their own
// and are written at once: MIME for plain text, the fold width, the name
// before the own address, the web browser and the three fonts.
#pragma once

#include <functional>
#include <string>

#include "platform/DialogService.h"

class SCommandTable;
class SQimSendSettingData;
class SQimWindowLayer;
class SUserInetData;

// The bounds of the fold width: a line of mail may hold at most 998 bytes.
constexpr int kMinFoldWidth = 20;
constexpr int kMaxFoldWidth = 998;

class SOptionCommands {
public:
    SOptionCommands(SQimSendSettingData& send, SUserInetData& inet, SQimWindowLayer& windows)
        : send_(send), inet_(inet), windows_(windows) {}

    // TextAsMime, FoldWidth, AddressPhrase, WebBrowser, ViewerFont, QuoteFont, ListFont (qimcmd).
    void Register(SCommandTable& table);

    void ToggleTextAsMime();
    void EditFoldWidth();
    void EditAddressPhrase();
    void EditWebBrowser();
    // One font of CONFIG.INI section Font (`key`), chosen in the window layer's dialog.
    void EditFont(int command, const char* key);

private:
    // Asks until the typed text passes `valid`, showing `refusal` and the text again
    // after each wrong answer; false on cancel.
    bool AskUntilValid(platform::InputBoxRequest request, const std::function<bool(const std::string&)>& valid,
                       const std::string& refusal, std::string& typed);
    // The setting could not be written: the user hears of it.
    void Written(bool ok);

    SQimSendSettingData& send_;
    SUserInetData& inet_;
    SQimWindowLayer& windows_;
};
