#include "common/QimMessageBox.h"

#include "common/AppNames.h"

platform::MessageAnswer QimMessageBox(platform::ParentWindow parent, const char* text, platform::MessageIcon icon,
                                      platform::MessageButtons buttons, int defaultButton) {
    platform::MessageBoxRequest request;
    request.parent = parent;
    request.text = text ? text : "";
    request.caption = GetAppName();
    request.icon = icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return platform::Dialogs().MessageBox(request);
}
