// The dialog service with real windows: message boxes (caption "Qim", stop,
// exclamation, question and information icons), input boxes, file and folder
// dialogs, beeps and sounds.
#pragma once

#include <QString>

#include "platform/DialogService.h"

class QtDialogService : public platform::DialogService {
public:
    platform::MessageAnswer MessageBox(const platform::MessageBoxRequest& request) override;
    bool InputBox(const platform::InputBoxRequest& request, std::string& text) override;
    bool InputBoxWithCheck(const platform::InputBoxRequest& request, const std::string& checkLabel, std::string& text,
                           bool& checked) override;
    bool FileDialog(const platform::FileDialogRequest& request, std::vector<std::string>& paths) override;
    void Beep(platform::BeepKind kind) override;
    bool PlaySound(const std::string& path) override;
};

// "desc|patterns|..." as a Qt name filter list ("desc (*.a *.b);;...").
QString QtFileFilter(const std::string& filter);
