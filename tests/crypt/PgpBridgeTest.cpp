// The PGP bridge and the outside library against real GnuPG, in a keyring of
// the test's own (a throw-away GNUPGHOME with keys without passphrase; its
// gpg-agent is stopped at the end).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <string>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/STmpFilePath.h"
#include "crypt/PgpMailSteps.h"
#include "crypt/SUsePGP.h"
#include "platform/ScriptedDialogService.h"
#include "support/GpgKeyring.h"
#include "support/TestSupport.h"

using qimtest::ReadFileBytes;
using qimtest::RunCommand;
using qimtest::Sjis;
using qimtest::WriteFileBytes;

namespace {

const char* kAlice = "alice@example.com";  // has a key pair in the keyring
const char* kBob = "bob@example.com";      // has one too

class PgpBridgeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        keyring_ = new qimtest::GpgKeyring({kAlice, kBob});
        ASSERT_TRUE(keyring_->Ok()) << "no key for " << keyring_->Failed();
    }
    static void TearDownTestSuite() {
        delete keyring_;
        keyring_ = nullptr;
    }
    static std::string Gpg() { return keyring_->Gpg(); }

    void SetUp() override { ASSERT_TRUE(pgp_.Open(6, 0)) << "the library next to the test cannot be used"; }

    std::string File(const std::string& name) const { return dir_.File(name); }

    // A mail in the form the store keeps (CR LF line ends, Shift_JIS).
    std::string WriteMail(const std::string& name, const std::string& to, const std::string& body,
                          const std::string& extraHeader = std::string()) {
        std::string mail = "From: Alice <" + std::string(kAlice) + ">\r\nTo: " + to + "\r\nSubject: " +
                           Sjis("試験") + "\r\nMIME-Version: 1.0\r\n" + extraHeader +
                           "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" + body;
        WriteFileBytes(File(name), mail);
        return File(name);
    }

    static qimtest::GpgKeyring* keyring_;
    qimtest::TempDir dir_;
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService scoped_{dialogs_};
    SUsePGP pgp_;
};

qimtest::GpgKeyring* PgpBridgeTest::keyring_ = nullptr;

