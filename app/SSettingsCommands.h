// The commands and requests that change settings: the password prompt, the
// network settings, and the single options of the global record (written when
// the main frame closes).
#pragma once

class SCommandTable;
class SQimWindowLayer;
class SSettingData;
class SUserInetData;

class SSettingsCommands {
public:
    SSettingsCommands(SSettingData& settings, SUserInetData& inet, SQimWindowLayer& windows)
        : settings_(settings), inet_(inet), windows_(windows) {}

    // Asks for the receive password and whether to keep it between runs (then
    // it is stored scrambled; else only in memory); 1 on OK, 0 on cancel.
    long AskPassword();
    // The network settings dialog; the record is written at once. A changed
    // receive port or mailbox type needs a restart, which the user is told.
    // 1 on OK, 0 on cancel.
    long AskNetworkSettings();

    // NetworkSettings, KeepMailOnServer, FixedPrintFont, NoAttachmentNotice, UseApop, SendNoop, PasswordInKeyring,
    // AttachmentFolder, DefaultSort, PgpUsage and the viewer placements ViewerSeparate,
    // ViewerLowerRight, ViewerBelow, ViewerUpperRight (qimcmd).
    void Register(SCommandTable& table);

    // The saved password into the desktop's keyring or back into QIM.INI;
    // qimstr::KeyringUnavailable when no keyring took it.
    void TogglePasswordInKeyring();
    void ChooseAttachmentFolder();
    void EditDefaultSort();
    void EditPgpUsage();
    // Sets the viewer docking and tells the user it applies after a restart.
    void SetViewerDocking(int value);

private:
    SSettingData& settings_;
    SUserInetData& inet_;
    SQimWindowLayer& windows_;
};

// qimstr::RestartNeeded with the application name: the change applies after a restart.
void ShowRestartNeeded(void* parent);
