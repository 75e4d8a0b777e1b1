// The stored forms of settings values: strings with defaults, hex, quoted
// strings, window placements, fonts and scrambled passwords.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "common/SCrypt.h"
#include "common/SFont.h"
#include "common/SProfileTools.h"
#include "common/SpProfile.h"
#include "platform/Screen.h"
#include "support/TestSupport.h"

namespace {

class Settings : public ::testing::Test {
protected:
    qimtest::TempDir dir;
    std::string file = dir.File("QIM.INI");
    SpProfile profile{"Qim", file.c_str()};
};

TEST_F(Settings, GetStringIsTrueOnlyWhenTheValueDiffersFromTheDefault) {
    qimtest::WriteFileBytes(file, "[Qim]\r\nLower=abc\r\nEmpty=\r\n");
    struct Case {
        const char* key;
        const char* def;
        bool result;
        const char* text;
    } cases[] = {
        {"Lower", "ABC", false, "abc"},  // equal apart from case: false, stored text kept
        {"Lower", "xyz", true, "abc"},
        {"Missing", "def", false, "def"},
        {"Missing", nullptr, false, ""},
        {"Empty", nullptr, false, ""},
    };
    for (const Case& c : cases) {
        char buf[32];
        EXPECT_EQ(profile.GetString(c.key, buf, sizeof buf, c.def), c.result) << c.key;
        EXPECT_STREQ(buf, c.text);
        std::string s;
        EXPECT_EQ(profile.GetString(c.key, s, 32, c.def), c.result);
        EXPECT_EQ(s, c.text);
    }
}

TEST_F(Settings, StoredFormsRoundTrip) {
    const unsigned char bytes[] = {0x00, 0xAB, 0x10};
    ASSERT_TRUE(profile.WriteBinary("Bin", bytes, 3));
    ASSERT_TRUE(profile.WriteStringDQ("Quoted", "a b "));
    ASSERT_TRUE(profile.WriteInt("Num", -42));
    ASSERT_TRUE(profile.WriteString("Str", std::string("\x95\x5C")));
    EXPECT_EQ(qimtest::ReadFileBytes(file), "[Qim]\r\nBin=00AB10\r\nQuoted=\"a b \"\r\nNum=-42\r\nStr=\x95\x5C\r\n");

    unsigned char back[3] = {};
    EXPECT_TRUE(profile.GetBinary("Bin", back, 3));
    EXPECT_EQ(std::memcmp(back, bytes, 3), 0);
    std::string quoted;
    EXPECT_TRUE(profile.GetString("Quoted", quoted, 64, nullptr));
    EXPECT_EQ(quoted, "a b ");
    EXPECT_EQ(profile.GetInt("Num", 0), -42);

    ASSERT_TRUE(profile.DeleteKey("Num"));
    EXPECT_EQ(profile.GetInt("Num", 7), 7);
    EXPECT_FALSE(profile.GetBinary("Missing", back, 3));
}

// A subclass that overrides the two primitives sees every read and write.
class RecordingProfile : public SpProfile {
public:
    RecordingProfile() : SpProfile("S", "/nonexistent/never-used.ini") {}
    mutable std::vector<std::string> log;
    bool GetString(const char* key, char* buffer, int size, const char* def) const override {
        log.push_back(std::string("get ") + key);
        std::snprintf(buffer, static_cast<std::size_t>(size), "%s", "0A0B");
        return true;
    }
    using SpProfile::GetString;
    bool WriteString(const char* key, const char* value) const override {
        log.push_back(std::string("put ") + key + "=" + (value ? value : "(null)"));
        return true;
    }
    using SpProfile::WriteString;
};

TEST(SpProfilePrimitives, CarryAllTraffic) {
    RecordingProfile p;
    unsigned char two[2];
    p.GetBinary("B", two, 2);
    std::string s;
    p.GetString("S", s, 8, nullptr);
    p.WriteString("W", std::string("x"));
    p.WriteStringDQ("Q", "y");
    p.WriteInt("I", 5);
    p.WriteBinary("H", two, 2);
    p.DeleteKey("D");
    EXPECT_EQ(p.log, (std::vector<std::string>{"get B", "get S", "put W=x", "put Q=\"y\"", "put I=5", "put H=0A0B",
                                               "put D=(null)"}));
    EXPECT_EQ(two[0], 0x0A);
    EXPECT_EQ(two[1], 0x0B);
}

TEST(MakeINIPathFromArgv0, ReplacesFromTheLastDot) {
    struct Case {
        const char* program;
        const char* ini;
    } cases[] = {
        {"/opt/qim/QIM.EXE", "/opt/qim/QIM.INI"},
        {"C:/A.B/QIM", "C:/A.INI"},  // the last dot of the whole path
        {"/usr/bin/qim", "/usr/bin/qim.INI"},
    };
    for (const Case& c : cases) {
        char out[64];
        EXPECT_STREQ(MakeINIPathFromArgv0(out, c.program), c.ini);
    }
    SpProfile p("S", nullptr);
    p.SetFilenameByArgv0("/opt/qim/qim.bin");
    EXPECT_STREQ(p.Filename(), "/opt/qim/qim.INI");
    p.SetFilename(nullptr);
    EXPECT_STREQ(p.Filename(), "/opt/qim/qim.INI");
}

class FakeWindow : public SPlacedWindow {
public:
    SWindowPlacement placement;
    bool available = true;
    bool GetWindowPlacement(SWindowPlacement& p) const override {
        p = placement;
        return available;
    }
};

TEST_F(Settings, WindowRectangleMustFitTheScreen) {
    platform::SetPrimaryScreenSize(1024, 768);
    FakeWindow window;
    SProfileTools tools("Qim", file.c_str(), &window);
    struct Case {
        const char* stored;
        bool accepted;
    } cases[] = {
        {"10 10 5000 300", false}, {"0 0 1024 768", true}, {"-1 0 100 100", false}, {"0 -1 100 100", false},
        {"0 0 100 769", false},    {"10 20 110 220", true}, {"1 2 3", false},        {"", false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(tools.WriteString("LastWindow", c.stored));
        TWindowAttr attr{7, 7, 7, 7};
        EXPECT_EQ(tools.ReadWindowRect(&attr), c.accepted) << c.stored;
        if (!c.accepted) {
            EXPECT_EQ(attr.X + attr.Y + attr.W + attr.H, 28) << "left unchanged";
        }
    }
    TWindowAttr attr;
    ASSERT_TRUE(tools.WriteString("LastWindow", "10 20 110 220"));
    ASSERT_TRUE(tools.ReadWindowRect(&attr));
    EXPECT_EQ(attr.X, 10);
    EXPECT_EQ(attr.Y, 20);
    EXPECT_EQ(attr.W, 100);
    EXPECT_EQ(attr.H, 200);

    window.placement = {5, 6, 700, 500, SW_SHOWMAXIMIZED};
    ASSERT_TRUE(tools.WriteWindowRect());
    ASSERT_TRUE(tools.WriteShow());
    EXPECT_EQ(tools.GetInt("LastShow", -1), 1);
    ASSERT_TRUE(tools.ReadWindowRect(&attr));
    EXPECT_EQ(attr.W, 695);
    window.available = false;
    EXPECT_FALSE(tools.WriteWindowRect("Other"));
    EXPECT_EQ(tools.GetInt("Other", -1), -1);
}

TEST_F(Settings, ShowStateMapsUnknownValuesToNormal) {
    FakeWindow window;
    SProfileTools tools("Qim", file.c_str(), &window);
    EXPECT_EQ(tools.ReadShow(), SW_SHOWNORMAL);  // missing
    struct Case {
        int stored;
        int show;
    } cases[] = {{0, SW_SHOWNORMAL}, {1, SW_SHOWMAXIMIZED}, {2, SW_SHOWMINIMIZED}, {3, SW_SHOWNORMAL}, {-1, SW_SHOWNORMAL}};
    for (const Case& c : cases) {
        tools.WriteInt("LastShow", c.stored);
        EXPECT_EQ(tools.ReadShow(), c.show) << c.stored;
    }
    window.placement.showCmd = SW_SHOWMINIMIZED;
    tools.WriteShow();
    EXPECT_EQ(tools.GetInt("LastShow", -1), 2);
    window.placement.showCmd = 9;
    tools.WriteShow();
    EXPECT_EQ(tools.GetInt("LastShow", -1), 0);
}

TEST_F(Settings, FontsKeepTheirSixteenFields) {
    SFont font;
    EXPECT_STREQ(font.logFont.lfFaceName, "Terminal");
    EXPECT_EQ(font.logFont.lfCharSet, 128);
    EXPECT_EQ(font.pointSize, 130);

    SFont custom;
    custom.colour = 0x00FF8040;
    custom.pointSize = 105;
    custom.logFont.lfHeight = -14;
    custom.logFont.lfWeight = 700;
    custom.logFont.lfItalic = 1;
    std::strcpy(custom.logFont.lfFaceName, "\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E");  // ＭＳ ゴシック
    ASSERT_TRUE(font.WriteFont(profile, "Font", custom));
    char stored[96];
    profile.GetString("Font", stored, sizeof stored, nullptr);
    EXPECT_STREQ(stored, "16744512,105,-14,0,0,0,700,1,0,0,128,0,0,0,0,\x82\x6C\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4E");
    SFont back;
    ASSERT_TRUE(back.ReadFont(profile, "Font", &back));
    EXPECT_TRUE(back == custom);
    back.logFont.lfFaceName[0] = 'x';
    EXPECT_TRUE(back != custom);

    SFont empty;
    empty.logFont.lfFaceName[0] = '\0';
    std::string before = qimtest::ReadFileBytes(file);
    EXPECT_TRUE(font.WriteFont(profile, "Font", empty));  // nothing written
    EXPECT_EQ(qimtest::ReadFileBytes(file), before);

    profile.WriteString("Short", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15");  // 15 fields
    SFont partial;
    EXPECT_FALSE(partial.ReadFont(profile, "Short", &partial));
    EXPECT_EQ(partial.colour, 1u);  // fields before the gap are kept
    EXPECT_FALSE(partial.ReadFont(profile, "Missing", &partial));
}

TEST_F(Settings, ScrambledPasswordsReadBack) {
    SCrypt crypt;
    const std::string passwords[] = {"", "a", "ab", "secret", "odd-len", "P@ss w0rd~\x7F", std::string(256, 'z')};
    for (const std::string& pw : passwords) {
        ASSERT_TRUE(crypt.WriteProfile(profile, "Passwd", pw)) << pw;
        char hex[600];
        profile.GetString("Passwd", hex, sizeof hex, nullptr);
        std::size_t n = pw.size();
        EXPECT_EQ(std::strlen(hex), 2 * (2 + 2 * ((n + 1) / 2) + 1)) << pw;
        EXPECT_EQ(std::strspn(hex, "0123456789ABCDEF"), std::strlen(hex));
        std::string back;
        ASSERT_TRUE(crypt.GetProfile(profile, "Passwd", back));
        EXPECT_EQ(back, pw);
    }
    EXPECT_EQ(qimtest::FileMode(file), 0600u);
    std::string missing;
    EXPECT_FALSE(crypt.GetProfile(profile, "NoSuch", missing));
}

// The stored form is fixed by the cipher, so files written elsewhere read here:
// c_i = ((K[i][0] p0) mod 131 + (K[i][1] p1) mod 131 + r_i) mod 131 + 1.
std::string Scramble(const std::string& plain, int r0, int r1) {
    const int k[2][2] = {{41, 7}, {19, 88}};
    std::string out{static_cast<char>(r0), static_cast<char>(r1)};
    for (std::size_t i = 0; i < plain.size(); i += 2) {
        int p0 = static_cast<unsigned char>(plain[i]);
        int p1 = i + 1 < plain.size() ? static_cast<unsigned char>(plain[i + 1]) : 0;
        int r[2] = {r0, r1};
        for (int row = 0; row < 2; ++row)
            out += static_cast<char>(((k[row][0] * p0) % 131 + (k[row][1] * p1) % 131 + r[row]) % 131 + 1);
    }
    out += '\0';
    return out;
}

TEST(SCryptCipher, FollowsTheStoredFormForEveryOffset) {
    SCrypt crypt;
    for (int r0 : {0, 1, 64, 130}) {
        for (int r1 : {0, 77, 130}) {
            for (std::string plain : {"Hi", "odd", "pass-word_123~"}) {
                std::string scrambled = Scramble(plain, r0, r1);
                char out[260];
                crypt.Decode(scrambled.c_str(), out);
                EXPECT_EQ(std::string(out), plain) << r0 << "," << r1;
            }
        }
    }
    char enc[16];
    ASSERT_TRUE(crypt.Encode("odd", enc));
    std::string expected = Scramble("odd", static_cast<unsigned char>(enc[0]), static_cast<unsigned char>(enc[1]));
    EXPECT_EQ(std::string(enc, expected.size()), expected);
}

TEST(SCryptCipher, RefusesWhatCannotReadBack) {
    SCrypt crypt;
    char out[300];
    EXPECT_FALSE(crypt.Encode(std::string(257, 'a').c_str(), out));  // would overrun the stored form
    EXPECT_FALSE(crypt.Encode("\x82\xA0", out));                     // bytes of 131 and above
    char scrambled[] = {5, 9, 0};
    crypt.Decode(scrambled, out);
    EXPECT_STREQ(out, "");
}

}  // namespace
