// New-mail notices go to the desktop's notification service over D-Bus: a
// stand-in service on a private bus takes the calls. The tray's count comes
// from the inbox's read marks.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QAction>
#include <QImage>
#include <QMenuBar>

#include "config/QimCommandIds.h"
#include "config/SSettingData.h"
#include "store/QimStoreCodes.h"
#include "store/SQimFolder.h"
#include "support/SessionBus.h"
#include "support/TestSupport.h"
#include "tests/app/AppTestSupport.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/QimMenuBuilder.h"
#include "ui/TNewMailNotice.h"
#include "ui/TQimFrame.h"
#include "ui/TQimWindows.h"

namespace {

// The notification service as freedesktop.org describes it, keeping each call.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call {
        QString app, icon, summary, body;
        uint replaces;
        QStringList actions;
        QVariantMap hints;
    };
    std::vector<Call> calls;

public slots:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary, const QString& body,
                const QStringList& actions, const QVariantMap& hints, int) {
        calls.push_back({app, icon, summary, body, replaces, actions, hints});
        return replaces ? replaces : 41 + static_cast<uint>(calls.size());
    }
};

class NewMailNotice : public qimtest::QimHomeTest {
protected:
    void SetUp() override {
        QimHomeTest::SetUp();
        qimtest::QimTestApp();
        ASSERT_TRUE(bus_.Ok());
    }
    void TearDown() override {
        // Named connections live as long as the process; each test has a bus of its own.
        for (const char* name : {"notifications", "qim"}) QDBusConnection::disconnectFromBus(QString::fromLatin1(name));
        QimHomeTest::TearDown();
    }
    void Spin(int ms) {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    QDBusConnection Connect(const char* name) {
        return QDBusConnection::connectToBus(QString::fromStdString(bus_.Address()), QString::fromLatin1(name));
    }
    // The stand-in takes the service's name on a connection of its own.
    void StartService() {
        QDBusConnection service = Connect("notifications");
        ASSERT_TRUE(service.isConnected());
        ASSERT_TRUE(service.registerObject("/org/freedesktop/Notifications", &fake_, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(service.registerService("org.freedesktop.Notifications"));
    }
    bool WaitForCalls(std::size_t count) {
        QElapsedTimer timer;
        timer.start();
        while (fake_.calls.size() < count && timer.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return fake_.calls.size() >= count;
    }
    void Mail(int number, bool read) {
        qimtest::WriteFileBytes(home_ + "/" + std::to_string(number), "Subject: x\r\n\r\nbody\r\n");
        if (read) {
            ASSERT_TRUE(SQimFolder(home_).SetMarks(number, qimstore::kMarkRead));
        }
    }

    qimtest::PrivateSessionBus bus_;
    FakeNotifications fake_;
};

TEST_F(NewMailNotice, ArrivedMailIsToldByTheNotificationServiceAndTheNextNoticeTakesThePlaceOfTheLast) {
    StartService();
    TNewMailNotice notice(home_, nullptr, Connect("qim"));
    notice.SetEnabled(true);
    EXPECT_TRUE(notice.MailArrived(3));
    ASSERT_TRUE(WaitForCalls(1));
    const FakeNotifications::Call& first = fake_.calls[0];
    EXPECT_EQ(first.app, "Qim");
    EXPECT_EQ(first.icon, "qim");
    EXPECT_EQ(first.summary, QString::fromUtf8("Qim: 新着メール"));
    EXPECT_EQ(first.body, QString::fromUtf8("3 通のメールが届きました。"));
    EXPECT_EQ(first.replaces, 0u);
    EXPECT_EQ(first.hints.value("desktop-entry").toString(), "qim");
    EXPECT_TRUE(first.actions.contains("default"));
    // The reply's id has come back by the time the next receive ends.
    Spin(300);
    notice.MailArrived(1);
    ASSERT_TRUE(WaitForCalls(2));
    EXPECT_EQ(fake_.calls[1].replaces, 42u);
    EXPECT_EQ(fake_.calls[1].body, QString::fromUtf8("1 通のメールが届きました。"));
}

TEST_F(NewMailNotice, NothingIsToldWhileTurnedOffOrWhenNothingArrived) {
    StartService();
    TNewMailNotice notice(home_, nullptr, Connect("qim"));
    notice.SetEnabled(false);
    EXPECT_FALSE(notice.MailArrived(2));
    notice.SetEnabled(true);
    EXPECT_FALSE(notice.MailArrived(0));
    Spin(300);
    EXPECT_TRUE(fake_.calls.empty());
}

TEST_F(NewMailNotice, WithoutANotificationServiceNothingBreaks) {
    // No service on the bus, no tray on the offscreen screen: the receive goes on quietly.
    TNewMailNotice notice(home_, nullptr, Connect("qim"));
    notice.SetEnabled(true);
    EXPECT_EQ(notice.Tray(), nullptr);
    EXPECT_FALSE(notice.MailArrived(2));
    TNewMailNotice noBus(home_, nullptr, QDBusConnection(QStringLiteral("not-connected")));
    noBus.SetEnabled(true);
    EXPECT_FALSE(noBus.MailArrived(2));
}

TEST_F(NewMailNotice, TheUnreadCountIsTheInboxsMailsWithoutTheReadMark) {
    Mail(1, true);
    Mail(2, false);
    Mail(3, false);
    Mail(5, true);
    qimtest::WriteFileBytes(home_ + "/QIM.INI", "[Qim]\r\n");  // not a mail
    EXPECT_EQ(TNewMailNotice::CountUnread(home_), 2);
    TNewMailNotice notice(home_, nullptr, QDBusConnection(QStringLiteral("not-connected")));
    notice.SetEnabled(true);
    EXPECT_EQ(notice.Unread(), 2);
    ASSERT_TRUE(SQimFolder(home_).SetMarks(2, qimstore::kMarkRead));
    notice.Recount();
    EXPECT_EQ(notice.Unread(), 1);
}

TEST_F(NewMailNotice, TheTrayIconCarriesARedBadgeOnlyWhileMailIsUnread) {
    const auto badge = [](int unread) {
        const QImage image = TNewMailNotice::TrayIcon(unread).pixmap(64, 64).toImage();
        return image.pixelColor(52, 52);  // inside the badge, outside the letter
    };
    EXPECT_GT(badge(3).red(), 180);
    EXPECT_LT(badge(3).blue(), 100);
    EXPECT_LT(badge(0).red(), 100);
    EXPECT_GT(badge(0).blue(), 150);
}

TEST_F(NewMailNotice, TheOptionTurnsTheNoticesOffAndIsStored) {
    TQimApp& app = qimtest::QimTestApp();
    GetSettingData() = SSettingData();
    TQimWindows windows(app);
    app.SetWindowLayer(&windows);
    TQimFrame* frame = windows.CreateMainFrame();
    ASSERT_NE(windows.Notice(), nullptr);
    QAction* item = FindCommandAction(frame->menuBar(), qimcmd::DesktopNotice);
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isChecked());
    EXPECT_TRUE(windows.Notice()->Enabled());
    item->trigger();
    EXPECT_FALSE(GetSettingData().desktopNotice);
    EXPECT_FALSE(windows.Notice()->Enabled());
    EXPECT_FALSE(item->isChecked());
    EXPECT_TRUE(GetSettingData().Write());
    EXPECT_EQ(Stored(Ini(), "Qim", "DesktopNotice"), "0");
    SSettingData read;
    read.Read();
    EXPECT_FALSE(read.desktopNotice);
    app.SetWindowLayer(nullptr);
}

}  // namespace

#include "NewMailNoticeTest.moc"
