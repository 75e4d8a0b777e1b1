// The header of an attached file's part: every reader, ours and Python's under
// both policies, finds the name; no name can add header lines or break the
// line limit; the RFC 2231 continuations never cut a character.
#include <gtest/gtest.h>

#include "common/SAnalizeMimeHeader.h"
#include "platform/TextFile.h"
#include "send/SAttachmentPartHeader.h"
#include "support/TestSupport.h"
#include "tests/send/SendTestSupport.h"

using qimtest::Sjis;
using qimtest::Utf8;

namespace {

// The part header as the text stream writes it: CR LF lines.
std::string OnDisk(const std::string& header) {
    std::string out;
    for (char c : header) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

TEST(AttachmentPartHeader, EveryReaderFindsTheNameAndNoNameBreaksTheHeader) {
    struct Case {
        std::string name;       // UTF-8
        std::string ourReader;  // what our own reader gives (UTF-8)
        std::string compat;     // what Python's compat32 reader gives
    };
    std::string longest;  // the longest name a Linux file can have
    while (longest.size() + 3 <= 251) longest += "漢";
    longest += ".txt";
    const Case cases[] = {
        {"資料.bin", "資料.bin", "資料.bin"},
        {"say \"hi\" \\ back.txt", "say \"hi\" \\ back.txt", "say \"hi\" \\ back.txt"},
        // ISO-2022-JP has no half-width katakana: only the RFC 2231 form keeps them.
        {"ﾊﾝｶｸ名.txt", "ﾊﾝｶｸ名.txt", "ハンカク名.txt"},
        {"=?ISO-2022-JP?B?abc?=.txt", "=?ISO-2022-JP?B?abc?=.txt", "=?ISO-2022-JP?B?abc?=.txt"},
        {longest, longest, longest},
    };
    qimtest::TempDir dir;
    std::string message = "Subject: parts\r\nMIME-Version: 1.0\r\nContent-Type: multipart/mixed; boundary=\"b\"\r\n\r\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string header = qimsend::AttachmentPartHeader(Sjis(c.name));
        EXPECT_EQ(header.find('\r'), std::string::npos) << "CR LF comes from the stream";
        for (std::size_t start = 0, end; (end = header.find('\n', start)) != std::string::npos; start = end + 1)
            EXPECT_LE(end - start, 998u);
        const std::string disk = OnDisk(header) + "\r\nAAAA\r\n";
        message += "--b\r\n" + disk;
        qimtest::WriteFileBytes(dir.File("part"), disk);
        SAnalizeMimeHeaderFile reader;
        ASSERT_TRUE(reader.AnalizeMimeHeader(dir.File("part").c_str()));
        EXPECT_EQ(Utf8(reader.Part().name), c.ourReader);
    }
    // A name with line breaks stays inside its parameters.
    const std::string hostile = qimsend::AttachmentPartHeader("evil\r\nContent-Type: text/html\n\nx.txt");
    EXPECT_EQ(hostile.find("\nContent-Type: text/html"), std::string::npos) << hostile;
    message += "--b\r\n" + OnDisk(hostile) + "\r\nAAAA\r\n--b--\r\n";

    const qimtest::Parsed parsed = qimtest::ParseWithPython(dir.Path(), message);
    ASSERT_EQ(parsed.names.size(), std::size(cases) + 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(parsed.names[i].fileName, cases[i].name) << "the current policy takes the exact UTF-8 form";
        if (!cases[i].compat.empty()) {
            EXPECT_EQ(parsed.names[i].compatFileName, cases[i].compat);
        }
    }
    EXPECT_EQ(parsed.names.back().fileName, "evil__Content-Type: text/html__x.txt");
}

TEST(AttachmentPartHeader, LongNamesContinueWithoutCuttingACharacter) {
    const std::string name = std::string(30, 'a') + "長い名前の添付ファイル長い名前の添付ファイル.txt";
    const std::string param = qimsend::Rfc2231FileName(name);
    std::string joined;
    int sections = 0;
    for (std::size_t start = 0; start < param.size();) {
        std::size_t end = param.find('\n', start);
        if (end == std::string::npos) end = param.size();
        const std::string line = param.substr(start, end - start);
        EXPECT_LE(line.size(), 78u) << line;
        const std::string head = " filename*" + std::to_string(sections) + "*=" + (sections == 0 ? "UTF-8''" : "");
        ASSERT_EQ(line.rfind(head, 0), 0u) << line;
        std::string value = line.substr(head.size());
        if (!value.empty() && value.back() == ';') value.pop_back();
        // Each section decodes to whole characters on its own.
        std::string bytes;
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (value[i] == '%') {
                bytes += static_cast<char>(std::stoi(value.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                bytes += value[i];
            }
        }
        EXPECT_NE(static_cast<unsigned char>(bytes[0]) & 0xC0, 0x80u) << line;
        joined += bytes;
        ++sections;
        start = end + 1;
    }
    EXPECT_GT(sections, 2);
    EXPECT_EQ(joined, name);
    EXPECT_EQ(qimsend::Rfc2231FileName("a b,c.txt"), " filename*=UTF-8''a%20b%2Cc.txt");
}

}  // namespace
