#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "common/JString.h"
#include "common/MbChar.h"
#include "common/SFindCondition.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

SFindOption Options(int bits) {
    SFindOption o;
    o.SetByInt(bits);
    return o;
}

TEST(SFindOption, IntegerFormKeepsEachFlagOnItsBit) {
    struct Case {
        int in;
        bool matchCase, wholeWord, atLineStart;
        int out;
    } cases[] = {
        {0, false, false, false, 0},  {1, false, false, true, 1},   {4, true, false, false, 4},
        {8, false, true, false, 8},   {13, true, true, true, 13},   {2, false, false, false, 0},  // 2 is unused
        {15, true, true, true, 13},   {12, true, true, false, 12},
    };
    for (const Case& c : cases) {
        SFindOption o = Options(c.in);
        EXPECT_EQ(o.MatchCase, c.matchCase) << c.in;
        EXPECT_EQ(o.WholeWord, c.wholeWord) << c.in;
        EXPECT_EQ(o.AtLineStart, c.atLineStart) << c.in;
        EXPECT_EQ(o.GetAsInt(), c.out) << c.in;
    }
}

// The matching rules, each with its trap. Offsets are those of the first
// acceptable match.
TEST(SFindOption, FindFollowsCaseWordAndLineStartRules) {
    const int kCase = kFindOptionMatchCase, kWord = kFindOptionWholeWord, kStart = kFindOptionAtLineStart;
    struct Case {
        const char* what;
        std::string text, pattern;
        int options;
        int expected;
    } cases[] = {
        {"plain", "Subject: Meeting", "Meeting", 0, 9},
        {"case folded", "Subject: MEETING", "meeting", 0, 9},
        {"case kept", "Subject: MEETING", "meeting", kCase, -1},
        {"case kept, found", "Subject: Meeting meeting", "meeting", kCase, 17},
        {"pattern longer than text", "abc", "abcd", 0, -1},
        {"pattern is the text", "abc", "abc", kCase, 0},
        {"empty pattern, folded", "abc", "", 0, -1},
        {"empty pattern, case kept", "abc", "", kCase, -1},
        {"empty pattern, word", "abc", "", kWord, -1},
        {"empty text", "", "a", 0, -1},
        // Double-byte characters: no match starting on a second byte.
        {"0x5C of 表 is no backslash", Sjis("表"), "\\", kCase, -1},
        {"0x5C of 表 is no backslash, folded", Sjis("表"), "\\", 0, -1},
        {"a real backslash after 表", Sjis("表") + "\\", "\\", kCase, 2},
        {"汕 across 亜亜", Sjis("亜亜"), Sjis("汕"), kCase, -1},
        {"汕 across 亜亜, folded", Sjis("亜亜"), Sjis("汕"), 0, -1},
        {"汕 after 亜亜", Sjis("亜亜汕"), Sjis("汕"), kCase, 4},
        {"second byte A of ア does not fold to a of ヂ", Sjis("ア"), Sjis("ヂ"), 0, -1},
        {"ア found folded", Sjis("xア"), Sjis("ア"), 0, 1},
        {"letters fold around kanji", Sjis("会議ABC"), Sjis("議abc"), 0, 2},
        // Whole words: letters and '_' make words, digits and kanji do not.
        {"word", "foo bar baz", "bar", kWord, 4},
        {"inside a word", "foobar", "bar", kWord, -1},
        {"before a letter", "barn bar", "bar", kWord, 5},
        {"underscore is a letter", "bar_x", "bar", kWord, -1},
        {"digits are not", "1bar2", "bar", kWord, 1},
        {"after a kanji", Sjis("会議bar"), "bar", kWord, 4},
        {"a kanji whose second byte is a letter", Sjis("アbar"), "bar", kWord, 2},
        {"word, folded", "x BAR", "bar", kWord, 2},
        {"word, case kept", "x BAR bar", "bar", kWord | kCase, 6},
        {"word of kanji inside kanji", Sjis("定例会議"), Sjis("会議"), kWord, 4},
        // At the start of the text only, even when a later match exists.
        {"at start", "Re: hello", "Re:", kStart, 0},
        {"not at start", " Re: hello", "Re:", kStart, -1},
        {"later match does not count", "Fw: Re: hello", "Re:", kStart, -1},
        {"at start, folded", "RE: hello", "re:", kStart, 0},
        {"at start, case kept", "RE: hello", "re:", kStart | kCase, -1},
        {"at start, word", "Rex", "Re", kStart | kWord, -1},
        {"at start, word ok", "Re x", "Re", kStart | kWord, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SFindOption::Find(c.text.c_str(), c.pattern.c_str(), Options(c.options)), c.expected) << c.what;
        SFindCondition condition;
        condition.SetPattern(c.pattern.c_str());
        condition.SetOption(Options(c.options));
        EXPECT_EQ(condition.Find(c.text.c_str()), c.expected) << c.what << " (condition)";
    }
    EXPECT_EQ(FindPosition(Sjis("表\\表").c_str(), "\\"), 2);
    EXPECT_EQ(FindPosition("abc", ""), -1);
}

