// The key file, its settings, the key dialogs' checks, the key-file editor and
// the mail encryption as the compose window and the viewer use it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/STmpFilePath.h"
#include "crypt/SKeyFile.h"
#include "crypt/SKeyFileEditor.h"
#include "crypt/SKeyFileSettings.h"
#include "crypt/SMailCrypt.h"
#include "crypt/SMailKeyChooser.h"
#include "platform/FileAttributes.h"
#include "platform/ScriptedDialogService.h"

using platform::MessageAnswer;
using platform::MessageIcon;
using qimtest::ReadFileBytes;
using qimtest::Sjis;
using qimtest::WriteFileBytes;

namespace {

SKeyRecord Record(const std::string& address, const std::string& key) {
    SKeyRecord r;
    r.SetAddress(address);
    MakeLokiKey(key, r.key);
    return r;
}

std::string KeyText(const unsigned char* key) { return std::string(reinterpret_cast<const char*>(key), 8); }

class KeyFileTest : public qimtest::QimHomeTest {
protected:
    std::string KeyFilePath() const { return home_ + "/KeyFileB.cip"; }
    // The texts of the boxes shown so far.
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& box : dialogs_.Boxes()) texts.push_back(box.text);
        return texts;
    }
    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService scoped_{dialogs_};
};

TEST_F(KeyFileTest, RecordsAreSealedWithTheirCheckByteAndReadBack) {
    const SKeyFile file;
    EXPECT_EQ(file.Path(), KeyFilePath());
    SKeyRecord second = Record(std::string(80, 'x'), "k2");  // the address keeps its first 72 bytes
    std::memcpy(second.key2, "memo\0\0\0\0", 8);
    const std::vector<SKeyRecord> records = {Record("a@example.jp", "abc"), second};
    const unsigned char* fileKey = BuiltInKeyFileKey();
    ASSERT_EQ(file.Write(fileKey, records), SKeyFileStatus::Ok);

    const std::string stored = ReadFileBytes(KeyFilePath());
    ASSERT_EQ(stored.size(), 2u * 89);
    // The first 88 bytes decrypt to key, second field and address; byte 89 is their sum.
    unsigned char plain[88];
    std::memcpy(plain, stored.data(), 88);
    const SLoki91 cipher(fileKey);
    for (int i = 0; i < 88; i += 8) cipher.DecryptBlock(plain + i);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(plain), 8), std::string("abc\0\0\0\0\0", 8));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(plain) + 16, 12), "a@example.jp");
    unsigned sum = 0;
    for (unsigned char b : plain) sum += b;
    EXPECT_EQ(static_cast<unsigned char>(stored[88]), sum & 0xFF);
    EXPECT_EQ(stored.find("example"), std::string::npos);

    const std::uint32_t attributes = platform::GetFileAttributes(KeyFilePath().c_str());
    EXPECT_TRUE(attributes & platform::FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(attributes & platform::FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(qimtest::FileMode(KeyFilePath()) & 077, 01u) << "only the hidden mark beyond the owner";

    std::vector<SKeyRecord> back;
    ASSERT_EQ(file.Read(fileKey, back), SKeyFileStatus::Ok);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].Address(), "a@example.jp");
    EXPECT_EQ(back[1].Address(), std::string(72, 'x'));
    EXPECT_EQ(KeyText(back[1].key2), std::string("memo\0\0\0\0", 8));
    // Written again over the read-only file.
    ASSERT_EQ(file.Write(fileKey, {records[0]}), SKeyFileStatus::Ok);
    EXPECT_EQ(ReadFileBytes(KeyFilePath()).size(), 89u);
}

