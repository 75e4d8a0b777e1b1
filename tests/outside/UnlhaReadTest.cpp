// The archiver library reading archives: those of jlha (levels 0, 1 and 2,
// packed and stored) are listed and unpacked, and damaged archives end in an
// error, never in a crash, a hang or data that does not check.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "UnlhaTestSupport.h"
#include "support/TestSupport.h"

namespace {

using qimtest::TempDir;
using unlhatest::Pack;
using unlhatest::RandomBytes;
using unlhatest::ReadAll;
using unlhatest::Unlha;

TEST(UnlhaRead, ArchivesOfJlhaAreListedAndUnpacked) {
    TempDir dir;
    std::string text;
    for (int i = 0; i < 4000; ++i) text += "line " + std::to_string(i * 7 % 101) + " of a mail\r\n";
    const struct {
        const char* name;
        std::string data;
    } files[] = {{"text", text}, {"random", RandomBytes(30000, 7)}, {"one", "x"}};
    for (const auto& f : files) qimtest::WriteFileBytes(dir.File(f.name), f.data);
    const struct {
        const char* key;
        unsigned level;
        const char* textMethod;
    } archives[] = {{"a0", 0, "-lh5-"}, {"a1", 1, "-lh5-"}, {"a2", 2, "-lh5-"},
                    {"az0", 0, "-lh0-"}, {"az1", 1, "-lh0-"}, {"az2", 2, "-lh0-"}};
    for (const auto& a : archives) {
        const std::string archive = dir.File(std::string(a.key) + ".lzh");
        int status = -1;
        const std::string out =
            qimtest::RunCommand("cd '" + dir.Path() + "' && jlha " + a.key + " '" + archive + "' text random one 2>&1", &status);
        ASSERT_EQ(status, 0) << out;
        int end = 0;
        const auto stored = ReadAll(archive, &end);
        EXPECT_EQ(end, UNLHA_NOT_FOUND) << a.key;
        ASSERT_EQ(stored.size(), 3u) << a.key;
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_STREQ(stored[i].entry.fileName, files[i].name) << a.key;
            EXPECT_EQ(stored[i].entry.headerLevel, a.level) << a.key;
            EXPECT_EQ(stored[i].entry.originalSize, files[i].data.size()) << a.key;
            EXPECT_EQ(stored[i].extractResult, UNLHA_OK) << a.key << " " << files[i].name;
            EXPECT_TRUE(stored[i].data == files[i].data) << a.key << " " << files[i].name;
        }
        EXPECT_STREQ(stored[0].entry.method, a.textMethod) << a.key;
        EXPECT_STREQ(stored[2].entry.method, "-lh0-") << a.key;
    }
}

class DamagedArchive : public ::testing::Test {
protected:
    void SetUp() override {
        std::string text;
        for (int i = 0; i < 3000; ++i) text += "Subject: " + std::to_string(i % 97) + "\r\n";
        originals_ = {{"1", text}, {"2", RandomBytes(5000, 3)}, {"3", std::string(40000, 'a')}};
        for (const auto& [name, data] : originals_) qimtest::WriteFileBytes(dir_.File(name), data);
        ASSERT_EQ(Pack(dir_.File("good.lzh"), dir_.Path(), "1 2 3"), UNLHA_OK);
        good_ = qimtest::ReadFileBytes(dir_.File("good.lzh"));
    }
    // Whatever the walk gives must be the truth: an entry that unpacks
    // without error unpacks to the original file.
    void ExpectNoLie(const std::string& bytes, const std::string& what) {
        const std::string path = dir_.File("bad.lzh");
        qimtest::WriteFileBytes(path, bytes);
        int end = 0;
        for (const auto& s : ReadAll(path, &end, 1u << 20)) {
            const auto it = originals_.find(s.entry.fileName);
            if (s.extractResult == UNLHA_OK && it != originals_.end() && s.entry.originalSize == it->second.size()) {
                EXPECT_TRUE(s.data == it->second) << what << ": " << s.entry.fileName;
            }
        }
    }
    TempDir dir_;
    std::map<std::string, std::string> originals_;
    std::string good_;
};

TEST_F(DamagedArchive, NamedFaultsAreErrors) {
    const std::size_t header = static_cast<unsigned char>(good_[0]) | static_cast<unsigned char>(good_[1]) << 8;
    struct Case {
        const char* what;
        std::string bytes;
        bool opens;
        int walkEnd;
        int firstExtract;
    };
    std::string headerByte = good_, dataByte = good_, bigSize = good_, noEnd = good_;
    headerByte[header - 3] ^= 0x40;            // inside the name: the header CRC no longer fits
    dataByte[header + 40] ^= 0x10;             // inside -lh5- data: unpacks, but not to the CRC
    bigSize[10] = '\x7f';                      // packed size far past the file's end
    noEnd.pop_back();                          // no closing zero: still a whole archive
    const Case cases[] = {
        {"garbage", RandomBytes(300, 1), false, 0, 0},
        {"empty", "", true, UNLHA_NOT_FOUND, -2},
        {"header byte", headerByte, false, 0, 0},
        {"data byte", dataByte, true, UNLHA_NOT_FOUND, UNLHA_ERROR_BROKEN},
        {"size past the end", bigSize, false, 0, 0},
        {"cut in the first data", good_.substr(0, header + 20), false, 0, 0},
        {"cut after the first entry", good_.substr(0, good_.size() / 2), true, UNLHA_ERROR_BROKEN, UNLHA_OK},
        {"no end mark", noEnd, true, UNLHA_NOT_FOUND, UNLHA_OK},
    };
    for (const Case& c : cases) {
        const std::string path = dir_.File("bad.lzh");
        qimtest::WriteFileBytes(path, c.bytes);
        void* h = Unlha().open(nullptr, path.c_str(), 0x802202);
        EXPECT_EQ(h != nullptr, c.opens) << c.what;
        if (h) Unlha().close(h);
        if (!c.opens) continue;
        int end = 0;
        const auto stored = ReadAll(path, &end);
        EXPECT_EQ(end, c.walkEnd) << c.what;
        if (c.firstExtract != -2) {
            ASSERT_FALSE(stored.empty()) << c.what;
            EXPECT_EQ(stored[0].extractResult, c.firstExtract) << c.what;
        }
        ExpectNoLie(c.bytes, c.what);
    }
}

TEST_F(DamagedArchive, RandomDamageNeverCrashesHangsOrLies) {
    std::mt19937 rng(20261211);
    for (int round = 0; round < 400; ++round) {
        std::string bytes = good_;
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int k = 0; k < flips; ++k) bytes[rng() % bytes.size()] = static_cast<char>(rng() & 0xFF);
        if (round % 5 == 0) bytes.resize(rng() % bytes.size());
        ExpectNoLie(bytes, "round " + std::to_string(round));
    }
}

TEST(UnlhaRead, HandlesThatAreNoArchivesAreRefused) {
    UnlhaEntry entry{};
    int notAnArchive = 0;
    EXPECT_EQ(Unlha().findFirst(&notAnArchive, "*.*", &entry), UNLHA_ERROR_HANDLE);
    EXPECT_EQ(Unlha().close(&notAnArchive), UNLHA_ERROR_HANDLE);
    EXPECT_EQ(Unlha().open(nullptr, "/nonexistent/a.lzh", 0x802202), nullptr);
    EXPECT_EQ(Unlha().open(nullptr, "/tmp", 0x802202), nullptr);
    EXPECT_EQ(Unlha().open(nullptr, "/tmp/a.lzh", 0x80000000u), nullptr);  // unknown mode bits
}

}  // namespace
