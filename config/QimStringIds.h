// Identifiers of the program's string table (LoadQimString). A command's
// status-bar hint is the string of the command's own number (QimCommandIds.h).
#pragma once

namespace qimstr {

constexpr unsigned TwoCopies = 1101;
constexpr unsigned NoMailSelected = 1102;
constexpr unsigned CannotMakeHome = 1110;
constexpr unsigned Aborting = 1112;
constexpr unsigned RestartNeeded = 1140;
constexpr unsigned NoWebBrowser = 1145;
constexpr unsigned CannotRun = 1147;
constexpr unsigned DialogStillOpen = 1195;
constexpr unsigned ToolBar = 1197;
constexpr unsigned WrongPassword = 1208;
constexpr unsigned PasswordLabel = 1235;

}  // namespace qimstr

// Archiving a folder to LHA through the outside archiver library.
namespace qimstr {

constexpr unsigned UnlhaMissing = 31300;          // "Unlha32 がありません。中止します。"
constexpr unsigned UnlhaEntryMissing = 31301;     // "Unable to find Unlha()"
constexpr unsigned UnlhaTooOld = 31302;           // library, expected version, version found
constexpr unsigned UnlhaBusy = 31303;             // library
constexpr unsigned UnlhaSetOwnerFailed = 31304;
constexpr unsigned UnlhaBackGroundFailed = 31305;
constexpr unsigned UnlhaRunFailed = 31306;        // "エラーが起こりました。"
constexpr unsigned UnlhaKillOwnerFailed = 31307;
constexpr unsigned UnlhaOpenFailed = 31308;       // "Unable to open archive"
constexpr unsigned ArchiveExists = 31309;
constexpr unsigned ArchiveNamePrompt = 31310;     // "書庫ファイル名:"
constexpr unsigned ArchiveMailNumber = 31311;     // the stored name, "%7s"
constexpr unsigned ArchiveCannotDelete = 31312;   // name, system error code
constexpr unsigned ArchiveDeleting = 31313;
constexpr unsigned ArchiveDone = 31314;           // "終了です。"
constexpr unsigned ArchiveNotVerified = 31315;    // archive, reason (one of the four below)
constexpr unsigned ArchiveEntryMissing = 31316;   // name
constexpr unsigned ArchiveEntryWrongSize = 31317; // name
constexpr unsigned ArchiveEntryWrongData = 31318; // name
constexpr unsigned ArchiveUnreadable = 31319;     // "書庫が壊れています"
constexpr unsigned ArchiveFileUnreadable = 31320; // name
constexpr unsigned ArchiveBadName = 31321;        // the typed name
constexpr unsigned ArchiveFinished = 31322;       // files, archive
constexpr unsigned ArchiveRunning = 31323;        // "書庫を作成中です..."

}  // namespace qimstr

// Composing and sending.
namespace qimstr {

constexpr unsigned SomethingStrange = 1202;       // "何か変です。"
constexpr unsigned ErrorAborting = 1203;          // "エラーです。中止します。"
constexpr unsigned Connecting = 1205;             // "接続中..."
constexpr unsigned Disconnecting = 1206;          // "切断中..."
constexpr unsigned SessionEnded = 1213;           // "終了"
constexpr unsigned LookingUpHost = 1214;          // "ホスト名を検索中..."
constexpr unsigned SendAborted = 2510;            // "中止します。"
constexpr unsigned EmptyBodyQuestion = 2511;
constexpr unsigned HeaderIncomplete = 2512;
constexpr unsigned CannotOpenFile = 2516;
constexpr unsigned TempFileNotOpened = 2519;
constexpr unsigned TempFileNotWritten = 2521;
constexpr unsigned SendWithAttachments = 2525;
constexpr unsigned AttachmentSizeText = 2532;
constexpr unsigned AttachmentsLarge = 2533;
constexpr unsigned SendingProgress = 2550;        // "メールの送信中"
constexpr unsigned Quitting = 2554;               // "終了処理中..."
constexpr unsigned BodyUnreadable = 2555;
constexpr unsigned SendingMail = 2556;            // "メールの送信..."
constexpr unsigned CannotCancelNow = 2558;
constexpr unsigned EditorUnreadable = 2560;
constexpr unsigned AttachmentNotOpened = 2561;
constexpr unsigned ChooseAttachments = 2562;
constexpr unsigned EncodingAttachment = 2563;
constexpr unsigned AttachmentListed = 2564;
constexpr unsigned AttachmentSizeUnknown = 2565;
constexpr unsigned NoAddressListWithPgp = 2566;
constexpr unsigned HankakuKanaQuestion = 2570;
constexpr unsigned LongLineQuestion = 2571;
constexpr unsigned CutHereQuestion = 2575;
constexpr unsigned PlatformCharQuestion = 2578;

}  // namespace qimstr

