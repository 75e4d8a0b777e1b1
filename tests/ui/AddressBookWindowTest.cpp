#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCompleter>
#include <QLineEdit>
#include <QMenu>
#include <QTreeView>
#include <QTreeWidget>
#include <functional>

#include "address/SAddressBookEditor.h"
#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/SQimSendSettingData.h"
#include "config/SUserInetData.h"
#include "platform/ScriptedDialogService.h"
#include "send/SSendMail.h"
#include "store/QimStoreCodes.h"
#include "tests/address/AddressTestSupport.h"
#include "tests/store/StoreTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/SAddAliasDlg.h"
#include "ui/SEditAddressListDlg.h"
#include "ui/SSubsFromDlg.h"
#include "ui/TAliasMenu.h"
#include "ui/THeaderListModel.h"
#include "ui/TQimFrame.h"
#include "ui/TQimSendWindow.h"
#include "ui/TQimWindow.h"
#include "ui/TQimWindows.h"

namespace {

using platform::MessageAnswer;
using qimtest::Sjis;
using qimtest::Utf8;

void Settle() {
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

// Calls `act` once a window of type T is the active modal one (or, for a
// menu, the active pop-up).
template <typename T>
void WhenOpens(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        QWidget* open = QApplication::activePopupWidget();
        if (!qobject_cast<T*>(open)) open = QApplication::activeModalWidget();
        if (T* window = qobject_cast<T*>(open)) {
            timer->stop();
            timer->deleteLater();
            act(window);
        }
    });
    timer->start();
}

// The menu's items, sub-menus walked, as "id text".
void Items(const QMenu* menu, std::vector<std::string>& out) {
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            out.push_back("[" + a->text().toStdString() + "]");
            Items(a->menu(), out);
        } else if (!a->isSeparator()) {
            out.push_back(std::to_string(a->data().toInt()) + " " + a->text().toStdString());
        }
    }
}

QAction* FindAction(const QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            if (QAction* inner = FindAction(a->menu(), text)) return inner;
        } else if (a->text() == text) {
            return a;
        }
    }
    return nullptr;
}

class AddressBookWindows : public addresstest::AliasHome {
protected:
    void SetUp() override {
        AliasHome::SetUp();
        qimtest::QimTestApp();
        WriteAliasIni(
            "[Address Folders]\nNum=2\nF1=\"1 0 仕事\"\n"
            "[Usual Alias]\nNum=3\nAlias0=山田\nAddress0=yamada@example.jp\nAlias1=big\nAddress1=\\big.txt\n"
            "Alias2=team\nAddress2=\\team.txt\n"
            "[F1]\nNum=1\nAlias0=部長\nAddress0=\"Bucho\" <bucho@example.jp>\n");
        std::string big;
        for (int i = 0; i < 101; ++i) big += "m" + std::to_string(i) + "@x\r\n";
        WriteHomeFile("big.txt", big);
        WriteHomeFile("team.txt", "a@x\r\nb@x\r\n");
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const platform::RecordedBox& b : dialogs_.Boxes())
            if (b.kind == platform::RecordedBox::Kind::Message) texts.push_back(Utf8(b.text));
        return texts;
    }
    // Opens the alias menu of `field` and picks `item` (or only looks, when empty).
    std::vector<std::string> PickFromAliasMenu(QLineEdit* field, const QString& item) {
        std::vector<std::string> shown;
        WhenOpens<QMenu>([&](QMenu* menu) {
            Items(menu, shown);
            if (QAction* action = item.isEmpty() ? nullptr : FindAction(menu, item)) action->trigger();
            menu->close();
        });
        emit field->customContextMenuRequested(QPoint(4, 4));
        return shown;
    }

    SUserInetData inet_;
    SQimSendSettingData settings_;
    SLoginAlreadyConfirmed login_;
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService scope_{dialogs_};
};

TEST_F(AddressBookWindows, TheComposeWindowsAliasMenuInsertsTheChosenAddress) {
    TQimSendWindow window(inet_, settings_, login_, false);
    window.show();
    const std::vector<std::string> menu = PickFromAliasMenu(window.toEdit, QString::fromUtf8("山田"));
    EXPECT_EQ(menu, (std::vector<std::string>{"24324 貼り付け", "3000 山田", "3001 big", "3002 team", "[仕事]",
                                              "3003 部長"}));
    EXPECT_EQ(window.toEdit->text().toStdString(), "yamada@example.jp");
    PickFromAliasMenu(window.toEdit, QString::fromUtf8("部長"));
    EXPECT_EQ(window.toEdit->text().toStdString(), "yamada@example.jp, \"Bucho\" <bucho@example.jp>");
    PickFromAliasMenu(window.ccEdit, "team");
    EXPECT_EQ(window.ccEdit->text().toStdString(), "a@x, b@x");

    // A list of too many items: the error box, nothing inserted.
    PickFromAliasMenu(window.bccEdit, "big");
    EXPECT_EQ(window.bccEdit->text().toStdString(), "");
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"変です。ファイルが存在するか、リストの項目が多すぎないか確認して下さい。"}));
    EXPECT_EQ(dialogs_.Boxes().at(0).icon, platform::MessageIcon::Stop);
    EXPECT_EQ(dialogs_.Boxes().at(0).caption, "Qim");
}

