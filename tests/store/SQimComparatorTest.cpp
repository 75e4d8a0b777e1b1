#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "store/QimStoreCodes.h"
#include "store/SQimComparator.h"

namespace {

using namespace qimstore;

SQimMailData Row(int number, const std::string& date, const std::string& from = "", const std::string& subject = "",
                 const std::string& to = "") {
    SQimMailData d;
    d.number = number;
    d.header = SHeaderData{to, from, subject, date};
    return d;
}

std::vector<int> SortedNumbers(const std::vector<SQimMailData>& data, const SQimComparator& c, int column) {
    std::vector<const SQimMailData*> rows;
    for (const auto& d : data) rows.push_back(&d);
    c.Sort(rows, column);
    std::vector<int> numbers;
    for (const auto* r : rows) numbers.push_back(r->number);
    return numbers;
}

TEST(SQimComparator, ThreadOrderPassesOverTagAndOneRe) {
    struct Case {
        const char* a;
        const char* b;
        bool sameKey;
    } cases[] = {
        {"Re:  word", "[ml:12] Re: word", true},
        {"RE: word", "word", true},
        {"re: word", "word", false},   // small r is no reply mark
        {"Re: Re: word", "word", false},  // only one Re: goes
        {"[open word", "open word", false},  // a tag must close
        {" \t[x]\tRe:\tword", "word", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(std::string(SQimComparator::ThreadKey(c.a)) == SQimComparator::ThreadKey(c.b), c.sameKey)
            << c.a << " | " << c.b;
    }
    // Equal rests are ordered by the whole subjects.
    // (punctuation before letters, as the locale order has it).
    EXPECT_GT(SQimComparator::ThreadCompare("Re:  word", "[ml:12] Re: word"), 0);
    EXPECT_LT(SQimComparator::ThreadCompare("[ml:12] Re: word", "Re:  word"), 0);
    EXPECT_LT(SQimComparator::ThreadCompare("Re: apple", "banana"), 0);
    EXPECT_LT(SQimComparator::LocaleCompare("apple", "Banana"), 0);
    EXPECT_LT(SQimComparator::LocaleCompare("a", "A"), 0);
}

TEST(SQimComparator, ColumnsDirectionsAndTies) {
    const std::vector<SQimMailData> data = {
        Row(1, "99.12.31 23:59", "b", "Re: x"), Row(2, "00.01.01 00:00", "a", "x"),
        Row(3, "61.05.05 10:00", "b", "[t] y"), Row(4, "99.12.31 23:59", "c", "w", "z-to"),
    };
    SQimComparator c;
    c.SetDirection(kColumnDate, kDirAscending);
    EXPECT_EQ(SortedNumbers(data, c, kColumnDate), (std::vector<int>{3, 1, 4, 2}));  // 00 is 2000
    c.SetDirection(kColumnDate, kDirDescending);
    EXPECT_EQ(SortedNumbers(data, c, kColumnDate), (std::vector<int>{2, 4, 1, 3}));  // tie: numbers descending
    c.SetDirection(kColumnFrom, kDirAscending);
    EXPECT_EQ(SortedNumbers(data, c, kColumnFrom), (std::vector<int>{2, 1, 3, 4}));
    c.SetShowsTo(true);
    EXPECT_EQ(SortedNumbers(data, c, kColumnFrom), (std::vector<int>{1, 2, 3, 4}));
    c.SetDirection(kColumnSubject, kDirAscending);
    EXPECT_EQ(SortedNumbers(data, c, kColumnSubject), (std::vector<int>{1, 3, 4, 2}));  // bytes
    c.SetDirection(kColumnSubject, kDirThreadAscending);
    EXPECT_EQ(SortedNumbers(data, c, kColumnSubject), (std::vector<int>{4, 1, 2, 3}));
    c.SetDirection(kColumnSubject, kDirThreadDescending);
    EXPECT_EQ(SortedNumbers(data, c, kColumnSubject), (std::vector<int>{3, 2, 1, 4}));
}

TEST(SQimComparator, FastDateSortAgreesWithTheComparison) {
    // Sort takes a shortcut for well-formed date keys; it must give exactly the
    // order of Compare, ties and both centuries included.
    std::vector<SQimMailData> data;
    unsigned seed = 7;
    for (int i = 0; i < 2000; ++i) {
        seed = seed * 1103515245u + 12345u;
        char date[32];
        std::snprintf(date, sizeof date, "%02u.%02u.01 %02u:00", (seed >> 8) % 100, (seed >> 16) % 3 + 1,
                      (seed >> 20) % 3);
        data.push_back(Row(static_cast<int>((seed >> 4) % 1500), date));  // numbers repeat too
    }
    for (bool malformed : {false, true}) {
        if (malformed) data[17].header.date = "garbage";
        for (int direction : {kDirAscending, kDirDescending}) {
            SQimComparator c;
            c.SetDirection(kColumnDate, direction);
            std::vector<const SQimMailData*> fast, plain;
            for (const auto& d : data) fast.push_back(&d);
            plain = fast;
            c.Sort(fast, kColumnDate);
            std::stable_sort(plain.begin(), plain.end(), [&](const SQimMailData* a, const SQimMailData* b) {
                return c.Compare(*a, *b, kColumnDate) < 0;
            });
            EXPECT_TRUE(fast == plain) << "direction " << direction << (malformed ? " with a malformed date" : "");
        }
    }
}

TEST(SQimComparator, FastThreadSortAgreesWithTheComparison) {
    const char* const subjects[] = {"Re: a", "a", "[t] Re: a", "RE:a", "re: a", "b", "[x] b", "A", "[open a", "",
                                    "Re:", "[t]", "  Re: b"};
    std::vector<SQimMailData> data;
    for (int i = 0; i < 200; ++i) data.push_back(Row(i % 50, "99.01.01 00:00", "", subjects[(i * 7) % 13]));
    for (int direction : {kDirThreadAscending, kDirThreadDescending}) {
        SQimComparator c;
        c.SetDirection(kColumnSubject, direction);
        std::vector<const SQimMailData*> fast, plain;
        for (const auto& d : data) fast.push_back(&d);
        plain = fast;
        c.Sort(fast, kColumnSubject);
        std::stable_sort(plain.begin(), plain.end(), [&](const SQimMailData* a, const SQimMailData* b) {
            return c.Compare(*a, *b, kColumnSubject) < 0;
        });
        EXPECT_TRUE(fast == plain) << direction;
    }
}

TEST(SQimComparator, HeaderClicksStepTheDirection) {
    SQimComparator c;
    std::vector<int> date, subject;
    for (int i = 0; i < 6; ++i) {
        c.StepDirection(kColumnDate);
        c.StepDirection(kColumnSubject);
        date.push_back(c.Direction(kColumnDate));
        subject.push_back(c.Direction(kColumnSubject));
    }
    EXPECT_EQ(date, (std::vector<int>{1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(subject, (std::vector<int>{1, 2, 3, 4, 1, 2}));
    c.Reset();
    EXPECT_EQ(c.Direction(kColumnSubject), kDirNone);
}

TEST(SQimComparator, DefaultSortSetting) {
    struct Case {
        int setting;
        bool inbox;
        bool sorted;
        int column;
        int direction;
    } cases[] = {
        {0x31, true, true, kColumnDate, kDirDescending},
        {0x31, false, false, 0, 0},
        {0xb1, false, true, kColumnDate, kDirDescending},
        {0x01, true, false, 0, 0},
        {0x13, true, true, kColumnSubject, kDirAscending},
        {0x53, true, true, kColumnSubject, kDirThreadAscending},
        {0x73, true, true, kColumnSubject, kDirThreadDescending},
    };
    for (const Case& c : cases) {
        int column = -1, direction = -1;
        ASSERT_EQ(DefaultSortOf(c.setting, c.inbox, column, direction), c.sorted) << c.setting;
        if (!c.sorted) continue;
        EXPECT_EQ(column, c.column) << c.setting;
        EXPECT_EQ(direction, c.direction) << c.setting;
    }
}

TEST(SFromToChoice, CommandInvertsThenTogglesUntilRefresh) {
    EXPECT_TRUE(SFromToChoice::AutomaticTo("/h/sent/", "/h/sent", ""));
    EXPECT_FALSE(SFromToChoice::AutomaticTo("/h/in", "/h/sent", "/h/draft"));
    EXPECT_FALSE(SFromToChoice::AutomaticTo("/h/sent", "", ""));
    SFromToChoice choice;
    choice.Refresh(true);
    EXPECT_TRUE(choice.ShowsTo());
    choice.Toggle();
    EXPECT_FALSE(choice.ShowsTo());
    choice.Toggle();
    EXPECT_TRUE(choice.ShowsTo());
    choice.Refresh(false);
    EXPECT_FALSE(choice.ShowsTo());
    choice.Toggle();
    EXPECT_TRUE(choice.ShowsTo());
}

}  // namespace
