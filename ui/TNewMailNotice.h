// New mail told on the desktop: a freedesktop notification through D-Bus
// (org.freedesktop.Notifications), else the tray's message, and a tray icon
// that shows the inbox's unread count where the desktop has a tray. Nothing
// shows while the user has turned it off (SSettingData::desktopNotice).
#pragma once

#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

class QSystemTrayIcon;

class TNewMailNotice : public QObject {
    Q_OBJECT

public:
    // `inbox`: the folder whose unread mails the tray counts. `bus`: where the
    // notification service is asked for (the session bus).
    TNewMailNotice(std::string inbox, QObject* parent = nullptr,
                   QDBusConnection bus = QDBusConnection::sessionBus());
    ~TNewMailNotice() override;

    void SetEnabled(bool on);
    bool Enabled() const { return enabled_; }
    // A receive brought `count` mails: the notice, and the unread count anew.
    // True when a notice went out (to the notification service or the tray).
    bool MailArrived(int count);
    // Counts the inbox's unread mails again, once for calls close together.
    void RecountSoon();
    void Recount();
    int Unread() const { return unread_; }
    // The tray icon; null without a tray (or while turned off).
    QSystemTrayIcon* Tray() const { return tray_; }
    // Asked when the user clicks the tray icon or the notice: the main window to the top.
    std::function<void()> onActivate;

    // Qim's envelope, with `unread` in a red badge when there are any.
    static QIcon TrayIcon(int unread);
    // Mails of `folder` without the read mark.
    static int CountUnread(const std::string& folder);
    // The notice's texts for `count` new mails, as shown (Unicode).
    static QString NoticeTitle();
    static QString NoticeBody(int count);

private slots:
    void OnActionInvoked(uint id, const QString& action);

private:
    bool NotifyOverDBus(const QString& title, const QString& body);
    void ShowTray(bool show);
    void UpdateTray();

    std::string inbox_;
    QDBusConnection bus_;
    QSystemTrayIcon* tray_ = nullptr;
    QTimer recount_;
    bool enabled_ = false;
    int unread_ = 0;
    // The notice shown last: the next one takes its place instead of piling up.
    uint lastNoticeId_ = 0;
};
