#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "app/SQimInstance.h"
#include "platform/qt/LocalInstance.h"
#include "support/TestSupport.h"

namespace {

// Runs qim programs with an environment of their own: an offscreen screen, a
// runtime folder for the instance socket, and HOME in the test's folder.
class QimProcesses {
public:
    QimProcesses() {
        runtime_ = dir_.File("run");
        mkdir(runtime_.c_str(), 0700);
    }
    ~QimProcesses() {
        for (pid_t pid : started_) kill(pid, SIGTERM);
    }

    std::string Env() const {
        return "env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR='" + runtime_ + "' HOME='" + dir_.Path() + "' ";
    }
    std::string Qim() const { return Env() + "'" + qimtest::BuiltProgram("qim") + "' --no-dialogs /NC "; }

    // Starts a copy that keeps running; waits until its socket is there.
    pid_t StartInBackground(const std::string& args) {
        const std::string log = dir_.File("first.log");
        const std::string out = qimtest::RunCommand(Qim() + args + " >'" + log + "' 2>&1 & echo $!");
        const pid_t pid = static_cast<pid_t>(std::stol(out));
        started_.push_back(pid);
        const std::string socket = runtime_ + "/" + QimInstanceName();
        for (int i = 0; i < 300 && !qimtest::FileExists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return pid;
    }
    std::string Run(const std::string& args, int* status) { return qimtest::RunCommand(Qim() + args + " 2>&1", status); }
    std::string Path(const std::string& name) const { return dir_.File(name); }
    const std::string& Runtime() const { return runtime_; }

private:
    qimtest::TempDir dir_;
    std::string runtime_;
    std::vector<pid_t> started_;
};

const char kTwoCopies[] = "Qim を同時に２つ起動することは出来ません。";

TEST(SingleInstance, ASecondCopyAgainstTheSameHomeEndsAndDoubleXWithAnotherHomeStarts) {
    QimProcesses qim;
    const std::string homeA = qim.Path("homeA");
    const std::string homeB = qim.Path("homeB");
    qim.StartInBackground("'/H" + homeA + "'");
    ASSERT_TRUE(qimtest::FileExists(qim.Runtime() + "/" + QimInstanceName())) << "the first copy does not listen";

    int status = -1;
    std::string out = qim.Run("'/H" + homeA + "' --screenshot '" + qim.Path("second.png") + "'", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find(kTwoCopies), std::string::npos) << out;
    EXPECT_FALSE(qimtest::FileExists(qim.Path("second.png")));

    // /DOUBLEX compares the home directories: the same one is refused...
    out = qim.Run("/DOUBLEX '/H" + homeA + "/' --screenshot '" + qim.Path("samehome.png") + "'", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find(kTwoCopies), std::string::npos) << out;
    EXPECT_FALSE(qimtest::FileExists(qim.Path("samehome.png")));

    // ...another one starts, and so does /DOUBLE whatever the home.
    out = qim.Run("/DOUBLEX '/H" + homeB + "' --screenshot '" + qim.Path("otherhome.png") + "'", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out.find(kTwoCopies), std::string::npos) << out;
    EXPECT_TRUE(qimtest::FileExists(qim.Path("otherhome.png"))) << out;
    EXPECT_TRUE(qimtest::FileExists(homeB));

    out = qim.Run("/DOUBLE '/H" + homeA + "' --screenshot '" + qim.Path("double.png") + "'", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_TRUE(qimtest::FileExists(qim.Path("double.png"))) << out;
}

TEST(SingleInstance, AMailtoStartHandsItsAddressToTheRunningCopyInsteadOfRefusing) {
    QimProcesses qim;
    const std::string home = qim.Path("home");
    qim.StartInBackground("'/H" + home + "'");
    ASSERT_TRUE(qimtest::FileExists(qim.Runtime() + "/" + QimInstanceName())) << "the first copy does not listen";
    // A click on a mailto: link while Qim runs: no box, the running copy takes it.
    int status = -1;
    std::string out = qim.Run("'/H" + home + "' 'mailto:hanako@example.jp?subject=%E4%BC%9A%E8%AD%B0'", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out.find(kTwoCopies), std::string::npos) << out;
    // The running copy answers such a request with "1"; an empty start still gets the box.
    setenv("XDG_RUNTIME_DIR", qim.Runtime().c_str(), 1);
    EXPECT_EQ(platform::AskInstance(QimInstanceName(), std::string(kMailtoRequest) + "jiro@example.jp", 3000),
              std::optional<std::string>("1"));
    out = qim.Run("'/H" + home + "'", &status);
    EXPECT_NE(out.find(kTwoCopies), std::string::npos) << out;
}

TEST(SingleInstance, AHomeThatCannotBeMadeEndsTheStart) {
    QimProcesses qim;
    int status = -1;
    const std::string out = qim.Run("'/H" + qim.Path("no/such/parent") + "'", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("QimHome フォルダー " + qim.Path("no/such/parent") + " を作ることが出来ませんでした。"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("中止します。"), std::string::npos) << out;
}

TEST(SingleInstance, HelpVersionAndBadArgumentsNeedNoDisplay) {
    const std::string qim = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" + qimtest::BuiltProgram("qim") + "' ";
    int status = -1;
    std::string out = qimtest::RunCommand(qim + "/NC --help 2>&1", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("/DOUBLEX"), std::string::npos) << out;
    out = qimtest::RunCommand(qim + "--version 2>&1", &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out.rfind("Qim ", 0), 0u) << out;
    out = qimtest::RunCommand(qim + "--screenshot 2>&1", &status);
    EXPECT_EQ(status, 2) << out;
    EXPECT_NE(out.find("--screenshot"), std::string::npos) << out;
}

}  // namespace
