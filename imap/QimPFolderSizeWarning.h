// The warning after a folder's header list is shown: the folder holds more
// bytes than the limit the user set for its kind of folder.
#pragma once

#include <optional>
#include <string>

#include "common/SNotice.h"

class SQimPSettingData;

namespace qimimap {

// Whether WSAFFolder checks folders of that kind (4 and 3 check both).
bool ChecksFolderSize(int warnSizeFolders, bool serverFolder);
// String 1364 with the folder's name, its total and the limit in bytes when
// the kind is checked and the total is above WarnSizeAFolder * 1024.
std::optional<SNotice> FolderSizeWarning(const SQimPSettingData& settings, bool serverFolder,
                                         const std::string& folderName, long long totalSize);

}  // namespace qimimap
