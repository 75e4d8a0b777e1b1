// Display preparation of stored mails (plain, MIME, own encryption, PGP made
// by real gpg), taking attachments out with and without questions, names
// from hostile mails, and uudecode.
#include <gtest/gtest.h>

#include <dirent.h>

#include <set>
#include <string>
#include <vector>

#include "app/AppTestSupport.h"
#include "config/QimGlobals.h"
#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "crypt/MailFileNames.h"
#include "crypt/SMailCrypt.h"
#include "crypt/SMailKeyChooser.h"
#include "crypt/SUudecode.h"
#include "crypt/SViewMailData.h"
#include "crypt/SViewQuoteRule.h"
#include "platform/FileAttributes.h"
#include "platform/FileSystem.h"
#include "platform/ScriptedDialogService.h"
#include "support/GpgKeyring.h"
#include "support/TestSupport.h"

using platform::MessageAnswer;
using platform::RecordedBox;
using qimtest::FileExists;
using qimtest::ReadFileBytes;
using qimtest::Sjis;
using qimtest::WriteFileBytes;

namespace {

// Every name in a folder.
std::set<std::string> Names(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") names.insert(e->d_name);
        closedir(d);
    }
    return names;
}

const char* kHeader = "From: Taro <taro@x.jp>\r\nTo: hanako@x.jp\r\nSubject: test\r\nMIME-Version: 1.0\r\n";

// A multipart mail: a Japanese text part and the given attachments (name, type, base64 body).
struct Attachment {
    std::string name;
    std::string type;
    std::string base64;
};
std::string Multipart(const std::string& text, const std::vector<Attachment>& attachments) {
    std::string mail = std::string(kHeader) + "Content-Type: multipart/mixed; boundary=\"BB\"\r\n\r\n"
                       "--BB\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" + text;
    for (const Attachment& a : attachments) {
        mail += "--BB\r\nContent-Type: " + a.type;
        if (!a.name.empty()) mail += "; name=\"" + a.name + "\"";
        mail += "\r\nContent-Transfer-Encoding: base64\r\n\r\n" + a.base64 + "\r\n";
    }
    return mail + "--BB--\r\n";
}

// Base64 of the bytes 00 01 02 03 04 05 FF.
const char* kBinary64 = "AAECAwQF/w==";
const std::string kBinary("\x00\x01\x02\x03\x04\x05\xff", 7);

class ViewMailDataTest : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        tmp_ = dir_.File("tmp");
        dest_ = dir_.File("dest");
        platform::CreateDirectory(tmp_.c_str());
        platform::CreateDirectory(dest_.c_str());
        data_.SetTempDir(tmp_);
    }
    std::string Mail(const std::string& text, const std::string& name = "1") {
        WriteFileBytes(home_ + "/" + name, text);
        return home_ + "/" + name;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const RecordedBox& box : dialogs_.Boxes())
            if (box.kind == RecordedBox::Kind::Message) texts.push_back(box.text);
        return texts;
    }

    // The attachment dialog, answered as a test says.
    class Prompt : public SAttachmentPrompt {
    public:
        bool Choose(platform::ParentWindow, const std::string& text, std::string& destination,
                    bool& saveAll) override {
            shown = text;
            offered = destination;
            if (!answer) return false;
            destination = folder;
            saveAll = all;
            return true;
        }
        bool answer = true;
        bool all = false;
        std::string folder;
        std::string shown;
        std::string offered;
    };

    platform::ScriptedDialogService dialogs_;
    platform::ScopedDialogService scoped_{dialogs_};
    SViewMailData data_;
    std::string tmp_;
    std::string dest_;
};

