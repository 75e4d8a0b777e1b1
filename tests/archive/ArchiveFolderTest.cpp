// qimcmd::ArchiveFolder without windows: the whole run with the real library,
// the name question, each failing check with its message, and the reading
// back that decides whether any mail may go.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <functional>

#include "ArchiveTestSupport.h"
#include "archive/SArchiveFolder.h"
#include "store/SMemCacheFolder.h"

namespace {

using archivetest::RecordingObserver;
using qimtest::Sjis;
using Result = SArchiveFolder::Result;

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    char s[16];
    std::strftime(s, sizeof s, "%Y%m%d", &t);
    return s;
}

class ArchiveFolder : public ::testing::Test {
protected:
    void SetUp() override {
        native_ = home_.File("\xE4\xBB\x95\xE4\xBA\x8B");  // 仕事
        std::filesystem::create_directory(native_);
        folder_ = Sjis(native_);
        mails_ = archivetest::FolderMails(12);
        for (const auto& [name, data] : mails_) qimtest::WriteFileBytes(native_ + "/" + name, data);
        chmod((native_ + "/3").c_str(), 0544);  // read and important
        SQimCacheFolder cache(folder_);  // builds HCACHE.TXT
        mails_["HCACHE.TXT"] = qimtest::ReadFileBytes(native_ + "/HCACHE.TXT");
        qimtest::WriteFileBytes(native_ + "/notes.txt", "not a mail");
        std::filesystem::create_directory(native_ + "/5x");  // a folder that looks like mail
    }
    // Every mail and the cache still there, unchanged.
    void ExpectEverythingKept() {
        for (const auto& [name, data] : mails_)
            EXPECT_TRUE(qimtest::ReadFileBytes(native_ + "/" + name) == data) << name;
    }
    qimtest::TempDir home_;
    std::string native_, folder_;
    std::map<std::string, std::string> mails_;
    RecordingObserver observer_;
};

TEST_F(ArchiveFolder, PacksEveryMailAndTheCacheThenEmptiesTheFolderAndRebuildsTheCache) {
    SArchiveFolder command(observer_);
    ASSERT_EQ(command.Run(folder_), Result::Archived) << (observer_.notices.empty() ? "" : observer_.notices[0]);
    EXPECT_TRUE(observer_.notices.empty());
    EXPECT_EQ(observer_.askedWith, Sjis("仕事") + Today());
    const std::string archive = folder_ + "/" + Sjis("仕事") + Today() + ".LZH";
    EXPECT_EQ(command.ArchivePath(), archive);
    EXPECT_EQ(observer_.range, 14);  // 12 mails, the cache, and one
    EXPECT_EQ(observer_.steps, 13);
    EXPECT_EQ(command.Deleted(), 13);
    ASSERT_GE(observer_.events.size(), 5u);
    EXPECT_EQ(observer_.events.front(), "begin " + archive);
    EXPECT_EQ(observer_.events[1], "Mail Number:       1 -->");
    const std::vector<std::string> tail(observer_.events.end() - 3, observer_.events.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"end", Sjis("書庫に入れたメールを削除中です..."), Sjis("終了です。")}));

    // Left: the archive (read-only, archive attribute), what is no mail, and a new empty cache.
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(native_)) left.push_back(e.path().filename());
    std::sort(left.begin(), left.end());
    const std::string archiveName = "\xE4\xBB\x95\xE4\xBA\x8B" + Today() + ".LZH";
    EXPECT_EQ(left, (std::vector<std::string>{"5x", "HCACHE.TXT", "notes.txt", archiveName}));
    EXPECT_EQ(qimtest::FileMode(native_ + "/" + archiveName) & (S_IWUSR | S_IXUSR), unsigned(S_IXUSR));
    EXPECT_EQ(SMemCacheFolder(folder_).Count(), 0);

    // lhasa gives every file back byte for byte, with its marks.
    const std::string out = home_.File("x");
    std::filesystem::create_directory(out);
    int status = -1;
    qimtest::RunCommand("cd '" + out + "' && lhasa xq '" + native_ + "/" + archiveName + "'", &status);
    ASSERT_EQ(status, 0);
    for (const auto& [name, data] : mails_) EXPECT_TRUE(qimtest::ReadFileBytes(out + "/" + name) == data) << name;
    EXPECT_EQ(qimtest::FileMode(out + "/3") & 0777, 0544u);
}

