#include <gtest/gtest.h>

#include <sys/stat.h>

#include "address/AliasLookup.h"
#include "address/SAliasExpand.h"
#include "address/SRegisterSender.h"
#include "tests/address/AddressTestSupport.h"

namespace {

using qimtest::Sjis;

class AliasExpand : public addresstest::AliasHome {};

std::string Lines(int count, const char* prefix) {
    std::string text;
    for (int i = 0; i < count; ++i) text += prefix + std::to_string(i) + "@x\r\n";
    return text;
}

TEST_F(AliasExpand, ValuesAndListFilesExpandAsTheComposeWindowInsertsThem) {
    WriteHomeFile("members.txt", "; the team\r\na@x\r\nTaro <b@x>\r\n;c@x\r\nd@x\r\n\r\nafter@x\r\n");
    WriteHomeFile("lf.txt", "a@x\nb@x");                              // LF lines, no last line end
    WriteHomeFile("long.txt", std::string(600, 'a') + "\r\nb@x\r\n");  // one line in two pieces
    WriteHomeFile("longcomment.txt", ";" + std::string(700, 'c') + "\r\nz@x\r\n");
    WriteHomeFile("hundred.txt", Lines(100, "m"));
    WriteHomeFile("hundred1.txt", Lines(101, "m"));
    WriteHomeFile("empty.txt", "");
    mkdir((home_ + "/sub").c_str(), 0700);
    WriteHomeFile("sub/list.txt", "s@x\r\n");
    WriteHomeFile("../outside.txt", "o@x\r\n");
    mkdir((home_ + "/dir").c_str(), 0700);

    std::string hundred;
    for (int i = 0; i < 100; ++i) hundred += (i ? ", m" : "m") + std::to_string(i) + "@x";
    const struct {
        std::string value;
        bool ok;
        std::string out;
    } cases[] = {
        {"a@x, b@x", true, "a@x, b@x"},
        {"\\\\lists\\all", true, "\\lists\\all"},  // the send's own list reference
        {"\\members.txt", true, "a@x, Taro <b@x>, d@x"},
        {"\\lf.txt", true, "a@x, b@x"},
        {"\\long.txt", true, std::string(600, 'a') + ", b@x"},
        {"\\longcomment.txt", true, "z@x"},
        {"\\hundred.txt", true, hundred},
        {"\\hundred1.txt", false, ""},
        {"\\empty.txt", true, ""},
        {"\\sub\\list.txt", true, "s@x"},
        {"\\sub/list.txt", true, "s@x"},
        {"\\missing.txt", false, ""},
        {"\\dir", false, ""},
        {"\\", false, ""},
        // Never a file outside the home directory.
        {"\\..\\outside.txt", false, ""},
        {"\\sub\\..\\..\\outside.txt", false, ""},
        {"\\/etc/passwd", false, ""},
    };
    for (const auto& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(ExpandAliasAddress(c.value, out), c.ok) << c.value;
        EXPECT_EQ(out, c.out) << c.value;
        EXPECT_EQ(ExpandAddress(c.value), c.out) << c.value;
    }
}

TEST_F(AliasExpand, AListFileOfAHugeLineStopsAfterItsHundredthPiece) {
    WriteHomeFile("huge.txt", std::string(1024 * 1024, 'x'));
    std::string out;
    EXPECT_FALSE(ExpandAliasAddress("\\huge.txt", out));
    EXPECT_EQ(out, "");
}

class AliasLookup : public addresstest::AliasHome {
protected:
    void SetUp() override {
        AliasHome::SetUp();
        WriteAliasIni(
            "[Address Folders]\nNum=3\nF1=\"2 0 仕事\"\nF2=\"5 1 隠し\"\n"
            "[Usual Alias]\nNum=2\nAlias0=yamada\nAddress0=Yamada@Example.JP\nAlias1=team\nAddress1=\\team.txt\n"
            "[F2]\nNum=2\nAlias0=yamada2\nAddress0=yamada@example.jp\nAlias1=鈴木\nAddress1=\"Suzuki, I.\" <suzuki@x>\n"
            "[F5]\nNum=1\nAlias0=hidden\nAddress0=h@x\nAlias1=broken\n"
            "[F6]\nNum=1\nAlias0=orphan\nAddress0=o@x\n");
        WriteHomeFile("team.txt", "a@x\r\nb@x\r\n");
    }
};

TEST_F(AliasLookup, AnAddressGivesTheAliasOfTheFirstFolderThatHoldsItLetterCaseIgnored) {
    const struct {
        std::string address;
        bool found;
        std::string alias;
    } cases[] = {
        {"yamada@example.jp", true, "yamada"},
        {"YAMADA@EXAMPLE.JP", true, "yamada"},
        {"h@x", true, "hidden"},  // out of the menu, still in the book
        {"o@x", false, ""},       // a section no folder names
        {"nobody@x", false, ""},
    };
    for (const auto& c : cases) {
        std::string alias;
        EXPECT_EQ(FindAliasNameOfAddress(c.address, alias), c.found) << c.address;
        EXPECT_EQ(alias, c.alias) << c.address;
    }
    std::string address;
    EXPECT_TRUE(FindAddressOfAliasName(Sjis("鈴木"), address));
    EXPECT_EQ(address, "\"Suzuki, I.\" <suzuki@x>");
    EXPECT_FALSE(FindAddressOfAliasName("Yamada", address));  // alias names compare exactly
}

TEST_F(AliasLookup, TypedAliasNamesInAnAddressFieldBecomeTheirAddresses) {
    WriteHomeFile("toomany.txt", Lines(101, "m"));
    const struct {
        std::string field;
        std::string out;
    } cases[] = {
        {"yamada", "Yamada@Example.JP"},
        {" yamada ,x@y,team", "Yamada@Example.JP, x@y, a@x, b@x"},
        {Sjis("鈴木") + ", \"yamada, jr\" <j@x>", "\"Suzuki, I.\" <suzuki@x>, \"yamada, jr\" <j@x>"},
        {"hidden", "h@x"},
        // Nothing to expand: exactly as typed.
        {"x@y,  z@w", "x@y,  z@w"},
        {"yamada@example.jp", "yamada@example.jp"},
        {"", ""},
        // The send's address-list file stays as it is.
        {"\\yamada", "\\yamada"},
        {"  \\team.txt", "  \\team.txt"},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandAliasesInField(c.field), c.out) << c.field;
}

TEST_F(AliasLookup, AnAliasWhoseListCannotBeExpandedStaysAsTyped) {
    WriteAliasIni("[Usual Alias]\nNum=2\nAlias0=big\nAddress0=\\toomany.txt\nAlias1=gone\nAddress1=\\gone.txt\n");
    WriteHomeFile("toomany.txt", Lines(101, "m"));
    EXPECT_EQ(ExpandAliasesInField("big, gone, a@x"), "big, gone, a@x");
}

TEST(AddressField, SplitsAtCommasOutsideQuotesBracketsAndComments) {
    EXPECT_EQ(SplitAddressField(" a@x ,, \"L, F\" <b@x>, c@x (X, Y), <d,e@x>"),
              (std::vector<std::string>{"a@x", "\"L, F\" <b@x>", "c@x (X, Y)", "<d,e@x>"}));
    EXPECT_EQ(SplitAddressField(Sjis("表, 能")), (std::vector<std::string>{Sjis("表"), Sjis("能")}));
}

TEST(RegisterSender, TheFromFieldSplitsIntoPhraseAndAddress) {
    const struct {
        std::string from;
        std::string alias;
        std::string address;
    } cases[] = {
        {Sjis("山田 太郎 <taro@example.jp>"), Sjis("山田 太郎"), "taro@example.jp"},
        {"\"Taro, Y.\" <taro@x>", "Taro, Y.", "taro@x"},
        {"taro@x (Taro)", "Taro", "taro@x"},
        {"  taro@x  ", "taro@x", "taro@x"},
        {"<taro@x>", "taro@x", "taro@x"},
        // The alias holds 41 bytes: cut before a double-byte character that would not fit.
        {"a" + Sjis("あいうえおかきくけこさしすせそたちつてとな") + " <n@x>",
         "a" + Sjis("あいうえおかきくけこさしすせそたちつてと"), "n@x"},
    };
    for (const auto& c : cases) {
        const SAlias entry = AliasOfSender(c.from);
        EXPECT_EQ(entry.alias, c.alias) << c.from;
        EXPECT_EQ(entry.address, c.address) << c.from;
        EXPECT_TRUE(entry.FitsStoredForm());
    }
}

}  // namespace
