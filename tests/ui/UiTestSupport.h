// The application object of the window tests, and a way to answer the modal
// windows a test opens.
#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/TQimApp.h"

namespace qimtest {

// One TQimApp for the whole test program (Qt allows one application object).
inline TQimApp& QimTestApp() {
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = {name, nullptr};
    static TQimApp* app = new TQimApp(argc, argv);
    return *app;
}

// Calls `act` with the modal window once one is open (it then has to close it).
inline void WhenModalOpens(std::function<void(QWidget*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        }
    });
    timer->start();
}

}  // namespace qimtest
