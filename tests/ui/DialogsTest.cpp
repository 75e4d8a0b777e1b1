#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>

#include "config/SUserInetData.h"
#include "support/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QtDialogService.h"
#include "ui/TCertificateQuestion.h"
#include "ui/TNetworkSettingsDlg.h"
#include "ui/TOptionDialogs.h"

namespace {

using platform::MessageAnswer;
using platform::MessageButtons;
using platform::MessageIcon;

TEST(QtDialogs, MessageBoxesShowCaptionTextIconAndAnswerWithTheButtonPressed) {
    qimtest::QimTestApp();
    const struct {
        MessageIcon icon;
        QMessageBox::Icon shown;
        MessageButtons buttons;
        QMessageBox::StandardButton press;
        MessageAnswer answer;
    } cases[] = {
        {MessageIcon::Stop, QMessageBox::Critical, MessageButtons::Ok, QMessageBox::Ok, MessageAnswer::Ok},
        {MessageIcon::Exclamation, QMessageBox::Warning, MessageButtons::OkCancel, QMessageBox::Cancel,
         MessageAnswer::Cancel},
        {MessageIcon::Question, QMessageBox::Question, MessageButtons::YesNo, QMessageBox::No, MessageAnswer::No},
        {MessageIcon::Question, QMessageBox::Question, MessageButtons::YesNoCancel, QMessageBox::Yes,
         MessageAnswer::Yes},
        {MessageIcon::Information, QMessageBox::Information, MessageButtons::RetryCancel, QMessageBox::Retry,
         MessageAnswer::Retry},
    };
    QtDialogService service;
    for (const auto& c : cases) {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
        qimtest::WhenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = static_cast<int>(box->buttons().size());
            box->button(c.press)->click();
        });
        platform::MessageBoxRequest request;
        request.caption = "Qim";
        request.text = qimtest::Sjis("ﾒｰﾙを削除しますか？");
        request.icon = c.icon;
        request.buttons = c.buttons;
        EXPECT_EQ(service.MessageBox(request), c.answer);
        EXPECT_EQ(title.toStdString(), "Qim");
        EXPECT_EQ(text.toStdString(), "ﾒｰﾙを削除しますか？");
        EXPECT_EQ(icon, c.shown);
        EXPECT_GE(buttons, 1);
    }
}

TEST(QtDialogs, InputBoxHidesAPasswordAndGivesShiftJis) {
    qimtest::QimTestApp();
    QtDialogService service;
    QString label;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
    qimtest::WhenModalOpens([&](QWidget* modal) {
        auto* input = qobject_cast<QInputDialog*>(modal);
        ASSERT_NE(input, nullptr);
        label = input->labelText();
        echo = input->textEchoMode();
        input->setTextValue(QString::fromUtf8("ひみつ"));
        input->accept();
    });
    platform::InputBoxRequest request;
    request.caption = qimtest::Sjis("パスワードの入力");
    request.prompt = qimtest::Sjis("パスワード：");
    request.password = true;
    request.maxLength = 5;  // bytes: two whole characters fit
    std::string text;
    ASSERT_TRUE(service.InputBox(request, text));
    EXPECT_EQ(label.toStdString(), "パスワード：");
    EXPECT_EQ(echo, QLineEdit::Password);
    EXPECT_EQ(text, qimtest::Sjis("ひみ"));

    qimtest::WhenModalOpens([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
    EXPECT_FALSE(service.InputBox(request, text));
}

TEST(QtDialogs, FolderDialogGivesTheChosenFolder) {
    qimtest::QimTestApp();
    qimtest::TempDir dir;
    const std::string folder = dir.File("添付");
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    QtDialogService service;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    qimtest::WhenModalOpens([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        mode = dialog->fileMode();
        dialog->selectFile(QString::fromStdString(folder));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    platform::FileDialogRequest request;
    request.kind = platform::FileDialogKind::Folder;
    request.initialDir = dir.Path();
    std::vector<std::string> paths;
    ASSERT_TRUE(service.FileDialog(request, paths));
    EXPECT_EQ(mode, QFileDialog::Directory);
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0], qimtest::Sjis(folder));
}

TEST(QtDialogs, FileFiltersInQtForm) {
    EXPECT_EQ(QtFileFilter(qimtest::Sjis("すべてのﾌｧｲﾙ (*.*)|*.*|ﾃｷｽﾄﾌｧｲﾙ (*.txt)|*.txt|")).toStdString(),
              "すべてのﾌｧｲﾙ (*.*);;ﾃｷｽﾄﾌｧｲﾙ (*.txt)");
    EXPECT_EQ(QtFileFilter(qimtest::Sjis("ｱｰｶｲﾌﾞﾌｧｲﾙ|*.lzh;*.zip|")).toStdString(), "ｱｰｶｲﾌﾞﾌｧｲﾙ (*.lzh *.zip)");
}

SUserInetData Account() {
    SUserInetData d;
    d.userName = qimtest::Sjis("太郎");
    d.password = "pw";
    d.mailAddress = "taro@example.jp";
    d.addrPhrase = "kept";
    d.pop3Server = "pop.example.jp";
    d.pop3Port = 110;
    d.smtpServer = "smtp.example.jp";
    d.smtpPort = 25;
    d.clientAddr = "me.example.jp";
    return d;
}

TEST(NetworkSettingsDialog, ShowsTheRecordAndGivesBackTheEditedOne) {
    qimtest::QimTestApp();
    const SUserInetData original = Account();
    TNetworkSettingsDlg dialog(nullptr, original);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "ネットワーク関係の設定");
    EXPECT_EQ(dialog.userName->text().toStdString(), "太郎");
    EXPECT_EQ(dialog.password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.pop3Port->value(), 110);
    dialog.userName->setText(QString::fromUtf8("花子"));
    dialog.smtpServer->setText(" mail.example.jp ");
    dialog.pop3Port->setValue(143);
    dialog.mailBoxType->setChecked(true);
    SUserInetData edited;
    ASSERT_TRUE(dialog.Collect(edited));
    EXPECT_EQ(edited.userName, qimtest::Sjis("花子"));
    EXPECT_EQ(edited.smtpServer, "mail.example.jp");
    EXPECT_EQ(edited.pop3Port, 143);
    EXPECT_EQ(edited.mailBoxType, 1);
    EXPECT_EQ(edited.addrPhrase, "kept");  // not the dialog's to change
    EXPECT_TRUE(edited.NeedsRestartAfter(original));

    // A character without a Shift_JIS form is refused with a box.
    dialog.userName->setText(QString::fromUtf8("caf\u00e9"));
    bool warned = false;
    qimtest::WhenModalOpens([&](QWidget* modal) {
        warned = qobject_cast<QMessageBox*>(modal) != nullptr;
        qobject_cast<QDialog*>(modal)->reject();
    });
    SUserInetData refused = original;
    EXPECT_FALSE(dialog.Collect(refused));
    EXPECT_TRUE(warned);
    EXPECT_EQ(refused.userName, original.userName);
}

TEST(OptionDialogs, DefaultSortAndPgpUsageEditTheirBitsOnly) {
    qimtest::QimTestApp();
    // 0x1b1: with a bit the dialog does not know (0x100), which stays as it was.
    const int stored = 0x100 | kSortEveryFolder | kSortDescending | kSortOn | qimstore::kColumnDate;
    TDefaultSortDlg sort(nullptr, stored);
    EXPECT_TRUE(sort.sortOn->isChecked());
    EXPECT_EQ(sort.column->currentIndex(), qimstore::kColumnDate);
    EXPECT_TRUE(sort.descending->isChecked());
    EXPECT_FALSE(sort.thread->isChecked());
    EXPECT_TRUE(sort.everyFolder->isChecked());
    EXPECT_EQ(sort.Value(), stored);
    sort.column->setCurrentIndex(qimstore::kColumnSubject);
    sort.descending->setChecked(false);
    sort.thread->setChecked(true);
    EXPECT_EQ(sort.Value(), 0x100 | kSortOn | kSortThread | kSortEveryFolder | qimstore::kColumnSubject);

    TPgpUsageDlg pgp(nullptr, 6);
    EXPECT_FALSE(pgp.usePgp->isChecked());
    pgp.usePgp->setChecked(true);
    EXPECT_EQ(pgp.Usage(), 6 | kPgpUsed);
}

}  // namespace

