// The server-folder window: the folder tree (the local folders and the
// server's under "_QimP"), the header list of the shown folder with its size
// column, and the viewer of the local mode. It works on server folders with
// the commands the local window offers on local ones, each a request to the
// IMAP4 session it makes on first use, and serves what the session's
// completions tell; the commands over several mails run through the
// operation objects (SQimPMailOperations). On local folders the store's
// commands apply. SQimPMhWindow is the variant for servers of the "#mh"
// namespace.
#pragma once

#include <QSplitter>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/SCommandTable.h"
#include "common/SFindCondition.h"
#include "config/SQimTmpFilePath.h"
#include "filters/SAutoMoveFilesData.h"
#include "imap/SQimPFolderList.h"
#include "imap/SQimPFolderTree.h"
#include "imap/SQimPMailOperations.h"
#include "imap/SQimPMemCacheFolder.h"
#include "imap/SQimPSettingData.h"
#include "imap/SQimPSettingsCommands.h"
#include "store/SQimComparator.h"

class QTreeView;
class QTreeWidgetItem;
class SImap4CommunDlg;
class SQimPTreeView;
class SSettingData;
class SUserInetData;
class THeaderListModel;
class TMailViewPane;

class SQimPWindow : public QSplitter,
                    public SQimPMailWindow,
                    public SQimPMailSelection,
                    public SQimPSettingsHost {
    Q_OBJECT

public:
    SQimPWindow(SUserInetData& inet, const SSettingData& settings, const std::string& home, QWidget* parent = nullptr);
    ~SQimPWindow() override;

    const SCommandTable& Commands() const { return commands_; }
    // Posts a command as the window system would (the frame sets it; without
    // one the window's own commands are run, queued).
    std::function<void(int id)> postCommand;

    // The start (qimcmd::Receive the first time): the settings first when the
    // settings mail says so, then the folder list; the start-up flag holds
    // until the first header list came.
    void StartUp();
    bool IsStartingUp() const { return startingUp_; }
    bool HasStarted() const { return started_; }

    // ---- Folders ----
    // Shows the folder of a tree node (a local full path or "_QimP\...").
    void SelectFolder(const std::string& path);
    const std::string& ShownFolder() const { return shown_; }
    bool IsServerFolderShown() const;
    // The mailbox a request names for a server node: the root "_QimP"; in the
    // plain variant a folder's "_mbox", a mailbox itself.
    virtual std::string MailboxOf(const QTreeWidgetItem* item) const;
    // The mailbox of a new folder `name` below a node.
    virtual std::string NewFolderMailbox(const std::string& parentPath, const std::string& name) const;

    // ---- Mails ----
    std::vector<int> SelectedNumbers() const;
    void SelectNumbers(const std::vector<int>& numbers);
    // Shows mail `number` of the shown folder: a local one at once, a server
    // one once it was fetched (operation 750).
    bool ShowMail(int number);
    // Moves (or copies) the selected mails of the shown folder to the folder
    // of a tree node: drag and drop (Ctrl copies) or a command.
    bool TransferTo(const std::string& destination, bool copy);
    void DeleteMails();
    void MarkMails(bool read);
    // The mail a reply or a forward starts from: the fetched file of the
    // viewer, else (a local folder) the last one selected.
    std::string CurrentMailPath() const;
    // The selected server mail fetched for `command` (qimcmd::Reply,
    // qimcmd::Forward), which is posted once it came. False when nothing is
    // selected or the request was not taken.
    bool FetchForCommand(int command);
    // Appends a mail file of the compose window to a server folder
    // ("_QimP\..."), operation 756; `done` gets whether it was stored.
    bool AppendMailFile(const std::string& file, const std::string& folder, std::function<void(bool)> done);

    // ---- Sorting (qimcmd::AutoSort, qimcmd::AutoSort2, qimcmd::OneShotSort) ----
    // Runs `rules` over the shown server folder: a rule's mails are marked
    // from the folder's cache (a named field by the server's search) and
    // moved; the next rule is marked once that move completed and the list
    // came again, since the server numbers the mails anew. A destination
    // "_QimP\..." is a server folder, any other a local one below the home
    // directory. False when nothing runs.
    bool RunServerSort(std::vector<SAutoMoveFilesData> rules);
    bool IsSorting() const { return sort_ != nullptr; }
    // Mails the last run moved.
    int SortMoved() const { return sortMoved_; }

    // ---- Closing ----
    // The settings may refuse the close (they are put on the server first).
    bool MayClose();
    void Closing();
    void StoreLayout() const;

    // ---- Pieces, for the frame and tests ----
    SQimPTreeView* Tree() const { return tree_; }
    QTreeView* List() const { return list_; }
    THeaderListModel* Model() const { return model_; }
    TMailViewPane* Viewer() const { return viewer_; }
    QWidget* ViewerWindow() const { return viewerWindow_; }
    SImap4CommunDlg* SessionDialog() const { return session_.get(); }
    SQimPMemCacheFolder& Cache() { return cache_; }
    // The session: made on first use.
    SImap4CommunDlg& Session();
    // The search of the shown server folder (qimcmd::FindInFolder and its
    // dialog): the numbers found.
    bool SearchShownFolder(const SFindMailCondition& condition, bool selectAll);
    const std::vector<int>& SearchResult() const { return found_; }

    // SQimPMailSelection: the rows of the header list.
    int ItemCount() const override;
    bool IsSelected(int position) const override;
    int NumberAt(int position) const override;
    unsigned char MarkAt(int position) const override;

    // SQimPMailWindow
    const SQimPMailSelection& Selection() const override { return *this; }
    bool SendRequest(const SImap4Request& request, int operation) override;
    void Notify(const SNotice& notice) override;
    SDeleteAnswer AskDelete(int number) override;
    bool ConfirmDeleteAll() override;
    void ReleaseViewers(const std::string& mailbox, int first, int last) override;
    void DeleteLocalMails(const std::string& folder, const std::vector<int>& numbers) override;
    void ServerFolderChanged(const SQimPFolderRef& folder) override;
    void LocalFolderChanged(const std::string& folder) override;
    void ReadMarkChanged(const SQimPFolderRef& folder, int number, bool read) override;

    // SQimPSettingsHost
    bool Request(const SImap4Request& request, int operation) override;
    std::string SettingsMailFile() override;
    SQimPSettingData& Settings() override { return qimpSettings_; }
    void MarkSettingsChanged() override { qimpSettingsChanged_ = true; }
    bool AreSettingsChanged() const override;
    void SettingsReread() override;
    void ListFolders() override;
    void PostCommand(int id) override;
    platform::ParentWindow Parent() override { return window(); }

signals:
    // The selected mails changed: the commands on them may change state.
    void SelectionChanged();

protected:
    // The session of the variant.
    virtual std::unique_ptr<SImap4CommunDlg> MakeSession();
    // The plain variant keeps a folder's mail in its "_mbox".
    virtual bool MboxFolders() const { return true; }
    void showEvent(QShowEvent* event) override;

    SUserInetData& inet_;
    const SSettingData& settings_;

private:
    // What the window waits for from the session.
    struct Pending {
        std::string headers;        // the node whose header list comes
        std::string renameFrom, renameTo;
        std::string removed;        // the folder being deleted
        int viewNumber = 0;
        std::string viewMailbox;
        int followUp = 0;           // the command posted once the mail came
        int settingsOperation = 0;  // a request of the settings commands
        std::function<void(bool)> appended;  // the compose window's append
        bool search = false;
        bool searchSelectsAll = false;  // qimcmd::FindAllAndMark; else the first found is shown
        bool sortSearch = false;        // the search of a sorting rule
    };
    // The mail the viewer shows, as the server numbers it.
    struct Shown {
        std::string mailbox;
        int number = 0;
    };

    // A sorting run: its rules, the rule at work and what it waits for.
    struct ServerSort {
        enum class Wait { None, Search, Move, Headers };
        std::vector<SAutoMoveFilesData> rules;
        std::size_t index = 0;
        std::string folder;
        SQimPFolderRef destination;  // the current rule's
        Wait wait = Wait::None;
    };

    // SQimPWindow.cpp: the panes, the commands, the session.
    void BuildPanes();
    void RegisterCommands();
    void OnCompleted(int operation, int result);
    void PlaceViewerWindow();

    // SQimPWindowFolders.cpp
    void RebuildServerTree();
    void ShowList(bool server);
    void FetchHeaders(QTreeWidgetItem* item);
    void OnHeadersCompleted(bool ok);
    void NewFolder();
    void NewServerFolder(QTreeWidgetItem* parent);
    void RenameFolder();
    void OnLabelEdited(QTreeWidgetItem* item, const std::string& name);
    void RemoveFolder();
    bool TakeKatakanaName(std::string& name);
    SQimPFolderRef RefOf(const std::string& path) const;
    void TakeSortOf(const std::string& folder);
    void OnHeaderClicked(int column);

    // SQimPWindowSort.cpp
    void RegisterSortCommands();
    void PostSortRule();
    // Runs rules until one waits for the server or the run ends.
    void SortRules();
    // The usable destination of a rule; false (told when missing) to skip it.
    bool SortDestination(const SAutoMoveFilesData& rule, SQimPFolderRef& destination);
    // Moves `numbers`; false when nothing was started.
    bool SortMove(const std::vector<int>& numbers);
    // The operations' completions as far as a run waits for them.
    void OnSortOperationCompleted(bool ok);
    void OnSortSearchCompleted(bool ok, const std::vector<int>& found);
    void OnSortHeadersCompleted(bool ok);
    void EndSort();

    // SQimPWindowMails.cpp
    std::vector<int> ParseSearchResult() const;
    void OnListCurrentChanged();
    void OnViewCompleted(bool ok);
    void OnMailsDropped(const std::string& source, const std::string& destination, bool copy);
    void CopyLocalMails(const std::string& destination);
    void MoveLocalMails(const std::string& destination);
    bool ShowsTo() const;
    void MarkLocalMails(int kind);
    void OnSearchCompleted(bool ok);
    void ShowViewerWindow();
    void RefreshList();

    std::string home_;
    // Where the caches and fetched mails go (unless TempDir names a folder):
    // never the home directory, whose folders are the local tree.
    std::string tempDir_;
    std::unique_ptr<SImap4CommunDlg> session_;
    SQimPFolderList folderList_{tempDir_.c_str()};
    SQimPMemCacheFolder cache_{tempDir_.c_str()};
    SQimPMailOperations operations_{*this, cache_};
    // The fetched mail the viewer shows (and a reply or forward starts from).
    std::unique_ptr<SQimTmpFilePath> viewFile_;
    std::unique_ptr<SQimTmpFilePath> settingsMailFile_;
    std::unique_ptr<SQimTmpFilePath> appendFile_;
    SQimPSettingData qimpSettings_;
    bool qimpSettingsChanged_ = false;
    SQimPFolderTree serverTree_;
    SFromToChoice fromTo_;
    SCommandTable commands_;

    std::string shown_;
    bool started_ = false;
    bool startingUp_ = false;
    int newMailCount_ = 0;
    Pending pending_;
    Shown viewed_;
    std::vector<int> found_;
    std::unique_ptr<ServerSort> sort_;
    unsigned sortRunId_ = 0;
    int sortMoved_ = 0;
    std::vector<int> sortMarked_;
    SAutoMoveFilesData oneShot_;
    std::string searchResult_;
    int sortColumn_ = 0;
    int sortDirection_ = 0;
    bool layoutRestored_ = false;
    bool viewerPlaced_ = false;
    bool showingMail_ = false;

    SQimPTreeView* tree_ = nullptr;
    QSplitter* listPane_ = nullptr;
    QTreeView* list_ = nullptr;
    THeaderListModel* model_ = nullptr;
    TMailViewPane* viewer_ = nullptr;
    QWidget* viewerWindow_ = nullptr;
};
