#include <gtest/gtest.h>

#include <map>

#include "config/QimCommandIds.h"
#include "app/SQimCommandLine.h"

namespace {

// A made-up environment: the variables given, and a working directory or none.
class FakeEnvironment : public SStartEnvironment {
public:
    FakeEnvironment(std::map<std::string, std::string> vars, std::optional<std::string> cwd)
        : vars_(std::move(vars)), cwd_(std::move(cwd)) {}
    std::optional<std::string> Variable(const char* name) const override {
        auto it = vars_.find(name);
        if (it == vars_.end() || it->second.empty()) return std::nullopt;
        return it->second;
    }
    std::optional<std::string> WorkingDirectory() const override { return cwd_; }

private:
    std::map<std::string, std::string> vars_;
    std::optional<std::string> cwd_;
};

TEST(HomeSearch, ArgumentThenQimHomeThenHomeThenWorkingDirectoryThenThePreviousValue) {
    struct Case {
        const char* name;
        std::string argument;
        std::map<std::string, std::string> vars;
        std::optional<std::string> cwd;
        std::string expected;
    } cases[] = {
        {"argument wins", "/data/mail", {{"QIMHOME", "/q"}, {"HOME", "/u"}}, "/w", "/data/mail"},
        {"QIMHOME before HOME", "", {{"QIMHOME", "/q"}, {"HOME", "/u"}}, "/w", "/q"},
        {"HOME joined with QimHome", "", {{"HOME", "/home/taro"}}, "/w", "/home/taro/QimHome"},
        {"HOME with a trailing slash", "", {{"HOME", "/"}}, "/w", "/QimHome"},
        {"an empty QIMHOME counts as unset", "", {{"QIMHOME", ""}, {"HOME", "/u"}}, "/w", "/u/QimHome"},
        {"working directory last", "", {}, "/srv/x", "/srv/x/QimHome"},
        {"nothing readable keeps the previous value", "", {}, std::nullopt, "QimHome"},
    };
    for (const Case& c : cases) {
        FakeEnvironment env(c.vars, c.cwd);
        EXPECT_EQ(SearchQimHome(c.argument, env, "QimHome"), c.expected) << c.name;
    }
}

TEST(SettingsFileSearch, QimIniThenQimIniHomeThenTheHomeDirectory) {
    struct Case {
        std::map<std::string, std::string> vars;
        std::string expected;
    } cases[] = {
        {{{"QIMINI", "/etc/qim/my.ini"}, {"QIMINIHOME", "/s"}}, "/etc/qim/my.ini"},
        {{{"QIMINIHOME", "/s"}}, "/s/QIM.INI"},
        {{}, "/h/QimHome/QIM.INI"},
    };
    for (const Case& c : cases) {
        FakeEnvironment env(c.vars, "/w");
        EXPECT_EQ(SearchQimIni("/h/QimHome", env), c.expected);
    }
}

struct Parsed {
    bool ok;
    SQimStartOptions options;
    std::string error;
};

Parsed Parse(std::vector<std::string> args, std::map<std::string, std::string> vars = {{"HOME", "/u"}}) {
    FakeEnvironment env(std::move(vars), "/w");
    Parsed p;
    p.ok = ParseQimCommandLine(args, env, "QimHome", p.options, p.error);
    return p;
}

TEST(CommandLine, WithoutArgumentsTheSearchesDecideAndMailIsReceivedAtStart) {
    Parsed p = Parse({});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.home, "/u/QimHome");
    EXPECT_EQ(p.options.iniPath, "/u/QimHome/QIM.INI");
    EXPECT_TRUE(p.options.receiveAtStart);
    EXPECT_FALSE(p.options.settingsAtStart);
    EXPECT_EQ(p.options.mailboxTypeRequest, 0);
    EXPECT_EQ(p.options.instanceMode, 0);
    EXPECT_EQ(p.options.mailto, "");
}

