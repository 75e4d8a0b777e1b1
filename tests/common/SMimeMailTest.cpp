// The walk over a stored message: which leaf parts it finds, the exact byte
// range of each, the boxes it shows for broken messages, and messages built to
// hurt (deep nesting, delimiters that never come, thousands of broken parts).
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/SAnalizeMimeMail.h"
#include "ShownNotices.h"
#include "platform/ScriptedDialogService.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

std::string Fixture(const std::string& name) { return std::string(QIM_TEST_DATA_DIR) + "/mime/" + name; }

struct Walk {
    bool ok = false;
    std::vector<SDecodeBand> bands;
    std::vector<std::string> boxes;  // texts, in order
};

Walk AnalyseFile(const std::string& path) {
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scope(dialogs);
    Walk walk;
    qimtest::ShownNotices<SAnalizeMimeMail> analysis;
    walk.ok = analysis.AnalizeMimeMail(path.c_str(), &walk.bands);
    for (const platform::RecordedBox& box : dialogs.Boxes()) {
        EXPECT_EQ(box.caption, "Qim");
        EXPECT_EQ(box.icon, platform::MessageIcon::Stop);
        walk.boxes.push_back(box.text);
    }
    return walk;
}

Walk AnalyseText(const std::string& mail) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("mail"), mail);
    return AnalyseFile(dir.File("mail"));
}

std::string Text(unsigned id) { return LoadStringCmmnDll(id); }

