// A notice's text is its table text with the values filled in; a table text
// and values that do not fit each other show as written, never read beyond
// what was given.
#include <gtest/gtest.h>

#include "common/SNotice.h"

namespace {

TEST(FormatNotice, FillsEachConversionWithItsValueInOrder) {
    struct Case {
        const char* format;
        std::vector<SNotice::Arg> args;
        const char* text;
    } cases[] = {
        {"メール %d/%d の応答: %s", {2L, 3L, std::string("-ERR x")}, "メール 2/3 の応答: -ERR x"},
        {"%ld bytes, %5d, %-3s|", {123456789012L, 42L, std::string("a")}, "123456789012 bytes,    42, a  |"},
        {"100%% %s", {std::string("done")}, "100% done"},
        {"%x %c", {255L, 65L}, "ff A"},
        {"no conversion", {1L}, "no conversion"},
        // A value of the other kind, or none at all: the conversion stays as written.
        {"%d and %s", {std::string("text"), 5L}, "%d and %s"},
        {"%s then %d", {std::string("one")}, "one then %d"},
        {"%n %p %", {}, "%n %p %"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatNotice(c.format, c.args), c.text) << c.format;
}

}  // namespace
