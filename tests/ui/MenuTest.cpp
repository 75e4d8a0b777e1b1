#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/SUserInetData.h"
#include "support/TestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QimMenuBuilder.h"
#include "ui/QimMenuTables.h"
#include "ui/TQimFrame.h"
#include "ui/TQimWindows.h"

namespace {

// One item as a user sees it: "id | pop-up path | text | hint", in UTF-8.
using Rows = std::vector<std::string>;

std::string Row(int id, const std::string& path, const std::string& text, const std::string& hint) {
    return std::to_string(id) + " | " + path + " | " + text + " | " + hint;
}

// The transcribed menus (tests/data/ui/menus.tsv), by menu name.
std::map<std::string, Rows> Expected() {
    std::map<std::string, Rows> menus;
    std::ifstream in(std::string(QIM_TEST_DATA_DIR) + "/ui/menus.tsv");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::stringstream fields(line);
        std::string field;
        while (std::getline(fields, field, '\t')) f.push_back(field);
        f.resize(5);
        for (std::size_t at; (at = f[3].find("\\t")) != std::string::npos;) f[3].replace(at, 2, 1, '\t');
        menus[f[0]].push_back(Row(std::stoi(f[1]), f[2], f[3], f[4]));
    }
    return menus;
}

void Walk(const QWidget* menu, const std::string& path, Rows& rows) {
    for (QAction* action : menu->actions()) {
        if (QMenu* popup = action->menu()) {
            const std::string title = popup->title().toStdString();
            Walk(popup, path.empty() ? title : path + "/" + title, rows);
        } else {
            rows.push_back(Row(CommandOf(action), path, action->isSeparator() ? "" : action->text().toStdString(),
                               action->statusTip().toStdString()));
        }
    }
}

Rows Built(const QWidget* bar) {
    Rows rows;
    Walk(bar, "", rows);
    return rows;
}

void ExpectSameMenus(const Rows& built, const Rows& expected) {
    ASSERT_FALSE(expected.empty());
    for (std::size_t i = 0; i < std::max(built.size(), expected.size()); ++i) {
        EXPECT_EQ(i < built.size() ? built[i] : "(missing)", i < expected.size() ? expected[i] : "(extra)")
            << "item " << i;
    }
}

Rows Join(const Rows& a, const Rows& b) {
    Rows all = a;
    all.insert(all.end(), b.begin(), b.end());
    return all;
}

class Menus : public ::testing::Test {
protected:
    void SetUp() override {
        qimtest::QimTestApp();
        ResetQimProcessValues();
        SetQimHome(dir_.Path());
        SetQimIniPath(dir_.File("QIM.INI"));
    }
    void TearDown() override { ResetQimProcessValues(); }
    qimtest::TempDir dir_;
    std::map<std::string, Rows> expected_ = Expected();
};

TEST_F(Menus, LocalModeFrameCarriesTheCommonAndLocalMenus) {
    TQimFrame frame(qimtest::QimTestApp(), false);
    ExpectSameMenus(Built(frame.menuBar()), Join(expected_["common"], expected_["local"]));
    EXPECT_EQ(frame.windowTitle(), "Qim");
}

TEST_F(Menus, ServerFolderModeFrameCarriesItsOwnModeMenu) {
    TQimFrame frame(qimtest::QimTestApp(), true);
    ExpectSameMenus(Built(frame.menuBar()), Join(expected_["common"], expected_["server"]));
    for (int absent : {qimcmd::KeepMailOnServer, qimcmd::UseApop, qimcmd::ExtractPgpKey})
        EXPECT_EQ(FindCommandAction(frame.menuBar(), absent), nullptr) << absent;
}

TEST_F(Menus, ComposeMenuAndItsItemsWithoutPgp) {
    QMenuBar bar;
    BuildMenuBar(&bar, ComposeMenuTable());
    ExpectSameMenus(Built(&bar), expected_["compose"]);
    RemoveCommands(&bar, ComposePgpCommands());
    Rows withoutPgp;
    for (const std::string& row : expected_["compose"]) {
        const int id = std::stoi(row);
        if (id < qimcmd::PgpSeparator || id > qimcmd::PgpAttachKey) withoutPgp.push_back(row);
    }
    ASSERT_EQ(withoutPgp.size() + 5, expected_["compose"].size());
    ExpectSameMenus(Built(&bar), withoutPgp);
}

