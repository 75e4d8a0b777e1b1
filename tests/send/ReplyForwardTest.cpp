#include <gtest/gtest.h>

#include <regex>

#include "common/SMimeBase64.h"
#include "config/QimSettingKeys.h"
#include "send/SEMailHeader.h"
#include "send/SQuoteMail.h"
#include "send/SReplyHeader.h"
#include "send/STemplates.h"
#include "tests/send/SendTestSupport.h"

namespace {

using qimtest::Sjis;
using ReplyForward = qimtest::SendTest;

class RecordingSink : public STextSink {
public:
    void InsertAtCaret(const char* text) override { text_ += text; }
    std::string text_;
};

std::string Base64(const std::string& bytes) {
    std::vector<char> out(SMimeBase64::EncodedLinesLength(static_cast<int>(bytes.size())) + 1);
    SMimeBase64::EncodeToLines(reinterpret_cast<const unsigned char*>(bytes.data()), out.data(),
                               static_cast<int>(bytes.size()));
    std::string text(out.data());
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf;
}

TEST(ReplySubject, CountsRepliesAndLeavesAnsweredSubjectsAlone) {
    const struct {
        std::string subject, expected;
    } cases[] = {
        {"hello", "Re: hello"},
        {"Re: hello", "Re: hello"},
        {"RE: hello", "RE: hello"},
        {"re:hello", "re:hello"},
        {"  Re: hello", "  Re: hello"},  // blanks are skipped for the test only
        {"Re^2: hello", "Re^3: hello"},
        {"re^9:x", "Re^10:x"},
        {"Re^x: hello", "Re: Re^x: hello"},
        {"Re^: hello", "Re: Re^: hello"},
        {"Re^2 hello", "Re: Re^2 hello"},  // no colon: no count
        {"Re^99999999999: x", "Re: Re^99999999999: x"},  // a count that would overflow is not one
        {"", "Re: "},
        {Sjis("会議"), Sjis("Re: 会議")},
    };
    for (const auto& c : cases) EXPECT_EQ(ReplySubject(c.subject), c.expected) << c.subject;
}

TEST(ReplyReferences, AppendTheSourceIdAndKeepTheFirstAndNewestOfALongThread) {
    EXPECT_EQ(ReplyReferences("", "<a@x>"), "<a@x>");
    EXPECT_EQ(ReplyReferences("<a@x>\t<b@x>", "<c@x>"), "<a@x> <b@x> <c@x>");
    EXPECT_EQ(ReplyReferences("<a@x>", ""), "<a@x>");
    std::string thread;
    for (int i = 0; i < 30; ++i) thread += "<" + std::to_string(i) + "@x> ";
    const std::string refs = ReplyReferences(thread, "<new@x>");
    EXPECT_EQ(refs.substr(0, 6), "<0@x> ");
    EXPECT_EQ(refs.substr(refs.size() - 7), "<new@x>");
    EXPECT_EQ(std::count(refs.begin(), refs.end(), '<'), kMaxReferences);
    EXPECT_NE(refs.find("<29@x> <new@x>"), std::string::npos);
    EXPECT_EQ(refs.find("<1@x>"), std::string::npos);
}

TEST_F(ReplyForward, TheReplyGoesToReplyToInEitherOrderAndToFromWhenItIsEmpty) {
    const struct {
        std::string header, to;
    } cases[] = {
        {"From: a@x.jp\r\nReply-To: list@x.jp\r\n", "list@x.jp"},
        {"Reply-To: list@x.jp\r\nFrom: a@x.jp\r\n", "list@x.jp"},
        {"From: a@x.jp\r\nReply-To: \r\n", "a@x.jp"},
        {"From: =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?= <a@x.jp>\r\n", Sjis("山田 <a@x.jp>")},
    };
    for (const auto& c : cases) {
        const std::string path = home_ + "/src";
        qimtest::WriteFileBytes(path, c.header + "Subject: Re^1: plan\r\nMessage-Id: <m1@x.jp>\r\n"
                                                 "References: <m0@x.jp>\r\n\r\nbody\r\n");
        SEMailMimeHeader reader;
        SReplyFields fields;
        ASSERT_TRUE(reader.ReadReplyFields(path.c_str(), fields));
        SEMailHeader reply;
        StartReplyHeader(fields, {}, reply);
        EXPECT_EQ(reply.to, c.to) << c.header;
        EXPECT_EQ(reply.subject, "Re^2: plan");
        EXPECT_EQ(reply.inReplyTo, "<m1@x.jp>");
        EXPECT_EQ(reply.references, "<m0@x.jp> <m1@x.jp>");
        EXPECT_TRUE(reply.cc.empty());
    }
}

TEST(ReplyHeader, AReplyToAllCopiesTheOthersOnceAndLeavesTheUserOut) {
    SReplyFields source;
    source.from = "Boss <boss@x.jp>";
    source.replyAddress = source.from;
    source.to = "me@x.jp, Ann <ann@x.jp>";
    source.cc = "ANN@x.jp, bob@x.jp, boss@x.jp";
    SReplyOptions options;
    options.all = true;
    options.ownAddress = "Me <ME@x.jp>";
    SEMailHeader reply;
    StartReplyHeader(source, options, reply);
    EXPECT_EQ(reply.to, "Boss <boss@x.jp>");
    EXPECT_EQ(reply.cc, "ann@x.jp, bob@x.jp");
}

TEST_F(ReplyForward, AMailThatCannotBeReadGivesNoReplyFields) {
    SEMailMimeHeader reader;
    SReplyFields fields;
    EXPECT_FALSE(reader.ReadReplyFields((home_ + "/missing").c_str(), fields));
}

TEST_F(ReplyForward, AForwardLeavesOutEveryReceivedLineAndKeepsTheRestBetweenTheMarkers) {
    std::string mail;
    for (int i = 0; i < 5; ++i) mail += "Received: from h" + std::to_string(i) + "\r\n\tby relay; Mon\r\n";
    mail += "RECEIVED: shouted\r\nFrom: a@x.jp\r\nSubject: =?ISO-2022-JP?B?GyRCMnE1RBsoQg==?=\r\n"
            "X-Received-Note: kept\r\n\r\nline 1\r\n\r\nline 3\r\n";
    const std::string path = home_ + "/fwd";
    qimtest::WriteFileBytes(path, mail);
    RecordingSink sink;
    ASSERT_EQ(ForwardMail(sink, path.c_str(), "--pre--", "--post--"), SForwardResult::Done);
    EXPECT_EQ(sink.text_, "\r\n--pre--\r\n\r\nFrom: a@x.jp\r\n" + Sjis("Subject: 会議") +
                              "\r\nX-Received-Note: kept\r\n\r\nline 1\r\n\r\nline 3\r\n\r\n--post--\r\n\r\n");

    RecordingSink none;
    EXPECT_EQ(ForwardMail(none, (home_ + "/missing").c_str(), "a", "b"), SForwardResult::CannotOpen);
    EXPECT_TRUE(none.text_.empty());
}

TEST_F(ReplyForward, AMailInsertedWithAPrefixHasItBeforeEveryFieldAndLine) {
    const std::string path = home_ + "/ins";
    qimtest::WriteFileBytes(path, "From: a@x.jp\r\nSubject: long\r\n  folded\r\n\r\nbody\r\n");
    for (const std::string& prefix : {std::string("| "), std::string()}) {
        RecordingSink sink;
        SInsertMailFilePrefixDecode reader(sink, prefix);
        ASSERT_TRUE(FeedMailFile(path.c_str(), reader));
        EXPECT_EQ(sink.text_, prefix + "From: a@x.jp\r\n" + prefix + "Subject: long  folded\r\n" + prefix + "\r\n" +
                                  prefix + "body\r\n");
    }
}

TEST_F(ReplyForward, AQuotedMultipartMailGivesItsTextPartsDecodedBehindThePrefix) {
    // JIS text in base64, a quoted-printable part with a soft break, and an
    // attachment that must not be quoted.
    const std::string jis = "\x1b$B$3$s$K$A$O\x1b(B\r\nsecond\r\n";  // こんにちは
    const std::string mail =
        "From: a@x.jp\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"B\"\r\n\r\n"
        "--B\r\nContent-Type: text/plain; charset=ISO-2022-JP\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
        Base64(jis) +
        "--B\r\nContent-Type: text/plain; charset=US-ASCII\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
        "soft=\r\nly joined =3D\r\n"
        "--B\r\nContent-Type: application/octet-stream; name=\"x.bin\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
        "AAECAw==\r\n--B--\r\n";
    const std::string path = home_ + "/multi";
    qimtest::WriteFileBytes(path, mail);
    RecordingSink sink;
    SQuoteReplyMimeMail quote(nullptr, &sink, "> ");
    ASSERT_TRUE(quote.Process(path.c_str()));
    EXPECT_EQ(sink.text_, Sjis("> こんにちは\r\n> second\r\n> softly joined =\r\n"));
}

TEST(HeadTemplate, SequencesTakeTheSourceFieldsAndEverythingElseStays) {
    SReplyFields source;
    source.from = "Taro <taro@x.jp>";
    source.subject = "plan";
    source.date = "Mon, 1 Jun 1998";
    source.messageId = "<id@x>";
    STemplateSources none;
    STemplateSources book;
    book.substitutedFrom = [](const std::string& from) { return from == "Taro <taro@x.jp>" ? "TARO" : from; };
    book.aliasName = [](const std::string& address, std::string& alias) {
        if (address != "taro@x.jp") return false;
        alias = Sjis("太郎さん");
        return true;
    };
    const struct {
        std::string text;
        const STemplateSources& sources;
        std::string expected;
    } cases[] = {
        {"%fwrote", none, "Taro <taro@x.jp>wrote"},
        {"%S/%d/%I", none, "plan/Mon, 1 Jun 1998/<id@x>"},
        {"100%", none, "100%"},
        {"%1 and %%F", none, "%1 and %%F"},
        {"%X %A", none, "Taro <taro@x.jp> Taro <taro@x.jp>"},
        {"%x %a", book, "TARO " + Sjis("太郎さん")},
        {Sjis("%F様 こんにちは"), none, "Taro <taro@x.jp>" + Sjis("様 こんにちは")},
    };
    for (const auto& c : cases) EXPECT_EQ(ExpandHeadTemplate(c.text, source, c.sources), c.expected) << c.text;
}

TEST(TemplateHash, IsFnv1aAndNeverChanges) {
    // Published FNV-1a test values: files written once must be found again.
    EXPECT_EQ(TemplateNameHash(""), 2166136261u);
    EXPECT_EQ(TemplateNameHash("a"), 0xe40c292cu);
    EXPECT_EQ(TemplateNameHash("foobar"), 0xbf9cf968u);
}

TEST_F(ReplyForward, TemplateListsAreStoredKeyByKeyAndTheirTextsInHashNamedFiles) {
    STemplateList tails(STemplateKind::Tail);
    const std::vector<std::string> names = {Sjis("署名"), "work sig", "three"};
    ASSERT_TRUE(tails.WriteNames(names));
    ASSERT_TRUE(tails.WriteDefault("work sig"));
    EXPECT_EQ(Stored(Config(), "Template", "TailNum"), "3");
    EXPECT_EQ(Stored(Config(), "Template", "Tail0"), Sjis("署名"));
    EXPECT_EQ(Stored(Config(), "Template", "Tail1"), "work sig");
    EXPECT_EQ(Stored(Config(), "Template", "TailDefSel"), "work sig");
    EXPECT_EQ(Stored(Config(), "Template", "HeadNum"), "<none>");
    // Shrinking the list removes the surplus keys; no default removes its key.
    ASSERT_TRUE(tails.WriteNames({"three"}));
    ASSERT_TRUE(tails.WriteDefault(""));
    EXPECT_EQ(Stored(Config(), "Template", "TailNum"), "1");
    EXPECT_EQ(Stored(Config(), "Template", "Tail0"), "three");
    EXPECT_EQ(Stored(Config(), "Template", "Tail1"), "<none>");
    EXPECT_EQ(Stored(Config(), "Template", "Tail2"), "<none>");
    EXPECT_EQ(Stored(Config(), "Template", "TailDefSel"), "<none>");
    EXPECT_EQ(tails.ReadNames(), std::vector<std::string>{"three"});

    EXPECT_FALSE(TemplatesChanged());
    const std::string text = Sjis("--\r\n山田 太郎\r\n");
    ASSERT_TRUE(tails.WriteText("three", text));
    EXPECT_TRUE(TemplatesChanged());
    EXPECT_EQ(qimtest::ReadFileBytes(home_ + "/Qim" + std::to_string(TemplateNameHash("three")) + ".ttl"), text);
    std::string read;
    ASSERT_TRUE(tails.ReadText("three", read));
    EXPECT_EQ(read, text);
    EXPECT_FALSE(STemplateList(STemplateKind::Head).ReadText("three", read));  // another kind, another file

    // A text over the limit is cut on a whole character.
    std::string kanji = "a";
    for (int i = 0; i < 600; ++i) kanji += Sjis("あ");
    ASSERT_TRUE(tails.WriteText("three", kanji));
    ASSERT_TRUE(tails.ReadText("three", read));
    EXPECT_EQ(read.size(), kTemplateTextSize - 1);
    EXPECT_EQ(read, kanji.substr(0, kTemplateTextSize - 1));
}

TEST_F(ReplyForward, EveryBuiltHeaderCarriesAMessageIdOfTheSendersDomainThatNeverRepeats) {
    Store(Config(), qimini::QimSend, qimini::MessageNum, "0");
    SEMailHeader h;
    h.from = "Me <me@mail.example.jp>";
    h.to = "you@example.jp";
    h.references = "<a@x> <b@x>";
    h.inReplyTo = "<b@x>";
    ASSERT_TRUE(h.Build());
    const std::string first = h.messageId;
    EXPECT_TRUE(std::regex_match(first, std::regex("<\\d{14}\\.[0-9a-f]{16}@mail\\.example\\.jp>"))) << first;
    EXPECT_NE(h.HeaderText().find("In-Reply-To: <b@x>\r\nReferences: <a@x> <b@x>\r\nMessage-Id: " + first + "\r\n"),
              std::string::npos);
    ASSERT_TRUE(h.Build());
    EXPECT_NE(h.messageId, first);
    EXPECT_EQ(Stored(Config(), qimini::QimSend, qimini::MessageNum), "0");
    // Without a usable sender domain the client address names the host.
    h.from = "nobody";
    h.clientAddr = "pc.example.jp";
    ASSERT_TRUE(h.Build());
    EXPECT_TRUE(std::regex_match(h.messageId, std::regex("<\\d{14}\\.[0-9a-f]{16}@pc\\.example\\.jp>")));
}

TEST_F(ReplyForward, ALongReferencesFieldIsFoldedInTheMimeHeader) {
    SEMailMimeHeader h;
    h.from = "me@x.jp";
    h.to = "you@x.jp";
    std::string thread;
    for (int i = 0; i < 12; ++i) thread += "<message." + std::to_string(i) + ".abcdefgh@mail.example.jp> ";
    h.references = ReplyReferences(thread, "<last@x.jp>");
    ASSERT_TRUE(h.Build());
    const std::string& text = h.HeaderText();
    const std::size_t at = text.find("References: ");
    ASSERT_NE(at, std::string::npos);
    const std::size_t end = text.find("\r\nMessage-Id:", at);
    ASSERT_NE(end, std::string::npos);
    const std::string field = text.substr(at, end - at);
    std::size_t lineStart = 0;
    for (std::size_t cut; (cut = field.find("\r\n", lineStart)) != std::string::npos; lineStart = cut + 2) {
        EXPECT_LE(cut - lineStart, 78u);
        EXPECT_TRUE(field[cut + 2] == ' ' || field[cut + 2] == '\t');
    }
    std::string unfolded;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\r' || field[i] == '\n') continue;
        unfolded += field[i];
    }
    EXPECT_NE(unfolded.find("<last@x.jp>"), std::string::npos);
}

}  // namespace
