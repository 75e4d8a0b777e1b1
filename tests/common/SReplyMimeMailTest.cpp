// Quoting a stored message into the editor: a message that is not MIME goes in
// as it stands, a MIME message through the client's actions; the prefix stands
// before every line and nowhere else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/CmmnStringIds.h"
#include "common/CmmnStrings.h"
#include "common/SReplyMimeMail.h"
#include "ShownNotices.h"
#include "platform/ScriptedDialogService.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

std::string Fixture(const std::string& name) { return std::string(QIM_TEST_DATA_DIR) + "/mime/" + name; }

class Editor : public STextSink {
public:
    void InsertAtCaret(const char* text) override { this->text += text; }
    std::string text;
};

// Quotes unencoded parts as they stand and notes the others, as a client does.
class Quoting : public qimtest::ShownNotices<SReplyMimeMail> {
public:
    Quoting(Editor* editor, const char* prefix) : ShownNotices(nullptr, editor, prefix) {}
    bool ActionBase64(FILE*, long, long, const SMimePart& part) override { return Note("base64", part); }
    bool ActionQuotedPrintable(FILE*, long, long, const SMimePart& part) override { return Note("qp", part); }
    bool ActionOtherEncoded(FILE*, long, long, const SMimePart& part) override { return Note("other", part); }
    bool ActionNoEncoded(FILE* file, long start, long end, const SMimePart& part) override {
        Note("none", part);
        return ShowAsIs(file, start, end);
    }
    std::vector<std::string> seen;

private:
    bool Note(const char* what, const SMimePart& part) {
        seen.push_back(std::string(what) + ":" + part.name);
        return true;
    }
};

std::string Quote(const std::string& path, const char* prefix, bool* ok = nullptr,
                  std::vector<std::string>* seen = nullptr) {
    Editor editor;
    Quoting reply(&editor, prefix);
    bool result = reply.Process(path.c_str());
    if (ok) *ok = result;
    if (seen) *seen = reply.seen;
    return editor.text;
}

std::string QuoteText(const std::string& mail, const char* prefix, std::vector<std::string>* seen = nullptr) {
    qimtest::TempDir dir;
    qimtest::WriteFileBytes(dir.File("mail"), mail);
    bool ok = false;
    std::string text = Quote(dir.File("mail"), prefix, &ok, seen);
    EXPECT_TRUE(ok);
    return text;
}

TEST(SReplyMimeMail, AMessageThatIsNotMimeGoesInAsItStands) {
    EXPECT_EQ(Quote(Fixture("not_mime.eml"), ""), "Just text,\r\nno MIME at all.\r\n");
    EXPECT_EQ(Quote(Fixture("not_mime.eml"), "> "), "> Just text,\r\n> no MIME at all.\r\n");
    // MIME, but plain text: as it stands too.
    EXPECT_EQ(Quote(Fixture("single.eml"), "| "), Sjis("| こんにちは。\r\n| 一通だけのメールです。\r\n"));
    // A MIME version other than 1.0 is not trusted to be MIME.
    std::vector<std::string> seen;
    EXPECT_EQ(QuoteText("MIME-Version: 1.1\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n"
                        "--b\r\n\r\nx\r\n--b--\r\n",
                        "", &seen),
              "--b\r\n\r\nx\r\n--b--\r\n");
    EXPECT_TRUE(seen.empty());
}

TEST(SReplyMimeMail, AMimeMessageGoesThroughTheClientsActions) {
    std::vector<std::string> seen;
    bool ok = false;
    EXPECT_EQ(Quote(Fixture("mixed_7bit_gif.eml"), "> ", &ok, &seen),
              Sjis("> 写真を送ります。\r\n> よろしく。\r\n"));
    EXPECT_TRUE(ok);
    EXPECT_EQ(seen, (std::vector<std::string>{"none:", "base64:dot.gif"}));
    // Lines with a bare LF reach the editor with CR LF.
    EXPECT_EQ(QuoteText("MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n\n--b\n\none\ntwo\n--b--\n",
                        ">"),
              ">one\r\n>two\r\n");
}

TEST(SReplyMimeMail, ThePrefixStandsOnlyAtLineStarts) {
    const std::string longLine(2500, 'w');
    // The header's long line must not end the header where its tail is a bare CR LF.
    const std::string header = "From: a@example.jp\r\nX-Long: " + std::string(1000 - 8, 'h') + "\r\n\r\n";
    EXPECT_EQ(QuoteText(header + longLine + "\r\nshort\r\n", "> "), "> " + longLine + "\r\n> short\r\n");
    const std::string mime =
        "MIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=b\r\n\r\n--b\r\n\r\n" + longLine +
        "\r\n--b--\r\n";
    EXPECT_EQ(QuoteText(mime, "> "), "> " + longLine + "\r\n");
}

TEST(SReplyMimeMail, AnUnreadableMessageSaysSo) {
    platform::ScriptedDialogService dialogs;
    platform::ScopedDialogService scope(dialogs);
    bool ok = true;
    EXPECT_EQ(Quote("/nonexistent/mail", "> ", &ok), "");
    EXPECT_FALSE(ok);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].text, LoadStringCmmnDll(cmmnstr::HeaderParseFailed));
    EXPECT_EQ(dialogs.Boxes()[0].icon, platform::MessageIcon::Stop);
}

}  // namespace
