#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "common/InetDate.h"

namespace {

std::tm Make(int year, int mon, int mday, int hour, int min, int sec, int wday) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = mon;
    t.tm_mday = mday;
    t.tm_hour = hour;
    t.tm_min = min;
    t.tm_sec = sec;
    t.tm_wday = wday;
    return t;
}

TEST(DateToInetDate, WritesTheDateFieldWithTheFixedZone) {
    struct Case {
        std::tm t;
        const char* text;
    } cases[] = {
        {Make(1998, 5, 6, 12, 34, 56, 6), "Sat, 6 Jun 1998 12:34:56 +0900"},
        {Make(2026, 11, 10, 13, 15, 0, 4), "Thu, 10 Dec 2026 13:15:00 +0900"},
        {Make(2000, 0, 1, 0, 0, 0, 6), "Sat, 1 Jan 2000 00:00:00 +0900"},
        // A weekday outside 0-6 is worked out from the date.
        {Make(1998, 5, 6, 12, 34, 56, -1), "Sat, 6 Jun 1998 12:34:56 +0900"},
        {Make(2024, 1, 29, 23, 59, 59, 42), "Thu, 29 Feb 2024 23:59:59 +0900"},
        // Broken fields are clamped rather than printed as they are.
        {Make(2001, 40, 99, -3, 75, 61, 1), "Mon, 31 Dec 2001 00:59:60 +0900"},
    };
    for (const Case& c : cases) {
        char buffer[kInetDateSize];
        EXPECT_STREQ(DateToInetDate(c.t, buffer), c.text);
        EXPECT_EQ(DateToInetDate(c.t), c.text);
    }
}

TEST(DateToInetDate, FitsItsBufferWhateverTheYear) {
    for (int year : {INT_MAX, INT_MIN, -1900, 8099}) {
        std::tm t = Make(1998, 5, 6, 12, 34, 56, 6);
        t.tm_year = year;
        char buffer[kInetDateSize + 8];
        std::memset(buffer, 'Z', sizeof buffer);
        DateToInetDate(t, buffer);
        EXPECT_LT(std::strlen(buffer), static_cast<std::size_t>(kInetDateSize)) << year;
        EXPECT_EQ(buffer[kInetDateSize], 'Z') << year;
    }
}

TEST(InetDateToDate, ReadsTheFieldsItReaches) {
    constexpr int U = 77;  // what the caller put in; a field left alone keeps it
    struct Case {
        const char* text;
        int year, mon, mday, hour, min, sec, wday;
    } cases[] = {
        {"Sat, 06 Jun 98 12:34:56 +0000", 98, 5, 6, 12, 34, 56, 6},
        {"6 Jun 2003 12:00:00", 103, 5, 6, 12, 0, 0, U},
        {"Thu, 10 Dec 2026 13:15:00 +0900", 126, 11, 10, 13, 15, 0, 4},
        // Without seconds the zone is not taken for them.
        {"Thu, 10 Dec 2026 13:15 +0900", 126, 11, 10, 13, 15, U, 4},
        {"Sat, 6 Jun", U, 5, 6, U, U, U, 6},
        {"Sat,", U, U, U, U, U, U, 6},
        {"  Sat ,6 jun 1998", 98, 5, 6, U, U, U, 6},
        {"Sat,\t6\tJun\t1998\t01:02:03", 98, 5, 6, 1, 2, 3, 6},
        {"Xyz, 6 Foo 1998 1:2:3", 98, -1, 6, 1, 2, 3, -1},
        // Longer than 32 characters: still read to the seconds.
        {"Wednesday, 10 December 2026 13:15:45 +0900", 126, 11, 10, 13, 15, 45, 3},
        {"Sun, 1 Jan 59 00:00:00", 159, 0, 1, 0, 0, 0, 0},
        {"Sun, 1 Jan 60 00:00:00", 60, 0, 1, 0, 0, 0, 0},
        {"Sun, 1 Jan 100 00:00:00", -1800, 0, 1, 0, 0, 0, 0},
        {"garbage", U, U, 0, U, U, U, U},
        {",,,,", U, U, 0, U, U, U, -1},
        // Numbers too long for a field saturate instead of overflowing.
        {"99999999999999999999 Jun -99999999999999 99999999999:1", -999999899, 5, 999999999, 999999999, 1, U, U},
    };
    for (const Case& c : cases) {
        std::tm t = Make(U + 1900, U, U, U, U, U, U);
        InetDateToDate(c.text, &t);
        EXPECT_EQ(t.tm_year, c.year) << c.text;
        EXPECT_EQ(t.tm_mon, c.mon) << c.text;
        EXPECT_EQ(t.tm_mday, c.mday) << c.text;
        EXPECT_EQ(t.tm_hour, c.hour) << c.text;
        EXPECT_EQ(t.tm_min, c.min) << c.text;
        EXPECT_EQ(t.tm_sec, c.sec) << c.text;
        EXPECT_EQ(t.tm_wday, c.wday) << c.text;
    }
}

