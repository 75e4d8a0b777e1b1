// A message taken apart for the viewer: the counts it asks for, the walk that
// hands attachments out to be saved, copies and equality, and the viewable
// copy with encoded text decoded and attachments left out.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/SDistMimeMail.h"
#include "common/JapaneseCodes.h"
#include "common/SMimeBase64.h"
#include "ShownNotices.h"
#include "platform/ScriptedDialogService.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

std::string Fixture(const std::string& name) { return std::string(QIM_TEST_DATA_DIR) + "/mime/" + name; }

const std::string kGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
                       "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02" "D\x01\x00;",
                       43);
const char kGifBase64[] = "R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==";
// The base64 text part of mixed_b64text_gif.eml, as it is on disk and as text.
const char kTextBase64[] = "GyRCJDMkcyRLJEEkTyEiGyhCUWltIBskQiRHJDkhIxsoQg0KGyRCRnM5VExcJEckOSEjGyhCDQo=";
const char kTextUtf8[] = "こんにちは、Qim です。\r\n二行目です。\r\n";

std::string Base64Decoded(const std::string& text) {
    std::string bytes(text.size(), '\0');
    int n = SMimeBase64::DecodeBinary(text.c_str(), reinterpret_cast<unsigned char*>(bytes.data()), true);
    EXPECT_GE(n, 0);
    bytes.resize(n < 0 ? 0 : n);
    return bytes;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}

// Each part handed out is decoded into memory, as the attachment saver does.
class SavingMail : public qimtest::ShownNotices<SDistMimeMail> {
public:
    explicit SavingMail(const std::string& path) : ShownNotices(nullptr, path.c_str()) {}
    bool ActionPart(FILE* file, long start, long end, const SMimePart& part) override {
        qimtest::TempDir dir;
        std::unique_ptr<SMime> codec = CodecFor(part.encoding);
        EXPECT_TRUE(codec->DecodeFilePart(file, start, end, dir.File("part").c_str(), false));
        names.push_back(part.name);
        contents.push_back(qimtest::ReadFileBytes(dir.File("part")));
        return results.empty() || results[names.size() - 1];
    }
    std::vector<std::string> names;
    std::vector<std::string> contents;
    std::vector<bool> results;  // what each call answers (true when empty)
};

TEST(SDistMimeMail, CountsPartsByKind) {
    struct Case {
        const char* file;
        int parts, rfc822, encodedText, attachments;
    } cases[] = {
        {"single.eml", 1, 0, 0, 0},
        {"mixed_7bit_gif.eml", 2, 0, 0, 1},
        {"mixed_b64text_gif.eml", 2, 0, 1, 1},
        // Encoded text/html is an attachment here; encoded plain text is not.
        {"nested_alternative.eml", 3, 0, 1, 2},
        {"forward.eml", 2, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SavingMail mail(Fixture(c.file));
        ASSERT_TRUE(mail.AnalizeMimeMail()) << c.file;
        EXPECT_EQ(mail.MimePartCount(), c.parts) << c.file;
        EXPECT_EQ(mail.Rfc822PartCount(), c.rfc822) << c.file;
        EXPECT_EQ(mail.EncodedTextPlainUsJpPartCount(), c.encodedText) << c.file;
        EXPECT_EQ(mail.BinaryPartCount(false), c.attachments) << c.file;
        EXPECT_EQ(mail.BinaryPartCount(true), c.parts) << c.file;
    }
}

TEST(SDistMimeMail, TakeBinaryFileHandsOutAttachmentsOrEveryPart) {
    SavingMail attachments(Fixture("mixed_b64text_gif.eml"));
    ASSERT_TRUE(attachments.AnalizeMimeMail());
    EXPECT_TRUE(attachments.TakeBinaryFile(false));
    EXPECT_EQ(attachments.names, std::vector<std::string>{"dot.gif"});
    ASSERT_EQ(attachments.contents.size(), 1u);
    EXPECT_TRUE(attachments.contents[0] == kGif);

    SavingMail every(Fixture("mixed_b64text_gif.eml"));
    ASSERT_TRUE(every.AnalizeMimeMail());
    EXPECT_TRUE(every.TakeBinaryFile(true));
    ASSERT_EQ(every.contents.size(), 2u);
    EXPECT_EQ(every.contents[0], Base64Decoded(kTextBase64)) << "the text as it was sent (ISO-2022-JP)";
    EXPECT_TRUE(every.contents[1] == kGif);
}

TEST(SDistMimeMail, AFailedPartStopsTheWalkUnlessToldToGoOn) {
    for (bool goOn : {false, true}) {
        SavingMail mail(Fixture("nested_alternative.eml"));
        ASSERT_TRUE(mail.AnalizeMimeMail());
        mail.SetContinueAfterFailure(goOn);
        mail.results = {false, true, true};
        EXPECT_FALSE(mail.TakeBinaryFile(true)) << goOn;
        EXPECT_EQ(mail.names.size(), goOn ? 3u : 1u);
    }
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scope(dialogs);
    SavingMail gone("/nonexistent/mail");
    EXPECT_FALSE(gone.TakeBinaryFile(true));
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, LoadStringCmmnDll(cmmnstr::CannotOpenFile));
}

