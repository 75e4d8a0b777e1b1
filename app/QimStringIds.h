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
