// The local main window: the folder tree, the header list of the shown folder
// and the viewer pane, in splitters. It serves the commands on local folders
// and mails, reloads its list when told that the shown folder changed, and
// keeps the first number of the latest receive or import for the new-mail
// state.
#pragma once

#include <QSplitter>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/SCommandTable.h"
#include "common/SFindCondition.h"
#include "filters/SAMFProfile.h"
#include "store/SFolderCommands.h"
#include "store/SMailCommands.h"
#include "store/SMemCacheFolder.h"
#include "store/SQimComparator.h"

class QLabel;
class QTreeView;
class SAutoMoveFiles;
class QTreeWidgetItem;
class TFolderTree;
class THeaderListModel;
class TMailViewPane;
class SQimSendSettingData;

class TQimWindow : public QSplitter {
    Q_OBJECT

public:
    // `home` is the inbox, shown at first. `send` names the sent-mail and
    // draft folders, whose lists show To; null: none.
    explicit TQimWindow(const std::string& home, const SQimSendSettingData* send = nullptr, QWidget* parent = nullptr);
    ~TQimWindow() override;

    const SCommandTable& Commands() const { return commands_; }

    // Shows `folder` in the header list (the tree follows).
    void ShowFolder(const std::string& folder);
    const std::string& ShownFolder() const { return shown_; }
    bool IsInboxShown() const;
    // The folder-view notification: reloads the list when it shows `folder`.
    void ReloadFolder(const std::string& folder);
    // Loads the shown folder's cache again and refills the list.
    void Refresh();

    // Receiving into the inbox: Begin notes the first new number (returned)
    // and marks the window as receiving; End clears the read marks of what
    // arrived, updates the inbox cache and reloads the list; false when
    // nothing arrived. End also follows a session that broke off: the mail it
    // wrote is in the inbox all the same and must not count as read.
    int BeginReceive();
    bool EndReceive();
    // For a receive run that already did End's work on the files itself.
    void ReceiveEnded(bool arrived);
    bool IsReceiving() const { return receiving_; }
    // The bound of the new-mail state (0: none yet).
    int FirstNew() const { return firstNew_; }
    void SetFirstNew(int firstNew);
    // What the receive command (qimcmd::Receive) starts; the command is served once a
    // hook is set.
    void SetReceiveHook(std::function<void()> hook);

    // Moves mails of the shown folder (numbers in list order) to
    // `destination`: the drag onto a tree folder, and the sorting rules.
    std::vector<int> MoveMailsTo(const std::vector<int>& numbers, const std::string& destination);
    // Sorting: the rules run over `folder` as steps posted to the window, so
    // it stays responsive; a new run replaces one still going. The list
    // shows each rule's marks while it shows that folder, and reloads after
    // each move. False when there was no rule to run.
    bool RunSortRules(std::vector<SAutoMoveFilesData> rules, const std::string& folder);
    // A stored rule set (as much of it as can be read).
    bool RunRuleSet(SSortRuleSet set, const std::string& folder);
    // The run going on or ended last; null before the first.
    const SAutoMoveFiles* SortRun() const { return sort_.get(); }
    // The progress line of the run, as the frame's status bar shows it.
    const QString& SortStatus() const { return sortStatus_; }
    // The rule of one-shot sorting (qimcmd::OneShotSort): its dialog opens with the last one.
    const SAutoMoveFilesData& OneShotRule() const { return oneShot_; }

    // Selected mails in list order.
    std::vector<int> SelectedNumbers() const;
    // The mail a reply or a forward starts from: the one in the viewer, else
    // the last one selected; empty when there is none.
    std::string CurrentMailPath() const;
    void SelectNumbers(const std::vector<int>& numbers);
    // Shows mail `number` of the shown folder in the viewer pane and sets its
    // read mark.
    bool ShowMail(int number);

    // The search commands (qimcmd::FindFrom to FindAllAndMark) past their
    // dialogs, over the shown folder in list order. FindInList: every row
    // whose From (To) column or Subject (`column`) matches is selected, the
    // first made current and shown; the number found.
    int FindInList(int column, const SFindCondition& condition);
    // The first mail after the current row (from the top when that row is
    // not selected) whose file matches, made current and shown; the condition is kept for FindNextMail. False, with a beep
    // and a word in the status bar, when none is left.
    bool FindMail(const SFindMailCondition& condition);
    bool FindNextMail();
    // Whether FindNextMail has a condition to go on with.
    bool HasSearched() const { return searched_; }
    // Selects every mail of the folder whose file matches, the first made
    // current, and keeps the condition for FindNextMail; the number found.
    int FindAllMails(const SFindMailCondition& condition);

