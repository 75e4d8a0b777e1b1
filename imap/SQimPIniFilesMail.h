// The settings commands of the server-folder window, without the window: put
// the settings on the server (operation 757 on "_inimbox", which keeps only
// the newest settings mail), fetch them back (758), save the settings mail in
// a server folder (763) or as a local file, and what the window's start and
// close do with them. The window hands each completion of its session to
// Completed and shows the notices it takes, in order.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/SNotice.h"

struct SImap4Request;

class SQimPIniFilesMail {
public:
    // Hands a request to the session; false when it did not take it.
    using RequestFunction = std::function<bool(const SImap4Request& request, int operation)>;
    // `mailAddress`: the user's own (MailAddr); `place`: INIFilesPlace.
    SQimPIniFilesMail(RequestFunction request, const std::string& mailAddress, int place);

    int Place() const { return place_; }
    void SetPlace(int place) { place_ = place; }
    // Called before every settings mail is made: writes the settings records
    // (the application's and the window's) to their files.
    std::function<void()> writeSettings;

    // Each makes the mail into `mailFile` (one of the window's temporary
    // files, kept until the completion) and requests its operation. False
    // when nothing was requested (the mail could not be made, or the session
    // is busy): the notices say why, ending with the command's failure text;
    // the window then treats it as a failed completion.
    bool Put(const std::string& mailFile);
    bool Fetch(const std::string& mailFile);
    // `folder`: the server folder chosen ("_QimP\A", or "A" below the root;
    // empty: the root); `mh`: the session is the MH variant.
    bool SaveInServerFolder(const std::string& mailFile, const std::string& folder, bool mh);
    // Makes the mail and copies it to `target` at once (the save dialog
    // proposes kIniFilesBackupName). False after the notices.
    bool SaveLocally(const std::string& mailFile, const std::string& target);

    // A completion from the session: true when it answered a request of this
    // object (it is then handled: Succeeded, the notices); false for any other.
    bool Completed(int operation, int result);
    bool Succeeded() const { return succeeded_; }
    // The files of the last mail made, or those the last fetch restored.
    const std::vector<std::string>& Files() const { return files_; }
    // The last fetch restored QIM.INI: the main window takes over its settings.
    bool MainSettingsRestored() const { return mainRestored_; }
    std::vector<SNotice> TakeNotices();

    // The window's start: fetch first, and list the folders after that fetch.
    bool FetchesAtStart() const;
    // The window is asked to close. PutFirst: it calls Put and refuses this
    // close; Wait: that put is still under way, the close is refused. When
    // the put has completed, ClosesAfterPut says whether the window closes
    // now. After a put that failed the window stays open; the next close then
    // goes ahead without a put and keeps the local files.
    enum class CloseStep { Close, PutFirst, Wait };
    CloseStep OnCloseRequest();
    bool ClosesAfterPut() const { return close_ == CloseState::PutDone; }
    // As the window closes: with kIniDeleteAtExit, deletes the local settings
    // files the mail carries (QIM.INI stays: it holds the account and these
    // options). True when nothing was to be deleted or all went.
    bool DeleteLocalFiles();

    // The folder a settings mail is appended to for a choice of the folder
    // dialog: a full path under "_QimP", and its "_mbox" in the plain variant.
    static std::string SaveFolderPath(const std::string& choice, bool mh);
    // Whether a settings file was written since the start or the last put.
    static bool SettingsChanged();

private:
    enum class CloseState { None, Putting, PutDone, PutFailed };

    bool Build(const std::string& mailFile, unsigned failure);
    bool Send(int operation, const std::string& folder, const std::string& mailFile, unsigned failure);
    void OnFetched(int result);
    void Fail(unsigned id);

    RequestFunction request_;
    std::string address_;
    int place_;
    int pending_ = 0;        // the operation requested and not completed yet
    std::string mailFile_;   // its mail file
    bool succeeded_ = false;
    bool mainRestored_ = false;
    CloseState close_ = CloseState::None;
    std::vector<std::string> files_;
    std::vector<SNotice> notices_;
};
