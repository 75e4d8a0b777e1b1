// File and mail encryption: round trips over chunk edges, the form of an
// encrypted mail, and what broken input and wrong keys give.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/SMimeBase64.h"
#include "crypt/CryptCodes.h"
#include "crypt/SCryptMailHeader.h"
#include "crypt/SCryptProgress.h"
#include "crypt/SLoki91Mime.h"
#include "support/TestSupport.h"

using qimtest::FileExists;
using qimtest::ReadFileBytes;
using qimtest::Sjis;
using qimtest::WriteFileBytes;

namespace {

struct Key {
    unsigned char bytes[8];
    explicit Key(const std::string& typed) { MakeLokiKey(typed, bytes); }
};

class CountingProgress : public SCryptProgress {
public:
    void Begin(const std::string& caption, long steps) override {
        this->caption = caption;
        expected = steps;
    }
    void Step() override { ++steps; }
    void End() override { ended = true; }
    std::string caption;
    long expected = 0;
    long steps = 0;
    bool ended = false;
};

// Text-like bytes of a given length (no zero byte), with line ends.
std::string TextOfLength(std::size_t n) {
    std::string s;
    for (std::size_t i = 0; s.size() < n; ++i) s += (i % 61 == 60) ? '\n' : static_cast<char>('A' + i % 26);
    return s.substr(0, n);
}

TEST(Loki91File, RoundTripsOverChunkEdges) {
    qimtest::TempDir dir;
    Key key("chunks");
    SLoki91File cipher(key.bytes);
    for (std::size_t size : {1u, 7u, 8u, 9u, 3999u, 4000u, 4001u, 8000u, 10007u}) {
        const std::string plain = TextOfLength(size);
        WriteFileBytes(dir.File("plain"), plain);
        CountingProgress progress;
        cipher.SetProgress(&progress, "caption");
        ASSERT_TRUE(cipher.EncryptFile(dir.File("plain").c_str(), dir.File("cipher").c_str()));
        const std::string encrypted = ReadFileBytes(dir.File("cipher"));
        EXPECT_EQ(encrypted.size(), (size + 7) / 8 * 8) << size;
        EXPECT_EQ(progress.steps, static_cast<long>((size + 3999) / 4000)) << size;
        EXPECT_GE(progress.expected, progress.steps);
        EXPECT_TRUE(progress.ended);
        ASSERT_TRUE(cipher.DecryptFile(dir.File("cipher").c_str(), dir.File("back").c_str()));
        EXPECT_EQ(ReadFileBytes(dir.File("back")), plain) << size;
    }
}

TEST(Loki91File, ZeroBytesOnlyEndTheTextInTheLastBlock) {
    qimtest::TempDir dir;
    Key key("zero");
    SLoki91File cipher(key.bytes);
    // A zero byte deep inside the first chunk is data; one in the last block ends the text.
    std::string plain = TextOfLength(4100);
    plain[3996] = '\0';
    plain[4098] = '\0';
    WriteFileBytes(dir.File("plain"), plain);
    ASSERT_TRUE(cipher.EncryptFile(dir.File("plain").c_str(), dir.File("cipher").c_str()));
    ASSERT_TRUE(cipher.DecryptFile(dir.File("cipher").c_str(), dir.File("back").c_str()));
    EXPECT_EQ(ReadFileBytes(dir.File("back")), plain.substr(0, 4098));
}

TEST(Loki91File, CipherTextOfNoWholeBlocksFailsAndLeavesNoOutput) {
    qimtest::TempDir dir;
    Key key("k");
    SLoki91File cipher(key.bytes);
    for (std::size_t size : {5u, 4003u, 8001u}) {
        WriteFileBytes(dir.File("cipher"), std::string(size, 'x'));
        EXPECT_FALSE(cipher.DecryptFile(dir.File("cipher").c_str(), dir.File("out").c_str())) << size;
        EXPECT_FALSE(FileExists(dir.File("out"))) << size;
    }
    EXPECT_FALSE(cipher.EncryptFile(dir.File("missing").c_str(), dir.File("out").c_str()));
    EXPECT_FALSE(cipher.DecryptFile(dir.File("missing").c_str(), dir.File("out").c_str()));
    EXPECT_FALSE(FileExists(dir.File("out")));
}

class Loki91MailTest : public ::testing::Test {
protected:
    std::string Mail(const std::string& body) const {
        return "From: Taro <taro@example.jp>\r\nTo: hanako@example.jp\r\nSubject: " + Sjis("秘密") +
               "\r\n\r\n" + body;
    }
    bool Encrypt(const std::string& typed, const std::string& mail) {
        WriteFileBytes(dir_.File("mail"), mail);
        Key key(typed);
        SLoki91Mime cipher(key.bytes, dir_.Path());
        return cipher.EncryptMail(dir_.File("mail").c_str(), dir_.File("enc").c_str(), qimcrypt::ExtraHeader);
    }
    SLoki91Mime::Error Decrypt(const std::string& typed, const std::string& encrypted) {
        WriteFileBytes(dir_.File("enc"), encrypted);
        Key key(typed);
        SLoki91Mime cipher(key.bytes, dir_.Path());
        const bool ok = cipher.DecryptMail(dir_.File("enc").c_str(), dir_.File("dec").c_str());
        EXPECT_EQ(ok, cipher.LastError() == SLoki91Mime::Error::None);
        return cipher.LastError();
    }
    // Nothing of the work is left in the folder but the named files.
    void ExpectOnlyFiles(std::initializer_list<const char*> names) {
        const std::string listing = qimtest::RunCommand("ls -A '" + dir_.Path() + "' | sort | tr '\\n' ' '");
        std::string expected;
        for (const char* n : names) expected += std::string(n) + " ";
        EXPECT_EQ(listing, expected);
    }
    qimtest::TempDir dir_;
};

TEST_F(Loki91MailTest, EncryptedMailKeepsItsHeaderAndCarriesTheBodyAsBase64) {
    ASSERT_TRUE(Encrypt("abc", Mail("xyz")));
    const std::string encrypted = ReadFileBytes(dir_.File("enc"));
    const std::string head = Mail("").substr(0, Mail("").size() - 2) + "X-Qim-Crypt-Version: 0.1\r\n\r\n";
    ASSERT_EQ(encrypted.substr(0, head.size()), head);
    // A body of 3 bytes is one block, "xyz" and five zero bytes, encrypted.
    unsigned char block[8] = {'x', 'y', 'z', 0, 0, 0, 0, 0};
    Key key("abc");
    SLoki91(key.bytes).EncryptBlock(block);
    char base64[16];
    SMimeBase64::EncodeBinary(block, base64, 8);
    EXPECT_EQ(encrypted.substr(head.size()), std::string(base64) + "\r\n");
    ExpectOnlyFiles({"enc", "mail"});

    ASSERT_EQ(Decrypt("abc", encrypted), SLoki91Mime::Error::None);
    EXPECT_EQ(ReadFileBytes(dir_.File("dec")), head + "xyz");
    SCryptMailHeader header;
    ASSERT_TRUE(header.Read(dir_.File("enc").c_str()));
    EXPECT_TRUE(header.IsValid() && header.IsSupported());
    EXPECT_EQ(header.from, "taro@example.jp");
}

TEST_F(Loki91MailTest, BodiesRoundTrip) {
    const std::string bodies[] = {
        Sjis("こんにちは。\r\n暗号のテストです。\r\n"),
        TextOfLength(3999),
        TextOfLength(4000),
        TextOfLength(12345),
        "\r\n\r\nblank lines first\r\n",
    };
    for (const std::string& body : bodies) {
        ASSERT_TRUE(Encrypt(Sjis("鍵"), Mail(body)));
        const std::string encrypted = ReadFileBytes(dir_.File("enc"));
        EXPECT_EQ(encrypted.find(body.substr(0, 20)), std::string::npos);
        ASSERT_EQ(Decrypt(Sjis("鍵"), encrypted), SLoki91Mime::Error::None);
        const std::string back = ReadFileBytes(dir_.File("dec"));
        EXPECT_EQ(back.substr(back.find("X-Qim-Crypt-Version: 0.1\r\n\r\n") + 28), body);
    }
}

TEST_F(Loki91MailTest, MailThatAlreadyCarriesTheVersionFieldCarriesItOnce) {
    ASSERT_TRUE(Encrypt("k", "x-qim-crypt-version: 0.1\r\nSubject: s\r\n\r\nbody\r\n"));
    const std::string encrypted = ReadFileBytes(dir_.File("enc"));
    EXPECT_EQ(encrypted.find("x-qim-crypt-version"), std::string::npos);
    EXPECT_EQ(encrypted.rfind("X-Qim-Crypt-Version"), encrypted.find("X-Qim-Crypt-Version"));
}

TEST_F(Loki91MailTest, ZeroByteInTheLastBlockEndsTheDecryptedText) {
    // Header "From..Subject" plus an empty line; the body is cut at the zero byte of its last block.
    for (const std::string& body : {std::string("text\0ab", 7), std::string("12345678ab\0c", 12)}) {
        ASSERT_TRUE(Encrypt("k", Mail(body)));
        ASSERT_EQ(Decrypt("k", ReadFileBytes(dir_.File("enc"))), SLoki91Mime::Error::None);
        const std::string back = ReadFileBytes(dir_.File("dec"));
        EXPECT_EQ(back.substr(back.rfind("\r\n") + 2), body.substr(0, body.find('\0')));
    }
}

TEST_F(Loki91MailTest, WrongKeyAndBrokenBodiesFailWithoutOutput) {
    ASSERT_TRUE(Encrypt("right", Mail(Sjis("本当の本文です。\r\n") + TextOfLength(200))));
    const std::string good = ReadFileBytes(dir_.File("enc"));
    const std::size_t body = good.find("\r\n\r\n") + 4;
    struct Case {
        const char* what;
        std::string key;
        std::string mail;
        SLoki91Mime::Error error;
    } cases[] = {
        {"wrong key", "wrong", good, SLoki91Mime::Error::WrongKey},
        {"key one byte off", "righT", good, SLoki91Mime::Error::WrongKey},
        {"not base64", "right", good.substr(0, body) + "!!!!****\r\n" + good.substr(body), SLoki91Mime::Error::Data},
        {"cut inside a block", "right", good.substr(0, body + 20) + "\r\n", SLoki91Mime::Error::Data},
        {"no body", "right", good.substr(0, body), SLoki91Mime::Error::Empty},
        {"no empty line", "right", "X-Qim-Crypt-Version: 0.1\r\nSubject: x\r\n", SLoki91Mime::Error::Empty},
        {"binary garbage", "right", good.substr(0, body) + std::string("\0\xff\x80\x01", 4) + "\r\n",
         SLoki91Mime::Error::Data},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Decrypt(c.key, c.mail), c.error) << c.what;
        EXPECT_FALSE(FileExists(dir_.File("dec"))) << c.what;
        ExpectOnlyFiles({"enc", "mail"});
    }
    Key key("right");
    SLoki91Mime cipher(key.bytes, dir_.Path());
    EXPECT_FALSE(cipher.DecryptMail(dir_.File("missing").c_str(), dir_.File("dec").c_str()));
    EXPECT_EQ(cipher.LastError(), SLoki91Mime::Error::OpenInput);
    EXPECT_FALSE(cipher.EncryptMail(dir_.File("mail").c_str(), dir_.File("no/dir/out").c_str(), qimcrypt::ExtraHeader));
    EXPECT_EQ(cipher.LastError(), SLoki91Mime::Error::OpenOutput);
}

