#include "imap/SQimPIniFilesMail.h"

#include "config/QimGlobals.h"
#include "config/QimSettingKeys.h"
#include "config/QimStringIds.h"
#include "imap/Imap4Codes.h"
#include "imap/IniFilesPlace.h"
#include "imap/SDecodeIniFilesMail.h"
#include "imap/SImap4Flags.h"
#include "imap/SImap4Session.h"
#include "imap/SIniFilesList.h"
#include "imap/SMakeIniFilesMail.h"
#include "platform/FileSystem.h"
#include "send/STemplates.h"
#include "store/QimStoreCodes.h"

using namespace qimimap;

SQimPIniFilesMail::SQimPIniFilesMail(RequestFunction request, const std::string& mailAddress, int place)
    : request_(std::move(request)), address_(mailAddress), place_(place) {}

std::vector<SNotice> SQimPIniFilesMail::TakeNotices() {
    std::vector<SNotice> taken;
    taken.swap(notices_);
    return taken;
}

void SQimPIniFilesMail::Fail(unsigned id) {
    notices_.push_back(SNotice::Program(id));
    succeeded_ = false;
}

bool SQimPIniFilesMail::SettingsChanged() { return IsSettingsChanged() || TemplatesChanged(); }

bool SQimPIniFilesMail::FetchesAtStart() const { return (place_ & kIniFetchAtStart) != 0; }

bool SQimPIniFilesMail::Build(const std::string& mailFile, unsigned failure) {
    if (writeSettings) writeSettings();
    SMakeIniFilesMail maker(place_, address_);
    const bool ok = maker.Make(mailFile);
    files_.clear();
    for (const SIniFile& file : maker.List().Files()) files_.push_back(file.name);
    for (SNotice& notice : maker.TakeNotices()) notices_.push_back(std::move(notice));
    if (!ok) Fail(failure);
    return ok;
}

bool SQimPIniFilesMail::Send(int operation, const std::string& folder, const std::string& mailFile, unsigned failure) {
    SImap4Request request;
    request.folder = folder;
    request.mailFile = mailFile;
    // The settings mail is nobody's unread mail.
    request.mark = qimstore::kMarkRead;
    request.first = 1;  // the fetch takes the only message
    if (!request_ || !request_(request, operation)) {
        Fail(failure);
        return false;
    }
    pending_ = operation;
    mailFile_ = mailFile;
    return true;
}

bool SQimPIniFilesMail::Put(const std::string& mailFile) {
    const bool ok = Build(mailFile, qimstr::IniFilesPutFailed) &&
                    Send(kOpReplace, kSettingsMailbox, mailFile, qimstr::IniFilesPutFailed);
    if (!ok && close_ == CloseState::Putting) close_ = CloseState::PutFailed;
    return ok;
}

bool SQimPIniFilesMail::Fetch(const std::string& mailFile) {
    mainRestored_ = false;
    files_.clear();
    return Send(kOpFetchBodyForForward, kSettingsMailbox, mailFile, qimstr::IniFilesFetchFailed);
}

std::string SQimPIniFilesMail::SaveFolderPath(const std::string& choice, bool mh) {
    const std::string root = kQimPRoot;
    std::string folder;
    if (choice.empty() || choice == root)
        folder = root;
    else if (choice.rfind(root + "\\", 0) == 0)
        folder = choice;
    else
        folder.assign(root).append("\\").append(choice);
    // The root is the INBOX itself; any other folder of the plain variant keeps its mail in "_mbox".
    if (!mh && folder != root) folder.append("\\").append(kMboxFolder);
    return folder;
}

bool SQimPIniFilesMail::SaveInServerFolder(const std::string& mailFile, const std::string& folder, bool mh) {
    return Build(mailFile, qimstr::IniFilesSaveFailed) &&
           Send(kOpAppendSettings, SaveFolderPath(folder, mh), mailFile, qimstr::IniFilesSaveFailed);
}

bool SQimPIniFilesMail::SaveLocally(const std::string& mailFile, const std::string& target) {
    if (!Build(mailFile, qimstr::IniFilesBackupFailed)) return false;
    if (!CopyFileOver(mailFile, target)) {
        Fail(qimstr::IniFilesBackupFailed);
        return false;
    }
    succeeded_ = true;
    return true;
}

bool SQimPIniFilesMail::Completed(int operation, int result) {
    if (pending_ == 0 || operation != pending_) return false;
    pending_ = 0;
    succeeded_ = result == kResultSuccess;
    switch (operation) {
    case kOpReplace:
        if (succeeded_) {
            // The server holds the settings as they are now.
            SetSettingsChanged(false);
            ResetTemplatesChanged();
        } else {
            Fail(qimstr::IniFilesPutFailed);
        }
        if (close_ == CloseState::Putting) close_ = succeeded_ ? CloseState::PutDone : CloseState::PutFailed;
        break;
    case kOpFetchBodyForForward: OnFetched(result); break;
    case kOpAppendSettings:
        if (!succeeded_) Fail(qimstr::IniFilesSaveFailed);
        break;
    default: break;
    }
    return true;
}

void SQimPIniFilesMail::OnFetched(int result) {
    if (result != kResultSuccess) {
        Fail(qimstr::IniFilesFetchFailed);
        return;
    }
    SDecodeIniFilesMail mail(mailFile_.c_str(), place_);
    succeeded_ = mail.Restore();
    files_ = mail.Restored();
    for (SNotice& notice : mail.TakeNotices()) notices_.push_back(std::move(notice));
    if (!succeeded_) {
        Fail(qimstr::IniFilesNotRestored);
        return;
    }
    for (const std::string& name : mail.Restored())
        if (name == qimini::QimIni) mainRestored_ = true;
}

SQimPIniFilesMail::CloseStep SQimPIniFilesMail::OnCloseRequest() {
    if (close_ == CloseState::Putting) return CloseStep::Wait;
    if (close_ == CloseState::PutDone || close_ == CloseState::PutFailed) return CloseStep::Close;
    if ((place_ & kIniPutAtExit) && ((place_ & kIniWithMainFile) || SettingsChanged())) {
        close_ = CloseState::Putting;
        return CloseStep::PutFirst;
    }
    return CloseStep::Close;
}

bool SQimPIniFilesMail::DeleteLocalFiles() {
    if (!(place_ & kIniDeleteAtExit)) return true;
    // A put that failed at this close left the server's copy behind the local one.
    if (close_ == CloseState::PutFailed) {
        notices_.push_back(SNotice::Program(qimstr::IniFilesKeptAtClose, {}, platform::MessageIcon::Exclamation));
        return false;
    }
    SIniFilesList list(place_);
    if (!list.Make(true)) {
        notices_.push_back(list.Problem());
        return false;
    }
    bool ok = true;
    for (const SIniFile& file : list.Files()) {
        if (file.name == qimini::QimIni) continue;
        if (!platform::RemoveFile(file.path.c_str())) {
            notices_.push_back(SNotice::Program(qimstr::IniFileNotDeleted, {file.name}));
            ok = false;
        }
    }
    FlushSettingsFiles();
    return ok;
}
