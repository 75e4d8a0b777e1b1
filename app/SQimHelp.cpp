#include "app/SQimHelp.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

#include <QUrl>

#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "app/TQimApp.h"
#include "common/QimMessageBox.h"
#include "platform/OutsideLibrary.h"

#ifndef QIM_MANUAL_FROM_BIN
#define QIM_MANUAL_FROM_BIN "../share/qim/manual"
#endif
#ifndef QIM_MANUAL_INSTALLED
#define QIM_MANUAL_INSTALLED "/usr/share/qim/manual"
#endif

namespace {

bool HasIndex(const std::string& folder) {
    struct stat st {};
    return stat((folder + "/index.html").c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

std::string QimManualFolder() {
    const std::string program = platform::ProgramFolder();
    if (!program.empty()) {
        const std::string beside = program + QIM_MANUAL_FROM_BIN;
        // Without the "bin/.." the browser shows.
        char resolved[PATH_MAX];
        if (HasIndex(beside)) return realpath(beside.c_str(), resolved) ? std::string(resolved) : beside;
    }
    return HasIndex(QIM_MANUAL_INSTALLED) ? std::string(QIM_MANUAL_INSTALLED) : std::string();
}

std::string QimHelpPageOf(int command) { return "menus.html#c" + std::to_string(command); }

bool OpenQimHelp(const std::string& page, platform::ParentWindow parent) {
    const std::string folder = QimManualFolder();
    if (folder.empty()) {
        QimMessageBox(parent, LoadQimString(qimstr::HelpNotFound).c_str(), platform::MessageIcon::Stop);
        return false;
    }
    const std::size_t hash = page.find('#');
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(std::string(folder).append("/").append(page, 0, hash)));
    if (hash != std::string::npos) url.setFragment(QString::fromStdString(page.substr(hash + 1)));
    TQimApp* app = TQimApp::Instance();
    if (!app) return false;
    SAppRequest request;
    request.code = qimreq::OpenUrl;
    // Percent-encoded: the URL text is plain ASCII, whatever the folder is called.
    request.text = url.toString(QUrl::FullyEncoded).toStdString();
    return app->Request(request) != 0;
}