TEST_F(AddressBookWindows, TypedAliasNamesAreCompletedAndExpandedWhenTheFieldsAreCollected) {
    TQimSendWindow window(inet_, settings_, login_, false);
    window.show();
    auto* completer = window.toEdit->findChild<TAddressCompleter*>();
    ASSERT_NE(completer, nullptr);
    window.toEdit->setText("x@y, yam");
    window.toEdit->end(false);
    emit window.toEdit->textEdited(window.toEdit->text());
    EXPECT_EQ(completer->Completer()->completionCount(), 1);  // the address; 山田 does not begin so
    emit completer->Completer()->activated(QStringLiteral("yamada@example.jp"));
    EXPECT_EQ(window.toEdit->text().toStdString(), "x@y, yamada@example.jp");

    window.toEdit->setText(QString::fromUtf8("山田, z@w"));
    window.ccEdit->setText("team");
    window.bccEdit->setText("\\team.txt");
    window.CollectFields();
    EXPECT_EQ(window.Header().to, "yamada@example.jp, z@w");
    EXPECT_EQ(window.Header().cc, "a@x, b@x");
    EXPECT_EQ(window.Header().bcc, "\\team.txt");
}

TEST_F(AddressBookWindows, TheEditorRefusesWhatItMustAndSavesOnOk) {
    SAddressBookEditor editor;
    ASSERT_FALSE(editor.Open());
    SEditAddressListDlg dialog(nullptr, editor);
    dialog.show();
    ASSERT_EQ(dialog.folders->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.entries->topLevelItemCount(), 3);

    dialogs_.AnswerInput(Sjis("仕事"));
    dialog.NewFolder();
    dialog.SelectFolder(0);
    dialog.DeleteFolder();   // refused before any question
    dialog.RenameFolder();
    dialog.ToggleMenu();
    dialog.SelectEntries({0});
    dialog.DropEntriesOn(0);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"既に同名のフォルダーが存在します。",
                                                 "よく使うアドレス は特別なフォルダーなので削除できません。",
                                                 "よく使うアドレス は特別なフォルダーなので名前を変更できません。",
                                                 "よく使うアドレス は特別なフォルダーなので非メニューに設定できません。",
                                                 "同じフォルダー間での移動(コピー)は出来ません。"}));
    for (const platform::RecordedBox& box : dialogs_.Boxes()) {
        if (box.kind != platform::RecordedBox::Kind::Message) continue;
        EXPECT_EQ(box.icon, platform::MessageIcon::Exclamation);
        EXPECT_EQ(box.caption, "Qim");
    }
    EXPECT_EQ(dialog.folders->topLevelItemCount(), 2);

    // Moving 山田 into 仕事, then deleting 仕事 after its question.
    dialog.moveMode->setChecked(true);
    dialog.SelectEntries({0});
    dialog.DropEntriesOn(1);
    EXPECT_EQ(dialog.entries->topLevelItemCount(), 2);
    dialogs_.Clear();
    dialogs_.AnswerInput(Sjis("新規"));
    dialog.NewFolder();
    EXPECT_EQ(dialog.CurrentFolderId(), 2);
    dialog.SelectFolder(1);
    EXPECT_EQ(dialog.entries->topLevelItemCount(), 2);
    dialogs_.AnswerMessage(MessageAnswer::Yes);
    dialog.DeleteFolder();
    EXPECT_EQ(Boxes(), std::vector<std::string>{"仕事 を削除しますか？"});
    EXPECT_EQ(dialog.folders->topLevelItemCount(), 2);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(Key("Address Folders", "F1"), "2 1 新規");
    EXPECT_EQ(Key("F1", "Num"), "<none>");
    EXPECT_EQ(Key("Usual Alias", "Alias0"), "big");
    EXPECT_EQ(Key("Usual Alias", "Num"), "2");
}

TEST_F(AddressBookWindows, ADamagedAddressBookIsReportedAndNotOpened) {
    WriteAliasIni("[Address Folders]\nNum=2\nF1=\"nonsense\"\n");
    const std::string before = qimtest::ReadFileBytes(AliasIni());
    EXPECT_FALSE(RunAddressBookEditor(nullptr));
    EXPECT_EQ(Boxes(), std::vector<std::string>{"変です。設定ファイルが壊れていませんか？"});
    EXPECT_EQ(qimtest::ReadFileBytes(AliasIni()), before);
}

