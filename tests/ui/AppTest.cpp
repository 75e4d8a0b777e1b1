#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <functional>

#include "config/QimCommandIds.h"
#include "config/QimGlobals.h"
#include "config/QimRequestCodes.h"
#include "app/SQimInstance.h"
#include "app/SQimWindowLayer.h"
#include "config/SUserInetData.h"
#include "platform/PrivateProfile.h"
#include "platform/ScriptedDialogService.h"
#include "support/TestSupport.h"
#include "tests/ui/UiTestSupport.h"

namespace {

class NoRunningCopy : public SRunningCopy {
public:
    bool Exists() override { return false; }
    std::optional<std::string> HomeDirectory() override { return std::nullopt; }
    void Activate() override {}
};

class Environment : public SStartEnvironment {
public:
    explicit Environment(std::string home) : home_(std::move(home)) {}
    std::optional<std::string> Variable(const char* name) const override {
        if (std::string(name) == "HOME") return home_;
        return std::nullopt;
    }
    std::optional<std::string> WorkingDirectory() const override { return "/nonexistent"; }

private:
    std::string home_;
};

class RecordingWindows : public SQimWindowLayer {
public:
    platform::ParentWindow MainWindow() override { return nullptr; }
    void PostCommand(int id) override { posted.push_back(id); }
    void ActivateMainFrame() override {}
    void ReloadFolder(const std::string& folder) override { reloaded.push_back(folder); }
    bool EditNetworkSettings(SUserInetData& data) override {
        ++networkDialogs;
        if (!networkEdit) return false;
        networkEdit(data);
        return true;
    }
    bool EditDefaultSort(int&) override { return false; }
    bool EditPgpUsage(int&) override { return false; }
    void ShowAbout() override {}
    std::function<void(SUserInetData&)> networkEdit;  // null: the dialog is cancelled
    int networkDialogs = 0;
    std::vector<int> posted;
    std::vector<std::string> reloaded;
};

class Application : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = &qimtest::QimTestApp();
        ResetQimProcessValues();
    }
    void TearDown() override {
        app_->SetWindowLayer(nullptr);
        ResetQimProcessValues();
    }
    // Command line and start as qim does them, with HOME in the test's folder.
    bool StartWith(std::vector<std::string> args) {
        int code = -1;
        Environment env(dir_.Path());
        if (!app_->ReadCommandLine(args, env, code)) return false;
        NoRunningCopy none;
        return app_->Start(none, code);
    }
    std::string Stored(const char* section, const char* key) {
        char buffer[256];
        platform::GetPrivateProfileString(section, key, "<none>", buffer, sizeof buffer, GetQimIniPath().c_str());
        return buffer;
    }

    TQimApp* app_ = nullptr;
    qimtest::TempDir dir_;
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService installed_{dialogs_};
};

TEST_F(Application, TheCommandLineSetsTheProcessValuesAndTheHomeIsMade) {
    ASSERT_TRUE(StartWith({"/NU", "mailto:hanako@example.jp", "/DOUBLEX"}));
    EXPECT_EQ(GetQimHome(), dir_.File("QimHome"));
    EXPECT_EQ(GetQimIniPath(), dir_.File("QimHome/QIM.INI"));
    EXPECT_TRUE(qimtest::FileExists(GetQimHome()));
    EXPECT_FALSE(GetSettingData().receiveAtStart);
    EXPECT_TRUE(GetSettingData().settingsAtStart);
    EXPECT_EQ(GetMailtoAddress(), "hanako@example.jp");
    EXPECT_EQ(GetInstanceMode(), 2);
    EXPECT_EQ(app_->FirstActionCommand(), qimcmd::Compose);
    ClearMailtoAddress();
    EXPECT_EQ(app_->FirstActionCommand(), qimcmd::NetworkSettings);
    EXPECT_TRUE(dialogs_.Boxes().empty());
}