TEST_F(KeyFileTest, DamagedFilesAndWrongKeysAreTold) {
    const SKeyFile file;
    const unsigned char* fileKey = BuiltInKeyFileKey();
    ASSERT_EQ(file.Write(fileKey, {Record("a@x", "1"), Record("b@x", "2"), Record("c@x", "3")}),
              SKeyFileStatus::Ok);
    const std::string good = ReadFileBytes(KeyFilePath());
    std::string flipped = good;
    flipped[89 + 20] ^= 0x40;
    unsigned char otherKey[8];
    MakeLokiKey("other", otherKey);
    struct Case {
        const char* what;
        std::string bytes;
        const unsigned char* key;
        SKeyFileStatus status;
        unsigned message;
    } cases[] = {
        {"wrong key", good, otherKey, SKeyFileStatus::WrongKey, cmmnstr::KeyFileKeyWrong},
        {"a flipped bit", flipped, fileKey, SKeyFileStatus::WrongKey, cmmnstr::KeyFileKeyWrong},
        {"last record cut short", good.substr(0, 89 * 2 + 50), fileKey, SKeyFileStatus::CannotRead,
         cmmnstr::CannotReadKeyFile},
        {"one byte", good.substr(0, 1), fileKey, SKeyFileStatus::CannotRead, cmmnstr::CannotReadKeyFile},
        {"empty", "", fileKey, SKeyFileStatus::Ok, 0},
    };
    for (const Case& c : cases) {
        platform::SetFileAttributes(KeyFilePath().c_str(), platform::FILE_ATTRIBUTE_NORMAL);
        WriteFileBytes(KeyFilePath(), c.bytes);
        std::vector<SKeyRecord> records{Record("stale", "x")};
        EXPECT_EQ(file.Read(c.key, records), c.status) << c.what;
        EXPECT_TRUE(records.empty()) << c.what;
        EXPECT_EQ(KeyFileMessageId(c.status), c.message) << c.what;
    }
    std::vector<SKeyRecord> records;
    EXPECT_EQ(SKeyFile(home_ + "/missing.cip").Read(fileKey, records), SKeyFileStatus::CannotOpen);
    EXPECT_EQ(LoadStringCmmnDll(KeyFileMessageId(SKeyFileStatus::CannotOpen)), Sjis("鍵管理ファイルを開くことが出来ません。"));
}

TEST_F(KeyFileTest, LookupComparesTheWholeAddressAndTakesTheFirstMatch) {
    const SKeyFile file;
    const unsigned char* fileKey = BuiltInKeyFileKey();
    ASSERT_EQ(file.Write(fileKey, {Record("a@x.jp", "first"), Record("a@x.jp.evil", "evil"), Record("a@x.jp", "second")}),
              SKeyFileStatus::Ok);
    SKeyRecord found;
    bool isThere = false;
    ASSERT_EQ(file.Find(fileKey, "a@x.jp", found, isThere), SKeyFileStatus::Ok);
    ASSERT_TRUE(isThere);
    EXPECT_EQ(KeyText(found.key), std::string("first\0\0\0", 8));
    ASSERT_EQ(file.Find(fileKey, "a@x", found, isThere), SKeyFileStatus::Ok);
    EXPECT_FALSE(isThere);
}

TEST_F(KeyFileTest, SettingsComeFromConfigIniElseQimIni) {
    struct Case {
        const char* configLock;
        const char* configExist;
        const char* qimLock;
        const char* qimExist;
        int lock;
        int exist;
    } cases[] = {
        {"1", "1", "2", "2", 1, 1},
        {"0", "0", "2", "1", 2, 1},   // CONFIG.INI has none: QIM.INI's
        {"", "", "2", "0", 2, 0},
        {"7", "1", "2", "2", 0, 1},   // out of range reads as 0
        {"x", "", "-1", "3", 0, 0},
    };
    for (const Case& c : cases) {
        Store(Config(), "CryptMail", "KeyFileLock", c.configLock);
        Store(Config(), "CryptMail", "KeyFileExist", c.configExist);
        Store(Ini(), "CryptMail", "KeyFileLock", c.qimLock);
        Store(Ini(), "CryptMail", "KeyFileExist", c.qimExist);
        SKeyFileSettings settings;
        settings.Read();
        EXPECT_EQ(settings.lock, c.lock) << c.configLock << "/" << c.qimLock;
        EXPECT_EQ(settings.exist, c.exist) << c.configExist << "/" << c.qimExist;
        EXPECT_EQ(settings.LooksUpKeys(), c.exist == 1);
    }
}

