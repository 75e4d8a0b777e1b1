// The archiver library's run: the owner and its call-back, the busy flag,
// a stop from the call-back, and a disk that fills up half-way. Whatever
// stops a run leaves neither an archive nor a temporary file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "UnlhaTestSupport.h"
#include "support/TestSupport.h"

namespace {

using qimtest::TempDir;
using unlhatest::Pack;
using unlhatest::RandomBytes;
using unlhatest::Unlha;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

struct Recorder {
    std::vector<std::string> events;
    int busyInside = -1;
    int nestedRun = -1;
    int stopAtBegin = -1;  // the call-back says stop at this file's begin
    int begins = 0;
};
Recorder* g_recorder = nullptr;
int g_owner = 0;

int32_t Record(void* window, uint32_t message, uint32_t state, UnlhaProgressInfo* info) {
    Recorder& r = *g_recorder;
    EXPECT_EQ(window, &g_owner);
    EXPECT_EQ(message, UNLHA_WM_ARCEXTRACT);
    static const char* const kStates[] = {"begin", "inprocess", "end", "open", "close"};
    std::string event = state < 5 ? kStates[state] : "?";
    if (state == UNLHA_STATE_OPEN) event += std::string(" ") + std::filesystem::path(info->archiveName).filename().string();
    if (state <= UNLHA_STATE_END) event += std::string(" ") + info->fileName;
    if (state == UNLHA_STATE_INPROCESS && !r.events.empty() && r.events.back() == event) return 1;  // one per file is enough
    r.events.push_back(event);
    if (state == UNLHA_STATE_BEGIN) {
        r.busyInside = Unlha().getRunning();
        char out[16];
        r.nestedRun = Unlha().unlha(nullptr, "a \"/tmp/x.lzh\" \"/tmp/\" 1*", out, sizeof out);
        if (r.begins++ == r.stopAtBegin) return 0;
    }
    return 1;
}

class UnlhaRun : public ::testing::Test {
protected:
    void SetUp() override {
        g_recorder = &recorder_;
        qimtest::WriteFileBytes(dir_.File("1"), "first mail\r\n");
        qimtest::WriteFileBytes(dir_.File("2"), RandomBytes(200000, 9));
        qimtest::WriteFileBytes(dir_.File("HCACHE.TXT"), "1 a\r\nb\r\nc\r\nd\r\n");
    }
    void TearDown() override {
        Unlha().killOwner(&g_owner);
        g_recorder = nullptr;
    }
    Recorder recorder_;
    TempDir dir_;
};

TEST_F(UnlhaRun, TheCallBackSeesTheRunInOrderWhileTheLibraryIsBusy) {
    EXPECT_GE(Unlha().getVersion() & 0xFFFF, 50u);
    EXPECT_EQ(Unlha().setBackground(0), 1);
    ASSERT_EQ(Unlha().setOwner(&g_owner, &Record), 1);
    ASSERT_EQ(Pack(dir_.File("a.lzh"), dir_.Path(), "1* 2* HCACHE.TXT"), UNLHA_OK);
    EXPECT_EQ(recorder_.events,
              (std::vector<std::string>{"open a.lzh", "begin 1", "inprocess 1", "end 1", "begin 2", "inprocess 2", "end 2",
                                        "begin HCACHE.TXT", "inprocess HCACHE.TXT", "end HCACHE.TXT", "close"}));
    EXPECT_EQ(recorder_.busyInside, 1);
    EXPECT_EQ(recorder_.nestedRun, UNLHA_ERROR_BUSY);
    EXPECT_EQ(Unlha().getRunning(), 0);
    EXPECT_EQ(Names(dir_.Path()), (std::vector<std::string>{"1", "2", "HCACHE.TXT", "a.lzh"}));
}

TEST_F(UnlhaRun, OneOwnerAtATime) {
    int other = 0;
    EXPECT_EQ(Unlha().setOwner(&g_owner, nullptr), 0);
    EXPECT_EQ(Unlha().killOwner(&g_owner), 0);  // none set
    EXPECT_EQ(Unlha().setOwner(&g_owner, &Record), 1);
    EXPECT_EQ(Unlha().setOwner(&other, &Record), 0);
    EXPECT_EQ(Unlha().killOwner(&other), 0);
    EXPECT_EQ(Unlha().killOwner(&g_owner), 1);
    EXPECT_EQ(Unlha().setOwner(&other, &Record), 1);
    EXPECT_EQ(Unlha().killOwner(&other), 1);
    EXPECT_EQ(Unlha().setBackground(2), 0);
}

TEST_F(UnlhaRun, AStopFromTheCallBackLeavesNoArchive) {
    recorder_.stopAtBegin = 1;
    ASSERT_EQ(Unlha().setOwner(&g_owner, &Record), 1);
    EXPECT_EQ(Pack(dir_.File("a.lzh"), dir_.Path(), "1* 2* HCACHE.TXT"), UNLHA_ERROR_CANCELLED);
    EXPECT_EQ(recorder_.events.back(), "close");
    EXPECT_EQ(Names(dir_.Path()), (std::vector<std::string>{"1", "2", "HCACHE.TXT"}));
}

TEST_F(UnlhaRun, ADiskThatFillsUpLeavesNoArchive) {
    // A child whose files may not grow past 64 KiB: the archive of 200 KB of
    // random data cannot be written. SIGXFSZ is ignored so write() fails.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit limit{65536, 65536};
        setrlimit(RLIMIT_FSIZE, &limit);
        const int r = Pack(dir_.File("a.lzh"), dir_.Path(), "1* 2* HCACHE.TXT");
        _exit(r == UNLHA_ERROR_WRITE ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Names(dir_.Path()), (std::vector<std::string>{"1", "2", "HCACHE.TXT"}));
}

}  // namespace