TEST(InetDateToDate, AnEmptyDateGivesTheFixedEmptyRecord) {
    for (const char* text : {static_cast<const char*>(nullptr), "", "   "}) {
        std::tm t = Make(1998, 5, 6, 12, 34, 56, 6);
        InetDateToDate(text, &t);
        EXPECT_EQ(t.tm_sec, 0);
        EXPECT_EQ(t.tm_min, 0);
        EXPECT_EQ(t.tm_hour, 0);
        EXPECT_EQ(t.tm_mday, 0);
        EXPECT_EQ(t.tm_mon, -1);
        EXPECT_EQ(t.tm_year, 100);
        EXPECT_EQ(t.tm_wday, 6);  // not part of the empty record
        char key[kDateKeySize];
        EXPECT_STREQ(FormatDateKey(t, key), "00.00.00 00:00");
    }
}

TEST(InetDateToDate, ReadsBackWhatDateToInetDateWrote) {
    // One moment every 37 hours and a few seconds over 2 years.
    for (std::time_t when = 946684800; when < 946684800 + 2 * 365 * 86400; when += 37 * 3600 + 13) {
        std::tm local{};
        gmtime_r(&when, &local);
        std::tm back = Make(1900, 0, 0, 0, 0, 0, 0);
        InetDateToDate(DateToInetDate(local).c_str(), &back);
        EXPECT_EQ(back.tm_year, local.tm_year);
        EXPECT_EQ(back.tm_mon, local.tm_mon);
        EXPECT_EQ(back.tm_mday, local.tm_mday);
        EXPECT_EQ(back.tm_hour, local.tm_hour);
        EXPECT_EQ(back.tm_min, local.tm_min);
        EXPECT_EQ(back.tm_sec, local.tm_sec);
        ASSERT_EQ(back.tm_wday, local.tm_wday) << DateToInetDate(local);
    }
}

TEST(InetDateNames, MatchWeekdaysAndMonthsWithoutCase) {
    struct Case {
        const char* name;
        int wday;
        int month;
    } cases[] = {
        {"Sun", 0, -1}, {"sat", 6, -1}, {"SATURDAY", 6, -1}, {"Thu", 4, -1}, {"Sa", -1, -1},
        {"Sat5", -1, -1}, {"", -1, -1}, {nullptr, -1, -1}, {"Jan", -1, 0}, {"dec", -1, 11},
        {"June", -1, 5}, {"Ju", -1, -1}, {"Mar ", -1, -1}, {"\x83\x41\x83\x41\x83\x41", -1, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WdayToInt(c.name), c.wday) << (c.name ? c.name : "(null)");
        EXPECT_EQ(MonthToInt(c.name), c.month) << (c.name ? c.name : "(null)");
    }
}

int Sign(int v) { return (v > 0) - (v < 0); }

TEST(CompareDate, PutsYearsBelowSixtyInTheTwoThousands) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    } cases[] = {
        {"01.01.01 00:00", "99.12.31 23:59", 1},
        {"99.12.31 23:59", "01.01.01 00:00", -1},
        {"59.01.01 00:00", "60.01.01 00:00", 1},
        {"98.06.06 12:34", "98.06.06 12:35", -1},
        {"26.12.10 13:15", "26.12.10 13:15", 0},
        {"00.00.00 00:00", "99.12.31 23:59", 1},  // the key of an empty date
        {"", "", 0},
        {nullptr, "", 0},
        {"x", "01.01.01 00:00", -1},  // not a year: counted with the 1900s
    };
    for (const Case& c : cases) EXPECT_EQ(Sign(CompareDate(c.a, c.b)), c.sign) << c.a << " / " << c.b;
}

TEST(CompareDate, SortsKeysAcrossTheCenturyChange) {
    std::vector<std::string> keys = {"03.01.02 10:00", "98.12.31 23:59", "59.12.31 00:00", "60.01.01 00:00",
                                     "00.01.01 00:00", "99.06.01 08:00", "03.01.02 09:59"};
    std::sort(keys.begin(), keys.end(),
              [](const std::string& a, const std::string& b) { return CompareDate(a.c_str(), b.c_str()) < 0; });
    const std::vector<std::string> expected = {"60.01.01 00:00", "98.12.31 23:59", "99.06.01 08:00",
                                               "00.01.01 00:00", "03.01.02 09:59", "03.01.02 10:00",
                                               "59.12.31 00:00"};
    EXPECT_EQ(keys, expected);
}

TEST(FormatDateKey, KeepsTheShapeOfTheKey) {
    struct Case {
        std::tm t;
        const char* key;
    } cases[] = {
        {Make(1999, 11, 31, 23, 59, 0, 5), "99.12.31 23:59"},
        {Make(2026, 11, 10, 13, 15, 0, 4), "26.12.10 13:15"},
        {Make(1895, 0, 1, 0, 0, 0, 0), "95.01.01 00:00"},
        {Make(1998, 5, 12345, -1, 100, 0, 0), "98.06.00 00:00"},
    };
    for (const Case& c : cases) {
        char key[kDateKeySize];
        EXPECT_STREQ(FormatDateKey(c.t, key), c.key);
    }
    std::tm broken = Make(1998, 0, 1, 0, 0, 0, 0);
    broken.tm_year = INT_MIN;
    broken.tm_mon = INT_MAX;
    char key[kDateKeySize];
    EXPECT_EQ(std::strlen(FormatDateKey(broken, key)), 14u);
}

}  // namespace
