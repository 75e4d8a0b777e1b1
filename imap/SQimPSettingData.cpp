#include "imap/SQimPSettingData.h"

#include "common/AppNames.h"
#include "config/SQimProfile.h"

bool SQimPSettingData::Read() {
    const SConfigProfile config(GetQimPAppName());
    showLocalMailSize = config.GetInt(qimimap::kShowLocalMailSize, 0) != 0;
    warnSizeFolders = config.GetInt(qimimap::kWSAFFolder, qimimap::kWarnNoFolder);
    warnSizeKB = config.GetInt(qimimap::kWarnSizeAFolder, qimimap::kDefaultWarnSizeKB);
    iniFilesPlace = SQimProfile(GetQimPAppName()).GetInt(qimimap::kINIFilesPlace, 0);
    return true;
}

bool SQimPSettingData::Write() const {
    const SConfigProfile config(GetQimPAppName());
    bool ok = config.WriteInt(qimimap::kShowLocalMailSize, showLocalMailSize ? 1 : 0);
    ok &= config.WriteInt(qimimap::kWSAFFolder, warnSizeFolders);
    ok &= config.WriteInt(qimimap::kWarnSizeAFolder, warnSizeKB);
    ok &= SQimProfile(GetQimPAppName()).WriteInt(qimimap::kINIFilesPlace, iniFilesPlace);
    return ok;
}
