#include "common/CmmnStrings.h"

#include "common/CmmnStringIds.h"
#include "common/SStringTable.h"

namespace {

using Entry = SStringTable::Entry;

// Written here in UTF-8 for the reader; converted to Shift_JIS once, on first use.
constexpr Entry kTable[] = {
    {cmmnstr::FontNotSaved, "フォントの設定が保存出来ませんでした。"},
    {cmmnstr::VersionMismatch, "ヴァージョンが合いません。"},
    {cmmnstr::DecryptFailed, "平文化に失敗しました｡"},
    {cmmnstr::HeaderParseFailed, "ヘッダーの解析に失敗しました。"},
    {cmmnstr::CannotOpenFile, "ファイルをオープンできません。"},
    {cmmnstr::Strange, "変です。"},
    {cmmnstr::StrangeCannotDecrypt, "変です。復号出来ませんでした。"},
    {cmmnstr::Aborting, "中止します。"},
    {cmmnstr::AttachmentOmitted, "(ここにファイルが添付されていますが表示は省略します。Qimより。)"},
    {cmmnstr::FilterAllText, "すべてのﾌｧｲﾙ (*.*)|*.*|ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt|"},
    {cmmnstr::FilterExecutable, "実行ﾌｧｲﾙ (*.exe)|*.exe|すべてのﾌｧｲﾙ (*.*)|*.*|"},
    {cmmnstr::FilterArchive,
     "すべてのﾌｧｲﾙ (*.*)|*.*|ｱｰｶｲﾌﾞﾌｧｲﾙ|*.lzh;*.zip;*.gz;*.z;*.tz;*.taz;*.tgz;*.tar;*.arj;*.arc|"},
    {cmmnstr::FilterAll, "すべてのﾌｧｲﾙ (*.*)|*.*|"},
    {cmmnstr::FilterUnsentMail, "書きかけﾒｰﾙ (*.hwm)|*.hwm|すべてのﾌｧｲﾙ (*.*)|*.*|"},
    {cmmnstr::EnterKey, "鍵を入力して下さい。"},
    {cmmnstr::EnterKeyAgain, "鍵を再入力して下さい。"},
    {cmmnstr::KeysDiffer, "２回の入力の鍵が一致していません。再入力して下さい。"},
    {cmmnstr::EnterAddress, "アドレスを入力して下さい。"},
    {cmmnstr::EnterKeyFileKey, "鍵管理ファイルの鍵を入力して下さい。"},
    {cmmnstr::CannotOpenKeyFile, "鍵管理ファイルを開くことが出来ません。"},
    {cmmnstr::CannotReadKeyFile, "鍵管理ファイルが読み込めません。"},
    {cmmnstr::KeyFileKeyWrong, "鍵管理ファイル鍵が間違っているか、鍵管理ファイルが壊れています。"},
    {cmmnstr::CannotReadListBox, "リストボックスのデータが読み出せません。"},
    {cmmnstr::CannotWriteKeyFile, "鍵管理ファイルに書き込みが出来ません。"},
    {cmmnstr::CannotSaveKeyFileLock, "鍵管理ファイルのロック方法の保存が出来ません。"},
    {cmmnstr::NoLoginPassword, "ログインパスワードの設定がされていません。"},
    {cmmnstr::EnterKeyForMail, "鍵を入力して下さい。"},
    {cmmnstr::EnterMailKey, "メールの鍵を入力して下さい。"},
    {cmmnstr::CannotRegisterMore, "すっすいません。これ以上登録できません。"},
    {cmmnstr::BadFileName, "不正な名前です。次の文字は使えません。"},
    {cmmnstr::AddressFolderInput, "アドレス・フォルダー入力"},
    {cmmnstr::NewFolderName, "新規フォルダー名:"},
    {cmmnstr::ConfirmDelete, "%s を削除しますか？"},
    {cmmnstr::CannotDeleteIt, "削除できませんでした。"},
    {cmmnstr::SpecialFolder, "%s は特別なフォルダーなので"},
    {cmmnstr::CannotWriteOut, "書き出すことが出来ませんでした。"},
    {cmmnstr::SameFolderMove, "同じフォルダー間での移動(コピー)は出来ません。"},
    {cmmnstr::FolderExists, "既に同名のフォルダーが存在します。"},
    {cmmnstr::ConfirmDeleteAddresses, "選択されているアドレスの登録を削除します。いいですか？"},
    {cmmnstr::CannotDelete, "削除できません。"},
    {cmmnstr::CannotRename, "名前を変更できません。"},
    {cmmnstr::CannotSetNonMenu, "非メニューに設定できません。"},
    {cmmnstr::SettingsBroken, "変です。設定ファイルが壊れていませんか？"},
    {cmmnstr::AttachmentCount, "このメールには %d 個のファイルが添付されています。"},
    {cmmnstr::AttachmentsSaved, "%s に %d 個のファイルを保存しました。"},
    {cmmnstr::ExtractFailed, "うまく取り出せませんでした。"},
    {cmmnstr::EnterFolderName, "フォルダー名を入力してください。"},
    {cmmnstr::FolderNotFound,
     "指定されたフォルダーがありません。フォルダー名を確認してください．\n参照ボタンをお使いになられることをお勧めします。"},
    {cmmnstr::EnterAgain, "再入力しますか？"},
    {cmmnstr::ExtractAttachment, "添付ファイル(%s)を取り出しますか？"},
    {cmmnstr::ExtractQuestion, "\n取り出しますか？"},
    {cmmnstr::UnknownFileName, "ファイル名不明"},
    {cmmnstr::UnknownType, "ただし、私の知らないタイプです。"},
    {cmmnstr::UnknownSubtype, "ただし、私の知らないサブタイプです。"},
    {cmmnstr::AttachmentKindSub, "添付ファイルは%s形式の%sデータ(%s)のようです。"},
    {cmmnstr::AttachmentKind, "添付ファイルは%sデータ(%s)のようです。"},
    {cmmnstr::MediaTypeNames, "Audio,画像,Video,GIF,JPEG,BMP,MPEG,テキスト,PLAIN"},
    {cmmnstr::PgpControl, "PGPｺﾝﾄﾛｰﾙ情報のようです。"},
    {cmmnstr::PgpSignature, "PGP署名データのようです。"},
    {cmmnstr::PgpKey, "PGP鍵のようです。"},
    {cmmnstr::NotFound, "\"%s\"が見つかりません。"},
};

const SStringTable& Strings() {
    static const SStringTable table(kTable, sizeof kTable / sizeof kTable[0]);
    return table;
}

}  // namespace

std::string LoadStringCmmnDll(unsigned id) { return Strings().Load(id); }

int LoadStringCmmnDll(unsigned id, char* buffer, int size) { return Strings().Load(id, buffer, size); }
