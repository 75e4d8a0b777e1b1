// The stored fonts and Qt's: a chosen font comes back as chosen, a long
// Japanese face name is cut whole characters at a time, and the header list
// takes its stored font.
#include <gtest/gtest.h>

#include <QFont>
#include <QTreeView>
#include <cstring>
#include <memory>

#include "common/SFont.h"
#include "config/QimGlobals.h"
#include "config/QimLayoutSettings.h"
#include "platform/qt/QtText.h"
#include "support/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QtFonts.h"
#include "ui/TQimWindow.h"

namespace {

class Fonts : public ::testing::Test {
protected:
    void SetUp() override {
        qimtest::QimTestApp();
        ResetQimProcessValues();
        SetQimHome(home_.Path());
        SetQimIniPath(home_.File("QIM.INI"));
    }
    void TearDown() override { ResetQimProcessValues(); }

    qimtest::TempDir home_;
};

TEST_F(Fonts, AChosenFontIsStoredAndReadBackAsChosen) {
    QFont chosen("Noto Sans CJK JP");
    chosen.setPointSizeF(10.5);
    chosen.setBold(true);
    chosen.setItalic(true);
    SFont font;
    font.colour = 0x0000FF;  // red, kept
    TakeQFont(chosen, font);
    ASSERT_TRUE(WriteQimFont("MVDefFont", font));
    SFont read;
    ASSERT_TRUE(ReadQimFont("MVDefFont", read));
    QColor colour;
    const QFont back = ToQFont(read, &colour);
    EXPECT_EQ(back.family(), chosen.family());
    EXPECT_DOUBLE_EQ(back.pointSizeF(), 10.5);
    EXPECT_TRUE(back.bold());
    EXPECT_TRUE(back.italic());
    EXPECT_EQ(colour, QColor(255, 0, 0));
}

TEST_F(Fonts, ALongJapaneseFaceNameIsCutBetweenCharacters) {
    // Sixteen two-byte characters do not fit the 31 bytes of the record.
    const QString face = QString::fromUtf8("ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐ");
    SFont font;
    TakeQFont(QFont(face), font);
    const std::size_t length = std::strlen(font.logFont.lfFaceName);
    EXPECT_EQ(length, 30u);
    EXPECT_EQ(platform::ToQString(std::string(font.logFont.lfFaceName)), face.left(15));
}

TEST_F(Fonts, TheHeaderListTakesItsStoredFont) {
    SFont font;
    QFont listFont("DejaVu Sans Mono");
    listFont.setPointSize(14);
    TakeQFont(listFont, font);
    ASSERT_TRUE(WriteQimFont("HLWFont", font));
    auto window = std::make_unique<TQimWindow>(home_.Path());
    EXPECT_EQ(window->List()->font().family(), listFont.family());
    EXPECT_EQ(window->List()->font().pointSize(), 14);
}

}  // namespace