class HeaderListFrom : public AddressBookWindows {
protected:
    void SetUp() override {
        AddressBookWindows::SetUp();
        storetest::WriteMail(home_, 1, storetest::Mail("s1", "1 Dec 2026 10:00:00 +0900", Sjis("山田 <yamada@example.jp>")));
        storetest::WriteMail(home_, 2, storetest::Mail("s2", "2 Dec 2026 10:00:00 +0900", "other@example.jp"));
    }
    static std::string FromOf(const TQimWindow& w, int row) {
        return w.Model()->index(row, qimstore::kColumnFrom).data().toString().toStdString();
    }
};

TEST_F(HeaderListFrom, AnEditedSubstitutionShowsAtOnceWithoutAReload) {
    TQimApp& app = qimtest::QimTestApp();
    ASSERT_TRUE(app.ReplaceSubsFrom(SSubsFromArray()));
    TQimWindows windows(app);
    app.SetWindowLayer(&windows);
    TQimFrame* frame = windows.CreateMainFrame();
    TQimWindow* w = windows.Window();
    ASSERT_NE(w, nullptr);
    Settle();
    ASSERT_EQ(w->Model()->rowCount(), 2);
    EXPECT_EQ(FromOf(*w, 1), "山田 <yamada@example.jp>");
    int resets = 0, fromChanges = 0;
    QObject::connect(w->Model(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    QObject::connect(w->Model(), &QAbstractItemModel::dataChanged, [&](const QModelIndex& a, const QModelIndex&) {
        if (a.column() == qimstore::kColumnFrom) ++fromChanges;
    });

    WhenOpens<SSubsFromDlg>([&](SSubsFromDlg* list) {
        WhenOpens<SNewSubsFromDialog>([](SNewSubsFromDialog* rule) {
            rule->fromEdit->setText("yamada@");
            rule->subsEdit->setText(QString::fromUtf8("山田部長"));
            rule->accept();
        });
        list->AddRule();
        EXPECT_EQ(list->list->topLevelItem(0)->text(1).toStdString(), "yamada@");
        EXPECT_EQ(list->list->topLevelItem(0)->text(3).toStdString(), "v");  // MatchCase by default
        EXPECT_EQ(list->list->topLevelItem(0)->text(4).toStdString(), "");
        list->accept();
    });
    ASSERT_TRUE(frame->ExecCommand(qimcmd::FromSubstitution));
    EXPECT_EQ(FromOf(*w, 1), "山田部長");
    EXPECT_EQ(FromOf(*w, 0), "other@example.jp");
    EXPECT_EQ(resets, 0);
    EXPECT_GE(fromChanges, 1);
    EXPECT_EQ(Key("SubsFrom", "From0"), "yamada@");
    EXPECT_EQ(Key("SubsFrom", "Subs0"), "山田部長");
    EXPECT_EQ(Key("SubsFrom", "Opt0"), "4");

    ASSERT_TRUE(app.ReplaceSubsFrom(SSubsFromArray()));
    app.SetWindowLayer(nullptr);
}

TEST_F(HeaderListFrom, TheSenderOfTheSelectedMailIsRegisteredInFolderZero) {
    TQimWindow w(home_);
    w.show();
    Settle();
    std::string prefilled, popup;
    WhenOpens<SAddAliasDlg>([&](SAddAliasDlg* dialog) {
        prefilled = dialog->aliasEdit->text().toStdString() + " / " + dialog->addressEdit->text().toStdString();
        dialog->commentEdit->setText(QString::fromUtf8("取引先"));
        dialog->accept();
    });
    // The pop-up of the row under the mouse.
    WhenOpens<QMenu>([&](QMenu* menu) {
        std::vector<std::string> items;
        Items(menu, items);
        popup = items.empty() ? "" : items[0];
        if (QAction* action = FindAction(menu, QString::fromUtf8("住所録に登録"))) action->trigger();
        menu->close();
    });
    emit w.List()->customContextMenuRequested(w.List()->visualRect(w.Model()->index(1, 0)).center());
    EXPECT_EQ(popup, "30750 住所録に登録");
    EXPECT_EQ(prefilled, "山田 / yamada@example.jp");
    EXPECT_EQ(Key("Usual Alias", "Num"), "4");
    EXPECT_EQ(Key("Usual Alias", "Alias3"), "山田");
    EXPECT_EQ(Key("Usual Alias", "Address3"), "yamada@example.jp");
    EXPECT_EQ(Key("Usual Alias", "Comment3"), "取引先");
}

}  // namespace