TEST_F(ViewMailDataTest, DisplayCopyIsMadeOnlyWhenTheMailNeedsOne) {
    struct Case {
        const char* what;
        std::string mail;
        bool copy;             // a display copy instead of the mail itself
        bool attachments;
        std::string shown;     // found in the display file
        std::string notShown;  // not found there
    } cases[] = {
        {"plain", std::string(kHeader) + "\r\n" + Sjis("本文です。\r\n"), false, false, Sjis("本文です。\r\n"), ""},
        {"multipart", Multipart(Sjis("本文\r\n"), {{"data.bin", "application/octet-stream", kBinary64}}), true, true,
         LoadStringCmmnDll(cmmnstr::AttachmentOmitted) + "\r\n", kBinary64},
        {"base64 text",
         std::string(kHeader) + "Content-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                                "GyRCRnxLXDhsJE5LXEo4JEckOSEjGyhCDQobJEJGczlUTFwbKEINCg==\r\n",
         true, false, Sjis("日本語の本文です。\r\n二行目\r\n"), "GyRC"},
        {"quoted-printable text",
         std::string(kHeader) + "Content-Type: text/plain; charset=US-ASCII\r\n"
                                "Content-Transfer-Encoding: quoted-printable\r\n\r\na=3Db soft=\r\nbreak\r\n",
         true, false, "a=b softbreak\r\n", "=3D"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string mail = Mail(c.mail);
        EXPECT_TRUE(data_.Prepare(mail, 1, home_));
        EXPECT_TRUE(data_.Prepared());
        EXPECT_EQ(data_.HasAttachments(), c.attachments);
        EXPECT_FALSE(data_.WasEncrypted());
        EXPECT_EQ(data_.Number(), 1);
        if (c.copy) {
            EXPECT_NE(data_.DisplayPath(), mail);
            EXPECT_EQ(data_.DisplayPath().rfind(tmp_, 0), 0u) << "temporary files stay in their folder";
        } else {
            EXPECT_EQ(data_.DisplayPath(), mail);
            EXPECT_TRUE(Names(tmp_).empty()) << "no temporary file for a plain mail";
        }
        const std::string shown = ReadFileBytes(data_.DisplayPath());
        EXPECT_NE(shown.find(c.shown), std::string::npos) << shown;
        if (!c.notShown.empty()) {
            EXPECT_EQ(shown.find(c.notShown), std::string::npos) << shown;
        }
        EXPECT_NE(shown.find("Subject: test\r\n"), std::string::npos);
        EXPECT_EQ(ReadFileBytes(mail), c.mail) << "the stored mail is never changed";
    }
    // The next mail and the end of the object let the temporary files go.
    data_.Release();
    EXPECT_TRUE(Names(tmp_).empty());
    EXPECT_TRUE(Texts().empty());
}

TEST_F(ViewMailDataTest, OwnEncryptionIsUndoneBeforeTheMimeAnalysis) {
    SScriptedKeyPrompt prompt;
    SMailKeyEntry typed;
    typed.key = typed.keyAgain = "secret";
    prompt.Add(typed);
    SCryptContext context;
    context.prompt = &prompt;
    context.tempDir = tmp_;
    const std::string plain =
        Mail(Multipart(Sjis("暗号の本文\r\n"), {{"data.bin", "application/octet-stream", kBinary64}}), "plain");
    ASSERT_EQ(EncryptMailForSend(context, "hanako@x.jp", plain.c_str(), (home_ + "/2").c_str()), SCryptResult::Ok);
    ASSERT_EQ(ReadFileBytes(home_ + "/2").find(Sjis("暗号の本文")), std::string::npos);

    SScriptedKeyPrompt viewer;
    SMailKeyEntry again;
    again.key = "secret";
    viewer.Add(again);
    context.prompt = &viewer;
    data_.SetCryptContext(context);
    ASSERT_TRUE(data_.Prepare(home_ + "/2", 2, home_));
    EXPECT_TRUE(data_.WasEncrypted());
    EXPECT_TRUE(data_.HasAttachments());
    EXPECT_NE(ReadFileBytes(data_.DisplayPath()).find(Sjis("暗号の本文\r\n")), std::string::npos);

    // Attachments come out of the decrypted text.
    Prompt choose;
    choose.all = true;
    choose.folder = dest_;
    EXPECT_EQ(data_.TakeOutAttachments(choose), 1);
    EXPECT_EQ(ReadFileBytes(dest_ + "/data.bin"), kBinary);

    // The user cancels the key dialog: the mail is shown as it is stored.
    dialogs_.Clear();
    SScriptedKeyPrompt cancel;
    context.prompt = &cancel;
    data_.SetCryptContext(context);
    EXPECT_FALSE(data_.Prepare(home_ + "/2", 2, home_));
    EXPECT_FALSE(data_.Prepared());
    EXPECT_EQ(data_.DisplayPath(), home_ + "/2");
    EXPECT_EQ(Texts(), std::vector<std::string>{LoadQimString(qimstr::Aborting)});
}

TEST_F(ViewMailDataTest, AttachmentsAreSavedAfterQuestionsOrAllAtOnce) {
    const std::string mail = Mail(Multipart(Sjis("本文\r\n"), {{"a.bin", "application/octet-stream", kBinary64},
                                                                {"", "image/gif", "R0lGODlh"},
                                                                {"b.bin", "application/octet-stream", kBinary64}}));
    ASSERT_TRUE(data_.Prepare(mail));
    ASSERT_TRUE(data_.HasAttachments());

    // Asking: Yes and a path for the first, No for the second, Yes and cancel for the third.
    Prompt ask;
    ask.folder = dest_;
    dialogs_.AnswerMessage(MessageAnswer::Yes);
    dialogs_.AnswerFile({dest_ + "/chosen.bin"});
    dialogs_.AnswerMessage(MessageAnswer::No);
    dialogs_.AnswerMessage(MessageAnswer::Yes);
    dialogs_.AnswerFile({});
    EXPECT_EQ(data_.TakeOutAttachments(ask), 1);
    EXPECT_EQ(ask.shown, Sjis("このメールには 3 個のファイルが添付されています。"));
    EXPECT_EQ(ask.offered, home_) << "the home directory while no folder is chosen";
    EXPECT_EQ(ReadFileBytes(dest_ + "/chosen.bin"), kBinary);
    EXPECT_EQ(Names(dest_), std::set<std::string>{"chosen.bin"});
    std::vector<RecordedBox> files;
    for (const RecordedBox& box : dialogs_.Boxes())
        if (box.kind == RecordedBox::Kind::File) files.push_back(box);
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].file.fileName, dest_ + "/a.bin");
    EXPECT_TRUE(files[0].file.overwritePrompt) << "the save dialog asks before it replaces a file";
    ASSERT_GE(dialogs_.Boxes().size(), 3u);
    EXPECT_EQ(dialogs_.Boxes()[0].kind, RecordedBox::Kind::Beep);
    EXPECT_EQ(dialogs_.Boxes()[0].beep, platform::BeepKind::Question);
    EXPECT_EQ(Texts()[0], Sjis("添付ファイル(a.bin)を取り出しますか？"));
    EXPECT_EQ(Texts()[1], Sjis("添付ファイルはGIF形式の画像データ(ファイル名不明)のようです。\n取り出しますか？"));
    EXPECT_EQ(dialogs_.Unanswered(), 0);

    // Save-all: named parts go without a question, the unnamed one is asked about.
    dialogs_.Clear();
    Prompt all;
    all.all = true;
    all.folder = dest_;
    dialogs_.AnswerMessage(MessageAnswer::No);
    EXPECT_EQ(data_.TakeOutAttachments(all), 2);
    EXPECT_EQ(ReadFileBytes(dest_ + "/a.bin"), kBinary);
    EXPECT_EQ(ReadFileBytes(dest_ + "/b.bin"), kBinary);
    ASSERT_EQ(Texts().size(), 2u);
    EXPECT_EQ(Texts()[0], Sjis("添付ファイルはGIF形式の画像データ(ファイル名不明)のようです。\n取り出しますか？"));
    EXPECT_EQ(Texts()[1], Sjis(qimtest::Utf8(dest_) + " に 2 個のファイルを保存しました。"));

    // Cancelled dialog: nothing happens.
    dialogs_.Clear();
    Prompt cancel;
    cancel.answer = false;
    EXPECT_EQ(data_.TakeOutAttachments(cancel), 0);
    EXPECT_EQ(Texts().size(), 0u);
}