TEST_F(KeyFileTest, KeyOfTheKeyFileByLockMethod) {
    unsigned char key[8];
    ASSERT_EQ(GetKeyFileKey(nullptr, qimcrypt::LockPassword, "password-long", false, key), SKeyFileKeyResult::Ok);
    EXPECT_EQ(KeyText(key), "password");
    EXPECT_EQ(GetKeyFileKey(nullptr, qimcrypt::LockPassword, "", false, key), SKeyFileKeyResult::NoPassword);
    EXPECT_EQ(Texts(), std::vector<std::string>{Sjis("ログインパスワードの設定がされていません。")});

    dialogs_.Clear();
    for (const char* typed : {"one", "two", "key", "key"}) dialogs_.AnswerInput(std::string(typed));
    ASSERT_EQ(GetKeyFileKey(nullptr, qimcrypt::LockTyped, "", true, key), SKeyFileKeyResult::Ok);
    EXPECT_EQ(KeyText(key), std::string("key\0\0\0\0\0", 8));
    const std::vector<std::string> expected = {
        Sjis("鍵管理ファイルの鍵を入力して下さい。"), Sjis("鍵を再入力して下さい。"),
        Sjis("２回の入力の鍵が一致していません。再入力して下さい。"), Sjis("鍵管理ファイルの鍵を入力して下さい。"),
        Sjis("鍵を再入力して下さい。")};
    EXPECT_EQ(Texts(), expected);
    dialogs_.AnswerInput(std::nullopt);
    EXPECT_EQ(GetKeyFileKey(nullptr, qimcrypt::LockTyped, "", false, key), SKeyFileKeyResult::Cancelled);
}

TEST_F(KeyFileTest, EditorAddsReplacesRemovesAndSaves) {
    Store(Config(), "CryptMail", "KeyFileLock", "2");
    SKeyFileEditor editor("");
    ASSERT_TRUE(editor.Load(nullptr));
    EXPECT_TRUE(editor.Records().empty());
    // Missing entries are told and change nothing.
    EXPECT_FALSE(editor.Add(nullptr, "", "k", "k"));
    EXPECT_FALSE(editor.Add(nullptr, "a@x", "", ""));
    EXPECT_FALSE(editor.Add(nullptr, "a@x", "k", ""));
    EXPECT_FALSE(editor.Add(nullptr, "a@x", "k", "j"));
    EXPECT_EQ(Texts(), (std::vector<std::string>{Sjis("アドレスを入力して下さい。"), Sjis("鍵を入力して下さい。"),
                                                 Sjis("鍵を再入力して下さい。"),
                                                 Sjis("２回の入力の鍵が一致していません。再入力して下さい。")}));
    EXPECT_FALSE(editor.Changed());

    ASSERT_TRUE(editor.Add(nullptr, "a@x", "old", "old"));
    ASSERT_TRUE(editor.Add(nullptr, "b@x", "bkey", "bkey"));
    dialogs_.Clear();
    dialogs_.AnswerMessage(MessageAnswer::No);
    EXPECT_FALSE(editor.Add(nullptr, "a@x", "new", "new"));
    dialogs_.AnswerMessage(MessageAnswer::Yes);
    EXPECT_TRUE(editor.Add(nullptr, "a@x", "new", "new"));
    ASSERT_EQ(editor.Records().size(), 2u);
    EXPECT_EQ(KeyText(editor.Records()[0].key), std::string("new\0\0\0\0\0", 8));
    EXPECT_EQ(Texts()[0], Sjis("同じアドレスが既に登録されています。入れ替えますか？"));

    dialogs_.Clear();
    dialogs_.AnswerMessage(MessageAnswer::No);
    EXPECT_FALSE(editor.Remove(nullptr, 1));
    dialogs_.AnswerMessage(MessageAnswer::Yes);
    EXPECT_TRUE(editor.Remove(nullptr, 1));
    EXPECT_FALSE(editor.Remove(nullptr, 5));
    EXPECT_EQ(Texts()[0], "b@x" + Sjis(" の鍵登録を削除しますか？"));

    editor.SetLooksUpKeys(true);
    ASSERT_TRUE(editor.Save(nullptr));
    EXPECT_EQ(Stored(Config(), "CryptMail", "KeyFileExist"), "1");
    std::vector<SKeyRecord> saved;
    ASSERT_EQ(SKeyFile().Read(BuiltInKeyFileKey(), saved), SKeyFileStatus::Ok);
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_EQ(saved[0].Address(), "a@x");

    // A typed lock: the new key is asked twice; a reload with a wrong key is refused.
    SKeyFileEditor typed("");
    ASSERT_TRUE(typed.Load(nullptr));
    typed.SetLock(qimcrypt::LockTyped);
    dialogs_.Clear();
    dialogs_.AnswerInput(std::string("filekey"));
    dialogs_.AnswerInput(std::string("filekey"));
    ASSERT_TRUE(typed.Save(nullptr));
    SKeyFileEditor again("");
    dialogs_.Clear();
    dialogs_.AnswerInput(std::string("wrong"));
    EXPECT_FALSE(again.Load(nullptr));
    EXPECT_EQ(Texts().back(), Sjis("鍵管理ファイル鍵が間違っているか、鍵管理ファイルが壊れています。"));
    dialogs_.AnswerInput(std::string("filekey"));
    ASSERT_TRUE(again.Load(nullptr));
    EXPECT_EQ(again.Records().size(), 1u);
}

