#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/PrivateProfile.h"
#include "support/TestSupport.h"

namespace {

using platform::GetPrivateProfileInt;
using platform::GetPrivateProfileString;
using platform::WritePrivateProfileString;

std::string Read(const char* section, const char* key, const char* def, const std::string& file, unsigned size = 256) {
    std::vector<char> buf(size);
    GetPrivateProfileString(section, key, def, buf.data(), size, file.c_str());
    return std::string(buf.data());
}

const char kForeignFile[] =
    "; written by hand\r\n"
    "[Qim]\r\n"
    "POP3Server = pop.example.jp \r\n"
    "Quoted=\"  spaced  \"\r\n"
    "Single='x'\r\n"
    "Half=\"open\r\n"
    "a line without an equals sign\r\n"
    "\r\n"
    "[Host]\r\n"
    "; comment=not a key\r\n"
    "Name=\x95\x5C\r\n"  // 表: its second byte is a backslash
    "\r\n"
    "[Empty]\r\n";

TEST(PrivateProfile, ReadsValuesTheWayWindowsDoes) {
    qimtest::TempDir dir;
    std::string file = dir.File("QIM.INI");
    qimtest::WriteFileBytes(file, kForeignFile);
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    } cases[] = {
        {"Qim", "POP3Server", "pop.example.jp"},  // blanks around the value go
        {"qim", "pop3server", "pop.example.jp"},  // sections and keys ignore case
        {"Qim", "Quoted", "  spaced  "},          // one pair of quotes goes, blanks inside stay
        {"Qim", "Single", "x"},
        {"Qim", "Half", "\"open"},                // an unpaired quote stays
        {"Host", "Name", "\x95\x5C"},
        {"Host", "; comment", "dflt"},            // comments are not keys
        {"Qim", "Name", "dflt"},                  // keys belong to their section
        {"Missing", "Key", "dflt"},
    };
    for (const Case& c : cases) EXPECT_EQ(Read(c.section, c.key, "dflt", file), c.expected) << c.key;
    EXPECT_EQ(Read("Qim", "POP3Server", nullptr, file, 4), "pop");  // cut at size-1
    char buf[8];
    EXPECT_EQ(GetPrivateProfileString("Qim", "POP3Server", "", buf, 8, file.c_str()), 7u);
}

TEST(PrivateProfile, MissingFileReadsAsEmptyAndIsNotCreated) {
    qimtest::TempDir dir;
    std::string file = dir.File("none.ini");
    EXPECT_EQ(Read("S", "K", "default  ", file), "default");
    EXPECT_EQ(GetPrivateProfileInt("S", "K", 42, file.c_str()), 42);
    EXPECT_FALSE(qimtest::FileExists(file));
}

TEST(PrivateProfile, ReadsIntegers) {
    qimtest::TempDir dir;
    std::string file = dir.File("i.ini");
    qimtest::WriteFileBytes(file, "[S]\r\nA=12\r\nB= -7\r\nC=12abc\r\nD=abc\r\nE=\r\nF=99999999999\r\nG=+3\r\n");
    struct Case {
        const char* key;
        int expected;
    } cases[] = {{"A", 12}, {"B", -7}, {"C", 12}, {"D", 0}, {"E", 0}, {"F", 2147483647}, {"G", 3}, {"Missing", -5}};
    for (const Case& c : cases) EXPECT_EQ(GetPrivateProfileInt("S", c.key, -5, file.c_str()), c.expected) << c.key;
}

TEST(PrivateProfile, ListsSectionsAndKeys) {
    qimtest::TempDir dir;
    std::string file = dir.File("l.ini");
    qimtest::WriteFileBytes(file, kForeignFile);
    char buf[64];
    unsigned n = GetPrivateProfileString(nullptr, nullptr, nullptr, buf, sizeof buf, file.c_str());
    EXPECT_EQ(std::string(buf, n + 1), std::string("Qim\0Host\0Empty\0", 16));
    n = GetPrivateProfileString("Qim", nullptr, nullptr, buf, sizeof buf, file.c_str());
    EXPECT_EQ(std::string(buf, n + 1), std::string("POP3Server\0Quoted\0Single\0Half\0", 31));
    n = GetPrivateProfileString("Qim", nullptr, nullptr, buf, 8, file.c_str());
    EXPECT_EQ(n, 6u);  // a cut list still ends in two NULs
    EXPECT_EQ(buf[6], '\0');
    EXPECT_EQ(buf[7], '\0');
}

