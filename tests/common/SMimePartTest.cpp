// The header texts that describe a part when a message is composed, read back
// by the header analysis; and the file name a part may be saved under.
#include <gtest/gtest.h>

#include <string>

#include "common/SAnalizeMimeHeader.h"
#include "common/SHeaderMime.h"
#include "common/SMimePart.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

SMimePart Part(int type, int subtype, int charset = 0, int encoding = 0, std::string name = "") {
    SMimePart part;
    part.type = type;
    part.subtype = subtype;
    part.charset = charset;
    part.encoding = encoding;
    part.name = std::move(name);
    return part;
}

TEST(SMimePart, TypeSubtypeStrGivesKnownPairsAndOctetStreamForTheRest) {
    struct Case {
        SMimePart part;
        const char* text;
    } cases[] = {
        {Part(kMimeTypeImage, kMimeSubtypeGif), "image/gif"},
        {Part(kMimeTypeImage, kMimeSubtypeJpeg), "image/jpeg"},
        {Part(kMimeTypeImage, kMimeSubtypeXBmp), "image/X-BMP"},
        {Part(kMimeTypeAudio, kMimeSubtypeBasic), "audio/basic"},
        {Part(kMimeTypeVideo, kMimeSubtypeMpeg), "video/mpeg"},
        {Part(kMimeTypeMessage, kMimeSubtypeRfc822), "message/rfc822"},
        {Part(kMimeTypeMessage, kMimeSubtypePartial), "message/partial"},
        {Part(kMimeTypeMessage, kMimeSubtypeExternalBody), "message/external-body"},
        {Part(kMimeTypeMultipart, kMimeSubtypeMixed), "multipart/mixed"},
        {Part(kMimeTypeMultipart, kMimeSubtypeParallel), "multipart/parallel"},
        {Part(kMimeTypeMultipart, kMimeSubtypeDigest), "multipart/digest"},
        {Part(kMimeTypeMultipart, kMimeSubtypeAlternative), "multipart/alternative"},
        {Part(kMimeTypeText, kMimeSubtypePlain, kMimeCharsetIso2022Jp), "text/plain; charset=ISO-2022-JP"},
        {Part(kMimeTypeText, kMimeSubtypePlain, kMimeCharsetUsAscii), "text/plain; charset=US-ASCII"},
        {Part(kMimeTypeText, kMimeSubtypePlain, kMimeCharsetAbsent), "text/plain"},
        // Pairs that are not in the list, even where each half is known.
        {Part(kMimeTypeApplication, kMimeSubtypePgpKeys), "application/octet-stream"},
        {Part(kMimeTypeMultipart, kMimeSubtypeEncrypted), "application/octet-stream"},
        {Part(kMimeTypeText, kMimeSubtypeOther, kMimeCharsetUsAscii), "application/octet-stream"},
        {Part(kMimeTypeImage, kMimeSubtypePlain), "application/octet-stream"},
        {Part(kMimeTypeAbsent, kMimeSubtypeAbsent), "application/octet-stream"},
        // Only the fallback carries a name.
        {Part(kMimeTypeImage, kMimeSubtypeGif, 0, 0, "a.gif"), "image/gif"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SMimePart::TypeSubtypeStr(c.part, true), c.text) << c.text;
    }
}

TEST(SMimePart, TypeSubtypeStrQuotesAnAsciiNameAndEncodesAJapaneseOne) {
    SMimePart keys = Part(kMimeTypeApplication, kMimeSubtypePgpKeys, 0, kMimeEncodingBase64, "key file.asc");
    EXPECT_EQ(SMimePart::TypeSubtypeStr(keys, true), "application/octet-stream; name=\"key file.asc\"");
    EXPECT_EQ(SMimePart::TypeSubtypeStr(keys, false), "application/octet-stream");

    keys.name = Sjis("鍵");
    std::string encoded;
    ASSERT_TRUE(SHeaderMime::EncodeALine(keys.name.c_str(), encoded));
    EXPECT_EQ(SMimePart::TypeSubtypeStr(keys, true), "application/octet-stream; name=" + encoded);
    EXPECT_EQ(encoded.rfind("=?ISO-2022-JP?B?", 0), 0u) << encoded;
}

