#include "ui/TQimPSettingsMail.h"

#include "app/TQimApp.h"
#include "config/QimCommandIds.h"
#include "config/QimNotices.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SUserInetData.h"
#include "imap/IniFilesPlace.h"
#include "imap/Imap4Codes.h"
#include "imap/SQimPIniFilesMail.h"
#include "imap/SQimPSettingData.h"
#include "platform/DialogService.h"
#include "ui/SQimPMhWindow.h"
#include "ui/SSetIniFilesToServerDlg.h"

TQimPSettingsMail::TQimPSettingsMail() = default;
TQimPSettingsMail::~TQimPSettingsMail() = default;

SQimPIniFilesMail& TQimPSettingsMail::Mail(SQimPSettingsHost& host) {
    if (!mail_ || host_ != &host) {
        host_ = &host;
        TQimApp* app = TQimApp::Instance();
        const std::string address = app ? app->UserInetData().mailAddress : std::string();
        mail_ = std::make_unique<SQimPIniFilesMail>(
            [&host](const SImap4Request& request, int operation) { return host.Request(request, operation); }, address,
            host.Settings().iniFilesPlace);
        mail_->writeSettings = [&host] {
            if (TQimApp* a = TQimApp::Instance()) a->WriteSettings();
            host.Settings().Write();
        };
    }
    return *mail_;
}

void TQimPSettingsMail::ShowNotices(SQimPSettingsHost& host) {
    if (mail_) ::ShowNotices(mail_->TakeNotices(), host.Parent());
}

void TQimPSettingsMail::Put(SQimPSettingsHost& host) {
    if (!Mail(host).Put(host.SettingsMailFile())) ShowNotices(host);
}

void TQimPSettingsMail::Fetch(SQimPSettingsHost& host) {
    if (!Mail(host).Fetch(host.SettingsMailFile())) {
        ShowNotices(host);
        if (starting_) {
            starting_ = false;
            host.ListFolders();
        }
    }
}

void TQimPSettingsMail::SaveToServerFolder(SQimPSettingsHost& host) {
    platform::InputBoxRequest ask;
    ask.parent = host.Parent();
    ask.caption = "Qim";
    ask.prompt = LoadQimString(qimstr::IniFilesServerFolderPrompt);
    ask.maxLength = 260;
    std::string folder;
    if (!platform::Dialogs().InputBox(ask, folder)) return;
    const bool mh = dynamic_cast<SQimPMhWindow*>(&host) != nullptr;
    if (!Mail(host).SaveInServerFolder(host.SettingsMailFile(), folder, mh)) ShowNotices(host);
}

void TQimPSettingsMail::SaveLocally(SQimPSettingsHost& host) {
    platform::FileDialogRequest ask;
    ask.parent = host.Parent();
    ask.kind = platform::FileDialogKind::Save;
    ask.fileName = qimimap::kIniFilesBackupName;
    ask.overwritePrompt = true;
    std::vector<std::string> chosen;
    if (!platform::Dialogs().FileDialog(ask, chosen) || chosen.empty()) return;
    Mail(host).SaveLocally(host.SettingsMailFile(), chosen.front());
    ShowNotices(host);
}

void TQimPSettingsMail::EditOptions(SQimPSettingsHost& host) {
    int place = host.Settings().iniFilesPlace;
    if (!EditIniFilesPlace(static_cast<QWidget*>(host.Parent()), place)) return;
    host.Settings().iniFilesPlace = place;
    host.Settings().Write();
    host.MarkSettingsChanged();
    Mail(host).SetPlace(place);
}

bool TQimPSettingsMail::OnStart(SQimPSettingsHost& host) {
    if (!Mail(host).FetchesAtStart()) return false;
    starting_ = true;
    Fetch(host);
    return true;
}

bool TQimPSettingsMail::OnCloseRequest(SQimPSettingsHost& host) {
    switch (Mail(host).OnCloseRequest()) {
    case SQimPIniFilesMail::CloseStep::PutFirst:
        Put(host);
        return false;
    case SQimPIniFilesMail::CloseStep::Wait:
        return false;
    case SQimPIniFilesMail::CloseStep::Close:
        break;
    }
    return true;
}

void TQimPSettingsMail::OnClosed(SQimPSettingsHost& host) {
    Mail(host).DeleteLocalFiles();
    ShowNotices(host);
}

void TQimPSettingsMail::Completed(SQimPSettingsHost& host, int operation, int result) {
    SQimPIniFilesMail& mail = Mail(host);
    if (!mail.Completed(operation, result)) return;
    ShowNotices(host);
    if (operation == qimimap::kOpReplace && mail.ClosesAfterPut()) {
        host.PostCommand(qimcmd::Exit);
    } else if (operation == qimimap::kOpFetchBodyForForward) {
        if (mail.Succeeded()) host.SettingsReread();
        if (starting_) {
            starting_ = false;
            host.ListFolders();
        }
    }
}