// Texts of the program's own dialogs, which have no number of their own in the
// resources they come from; kept here so every text a user sees is in one table.
namespace qimstr {

constexpr unsigned NetworkDialogCaption = 30001;   // "ネットワーク関係の設定"
constexpr unsigned PasswordDialogCaption = 30002;  // "パスワードの入力"
constexpr unsigned AboutText = 30003;
// Sending: the progress dialog and the ways out of a send that cannot finish.
constexpr unsigned SendDialogCaption = 30510;     // "メールの送信"
constexpr unsigned SendTimedOut = 30511;
constexpr unsigned ClosedBeforeAccepted = 30512;
constexpr unsigned AddressListFailures = 30513;
constexpr unsigned AddressListOutsideHome = 30514;
constexpr unsigned HeaderTooLong = 30515;
constexpr unsigned SmtpRefused = 30530;        // "サーバーが%sを受け付けませんでした。..." (step, reply)
constexpr unsigned SmtpStepGreeting = 30531;   // the steps a refusal names
constexpr unsigned SmtpStepHelo = 30532;
constexpr unsigned SmtpStepMailFrom = 30533;
constexpr unsigned SmtpStepRcpt = 30534;
constexpr unsigned SmtpStepData = 30535;
constexpr unsigned SmtpStepMessage = 30536;
constexpr unsigned SmtpSettingsMissing = 30537;

}  // namespace qimstr

// Texts of the mail encryption and the PGP bridge, which the resources they
// come from do not number.
namespace qimstr {

constexpr unsigned Encrypting = 30900;           // "暗号化中です ..."
constexpr unsigned Decrypting = 30901;           // "平文化中です ..."
constexpr unsigned EncryptFailed = 30902;        // "暗号化に失敗しました｡"
constexpr unsigned ReplaceKeyQuestion = 30903;   // "同じアドレスが既に登録されています。入れ替えますか？"
constexpr unsigned DeleteKeyQuestion = 30904;    // address + " の鍵登録を削除しますか？"
constexpr unsigned KeyDialogCaption = 30905;     // "暗号化鍵の登録"
constexpr unsigned PgpDecryptFailed = 30910;     // "復号できませんでした。"
constexpr unsigned PgpVerifyFailed = 30911;      // "照合できませんでした。"
constexpr unsigned PgpIllegalVersion = 30912;    // "Illegal Version"
constexpr unsigned PgpInitFailed = 30913;        // "PGPMsgInit failed("
constexpr unsigned PgpInitVersion = 30914;       // "Illegal Version %d.%d%c%c"
constexpr unsigned PgpInitNoPgp = 30915;         // "No PGP"
constexpr unsigned PgpInitFailedEnd = 30916;     // ")."
constexpr unsigned PgpSelectPart = 30917;        // "Select Part"
constexpr unsigned PgpSelectKey = 30918;         // "Select Key"
constexpr unsigned PgpPromptEncrypt = 30920;     // the part-selection prompts, by operation 0-4
constexpr unsigned PgpPromptSign = 30921;
constexpr unsigned PgpPromptEncryptSign = 30922;
constexpr unsigned PgpPromptDecrypt = 30923;
constexpr unsigned PgpPromptAttachKey = 30924;
constexpr unsigned PgpPromptKey = 30925;         // "添付する公開鍵を選択してください:"
constexpr unsigned MailKeyCaption = 30930;       // caption of the key dialog of one mail
constexpr unsigned PgpNoAttachedKey = 30931;     // qimcmd::ExtractPgpKey on a mail without a key
constexpr unsigned PgpKeyImported = 30932;
constexpr unsigned PgpKeyNotImported = 30933;

}  // namespace qimstr

