// The commands of the header list on the mails of a local folder, as
// operations a window calls: delete, move to another folder, import files as
// new mail, marks, closing number gaps, renumbering by date, cache rebuild,
// the end of a receive and storing a composed mail. Questions and messages go
// through the dialog service; the window passes the selected mail numbers in
// list order (they are worked on from the last) and reloads its list
// afterwards.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/DialogService.h"
#include "store/SMemCacheFolder.h"
#include "store/SStoreDialogs.h"

class SQimFolder;

// The answers of the delete confirmation.
enum class SDeleteAnswer { Yes, No, All, Cancel };

// The marks the mark commands set or clear.
enum class SMarkKind { Important, Read, Unread };

class SMailCommands {
public:
    // Asks whether `mail` is to be deleted with `question` (the text of
    // qimstr::DeleteThisMail or qimstr::DeleteImportantMail); "all" is offered
    // only when `offerAll`.
    using DeleteConfirmation =
        std::function<SDeleteAnswer(const SQimMailData& mail, const std::string& question, bool offerAll)>;
    // Closes the viewer that shows this mail file, if one does; true when one
    // was closed (then no further viewer is looked for in this command).
    using ViewerCloser = std::function<bool(const std::string& mailPath)>;

    explicit SMailCommands(platform::DialogService& dialogs, platform::ParentWindow parent = nullptr);
    virtual ~SMailCommands() = default;

    // The window's own dialog with an "all" button; without one a yes/no/cancel
    // box asks (and "all" cannot be chosen).
    void SetDeleteConfirmation(DeleteConfirmation confirm) { confirm_ = std::move(confirm); }
    void SetViewerCloser(ViewerCloser closer) { closeViewer_ = std::move(closer); }

    // qimcmd::DeleteMail. Returns the numbers deleted; the folder's cache is rewritten when
    // any was. A mail whose file is already gone loses its record quietly.
    std::vector<int> DeleteMails(SMemCacheFolder& folder, const std::vector<int>& selected);

    // Moves the selected mails of the shown folder into `destination` (a
    // dragged selection, or a sorting rule). They take the next numbers there,
    // last selected first, with their marks. Returns the numbers moved; on a
    // failure those moved before stay moved and both caches agree with the
    // folders.
    std::vector<int> MoveMails(SMemCacheFolder& source, const std::vector<int>& selected,
                               const std::string& destination);

    // qimcmd::ImportAsNewMail: asks for files and copies them into the inbox as new mail. Returns
    // the first new number (the bound of qimstore::kStateNew), 0 when nothing came in.
    int ImportWithDialog(const std::string& inbox);
    // The same for files already chosen (full paths, in this order).
    int ImportFiles(const std::string& inbox, const std::vector<std::string>& files);

    // qimcmd::MarkImportant, MarkUnread, MarkRead: `kind` set or cleared on the selected mails.
    // Returns the numbers whose marks changed.
    std::vector<int> MarkMails(SQimFolder& folder, const std::vector<int>& selected, SMarkKind kind);
    // A mail shown in a viewer gets its read mark (qimstr::CannotSetRead when it cannot).
    bool MarkShownRead(SQimFolder& folder, int number);

    // qimcmd::RenumberGaps. True when any mail was renumbered (the cache is then rebuilt and
    // loaded).
    bool CloseGaps(SMemCacheFolder& folder);
    // qimcmd::RenumberByDate: the mails end numbered 1..n, oldest date first. True when any moved.
    bool RenumberByDate(SMemCacheFolder& folder);
    // qimcmd::RefreshCache.
    bool UpdateCache(SMemCacheFolder& folder);

    // After a receive session into the inbox: SettleReceivedMail, and
    // qimstr::CannotSetUnread once when a mark could not be cleared. False when nothing arrived.
    bool FinishReceive(const std::string& inbox, int firstNew);
    // Stores a composed, sent or draft mail as the next number of `folderName`
    // (taken relative to `home`; empty or "." is the inbox): `write` writes the
    // message to the path it is given. Returns that path, empty on failure.
    // The caller then tells the main window (the folder-view notification).
    std::string StoreMail(const std::string& home, const std::string& folderName,
                          const std::function<bool(const std::string& path)>& write);

protected:
    // The one place where a mail file changes its name inside a folder
    // (closing gaps, renumbering); never replaces an existing name.
    virtual bool RenameMail(const std::string& from, const std::string& to);
    // Brings one mail into the open batch of `destination`.
    virtual bool BringMail(SQimCacheFolder& destination, const std::string& source);

private:
    SDeleteAnswer AskDelete(const SQimMailData& mail, const std::string& question, bool offerAll);
    void CloseViewerOf(const std::string& mailPath, bool& closed);
    // Moves mail files as `moves` says (from, to), stopping at the first that
    // fails with the renaming messages. Returns how many moved.
    std::size_t RenumberFiles(const std::vector<std::pair<int, int>>& moves, SQimFolder& folder, bool& failed);
    // RenumberFiles with the folder's cache removed first and rebuilt after.
    std::size_t RenumberWithoutCache(const std::vector<std::pair<int, int>>& moves, SMemCacheFolder& folder, bool& failed);

    SStoreDialogs dialogs_;
    DeleteConfirmation confirm_;
    ViewerCloser closeViewer_;
};

// After a receive into the inbox: when mail `firstNew` arrived, clears the
// read mark of the new mails and brings the cache up to date; `marksFailed`
// tells whether a mark could not be cleared. False when nothing arrived.
bool SettleReceivedMail(const std::string& inbox, int firstNew, bool& marksFailed);
