// The options that take a value: each is written at once and comes back on
// the next start; a value out of bounds is asked again, never stored.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <sys/stat.h>

#include <cstdio>
#include <optional>
#include <vector>
#include <string>

#include "app/SCommandTable.h"
#include "app/SOpenUrl.h"
#include "app/SOptionCommands.h"
#include "app/SQimWindowLayer.h"
#include "common/SFont.h"
#include "config/QimCommandIds.h"
#include "config/QimLayoutSettings.h"
#include "config/QimSettingKeys.h"
#include "config/SQimSendSettingData.h"
#include "config/SUserInetData.h"
#include "platform/ScriptedDialogService.h"
#include "tests/app/AppTestSupport.h"

namespace {

class FontWindows : public SQimWindowLayer {
public:
    platform::ParentWindow MainWindow() override { return nullptr; }
    void PostCommand(int) override {}
    void ActivateMainFrame() override {}
    void ReloadFolder(const std::string&) override {}
    bool EditNetworkSettings(SUserInetData&) override { return false; }
    bool EditDefaultSort(int&) override { return false; }
    bool EditPgpUsage(int&) override { return false; }
    void ShowAbout() override {}
    bool ChooseFont(const std::string& caption, SFont& font) override {
        captions.push_back(caption);
        if (face.empty()) return false;
        std::snprintf(font.logFont.lfFaceName, sizeof font.logFont.lfFaceName, "%s", face.c_str());
        font.pointSize = 120;
        return true;
    }
    void FontsChanged() override { ++changes; }

    std::string face;
    std::vector<std::string> captions;
    int changes = 0;
};

class OptionCommandsTest : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        commands.Register(table);
    }

    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService installed{dialogs};
    SQimSendSettingData send;
    SUserInetData inet;
    FontWindows windows;
    SOptionCommands commands{send, inet, windows};
    SCommandTable table;
};

TEST_F(OptionCommandsTest, TextAsMimeTogglesShowsItsStateAndIsStoredAtOnce) {
    ASSERT_TRUE(send.textAsMime);
    EXPECT_EQ(table.IsChecked(qimcmd::TextAsMime), std::optional<bool>(true));
    EXPECT_TRUE(table.Execute(qimcmd::TextAsMime));
    EXPECT_EQ(table.IsChecked(qimcmd::TextAsMime), std::optional<bool>(false));
    SQimSendSettingData next;
    next.Read();
    EXPECT_FALSE(next.textAsMime);
}

TEST_F(OptionCommandsTest, FoldWidthTakesOnlyAWholeNumberWithinItsBounds) {
    // Each wrong answer is told and asked again with the typed text; cancel keeps the old value.
    for (const char* wrong : {"abc", "19", "999", "7 2", "-40", ""}) dialogs.AnswerInput(std::string(wrong));
    dialogs.AnswerInput(std::string(" 64 "));
    EXPECT_TRUE(table.Execute(qimcmd::FoldWidth));
    EXPECT_EQ(send.foldWidth, 64);
    SQimSendSettingData next;
    next.Read();
    EXPECT_EQ(next.foldWidth, 64);
    int told = 0;
    for (const auto& box : dialogs.Boxes()) told += box.kind == platform::RecordedBox::Kind::Message;
    EXPECT_EQ(told, 6);
    // The prompt names the bounds.
    const std::string prompt = qimtest::Utf8(dialogs.Boxes().front().text);
    EXPECT_NE(prompt.find("20"), std::string::npos);
    EXPECT_NE(prompt.find("998"), std::string::npos);

    dialogs.AnswerInput(std::nullopt);
    EXPECT_TRUE(table.Execute(qimcmd::FoldWidth));
    EXPECT_EQ(send.foldWidth, 64);
}