// The local store: folders, mail files and their commands.
namespace qimstr {

constexpr unsigned MoveTargetMissing = 1113;      // "移動先 "%s" が見つかりません。中止します。"
constexpr unsigned MoveSameFolder = 1114;
constexpr unsigned CacheCannotOpen = 1115;
constexpr unsigned CannotMove = 1116;
constexpr unsigned NewFolderPrompt = 1117;
constexpr unsigned CannotMakeFolder = 1118;       // "フォルダー %s を作ることができません。"
constexpr unsigned FolderExists = 1119;
constexpr unsigned DeleteThisMail = 1122;
constexpr unsigned DeleteAllSelected = 1123;
constexpr unsigned DeleteImportantMail = 1124;
constexpr unsigned CannotDelete = 1125;           // "削除できませんでした(%ld)。"
constexpr unsigned CannotRenameFolder = 1126;     // "名前を変更できませんでした(%ld)。"
constexpr unsigned CannotRenameFile = 1127;
constexpr unsigned RemoveFolderQuestion = 1128;   // "フォルダー "%s" を削除しますか？"
constexpr unsigned CannotRemoveFolder = 1129;     // "フォルダー "%s" を削除することができませんでした。"
constexpr unsigned CheckFolderEmpty = 1130;
constexpr unsigned SelectMailToMark = 1131;
constexpr unsigned CannotChangeMark = 1133;       // "属性の変更が出来ませんでした(%ld)。中止します。"
constexpr unsigned MarkedImportant = 1134;
constexpr unsigned ImportSameFolder = 1137;
constexpr unsigned CannotSetRead = 1138;
constexpr unsigned CannotSetUnread = 1139;
constexpr unsigned RenameTriedTo = 1254;          // "ファイル名を %s に変更しようとしましたが、"
constexpr unsigned NameExists = 1255;
constexpr unsigned NumberFolderName = 1256;

}  // namespace qimstr

namespace qimstr {

constexpr unsigned ImportDialogTitle = 30301;  // "ﾌｧｲﾙの選択"

}  // namespace qimstr

// Receiving mail over POP3.
namespace qimstr {

constexpr unsigned RecvFileCannotOpen = 1200;   // "受信メール用のファイルがオープンできません。"
constexpr unsigned RecvFileCannotWrite = 1201;  // "受信メール用に書き込みができません(%d)。"
constexpr unsigned DeletingMail = 1207;         // "メールの削除中(%d/%d)..."
constexpr unsigned NoMailOnServer = 1209;
constexpr unsigned ReceiveStarting = 1210;
constexpr unsigned ReceivingMail = 1211;        // "メールの受信中(%d/%d) ..."
constexpr unsigned ReceivingStars = 1212;       // "メールの受信中(%d/%d) %s"
constexpr unsigned ApopNoTimestamp = 1215;
constexpr unsigned ApopNoDigest = 1216;
constexpr unsigned NoNewMail = 30401;           // the dialog qimpop3::kDialogNoNewMail
constexpr unsigned ReceiveCaption = 30402;      // "メールの受信"
constexpr unsigned ReceiveTimedOut = 30403;     // "サーバーから %d 秒間応答がありません。..."
constexpr unsigned ExitButton = 30404;          // "終了(&X)"
constexpr unsigned CancelButton = 30405;        // "ｷｬﾝｾﾙ"
constexpr unsigned UserAuthCaption = 30406;
constexpr unsigned DeleRefused = 30407;         // "メール %d/%d をサーバーから削除できませんでした。..."
constexpr unsigned RetrRefused = 30408;         // "メール %d/%d をサーバーから受け取れませんでした。..."
constexpr unsigned RecvWriteFailedStays = 30409; // RecvFileCannotWrite and "このメールはサーバーに残り、次の受信で届きます。"
constexpr unsigned RecvDiskFullStays = 30410;    // the same with "ディスクの空きが足りません。"
constexpr unsigned UidlReplyBroken = 30411;      // "サーバーの UIDL の応答が正しくないため、受信を中止しました。..."
constexpr unsigned UidlFileBroken = 30412;       // "受信済みメールの記録 %s が読めないか壊れているため、..."
constexpr unsigned UidlFileNotWritten = 30413;   // "受信済みメールの記録 %s に書き込めませんでした(%d)。..."
constexpr unsigned NoNewMailOnServer = 30414;    // "新しいメールはありません。"

}  // namespace qimstr