// Random Shift_JIS-like texts: the search agrees with the plain character-by-
// character definitions (jstrstr, stristr, StrStrAsWord) for every option.
TEST(SFindOption, FindAgreesWithTheCharacterByCharacterDefinitions) {
    const std::string pieces[] = {"a", "A", "b", "B", "_", " ", "1", "\\", Sjis("亜"), Sjis("汕"), Sjis("ア"),
                                  Sjis("ヂ"), Sjis("表"), "\x88", "\x9F", "\x83"};
    std::mt19937 random(7);
    auto make = [&](int count) {
        std::string s;
        for (int i = 0; i < count; ++i) s += pieces[random() % std::size(pieces)];
        return s;
    };
    for (int round = 0; round < 20000; ++round) {
        std::string text = make(static_cast<int>(random() % 24));
        std::string pattern = make(1 + static_cast<int>(random() % 4));
        // A pattern never ends in a lone first byte (SetPattern cuts whole characters).
        if (LastChar(pattern.c_str()) && MbCharLen(LastChar(pattern.c_str())) == 1 &&
            IsKanji1(static_cast<unsigned char>(pattern.back())))
            pattern.pop_back();
        if (pattern.empty()) continue;
        const int options = static_cast<int>(random() % 16);
        const SFindOption o = Options(options);
        int expected;
        const char* hit;
        if (o.WholeWord) {
            hit = StrStrAsWord(text.c_str(), pattern.c_str(), !o.MatchCase);
        } else if (o.MatchCase) {
            hit = jstrstr(text.c_str(), pattern.c_str());
        } else {
            hit = stristr(text.c_str(), pattern.c_str());
        }
        expected = hit ? static_cast<int>(hit - text.c_str()) : -1;
        if (o.AtLineStart && expected != 0) expected = -1;
        ASSERT_EQ(SFindOption::Find(text.c_str(), pattern.c_str(), o), expected)
            << "options " << options << " text " << qimtest::Utf8(text) << " pattern " << qimtest::Utf8(pattern);
    }
}

// The byte search that lets body lines be passed over: the first place where
// the bytes fit, boundaries aside, from any start, at any distance from the end.
TEST(SFindPattern, SearchBytesFindsTheFirstPlaceTheBytesFit) {
    std::mt19937 random(3);
    const char alphabet[] = "aAbB\x88\x9F ";
    for (int round = 0; round < 20000; ++round) {
        std::string text(random() % 80, ' ');
        for (char& c : text) c = alphabet[random() % (sizeof alphabet - 1)];
        std::string pattern(1 + random() % (round % 50 == 0 ? 40 : 5), ' ');
        for (char& c : pattern) c = alphabet[random() % (sizeof alphabet - 1)];
        const bool matchCase = random() % 2;
        const int from = text.empty() ? 0 : static_cast<int>(random() % (text.size() + 1));
        SFindPattern p;
        p.Set(pattern.data(), static_cast<int>(pattern.size()), matchCase);
        // Letters fold unless they are the second byte of a double-byte character.
        std::vector<bool> folds(pattern.size(), false);
        for (std::size_t i = 0; i < pattern.size();) {
            if (IsKanji1(static_cast<unsigned char>(pattern[i])) && i + 1 < pattern.size()) {
                i += 2;
                continue;
            }
            folds[i] = !matchCase && std::isalpha(static_cast<unsigned char>(pattern[i]));
            ++i;
        }
        int expected = -1;
        for (std::size_t at = from; expected < 0 && at + pattern.size() <= text.size(); ++at) {
            bool fits = true;
            for (std::size_t i = 0; fits && i < pattern.size(); ++i) {
                const char a = text[at + i], b = pattern[i];
                fits = a == b || (folds[i] && std::tolower(a) == std::tolower(b));
            }
            if (fits) expected = static_cast<int>(at);
        }
        ASSERT_EQ(p.SearchBytes(text.data(), static_cast<int>(text.size()), from), expected)
            << "text " << text << " pattern " << pattern << " from " << from << " case " << matchCase;
    }
}

