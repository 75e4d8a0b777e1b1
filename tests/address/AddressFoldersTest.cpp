#include <gtest/gtest.h>

#include "address/SAddressArray.h"
#include "address/SAddressFolder.h"
#include "tests/address/AddressTestSupport.h"

namespace {

using qimtest::Sjis;
using qimtest::Utf8;

class AddressFolders : public addresstest::AliasHome {};

struct FolderRow {
    int id;
    std::string name;  // UTF-8
    unsigned short flags;
    bool operator==(const FolderRow&) const = default;
};

std::vector<FolderRow> Rows(const SAddressFolderList& list) {
    std::vector<FolderRow> rows;
    for (const SAddressFolder& f : list) rows.push_back({f.id, Utf8(f.name), f.flags});
    return rows;
}

TEST_F(AddressFolders, LoadGivesTheSpecialFolderFirstAndStopsAtTheFirstDamagedValue) {
    const FolderRow special{0, "よく使うアドレス", 0};
    const struct {
        const char* ini;
        bool ok;
        std::vector<FolderRow> folders;
    } cases[] = {
        {"", true, {special}},
        {"[Other]\nNum=4\n", true, {special}},
        // Index 0 of the file is never read; the name is the rest of the line;
        // only the menu bit of the flags is kept.
        {"[Address Folders]\nNum=3\nF0=\"0 1 x\"\nF1=\"1 0 仕事\"\nF2=\"7 3 友人 と 家族\"\n",
         true,
         {special, {1, "仕事", 0}, {7, "友人 と 家族", 1}}},
        {"[Address Folders]\nNum=3\nF1=\"1 0 a\"\n", false, {special, {1, "a", 0}}},
        {"[Address Folders]\nNum=2\nF1=\"x 0 a\"\n", false, {special}},
        {"[Address Folders]\nNum=2\nF1=\"1 0\"\n", false, {special}},
        {"[Address Folders]\nNum=2\nF1=\"1 0 \"\n", false, {special}},
        {"[Address Folders]\nNum=2\nF1=\"99999999999 0 a\"\n", false, {special}},
        // A folder claiming the special id, or the id of another, would share its section.
        {"[Address Folders]\nNum=2\nF1=\"0 0 a\"\n", false, {special}},
        {"[Address Folders]\nNum=3\nF1=\"4 0 a\"\nF2=\"4 0 b\"\n", false, {special, {4, "a", 0}}},
        // A count far beyond the keys ends at the first missing one, at once.
        {"[Address Folders]\nNum=2000000000\nF1=\"2 0 a\"\n", false, {special, {2, "a", 0}}},
    };
    for (const auto& c : cases) {
        WriteAliasIni(c.ini);
        SAddressFolderList list;
        EXPECT_EQ(list.Load(), c.ok) << c.ini;
        EXPECT_EQ(Rows(list), c.folders) << c.ini;
    }
}

TEST_F(AddressFolders, NextFreeIdIsTheSmallestGap) {
    const struct {
        std::vector<int> ids;  // after folder 0
        int next;
    } cases[] = {{{}, 1}, {{1, 3}, 2}, {{2, 3}, 1}, {{1, 2, 3}, 4}, {{-5, 1}, 2}};
    for (const auto& c : cases) {
        SAddressFolderList list;
        for (int id : c.ids) list.push_back({id, "f" + std::to_string(id), 0});
        EXPECT_EQ(list.NextFreeId(), c.next);
        EXPECT_EQ(list.NewFolder("new"), c.next);
        EXPECT_EQ(list.back().name, "new");
    }
}

TEST_F(AddressFolders, FindByNameComparesBytesAndCanSkipDeletedFolders) {
    SAddressFolderList list;
    list.push_back({1, "Work", qimaddr::kDeleted});
    list.push_back({2, "work", 0});
    EXPECT_EQ(list.FindByName("Work"), 1);
    EXPECT_EQ(list.FindByName("Work", true), -1);
    EXPECT_EQ(list.FindByName("work", true), 2);
    EXPECT_EQ(list.FindById(2), 2);
    EXPECT_EQ(list.FindById(9), -1);
}

TEST_F(AddressFolders, SaveWritesEveryFolderQuotedAndRemovesTheKeysOfFoldersThatWent) {
    WriteAliasIni("[Address Folders]\nNum=4\nF1=\"1 0 a\"\nF2=\"2 0 b\"\nF3=\"3 1 c\"\n");
    SAddressFolderList list;
    ASSERT_TRUE(list.Load());
    list.erase(list.begin() + 2, list.end());
    list[1].name = Sjis(" 仕事 ");
    list[1].flags = qimaddr::kNonMenu | qimaddr::kDeleted;
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(AliasIniText(), "[Address Folders]\nNum=2\nF1=\"1 1  仕事 \"\nF0=\"0 0 よく使うアドレス\"\n");
    SAddressFolderList again;
    ASSERT_TRUE(again.Load());
    EXPECT_EQ(Rows(again), (std::vector<FolderRow>{{0, "よく使うアドレス", 0}, {1, " 仕事 ", 1}}));
}

TEST_F(AddressFolders, ANameTooLongToStoreFailsTheSaveBeforeAnyWrite) {
    WriteAliasIni("[Address Folders]\nNum=2\nF1=\"1 0 a\"\n");
    const std::string before = qimtest::ReadFileBytes(AliasIni());
    SAddressFolderList list;
    ASSERT_TRUE(list.Load());
    list.push_back({2, std::string(257, 'x'), 0});
    EXPECT_FALSE(list.Save());
    list.back().name = "a\nb";
    EXPECT_FALSE(list.Save());
    EXPECT_EQ(qimtest::ReadFileBytes(AliasIni()), before);
    list.back().name = std::string(256, 'x');
    EXPECT_TRUE(list.Save());
}

class AddressEntries : public addresstest::AliasHome {};

TEST_F(AddressEntries, LoadReadsTheFolderSectionAndCountsOnlyEntriesThatArePresent) {
    WriteAliasIni(
        "[Usual Alias]\nNum=2\nAlias0=山田\nAddress0=yamada@example.jp\nComment0=\"同僚\"\n"
        "Alias1=list\nAddress1=\\members.txt\n"
        "[F3]\nAlias0=nobody\nAddress0=n@x\n"
        "[F4]\nNum=99999999\nAlias0=a\nAddress0=a@x\nAlias1=b\nAddress1=b@x\n");
    SAddressArrayList list;
    const SAddressArray& usual = list.Load(0, false);
    ASSERT_EQ(usual.aliases.size(), 2u);
    EXPECT_EQ(usual.aliases[0], (SAlias{Sjis("山田"), "yamada@example.jp", Sjis("同僚")}));
    EXPECT_EQ(usual.aliases[1], (SAlias{"list", "\\members.txt", ""}));
    EXPECT_EQ(list.Load(0, true).aliases[0].comment, "");  // comments skipped
    EXPECT_TRUE(list.Load(3, false).aliases.empty());      // no "Num": no entries
    EXPECT_EQ(list.Load(4, false).aliases.size(), 2u);
    EXPECT_TRUE(list.Load(9, false).aliases.empty());
    EXPECT_EQ(list.size(), 4u);  // folder 0 loaded twice is one element
}

TEST_F(AddressEntries, SaveWritesTheKeysInTheirStoredFormsAndShrinkingRemovesOldOnes) {
    WriteAliasIni("[F2]\nNum=3\nAlias0=a\nAddress0=a@x\nComment0=\"c\"\nAlias1=b\nAddress1=b@x\n"
                  "Alias2=c\nAddress2=c@x\nComment2=\"old\"\n");
    SAddressArrayList list;
    SAddressArray& f2 = list.Load(2, false);
    f2.aliases = {{Sjis("鈴木"), "suzuki@example.jp", Sjis(" 取引先 ")}, {"b", "b@x", ""}};
    ASSERT_TRUE(list.Save(2));
    EXPECT_EQ(AliasIniText(),
              "[F2]\nNum=2\nAlias0=鈴木\nAddress0=suzuki@example.jp\nComment0=\" 取引先 \"\nAlias1=b\nAddress1=b@x\n");
    EXPECT_EQ(Key("F2", "Comment0"), " 取引先 ");

    f2.aliases.clear();
    ASSERT_TRUE(list.Save(2));
    EXPECT_EQ(AliasIniText(), "[F2]\nNum=0\n");
    EXPECT_FALSE(list.Save(5));  // not loaded
}

TEST_F(AddressEntries, AnEntryThatWouldNotReadBackFailsTheSaveAndLeavesTheFile) {
    WriteAliasIni("[Usual Alias]\nNum=1\nAlias0=a\nAddress0=a@x\n");
    const std::string before = qimtest::ReadFileBytes(AliasIni());
    const SAlias bad[] = {{std::string(42, 'n'), "a@x", ""},
                          {"n", std::string(7501, 'a'), ""},
                          {"n", "a@x", std::string(82, 'c')},
                          {"n", "a@x\r\nBcc: evil@x", ""}};
    for (const SAlias& entry : bad) {
        SAddressArray contents{0, {}, 0};
        contents.Load(false);
        contents.aliases.push_back(entry);
        EXPECT_FALSE(contents.Save());
        EXPECT_EQ(qimtest::ReadFileBytes(AliasIni()), before);
    }
    SAddressArray longest{0, {{std::string(41, 'n'), std::string(7500, 'a'), std::string(81, 'c')}}, 0};
    ASSERT_TRUE(longest.Save());
    SAddressArray back{0, {}, 0};
    back.Load(false);
    EXPECT_EQ(back.aliases, longest.aliases);
}

TEST_F(AddressEntries, DeleteRemovesAFoldersSectionButNeverThatOfFolderZero) {
    WriteAliasIni("[Usual Alias]\nNum=1\nAlias0=a\nAddress0=a@x\n[F3]\nNum=1\nAlias0=b\nAddress0=b@x\n");
    SAddressArrayList list;
    list.Load(0, true);
    list.Load(3, true);
    EXPECT_TRUE(list.Delete(3));
    EXPECT_TRUE(list.Delete(0));
    EXPECT_TRUE(list.Delete(8));  // nothing there
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(AliasIniText(), "[Usual Alias]\nNum=1\nAlias0=a\nAddress0=a@x\n");
}

}  // namespace
