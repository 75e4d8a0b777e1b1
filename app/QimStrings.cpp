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

    // The local store.
    {qimstr::MoveTargetMissing, "移動先 \"%s\" が見つかりません。中止します。"},
    {qimstr::MoveSameFolder, "移動元と移動先が同じです。中止します。"},
    {qimstr::CacheCannotOpen, "キャッシュファイルがオープンできませんでした。中止します。"},
    {qimstr::CannotMove, "移動できませんでした。中止します。"},
    {qimstr::NewFolderPrompt, "新規フォルダー名を入力して下さい。"},
    {qimstr::CannotMakeFolder, "フォルダー %s を作ることができません。"},
    {qimstr::FolderExists, "同名のフォルダーが既にあります。"},
    {qimstr::DeleteThisMail, "このメールを削除しますか？"},
    {qimstr::DeleteAllSelected, "これ以後全ての選択されているメールを削除します。いいですか？"},
    {qimstr::DeleteImportantMail, "これは\"とっても大切なメール\"です。それでも削除しますか？"},
    {qimstr::CannotDelete, "削除できませんでした(%ld)。"},
    {qimstr::CannotRenameFolder, "名前を変更できませんでした(%ld)。"},
    {qimstr::CannotRenameFile, "ファイル名の変更が出ませんでした。"},
    {qimstr::RemoveFolderQuestion, "フォルダー \"%s\" を削除しますか？"},
    {qimstr::CannotRemoveFolder, "フォルダー \"%s\" を削除することができませんでした。"},
    {qimstr::CheckFolderEmpty, "フォルダーにメールや書庫ファイルが残っていないか確かめて下さい。"},
    {qimstr::SelectMailToMark, "マークするメールを選択して下さい。"},
    {qimstr::CannotChangeMark, "属性の変更が出来ませんでした(%ld)。中止します。"},
    {qimstr::MarkedImportant, "大切なメールとしてマークしました。"},
    {qimstr::ImportSameFolder, "コピー元とコピー先のフォルダーが同じです。それでも取り込みますか？"},
    {qimstr::CannotSetRead, "既読に設定することが出来ませんでした。"},
    {qimstr::CannotSetUnread, "未読に設定することが出来ませんでした。"},
    {qimstr::RenameTriedTo, "ファイル名を %s に変更しようとしましたが、"},
    {qimstr::NameExists, "既に同名のファイルまたはフォルダーが存在します。"},
    {qimstr::NumberFolderName, "数字だけの名前のフォルダーはメールと同じ番号の名前になります。それでも作りますか？"},
    {qimstr::ImportDialogTitle, "ﾌｧｲﾙの選択"},

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
