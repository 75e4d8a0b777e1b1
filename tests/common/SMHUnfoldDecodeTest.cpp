#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/SMHUnfoldDecode.h"
#include "support/TestSupport.h"

namespace {

using qimtest::Sjis;

class Recorder : public SMHUnfoldDecodeMail {
public:
    std::vector<std::string> fields;
    std::vector<std::string> body;
    int stopAfter = -1;
    bool Action(const char* field) override {
        fields.push_back(field);
        return stopAfter < 0 || static_cast<int>(fields.size()) < stopAfter;
    }
    bool ActionBody(const char* line) override {
        body.push_back(line);
        return true;
    }
};

std::vector<std::string> Feed(Recorder& r, const std::vector<std::string>& lines) {
    for (const std::string& l : lines)
        if (!r.Execute(l.c_str())) break;
    r.Finish();
    return r.fields;
}

TEST(UnfoldDecode, JoinsContinuationsByFieldKind) {
    Recorder r;
    Feed(r, {"Subject: one\r\n", "\t two\r\n", "To: a@example.jp,\r\n", "\t b@example.jp\r\n",
             "Comments: x\r\n", "  y\r\n", "X-Other: p\r\n", "\t\t q\r\n"});
    EXPECT_EQ(r.fields, (std::vector<std::string>{"Subject: one  two\r\n", "To: a@example.jp, b@example.jp\r\n",
                                                  "Comments: x  y\r\n", "X-Other: p q\r\n"}));
}

TEST(UnfoldDecode, DecodesFoldedEncodedWords) {
    Recorder r;
    Feed(r, {"Subject: =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=\r\n", " =?ISO-2022-JP?B?GyRCOzNFRBsoQg==?=\r\n",
             "From: =?ISO-2022-JP?B?broken\r\n", "\r\n", "body =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=\r\n"});
    ASSERT_EQ(r.fields.size(), 2u);
    EXPECT_EQ(r.fields[0], Sjis("Subject: テスト山田\r\n"));
    EXPECT_EQ(r.fields[1], "From: =?ISO-2022-JP?B?broken\r\n");  // undecodable: shown raw
    // The blank line and the body go to ActionBody, undecoded.
    EXPECT_EQ(r.body, (std::vector<std::string>{"\r\n", "body =?ISO-2022-JP?B?GyRCJUYlOSVIGyhC?=\r\n"}));
    EXPECT_FALSE(r.InHeader());
}

TEST(UnfoldDecode, ActionReturningFalseStopsAtOnce) {
    Recorder r;
    r.stopAfter = 1;
    EXPECT_TRUE(r.Execute("A: 1\r\n"));
    EXPECT_FALSE(r.Execute("B: 2\r\n"));  // delivers A, which says stop
    EXPECT_EQ(r.fields, (std::vector<std::string>{"A: 1\r\n"}));
}

TEST(UnfoldDecode, DestructorDeliversTheLastField) {
    std::vector<std::string> seen;
    class Plain : public SMHUnfoldDecode {
    public:
        explicit Plain(std::vector<std::string>* out) : out_(out) {}
        ~Plain() override { Finish(); }
        bool Action(const char* field) override {
            out_->push_back(field);
            return true;
        }

    private:
        std::vector<std::string>* out_;
    };
    {
        Plain p(&seen);
        p.Execute("A: 1\r\n");
        p.Execute("B: 2\r\n");
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"A: 1\r\n", "B: 2\r\n"}));
}

TEST(UnfoldDecode, HeaderEndsAtABareLineFeedToo) {
    Recorder r;
    Feed(r, {"A: 1\n", "\n", "text\n"});
    EXPECT_EQ(r.fields, (std::vector<std::string>{"A: 1\n"}));
    EXPECT_EQ(r.body, (std::vector<std::string>{"\n", "text\n"}));
}

}  // namespace
