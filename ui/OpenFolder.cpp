#include "ui/OpenFolder.h"

#include <QDesktopServices>
#include <QUrl>
#include <QWidget>
#include <cstdio>

#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/qt/QtText.h"

bool OpenInFileManager(const std::string& folder, QWidget* parent) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(platform::ToQString(folder)))) return true;
    char text[1024];
    std::snprintf(text, sizeof text, LoadQimString(qimstr::FolderNotOpened).c_str(), folder.c_str());
    QimMessageBox(parent, text, platform::MessageIcon::Stop);
    return false;
}
