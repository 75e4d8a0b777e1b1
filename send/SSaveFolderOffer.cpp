#include "send/SSaveFolderOffer.h"

#include "common/FilePath.h"
#include "common/QimMessageBox.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/FileSystem.h"

namespace {

std::string WithPath(unsigned id, const std::string& path) {
    std::string text = LoadQimString(id);
    if (const std::size_t at = text.find("%s"); at != std::string::npos) text.replace(at, 2, path);
    return text;
}

}  // namespace

bool MakeFolderPath(const std::string& path) {
    if (path.empty()) return false;
    if (DoesDirectoryExist(path.c_str())) return true;
    std::string parent, name;
    if (SplitFilePath(path, parent, name) && !parent.empty() && parent != path && !MakeFolderPath(parent)) return false;
    return platform::CreateDirectory(path.c_str()) || DoesDirectoryExist(path.c_str());
}

bool EnsureSaveFolder(const SSaveMailFolderProperty& property, platform::ParentWindow owner) {
    if (property.kind == kSaveNone || (property.kind & kSaveQimPRelative) != 0) return true;
    const std::string folder = property.FullPath();
    if (DoesDirectoryExist(folder.c_str())) return true;
    const platform::MessageAnswer answer =
        QimMessageBox(owner, WithPath(qimstr::CreateFolderQuestion, folder).c_str(), platform::MessageIcon::Question,
                      platform::MessageButtons::YesNo);
    if (answer != platform::MessageAnswer::Yes) return false;
    if (MakeFolderPath(folder)) return true;
    QimMessageBox(owner, WithPath(qimstr::CannotCreateFolder, folder).c_str(), platform::MessageIcon::Stop);
    return false;
}
