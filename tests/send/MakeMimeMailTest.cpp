#include <gtest/gtest.h>

#include <unistd.h>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "common/SMimeBase64.h"
#include "send/SAddressText.h"
#include "send/SMakeMimeMail.h"
#include "tests/send/SendTestSupport.h"

namespace {

using platform::MessageAnswer;
using qimtest::ReadFileBytes;
using qimtest::Sjis;
using qimtest::WriteFileBytes;
using MakeMimeMail = qimtest::SendTest;

void FillHeader(SEMailMimeHeader& h) {
    h.from = "me@example.jp";
    h.to = "you@example.jp";
    h.subject = Sjis("添付のテスト");
}

std::string Base64Decode(const std::string& text) {
    std::vector<unsigned char> out(text.size() + 1);
    const int n = SMimeBase64::DecodeBinary(text.c_str(), out.data(), true);
    EXPECT_GE(n, 0);
    return std::string(reinterpret_cast<char*>(out.data()), static_cast<std::size_t>(n < 0 ? 0 : n));
}

std::string Binary(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return data;
}

TEST_F(MakeMimeMail, PlainTextIsUsAsciiUntilOneJapaneseCharacter) {
    const struct {
        std::string body;
        const char* type;
    } cases[] = {
        {"Hello\r\n\tworld.\r\n", "text/plain; charset=US-ASCII"},
        {"Hello\r\n" + Sjis("世界") + "\r\n", "text/plain; charset=ISO-2022-JP"},
    };
    for (const auto& c : cases) {
        SEMailMimeHeader h;
        FillHeader(h);
        SComposeText editor(c.body);
        SMakePlainTextMimeMail maker(h, editor, nullptr);
        ASSERT_TRUE(maker.Make());
        const std::string file = ReadFileBytes(maker.FilePath());
        EXPECT_EQ(file, h.HeaderText() + "\r\n" + c.body);
        std::string value;
        EXPECT_TRUE(FindHeaderField(file, "MIME-Version:", value));
        EXPECT_EQ(value, "1.0");
        EXPECT_TRUE(FindHeaderField(file, "Content-Type:", value));
        EXPECT_EQ(value, c.type);
    }
    EXPECT_TRUE(dialogs_.Boxes().empty());
}

TEST_F(MakeMimeMail, TwoAttachmentsGiveTextPartTwoFilePartsAndTheClosingLine) {
    const std::string first = dir_.File(Sjis("報告書.pdf"));
    const std::string second = dir_.File(Sjis("写真 1.jpg"));
    const std::string firstData = Binary(1000);
    const std::string secondData = Binary(55);
    WriteFileBytes(qimtest::Utf8(first), firstData);
    WriteFileBytes(qimtest::Utf8(second), secondData);
    SEMailMimeHeader h;
    FillHeader(h);
    SComposeText editor(Sjis("本文です。\r\n.\r\n"));
    SAttachmentList list = {first, second};
    SMakeBinaryMimeMail maker(h, editor, &list, nullptr);
    dialogs_.AnswerMessage(MessageAnswer::Yes);
    ASSERT_TRUE(maker.Make());
    const std::string file = ReadFileBytes(maker.FilePath());
    const std::string& b = maker.Boundary();
    EXPECT_EQ(b.rfind("QimKuGiRi-", 0), 0u);
    std::string value;
    ASSERT_TRUE(FindHeaderField(file, "Content-Type:", value));
    EXPECT_EQ(value, "multipart/mixed; boundary=\"" + b + "\"");

    // Cut the body at the boundary lines.
    std::string body = file.substr(h.HeaderText().size() + 2);
    const std::string sep = "\r\n--" + b + "\r\n";
    std::vector<std::string> parts;
    std::size_t pos = 0;
    ASSERT_EQ(body.compare(0, sep.size(), sep), 0);
    for (std::size_t next; (next = body.find(sep, pos + 1)) != std::string::npos || pos < body.size(); pos = next) {
        if (next == std::string::npos) {
            parts.push_back(body.substr(pos + sep.size()));
            break;
        }
        if (pos || next) parts.push_back(body.substr(pos + sep.size(), next - pos - sep.size()));
    }
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0], "Content-Type: text/plain; charset=ISO-2022-JP\r\n\r\n" + Sjis("本文です。\r\n.\r\n"));
    const std::string closing = "\r\n--" + b + "--\r\n";
    ASSERT_GE(parts[2].size(), closing.size());
    EXPECT_EQ(parts[2].substr(parts[2].size() - closing.size()), closing);
    parts[2].resize(parts[2].size() - closing.size());
    const std::string datas[] = {firstData, secondData};
    for (int i = 1; i <= 2; ++i) {
        const std::size_t end = parts[i].find("\r\n\r\n");
        ASSERT_NE(end, std::string::npos);
        const std::string partHeader = parts[i].substr(0, end + 2);
        EXPECT_TRUE(FindHeaderField(partHeader, "Content-Transfer-Encoding:", value));
        EXPECT_EQ(value, "base64");
        EXPECT_TRUE(FindHeaderField(partHeader, "Content-Type:", value));
        EXPECT_EQ(value.rfind("application/octet-stream;", 0), 0u) << value;
        EXPECT_NE(value.find("name=\"=?ISO-2022-JP?B?"), std::string::npos) << value;
        EXPECT_TRUE(FindHeaderField(partHeader, "Content-Disposition:", value));
        EXPECT_EQ(value.rfind("attachment;", 0), 0u) << value;
        EXPECT_NE(value.find("filename*=UTF-8''"), std::string::npos) << value;
        EXPECT_TRUE(FindHeaderField(partHeader, "Content-Description:", value));
        EXPECT_EQ(Base64Decode(parts[i].substr(end + 4)), datas[i - 1]);
    }
    // The confirmation named both files and the size.
    ASSERT_EQ(dialogs_.Boxes().size(), 1u);
    const std::string question = dialogs_.Boxes()[0].text;
    EXPECT_NE(question.find(first + ", " + second), std::string::npos);
    EXPECT_NE(question.find(Sjis("(計約 2KB。変換後約 2KB)")), std::string::npos);
}

