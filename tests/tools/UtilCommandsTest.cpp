#include <gtest/gtest.h>

#include <string>

#include "support/TestSupport.h"

namespace {

std::string Tool() { return qimtest::BuiltProgram("qimtool"); }

std::string RunTool(const std::string& args, int* status) {
    return qimtest::RunCommand(Tool() + " " + args + " 2>/dev/null", status);
}

TEST(QimtoolMutf7, EncodesAndDecodesNamesFromArgumentsAndLines) {
    struct Case {
        std::string input;  // printf format for stdin; empty: none
        std::string args;
        std::string out;
        int status;
    } cases[] = {
        // Arguments are typed at a terminal: UTF-8. 日本語 and ｱｲ (widened).
        {"", "mutf7 encode 'a&b' '\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E' '\xEF\xBD\xB1\xEF\xBD\xB2'",
         "a&-b\n&ZeVnLIqe-\n&MKIwpA-\n", 0},
        // Lines of stdin are Shift_JIS, or UTF-8 with --utf8; CR LF lines too.
        {"INBOX\\r\\n\\223\\372\\226\\173\\n", "mutf7 encode", "INBOX\n&ZeVnLA-\n", 0},
        {"\\346\\227\\245\\n", "mutf7 encode --utf8", "&ZeU-\n", 0},
        // Decode writes Shift_JIS, or UTF-8 with --utf8.
        {"", "mutf7 decode '&ZeVnLA-' 'a&-b'", "\x93\xFA\x96\x7B\na&b\n", 0},
        {"", "mutf7 decode --utf8 '&ZeU-'", "\xE6\x97\xA5\n", 0},
        // A broken name is written as it stands and the status is 1.
        {"", "mutf7 decode 'x&ZeVn' '&-'", "x&ZeVn\n&\n", 1},
        {"", "mutf7 decode '&Ze!-'", "&Ze!-\n", 1},
        // A name without Unicode form cannot be encoded: no line, status 1.
        {"\\205\\100\\nok\\n", "mutf7 encode", "ok\n", 1},
        {"", "mutf7", "", 2},
        {"", "mutf7 frobnicate x", "", 2},
        {"", "mutf7 encode --bogus", "", 2},
    };
    for (const Case& c : cases) {
        int status = -1;
        const std::string in = c.input.empty() ? "" : "printf '" + c.input + "' | ";
        const std::string out = qimtest::RunCommand(in + Tool() + " " + c.args + " 2>/dev/null", &status);
        EXPECT_EQ(out, c.out) << c.args;
        EXPECT_EQ(status, c.status) << c.args;
    }
}

TEST(QimtoolDate, ParsesInternetDatesIntoListKeys) {
    int status = -1;
    EXPECT_EQ(RunTool("date parse 'Thu, 10 Dec 2026 13:15:00 +0900' 'Sat, 06 Jun 98 12:34:56 +0000' '' 'garbage'",
                  &status),
              "26.12.10 13:15\n98.06.06 12:34\n00.00.00 00:00\n00.00.00 00:00\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(qimtest::RunCommand("printf 'Fri, 31 Dec 1999 23:59:59 -0800\\n6 Jun 2003\\n' | " + Tool() + " date parse",
                                  &status),
              "99.12.31 23:59\n03.06.06 00:00\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(RunTool("date parse --fields 'Sat, 06 Jun 98 12:34 +0000'", &status),
              "year=98 mon=5 mday=6 hour=12 min=34 sec=0 wday=6\n");
}

// The Date field always says +0900: right in Japan, and off by the zone
// difference anywhere else (the field below claims 00:00 in Japan for a
// moment that was 09:00 in Japan).
TEST(QimtoolDate, FormatsATimeAsTheDateFieldWithTheFixedZone) {
    int status = -1;
    EXPECT_EQ(qimtest::RunCommand("TZ=JST-9 " + Tool() + " date format 1796828400", &status),
              "Thu, 10 Dec 2026 00:00:00 +0900\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(qimtest::RunCommand("TZ=UTC0 " + Tool() + " date format 0", &status), "Thu, 1 Jan 1970 00:00:00 +0900\n");
    const std::string now = qimtest::RunCommand(Tool() + " date format", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(now.find(" +0900\n"), std::string::npos) << now;
    // What format writes, parse reads.
    EXPECT_EQ(RunTool("date parse \"$(TZ=JST-9 " + Tool() + " date format 915116399)\"", &status), "98.12.31 23:59\n");
    for (const std::string bad : {"date format 12x", "date format ''", "date format 1 2", "date", "date when",
                                  "date format --fields", "date format 99999999999999999999"}) {
        RunTool(bad, &status);
        EXPECT_EQ(status, 2) << bad;
    }
    RunTool("date --help", &status);
    EXPECT_EQ(status, 0);
}

}  // namespace
