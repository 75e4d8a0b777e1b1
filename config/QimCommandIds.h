// Command numbers of the main frame and the compose window. Each number also
// names its status-bar hint in the program's string table (QimStrings.h).
#pragma once

namespace qimcmd {

// Main frame, common menu.
constexpr int NewFolder = 401;
constexpr int RenameFolder = 402;
constexpr int DeleteFolder = 403;
constexpr int DeleteMail = 404;
constexpr int LoadDraft = 2148;
constexpr int SaveMailAs = 406;
constexpr int Print = 425;
constexpr int Exit = 24310;
constexpr int FindFrom = 505;
constexpr int FindSubject = 506;
constexpr int FindInFolder = 508;
constexpr int FindNext = 509;
constexpr int FindAllAndMark = 507;
constexpr int ShowMail = 441;
constexpr int NextMail = 451;
constexpr int PreviousMail = 452;
constexpr int MarkImportant = 405;
constexpr int MarkUnread = 471;
constexpr int MarkRead = 472;
constexpr int SelectAll = 474;
constexpr int ClearSelection = 473;
constexpr int SwapFromTo = 426;
constexpr int RenumberGaps = 417;
constexpr int RenumberByDate = 418;
constexpr int RefreshCache = 421;
constexpr int Explorer = 581;
constexpr int HelpContents = 2001;
constexpr int HelpOnHelp = 2002;
constexpr int About = 2009;

// Main frame, local-mode menu.
constexpr int Compose = 411;
constexpr int Reply = 412;
constexpr int Forward = 424;
constexpr int Receive = 413;
constexpr int OneShotSort = 414;
constexpr int AutoSort = 415;
constexpr int AutoSort2 = 478;
constexpr int ImportAsNewMail = 422;
constexpr int ArchiveFolder = 420;
constexpr int Uudecode = 423;
constexpr int ExtractAttachments = 449;
constexpr int ExtractPgpKey = 524;
constexpr int NetworkSettings = 431;
constexpr int Templates = 2109;
constexpr int AddAddress = 435;
constexpr int SentMailFolder = 2112;
constexpr int DraftFolder = 2149;
constexpr int AutoSortSettings = 434;
constexpr int AutoSort2Settings = 477;
constexpr int FromSubstitution = 433;
constexpr int ReplyPrefix = 2111;
constexpr int CryptKeys = 436;
constexpr int WebBrowser = 432;
constexpr int ExternalApps = 439;
constexpr int PgpUsage = 523;
constexpr int KeepMailOnServer = 437;
constexpr int ViewerSeparate = 444;
constexpr int ViewerUpperRight = 448;
constexpr int ViewerBelow = 446;
constexpr int ViewerLowerRight = 445;
constexpr int ViewerFont = 461;
constexpr int QuoteFont = 462;
constexpr int ListFont = 466;
constexpr int FixedPrintFont = 463;
constexpr int TextAsMime = 2114;
constexpr int FoldWidth = 438;
constexpr int AddressPhrase = 464;
constexpr int AttachmentFolder = 465;
constexpr int NoAttachmentNotice = 468;
constexpr int DefaultSort = 467;
constexpr int UseApop = 512;

// Server-folder mode additions.
constexpr int SettingsToServer = 713;
constexpr int SettingsFromServer = 714;
constexpr int BackupSettingsOnServer = 718;
constexpr int BackupSettingsLocally = 719;
constexpr int ServerAutoSortSettings = 716;
constexpr int ServerAutoSort2Settings = 725;
constexpr int ShowLocalMailSize = 711;
constexpr int SettingsOnServer = 783;
constexpr int MailVolumeWarning = 712;
constexpr int SendNoop = 720;

// Compose window.
constexpr int FileNew = 24331;
constexpr int FileOpen = 24332;
constexpr int InsertFile = 2101;
constexpr int InsertMailWhole = 2102;
constexpr int InsertMailBody = 2103;
constexpr int FileSaveAs = 24334;
constexpr int SaveDraftAsFile = 2147;
constexpr int FilePrint = 24337;
constexpr int EditUndo = 24321;
constexpr int EditCut = 24322;
constexpr int EditCopy = 24323;
constexpr int EditPaste = 24324;
constexpr int PasteWithPrefix = 2104;
constexpr int EditClearAll = 24326;
constexpr int EditDelete = 24325;
constexpr int RemoveColours = 2194;
constexpr int FoldLongLines = 2145;
constexpr int FoldLongLinesAsking = 2146;  // the same, asking at each cut
constexpr int EditFind = 24351;
constexpr int EditReplace = 24352;
constexpr int EditFindNext = 24353;
constexpr int CheckHankakuKana = 2193;
constexpr int SendMail = 2105;
constexpr int SendWithAttachment = 2106;
constexpr int SendEncrypted = 2107;
constexpr int SendAttachedEncrypted = 2108;
constexpr int PgpSeparator = 2301;
constexpr int PgpEncryptAndSign = 2303;
constexpr int PgpEncrypt = 2305;
constexpr int PgpSign = 2307;
constexpr int PgpAttachKey = 2309;
constexpr int AddAttachment = 2191;
constexpr int ArrangeAttachments = 2192;
constexpr int ResetHeaders = 2113;
// The tail templates' pop-up: one command per template in list order, below
// the next fixed command (AddAttachment).
constexpr int TailTemplateFirst = 2150;
constexpr int TailTemplateCount = 40;

// Pop-up menus of the header list and the viewer.
constexpr int RegisterSender = 30750;  // the sender of the selected mail into the address book

// Desktop options (settings menu, options pop-up).
constexpr int DesktopNotice = 31401;      // new mail told on the desktop and in the tray
constexpr int PasswordInKeyring = 31402;  // the saved password kept in the desktop's keyring
constexpr int SortAfterReceive = 31500;   // the first rule set run on the inbox after new mail arrived

// Posted between windows.
constexpr int NewMail = 2142;           // to the compose window: start a new mail
constexpr int ComposeHandOver = 498;    // to the compose window: take what it was handed
constexpr int ComposeHandOverDone = 499;  // to the local main window

}  // namespace qimcmd
