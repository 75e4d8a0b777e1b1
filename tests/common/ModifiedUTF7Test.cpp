#include <gtest/gtest.h>

#include <random>
#include <string>

#include "common/ModifiedUTF7.h"

namespace {

TEST(ModifiedUTF7, EncodesMailboxNames) {
    struct Case {
        std::string sjis;
        std::string mutf7;
    } cases[] = {
        {"INBOX", "INBOX"},
        {"a&b", "a&-b"},
        {"&&", "&-&-"},
        {"", ""},
        {"\x93\xFA\x96\x7B\x8C\xEA", "&ZeVnLIqe-"},                                    // 日本語
        {"~peter/mail/\x91\xE4\x96\x6B/\x93\xFA\x96\x7B\x8C\xEA", "~peter/mail/&U,BTFw-/&ZeVnLIqe-"},  // 台北
        {"a\x93\xFA\x96\x7B" "b&c", "a&ZeVnLA-b&-c"},
        // Half-width katakana are widened first: ｱｲｳ is sent as アイウ.
        {"\xB1\xB2\xB3", "&MKIwpDCm-"},
        // A double-byte character whose second byte is printable ASCII
        // (表 = 95 5C, ソ = 83 5C) stays inside the encoded run.
        {"\x95\x5C\x83\x5C", "&iGgwvQ-"},
        // Control characters are UTF-16 like any other character.
        {"a\tb", "a&AAk-b"},
    };
    for (const Case& c : cases) {
        std::string out;
        ASSERT_TRUE(ModifiedUTF7::Encode(c.sjis, out)) << c.mutf7;
        EXPECT_EQ(out, c.mutf7);
        std::string back;
        ASSERT_TRUE(ModifiedUTF7::Decode(out, back)) << c.mutf7;
        EXPECT_EQ(back, c.sjis == "\xB1\xB2\xB3" ? "\x83\x41\x83\x43\x83\x45" : c.sjis) << c.mutf7;
    }
}

TEST(ModifiedUTF7, EncodeNativeKeepsHalfWidthKatakana) {
    std::string out, back;
    ASSERT_TRUE(ModifiedUTF7::EncodeNative("\xB1", out));
    EXPECT_EQ(out, "&,3E-");  // U+FF71
    ASSERT_TRUE(ModifiedUTF7::Decode(out, back));
    EXPECT_EQ(back, "\xB1");
}

TEST(ModifiedUTF7, CarriesBytesWithoutUnicodeFormRawAndTakesThemBack) {
    // 0x80, 0xA0 and 0xFD-0xFF are not Shift_JIS: their raw bytes are encoded,
    // and Decode takes them back as they were.
    for (std::string sjis : {std::string("\x80"), std::string("a\xFD\xFE" "b"), std::string("\xA0\xFF\xA0")}) {
        std::string out, back;
        ASSERT_TRUE(ModifiedUTF7::EncodeNative(sjis, out));
        EXPECT_EQ(out.find_first_of("\x80\xA0\xFD\xFE\xFF"), std::string::npos) << out;
        ASSERT_TRUE(ModifiedUTF7::Decode(out, back)) << out;
        EXPECT_EQ(back, sjis) << out;
    }
}

TEST(ModifiedUTF7, RefusesADoubleByteCharacterWithoutUnicodeForm) {
    std::string out;
    EXPECT_FALSE(ModifiedUTF7::Encode("a\x85\x40", out));  // an unassigned cell
    EXPECT_FALSE(ModifiedUTF7::Encode("\x82 x", out));     // a first byte before a blank
}

TEST(ModifiedUTF7, DecodeLeavesWhatItCannotReadAsItIs) {
    struct Case {
        std::string in;
        bool ok;
        std::string out;
    } cases[] = {
        {"&-", true, "&"},
        {"a&-b", true, "a&b"},
        {"x&ZeVnLIqe-y", true, "x\x93\xFA\x96\x7B\x8C\xEA" "y"},
        {"&ZeVnLIqe-&-", true, "\x93\xFA\x96\x7B\x8C\xEA&"},
        // An "&" without "-": the rest is kept unchanged.
        {"abc&ZeVnLIqe", false, "abc&ZeVnLIqe"},
        {"abc&", false, "abc&"},
        // Not modified base64: "!" and "/" are outside the alphabet, "=" is never written.
        {"&ZeVnLIqe-x&Ze!-y", false, "\x93\xFA\x96\x7B\x8C\xEA" "x&Ze!-y"},
        {"&Ze/n-", false, "&Ze/n-"},
        {"&ZeU=-", false, "&ZeU=-"},
        {"&A-", false, "&A-"},  // five bits are no byte
        // U+0000 has no place in a folder name.
        {"a&AAA-b", false, "a&AAA-b"},
        // UTF-16 without a Shift_JIS form (U+1F601) is taken as its raw bytes
        // D8 3D DE 01; those of U+1F600 hold a NUL and are refused.
        {"&2D3eAQ-", true, "\xD8=\xDE\x01"},
        {"&2D3eAA-", false, "&2D3eAA-"},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(ModifiedUTF7::Decode(c.in, out), c.ok) << c.in;
        EXPECT_EQ(out, c.out) << c.in;
    }
}

TEST(ModifiedUTF7, BuildingBlocks) {
    std::string b64;
    ModifiedUTF7::EncodeModifiedBase64(std::string("\xFF\xFF\xFF\xFB\xF0", 5), b64);
    EXPECT_EQ(b64, ",,,,+,A");
    std::string bytes;
    ASSERT_TRUE(ModifiedUTF7::DecodeModifiedBase64(b64, bytes));
    EXPECT_EQ(bytes, std::string("\xFF\xFF\xFF\xFB\xF0", 5));
    EXPECT_TRUE(ModifiedUTF7::DecodeModifiedBase64("", bytes));
    EXPECT_EQ(bytes, "");
    EXPECT_FALSE(ModifiedUTF7::DecodeModifiedBase64("ab/c", bytes));

    std::string andMinus = "x";
    ModifiedUTF7::AndToAndMinus("a&&b&", andMinus);
    EXPECT_EQ(andMinus, "xa&-&-b&-");

    std::string be;
    ModifiedUTF7::ChangeByteOrder(std::u16string(u"\u65E5A"), be);
    EXPECT_EQ(be, std::string("\x65\xE5\x00\x41", 4));
    std::u16string units;
    ASSERT_TRUE(ModifiedUTF7::ChangeByteOrder(be, units));
    EXPECT_EQ(units, u"\u65E5A");
    EXPECT_FALSE(ModifiedUTF7::ChangeByteOrder(std::string("abc"), units));
}

// Names made of ASCII, "&", "-" and Japanese characters come back unchanged.
TEST(ModifiedUTF7, RoundTripsRandomNames) {
    const char* pieces[] = {"&", "-", "a", "Z", " ", "~", "/", "&-", "\x82\xA0", "\x93\xFA", "\x95\x5C",
                            "\x83\x5C", "\x81\x40", "\x87\x40", "\xFA\x40", "\x81\x60"};
    std::mt19937 rng(3);
    for (int round = 0; round < 3000; ++round) {
        std::string name;
        for (int n = static_cast<int>(rng() % 10); n > 0; --n) name += pieces[rng() % 16];
        std::string encoded, back;
        ASSERT_TRUE(ModifiedUTF7::Encode(name, encoded)) << name;
        for (unsigned char c : encoded) ASSERT_TRUE(c >= 0x20 && c < 0x7F) << encoded;
        ASSERT_TRUE(ModifiedUTF7::Decode(encoded, back)) << encoded;
        ASSERT_EQ(back, name) << encoded;
    }
}

TEST(ModifiedUTF7, VeryLongNames) {
    std::string name;
    for (int i = 0; i < 50000; ++i) name += i % 7 ? "\x93\xFA" : "a&";
    std::string encoded, back;
    ASSERT_TRUE(ModifiedUTF7::Encode(name, encoded));
    ASSERT_TRUE(ModifiedUTF7::Decode(encoded, back));
    EXPECT_EQ(back, name);
    const std::string hostile = "&" + std::string(1 << 20, 'A');
    EXPECT_FALSE(ModifiedUTF7::Decode(hostile, back));
    EXPECT_EQ(back, hostile);
}

}  // namespace
