// mailto: URLs as browsers hand them over (RFC 6068), into the compose
// window's fields, and the hand-over of one to a running copy.
#include <gtest/gtest.h>

#include "app/SMailtoUrl.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

struct Case {
    const char* name;
    const char* url;  // what follows "mailto:", as typed (UTF-8 here, Shift_JIS for the parser)
    const char* to;
    const char* cc;
    const char* bcc;
    const char* subject;
    const char* body;
};

const Case kCases[] = {
    {"a plain address", "taro@example.jp", "taro@example.jp", "", "", "", ""},
    {"several addresses and a to field", "a@example.jp,b@example.jp?to=c@example.jp", "a@example.jp,b@example.jp, c@example.jp",
     "", "", "", ""},
    {"every field, names in any case", "a@example.jp?Subject=Hi&CC=c@example.jp&bcc=d@example.jp&BODY=line",
     "a@example.jp", "c@example.jp", "d@example.jp", "Hi", "line"},
    {"a Japanese subject in percent-encoded UTF-8", "a@example.jp?subject=%E4%BC%9A%E8%AD%B0%20%E3%81%AE%E4%BB%B6",
     "a@example.jp", "", "", "会議 の件", ""},
    {"body lines end in LF", "a@example.jp?body=one%0D%0Atwo%0Athree", "a@example.jp", "", "", "", "one\ntwo\nthree"},
    {"a line break in a header field cannot start another field",
     "a@example.jp?subject=Hi%0D%0ABcc:%20spy@example.jp&cc=x@example.jp%0ABcc:y@example.jp", "a@example.jp",
     "x@example.jp Bcc:y@example.jp", "", "Hi  Bcc: spy@example.jp", ""},
    {"fields a web page must not set are dropped", "a@example.jp?in-reply-to=%3Cx@y%3E&from=evil@example.jp&x-mailer=z",
     "a@example.jp", "", "", "", ""},
    {"escapes that are not UTF-8 or not escapes stay as typed", "a@example.jp?subject=%FF%FE%20100%&body=%ZZ",
     "a@example.jp", "", "", "%FF%FE%20100%", "%ZZ"},
    {"Japanese typed as it is (not escaped)", "a@example.jp?subject=会議", "a@example.jp", "", "", "会議", ""},
    {"an encoded address and an encoded & inside a value", "taro%40example.jp?subject=A%26B", "taro@example.jp", "", "",
     "A&B", ""},
    {"nothing after the scheme", "", "", "", "", "", ""},
};

TEST(MailtoUrl, FieldsOfTheUrlGoIntoTheComposeFields) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const SMailtoFields f = ParseMailtoUrl(Sjis(c.url));
        EXPECT_EQ(f.to, Sjis(c.to));
        EXPECT_EQ(f.cc, Sjis(c.cc));
        EXPECT_EQ(f.bcc, Sjis(c.bcc));
        EXPECT_EQ(f.subject, Sjis(c.subject));
        EXPECT_EQ(f.body, Sjis(c.body));
    }
}

TEST(MailtoUrl, TheRequestLineToTheRunningCopyKeepsLineBreaksOfTheArgument) {
    const std::string typed = "a@example.jp?body=one\r\ntwo\nthree";
    const std::string line = MailtoRequestLine(typed);
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos);
    EXPECT_EQ(ParseMailtoUrl(line).body, "one\ntwo\nthree");
}

}  // namespace
