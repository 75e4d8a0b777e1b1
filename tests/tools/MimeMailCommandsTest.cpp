// qimtool mime parts / view / extract on stored messages: the listing, the
// viewable copy, one part decoded; errors in Japanese with the usual exit
// codes; and nothing written anywhere but the output asked for.
#include <gtest/gtest.h>
#include <dirent.h>

#include <set>
#include <string>

#include "support/TestSupport.h"

namespace {

std::string Tool() { return qimtest::BuiltProgram("qimtool"); }
std::string Fixture(const std::string& name) { return std::string(QIM_TEST_DATA_DIR) + "/mime/" + name; }

struct Result {
    int status;
    std::string out;
    std::string err;
};

// Runs qimtool inside `cwd` when given, with `env` (NAME=value) before it.
Result RunTool(const std::string& args, const std::string& cwd = "", const std::string& env = "") {
    qimtest::TempDir errDir;
    Result r{-1, "", ""};
    const std::string cd = cwd.empty() ? "" : "cd '" + cwd + "' && ";
    r.out = qimtest::RunCommand(cd + env + " " + Tool() + " " + args + " 2> " + errDir.File("err"), &r.status);
    r.err = qimtest::ReadFileBytes(errDir.File("err"));
    return r;
}

std::set<std::string> Listing(const std::string& dir) {
    std::set<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string name = e->d_name;
            if (name != "." && name != "..") names.insert(name);
        }
        closedir(d);
    }
    return names;
}

TEST(QimtoolMimeMail, PartsListsEveryLeafPart) {
    Result r = RunTool("mime parts --utf8 " + Fixture("nested_alternative.eml"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "278\t320\ttext/plain\tquoted-printable\tUS-ASCII\t\n"
              "421\t439\ttext/other\tquoted-printable\tUS-ASCII\t\n"
              "582\t632\tapplication/other\tbase64\t-\t会議資料.pdf\n");
    EXPECT_EQ(r.err, "");
    // Without --utf8 the name is the Shift_JIS of the files.
    Result sjis = RunTool("mime parts " + Fixture("nested_alternative.eml"));
    EXPECT_NE(sjis.out.find(qimtest::Sjis("会議資料.pdf")), std::string::npos);
}

TEST(QimtoolMimeMail, ExtractDecodesOnePartIntoTheNamedFileOnly) {
    qimtest::TempDir dir;
    struct Case {
        const char* file;
        int part;
        std::string bytes;
    } cases[] = {
        {"mixed_b64text_gif.eml", 2,
         std::string("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00,"
                     "\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02" "D\x01\x00;",
                     43)},
        {"nested_alternative.eml", 1, "caf\xC3\xA9 = soft break\r\nsecond line\r\n"},
        {"hostile_names.eml", 1, "escape attempt\n"},
        {"hostile_names.eml", 2, "root::0:0\n"},
    };
    for (const Case& c : cases) {
        const std::string args = std::string("mime extract ") + Fixture(c.file) + " " + std::to_string(c.part);
        Result r = RunTool(args + " out", dir.Path());
        EXPECT_EQ(r.status, 0) << c.file << r.err;
        EXPECT_TRUE(qimtest::ReadFileBytes(dir.File("out")) == c.bytes) << c.file << " part " << c.part;
        // The part's own name ("../../x", "/etc/passwd") decides nothing.
        EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"out"}) << c.file;
        Result piped = RunTool(args + " -");
        EXPECT_TRUE(piped.out == c.bytes) << c.file << " to stdout";
    }
    EXPECT_FALSE(qimtest::FileExists(std::string(dir.Path()) + "/../../x"));
}