TEST_F(Menus, OnlyTheCommandsThatAreBuiltAreEnabledAndOptionsShowTheirState) {
    TQimApp& app = qimtest::QimTestApp();
    TQimWindows windows(app);
    app.SetWindowLayer(&windows);
    GetSettingData() = SSettingData();
    GetSettingData().deleteOnServer = false;
    GetSettingData().viewerDocking = 2;
    GetSettingData().useApop = 1;
    TQimFrame* frame = windows.CreateMainFrame();
    // The frame's, the application's and the local main window's commands.
    using namespace qimcmd;
    const std::set<int> built = {Exit, Compose, Receive, CryptKeys, ExtractPgpKey, SentMailFolder, LoadDraft,
                                 DraftFolder, NetworkSettings, KeepMailOnServer, FixedPrintFont, NoAttachmentNotice,
                                 UseApop, AttachmentFolder, DefaultSort, PgpUsage, ViewerSeparate, ViewerLowerRight,
                                 ViewerBelow, ViewerUpperRight, About,
                                 NewFolder, RenameFolder, DeleteFolder, DeleteMail, MarkImportant, RenumberGaps,
                                 RenumberByDate, RefreshCache, ImportAsNewMail, SwapFromTo, ShowMail, NextMail,
                                 PreviousMail, MarkUnread, MarkRead, ClearSelection, SelectAll, Uudecode,
                                 ExtractAttachments, Templates, ReplyPrefix,
                                 AddAddress, FromSubstitution, ArchiveFolder, HelpContents, HelpOnHelp,
                                 DesktopNotice, PasswordInKeyring, TextAsMime, FoldWidth, AddressPhrase, WebBrowser,
                                 ViewerFont, QuoteFont, ListFont, Explorer, FindFrom, FindSubject, FindInFolder,
                                 FindAllAndMark, OneShotSort, AutoSort, AutoSort2, AutoSortSettings, AutoSort2Settings,
                                 SortAfterReceive};
    const std::set<int> checked = {KeepMailOnServer, ViewerBelow, UseApop, DesktopNotice, TextAsMime};
    const std::set<int> checkable = {KeepMailOnServer, FixedPrintFont, NoAttachmentNotice, UseApop,
                                     ViewerSeparate, ViewerLowerRight, ViewerBelow, ViewerUpperRight,
                                     DesktopNotice, PasswordInKeyring, TextAsMime, SortAfterReceive};
    for (QAction* action : CommandActions(frame->menuBar())) {
        const int id = CommandOf(action);
        if (action->isSeparator()) continue;
        EXPECT_EQ(action->isEnabled(), built.count(id) == 1) << id;
        EXPECT_EQ(action->isCheckable(), checkable.count(id) == 1) << id;
        EXPECT_EQ(action->isChecked(), checked.count(id) == 1) << id;
    }
    // A command changes the record and the marks follow.
    FindCommandAction(frame->menuBar(), qimcmd::KeepMailOnServer)->trigger();
    EXPECT_TRUE(GetSettingData().deleteOnServer);
    EXPECT_FALSE(FindCommandAction(frame->menuBar(), qimcmd::KeepMailOnServer)->isChecked());
    EXPECT_TRUE(frame->ExecCommand(qimcmd::FixedPrintFont));
    EXPECT_TRUE(FindCommandAction(frame->menuBar(), qimcmd::FixedPrintFont)->isChecked());
    // Served, but greyed while no mail is selected (the empty inbox has none).
    EXPECT_TRUE(frame->IsCommandServed(qimcmd::Reply));
    EXPECT_FALSE(FindCommandAction(frame->menuBar(), qimcmd::Reply)->isEnabled());
    // The next search waits for a first one.
    EXPECT_TRUE(frame->IsCommandServed(qimcmd::FindNext));
    EXPECT_FALSE(FindCommandAction(frame->menuBar(), qimcmd::FindNext)->isEnabled());
    EXPECT_FALSE(frame->ExecCommand(99999));  // a number nobody serves
    app.SetWindowLayer(nullptr);
}

TEST_F(Menus, ToolBarCaptionAndButtons) {
    TQimFrame frame(qimtest::QimTestApp(), false);
    ASSERT_NE(frame.ToolBar(), nullptr);
    EXPECT_EQ(frame.ToolBar()->windowTitle().toStdString(), "Qim ﾂｰﾙﾊﾞｰ");
    std::vector<int> buttons;
    for (QAction* action : frame.ToolBar()->actions())
        if (CommandOf(action)) buttons.push_back(CommandOf(action));
    EXPECT_EQ(buttons, (std::vector<int>{qimcmd::Receive, qimcmd::Compose, qimcmd::Reply, qimcmd::Forward,
                                         qimcmd::ShowMail, qimcmd::DeleteMail, qimcmd::FindInFolder,
                                         qimcmd::NetworkSettings}));
    // The buttons are the menu's own items, so they are enabled alike.
    EXPECT_EQ(frame.ToolBar()->actions()[0], FindCommandAction(frame.menuBar(), qimcmd::Receive));
}

}  // namespace