TEST(SFindCondition, FieldNameWithOrWithoutColonIsTheSameCondition) {
    SFindCondition a, b;
    a.SetFieldName("Subject:");
    b.SetFieldName("Subject");
    EXPECT_TRUE(a == b);
    EXPECT_STREQ(a.FieldName(), "Subject");
    EXPECT_STREQ(a.FieldNameWithColon(), "Subject:");
    EXPECT_EQ(a.FieldNameLength(), 7);
}

TEST(SFindCondition, LongPatternsAndNamesAreCutOnWholeCharacters) {
    struct Case {
        const char* what;
        std::string in;
        std::size_t kept;
        bool whole;
    } cases[] = {
        {"exactly the limit", std::string(kFindPatternMax, 'x'), kFindPatternMax, true},
        {"one byte over", std::string(kFindPatternMax + 1, 'x'), kFindPatternMax, false},
        {"kanji over the limit", [] {
             std::string s;
             for (int i = 0; i < 129; ++i) s += Sjis("漢");
             return s;
         }(), kFindPatternMax, false},
        {"a kanji straddling the limit", std::string(kFindPatternMax - 1, 'x') + Sjis("漢"), kFindPatternMax - 1,
         false},
    };
    for (const Case& c : cases) {
        SFindCondition condition;
        EXPECT_EQ(condition.SetPattern(c.in.c_str()), c.whole) << c.what;
        EXPECT_EQ(static_cast<std::size_t>(condition.PatternLength()), c.kept) << c.what;
        EXPECT_EQ(std::string(condition.Pattern()), c.in.substr(0, c.kept)) << c.what;
    }
    SFindCondition condition;
    EXPECT_TRUE(condition.SetFieldName((std::string(kFindFieldNameMax, 'X') + ":").c_str()));
    EXPECT_EQ(condition.FieldNameLength(), kFindFieldNameMax);
    EXPECT_FALSE(condition.SetFieldName(std::string(kFindFieldNameMax + 1, 'X').c_str()));
    EXPECT_EQ(std::string(condition.FieldNameWithColon()), std::string(kFindFieldNameMax, 'X') + ":");
}

TEST(SFindCondition, EqualityAndCopyCoverPatternFieldOptionsAndPlace) {
    SFindMailCondition base;
    base.SetPattern("abc");
    base.SetFieldName("To");
    base.SetOption(Options(kFindOptionWholeWord));
    base.SetWhere(SFindMailCondition::FindInField);

    SFindMailCondition copy;
    copy.CopyToMe(base);
    EXPECT_TRUE(copy == base);
    EXPECT_EQ(copy.Find("x abc"), 2) << "the copy searches like the original";

    SFindMailCondition other = base;
    other.SetPattern("ABC");
    EXPECT_FALSE(other == base) << "patterns compare exactly";
    other = base;
    other.SetFieldName("to");
    EXPECT_FALSE(other == base) << "field names compare exactly";
    other = base;
    other.SetOption(Options(0));
    EXPECT_FALSE(other == base);
    other = base;
    other.SetWhere(SFindMailCondition::FindInBody);
    EXPECT_FALSE(other == base);
    EXPECT_TRUE(static_cast<const SFindCondition&>(other) == base) << "the base condition ignores the place";
}

TEST(SFindCondition, CaseOptionChangesTheMatchingOfASetPattern) {
    SFindCondition condition;
    condition.SetPattern("Qim");
    EXPECT_EQ(condition.Find("about QIM"), 6);
    condition.SetOption(Options(kFindOptionMatchCase));
    EXPECT_EQ(condition.Find("about QIM"), -1);
    condition.SetOption(Options(0));
    EXPECT_EQ(condition.Find("about QIM"), 6);
}

}  // namespace
