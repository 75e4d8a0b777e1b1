#include <gtest/gtest.h>

#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <stdexcept>
#include <string>

#include "common/STmpFilePath.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

namespace {

TEST(STmpFilePath, MakesAFileOnFirstUseAndDeletesItWhenItGoes) {
    qimtest::TempDir dir;
    std::string path;
    {
        STmpFilePath tmp(dir.Path().c_str());
        EXPECT_FALSE(tmp.HasPath());
        path = tmp.Path();
        EXPECT_EQ(path, tmp.Path()) << "the same name on every use";
        EXPECT_EQ(path.rfind(dir.Path() + "/qim", 0), 0u) << path;
        EXPECT_TRUE(qimtest::FileExists(path)) << "the name is claimed by creating the file";
        qimtest::WriteFileBytes(path, "a mail being composed");
    }
    EXPECT_FALSE(qimtest::FileExists(path));
}

TEST(STmpFilePath, NamesAreUnique) {
    qimtest::TempDir dir;
    std::set<std::string> names;
    {
        STmpFilePath a(dir.Path().c_str()), b(dir.Path().c_str()), c(dir.Path().c_str());
        names = {a.Path(), b.Path(), c.Path()};
    }
    EXPECT_EQ(names.size(), 3u);
}

TEST(STmpFilePath, TheFileGoesAlsoWhenTheWorkFailsHalfway) {
    qimtest::TempDir dir;
    std::string path;
    auto composeAndFail = [&] {
        STmpFilePath tmp(dir.Path().c_str());
        path = tmp.Path();
        platform::TextFile out;
        out.Open(tmp.Path(), "w");
        out.Puts("Subject: half\n");
        throw std::runtime_error("disk full");
    };
    EXPECT_THROW(composeAndFail(), std::runtime_error);
    EXPECT_FALSE(path.empty());
    EXPECT_FALSE(qimtest::FileExists(path));

    auto returnEarly = [&]() -> bool {
        STmpFilePath tmp(dir.Path().c_str());
        path = tmp.Path();
        qimtest::WriteFileBytes(path, "x");
        return false;
    };
    EXPECT_FALSE(returnEarly());
    EXPECT_FALSE(qimtest::FileExists(path));
}

TEST(STmpFilePath, DeleteIsHarmlessWithoutAFile) {
    qimtest::TempDir dir;
    STmpFilePath tmp(dir.Path().c_str());
    EXPECT_TRUE(tmp.Delete()) << "no path made yet";
    const std::string path = tmp.Path();
    EXPECT_TRUE(tmp.Delete());
    EXPECT_FALSE(qimtest::FileExists(path));
    EXPECT_TRUE(tmp.Delete()) << "already gone";
    EXPECT_EQ(std::string(tmp.Path()), path) << "the name stays this object's";
}

TEST(STmpFilePath, DefaultsToTheSystemTemporaryFolder) {
    qimtest::TempDir dir;
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", dir.Path().c_str(), 1);
    std::string path;
    {
        STmpFilePath tmp;
        EXPECT_EQ(tmp.Directory(), dir.Path());
        path = tmp.Path();
        EXPECT_TRUE(qimtest::FileExists(path));
    }
    if (old) {
        setenv("TMPDIR", saved.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    EXPECT_EQ(path.rfind(dir.Path() + "/", 0), 0u);
    EXPECT_FALSE(qimtest::FileExists(path));
}

TEST(STmpFilePath, FallsBackToANumberedNameWhenNoFileCanBeMade) {
    qimtest::TempDir dir;
    STmpFilePath missing(dir.File("no-such-folder").c_str());
    EXPECT_EQ(std::string(missing.Path()).rfind(dir.File("no-such-folder/_qimtmp"), 0), 0u) << missing.Path();
}

// In a child process that may not write to `dir`: exits 0 when the path made
// is a fallback name that no file has yet.
[[noreturn]] void MakePathInReadOnlyFolder(const std::string& dir) {
    // Root writes everywhere: become nobody (keeping /proc/self readable for
    // the sanitizers).
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) std::_Exit(2);
    prctl(PR_SET_DUMPABLE, 1);
    bool ok;
    {
        STmpFilePath tmp(dir.c_str());
        const std::string path = tmp.Path();
        ok = path.find("/_qimtmp") != std::string::npos && !qimtest::FileExists(path);
    }
    std::_Exit(ok ? 0 : 1);
}

// When the folder takes no new file, the fallback names skip files that
// already exist: they may belong to another program, and this object deletes
// its file when it goes.
TEST(STmpFilePath, TheFallbackNeverTakesAnExistingFile) {
    qimtest::TempDir dir;
    for (int n = 0; n < 50; ++n) qimtest::WriteFileBytes(dir.File("_qimtmp" + std::to_string(n) + ".TMP"), "theirs");
    ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
    EXPECT_EXIT(MakePathInReadOnlyFolder(dir.Path()), ::testing::ExitedWithCode(0), "");
    chmod(dir.Path().c_str(), 0755);
    for (int n = 0; n < 50; ++n) {
        EXPECT_EQ(qimtest::ReadFileBytes(dir.File("_qimtmp" + std::to_string(n) + ".TMP")), "theirs") << n;
    }
}

}  // namespace
