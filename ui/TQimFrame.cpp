#include "ui/TQimFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QStatusBar>
#include <QToolBar>

#include "config/QimCommandIds.h"
#include "config/QimSettingKeys.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "app/SQimCloseQuery.h"
#include "config/SQimProfile.h"
#include "app/TQimApp.h"
#include "common/AppNames.h"
#include "common/QimMessageBox.h"
#include "platform/Screen.h"
#include "platform/qt/QtText.h"
#include "ui/QimMenuBuilder.h"
#include "ui/QimMenuTables.h"
#include "ui/TContextHelp.h"
#include "ui/TQimWindow.h"

namespace {

// Buttons of the tool bar, in order; 0 is a gap.
constexpr int kToolBarCommands[] = {qimcmd::Receive, qimcmd::Compose,   qimcmd::Reply,         qimcmd::Forward, 0,
                                    qimcmd::ShowMail, qimcmd::DeleteMail, qimcmd::FindInFolder, 0,
                                    qimcmd::NetworkSettings};

// A menu text as a button shows it: no mark "(&X)", no "..." and no shortcut.
QString ButtonText(QString text) {
    text = text.section('\t', 0, 0);
    text.remove(QRegularExpression("\\(&.\\)"));
    text.remove("...");
    text.remove('&');
    return text.trimmed();
}

// The close order with the frame's and the application's pieces.
class FrameCloseQuery : public SQimCloseQuery {
public:
    FrameCloseQuery(TQimFrame& frame, TQimApp& app) : frame_(frame), app_(app) {}

protected:
    bool ChildrenMayClose() override { return frame_.ClientMayClose(); }
    void WriteSettings() override { app_.WriteSettings(); }
    void WriteWindowState() override {
        const SQimProfileTools tools(qimini::Qim, &frame_);
        tools.WriteShow(qimini::LastShow);
        tools.WriteWindowRect(qimini::LastWindow);
    }
    void StoreClientLayout() override { frame_.StoreClientLayout(); }
    bool ViewersMayClose() override { return app_.ViewersMayClose(); }
    SClosingWindow* ComposeWindow() override { return app_.ComposeWindow(); }
    void ShowDialogStillOpen() override {
        QimMessageBox(&frame_, LoadQimString(qimstr::DialogStillOpen).c_str(), platform::MessageIcon::Stop);
    }

private:
    TQimFrame& frame_;
    TQimApp& app_;
};

}  // namespace

TQimFrame::TQimFrame(TQimApp& app, bool serverMode) : app_(app) {
    setObjectName(GetAppClassName());
    setWindowTitle(GetAppName());
    commands_.Add(qimcmd::Exit, [this] { close(); });
    BuildMenuBar(menuBar(), MainFrameMenuTable(serverMode));
    BuildToolBar();
    statusBar()->setSizeGripEnabled(true);
    setCentralWidget(new QWidget(this));
    help_ = new TContextHelp(this, "index.html");
    ConnectCommands();
    UpdateCommandStates();
}

void TQimFrame::BuildToolBar() {
    toolBar_ = new QToolBar(platform::ToQString(std::string(GetAppName()) + " " + LoadQimString(qimstr::ToolBar)), this);
    toolBar_->setObjectName("QimToolBar");
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (int id : kToolBarCommands) {
        if (!id) {
            toolBar_->addSeparator();
        } else if (QAction* action = FindCommandAction(menuBar(), id)) {
            action->setIconText(ButtonText(action->text()));
            toolBar_->addAction(action);
        }
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void TQimFrame::ConnectCommands() {
    for (QAction* action : CommandActions(menuBar())) {
        const int id = CommandOf(action);
        // In context-help mode a chosen item opens its help instead.
        connect(action, &QAction::triggered, this, [this, id] {
            if (!help_->TakeCommand(id)) ExecCommand(id);
        });
    }
    for (QAction* top : menuBar()->actions()) {
        if (QMenu* menu = top->menu()) connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandStates(); });
    }
}

void TQimFrame::SetClient(TQimWindow* client) {
    client_ = client;
    if (client) connect(client, &TQimWindow::SelectionChanged, this, [this] { UpdateCommandStates(); });
    SetClientWindow(client, client ? &client->Commands() : nullptr);
}

void TQimFrame::SetClientWindow(QWidget* client, const SCommandTable* commands) {
    clientCommands_ = commands;
    setCentralWidget(client ? client : new QWidget(this));
    UpdateCommandStates();
}

void TQimFrame::StoreClientLayout() {
    if (client_) client_->StoreLayout();
}

bool TQimFrame::IsCommandServed(int id) const {
    return commands_.Has(id) || (clientCommands_ && clientCommands_->Has(id)) || app_.Commands().Has(id);
}

bool TQimFrame::IsCommandEnabled(int id) const {
    // The first table that serves the command decides, as for running it.
    if (commands_.Has(id)) return commands_.IsEnabled(id);
    if (clientCommands_ && clientCommands_->Has(id)) return clientCommands_->IsEnabled(id);
    return app_.Commands().IsEnabled(id);
}

bool TQimFrame::ExecCommand(int id) {
    const bool done = commands_.Execute(id) || (clientCommands_ && clientCommands_->Execute(id)) ||
                      app_.Commands().Execute(id);
    UpdateCommandStates();
    return done;
}

void TQimFrame::PostCommand(int id) {
    QMetaObject::invokeMethod(this, [this, id] { ExecCommand(id); }, Qt::QueuedConnection);
}

void TQimFrame::UpdateCommandStates() {
    for (QAction* action : CommandActions(menuBar())) {
        const int id = CommandOf(action);
        if (action->isSeparator()) continue;
        action->setEnabled(IsCommandEnabled(id));
        std::optional<bool> checked = commands_.IsChecked(id);
        if (!checked && clientCommands_) checked = clientCommands_->IsChecked(id);
        if (!checked) checked = app_.Commands().IsChecked(id);
        action->setCheckable(checked.has_value());
        if (checked) action->setChecked(*checked);
    }
}

void TQimFrame::RestoreRectangle() {
    TWindowAttr attr;
    if (!SQimProfileTools(qimini::Qim, this).ReadWindowRect(&attr, qimini::LastWindow)) {
        const platform::ScreenSize screen = platform::PrimaryScreenSize();
        attr = TWindowAttr{0, 0, screen.width * 4 / 5, screen.height * 2 / 5};
    }
    setGeometry(attr.X, attr.Y, attr.W, attr.H);
}

void TQimFrame::ShowAtStart() {
    switch (SQimProfileTools(qimini::Qim, this).ReadShow(qimini::LastShow)) {
    case SW_SHOWMAXIMIZED:
        showMaximized();
        break;
    case SW_SHOWMINIMIZED:
        showMinimized();
        break;
    default:
        show();
        break;
    }
}

void TQimFrame::Activate() {
    if (isMinimized() || !isVisible()) showNormal();
    raise();
    activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

bool TQimFrame::GetWindowPlacement(SWindowPlacement& placement) const {
    QRect r = normalGeometry();
    if (!r.isValid()) r = geometry();
    placement.left = r.x();
    placement.top = r.y();
    placement.right = r.x() + r.width();
    placement.bottom = r.y() + r.height();
    placement.showCmd = isMaximized() ? SW_SHOWMAXIMIZED : (isMinimized() ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    return true;
}

void TQimFrame::closeEvent(QCloseEvent* event) {
    FrameCloseQuery query(*this, app_);
    if (query.CanClose()) {
        ClientClosing();
        event->accept();
    } else {
        event->ignore();
    }
}
