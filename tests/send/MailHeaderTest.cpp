#include <gtest/gtest.h>

#include <regex>

#include "config/QimSettingKeys.h"
#include "common/SHeaderMime.h"
#include "send/SAddressText.h"
#include "send/SEMailHeader.h"
#include "send/SendCodes.h"
#include "tests/send/SendTestSupport.h"

namespace {

using qimtest::Sjis;
using MailHeader = qimtest::SendTest;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "the text does not end with CR LF";
    return lines;
}

std::string FieldName(const std::string& line) { return line.substr(0, line.find(':')); }

void FillAll(SEMailHeader& h) {
    h.from = "me@example.jp";
    h.sender = "sec@example.jp";
    h.replyTo = "back@example.jp";
    h.to = "you@example.jp";
    h.cc = "c@example.jp";
    h.bcc = "hidden@example.jp";
    h.subject = "Hello";
    h.extraHeader = "X-One: 1\r\n\r\nX-Two: 2";
    h.xMailer = kQimMailer;
    h.inReplyTo = "<orig@example.jp>";
    h.cryptVersion = "1.0";
}

TEST_F(MailHeader, LinesComeInTheirOrderAndBccNeverAppears) {
    Store(Config(), qimini::QimSend, qimini::MessageNum, "5");
    SEMailMimeHeader h;
    FillAll(h);
    h.mimeVersion = "1.0";
    h.contentType = "text/plain; charset=US-ASCII";
    ASSERT_TRUE(h.Build());
    std::vector<std::string> names;
    for (const std::string& line : Lines(h.HeaderText())) names.push_back(FieldName(line));
    const std::vector<std::string> expected = {"Date",        "From",       "Subject", "Sender",  "To",
                                               "Cc",          "Reply-To",   "In-Reply-To", "Message-Id",
                                               "X-One",       "X-Two",      "X-Mailer", "X-Qim-Crypt-Version",
                                               "MIME-Version", "Content-Type"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(h.HeaderText().find("hidden"), std::string::npos);
    EXPECT_EQ(Stored(Config(), qimini::QimSend, qimini::MessageNum), "6");
    EXPECT_TRUE(std::regex_search(h.HeaderText(), std::regex("Message-Id: <\\d{14}\\.[56]\\.[0-9a-f]{16}@example\\.jp>\r\n")));
    EXPECT_TRUE(std::regex_search(h.HeaderText(), std::regex("Date: \\w{3}, \\d{1,2} \\w{3} \\d{4} "
                                                             "\\d\\d:\\d\\d:\\d\\d \\+0900\r\n")));
}

TEST_F(MailHeader, EmptyFieldsGiveNoLinesAndACounterAtZeroStaysThere) {
    Store(Config(), qimini::QimSend, qimini::MessageNum, "0");
    SEMailHeader h;
    h.from = "me@example.jp";
    h.to = "you@example.jp";
    ASSERT_TRUE(h.Build());
    std::vector<std::string> names;
    for (const std::string& line : Lines(h.HeaderText())) names.push_back(FieldName(line));
    EXPECT_EQ(names, (std::vector<std::string>{"Date", "From", "To", "Message-Id"}));
    EXPECT_EQ(Stored(Config(), qimini::QimSend, qimini::MessageNum), "0");
}

TEST_F(MailHeader, ALineEndTypedIntoAFieldCannotStartAHeaderLine) {
    SEMailMimeHeader h;
    h.from = "me@example.jp";
    h.to = "you@example.jp";
    h.subject = "hi\r\nBcc: spy@example.jp\r\n\r\nbody";
    ASSERT_TRUE(h.Build());
    for (const std::string& line : Lines(h.HeaderText())) {
        EXPECT_FALSE(line.empty());
        EXPECT_NE(FieldName(line), "Bcc");
    }
}

TEST_F(MailHeader, JapaneseValuesAreEncodedWordsThatDecodeBack) {
    SEMailMimeHeader h;
    h.from = Sjis("山田 太郎 <taro@example.jp>");
    h.to = "you@example.jp";
    h.subject = Sjis("会議の件について、ご確認ください。来週の予定も併せてお知らせします。よろしく");
    ASSERT_TRUE(h.Build());
    const std::string& text = h.HeaderText();
    for (unsigned char c : text) ASSERT_LT(c, 0x80) << "raw Shift_JIS in the header";
    std::string subject;
    ASSERT_TRUE(FindHeaderField(text, "Subject:", subject));
    std::string unfolded;
    for (char c : subject)
        if (c != '\r' && c != '\n') unfolded += c;
    std::vector<char> decoded(unfolded.size() + 1);
    ASSERT_TRUE(SHeaderMime::DecodeALineSjis(unfolded.c_str(), decoded.data()));
    std::string plain(decoded.data());
    // Whitespace between encoded words vanishes in decoding.
    EXPECT_EQ(plain, h.subject);
    EXPECT_EQ(AddressPart(h.from), "taro@example.jp");
}

TEST_F(MailHeader, LongLinesFoldAfterTheLastCommaOrBlankBeforeColumn72) {
    const struct {
        std::string line;
        std::string folded;
    } cases[] = {
        // 72 bytes: short enough.
        {std::string(72, 'a'), std::string(72, 'a')},
        // 80 bytes of addresses: cut after the last blank before byte 72.
        {"To: aaaaaaaaaa@example.jp, bbbbbbbbbb@example.jp, cccccccccc@example.jp, ddd@e.jp",
         "To: aaaaaaaaaa@example.jp, bbbbbbbbbb@example.jp, cccccccccc@example.jp,\r\n\t ddd@e.jp"},
        // No blank or comma in the first 72 bytes: the line stays long.
        {"X:" + std::string(90, 'x') + " y", "X:" + std::string(90, 'x') + " y"},
        // Two folds.
        {"To: " + std::string(60, 'a') + ", " + std::string(60, 'b') + ", " + std::string(10, 'c'),
         "To: " + std::string(60, 'a') + ", \r\n\t" + std::string(60, 'b') + ", \r\n\t" + std::string(10, 'c')},
    };
    for (const auto& c : cases) EXPECT_EQ(FoldHeaderLine(c.line), c.folded) << c.line;
}

TEST_F(MailHeader, TheHeaderTextStaysBelowItsSize) {
    SEMailHeader h;
    h.from = "me@example.jp";
    h.to = "you@example.jp";
    ASSERT_TRUE(h.Build());
    const std::size_t base = h.HeaderText().size();
    // A line that would bring the text to exactly the size is refused.
    const std::string fill(kHeaderTextSize - base - 2 - 2, 'x');
    EXPECT_FALSE(h.AddLine("X:", fill));
    EXPECT_EQ(h.HeaderText().size(), base);
    EXPECT_TRUE(h.AddLine("X:", fill.substr(1)));
    EXPECT_EQ(h.HeaderText().size(), static_cast<std::size_t>(kHeaderTextSize - 1));
    h.extraHeader = "X-Big: " + std::string(kHeaderTextSize, 'y');
    EXPECT_FALSE(h.Build());
}

TEST_F(MailHeader, TheCheckWantsFromDateAndARecipient) {
    const struct {
        const char* text;
        const char* bcc;
        bool ok;
    } cases[] = {
        {"Date: x\r\nFrom: a@b\r\nTo: c@d\r\n", "", true},
        {"Date: x\r\nFrom: a@b\r\nCc: c@d\r\n", "", true},
        {"Date: x\r\nFrom: a@b\r\n", "e@f", true},
        {"Date: x\r\nFrom: a@b\r\n", " ", false},
        {"Date: x\r\nFrom: a@b\r\nTo: \r\n", "", false},
        {"Date: x\r\nTo: c@d\r\n", "", false},
        {"From: a@b\r\nTo: c@d\r\n", "", false},
        {"Date: x\r\nFrom: a@b\r\nX-To: c@d\r\n", "", false},
    };
    for (const auto& c : cases) {
        SEMailHeader h;
        h.SetHeaderText(c.text);
        h.bcc = c.bcc;
        EXPECT_EQ(h.CheckHeader(), c.ok) << c.text << " / " << c.bcc;
    }
}

TEST_F(MailHeader, RecipientsAreToThenCcThenBcc) {
    SEMailMimeHeader h;
    h.from = "me@example.jp";
    h.to = Sjis("\"Doe, John\" <john@example.jp>, 佐藤 <sato@example.jp>");
    h.cc = "c1@example.jp (the first), team: c2@example.jp, c3@example.jp;";
    h.bcc = "b1@example.jp";
    ASSERT_TRUE(h.Build());
    h.CollectRecipients();
    std::vector<std::string> got;
    while (h.HasMoreRecipients()) got.push_back(h.NextRecipient());
    EXPECT_EQ(got, (std::vector<std::string>{"john@example.jp", "sato@example.jp", "c1@example.jp", "c2@example.jp",
                                             "c3@example.jp", "b1@example.jp"}));
}

TEST_F(MailHeader, AddressesAreFoundWithoutTakingASecondByteForSyntax) {
    const struct {
        std::string list;
        std::vector<std::string> addresses;
    } cases[] = {
        {"a@x", {"a@x"}},
        {"Name <a@x>", {"a@x"}},
        {"\"<not@this>\" <a@x>", {"a@x"}},
        {"a@x (comment, with comma), b@y", {"a@x", "b@y"}},
        // ソ ends in 0x5C, which must not escape the closing quote.
        {Sjis("\"ソ\" <a@x>, b@y"), {"a@x", "b@y"}},
        {"empty:;, c@z", {"c@z"}},
        {" , ,", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitAddresses(c.list), c.addresses) << c.list;
}

}  // namespace

#include "send/SHalfwayHeader.h"

namespace {

// The reply reader, the draft reader and the header text all find a field
// however its name is spelled.
TEST_F(MailHeader, EveryReaderFindsFieldsWhateverTheCaseOfTheirNames) {
    const std::string header = "FROM: a@example.jp\r\nsubject : odd spelling\r\nto:b@example.jp\r\n"
                               "DATE: Fri, 31 Dec 1999 23:59:10 +0900\r\nbcc: c@example.jp\r\n";
    const std::string path = dir_.File("mail");
    qimtest::WriteFileBytes(path, header + "\r\nbody\r\n");

    SEMailHeader reply;
    SReplyFields fields;
    ASSERT_TRUE(reply.ReadReplyFields(path.c_str(), fields));
    EXPECT_EQ(fields.from, "a@example.jp");
    EXPECT_EQ(fields.subject, "odd spelling");
    EXPECT_EQ(fields.to, "b@example.jp");

    SHalfwayHeader draft;
    SAttachmentList attachments;
    ASSERT_TRUE(draft.ReadDraft(path.c_str(), attachments));
    EXPECT_EQ(draft.subject, "odd spelling");
    EXPECT_EQ(draft.bcc, "c@example.jp");

    std::string value;
    ASSERT_TRUE(FindHeaderField(header, "Subject:", value));
    EXPECT_EQ(value, "odd spelling");
    SEMailHeader text;
    text.SetHeaderText(header);
    EXPECT_TRUE(text.CheckHeader()) << "From, Date and To are there";
}

}  // namespace
