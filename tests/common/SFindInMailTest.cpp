#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <random>
#include <string>

#include "common/SFindInMail.h"
#include "common/SFindMail.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;
using Where = SFindMailCondition::SEnumFindPartInMail;

constexpr Where kWhole = SFindMailCondition::FindInWholeMail;
constexpr Where kBody = SFindMailCondition::FindInBody;
constexpr Where kField = SFindMailCondition::FindInField;
constexpr Where kHeader = SFindMailCondition::FindInHeader;

constexpr int kCase = kFindOptionMatchCase;
constexpr int kWord = kFindOptionWholeWord;
constexpr int kStart = kFindOptionAtLineStart;

SFindMailCondition Condition(Where where, const std::string& field, const std::string& pattern, int options) {
    SFindMailCondition c;
    c.SetWhere(where);
    c.SetFieldName(field.c_str());
    c.SetPattern(pattern.c_str());
    SFindOption o;
    o.SetByInt(options);
    c.SetOption(o);
    return c;
}

bool SearchMail(const std::string& mail, Where where, const std::string& field, const std::string& pattern,
                int options) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("1"), mail);
    SFindMailCondition c = Condition(where, field, pattern, options);
    SFindMail finder;
    EXPECT_TRUE(finder.NewFindInMail(c.Where()));
    bool found = finder.Find(dir.File("1").c_str(), c);
    EXPECT_EQ(finder.LastError(), 0);
    return found;
}

const std::string kMail = Sjis(
    "From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <yamada@example.jp>\r\n"
    "To: team@example.jp,\r\n"
    "\tboss@example.jp\r\n"
    "Subject: Re: =?ISO-2022-JP?B?GyRCMnE1RCROTT1EahsoQg==?=\r\n"
    "X-Note: folded\r\n"
    " across lines\r\n"
    "\r\n"
    "本文の一行目です。\r\n"
    "Subject: not a header\r\n"
    "raw =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?= in the body\r\n");

