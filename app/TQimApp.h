// The application object: reads the command line, keeps a second copy from
// running, makes sure the home directory exists, owns the network and send
// settings, serves the requests of the other windows and the login-state
// exchange, and answers a second start through the platform's local socket.
#pragma once

#include <QApplication>
#include <QTranslator>
#include <memory>
#include <string>
#include <vector>

#include "app/SCommandTable.h"
#include "app/SLoginState.h"
#include "app/SQimCommandLine.h"
#include "config/SQimSendSettingData.h"
#include "app/SRequestDispatcher.h"
#include "config/SUserInetData.h"
#include "filters/SSubsFrom.h"
#include "platform/DialogService.h"
#include "platform/qt/LocalInstance.h"
#include "platform/qt/SecretServiceKeeper.h"

class SClosingWindow;
class SQimWindowLayer;
class SRunningCopy;
class SSettingsCommands;
class SOptionCommands;

class TQimApp : public QApplication {
    Q_OBJECT

public:
    TQimApp(int& argc, char** argv);
    ~TQimApp() override;

    // The command line into the process-wide values. False when the program
    // ends here (--help, --version, a bad argument) with `exitCode`.
    bool ReadCommandLine(const std::vector<std::string>& args, const SStartEnvironment& env, int& exitCode);
    const SQimStartOptions& StartOptions() const { return options_; }
    // The single-instance rule, the home directory (made when missing), then
    // answering later starts. False when the program ends here, with `exitCode`.
    bool Start(SRunningCopy& running, int& exitCode);

    // The main window build up to the windows: the network and send settings,
    // the /4 or /3 request, the mode, the global settings record.
    void PrepareMainWindow();
    bool IsServerMode() const { return serverMode_; }

    // The window layer: its dialogs serve the settings commands and requests.
    void SetWindowLayer(SQimWindowLayer* windows);
    // qimcmd::Compose for a mailto address, else qimcmd::Receive, else
    // qimcmd::NetworkSettings, posted to the frame once; 0 when none. A receive
    // without an account asks for the network settings alone first and
    // follows once they were given.
    int FirstActionCommand();

    // Requests of the other windows (0x404).
    long Request(SAppRequest& request) const { return requests_.Dispatch(request); }
    SRequestDispatcher& Requests() { return requests_; }
    // The commands the application serves.
    const SCommandTable& Commands() const { return commands_; }
    // Login-state exchange (0x402, 0x403).
    SLoginState& Login() { return login_; }

    SUserInetData& UserInetData() { return inet_; }
    // The From substitution rules, read by PrepareMainWindow; the header list
    // shows every From through them.
    const SSubsFromArray& SubsFrom() const { return subsFrom_; }
    // The rules edited: kept and saved at once; false when the save failed.
    bool ReplaceSubsFrom(const SSubsFromArray& rules);
    SQimSendSettingData& SendSettingData() { return send_; }
    // The template of the program's open and save dialogs.
    const platform::FileDialogRequest& FileDialogData() const { return fileDialog_; }

    // An internal operation is outstanding; qimreq::OperationDone ends one.
    void AddPendingOperation() { ++pendingOperations_; }

    // Pieces of the close order that belong to the application.
    void WriteSettings();
    bool ViewersMayClose();
    SClosingWindow* ComposeWindow() const { return compose_; }
    void SetComposeWindow(SClosingWindow* compose) { compose_ = compose; }
    void AddViewer(SClosingWindow* viewer);
    void RemoveViewer(SClosingWindow* viewer);

    // The running application object; null when the process runs another one.
    static TQimApp* Instance();

private:
    void RegisterRequests();
    bool EnsureHomeDirectory();
    std::string AnswerInstanceRequest(const std::string& request);

    QTranslator qtJapanese_;
    // The account password in the desktop's keyring, for the settings records.
    platform::SecretServiceKeeper keyring_;
    platform::FileDialogRequest fileDialog_;
    SUserInetData inet_;
    SQimSendSettingData send_;
    SSubsFromArray subsFrom_;
    SQimStartOptions options_;
    SRequestDispatcher requests_;
    SCommandTable commands_;
    SLoginState login_{inet_};
    std::unique_ptr<SSettingsCommands> settingsCommands_;
    std::unique_ptr<SOptionCommands> optionCommands_;
    platform::InstanceServer instanceServer_;
    SQimWindowLayer* windows_ = nullptr;
    std::vector<SClosingWindow*> viewers_;
    SClosingWindow* compose_ = nullptr;
    int mailboxTypeRequest_ = 0;
    bool serverMode_ = false;
    int pendingOperations_ = 0;
    bool receiveAfterSettings_ = false;
};
