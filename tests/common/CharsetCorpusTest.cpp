// Mail as today's clients send it (made by Python's email package) reads in
// Qim as Python reads it: in the header list (Shift_JIS, 〓 for what it
// lacks) and in the viewer (UTF-8, everything).
#include <gtest/gtest.h>

#include <dirent.h>

#include <map>
#include <sstream>
#include <vector>

#include "common/JapaneseCodes.h"
#include "common/SCharsetText.h"
#include "common/SHeaderField.h"
#include "common/SMHUnfoldDecode.h"
#include "common/SMailText.h"
#include "platform/CodePage.h"
#include "support/TestSupport.h"

namespace {

std::string FromBase64(const std::string& text) {
    static const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    unsigned value = 0;
    int bits = 0;
    for (char c : text) {
        const std::size_t at = kAlphabet.find(c);
        if (at == std::string::npos) continue;
        value = (value << 6) | static_cast<unsigned>(at);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((value >> bits) & 0xFF);
        }
    }
    return out;
}

// As the receive stores a mail: each line from JIS to Shift_JIS.
std::string Stored(const std::string& wire) {
    std::string out;
    std::size_t at = 0;
    while (at < wire.size()) {
        std::size_t end = wire.find('\n', at);
        end = end == std::string::npos ? wire.size() : end + 1;
        std::vector<char> line(end - at + 1);
        const int n = Jis2SjisBytes(line.data(), reinterpret_cast<const unsigned char*>(wire.data() + at),
                                    static_cast<int>(end - at));
        out.append(line.data(), static_cast<std::size_t>(n));
        at = end;
    }
    return out;
}

// The From and Subject the header list takes, as its cache reads them.
class ListFields : public SMHUnfoldDecode {
public:
    bool Action(const char* field) override {
        std::string value;
        if (HeaderFieldText(field, "Subject:", value) && subject.empty()) subject = value;
        if (HeaderFieldText(field, "From:", value) && from.empty()) from = value;
        return true;
    }
    std::string subject, from;
};

ListFields ReadListFields(const std::string& mail) {
    ListFields fields;
    fields.Init();
    std::size_t at = 0;
    while (at < mail.size()) {
        std::size_t end = mail.find('\n', at);
        end = end == std::string::npos ? mail.size() : end + 1;
        const std::string line = mail.substr(at, end - at);
        if (line == "\r\n" || line == "\n") break;
        fields.Execute(line.c_str());
        at = end;
    }
    fields.Finish();
    return fields;
}

TEST(CharsetCorpus, EveryMailReadsInTheListAndTheViewerAsPythonReadsIt) {
    qimtest::TempDir dir;
    int status = -1;
    const std::string out = qimtest::RunCommand(std::string("/usr/bin/python3 ") + QIM_TEST_DATA_DIR +
                                                    "/../common/make_charset_corpus.py " + dir.Path(),
                                                &status);
    ASSERT_EQ(status, 0) << out;
    std::vector<std::string> names;
    DIR* d = opendir(dir.Path().c_str());
    ASSERT_NE(d, nullptr);
    while (dirent* e = readdir(d)) {
        const std::string file = e->d_name;
        if (file.size() > 7 && file.substr(file.size() - 7) == ".expect") names.push_back(file.substr(0, file.size() - 7));
    }
    closedir(d);
    ASSERT_GE(names.size(), 10u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        const std::string mail = Stored(qimtest::ReadFileBytes(dir.File(name + ".eml")));
        std::istringstream expect(qimtest::ReadFileBytes(dir.File(name + ".expect")));
        const ListFields list = ReadListFields(mail);
        const std::string viewer = MailTextUtf8(mail);
        for (std::string kind, value; expect >> kind >> value;) {
            const std::string text = FromBase64(value);
            if (kind == "subject") {
                EXPECT_EQ(list.subject, platform::Utf8ToCp932Lossy(text));
                EXPECT_NE(viewer.find("Subject: " + text + "\n"), std::string::npos) << viewer;
            } else if (kind == "from") {
                EXPECT_EQ(list.from, platform::Utf8ToCp932Lossy(text));
                EXPECT_NE(viewer.find("From: " + text + "\n"), std::string::npos) << viewer;
            } else {
                EXPECT_NE(viewer.find(text), std::string::npos) << kind << " " << text << " in\n" << viewer;
            }
        }
        // Nothing of the raw transfer shows.
        EXPECT_EQ(viewer.find("=?"), std::string::npos) << viewer;
    }
}