TEST(SDistMimeMail, CopiesCompareByPathFlagAndParts) {
    SavingMail original(Fixture("nested_alternative.eml"));
    ASSERT_TRUE(original.AnalizeMimeMail());
    SDistMimeMail& base = original;
    SavingMail copy(Fixture("single.eml"));
    EXPECT_FALSE(copy == base);
    copy.CopyToMe(base);
    EXPECT_TRUE(copy == base);
    EXPECT_EQ(copy.MimePartCount(), 3);

    copy.SetContinueAfterFailure(true);
    EXPECT_FALSE(copy == base);
    copy.SetContinueAfterFailure(false);

    SavingMail reanalysed(Fixture("nested_alternative.eml"));
    ASSERT_TRUE(reanalysed.AnalizeMimeMail());
    EXPECT_TRUE(reanalysed == base);
    // The same list over a different file is a different mail.
    reanalysed.SetPath(Fixture("single.eml").c_str());
    EXPECT_FALSE(reanalysed == base);

    SavingMail other(Fixture("mixed_7bit_gif.eml"));
    ASSERT_TRUE(other.AnalizeMimeMail());
    other.SetPath(original.Path().c_str());
    EXPECT_FALSE(other == base) << "bands differ";
}

struct View {
    bool ok;
    std::string copy;
    bool exists;
    std::vector<std::string> boxes;
};

View MakeView(const std::string& mail) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("mail"), mail);
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scope(dialogs);
    SavingMail dist(dir.File("mail"));
    EXPECT_TRUE(dist.AnalizeMimeMail());
    View view;
    view.ok = dist.MakeOmitBinaryFile(dir.File("view").c_str(), dir.File("scratch").c_str());
    view.exists = qimtest::FileExists(dir.File("view"));
    view.copy = view.exists ? qimtest::ReadFileBytes(dir.File("view")) : "";
    for (const platform::RecordedBox& box : dialogs.Boxes()) view.boxes.push_back(box.text);
    EXPECT_TRUE(qimtest::ReadFileBytes(dir.File("mail")) == mail) << "the message is never touched";
    return view;
}

TEST(SDistMimeMailView, EncodedTextIsDecodedAndAttachmentsLeftOut) {
    const std::string notice = LoadStringCmmnDll(cmmnstr::AttachmentOmitted) + "\r\n";
    struct Case {
        const char* file;
        std::vector<std::pair<std::string, std::string>> replace;  // raw part body -> what the copy shows
    } cases[] = {
        {"mixed_b64text_gif.eml", {{std::string(kTextBase64) + "\r\n", Sjis(kTextUtf8)}, {kGifBase64, notice}}},
        {"mixed_7bit_gif.eml", {{std::string(kGifBase64) + "\r\n", notice}}},
        {"nested_alternative.eml",
         {{"caf=C3=A9 =3D soft=\r\n break\r\nsecond line\r\n", "caf\xC3\xA9 = soft break\r\nsecond line\r\n"},
          {"<p>caf=C3=A9</p>\r\n", notice},
          {"JVBERi0xLjQKJeLjz9MKMSAwIG9iago8PD4+CmVuZG9iago=\r\n", notice}}},
        // Nothing encoded: the copy is the message.
        {"single.eml", {}},
        {"forward.eml", {}},
    };
    for (const Case& c : cases) {
        const std::string mail = qimtest::ReadFileBytes(Fixture(c.file));
        std::string expected = mail;
        for (const auto& [from, to] : c.replace) expected = Replaced(expected, from, to);
        View view = MakeView(mail);
        EXPECT_TRUE(view.ok) << c.file;
        EXPECT_TRUE(view.boxes.empty()) << c.file;
        EXPECT_EQ(qimtest::Utf8(view.copy), qimtest::Utf8(expected)) << c.file;
    }
}

