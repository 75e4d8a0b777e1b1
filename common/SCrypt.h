// Scrambles a password before it is stored as a setting: a two-letter Hill
// cipher modulo 131 with two random offsets, stored as upper-case hex. It keeps
// the password from being read at a glance; it is not encryption.
#pragma once

#include <string>

#include "common/SpProfile.h"

class SCrypt {
public:
    // Longest password that fits the 260-byte stored form.
    static constexpr int kMaxPlain = 256;

    // `out` needs 2 + 2 * ceil(n / 2) + 1 bytes (at most 260). False when the
    // text is longer than kMaxPlain or holds a byte the cipher cannot carry
    // (131 or above), because it would not read back the same.
    bool Encode(const char* plain, char* out) const;
    // `scrambled` must end in a zero byte; `out` receives at most 260 bytes.
    void Decode(const char* scrambled, char* out) const;

    bool GetProfile(const SpProfile& profile, const char* key, std::string& out) const;
    // Also limits the settings file to its owner, since it now holds a password.
    bool WriteProfile(const SpProfile& profile, const char* key, const std::string& plain) const;
};
