// The viewer in the main window under offscreen Qt: a Japanese multipart mail
// shown decoded with its quoted lines in the quote font, the read mark, the
// attachment command and its dialog, and a mail encrypted by gpg shown
// decrypted.
#include <gtest/gtest.h>

#include <QItemSelectionModel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTextBlock>
#include <QTreeView>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/QimLayoutSettings.h"
#include "common/SFont.h"
#include "platform/FileSystem.h"
#include "platform/ScriptedDialogService.h"
#include "store/QimStoreCodes.h"
#include "store/SQimFolder.h"
#include "support/GpgKeyring.h"
#include "support/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TAttachDialog.h"
#include "ui/THeaderListModel.h"
#include "ui/TDeleteConfirmDlg.h"
#include "ui/TMailViewPane.h"
#include "ui/TQimWindow.h"

using qimtest::ReadFileBytes;
using qimtest::Sjis;
using qimtest::WriteFileBytes;

namespace {

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// Subject "日本語の件名"; a JIS text part in base64 with two quoted lines; a
// text attachment named "添付.txt" by an encoded word.
const char* kJapaneseMultipart =
    "From: Taro <taro@x.jp>\r\n"
    "Subject: =?ISO-2022-JP?B?GyRCRnxLXDhsJE43b0w+GyhC?=\r\n"
    "MIME-Version: 1.0\r\n"
    "Content-Type: multipart/mixed; boundary=\"=_b\"\r\n"
    "\r\n"
    "--=_b\r\n"
    "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "\r\n"
    "GyRCRnxLXDhsJE5LXEo4JEckOSEjGyhCDQo+IBskQjB6TVEkNSRsJD85VBsoQg0KGyRCIWRBNDNRJE4wek1RGyhCDQobJEJJYURMJE45VBsoQg0K\r\n"
    "--=_b\r\n"
    "Content-Type: application/octet-stream; name=\"=?ISO-2022-JP?B?GyRCRTpJVRsoQi50eHQ=?=\"\r\n"
    "Content-Transfer-Encoding: base64\r\n"
    "\r\n"
    "aGVsbG8K\r\n"
    "--=_b--\r\n";

class AnswerAll : public SAttachmentPrompt {
public:
    explicit AnswerAll(std::string folder) : folder_(std::move(folder)) {}
    bool Choose(platform::ParentWindow, const std::string& text, std::string& destination, bool& saveAll) override {
        shown = text;
        destination = folder_;
        saveAll = true;
        return true;
    }
    std::string shown;

private:
    std::string folder_;
};

class Viewer : public ::testing::Test {
protected:
    void SetUp() override {
        qimtest::QimTestApp();
        ResetQimProcessValues();
        SetQimHome(home_.Path());
        SetQimIniPath(home_.File("QIM.INI"));
        GetSettingData().viewerDocking = kViewerBelow;
        // A bold quote font, so quoted lines can be told apart.
        SFont quote;
        quote.logFont.lfWeight = 700;
        ASSERT_TRUE(WriteQimFont("MVQuoteFont", quote));
    }
    void TearDown() override { ResetQimProcessValues(); }

    std::unique_ptr<TQimWindow> ShowFirstMail() {
        auto w = std::make_unique<TQimWindow>(home_.Path());
        w->resize(900, 600);
        w->show();
        Settle();
        w->List()->setCurrentIndex(w->Model()->index(0, 0));
        Settle();
        return w;
    }
    // The shown text, UTF-8.
    static std::string Shown(const TQimWindow& w) { return w.Viewer()->toPlainText().toStdString(); }
    // Whether the line of the viewer that begins with `start` is drawn bold.
    static bool BoldLine(const TQimWindow& w, const QString& start) {
        for (QTextBlock b = w.Viewer()->document()->begin(); b.isValid(); b = b.next())
            if (b.text().startsWith(start)) {
                QTextCursor cursor(b);
                cursor.movePosition(QTextCursor::Right);
                return cursor.charFormat().font().bold();
            }
        ADD_FAILURE() << "no line " << start.toStdString();
        return false;
    }

