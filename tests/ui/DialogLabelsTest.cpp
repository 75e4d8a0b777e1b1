// Every dialog speaks Japanese: Qt's own buttons and menus through its
// Japanese translation, and each caption of ours from the string table. A
// caption that is empty, a settings key shown raw, or plain ASCII where a
// Japanese text belongs is a fault.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QFile>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabBar>
#include <functional>
#include <memory>

#include "address/SAddressBookEditor.h"
#include "address/SAlias.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SSettingData.h"
#include "config/SUserInetData.h"
#include "crypt/SKeyFile.h"
#include "platform/ScriptedDialogService.h"
#include "send/SEMailHeader.h"
#include "send/SSendMail.h"
#include "filters/SSubsFrom.h"
#include "store/SQimMailData.h"
#include "tests/app/AppTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QtDialogService.h"
#include "ui/SAddAliasDlg.h"
#include "ui/SEditAddressListDlg.h"
#include "ui/SReceiveMailsDlg.h"
#include "ui/SSubsFromDlg.h"
#include "ui/SAMFDialog.h"
#include "ui/SMoveFilesDialog.h"
#include "ui/TAttachDialog.h"
#include "ui/TCryptDialogs.h"
#include "ui/TDeleteConfirmDlg.h"
#include "ui/TNetworkSettingsDlg.h"
#include "ui/TOptionDialogs.h"
#include "ui/TSaveFolderDlg.h"
#include "ui/TSendMailDlg.h"
#include "ui/TTemplatesDlg.h"

namespace {

// The keys of config/QimSettingKeys.h, read from the header itself so that a
// key added there is checked too.
QSet<QString> SettingKeys() {
    QFile header(QStringLiteral(QIM_TEST_DATA_DIR "/../../config/QimSettingKeys.h"));
    EXPECT_TRUE(header.open(QIODevice::ReadOnly)) << "config/QimSettingKeys.h";
    const QString text = QString::fromUtf8(header.readAll());
    QSet<QString> keys;
    const QRegularExpression key(QStringLiteral("constexpr const char\\* \\w+ = \"([^\"]+)\""));
    for (auto it = key.globalMatch(text); it.hasNext();) keys.insert(it.next().captured(1).toLower());
    EXPECT_GT(keys.size(), 50);
    return keys;
}

// ASCII texts that are right as they are: header field names, Qt's "OK", and
// the receive dialog's second button, which the design captions "Cancel".
bool AsciiOnPurpose(const QString& text) {
    static const QSet<QString> allowed = {"OK", "To", "Cc", "Bcc", "From", "Subject", "Date", "No.", "Cancel"};
    return allowed.contains(text);
}

// A caption as the user reads it: without its accelerator mark, a closing
// colon and blanks.
QString Bare(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)|&(?=.)")));
    text.remove(QRegularExpression(QStringLiteral("[:：\\s]+$")));
    return text.trimmed();
}

bool IsAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80) return false;
    return true;
}

// The captions of `dialog`: its title, its buttons, group boxes and the
// labels that name a field (form labels and labels with a buddy). Labels that
// show a value (a mail's sender, a status line) are not captions.
std::vector<std::pair<QString, QString>> Captions(QWidget* dialog) {
    std::vector<std::pair<QString, QString>> out;
    // A box-like dialog takes the application's name, as every box does.
    if (dialog->windowTitle() != QStringLiteral("Qim")) out.emplace_back(QStringLiteral("title"), dialog->windowTitle());
    for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>()) {
        // The scroll arrows of a tab bar carry no text.
        if (qobject_cast<QTabBar*>(b->parentWidget())) continue;
        if (b->isVisibleTo(dialog) && b->icon().isNull()) out.emplace_back(b->metaObject()->className(), b->text());
    }
    for (QGroupBox* g : dialog->findChildren<QGroupBox*>())
        if (g->isVisibleTo(dialog)) out.emplace_back(QStringLiteral("QGroupBox"), g->title());
    QSet<QLabel*> names;
    for (QFormLayout* form : dialog->findChildren<QFormLayout*>())
        for (int row = 0; row < form->rowCount(); ++row)
            if (QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole))
                if (auto* label = qobject_cast<QLabel*>(item->widget())) names.insert(label);
    for (QLabel* l : dialog->findChildren<QLabel*>())
        if (l->buddy()) names.insert(l);
    for (QLabel* l : names)
        if (l->isVisibleTo(dialog)) out.emplace_back(QStringLiteral("QLabel"), l->text());
    return out;
}

void ExpectJapaneseCaptions(QWidget* dialog, const QSet<QString>& keys) {
    SCOPED_TRACE(dialog->metaObject()->className());
    for (const auto& [kind, text] : Captions(dialog)) {
        const QString bare = Bare(text);
        EXPECT_FALSE(bare.isEmpty()) << kind.toStdString() << " without a text";
        EXPECT_FALSE(keys.contains(bare.toLower())) << kind.toStdString() << " shows the key " << text.toStdString();
        EXPECT_TRUE(!IsAscii(bare) || AsciiOnPurpose(bare))
            << kind.toStdString() << " in ASCII: " << text.toStdString();
    }
}

