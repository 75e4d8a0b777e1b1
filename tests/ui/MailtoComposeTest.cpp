// A mailto: link's fields in the compose window, and what the user wrote
// before one arrives.
#include <gtest/gtest.h>

#include <QLineEdit>

#include "config/SQimSendSettingData.h"
#include "config/SUserInetData.h"
#include "send/SSendMail.h"
#include "support/TestSupport.h"
#include "tests/app/AppTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/TComposeEdit.h"
#include "ui/TQimSendWindow.h"

namespace {

class MailtoCompose : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        qimtest::QimTestApp();
    }
    SUserInetData inet_;
    SQimSendSettingData settings_;
    SLoginAlreadyConfirmed login_;
};

TEST_F(MailtoCompose, TheLinksFieldsFillTheWindowAndTheUsersTextStays) {
    TQimSendWindow compose(inet_, settings_, login_, false);
    compose.SetMailto(qimtest::Sjis("hanako@example.jp?cc=jiro@example.jp&subject=%E4%BC%9A%E8%AD%B0&body=%E3%81%93%E3%82%93%0D%0Aok"));
    EXPECT_EQ(compose.toEdit->text(), "hanako@example.jp");
    EXPECT_EQ(compose.ccEdit->text(), "jiro@example.jp");
    EXPECT_EQ(compose.subjectEdit->text(), QString::fromUtf8("会議"));
    EXPECT_EQ(compose.editor->toPlainText(), QString::fromUtf8("こん\nok"));

    // A second link while the window is open: new addresses, the text written so far kept.
    compose.editor->setPlainText(QString::fromUtf8("書きかけ"));
    compose.SetMailto(qimtest::Sjis("saburo@example.jp?body=other"));
    EXPECT_EQ(compose.toEdit->text(), "saburo@example.jp");
    EXPECT_EQ(compose.subjectEdit->text(), QString::fromUtf8("会議"));
    EXPECT_EQ(compose.editor->toPlainText(), QString::fromUtf8("書きかけ"));
}

}  // namespace