TEST(CommandLine, SwitchesInBothFormsAndAnyLetterCase) {
    struct Case {
        std::vector<std::string> args;
        std::string home, ini;
        bool receive, settings;
        int mailbox, instance;
        std::string mailto;
    } cases[] = {
        {{"/H/m"}, "/m", "/m/QIM.INI", true, false, 0, 0, ""},
        {{"/h/m"}, "/m", "/m/QIM.INI", true, false, 0, 0, ""},
        {{"-H/m"}, "/m", "/m/QIM.INI", true, false, 0, 0, ""},
        {{"/I/etc/q.ini"}, "/u/QimHome", "/etc/q.ini", true, false, 0, 0, ""},
        {{"-i/etc/q.ini"}, "/u/QimHome", "/etc/q.ini", true, false, 0, 0, ""},
        {{"/nc"}, "/u/QimHome", "/u/QimHome/QIM.INI", false, false, 0, 0, ""},
        {{"-NC"}, "/u/QimHome", "/u/QimHome/QIM.INI", false, false, 0, 0, ""},
        {{"/Nu"}, "/u/QimHome", "/u/QimHome/QIM.INI", false, true, 0, 0, ""},
        {{"/4"}, "/u/QimHome", "/u/QimHome/QIM.INI", true, false, 143, 0, ""},
        {{"-3"}, "/u/QimHome", "/u/QimHome/QIM.INI", true, false, 110, 0, ""},
        {{"/double"}, "/u/QimHome", "/u/QimHome/QIM.INI", true, false, 0, 1, ""},
        {{"-DoubleX"}, "/u/QimHome", "/u/QimHome/QIM.INI", true, false, 0, 2, ""},
        {{"MAILTO:taro@example.jp"}, "/u/QimHome", "/u/QimHome/QIM.INI", true, false, 0, 0, "taro@example.jp"},
        // Unknown switches and stray words change nothing.
        {{"/NCX", "/DOUBLEXX", "hello", "--frobnicate", "-"}, "/u/QimHome", "/u/QimHome/QIM.INI", true, false, 0, 0,
         ""},
    };
    for (const Case& c : cases) {
        Parsed p = Parse(c.args);
        ASSERT_TRUE(p.ok) << c.args[0];
        EXPECT_EQ(p.options.home, c.home) << c.args[0];
        EXPECT_EQ(p.options.iniPath, c.ini) << c.args[0];
        EXPECT_EQ(p.options.receiveAtStart, c.receive) << c.args[0];
        EXPECT_EQ(p.options.settingsAtStart, c.settings) << c.args[0];
        EXPECT_EQ(p.options.mailboxTypeRequest, c.mailbox) << c.args[0];
        EXPECT_EQ(p.options.instanceMode, c.instance) << c.args[0];
        EXPECT_EQ(p.options.mailto, c.mailto) << c.args[0];
    }
}

TEST(CommandLine, ArgumentsAreTakenFromTheLastSoTheLeftmostWins) {
    EXPECT_EQ(Parse({"/H/first", "/H/second"}).options.home, "/first");
    EXPECT_EQ(Parse({"/4", "/3"}).options.mailboxTypeRequest, 143);
    EXPECT_EQ(Parse({"/DOUBLEX", "/DOUBLE"}).options.instanceMode, 2);
    EXPECT_EQ(Parse({"mailto:a@x", "mailto:b@x"}).options.mailto, "a@x");
    // /NC after /NU: /NU is examined last and also asks for the settings.
    Parsed p = Parse({"/NU", "/NC"});
    EXPECT_FALSE(p.options.receiveAtStart);
    EXPECT_TRUE(p.options.settingsAtStart);
}