TEST(QimtoolMimeMail, ViewWritesTheViewersTextWithoutAttachments) {
    qimtest::TempDir dir;
    Result r = RunTool("mime view " + Fixture("mixed_7bit_gif.eml") + " view", dir.Path());
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string copy = qimtest::ReadFileBytes(dir.File("view"));
    EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"view"});
    EXPECT_EQ(copy.find("R0lGODlh"), std::string::npos);
    EXPECT_NE(copy.find(qimtest::Sjis("(ここにファイルが添付されていますが表示は省略します。Qimより。)")),
              std::string::npos);
    // To stdout by way of temporary files that go again.
    qimtest::TempDir scratch;
    Result out = RunTool("mime view " + Fixture("mixed_7bit_gif.eml"), "", "TMPDIR='" + scratch.Path() + "'");
    EXPECT_TRUE(out.out == copy) << "stdout gets the same bytes";
    Result part = RunTool("mime extract " + Fixture("mixed_7bit_gif.eml") + " 2 -", "",
                          "TMPDIR='" + scratch.Path() + "'");
    EXPECT_EQ(part.out.substr(0, 6), "GIF89a");
    EXPECT_TRUE(Listing(scratch.Path()).empty());
    Result utf8 = RunTool("mime view --utf8 " + Fixture("mixed_7bit_gif.eml"));
    std::string lf = qimtest::Utf8(copy);
    for (std::size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
    EXPECT_EQ(utf8.out, lf);
}

TEST(QimtoolMimeMail, ErrorsAreReportedWithTheRightExitCode) {
    qimtest::TempDir dir;
    const std::string mail = Fixture("mixed_7bit_gif.eml");
    qimtest::WriteFileBytes(dir.File("copy.eml"), qimtest::ReadFileBytes(mail));
    struct Case {
        std::string args;
        int status;
        std::string err;  // part of what stderr says
    } cases[] = {
        {"mime", 2, "parts、view、extract"},
        {"mime list x", 2, "不明な処理です"},
        {"mime parts", 2, "使い方"},
        {"mime parts a b", 2, "使い方"},
        {"mime parts --all " + mail, 2, "不明なオプションです"},
        {"mime extract " + mail + " 0 out", 2, "1 以上"},
        {"mime extract " + mail + " two out", 2, "1 以上"},
        {"mime extract " + mail + " 1", 2, "使い方"},
        {"mime extract --utf8 " + mail + " 1 out", 2, "--utf8"},
        {"mime view --utf8 " + mail + " out", 2, "--utf8"},
        {"mime extract " + mail + " 3 out", 1, "パート 3 はありません (パートは 2 個です)"},
        {"mime parts /nonexistent/mail.eml", 1, "Qim: ファイルをオープンできません。"},
        {"mime view /nonexistent/mail.eml", 1, "メールを解析できませんでした"},
        {"mime parts " + Fixture("no_boundary.eml"), 1, "Qim: ヘッダーの解析に失敗しました。"},
        {"mime parts " + Fixture("nested_too_deep.eml"), 1, "Qim: 変です。"},
        // The message is never the output.
        {"mime extract " + dir.File("copy.eml") + " 1 " + dir.File("copy.eml"), 1, "同じファイル"},
        {"mime view " + dir.File("copy.eml") + " " + dir.File("copy.eml"), 1, "ファイルをオープンできません"},
    };
    for (const Case& c : cases) {
        Result r = RunTool(c.args, dir.Path());
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args << "\n" << r.err;
    }
    EXPECT_TRUE(qimtest::ReadFileBytes(dir.File("copy.eml")) == qimtest::ReadFileBytes(mail));
    EXPECT_EQ(Listing(dir.Path()), std::set<std::string>{"copy.eml"}) << "failures leave nothing behind";

    // A multipart that never closes: its last part runs to the end, and every part can be taken out.
    Result partial = RunTool("mime parts " + Fixture("unclosed.eml"));
    EXPECT_EQ(partial.status, 0) << partial.err;
    EXPECT_EQ(partial.out, "148\t160\ttext/plain\tnone\tUS-ASCII\t\n263\t273\tapplication/octet-stream\tbase64\t-\tlost.bin\n");
    Result last = RunTool("mime extract " + Fixture("unclosed.eml") + " 2 -");
    EXPECT_EQ(last.out, std::string("\0\1\2\3\4\5", 6));
    Result first = RunTool("mime extract " + Fixture("unclosed.eml") + " 1 -");
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.out, "first part\r\n");
    // Nesting beyond the limit: the part above it, and the multipart that was
    // not opened as one part of its own.
    Result deep = RunTool("mime parts " + Fixture("nested_too_deep.eml"));
    EXPECT_EQ(deep.out, "145\t153\ttext/plain\tnone\tUS-ASCII\t\n1928\t2431\tmultipart/mixed\tnone\t-\t\n");
}

}  // namespace