TEST_F(MakeMimeMail, SizesAndTheSizeQuestion) {
    const struct {
        std::uint64_t bytes;
        const char* text;
        bool asks;
    } cases[] = {
        {800 * 1024, "(計約 801KB。変換後約 1067KB)", true},
        {767 * 1024, "(計約 768KB。変換後約 1023KB)", false},
        {768 * 1024, "(計約 769KB。変換後約 1025KB)", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AttachmentSizeText(c.bytes), Sjis(c.text));
        const std::string path = dir_.File("big.bin");
        WriteFileBytes(path, std::string(c.bytes, 'z'));
        SEMailMimeHeader h;
        FillHeader(h);
        SComposeText editor("text");
        SAttachmentList list = {path};
        SMakeBinaryMimeMail maker(h, editor, &list, nullptr);
        maker.confirm = false;
        dialogs_.Clear();
        if (c.asks) dialogs_.AnswerMessage(MessageAnswer::No);
        EXPECT_EQ(maker.Make(), !c.asks) << c.bytes;
        ASSERT_EQ(dialogs_.Boxes().size(), c.asks ? 1u : 0u) << c.bytes;
        if (c.asks) {
            EXPECT_NE(dialogs_.Boxes()[0].text.find(Sjis(c.text)), std::string::npos);
            EXPECT_FALSE(maker.MessageFile().HasPath() && qimtest::FileExists(maker.FilePath()));
        }
    }
}

