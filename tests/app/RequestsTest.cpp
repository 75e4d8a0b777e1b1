#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QObject>
#include <memory>

#include "config/QimCommandIds.h"
#include "config/QimRequestCodes.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "app/SCommandTable.h"
#include "app/SLoginState.h"
#include "app/SQimCloseQuery.h"
#include "app/SQimInstance.h"
#include "app/SQimWindowLayer.h"
#include "app/SRequestDispatcher.h"
#include "config/SSettingData.h"
#include "app/SSettingsCommands.h"
#include "config/SUserInetData.h"
#include "platform/ScriptedDialogService.h"
#include "tests/app/AppTestSupport.h"

namespace {

using platform::MessageIcon;
using platform::RecordedBox;

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

void ProcessEventsFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

std::string Utf8Text(const RecordedBox& box) { return qimtest::Utf8(box.text); }

SAppRequest Req(int code, int flag = 0, const std::string& text = std::string()) {
    SAppRequest r;
    r.code = code;
    r.flag = flag;
    r.text = text;
    return r;
}

TEST(RequestDispatcher, ServesByCodeAndAnswersZeroForUnknownCodes) {
    SRequestDispatcher dispatcher;
    dispatcher.Register(qimreq::HomeDirectory, [](SAppRequest& r) -> long {
        r.answerText = "/home/taro/QimHome";
        return 1;
    });
    dispatcher.Register(qimreq::ReloadFolder,
                        [](SAppRequest& r) -> long { return static_cast<long>(r.text.size()) + r.flag; });
    SAppRequest home = Req(qimreq::HomeDirectory);
    EXPECT_EQ(dispatcher.Dispatch(home), 1);
    EXPECT_EQ(home.answerText, "/home/taro/QimHome");
    SAppRequest reload = Req(qimreq::ReloadFolder, 3, "/f");
    EXPECT_EQ(dispatcher.Dispatch(reload), 5);
    SAppRequest unknown = Req(2170);
    EXPECT_EQ(dispatcher.Dispatch(unknown), 0);
    EXPECT_FALSE(dispatcher.Has(2170));
    dispatcher.Register(qimreq::HomeDirectory, [](SAppRequest&) -> long { return 7; });
    EXPECT_EQ(dispatcher.Dispatch(home), 7);
}

TEST(CommandTable, ExecutesAndReportsChecks) {
    SCommandTable table;
    int runs = 0;
    bool on = false;
    table.Add(1, [&] { ++runs; });
    table.Add(2, [&] { on = !on; }, [&] { return on; });
    EXPECT_TRUE(table.Execute(1));
    EXPECT_FALSE(table.Execute(3));
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(table.IsChecked(1).has_value());
    EXPECT_EQ(table.IsChecked(2), false);
    table.Execute(2);
    EXPECT_EQ(table.IsChecked(2), true);
}

struct Answer {
    int code = -1;
    int confirmed = -1;
    int calls = 0;
};

SLoginState::Answer Recorder(Answer& a) {
    return [&a](int code, bool confirmed) {
        a.code = code;
        a.confirmed = confirmed;
        ++a.calls;
    };
}

TEST(LoginState, AskersWaitForTheOutcomeOfOneAuthentication) {
    App();
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService installed(dialogs);
    SUserInetData inet;
    inet.password = "old";
    SLoginState login(inet);
    int runs = 0;
    login.SetAuthenticator([&] { ++runs; });
    QObject first, second;
    Answer a, b;
    login.Ask(&first, 11, Recorder(a));
    login.Ask(&second, 22, Recorder(b));
    EXPECT_EQ(runs, 1);
    ProcessEventsFor(20);
    EXPECT_EQ(a.calls, 0);  // nothing before the session reports

    login.Report(qimreq::LoginRefused);
    EXPECT_FALSE(login.Confirmed());
    EXPECT_EQ(inet.password, "");
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(Utf8Text(dialogs.Boxes()[0]), "パスワードが違います。");
    EXPECT_EQ(dialogs.Boxes()[0].icon, MessageIcon::Stop);
    EXPECT_EQ(dialogs.Boxes()[0].caption, "Qim");
    EXPECT_EQ(a.calls, 0);  // answers come through the event loop
    ProcessEventsFor(20);
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(a.code, 11);
    EXPECT_EQ(a.confirmed, 0);
    EXPECT_EQ(b.code, 22);
    EXPECT_EQ(b.confirmed, 0);

    // A new question starts a new run; acceptance confirms the login.
    Answer c;
    login.Ask(&first, 33, Recorder(c));
    EXPECT_EQ(runs, 2);
    login.Report(qimreq::LoginAccepted);
    ProcessEventsFor(20);
    EXPECT_EQ(c.confirmed, 1);
    EXPECT_EQ(c.code, 33);
    // Once confirmed, askers get the answer without a run.
    Answer d;
    login.Ask(&second, 44, Recorder(d));
    ProcessEventsFor(20);
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(d.confirmed, 1);
    // A cancelled prompt unconfirms without a message.
    login.Report(qimreq::LoginPromptCancelled);
    EXPECT_FALSE(login.Confirmed());
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
}

TEST(LoginState, NoAnswerReachesAnAskerThatIsGone) {
    App();
    SUserInetData inet;
    SLoginState login(inet);
    login.SetAuthenticator([] {});
    Answer a;
    auto asker = std::make_unique<QObject>();
    login.Ask(asker.get(), 1, Recorder(a));
    login.Report(qimreq::LoginAccepted);
    asker.reset();
    ProcessEventsFor(20);
    EXPECT_EQ(a.calls, 0);
    // Without an authentication run the asker is told at once that the login is not confirmed.
    SLoginState bare(inet);
    QObject alive;
    Answer b;
    bare.Ask(&alive, 9, Recorder(b));
    ProcessEventsFor(20);
    EXPECT_EQ(b.calls, 1);
    EXPECT_EQ(b.confirmed, 0);
}

// The window layer as the settings commands see it: dialogs answer from the test.
class FakeWindows : public SQimWindowLayer {
public:
    platform::ParentWindow MainWindow() override { return nullptr; }
    void PostCommand(int id) override { posted.push_back(id); }
    void ActivateMainFrame() override { ++activated; }
    void ReloadFolder(const std::string& folder) override { reloaded.push_back(folder); }
    bool EditNetworkSettings(SUserInetData& data) override {
        ++networkDialogs;
        if (!networkEdit) return false;
        networkEdit(data);
        return true;
    }
    bool EditDefaultSort(int& value) override {
        if (sortAnswer < 0) return false;
        value = sortAnswer;
        return true;
    }
    bool EditPgpUsage(int& usage) override {
        if (pgpAnswer < 0) return false;
        usage = pgpAnswer;
        return true;
    }
    void ShowAbout() override {}