TEST(SMimePart, HeaderStrWritesLfLinesForEachEncoding) {
    struct Case {
        SMimePart part;
        std::string text;
    } cases[] = {
        {Part(kMimeTypeText, kMimeSubtypePlain, kMimeCharsetIso2022Jp),
         "Content-Type: text/plain; charset=ISO-2022-JP\n"},
        {Part(kMimeTypeApplication, kMimeSubtypeOctetStream, 0, kMimeEncodingBase64, "a.zip"),
         "Content-Type: application/octet-stream; name=\"a.zip\"\nContent-Transfer-Encoding: base64\n"
         "Content-Description: a.zip\n"},
        {Part(kMimeTypeText, kMimeSubtypePlain, kMimeCharsetUsAscii, kMimeEncodingQuotedPrintable),
         "Content-Type: text/plain; charset=US-ASCII\nContent-Transfer-Encoding: quoted-printable\n"},
        {Part(kMimeTypeApplication, kMimeSubtypeOctetStream, 0, kMimeEncodingOther, "x"),
         "Content-Type: application/octet-stream\nContent-Description: x\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SMimePart::HeaderStr(c.part, c.part.name == "a.zip"), c.text);
    }
}

// What the composer writes (through the text stream) is what the reader finds:
// long Japanese names fold into several encoded words, and all of them come back.
TEST(SMimePart, HeaderStrReadsBackWithTheWholeName) {
    const std::string names[] = {
        "report.pdf",
        Sjis("会議資料.pdf"),
        Sjis("２０２６年度第１四半期営業報告書（最終版）決裁済み控え.xlsx"),
        Sjis("ﾊﾝｶｸ名前") /* widened when encoded */,
    };
    for (const std::string& name : names) {
        SMimePart part = Part(kMimeTypeApplication, kMimeSubtypeOctetStream, 0, kMimeEncodingBase64, name);
        const std::string header = SMimePart::HeaderStr(part, true);
        EXPECT_EQ(header.find('\r'), std::string::npos) << qimtest::Utf8(name) << ": CR LF comes from the stream";
        EXPECT_EQ(header.back(), '\n');

        qimtest::TempDir dir;
        platform::TextFile out;
        ASSERT_TRUE(out.Open(dir.File("part").c_str(), "w"));
        ASSERT_TRUE(out.Puts(header.c_str()));
        ASSERT_TRUE(out.Puts("\nAAAA\n"));
        ASSERT_TRUE(out.Close());
        const std::string onDisk = qimtest::ReadFileBytes(dir.File("part"));
        EXPECT_EQ(onDisk.find("\r\r"), std::string::npos) << qimtest::Utf8(name);

        SAnalizeMimeHeaderFile reader;
        ASSERT_TRUE(reader.AnalizeMimeHeader(dir.File("part").c_str()));
        EXPECT_EQ(reader.Part().type, kMimeTypeApplication);
        EXPECT_EQ(reader.Part().subtype, kMimeSubtypeOctetStream);
        EXPECT_EQ(reader.Part().encoding, kMimeEncodingBase64);
        const std::string expected = name == Sjis("ﾊﾝｶｸ名前") ? Sjis("ハンカク名前") : name;
        EXPECT_EQ(qimtest::Utf8(reader.Part().name), qimtest::Utf8(expected));
    }
}

TEST(SMimePart, ANameCannotAddHeaderLines) {
    SMimePart part = Part(kMimeTypeApplication, kMimeSubtypeOctetStream, 0, kMimeEncodingBase64,
                          "evil\r\nContent-Type: text/html\n\nbody.txt");
    EXPECT_EQ(SMimePart::HeaderStr(part, true),
              "Content-Type: application/octet-stream; name=\"evil__Content-Type: text/html__body.txt\"\n"
              "Content-Transfer-Encoding: base64\n"
              "Content-Description: evil__Content-Type: text/html__body.txt\n");
}

TEST(SMimePart, SafeFileNameKeepsOnlyTheLastComponent) {
    struct Case {
        std::string name;
        std::string file;
    } cases[] = {
        {"report.pdf", "report.pdf"},
        {"../../x", "x"},
        {"/etc/passwd", "passwd"},
        {"C:\\Users\\me\\file.txt", "file.txt"},
        {"..", ""},
        {"dir/..", ""},
        {"dir/", ""},
        {"", ""},
        {"a\r\nb\x1b[2J.txt", "ab[2J.txt"},
        // The second byte of 表 is 0x5C, the same byte as '\'.
        {Sjis("表.txt"), Sjis("表.txt")},
        {Sjis("資料\\表"), Sjis("表")},
    };
    for (const Case& c : cases) {
        SMimePart part;
        part.name = c.name;
        EXPECT_EQ(part.SafeFileName(), c.file) << qimtest::Utf8(c.name);
    }
}

}  // namespace
