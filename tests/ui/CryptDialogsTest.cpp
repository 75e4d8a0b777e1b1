// The key dialog of a mail and the key-file editor as windows: what is typed
// reaches the checks of crypt/, and what they decide closes the window or not.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/AppTestSupport.h"
#include "crypt/SKeyFile.h"
#include "platform/ScriptedDialogService.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TCryptDialogs.h"

namespace {

void PressOk(QWidget* dialog) {
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
}

class CryptDialogsTest : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        qimtest::QimTestApp();
        QimHomeTest::SetUp();
    }
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService scoped_{dialogs_};
};

TEST_F(CryptDialogsTest, MailKeyDialogStaysOpenUntilTheTwoKeysAgree) {
    SKeyFileSettings settings;
    SMailKeyChooser chooser(SMailKeyChooser::Mode::Encrypt, settings, "");
    int presses = 0;
    std::function<void(QWidget*)> answer = [&](QWidget* modal) {
        auto* dialog = qobject_cast<TCryptKeyDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->address->text().toStdString(), "hanako@x.jp");
        EXPECT_FALSE(dialog->fromKeyFile->isEnabled());
        dialog->key->setText("secret");
        dialog->keyAgain->setText(++presses == 1 ? "secreT" : "secret");
        PressOk(dialog);
        if (dialog->isVisible()) qimtest::WhenModalOpens(answer);
    };
    qimtest::WhenModalOpens(answer);
    TQtCryptKeyPrompt prompt;
    unsigned char key[8] = {};
    EXPECT_EQ(prompt.AskMailKey(nullptr, chooser, "hanako@x.jp", key), SCryptKeyPrompt::Result::Ok);
    EXPECT_EQ(presses, 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(key), 8), std::string("secret\0\0", 8));
    ASSERT_EQ(dialogs_.Boxes().size(), 1u);
    EXPECT_EQ(dialogs_.Boxes()[0].text, qimtest::Sjis("２回の入力の鍵が一致していません。再入力して下さい。"));

    qimtest::WhenModalOpens([](QWidget* modal) { static_cast<QDialog*>(modal)->reject(); });
    EXPECT_EQ(prompt.AskMailKey(nullptr, chooser, "", key), SCryptKeyPrompt::Result::Cancelled);
}

TEST_F(CryptDialogsTest, KeyFileEditorRegistersAddressesAndSavesTheFile) {
    SKeyFileEditor editor("");
    ASSERT_TRUE(editor.Load(nullptr));
    qimtest::WhenModalOpens([](QWidget* modal) {
        auto* dialog = qobject_cast<TKeyFileEditDlg*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->address->setText("taro@x.jp");
        dialog->key->setText("k1");
        dialog->keyAgain->setText("k1");
        dialog->Add();
        EXPECT_EQ(dialog->list->count(), 1);
        EXPECT_TRUE(dialog->key->text().isEmpty());
        dialog->lock->setCurrentIndex(2);
        dialog->lookup->setChecked(true);
        PressOk(dialog);
    });
    TKeyFileEditDlg dialog(nullptr, editor);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    std::vector<SKeyRecord> records;
    ASSERT_EQ(SKeyFile().Read(BuiltInKeyFileKey(), records), SKeyFileStatus::Ok);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Address(), "taro@x.jp");
    EXPECT_EQ(Stored(Config(), "CryptMail", "KeyFileLock"), "2");
    EXPECT_EQ(Stored(Config(), "CryptMail", "KeyFileExist"), "1");
}

}  // namespace
