// The archiver library writing archives: every kind of input comes back byte
// for byte, from our own reader and from lhasa; names, attributes and modes
// travel; the command line is read as documented.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "UnlhaTestSupport.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;
using qimtest::TempDir;
using unlhatest::Pack;
using unlhatest::RandomBytes;
using unlhatest::ReadAll;
using unlhatest::Unlha;

// Text of many different words: long enough for many blocks of codes.
std::string WordSoup(std::size_t n, unsigned seed) {
    static const char* const kWords[] = {"Subject:", "会議", "の", "件", "について", "Re:", "From:", "mail",
                                         "\r\n", "です。", "よろしく", "お願いします", "2026", "-->", "  "};
    std::mt19937 rng(seed);
    std::string s;
    while (s.size() < n) s += Sjis(kWords[rng() % (sizeof kWords / sizeof kWords[0])]);
    s.resize(n);
    return s;
}

std::string Repeat(const std::string& piece, int times) {
    std::string s;
    for (int i = 0; i < times; ++i) s += piece;
    return s;
}

struct Input {
    const char* name;
    std::string data;
    const char* method;
};

std::vector<Input> EdgeInputs() {
    std::string allBytes;
    for (int i = 0; i < 256 * 300; ++i) allBytes.push_back(static_cast<char>(i & 0xFF));
    return {
        {"1", "", "-lh0-"},
        {"2", "a", "-lh0-"},
        {"3", RandomBytes(100000, 1), "-lh0-"},  // nothing to gain: stored
        {"4", std::string(300000, 'x') + std::string(70000, 'y') + "z", "-lh5-"},
        {"5", WordSoup(700000, 2), "-lh5-"},        // many blocks
        {"6", Repeat(RandomBytes(8192, 3), 4), "-lh5-"},  // repeats exactly one window apart
        {"7", Repeat(RandomBytes(8193, 4), 3), "-lh0-"},  // one byte too far to reach
        {"8", Repeat(RandomBytes(8191, 5), 3), "-lh5-"},
        {"9", allBytes, "-lh5-"},
        {"10", std::string(256, 'q') + RandomBytes(3, 6) + std::string(257, 'q'), "-lh5-"},
    };
}

TEST(UnlhaArchive, EdgeInputsComeBackByteForByteFromUsAndFromLhasa) {
    TempDir dir;
    const std::string folder = dir.File("\xE4\xBB\x95\xE4\xBA\x8B");  // 仕事, UTF-8 on disk
    std::filesystem::create_directory(folder);
    const std::vector<Input> inputs = EdgeInputs();
    for (const Input& in : inputs) qimtest::WriteFileBytes(folder + "/" + in.name, in.data);
    const std::string archive = Sjis(folder + "/out.LZH");
    std::string log;
    ASSERT_EQ(Pack(archive, Sjis(folder), "1* 2* 3* 4* 5* 6* 7* 8* 9*", "-+ -n", &log), UNLHA_OK) << log;

    int end = 0;
    const auto stored = ReadAll(archive, &end);
    EXPECT_EQ(end, UNLHA_NOT_FOUND);
    ASSERT_EQ(stored.size(), inputs.size());
    // Pattern order, numbers in numeric order within one pattern.
    const char* const order[] = {"1", "10", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const unlhatest::Stored& s = stored[i];
        EXPECT_STREQ(s.entry.fileName, order[i]);
        const Input& in = *std::find_if(inputs.begin(), inputs.end(), [&](const Input& x) { return s.entry.fileName == std::string(x.name); });
        EXPECT_EQ(s.extractResult, UNLHA_OK) << in.name;
        EXPECT_TRUE(s.data == in.data) << in.name;
        EXPECT_EQ(s.entry.originalSize, in.data.size()) << in.name;
        EXPECT_STREQ(s.entry.method, in.method) << in.name;
        EXPECT_EQ(s.entry.headerLevel, 2u);
        if (std::string(in.method) == "-lh5-") {
            EXPECT_LT(s.entry.compressedSize, in.data.size()) << in.name;
        }
    }

    int status = -1;
    const std::string native = folder + "/out.LZH";
    const std::string tested = qimtest::RunCommand("lhasa t '" + native + "' 2>&1", &status);
    EXPECT_EQ(status, 0) << tested;
    const std::string out = dir.File("x");
    std::filesystem::create_directory(out);
    qimtest::RunCommand("cd '" + out + "' && lhasa xq '" + native + "' 2>&1", &status);
    EXPECT_EQ(status, 0);
    for (const Input& in : inputs) EXPECT_TRUE(qimtest::ReadFileBytes(out + "/" + in.name) == in.data) << in.name;
}

