#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/SHeaderMime.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

#define B(payload) "=?ISO-2022-JP?B?" payload "?="

std::string Encode(const std::string& sjis) {
    std::string out;
    EXPECT_TRUE(SHeaderMime::EncodeALine(sjis.c_str(), out)) << qimtest::Utf8(sjis);
    return out;
}

std::string DecodeSjis(const std::string& line, bool* ok = nullptr) {
    std::vector<char> out(line.size() + 1);
    bool result = SHeaderMime::DecodeALineSjis(line.c_str(), out.data());
    if (ok) *ok = result;
    return out.data();
}

// Lines of a folded field, without their CR LF.
std::vector<std::string> Lines(const std::string& field) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (true) {
        std::size_t crlf = field.find("\r\n", start);
        lines.push_back(field.substr(start, crlf == std::string::npos ? std::string::npos : crlf - start));
        if (crlf == std::string::npos) break;
        start = crlf + 2;
    }
    return lines;
}

TEST(HeaderEncode, EncodesOnlyTheJapaneseWords) {
    struct Case {
        std::string utf8;
        std::string encoded;
    } cases[] = {
        {"Subject: テスト", "Subject: " B("GyRCJUYlOSVIGyhC")},
        {"To: 山田 <yamada@example.jp>", "To: " B("GyRCOzNFRBsoQg==") " <yamada@example.jp>"},
        // The blank between two Japanese words travels inside the first word.
        {"Subject: テスト テスト", "Subject: " B("GyRCJUYlOSVIGyhCIA==") "\r\n " B("GyRCJUYlOSVIGyhC")},
        {"Subject: plain ascii", "Subject: plain ascii"},
        {"Subject: ｶﾞｲﾄﾞ", "Subject: " B("GyRCJSwlJCVJGyhC")},  // half-width widened first
        {"Subject:", "Subject:"},
    };
    for (const Case& c : cases) {
        std::string encoded = Encode(Sjis(c.utf8));
        EXPECT_EQ(encoded, c.encoded) << c.utf8;
        // Read back the way a reader unfolds it, the text comes back whole.
        std::string unfolded = encoded;
        for (std::size_t fold; (fold = unfolded.find("\r\n ")) != std::string::npos;) unfolded.replace(fold, 3, 1, ' ');
        if (c.utf8.find("ｶﾞ") == std::string::npos) {
            EXPECT_EQ(DecodeSjis(unfolded), Sjis(c.utf8)) << c.utf8;
        }
    }
}

TEST(HeaderEncode, LongSubjectsFoldWithinTheColumnAndDecodeBack) {
    std::vector<std::string> subjects = {
        "Subject: 日本語の件名がとても長い場合には複数の符号化された語に分けて折り返されなければなりません",
        "Subject: 会議 の お知らせ と 来週 の 予定 について ご確認 ください よろしく お願い いたします 山田",
        "Subject: Re: [qim-users 1234] 添付ファイルの名前が文字化けする件について (再送) もう一度 お送りします",
        "From: 非常に長い名前を持っている差出人の方の名前はここまで続きます <very.long.address@example.co.jp>",
    };
    for (const std::string& utf8 : subjects) {
        std::string sjis = Sjis(utf8);
        std::string folded = Encode(sjis);
        std::vector<std::string> lines = Lines(folded);
        EXPECT_GT(lines.size(), 1u) << utf8;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_LE(lines[i].size(), 76u) << utf8 << " line " << i;
            if (i > 0) {
                EXPECT_EQ(lines[i][0], ' ') << "continuation starts with one blank";
            }
        }
        // Unfolding the way a reader does (the CR LF goes, the blank stays), then
        // decoding, gives the text back: no fold adds a blank to the text.
        std::string unfolded;
        for (const std::string& line : lines) unfolded += line;
        EXPECT_EQ(DecodeSjis(unfolded), sjis) << utf8;
    }
}