TEST_F(OptionCommandsTest, TheAddressPhraseIsStoredAndAnEmptyOneRemovesTheKey) {
    // "山田 太郎" in Shift_JIS.
    const std::string name = "\x8e\x52\x93\x63 \x91\xbe\x98\x59";
    dialogs.AnswerInput(name);
    EXPECT_TRUE(table.Execute(qimcmd::AddressPhrase));
    EXPECT_EQ(Stored(Ini(), "Host", "AddrPhrase"), name);
    // Longer than the stored value can hold: asked again, nothing cut.
    dialogs.AnswerInput(std::string(72, 'a'));
    dialogs.AnswerInput(std::string());
    EXPECT_TRUE(table.Execute(qimcmd::AddressPhrase));
    EXPECT_EQ(inet.addrPhrase, "");
    EXPECT_EQ(Stored(Ini(), "Host", "AddrPhrase"), "<none>");
}

TEST_F(OptionCommandsTest, TheWebBrowserIsKeptInTheSettings) {
    dialogs.AnswerInput(std::string("/usr/bin/firefox"));
    EXPECT_TRUE(table.Execute(qimcmd::WebBrowser));
    EXPECT_EQ(ReadWebBrowser(), "/usr/bin/firefox");
    dialogs.AnswerInput(std::nullopt);
    EXPECT_TRUE(table.Execute(qimcmd::WebBrowser));
    EXPECT_EQ(ReadWebBrowser(), "/usr/bin/firefox");
}

TEST_F(OptionCommandsTest, LinksOpenInTheChosenBrowserAndAProgramThatCannotStartIsNamed) {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    const std::string seen = home_ + "/seen.txt";
    const std::string browser = home_ + "/browser.sh";
    qimtest::WriteFileBytes(browser, "#!/bin/sh\nprintf '%s' \"$1\" > \"" + seen + ".part\" && mv \"" + seen + ".part\" \"" + seen + "\"\n");
    ASSERT_EQ(::chmod(browser.c_str(), 0700), 0);
    ASSERT_TRUE(WriteWebBrowser(browser));
    EXPECT_TRUE(OpenUrlInBrowser("https://example.jp/a?b=1&c=2", nullptr));
    QElapsedTimer timer;
    timer.start();
    while (!qimtest::FileExists(seen) && timer.elapsed() < 10000) QThread::msleep(20);
    EXPECT_EQ(qimtest::ReadFileBytes(seen), "https://example.jp/a?b=1&c=2");
    EXPECT_TRUE(dialogs.Boxes().empty());

    ASSERT_TRUE(WriteWebBrowser(home_ + "/no-such-browser"));
    EXPECT_FALSE(OpenUrlInBrowser("https://example.jp/", nullptr));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_NE(dialogs.Boxes()[0].text.find("no-such-browser"), std::string::npos);
    EXPECT_NE(qimtest::Utf8(dialogs.Boxes()[0].text).find("を実行できませんでした"), std::string::npos);
}

TEST_F(OptionCommandsTest, EachFontCommandWritesItsOwnKeyAndTheWindowsFollow) {
    const struct {
        int command;
        const char* key;
    } cases[] = {{qimcmd::ViewerFont, qimini::MVDefFont},
                 {qimcmd::QuoteFont, qimini::MVQuoteFont},
                 {qimcmd::ListFont, qimini::HLWFont}};
    for (const auto& c : cases) {
        windows.face = std::string("Face") + c.key;
        EXPECT_TRUE(table.Execute(c.command));
        SFont font;
        ASSERT_TRUE(ReadQimFont(c.key, font)) << c.key;
        EXPECT_EQ(std::string(font.logFont.lfFaceName), windows.face);
        EXPECT_EQ(font.pointSize, 120);
    }
    EXPECT_EQ(windows.changes, 3);
    // Cancelled: nothing written, nothing redrawn.
    windows.face.clear();
    EXPECT_TRUE(table.Execute(qimcmd::ViewerFont));
    EXPECT_EQ(windows.changes, 3);
    SFont font;
    ASSERT_TRUE(ReadQimFont(qimini::MVDefFont, font));
    EXPECT_EQ(std::string(font.logFont.lfFaceName), "FaceMVDefFont");
}

}  // namespace
