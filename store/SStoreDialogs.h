// The questions and messages of the store's commands: boxes through the
// dialog service, with the program's caption and the window they belong to,
// and the table texts with their one argument filled in.
#pragma once

#include <string>

#include "platform/DialogService.h"

class SStoreDialogs {
public:
    SStoreDialogs(platform::DialogService& dialogs, platform::ParentWindow parent) : dialogs_(dialogs), parent_(parent) {}

    platform::MessageAnswer Message(const std::string& text, platform::MessageIcon icon,
                                    platform::MessageButtons buttons = platform::MessageButtons::Ok,
                                    int defaultButton = 0);
    void Error(const std::string& text) { Message(text, platform::MessageIcon::Stop); }

    platform::DialogService& Service() { return dialogs_; }
    platform::ParentWindow Parent() const { return parent_; }

    // A table text with its one "%s" or "%ld" filled in.
    static std::string Format(unsigned id, const std::string& arg);
    static std::string Format(unsigned id, long value);

private:
    platform::DialogService& dialogs_;
    platform::ParentWindow parent_;
};
