// The pieces the session is made of, each on its own: tags, string
// arguments, mailbox names, the conversion of literal pieces, the search
// command and its result, and the measuring of a message to append.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/JapaneseCodes.h"
#include "imap/SImap4AppendMail.h"
#include "imap/SImap4Command.h"
#include "imap/SImap4MailboxNames.h"
#include "imap/SImap4Search.h"
#include "imap/SImap4Tag.h"
#include "imap/SJisPieceConverter.h"
#include "support/TestSupport.h"
#include "tests/imap/ImapTestSupport.h"

namespace {

using imaptest::Jis;
using qimtest::Sjis;

TEST(ImapTag, TenThousandTagsPerLetterThenTheNextLetterAndNeverZ) {
    SImap4Tag tag;
    EXPECT_STREQ(tag.Current(), "");
    EXPECT_STREQ(tag.Next(), "a0001");
    for (int i = 2; i <= 9999; ++i) tag.Next();
    EXPECT_STREQ(tag.Current(), "a9999");
    EXPECT_STREQ(tag.Next(), "b0000") << "the 10000th command";
    long steps = 0;
    bool sawZ = false;
    while (std::string(tag.Current()) != "y9999" && steps < 300000) {
        sawZ = sawZ || tag.Next()[0] == 'z';
        ++steps;
    }
    EXPECT_EQ(steps, 24L * 10000 - 1);
    EXPECT_FALSE(sawZ);
    EXPECT_STREQ(tag.Next(), "a0000");
}

TEST(ImapArguments, StringArgumentsAreBareQuotedOrEscaped) {
    const struct {
        std::string value, sent;
    } cases[] = {
        {"abc123", "abc123"},
        {"INBOX", "INBOX"},
        {"taro yamada", "\"taro yamada\""},
        {"taro.yamada", "\"taro.yamada\""},
        {"a\"b\\c", "\"a\\\"b\\\\c\""},
        {"", "\"\""},  // still a string: nothing at all would shift the arguments
        {"_QimP.&ZeVnLIqe-", "\"_QimP.&ZeVnLIqe-\""},
    };
    for (const auto& c : cases) EXPECT_EQ(SImap4Command::Quoted(c.value), c.sent) << c.value;
}

TEST(ImapArguments, WhatAQuotedStringCannotCarryGoesAsALiteralAfterTheContinuation) {
    const std::vector<std::string> segments =
        SImap4Command("LOGIN").Arg("taro").Arg("se\r\ncret").Raw(" x").Segments("a0007");
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0], "a0007 LOGIN taro {8}\r\n");
    EXPECT_EQ(segments[1], "se\r\ncret x\r\n");
    // Shift_JIS bytes go as a literal too (no 8-bit byte in a quoted string).
    EXPECT_EQ(SImap4Command("SELECT").Arg(Sjis("表")).Segments("a0001").size(), 2u);
    EXPECT_EQ(SImap4Command("LIST").Arg("").Arg("").Segments("a0002"),
              std::vector<std::string>{"a0002 LIST \"\" \"\"\r\n"});
}

TEST(ImapMailboxNames, LocalPathsMapToTheServersNamesAndBack) {
    const SImap4MailboxNames plain("_QimP", ".");
    const SImap4MailboxNames mh("#mh", "/");
    EXPECT_EQ(plain.MailboxOf("_QimP"), "inbox");
    EXPECT_EQ(mh.MailboxOf("_QimP"), "inbox");
    EXPECT_EQ(plain.MailboxOf("_QimP\\Work"), "_QimP.Work");
    EXPECT_EQ(mh.MailboxOf("_QimP\\Work"), "#mh/Work");
    EXPECT_EQ(plain.MailboxOf("_inimbox"), "_QimP._inimbox");
    EXPECT_EQ(mh.MailboxOf("_inimbox"), "#mh/_inimbox");
    EXPECT_EQ(plain.MailboxOf("_QimP\\" + Sjis("仕事") + "\\_mbox"), "_QimP.&TtVOiw-._mbox");
    // 表 ends in 0x5C, the backslash: it stays one character, not a separator.
    const std::string hyou = "_QimP\\" + Sjis("表") + "\\A";
    EXPECT_EQ(plain.ServerNameOf(hyou), "_QimP.&iGg-.A");
    EXPECT_EQ(plain.LocalPathOf("_QimP.&iGg-.A"), hyou);
    EXPECT_EQ(mh.LocalPathOf("#mh/&ZeVnLIqe-"), "_QimP\\" + Sjis("日本語"));
    // A component that is no modified UTF-7 stays as it is.
    EXPECT_EQ(plain.LocalPathOf("_QimP.a&b"), "_QimP\\a&b");
}

