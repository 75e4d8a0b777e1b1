#include "common/SCheckWindowsFileName.h"

#include <cstring>
#include <string>
#include <vector>

#include "common/AppNames.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/MbChar.h"

const char* SCheckWindowsFileName::BadChars() { return "\\/:,;*?\"<>|"; }

bool SCheckWindowsFileName::DoesContainBadChars(const char* name) {
    if (!name) return false;
    for (const char* p = name; *p; p += MbCharLen(p)) {
        if (MbCharLen(p) == 1 && std::strchr(BadChars(), *p)) return true;
    }
    return false;
}

void SCheckWindowsFileName::ErrorMessage(platform::ParentWindow parent, const char* caption) {
    platform::MessageBoxRequest request;
    request.parent = parent;
    request.text = LoadStringCmmnDll(cmmnstr::BadFileName) + "\n" + BadChars();
    request.caption = caption ? caption : GetAppName();
    request.icon = platform::MessageIcon::Stop;
    platform::Dialogs().MessageBox(request);
}

bool GetSetSaveFileName(platform::ParentWindow parent, char* path, const char* initialDir, int size) {
    if (!path || size <= 0) return false;
    platform::FileDialogRequest request;
    request.parent = parent;
    request.kind = platform::FileDialogKind::Save;
    request.filter = LoadStringCmmnDll(cmmnstr::FilterAll);
    request.hideReadOnly = true;
    request.overwritePrompt = true;
    request.fileName.assign(path, strnlen(path, static_cast<std::size_t>(size)));
    request.initialDir = initialDir ? initialDir : "";
    std::vector<std::string> chosen;
    if (!platform::Dialogs().FileDialog(request, chosen) || chosen.empty()) return false;
    const std::string& result = chosen.front();
    if (result.size() + 1 > static_cast<std::size_t>(size)) return false;
    std::memcpy(path, result.c_str(), result.size() + 1);
    return true;
}
