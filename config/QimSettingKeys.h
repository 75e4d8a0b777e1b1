// Names of the settings files, their sections and keys, as they are stored.
#pragma once

namespace qimini {

// Files (QIM.INI's own path is found at start; the others are in the home directory).
constexpr const char* QimIni = "QIM.INI";
constexpr const char* ConfigIni = "CONFIG.INI";
constexpr const char* AliasIni = "ALIAS.INI";

// Sections ("Qim" and "QimSend" are the application's and the compose window's names).
constexpr const char* Qim = "Qim";
constexpr const char* Host = "Host";
constexpr const char* Pgp = "PGP";
constexpr const char* QimP = "QimP";
constexpr const char* Sound = "Sound";
constexpr const char* QimSend = "QimSend";
constexpr const char* Font = "Font";

// Host (QIM.INI)
constexpr const char* POP3Port = "POP3Port";
constexpr const char* SMTPPort = "SMTPPort";
constexpr const char* UserName = "UserName";
constexpr const char* MailAddr = "MailAddr";
constexpr const char* SMTPAddr = "SMTPAddr";
constexpr const char* POP3Addr = "POP3Addr";
constexpr const char* ClientAddr = "ClientAddr";
constexpr const char* MailBoxType = "MailBoxType";
constexpr const char* PasswdSave = "PasswdSave";
constexpr const char* Passwd = "Passwd";
// 1: the saved password is kept in the desktop's keyring instead of Passwd.
constexpr const char* PasswdKeyring = "PasswdKeyring";
// Secure connections (written only when set, so older files read unchanged).
constexpr const char* POP3Security = "POP3Security";
constexpr const char* SMTPSecurity = "SMTPSecurity";
constexpr const char* SMTPAuth = "SMTPAuth";
constexpr const char* SMTPUser = "SMTPUser";
constexpr const char* SMTPAuthPlainText = "SMTPAuthPlainText";
constexpr const char* TLSCAFile = "TLSCAFile";
// The certificates trusted always, in the home directory.
constexpr const char* CertificatePinFile = "QIMCERTS.TXT";
constexpr const char* AddrPhrase = "AddrPhrase";

// Qim (QIM.INI)
constexpr const char* DelMails = "DelMails";
constexpr const char* FixFontPrint = "FixFontPrint";
constexpr const char* PWPS = "PWPS";
constexpr const char* DestBinFolder = "DestBinFolder";
constexpr const char* EInnerView = "EInnerView";
constexpr const char* APOP = "APOP";
constexpr const char* LastShow = "LastShow";
constexpr const char* LastWindow = "LastWindow";
constexpr const char* TempDir = "TempDir";
constexpr const char* TreeWindowWidth = "TreeWindowWidth";
constexpr const char* ColumnWidth = "ColumnWidth";
constexpr const char* ListInnerHeight = "ListInnerHeight";
// The folder the main window showed last, relative to the home directory ("." the inbox).
constexpr const char* LastFolder = "LastFolder";
// 0: no desktop notice (nor tray icon) for new mail.
constexpr const char* DesktopNotice = "DesktopNotice";
// The program that opens links; empty: the desktop's own browser.
constexpr const char* WebBrowser = "WebBrowser";
// 1: the first local rule set runs on the inbox right after a receive that brought mail.
constexpr const char* SortAfterReceive = "SortAfterReceive";

// HLWSort (QIM.INI): the header list's sort of each folder, "column:direction",
// under the folder's path relative to the home directory written as upper-case
// hex of its bytes (a key is read without regard to case and cannot hold '=').
constexpr const char* HLWSort = "HLWSort";

// PGP, QimP, Sound (QIM.INI)
constexpr const char* Usage = "Usage";
constexpr const char* Version = "Version";
constexpr const char* SendNoop = "SendNoop";
constexpr const char* NoopMin = "NoopMin";
constexpr const char* OnlyNewMailsStart = "OnlyNewMailsStart";
constexpr const char* NewMail = "NewMail";

// QimSend (QIM.INI and CONFIG.INI)
constexpr const char* bFcc = "bFcc";
constexpr const char* Fcc = "Fcc";
constexpr const char* Draft = "Draft";
constexpr const char* DraftFolder = "DraftFolder";
constexpr const char* bMimeTextPlainMail = "bMimeTextPlainMail";
constexpr const char* bNoInquirySave = "bNoInquirySave";
constexpr const char* RPrefix = "RPrefix";
constexpr const char* FitNumALine = "FitNumALine";
constexpr const char* bShowToFcc = "bShowToFcc";
constexpr const char* bShowToSub = "bShowToSub";
constexpr const char* AliasMenuMaxRow = "AliasMenuMaxRow";
constexpr const char* MessageNum = "MessageNum";
constexpr const char* PreForwardMarker = "PreForwardMarker";
constexpr const char* PostForwardMarker = "PostForwardMarker";

// Qim (CONFIG.INI)
constexpr const char* DefHLWSort = "DefHLWSort";
constexpr const char* NoMssgEIBinary = "NoMssgEIBinary";
constexpr const char* NoNewMailBeep = "NoNewMailBeep";
constexpr const char* MVFMenuE = "MVFMenuE";

// Font (CONFIG.INI)
constexpr const char* MVDefFont = "MVDefFont";
constexpr const char* SMEDefFont = "SMEDefFont";
constexpr const char* MVQuoteFont = "MVQuoteFont";
constexpr const char* HLWFont = "HLWFont";

}  // namespace qimini
