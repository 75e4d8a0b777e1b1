#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace {

using platform::Cp932ToUtf16;
using platform::Cp932ToUtf8;
using platform::Utf16ToCp932;
using platform::Utf8ToCp932;

TEST(CodePage, RoundTripsJapaneseAndVendorExtensions) {
    // あ 表 ① (NEC row 13) 髙 (IBM extension) and ASCII with a backslash.
    const std::string sjis = "\x82\xA0\x95\x5C\x87\x40\xFB\xFC a\\b~";
    std::string utf8;
    ASSERT_TRUE(Cp932ToUtf8(sjis, utf8));
    EXPECT_EQ(utf8, "\xE3\x81\x82\xE8\xA1\xA8\xE2\x91\xA0\xE9\xAB\x99 a\\b~");
    std::string back;
    ASSERT_TRUE(Utf8ToCp932(utf8, back));
    EXPECT_EQ(back, sjis);

    std::u16string utf16;
    ASSERT_TRUE(Cp932ToUtf16(sjis, utf16));
    EXPECT_EQ(utf16, u"\u3042\u8868\u2460\u9AD9 a\\b~");
    ASSERT_TRUE(Utf16ToCp932(utf16, back));
    EXPECT_EQ(back, sjis);
}

// An input method on Linux types the JIS-standard forms; they must land on the
// same Shift_JIS codes as the Windows forms, and come back as the Windows forms.
TEST(CodePage, AcceptsJisStandardFormsOnTheWayIn) {
    struct Case {
        const char* jisForm;
        const char* windowsForm;
        const char* sjis;
    } cases[] = {
        {"\xE3\x80\x9C", "\xEF\xBD\x9E", "\x81\x60"},  // wave dash
        {"\xE2\x80\x96", "\xE2\x88\xA5", "\x81\x61"},  // double vertical line
        {"\xE2\x88\x92", "\xEF\xBC\x8D", "\x81\x7C"},  // minus sign
        {"\xC2\xA2", "\xEF\xBF\xA0", "\x81\x91"},      // cent
        {"\xC2\xA3", "\xEF\xBF\xA1", "\x81\x92"},      // pound
        {"\xC2\xAC", "\xEF\xBF\xA2", "\x81\xCA"},      // not
        {"\xE2\x80\x94", "\xE2\x80\x95", "\x81\x5C"},  // em dash / horizontal bar
    };
    for (const Case& c : cases) {
        std::string sjis;
        ASSERT_TRUE(Utf8ToCp932(c.jisForm, sjis)) << c.jisForm;
        EXPECT_EQ(sjis, c.sjis);
        ASSERT_TRUE(Utf8ToCp932(c.windowsForm, sjis));
        EXPECT_EQ(sjis, c.sjis);
        std::string utf8;
        ASSERT_TRUE(Cp932ToUtf8(c.sjis, utf8));
        EXPECT_EQ(utf8, c.windowsForm);
    }
}

TEST(CodePage, ReportsFailureWithOffsetInsteadOfTruncating) {
    struct Case {
        std::string input;
        std::size_t offset;
    } cp932Cases[] = {
        {std::string("ab\x80" "cd"), 2},  // 0x80 is not a character
        {std::string("abc\x82"), 3},      // lead byte cut off at the end
        {std::string("\x82\xA0\xFD"), 2},
    };
    for (const auto& c : cp932Cases) {
        std::string out = "stale";
        platform::ConvResult r = Cp932ToUtf8(c.input, out);
        EXPECT_FALSE(r);
        EXPECT_EQ(r.offset, c.offset);
        EXPECT_TRUE(out.empty());
    }
    std::string out;
    platform::ConvResult r = Utf8ToCp932("ok \xF0\x9F\x98\x80", out);  // an emoji has no Shift_JIS form
    EXPECT_FALSE(r);
    EXPECT_EQ(r.offset, 3u);
    EXPECT_FALSE(Utf8ToCp932("\xC3", out));  // broken UTF-8
}

TEST(CodePage, LossyDisplayKeepsTheRest) {
    EXPECT_EQ(platform::Cp932ToUtf8Lossy(std::string("a\x80" "b\x82\xA0")), "a\xEF\xBF\xBD" "b\xE3\x81\x82");
    // A lead byte before a line break must not swallow the break.
    EXPECT_EQ(platform::Cp932ToUtf8Lossy(std::string("x\x82\ny")), "x\xEF\xBF\xBD\ny");
}

TEST(CodePage, LongTextConvertsCompletely) {
    std::string sjis;
    for (int i = 0; i < 100000; ++i) sjis += "\x82\xA0" "a";
    std::string utf8;
    ASSERT_TRUE(Cp932ToUtf8(sjis, utf8));
    EXPECT_EQ(utf8.size(), 100000u * 4);
}

}  // namespace
