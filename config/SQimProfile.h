// The settings files of the program: QIM.INI (wherever start-up found it),
// CONFIG.INI and ALIAS.INI in the home directory. Writes to the last two mark
// the settings as changed, so the server-folder mode knows to send them back.
#pragma once

#include "common/SProfileTools.h"
#include "common/SpProfile.h"

// A section of QIM.INI.
class SQimProfile : public SpProfile {
public:
    explicit SQimProfile(const char* section);
};

// A window's rectangle and show state in a section of QIM.INI.
class SQimProfileTools : public SProfileTools {
public:
    SQimProfileTools(const char* section, const SPlacedWindow* window);
};

// A settings file whose every write first sets the settings-changed flag.
// Every write of SpProfile reaches the file through the primitive WriteString,
// so overriding that one covers strings, integers, binaries and key removal.
class SRecProfile : public SpProfile {
public:
    using SpProfile::SpProfile;
    using SpProfile::WriteString;
    bool WriteString(const char* key, const char* value) const override;
};

// A section of CONFIG.INI in the home directory.
class SConfigProfile : public SRecProfile {
public:
    explicit SConfigProfile(const char* section);
};

// A section of ALIAS.INI in the home directory.
class SAliasProfile : public SRecProfile {
public:
    explicit SAliasProfile(const char* section);
};

// Full paths of the files in the home directory.
std::string QimConfigIniPath();
std::string QimAliasIniPath();