TEST(SFindMail, EachPlaceSearchesWhatItShould) {
    struct Case {
        const char* what;
        Where where;
        const char* field;
        std::string pattern;
        int options;
        bool expected;
    } cases[] = {
        {"decoded subject, whole mail", kWhole, "", Sjis("会議"), 0, true},
        {"decoded subject, header", kHeader, "", Sjis("会議"), 0, true},
        {"decoded subject, field", kField, "Subject", Sjis("会議の予定"), 0, true},
        {"decoded From name, field", kField, "From", Sjis("山田"), 0, true},
        {"the encoded form is gone after decoding", kField, "Subject", "GyRCMnE1", 0, false},
        {"not the body", kBody, "", Sjis("会議"), 0, false},
        {"field name without regard to case", kField, "SUBJECT:", "re:", 0, true},
        {"other fields are not the field", kField, "Subject", "yamada", 0, false},
        {"unfolded To", kField, "To", "team@example.jp, boss@example.jp", 0, true},
        {"a pattern across a fold", kHeader, "", "folded across", 0, true},
        {"field value at line start after its blank", kField, "Subject", "Re:", kStart, true},
        {"field value at line start keeps the case rule", kField, "Subject", "re:", kStart | kCase, false},
        {"whole mail at line start sees the field name", kWhole, "", "Re:", kStart, false},
        {"header at line start sees the field name", kHeader, "", "Subject: Re:", kStart, true},
        {"body line", kBody, "", Sjis("一行目"), 0, true},
        {"body line in the whole mail", kWhole, "", Sjis("一行目"), 0, true},
        {"body not in the header search", kHeader, "", Sjis("一行目"), 0, false},
        {"a body line that looks like a field", kField, "Subject", "not a header", 0, false},
        {"body lines are not decoded", kBody, "", Sjis("テスト"), 0, false},
        {"body lines as stored", kBody, "", "=?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=", kCase, true},
        {"body line at line start", kBody, "", "raw", kStart, true},
        {"whole word in a field", kField, "To", "boss", kWord, true},
        {"not a whole word", kWhole, "", "bos", kWord, false},
        {"missing text", kWhole, "", "nowhere", 0, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SearchMail(kMail, c.where, c.field, c.pattern, c.options), c.expected) << c.what;
}

TEST(SFindMail, OddlyShapedMails) {
    struct Case {
        const char* what;
        std::string mail;
        Where where;
        const char* field;
        std::string pattern;
        bool expected;
    } cases[] = {
        {"last field without a line end", "To: a\r\nSubject: last", kField, "Subject", "last", true},
        {"header only, body search", "Subject: x\r\n", kBody, "", "x", false},
        {"body found after an empty header", "\r\nbody text\r\n", kBody, "", "body", true},
        {"bare LF lines", "Subject: lf\nX: y\n\nbody\n", kBody, "", "body", true},
        {"bare LF header field", "Subject: lf\nX: y\n\nbody\n", kField, "Subject", "lf", true},
        {"empty file", "", kWhole, "", "x", false},
        {"a subject folded between two words", "Subject: weekly\r\n report\r\n\r\n", kField, "Subject", "weekly report",
         true},
        {"text after a NUL in a body line", std::string("\r\nab\0cd needle\r\n", 16), kBody, "", "needle", true},
        {"a header line of 3000 bytes, field search past the cut",
         "To: " + std::string(2000, 'a') + " needle@example.jp " + std::string(1000, 'b') + "\r\n\r\n", kField, "To",
         "needle@example.jp", true},
        {"an encoded word across the cut of a long subject",
         "Subject: " + std::string(1000, 'x') + " =?ISO-2022-JP?B?GyRCMnE1RCROTT1EahsoQg==?=\r\n\r\n", kField,
         "Subject", Sjis("会議の予定"), true},
        // The CR LF of a 1 024-byte header line arrives as a read of its own; it
        // does not end the header.
        {"line end of a cut header line is no blank line, body search",
         "X-Long: " + std::string(1016, 'l') + "\r\nX-Secret: zzz\r\n\r\nbody\r\n", kBody, "", "zzz", false},
        {"line end of a cut header line is no blank line, field search",
         "X-Long: " + std::string(1016, 'l') + "\r\nX-Secret: zzz\r\n\r\nbody\r\n", kField, "X-Secret", "zzz", true},
        {"a body line of 3000 bytes, match across the cut", "\r\n" + std::string(1020, 'x') + "needle" +
                                                                 std::string(2000, 'x') + "\r\n",
         kBody, "", "needle", true},
        {"the same in the whole mail", "\r\n" + std::string(1020, 'x') + "needle" + std::string(2000, 'x') + "\r\n",
         kWhole, "", "needle", true},
    };
    for (const Case& c : cases) EXPECT_EQ(SearchMail(c.mail, c.where, c.field, c.pattern, 0), c.expected) << c.what;
}

TEST(SFindMail, UnreadableFilesDoNotMatchAndSayWhy) {
    qimtest::TempDir dir;
    SFindMailCondition c = Condition(kWhole, "", "x", 0);
    SFindMail finder;
    EXPECT_FALSE(finder.Find(dir.File("1").c_str(), c)) << "no searcher yet";
    ASSERT_TRUE(finder.NewFindInMail(kWhole));
    EXPECT_FALSE(finder.Find(dir.File("missing").c_str(), c));
    EXPECT_EQ(finder.LastError(), ENOENT);
    EXPECT_FALSE(finder.Find(dir.Path().c_str(), c)) << "a folder opens but does not read";
    EXPECT_EQ(finder.LastError(), EISDIR);
    qimtest::WriteFileBytes(dir.File("2"), "Subject: x\r\n");
    EXPECT_TRUE(finder.Find(dir.File("2").c_str(), c));
    EXPECT_EQ(finder.LastError(), 0) << "the error of the last file only";
}

// Header searches read no further than the blank line.
TEST(SFindMail, HeaderSearchesStopAtTheBlankLine) {
    std::string mail = "Subject: a\r\nTo: b\r\n\r\n";
    for (int i = 0; i < 1000; ++i) mail += "body line\r\n";
    FILE* fp = fmemopen(mail.data(), mail.size(), "rb");
    ASSERT_NE(fp, nullptr);
    SFindMailCondition c = Condition(kHeader, "", "nowhere", 0);
    SFindInMailLines<SFindInMailHeaderLine> searcher;
    SFindInMailHeaderLine lines(c);
    EXPECT_FALSE(searcher.FindByFP(fp, &lines));
    EXPECT_EQ(searcher.LineCount(), 3);
    std::fclose(fp);
}

// ---- Lines longer than one read ----

// Counts the body pieces that match and never stops, so a match found twice
// (or missed) across a cut shows.
class CountingLines : public SFindInMailLineBase {
public:
    using SFindInMailLineBase::SFindInMailLineBase;
    int matches = 0;
    bool Action(const char*) override { return true; }
    bool ActionBody(const char* line) override {
        if (Test(line)) ++matches;
        return true;
    }
};

int CountMatches(std::string mail, const SFindCondition& condition) {
    FILE* fp = fmemopen(mail.data(), mail.size(), "rb");
    EXPECT_NE(fp, nullptr);
    if (!fp) return -1;
    SFindInMailLines<SFindInMailTextLine> searcher;
    CountingLines lines(condition);
    searcher.FindByFP(fp, &lines);
    std::fclose(fp);
    return lines.matches;
}

std::string Repeat(const std::string& unit, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += unit;
    return s;
}

// One body line of `units` filler units with the pattern put in place of the
// filler at every possible unit position: each is found exactly once (or, when
// `expectAt` says so, not at all), whatever cut it lands on.
struct LineCase {
    const char* what;
    std::string prefix;  // before the filler, to move the cuts
    std::string filler;  // one unit
    std::string pattern;
    int options;
    int (*expectAt)(int unitPos);
};

int Always(int) { return 1; }
int Never(int) { return 0; }
int OnlyAtStart(int pos) { return pos == 0 ? 1 : 0; }

TEST(SFindInMail, AMatchAcrossACutIsFoundExactlyOnce) {
    const std::string p256 = [] {
        std::string s;
        for (int i = 0; i < kFindPatternMax; ++i) s += static_cast<char>('a' + (i * 7) % 26);
        return s;
    }();
    const LineCase cases[] = {
        {"one byte", "", "1", "q", 0, Always},
        {"two bytes", "", "1", "qz", 0, Always},
        {"seven bytes, case kept", "", "1", "qzqzqzq", kCase, Always},
        {"longest pattern", "", "1", p256, 0, Always},
        {"longest pattern, whole word", "", " ", p256, kWord, Always},
        {"whole word among digits", "", "1", "word", kWord, Always},
        {"never a whole word among letters", "", "x", "word", kWord, Never},
        {"line start only at the start", "", "1", "qz", kStart, OnlyAtStart},
        {"line start, one byte", "", "1", "q", kStart, OnlyAtStart},
        {"kanji among kanji", "", Sjis("亜"), Sjis("汕"), 0, Always},
        {"kanji among kanji, cuts inside characters", "a", Sjis("亜"), Sjis("汕"), kCase, Always},
        {"backslash among 表", "", Sjis("表"), "\\", 0, Always},
        {"backslash among 表, cuts inside characters", "a", Sjis("表"), "\\", kCase, Always},
        {"kanji word among kanji", "a", Sjis("亜"), Sjis("会議"), kWord, Always},
    };
    for (const LineCase& c : cases) {
        const int units = (2600 + static_cast<int>(c.filler.size()) - 1) / static_cast<int>(c.filler.size());
        const int patternUnits =
            (static_cast<int>(c.pattern.size()) + static_cast<int>(c.filler.size()) - 1) / static_cast<int>(c.filler.size());
        const std::string filler = Repeat(c.filler, units);
        const SFindMailCondition condition = Condition(kBody, "", c.pattern, c.options);
        int failures = 0;
        for (int pos = 0; pos + patternUnits <= units && failures < 5; ++pos) {
            std::string mail = "Subject: s\r\n\r\n" + c.prefix;
            mail.append(filler, 0, pos * c.filler.size());
            mail += c.pattern;
            mail.append(filler, 0, (units - pos - patternUnits) * c.filler.size());
            mail += "\r\n";
            const int expected = c.expectAt(pos);
            const int got = CountMatches(mail, condition);
            if (got != expected) ++failures;
            EXPECT_EQ(got, expected) << c.what << " at unit " << pos << " (byte "
                                     << c.prefix.size() + pos * c.filler.size() << ")";
        }
    }
}

// The misplaced bytes of a double-byte pattern never match, even when a cut
// falls between them.
TEST(SFindInMail, NoMatchOnSecondBytesAcrossCuts) {
    for (const std::string& prefix : {std::string(""), std::string("a")}) {
        const std::string line = prefix + Repeat(Sjis("亜"), 1400) + "\r\n";  // 88 9F 88 9F ...: 9F 88 is 汕
        EXPECT_EQ(CountMatches("\r\n" + line, Condition(kBody, "", Sjis("汕"), kCase)), 0) << "prefix " << prefix;
        EXPECT_EQ(CountMatches("\r\n" + line, Condition(kBody, "", Sjis("汕"), 0)), 0) << "prefix " << prefix;
        const std::string table = prefix + Repeat(Sjis("表"), 1400) + "\r\n";  // 95 5C ...
        EXPECT_EQ(CountMatches("\r\n" + table, Condition(kBody, "", "\\", kCase)), 0) << "prefix " << prefix;
        SFindMail finder;
        ASSERT_TRUE(finder.NewFindInMail(kBody));
        qimtest::TempDir dir;
        qimtest::WriteFileBytes(dir.File("1"), "\r\n" + line + table);
        EXPECT_FALSE(finder.Find(dir.File("1").c_str(), Condition(kBody, "", Sjis("汕"), 0)));
        EXPECT_FALSE(finder.Find(dir.File("1").c_str(), Condition(kBody, "", "\\", 0)));
        EXPECT_TRUE(finder.Find(dir.File("1").c_str(), Condition(kBody, "", Sjis("亜亜"), 0)));
        EXPECT_TRUE(finder.Find(dir.File("1").c_str(), Condition(kBody, "", Sjis("表表"), 0)));
    }
}

}  // namespace