    std::function<void(SUserInetData&)> networkEdit;
    int sortAnswer = -1;
    int pgpAnswer = -1;
    int networkDialogs = 0;
    int activated = 0;
    std::vector<int> posted;
    std::vector<std::string> reloaded;
};

class SettingsCommandsTest : public qimtest::QimHomeTest {
protected:
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService installed{dialogs};
    SSettingData settings;
    SUserInetData inet;
    FakeWindows windows;
    SSettingsCommands commands{settings, inet, windows};
};

TEST_F(SettingsCommandsTest, PasswordPromptKeepsThePasswordInMemoryOnly) {
    inet.pop3Server = "pop.example.jp";
    dialogs.AnswerInput(std::string("typed"));
    EXPECT_EQ(commands.AskPassword(), 1);
    EXPECT_EQ(inet.password, "typed");
    EXPECT_EQ(qimtest::ReadFileBytes(Ini()), "");
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(qimtest::Utf8(dialogs.Boxes()[0].caption), "パスワードの入力");
    EXPECT_EQ(Utf8Text(dialogs.Boxes()[0]), "パスワード：");

    // With PWPS the prompt is the server's name; cancel keeps the old password.
    settings.serverNameAsPrompt = true;
    dialogs.AnswerInput(std::nullopt);
    EXPECT_EQ(commands.AskPassword(), 0);
    EXPECT_EQ(inet.password, "typed");
    EXPECT_EQ(dialogs.Boxes()[1].text, "pop.example.jp");
}

TEST_F(SettingsCommandsTest, ThePasswordPromptsCheckBoxDecidesWhetherThePasswordIsStored) {
    // Checked: PasswdSave and the scrambled password, which the next run reads.
    dialogs.AnswerInput(std::string("kept"));
    dialogs.AnswerCheck(true);
    EXPECT_EQ(commands.AskPassword(), 1);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(qimtest::Utf8(dialogs.Boxes()[0].checkLabel), "パスワードを保存する");
    EXPECT_FALSE(dialogs.Boxes()[0].checkedAtFirst);
    EXPECT_EQ(Stored(Ini(), "Host", "PasswdSave"), "1");
    const std::string scrambled = Stored(Ini(), "Host", "Passwd");
    EXPECT_NE(scrambled, "<none>");
    EXPECT_EQ(scrambled.find("kept"), std::string::npos);
    SUserInetData next;
    next.Read();
    EXPECT_EQ(next.password, "kept");

    // The box opens as the file says; unchecked, the stored password goes.
    dialogs.AnswerInput(std::string("other"));
    dialogs.AnswerCheck(false);
    EXPECT_EQ(commands.AskPassword(), 1);
    EXPECT_TRUE(dialogs.Boxes()[1].checkedAtFirst);
    EXPECT_EQ(inet.password, "other");
    EXPECT_EQ(Stored(Ini(), "Host", "PasswdSave"), "0");
    EXPECT_EQ(Stored(Ini(), "Host", "Passwd"), "<none>");

    // Cancelled: the file stays as it was, whatever the box showed.
    dialogs.AnswerInput(std::nullopt);
    dialogs.AnswerCheck(true);
    EXPECT_EQ(commands.AskPassword(), 0);
    EXPECT_EQ(Stored(Ini(), "Host", "PasswdSave"), "0");
    EXPECT_EQ(Stored(Ini(), "Host", "Passwd"), "<none>");
    EXPECT_EQ(dialogs.Unanswered(), 0);
}

TEST_F(SettingsCommandsTest, NetworkSettingsAreWrittenAtOnceAndAPortChangeAsksForARestart) {
    windows.networkEdit = [](SUserInetData& d) { d.userName = "taro"; };
    EXPECT_EQ(commands.AskNetworkSettings(), 1);
    EXPECT_EQ(Stored(Ini(), "Host", "UserName"), "taro");
    EXPECT_TRUE(dialogs.Boxes().empty());

    windows.networkEdit = [](SUserInetData& d) { d.pop3Port = 143; };
    EXPECT_EQ(commands.AskNetworkSettings(), 1);
    EXPECT_EQ(Stored(Ini(), "Host", "POP3Port"), "143");
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(Utf8Text(dialogs.Boxes()[0]), "基本的な設定の変更がなされました。一旦 Qim を終了して下さい。");
    EXPECT_EQ(dialogs.Boxes()[0].icon, MessageIcon::Exclamation);

    windows.networkEdit = nullptr;  // cancelled: nothing changes
    EXPECT_EQ(commands.AskNetworkSettings(), 0);
    EXPECT_EQ(inet.pop3Port, 143);
}

TEST_F(SettingsCommandsTest, OptionCommandsToggleTheRecordAndShowTheirChecks) {
    SCommandTable table;
    commands.Register(table);
    struct Toggle {
        int command;
        std::function<bool()> value;
    } toggles[] = {
        {qimcmd::KeepMailOnServer, [&] { return !settings.deleteOnServer; }},
        {qimcmd::FixedPrintFont, [&] { return settings.fixedPrintFont; }},
        {qimcmd::NoAttachmentNotice, [&] { return settings.noAttachmentNotice; }},
        {qimcmd::UseApop, [&] { return settings.useApop != 0; }},
        {qimcmd::SendNoop, [&] { return settings.sendNoop; }},
    };
    for (const Toggle& t : toggles) {
        const bool before = t.value();
        EXPECT_EQ(table.IsChecked(t.command), before) << t.command;
        ASSERT_TRUE(table.Execute(t.command));
        EXPECT_NE(t.value(), before) << t.command;
        EXPECT_EQ(table.IsChecked(t.command), !before) << t.command;
    }
    // The record is written when the main frame closes, not now.
    EXPECT_EQ(qimtest::ReadFileBytes(Ini()), "");
    EXPECT_TRUE(dialogs.Boxes().empty());
}

TEST_F(SettingsCommandsTest, ViewerDockingCommandsSetTheValueAndAskForARestart) {
    SCommandTable table;
    commands.Register(table);
    const struct {
        int command, value;
    } cases[] = {{qimcmd::ViewerLowerRight, 1}, {qimcmd::ViewerBelow, 2}, {qimcmd::ViewerUpperRight, 3},
                 {qimcmd::ViewerSeparate, 0}};
    for (const auto& c : cases) {
        dialogs.Clear();
        ASSERT_TRUE(table.Execute(c.command));
        EXPECT_EQ(settings.viewerDocking, c.value);
        for (int other : {qimcmd::ViewerSeparate, qimcmd::ViewerLowerRight, qimcmd::ViewerBelow, qimcmd::ViewerUpperRight})
            EXPECT_EQ(table.IsChecked(other), other == c.command);
        ASSERT_EQ(dialogs.Boxes().size(), 1u);
        EXPECT_EQ(Utf8Text(dialogs.Boxes()[0]), "基本的な設定の変更がなされました。一旦 Qim を終了して下さい。");
    }
}

TEST_F(SettingsCommandsTest, FolderSortAndPgpDialogsChangeTheRecordOnlyOnOk) {
    SCommandTable table;
    commands.Register(table);
    settings.attachmentFolder = "/old";
    dialogs.AnswerFile({});
    table.Execute(qimcmd::AttachmentFolder);
    EXPECT_EQ(settings.attachmentFolder, "/old");
    dialogs.AnswerFile({"/new/\x93\x59\x95\x74"});
    table.Execute(qimcmd::AttachmentFolder);
    EXPECT_EQ(settings.attachmentFolder, "/new/\x93\x59\x95\x74");
    EXPECT_EQ(dialogs.Boxes()[0].file.kind, platform::FileDialogKind::Folder);
    EXPECT_EQ(dialogs.Boxes()[0].file.initialDir, "/old");

    table.Execute(qimcmd::DefaultSort);
    EXPECT_EQ(settings.defaultSort, 0);
    windows.sortAnswer = 0x31;
    table.Execute(qimcmd::DefaultSort);
    EXPECT_EQ(settings.defaultSort, 0x31);
    table.Execute(qimcmd::PgpUsage);
    EXPECT_EQ(settings.pgpUsage, 0);
    windows.pgpAnswer = 1;
    table.Execute(qimcmd::PgpUsage);
    EXPECT_EQ(settings.pgpUsage, 1);
    ASSERT_TRUE(table.Execute(qimcmd::NetworkSettings));
    EXPECT_EQ(windows.networkDialogs, 1);
}

// A close order whose steps are recorded.
class RecordingClose : public SQimCloseQuery {
public:
    std::vector<std::string> steps;
    bool childrenAgree = true;
    bool viewersAgree = true;
    SClosingWindow* compose = nullptr;

protected:
    bool ChildrenMayClose() override {
        steps.push_back("children");
        return childrenAgree;
    }
    void WriteSettings() override { steps.push_back("settings"); }
    void WriteWindowState() override { steps.push_back("window"); }
    void StoreClientLayout() override { steps.push_back("layout"); }
    bool ViewersMayClose() override {
        steps.push_back("viewers");
        return viewersAgree;
    }
    SClosingWindow* ComposeWindow() override { return compose; }
    void ShowDialogStillOpen() override { steps.push_back("DialogStillOpen"); }
};

class FakeCompose : public SClosingWindow {
public:
    bool enabled = true, agrees = true, destroyed = false;
    bool CanClose() override { return agrees; }
    bool IsEnabled() const override { return enabled; }
    void Destroy() override { destroyed = true; }
};

TEST(CloseOrder, SettingsAreSavedBeforeViewersOrTheComposeWindowCanRefuse) {
    using Steps = std::vector<std::string>;
    RecordingClose plain;
    EXPECT_TRUE(plain.CanClose());
    EXPECT_EQ(plain.steps, (Steps{"children", "settings", "window", "layout", "viewers"}));

    RecordingClose child;
    child.childrenAgree = false;
    EXPECT_FALSE(child.CanClose());
    EXPECT_EQ(child.steps, (Steps{"children"}));

    RecordingClose viewer;
    viewer.viewersAgree = false;
    EXPECT_FALSE(viewer.CanClose());
    EXPECT_EQ(viewer.steps, (Steps{"children", "settings", "window", "layout", "viewers", "DialogStillOpen"}));

    FakeCompose busy;
    busy.enabled = false;
    RecordingClose dialogOpen;
    dialogOpen.compose = &busy;
    EXPECT_FALSE(dialogOpen.CanClose());
    EXPECT_EQ(dialogOpen.steps.back(), "DialogStillOpen");
    EXPECT_FALSE(busy.destroyed);

    FakeCompose refusing;
    refusing.agrees = false;
    RecordingClose refused;
    refused.compose = &refusing;
    EXPECT_FALSE(refused.CanClose());
    EXPECT_EQ(refused.steps.back(), "viewers");
    EXPECT_FALSE(refusing.destroyed);

    FakeCompose willing;
    RecordingClose closes;
    closes.compose = &willing;
    EXPECT_TRUE(closes.CanClose());
    EXPECT_TRUE(willing.destroyed);
}

// The running copy as the rule sees it.
class FakeRunning : public SRunningCopy {
public:
    bool exists = false;
    std::optional<std::string> home;
    int asked = 0, activated = 0;
    bool Exists() override { return exists; }
    std::optional<std::string> HomeDirectory() override {
        ++asked;
        return home;
    }
    void Activate() override { ++activated; }
};

TEST(InstanceRule, SecondCopyRefusedUnlessDoubleOrDoubleXWithAnotherHome) {
    struct Case {
        const char* name;
        int mode;
        bool exists;
        std::optional<std::string> theirs;
        bool starts;
        int asked;
    } cases[] = {
        {"alone", 0, false, std::nullopt, true, 0},
        {"second copy", 0, true, "/h/QimHome", false, 0},
        {"/DOUBLE", 1, true, "/h/QimHome", true, 0},
        {"/DOUBLEX same home", 2, true, "/h/QimHome", false, 1},
        {"/DOUBLEX same home with a slash", 2, true, "/h/QimHome/", false, 1},
        {"/DOUBLEX other home", 2, true, "/other/QimHome", true, 1},
        {"/DOUBLEX no answer", 2, true, std::nullopt, false, 1},
        {"/DOUBLEX alone", 2, false, std::nullopt, true, 0},
    };
    for (const Case& c : cases) {
        platform::ScriptedDialogService dialogs;
        platform::ScopedDialogService installed(dialogs);
        FakeRunning running;
        running.exists = c.exists;
        running.home = c.theirs;
        EXPECT_EQ(ApplyInstanceRule(c.mode, "/h/QimHome", running), c.starts) << c.name;
        EXPECT_EQ(running.asked, c.asked) << c.name;
        EXPECT_EQ(running.activated, c.starts ? 0 : 1) << c.name;
        if (c.starts) {
            EXPECT_TRUE(dialogs.Boxes().empty()) << c.name;
        } else {
            ASSERT_EQ(dialogs.Boxes().size(), 1u) << c.name;
            EXPECT_EQ(Utf8Text(dialogs.Boxes()[0]), "Qim を同時に２つ起動することは出来ません。");
            EXPECT_EQ(dialogs.Boxes()[0].caption, "Qim");
            EXPECT_EQ(dialogs.Boxes()[0].icon, MessageIcon::Exclamation);
        }
    }
}

}  // namespace
