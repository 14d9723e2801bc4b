#include "support/notifications_stand_in.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

namespace tally::test {

bool NotificationsStandIn::serveOn() {
    QDBusConnection session = QDBusConnection::sessionBus();
    return session.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                  QDBusConnection::ExportAllSlots) &&
           session.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

QStringList NotificationsStandIn::GetCapabilities() {
    return actions ? QStringList{"actions", "body"} : QStringList{"body"};
}

uint NotificationsStandIn::Notify(const QString& app, uint, const QString&, const QString& summary,
                                  const QString& body, const QStringList& actionList,
                                  const QVariantMap& hints, int) {
    told << app + QStringLiteral(": ") + summary + QStringLiteral(" | ") + body;
    entries << hints.value(QStringLiteral("desktop-entry")).toString();
    offered = actionList;
    Q_EMIT notified();
    const uint id = uint(told.size());
    if (answer != Answer::None)
        QTimer::singleShot(0, this, [this, id] {
            const bool click = answer == Answer::Click;
            QDBusMessage signal = QDBusMessage::createSignal(
                QStringLiteral("/org/freedesktop/Notifications"),
                QStringLiteral("org.freedesktop.Notifications"),
                click ? QStringLiteral("ActionInvoked") : QStringLiteral("NotificationClosed"));
            signal << id;
            signal << (click ? QVariant(QStringLiteral("default")) : QVariant(uint(2)));
            QDBusConnection::sessionBus().send(signal);
        });
    return id;
}

} // namespace tally::test
