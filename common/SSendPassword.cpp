#include "common/SSendPassword.h"

#include <sys/random.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "common/SMimeBase64.h"

namespace {

// Overwrites a text before its memory is reused or freed.
void Wipe(std::string& s) {
    if (!s.empty()) explicit_bzero(s.data(), s.size());
    s.clear();
}

// Decodes base64 into `out`; false when the text is not base64.
bool DecodeBase64(const char* text, std::string& out) {
    const int length = static_cast<int>(std::strlen(text));
    std::vector<unsigned char> bytes(static_cast<std::size_t>(SMimeBase64::DecodedLengthMax(length)) + 1);
    const int n = SMimeBase64::DecodeBinary(text, bytes.data(), false);
    if (n >= 0) out.assign(reinterpret_cast<const char*>(bytes.data()), static_cast<std::size_t>(n));
    explicit_bzero(bytes.data(), bytes.size());
    return n >= 0;
}

void XorKey(std::string& text, const char* key) {
    const std::size_t n = std::min<std::size_t>(text.size(), SSendPassword::kKeyLength);
    for (std::size_t i = 0; i < n; ++i) text[i] = static_cast<char>(text[i] ^ key[i]);
}

}  // namespace

SSendPassword::SSendPassword() { keyText_[0] = '\0'; }

SSendPassword::~SSendPassword() {
    Wipe(scrambled_);
    Wipe(plain_);
    explicit_bzero(keyText_, sizeof keyText_);
}

const char* SSendPassword::EncryptPassword(const char* plain) {
    char key[kKeyLength];
    MakeRandKey(key, kKeyLength);
    SMimeBase64::EncodeBinary(reinterpret_cast<const unsigned char*>(key), keyText_, kKeyLength);
    const char* result = EncryptPasswordBody(plain, key);
    explicit_bzero(key, sizeof key);
    return result;
}

const char* SSendPassword::DecryptPassword(const char* scrambled, const char* keyText) {
    std::string key;
    if (!keyText || !DecodeBase64(keyText, key) || key.size() != kKeyLength) {
        Wipe(key);
        return nullptr;
    }
    const char* result = DecryptPasswordBody(scrambled, key.data());
    Wipe(key);
    return result;
}

const char* SSendPassword::EncryptPasswordBody(const char* plain, const char* key) {
    if (!plain) plain = "";
    // Room for the padding first, so no copy of the password is left behind.
    const std::size_t length = std::strlen(plain);
    std::string text;
    text.reserve(std::max<std::size_t>(length, kKeyLength));
    text.assign(plain, length);
    if (text.size() < kKeyLength) text.resize(kKeyLength, '\0');
    XorKey(text, key);
    Wipe(scrambled_);
    scrambled_.resize(static_cast<std::size_t>(SMimeBase64::EncodedLength(static_cast<int>(text.size()))) + 1);
    const int n = SMimeBase64::EncodeBinary(reinterpret_cast<const unsigned char*>(text.data()), scrambled_.data(),
                                            static_cast<int>(text.size()));
    scrambled_.resize(static_cast<std::size_t>(n));
    Wipe(text);
    return scrambled_.c_str();
}

const char* SSendPassword::DecryptPasswordBody(const char* scrambled, const char* key) {
    Wipe(plain_);
    if (!scrambled || !DecodeBase64(scrambled, plain_)) return nullptr;
    XorKey(plain_, key);
    return plain_.c_str();
}

void SSendPassword::MakeRandKey(char* buffer, int count) {
    int filled = 0;
    while (filled < count) {
        ssize_t n = getrandom(buffer + filled, static_cast<std::size_t>(count - filled), 0);
        if (n > 0) {
            filled += static_cast<int>(n);
        } else if (n < 0 && errno != EINTR) {
            break;
        }
    }
    if (filled == count) return;
    // No system generator: a generator seeded from the clock and random_device.
    std::seed_seq seed{static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()),
                       std::random_device{}()};
    std::mt19937 generator(seed);
    for (; filled < count; ++filled) buffer[filled] = static_cast<char>(generator());
}
