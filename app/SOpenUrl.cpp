#include "app/SOpenUrl.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>
#include <cstdio>

#include "common/QimMessageBox.h"
#include "config/QimLayoutSettings.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"

bool OpenUrlInBrowser(const std::string& url, platform::ParentWindow parent) {
    const std::string browser = ReadWebBrowser();
    if (browser.empty()) {
        if (QDesktopServices::openUrl(QUrl(platform::ToQString(url)))) return true;
        QimMessageBox(parent, LoadQimString(qimstr::NoWebBrowser).c_str(), platform::MessageIcon::Stop);
        return false;
    }
    QProcess process;
    process.setProgram(platform::ToQString(browser));
    process.setArguments({platform::ToQString(url)});
    if (process.startDetached()) return true;
    char text[1024];
    std::snprintf(text, sizeof text, LoadQimString(qimstr::CannotRun).c_str(), browser.c_str(),
                  static_cast<long>(process.error()));
    QimMessageBox(parent, text, platform::MessageIcon::Stop);
    return false;
}