TEST_F(ViewMailDataTest, SaveAllNeverReplacesAFileUnasked) {
    const std::string mail =
        Mail(Multipart(Sjis("本文\r\n"), {{"keep.txt", "application/octet-stream", kBinary64},
                                          {"swap.txt", "application/octet-stream", kBinary64}}));
    WriteFileBytes(dest_ + "/keep.txt", "mine");
    WriteFileBytes(dest_ + "/swap.txt", "mine too");
    ASSERT_TRUE(data_.Prepare(mail));
    Prompt all;
    all.all = true;
    all.folder = dest_;
    dialogs_.AnswerMessage(MessageAnswer::No);   // keep.txt stays
    dialogs_.AnswerMessage(MessageAnswer::Yes);  // swap.txt is replaced
    EXPECT_EQ(data_.TakeOutAttachments(all), 1);
    EXPECT_EQ(ReadFileBytes(dest_ + "/keep.txt"), "mine");
    EXPECT_EQ(ReadFileBytes(dest_ + "/swap.txt"), kBinary);
    const std::vector<std::string> texts = Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], Sjis(qimtest::Utf8(dest_) + "/keep.txt は既にあります。上書きしますか？"));
    EXPECT_EQ(dialogs_.Boxes()[1].defaultButton, 1) << "No is the default";
    EXPECT_EQ(texts[2], Sjis(qimtest::Utf8(dest_) + " に 1 個のファイルを保存しました。"));
}

