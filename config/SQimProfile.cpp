#include "config/SQimProfile.h"

#include "config/QimGlobals.h"
#include "config/QimSettingKeys.h"
#include "common/FilePath.h"

std::string QimConfigIniPath() {
    std::string path;
    MergeFilePath(path, GetQimHome(), qimini::ConfigIni);
    return path;
}

std::string QimAliasIniPath() {
    std::string path;
    MergeFilePath(path, GetQimHome(), qimini::AliasIni);
    return path;
}

SQimProfile::SQimProfile(const char* section) : SpProfile(section, GetQimIniPath().c_str()) {}

SQimProfileTools::SQimProfileTools(const char* section, const SPlacedWindow* window)
    : SProfileTools(section, GetQimIniPath().c_str(), window) {}

bool SRecProfile::WriteString(const char* key, const char* value) const {
    SetSettingsChanged(true);
    return SpProfile::WriteString(key, value);
}

SConfigProfile::SConfigProfile(const char* section) : SRecProfile(section, QimConfigIniPath().c_str()) {}

SAliasProfile::SAliasProfile(const char* section) : SRecProfile(section, QimAliasIniPath().c_str()) {}
