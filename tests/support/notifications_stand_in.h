// The desktop's notification service as freedesktop.org's Desktop Notifications documentation
// (its "D-BUS Protocol" section) describes it:
// GetCapabilities, Notify returning the id, and the user's answer as the ActionInvoked or
// NotificationClosed signal (reason 2: dismissed by the user). Keeps what it was told. Register it
// on a bus of the test's own (session_bus.h) with `serveOn`.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace tally::test {

class NotificationsStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    enum class Answer { None, Click, Dismiss };
    Answer answer = Answer::Dismiss;
    bool actions = true;
    QStringList told;    // "app: summary | body"
    QStringList entries; // the desktop entry each one names
    QStringList offered; // the actions of the last one

    // Owns org.freedesktop.Notifications on the session bus; false when it cannot.
    bool serveOn();

Q_SIGNALS:
    void notified();

public Q_SLOTS:
    QStringList GetCapabilities();
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actionList, const QVariantMap& hints,
                int timeout);
};

} // namespace tally::test
