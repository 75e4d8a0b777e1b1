#include <gtest/gtest.h>

#include <functional>

#include "address/SAddressBookEditor.h"
#include "tests/address/AddressTestSupport.h"

namespace {

using platform::MessageIcon;
using qimtest::Sjis;
using qimtest::Utf8;

class AddressBookEditor : public addresstest::AliasHome {
protected:
    void SetUp() override {
        AliasHome::SetUp();
        WriteAliasIni(
            "[Address Folders]\nNum=4\nF0=\"0 0 よく使うアドレス\"\nF1=\"1 0 仕事\"\nF2=\"3 0 友人\"\nF3=\"4 1 古い\"\n"
            "[Usual Alias]\nNum=1\nAlias0=a\nAddress0=a@x\n"
            "[F1]\nNum=2\nAlias0=w1\nAddress0=w1@x\nComment0=\"c1\"\nAlias1=w2\nAddress1=w2@x\n"
            "[F3]\nNum=1\nAlias0=f1\nAddress0=f1@x\n"
            "[F4]\nNum=1\nAlias0=old\nAddress0=old@x\n");
        ASSERT_FALSE(editor_.Open());
    }
    static std::string Text(const SAddressBookRefusal& refusal) { return refusal ? Utf8(refusal->text) : "(none)"; }
    std::vector<std::string> Aliases(int id) {
        std::vector<std::string> names;
        for (const SAlias& a : editor_.Contents(id)->aliases) names.push_back(a.alias);
        return names;
    }

    SAddressBookEditor editor_;
};

TEST_F(AddressBookEditor, RefusalsNameTheirReason) {
    const struct {
        std::function<SAddressBookRefusal(SAddressBookEditor&)> command;
        std::string text;
    } cases[] = {
        {[](SAddressBookEditor& e) { return e.NewFolder(Sjis("仕事")); }, "既に同名のフォルダーが存在します。"},
        {[](SAddressBookEditor& e) { return e.RenameFolder(1, Sjis("友人")); }, "既に同名のフォルダーが存在します。"},
        {[](SAddressBookEditor& e) { return e.DeleteFolder(0); },
         "よく使うアドレス は特別なフォルダーなので削除できません。"},
        {[](SAddressBookEditor& e) { return e.RenameFolder(0, "x"); },
         "よく使うアドレス は特別なフォルダーなので名前を変更できません。"},
        {[](SAddressBookEditor& e) { return e.ToggleMenu(0); },
         "よく使うアドレス は特別なフォルダーなので非メニューに設定できません。"},
        {[](SAddressBookEditor& e) { return e.CopyEntries(1, {0}, 1, false); },
         "同じフォルダー間での移動(コピー)は出来ません。"},
        // Renaming a folder to its own name is no clash.
        {[](SAddressBookEditor& e) { return e.RenameFolder(1, Sjis("仕事")); }, "(none)"},
    };
    for (const auto& c : cases) {
        const SAddressBookRefusal refusal = c.command(editor_);
        EXPECT_EQ(Text(refusal), c.text);
        if (refusal) {
            EXPECT_EQ(refusal->icon, MessageIcon::Exclamation);
        }
    }
    EXPECT_EQ(Utf8(editor_.DeleteFolderQuestion(2)), "友人 を削除しますか？");
}

TEST_F(AddressBookEditor, NothingReachesTheFileBeforeSave) {
    const std::string before = qimtest::ReadFileBytes(AliasIni());
    int id = -1;
    ASSERT_FALSE(editor_.NewFolder("new", &id));
    EXPECT_EQ(id, 2);  // the smallest free id
    editor_.DeleteFolder(2);
    editor_.AddEntry(0, {"b", "b@x", ""});
    editor_.CopyEntries(1, {1}, 3, true);
    EXPECT_EQ(qimtest::ReadFileBytes(AliasIni()), before);
}

TEST_F(AddressBookEditor, SaveRemovesDeletedFoldersWritesTheListAndOnlyChangedFolders) {
    int id = -1;
    ASSERT_FALSE(editor_.NewFolder(Sjis("新規"), &id));
    ASSERT_EQ(id, 2);
    editor_.AddEntry(id, {"n", "n@x", Sjis("新しい")});
    ASSERT_FALSE(editor_.DeleteFolder(2));         // 友人 (id 3)
    ASSERT_FALSE(editor_.ToggleMenu(3));           // 古い back into the menu
    ASSERT_FALSE(editor_.RenameFolder(1, "Work"));
    // Dropping on a folder not loaded yet loads it first; move mode takes the entries out.
    ASSERT_FALSE(editor_.CopyEntries(1, {0}, 4, true));
    ASSERT_FALSE(editor_.CopyEntries(0, {0}, 4, false));
    EXPECT_TRUE(editor_.MoveEntry(4, 2, -1));
    EXPECT_FALSE(editor_.MoveEntry(4, 0, -1));
    EXPECT_EQ(Aliases(4), (std::vector<std::string>{"old", "a", "w1"}));
    EXPECT_EQ(Aliases(1), (std::vector<std::string>{"w2"}));

    ASSERT_FALSE(editor_.Save());
    EXPECT_EQ(AliasIniText(),
              "[Address Folders]\nNum=4\nF0=\"0 0 よく使うアドレス\"\nF1=\"1 0 Work\"\nF2=\"4 0 古い\"\nF3=\"2 1 新規\"\n"
              "[Usual Alias]\nNum=1\nAlias0=a\nAddress0=a@x\n"
              "[F1]\nNum=1\nAlias0=w2\nAddress0=w2@x\n"
              "[F4]\nNum=3\nAlias0=old\nAddress0=old@x\nAlias1=a\nAddress1=a@x\nAlias2=w1\nAddress2=w1@x\n"
              "Comment2=\"c1\"\n\n"
              "[F2]\nAlias0=n\nAddress0=n@x\nComment0=\"新しい\"\nNum=1\n");
}

TEST_F(AddressBookEditor, DeletingEntriesDownToNoneWritesNumZero) {
    editor_.DeleteEntries(1, {1, 0, 1});
    ASSERT_FALSE(editor_.Save());
    EXPECT_EQ(Key("F1", "Num"), "0");
    for (const char* key : {"Alias0", "Address0", "Comment0", "Alias1", "Address1"})
        EXPECT_EQ(Key("F1", key), "<none>") << key;
}

TEST_F(AddressBookEditor, ASaveThatCannotBeStoredWritesNothingAndSaysSo) {
    const std::string before = qimtest::ReadFileBytes(AliasIni());
    ASSERT_FALSE(editor_.DeleteFolder(3));
    ASSERT_FALSE(editor_.RenameFolder(1, std::string(257, 'x')));
    const SAddressBookRefusal refusal = editor_.Save();
    EXPECT_EQ(Text(refusal), "書き出すことが出来ませんでした。");
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->icon, MessageIcon::Stop);
    EXPECT_EQ(qimtest::ReadFileBytes(AliasIni()), before);
}

TEST_F(AddressBookEditor, ADamagedFolderListIsReported) {
    WriteAliasIni("[Address Folders]\nNum=2\nF1=\"garbage\"\n");
    SAddressBookEditor editor;
    const SAddressBookRefusal refusal = editor.Open();
    EXPECT_EQ(Text(refusal), "変です。設定ファイルが壊れていませんか？");
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->icon, MessageIcon::Stop);
}

}  // namespace