// A run that dies while it deletes the archived mails (the kill test found
// it) must not leave a header cache that lists mails already gone: the cache
// goes first, and the next opening builds one from what is left.
TEST_F(ArchiveFolder, WhileTheMailsAreDeletedNoCacheListsAMailAlreadyGone) {
    // Mail 12 vanishes once the deleting begins: its failed deletion is the
    // moment a kill could come, with mails 1, 10 and 11 deleted before it.
    struct MidwayObserver : RecordingObserver {
        std::string folder;
        std::vector<std::string> staleRecords;
        bool checked = false;
        void ShowStatus(const std::string& text) override {
            RecordingObserver::ShowStatus(text);
            if (text == Sjis("書庫に入れたメールを削除中です...")) std::filesystem::remove(folder + "/12");
        }
        void Notify(const SNotice& notice) override {
            RecordingObserver::Notify(notice);
            checked = true;
            const std::string cache = qimtest::ReadFileBytes(folder + "/HCACHE.TXT");
            std::vector<SQimMailData> records;
            SMemCacheFolder::ParseRecords(cache.data(), cache.size(), records);
            for (const SQimMailData& r : records)
                if (!std::filesystem::exists(folder + "/" + std::to_string(r.number))) staleRecords.push_back(std::to_string(r.number));
        }
    } observer;
    observer.folder = native_;
    SArchiveFolder command(observer);
    EXPECT_EQ(command.Run(folder_), Result::Archived);
    ASSERT_TRUE(observer.checked);
    EXPECT_EQ(observer.staleRecords, std::vector<std::string>{});
    EXPECT_EQ(SMemCacheFolder(folder_).Count(), 0);
}

TEST_F(ArchiveFolder, TheNameQuestion) {
    qimtest::WriteFileBytes(native_ + "/old.LZH", "an earlier archive");
    const struct {
        std::optional<std::string> answer;
        Result result;
        std::vector<std::string> notices;
        const char* archive;  // made, on disk
    } cases[] = {
        {std::nullopt, Result::Cancelled, {}, nullptr},
        {std::string("../escape"), Result::Failed,
         {Sjis("../escape は書庫ファイル名に使えません。フォルダーの中のファイル名を１つ指定して下さい。"), Sjis("中止します。")}, nullptr},
        {std::string("a|b"), Result::Failed,
         {Sjis("a|b は書庫ファイル名に使えません。フォルダーの中のファイル名を１つ指定して下さい。"), Sjis("中止します。")}, nullptr},
        {std::string("old"), Result::Failed, {Sjis("同じ名前の書庫ファイルが存在します。")}, nullptr},
        {std::string("OLD.lzh"), Result::Archived, {}, "OLD.lzh"},
    };
    for (const auto& c : cases) {
        RecordingObserver observer;
        observer.answer = c.answer;
        SArchiveFolder command(observer);
        EXPECT_EQ(command.Run(folder_), c.result) << c.answer.value_or("(cancel)");
        EXPECT_EQ(observer.notices, c.notices) << c.answer.value_or("(cancel)");
        if (c.archive) {
            EXPECT_TRUE(qimtest::FileExists(native_ + "/" + c.archive));
        } else {
            ExpectEverythingKept();
        }
    }
    EXPECT_FALSE(qimtest::FileExists(home_.File("escape.LZH")));
    EXPECT_EQ(qimtest::ReadFileBytes(native_ + "/old.LZH"), "an earlier archive");
}

TEST(ArchivePaths, FileListNameAndCommandLine) {
    EXPECT_EQ(SArchiveFolder::FileList(), "1* 2* 3* 4* 5* 6* 7* 8* 9* HCACHE.TXT");
    std::tm date{};
    date.tm_year = 126;
    date.tm_mon = 0;
    date.tm_mday = 5;
    EXPECT_EQ(SArchiveFolder::DefaultName("/home/u/QimHome/box/", date), "box20260105");
    std::string path;
    ASSERT_TRUE(SArchiveFolder::MakeArchivePath("/h/box", "x.Lzh", path));
    EXPECT_EQ(path, "/h/box/x.Lzh");
    ASSERT_TRUE(SArchiveFolder::MakeArchivePath("/h/box/", "x", path));
    EXPECT_EQ(path, "/h/box/x.LZH");
    for (const char* bad : {"", ".", "..", "a/b", "a\"b", "a*b"}) EXPECT_FALSE(SArchiveFolder::MakeArchivePath("/h/box", bad, path)) << bad;
    EXPECT_FALSE(SArchiveFolder::MakeArchivePath("/h/b\"x", "x", path));
    EXPECT_EQ(SArchiveFolder::CommandLine("/h/box/x.LZH", "/h/box", SArchiveFolder::FileList()),
              "a -+ -n  \"/h/box/x.LZH\" \"/h/box/\" 1* 2* 3* 4* 5* 6* 7* 8* 9* HCACHE.TXT");
}

