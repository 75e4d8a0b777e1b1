#include <gtest/gtest.h>

#include "address/SAliasMenu.h"
#include "tests/address/AddressTestSupport.h"

namespace {

using qimtest::Utf8;
using Kind = SAliasMenuItem::Kind;

// The menu as lines: "id text" for items ("|" before one that starts a new
// column), "-" for separators, "[name]" then the sub-menu's lines indented.
void Describe(const std::vector<SAliasMenuItem>& items, const std::string& indent, std::vector<std::string>& out) {
    for (const SAliasMenuItem& item : items) {
        switch (item.kind) {
        case Kind::Separator:
            out.push_back(indent + "-");
            break;
        case Kind::SubMenu:
            out.push_back(indent + "[" + Utf8(item.text) + "]");
            Describe(item.items, indent + "  ", out);
            break;
        case Kind::Command:
            out.push_back(indent + (item.newColumn ? "|" : "") + std::to_string(item.id) + " " + Utf8(item.text));
            break;
        }
    }
}

std::vector<std::string> Describe(const SAliasMenu& menu) {
    std::vector<std::string> out;
    Describe(menu.Items(), "", out);
    return out;
}

class AliasMenu : public addresstest::AliasHome {};

TEST_F(AliasMenu, PasteThenFolderZeroThenASubMenuPerMenuFolderWithEntries) {
    WriteAliasIni(
        "[Address Folders]\nNum=5\nF1=\"3 0 仕事\"\nF2=\"1 1 隠し\"\nF3=\"2 0 空\"\nF4=\"4 0 友人\"\n"
        "[Usual Alias]\nNum=3\nAlias0=a\nAddress0=a@x\nAlias1=b\nAddress1=\\list.txt\nAlias2=c\nAddress2=c@x\n"
        "[F3]\nNum=2\nAlias0=w1\nAddress0=w1@x\nAlias1=w2\nAddress1=w2@x\n"
        "[F1]\nNum=1\nAlias0=hidden\nAddress0=h@x\n"
        "[F2]\nNum=0\n"
        "[F4]\nNum=1\nAlias0=友\nAddress0=\\\\club\n");
    WriteHomeFile("list.txt", "l1@x\r\nl2@x\r\n");
    SAliasMenu menu;
    ASSERT_TRUE(menu.Load(2));
    EXPECT_EQ(Describe(menu), (std::vector<std::string>{"24324 ", "-", "3000 a", "3001 b", "|3002 c", "-", "[仕事]",
                                                        "  3003 w1", "  3004 w2", "[友人]", "  3005 友"}));
    const struct {
        int id;
        bool ok;
        std::string text;
    } choices[] = {{3000, true, "a@x"}, {3001, true, "l1@x, l2@x"}, {3005, true, "\\club"},
                   {3006, false, ""},   {24324, false, ""},         {2999, false, ""}};
    for (const auto& c : choices) {
        std::string text;
        EXPECT_EQ(menu.Expansion(c.id, text), c.ok) << c.id;
        EXPECT_EQ(text, c.text) << c.id;
    }
}

TEST_F(AliasMenu, WithoutFolderZeroEntriesTheSubMenusFollowThePasteItemAfterOneSeparator) {
    WriteAliasIni("[Address Folders]\nNum=3\nF1=\"1 0 A\"\nF2=\"2 0 B\"\n"
                  "[F1]\nNum=1\nAlias0=x\nAddress0=x@x\n[F2]\nNum=1\nAlias0=y\nAddress0=y@x\n");
    SAliasMenu menu;
    ASSERT_TRUE(menu.Load(0));  // 0 rows: no column breaks
    EXPECT_EQ(Describe(menu), (std::vector<std::string>{"24324 ", "-", "[A]", "  3000 x", "[B]", "  3001 y"}));
}

TEST_F(AliasMenu, EntryIdsStopBelow3999AndAListFileOfTooManyItemsFails) {
    std::string ini = "[Usual Alias]\nNum=1000\n";
    for (int i = 0; i < 1000; ++i)
        ini += "Alias" + std::to_string(i) + "=n" + std::to_string(i) + "\nAddress" + std::to_string(i) + "=\\big.txt\n";
    WriteAliasIni(ini);
    std::string big;
    for (int i = 0; i < 101; ++i) big += "m" + std::to_string(i) + "@x\r\n";
    WriteHomeFile("big.txt", big);
    SAliasMenu menu;
    ASSERT_TRUE(menu.Load(25));
    const std::vector<SAliasMenuItem>& items = menu.Items();
    ASSERT_EQ(items.size(), 2u + 999u);
    EXPECT_EQ(items.back().id, 3998);
    EXPECT_EQ(menu.AddressOf(3999), nullptr);
    int breaks = 0;
    for (const SAliasMenuItem& item : items) breaks += item.newColumn;
    EXPECT_EQ(breaks, 39);  // before entries 25, 50, ... 975
    std::string text = "stale";
    EXPECT_FALSE(menu.Expansion(3000, text));
    EXPECT_EQ(text, "");
}

}  // namespace
