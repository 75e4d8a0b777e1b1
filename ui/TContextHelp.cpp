#include "ui/TContextHelp.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "app/SQimHelp.h"
#include "platform/qt/QtText.h"
#include "ui/QimMenuBuilder.h"

namespace {

// The window's status bar, if it has one (asking QMainWindow for it would make one).
QStatusBar* StatusBarOf(QMainWindow* window) { return window->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly); }

}  // namespace

TContextHelp::TContextHelp(QMainWindow* window, std::string page)
    : QObject(window), window_(window), page_(std::move(page)) {
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), window);
    connect(f1, &QShortcut::activated, this, [this] { Open(page_); });
    auto* shiftF1 = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F1), window);
    connect(shiftF1, &QShortcut::activated, this, [this] { Enter(); });
    escape_ = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    escape_->setEnabled(false);
    connect(escape_, &QShortcut::activated, this, [this] { Leave(); });
    WatchMenus();
}

TContextHelp::~TContextHelp() {
    if (active_) QApplication::restoreOverrideCursor();
}

void TContextHelp::WatchMenus() {
    for (QMenu* menu : window_->menuBar()->findChildren<QMenu*>()) menu->installEventFilter(this);
}

void TContextHelp::Enter() {
    if (active_) return;
    active_ = true;
    escape_->setEnabled(true);
    QApplication::setOverrideCursor(Qt::WhatsThisCursor);
    if (QStatusBar* bar = StatusBarOf(window_)) bar->showMessage(platform::ToQString(LoadQimString(qimstr::ContextHelpPrompt)));
}

void TContextHelp::Leave() {
    if (!active_) return;
    active_ = false;
    escape_->setEnabled(false);
    QApplication::restoreOverrideCursor();
    if (QStatusBar* bar = StatusBarOf(window_)) bar->clearMessage();
}

bool TContextHelp::TakeCommand(int command) {
    if (!active_) return false;
    Leave();
    Open(QimHelpPageOf(command));
    return true;
}

void TContextHelp::Open(const std::string& page) {
    lastPage_ = page;
    OpenQimHelp(page, window_);
}

bool TContextHelp::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        auto* menu = qobject_cast<QMenu*>(watched);
        const QAction* item = menu ? menu->activeAction() : nullptr;
        const int command = CommandOf(item);
        // Every open menu closes first: the browser comes up over the window.
        for (QMenu* open : window_->menuBar()->findChildren<QMenu*>()) open->close();
        if (command) Open(QimHelpPageOf(command));
        else Enter();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