    // Pane sizes, column widths and the folder shown: read from QIM.INI (the
    // folder when the window is made), stored at close.
    void RestoreLayout();
    void StoreLayout() const;

    TFolderTree* Tree() const { return tree_; }
    QTreeView* List() const { return list_; }
    THeaderListModel* Model() const { return model_; }
    TMailViewPane* Viewer() const { return viewer_; }
    // The viewer's own window (EInnerView 0); null while it is docked.
    QWidget* ViewerWindow() const { return viewerWindow_; }
    SMemCacheFolder& Cache() { return cache_; }
    // The From column shows To.
    bool ShowsTo() const;

signals:
    // The selected mails changed: the commands on them may change state.
    void SelectionChanged();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildPanes();
    void RegisterCommands();
    void RegisterSearchCommands();
    // Selects these rows (ascending) and nothing else, the first made current.
    void SelectFoundRows(const std::vector<int>& rows);
    // The outcome of a search in the frame's status bar; a beep when nothing was found.
    void ReportFound(int count);
    // A word in the frame's status bar (Shift_JIS; empty clears it).
    void ShowStatus(const std::string& text);
    // The mail commands with the window's questions and viewer.
    SMailCommands MailCommands();
    void FillList();
    // The order `folder` is shown in: its own from the last click on a header,
    // else the default sort.
    void TakeSortOf(const std::string& folder);
    void ShowSortIndicator();
    void OnTreeCurrentChanged(QTreeWidgetItem* current);
    void OnHeaderClicked(int column);
    void OnListCurrentChanged();
    void OnLabelEdited(QTreeWidgetItem* item, const std::string& name);
    void OnMailsDropped(const std::string& source, const std::vector<int>& numbers, const std::string& destination);
    bool AutomaticTo() const;
    bool CloseViewerOf(const std::string& mailPath);
    // The first row selected in list order, -1 when none.
    int FirstSelectedRow() const;
    // After mails went: the one that took the first's place is selected and shown.
    void ShowRowAfterRemoval(int row);
    void SelectAndShow(int row);
    // The viewer's own window the first time it opens: wholly on the screen.
    void PlaceViewerWindow();

    void DeleteMails();
    void MarkMails(SMarkKind kind);
    void ImportMails();
    void CloseGaps();
    void RenumberByDate();
    void UpdateCache();
    void NewFolder();
    void RenameFolder();
    void RemoveFolder();
    void SwapFromTo();
    // qimcmd::ArchiveFolder on the shown folder.
    void ArchiveFolder();
    void StepMail(int delta);
    void OneShotSort();
    void EditRuleSet(SSortRuleSet set);
    void PostSortStep();
    void ShowSortProgress(int index);
    void SetSortStatus(const QString& text);

    std::string home_;
    const SQimSendSettingData* send_ = nullptr;
    std::string shown_;
    bool viewerPlaced_ = false;
    SMemCacheFolder cache_;
    SFromToChoice fromTo_;
    SCommandTable commands_;
    TFolderTree* tree_ = nullptr;
    QSplitter* listPane_ = nullptr;  // the list with the viewer
    QTreeView* list_ = nullptr;
    THeaderListModel* model_ = nullptr;
    TMailViewPane* viewer_ = nullptr;
    QWidget* viewerWindow_ = nullptr;  // the viewer's own window when it is not docked
    std::function<void()> receiveHook_;
    int firstNew_ = 0;
    int sortColumn_ = 0;      // the shown folder's order (qimstore::kDirNone: unsorted)
    int sortDirection_ = 0;
    bool receiving_ = false;
    bool layoutRestored_ = false;
    bool showingMail_ = false;
    SFindMailCondition lastSearch_;  // of FindMail, for FindNextMail
    bool searched_ = false;
    std::unique_ptr<SAutoMoveFiles> sort_;
    unsigned sortRunId_ = 0;  // the run the posted steps belong to
    SAutoMoveFilesData oneShot_;
    QString sortStatus_;
    QLabel* sortStatusLabel_ = nullptr;  // in the frame's status bar
};
