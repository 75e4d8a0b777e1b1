#include "common/SCrypt.h"

#include <cstring>
#include <random>

#include "platform/PrivateProfile.h"

namespace {

constexpr int kModulus = 131;
constexpr int kKey[2][2] = {{41, 7}, {19, 88}};

constexpr int Mod(long long v) { return static_cast<int>(((v % kModulus) + kModulus) % kModulus); }

constexpr int InverseMod(int a) {
    for (int x = 1; x < kModulus; ++x)
        if (Mod(static_cast<long long>(a) * x) == 1) return x;
    return 0;
}

struct Matrix {
    int m[2][2];
};

// The decoding matrix: the inverse of the key modulo 131.
constexpr Matrix Inverse() {
    int det = Mod(static_cast<long long>(kKey[0][0]) * kKey[1][1] - static_cast<long long>(kKey[0][1]) * kKey[1][0]);
    int inv = InverseMod(det);
    return Matrix{{{Mod(static_cast<long long>(inv) * kKey[1][1]), Mod(-static_cast<long long>(inv) * kKey[0][1])},
                   {Mod(-static_cast<long long>(inv) * kKey[1][0]), Mod(static_cast<long long>(inv) * kKey[0][0])}}};
}

constexpr Matrix kDecode = Inverse();
static_assert(Mod(kKey[0][0] * kDecode.m[0][0] + kKey[0][1] * kDecode.m[1][0]) == 1);
static_assert(Mod(kKey[0][0] * kDecode.m[0][1] + kKey[0][1] * kDecode.m[1][1]) == 0);

constexpr int kStoredSize = 260;

}  // namespace

bool SCrypt::Encode(const char* plain, char* out) const {
    std::size_t n = std::strlen(plain);
    if (n > static_cast<std::size_t>(kMaxPlain)) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (static_cast<unsigned char>(plain[i]) >= kModulus) return false;

    // A private generator: seeding the runtime's shared one would disturb others.
    std::random_device device;
    std::minstd_rand rng(device());
    int r[2] = {static_cast<int>(rng() % kModulus), static_cast<int>(rng() % kModulus)};
    unsigned char* o = reinterpret_cast<unsigned char*>(out);
    *o++ = static_cast<unsigned char>(r[0]);
    *o++ = static_cast<unsigned char>(r[1]);
    const unsigned char* p = reinterpret_cast<const unsigned char*>(plain);
    for (std::size_t i = 0; i < n; i += 2) {
        int p0 = p[i];
        int p1 = i + 1 < n ? p[i + 1] : 0;
        for (int k = 0; k < 2; ++k)
            *o++ = static_cast<unsigned char>(Mod(Mod(kKey[k][0] * p0) + Mod(kKey[k][1] * p1) + r[k]) + 1);
        if (p1 == 0) break;
    }
    *o = 0;
    return true;
}

void SCrypt::Decode(const char* scrambled, char* out) const {
    const unsigned char* s = reinterpret_cast<const unsigned char*>(scrambled);
    char* o = out;
    char* const limit = out + kStoredSize - 1;
    int r[2] = {s[0], s[1]};
    s += 2;
    while (s[0] && s[1] && o + 2 <= limit) {
        int x0 = Mod(s[0] - 1 - r[0] + kModulus);
        int x1 = Mod(s[1] - 1 - r[1] + kModulus);
        int p0 = Mod(Mod(kDecode.m[0][0] * x0) + Mod(kDecode.m[0][1] * x1));
        int p1 = Mod(Mod(kDecode.m[1][0] * x0) + Mod(kDecode.m[1][1] * x1));
        *o++ = static_cast<char>(p0);
        *o++ = static_cast<char>(p1);
        s += 2;
        if (p1 == 0) break;
    }
    *o = '\0';
}

bool SCrypt::GetProfile(const SpProfile& profile, const char* key, std::string& out) const {
    unsigned char stored[kStoredSize] = {};  // one spare zero ends the text whatever was read
    if (!profile.GetBinary(key, stored, kStoredSize - 1)) return false;
    char plain[kStoredSize];
    Decode(reinterpret_cast<const char*>(stored), plain);
    out = plain;
    return true;
}

bool SCrypt::WriteProfile(const SpProfile& profile, const char* key, const std::string& plain) const {
    char stored[kStoredSize];
    if (plain.find('\0') != std::string::npos || !Encode(plain.c_str(), stored)) return false;
    std::size_t length = 2;
    while (stored[length]) length += 2;  // cipher bytes are never zero
    if (!profile.WriteBinary(key, stored, static_cast<int>(length + 1))) return false;
    platform::RestrictProfileFile(profile.Filename());
    return true;
}