// The address book, its editor and the From substitution.
namespace qimstr {

constexpr unsigned AliasListFailed = 30700;       // the alias menu's failed expansion
constexpr unsigned SpecialAddressFolder = 30701;  // "よく使うアドレス", folder 0
constexpr unsigned AddressBookCaption = 30702;
constexpr unsigned AddAliasCaption = 30703;
constexpr unsigned AliasLabel = 30704;
constexpr unsigned AddressLabel = 30705;
constexpr unsigned CommentLabel = 30706;
constexpr unsigned AliasFieldsTooLong = 30707;
constexpr unsigned EnterAliasAndAddress = 30708;
constexpr unsigned AddButton = 30710;
constexpr unsigned EditButton = 30711;
constexpr unsigned DeleteButton = 30712;
constexpr unsigned UpButton = 30713;
constexpr unsigned DownButton = 30714;
constexpr unsigned NewFolderButton = 30715;
constexpr unsigned RenameFolderButton = 30716;
constexpr unsigned DeleteFolderButton = 30717;
constexpr unsigned MenuToggleButton = 30718;
constexpr unsigned MoveModeCheck = 30719;
constexpr unsigned AliasColumn = 30720;
constexpr unsigned AddressColumn = 30721;
constexpr unsigned CommentColumn = 30722;
constexpr unsigned SubsFromCaption = 30725;
constexpr unsigned SubsNumberColumn = 30726;
constexpr unsigned SubsFromColumn = 30727;
constexpr unsigned SubsToColumn = 30728;
constexpr unsigned SubsCaseColumn = 30729;
constexpr unsigned SubsWordColumn = 30730;
constexpr unsigned NewSubsFromCaption = 30731;
constexpr unsigned SubsFromLabel = 30732;
constexpr unsigned SubsToLabel = 30733;
constexpr unsigned SubsMatchCase = 30734;
constexpr unsigned SubsWholeWord = 30735;
constexpr unsigned SubsAtLineStart = 30736;
constexpr unsigned SubsFieldsInvalid = 30737;
constexpr unsigned SubsFromSaveFailed = 30738;
constexpr unsigned RegisterSenderItem = 30740;    // the pop-up item of qimcmd::RegisterSender
constexpr unsigned NoSenderToRegister = 30741;
constexpr unsigned AliasListOutsideHome = 30742;
constexpr unsigned NonMenuMark = 30743;           // a folder left out of the alias menu

}  // namespace qimstr

// The viewer: uudecode and taking attachments out.
namespace qimstr {

constexpr unsigned UuNoEncodedText = 31010;     // "このメールは uuencode されたテキストを含まないように思えます。"
constexpr unsigned UuNoEnd = 31011;             // "文字列 end がありません。"
constexpr unsigned FileWriteFailed = 31012;     // "ファイルの書き込みに失敗しました｡"
constexpr unsigned FilesSaved = 31013;          // "%d 個のファイルを保存しました。"
constexpr unsigned OverwriteQuestion = 31014;   // "%s は既にあります。上書きしますか？"
constexpr unsigned AttachDialogCaption = 31015; // "添付ファイルの取り出し"
constexpr unsigned AttachSaveAll = 31016;       // "すべてを問い合わせずに保存する(&A)"
constexpr unsigned AttachDestination = 31017;   // "保存先(&F):"
constexpr unsigned AttachBrowse = 31018;        // "参照(&B)..."

}  // namespace qimstr

