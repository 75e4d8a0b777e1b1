// Hides a password under a random 8-byte key while it is handed from one part
// of the program to another: the text (padded with zero bytes to at least 8)
// has its first 8 bytes XORed with the key and travels as base64; the key
// travels apart as its own base64 text. It keeps the password from being read
// at a glance; it is not encryption.
#pragma once

#include <string>

class SSendPassword {
public:
    static constexpr int kKeyLength = 8;
    static constexpr int kKeyTextLength = 12;  // base64 of the key

    SSendPassword();
    // Wipes the texts it holds.
    ~SSendPassword();
    SSendPassword(const SSendPassword&) = delete;
    SSendPassword& operator=(const SSendPassword&) = delete;

    // Scrambles under a fresh random key (KeyText gives it). The result stays
    // valid until the next call on this object.
    const char* EncryptPassword(const char* plain);
    // The key of the last EncryptPassword, 12 base64 characters.
    const char* KeyText() const { return keyText_; }
    // Undoes EncryptPassword with its key text. Null when the key text is not
    // the base64 of exactly 8 bytes or the scrambled text is not base64.
    const char* DecryptPassword(const char* scrambled, const char* keyText);

    // The two steps with a raw key of kKeyLength bytes.
    const char* EncryptPasswordBody(const char* plain, const char* key);
    // Null when `scrambled` is not base64. A text that decodes to fewer than 8
    // bytes has only those bytes XORed.
    const char* DecryptPasswordBody(const char* scrambled, const char* key);

    // `count` random bytes from the system's generator.
    static void MakeRandKey(char* buffer, int count);

private:
    std::string scrambled_;
    std::string plain_;
    char keyText_[kKeyTextLength + 1];
};
