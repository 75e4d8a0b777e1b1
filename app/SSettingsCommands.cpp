#include "app/SSettingsCommands.h"

#include <cstdio>

#include "config/QimCommandIds.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "app/SCommandTable.h"
#include "app/SQimWindowLayer.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "common/AppNames.h"
#include "common/QimMessageBox.h"

namespace {

std::string WithAppName(unsigned id) {
    std::string text = LoadQimString(id);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, GetAppName());
    return text;
}

}  // namespace

void ShowRestartNeeded(void* parent) {
    QimMessageBox(parent, WithAppName(qimstr::RestartNeeded).c_str(), platform::MessageIcon::Exclamation);
}

long SSettingsCommands::AskPassword() {
    platform::InputBoxRequest request;
    request.parent = windows_.MainWindow();
    request.caption = LoadQimString(qimstr::PasswordDialogCaption);
    request.prompt = settings_.serverNameAsPrompt ? inet_.pop3Server : LoadQimString(qimstr::PasswordLabel);
    request.password = true;
    std::string typed;
    bool save = SUserInetData::PasswordSaved();
    if (!platform::Dialogs().InputBoxWithCheck(request, LoadQimString(qimstr::SavePasswordCheck), typed, save)) return 0;
    inet_.password = typed;
    inet_.WritePasswordChoice(save);
    return 1;
}

long SSettingsCommands::AskNetworkSettings() {
    SUserInetData edited = inet_;
    if (!windows_.EditNetworkSettings(edited)) return 0;
    const bool restart = edited.NeedsRestartAfter(inet_);
    inet_ = edited;
    inet_.Write();
    if (restart) ShowRestartNeeded(windows_.MainWindow());
    return 1;
}

void SSettingsCommands::TogglePasswordInKeyring() {
    if (!inet_.SetPasswordInKeyring(!inet_.passwordInKeyring) && inet_.passwordInKeyring)
        QimMessageBox(windows_.MainWindow(), LoadQimString(qimstr::KeyringUnavailable).c_str(),
                      platform::MessageIcon::Exclamation);
}

void SSettingsCommands::ChooseAttachmentFolder() {
    platform::FileDialogRequest request;
    request.parent = windows_.MainWindow();
    request.kind = platform::FileDialogKind::Folder;
    request.title = LoadQimString(qimcmd::AttachmentFolder);
    request.initialDir = settings_.attachmentFolder;
    std::vector<std::string> chosen;
    if (platform::Dialogs().FileDialog(request, chosen) && !chosen.empty()) settings_.attachmentFolder = chosen.front();
}

void SSettingsCommands::EditDefaultSort() {
    int value = settings_.defaultSort;
    if (windows_.EditDefaultSort(value)) settings_.defaultSort = value;
}

void SSettingsCommands::EditPgpUsage() {
    int usage = settings_.pgpUsage;
    if (windows_.EditPgpUsage(usage)) settings_.pgpUsage = usage;
}

void SSettingsCommands::SetViewerDocking(int value) {
    settings_.viewerDocking = value;
    ShowRestartNeeded(windows_.MainWindow());
}

void SSettingsCommands::Register(SCommandTable& table) {
    SSettingData& s = settings_;
    table.Add(qimcmd::NetworkSettings, [this] { AskNetworkSettings(); });
    // The item keeps mail on the server, so it is checked while deleting is off.
    table.Add(qimcmd::KeepMailOnServer, [&s] { s.deleteOnServer = !s.deleteOnServer; },
              [&s] { return !s.deleteOnServer; });
    table.Add(qimcmd::FixedPrintFont, [&s] { s.fixedPrintFont = !s.fixedPrintFont; }, [&s] { return s.fixedPrintFont; });
    table.Add(qimcmd::NoAttachmentNotice, [&s] { s.noAttachmentNotice = !s.noAttachmentNotice; },
              [&s] { return s.noAttachmentNotice; });
    table.Add(qimcmd::UseApop, [&s] { s.useApop = s.useApop ? 0 : 1; }, [&s] { return s.useApop != 0; });
    table.Add(qimcmd::SendNoop, [&s] { s.sendNoop = !s.sendNoop; }, [&s] { return s.sendNoop; });
    table.Add(qimcmd::PasswordInKeyring, [this] { TogglePasswordInKeyring(); },
              [this] { return inet_.passwordInKeyring; });
    table.Add(qimcmd::AttachmentFolder, [this] { ChooseAttachmentFolder(); });
    table.Add(qimcmd::DefaultSort, [this] { EditDefaultSort(); });
    table.Add(qimcmd::PgpUsage, [this] { EditPgpUsage(); });
    const struct {
        int command;
        int docking;
    } docking[] = {{qimcmd::ViewerSeparate, kViewerSeparate},
                   {qimcmd::ViewerLowerRight, kViewerLowerRight},
                   {qimcmd::ViewerBelow, kViewerBelow},
                   {qimcmd::ViewerUpperRight, kViewerUpperRight}};
    for (const auto& d : docking) {
        const int value = d.docking;
        table.Add(d.command, [this, value] { SetViewerDocking(value); }, [&s, value] { return s.viewerDocking == value; });
    }
}