TEST_F(KeyFileTest, EditorCannotSaveIntoAFolderItCannotWrite) {
    SKeyFileEditor editor("", home_ + "/no/such/folder/KeyFileB.cip");
    Store(Config(), "CryptMail", "KeyFileLock", "2");
    ASSERT_TRUE(editor.Load(nullptr));
    ASSERT_TRUE(editor.Add(nullptr, "a@x", "k", "k"));
    EXPECT_FALSE(editor.Save(nullptr));
    EXPECT_EQ(Texts().back(), Sjis("鍵管理ファイルに書き込みが出来ません。"));
}

class MailCryptTest : public KeyFileTest {
protected:
    void SetUp() override {
        KeyFileTest::SetUp();
        context_.prompt = &prompt_;
        context_.tempDir = dir_.Path();
        WriteFileBytes(dir_.File("mail"), "From: Taro <taro@x.jp>\r\nTo: \"Hanako, H\" <hanako@x.jp>, jiro@x.jp\r\n"
                                          "Subject: s\r\n\r\n" + Sjis("本文です。\r\n"));
    }
    std::string Mail() const { return dir_.File("mail"); }
    SMailKeyEntry Typed(const std::string& key, const std::string& again = std::string()) {
        SMailKeyEntry e;
        e.key = key;
        e.keyAgain = again;
        return e;
    }
    SScriptedKeyPrompt prompt_;
    SCryptContext context_;
};

TEST_F(MailCryptTest, ComposedMailIsEncryptedAndTheViewerDecryptsItWithTheKeyFile) {
    prompt_.Add(Typed("abc", "abd"));  // the two entries differ: told, the dialog stays
    prompt_.Add(Typed("abc", "abc"));
    ASSERT_EQ(EncryptMailForSend(context_, "\"Hanako, H\" <hanako@x.jp>, jiro@x.jp", Mail().c_str(),
                                 dir_.File("enc").c_str()),
              SCryptResult::Ok);
    EXPECT_EQ(prompt_.Opened(), std::vector<std::string>{"hanako@x.jp"});
    EXPECT_EQ(Texts(), std::vector<std::string>{Sjis("２回の入力の鍵が一致していません。再入力して下さい。")});
    EXPECT_TRUE(IsEncryptedMail(dir_.File("enc").c_str()));

    // The receiver keeps the sender's key in the key file and looks it up.
    Store(Config(), "CryptMail", "KeyFileLock", "2");
    Store(Config(), "CryptMail", "KeyFileExist", "1");
    ASSERT_EQ(SKeyFile().Write(BuiltInKeyFileKey(), {Record("taro@x.jp", "abc")}), SKeyFileStatus::Ok);
    SScriptedKeyPrompt viewer;
    SMailKeyEntry fromFile;
    fromFile.address = "taro@x.jp";
    fromFile.fromKeyFile = true;
    viewer.Add(fromFile);
    context_.prompt = &viewer;
    std::string work = dir_.File("enc");
    STmpFilePath output(dir_.Path().c_str());
    bool wasEncrypted = false;
    ASSERT_TRUE(UndoOwnEncryptionForView(context_, work, output, wasEncrypted));
    EXPECT_TRUE(wasEncrypted);
    EXPECT_EQ(viewer.Opened(), std::vector<std::string>{"taro@x.jp"});
    const std::string shown = ReadFileBytes(work);
    EXPECT_NE(shown.find("\r\n\r\n" + Sjis("本文です。\r\n")), std::string::npos);

    // A mail without the field passes unchanged.
    std::string plain = Mail();
    ASSERT_TRUE(UndoOwnEncryptionForView(context_, plain, output, wasEncrypted));
    EXPECT_FALSE(wasEncrypted);
    EXPECT_EQ(plain, Mail());
}

