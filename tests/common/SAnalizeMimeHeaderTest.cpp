// Reading the MIME fields of a part header: type and subtype codes, charset,
// transfer encoding, name, boundary and version; where the header ends; and
// headers that are too long or malformed.
#include <gtest/gtest.h>

#include <string>

#include "common/SAnalizeMimeHeader.h"
#include "common/SStrTok.h"
#include "platform/TextFile.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

struct Read {
    SMimePart part;
    std::string boundary;
    int major = 0;
    int minor = 0;
    long bodyStart = 0;
    long fileEnd = 0;
};

// Analyses `text` (LF line ends become CR LF, as on disk) from its start.
Read Analyse(const std::string& text, long end = -1) {
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("h"), crlf);
    FILE* fp = platform::OpenFile(dir.File("h").c_str(), "r");
    EXPECT_NE(fp, nullptr);
    SAnalizeMimeHeaderFile header;
    EXPECT_TRUE(header.AnalizeMimeHeader(fp, end));
    Read r{header.Part(), header.Boundary(), header.VersionMajor(), header.VersionMinor(), header.BodyStart(),
           std::ftell(fp)};
    std::fclose(fp);
    return r;
}

std::string JisWord(const std::string& utf8) {
    // 会議 in ISO-2022-JP, base64: the form senders use for names.
    if (utf8 == "会議") return "=?ISO-2022-JP?B?GyRCMnE1RBsoQg==?=";
    return "";
}

TEST(SAnalizeMimeHeader, ContentTypeGivesTypeSubtypeCharsetAndName) {
    struct Case {
        std::string header;
        int type, subtype, charset;
        std::string name;
    } cases[] = {
        {"Content-Type: text/plain; charset=ISO-2022-JP", 6, 19, 2, ""},
        {"Content-Type: TEXT/Plain; CHARSET=\"iso-2022-jp\"", 6, 19, 2, ""},
        {"Content-Type: text/plain; charset=utf-8", 6, 19, 1, ""},
        {"Content-Type: text/plain", 6, 19, 1, ""},
        {"Content-Type: text/plain; format=flowed; name=\"memo 1.txt\"; charset=ISO-2022-JP", 6, 19, 2, "memo 1.txt"},
        // Parameters of text other than plain are not read.
        {"Content-Type: text/html; charset=ISO-2022-JP; name=a.html", 6, 1, 1, ""},
        {"Content-Type: text", 6, 0, 1, ""},
        {"Content-Type: application/octet-stream; name=\"a b.zip\"", 1, 2, 0, "a b.zip"},
        {"Content-Type: application/postscript", 1, 3, 0, ""},
        {"Content-Type: application/pgp-encrypted", 1, 4, 0, ""},
        {"Content-Type: application/pgp-signature; name=sig.asc", 1, 5, 0, "sig.asc"},
        {"Content-Type: application/pgp-keys", 1, 6, 0, ""},
        {"Content-Type: application/pdf; name=\"" + JisWord("会議") + ".pdf\"", 1, 1, 0, Sjis("会議.pdf")},
        {"Content-Type: application/pdf; name=" + JisWord("会議") + ".pdf", 1, 1, 0, Sjis("会議.pdf")},
        {"Content-Type: application", 1, 0, 0, ""},
        {"Content-Type: image/gif; name=\"dot.gif\"", 3, 8, 0, "dot.gif"},
        {"Content-Type: image/JPEG", 3, 9, 0, ""},
        {"Content-Type: image/x-bmp", 3, 10, 0, ""},
        {"Content-Type: image/png; name=p.png", 3, 1, 0, "p.png"},
        {"Content-Type: audio/basic; name=a.au", 2, 7, 0, "a.au"},
        {"Content-Type: audio/mpeg", 2, 1, 0, ""},
        {"Content-Type: video/mpeg", 7, 20, 0, ""},
        {"Content-Type: message/rfc822; name=ignored.eml", 4, 11, 0, ""},
        {"Content-Type: message/partial; id=1", 4, 1, 0, ""},
        {"Content-Type: multipart/mixed; boundary=x", 5, 14, 0, ""},
        {"Content-Type: multipart/parallel; boundary=x", 5, 15, 0, ""},
        {"Content-Type: multipart/digest; boundary=x", 5, 16, 0, ""},
        {"Content-Type: multipart/alternative; boundary=x", 5, 17, 0, ""},
        {"Content-Type: multipart/encrypted; boundary=x", 5, 18, 0, ""},
        {"Content-Type: multipart/related; boundary=x", 5, 1, 0, ""},
        {"Content-Type: multipart/mixed", 5, 14, 0, ""},
        {"Content-Type: model/vrml", 8, 0, 0, ""},
        {"Content-Type:", 0, 0, 0, ""},
        {"content-type:\ttext/plain", 6, 19, 1, ""},
        {"Content-Typo: text/plain", 0, 0, 0, ""},
        // A quote that never closes gives no name.
        {"Content-Type: image/gif; name=\"open.gif", 3, 8, 0, ""},
        // The names today's mail programs write: RFC 2231 (also continued, in
        // any charset) and Content-Disposition, which wins over the type's name.
        {"Content-Type: application/pdf; name*=utf-8''%E8%B3%87%E6%96%99.pdf", 1, 1, 0, Sjis("資料.pdf")},
        {"Content-Type: application/pdf\nContent-Disposition: attachment;\n filename*0*=utf-8''%E8%B3%87;\n"
         " filename*1=\"\xE6\x96\x99 x.pdf\"",
         1, 1, 0, Sjis("資料 x.pdf")},
        {"Content-Type: application/octet-stream; name=old.bin\nContent-Disposition: attachment; filename=\"" +
             JisWord("会議") + ".xls\"",
         1, 2, 0, Sjis("会議.xls")},
        {"Content-Type: image/png\nContent-Disposition: inline; filename*=iso-2022-jp''%1B%24B%3C%4C%3F%3F%1B%28B.png",
         3, 1, 0, Sjis("写真.png")},
        {"Content-Type: application/zip; name=\"=?UTF-8?B?8J+YgA==?=.zip\"", 1, 1, 0, Sjis("〓.zip")},  // no Shift_JIS form
    };
    for (const Case& c : cases) {
        Read r = Analyse(c.header + "\n\nbody\n");
        EXPECT_EQ(r.part.type, c.type) << c.header;
        EXPECT_EQ(r.part.subtype, c.subtype) << c.header;
        EXPECT_EQ(r.part.charset, c.charset) << c.header;
        EXPECT_EQ(r.part.name, c.name) << c.header;
        EXPECT_EQ(r.part.encoding, 0) << c.header;
    }
}

