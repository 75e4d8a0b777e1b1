#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "common/SMimeBase64.h"
#include "common/SSendPassword.h"
#include "support/TestSupport.h"

namespace {

const char kKey[] = "\x01\x02\x03\x04\x05\x06\x07\x08";

TEST(SSendPassword, RoundTripsPasswordsOfEveryLength) {
    const std::string passwords[] = {"",          "a",          "1234567",       "12345678",
                                     "123456789", "pass word!", std::string(300, 'p'), qimtest::Sjis("パスワード漢字"),
                                     "\x01\x02\x03\x04\x05\x06\x07\x08" "after the key bytes"};
    for (const std::string& password : passwords) {
        SSendPassword sender;
        const std::string scrambled = sender.EncryptPassword(password.c_str());
        const std::string keyText = sender.KeyText();
        EXPECT_EQ(keyText.size(), 12u);
        const std::size_t padded = std::max<std::size_t>(password.size(), 8);
        EXPECT_EQ(scrambled.size(), static_cast<std::size_t>(SMimeBase64::EncodedLength(static_cast<int>(padded))))
            << password;
        EXPECT_EQ(scrambled.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/="),
                  std::string::npos);

        SSendPassword receiver;  // another object, as when the text is handed on
        const char* plain = receiver.DecryptPassword(scrambled.c_str(), keyText.c_str());
        ASSERT_NE(plain, nullptr) << password;
        EXPECT_EQ(std::string(plain), password);
    }
}

TEST(SSendPassword, KnownScrambledFormsWithAFixedKey) {
    struct Case {
        const char* plain;
        const char* scrambled;
    } cases[] = {
        // Shorter than the key: padded with zero bytes to 8, all 8 XORed.
        {"abc", "YGBgBAUGBwg="},
        // Longer: only the first 8 bytes are XORed, the rest is base64 as it is.
        {"password123", "cWNwd3JpdWwxMjM="},
    };
    for (const Case& c : cases) {
        SSendPassword s;
        EXPECT_STREQ(s.EncryptPasswordBody(c.plain, kKey), c.scrambled);
        EXPECT_STREQ(s.DecryptPasswordBody(c.scrambled, kKey), c.plain);
        EXPECT_STREQ(s.DecryptPassword(c.scrambled, "AQIDBAUGBwg="), c.plain) << "the key as its base64 text";
    }
}

TEST(SSendPassword, EachPasswordGetsItsOwnKey) {
    SSendPassword s;
    std::string first = s.EncryptPassword("secret");
    std::string firstKey = s.KeyText();
    std::string second = s.EncryptPassword("secret");
    EXPECT_NE(firstKey, s.KeyText()) << "two keys made in the same second differ";
    EXPECT_NE(first, second);
}

// Texts that did not come from EncryptPassword: refused or decoded without
// touching memory beyond what they decode to (the sanitizer build checks).
TEST(SSendPassword, ForeignTextsNeverOverrunOrPassAsValid) {
    struct Case {
        const char* what;
        const char* scrambled;
        const char* keyText;
        bool valid;
        std::string plain;
    } cases[] = {
        {"one decoded byte", "YQ==", "AQIDBAUGBwg=", true, "`"},
        {"empty text", "", "AQIDBAUGBwg=", true, ""},
        {"not base64", "#$%!", "AQIDBAUGBwg=", false, ""},
        {"cut in a group", "YGBgBAU", "AQIDBAUGBwg=", false, ""},
        {"key text too long", "YGBgBAUGBwg=", "AQIDBAUGBwgJCgsM", false, ""},
        {"key text too short", "YGBgBAUGBwg=", "AQID", false, ""},
        {"key text not base64", "YGBgBAUGBwg=", "************", false, ""},
        {"empty key text", "YGBgBAUGBwg=", "", false, ""},
    };
    for (const Case& c : cases) {
        SSendPassword s;
        const char* plain = s.DecryptPassword(c.scrambled, c.keyText);
        EXPECT_EQ(plain != nullptr, c.valid) << c.what;
        if (plain && c.valid) {
            EXPECT_EQ(std::string(plain), c.plain) << c.what;
        }
    }
    SSendPassword s;
    EXPECT_EQ(s.DecryptPassword(nullptr, "AQIDBAUGBwg="), nullptr);
    EXPECT_EQ(s.DecryptPassword("YQ==", nullptr), nullptr);
    EXPECT_STREQ(s.EncryptPasswordBody(nullptr, kKey), "AQIDBAUGBwg=") << "no text scrambles as an empty one";
}

TEST(SSendPassword, MakeRandKeyFillsTheWholeBuffer) {
    char a[64], b[64];
    std::memset(a, 0, sizeof a);
    std::memset(b, 0, sizeof b);
    SSendPassword::MakeRandKey(a, sizeof a);
    SSendPassword::MakeRandKey(b, sizeof b);
    EXPECT_NE(std::memcmp(a, b, sizeof a), 0);
    int zeros = 0;
    for (char c : a) zeros += c == 0;
    EXPECT_LT(zeros, 8) << "random bytes, not an untouched buffer";
}

}  // namespace
