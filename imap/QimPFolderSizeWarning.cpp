#include "imap/QimPFolderSizeWarning.h"

#include "config/QimStringIds.h"
#include "imap/SQimPSettingData.h"

namespace qimimap {

bool ChecksFolderSize(int warnSizeFolders, bool serverFolder) {
    if (warnSizeFolders & kWarnBothFolders) return true;
    return (warnSizeFolders & (serverFolder ? kWarnServerFolders : kWarnLocalFolders)) != 0;
}

std::optional<SNotice> FolderSizeWarning(const SQimPSettingData& settings, bool serverFolder,
                                         const std::string& folderName, long long totalSize) {
    if (!ChecksFolderSize(settings.warnSizeFolders, serverFolder)) return std::nullopt;
    // In 64 bits: a limit of a few million kilobytes is still a limit.
    const long long limit = static_cast<long long>(settings.warnSizeKB) * 1024;
    if (totalSize <= limit) return std::nullopt;
    return SNotice::Program(qimstr::FolderTooLarge, {folderName, static_cast<long>(totalSize), static_cast<long>(limit)},
                            platform::MessageIcon::Exclamation);
}

}  // namespace qimimap