TEST_F(Application, MailboxTypeSwitchesRewriteTheReceivePortOnlyWhenItMustChange) {
    ASSERT_TRUE(StartWith({"/4"}));
    app_->PrepareMainWindow();
    EXPECT_TRUE(app_->IsServerMode());
    EXPECT_EQ(Stored("Host", "POP3Port"), "143");
    // /4 again and /3 when the port is 25: nothing is written.
    const std::string before = qimtest::ReadFileBytes(GetQimIniPath());
    ASSERT_TRUE(StartWith({"/4"}));
    app_->PrepareMainWindow();
    EXPECT_EQ(qimtest::ReadFileBytes(GetQimIniPath()), before);
    platform::WritePrivateProfileString("Host", "POP3Port", "25", GetQimIniPath().c_str());
    const std::string with25 = qimtest::ReadFileBytes(GetQimIniPath());
    ASSERT_TRUE(StartWith({"/3"}));
    app_->PrepareMainWindow();
    EXPECT_FALSE(app_->IsServerMode());
    EXPECT_EQ(qimtest::ReadFileBytes(GetQimIniPath()), with25);
    // /3 in server-folder mode returns to POP3.
    platform::WritePrivateProfileString("Host", "POP3Port", "143", GetQimIniPath().c_str());
    ASSERT_TRUE(StartWith({"/3"}));
    app_->PrepareMainWindow();
    EXPECT_FALSE(app_->IsServerMode());
    EXPECT_EQ(Stored("Host", "POP3Port"), "110");
}

TEST_F(Application, AFirstStartAsksForTheNetworkSettingsAloneAndReceivesOnlyOnceTheyAreGiven) {
    const struct {
        const char* name;
        std::function<void(SUserInetData&)> edit;
        std::vector<int> posted;
    } cases[] = {
        {"given", [](SUserInetData& d) { d.pop3Server = "127.0.0.1"; d.userName = "taro"; }, {qimcmd::Receive}},
        {"cancelled", nullptr, {}},
        {"given without a user", [](SUserInetData& d) { d.pop3Server = "127.0.0.1"; }, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(StartWith({"/H" + dir_.File(c.name)}));
        app_->PrepareMainWindow();
        RecordingWindows windows;
        app_->SetWindowLayer(&windows);
        windows.networkEdit = c.edit;
        EXPECT_EQ(app_->FirstActionCommand(), qimcmd::NetworkSettings);
        EXPECT_TRUE(windows.posted.empty());
        ASSERT_TRUE(app_->Commands().Execute(qimcmd::NetworkSettings));
        EXPECT_EQ(windows.networkDialogs, 1);
        EXPECT_EQ(windows.posted, c.posted);
        // Only the first start's dialog leads on to a receive.
        windows.posted.clear();
        windows.networkEdit = cases[0].edit;
        app_->Commands().Execute(qimcmd::NetworkSettings);
        EXPECT_TRUE(windows.posted.empty());
        app_->SetWindowLayer(nullptr);
    }
    // With the account stored the next start receives at once.
    ASSERT_TRUE(StartWith({"/H" + dir_.File("given")}));
    app_->PrepareMainWindow();
    EXPECT_EQ(app_->FirstActionCommand(), qimcmd::Receive);
}

SAppRequest Req(int code, int flag = 0, const std::string& text = std::string()) {
    SAppRequest r;
    r.code = code;
    r.flag = flag;
    r.text = text;
    return r;
}

TEST_F(Application, RequestsOfTheOtherWindows) {
    ASSERT_TRUE(StartWith({}));
    RecordingWindows windows;
    app_->SetWindowLayer(&windows);
    app_->UserInetData().mailAddress = "taro@example.jp";

    SAppRequest home = Req(qimreq::HomeDirectory);
    EXPECT_EQ(app_->Request(home), 1);
    EXPECT_EQ(home.answerText, dir_.File("QimHome"));
    // A relative home is told as a full path, so copies started in other folders compare alike.
    SetQimHome("relative/QimHome");
    app_->Request(home);
    EXPECT_EQ(home.answerText, QDir::currentPath().toStdString() + "/relative/QimHome");
    EXPECT_EQ(home.answerText[0], '/');

    SAppRequest address = Req(qimreq::MailAddress);
    EXPECT_EQ(app_->Request(address), 1);
    EXPECT_EQ(address.answerText, "taro@example.jp");

    SAppRequest reload = Req(qimreq::ReloadFolder, 0, "/h/QimHome/work");
    app_->Request(reload);
    EXPECT_EQ(windows.reloaded, std::vector<std::string>{"/h/QimHome/work"});

    // The last outstanding operation with the flag set ends the program.
    app_->AddPendingOperation();
    app_->AddPendingOperation();
    SAppRequest done = Req(qimreq::OperationDone, 1);
    app_->Request(done);
    EXPECT_TRUE(windows.posted.empty());
    app_->Request(done);
    EXPECT_EQ(windows.posted, std::vector<int>{qimcmd::Exit});
    app_->Request(done);  // nothing outstanding: nothing happens
    EXPECT_EQ(windows.posted.size(), 1u);

    SAppRequest unknown = Req(2170);
    EXPECT_EQ(app_->Request(unknown), 0);
}

}  // namespace
