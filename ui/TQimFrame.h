// The main frame: caption "Qim", the menu bar of the working mode, a tool bar
// and a status bar that shows the hint of the highlighted item. It keeps its
// rectangle and show state in QIM.INI, routes each command to itself, its
// client window and the application, and ends the program in the documented
// order.
#pragma once

#include <QMainWindow>
#include <string>

#include "app/SCommandTable.h"
#include "common/SProfileTools.h"

class QToolBar;
class TContextHelp;
class TQimApp;
class TQimWindow;

class TQimFrame : public QMainWindow, public SPlacedWindow {
    Q_OBJECT

public:
    TQimFrame(TQimApp& app, bool serverMode);

    // The stored rectangle, else (0, 0) with 4/5 of the screen's width and 2/5 of its height.
    void RestoreRectangle();
    // Shows the frame in the stored show state.
    void ShowAtStart();
    // Brings the frame (and an open dialog of it) to the top, shown normally.
    void Activate();

    // The frame, its client window and the application, in that order; false
    // when nobody serves the command.
    bool ExecCommand(int id);
    // A command the frame itself serves (the window layer adds the compose window's qimcmd::Compose).
    void AddCommand(int id, SCommandTable::Action action, SCommandTable::CheckedQuery checked = {}) {
        commands_.Add(id, std::move(action), std::move(checked));
        UpdateCommandStates();
    }
    bool IsCommandServed(int id) const;
    // Served, and able to run now (a command on the selected mail needs one).
    bool IsCommandEnabled(int id) const;
    // A command the frame serves while `enabled` says so.
    void AddCommandWhen(int id, SCommandTable::EnabledQuery enabled, SCommandTable::Action action) {
        commands_.AddWhen(id, std::move(enabled), std::move(action));
        UpdateCommandStates();
    }
    // Queued, as the window system posts a command.
    void PostCommand(int id);
    // Enabled state and check marks of every item, from who serves it.
    void UpdateCommandStates();

    QToolBar* ToolBar() const { return toolBar_; }
    // The local main window becomes the frame's client: its commands are
    // asked after the frame's, its layout is stored at close.
    void SetClient(TQimWindow* client);
    TQimWindow* Client() const { return client_; }
    // F1, Shift+F1 and the context-help mode of the frame's menus.
    TContextHelp* Help() const { return help_; }

    // Another client window (the server-folder window): its commands are
    // asked after the frame's.
    void SetClientWindow(QWidget* client, const SCommandTable* commands);

    // The client's part of the close: it may refuse, it stores its layout,
    // and it is told once the close is certain.
    virtual bool ClientMayClose() { return true; }
    virtual void StoreClientLayout();
    virtual void ClientClosing() {}
    bool GetWindowPlacement(SWindowPlacement& placement) const override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildToolBar();
    void ConnectCommands();

    TQimApp& app_;
    SCommandTable commands_;
    // The local main window; none in the server-folder mode for now.
    TQimWindow* client_ = nullptr;
    const SCommandTable* clientCommands_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    TContextHelp* help_ = nullptr;
};
