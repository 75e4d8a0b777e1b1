#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "common/InetDate.h"
#include "common/SHeaderField.h"
#include "common/SMHUnfoldDecode.h"
#include "common/TextTools.h"
#include "platform/FileDescriptors.h"
#include "platform/TextFile.h"
#include "store/SMailHeaderReader.h"
#include "store/SQimCacheFolder.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;
using qimtest::TempDir;
using qimtest::WriteFileBytes;

constexpr std::size_t kMax = SMailHeaderReader::kMaxLine;

// Every line the reader hands out for a file holding `content`.
std::vector<std::string> LinesOf(const std::string& content) {
    TempDir dir;
    WriteFileBytes(dir.File("m"), content);
    SMailHeaderReader reader;
    reader.Open(platform::OpenReadOnly(dir.File("m").c_str()));
    std::vector<std::string> lines;
    std::size_t length = 0;
    while (const char* line = reader.NextLine(length)) {
        EXPECT_EQ(line[length], '\0');
        lines.emplace_back(line, length);
    }
    return lines;
}

TEST(MailHeaderReader, HandsOutLinesAsATextModeStreamReadsThem) {
    const std::string manyLines = [] {
        std::string s;
        for (int i = 0; i < 400; ++i) s += "Received: from host" + std::to_string(i) + std::string(60, '.') + "\r\n";
        return s;
    }();
    struct Case {
        const char* what;
        std::string content;
        std::vector<std::string> lines;
    } cases[] = {
        {"CR LF reads as LF", "A: 1\r\nB: 2\r\n", {"A: 1\n", "B: 2\n"}},
        {"a lone CR stays", "A: x\ry\r\n\r\r\n", {"A: x\ry\n", "\r\n"}},
        {"the last line without its end", "A: 1\r\nB", {"A: 1\n", "B"}},
        {"a CR at the very end stays", "A\r", {"A\r"}},
        {"a NUL is a byte of the line", std::string("A: \0z\r\n", 7), {std::string("A: \0z\n", 6)}},
        {"an empty file", "", {}},
        {"a line of exactly the kept length", std::string(kMax - 1, 'a') + "\r\nB\r\n", {std::string(kMax - 1, 'a') + "\n", "B\n"}},
        {"one byte more loses the line end", std::string(kMax, 'a') + "\nB\n", {std::string(kMax, 'a'), "B\n"}},
        {"a longer line keeps its start", std::string(3 * kMax + 5, 'b') + "\r\nC\r\n", {std::string(kMax, 'b'), "C\n"}},
        {"a longer last line", std::string(kMax + 9, 'b'), {std::string(kMax, 'b')}},
    };
    for (const Case& c : cases) EXPECT_EQ(LinesOf(c.content), c.lines) << c.what;

    // A header longer than one read comes whole and in order.
    const std::vector<std::string> lines = LinesOf(manyLines + "\r\nbody\r\n");
    ASSERT_EQ(lines.size(), 402u);
    EXPECT_EQ(lines[0], "Received: from host0" + std::string(60, '.') + "\n");
    EXPECT_EQ(lines[399], "Received: from host399" + std::string(60, '.') + "\n");
    EXPECT_TRUE(SMailHeaderReader::IsHeaderEnd(lines[400].size(), lines[400].c_str()));
}

TEST(MailHeaderReader, AFolderIsUnreadable) {
    TempDir dir;
    SMailHeaderReader reader;
    reader.Open(platform::OpenReadOnly(dir.Path().c_str()));
    std::size_t length = 0;
    EXPECT_EQ(reader.NextLine(length), nullptr);
    EXPECT_TRUE(reader.Unreadable());
    WriteFileBytes(dir.File("empty"), "");
    reader.Open(platform::OpenReadOnly(dir.File("empty").c_str()));
    EXPECT_EQ(reader.NextLine(length), nullptr);
    EXPECT_FALSE(reader.Unreadable());
}

// A FIFO with a mail's name is no mail, and reading it never waits for a
// writer that does not come.
TEST(HeaderCache, AFifoIsNoMailAndIsNotWaitedFor) {
    TempDir dir;
    ASSERT_EQ(mkfifo(dir.File("3").c_str(), 0600), 0);
    SHeaderData data;
    EXPECT_FALSE(SQimCacheFolder::ReadHeaderData(dir.File("3").c_str(), data));
}

