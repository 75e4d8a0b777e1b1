#include "config/SSettingData.h"

#include <cstdlib>
#include <cstring>

#include "config/QimGlobals.h"
#include "config/QimSettingKeys.h"
#include "config/SQimProfile.h"
#include "common/FilePath.h"

namespace {

constexpr int kVersionSize = 10;

bool Flag(const SpProfile& profile, const char* key, bool def) { return profile.GetInt(key, def ? 1 : 0) != 0; }

}  // namespace

void ParsePgpVersion(const char* text, int& major, int& minor) {
    static const char kSeparators[] = ".\r\n";
    std::string copy = text ? text : "";
    const char* p = copy.c_str();
    std::size_t len = std::strcspn(p, kSeparators);
    major = static_cast<int>(std::atol(std::string(p, len).c_str()));
    p += len;
    p += std::strspn(p, kSeparators);
    len = std::strcspn(p, kSeparators);
    const std::string part(p, len);
    minor = static_cast<int>(std::atol(part.c_str()));
    if (part.size() < 2) minor *= 10;
}

bool SSettingData::Read() {
    const SQimProfile qim(qimini::Qim);
    deleteOnServer = Flag(qim, qimini::DelMails, true);
    fixedPrintFont = Flag(qim, qimini::FixFontPrint, false);
    serverNameAsPrompt = Flag(qim, qimini::PWPS, false);
    qim.GetString(qimini::DestBinFolder, attachmentFolder, kMaxPath, nullptr);
    if (attachmentFolder.empty()) attachmentFolder = GetQimHome();
    viewerDocking = qim.GetInt(qimini::EInnerView, kViewerSeparate);
    if (viewerDocking < kViewerLowerRight || viewerDocking > kViewerUpperRight) viewerDocking = kViewerSeparate;
    useApop = qim.GetInt(qimini::APOP, 0);
    desktopNotice = Flag(qim, qimini::DesktopNotice, true);
    sortAfterReceive = Flag(qim, qimini::SortAfterReceive, false);

    const SQimProfile pgp(qimini::Pgp);
    pgpUsage = pgp.GetInt(qimini::Usage, 0);
    char version[kVersionSize];
    if (pgp.GetString(qimini::Version, version, sizeof version, "6.0")) {
        ParsePgpVersion(version, pgpMajor, pgpMinor);
    } else {
        pgpMajor = 6;
        pgpMinor = 0;
    }

    const SQimProfile qimp(qimini::QimP);
    sendNoop = Flag(qimp, qimini::SendNoop, false);
    noopMinutes = qimp.GetInt(qimini::NoopMin, 10);
    onlyNewMailsAtStart = Flag(qimp, qimini::OnlyNewMailsStart, false);

    const SConfigProfile config(qimini::Qim);
    defaultSort = config.GetInt(qimini::DefHLWSort, 0);
    noAttachmentNotice = Flag(config, qimini::NoMssgEIBinary, false);
    noNewMailBeep = Flag(config, qimini::NoNewMailBeep, true);
    viewerMenuOption = config.GetInt(qimini::MVFMenuE, 3);
    return true;
}

bool SSettingData::Write() const {
    const SQimProfile qim(qimini::Qim);
    bool ok = qim.WriteInt(qimini::DelMails, deleteOnServer ? 1 : 0);
    ok &= qim.WriteInt(qimini::FixFontPrint, fixedPrintFont ? 1 : 0);
    ok &= qim.WriteString(qimini::DestBinFolder, attachmentFolder);
    ok &= qim.WriteInt(qimini::EInnerView, viewerDocking);
    ok &= qim.WriteInt(qimini::APOP, useApop);
    ok &= qim.WriteInt(qimini::DesktopNotice, desktopNotice ? 1 : 0);
    ok &= qim.WriteInt(qimini::SortAfterReceive, sortAfterReceive ? 1 : 0);
    ok &= SQimProfile(qimini::Pgp).WriteInt(qimini::Usage, pgpUsage);
    ok &= SQimProfile(qimini::QimP).WriteInt(qimini::SendNoop, sendNoop ? 1 : 0);
    const SConfigProfile config(qimini::Qim);
    ok &= config.WriteInt(qimini::NoMssgEIBinary, noAttachmentNotice ? 1 : 0);
    ok &= config.WriteInt(qimini::DefHLWSort, defaultSort);
    ok &= config.WriteInt(qimini::MVFMenuE, viewerMenuOption);
    return ok;
}
