// The global options record: options many parts of the program read, kept in
// QIM.INI (sections Qim, PGP, QimP) and CONFIG.INI (section Qim). Two flags come
// only from the command line.
#pragma once

#include <string>

class SSettingData {
public:
    bool deleteOnServer = true;         // DelMails
    bool receiveAtStart = true;         // command line only
    bool settingsAtStart = false;       // command line only
    bool fixedPrintFont = false;        // FixFontPrint
    bool serverNameAsPrompt = false;    // PWPS
    bool noAttachmentNotice = false;    // NoMssgEIBinary
    bool noNewMailBeep = true;          // NoNewMailBeep
    bool desktopNotice = true;          // DesktopNotice: new mail told on the desktop
    bool sortAfterReceive = false;      // SortAfterReceive: the first rule set runs on the inbox after new mail
    int viewerMenuOption = 3;           // MVFMenuE
    bool onlyNewMailsAtStart = false;   // OnlyNewMailsStart
    bool sendNoop = false;              // SendNoop
    int noopMinutes = 10;               // NoopMin
    std::string attachmentFolder;       // DestBinFolder (the home directory when empty)
    int defaultSort = 0;                // DefHLWSort
    int viewerDocking = 0;              // EInnerView: 0 separate, 1 lower right, 2 below, 3 upper right
    int useApop = 0;                    // APOP
    int pgpUsage = 0;                   // Usage
    int pgpMajor = 6;                   // Version
    int pgpMinor = 0;

    // Always true: a missing key takes its default.
    bool Read();
    // False when any write failed.
    bool Write() const;
};

// Viewer docking values (EInnerView).
constexpr int kViewerSeparate = 0;
constexpr int kViewerLowerRight = 1;
constexpr int kViewerBelow = 2;
constexpr int kViewerUpperRight = 3;

// "6.5" gives 6 and 50, "6.55" 6 and 55: a one-digit minor counts in tenths.
void ParsePgpVersion(const char* text, int& major, int& minor);