TEST(UnlhaArchive, NamesAreShiftJisAndMarksTravelAsAttributesAndModes) {
    TempDir dir;
    qimtest::WriteFileBytes(dir.File("1"), "read and important");
    qimtest::WriteFileBytes(dir.File("2"), "plain");
    qimtest::WriteFileBytes(dir.File("\xE6\x97\xA5\xE6\x9C\xAC.txt"), "日本");  // 日本.txt
    chmod(dir.File("1").c_str(), 0544);  // owner x: read mark; not writable: important
    chmod(dir.File("2").c_str(), 0644);
    const std::string archive = dir.File("a.lzh");
    ASSERT_EQ(Pack(archive, dir.Path(), "1 2 *.txt"), UNLHA_OK);
    const auto stored = ReadAll(archive);
    ASSERT_EQ(stored.size(), 3u);
    EXPECT_EQ(stored[0].entry.attributes, 0x21u);  // archive + read-only
    EXPECT_EQ(stored[1].entry.attributes, 0x00u);
    EXPECT_EQ(std::string(stored[2].entry.fileName), Sjis("日本.txt"));
    EXPECT_EQ(stored[2].entry.osType, static_cast<std::uint32_t>('W'));
    // lhasa puts the stored bytes on disk as they are, with the stored mode.
    const std::string out = dir.File("x");
    std::filesystem::create_directory(out);
    int status = -1;
    qimtest::RunCommand("cd '" + out + "' && lhasa xq '" + archive + "'", &status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(qimtest::FileMode(out + "/1") & 0777, 0544u);
    EXPECT_EQ(qimtest::ReadFileBytes(out + "/" + Sjis("日本.txt")), "日本");
}

TEST(UnlhaArchive, CommandLinesThatAreRefusedLeaveNothingBehind) {
    TempDir dir;
    qimtest::WriteFileBytes(dir.File("1"), "mail");
    qimtest::WriteFileBytes(dir.File("old.lzh"), "not to be touched");
    const std::string base = "\"" + dir.Path() + "/\" ";
    const struct {
        std::string line;
        int result;
    } cases[] = {
        {"", UNLHA_ERROR_COMMAND},
        {"x \"" + dir.File("n.lzh") + "\" " + base + "1*", UNLHA_ERROR_COMMAND},
        {"a \"" + dir.File("n.lzh") + " " + base + "1*", UNLHA_ERROR_COMMAND},  // unbalanced quote
        {"a -q \"" + dir.File("n.lzh") + "\" " + base + "1*", UNLHA_ERROR_COMMAND},
        {"a -h1 \"" + dir.File("n.lzh") + "\" " + base + "1*", UNLHA_ERROR_COMMAND},
        {"a \"" + dir.File("n.lzh") + "\" " + base, UNLHA_ERROR_COMMAND},  // no files
        {"a \"" + dir.File("n.lzh") + "\" " + base + "../1", UNLHA_ERROR_COMMAND},
        {"a \"" + dir.File("n.lzh") + "\" " + base + "7* 8*", UNLHA_ERROR_NO_FILES},
        {"a \"" + dir.File("old.lzh") + "\" " + base + "1*", UNLHA_ERROR_ARCHIVE_EXISTS},
    };
    for (const auto& c : cases) {
        char output[128];
        EXPECT_EQ(Unlha().unlha(nullptr, c.line.c_str(), output, sizeof output), c.result) << c.line;
        EXPECT_LT(std::strlen(output), sizeof output);
    }
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) left.push_back(e.path().filename());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"1", "old.lzh"}));
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("old.lzh")), "not to be touched");
    // Backslashes between folders, as a Windows caller writes them, and -z.
    const std::string line = "a -z \"" + dir.File("b.lzh") + "\" \"" + dir.Path() + "\\\" 1";
    ASSERT_EQ(Unlha().unlha(nullptr, line.c_str(), nullptr, 0), UNLHA_OK);
    const auto stored = ReadAll(dir.File("b.lzh"));
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_STREQ(stored[0].entry.method, "-lh0-");
}

}  // namespace
