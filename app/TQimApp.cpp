#include "app/TQimApp.h"

#include <QDesktopServices>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "app/QtJapanese.h"
#include "app/SQimCloseQuery.h"
#include "app/SQimHelp.h"
#include "app/SQimInstance.h"
#include "app/SQimWindowLayer.h"
#include "app/SOptionCommands.h"
#include "app/SOpenUrl.h"
#include "app/SSettingsCommands.h"
#include "common/AppNames.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/FilePath.h"
#include "common/QimMessageBox.h"
#include "platform/FileSystem.h"
#include "platform/Screen.h"
#include "platform/qt/QtText.h"

TQimApp::TQimApp(int& argc, char** argv)
    : QApplication(argc, argv),
      instanceServer_([this](const std::string& request) { return AnswerInstanceRequest(request); }) {
    setApplicationName(GetAppName());
    // The desktop entry's name: the window system matches the windows to it.
    setDesktopFileName(QStringLiteral("qim"));
    platform::SetPasswordKeeper(&keyring_);
    InstallQtJapanese(qtJapanese_);
    if (QScreen* screen = primaryScreen()) {
        const QRect r = screen->geometry();
        platform::SetPrimaryScreenSize(r.width(), r.height());
    }
    fileDialog_.filter = LoadStringCmmnDll(cmmnstr::FilterAllText);
    fileDialog_.defaultExtension = "txt";
    fileDialog_.mustExist = true;
    fileDialog_.hideReadOnly = true;
    fileDialog_.overwritePrompt = true;
    RegisterRequests();
}

TQimApp::~TQimApp() {
    instanceServer_.Close();
    if (platform::GetPasswordKeeper() == &keyring_) platform::SetPasswordKeeper(nullptr);
}

TQimApp* TQimApp::Instance() { return qobject_cast<TQimApp*>(QCoreApplication::instance()); }

bool TQimApp::ReadCommandLine(const std::vector<std::string>& args, const SStartEnvironment& env, int& exitCode) {
    std::string error;
    if (!ParseQimCommandLine(args, env, GetQimHome(), options_, error)) {
        std::fprintf(stderr, "qim: %s\n", error.c_str());
        exitCode = 2;
        return false;
    }
    if (PrintInformation(options_)) {
        exitCode = 0;
        return false;
    }
    SetQimHome(options_.home);
    SetQimIniPath(options_.iniPath);
    GetSettingData().receiveAtStart = options_.receiveAtStart;
    GetSettingData().settingsAtStart = options_.settingsAtStart;
    SetMailtoAddress(options_.mailto);
    SetInstanceMode(options_.instanceMode);
    mailboxTypeRequest_ = options_.mailboxTypeRequest;
    return true;
}

bool TQimApp::Start(SRunningCopy& running, int& exitCode) {
    exitCode = 0;
    if (!ApplyInstanceRule(GetInstanceMode(), GetQimHome(), running, GetMailtoAddress())) return false;
    if (!EnsureHomeDirectory()) return false;
    // A copy started beside another one (/DOUBLE) finds the name taken; the
    // first copy keeps answering.
    instanceServer_.Listen(QimInstanceName());
    return true;
}

bool TQimApp::EnsureHomeDirectory() {
    const std::string& home = GetQimHome();
    if (DoesDirectoryExist(home.c_str()) || platform::CreateDirectory(home.c_str())) return true;
    std::string text = LoadQimString(qimstr::CannotMakeHome);
    if (const std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, home);
    QimMessageBox(nullptr, text.c_str(), platform::MessageIcon::Stop);
    QimMessageBox(nullptr, LoadQimString(qimstr::Aborting).c_str(), platform::MessageIcon::Stop);
    return false;
}

void TQimApp::PrepareMainWindow() {
    inet_.Read();
    send_.Read();
    if (const int port = RequestedPop3Port(mailboxTypeRequest_, inet_.pop3Port)) {
        inet_.pop3Port = port;
        inet_.Write();
    }
    serverMode_ = IsServerFolderPort(inet_.pop3Port);
    GetSettingData().Read();
    subsFrom_.Load();
}

bool TQimApp::ReplaceSubsFrom(const SSubsFromArray& rules) {
    subsFrom_ = rules;
    return subsFrom_.Save();
}