std::string Crlf(const std::string& lf) {
    std::string out;
    for (char c : lf) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

struct ExpectedPart {
    int type, subtype, encoding, charset;
    std::string name;  // UTF-8
    std::string body;  // UTF-8 with LF, compared as Shift_JIS with CR LF
};

struct FixtureCase {
    const char* file;
    bool ok;
    std::vector<unsigned> boxes;
    std::vector<ExpectedPart> parts;
};

const char kGifBase64[] = "R0lGODlhAQABAIAAAP///wAAACH5BAEAAAAALAAAAAABAAEAAAICRAEAOw==";

TEST(SMimeMailWalk, FindsEveryLeafPartWithItsExactRange) {
    const FixtureCase cases[] = {
        {"single.eml", true, {}, {{6, 19, 0, 2, "", "こんにちは。\n一通だけのメールです。\n"}}},
        {"not_mime.eml", true, {}, {{0, 0, 0, 0, "", "Just text,\nno MIME at all.\n"}}},
        // The preamble and the epilogue belong to no part; the CR LF before a
        // delimiter line belongs to the delimiter.
        {"mixed_7bit_gif.eml",
         true,
         {},
         {{6, 19, 0, 2, "", "写真を送ります。\nよろしく。\n"}, {3, 8, 1, 0, "dot.gif", std::string(kGifBase64) + "\n"}}},
        {"mixed_b64text_gif.eml",
         true,
         {},
         {{6, 19, 1, 2, "", "GyRCJDMkcyRLJEEkTyEiGyhCUWltIBskQiRHJDkhIxsoQg0KGyRCRnM5VExcJEckOSEjGyhCDQo=\n"},
          {3, 8, 1, 0, "dot.gif", kGifBase64}}},
        // Only the leaves of the inner alternative, never the alternative itself.
        {"nested_alternative.eml",
         true,
         {},
         {{6, 19, 2, 1, "", "caf=C3=A9 =3D soft=\n break\nsecond line\n"},
          {6, 1, 2, 1, "", "<p>caf=C3=A9</p>\n"},
          {1, 1, 1, 0, "会議資料.pdf", "JVBERi0xLjQKJeLjz9MKMSAwIG9iago8PD4+CmVuZG9iago=\n"}}},
        // A forwarded message is one part; what it holds is not walked.
        {"forward.eml", true, {}, {{6, 19, 0, 2, "", "転送します。\n"}, {4, 11, 0, 0, "", ""}}},
        {"hostile_names.eml",
         true,
         {},
         {{1, 2, 1, 0, "../../x", "ZXNjYXBlIGF0dGVtcHQK\n"}, {1, 2, 1, 0, "/etc/passwd", "cm9vdDo6MDowCg==\n"}}},
        // The last part never ends: it runs to the end of the mail, as every reader shows it.
        {"unclosed.eml", true, {}, {{6, 19, 0, 1, "", "first part\n"}, {1, 2, 1, 0, "lost.bin", "AAECAwQF\n"}}},
        {"no_boundary.eml", false, {cmmnstr::HeaderParseFailed}, {}},
    };
    for (const FixtureCase& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string mail = qimtest::ReadFileBytes(Fixture(c.file));
        Walk walk = AnalyseFile(Fixture(c.file));
        EXPECT_EQ(walk.ok, c.ok);
        std::vector<std::string> boxes;
        for (unsigned id : c.boxes) boxes.push_back(Text(id));
        EXPECT_EQ(walk.boxes, boxes);
        ASSERT_EQ(walk.bands.size(), c.parts.size());
        for (std::size_t i = 0; i < c.parts.size(); ++i) {
            const SDecodeBand& band = walk.bands[i];
            const ExpectedPart& want = c.parts[i];
            SCOPED_TRACE(i);
            EXPECT_EQ(band.part.type, want.type);
            EXPECT_EQ(band.part.subtype, want.subtype);
            EXPECT_EQ(band.part.encoding, want.encoding);
            EXPECT_EQ(band.part.charset, want.charset);
            EXPECT_EQ(qimtest::Utf8(band.part.name), want.name);
            ASSERT_LE(band.start, band.end);
            ASSERT_LE(band.end, static_cast<long>(mail.size()));
            if (want.type != kMimeTypeMessage) {
                EXPECT_EQ(qimtest::Utf8(mail.substr(band.start, band.end - band.start)), Crlf(want.body));
            }
        }
    }
    // The forwarded message runs from its first header line to the end of its
    // own closing delimiter.
    const std::string forward = qimtest::ReadFileBytes(Fixture("forward.eml"));
    Walk fw = AnalyseFile(Fixture("forward.eml"));
    ASSERT_EQ(fw.bands.size(), 2u);
    const std::string inner = forward.substr(fw.bands[1].start, fw.bands[1].end - fw.bands[1].start);
    EXPECT_EQ(inner.rfind("From: other@example.jp\r\n", 0), 0u);
    EXPECT_EQ(inner.substr(inner.size() - 12), "--inside--\r\n");
}

TEST(SMimeMailWalk, MissingFileShowsCannotOpen) {
    Walk walk = AnalyseFile("/nonexistent/qim/mail");
    EXPECT_FALSE(walk.ok);
    EXPECT_EQ(walk.boxes, std::vector<std::string>{Text(cmmnstr::CannotOpenFile)});
    qimtest::TempDir dir;
    Walk folder = AnalyseFile(dir.Path());
    EXPECT_FALSE(folder.ok);
    EXPECT_EQ(folder.boxes, std::vector<std::string>{Text(cmmnstr::CannotOpenFile)});
}

TEST(SMimeMailWalk, OddButValidLayouts) {
    struct Case {
        const char* what;
        std::string mail;
        std::vector<std::string> bodies;
    } cases[] = {
        // Delimiter lines in a row make no empty part.
        {"an empty part and a part without body",
         "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n--b\r\nContent-Type: text/plain\r\n--b--\r\n",
         {""}},
        {"LF line ends",
         "Content-Type: multipart/mixed; boundary=b\n\n--b\n\nline 1\nline 2\n\n--b\n\nsecond\n--b--\n",
         {"line 1\nline 2\n", "second"}},
        {"no line end after the closing delimiter",
         "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\nonly\r\n--b--",
         {"only"}},
        // Blanks after a delimiter are allowed; anything else makes a line of text.
        {"delimiter-like lines that are not delimiters",
         "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\n--bx\r\n -b\r\n--b-\r\n"
         "--b \r\n\r\nz\r\n--b--\r\n",
         {"--bx\r\n -b\r\n--b-", "z"}},
        {"no close delimiter", "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\nto the end\r\n",
         {"to the end\r\n"}},
        {"no delimiter at all", "Content-Type: multipart/mixed; boundary=b\r\n\r\n", {}},
        // The 1025th byte of a long line is no line start.
        {"a delimiter in the middle of a long line",
         "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\n" + std::string(1024, 'x') +
             "--b\r\n--b--\r\n",
         {std::string(1024, 'x') + "--b"}},
        {"a closing line without any part before it",
         "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b--\r\n--b\r\n\r\nafter\r\n--b--\r\n",
         {"after"}},
    };
    for (const Case& c : cases) {
        Walk walk = AnalyseText(c.mail);
        EXPECT_TRUE(walk.ok) << c.what;
        EXPECT_TRUE(walk.boxes.empty()) << c.what;
        ASSERT_EQ(walk.bands.size(), c.bodies.size()) << c.what;
        for (std::size_t i = 0; i < c.bodies.size(); ++i) {
            const SDecodeBand& band = walk.bands[i];
            EXPECT_EQ(c.mail.substr(band.start, band.end - band.start), c.bodies[i]) << c.what << " part " << i;
        }
    }
}

TEST(SMimeMailWalk, ABrokenInnerPartDoesNotStopItsSiblings) {
    const std::string mail =
        "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=out\r\n\r\n"
        "--out\r\nContent-Type: multipart/alternative; boundary=never\r\n\r\n"
        "--never\r\nContent-Type: text/plain\r\n\r\nlost\r\n"
        "--out\r\nContent-Type: multipart/mixed\r\n\r\nno boundary here\r\n"
        "--out\r\nContent-Type: text/plain\r\n\r\nkept\r\n--out--\r\n";
    Walk walk = AnalyseText(mail);
    EXPECT_TRUE(walk.ok) << "the message itself is whole";
    // The inner alternative never closes: its part runs to the next outer delimiter.
    ASSERT_EQ(walk.bands.size(), 2u);
    EXPECT_EQ(mail.substr(walk.bands[0].start, walk.bands[0].end - walk.bands[0].start), "lost");
    EXPECT_EQ(mail.substr(walk.bands[1].start, walk.bands[1].end - walk.bands[1].start), "kept");
    EXPECT_EQ(walk.boxes, (std::vector<std::string>{Text(cmmnstr::HeaderParseFailed)}));
}

// `depth` multiparts, each inside the one before, around one text part.
std::string NestedMail(int depth) {
    std::string mail = "MIME-Version: 1.0\r\n";
    for (int i = 0; i < depth; ++i)
        mail += "Content-Type: multipart/mixed; boundary=\"b" + std::to_string(i) + "\"\r\n\r\n--b" +
                std::to_string(i) + "\r\n";
    mail += "Content-Type: text/plain\r\n\r\ndeep\r\n";
    for (int i = depth - 1; i >= 0; --i) mail += "--b" + std::to_string(i) + "--\r\n";
    return mail;
}

TEST(SMimeMailWalk, NestingIsOpenedToItsLimitAndNoDeeper) {
    Walk atLimit = AnalyseText(NestedMail(SMimeMail::kMaxNestingDepth));
    EXPECT_TRUE(atLimit.ok);
    EXPECT_TRUE(atLimit.boxes.empty());
    ASSERT_EQ(atLimit.bands.size(), 1u);
    EXPECT_EQ(atLimit.bands[0].end - atLimit.bands[0].start, 4) << "deep";

    // The multipart one level too deep is one part, unopened, and the walk
    // says it did not see everything.
    Walk tooDeep = AnalyseText(NestedMail(SMimeMail::kMaxNestingDepth + 1));
    EXPECT_FALSE(tooDeep.ok);
    ASSERT_EQ(tooDeep.bands.size(), 1u);
    EXPECT_EQ(tooDeep.bands[0].part.type, kMimeTypeMultipart);
    EXPECT_EQ(tooDeep.boxes, std::vector<std::string>{Text(cmmnstr::Strange)});

    // Ten thousand levels: no stack overflow, one box, done quickly.
    const auto start = std::chrono::steady_clock::now();
    Walk hostile = AnalyseText(NestedMail(10000));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_FALSE(hostile.ok);
    EXPECT_EQ(hostile.bands.size(), 1u);
    EXPECT_EQ(hostile.boxes, std::vector<std::string>{Text(cmmnstr::Strange)});
    EXPECT_LT(seconds, 30.0);
}

TEST(SMimeMailWalk, ThousandsOfBrokenPartsShowOneBoxOfEachKind) {
    std::string mail = "Content-Type: multipart/mixed; boundary=m\r\n\r\n";
    for (int i = 0; i < 5000; ++i) {
        mail += "--m\r\nContent-Type: multipart/mixed\r\n\r\nx\r\n";
        mail += "--m\r\nContent-Type: multipart/mixed; boundary=z\r\n\r\nnever\r\n";
    }
    mail += "--m\r\nContent-Type: text/plain\r\n\r\nlast\r\n--m--\r\n";
    Walk walk = AnalyseText(mail);
    EXPECT_TRUE(walk.ok);
    // Inner multiparts without a boundary say so once; those without any
    // delimiter line hold no parts and are not wrong.
    ASSERT_EQ(walk.bands.size(), 1u);
    EXPECT_EQ(walk.boxes, (std::vector<std::string>{Text(cmmnstr::HeaderParseFailed)}));
}

TEST(SMimeMailWalk, TheWalkStopsAtThePartLimit) {
    auto tinyParts = [](int count) {
        std::string mail = "Content-Type: multipart/mixed; boundary=t\r\n\r\n";
        for (int i = 0; i < count; ++i)
            mail += "--t\r\nContent-Type: multipart/alternative; boundary=u\r\n\r\n--u\r\n\r\nx\r\n--u--\r\n";
        return mail + "--t--\r\n";
    };
    Walk full = AnalyseText(tinyParts(SMimeMail::kMaxLeafParts));
    EXPECT_TRUE(full.ok);
    EXPECT_TRUE(full.boxes.empty());
    EXPECT_EQ(full.bands.size(), static_cast<std::size_t>(SMimeMail::kMaxLeafParts));

    Walk over = AnalyseText(tinyParts(SMimeMail::kMaxLeafParts + 5));
    EXPECT_FALSE(over.ok);
    EXPECT_EQ(over.boxes, std::vector<std::string>{Text(cmmnstr::Strange)});
    EXPECT_EQ(over.bands.size(), static_cast<std::size_t>(SMimeMail::kMaxLeafParts));
}

TEST(SMimeMailWalk, AHugeHeaderLineAndAHugeBodyAreWalked) {
    // A one-megabyte header line in the message and in a part header, and a
    // delimiter that never comes after a long body.
    const std::string filler = "X-Filler: " + std::string(1 << 20, 'f') + "\r\n";
    const std::string mail = filler + "Content-Type: multipart/mixed; boundary=h\r\n\r\n--h\r\n" + filler +
                             "Content-Type: text/plain\r\n\r\nbody\r\n--h\r\nContent-Type: image/gif\r\n\r\n" +
                             std::string(3 << 20, 'A') + "\r\n";
    Walk walk = AnalyseText(mail);
    EXPECT_TRUE(walk.ok);
    EXPECT_TRUE(walk.boxes.empty());
    ASSERT_EQ(walk.bands.size(), 2u);
    EXPECT_EQ(walk.bands[0].part.type, kMimeTypeText);
    EXPECT_EQ(walk.bands[1].end, static_cast<long>(mail.size()));
    EXPECT_EQ(mail.substr(walk.bands[0].start, 4), "body");
}

}  // namespace