TEST_F(MailCryptTest, AddressWithoutAKeyInTheFileHasItsKeyTyped) {
    Store(Config(), "CryptMail", "KeyFileLock", "2");
    Store(Config(), "CryptMail", "KeyFileExist", "1");
    ASSERT_EQ(SKeyFile().Write(BuiltInKeyFileKey(), {Record("other@x.jp", "zzz")}), SKeyFileStatus::Ok);
    SKeyFileSettings settings;
    settings.Read();
    SMailKeyChooser chooser(SMailKeyChooser::Mode::Decrypt, settings, "");
    SMailKeyEntry entry;
    entry.address = "taro@x.jp";
    entry.fromKeyFile = true;
    unsigned char key[8];
    EXPECT_EQ(chooser.Accept(nullptr, entry, key), SMailKeyChooser::Outcome::TypeKey);
    EXPECT_EQ(Texts().back(), Sjis("メールの鍵を入力して下さい。"));
    entry.fromKeyFile = false;
    entry.key = "typed";
    ASSERT_EQ(chooser.Accept(nullptr, entry, key), SMailKeyChooser::Outcome::Ok);
    EXPECT_EQ(KeyText(key), std::string("typed\0\0\0", 8));
    // A damaged key file fails the dialog after saying why.
    platform::SetFileAttributes(KeyFilePath().c_str(), platform::FILE_ATTRIBUTE_NORMAL);
    WriteFileBytes(KeyFilePath(), std::string(50, 'x'));
    entry.fromKeyFile = true;
    EXPECT_EQ(chooser.Accept(nullptr, entry, key), SMailKeyChooser::Outcome::Failed);
    EXPECT_EQ(Texts().back(), Sjis("鍵管理ファイルが読み込めません。"));
}

TEST_F(MailCryptTest, RefusalsCancelsAndWrongKeysAreShown) {
    // Version 1.0 is recognised but not read.
    WriteFileBytes(dir_.File("v10"), "From: a@x\r\nX-Qim-Crypt-Version: 1.0\r\n\r\nAAAA\r\n");
    EXPECT_TRUE(IsEncryptedMail(dir_.File("v10").c_str()));
    EXPECT_EQ(DecryptMailForView(context_, dir_.File("v10").c_str(), dir_.File("out").c_str()), SCryptResult::Failed);
    EXPECT_EQ(Texts(), std::vector<std::string>{Sjis("ヴァージョンが合いません。")});
    EXPECT_TRUE(prompt_.Opened().empty());

    // Cancel while encrypting: "中止します。", no output.
    dialogs_.Clear();
    EXPECT_EQ(EncryptMailForSend(context_, "", Mail().c_str(), dir_.File("enc").c_str()), SCryptResult::Cancelled);
    EXPECT_EQ(Texts(), std::vector<std::string>{LoadQimString(qimstr::Aborting)});
    EXPECT_EQ(prompt_.Opened(), std::vector<std::string>{""});
    EXPECT_FALSE(qimtest::FileExists(dir_.File("enc")));

    // A wrong key when reading: "平文化に失敗しました｡", then the viewer's "中止します。".
    prompt_.Add(Typed("right", "right"));
    ASSERT_EQ(EncryptMailForSend(context_, "h@x", Mail().c_str(), dir_.File("enc").c_str()), SCryptResult::Ok);
    dialogs_.Clear();
    prompt_.Add(Typed("wrong-key"));
    std::string work = dir_.File("enc");
    STmpFilePath output(dir_.Path().c_str());
    bool wasEncrypted = false;
    EXPECT_FALSE(UndoOwnEncryptionForView(context_, work, output, wasEncrypted));
    EXPECT_EQ(work, dir_.File("enc"));
    EXPECT_EQ(Texts(), (std::vector<std::string>{Sjis("平文化に失敗しました｡"), LoadQimString(qimstr::Aborting)}));
}

}  // namespace
