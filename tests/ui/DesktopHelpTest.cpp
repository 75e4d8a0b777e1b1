// The help keys and commands open the manual built beside the program; in
// context-help mode a chosen item shows its page instead of running.
#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QUrl>

#include "app/SQimHelp.h"
#include "config/QimCommandIds.h"
#include "config/QimRequestCodes.h"
#include "config/SSettingData.h"
#include "config/SQimSendSettingData.h"
#include "config/SUserInetData.h"
#include "send/SSendMail.h"
#include "support/TestSupport.h"
#include "tests/app/AppTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QimMenuBuilder.h"
#include "ui/TContextHelp.h"
#include "ui/TQimFrame.h"
#include "ui/TQimSendWindow.h"
#include "ui/TQimWindows.h"

namespace {

class DesktopHelp : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        TQimApp& app = qimtest::QimTestApp();
        GetSettingData() = SSettingData();
        windows_ = std::make_unique<TQimWindows>(app);
        app.SetWindowLayer(windows_.get());
        frame_ = windows_->CreateMainFrame();
        // The browser is not started: the URL the help asks for is kept.
        app.Requests().Register(qimreq::OpenUrl, [this](SAppRequest& r) -> long {
            urls_.push_back(QUrl(QString::fromStdString(r.text)));
            return 1;
        });
    }
    void TearDown() override {
        qimtest::QimTestApp().SetWindowLayer(nullptr);
        windows_.reset();
        QimHomeTest::TearDown();
    }
    // The page of the manual the last request opened ("index.html#..."), after checking it is a file there.
    std::string LastPage() {
        if (urls_.empty()) return "<none>";
        const QUrl url = urls_.back();
        EXPECT_TRUE(url.isLocalFile()) << url.toString().toStdString();
        const std::string path = url.toLocalFile().toStdString();
        EXPECT_TRUE(qimtest::FileExists(path)) << path;
        EXPECT_EQ(path.rfind(QimManualFolder() + "/", 0), 0u) << path;
        const std::string page = path.substr(path.rfind('/') + 1);
        return url.hasFragment() ? page + "#" + url.fragment().toStdString() : page;
    }

    std::unique_ptr<TQimWindows> windows_;
    TQimFrame* frame_ = nullptr;
    std::vector<QUrl> urls_;
};

TEST_F(DesktopHelp, TheManualIsFoundBesideTheProgramOfTheBuildFolder) {
    const std::string folder = QimManualFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(qimtest::FileExists(folder + "/index.html"));
    EXPECT_TRUE(qimtest::FileExists(folder + "/../screenshots/main-window.png"));
}

TEST_F(DesktopHelp, TheHelpMenuAndF1OpenTheContents) {
    for (const int id : {qimcmd::HelpContents, qimcmd::HelpOnHelp})
        EXPECT_TRUE(FindCommandAction(frame_->menuBar(), id)->isEnabled()) << id;
    FindCommandAction(frame_->menuBar(), qimcmd::HelpContents)->trigger();
    EXPECT_EQ(LastPage(), "index.html");
    FindCommandAction(frame_->menuBar(), qimcmd::HelpOnHelp)->trigger();
    EXPECT_EQ(LastPage(), "help.html");
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_));
    QTest::keyClick(frame_, Qt::Key_F1);
    EXPECT_EQ(LastPage(), "index.html");
    EXPECT_EQ(urls_.size(), 3u);
}

TEST_F(DesktopHelp, InContextHelpModeAChosenItemShowsItsPageInsteadOfRunning) {
    frame_->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_));
    const bool deleteBefore = GetSettingData().deleteOnServer;
    QTest::keyClick(frame_, Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(frame_->Help()->Active());
    FindCommandAction(frame_->menuBar(), qimcmd::KeepMailOnServer)->trigger();
    EXPECT_EQ(LastPage(), "menus.html#c437");
    EXPECT_EQ(GetSettingData().deleteOnServer, deleteBefore) << "the item ran";
    EXPECT_FALSE(frame_->Help()->Active()) << "one item, then the mode ends";

    // Esc leaves the mode; the item runs again.
    QTest::keyClick(frame_, Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(frame_->Help()->Active());
    QTest::keyClick(frame_, Qt::Key_Escape);
    EXPECT_FALSE(frame_->Help()->Active());
    FindCommandAction(frame_->menuBar(), qimcmd::KeepMailOnServer)->trigger();
    EXPECT_NE(GetSettingData().deleteOnServer, deleteBefore);
    EXPECT_EQ(urls_.size(), 1u);
}

TEST_F(DesktopHelp, F1InAnOpenMenuShowsThePageOfTheHighlightedItem) {
    QAction* receive = FindCommandAction(frame_->menuBar(), qimcmd::Receive);
    QMenu* menu = nullptr;
    for (QMenu* m : frame_->menuBar()->findChildren<QMenu*>())
        if (m->actions().contains(receive)) menu = m;
    ASSERT_NE(menu, nullptr);
    menu->setActiveAction(receive);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(menu, &f1);
    EXPECT_EQ(LastPage(), "menus.html#c413");
    EXPECT_FALSE(frame_->Help()->Active());
}

TEST_F(DesktopHelp, TheComposeWindowOpensItsOwnPageAndTheContents) {
    SUserInetData inet;
    SQimSendSettingData send;
    SLoginAlreadyConfirmed login;
    TQimSendWindow compose(inet, send, login, false);
    compose.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&compose));
    QTest::keyClick(&compose, Qt::Key_F1);
    EXPECT_EQ(LastPage(), "compose.html");
    EXPECT_TRUE(compose.ExecCommand(qimcmd::HelpContents));
    EXPECT_EQ(LastPage(), "index.html");
}

}  // namespace
