// The main window with a large folder, timed as a person sees it: qim's own
// start-up steps up to the first paint of the header list, then (with a
// second folder) the switch to that folder up to its first paint: the load
// of HCACHE.TXT, the model, the folder's sort and the paint. Prints one line
// of "name value" pairs; bench/window_open.sh makes the folders and runs it
// under Qt's offscreen platform.
//   QimWindowOpenBench HOME [FOLDER]
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/SQimInstance.h"
#include "config/SQimHomeSearch.h"
#include "app/TQimApp.h"
#include "platform/ScriptedDialogService.h"
#include "ui/THeaderListModel.h"
#include "ui/TQimFrame.h"
#include "ui/TQimWindow.h"
#include "ui/TQimWindows.h"

namespace {

QElapsedTimer g_clock;

long ResidentKb() {
    FILE* f = std::fopen("/proc/self/statm", "r");
    long pages = 0, resident = 0;
    if (f) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * 4;
}

// Calls `then` after the next paint of the list (one that shows rows, when
// `rows`).
class FirstPaint : public QObject {
public:
    FirstPaint(QTreeView* list, bool rows, std::function<void()> then)
        : list_(list), rows_(rows), then_(std::move(then)) {
        list_->viewport()->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && (!rows_ || list_->model()->rowCount() > 0) && then_) {
            // After the paint itself: the filter sees the event before the widget.
            auto then = std::move(then_);
            then_ = nullptr;
            QTimer::singleShot(0, list_, [then] { then(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QTreeView* list_;
    bool rows_;
    std::function<void()> then_;
};

}  // namespace

int main(int argc, char** argv) {
    g_clock.start();
    if (argc < 2) {
        std::fprintf(stderr, "usage: QimWindowOpenBench HOME [FOLDER]\n");
        return 2;
    }
    const std::string home = argv[1];
    const std::string folder = argc > 2 ? argv[2] : "";
    std::vector<std::string> args = {"-H" + home};
    int qtArgc = 1;
    char name[] = "qim";
    char* qtArgv[] = {name, nullptr};

    // The steps of RunQim, without the dialogs of a first start.
    TQimApp app(qtArgc, qtArgv);
    SProcessEnvironment env;
    int exitCode = 0;
    if (!app.ReadCommandLine(args, env, exitCode)) return exitCode;
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scope(dialogs);
    SLocalRunningCopy running;
    if (!app.Start(running, exitCode)) return exitCode;
    app.PrepareMainWindow();
    TQimWindows windows(app);
    app.SetWindowLayer(&windows);
    windows.CreateMainFrame();
    QTreeView* list = windows.Frame()->findChild<QTreeView*>("QimHeaderList");
    if (!list) return 1;

    long startRss = 0;
    double shownMs = 0;
    std::optional<FirstPaint> watch;
    auto report = [&](double openMs, long openKb) {
        std::printf("start_to_shown_ms %.1f rows %d rss_kb %ld", shownMs, list->model()->rowCount(), startRss);
        if (openMs >= 0) std::printf(" open_ms %.1f open_rows %d open_rss_growth_kb %ld", openMs, list->model()->rowCount(), openKb);
        std::printf("\n");
        std::fflush(stdout);
        std::_Exit(0);  // the teardown of a large folder is no part of what is timed
    };
    watch.emplace(list, folder.empty(), [&] {
        shownMs = static_cast<double>(g_clock.nsecsElapsed()) / 1e6;
        startRss = ResidentKb();
        if (folder.empty()) report(-1, 0);
        // The folder opened as a click in the tree opens it.
        QTimer::singleShot(50, list, [&] {
            const long before = ResidentKb();
            QElapsedTimer open;
            open.start();
            watch.emplace(list, true, [&, before, open] {
                report(static_cast<double>(open.nsecsElapsed()) / 1e6, ResidentKb() - before);
            });
            windows.Window()->ShowFolder(folder);
        });
    });
    windows.ShowMainFrame();
    return app.exec();
}
