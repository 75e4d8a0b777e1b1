// The size column of the header list, the QimP window's settings and the
// warning about a folder that holds too much.
#include <gtest/gtest.h>

#include <string>

#include "common/SNotice.h"
#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "config/SQimProfile.h"
#include "imap/QimPFolderSizeWarning.h"
#include "imap/QimPSizeColumn.h"
#include "imap/SQimPSettingData.h"
#include "support/TestSupport.h"

namespace {

using qimtest::ReadFileBytes;
using qimtest::TempDir;

TEST(QimPSizeColumn, KilobytesRoundedUpAndUnknownForNothing) {
    struct Case {
        long long size;
        const char* text;
    } cases[] = {
        {1, "1"}, {1023, "1"}, {1024, "2"}, {1025, "2"}, {2048, "3"}, {0xffffffffLL, "4194304"},
        {5LL << 30, "5242881"}, {0, "unkown"}, {-1, "unkown"},
    };
    for (const Case& c : cases) EXPECT_EQ(qimimap::SizeColumnText(c.size), c.text) << c.size;
    EXPECT_EQ(qimimap::SizeColumnHeader(), "Size(KB)");
}

class QimPSettings : public ::testing::Test {
protected:
    TempDir home;
    void SetUp() override {
        SetQimHome(home.Path());
        SetQimIniPath(home.File("QIM.INI"));
        SetSettingsChanged(false);
    }
    void TearDown() override { ResetQimProcessValues(); }
};

TEST_F(QimPSettings, DefaultsWithoutFilesAndEachKeyInItsFile) {
    SQimPSettingData s;
    s.showLocalMailSize = true;
    s.warnSizeFolders = 0;
    s.warnSizeKB = 0;
    s.iniFilesPlace = 5;
    ASSERT_TRUE(s.Read());
    EXPECT_FALSE(s.showLocalMailSize);
    EXPECT_EQ(s.warnSizeFolders, qimimap::kWarnNoFolder);
    EXPECT_EQ(s.warnSizeKB, 200);
    EXPECT_EQ(s.iniFilesPlace, 0);

    s.showLocalMailSize = true;
    s.warnSizeFolders = qimimap::kWarnBothFolders;
    s.warnSizeKB = 300;
    s.iniFilesPlace = 18;
    ASSERT_TRUE(s.Write());
    EXPECT_TRUE(IsSettingsChanged());
    // The size settings travel with CONFIG.INI; the place of the settings
    // files stays in QIM.INI.
    const std::string config = ReadFileBytes(home.File("CONFIG.INI"));
    EXPECT_NE(config.find("[QimP]"), std::string::npos) << config;
    EXPECT_NE(config.find("ShowLocalMailSize=1"), std::string::npos) << config;
    EXPECT_NE(config.find("WSAFFolder=4"), std::string::npos) << config;
    EXPECT_NE(config.find("WarnSizeAFolder=300"), std::string::npos) << config;
    EXPECT_EQ(config.find("INIFilesPlace"), std::string::npos) << config;
    const std::string qim = ReadFileBytes(home.File("QIM.INI"));
    EXPECT_NE(qim.find("[QimP]"), std::string::npos) << qim;
    EXPECT_NE(qim.find("INIFilesPlace=18"), std::string::npos) << qim;

    SQimPSettingData again;
    ASSERT_TRUE(again.Read());
    EXPECT_TRUE(again.showLocalMailSize);
    EXPECT_EQ(again.warnSizeFolders, 4);
    EXPECT_EQ(again.warnSizeKB, 300);
    EXPECT_EQ(again.iniFilesPlace, 18);
}

TEST(QimPFolderSizeWarning, ReportsOnlyTheCheckedKindAboveTheLimit) {
    constexpr long long kLimit = 200 * 1024;
    struct Case {
        int which;
        bool server;
        long long total;
        bool warned;
    } cases[] = {
        {1, true, kLimit + 1, true},   {1, true, kLimit, false},      {1, false, kLimit * 100, false},
        {2, false, kLimit + 1, true},  {2, true, kLimit * 100, false}, {4, true, kLimit + 1, true},
        {4, false, kLimit + 1, true},  {4, false, kLimit, false},     {0, true, kLimit * 100, false},
        {0, false, kLimit * 100, false},
    };
    for (const Case& c : cases) {
        SQimPSettingData s;
        s.warnSizeFolders = c.which;
        EXPECT_EQ(qimimap::FolderSizeWarning(s, c.server, "A", c.total).has_value(), c.warned)
            << c.which << " " << c.server << " " << c.total;
    }
}

TEST(QimPFolderSizeWarning, NamesTheFolderTheTotalAndTheLimitBeyond32Bits) {
    SQimPSettingData s;
    s.warnSizeFolders = qimimap::kWarnServerFolders;
    s.warnSizeKB = 3000000;  // 3 072 000 000 bytes
    EXPECT_FALSE(qimimap::FolderSizeWarning(s, true, "A", 3072000000LL));
    const auto notice = qimimap::FolderSizeWarning(s, true, "Work", 3072000001LL);
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->id, qimstr::FolderTooLarge);
    EXPECT_EQ(qimtest::Utf8(FormatNotice(LoadQimString(notice->id), notice->args)),
              "このフォルダー Work はメールが多すぎ(大きすぎ)ます！\n総合計 3072000001 バイト > 規定値 3072000000 バイト");
}

}  // namespace
