// The order in which the program ends: the children are asked, the settings
// and the window state are saved, then open viewers and the compose window may
// still refuse (a dialog of the compose window is open: qimstr::DialogStillOpen).
#pragma once

// A window that may keep the program from ending.
class SClosingWindow {
public:
    virtual ~SClosingWindow() = default;
    virtual bool CanClose() = 0;
    // False while a dialog of the window is open.
    virtual bool IsEnabled() const = 0;
    virtual void Destroy() = 0;
};

class SQimCloseQuery {
public:
    virtual ~SQimCloseQuery() = default;
    // True when the program may end; every step runs at most once per call.
    bool CanClose();

protected:
    virtual bool ChildrenMayClose() = 0;
    virtual void WriteSettings() = 0;
    virtual void WriteWindowState() = 0;
    virtual void StoreClientLayout() = 0;
    virtual bool ViewersMayClose() = 0;
    // Null when no compose window is open.
    virtual SClosingWindow* ComposeWindow() = 0;
    virtual void ShowDialogStillOpen() = 0;
};