// ---- A library that fails where a test says ----

struct Fake {
    std::uint32_t version = 255;
    std::int32_t running = 0;
    std::int32_t setOwner = 1;
    std::int32_t background = 1;
    std::int32_t run = 0;
    std::int32_t kill = 1;
    bool ownerKilled = false;
    bool ran = false;
};
Fake g_fake;

SUnlhaEntryPoints FakeLibrary() {
    SUnlhaEntryPoints p;
    p.getVersion = [] { return g_fake.version; };
    p.getRunning = [] { return g_fake.running; };
    p.setOwnerWindowEx = [](void*, UnlhaArchiverProc) { return g_fake.setOwner; };
    p.setBackGroundMode = [](std::int32_t) { return g_fake.background; };
    p.unlha = [](void*, const char*, char*, std::uint32_t) {
        g_fake.ran = true;
        return g_fake.run;
    };
    p.killOwnerWindowEx = [](void*) {
        g_fake.ownerKilled = true;
        return g_fake.kill;
    };
    return p;
}

TEST_F(ArchiveFolder, EachFailingCheckShowsItsMessageAndKeepsEveryMail) {
    const struct {
        const char* what;
        std::function<void(Fake&, SUnlhaEntryPoints&)> change;
        std::string notice;
        bool ownerGivenBack;
    } cases[] = {
        {"no Unlha", [](Fake&, SUnlhaEntryPoints& p) { p.unlha = nullptr; }, "Unable to find Unlha()", false},
        {"old", [](Fake& f, SUnlhaEntryPoints&) { f.version = 0x10031; }, Sjis("unlha32.dll のバージョンが期待するもの(50)より古い(49)ので中止します。"), false},
        {"busy", [](Fake& f, SUnlhaEntryPoints&) { f.running = 1; }, Sjis("unlha32.dll は既に動作中です。"), false},
        {"owner", [](Fake& f, SUnlhaEntryPoints&) { f.setOwner = 0; }, Sjis("変です(in UnlhaSetOwnerWindowEx())。"), false},
        {"background", [](Fake& f, SUnlhaEntryPoints&) { f.background = 0; }, Sjis("変です(in UnlhaSetBackGroundMode())。"), true},
        {"run", [](Fake& f, SUnlhaEntryPoints&) { f.run = UNLHA_ERROR_WRITE; }, Sjis("エラーが起こりました。"), true},
        {"kill", [](Fake& f, SUnlhaEntryPoints&) { f.kill = 0; }, Sjis("変です(in UnlhaKillOwnerWindowEx())。"), true},
        {"no walk", [](Fake&, SUnlhaEntryPoints&) {}, "Unable to find Unlha()", true},
    };
    for (const auto& c : cases) {
        g_fake = Fake();
        SUnlhaEntryPoints library = FakeLibrary();
        c.change(g_fake, library);
        RecordingObserver observer;
        SArchiveFolder command(observer, &library);
        const Result result = command.Run(folder_);
        EXPECT_NE(result, Result::Archived) << c.what;
        EXPECT_EQ(observer.notices, std::vector<std::string>{c.notice}) << c.what;
        EXPECT_EQ(g_fake.ownerKilled, c.ownerGivenBack) << c.what;
        ExpectEverythingKept();
    }
}

// ---- The real library, with one thing going wrong after its run ----

const SUnlhaEntryPoints* g_real = nullptr;
std::function<void(const std::string& archive)> g_afterRun;
std::string g_hiddenName;
std::string g_lyingCrcName;
bool g_damageExtract = false;