TEST(ImapMailboxNames, OnlyPathsThatStayUnderTheRootMayEnterTheFolderList) {
    const struct {
        std::string path;
        bool safe;
    } cases[] = {
        {"_QimP\\Work", true},
        {"_QimP\\Work\\_mbox", true},
        {"_QimP\\" + Sjis("表"), true},
        {"_QimP", false},
        {"INBOX\\Work", false},
        {"_QimP\\..\\etc", false},
        {"_QimP\\a\\.", false},
        {"_QimP\\\\a", false},
        {"_QimP\\a/../../b", false},
        {"_QimP\\/etc", false},
        {"_QimP\\a\x01", false},
        {"_QimP\\a\x7f", false},
        {"_QimP\\" + std::string(253, 'x'), true},
        {"_QimP\\" + std::string(254, 'x'), false},  // longer than the list's reader takes
    };
    for (const auto& c : cases) EXPECT_EQ(SImap4MailboxNames::IsSafeLocalPath(c.path), c.safe) << c.path;
}

TEST(ImapJisPieces, AKanjiOrEscapeSplitAnywhereConvertsAsTheWholeLine) {
    const std::string jis = Jis("件名: 日本語のテキスト and ASCII");
    // Half-width katakana in JIS (ESC ( I) too.
    const std::string kana = std::string("\x1b(I\x31\x32\x1b(B!", 8);
    for (const std::string& text : {jis, kana}) {
        char expected[256];
        const int n = Jis2SjisBytes(expected, reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
        for (std::size_t cut = 0; cut <= text.size(); ++cut) {
            SJisPieceConverter converter;
            char out[256];
            std::string got;
            int m = converter.Convert(text.data(), static_cast<int>(cut), true, out);
            got.append(out, static_cast<std::size_t>(m));
            m = converter.Convert(text.data() + cut, static_cast<int>(text.size() - cut), false, out);
            got.append(out, static_cast<std::size_t>(m));
            EXPECT_EQ(got, std::string(expected, static_cast<std::size_t>(n))) << "cut at " << cut;
        }
    }
}

TEST(ImapSearch, TheCriterionFollowsTheFieldKindAndThePatternCannotEndTheLine) {
    SFindMailCondition c;
    c.SetPattern("hello");
    c.SetWhere(SFindMailCondition::FindInBody);
    EXPECT_EQ(SImap4Search::CommandFor(c).Segments("a0003")[0], "a0003 SEARCH BODY hello\r\n");
    c.SetWhere(SFindMailCondition::FindInHeader);
    EXPECT_EQ(SImap4Search::CommandFor(c).Segments("a0003")[0], "a0003 SEARCH TEXT hello\r\n");
    c.SetWhere(SFindMailCondition::FindInField);
    c.SetFieldName("Subject:");
    EXPECT_EQ(SImap4Search::CommandFor(c).Segments("a0003")[0], "a0003 SEARCH HEADER Subject hello\r\n");

    // JIS bytes of 移 (0x30 0x5C) and ◆ (0x22 0x21) are escaped, so the
    // server gets the JIS text back when it removes the escapes.
    c.SetPattern(Sjis("移◆").c_str());
    const std::string line = SImap4Search::CommandFor(c).Segments("a0003")[0];
    const std::string head = "a0003 SEARCH CHARSET ISO-2022-JP HEADER Subject \"";
    ASSERT_EQ(line.compare(0, head.size(), head), 0) << line;
    std::string unescaped;
    for (std::size_t i = head.size(); i + 3 < line.size(); ++i) {
        if (line[i] == '\\') ++i;
        unescaped.push_back(line[i]);
    }
    EXPECT_EQ(unescaped, Jis("移◆"));
    EXPECT_EQ(line.substr(line.size() - 3), "\"\r\n");

    c.SetWhere(SFindMailCondition::FindInWholeMail);
    c.SetPattern("x\"\r\na0004 DELETE INBOX");
    const std::vector<std::string> segments = SImap4Search::CommandFor(c).Segments("a0003");
    ASSERT_EQ(segments.size(), 2u);
    EXPECT_EQ(segments[0], "a0003 SEARCH TEXT {22}\r\n");
    EXPECT_EQ(segments[1], "x\"\r\na0004 DELETE INBOX\r\n");
}

TEST(ImapSearch, TheResultHoldsWholeNumbersAndStopsBelowTheLimit) {
    std::string result;
    SImap4Search search;
    search.Begin(&result);
    search.AddPiece("* SEARCH 2 4 1", 14, true, true);
    search.AddPiece("0 X7 33\r\n", 9, false, false);
    EXPECT_EQ(result, "2 4 10 33");

    // A long answer in pieces: the result never passes the limit and ends
    // with a whole number that the server sent.
    search.Begin(&result);
    std::string line = "* SEARCH";
    for (int i = 100000; i < 106000; ++i) line += " " + std::to_string(i);
    line += "\r\n";
    for (std::size_t at = 0; at < line.size(); at += 1024) {
        const std::size_t n = std::min<std::size_t>(1024, line.size() - at);
        search.AddPiece(line.data() + at, static_cast<int>(n), at == 0, at + n < line.size());
    }
    EXPECT_LT(result.size(), 32768u);
    EXPECT_GT(result.size(), 32760u);
    EXPECT_EQ(result.substr(0, 13), "100000 100001");
    const std::string lastNumber = result.substr(result.rfind(' ') + 1);
    EXPECT_EQ(lastNumber.size(), 6u);
    EXPECT_NE(line.find(" " + lastNumber + " "), std::string::npos);
}

TEST(ImapAppendMail, TheSizeIsTheJisOfThePiecesSentAndNoCharacterIsSplit) {
    qimtest::TempDir dir;
    // A line of 1 + 600 kanji: a piece of 1024 bytes would end on a first byte.
    std::string mail = "Subject: " + Sjis("テスト") + "\r\n\r\nx";
    for (int i = 0; i < 600; ++i) mail += Sjis("漢");
    mail += "\r\n";
    mail += std::string("a\0b\r\nlast line without end", 25);
    qimtest::WriteFileBytes(dir.File("mail"), mail);

    SImap4AppendMail append;
    ASSERT_TRUE(append.Open(dir.File("mail")));
    std::string sent, back;
    int pieces = 0;
    for (std::string piece; (piece.clear(), append.NextLine(piece)); ++pieces) {
        sent += piece;
        std::string sjis(piece.size() + 1, '\0');
        const int n = Jis2SjisBytes(sjis.data(), reinterpret_cast<const unsigned char*>(piece.data()), static_cast<int>(piece.size()));
        back.append(sjis.data(), static_cast<std::size_t>(n));
    }
    EXPECT_EQ(append.Error(), 0);
    EXPECT_EQ(static_cast<long long>(sent.size()), append.Size());
    EXPECT_EQ(back, mail);
    EXPECT_EQ(pieces, 6);
    EXPECT_NE(sent.find(std::string("a\0b", 3)), std::string::npos);

    EXPECT_FALSE(append.Open(dir.File("missing")));
    EXPECT_NE(append.Error(), 0);
}

}  // namespace
