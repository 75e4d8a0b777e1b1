#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <cctype>
#include <cstdio>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/QimCmmnsVersion.h"
#include "app/SQimCloseQuery.h"
#include "platform/PrivateProfile.h"
#include "platform/Screen.h"
#include "platform/ScriptedDialogService.h"
#include "support/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TQimFrame.h"
#include "ui/TQimWindows.h"

namespace {

std::string Stored(const std::string& file, const char* section, const char* key) {
    char buffer[256];
    platform::GetPrivateProfileString(section, key, "<none>", buffer, sizeof buffer, file.c_str());
    return buffer;
}

class Frame : public ::testing::Test {
protected:
    void SetUp() override {
        qimtest::QimTestApp();
        ResetQimProcessValues();
        SetQimHome(dir_.Path());
        SetQimIniPath(Ini());
        platform::SetPrimaryScreenSize(1000, 500);
    }
    void TearDown() override { ResetQimProcessValues(); }
    std::string Ini() const { return dir_.File("QIM.INI"); }
    void Store(const char* key, const char* value) {
        ASSERT_TRUE(platform::WritePrivateProfileString("Qim", key, value, Ini().c_str()));
    }

    qimtest::TempDir dir_;
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService installed_{dialogs_};
};

TEST_F(Frame, RectangleFromLastWindowOrFourFifthsByTwoFifthsOfTheScreen) {
    const struct {
        const char* stored;
        QRect expected;
    } cases[] = {
        {nullptr, QRect(0, 0, 800, 200)},
        {"10 20 410 320", QRect(10, 20, 400, 300)},
        {"0 0 1000 500", QRect(0, 0, 1000, 500)},
        {"10 10 5000 300", QRect(0, 0, 800, 200)},  // off the screen
        {"-5 0 100 100", QRect(0, 0, 800, 200)},
        {"garbage", QRect(0, 0, 800, 200)},
    };
    for (const auto& c : cases) {
        if (c.stored) Store("LastWindow", c.stored);
        TQimFrame frame(qimtest::QimTestApp(), false);
        frame.RestoreRectangle();
        EXPECT_EQ(frame.geometry(), c.expected) << (c.stored ? c.stored : "(none)");
    }
}

TEST_F(Frame, ClosingSavesTheSettingsAndTheWindowStateThatTheNextStartRestores) {
    {
        TQimFrame frame(qimtest::QimTestApp(), false);
        frame.setGeometry(30, 40, 500, 300);
        frame.ShowAtStart();
        const QRect shown = frame.geometry();
        EXPECT_TRUE(frame.close());
        const std::string expected = std::to_string(shown.x()) + " " + std::to_string(shown.y()) + " " +
                                     std::to_string(shown.x() + shown.width()) + " " +
                                     std::to_string(shown.y() + shown.height());
        EXPECT_EQ(Stored(Ini(), "Qim", "LastWindow"), expected);
        EXPECT_EQ(Stored(Ini(), "Qim", "LastShow"), "0");
        EXPECT_EQ(Stored(Ini(), "Qim", "DelMails"), "1");
        EXPECT_EQ(Stored(dir_.File("CONFIG.INI"), "Qim", "MVFMenuE"), "3");
    }
    {
        TQimFrame again(qimtest::QimTestApp(), false);
        again.RestoreRectangle();
        const std::string stored = Stored(Ini(), "Qim", "LastWindow");
        EXPECT_EQ(std::to_string(again.geometry().x()) + " " + std::to_string(again.geometry().y()),
                  stored.substr(0, stored.find(' ', stored.find(' ') + 1)));
        again.showMaximized();
        EXPECT_TRUE(again.close());
        EXPECT_EQ(Stored(Ini(), "Qim", "LastShow"), "1");
    }
    TQimFrame third(qimtest::QimTestApp(), false);
    third.ShowAtStart();
    EXPECT_TRUE(third.windowState() & Qt::WindowMaximized);
    third.close();
    EXPECT_TRUE(dialogs_.Boxes().empty());
}

class Refusing : public SClosingWindow {
public:
    bool agrees = true;
    bool enabled = true;
    bool CanClose() override { return agrees; }
    bool IsEnabled() const override { return enabled; }
    void Destroy() override {}
};

TEST_F(Frame, AViewerThatRefusesOrAComposeDialogKeepsTheProgramRunningAfterSaving) {
    TQimApp& app = qimtest::QimTestApp();
    Refusing viewer;
    viewer.agrees = false;
    app.AddViewer(&viewer);
    TQimFrame frame(app, false);
    frame.show();
    EXPECT_FALSE(frame.close());
    EXPECT_TRUE(frame.isVisible());
    ASSERT_EQ(dialogs_.Boxes().size(), 1u);
    EXPECT_EQ(qimtest::Utf8(dialogs_.Boxes()[0].text),
              "ダイアログが開いた状態では終了できません。閉じてから終了して下さい。");
    EXPECT_EQ(dialogs_.Boxes()[0].icon, platform::MessageIcon::Stop);
    EXPECT_NE(Stored(Ini(), "Qim", "LastWindow"), "<none>");
    EXPECT_NE(Stored(Ini(), "Qim", "DelMails"), "<none>");
    app.RemoveViewer(&viewer);

    Refusing compose;
    compose.enabled = false;
    app.SetComposeWindow(&compose);
    EXPECT_FALSE(frame.close());
    EXPECT_EQ(dialogs_.Boxes().size(), 2u);
    app.SetComposeWindow(nullptr);
    EXPECT_TRUE(frame.close());
}

TEST_F(Frame, CommandsGoToTheFrameThenTheApplicationAndPostedOnesComeLater) {
    TQimFrame frame(qimtest::QimTestApp(), false);
    frame.show();
    EXPECT_FALSE(frame.ExecCommand(qimcmd::Receive));
    frame.PostCommand(qimcmd::Exit);
    EXPECT_TRUE(frame.isVisible());
    QApplication::processEvents();
    EXPECT_FALSE(frame.isVisible());
}

}  // namespace

namespace {

TEST_F(Frame, TheAboutBoxShowsTheProgramAndLibraryVersions) {
    TQimApp& app = qimtest::QimTestApp();
    TQimWindows windows(app);
    app.SetWindowLayer(&windows);
    windows.CreateMainFrame();
    ASSERT_TRUE(app.Commands().Execute(qimcmd::About));
    app.SetWindowLayer(nullptr);
    ASSERT_EQ(dialogs_.Boxes().size(), 1u);
    const std::string& text = dialogs_.Boxes()[0].text;
    EXPECT_EQ(text.rfind(LoadQimString(qimstr::AboutText), 0), 0u);
    char library[32];
    std::snprintf(library, sizeof library, "(qimcmmns %d.%02d)", QimCmmnsVersionMajor(), QimCmmnsVersionMinor());
    const std::size_t at = text.find("\nQim ");
    ASSERT_NE(at, std::string::npos) << text;
    EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(text[at + 5]))) << text;
    EXPECT_NE(text.find(library), std::string::npos) << text;
}

}  // namespace
