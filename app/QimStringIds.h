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

}  // namespace qimstr