namespace {

// The secure-connection choices: the TLS ports choose TLS, and the record gets every choice.
TEST(NetworkSettingsDialog, OffersTheSecureConnectionChoices) {
    qimtest::QimTestApp();
    SUserInetData original = Account();
    original.smtpUser = "sender";
    TNetworkSettingsDlg dialog(nullptr, original);
    EXPECT_EQ(dialog.pop3Security->currentIndex(), 0);
    EXPECT_EQ(dialog.pop3Security->count(), 3);
    EXPECT_EQ(dialog.smtpUser->text().toStdString(), "sender");
    dialog.pop3Port->setValue(995);
    EXPECT_EQ(dialog.pop3Security->currentIndex(), 2);
    dialog.smtpPort->setValue(587);
    EXPECT_EQ(dialog.smtpSecurity->currentIndex(), 1);
    dialog.smtpAuth->setChecked(true);
    dialog.tlsCaFile->setText("/etc/company-ca.pem");
    SUserInetData edited;
    ASSERT_TRUE(dialog.Collect(edited));
    EXPECT_EQ(edited.pop3Security, 2);
    EXPECT_EQ(edited.smtpSecurity, 1);
    EXPECT_EQ(edited.smtpAuth, 1);
    EXPECT_FALSE(edited.smtpAuthPlainText);
    EXPECT_EQ(edited.tlsCaFile, "/etc/company-ca.pem");
}

// The trust question answers by the button clicked; Esc (like Enter) does not connect.
TEST(CertificateQuestionBox, AnswersByTheButtonAndRefusesOnEscape) {
    qimtest::QimTestApp();
    const struct {
        const char* button;  // UTF-8 start of the button's text; null: Esc
        platform::TrustAnswer answer;
    } cases[] = {
        {"今回だけ", platform::TrustAnswer::Once},
        {"常に", platform::TrustAnswer::Always},
        {nullptr, platform::TrustAnswer::Refuse},
    };
    for (const auto& c : cases) {
        std::string shown;
        qimtest::WhenModalOpens([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr);
            shown = box->text().toStdString();
            if (!c.button) {
                box->reject();
                return;
            }
            for (QAbstractButton* b : box->buttons())
                if (b->text().startsWith(QString::fromUtf8(c.button))) b->click();
        });
        TCertificateQuestion question;
        EXPECT_EQ(question.AskTrust(qimtest::Sjis("mail.example.jp の証明書\nSHA-256: AB:CD")), c.answer)
            << (c.button ? c.button : "Esc");
        EXPECT_NE(shown.find("mail.example.jp の証明書"), std::string::npos);
    }
}

}  // namespace