TEST(SDistMimeMailView, LongJapaneseLinesSurviveDecoding) {
    // One line of 9000 kanji is 18 000 bytes of ISO-2022-JP: far longer than
    // any buffer, and its shift state must hold to the end.
    std::string utf8;
    for (int i = 0; i < 9000; ++i) utf8 += "漢";
    const std::string sjis = Sjis(utf8) + "\r\n" + Sjis("次の行") + "\r\n";
    std::string jis(sjis.size() * 2 + 16, '\0');
    jis.resize(Sjis2Jis(jis.data(), reinterpret_cast<const unsigned char*>(sjis.c_str())));
    std::string encoded(SMimeBase64::EncodedLinesLength(static_cast<int>(jis.size())) + 1, '\0');
    encoded.resize(SMimeBase64::EncodeToLines(reinterpret_cast<const unsigned char*>(jis.data()), encoded.data(),
                                              static_cast<int>(jis.size())));
    std::string body;
    for (char ch : encoded) body += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    const std::string head = "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\n"
                             "Content-Transfer-Encoding: base64\r\n\r\n";
    View view = MakeView(head + body);
    EXPECT_TRUE(view.ok);
    EXPECT_TRUE(view.copy == head + sjis) << view.copy.size() << " bytes";
}

TEST(SDistMimeMailView, FailuresLeaveNoCopyAndSayWhy) {
    const std::string strange = LoadStringCmmnDll(cmmnstr::Strange);
    const std::string cannotOpen = LoadStringCmmnDll(cmmnstr::CannotOpenFile);
    // A text part that cannot be decoded: the viewer shows the message itself.
    View bad = MakeView(
        "Content-Type: multipart/mixed; boundary=x\r\n\r\n--x\r\nContent-Type: text/plain\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\n@@@@ not base64\r\n--x--\r\n");
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.exists);
    EXPECT_EQ(bad.boxes, std::vector<std::string>{strange});

    qimtest::TempDir dir;
    const std::string mail = qimtest::ReadFileBytes(Fixture("mixed_b64text_gif.eml"));
    qimtest::WriteFileBytes(dir.File("mail"), mail);
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scope(dialogs);
    SavingMail dist(dir.File("mail"));
    ASSERT_TRUE(dist.AnalizeMimeMail());
    // The copy may not replace the message, nor share the scratch file.
    EXPECT_FALSE(dist.MakeOmitBinaryFile(dir.File("mail").c_str(), dir.File("scratch").c_str()));
    EXPECT_TRUE(qimtest::ReadFileBytes(dir.File("mail")) == mail);
    qimtest::WriteFileBytes(dir.File("same"), "");
    EXPECT_FALSE(dist.MakeOmitBinaryFile(dir.File("same").c_str(), dir.File("same").c_str()));
    SavingMail gone(dir.File("missing"));
    EXPECT_FALSE(gone.MakeOmitBinaryFile(dir.File("view").c_str(), dir.File("scratch").c_str()));
    EXPECT_FALSE(qimtest::FileExists(dir.File("view")));
    EXPECT_EQ(dialogs.Boxes().size(), 3u);
    for (const platform::RecordedBox& box : dialogs.Boxes()) {
        EXPECT_EQ(box.text, cannotOpen);
        EXPECT_EQ(box.caption, "Qim");
        EXPECT_EQ(box.icon, platform::MessageIcon::Stop);
    }
}

}  // namespace
