#include <gtest/gtest.h>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "send/SComposeChecks.h"
#include "send/SComposeEditor.h"
#include "tests/send/SendTestSupport.h"

namespace {

using platform::MessageAnswer;
using qimtest::Sjis;
using ComposeChecks = qimtest::SendTest;

TEST(PlatformDependentChars, OnlyTheStandardJisRowsAreSafe) {
    const struct {
        const char* utf8;
        bool dependent;
    } cases[] = {
        {"あ", false}, {"漢", false}, {"ー", false}, {"─", false},  // row 8, box drawing
        {"堯", false},                                              // last standard row 0x74
        {"①", true},  {"Ⅰ", true},  {"㈱", true},                 // NEC row 13
        {"髙", true},                                               // IBM extension
    };
    for (const auto& c : cases) {
        const std::string s = Sjis(c.utf8);
        ASSERT_EQ(s.size(), 2u) << c.utf8;
        EXPECT_EQ(IsPlatformDependentChar(static_cast<unsigned char>(s[0]), static_cast<unsigned char>(s[1])),
                  c.dependent)
            << c.utf8;
    }
    // User-defined area (lead 0xF0).
    EXPECT_TRUE(IsPlatformDependentChar(0xF0, 0x40));
}

TEST(PlatformDependentChars, RunsAreMaximalAndNeverStartInsideACharacter) {
    const std::string line = Sjis("a①②b漢③");
    int start = 0;
    int end = 0;
    ASSERT_TRUE(FindPlatformDependentRun(line, 0, start, end));
    EXPECT_EQ(line.substr(start, end - start), Sjis("①②"));
    ASSERT_TRUE(FindPlatformDependentRun(line, end, start, end));
    EXPECT_EQ(line.substr(start, end - start), Sjis("③"));
    EXPECT_FALSE(FindPlatformDependentRun(line, end, start, end));
    // A trail byte in the lead-byte range is never taken for the start of a character.
    EXPECT_FALSE(FindPlatformDependentRun(Sjis("院院"), 0, start, end));
}

struct CheckCase {
    const char* name;
    std::string text;
    std::vector<MessageAnswer> answers;
    bool goesOn;
    std::vector<unsigned> asked;  // the questions, in order (qimstr::SendAborted follows a stop)
    std::string after;            // the text afterwards (UTF-8), when it matters
};

TEST_F(ComposeChecks, EachCheckAsksAndStopsOrGoesOnAsAnswered) {
    const std::string longLine(79, 'x');
    const CheckCase cases[] = {
        {"empty body sent anyway", "", {MessageAnswer::Yes}, true, {qimstr::EmptyBodyQuestion}, ""},
        {"empty body stopped", "\r\n", {MessageAnswer::Cancel}, false,
         {qimstr::EmptyBodyQuestion, qimstr::SendAborted}, ""},
        {"kana widened", Sjis("ｶﾞｷﾞ and ﾊﾟ"), {MessageAnswer::Yes, MessageAnswer::Yes}, true,
         {qimstr::HankakuKanaQuestion, qimstr::HankakuKanaQuestion}, "ガギ and パ\r\n"},
        {"kana left", Sjis("ｱ"), {MessageAnswer::No}, false, {qimstr::HankakuKanaQuestion, qimstr::SendAborted}, ""},
        {"platform chars accepted", Sjis("①と②"), {MessageAnswer::No, MessageAnswer::No}, true,
         {qimstr::PlatformCharQuestion, qimstr::PlatformCharQuestion}, ""},
        {"platform chars to correct", Sjis("①"), {MessageAnswer::Yes}, false,
         {qimstr::PlatformCharQuestion, qimstr::SendAborted}, ""},
        {"long line sent", longLine, {MessageAnswer::Yes}, true, {qimstr::LongLineQuestion}, ""},
        {"long line stopped", "a\r\n" + longLine + "\r\n" + longLine, {MessageAnswer::No}, false,
         {qimstr::LongLineQuestion, qimstr::SendAborted}, ""},
        {"78 columns are fine", std::string(78, 'y'), {}, true, {}, ""},
    };
    for (const CheckCase& c : cases) {
        dialogs_.Clear();
        for (MessageAnswer a : c.answers) dialogs_.AnswerMessage(a);
        SComposeText editor(c.text);
        EXPECT_EQ(CheckBeforeSend(editor, nullptr), c.goesOn) << c.name;
        std::vector<unsigned> asked;
        for (const auto& box : dialogs_.Boxes())
            for (unsigned id : {qimstr::EmptyBodyQuestion, qimstr::HankakuKanaQuestion, qimstr::PlatformCharQuestion,
                                qimstr::LongLineQuestion, qimstr::SendAborted})
                if (box.text.find(LoadQimString(id).substr(0, 12)) == 0) asked.push_back(id);
        EXPECT_EQ(asked, c.asked) << c.name;
        // Every question had its scripted answer; only the closing notice had none.
        EXPECT_EQ(dialogs_.Unanswered(), c.goesOn ? 0 : 1) << c.name;
        if (!c.after.empty()) {
            EXPECT_EQ(qimtest::Utf8(editor.Text()), c.after) << c.name;
        }
    }
}

TEST_F(ComposeChecks, TheQuestionShowsTheRunSelected) {
    dialogs_.AnswerMessage(MessageAnswer::No);
    SComposeText editor(Sjis("ok\r\n漢字①②です"));
    EXPECT_TRUE(CheckBeforeSend(editor, nullptr));
    EXPECT_EQ(editor.selectedLine, 1);
    EXPECT_EQ(editor.selectedStart, 4);
    EXPECT_EQ(editor.selectedEnd, 8);
}

TEST(FoldPosition, CutsAtTheWidthButNotThroughACharacterNorBeforeAClosingMark) {
    const struct {
        const char* name;
        std::string line;
        int width;
        int cut;
    } cases[] = {
        {"short enough", std::string(72, 'a'), 72, -1},
        {"plain text", std::string(100, 'a'), 72, 72},
        {"double-byte across the width", Sjis("a漢字漢字漢字漢字漢字漢字漢字漢字漢字漢字"), 10, 9},
        {"comma moves along", std::string(72, 'a') + ",bbb", 72, 73},
        {"ideographic full stop moves along", std::string(72, 'a') + Sjis("。") + "bbb", 72, 74},
        {"closing bracket moves along", std::string(72, 'a') + Sjis("」") + "bbb", 72, 74},
        {"a closing mark at the very end is no cut", std::string(72, 'a') + ".", 72, -1},
    };
    for (const auto& c : cases) EXPECT_EQ(FoldPosition(c.line, c.width), c.cut) << c.name;
}

TEST_F(ComposeChecks, FoldingBreaksEveryLongParagraphOrAsksForEachCut) {
    const std::string text = std::string(200, 'a') + "\r\nshort\r\n" + std::string(100, 'b');
    SComposeText atOnce(text);
    FoldLongLines(atOnce, 72, SFoldMode::AtOnce, nullptr);
    EXPECT_EQ(atOnce.Lines(), (std::vector<std::string>{std::string(72, 'a'), std::string(72, 'a'),
                                                        std::string(56, 'a'), "short", std::string(72, 'b'),
                                                        std::string(28, 'b')}));
    EXPECT_TRUE(dialogs_.Boxes().empty());

    // Yes cuts, No leaves that paragraph, Cancel ends the command.
    dialogs_.AnswerMessage(MessageAnswer::Yes);
    dialogs_.AnswerMessage(MessageAnswer::No);
    dialogs_.AnswerMessage(MessageAnswer::Cancel);
    SComposeText asked(text + "\r\n" + std::string(80, 'c'));
    FoldLongLines(asked, 72, SFoldMode::Ask, nullptr);
    EXPECT_EQ(asked.Lines(), (std::vector<std::string>{std::string(72, 'a'), std::string(128, 'a'), "short",
                                                       std::string(100, 'b'), std::string(80, 'c')}));
    EXPECT_EQ(dialogs_.Boxes().size(), 3u);
}

}  // namespace