namespace {

// Body lines without the pattern's bytes are passed over in whole blocks of
// the file; that must never change an answer. Random mails of short, long and
// very long lines (across the 1 024-byte cuts and the read-ahead blocks),
// answered both ways.
TEST(SFindInMail, PassingOverLinesNeverChangesTheAnswer) {
    const std::string patterns[] = {"needle", "n", "Needle", Sjis("汕"), Sjis("亜"), "\\", "ab ab"};
    const std::string pieces[] = {"x", "needle", "NEEDLE", "n", " ", "ab", "\r\n", "\r\n", Sjis("亜"), Sjis("表"),
                                  "a"};
    std::mt19937 random(11);
    qimtest::TempDir dir;
    int found = 0;
    for (int round = 0; round < 150; ++round) {
        std::string body;
        const int pieceCount = static_cast<int>(random() % 300);
        for (int i = 0; i < pieceCount; ++i) {
            const std::string& piece = pieces[random() % std::size(pieces)];
            // Now and then a long run, so lines pass the cut and the blocks.
            const int repeat = random() % 30 == 0 ? static_cast<int>(random() % 12000) : 1;
            for (int r = 0; r < repeat; ++r) body += piece;
        }
        const std::string& pattern = patterns[random() % std::size(patterns)];
        const int options = static_cast<int>(random() % 16);
        const std::string mail = "Subject: s\r\n\r\n" + body;
        qimtest::WriteFileBytes(dir.File("1"), mail);
        const int count = CountMatches(mail, Condition(kBody, "", pattern, options));
        found += count > 0;
        for (Where where : {kBody, kWhole}) {
            SFindMailCondition c = Condition(where, "", pattern, options);
            SFindMail finder;
            ASSERT_TRUE(finder.NewFindInMail(where));
            EXPECT_EQ(finder.Find(dir.File("1").c_str(), c), count > 0)
                << "round " << round << " place " << where << " options " << options << " pattern "
                << qimtest::Utf8(pattern) << " count " << count << " size " << mail.size();
        }
    }
    EXPECT_GT(found, 30) << "the rounds hold matches";
    EXPECT_LT(found, 120) << "and misses";
}

}  // namespace

