#include "ui/SQimPFrame.h"

#include "app/SQimInstance.h"
#include "app/TQimApp.h"
#include "config/QimGlobals.h"
#include "ui/SQimPWindow.h"

SQimPFrame::SQimPFrame(TQimApp& app, SQimPWindow* window) : TQimFrame(app, true) {
    window_ = window ? window : new SQimPWindow(app.UserInetData(), GetSettingData(), AbsoluteDirectory(GetQimHome()));
    window_->postCommand = [this](int id) { PostCommand(id); };
    connect(window_, &SQimPWindow::SelectionChanged, this, [this] { UpdateCommandStates(); });
    SetClientWindow(window_, &window_->Commands());
}

bool SQimPFrame::ClientMayClose() { return window_->MayClose(); }

void SQimPFrame::StoreClientLayout() { window_->StoreLayout(); }

void SQimPFrame::ClientClosing() { window_->Closing(); }