// Drafts and sent copies.
namespace qimstr {

constexpr unsigned MailUnreadable = 2513;   // "メールが読み出せませんでした。"
constexpr unsigned CannotSave = 2514;       // "保存できませんでした。"
constexpr unsigned CannotSaveMail = 2515;
constexpr unsigned DraftSaved = 2538;       // "保存しました。"
constexpr unsigned CloseThisWindow = 2539;  // "このウインドウを閉じますか？"
constexpr unsigned SavedInFolder = 30520;   // "フォルダー %s に"
constexpr unsigned SentCopyFailed = 30521;
constexpr unsigned SentMailDialogCaption = 30522;
constexpr unsigned DraftDialogCaption = 30523;
constexpr unsigned SaveFolderLabel = 30524;
constexpr unsigned SaveFolderCheck = 30525;
constexpr unsigned ComposeCaption = 30526;
constexpr unsigned HeaderDialogCaption = 30527;
constexpr unsigned AttachmentsDialogCaption = 30528;

}  // namespace qimstr

// Replies, forwards and templates.
namespace qimstr {

constexpr unsigned InsertPrefixCaption = 2526;    // "読み込みファイルのプレフィックス設定"
constexpr unsigned InsertPrefixPrompt = 2527;     // "必要ならプレフィックスを入力して下さい。"
constexpr unsigned TailTemplateMenu = 2574;       // "文末ﾃﾝﾌﾟﾚｰﾄ"
constexpr unsigned ForwardWithoutAttachments = 30540;
constexpr unsigned ReplyPrefixCaption = 30541;    // "ﾘﾌﾟﾗｲ・ﾌﾟﾚﾌｨｯｸｽ"
constexpr unsigned ReplyPrefixPrompt = 30542;
constexpr unsigned TemplatesCaption = 30543;      // "ﾃﾝﾌﾟﾚｰﾄ/署名"
constexpr unsigned HeadTemplatesLabel = 30544;
constexpr unsigned TailTemplatesLabel = 30545;
constexpr unsigned TemplateNameCaption = 30546;
constexpr unsigned TemplateNamePrompt = 30547;
constexpr unsigned TemplateNameTaken = 30548;
constexpr unsigned TemplateNotSaved = 30549;
constexpr unsigned HeadTemplateChoice = 30550;    // "挨拶ﾃﾝﾌﾟﾚｰﾄ:"
constexpr unsigned NoTemplate = 30551;            // "(なし)"
constexpr unsigned TemplateDefault = 30552;
constexpr unsigned TemplateAdd = 30553;
constexpr unsigned TemplateRename = 30554;
constexpr unsigned TemplateDelete = 30555;
constexpr unsigned TemplateDeleteQuestion = 30556;
constexpr unsigned HeadTemplateSequences = 30557;

}  // namespace qimstr

// The socket error box and the close of a conversation by its server.
namespace qimstr {

constexpr unsigned SocketError = 30600;   // operation, description of the code, code
constexpr unsigned SocketClosed = 30601;  // "Socket closed."

}  // namespace qimstr

// The main window's settings and dialogs that keep a setting from failing later.
namespace qimstr {

constexpr unsigned SavePasswordCheck = 31100;        // "パスワードを保存する"
constexpr unsigned CreateFolderQuestion = 31101;     // "フォルダー %s がありません。作りますか？"
constexpr unsigned CannotCreateFolder = 31102;       // "フォルダー %s を作ることが出来ませんでした。"
constexpr unsigned SaveFolderShowTo = 31103;         // the To column in the save folder
constexpr unsigned SaveFolderShowToSub = 31104;      // ... and in its subfolders
constexpr unsigned SaveFolderNoInquiry = 31105;      // saving without a question

}  // namespace qimstr

