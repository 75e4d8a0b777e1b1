#include "ui/QimMenuTables.h"

#include <algorithm>

#include "config/QimCommandIds.h"
#include "platform/CodePage.h"

namespace {

struct Row {
    int id;
    const char* path;  // UTF-8 here, Shift_JIS once loaded
    const char* text;
};

constexpr Row kCommon[] = {
    {qimcmd::NewFolder, "ﾌｧｲﾙ(&F)", "新規ﾌｫﾙﾀﾞｰ(&F)"},
    {qimcmd::RenameFolder, "ﾌｧｲﾙ(&F)", "ﾌｫﾙﾀﾞｰ名の変更(&M)"},
    {qimcmd::DeleteFolder, "ﾌｧｲﾙ(&F)", "ﾌｫﾙﾀﾞｰの削除(&R)"},
    {0, "ﾌｧｲﾙ(&F)", ""},
    {qimcmd::DeleteMail, "ﾌｧｲﾙ(&F)", "ﾒｰﾙを削除(&D)"},
    {qimcmd::LoadDraft, "ﾌｧｲﾙ(&F)", "書きかけﾒｰﾙの読み込み(&I)"},
    {qimcmd::SaveMailAs, "ﾌｧｲﾙ(&F)", "名前を付けて保存(&A)"},
    {qimcmd::Print, "ﾌｧｲﾙ(&F)", "印刷(&P)..."},
    {qimcmd::Exit, "ﾌｧｲﾙ(&F)", "終了(&X)\tAlt+F4"},
    {qimcmd::FindFrom, "検索(&S)", "From(To)で検索(&R)..."},
    {qimcmd::FindSubject, "検索(&S)", "Subjectで検索(&S)..."},
    {qimcmd::FindInFolder, "検索(&S)", "検索(&F)..."},
    {qimcmd::FindNext, "検索(&S)", "次を検索(&N)\tCtrl+F3"},
    {qimcmd::FindAllAndMark, "検索(&S)", "全検索＆ﾏｰｸ(&G)..."},
    {qimcmd::ShowMail, "表示(&V)", "このﾒｰﾙを表示(&V)"},
    {qimcmd::NextMail, "表示(&V)", "次のﾒｰﾙを表示(&N)\tCtrl+N"},
    {qimcmd::PreviousMail, "表示(&V)", "前のﾒｰﾙを表示(&P)\tCtrl+P"},
    {qimcmd::MarkImportant, "表示(&V)", "大切なﾒｰﾙにする(&I)"},
    {qimcmd::MarkUnread, "表示(&V)", "未読にする(&R)"},
    {qimcmd::MarkRead, "表示(&V)", "既読にする(&Y)"},
    {qimcmd::SelectAll, "表示(&V)", "すべて選択(&A)\tCtrl+A"},
    {qimcmd::ClearSelection, "表示(&V)", "全選択解除(&L)"},
    {qimcmd::SwapFromTo, "表示(&V)", "Fr&om <--> To"},
    {qimcmd::RenumberGaps, "表示(&V)/番号の付け直し(&J)", "抜け番号の解消(&R)"},
    {qimcmd::RenumberByDate, "表示(&V)/番号の付け直し(&J)", "日付順(&D)"},
    {qimcmd::RefreshCache, "表示(&V)", "最新の状態に更新(&U)"},
    {qimcmd::Explorer, "外部ｱﾌﾟﾘｹｰｼｮﾝ(&A)", "ｴｸｽﾌﾟﾛｰﾗｰ(&E)"},
    {qimcmd::HelpContents, "ﾍﾙﾌﾟ(&H)", "目次(&C)"},
    {qimcmd::HelpOnHelp, "ﾍﾙﾌﾟ(&H)", "ﾍﾙﾌﾟの使い方(&U)"},
    {qimcmd::About, "ﾍﾙﾌﾟ(&H)", "ﾊﾞｰｼﾞｮﾝ情報(&A)..."},
};

constexpr Row kLocalMode[] = {
    {qimcmd::Compose, "実行(&G)", "送信ﾒｰﾙの作成(&S)"},
    {qimcmd::Reply, "実行(&G)", "返信ﾒｰﾙの作成(&L)"},
    {qimcmd::Forward, "実行(&G)", "転送ﾒｰﾙの作成(&F)"},
    {qimcmd::Receive, "実行(&G)", "受信(&R)"},
    {qimcmd::OneShotSort, "実行(&G)", "一回振り分け(&T)..."},
    {qimcmd::AutoSort, "実行(&G)", "自動振り分け(&A)"},
    {qimcmd::AutoSort2, "実行(&G)", "自動振り分け２(&2)"},
    {qimcmd::ImportAsNewMail, "実行(&G)", "新着ﾒｰﾙとして取り込む(&M)..."},
    {qimcmd::ArchiveFolder, "実行(&G)", "ﾒｰﾙを書庫に(&X)..."},
    {qimcmd::Uudecode, "実行(&G)", "&Uudecode"},
    {qimcmd::ExtractAttachments, "実行(&G)", "添付ﾌｧｲﾙの取り出し(&D)"},
    {qimcmd::ExtractPgpKey, "実行(&G)", "PGP添付公開鍵の取り出し(&P)"},
    {qimcmd::NetworkSettings, "設定(&K)", "ﾈｯﾄﾜｰｸ(&N)..."},
    {qimcmd::Templates, "設定(&K)", "ﾃﾝﾌﾟﾚｰﾄ/署名(&T)..."},
    {qimcmd::AddAddress, "設定(&K)", "ｱﾄﾞﾚｽの登録(&Y)..."},
    {qimcmd::SentMailFolder, "設定(&K)", "送信ﾒｰﾙの保存(&V)..."},
    {qimcmd::DraftFolder, "設定(&K)", "未送信ﾒｰﾙの保存(&M)..."},
    {qimcmd::AutoSortSettings, "設定(&K)", "自動振り分け設定(&A)..."},
    {qimcmd::AutoSort2Settings, "設定(&K)", "自動振り分け２設定(&2)..."},
    {qimcmd::FromSubstitution, "設定(&K)", "&From置き換え設定..."},
    {qimcmd::ReplyPrefix, "設定(&K)", "ﾘﾌﾟﾗｲ・ﾌﾟﾚﾌｨｯｸｽ(&R)..."},
    {qimcmd::CryptKeys, "設定(&K)", "暗号化鍵の登録(&K)..."},
    {qimcmd::WebBrowser, "設定(&K)", "&Web ﾌﾞﾗｳｻﾞの設定..."},
    {qimcmd::ExternalApps, "設定(&K)", "外部ｱﾌﾟﾘｹｰｼｮﾝの登録(&E)..."},
    {qimcmd::PgpUsage, "設定(&K)", "&PGP使用の設定..."},
    {qimcmd::KeepMailOnServer, "設定(&K)", "ｻｰﾊﾞｰ側のﾒｰﾙを削除しない(&U)"},
    {qimcmd::ViewerSeparate, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)/ﾒｰﾙ表示を一覧表示に一体化(&U)", "しない(&N)"},
    {qimcmd::ViewerUpperRight, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)/ﾒｰﾙ表示を一覧表示に一体化(&U)", "する・右上(&T)"},
    {qimcmd::ViewerBelow, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)/ﾒｰﾙ表示を一覧表示に一体化(&U)", "する・下(&B)"},
    {qimcmd::ViewerLowerRight, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)/ﾒｰﾙ表示を一覧表示に一体化(&U)", "する・右下(&R)"},
    {qimcmd::ViewerFont, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "ﾒｰﾙ表示ﾌｫﾝﾄの設定(&V)..."},
    {qimcmd::QuoteFont, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "引用行ﾌｫﾝﾄの設定(&R)..."},
    {qimcmd::ListFont, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "一覧表示ﾌｫﾝﾄの設定(&H)..."},
    {qimcmd::FixedPrintFont, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "印刷は固定ﾌｫﾝﾄにする(&P)"},
    {qimcmd::TextAsMime, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "ﾃｷｽﾄも&MIMEにする"},
    {qimcmd::FoldWidth, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "折り畳む文字数の設定(&T)..."},
    {qimcmd::AddressPhrase, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "ｱﾄﾞﾚｽに名前を加える(&A)..."},
    {qimcmd::AttachmentFolder, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "添付ﾌｧｲﾙの取り出し先の設定(&D)..."},
    {qimcmd::NoAttachmentNotice, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "添付ﾌｧｲﾙのお知らせをしない(&N)"},
    {qimcmd::DefaultSort, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "ﾃﾞﾌｫﾙﾄのｿｰﾃｨﾝｸﾞの設定(&S)..."},
    {qimcmd::UseApop, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "AP&OPを使う"},
    {qimcmd::DesktopNotice, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "新着ﾒｰﾙをﾃﾞｽｸﾄｯﾌﾟに通知(&W)"},
    {qimcmd::SortAfterReceive, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "受信後に自動振り分けする(&J)"},
    {qimcmd::PasswordInKeyring, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "ﾊﾟｽﾜｰﾄﾞをｷｰﾘﾝｸﾞに保存(&K)"},
};

constexpr int kLocalOnly[] = {qimcmd::KeepMailOnServer, qimcmd::UseApop, qimcmd::ExtractPgpKey, qimcmd::DesktopNotice,
                             qimcmd::SortAfterReceive};

constexpr Row kServerAdditions[] = {
    {qimcmd::SettingsToServer, "実行(&G)", "設定ﾌｧｲﾙをｻｰﾊﾞｰにｺﾋﾟｰする(&C)"},
    {qimcmd::SettingsFromServer, "実行(&G)", "設定ﾌｧｲﾙをｻｰﾊﾞｰから取り出す(&O)"},
    {qimcmd::BackupSettingsOnServer, "実行(&G)/設定ﾌｧｲﾙのﾊﾞｯｸｱｯﾌﾟを作る(&B)", "ｻｰﾊﾞｰ側(&S)..."},
    {qimcmd::BackupSettingsLocally, "実行(&G)/設定ﾌｧｲﾙのﾊﾞｯｸｱｯﾌﾟを作る(&B)", "ﾛｰｶﾙ側(&L)..."},
    {qimcmd::ServerAutoSortSettings, "設定(&K)/自動振り分け設定(&A)", "ｻｰﾊﾞｰ側(&S)..."},
    {qimcmd::ServerAutoSort2Settings, "設定(&K)/自動振り分け設定2(&2)", "ｻｰﾊﾞｰ側(&S)..."},
    {qimcmd::ShowLocalMailSize, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "ﾛｰｶﾙのﾒｰﾙのsizeも表示する(&L)"},
    {qimcmd::SettingsOnServer, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "設定ﾌｧｲﾙをｻｰﾊﾞｰに(&I)..."},
    {qimcmd::MailVolumeWarning, "設定(&K)/ｵﾌﾟｼｮﾝ(&O)", "ﾒｰﾙの総量警告の設定(&U)..."},
};

constexpr Row kCompose[] = {
    {qimcmd::FileNew, "ﾌｧｲﾙ(&F)", "新規作成(&N)"},
    {qimcmd::FileOpen, "ﾌｧｲﾙ(&F)", "開く(&O)..."},
    {qimcmd::InsertFile, "ﾌｧｲﾙ(&F)", "ﾌｧｲﾙの読み込み(&R)..."},
    {qimcmd::InsertMailWhole, "ﾌｧｲﾙ(&F)/ﾒｰﾙﾌｧｲﾙの読み込み(&F)", "全文...(&A)"},
    {qimcmd::InsertMailBody, "ﾌｧｲﾙ(&F)/ﾒｰﾙﾌｧｲﾙの読み込み(&F)", "本文(ﾃｷｽﾄ)のみ...(&B)"},
    {0, "ﾌｧｲﾙ(&F)", ""},
    {qimcmd::FileSaveAs, "ﾌｧｲﾙ(&F)", "名前を付けて保存(&A)..."},
    {qimcmd::LoadDraft, "ﾌｧｲﾙ(&F)", "書きかけﾒｰﾙの読み込み(&I)"},
    {qimcmd::SaveDraftAsFile, "ﾌｧｲﾙ(&F)", "書きかけﾒｰﾙをﾌｧｲﾙとして保存(&S)"},
    {qimcmd::FilePrint, "ﾌｧｲﾙ(&F)", "印刷(&P)..."},
    {qimcmd::Exit, "ﾌｧｲﾙ(&F)", "閉じる(&X)\tAlt+F4"},
    {qimcmd::EditUndo, "編集(&E)", "元に戻す(&U)\tAlt+BkSp"},
    {qimcmd::EditCut, "編集(&E)", "切り取り(&T)\tShift+Del"},
    {qimcmd::EditCopy, "編集(&E)", "ｺﾋﾟｰ(&C)\tCtrl+Ins"},
    {qimcmd::EditPaste, "編集(&E)", "貼り付け(&P)\tShift+Ins"},
    {qimcmd::PasteWithPrefix, "編集(&E)", "ﾌﾟﾚﾌｨｯｸｽ付き貼り付け(&Q)\tAlt+Ins"},
    {qimcmd::EditClearAll, "編集(&E)", "すべて削除(&A)\tCtrl+Del"},
    {qimcmd::EditDelete, "編集(&E)", "削除(&D)\tDel"},
    {qimcmd::RemoveColours, "編集(&E)", "色を消す(&E)"},
    {qimcmd::FoldLongLines, "編集(&E)", "長い行を折り畳む(&L)\tShift+Ctrl+L"},
    {qimcmd::EditFind, "検索(&S)", "文字列の検索(&F)..."},
    {qimcmd::EditReplace, "検索(&S)", "文字列の置換(&R)..."},
    {qimcmd::EditFindNext, "検索(&S)", "次を検索(&N)\tF3"},
    {qimcmd::CheckHankakuKana, "検索(&S)", "半角ｶﾀｶﾅ・機種依存文字をﾁｪｯｸ(&C)"},
    {qimcmd::SendMail, "実行(&G)", "ﾒｰﾙを送信(&S)"},
    {qimcmd::SendWithAttachment, "実行(&G)", "ﾌｧｲﾙを添付して送信(&F)"},
    {qimcmd::SendEncrypted, "実行(&G)", "暗号化して送信(&C)"},
    {qimcmd::SendAttachedEncrypted, "実行(&G)", "ﾌｧｲﾙを添付し暗号化して送信(&A)"},
    {qimcmd::PgpSeparator, "実行(&G)", ""},
    {qimcmd::PgpEncryptAndSign, "実行(&G)", "PGPで暗号化＆署名して送信(&P)"},
    {qimcmd::PgpEncrypt, "実行(&G)", "PGPで暗号化して送信(&E)"},
    {qimcmd::PgpSign, "実行(&G)", "PGPで署名して送信(&G)"},
    {qimcmd::PgpAttachKey, "実行(&G)", "PGP公開鍵を添付して送信する(&K)"},
    {qimcmd::AddAttachment, "実行(&G)", "添付ﾌｧｲﾙの追加(D)..."},
    {qimcmd::ArrangeAttachments, "実行(&G)", "添付ﾌｧｲﾙの整理(&R)..."},
    {qimcmd::Templates, "設定(&K)", "ﾃﾝﾌﾟﾚｰﾄ/署名(&T)..."},
    {qimcmd::ReplyPrefix, "設定(&K)", "ﾘﾌﾟﾗｲ・ﾌﾟﾚﾌｨｯｸｽ(&R)..."},
    {qimcmd::SentMailFolder, "設定(&K)", "送信ﾒｰﾙの保存(&F)..."},
    {qimcmd::DraftFolder, "設定(&K)", "未送信ﾒｰﾙの保存(&M)..."},
    {qimcmd::ResetHeaders, "設定(&K)", "ﾍｯﾀﾞｰの再設定(&L)..."},
    {qimcmd::HelpContents, "ﾍﾙﾌﾟ(&H)", "目次(&C)"},
    {qimcmd::About, "ﾍﾙﾌﾟ(&H)", "ﾊﾞｰｼﾞｮﾝ情報(&A)..."},
};

std::string Sjis(const char* utf8) {
    std::string sjis;
    // Every text above has a Shift_JIS form; a test keeps it so.
    platform::Utf8ToCp932(utf8, sjis);
    return sjis;
}

template <std::size_t N>
SMenuTable Load(const Row (&rows)[N]) {
    SMenuTable table;
    table.reserve(N);
    for (const Row& r : rows) table.push_back({r.id, Sjis(r.path), Sjis(r.text)});
    return table;
}

bool IsWithin(const std::string& path, const std::string& popup) {
    return path == popup ||
           (path.size() > popup.size() && path.compare(0, popup.size(), popup) == 0 && path[popup.size()] == '/');
}

// Puts `item` after the last item of its pop-up (items of pop-ups below it
// included); a pop-up that does not exist yet comes after everything its
// nearest existing parent holds.
void AppendToPopup(SMenuTable& table, const SMenuItem& item) {
    std::string popup = item.path;
    for (;;) {
        auto last = std::find_if(table.rbegin(), table.rend(), [&](const SMenuItem& i) { return IsWithin(i.path, popup); });
        if (last != table.rend()) {
            table.insert(last.base(), item);
            return;
        }
        const std::size_t slash = popup.rfind('/');
        if (slash == std::string::npos) break;
        popup.erase(slash);
    }
    table.push_back(item);
}

}  // namespace