// The record's texts as the cache made them when every field was decoded and
// the file was read a line at a time through a text-mode stream: the fast
// reading must give the same bytes for any header.
class EveryFieldDecoded : public SMHUnfoldDecode {
public:
    EveryFieldDecoded() { SetDecode(true); }
    ~EveryFieldDecoded() override {
        if (!IsFinished()) EveryFieldDecoded::Finish();
    }
    bool Execute(const char* line) override {
        if ((line[0] == ' ' || line[0] == '\t') && collected_.size() >= 64 * 1024) return true;
        return SMHUnfoldDecode::Execute(line);
    }
    bool Action(const char* field) override {
        static const char* const kNames[] = {"To:", "From:", "Subject:", "Date:"};
        std::string* const targets[] = {&data.to, &data.from, &data.subject, &date};
        for (int i = 0; i < 4; ++i) {
            const char* value = HeaderFieldValue(field, kNames[i]);
            if (!value) continue;
            const std::size_t length = std::strcspn(value, "\r\n");
            if (length == 0 || !targets[i]->empty()) break;
            targets[i]->assign(value, length);
            break;
        }
        return true;
    }
    bool Finish() override {
        const bool ok = SMHUnfoldDecode::Finish();
        std::tm t{};
        t.tm_mon = -1;
        t.tm_year = 100;
        InetDateToDate(date.c_str(), &t);
        char key[kDateKeySize];
        data.date = FormatDateKey(t, key);
        return ok;
    }
    SHeaderData data;
    std::string date;
};

SHeaderData ReadLineByLine(const std::string& path) {
    platform::TextFile in;
    EXPECT_TRUE(in.Open(path.c_str(), "r"));
    EveryFieldDecoded collector;
    char piece[1024];
    std::string line;
    while (FGetString(in, piece, sizeof piece, line, 64 * 1024) > 0) {
        if (line == "\n") break;
        collector.Execute(line.c_str());
    }
    collector.Finish();
    return collector.data;
}

TEST(HeaderCache, RecordsEqualThoseOfDecodingEveryField) {
    const std::string jisWord = "=?ISO-2022-JP?B?GyRCRnxLXDhsGyhC?=";  // 日本語
    const std::string received = [] {
        std::string s;
        for (int i = 0; i < 300; ++i) s += "Received: by relay" + std::to_string(i) + ".example.jp; Thu, 1 Jan 2026\r\n";
        return s;
    }();
    const std::string headers[] = {
        "To: a@example.jp\r\nFrom: " + jisWord + " <f@example.jp>\r\nSubject: Re: " + jisWord +
            "\r\nDate: Thu, 10 Dec 2026 13:15:00 +0900\r\n\r\nSubject: body\r\n",
        // A name hidden in an encoded word is a name once decoded.
        "=?us-ascii?Q?Subject?=: hidden\r\nSubject: shown\r\n\r\n",
        "Subject : spaced\r\nfrom:lower\r\nTO:\tcaps\r\nDATE:  1 Feb 99 1:02\r\n\r\n",
        // Raw bytes: UTF-8, and JIS escapes without encoded words, in kept and other fields.
        "Subject: " + std::string("\xE6\x97\xA5\xE6\x9C\xAC") + "\r\nX-Raw: \xE6\x97\xA5\r\nTo: \x1B$BF|\x1B(B\r\n\r\n",
        "X-Note: " + jisWord + "\r\n\xE6\x97\xA5: x\r\nFrom: " + Sjis("山田") + "\r\n\r\n",
        // Folding, repeats, empty values, a NUL, a lone CR.
        "To:\r\nTo: second\r\nSubject: a\r\n\tb\r\n  c\r\nFrom: x\r\n y\r\n" + std::string("Date: \0x\r\n", 10) +
            "\r\n",
        "Subject: one\rtwo\r\nFrom: f\r\r\n\r\n",
        // A header longer than a read, a line longer than the kept length, no
        // blank line and no last line end.
        received + "Subject: after " + jisWord + "\r\n\r\n",
        "To: " + std::string(70000, 't') + "\r\nSubject: s\r\n\r\n",
        "Subject: " + std::string(70000, 's'),
        "Subject: unended\r\nFrom: =?iso-2022-jp?q?=1B$BF|=1B(B?=",
    };
    TempDir dir;
    for (std::size_t i = 0; i < std::size(headers); ++i) {
        const std::string path = dir.File(std::to_string(i + 1));
        WriteFileBytes(path, headers[i]);
        SHeaderData fast;
        ASSERT_TRUE(SQimCacheFolder::ReadHeaderData(path.c_str(), fast));
        const SHeaderData reference = ReadLineByLine(path);
        EXPECT_EQ(fast.to, reference.to) << "header " << i + 1;
        EXPECT_EQ(fast.from, reference.from) << "header " << i + 1;
        EXPECT_EQ(fast.subject, reference.subject) << "header " << i + 1;
        EXPECT_EQ(fast.date, reference.date) << "header " << i + 1;
    }
    // The rebuild reads them the same way as the single reads.
    SQimCacheFolder folder(dir.Path());
    std::string expected;
    for (std::size_t i = 0; i < std::size(headers); ++i)
        expected += SQimCacheFolder::FormatRecord(static_cast<int>(i + 1), ReadLineByLine(dir.File(std::to_string(i + 1))));
    std::string crlf;
    for (char c : expected) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_TRUE(qimtest::ReadFileBytes(dir.File("HCACHE.TXT")) == crlf);
}

}  // namespace