// Secure connections: TLS, STARTTLS / STLS, certificate trust, SMTP AUTH and SIZE.
namespace qimstr {

constexpr unsigned CertificateUntrusted = 30620;   // host, problem, subject, issuer, from, until, SHA-256
constexpr unsigned CertificateRefused = 30621;     // the text of 30620
constexpr unsigned CertificatePinNotSaved = 30622; // the pin file
constexpr unsigned TlsHandshakeFailed = 30623;     // host, description, code
constexpr unsigned StartTlsNotOffered = 30624;     // the server's reply
constexpr unsigned StlsRefused = 30625;            // the server's reply
constexpr unsigned TlsSessionStatus = 30626;       // protocol, cipher
constexpr unsigned StartingTls = 30627;
constexpr unsigned SmtpAuthNoMechanism = 30628;
constexpr unsigned SmtpAuthRefused = 30629;        // the server's reply
constexpr unsigned SmtpAuthenticating = 30630;
constexpr unsigned SmtpMessageTooLarge = 30631;    // message bytes, server's limit
constexpr unsigned CertificateQuestion = 30632;
constexpr unsigned TrustOnceButton = 30633;
constexpr unsigned TrustAlwaysButton = 30634;
constexpr unsigned DoNotConnectButton = 30635;
constexpr unsigned CertificateCaption = 30636;
constexpr unsigned ReceiveSecurityLabel = 30640;
constexpr unsigned SendSecurityLabel = 30641;
constexpr unsigned SecurityPlainChoice = 30642;
constexpr unsigned SecurityStartTlsChoice = 30643;
constexpr unsigned SecurityTlsChoice = 30644;
constexpr unsigned SmtpAuthCheck = 30645;
constexpr unsigned SmtpUserLabel = 30646;
constexpr unsigned SmtpAuthPlainTextCheck = 30647;
constexpr unsigned TlsCaFileLabel = 30648;

}  // namespace qimstr

// The server folders: the folder list, the caches' size column and the
// folder-size warning.
namespace qimstr {

constexpr unsigned FolderFileNotOpened = 1308;  // "フォルダーファイルがオープンできません。"
constexpr unsigned FolderTooLarge = 1364;       // folder name, total bytes, limit in bytes
constexpr unsigned SizeColumnHeader = 31250;    // "Size(KB)"
constexpr unsigned SizeUnknown = 31251;         // "unkown", as the program has always written it

}  // namespace qimstr

// The settings kept on the server: the settings mail, its options dialog.
namespace qimstr {

constexpr unsigned IniFileReadError = 1340;        // file name
constexpr unsigned IniFilesPutFailed = 1365;
constexpr unsigned IniFilesFetchFailed = 1366;
constexpr unsigned IniFilesNotRestored = 1367;
constexpr unsigned FileNotFound = 1370;            // file name
constexpr unsigned IniDeleteAtExitWarning = 1373;  // the warning of the options dialog, first line
constexpr unsigned IniDeleteAnyway = 1374;         // ... and its second
constexpr unsigned IniFilesBackupFailed = 1376;
constexpr unsigned IniFilesSaveFailed = 1377;
constexpr unsigned IniFilesPlaceCaption = 31480;   // "設定ファイルのコピーの設定"
constexpr unsigned IniFetchAtStartCheck = 31481;
constexpr unsigned IniPutAtExitCheck = 31482;
constexpr unsigned IniWithKeyFileCheck = 31483;
constexpr unsigned IniDeleteAtExitCheck = 31484;
constexpr unsigned IniWithMainFileCheck = 31485;
constexpr unsigned IniFilesMailText = 31486;       // the settings mail's text, before the file names
constexpr unsigned IniListFileLeftOut = 31487;     // file name
constexpr unsigned IniFileNameRefused = 31488;     // attachment name
constexpr unsigned IniFilesNothingWritten = 31489;
constexpr unsigned IniFileNotWritten = 31490;      // file name
constexpr unsigned IniFileNotDeleted = 31491;      // file name
constexpr unsigned IniFilesKeptAtClose = 31492;

}  // namespace qimstr