namespace {

// Text that travels encoded is found as the user sees it: base64 and
// quoted-printable bodies, UTF-8 and EUC-JP, encoded words of any charset.
TEST(FindInMail, EncodedTextIsSearchedAsItReads) {
    const std::string utf8Base64 =
        "From: =?UTF-8?B?5bGx55Sw?= <y@example.jp>\r\nSubject: =?utf-8?q?=E4=BC=9A=E8=AD=B0?=\r\nMIME-Version: 1.0\r\n"
        "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
        "5p2l6YCx44Gu5LqI5a6a44Gn44GZ44CCCg==\r\n";  // 来週の予定です。
    const std::string multipartQp =
        "Subject: x\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n"
        "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
        "=E8=A6=8B=E7=A9=8D=E6=9B=B8=\r\n=E3=81=A7=E3=81=99\r\n--b--\r\n";  // 見積書です, split by a soft break
    const std::string euc = "Subject: e\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; charset=euc-jp\r\n\r\n"
                            "\xC6\xFC\xCB\xDC\xB8\xEC\r\n";  // 日本語
    const struct {
        const char* name;
        std::string mail;
        Where where;
        const char* field;
        std::string pattern;
        bool found;
    } cases[] = {
        {"base64 body, whole mail", utf8Base64, kWhole, "", Sjis("来週の予定"), true},
        {"base64 body, body only", utf8Base64, kBody, "", Sjis("予定です"), true},
        {"base64 body, absent word", utf8Base64, kBody, "", Sjis("会議室"), false},
        {"UTF-8 word in From", utf8Base64, kField, "From", Sjis("山田"), true},
        {"Q word in Subject", utf8Base64, kHeader, "", Sjis("会議"), true},
        {"QP across a soft break", multipartQp, kBody, "", Sjis("見積書です"), true},
        {"EUC-JP body", euc, kWhole, "", Sjis("日本語"), true},
        {"the stored bytes are searched as well", utf8Base64, kBody, "", "5p2l6YCx", true},
    };
    for (const auto& c : cases) EXPECT_EQ(SearchMail(c.mail, c.where, c.field, c.pattern, 0), c.found) << c.name;
}

}  // namespace