const SMenuTable& CommonMenuTable() {
    static const SMenuTable table = Load(kCommon);
    return table;
}

const SMenuTable& LocalModeMenuTable() {
    static const SMenuTable table = Load(kLocalMode);
    return table;
}

const SMenuTable& ServerModeMenuTable() {
    static const SMenuTable table = [] {
        SMenuTable t = LocalModeMenuTable();
        t.erase(std::remove_if(t.begin(), t.end(),
                               [](const SMenuItem& i) {
                                   return std::find(std::begin(kLocalOnly), std::end(kLocalOnly), i.id) !=
                                          std::end(kLocalOnly);
                               }),
                t.end());
        for (const SMenuItem& item : Load(kServerAdditions)) AppendToPopup(t, item);
        return t;
    }();
    return table;
}

const SMenuTable& ComposeMenuTable() {
    static const SMenuTable table = Load(kCompose);
    return table;
}

SMenuTable MainFrameMenuTable(bool serverMode) {
    SMenuTable table = CommonMenuTable();
    const SMenuTable& mode = serverMode ? ServerModeMenuTable() : LocalModeMenuTable();
    table.insert(table.end(), mode.begin(), mode.end());
    return table;
}

const std::vector<int>& ComposePgpCommands() {
    static const std::vector<int> ids = {qimcmd::PgpSeparator, qimcmd::PgpEncryptAndSign, qimcmd::PgpEncrypt,
                                         qimcmd::PgpSign, qimcmd::PgpAttachKey};
    return ids;
}
