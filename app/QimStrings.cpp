#include "app/QimStrings.h"

#include "app/QimCommandIds.h"
#include "app/QimStringIds.h"
#include "common/SStringTable.h"

namespace {

using Entry = SStringTable::Entry;

// Written here in UTF-8 for the reader; converted to Shift_JIS once, on first
// use. Later subsystems add their rows here.
constexpr Entry kTable[] = {
    // Start-up and configuration.
    {qimstr::TwoCopies, "Qim を同時に２つ起動することは出来ません。"},
    {qimstr::NoMailSelected, "メールが選ばれていません。"},
    {qimstr::CannotMakeHome, "QimHome フォルダー %s を作ることが出来ませんでした。"},
    {qimstr::Aborting, "中止します。"},
    {qimstr::RestartNeeded, "基本的な設定の変更がなされました。一旦 %s を終了して下さい。"},
    {qimstr::NoWebBrowser, "Web ブラウザが指定されていません。"},
    {qimstr::CannotRun, "%s を実行できませんでした(%ld)。"},
    {qimstr::DialogStillOpen, "ダイアログが開いた状態では終了できません。閉じてから終了して下さい。"},
    {qimstr::ToolBar, "ﾂｰﾙﾊﾞｰ"},
    {qimstr::WrongPassword, "パスワードが違います。"},
    {qimstr::PasswordLabel, "パスワード："},
    {qimstr::NetworkDialogCaption, "ネットワーク関係の設定"},
    {qimstr::PasswordDialogCaption, "パスワードの入力"},
    {qimstr::AboutText, "Qim\n日本語の電子メールクライアント"},

    // Mail encryption and the PGP bridge.
    {qimstr::Encrypting, "暗号化中です ..."},
    {qimstr::Decrypting, "平文化中です ..."},
    {qimstr::EncryptFailed, "暗号化に失敗しました｡"},
    {qimstr::ReplaceKeyQuestion, "同じアドレスが既に登録されています。入れ替えますか？"},
    {qimstr::DeleteKeyQuestion, " の鍵登録を削除しますか？"},
    {qimstr::KeyDialogCaption, "暗号化鍵の登録"},
    {qimstr::PgpDecryptFailed, "復号できませんでした。"},
    {qimstr::PgpVerifyFailed, "照合できませんでした。"},
    {qimstr::PgpIllegalVersion, "Illegal Version"},
    {qimstr::PgpInitFailed, "PGPMsgInit failed("},
    {qimstr::PgpInitVersion, "Illegal Version %d.%d%c%c"},
    {qimstr::PgpInitNoPgp, "No PGP"},
    {qimstr::PgpInitFailedEnd, ")."},
    {qimstr::PgpSelectPart, "Select Part"},
    {qimstr::PgpSelectKey, "Select Key"},
    {qimstr::PgpPromptEncrypt, "暗号化するパートを選択してください:"},
    {qimstr::PgpPromptSign, "署名するパートを選択してください:"},
    {qimstr::PgpPromptEncryptSign, "暗号化と署名を行うパートを選択してください:"},
    {qimstr::PgpPromptDecrypt, "復号化/署名の検証を行うパートを選択してください:"},
    {qimstr::PgpPromptAttachKey, "公開鍵の添付を行うパートを選択してください:"},
    {qimstr::PgpPromptKey, "添付する公開鍵を選択してください:"},
    {qimstr::MailKeyCaption, "メールの鍵"},
    // Composing and sending.
    {qimstr::SomethingStrange, "何か変です。"},
    {qimstr::ErrorAborting, "エラーです。中止します。"},
    {qimstr::Connecting, "接続中..."},
    {qimstr::Disconnecting, "切断中..."},
    {qimstr::SessionEnded, "終了"},
    {qimstr::LookingUpHost, "ホスト名を検索中..."},
    {qimstr::SendAborted, "中止します。"},
    {qimstr::EmptyBodyQuestion, "メールの中身がありません。そのまま送信しますか？"},
    {qimstr::HeaderIncomplete, "ヘッダーの項目で足らないものがあります。"},
    {qimstr::CannotOpenFile, "ファイルをオープンすることができません。"},
    {qimstr::TempFileNotOpened, "テンポラリーファイルがオープンできませんでした。"},
    {qimstr::TempFileNotWritten, "テンポラリーファイルの書き込みに失敗しました｡"},
    {qimstr::SendWithAttachments, "%s\r\nを添付したメールを送信します。いいですか？"},
    {qimstr::AttachmentSizeText, "(計約 %ldKB。変換後約 %ldKB)"},
    {qimstr::AttachmentsLarge, "添付ファイルの大きさがかなり大きいように思えます。\r\n%s\r\n気にせず続けますか？"},
    {qimstr::SendingProgress, "メールの送信中"},
    {qimstr::Quitting, "終了処理中..."},
    {qimstr::BodyUnreadable, "メールの中身が読み出せません。中止します。"},
    {qimstr::SendingMail, "メールの送信..."},
    {qimstr::CannotCancelNow, "今キャンセルは出来ません。"},
    {qimstr::EditorUnreadable, "変です。エディタの内容が取得できません。"},
    {qimstr::AttachmentNotOpened, "添付ファイルをオープン出来ませんでした。"},
    {qimstr::ChooseAttachments, "添付するファイルを選んで下さい。"},
    {qimstr::EncodingAttachment, "を符号化中です..."},
    {qimstr::AttachmentListed, "%s は既にリストにあります。追加しますか？"},
    {qimstr::AttachmentSizeUnknown, "添付ファイルの大きさが取得できません。変です。中止します。"},
    {qimstr::NoAddressListWithPgp, "PGP を利用するときはアドレスリストは使えません。"},
    {qimstr::HankakuKanaQuestion,
     "半角カタカナがあります。全角に直しましょうか？\r\n\"いいえ\"を選んだ場合は御自分で直してから改めて送信して下さい。"},
    {qimstr::LongLineQuestion,
     "一行当りの文字数が(半角換算で) %d 文字を超える行があります。\r\n"
     "このまま送信しても問題ないかも知れませんが、\r\n"
     "%d 文字以内に収めてから再送信することをお勧めします。\r\n"
     "(「編集｜長い行を折り畳む」を使うこともできます)。\r\n"
     "このまま送信しますか？"},
    {qimstr::CutHereQuestion, "この長さで切りますか？"},
    {qimstr::PlatformCharQuestion,
     "機種依存文字があります。\r\n"
     "このままでも問題ないかもしれませんが、文字化けしたり、受信相手が読めない可能性もあります。"
     "これらの文字を使わないように修正することをお勧めします。\r\n"
     "修正しますか？"},
    {qimstr::SendDialogCaption, "メールの送信"},
    {qimstr::SendTimedOut, "サーバーから %d 秒間応答がないため、送信を中止しました。"},
    {qimstr::ClosedBeforeAccepted, "メールの送信が終わる前にサーバーが接続を切りました。\r\n送信は完了していません。"},
    {qimstr::AddressListFailures, "次の宛先には送信できませんでした。\r\n%s"},
    {qimstr::AddressListOutsideHome, "アドレスリストは QimHome の中のファイルでなければなりません。"},
    {qimstr::HeaderTooLong, "ヘッダーが長すぎます。中止します。"},

    // Status-bar hints, under the number of their command.
    {qimcmd::NewFolder, "新しいフォルダーを作る"},
    {qimcmd::RenameFolder, "フォルダー名を変更する"},
    {qimcmd::DeleteFolder, "現在選択されている空のフォルダーを削除する"},
    {qimcmd::DeleteMail, "指定したメールを削除する"},
    {qimcmd::LoadDraft, "書きかけメールとして保存されているファイルを読み込む"},
    {qimcmd::SaveMailAs, "現在表示しているメールに名前を付けてファイルとして保存する"},
    {qimcmd::Exit, "文書を保存することを促し、Qim を終了"},
    {qimcmd::FindFrom, "一覧表示を対象に From で検索を行う"},
    {qimcmd::FindSubject, "一覧表示を対象に Subject で検索を行う"},
    {qimcmd::FindInFolder, "現フォルダー内のメールから指定文字列を含むものを検索し、表示する"},
    {qimcmd::FindNext, "検索を続け、指定文字列を含む次のメールを表示する"},
    {qimcmd::FindAllAndMark, "現フォルダー内の指定文字列を含む全メールの番号を選択状態にする"},
    {qimcmd::ShowMail, "現在選択されているメールを表示する"},
    {qimcmd::NextMail, "現在表示されている次のメールを表示する"},
    {qimcmd::PreviousMail, "現在表示されている前のメールを表示する"},
    {qimcmd::MarkImportant, "選択されているメールを大切なメールとしてマークする"},
    {qimcmd::MarkUnread, "現在選択されているメールを未読状態にする"},
    {qimcmd::MarkRead, "現在選択されているメールを既読状態にする"},
    {qimcmd::SelectAll, "一覧表示ウインドウの全部を選択する"},
    {qimcmd::ClearSelection, "選択をすべて解除し、表示されているメールも閉じる"},
    {qimcmd::SwapFromTo, "一覧表示の項目の From と To を切り替える"},
    {qimcmd::RenumberGaps, "番号を付け直して、飛び飛びの番号が無くなるようにする"},
    {qimcmd::RenumberByDate, "メールの日付順に番号を付け直す"},
    {qimcmd::RefreshCache, "キャッシュファイルを最新の状態に更新する"},
    {qimcmd::HelpContents, "ﾍﾙﾌﾟの目次"},
    {qimcmd::HelpOnHelp, "ｵﾝﾗｲﾝﾍﾙﾌﾟの使い方"},
    {qimcmd::About, "Qim ｱﾌﾟﾘｹｰｼｮﾝについて"},
    {qimcmd::Compose, "送信するメールを書く"},
    {qimcmd::Reply, "現在読んでいるメールに返事を出す"},
    {qimcmd::Forward, "現在読んでいるメールを転送する"},
    {qimcmd::Receive, "メールを受信する"},
    {qimcmd::OneShotSort, "ワンショット振り分けを行う"},
    {qimcmd::AutoSort, "自動振り分けを実行する"},
    {qimcmd::AutoSort2, "自動振り分け２を実行する"},
    {qimcmd::ImportAsNewMail, "指定されたファイルを新規メールとして QimHome にコピーする"},
    {qimcmd::ArchiveFolder, "現在のフォルダーのメールをすべて１つの書庫にまとめる"},
    {qimcmd::Uudecode, "uudecode する"},
    {qimcmd::ExtractAttachments, "表示されているメールに添付ファイルがある場合にそれを取り出す"},
    {qimcmd::NetworkSettings, "サーバー等、ネットワーク関係の設定を行う"},
    {qimcmd::Templates, "テンプレート(挨拶、署名等)の設定を行う"},
    {qimcmd::AddAddress, "住所録にメールアドレスを登録する"},
    {qimcmd::SentMailFolder, "送信メールを保存するフォルダーの指定と設定を行う"},
    {qimcmd::DraftFolder, "未送信メールを保存するフォルダーの指定と設定を行う"},
    {qimcmd::AutoSortSettings, "自動振り分け用の設定を行う"},
    {qimcmd::AutoSort2Settings, "自動振り分け２用の設定を行う"},
    {qimcmd::FromSubstitution, "表示の際、Fromを指定されたものに置き換えて表示する"},
    {qimcmd::ReplyPrefix, "リプライプリフィックス(引用符)を指定する"},
    {qimcmd::CryptKeys, "暗号化メールの鍵を鍵ファイルに登録する。また編集・削除も行う"},
    {qimcmd::WebBrowser, "Weｂ ブラウザのパスを指定する"},
    {qimcmd::ExternalApps, "外部アプリケーションを登録して Qim から呼び出せるようにする"},
    {qimcmd::PgpUsage, "PGPを利用するか否か、及びオプションの設定を行う"},
    {qimcmd::KeepMailOnServer, "ここにチェックを入れておくと読み込んだホストのメールを残しておく"},
    {qimcmd::ViewerSeparate, "メール表示ウインドウを一覧表示ウインドウと別ウインドウにする"},
    {qimcmd::ViewerUpperRight, "メール表示ウインドウを一覧表示ウインドウの右上に一体化する"},
    {qimcmd::ViewerBelow, "メール表示ウインドウを一覧表示ウインドウの下に一体化する"},
    {qimcmd::ViewerLowerRight, "メール表示ウインドウを一覧表示ウインドウの右下に一体化する"},
    {qimcmd::ViewerFont, "メール表示のフォントを変更する"},
    {qimcmd::QuoteFont, "引用行のフォントを変更する"},
    {qimcmd::ListFont, "一覧表示フォントを設定する"},
    {qimcmd::FixedPrintFont, "印刷の際のフォントを予め決められたフォントにする"},
    {qimcmd::TextAsMime, "テキストのみのメールも MIME メールにするかどうかの設定を行う"},
    {qimcmd::FoldWidth, "「長い行を折り畳む」際の一行の文字数(半角で数えて)を設定を行う"},
    {qimcmd::AddressPhrase, "自分のメール・アドレスに名前等のフレーズを付け加える"},
    {qimcmd::AttachmentFolder, "メールに添付されたファイルの取り出し先のフォルダーを指定する"},
    {qimcmd::NoAttachmentNotice, "表示したメールに添付ファイルがあっても、お知らせのメッセージが出ないようにする"},
    {qimcmd::DefaultSort, "一覧表示のデフォルトの並びを設定する"},
    {qimcmd::UseApop, "POP3での認証の際に APOP を使う"},
    {qimcmd::SettingsToServer, "設定ファイルをサーバー側に送る"},
    {qimcmd::SettingsFromServer, "設定ファイルをサーバーから取り出す"},
    {qimcmd::BackupSettingsOnServer, "設定ファイルをメールの形にしてサーバーに保存する"},
    {qimcmd::BackupSettingsLocally, "設定ファイルをメールの形にしてローカルに保存する"},
    {qimcmd::ServerAutoSortSettings, "サーバーにあるフォルダーの自動振り分け用の設定を行う"},
    {qimcmd::ServerAutoSort2Settings, "サーバーにあるフォルダーの自動振り分け２用の設定を行う"},
    {qimcmd::ShowLocalMailSize, "ローカルフォルダーにあるメールの大きさも表示するようにします。"},
    {qimcmd::SettingsOnServer, "設定ファイルをサーバーに置くかどうかの設定を行う"},
    {qimcmd::MailVolumeWarning, "フォルダー内のメールの総量が一定値を越えた場合に警告するようにする"},
    {qimcmd::FileNew, "新しくｳｨﾝﾄﾞｳを作成する"},
    {qimcmd::FileOpen, "ｳｨﾝﾄﾞｳを開く"},
    {qimcmd::FileSaveAs, "この文書に名前を付けて保存"},
    {qimcmd::EditUndo, "直前の操作の取り消し"},
    {qimcmd::EditCut, "選択範囲をｸﾘｯﾌﾟﾎﾞｰﾄﾞへ切り取る"},
    {qimcmd::EditCopy, "選択範囲をｸﾘｯﾌﾟﾎﾞｰﾄﾞへｺﾋﾟｰする"},
    {qimcmd::EditPaste, "ｸﾘｯﾌﾟﾎﾞｰﾄﾞの内容をｶｰｿﾙの位置に挿入"},
    {qimcmd::EditClearAll, "文書全体を削除"},
    {qimcmd::EditDelete, "選択範囲を削除"},
    {qimcmd::EditFind, "指定文字列の検索"},
    {qimcmd::EditReplace, "指定文字列を検索して別の文字列に置換"},
    {qimcmd::EditFindNext, "次に一致する文字列の検索"},
};

const SStringTable& Strings() {
    static const SStringTable table(kTable, sizeof kTable / sizeof kTable[0]);
    return table;
}

}  // namespace

std::string LoadQimString(unsigned id) { return Strings().Load(id); }

int LoadQimString(unsigned id, char* buffer, int size) { return Strings().Load(id, buffer, size); }

std::vector<unsigned> QimStringIds() { return Strings().Ids(); }