TEST_F(MakeMimeMail, AFailedOrRefusedMakeLeavesNoFileAndTellsWhy) {
    const std::string present = dir_.File("a.txt");
    WriteFileBytes(present, "abc");
    struct Case {
        const char* name;
        SAttachmentList list;
        std::vector<MessageAnswer> answers;
        std::vector<std::vector<std::string>> files;  // file-dialog answers
        unsigned told;                                // 0: a question only
    } cases[] = {
        {"confirmation refused", {present}, {MessageAnswer::No}, {}, 0},
        {"confirmation cancelled", {present}, {MessageAnswer::Cancel}, {}, 0},
        {"size cannot be read", {present, dir_.File("missing.bin")}, {}, {}, qimstr::AttachmentSizeUnknown},
        {"nothing chosen", {}, {}, {{}}, qimstr::SendAborted},
    };
    for (Case& c : cases) {
        dialogs_.Clear();
        for (MessageAnswer a : c.answers) dialogs_.AnswerMessage(a);
        for (auto& f : c.files) dialogs_.AnswerFile(f);
        SEMailMimeHeader h;
        FillHeader(h);
        SComposeText editor("text");
        SMakeBinaryMimeMail maker(h, editor, &c.list, nullptr);
        EXPECT_FALSE(maker.Make()) << c.name;
        if (maker.MessageFile().HasPath()) {
            EXPECT_FALSE(qimtest::FileExists(maker.FilePath())) << c.name;
        }
        if (c.told) {
            EXPECT_TRUE(Showed(c.told)) << c.name;
        }
    }
}

TEST_F(MakeMimeMail, FilesChosenWhenNoneWereAttachedAndDuplicatesOnlyOnYes) {
    const std::string a = dir_.File("a.txt");
    const std::string b = dir_.File("b.txt");
    WriteFileBytes(a, "A");
    WriteFileBytes(b, "B");
    SEMailMimeHeader h;
    FillHeader(h);
    SComposeText editor("text");
    SMakeBinaryMimeMail maker(h, editor, nullptr, nullptr);
    bool told = false;
    maker.onAttachmentsChosen = [&] { told = true; };
    maker.confirm = false;
    dialogs_.AnswerFile({a, b});
    ASSERT_TRUE(maker.Make());
    EXPECT_TRUE(told);
    EXPECT_EQ(maker.Attachments(), (SAttachmentList{a, b}));
    EXPECT_TRUE(dialogs_.Boxes()[0].file.multiSelect);
    EXPECT_EQ(dialogs_.Boxes()[0].text, LoadQimString(qimstr::ChooseAttachments));

    // Adding the same files again: No, then Yes.
    SAttachmentList list = {a, b};
    dialogs_.Clear();
    dialogs_.AnswerFile({a, b});
    dialogs_.AnswerMessage(MessageAnswer::No);
    dialogs_.AnswerMessage(MessageAnswer::Yes);
    EXPECT_TRUE(ChooseAttachments(list, nullptr));
    EXPECT_EQ(list, (SAttachmentList{a, b, b}));
    EXPECT_EQ(dialogs_.Boxes()[1].defaultButton, 1);  // No is the default
    RemoveAttachments(list, {0, 2});
    EXPECT_EQ(list, (SAttachmentList{b}));
}

TEST(AttachmentRecord, ListTextIsCutBefore260BytesAndTheRecordRoundTrips) {
    SAttachmentList many;
    for (int i = 0; i < 20; ++i) many.push_back("/home/user/documents/file" + std::to_string(i) + ".txt");
    const std::string text = AttachmentListText(many);
    EXPECT_LE(text.size(), 259u + 3u);
    EXPECT_EQ(text.substr(text.size() - 3), "...");
    EXPECT_EQ(AttachmentListText({"a", "b"}), "a, b");

    const SAttachmentList list = {"/tmp/a b.txt", qimtest::Sjis("/tmp/報告.doc")};
    const std::string line = AttachFilesHeaderLine(list);
    EXPECT_EQ(line, "X-Qim-Attach-Files: \"/tmp/a b.txt\", \"" + qimtest::Sjis("/tmp/報告.doc") + "\"");
    SAttachmentList back;
    std::size_t used = 0;
    EXPECT_TRUE(ReadAttachFilesValue(line.substr(20), back, used));
    EXPECT_EQ(back, list);
    // A value that would overflow the record is refused.
    EXPECT_FALSE(ReadAttachFilesValue("\"" + std::string(26100, 'x') + "\"", back, used));
    EXPECT_EQ(back, list);
}

}  // namespace
