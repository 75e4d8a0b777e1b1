// The one test of a header field's name that every header reader shares.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/SHeaderField.h"
#include "common/SMHUnfoldDecode.h"

namespace {

TEST(HeaderField, NamesMatchWithoutRegardToCaseAndWithBlanksBeforeTheColon) {
    struct Case {
        const char* field;
        const char* name;
        const char* value;  // null: not that field
    } cases[] = {
        {"Subject: x\r\n", "Subject:", "x\r\n"},
        {"SUBJECT:x", "Subject:", "x"},
        {"subject: \t x", "Subject:", "x"},
        {"Subject \t: x", "Subject:", "x"},  // the obsolete blank before the colon
        {"Subject: x", "subject", "x"},       // a name written without its colon
        {"X-Qim-Attach-Files: a", "X-Qim-Attach-Files: ", "a"},
        {"Subject:", "Subject:", ""},
        {"Subjects: x", "Subject:", nullptr},
        {"Subject x", "Subject:", nullptr},
        {"Sub: x", "Subject:", nullptr},
        {" Subject: x", "Subject:", nullptr},  // a continuation line is no field
        {"To-Do: x", "To:", nullptr},
        {"", "To:", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " / " + c.name);
        const char* value = HeaderFieldValue(c.field, c.name);
        if (!c.value) {
            EXPECT_EQ(value, nullptr);
            EXPECT_FALSE(IsHeaderField(c.field, c.name));
            continue;
        }
        ASSERT_NE(value, nullptr);
        EXPECT_STREQ(value, c.value);
        std::string text = "unchanged";
        EXPECT_TRUE(HeaderFieldText(c.field, c.name, text));
        EXPECT_EQ(text, std::string(c.value).substr(0, std::string(c.value).find('\r')));
    }
    // The body keeps the blanks after the colon.
    EXPECT_STREQ(HeaderFieldBody("Subject:  x", "Subject:"), "  x");
}

// Unfolding keeps every blank of an unstructured field, whatever the case of
// its name.
TEST(HeaderField, UnfoldingTreatsEverySpellingOfSubjectAlike) {
    struct Collect : SMHUnfoldDecode {
        std::vector<std::string> fields;
        bool Action(const char* field) override {
            fields.push_back(field);
            return true;
        }
    };
    for (const char* name : {"Subject:", "subject:", "SUBJECT:", "comments:"}) {
        Collect c;
        c.Execute((std::string(name) + " one\r\n").c_str());
        c.Execute("\t  two\r\n");
        c.Finish();
        ASSERT_EQ(c.fields.size(), 1u) << name;
        EXPECT_EQ(c.fields[0], std::string(name) + " one   two\r\n") << name;
    }
}

}  // namespace
