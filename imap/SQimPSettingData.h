// The QimP window's own settings, in section "QimP": the size column for
// local folders and the folder-size warning in CONFIG.INI (which travels with
// the settings kept on the server), the place of the settings files in
// QIM.INI (it decides whether CONFIG.INI is fetched, so it stays local).
#pragma once

namespace qimimap {

// Keys.
constexpr const char* kShowLocalMailSize = "ShowLocalMailSize";
constexpr const char* kWSAFFolder = "WSAFFolder";
constexpr const char* kWarnSizeAFolder = "WarnSizeAFolder";
constexpr const char* kINIFilesPlace = "INIFilesPlace";

// Which folders the size warning checks (WSAFFolder).
constexpr int kWarnNoFolder = 0;
constexpr int kWarnServerFolders = 1;
constexpr int kWarnLocalFolders = 2;
constexpr int kWarnBothFolders = 4;

constexpr int kDefaultWarnSizeKB = 200;

}  // namespace qimimap

class SQimPSettingData {
public:
    bool showLocalMailSize = false;                    // ShowLocalMailSize
    int warnSizeFolders = qimimap::kWarnNoFolder;      // WSAFFolder
    int warnSizeKB = qimimap::kDefaultWarnSizeKB;      // WarnSizeAFolder
    int iniFilesPlace = 0;                             // INIFilesPlace (bits)

    // Always true: a missing key takes its default.
    bool Read();
    // False when any write failed. The CONFIG.INI writes mark the settings
    // as changed.
    bool Write() const;
};