// The IMAP4 session of the server-folder mode.
namespace qimstr {

constexpr unsigned ImapConnected = 1301;           // "接続完了"
constexpr unsigned ImapRunning = 1304;             // "%s 実行中..."
constexpr unsigned ImapSucceeded = 1305;           // "%s 成功"
constexpr unsigned ImapEnded = 1306;               // "%s 終了"
constexpr unsigned FolderFileCannotWrite = 1309;   // "フォルダーファイルに書き込みができません(%d)。"
constexpr unsigned CloseQimAfterDialog = 1312;     // the emergency button's warning
// The session's own texts: silent, closing or broken servers, secure logins
// and the mail files it reads and writes.
constexpr unsigned ImapTimedOut = 31200;           // seconds
constexpr unsigned ImapBye = 31201;                // the server's line
constexpr unsigned ImapTagMismatch = 31202;        // the server's line
constexpr unsigned ImapReplyBroken = 31203;        // the server's line
constexpr unsigned ImapStartTlsNotOffered = 31204; // the server's line
constexpr unsigned ImapLoginDisabled = 31205;
constexpr unsigned ImapLoginRefused = 31206;       // the server's line
constexpr unsigned ImapNoHierarchy = 31207;
constexpr unsigned ImapMailFileUnreadable = 31208; // file, errno
constexpr unsigned ImapMailFileNotWritten = 31209; // file, errno
constexpr unsigned ImapMailFileChanged = 31210;    // file
constexpr unsigned ImapNoSuchMessage = 31211;      // message number

}  // namespace qimstr

// The server-folder session's window.
namespace qimstr {

constexpr unsigned EmergencyButton = 31280;  // "非常ﾎﾞﾀﾝ(&E)"
constexpr unsigned IniFilesServerFolderPrompt = 31281;  // the settings mail saved into a server folder

}  // namespace qimstr

// The desktop: the manual, the new-mail notice and tray, the keyring.
namespace qimstr {

constexpr unsigned HelpNotFound = 31410;
constexpr unsigned ContextHelpPrompt = 31411;   // status bar in context-help mode
constexpr unsigned NewMailNoticeTitle = 31412;
constexpr unsigned NewMailNoticeBody = 31413;   // number of mails
constexpr unsigned TrayUnread = 31414;          // number of unread mails in the inbox
constexpr unsigned KeyringUnavailable = 31415;

}  // namespace qimstr

// Sorting mails into folders by rules: the run, the rule-set dialog and the
// dialog of one rule.
namespace qimstr {

constexpr unsigned SortDestinationMissing = 31510;  // the destination as written
constexpr unsigned AutoSortCaption = 31511;         // "自動振り分け設定"
constexpr unsigned AutoSort2Caption = 31512;        // "自動振り分け２設定"
constexpr unsigned SortItemColumn = 31513;
constexpr unsigned SortPositionColumn = 31514;
constexpr unsigned SortTextColumn = 31515;
constexpr unsigned SortDestinationColumn = 31516;
constexpr unsigned SortAtStart = 31517;             // "先頭"
constexpr unsigned SortAnywhere = 31518;            // "途中"
constexpr unsigned MoveFilesCaption = 31519;
constexpr unsigned SortHeaderLabel = 31520;
constexpr unsigned SortOtherField = 31521;          // the header type of a named field
constexpr unsigned SortTextLabel = 31522;
constexpr unsigned SortDestinationLabel = 31523;
constexpr unsigned SortBrowseButton = 31524;
constexpr unsigned SortFieldsInvalid = 31525;
constexpr unsigned SortProgress = 31526;            // rule number, rule count, pattern, mails moved
constexpr unsigned SortFinished = 31527;            // mails moved
constexpr unsigned SortChooseFolder = 31528;        // the folder chooser's title
constexpr unsigned SortSaveFailed = 31529;

}  // namespace qimstr

