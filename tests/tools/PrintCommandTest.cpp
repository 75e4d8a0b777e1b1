// qimtool print: a Japanese mail (ISO-2022-JP subject and text, long enough
// for two pages) laid out into a PDF, read back with poppler's pdftotext and
// pdffonts: the header block, the text, the subject over every page, the page
// numbers, the fixed font on request; errors in Japanese with the usual codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "support/TestSupport.h"

namespace {

std::string Tool() { return qimtest::BuiltProgram("qimtool"); }
std::string Fixture() { return std::string(QIM_TEST_DATA_DIR) + "/print/japanese_long.eml"; }

struct Result {
    int status;
    std::string err;
};

Result Print(const std::string& args, const std::string& env = "") {
    qimtest::TempDir errDir;
    Result r{-1, ""};
    qimtest::RunCommand("env -u QIMHOME " + env + " " + Tool() + " print " + args + " 2> " + errDir.File("err"), &r.status);
    r.err = qimtest::ReadFileBytes(errDir.File("err"));
    return r;
}

// Whether the PDF's text holds `piece` (spaces aside: qimtest::PdfText drops them).
bool Holds(const std::string& text, std::string piece) {
    piece.erase(std::remove(piece.begin(), piece.end(), ' '), piece.end());
    return text.find(piece) != std::string::npos;
}
std::string PdfFonts(const std::string& pdf) { return qimtest::RunCommand("pdffonts '" + pdf + "'"); }

std::size_t Count(const std::string& text, const std::string& piece) {
    std::size_t n = 0;
    for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + piece.size())) ++n;
    return n;
}

TEST(QimtoolPrint, JapaneseMailMakesPagesWithItsHeaderTextAndPageNumbers) {
    qimtest::TempDir dir;
    const std::string pdf = dir.File("mail.pdf");
    const Result r = Print("'" + Fixture() + "' '" + pdf + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string text = qimtest::PdfText(pdf);
    const std::string subject = "印刷の試験：長い日本語のメール";
    // The header block, decoded, with the date in the viewer's form.
    EXPECT_TRUE(Holds(text, "From: 鈴木 <suzuki@example.jp>")) << text;
    EXPECT_TRUE(Holds(text, "To: yamada@example.jp"));
    EXPECT_TRUE(Holds(text, "Subject: " + subject));
    EXPECT_TRUE(Holds(text, "Date: 2026/06/01("));
    // The text from its first line to its last, a quoted line as it is.
    EXPECT_TRUE(Holds(text, "山田様"));
    EXPECT_TRUE(Holds(text, "> 先日のお問い合わせの件です。"));
    EXPECT_TRUE(Holds(text, "第1行：これは印刷の試験のための本文です。"));
    EXPECT_TRUE(Holds(text, "第120行：これは印刷の試験のための本文です。"));
    EXPECT_TRUE(Holds(text, "以上、よろしくお願いいたします。"));
    // The long line is wrapped, not cut: its end is on the paper.
    EXPECT_TRUE(Holds(text, "ここまで"));
    // Two pages or more, each with the subject at its head and its number at its foot.
    const std::size_t pages = Count(text, "\f") + (text.empty() || text.back() == '\f' ? 0 : 1);
    ASSERT_GE(pages, 2u) << text;
    const std::string total = "/" + std::to_string(pages) + "-";
    for (std::size_t page = 1; page <= pages; ++page)
        EXPECT_TRUE(Holds(text, "-" + std::to_string(page) + total)) << page;
    EXPECT_EQ(Count(text, subject), pages + 1);  // every page's head, and the header block
}

TEST(QimtoolPrint, TheFixedFontComesFromTheOptionOrTheHomesSetting) {
    qimtest::TempDir home;
    qimtest::WriteFileBytes(home.File("QIM.INI"), "[Qim]\r\nFixFontPrint=1\r\n");
    qimtest::TempDir plainHome;
    qimtest::WriteFileBytes(plainHome.File("QIM.INI"), "[Qim]\r\nFixFontPrint=0\r\n");
    struct Case {
        std::string options;
        bool fixed;
    } cases[] = {
        {"", false},
        {"--fixed", true},
        {"--home '" + home.Path() + "'", true},
        {"--home '" + plainHome.Path() + "'", false},
    };
    for (const Case& c : cases) {
        qimtest::TempDir dir;
        const std::string pdf = dir.File("mail.pdf");
        const Result r = Print(c.options + " '" + Fixture() + "' '" + pdf + "'");
        ASSERT_EQ(r.status, 0) << c.options << ": " << r.err;
        const std::string fonts = PdfFonts(pdf);
        EXPECT_EQ(fonts.find("Mono") != std::string::npos, c.fixed) << c.options << "\n" << fonts;
        EXPECT_NE(fonts.find("CJK"), std::string::npos) << c.options << "\n" << fonts;
    }
}

TEST(QimtoolPrint, ErrorsAreToldInJapaneseWithTheirExitCodes) {
    qimtest::TempDir dir;
    struct Case {
        std::string args;
        int status;
        std::string message;
    } cases[] = {
        {"'" + Fixture() + "' '" + dir.Path() + "/no/such/folder/out.pdf'", 1, "PDF ファイルに書き込めません"},
        {"'" + dir.Path() + "/missing.eml' '" + dir.File("out.pdf") + "'", 1, "メールのファイルを読めません"},
        {"'" + Fixture() + "'", 2, "出力する PDF ファイルを指定してください"},
        {"--home '" + dir.Path() + "/none' '" + Fixture() + "' '" + dir.File("out.pdf") + "'", 1,
         "QimHome フォルダーが見つかりません"},
    };
    for (const Case& c : cases) {
        const Result r = Print(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << ": " << r.err;
    }
    EXPECT_EQ(qimtest::ReadFileBytes(dir.File("out.pdf")), "");
}

}  // namespace
