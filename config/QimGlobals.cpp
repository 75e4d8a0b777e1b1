#include "config/QimGlobals.h"

#include <cstring>

#include "config/SQimTmpFilePath.h"
#include "common/MbChar.h"

namespace {

struct ProcessValues {
    std::string home = "QimHome";
    std::string iniPath;
    SSettingData settings;
    std::string mailto;
    int instanceMode = kInstanceSingle;
    bool settingsChanged = false;
};

ProcessValues& Values() {
    static ProcessValues values;
    return values;
}

}  // namespace

const std::string& GetQimHome() { return Values().home; }

void SetQimHome(const std::string& home) { Values().home = home; }

int CopyQimHome(char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    const std::string& home = Values().home;
    std::size_t n = 0;
    while (n < home.size()) {
        const std::size_t len = MbCharLen(home.c_str() + n);
        if (n + len > static_cast<std::size_t>(size - 1)) break;
        n += len;
    }
    std::memcpy(buffer, home.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

const std::string& GetQimIniPath() { return Values().iniPath; }

void SetQimIniPath(const std::string& path) { Values().iniPath = path; }

SSettingData& GetSettingData() { return Values().settings; }

const std::string& GetMailtoAddress() { return Values().mailto; }

void SetMailtoAddress(const std::string& address) { Values().mailto = address; }

void ClearMailtoAddress() { Values().mailto.clear(); }

int GetInstanceMode() { return Values().instanceMode; }

void SetInstanceMode(int mode) { Values().instanceMode = mode; }

bool IsSettingsChanged() { return Values().settingsChanged; }

void SetSettingsChanged(bool changed) { Values().settingsChanged = changed; }

void ResetQimProcessValues() {
    Values() = ProcessValues();
    ResetQimTempDirCache();
}