TEST(CryptMailHeader, RecognisesTheEncryptionFields) {
    qimtest::TempDir dir;
    struct Case {
        std::string header;
        bool valid;
        bool supported;
        int major, minor;
    } cases[] = {
        {"X-Qim-Crypt-Version: 0.1\r\n", true, true, 0, 1},
        {"x-qim-crypt-version:\t 0.1\r\nX-Qim-Crypt-Option: 1\r\n", true, true, 0, 1},
        {"X-Qim-Crypt-Version: 1.0\r\n", true, false, 1, 0},
        {"X-Qim-Crypt-Version: 0.1\r\nX-Qim-Crypt-Option: 2\r\n", true, false, 0, 1},
        {"X-Qim-Crypt-Version: 0.1\r\nX-Qim-Crypt-Option: -1\r\n", false, false, 0, 1},
        {"X-Qim-Crypt-Version: 0.0\r\n", false, false, 0, 0},
        {"X-Qim-Crypt-Version: 99999999999999999999.1\r\n", true, false, 999999999, 1},
        {"Subject: X-Qim-Crypt-Version: 0.1\r\n", false, false, 0, 0},
        {"Subject: a\r\n\r\nX-Qim-Crypt-Version: 0.1\r\n", false, false, 0, 0},
        {"Subject: " + std::string(2000, 'x') + "X-Qim-Crypt-Version: 0.1\r\nX-Qim-Crypt-Version: 0.1\r\n", true,
         true, 0, 1},
    };
    for (const Case& c : cases) {
        WriteFileBytes(dir.File("m"), "From: Name <a@b.example>\r\n" + c.header + "\r\nbody\r\n");
        SCryptMailHeader header;
        ASSERT_TRUE(header.Read(dir.File("m").c_str()));
        EXPECT_EQ(header.IsValid(), c.valid) << c.header.substr(0, 60);
        EXPECT_EQ(header.IsValid() && header.IsSupported(), c.supported) << c.header.substr(0, 60);
        EXPECT_EQ(header.major, c.major) << c.header.substr(0, 60);
        EXPECT_EQ(header.minor, c.minor) << c.header.substr(0, 60);
        EXPECT_EQ(header.from, "a@b.example");
    }
    SCryptMailHeader none;
    EXPECT_FALSE(none.Read(dir.File("missing").c_str()));
}

}  // namespace
