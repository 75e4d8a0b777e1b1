// The process-wide values every part of the program reaches: the home
// directory, the main settings file, the global settings record, the mailto
// address of the first compose window, the single-instance mode and whether
// CONFIG.INI or ALIAS.INI changed since the start. All paths are Shift_JIS.
#pragma once

#include <string>

#include "config/SSettingData.h"

// The home directory: "QimHome" (relative) until the start-up search sets it.
const std::string& GetQimHome();
void SetQimHome(const std::string& home);
// A plain copy of the home path for callers with a character buffer: at most
// size-1 bytes, never half of a double-byte character, always terminated.
// Returns the bytes copied.
int CopyQimHome(char* buffer, int size);

// Full path of QIM.INI.
const std::string& GetQimIniPath();
void SetQimIniPath(const std::string& path);

// The global settings record.
SSettingData& GetSettingData();

const std::string& GetMailtoAddress();
void SetMailtoAddress(const std::string& address);
void ClearMailtoAddress();

// 0: one copy only; 1 (/DOUBLE): always start; 2 (/DOUBLEX): start when the
// running copy works on another home directory.
constexpr int kInstanceSingle = 0;
constexpr int kInstanceDouble = 1;
constexpr int kInstanceDoubleX = 2;
int GetInstanceMode();
void SetInstanceMode(int mode);

// Set by every write through SConfigProfile or SAliasProfile.
bool IsSettingsChanged();
void SetSettingsChanged(bool changed);

// Back to the values at program start (tests).
void ResetQimProcessValues();