// The server-folder window: its folders, its mail operations and what the
// session's completions tell.
namespace qimstr {

constexpr unsigned CannotRenameServerFolder = 1351;  // "名前を変更できませんでした。"
constexpr unsigned CannotDeleteServerFolder = 1352;
constexpr unsigned FolderHoldsFolders = 1353;
constexpr unsigned QimPCannotRename = 1354;
constexpr unsigned QimPCannotDelete = 1355;
constexpr unsigned HeaderListFailed = 1356;
constexpr unsigned CannotCopyMail = 1359;
constexpr unsigned CannotDeleteServerMail = 1360;
constexpr unsigned CannotFetchMail = 1361;
constexpr unsigned FolderStillHoldsMail = 1363;
constexpr unsigned NoFolderUnderMailbox = 1369;
constexpr unsigned CannotChangeMarks = 1371;
constexpr unsigned NewMailArrived = 1372;
constexpr unsigned HankakuKanaWidened = 1378;
constexpr unsigned SearchFailed = 1379;

}  // namespace qimstr

// The server-folder window's own texts.
namespace qimstr {

constexpr unsigned ServerNameHasDelimiter = 31460;  // the delimiter
constexpr unsigned NothingFound = 31461;
constexpr unsigned FindMailCaption = 31462;
constexpr unsigned FindPatternLabel = 31463;
constexpr unsigned FindWholeMail = 31464;
constexpr unsigned FindBodyOnly = 31465;
constexpr unsigned FindInFieldLabel = 31466;
constexpr unsigned WarnSizeCaption = 31467;
constexpr unsigned WarnSizeNone = 31468;
constexpr unsigned WarnSizeServer = 31469;
constexpr unsigned WarnSizeLocal = 31470;
constexpr unsigned WarnSizeBoth = 31471;
constexpr unsigned WarnSizeLimitLabel = 31472;

}  // namespace qimstr

// The sent-mail and draft folders in the server-folder mode.
namespace qimstr {

constexpr unsigned SaveFolderOnServer = 31473;  // "サーバー側のフォルダーに保存する(&Q)"

}  // namespace qimstr

// The options of the settings menu that take a value.
namespace qimstr {

constexpr unsigned FoldWidthPrompt = 31570;     // the bounds
constexpr unsigned FoldWidthOutOfRange = 31571; // the bounds
constexpr unsigned AddressPhrasePrompt = 31572;
constexpr unsigned AddressPhraseTooLong = 31573;
constexpr unsigned WebBrowserPrompt = 31574;
constexpr unsigned SettingNotWritten = 31575;
constexpr unsigned FolderNotOpened = 31576;     // the folder

}  // namespace qimstr

// The search of the local folders, and find and replace in a text.
namespace qimstr {

constexpr unsigned FindLocalCaption = 31530;
constexpr unsigned FindInHeaderLines = 31531;   // "ヘッダー全体(&A)"
constexpr unsigned FindMatchCase = 31532;
constexpr unsigned FindWholeWord = 31533;
constexpr unsigned FindAtLineStart = 31534;
constexpr unsigned FindFromCaption = 31535;
constexpr unsigned FindSubjectCaption = 31536;
constexpr unsigned FoundMailCount = 31537;      // number of mails
constexpr unsigned TextFindCaption = 31538;
constexpr unsigned TextReplaceCaption = 31539;
constexpr unsigned ReplaceWithLabel = 31540;
constexpr unsigned FindUpward = 31541;
constexpr unsigned FindDownward = 31542;
constexpr unsigned FindNextButton = 31543;
constexpr unsigned ReplaceButton = 31544;
constexpr unsigned ReplaceAllButton = 31545;
constexpr unsigned ReplacedCount = 31546;       // number of places
constexpr unsigned ViewerFindItem = 31547;
constexpr unsigned ViewerFindNextItem = 31548;
constexpr unsigned TextNotFound = 31549;        // the text looked for

}  // namespace qimstr

// Printing a mail and saving it as a file.
namespace qimstr {

constexpr unsigned PrintFailed = 31550;       // "印刷できませんでした。"
constexpr unsigned SaveMailAsFilter = 31551;  // the text as shown, or the stored mail file
constexpr unsigned SaveTextAsFilter = 31552;  // the compose window's text

}  // namespace qimstr
