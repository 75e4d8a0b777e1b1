// What the application object asks of the window layer: the main frame and the
// dialogs that edit settings. The windows (ui/) implement it; tests give their own.
#pragma once

#include <string>

#include "platform/DialogService.h"

class SFont;
class SUserInetData;

class SQimWindowLayer {
public:
    virtual ~SQimWindowLayer() = default;

    // The owner of boxes (the main frame), or null before it exists.
    virtual platform::ParentWindow MainWindow() = 0;
    // Posts a command to the main frame, as the window system posts one.
    virtual void PostCommand(int id) = 0;
    // A second start asked: the main frame comes to the top, shown normally.
    virtual void ActivateMainFrame() = 0;
    // The header list reloads when it shows `folder`.
    virtual void ReloadFolder(const std::string& folder) = 0;

    // Dialogs; true on OK with the edited values.
    virtual bool EditNetworkSettings(SUserInetData& data) = 0;
    virtual bool EditDefaultSort(int& value) = 0;
    virtual bool EditPgpUsage(int& usage) = 0;
    virtual void ShowAbout() = 0;
    // A font for `caption`; true with `font` changed on OK. Without a dialog: false.
    virtual bool ChooseFont(const std::string& caption, SFont& font) {
        (void)caption;
        (void)font;
        return false;
    }
    // A stored font changed: the windows read their fonts again.
    virtual void FontsChanged() {}
};