    qimtest::TempDir home_;
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService installed_{dialogs_};
};

TEST_F(Viewer, JapaneseMultipartMailIsShownDecodedWithQuotedLinesInTheQuoteFont) {
    WriteFileBytes(home_.File("1"), kJapaneseMultipart);
    SQimFolder(home_.Path()).ClearMarks(1, qimstore::kMarkRead);
    auto w = ShowFirstMail();
    const std::string shown = Shown(*w);
    EXPECT_NE(shown.find("Subject: 日本語の件名\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("日本語の本文です。\n> 引用された行\n＞全角の引用\n普通の行\n"), std::string::npos) << shown;
    // The header block and the text: no part headers, no boundaries, no placeholder.
    EXPECT_EQ(shown.rfind("From: Taro <taro@x.jp>\nSubject: 日本語の件名\n\n", 0), 0u) << shown;
    for (const char* absent : {"MIME-Version", "Content-Type", "--=_b", "Qimより"})
        EXPECT_EQ(shown.find(absent), std::string::npos) << absent;
    // The attached file is listed under the text, with its name and size.
    ASSERT_EQ(w->Viewer()->AttachmentRow()->count(), 1);
    EXPECT_TRUE(w->Viewer()->AttachmentRow()->isVisibleTo(w->Viewer()));
    EXPECT_EQ(w->Viewer()->AttachmentRow()->item(0)->text().toStdString().rfind("添付.txt  (", 0), 0u);
    EXPECT_EQ(w->Viewer()->ShownSubject(), "日本語の件名");
    EXPECT_EQ(shown.find("aGVsbG8K"), std::string::npos) << "the attachment is left out";
    EXPECT_EQ(shown.find("GyRCRnxL"), std::string::npos) << "the text part is decoded";
    EXPECT_TRUE(BoldLine(*w, "> 引用"));
    EXPECT_TRUE(BoldLine(*w, "＞全角"));
    EXPECT_FALSE(BoldLine(*w, "普通の行"));
    EXPECT_FALSE(BoldLine(*w, "日本語の本文"));
    EXPECT_EQ(SQimFolder(home_.Path()).GetMarks(1), qimstore::kMarkRead);
    EXPECT_TRUE(w->Viewer()->Data().HasAttachments());
    EXPECT_EQ(w->Viewer()->Data().Number(), 1);

    // "添付ﾌｧｲﾙの取り出し" saves the attachment under its decoded name.
    const std::string dest = home_.File("dest");
    platform::CreateDirectory(dest.c_str());
    AnswerAll prompt(dest);
    w->Viewer()->SetAttachmentPrompt(&prompt);
    w->Commands().Execute(qimcmd::ExtractAttachments);
    EXPECT_EQ(prompt.shown, Sjis("このメールには 1 個のファイルが添付されています。"));
    EXPECT_EQ(ReadFileBytes(dest + "/添付.txt"), "hello\n");
    ASSERT_FALSE(dialogs_.Boxes().empty());
    EXPECT_EQ(dialogs_.Boxes().back().text, Sjis(home_.File("dest") + " に 1 個のファイルを保存しました。"));
    EXPECT_FALSE(QApplication::overrideCursor()) << "the wait cursor is gone again";
}

TEST_F(Viewer, AttachDialogOffersTheFolderAndRefusesOneThatIsMissing) {
    const std::string dest = home_.File("dest");
    platform::CreateDirectory(dest.c_str());
    TQtAttachmentPrompt prompt;
    std::string destination = home_.File("missing");
    bool saveAll = false;
    int step = 0;
    std::function<void(QWidget*)> act = [&](QWidget* modal) {
        auto* dialog = qobject_cast<TAttachDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->folder->text().toStdString(), home_.File("missing"));
        dialog->accept();  // refused: no such folder
        ++step;
        EXPECT_TRUE(dialog->isVisible());
        dialog->folder->setText(QString::fromStdString(dest));
        dialog->saveAll->setChecked(true);
        dialog->accept();
    };
    qimtest::WhenModalOpens(act);
    ASSERT_TRUE(prompt.Choose(nullptr, Sjis("このメールには 2 個のファイルが添付されています。"), destination, saveAll));
    EXPECT_EQ(step, 1);
    EXPECT_EQ(destination, dest);
    EXPECT_TRUE(saveAll);
    ASSERT_EQ(dialogs_.Boxes().size(), 1u);
    EXPECT_EQ(dialogs_.Boxes()[0].text,
              Sjis("指定されたフォルダーがありません。フォルダー名を確認してください．\n参照ボタンをお使いになられることをお勧めします。"));
}

TEST_F(Viewer, MailEncryptedByGpgIsShownDecrypted) {
    qimtest::GpgKeyring keyring({"hanako@x.jp"});
    ASSERT_TRUE(keyring.Ok());
    GetSettingData().pgpUsage = 1;
    WriteFileBytes(home_.File("plain"), Sjis("> 暗号の中の引用\n秘密の本文\n"));
    int status = -1;
    qimtest::RunCommand(keyring.Gpg() + " --encrypt --armor -r hanako@x.jp -o '" + home_.File("armour") + "' '" +
                            home_.File("plain") + "' 2>&1",
                        &status);
    ASSERT_EQ(status, 0);
    std::string armour;
    for (char c : ReadFileBytes(home_.File("armour"))) {
        if (c == '\n') armour += '\r';
        armour += c;
    }
    platform::RemoveFile(home_.File("plain").c_str());
    platform::RemoveFile(home_.File("armour").c_str());
    WriteFileBytes(home_.File("1"), "From: Taro <taro@x.jp>\r\nTo: hanako@x.jp\r\nSubject: pgp\r\n\r\n" + armour);
    auto w = ShowFirstMail();
    const std::string shown = Shown(*w);
    EXPECT_NE(shown.find("\n> 暗号の中の引用\n秘密の本文\n"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("BEGIN PGP"), std::string::npos);
    EXPECT_TRUE(BoldLine(*w, "> 暗号"));
    EXPECT_TRUE(dialogs_.Boxes().empty());
    // The stored mail keeps its armour.
    EXPECT_NE(ReadFileBytes(home_.File("1")).find("BEGIN PGP MESSAGE"), std::string::npos);
}

TEST_F(Viewer, DockingFollowsTheSettingAndTheSeparateWindowOpensWithAMail) {
    WriteFileBytes(home_.File("1"), kJapaneseMultipart);
    struct Case {
        int docking;
        bool separate;
    } cases[] = {{kViewerSeparate, true}, {kViewerLowerRight, false}, {kViewerBelow, false}, {kViewerUpperRight, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.docking);
        GetSettingData().viewerDocking = c.docking;
        auto w = std::make_unique<TQimWindow>(home_.Path());
        w->show();
        Settle();
        EXPECT_EQ(w->ViewerWindow() != nullptr, c.separate);
        if (c.separate) {
            EXPECT_FALSE(w->ViewerWindow()->isVisible()) << "opened by the first mail";
            EXPECT_TRUE(w->ViewerWindow()->isAncestorOf(w->Viewer()));
        } else {
            EXPECT_TRUE(w->isAncestorOf(w->Viewer()));
        }
        w->List()->setCurrentIndex(w->Model()->index(0, 0));
        Settle();
        EXPECT_TRUE(w->Viewer()->isVisible());
        EXPECT_NE(Shown(*w).find("普通の行"), std::string::npos);
    }
}

TEST_F(Viewer, ALargeQuotedMailIsPreparedAndShownQuickly) {
    // 40 000 lines (about 2 MB) of quoted-printable Japanese text, every other line quoted.
    std::string body;
    const std::string line = "=1B$BF|K\\8l$N9T$G$9!#=1B(B";  // "日本語の行です。" in JIS, quoted-printable
    for (int i = 0; i < 40000; ++i) body += (i % 2 ? "> " : "") + line + " " + std::to_string(i) + "\r\n";
    WriteFileBytes(home_.File("1"), "From: a@x.jp\r\nSubject: big\r\nMIME-Version: 1.0\r\n"
                                    "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
                                    "Content-Transfer-Encoding: quoted-printable\r\n\r\n" + body);
    auto w = std::make_unique<TQimWindow>(home_.Path());
    w->show();
    Settle();
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(w->ShowMail(1));
    const qint64 ms = timer.elapsed();
    std::printf("40000-line mail prepared and shown in %lld ms\n", static_cast<long long>(ms));
    EXPECT_EQ(w->Viewer()->document()->blockCount(), 3 + 40000 + 1);  // From, Subject, the empty line
    EXPECT_TRUE(BoldLine(*w, "> 日本語の行です。 39999"));
    EXPECT_FALSE(BoldLine(*w, "日本語の行です。 39998"));
    EXPECT_LT(ms, 20000) << "far slower than expected";
}

}  // namespace

namespace {

std::string Plain(int n, const std::string& extra = std::string()) {
    return "From: a@x.jp\r\nSubject: mail " + std::to_string(n) + "\r\nDate: Mon, 1 Jun 2026 10:00:00 +0000\r\n\r\nbody " +
           std::to_string(n) + "\r\n" + extra;
}

TEST_F(Viewer, TheViewerFollowsTheSelectionADeleteAndADoubleClick) {
    for (int n = 1; n <= 3; ++n) WriteFileBytes(home_.File(std::to_string(n)), Plain(n));
    GetSettingData().viewerDocking = kViewerSeparate;
    auto w = std::make_unique<TQimWindow>(home_.Path());
    w->show();
    Settle();
    // The list shows the newest first: rows 0, 1, 2 are mails 3, 2, 1.
    w->List()->setCurrentIndex(w->Model()->index(1, 0));
    Settle();
    EXPECT_NE(Shown(*w).find("body 2\n"), std::string::npos);
    ASSERT_NE(w->ViewerWindow(), nullptr);
    EXPECT_EQ(w->ViewerWindow()->windowTitle().toStdString(), "mail 2");
    // The separate window opens wholly on the screen.
    const QRect screen = w->ViewerWindow()->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(w->ViewerWindow()->frameGeometry().topLeft()));
    // A click makes the row current first and selects it after.
    QItemSelectionModel* selection = w->List()->selectionModel();
    selection->setCurrentIndex(w->Model()->index(0, 0), QItemSelectionModel::NoUpdate);
    selection->select(w->Model()->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    Settle();
    EXPECT_NE(Shown(*w).find("body 3\n"), std::string::npos) << "it follows the selection";

    // A delete shows the mail that took the deleted one's place.
    w->SelectNumbers({3});
    qimtest::WhenModalOpens([](QWidget* modal) {
        if (auto* yes = modal->findChild<QPushButton*>(TDeleteConfirmDlg::kYes)) yes->click();
    });
    w->Commands().Execute(qimcmd::DeleteMail);
    Settle();
    EXPECT_EQ(w->SelectedNumbers(), std::vector<int>{2});
    EXPECT_NE(Shown(*w).find("body 2\n"), std::string::npos) << Shown(*w);

    // Double-click (activation) opens a mail and brings its window up.
    w->ViewerWindow()->hide();
    emit w->List()->activated(w->Model()->index(1, 0));
    Settle();
    EXPECT_TRUE(w->ViewerWindow()->isVisible());
    EXPECT_NE(Shown(*w).find("body 1\n"), std::string::npos);
}

TEST_F(Viewer, QuoteLevelsLinksAllHeadersAndOneAttachmentSavedByAClick) {
    WriteFileBytes(home_.File("1"), std::string(kJapaneseMultipart));
    WriteFileBytes(home_.File("2"), "From: a@x.jp\r\nTo: b@x.jp\r\nX-Extra: shown on request\r\nSubject: q\r\n\r\n"
                                    "> one\r\n>> two\r\n> > two too\r\nsee https://example.jp/a?b=1. now\r\n");
    auto w = std::make_unique<TQimWindow>(home_.Path());
    w->show();
    Settle();
    ASSERT_TRUE(w->ShowMail(2));
    auto colourOf = [&](const QString& start) {
        for (QTextBlock b = w->Viewer()->document()->begin(); b.isValid(); b = b.next())
            if (b.text().startsWith(start)) {
                QTextCursor c(b);
                c.movePosition(QTextCursor::Right);
                return c.charFormat().foreground().color();
            }
        return QColor();
    };
    const QColor one = colourOf("> one"), two = colourOf(">> two");
    EXPECT_TRUE(one.isValid() && two.isValid());
    EXPECT_NE(one, two) << "each level its colour";
    EXPECT_EQ(colourOf("> > two"), two);
    EXPECT_NE(one, w->Viewer()->palette().color(QPalette::Text));
    // The link ends before the full stop and opens through the hook.
    const std::string text = Shown(*w);
    const int at = static_cast<int>(QString::fromStdString(text).indexOf("https://"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(w->Viewer()->LinkAt(at + 3), "https://example.jp/a?b=1");
    EXPECT_EQ(w->Viewer()->LinkAt(at - 2), "");
    // Five fields by default; every one on request.
    EXPECT_EQ(text.find("X-Extra"), std::string::npos);
    w->Viewer()->SetShowAllHeaders(true);
    EXPECT_NE(Shown(*w).find("X-Extra: shown on request\n"), std::string::npos);
    w->Viewer()->SetShowAllHeaders(false);

    // The attachment row saves the one file clicked.
    ASSERT_TRUE(w->ShowMail(1));
    const std::string dest = home_.File("dest");
    platform::CreateDirectory(dest.c_str());
    AnswerAll prompt(dest);
    w->Viewer()->SetAttachmentPrompt(&prompt);
    ASSERT_EQ(w->Viewer()->AttachmentRow()->count(), 1);
    EXPECT_EQ(w->Viewer()->SaveAttachmentAt(0), 1);
    EXPECT_EQ(ReadFileBytes(dest + "/添付.txt"), "hello\n");
    EXPECT_EQ(w->Viewer()->SaveAttachmentAt(5), 0);
}

}  // namespace