TEST(PrivateProfile, RewriteKeepsForeignLinesAndOrder) {
    qimtest::TempDir dir;
    std::string file = dir.File("QIM.INI");
    qimtest::WriteFileBytes(file, kForeignFile);
    ASSERT_TRUE(WritePrivateProfileString("QIM", "pop3server", "mail.example.jp", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("Host", "Port", "110", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("Qim", "Single", nullptr, file.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("New", "Key", "v", file.c_str()));
    ASSERT_TRUE(WritePrivateProfileString("Empty", "K", "1", file.c_str()));
    EXPECT_EQ(qimtest::ReadFileBytes(file),
              "; written by hand\r\n"
              "[Qim]\r\n"
              "POP3Server=mail.example.jp\r\n"
              "Quoted=\"  spaced  \"\r\n"
              "Half=\"open\r\n"
              "a line without an equals sign\r\n"
              "\r\n"
              "[Host]\r\n"
              "; comment=not a key\r\n"
              "Name=\x95\x5C\r\n"
              "Port=110\r\n"
              "\r\n"
              "[Empty]\r\n"
              "K=1\r\n"
              "\r\n"
              "[New]\r\n"
              "Key=v\r\n");
}

TEST(PrivateProfile, DeletesSectionsAndRefusesLineBreaks) {
    qimtest::TempDir dir;
    std::string file = dir.File("d.ini");
    qimtest::WriteFileBytes(file, kForeignFile);
    ASSERT_TRUE(WritePrivateProfileString("host", nullptr, nullptr, file.c_str()));
    EXPECT_EQ(Read("Host", "Name", "gone", file), "gone");
    EXPECT_EQ(Read("Empty", "x", "d", file), "d");
    EXPECT_TRUE(WritePrivateProfileString("NoSuch", nullptr, nullptr, file.c_str()));
    EXPECT_TRUE(WritePrivateProfileString("Qim", "NoSuchKey", nullptr, file.c_str()));

    std::string before = qimtest::ReadFileBytes(file);
    EXPECT_FALSE(WritePrivateProfileString("Qim", "K", "a\r\n[Evil]", file.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("Qim", "K=", "v", file.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("Q]im", "K", "v", file.c_str()));
    EXPECT_EQ(qimtest::ReadFileBytes(file), before);
}

TEST(PrivateProfile, NewFilesAreTheOwnersOnlyAndModesSurviveRewrites) {
    qimtest::TempDir dir;
    std::string file = dir.File("new.ini");
    ASSERT_TRUE(WritePrivateProfileString("S", "K", "v", file.c_str()));
    EXPECT_EQ(qimtest::FileMode(file), 0600u);
    EXPECT_EQ(qimtest::ReadFileBytes(file), "[S]\r\nK=v\r\n");

    std::string shared = dir.File("shared.ini");
    qimtest::WriteFileBytes(shared, "[S]\r\n");
    chmod(shared.c_str(), 0644);
    ASSERT_TRUE(WritePrivateProfileString("S", "K", "v", shared.c_str()));
    EXPECT_EQ(qimtest::FileMode(shared), 0644u);
    ASSERT_TRUE(platform::RestrictProfileFile(shared.c_str()));
    EXPECT_EQ(qimtest::FileMode(shared), 0600u);
}

TEST(PrivateProfile, SeesChangesMadeByOthersAndWritesThroughLinks) {
    qimtest::TempDir dir;
    std::string target = dir.File("real.ini");
    std::string link = dir.File("link.ini");
    qimtest::WriteFileBytes(target, "[S]\r\nK=1\r\n");
    std::filesystem::create_symlink(target, link);
    EXPECT_EQ(Read("S", "K", "", link), "1");
    qimtest::WriteFileBytes(target, "[S]\r\nK=22\r\n");  // another program rewrites it
    EXPECT_EQ(Read("S", "K", "", link), "22");
    ASSERT_TRUE(WritePrivateProfileString("S", "K", "3", link.c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(qimtest::ReadFileBytes(target), "[S]\r\nK=3\r\n");
}

// Runs one write in a child whose file-size limit is below the new file's size.
// With SIGXFSZ at its default the child dies in the middle of the write, as in
// a crash; ignored, the write fails with an error.
int WriteUnderSizeLimit(const std::string& file, const std::string& value, bool crash) {
    pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, crash ? SIG_DFL : SIG_IGN);
        struct rlimit limit = {64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        bool ok = WritePrivateProfileString("S", "K", value.c_str(), file.c_str());
        _exit(ok ? 0 : 3);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

TEST(PrivateProfile, InterruptedWriteLeavesTheOldFileIntact) {
    qimtest::TempDir dir;
    std::string file = dir.File("QIM.INI");
    const std::string original = "[S]\r\nK=old\r\n; keep me\r\n";
    qimtest::WriteFileBytes(file, original);
    const std::string big(200, 'x');

    int status = WriteUnderSizeLimit(file, big, true);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGXFSZ);
    EXPECT_EQ(qimtest::ReadFileBytes(file), original);

    status = WriteUnderSizeLimit(file, big, false);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);  // reported as a failure
    EXPECT_EQ(qimtest::ReadFileBytes(file), original);
    EXPECT_EQ(Read("S", "K", "", file), "old");

    // The failed write removed its temporary file; only the crash left one.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2);
}

}  // namespace

#include <sys/stat.h>

#include "platform/ScriptedDialogService.h"

namespace {

// Files that never end or are far too large are refused: defaults are read at
// once, nothing is written over them, and the user is told once.
TEST(PrivateProfile, SettingsFilesThatNeverEndOrAreHugeAreRefused) {
    qimtest::TempDir dir;
    const std::string huge = dir.File("huge.ini");
    qimtest::WriteFileBytes(huge, "[Qim]\r\nKey=v\r\n" + std::string(5 << 20, ';'));
    const std::string zero = dir.File("zero.ini");
    std::filesystem::create_symlink("/dev/zero", zero);
    const std::string fifo = dir.File("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& file : {huge, zero, fifo}) {
        SCOPED_TRACE(file);
        platform::ScriptedDialogService dialogs;
        platform::ScopedDialogService scope(dialogs);
        EXPECT_EQ(Read("Qim", "Key", "default", file), "default");
        EXPECT_EQ(GetPrivateProfileInt("Qim", "Number", 7, file.c_str()), 7);
        EXPECT_FALSE(WritePrivateProfileString("Qim", "Key", "new", file.c_str()));
        ASSERT_EQ(dialogs.Boxes().size(), 1u) << "told once, not at every read";
        EXPECT_NE(qimtest::Utf8(dialogs.Boxes()[0].text).find("大きすぎるか通常のファイルではない"), std::string::npos);
    }
    EXPECT_EQ(std::filesystem::file_size(huge), 14u + (5u << 20)) << "the refused file is left as it was";
    EXPECT_TRUE(std::filesystem::is_symlink(zero));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

}  // namespace