TEST_F(PgpBridgeTest, MailEncryptedByTheLibraryIsDecryptedByGpgAndBack) {
    const std::string body = Sjis("本文です。\r\n二行目。\r\n");
    const std::string mail = WriteMail("mail", std::string("Bob <") + kBob + ">", body);
    ASSERT_TRUE(pgp_.Perform(nullptr, SUsePGP::Encrypt, mail.c_str(), File("enc").c_str())) << pgp_.LastError();
    const std::string encrypted = ReadFileBytes(File("enc"));
    EXPECT_NE(encrypted.find("Subject: " + Sjis("試験") + "\r\n"), std::string::npos);
    EXPECT_EQ(encrypted.find(body), std::string::npos);
    EXPECT_TRUE(SUsePGP::HoldsPgpMessage(File("enc").c_str()));

    int status = -1;
    const std::string fromGpg = RunCommand(Gpg() + " --decrypt '" + File("enc") + "' 2>/dev/null", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(fromGpg.find(body), std::string::npos);

    std::string work = File("enc");
    STmpFilePath first(dir_.Path().c_str()), second(dir_.Path().c_str());
    ASSERT_TRUE(UndoPgpForView(pgp_, nullptr, work, first, second));
    const std::string back = ReadFileBytes(work);
    EXPECT_NE(back.find("\r\n\r\n" + body), std::string::npos);
    EXPECT_NE(back.find("Content-Type: text/plain; charset=ISO-2022-JP\r\n"), std::string::npos);
    EXPECT_EQ(back.find("BEGIN PGP"), std::string::npos);
    EXPECT_TRUE(dialogs_.Boxes().empty());
}

TEST_F(PgpBridgeTest, RecipientsComeFromToAndCc) {
    const std::string mail = WriteMail("mail", kBob, "hello\r\n", "Cc: nobody@example.com\r\n");
    EXPECT_FALSE(pgp_.Perform(nullptr, SUsePGP::Encrypt, mail.c_str(), File("enc").c_str()));
    EXPECT_EQ(pgp_.LastError(), PGPMSG_ERR_NO_RECIPIENT);
    EXPECT_FALSE(qimtest::FileExists(File("enc")));

    const std::string both = WriteMail("both", kBob, "hello\r\n", "Cc: Alice <" + std::string(kAlice) + ">\r\n");
    ASSERT_TRUE(pgp_.Perform(nullptr, SUsePGP::Encrypt, both.c_str(), File("enc").c_str()));
    int status = -1;
    const std::string packets = RunCommand(Gpg() + " --list-packets '" + File("enc") + "' 2>&1", &status);
    // One public-key packet per recipient.
    std::size_t keys = 0;
    for (std::size_t p = packets.find(":pubkey enc packet:"); p != std::string::npos;
         p = packets.find(":pubkey enc packet:", p + 1))
        ++keys;
    EXPECT_EQ(keys, 2u);
}

TEST_F(PgpBridgeTest, MailEncryptedByGpgIsDecryptedThroughTheBridge) {
    const std::string text = Sjis("秘密の本文\n");
    WriteFileBytes(File("plain"), text);
    int status = -1;
    RunCommand(Gpg() + " --armor --encrypt -r " + kAlice + " -o '" + File("armour") + "' '" + File("plain") + "' 2>&1",
               &status);
    ASSERT_EQ(status, 0);
    const std::string mail = WriteMail("mail", kAlice, ReadFileBytes(File("armour")));
    std::string work = mail;
    STmpFilePath first(dir_.Path().c_str()), second(dir_.Path().c_str());
    ASSERT_TRUE(UndoPgpForView(pgp_, nullptr, work, first, second));
    EXPECT_EQ(work, first.Path());
    const std::string back = ReadFileBytes(work);
    // The text in place of the armour, with the line ends of the mail file.
    EXPECT_NE(back.find("\r\n\r\n" + Sjis("秘密の本文\r\n")), std::string::npos);
    EXPECT_NE(back.find("To: " + std::string(kAlice) + "\r\n"), std::string::npos);
}

TEST_F(PgpBridgeTest, SignaturesMadeByGpgVerifyAndTamperedOnesFail) {
    const std::string verifyFailed = LoadQimString(qimstr::PgpVerifyFailed);
    ASSERT_EQ(verifyFailed, Sjis("照合できませんでした。"));
    WriteFileBytes(File("text"), "Pay 10 yen.\n");
    int status = -1;
    RunCommand(Gpg() + " --local-user " + kBob + " --clearsign -o '" + File("signed") + "' '" + File("text") + "' 2>&1",
               &status);
    ASSERT_EQ(status, 0);
    const std::string good = ReadFileBytes(File("signed"));
    std::string bad = good;
    bad.replace(bad.find("10 yen"), 6, "99 yen");
    WriteFileBytes(File("bad-signed"), bad);
    // A signed text inside an encrypted message: decryption works, verification is the second step.
    for (const char* name : {"signed", "bad-signed"})
        RunCommand(Gpg() + " --armor --encrypt -r " + kAlice + " -o '" + File(name) + ".asc' '" + File(name) + "'",
                   &status);

    struct Case {
        std::string body;
        bool verifies;
        std::string plainShown;
    } cases[] = {
        {good, true, "Pay 10 yen."},
        {bad, false, ""},
        {ReadFileBytes(File("signed.asc")), true, "Pay 10 yen."},
        {ReadFileBytes(File("bad-signed.asc")), false, ""},
    };
    for (const Case& c : cases) {
        dialogs_.Clear();
        const std::string mail = WriteMail("mail", kAlice, c.body);
        std::string work = mail;
        STmpFilePath first(dir_.Path().c_str()), second(dir_.Path().c_str());
        EXPECT_EQ(UndoPgpForView(pgp_, nullptr, work, first, second), c.verifies) << c.body;
        if (c.verifies) {
            EXPECT_TRUE(dialogs_.Boxes().empty());
            EXPECT_NE(ReadFileBytes(work).find(c.plainShown + "\r\n"), std::string::npos);
            EXPECT_EQ(ReadFileBytes(work).find("BEGIN PGP"), std::string::npos);
        } else {
            ASSERT_EQ(dialogs_.Boxes().size(), 1u);
            EXPECT_EQ(dialogs_.Boxes()[0].text, verifyFailed);
            EXPECT_EQ(dialogs_.Boxes()[0].icon, platform::MessageIcon::Exclamation);
        }
    }
}

TEST_F(PgpBridgeTest, SignedAndEncryptedByTheLibraryVerifyInGpg) {
    const std::string body = Sjis("署名付き\r\n");
    const std::string mail = WriteMail("mail", kBob, body);
    ASSERT_TRUE(pgp_.Perform(nullptr, SUsePGP::Sign, mail.c_str(), File("signed").c_str())) << pgp_.LastError();
    int status = -1;
    const std::string verify = RunCommand(Gpg() + " --status-fd 1 --verify '" + File("signed") + "' 2>/dev/null", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(verify.find("GOODSIG"), std::string::npos);
    EXPECT_NE(verify.find(kAlice), std::string::npos) << "signed with the key of From";

    ASSERT_TRUE(pgp_.Perform(nullptr, SUsePGP::EncryptSign, mail.c_str(), File("both").c_str())) << pgp_.LastError();
    const std::string decrypt = RunCommand(Gpg() + " --status-fd 2 --decrypt '" + File("both") + "' 2>&1", &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(decrypt.find("GOODSIG"), std::string::npos);
    EXPECT_NE(decrypt.find(body), std::string::npos);
}

TEST_F(PgpBridgeTest, AttachedPublicKeyImportsInGpg) {
    const std::string mail = WriteMail("mail", kBob, "my key\r\n");
    ASSERT_TRUE(pgp_.Perform(nullptr, SUsePGP::AttachKey, mail.c_str(), File("keyed").c_str())) << pgp_.LastError();
    const std::string keyed = ReadFileBytes(File("keyed"));
    EXPECT_TRUE(SUsePGP::HoldsPgpKey(File("keyed").c_str()));
    EXPECT_NE(keyed.find("Content-Type: multipart/mixed; boundary=\"QimKuGiRi-"), std::string::npos);
    EXPECT_NE(keyed.find("\r\n\r\nmy key\r\n"), std::string::npos);
    EXPECT_NE(keyed.find("Content-Type: application/pgp-keys\r\n"), std::string::npos);
    int status = -1;
    const std::string shown = RunCommand("gpg --batch --with-colons --import-options show-only --import '" +
                                             File("keyed") + "' 2>/dev/null",
                                         &status);
    EXPECT_EQ(status, 0);
    EXPECT_NE(shown.find("uid:"), std::string::npos);
}

// qimcmd::ExtractPgpKey: a key another user attached goes into the keyring; a mail
// without one is told so and changes nothing.
TEST_F(PgpBridgeTest, AttachedKeyOfAnotherUserIsImported) {
    const std::string other = File("other");
    ASSERT_EQ(mkdir(other.c_str(), 0700), 0);
    const std::string otherGpg = "gpg --homedir '" + other + "' --batch --yes --pinentry-mode loopback";
    int status = -1;
    RunCommand(otherGpg + " --passphrase '' --quick-gen-key carol@example.com future-default default never 2>&1",
               &status);
    ASSERT_EQ(status, 0);
    const std::string key = RunCommand(otherGpg + " --armor --export carol@example.com 2>/dev/null", &status);
    RunCommand("gpgconf --homedir '" + other + "' --kill all 2>&1");
    ASSERT_NE(key.find("-----BEGIN PGP PUBLIC KEY BLOCK-----"), std::string::npos);

    const std::string plain = WriteMail("plain", kBob, "no key here\r\n");
    EXPECT_FALSE(ImportAttachedPgpKeys(pgp_, nullptr, plain.c_str()));
    ASSERT_FALSE(dialogs_.Boxes().empty());
    EXPECT_EQ(dialogs_.Boxes().back().text, LoadQimString(qimstr::PgpNoAttachedKey));

    std::string crlf;
    for (char c : key) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::string keyed = WriteMail("keyed", kBob, "my key:\r\n" + crlf);
    EXPECT_TRUE(ImportAttachedPgpKeys(pgp_, nullptr, keyed.c_str())) << pgp_.LastError();
    EXPECT_EQ(dialogs_.Boxes().back().text, LoadQimString(qimstr::PgpKeyImported));
    RunCommand(Gpg() + " --list-keys carol@example.com >/dev/null 2>&1", &status);
    EXPECT_EQ(status, 0);
}

TEST_F(PgpBridgeTest, BrokenArmourAndMissingFilesFailWithoutOutput) {
    const std::string armour = "-----BEGIN PGP MESSAGE-----\r\n\r\nhQEMA5GarbageGarbage\r\n-----END PGP MESSAGE-----\r\n";
    const std::string mail = WriteMail("mail", kAlice, armour);
    std::string work = mail;
    STmpFilePath first(dir_.Path().c_str()), second(dir_.Path().c_str());
    EXPECT_FALSE(UndoPgpForView(pgp_, nullptr, work, first, second));
    EXPECT_EQ(work, mail);
    ASSERT_EQ(dialogs_.Boxes().size(), 1u);
    EXPECT_EQ(dialogs_.Boxes()[0].text, LoadQimString(qimstr::PgpDecryptFailed));

    EXPECT_FALSE(pgp_.Perform(nullptr, SUsePGP::DecryptVerify, File("none").c_str(), File("out").c_str()));
    EXPECT_EQ(pgp_.LastError(), PGPMSG_ERR_INPUT);
    const std::string plain = WriteMail("plain", kAlice, "no armour\r\n");
    EXPECT_FALSE(pgp_.Perform(nullptr, SUsePGP::DecryptVerify, plain.c_str(), File("out").c_str()));
    EXPECT_EQ(pgp_.LastError(), PGPMSG_ERR_NO_PGP_DATA);
    EXPECT_FALSE(pgp_.Perform(nullptr, 5, plain.c_str(), File("out").c_str()));
    EXPECT_EQ(pgp_.LastError(), PGPMSG_ERR_OPERATION);
    EXPECT_FALSE(pgp_.Perform(nullptr, -1, plain.c_str(), File("out").c_str()));
    EXPECT_EQ(pgp_.LastError(), PGPMSG_ERR_OPERATION);
    EXPECT_FALSE(qimtest::FileExists(File("out")));
}

TEST(PgpBridge, OtherVersionsAreRefusedWithABox) {
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scoped(dialogs);
    SUsePGP pgp;
    EXPECT_FALSE(pgp.Open(5, 0));
    EXPECT_FALSE(pgp.IsOpen());
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, "Illegal Version");
    EXPECT_EQ(dialogs.Boxes()[0].caption, "Qim");
    EXPECT_EQ(dialogs.Boxes()[0].icon, platform::MessageIcon::Stop);
    EXPECT_FALSE(pgp.Perform(nullptr, SUsePGP::Encrypt, "/a", "/b"));
    ASSERT_TRUE(pgp.Open(5, 50));
    EXPECT_TRUE(pgp.Open(5, 50));
    EXPECT_TRUE(pgp.Open(6, 0));
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
}

TEST(PgpBridge, LibraryRefusesAnotherInterfaceAndSaysItsVersion) {
    struct Case {
        const char* file;
        std::uint32_t version;
    } cases[] = {{"libpgpmsg60.so", 0x06004750u}, {"libpgpmsg55.so", 0x05324750u}};
    for (const Case& c : cases) {
        void* lib = dlopen((std::string(QIM_BIN_DIR) + "/" + c.file).c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
        ASSERT_NE(lib, nullptr) << dlerror();
        auto init = reinterpret_cast<PgpMsgInitFunction>(dlsym(lib, PGPMSG_INIT_NAME));
        auto perform = reinterpret_cast<PgpMsgPerformFunction>(dlsym(lib, PGPMSG_PERFORM_NAME));
        ASSERT_TRUE(init && perform && dlsym(lib, PGPMSG_EXIT_NAME));
        std::uint32_t word = 0x00030000;
        EXPECT_EQ(init(&word), PGPMSG_ERR_VERSION);
        EXPECT_EQ(word, c.version) << c.file;
        EXPECT_EQ(perform(nullptr), PGPMSG_ERR_NOT_READY);
        word = PGPMSG_INTERFACE_VERSION;
        ASSERT_EQ(init(&word), PGPMSG_OK);
        EXPECT_EQ(perform(nullptr), PGPMSG_ERR_REQUEST);
        PgpMsgRequest small{};
        small.size = 36;  // the 32-bit block's size cannot hold this platform's pointers
        small.operation = PGPMSG_OP_ENCRYPT;
        EXPECT_EQ(perform(&small), PGPMSG_ERR_REQUEST);
        dlclose(lib);
    }
}

TEST(PgpBridge, CallBackFillsTheSelectionDialogs) {
    struct Case {
        std::int32_t kind;
        std::uint32_t operation;
        const char* caption;
        const char* prompt;
    } cases[] = {
        {PGPMSG_CB_SELECT_PART, 0, "Select Part", "暗号化するパートを選択してください:"},
        {PGPMSG_CB_SELECT_PART, 2, "Select Part", "暗号化と署名を行うパートを選択してください:"},
        {PGPMSG_CB_SELECT_PART, 3, "Select Part", "復号化/署名の検証を行うパートを選択してください:"},
        {PGPMSG_CB_SELECT_KEY, 4, "Select Key", "添付する公開鍵を選択してください:"},
    };
    for (const Case& c : cases) {
        PgpMsgDialog dialog{};
        PgpMsgSelectData data{};
        data.operation = c.operation;
        data.dialog = &dialog;
        data.message = PGPMSG_DLG_INIT;
        EXPECT_EQ(SUsePGP::CallBack(c.kind, &data), 1);
        EXPECT_EQ(data.result, 1);
        EXPECT_STREQ(dialog.caption, c.caption);
        EXPECT_EQ(std::string(dialog.prompt), Sjis(c.prompt));
    }
    char boundary[PGPMSG_BOUNDARY_SIZE] = {};
    EXPECT_EQ(SUsePGP::CallBack(PGPMSG_CB_BOUNDARY, boundary), 1);
    EXPECT_EQ(std::string(boundary).rfind("QimKuGiRi-", 0), 0u);
    EXPECT_EQ(std::string(boundary).substr(std::string(boundary).size() - 5), "=_PGP");
    EXPECT_EQ(SUsePGP::CallBack(7, boundary), 0);
}

TEST(PgpBridge, ArmourIsFoundAtTheStartOfALineInAnyCase) {
    qimtest::TempDir dir;
    struct Case {
        std::string text;
        bool message;
        bool key;
    } cases[] = {
        {"Subject: x\r\n\r\n-----BEGIN PGP MESSAGE-----\r\n", true, false},
        {"-----begin pgp signed message-----\r\n", true, false},
        {"text\n-----BEGIN PGP SIGNATURE-----\n", true, false},
        {"quoted > -----BEGIN PGP MESSAGE-----\r\n", false, false},
        {"-----BEGIN PGP PUBLIC KEY BLOCK-----\r\n", false, true},
        {std::string(1500, 'x') + "-----BEGIN PGP MESSAGE-----\r\n", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        WriteFileBytes(dir.File("f"), c.text);
        EXPECT_EQ(SUsePGP::HoldsPgpMessage(dir.File("f").c_str()), c.message) << c.text.substr(0, 40);
        EXPECT_EQ(SUsePGP::HoldsPgpKey(dir.File("f").c_str()), c.key) << c.text.substr(0, 40);
    }
    EXPECT_FALSE(SUsePGP::HoldsPgpMessage(dir.File("missing").c_str()));
}

}  // namespace
