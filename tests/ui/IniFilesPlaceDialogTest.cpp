// The options dialog of the settings kept on the server.
#include <gtest/gtest.h>

#include <QCheckBox>

#include "imap/IniFilesPlace.h"
#include "platform/ScriptedDialogService.h"
#include "support/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/SSetIniFilesToServerDlg.h"

namespace {

using namespace qimimap;

TEST(IniFilesPlaceDialog, EachBoxIsOneBitAndOkWithTheDeletionTickedWarnsFirst) {
    qimtest::QimTestApp();
    platform::ScriptedDialogService boxes;
    platform::ScopedDialogService scope(boxes);
    // 0x40 is no bit of the dialog's and stays as it is.
    SSetIniFilesToServerDlg dialog(nullptr, 0x40 | kIniFetchAtStart | kIniWithMainFile);
    EXPECT_EQ(dialog.windowTitle().toStdString(), "設定ファイルのコピーの設定");
    const struct {
        QCheckBox* box;
        int bit;
        const char* text;
    } boxesInOrder[] = {
        {dialog.fetchAtStart, kIniFetchAtStart, "起動時に設定ﾌｧｲﾙをｻｰﾊﾞｰからｺﾋﾟｰする(&T)"},
        {dialog.putAtExit, kIniPutAtExit, "終了時に設定ﾌｧｲﾙをｻｰﾊﾞｰにｺﾋﾟｰする(&F)"},
        {dialog.withKeyFile, kIniWithKeyFile, "暗号化鍵ﾌｧｲﾙも含める(&C)"},
        {dialog.deleteAtExit, kIniDeleteAtExit, "終了時に設定ファイルを削除する(&D)"},
        {dialog.withMainFile, kIniWithMainFile, "&QIM.INI も含める"},
    };
    for (const auto& b : boxesInOrder) {
        EXPECT_EQ(b.box->text().toStdString(), b.text);
        EXPECT_EQ(b.box->isChecked(), b.bit == kIniFetchAtStart || b.bit == kIniWithMainFile) << b.text;
        b.box->setChecked(!b.box->isChecked());
        EXPECT_EQ(dialog.Place() & b.bit, b.box->isChecked() ? b.bit : 0) << b.text;
        EXPECT_EQ(dialog.Place() & 0x40, 0x40);
        b.box->setChecked(!b.box->isChecked());
    }

    dialog.accept();
    EXPECT_TRUE(boxes.Boxes().empty()) << "no warning without the deletion";
    dialog.deleteAtExit->setChecked(true);
    dialog.accept();
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(qimtest::Utf8(boxes.Boxes()[0].text),
              "終了時に設定ファイルを削除する設定になっています。\n"
              "設定ファイルをサーバーにコピーしたかどうかに関係なく削除しますので注意して下さい。");
    EXPECT_EQ(boxes.Boxes()[0].icon, platform::MessageIcon::Exclamation);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Place(), 0x40 | kIniFetchAtStart | kIniWithMainFile | kIniDeleteAtExit);
}

}  // namespace
