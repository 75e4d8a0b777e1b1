#include "store/SFolderCommands.h"

#include <cerrno>
#include <cstdlib>

#include "common/AppNames.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/FilePath.h"
#include "common/SCheckWindowsFileName.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/FileSystem.h"
#include "store/SQimFolder.h"

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

SFolderCommands::SFolderCommands(platform::DialogService& dialogs, platform::ParentWindow parent)
    : dialogs_(dialogs, parent) {}

bool SFolderCommands::IsCanonicalNumber(const std::string& name) {
    const long value = std::atol(name.c_str());
    return value > 0 && std::to_string(value) == name;
}
bool SFolderCommands::CheckFolderName(const std::string& name) {
    if (SQimFolder::IsSingleName(name.c_str()) && !SCheckWindowsFileName::DoesContainBadChars(name.c_str()))
        return true;
    dialogs_.Message(LoadStringCmmnDll(cmmnstr::BadFileName) + "\n" + SCheckWindowsFileName::BadChars(), MessageIcon::Stop);
    return false;
}
std::string SFolderCommands::NewFolder(const std::string& parent) {
    platform::InputBoxRequest request;
    request.parent = dialogs_.Parent();
    request.caption = GetAppName();
    request.prompt = LoadQimString(qimstr::NewFolderPrompt);
    request.maxLength = kMaxPath;
    std::string name;
    if (!dialogs_.Service().InputBox(request, name) || name.empty()) return std::string();
    return NewFolderNamed(parent, name);
}
std::string SFolderCommands::NewFolderNamed(const std::string& parent, const std::string& name) {
    // The name is checked before it is looked up, so nothing outside the
    // parent folder is ever probed.
    if (!CheckFolderName(name)) return std::string();
    SQimFolder folder(parent);
    const std::string child = folder.ChildPath(name.c_str());
    if (platform::PathExists(child.c_str())) {
        dialogs_.Error(SStoreDialogs::Format(qimstr::CannotMakeFolder, name) + LoadQimString(qimstr::FolderExists));
        dialogs_.Service().Beep(platform::BeepKind::Stop);
        return std::string();
    }
    if (IsCanonicalNumber(name) &&
        dialogs_.Message(LoadQimString(qimstr::NumberFolderName), MessageIcon::Question, MessageButtons::YesNo, 1) !=
            MessageAnswer::Yes) {
        dialogs_.Message(LoadQimString(qimstr::Aborting), MessageIcon::Exclamation);
        return std::string();
    }
    if (!folder.CreateSubfolder(name.c_str())) {
        dialogs_.Error(SStoreDialogs::Format(qimstr::CannotMakeFolder, name) + LoadQimString(qimstr::Aborting));
        dialogs_.Service().Beep(platform::BeepKind::Stop);
        return std::string();
    }
    return child;
}
std::string SFolderCommands::RenameFolder(const std::string& path, const std::string& newName) {
    if (!CheckFolderName(newName)) return std::string();
    if (IsCanonicalNumber(newName) &&
        dialogs_.Message(LoadQimString(qimstr::NumberFolderName), MessageIcon::Question, MessageButtons::YesNo, 1) !=
            MessageAnswer::Yes)
        return std::string();
    std::string dir, oldName, newPath;
    SplitFilePath(path, dir, oldName);
    MergeFilePath(newPath, dir, newName);
    if (IsSameDir(newPath, path)) return path;
    if (!platform::MoveFile(path.c_str(), newPath.c_str())) {
        const int error = errno;
        if (platform::PathExists(newPath.c_str()))
            dialogs_.Error(SStoreDialogs::Format(qimstr::RenameTriedTo, newName) + LoadQimString(qimstr::NameExists));
        dialogs_.Error(SStoreDialogs::Format(qimstr::CannotRenameFolder, static_cast<long>(error)));
        return std::string();
    }
    return newPath;
}
bool SFolderCommands::RemoveFolder(const std::string& parent, const std::string& name) {
    if (dialogs_.Message(SStoreDialogs::Format(qimstr::RemoveFolderQuestion, name), MessageIcon::Question, MessageButtons::YesNo) !=
        MessageAnswer::Yes)
        return false;
    SQimFolder folder(parent);
    if (folder.RemoveSubfolder(name.c_str())) return true;
    dialogs_.Error(SStoreDialogs::Format(qimstr::CannotRemoveFolder, name) + "\n" + LoadQimString(qimstr::CheckFolderEmpty));
    dialogs_.Service().Beep(platform::BeepKind::Stop);
    return false;
}