TEST(CommandLine, HomeAndSettingsFileEdgeCases) {
    // /H with nothing after it runs the environment search again.
    EXPECT_EQ(Parse({"/H"}, {{"QIMHOME", "/q"}}).options.home, "/q");
    EXPECT_EQ(Parse({"/H", "/H/right"}, {{"QIMHOME", "/q"}}).options.home, "/q");
    // /I given: QIMINI and QIMINIHOME are not consulted.
    EXPECT_EQ(Parse({"/I/mine.ini"}, {{"QIMINI", "/env.ini"}, {"QIMINIHOME", "/s"}}).options.iniPath, "/mine.ini");
    EXPECT_EQ(Parse({}, {{"QIMINIHOME", "/s"}, {"HOME", "/u"}}).options.iniPath, "/s/QIM.INI");
    // /H after /I: the settings file stays the named one...
    EXPECT_EQ(Parse({"/I/named.ini", "/H/other"}).options.iniPath, "/named.ini");
    // ...and without one the default follows the final home directory.
    EXPECT_EQ(Parse({"/NC", "/H/other"}).options.iniPath, "/other/QIM.INI");
    // /I with nothing after it leaves the path empty, so the search runs after all.
    EXPECT_EQ(Parse({"/I"}).options.iniPath, "/u/QimHome/QIM.INI");
    // "mailto:" with nothing after it leaves the address empty.
    EXPECT_EQ(Parse({"mailto:"}).options.mailto, "");
}

TEST(CommandLine, JapaneseArgumentsBecomeShiftJis) {
    Parsed p = Parse({"/H/home/太郎/メール", "mailto:花子 <hanako@example.jp>"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.home, "/home/\x91\xBE\x98\x59/\x83\x81\x81\x5B\x83\x8B");
    EXPECT_EQ(p.options.mailto, "\x89\xD4\x8E\x71 <hanako@example.jp>");
}

TEST(CommandLine, LinuxLongOptions) {
    EXPECT_TRUE(Parse({"--help"}).options.help);
    EXPECT_TRUE(Parse({"/NC", "--version"}).options.version);
    Parsed shot = Parse({"--screenshot", "/tmp/a.png", "/NC"});
    ASSERT_TRUE(shot.ok);
    EXPECT_EQ(shot.options.screenshot, "/tmp/a.png");
    EXPECT_FALSE(shot.options.receiveAtStart);
    EXPECT_EQ(Parse({"--screenshot=/tmp/b.png"}).options.screenshot, "/tmp/b.png");
    // The option's value is not taken for a switch.
    EXPECT_EQ(Parse({"--screenshot", "/H-not-a-home"}).options.home, "/u/QimHome");
    EXPECT_TRUE(Parse({"--no-dialogs"}).options.noDialogs);
}

TEST(CommandLine, UnusableArgumentsAreReported) {
    Parsed missing = Parse({"--screenshot"});
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(missing.error.find("--screenshot"), std::string::npos);
    // U+00E9 has no Shift_JIS form, so it can name no folder of Qim.
    Parsed latin = Parse({"/H/home/caf\xC3\xA9"});
    EXPECT_FALSE(latin.ok);
    EXPECT_FALSE(latin.error.empty());
}

TEST(FirstAction, MailtoBeforeReceiveBeforeSettings) {
    struct Case {
        std::string mailto;
        bool receive, settings;
        int expected;
    } cases[] = {
        {"a@x", true, false, qimcmd::Compose},
        {"a@x", false, true, qimcmd::Compose},  // mailto: with /NU opens the compose window, not the settings
        {"", true, false, qimcmd::Receive},
        {"", false, true, qimcmd::NetworkSettings},
        {"", false, false, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(FirstActionCommand(c.mailto, c.receive, c.settings), c.expected);
    // "mailto:" alone leaves the address empty, so receiving at start applies.
    Parsed p = Parse({"mailto:"});
    EXPECT_EQ(FirstActionCommand(p.options.mailto, p.options.receiveAtStart, p.options.settingsAtStart),
              qimcmd::Receive);
    Parsed both = Parse({"mailto:a@x", "/NU"});
    EXPECT_EQ(FirstActionCommand(both.options.mailto, both.options.receiveAtStart, both.options.settingsAtStart),
              qimcmd::Compose);
}

TEST(MailboxTypeRequest, WritesOnlyWhenThePortMustChange) {
    struct Case {
        int request, port, expected;
    } cases[] = {
        {143, 110, 143}, {143, 143, 0}, {143, 25, 143}, {110, 143, 110}, {110, 110, 0}, {110, 25, 0}, {0, 143, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(RequestedPop3Port(c.request, c.port), c.expected) << c.request << " " << c.port;
}

}  // namespace
