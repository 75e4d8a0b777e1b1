// The server-folder window's settings commands over the settings mail
// (SQimPIniFilesMail): put, fetch, save in a server folder or a local file,
// the options dialog, and what the window's start and close do with them.
#pragma once

#include <memory>

#include "imap/SQimPSettingsCommands.h"

class SQimPIniFilesMail;

class TQimPSettingsMail : public SQimPSettingsMail {
public:
    TQimPSettingsMail();
    ~TQimPSettingsMail() override;

    void Put(SQimPSettingsHost& host) override;
    void Fetch(SQimPSettingsHost& host) override;
    void SaveToServerFolder(SQimPSettingsHost& host) override;
    void SaveLocally(SQimPSettingsHost& host) override;
    void EditOptions(SQimPSettingsHost& host) override;
    bool OnStart(SQimPSettingsHost& host) override;
    bool OnCloseRequest(SQimPSettingsHost& host) override;
    void OnClosed(SQimPSettingsHost& host) override;
    void Completed(SQimPSettingsHost& host, int operation, int result) override;

private:
    // The settings mail of this host, made on first use.
    SQimPIniFilesMail& Mail(SQimPSettingsHost& host);
    void ShowNotices(SQimPSettingsHost& host);

    std::unique_ptr<SQimPIniFilesMail> mail_;
    SQimPSettingsHost* host_ = nullptr;
    bool starting_ = false;  // the start's fetch: the folders are listed after it
};