class DialogLabels : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        qimtest::QimTestApp();
        QimHomeTest::SetUp();
    }
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService scoped_{dialogs_};
};

TEST_F(DialogLabels, QtsOwnButtonsAndMenusSpeakJapanese) {
    QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Yes | QDialogButtonBox::No);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().toStdString(), "キャンセル");
    EXPECT_EQ(Bare(buttons.button(QDialogButtonBox::Yes)->text()).toStdString(), "はい");
    EXPECT_EQ(Bare(buttons.button(QDialogButtonBox::No)->text()).toStdString(), "いいえ");
    // The context menus of a line edit and of a text view.
    for (QWidget* editor : std::initializer_list<QWidget*>{new QLineEdit, new QPlainTextEdit}) {
        std::unique_ptr<QWidget> owned(editor);
        std::unique_ptr<QMenu> menu(qobject_cast<QLineEdit*>(editor)
                                        ? qobject_cast<QLineEdit*>(editor)->createStandardContextMenu()
                                        : qobject_cast<QPlainTextEdit*>(editor)->createStandardContextMenu());
        ASSERT_NE(menu, nullptr);
        int items = 0;
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) continue;
            ++items;
            EXPECT_FALSE(IsAscii(Bare(a->text()))) << a->text().toStdString();
        }
        EXPECT_GT(items, 3);
    }
}

TEST_F(DialogLabels, EveryDialogCaptionIsJapaneseAndNoneIsASettingsKey) {
    const QSet<QString> keys = SettingKeys();
    SUserInetData inet;
    inet.pop3Server = "127.0.0.1";
    inet.userName = "taro";
    SSettingData settings;
    SSaveMailFolderProperty folder{kSaveHomeRelative, "sent"};
    SQimMailData mail;
    mail.number = 3;
    SAddressBookEditor addressBook;
    addressBook.Open();
    SKeyFileSettings keySettings;
    SMailKeyChooser chooser(SMailKeyChooser::Mode::Encrypt, keySettings, "");
    SKeyFileEditor keyFile("");
    keyFile.Load(nullptr);
    SEMailMimeHeader header;
    SLoginAlreadyConfirmed login;
    SSendMail send(inet, header, login, [](const SNotice&) {});

    const std::vector<std::function<QWidget*()>> makers = {
        [&] { return new SAddAliasDlg(nullptr, SAlias{}); },
        [&] { return new SEditAddressListDlg(nullptr, addressBook); },
        [&] { return new SNewSubsFromDialog(nullptr, SSubsFrom{}); },
        [&] { return new SSubsFromDlg(nullptr, SSubsFromArray{}); },
        [&] { return new SMoveFilesDialog(nullptr, SAutoMoveFilesData{}, home_); },
        [&] { return new SAMFDialog(nullptr, SSortRuleSet::Local2, home_); },
        [&] { return new TAttachDialog(nullptr, "text", home_); },
        [&] { return new TCryptKeyDlg(nullptr, chooser, "hanako@x.jp"); },
        [&] { return new TKeyFileEditDlg(nullptr, keyFile); },
        [&] { return new TDeleteConfirmDlg(nullptr, mail, false, "?", true); },
        [&] { return new TNetworkSettingsDlg(nullptr, inet); },
        [&] { return new TDefaultSortDlg(nullptr, 0x31); },
        [&] { return new TPgpUsageDlg(nullptr, 1); },
        [&] { return new TSaveFolderDlg(nullptr, folder, false); },
        [&] { return new TSaveFolderDlg(nullptr, folder, true); },
        [&] { return new TSendMailDlg(nullptr, send); },
        [&] { return new TTemplatesDlg(nullptr); },
        [&] { return new SReceiveMailsDlg(nullptr, inet, settings, home_); },
    };
    for (const auto& make : makers) {
        std::unique_ptr<QWidget> dialog(make());
        ExpectJapaneseCaptions(dialog.get(), keys);
    }

    // The password prompt with its check box, as the program shows it.
    QtDialogService qt;
    qimtest::WhenModalOpens([&](QWidget* modal) {
        ExpectJapaneseCaptions(modal, keys);
        static_cast<QDialog*>(modal)->reject();
    });
    platform::InputBoxRequest request;
    request.caption = LoadQimString(qimstr::PasswordDialogCaption);
    request.prompt = LoadQimString(qimstr::PasswordLabel);
    request.password = true;
    std::string typed;
    bool save = false;
    EXPECT_FALSE(qt.InputBoxWithCheck(request, LoadQimString(qimstr::SavePasswordCheck), typed, save));
}

}  // namespace