TEST(HeaderDecode, HandlesWhiteSpaceAndForms) {
    struct Case {
        std::string line;
        std::string utf8;
        bool ok;
    } cases[] = {
        {"Subject: " B("GyRCJUYlOSVIGyhC") " " B("GyRCOzNFRBsoQg=="), "Subject: テスト山田", true},  // blank between words goes
        {"Subject: " B("GyRCJUYlOSVIGyhC") "  plain", "Subject: テスト plain", true},            // two blanks keep one
        {"Subject: " B("GyRCJUYlOSVIGyhC") "\t\t" B("GyRCOzNFRBsoQg=="), "Subject: テスト山田", true},
        {"Subject: =?iso-2022-jp?b?GyRCJUYlOSVIGyhC?=", "Subject: テスト", true},                 // lower-case prefix
        {"Subject: =?ISO-2022-JP?B?GyRC JUYl?=", "Subject: =?ISO-2022-JP?B?GyRC JUYl?=", true},  // a blank inside: not encoded
        {"Subject: " B("GyRCJUYlOSVIGyhC") " =?ISO-2022-JP?Q?=1B$B$\"=1B(B?=", "Subject: テストあ", true},  // B and Q mixed
        {"Subject: =?ISO-2022-JP?Q?=1B$B$\"=1B(B_x?=", "Subject: あ x", true},                  // Q form, "_" is a blank
        {"Subject: =?UTF-8?B?44GC?=", "Subject: あ", true},                                     // other charsets too
        {"Subject: =?utf-8?q?=E3=81=82?= x " B("@@@@"), "Subject: あ x " B("@@@@"), true},        // a broken word stays as it is
        {"Subject: no words here", "Subject: no words here", true},
    };
    for (const Case& c : cases) {
        bool ok = false;
        std::string decoded = DecodeSjis(c.line, &ok);
        EXPECT_EQ(ok, c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(decoded, Sjis(c.utf8)) << c.line;
        }
    }
}

TEST(HeaderDecode, RecognisesOnlyWellFormedWords) {
    std::string hugePayload(40000, 'A');
    struct Case {
        std::string line;
        bool encoded;
    } cases[] = {
        {"Subject: " B("GyRCJUYlOSVIGyhC"), true},
        {"Subject: =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC", false},          // no "?="
        {"Subject: =?ISO-2022-JP?B?" + hugePayload + "?=", false},     // longer than a word may be
        {"Subject: =?ISO-2022-JP?B?a b?=", false},
        {"Subject: =?ISO-2022-JP?Q?abc?=", true},
        {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(SHeaderMime().IsMimeHeader(c.line.c_str()), c.encoded) << c.line.substr(0, 60);
}

TEST(HeaderDecode, HostileLinesStayFast) {
    // A megabyte of prefixes without any "?=" must not take quadratic time.
    std::string line = "Subject: ";
    while (line.size() < (1u << 20)) line += "=?ISO-2022-JP?B?AAAA";
    EXPECT_FALSE(SHeaderMime().IsMimeHeader(line.c_str()));
    bool ok = true;
    std::string decoded = DecodeSjis(line, &ok);
    EXPECT_EQ(decoded, line);
}

TEST(HeaderFolding, Helpers) {
    EXPECT_EQ(SHeaderMime::MaxEnableKanjiEncodedALineB(0), 32);
    EXPECT_EQ(SHeaderMime::MaxEnableKanjiEncodedALineB(9), 26);
    EXPECT_EQ(SHeaderMime::MaxEnableKanjiEncodedALineB(53), -7);
    EXPECT_EQ(SHeaderMime::MaxSubStrLen(Sjis("あいう").c_str(), 5), 4);
    EXPECT_EQ(SHeaderMime::MaxSubStrLen("abc", 5), 3);
    EXPECT_EQ(SHeaderMime::GetLastLineNum("ab\r\n cd"), 3);
    EXPECT_EQ(SHeaderMime::GetLastLineNum("abcd"), 4);

    std::string longWords;
    for (int i = 0; i < 20; ++i) longWords += "word ";
    EXPECT_EQ(SHeaderMime::PosFolding("short"), 5);
    EXPECT_EQ(SHeaderMime::PosFolding(longWords), 69);  // last blank at or before 72
    EXPECT_EQ(SHeaderMime::PosFolding(std::string(80, 'x') + " y"), 80);
    EXPECT_EQ(SHeaderMime::PosFolding(std::string(90, 'x')), 90);

    std::string s = "a\r\n b\r\n c";
    SHeaderMime::UnFolding(s);
    EXPECT_EQ(s, "a b c");
    std::string wide = std::string(60, 'x') + "\r\n" + std::string(20, 'y');
    SHeaderMime::UnFolding(wide);
    EXPECT_EQ(wide, std::string(60, 'x') + "\r\n " + std::string(20, 'y'));
}

}  // namespace
