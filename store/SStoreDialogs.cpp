#include "store/SStoreDialogs.h"

#include <cstdio>

#include "common/AppNames.h"
#include "config/QimStrings.h"

platform::MessageAnswer SStoreDialogs::Message(const std::string& text, platform::MessageIcon icon,
                                               platform::MessageButtons buttons, int defaultButton) {
    platform::MessageBoxRequest request;
    request.parent = parent_;
    request.text = text;
    request.caption = GetAppName();
    request.icon = icon;
    request.buttons = buttons;
    request.defaultButton = defaultButton;
    return dialogs_.MessageBox(request);
}

std::string SStoreDialogs::Format(unsigned id, const std::string& arg) {
    const std::string pattern = LoadQimString(id);
    const int size = std::snprintf(nullptr, 0, pattern.c_str(), arg.c_str());
    if (size < 0) return pattern;
    std::string text(static_cast<std::size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), pattern.c_str(), arg.c_str());
    text.resize(static_cast<std::size_t>(size));
    return text;
}

std::string SStoreDialogs::Format(unsigned id, long value) {
    const std::string pattern = LoadQimString(id);
    char text[512];
    std::snprintf(text, sizeof text, pattern.c_str(), value);
    return text;
}