// What the viewer shows for mail broken as real mail is broken.
TEST(MailText, BrokenStructuresStillShowWhatIsThere) {
    const struct {
        const char* name;
        std::string mail;
        std::vector<std::string> shown;
    } cases[] = {
        {"no close delimiter",
         "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\n\r\nfirst\r\n--b\r\n\r\nsecond\r\n",
         {"first\n", "second\n"}},
        {"boundary in RFC 2231 form",
         "Content-Type: multipart/mixed; boundary*=us-ascii''b\r\n\r\n--b\r\n\r\ninside\r\n--b--\r\n", {"inside\n"}},
        {"repeated delimiters",
         "Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n--b\r\n\r\nonly\r\n--b\r\n--b--\r\n", {"only\n"}},
        {"header without the empty line",
         "Subject: x\r\nThis line is the body.\r\n", {"Subject: x\n\nThis line is the body.\n"}},
        {"repeated Content-Type: the first counts",
         "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Type: text/html\r\n\r\n<b>\xE3\x81\x82</b>\r\n",
         {"<b>あ</b>\n"}},
        {"empty multipart", "Content-Type: multipart/mixed; boundary=b\r\n\r\n", {"Content-Type: multipart/mixed"}},
        {"nested multipart",
         "Content-Type: multipart/mixed; boundary=o\r\n\r\n--o\r\nContent-Type: multipart/alternative; boundary=i\r\n\r\n"
         "--i\r\nContent-Type: text/html\r\n\r\n<p>h</p>\r\n--i\r\nContent-Type: text/plain\r\n\r\nplain\r\n--i--\r\n--o--\r\n",
         {"plain\n"}},
        {"JIS X 0201 katakana", "Subject: k\r\n\r\n\x1b(I\x31\x32\x1b(B\r\n", {"ｱｲ\n"}},
    };
    for (const auto& c : cases) {
        const std::string shown = MailTextUtf8(c.mail);
        for (const std::string& part : c.shown) EXPECT_NE(shown.find(part), std::string::npos) << c.name << ":\n" << shown;
    }
    // The line end before a delimiter is the delimiter's: the part keeps only its own.
    const std::string part = MailTextUtf8("Content-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\nend\r\n\r\n\r\n--b--\r\n");
    EXPECT_EQ(part.substr(part.size() - 8), "b\n\nend\n\n") << part;
    // A hostile depth of nesting ends, and shows the text it reaches.
    std::string deep;
    for (int i = 0; i < 200; ++i) deep += "Content-Type: multipart/mixed; boundary=b" + std::to_string(i) + "\r\n\r\n--b" + std::to_string(i) + "\r\n";
    deep += "\r\nbottom\r\n";
    EXPECT_FALSE(MailTextUtf8(deep).empty());
}

}  // namespace

namespace {

// Every charset a mail may name reads as its text; an unknown or lying one
// falls back to a guess instead of garbage.
TEST(CharsetText, EveryFamilyReadsAndALyingLabelIsGuessed) {
    const struct {
        const char* charset;
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {"GB2312", "\xD6\xD0\xCE\xC4", "中文"},
        {"gbk", "\xD6\xD0\xCE\xC4", "中文"},
        {"Big5", "\xA4\xA4\xA4\xE5", "中文"},
        {"EUC-KR", "\xC7\xD1\xB1\xB9", "한국"},
        {"ks_c_5601-1987", "\xC7\xD1\xB1\xB9", "한국"},
        {"ISO-8859-1", "caf\xE9", "café"},
        {"windows-1252", "\x80 5", "€ 5"},
        {"ISO-8859-5", "\xB4\xD0", "Да"},
        {"koi8-r", "\xE4\xC1", "Да"},
        {"EUC-JP", "\xC6\xFC\xCB\xDC", "日本"},
        {"Shift_JIS", "\x87\x40\x93\xFA", "①日"},  // the CP932 extensions too
        {"ISO-2022-JP", "\x1b$B-!F|\x1b(B", "①日"},
        {"us-ascii", "\xE6\x97\xA5\xE6\x9C\xAC", "日本"},  // a lie: it is UTF-8
        {"x-unknown", "\x93\xFA\x96\x7B", "日本"},          // unknown: Shift_JIS by its bytes
        {"utf-8", "\x93\xFA\x96\x7B", "日本"},              // not UTF-8 at all
        {"", "plain", "plain"},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToUtf8(c.charset, c.bytes), c.utf8) << c.charset;
    // The list's form: what Shift_JIS lacks is the geta mark, the rest stays.
    EXPECT_EQ(TextToSjis("utf-8", "\xE6\x97\xA5\xF0\x9F\x98\x80"), "\x93\xFA\x81\xAC");
}

}  // namespace
