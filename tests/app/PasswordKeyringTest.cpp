// The account password in the desktop's keyring: against a real Secret
// Service (gnome-keyring-daemon on a private session bus), and falling back
// to the scrambled form of QIM.INI when no keyring answers.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "config/QimSettingKeys.h"
#include "config/SUserInetData.h"
#include "platform/PasswordKeeper.h"
#include "platform/qt/SecretServiceKeeper.h"
#include "support/SessionBus.h"
#include "tests/app/AppTestSupport.h"

namespace {

using Result = platform::PasswordKeeper::Result;

// One bus for the test program: the keyring library stays on the first one it reached.
qimtest::PrivateSessionBus& Bus() {
    static qimtest::PrivateSessionBus bus;
    return bus;
}

QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

// A home with an account whose password is saved, and the keeper of the process.
class KeyringTest : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        ASSERT_TRUE(bus_.Ok()) << "dbus-daemon did not start";
        bus_.UseForThisProcess();
        // Each test names its own account, so none sees another's entry.
        account_.userName = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        App();
        platform::SetPasswordKeeper(&keeper_);
        account_.pop3Server = "pop.example.jp";
        account_.mailAddress = "taro@example.jp";
        account_.smtpServer = "smtp.example.jp";
        account_.clientAddr = "pc.example.jp";
        account_.password = "s3cret!";
        ASSERT_TRUE(account_.WritePasswordChoice(true));
        ASSERT_TRUE(account_.Write());
        ASSERT_NE(Stored(Ini(), "Host", "Passwd"), "<none>");
    }
    void TearDown() override {
        platform::SetPasswordKeeper(nullptr);
        QimHomeTest::TearDown();
    }
    std::string InKeyring() {
        std::string kept;
        return keeper_.Read(account_.KeyringAccount(), kept) == Result::Done ? kept : "<none>";
    }

    qimtest::PrivateSessionBus& bus_ = Bus();
    platform::SecretServiceKeeper keeper_{10000};
    SUserInetData account_;
};

TEST_F(KeyringTest, TheSavedPasswordMovesIntoTheKeyringAndBackOutOfIt) {
    ASSERT_TRUE(bus_.StartKeyring()) << bus_.KeyringLog();
    EXPECT_TRUE(account_.SetPasswordInKeyring(true));
    EXPECT_EQ(Stored(Ini(), "Host", "PasswdKeyring"), "1");
    EXPECT_EQ(Stored(Ini(), "Host", "Passwd"), "<none>") << "no copy of the password is left in QIM.INI";
    EXPECT_EQ(InKeyring(), "s3cret!");

    // The next start reads it from the keyring.
    SUserInetData read;
    read.Read();
    EXPECT_TRUE(read.passwordInKeyring);
    EXPECT_EQ(read.password, "s3cret!");

    // A new password (the settings dialog) goes to the keyring, not the file.
    read.password = "changed";
    EXPECT_TRUE(read.Write());
    EXPECT_EQ(Stored(Ini(), "Host", "Passwd"), "<none>");
    EXPECT_EQ(InKeyring(), "changed");

    // Turned off: back in QIM.INI, scrambled, and gone from the keyring.
    EXPECT_TRUE(read.SetPasswordInKeyring(false));
    EXPECT_EQ(Stored(Ini(), "Host", "PasswdKeyring"), "<none>");
    EXPECT_NE(Stored(Ini(), "Host", "Passwd"), "<none>");
    EXPECT_EQ(Stored(Ini(), "Host", "Passwd").find("changed"), std::string::npos);
    EXPECT_EQ(InKeyring(), "<none>");
    SUserInetData again;
    again.Read();
    EXPECT_EQ(again.password, "changed");
}

TEST_F(KeyringTest, APasswordNoLongerSavedLeavesTheKeyringToo) {
    ASSERT_TRUE(bus_.StartKeyring()) << bus_.KeyringLog();
    ASSERT_TRUE(account_.SetPasswordInKeyring(true));
    ASSERT_EQ(InKeyring(), "s3cret!");
    EXPECT_TRUE(account_.WritePasswordChoice(false));
    EXPECT_EQ(InKeyring(), "<none>");
    EXPECT_EQ(Stored(Ini(), "Host", "Passwd"), "<none>");
    SUserInetData read;
    read.Read();
    EXPECT_EQ(read.password, "");
}

TEST_F(KeyringTest, WithoutAKeyringThePasswordStaysScrambledInTheFile) {
    // The bus runs, but no Secret Service is on it (and none is started on demand).
    ASSERT_TRUE(bus_.StopKeyring());
    std::string kept;
    EXPECT_EQ(keeper_.Read(account_.KeyringAccount(), kept), Result::Unavailable);
    EXPECT_FALSE(account_.SetPasswordInKeyring(true)) << "the user is told the keyring did not take it";
    EXPECT_EQ(Stored(Ini(), "Host", "PasswdKeyring"), "1") << "the choice is kept for when a keyring runs";
    EXPECT_NE(Stored(Ini(), "Host", "Passwd"), "<none>");
    SUserInetData read;
    read.Read();
    EXPECT_EQ(read.password, "s3cret!");
    read.password = "changed";
    EXPECT_TRUE(read.Write());
    SUserInetData again;
    again.Read();
    EXPECT_EQ(again.password, "changed");
}

}  // namespace
