// Mails claiming to be encrypted with the program's own cipher: the header
// read, the body decoded from base64 and decrypted (to a file, appended, and
// in memory), and the scrambled password of the settings.
#include <cstring>
#include <string>
#include <vector>

#include "common/SCrypt.h"
#include "crypt/SCryptMailHeader.h"
#include "crypt/SLoki91Mime.h"
#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qimfuzz::InstallQuietDialogs();
    const std::string in = qimfuzz::WriteInput("crypted", qimfuzz::Bytes(data, size));
    const std::string out = qimfuzz::PrivatePath("plain");

    SCryptMailHeader header;
    header.Read(in.c_str());
    (void)header.IsSupported();

    unsigned char key[kLokiKeySize];
    MakeLokiKey("fuzzkey", key);
    SLoki91Mime mime(key, qimfuzz::PrivateDir());
    mime.DecryptMail(in.c_str(), out.c_str());
    (void)mime.LastError();
    std::remove(out.c_str());

    SLoki91File file(key);
    std::uint64_t written = 0;
    file.DecryptFile(in.c_str(), out.c_str(), false, &written);
    file.DecryptFile(in.c_str(), out.c_str(), true, &written);
    std::remove(out.c_str());

    std::vector<unsigned char> buffer(data, data + size);
    std::size_t plain = 0;
    if (file.DecryptBuffer(buffer.data(), buffer.size(), plain) && plain > buffer.size()) __builtin_trap();

    // The stored password form: any text, at most 259 bytes and a NUL.
    std::string scrambled(qimfuzz::Bytes(data, std::min<std::size_t>(size, 259)));
    scrambled = scrambled.c_str();
    char decoded[261];
    SCrypt().Decode(scrambled.c_str(), decoded);
    if (std::memchr(decoded, 0, sizeof decoded) == nullptr) __builtin_trap();
    return 0;
}