TEST(SAnalizeMimeHeader, TransferEncodingVersionAndBoundary) {
    struct Case {
        std::string header;
        int encoding;
        int major, minor;
        std::string boundary;
    } cases[] = {
        {"Content-Transfer-Encoding: base64", 1, 0, 0, ""},
        {"Content-Transfer-Encoding:  BASE64 ", 1, 0, 0, ""},
        {"Content-Transfer-Encoding: Quoted-Printable", 2, 0, 0, ""},
        {"Content-Transfer-Encoding: 7bit", 0, 0, 0, ""},
        {"Content-Transfer-Encoding: 8bit", 0, 0, 0, ""},
        {"Content-Transfer-Encoding: x-uuencode", 0, 0, 0, ""},
        {"Content-Transfer-Encoding:", 0, 0, 0, ""},
        {"MIME-Version: 1.0", 0, 1, 0, ""},
        {"Mime-Version: 1.0 (produced by someone)", 0, 1, 0, ""},
        {"MIME-Version: 2.13", 0, 2, 13, ""},
        {"MIME-Version: 1", 0, 1, 0, ""},
        {"MIME-Version: 99999999999999999999.1", 0, 1000000, 1, ""},
        {"MIME-Version: (comment) 1.0", 0, 0, 0, ""},
        {"Content-Type: multipart/mixed; boundary=\"----=_Part 1; x\"", 0, 0, 0, "----=_Part 1; x"},
        {"Content-Type: multipart/mixed;\n\tboundary=folded", 0, 0, 0, "folded"},
        {"Content-Type: multipart/mixed; charset=x; BOUNDARY=abc", 0, 0, 0, "abc"},
        // The boundary is never decoded.
        {"Content-Type: multipart/mixed; boundary=\"" + JisWord("会議") + "\"", 0, 0, 0, JisWord("会議")},
    };
    for (const Case& c : cases) {
        Read r = Analyse(c.header + "\n\n");
        EXPECT_EQ(r.part.encoding, c.encoding) << c.header;
        EXPECT_EQ(r.major, c.major) << c.header;
        EXPECT_EQ(r.minor, c.minor) << c.header;
        EXPECT_EQ(r.boundary, c.boundary) << c.header;
    }
}

