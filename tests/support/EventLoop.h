// The Qt event loop for tests that drive sockets without windows: one
// QCoreApplication per test program, and running the loop until a condition
// holds or a time has passed.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>

namespace qimtest {

inline void EnsureCoreApp() {
    static QCoreApplication* app = [] {
        static int argc = 1;
        static char name[] = "qimtest";
        static char* argv[] = {name, nullptr};
        return new QCoreApplication(argc, argv);
    }();
    (void)app;
}

// Runs the event loop until `done` holds or `ms` have passed; false on time-out.
inline bool RunUntil(const std::function<bool()>& done, int ms = 15000) {
    QElapsedTimer clock;
    clock.start();
    QTimer tick;  // wakes the loop, so `done` is looked at even when nothing happens
    tick.start(5);
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

inline void RunFor(int ms) { RunUntil([] { return false; }, ms); }

}  // namespace qimtest
