#include <gtest/gtest.h>

#include <functional>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimProfile.h"
#include "config/SQimTmpFilePath.h"
#include "tests/app/AppTestSupport.h"

namespace {

using ProfileFiles = qimtest::QimHomeTest;

TEST_F(ProfileFiles, EachClassReachesItsOwnFile) {
    SetQimIniPath(dir_.File("elsewhere.ini"));
    ASSERT_TRUE(SQimProfile("Qim").WriteString("K", "ini"));
    ASSERT_TRUE(SConfigProfile("Qim").WriteString("K", "config"));
    ASSERT_TRUE(SAliasProfile("SubsFrom").WriteString("K", "alias"));
    EXPECT_EQ(Stored(dir_.File("elsewhere.ini"), "Qim", "K"), "ini");
    EXPECT_EQ(Stored(home_ + "/CONFIG.INI", "Qim", "K"), "config");
    EXPECT_EQ(Stored(home_ + "/ALIAS.INI", "SubsFrom", "K"), "alias");
}

TEST_F(ProfileFiles, EveryWriteToConfigOrAliasMarksTheSettingsChanged) {
    const struct {
        const char* name;
        std::function<bool()> write;
        bool changes;
    } cases[] = {
        {"QIM.INI string", [] { return SQimProfile("Qim").WriteString("a", "1"); }, false},
        {"CONFIG.INI string", [] { return SConfigProfile("Qim").WriteString("a", "1"); }, true},
        {"CONFIG.INI string object", [] { return SConfigProfile("Qim").WriteString("a", std::string("1")); }, true},
        {"CONFIG.INI integer", [] { return SConfigProfile("Qim").WriteInt("a", 2); }, true},
        {"CONFIG.INI binary", [] { return SConfigProfile("Qim").WriteBinary("a", "\x01\x02", 2); }, true},
        {"CONFIG.INI quoted", [] { return SConfigProfile("Qim").WriteStringDQ("a", " x "); }, true},
        {"CONFIG.INI key removal", [] { return SConfigProfile("Qim").DeleteKey("a"); }, true},
        {"ALIAS.INI integer", [] { return SAliasProfile("SubsFrom").WriteInt("n", 1); }, true},
    };
    for (const auto& c : cases) {
        SetSettingsChanged(false);
        EXPECT_TRUE(c.write()) << c.name;
        EXPECT_EQ(IsSettingsChanged(), c.changes) << c.name;
    }
    // Reading changes nothing.
    SetSettingsChanged(false);
    SConfigProfile("Qim").GetInt("a", 0);
    EXPECT_FALSE(IsSettingsChanged());
}

TEST_F(ProfileFiles, TemporaryFilesGoToAnExistingTempDirElseTheCallersFolderElseHome) {
    const std::string temp = dir_.File("tmp");
    const std::string callers = dir_.File("callers");
    platform::CreateDirectory(callers.c_str());
    {
        SQimTmpFilePath file;
        EXPECT_EQ(file.Directory(), home_);
        SQimTmpFilePath given(callers.c_str());
        EXPECT_EQ(given.Directory(), callers);
    }
    // A TempDir that does not exist yet is not taken, and not remembered.
    Store(Ini(), "Qim", "TempDir", temp);
    EXPECT_EQ(GetQimTempDir(), "");
    EXPECT_EQ(SQimTmpFilePath().Directory(), home_);
    platform::CreateDirectory(temp.c_str());
    {
        SQimTmpFilePath file;
        EXPECT_EQ(file.Directory(), temp);
        EXPECT_EQ(SQimTmpFilePath(callers.c_str()).Directory(), temp);
        const std::string path = file.Path();
        EXPECT_EQ(path.rfind(temp + "/", 0), 0u) << path;
        EXPECT_TRUE(qimtest::FileExists(path));
    }
    // Once found it stays for the rest of the run.
    Store(Ini(), "Qim", "TempDir", dir_.File("gone"));
    EXPECT_EQ(GetQimTempDir(), temp);
}

TEST_F(ProfileFiles, HomeCopyForCharacterBuffersNeverSplitsACharacter) {
    SetQimHome("/h/\x83\x81\x81\x5B\x83\x8B");  // /h/メール
    char buffer[8];
    EXPECT_EQ(CopyQimHome(buffer, sizeof buffer), 7);
    EXPECT_STREQ(buffer, "/h/\x83\x81\x81\x5B");
    char tiny[5];
    EXPECT_EQ(CopyQimHome(tiny, sizeof tiny), 3);
    EXPECT_STREQ(tiny, "/h/");
}

TEST(QimStrings, EveryTextHasItsShiftJisFormAndIdsAreUnique) {
    const std::vector<unsigned> ids = QimStringIds();
    ASSERT_FALSE(ids.empty());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        EXPECT_FALSE(LoadQimString(ids[i]).empty()) << ids[i];
        if (i) {
            EXPECT_LT(ids[i - 1], ids[i]) << "twice: " << ids[i];
        }
    }
    EXPECT_EQ(LoadQimString(9), "");
    EXPECT_EQ(qimtest::Utf8(LoadQimString(qimstr::TwoCopies)), "Qim を同時に２つ起動することは出来ません。");
    EXPECT_EQ(qimtest::Utf8(LoadQimString(qimstr::ToolBar)), "ﾂｰﾙﾊﾞｰ");
    // The buffer form cuts between characters.
    char buffer[6];
    EXPECT_EQ(LoadQimString(qimstr::Aborting, buffer, sizeof buffer), 4);
    EXPECT_EQ(qimtest::Utf8(buffer), "中止");
}

}  // namespace