TEST(SAnalizeMimeHeader, DescriptionNamesThePartOnlyWithoutAName) {
    struct Case {
        std::string header;
        std::string name;
    } cases[] = {
        {"Content-Description: " + JisWord("会議") + " notes", Sjis("会議 notes")},
        {"Content-Description: plain words here", "plain words here"},
        {"Content-Description: \"quoted\" rest", "quoted"},
        {"Content-Type: image/gif; name=a.gif\nContent-Description: later", "a.gif"},
        // A name parameter after the description replaces it.
        {"Content-Description: first\nContent-Type: image/gif; name=b.gif", "b.gif"},
        {"Content-Description: first\nContent-Type: image/gif", "first"},
        {"Content-Description: first\nContent-Description: second", "first"},
    };
    for (const Case& c : cases) {
        Read r = Analyse(c.header + "\n\n");
        EXPECT_EQ(qimtest::Utf8(r.part.name), qimtest::Utf8(c.name)) << c.header;
    }
}

TEST(SAnalizeMimeHeader, StopsAtTheBlankLineOrTheEndOffset) {
    const std::string header = "Content-Type: text/plain\nContent-Transfer-Encoding: base64\n";
    Read r = Analyse(header + "\nQUJD\n");
    // Two lines of 26 and 35 bytes with CR LF, then the blank line.
    const long blank = 26 + 35;
    EXPECT_EQ(r.bodyStart, blank + 2);
    EXPECT_EQ(r.fileEnd, blank + 2) << "the stream is left at the first body line";
    EXPECT_EQ(r.part.encoding, 1);

    // The second field lies past the end offset: it belongs to somebody else.
    Read cut = Analyse(header + "\nQUJD\n", 26);
    EXPECT_EQ(cut.part.type, 6);
    EXPECT_EQ(cut.part.encoding, 0);
    EXPECT_EQ(cut.bodyStart, 26);

    // A header without a blank line runs to the end of the file.
    Read open = Analyse(header);
    EXPECT_EQ(open.part.encoding, 1);
    EXPECT_EQ(open.bodyStart, blank);
}

TEST(SAnalizeMimeHeader, OverlongLinesAreCutAndTheirRestDropped) {
    // A header line of one megabyte: the first 1024 bytes are analysed, the
    // rest is skipped, and the fields after it are read as usual.
    const std::string huge = "X-Filler: " + std::string(1 << 20, 'a');
    Read r = Analyse(huge + "\nContent-Type: image/gif; name=after.gif\n\nbody\n");
    EXPECT_EQ(r.part.type, 3);
    EXPECT_EQ(r.part.name, "after.gif");

    // A Content-Type whose name runs past the cut keeps what was read of it.
    Read longName = Analyse("Content-Type: image/gif; name=" + std::string(5000, 'n') + "\n\n");
    EXPECT_EQ(longName.part.type, 3);
    EXPECT_EQ(longName.part.name, std::string(1024 - 30, 'n'));

    // An encoded word with a 40 000-byte payload is not decoded: the name stays
    // as it was written, and nothing grows without bound.
    std::string folded = "Content-Type: image/gif; name=\"=?ISO-2022-JP?B?";
    for (int i = 0; i < 40000 / 76; ++i) folded += std::string(76, 'Q') + "\n ";
    folded += "?=\"\n";
    Read word = Analyse(folded + "\n");
    EXPECT_EQ(word.part.type, 3);
    EXPECT_EQ(word.part.name.rfind("=?ISO-2022-JP?B?", 0), 0u);
    EXPECT_GT(word.part.name.size(), 40000u);
}

TEST(SAnalizeMimeHeader, TakeParamReadsQuotedTokensUntilItsKey) {
    std::string text = "a=1; name=\"x; y\" boundary=b";
    SStrTok tokens(text.data());
    std::string out = "unchanged";
    EXPECT_TRUE(SAnalizeMimeHeader::TakeParam(&tokens, "NAME=", out));
    EXPECT_EQ(out, "x; y");
    EXPECT_TRUE(SAnalizeMimeHeader::TakeParam(&tokens, "boundary=", out));
    EXPECT_EQ(out, "b");
    EXPECT_FALSE(SAnalizeMimeHeader::TakeParam(&tokens, "a=", out)) << "tokens already taken are gone";
    EXPECT_EQ(out, "b");
}

TEST(SAnalizeMimeHeader, GetNameCutsPlainValuesAndTakesQuotedOnesWhole) {
    struct Case {
        const char* text;
        bool toEnd;
        bool ok;
        std::string out;
    } cases[] = {
        {"  plain:rest", false, true, "plain"},
        {"\tword next", false, true, "word"},
        {"word next", true, true, "word next"},
        {"\"quoted: with blanks\" after", false, true, "quoted: with blanks"},
        {"\"never closed", false, false, "before"},
        {"", false, true, ""},
    };
    for (const Case& c : cases) {
        std::string out = "before";
        EXPECT_EQ(SAnalizeMimeHeader::GetName(c.text, out, false, c.toEnd), c.ok) << c.text;
        EXPECT_EQ(out, c.out) << c.text;
    }
}

}  // namespace