void TQimApp::SetWindowLayer(SQimWindowLayer* windows) {
    windows_ = windows;
    commands_ = SCommandTable();
    settingsCommands_.reset();
    optionCommands_.reset();
    if (!windows_) return;
    settingsCommands_ = std::make_unique<SSettingsCommands>(GetSettingData(), inet_, *windows_);
    settingsCommands_->Register(commands_);
    optionCommands_ = std::make_unique<SOptionCommands>(send_, inet_, *windows_);
    optionCommands_->Register(commands_);
    commands_.Add(qimcmd::NetworkSettings, [this] {
        const bool receiveNext = std::exchange(receiveAfterSettings_, false);
        if (settingsCommands_->AskNetworkSettings() && receiveNext && inet_.HasReceiveAccount() && windows_)
            windows_->PostCommand(qimcmd::Receive);
    });
    commands_.Add(qimcmd::About, [this] { windows_->ShowAbout(); });
    commands_.Add(qimcmd::HelpContents, [this] { OpenQimHelp("index.html", windows_->MainWindow()); });
    commands_.Add(qimcmd::HelpOnHelp, [this] { OpenQimHelp("help.html", windows_->MainWindow()); });
}

int TQimApp::FirstActionCommand() {
    const SSettingData& s = GetSettingData();
    const int command = ::FirstActionCommand(GetMailtoAddress(), s.receiveAtStart, s.settingsAtStart);
    receiveAfterSettings_ = command == qimcmd::Receive && !inet_.HasReceiveAccount();
    return receiveAfterSettings_ ? qimcmd::NetworkSettings : command;
}

void TQimApp::RegisterRequests() {
    requests_.Register(qimreq::OpenUrl, [this](SAppRequest& r) -> long {
        return OpenUrlInBrowser(r.text, windows_ ? windows_->MainWindow() : nullptr) ? 1 : 0;
    });
    requests_.Register(qimreq::AskPassword,
                       [this](SAppRequest&) -> long { return settingsCommands_ ? settingsCommands_->AskPassword() : 0; });
    requests_.Register(qimreq::AskNetworkSettings, [this](SAppRequest&) -> long {
        return settingsCommands_ ? settingsCommands_->AskNetworkSettings() : 0;
    });
    requests_.Register(qimreq::HomeDirectory, [](SAppRequest& r) -> long {
        r.answerText = AbsoluteDirectory(GetQimHome());
        return 1;
    });
    requests_.Register(qimreq::OperationDone, [this](SAppRequest& r) -> long {
        if (pendingOperations_ > 0 && --pendingOperations_ == 0 && r.flag && windows_)
            windows_->PostCommand(qimcmd::Exit);
        return 1;
    });
    requests_.Register(qimreq::MailAddress, [this](SAppRequest& r) -> long {
        r.answerText = inet_.mailAddress;
        return 1;
    });
    requests_.Register(qimreq::ReloadFolder, [this](SAppRequest& r) -> long {
        if (windows_) windows_->ReloadFolder(r.text);
        return 1;
    });
    // The compose window's requests (qimreq::ComposeRequest and 2170) and those of the server
    // folders and the header list join this table with those windows.
}

std::string TQimApp::AnswerInstanceRequest(const std::string& request) {
    if (request == kActivateRequest) {
        if (windows_) windows_->ActivateMainFrame();
        return "1";
    }
    // A mailto: link clicked while Qim runs: its compose window, in front.
    if (request.rfind(kMailtoRequest, 0) == 0) {
        if (!windows_) return std::string();
        SetMailtoAddress(request.substr(std::string(kMailtoRequest).size()));
        windows_->PostCommand(qimcmd::Compose);
        return "1";
    }
    // Only the home directory is told to another process.
    if (request == std::to_string(qimreq::HomeDirectory)) {
        SAppRequest r;
        r.code = qimreq::HomeDirectory;
        requests_.Dispatch(r);
        return r.answerText;
    }
    return std::string();
}

void TQimApp::WriteSettings() { GetSettingData().Write(); }

bool TQimApp::ViewersMayClose() {
    const std::vector<SClosingWindow*> viewers = viewers_;
    return std::all_of(viewers.begin(), viewers.end(), [](SClosingWindow* v) { return v->CanClose(); });
}

void TQimApp::AddViewer(SClosingWindow* viewer) { viewers_.push_back(viewer); }

void TQimApp::RemoveViewer(SClosingWindow* viewer) {
    viewers_.erase(std::remove(viewers_.begin(), viewers_.end(), viewer), viewers_.end());
}