TEST_F(ViewMailDataTest, HostileAttachmentNamesStayInTheDestination) {
    struct Case {
        std::string name;
        std::string saved;
    } cases[] = {
        {"../../x", "x"},
        {"/etc/passwd", "passwd"},
        {"..\\..\\win.ini", "win.ini"},
        {".hidden", "hidden"},
        {"...", "attachment.dat"},
        {"a\x01" "b\x1b[2Jc", "ab[2Jc"},
        {"what?*.txt", "what__.txt"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        dialogs_.Clear();
        std::string mailText = Multipart(Sjis("本文\r\n"), {{"", "application/octet-stream", kBinary64}});
        // The name as a header parameter, raw (control characters and all).
        mailText.replace(mailText.find("application/octet-stream"), 24,
                         "application/octet-stream; name=\"" + c.name + "\"");
        ASSERT_TRUE(data_.Prepare(Mail(mailText)));
        Prompt all;
        all.all = true;
        all.folder = dest_;
        EXPECT_EQ(data_.TakeOutAttachments(all), 1);
        EXPECT_EQ(Names(dest_), std::set<std::string>{c.saved});
        EXPECT_EQ(ReadFileBytes(dest_ + "/" + c.saved), kBinary);
        EXPECT_EQ(Names(dir_.Path()), (std::set<std::string>{"QimHome", "dest", "tmp"})) << "nothing written beside";
        platform::RemoveFile((dest_ + "/" + c.saved).c_str());
    }
}

TEST_F(ViewMailDataTest, RestoringVariantReplacesFilesInTheHomeAndKeepsTheirAttributes) {
    const std::string mail = Mail(Multipart(Sjis("本文\r\n"), {{"CONFIG.INI", "application/octet-stream", kBinary64},
                                                                {"../../escape", "application/octet-stream", kBinary64},
                                                                {"", "application/octet-stream", kBinary64}}),
                                  "restore");
    WriteFileBytes(home_ + "/CONFIG.INI", "old");
    ASSERT_TRUE(platform::SetFileAttributes((home_ + "/CONFIG.INI").c_str(),
                                            platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN));
    SRestoreAttachMimeMail restore(nullptr, mail.c_str());
    ASSERT_TRUE(restore.AnalizeMimeMail());
    EXPECT_TRUE(restore.TakeBinaryFile(false));
    EXPECT_EQ(restore.Saved(), 2);
    EXPECT_EQ(ReadFileBytes(home_ + "/CONFIG.INI"), kBinary);
    EXPECT_EQ(platform::GetFileAttributes((home_ + "/CONFIG.INI").c_str()) &
                  (platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN),
              platform::FILE_ATTRIBUTE_READONLY | platform::FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ReadFileBytes(home_ + "/escape"), kBinary) << "the name stays inside the home directory";
    EXPECT_EQ(Names(dir_.Path()), (std::set<std::string>{"QimHome", "dest", "tmp"}));
    EXPECT_TRUE(Texts().empty()) << "no questions";

    // A mail without attachments offers nothing to take out.
    Prompt never;
    ASSERT_TRUE(data_.Prepare(Mail(std::string(kHeader) + "\r\nplain\r\n")));
    EXPECT_EQ(data_.TakeOutAttachments(never), 0);
    EXPECT_TRUE(never.shown.empty());
    EXPECT_TRUE(dialogs_.Boxes().empty());
}

TEST(MailFileNames, AreReducedToAPlainName) {
    struct Case {
        std::string in;
        std::string out;
    } cases[] = {
        {"report.pdf", "report.pdf"},
        {"../../x", "x"},
        {"/etc/passwd", "passwd"},
        {"dir\\sub\\name.txt", "name.txt"},
        {".hidden", "hidden"},
        {"..", "attachment.dat"},
        {"", "attachment.dat"},
        {"  . name ", "name"},
        {"tab\there\r\n", "tabhere"},
        {std::string("nul\0after", 9), "nul"},
        {"a:b|c<d>\"e", "a_b_c_d__e"},
        // 表 ends in 0x5C and ソ in 0x5C: no separators.
        {Sjis("表ソ.txt"), Sjis("表ソ.txt")},
        {Sjis("資料/表.txt"), Sjis("表.txt")},
        // A first byte without its second one is dropped.
        {std::string("ab\x82"), "ab"},
        {std::string("a\x82\x0a" "b"), "ab"},
        {std::string(300, 'n'), std::string(kMaxMailFileName, 'n')},
    };
    for (const Case& c : cases) EXPECT_EQ(PlainFileNameFromMail(c.in), c.out) << c.in;
    EXPECT_EQ(PlainFileNameFromMail("/", "fallback"), "fallback");
}

TEST(AttachmentQuestions, DescribeThePartByItsType) {
    auto part = [](int type, int subtype, const char* name = "f") {
        SMimePart p;
        p.type = type;
        p.subtype = subtype;
        p.name = name;
        return p;
    };
    struct Case {
        SMimePart part;
        const char* question;
    } cases[] = {
        {part(kMimeTypeApplication, kMimeSubtypePgpEncrypted), "添付ファイル(f)を取り出しますか？PGPｺﾝﾄﾛｰﾙ情報のようです。"},
        {part(kMimeTypeApplication, kMimeSubtypePgpSignature), "添付ファイル(f)を取り出しますか？PGP署名データのようです。"},
        {part(kMimeTypeApplication, kMimeSubtypePgpKeys), "添付ファイル(f)を取り出しますか？PGP鍵のようです。"},
        {part(kMimeTypeApplication, kMimeSubtypeOctetStream), "添付ファイル(f)を取り出しますか？"},
        {part(kMimeTypeApplication, kMimeSubtypeOther), "添付ファイル(f)を取り出しますか？ただし、私の知らないサブタイプです。"},
        {part(kMimeTypeAudio, kMimeSubtypeBasic), "添付ファイルはAudioデータ(f)のようです。\n取り出しますか？"},
        {part(kMimeTypeImage, kMimeSubtypeJpeg), "添付ファイルはJPEG形式の画像データ(f)のようです。\n取り出しますか？"},
        {part(kMimeTypeImage, kMimeSubtypeXBmp), "添付ファイルはBMP形式の画像データ(f)のようです。\n取り出しますか？"},
        {part(kMimeTypeImage, kMimeSubtypeOther), "添付ファイルは画像データ(f)のようです。\n取り出しますか？"},
        {part(kMimeTypeVideo, kMimeSubtypeMpeg), "添付ファイルはMPEG形式のVideoデータ(f)のようです。\n取り出しますか？"},
        {part(kMimeTypeVideo, kMimeSubtypeOther), "添付ファイルはVideoデータ(f)のようです。\n取り出しますか？"},
        {part(kMimeTypeText, kMimeSubtypePlain), "添付ファイルはテキストデータ(f)のようです。\n取り出しますか？"},
        {part(kMimeTypeText, kMimeSubtypeOther), "添付ファイル(f)を取り出しますか？ただし、私の知らないタイプです。"},
        {part(kMimeTypeOther, kMimeSubtypeOther, ""), "添付ファイル(ファイル名不明)を取り出しますか？ただし、私の知らないタイプです。"},
        // A name with % in it is shown as it is.
        {part(kMimeTypeApplication, kMimeSubtypeOctetStream, "100%s.bin"), "添付ファイル(100%s.bin)を取り出しますか？"},
    };
    for (const Case& c : cases) EXPECT_EQ(SSaveAttachMimeMail::QuestionFor(c.part), Sjis(c.question)) << c.question;
}

// Uudecode of the stored mail.
class UudecodeTest : public ViewMailDataTest {
protected:
    // "hello\n" and the bytes 00 01 02 FF.
    static constexpr const char* kHello = "begin 644 hello.txt\r\n&:&5L;&\\*\r\n`\r\nend\r\n";
    static constexpr const char* kBytes = "begin 600 bytes.bin\r\n$``$\"_P``\r\n`\r\nend\r\n";
    std::vector<RecordedBox> FileBoxes() const {
        std::vector<RecordedBox> files;
        for (const RecordedBox& box : dialogs_.Boxes())
            if (box.kind == RecordedBox::Kind::File) files.push_back(box);
        return files;
    }
};

TEST_F(UudecodeTest, TwoBlocksGiveTwoDialogsAndTheCount) {
    const std::string mail = Mail(std::string(kHeader) + "\r\ntext\r\n" + kHello + "between\r\n" + kBytes);
    ASSERT_TRUE(data_.Prepare(mail));
    dialogs_.AnswerFile({dest_ + "/h.txt"});
    dialogs_.AnswerFile({dest_ + "/b.bin"});
    EXPECT_EQ(data_.Uudecode(), 2);
    EXPECT_EQ(ReadFileBytes(dest_ + "/h.txt"), "hello\n");
    EXPECT_EQ(ReadFileBytes(dest_ + "/b.bin"), std::string("\x00\x01\x02\xff", 4));
    ASSERT_EQ(FileBoxes().size(), 2u);
    EXPECT_EQ(FileBoxes()[0].file.fileName, home_ + "/hello.txt");
    EXPECT_EQ(FileBoxes()[1].file.fileName, home_ + "/bytes.bin");
    EXPECT_EQ(Texts(), std::vector<std::string>{Sjis("2 個のファイルを保存しました。")});

    // Cancelling the first dialog skips only that block.
    dialogs_.Clear();
    dialogs_.AnswerFile({});
    dialogs_.AnswerFile({dest_ + "/b2.bin"});
    EXPECT_EQ(data_.Uudecode(), 1);
    EXPECT_EQ(ReadFileBytes(dest_ + "/b2.bin"), std::string("\x00\x01\x02\xff", 4));
    EXPECT_EQ(Texts(), std::vector<std::string>{Sjis("1 個のファイルを保存しました。")});
}

TEST_F(UudecodeTest, BrokenBlocksAreReportedAndLeaveNoFile) {
    struct Case {
        const char* what;
        std::string body;
        std::string message;
        int dialogs;
    } cases[] = {
        {"no begin", "just text\r\n", LoadQimString(qimstr::UuNoEncodedText), 0},
        {"four-digit mode", "begin 0644 x.txt\r\n&:&5L;&\\*\r\n`\r\nend\r\n", LoadQimString(qimstr::UuNoEncodedText), 0},
        {"no name", "begin 644\r\n", LoadQimString(qimstr::UuNoEncodedText), 0},
        {"character outside 32-96", "begin 644 x.txt\r\n&:&5L;&\\~\r\n`\r\nend\r\n", LoadQimString(qimstr::SomethingStrange), 1},
        {"short line", "begin 644 x.txt\r\nM:&5L\r\n`\r\nend\r\n", LoadQimString(qimstr::SomethingStrange), 1},
        {"no end", "begin 644 x.txt\r\n&:&5L;&\\*\r\n`\r\nthe end\r\n", LoadQimString(qimstr::UuNoEnd), 1},
        {"file ends", "begin 644 x.txt\r\n&:&5L;&\\*\r\n", LoadQimString(qimstr::UuNoEnd), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs_.Clear();
        ASSERT_TRUE(data_.Prepare(Mail(std::string(kHeader) + "\r\n" + c.body)));
        if (c.dialogs) dialogs_.AnswerFile({dest_ + "/out"});
        EXPECT_EQ(data_.Uudecode(), 0);
        EXPECT_EQ(static_cast<int>(FileBoxes().size()), c.dialogs);
        EXPECT_EQ(Texts(), std::vector<std::string>{c.message});
        EXPECT_TRUE(Names(dest_).empty()) << "a half-decoded file is removed";
    }
    // A mail that has gone.
    dialogs_.Clear();
    ASSERT_TRUE(data_.Prepare(Mail("x")));
    platform::RemoveFile((home_ + "/1").c_str());
    EXPECT_EQ(data_.Uudecode(), 0);
    EXPECT_EQ(Texts(), std::vector<std::string>{LoadQimString(qimstr::CannotOpenFile)});
}

TEST_F(UudecodeTest, HostileNamesAreProposedAsPlainNames) {
    ASSERT_TRUE(data_.Prepare(Mail(std::string(kHeader) + "\r\nbegin 644 ../../.profile\r\n&:&5L;&\\*\r\n`\r\nend\r\n")));
    dialogs_.AnswerFile({});
    EXPECT_EQ(data_.Uudecode(), 0);
    ASSERT_EQ(FileBoxes().size(), 1u);
    EXPECT_EQ(FileBoxes()[0].file.fileName, home_ + "/profile");
    EXPECT_TRUE(FileBoxes()[0].file.overwritePrompt);
}

TEST(ViewQuoteRule, PrefixesCountWithinTheLimit) {
    SViewQuoteRule rule;
    struct Case {
        std::string line;
        bool quoted;
    } cases[] = {
        {"> quoted", true},
        {">> deeper", true},
        {Sjis("＞全角"), true},
        {"abcd> within five", true},
        {"abcde> beyond five", false},
        {"plain", false},
        {"", false},
        // The second byte of a double-byte character is no prefix.
        {Sjis("ー") + "x", false},
    };
    for (const Case& c : cases) EXPECT_EQ(rule.IsQuoted(c.line), c.quoted) << c.line;
    rule.SetPrefixList("|,,#");
    rule.SetLimit(1);
    EXPECT_EQ(rule.Prefixes(), (std::vector<std::string>{"|", "#"}));
    EXPECT_TRUE(rule.IsQuoted("# x"));
    EXPECT_FALSE(rule.IsQuoted(" # x"));
    EXPECT_FALSE(rule.IsQuoted("> x"));
}

class ViewQuoteSettings : public qimtest::QimHomeTest {};

TEST_F(ViewQuoteSettings, AreReadBesideTheQuoteFont) {
    SViewQuoteRule rule;
    rule.Read();
    EXPECT_EQ(rule.Prefixes(), (std::vector<std::string>{">", Sjis("＞")}));
    EXPECT_EQ(rule.Limit(), 5);
    Store(Config(), "Font", "PrefixList", "|");
    Store(Config(), "Font", "PrefixLimit", "2");
    rule.Read();
    EXPECT_EQ(rule.Prefixes(), std::vector<std::string>{"|"});
    EXPECT_EQ(rule.Limit(), 2);
}

// PGP against real gpg: the mail made by gpg --encrypt --armor is shown decrypted.
class ViewPgpTest : public ViewMailDataTest {
protected:
    static void SetUpTestSuite() {
        keyring_ = new qimtest::GpgKeyring({"hanako@x.jp"});
        ASSERT_TRUE(keyring_->Ok());
    }
    static void TearDownTestSuite() {
        delete keyring_;
        keyring_ = nullptr;
    }
    void SetUp() override {
        ViewMailDataTest::SetUp();
        GetSettingData().pgpUsage = 1;
    }
    static qimtest::GpgKeyring* keyring_;
};

qimtest::GpgKeyring* ViewPgpTest::keyring_ = nullptr;

TEST_F(ViewPgpTest, ArmouredMailIsShownDecryptedAndBrokenArmourFromTheStoredFile) {
    WriteFileBytes(dir_.File("plain"), Sjis("PGPの秘密\n"));
    int status = -1;
    qimtest::RunCommand(keyring_->Gpg() + " --encrypt --armor -r hanako@x.jp -o '" + dir_.File("armour") + "' '" +
                            dir_.File("plain") + "' 2>&1",
                        &status);
    ASSERT_EQ(status, 0);
    std::string armour = ReadFileBytes(dir_.File("armour"));
    std::string crlf;
    for (char ch : armour) {
        if (ch == '\n') crlf += '\r';
        crlf += ch;
    }
    const std::string mail = Mail(std::string(kHeader) + "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" + crlf);
    ASSERT_TRUE(data_.Prepare(mail)) << (Texts().empty() ? "" : qimtest::Utf8(Texts()[0]));
    EXPECT_NE(data_.DisplayPath(), mail);
    const std::string shown = ReadFileBytes(data_.DisplayPath());
    EXPECT_NE(shown.find(Sjis("PGPの秘密\r\n")), std::string::npos) << shown;
    EXPECT_EQ(shown.find("BEGIN PGP"), std::string::npos);
    EXPECT_TRUE(Texts().empty());

    // Usage bit 0 clear: the armour is shown as it is.
    GetSettingData().pgpUsage = 2;
    ASSERT_TRUE(data_.Prepare(mail));
    EXPECT_EQ(data_.DisplayPath(), mail);

    // Armour that does not decrypt: a box, and the stored mail is shown.
    GetSettingData().pgpUsage = 1;
    const std::string broken =
        Mail(std::string(kHeader) + "\r\n-----BEGIN PGP MESSAGE-----\r\n\r\nhQEMA5Garbage\r\n-----END PGP MESSAGE-----\r\n", "2");
    EXPECT_FALSE(data_.Prepare(broken));
    EXPECT_EQ(data_.DisplayPath(), broken);
    EXPECT_EQ(Texts(), std::vector<std::string>{LoadQimString(qimstr::PgpDecryptFailed)});
    EXPECT_EQ(dialogs_.Boxes().back().icon, platform::MessageIcon::Exclamation);
}

}  // namespace
