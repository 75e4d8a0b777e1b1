#include "ui/TNewMailNotice.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <cstdio>

#include "config/QimStringIds.h"
#include "config/QimStrings.h"
#include "platform/NativePath.h"
#include "platform/qt/QtText.h"
#include "store/QimStoreCodes.h"
#include "store/SQimFolder.h"

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

QString Formatted(unsigned id, int number) {
    char text[256];
    std::snprintf(text, sizeof text, LoadQimString(id).c_str(), number);
    return platform::ToQString(text);
}

}  // namespace

TNewMailNotice::TNewMailNotice(std::string inbox, QObject* parent, QDBusConnection bus)
    : QObject(parent), inbox_(std::move(inbox)), bus_(std::move(bus)) {
    recount_.setSingleShot(true);
    recount_.setInterval(1000);
    connect(&recount_, &QTimer::timeout, this, [this] { Recount(); });
    // A click on the notice ("default" action) brings Qim up as the tray icon does.
    if (bus_.isConnected())
        bus_.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                     SLOT(OnActionInvoked(uint, QString)));
}

TNewMailNotice::~TNewMailNotice() { ShowTray(false); }

void TNewMailNotice::SetEnabled(bool on) {
    enabled_ = on;
    ShowTray(on && QSystemTrayIcon::isSystemTrayAvailable());
    if (on) Recount();
}

void TNewMailNotice::ShowTray(bool show) {
    if (!show) {
        delete tray_;
        tray_ = nullptr;
        return;
    }
    if (tray_) return;
    tray_ = new QSystemTrayIcon(this);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Context && onActivate) onActivate();
    });
    UpdateTray();
    tray_->show();
}

void TNewMailNotice::UpdateTray() {
    if (!tray_) return;
    tray_->setIcon(TrayIcon(unread_));
    tray_->setToolTip(QStringLiteral("Qim: ") + Formatted(qimstr::TrayUnread, unread_));
}

bool TNewMailNotice::MailArrived(int count) {
    Recount();
    if (!enabled_ || count <= 0) return false;
    const QString title = NoticeTitle();
    const QString body = NoticeBody(count);
    if (NotifyOverDBus(title, body)) return true;
    if (!tray_ || !QSystemTrayIcon::supportsMessages()) return false;
    tray_->showMessage(title, body, TrayIcon(unread_));
    return true;
}

void TNewMailNotice::RecountSoon() {
    if (enabled_) recount_.start();
}

void TNewMailNotice::Recount() {
    unread_ = CountUnread(inbox_);
    UpdateTray();
}

bool TNewMailNotice::NotifyOverDBus(const QString& title, const QString& body) {
    if (!bus_.isConnected() || !bus_.interface()) return false;
    // Running, or started by the bus on the first call.
    const bool running = bus_.interface()->isServiceRegistered(kService);
    if (!running && !bus_.interface()->activatableServiceNames().value().contains(kService)) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("qim")},
                            {QStringLiteral("category"), QStringLiteral("email.arrived")}};
    call << QStringLiteral("Qim") << lastNoticeId_ << QStringLiteral("qim") << title << body
         << QStringList{QStringLiteral("default"), title} << hints << -1;
    // Not waited for: a slow notification service must not hold up the windows.
    auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isValid()) lastNoticeId_ = reply.value();
        w->deleteLater();
    });
    return true;
}

void TNewMailNotice::OnActionInvoked(uint id, const QString& action) {
    if (id == lastNoticeId_ && id != 0 && action == QStringLiteral("default") && onActivate) onActivate();
}

QString TNewMailNotice::NoticeTitle() { return QStringLiteral("Qim: ") + platform::ToQString(LoadQimString(qimstr::NewMailNoticeTitle)); }

QString TNewMailNotice::NoticeBody(int count) { return Formatted(qimstr::NewMailNoticeBody, count); }

int TNewMailNotice::CountUnread(const std::string& folder) {
    SQimFolder mails(folder);
    int unread = 0;
    for (int number : mails.MailNumbers()) {
        const unsigned char marks = mails.GetMarks(number);
        if (marks != qimstore::kMarkError && !(marks & qimstore::kMarkRead)) ++unread;
    }
    return unread;
}

QIcon TNewMailNotice::TrayIcon(int unread) {
    // Drawn rather than read from qim.svg: the tray must not depend on an SVG image plug-in.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const qreal s = size / 64.0;
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2d, 0x68, 0xb8));
        p.drawRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 11 * s, 11 * s);
        const QRectF letter(9 * s, 17 * s, 46 * s, 32 * s);
        p.setBrush(Qt::white);
        p.setPen(QPen(QColor(0x14, 0x38, 0x6b), qMax(1.0, 1.5 * s)));
        p.drawRoundedRect(letter, 3 * s, 3 * s);
        QPainterPath flap;
        flap.moveTo(letter.topLeft() + QPointF(1.5 * s, 1.5 * s));
        flap.lineTo(32 * s, 35 * s);
        flap.lineTo(letter.topRight() + QPointF(-1.5 * s, 1.5 * s));
        p.setBrush(Qt::NoBrush);
        p.drawPath(flap);
        if (unread > 0) {
            const QString text = unread > 99 ? QStringLiteral("99+") : QString::number(unread);
            const QRectF badge(size * 0.38, size * 0.38, size * 0.62, size * 0.62);
            p.setPen(QPen(QColor(0x8f, 0x1c, 0x1a), qMax(1.0, 1.2 * s)));
            p.setBrush(QColor(0xd8, 0x32, 0x2f));
            p.drawEllipse(badge);
            QFont font = p.font();
            font.setBold(true);
            font.setPixelSize(qMax(6, int(size * (text.size() > 2 ? 0.24 : text.size() > 1 ? 0.3 : 0.4))));
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(badge, Qt::AlignCenter, text);
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
