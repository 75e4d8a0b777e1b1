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

// Texts of the program's own dialogs, which have no number of their own in the
// resources they come from; kept here so every text a user sees is in one table.
namespace qimstr {

constexpr unsigned NetworkDialogCaption = 30001;   // "ネットワーク関係の設定"
constexpr unsigned PasswordDialogCaption = 30002;  // "パスワードの入力"
constexpr unsigned AboutText = 30003;

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
constexpr unsigned SomethingWrong = 1202;       // "何か変です。"
constexpr unsigned ErrorAborting = 1203;        // "エラーです。中止します。"
constexpr unsigned Connecting = 1205;
constexpr unsigned Disconnecting = 1206;
constexpr unsigned DeletingMail = 1207;         // "メールの削除中(%d/%d)..."
constexpr unsigned NoMailOnServer = 1209;
constexpr unsigned ReceiveStarting = 1210;
constexpr unsigned ReceivingMail = 1211;        // "メールの受信中(%d/%d) ..."
constexpr unsigned ReceivingStars = 1212;       // "メールの受信中(%d/%d) %s"
constexpr unsigned ReceiveDone = 1213;
constexpr unsigned LookingUpHost = 1214;
constexpr unsigned ApopNoTimestamp = 1215;
constexpr unsigned ApopNoDigest = 1216;
constexpr unsigned NoNewMail = 30401;           // dialog 317
constexpr unsigned ReceiveCaption = 30402;      // "メールの受信"
constexpr unsigned ReceiveTimedOut = 30403;     // "サーバーから %d 秒間応答がありません。..."
constexpr unsigned ExitButton = 30404;          // "終了(&X)"
constexpr unsigned CancelButton = 30405;        // "ｷｬﾝｾﾙ"
constexpr unsigned UserAuthCaption = 30406;

}  // namespace qimstr
