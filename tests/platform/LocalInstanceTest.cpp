#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <thread>

#include "platform/qt/LocalInstance.h"
#include "support/TestSupport.h"

namespace {

void EnsureApp() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_platform";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);
}

// A running copy: an instance server with its own event loop on another
// thread, so the asking side can wait the way a second start does.
class RunningCopy {
public:
    RunningCopy(const std::string& name, platform::InstanceServer::Handler handler) {
        std::promise<bool> listening;
        std::future<bool> result = listening.get_future();
        thread_ = std::thread([this, name, handler, &listening] {
            platform::InstanceServer server(handler);
            QEventLoop loop;
            loop_ = &loop;
            listening.set_value(server.Listen(name));
            loop.exec();
            loop_ = nullptr;
        });
        listening_ = result.get();
    }
    ~RunningCopy() {
        while (!loop_) std::this_thread::yield();
        QMetaObject::invokeMethod(loop_, "quit", Qt::QueuedConnection);
        thread_.join();
    }
    bool Listening() const { return listening_; }

private:
    std::thread thread_;
    std::atomic<QEventLoop*> loop_{nullptr};
    bool listening_ = false;
};

class LocalInstance : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureApp();
        setenv("XDG_RUNTIME_DIR", dir_.Path().c_str(), 1);
    }
    void TearDown() override { unsetenv("XDG_RUNTIME_DIR"); }
    qimtest::TempDir dir_;
};

// The requests are the decimal text of the application's codes: "530" is
// qimreq::HomeDirectory, "757" (qimreq::OperationDone) one the copy does not answer.
TEST_F(LocalInstance, TheRunningCopyAnswersEachRequestAndHoldsItsName) {
    const std::string name = "QimWindowClass-test";
    EXPECT_EQ(platform::InstanceSocketPath(name), dir_.File(name));
    EXPECT_FALSE(platform::InstanceAnswers(name, 300));
    EXPECT_FALSE(platform::AskInstance(name, "530", 300).has_value());
    {
        RunningCopy copy(name, [](const std::string& request) -> std::string {
            if (request == "530") return "/home/\x91\xBE\x98\x59/QimHome";
            return request == "activate" ? "1" : "";
        });
        ASSERT_TRUE(copy.Listening());
        EXPECT_TRUE(platform::InstanceAnswers(name, 1000));
        EXPECT_EQ(platform::AskInstance(name, "530", 2000), "/home/\x91\xBE\x98\x59/QimHome");
        EXPECT_EQ(platform::AskInstance(name, "activate", 2000), "1");
        EXPECT_EQ(platform::AskInstance(name, "757", 2000), "");
        // Only the owner may connect.
        EXPECT_EQ(qimtest::FileMode(dir_.File(name)) & 077, 0u);
        // A second server under the same name is refused while the first answers.
        platform::InstanceServer second([](const std::string&) { return std::string("second"); });
        EXPECT_FALSE(second.Listen(name));
    }
    EXPECT_FALSE(platform::InstanceAnswers(name, 300));
}

TEST_F(LocalInstance, ALeftOverSocketFileIsReplaced) {
    const std::string name = "QimWindowClass-stale";
    qimtest::WriteFileBytes(dir_.File(name), "left by a copy that ended badly");
    EXPECT_FALSE(platform::InstanceAnswers(name, 300));
    RunningCopy copy(name, [](const std::string&) { return std::string("here"); });
    ASSERT_TRUE(copy.Listening());
    EXPECT_EQ(platform::AskInstance(name, "x", 2000), "here");
}

TEST_F(LocalInstance, AnAskerGivesUpOnACopyThatDoesNotAnswer) {
    const std::string name = "QimWindowClass-hung";
    RunningCopy copy(name, [](const std::string&) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
        return std::string("late");
    });
    ASSERT_TRUE(copy.Listening());
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(platform::AskInstance(name, "530", 300).has_value());
    EXPECT_LT(timer.elapsed(), 1400);
}

}  // namespace
