// The help keys of a window with a menu bar. F1 opens the manual's page of
// the window; Shift+F1 enters context-help mode, in which the next command
// opens its own page instead of running, and Esc leaves the mode; F1 in an
// open menu opens the page of the highlighted item (the mode when none is).
#pragma once

#include <QObject>
#include <string>

class QMainWindow;
class QShortcut;

class TContextHelp : public QObject {
    Q_OBJECT

public:
    // `page` is the window's page of the manual ("index.html", "compose.html").
    TContextHelp(QMainWindow* window, std::string page);
    ~TContextHelp() override;

    bool Active() const { return active_; }
    void Enter();
    void Leave();
    // In context-help mode: opens the page of `command`, leaves the mode and
    // answers true (the command is not to run). False outside the mode.
    bool TakeCommand(int command);
    // The page opened last (for the tests), as handed to the help.
    const std::string& LastPage() const { return lastPage_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Open(const std::string& page);
    void WatchMenus();

    QMainWindow* window_;
    std::string page_;
    QShortcut* escape_ = nullptr;
    bool active_ = false;
    std::string lastPage_;
};
