// The window layer of the program: it builds the main frame, serves the
// application's dialogs and, on request, saves a picture of the main window.
#pragma once

#include <memory>
#include <string>

#include "app/SQimWindowLayer.h"

class TQimApp;
class TQimFrame;
class TQimWindow;
class TQimSendWindow;
class SQimPWindow;
class TQimPSettingsMail;
class TAppLoginConfirmation;
class TNewMailNotice;

class TQimWindows : public SQimWindowLayer {
public:
    explicit TQimWindows(TQimApp& app);
    ~TQimWindows() override;

    // Builds the main frame for the application's mode with its stored
    // rectangle; ShowMainFrame shows it in its stored show state.
    TQimFrame* CreateMainFrame();
    void ShowMainFrame();
    TQimFrame* Frame() const { return frame_.get(); }
    // The local main window; null in the server-folder mode.
    TQimWindow* Window() const { return window_; }
    // New-mail notices and the tray icon; null in the server-folder mode.
    TNewMailNotice* Notice() const { return notice_; }
    // The server-folder window; null in the local mode.
    SQimPWindow* ServerWindow() const { return qimpWindow_; }

    // Once the main window is shown: grabs it (with one pop-up open, so its
    // texts show) into `file`, then closes it. The exit code tells whether
    // the picture was saved.
    void ScheduleScreenshot(const std::string& file, int delayMs = 500);

    platform::ParentWindow MainWindow() override;
    void PostCommand(int id) override;
    void ActivateMainFrame() override;
    void ReloadFolder(const std::string& folder) override;
    bool EditNetworkSettings(SUserInetData& data) override;
    bool EditDefaultSort(int& value) override;
    bool EditPgpUsage(int& usage) override;
    void ShowAbout() override;
    bool ChooseFont(const std::string& caption, SFont& font) override;
    void FontsChanged() override;

    // qimcmd::Compose and a mailto: start: the one compose window, made when
    // there is none, brought to the top when there is; `mailto` goes into To.
    TQimSendWindow* OpenComposeWindow(const std::string& mailto = std::string());

private:
    // qimcmd::Receive: a receive run with its dialog, then the list of what arrived.
    void ReceiveIntoInbox();
    // qimcmd::Reply, qimcmd::Forward: the compose window, handed the mail shown or selected.
    void StartFromMail(int command);
    // qimcmd::Print, qimcmd::SaveMailAs on the mail shown or selected (a server mail fetched first).
    void OnMailAtHand(int command);
    // The mail shown, else the one selected; empty when there is none (or it is still on the server).
    std::string MailAtHand() const;
    // qimcmd::FromSubstitution: the rules dialog; on OK the application keeps
    // and saves the rules and the header list shows them.
    void EditFromSubstitution();
    // qimcmd::ExtractPgpKey: the public keys attached to the selected mail into the keyring.
    void ImportKeysOfSelectedMail();
    bool SaveScreenshot(const std::string& file);
    // The new-mail notice and tray icon of the local mode, with qimcmd::DesktopNotice.
    void StartNewMailNotice();
    // A save may have made `folder` (a sent-mail or draft folder): the tree lists it.
    void FolderMayBeNew(const std::string& folder);

    TQimApp& app_;
    std::unique_ptr<TQimFrame> frame_;
    TQimWindow* window_ = nullptr;  // owned by the frame
    TNewMailNotice* notice_ = nullptr;  // owned by the frame
    SQimPWindow* qimpWindow_ = nullptr;  // owned by the frame
    std::unique_ptr<TQimPSettingsMail> settingsMail_;  // the server-folder window's settings commands
    std::unique_ptr<TAppLoginConfirmation> composeLogin_;
};

// The whole program: start-up, the main window and the message loop.
int RunQim(int argc, char** argv);