std::int32_t RunThenMeddle(void* w, const char* line, char* out, std::uint32_t size) {
    const std::int32_t r = g_real->unlha(w, line, out, size);
    if (r == 0 && g_afterRun) {
        // The archive path is the first quoted word.
        const std::string s(line);
        const std::size_t a = s.find('"');
        g_afterRun(qimtest::Utf8(s.substr(a + 1, s.find('"', a + 1) - a - 1)));
    }
    return r;
}
std::int32_t Adjust(std::int32_t r, UnlhaArchive h, UnlhaEntry* e) {
    if (r == 0 && g_hiddenName == e->fileName) return g_real->findNext(h, e);
    if (r == 0 && g_lyingCrcName == e->fileName) e->crc ^= 1;
    return r;
}
std::int32_t FindFirst(UnlhaArchive h, const char* w, UnlhaEntry* e) { return Adjust(g_real->findFirst(h, w, e), h, e); }
std::int32_t FindNext(UnlhaArchive h, UnlhaEntry* e) { return Adjust(g_real->findNext(h, e), h, e); }
std::int32_t Extract(UnlhaArchive h, void* buffer, std::uint64_t size, std::uint64_t* written) {
    const std::int32_t r = g_real->extractCurrent(h, buffer, size, written);
    if (g_damageExtract && size > 10) static_cast<char*>(buffer)[size / 2] ^= 0x20;
    return r;
}

TEST_F(ArchiveFolder, AnArchiveThatDoesNotReadBackIntactKeepsEveryMail) {
    g_real = qimarchive::LoadUnlha32();
    ASSERT_NE(g_real, nullptr);
    const std::string notVerified = Sjis("を読み直して確かめることができませんでした: ");
    const struct {
        const char* what;
        std::function<void()> arrange;
        std::string reason;  // the end of the message
    } cases[] = {
        {"a mail changed after it was packed",
         [this] { g_afterRun = [this](const std::string&) { qimtest::WriteFileBytes(native_ + "/2", mails_["2"] + "x"); }; },
         Sjis("書庫の中の 2 の大きさが元のファイルと違います。")},
        {"a mail is not in the archive", [] { g_hiddenName = "7"; }, Sjis("7 が書庫に入っていません。")},
        {"the header's CRC is not the file's", [] { g_lyingCrcName = "1"; }, Sjis("書庫から取り出した 1 が元のファイルと違います。")},
        {"the data unpacks to other bytes", [] { g_damageExtract = true; }, Sjis("書庫から取り出した 1 が元のファイルと違います。")},
        {"the archive lost its end", [] {
             g_afterRun = [](const std::string& archive) { std::filesystem::resize_file(archive, std::filesystem::file_size(archive) / 2); };
         }, ""},
        {"the archive is gone", [] { g_afterRun = [](const std::string& archive) { std::filesystem::remove(archive); }; }, ""},
    };
    int round = 0;
    for (const auto& c : cases) {
        g_afterRun = nullptr;
        g_hiddenName.clear();
        g_lyingCrcName.clear();
        g_damageExtract = false;
        c.arrange();
        SUnlhaEntryPoints library = *g_real;
        library.unlha = &RunThenMeddle;
        library.findFirst = &FindFirst;
        library.findNext = &FindNext;
        library.extractCurrent = &Extract;
        RecordingObserver observer;
        observer.answer = "round" + std::to_string(round++);
        SArchiveFolder command(observer, &library);
        EXPECT_NE(command.Run(folder_), Result::Archived) << c.what;
        ASSERT_EQ(observer.notices.size(), 1u) << c.what;
        const std::string& text = observer.notices[0];
        if (std::string(c.what) == "the archive is gone") {
            EXPECT_EQ(text, "Unable to open archive");
        } else {
            EXPECT_NE(text.find(notVerified), std::string::npos) << c.what << ": " << qimtest::Utf8(text);
            EXPECT_NE(text.find(c.reason), std::string::npos) << c.what << ": " << qimtest::Utf8(text);
            EXPECT_NE(text.find(Sjis("メールは１通も削除していません。")), std::string::npos) << c.what;
        }
        if (std::string(c.what) == "a mail changed after it was packed") mails_["2"] += "x";
        ExpectEverythingKept();
        EXPECT_EQ(command.Deleted(), 0);
    }
    g_afterRun = nullptr;
}

}  // namespace
