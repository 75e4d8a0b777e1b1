// The settings kept on the server: the bits of "INIFilesPlace" and the names
// the settings mail goes by.
#pragma once

namespace qimimap {

// INIFilesPlace bits.
constexpr int kIniPutAtExit = 1;      // put the settings on the server when the window closes
constexpr int kIniFetchAtStart = 2;   // fetch them when the window starts
constexpr int kIniWithKeyFile = 4;    // the key file travels too
constexpr int kIniDeleteAtExit = 8;   // delete the local settings files when the window closes
constexpr int kIniWithMainFile = 16;  // QIM.INI travels too

// The settings mail's subject, and the name a local copy is proposed under.
constexpr const char* kIniFilesSubject = "INI Files";
constexpr const char* kIniFilesBackupName = "INIFILES.BAK";

}  // namespace qimimap
