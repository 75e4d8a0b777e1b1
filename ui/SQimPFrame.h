// The main frame of the server-folder mode: the frame with the server-mode
// menus around a server-folder window (a plain SQimPWindow unless it is given
// one). The window's commands are asked after the frame's, and the window
// takes part in the close.
#pragma once

#include "ui/TQimFrame.h"

class SQimPWindow;

class SQimPFrame : public TQimFrame {
    Q_OBJECT

public:
    // `window` null: the frame makes a plain SQimPWindow. The frame owns it.
    explicit SQimPFrame(TQimApp& app, SQimPWindow* window = nullptr);

    SQimPWindow* Window() const { return window_; }

    bool ClientMayClose() override;
    void StoreClientLayout() override;
    void ClientClosing() override;

private:
    SQimPWindow* window_ = nullptr;
};
