// What a scheduled run tells the desktop, and the telling: org.freedesktop.Notifications on the
// session bus. Without a session bus or a notification service nothing is lost: the run's
// result is in the record of runs and in its log.
#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

namespace tally {

// A source's count of a site that fell against its previous saved point.
struct CountDrop {
    QString site;   // the saved search's title
    QString source; // its section (the column's caption)
    qint64 before = 0;
    qint64 now = 0;
    QDate beforeDate;

    int percent() const; // how many percent it fell, rounded
};

// The sections of a saved search whose count saved on `today` fell by more than `percent`
// against the newest point saved before it. Nothing for percent 0.
QList<CountDrop> countDrops(const QString& savedSearchFile, const QDate& today, int percent);
// "Majestic: 4321 → 3000 (−31 %) since 2026-12-01"
QString dropText(const CountDrop& drop);

// How long a run stays to hear of a click on what it told the desktop.
inline constexpr int NotificationClickWaitMs = 10 * 60 * 1000;

// Tells the desktop, and opens the window when the user clicks what it told: at the saved search's
// history the notification is about, else as it starts. Where the service offers actions, the
// notifications stay clickable until each is clicked or closed, or the wait above ends
// (`settled`); a service without actions settles at once.
class DesktopNotifier : public QObject {
    Q_OBJECT
public:
    // `program` is started, with "--history NAME", for a click.
    explicit DesktopNotifier(QString program = QCoreApplication::applicationFilePath(),
                             QObject* parent = nullptr);

    // Sends one notification; false, with *why, when there is no session bus or no service.
    bool notify(const QString& summary, const QString& body, const QString& historyName,
                QString* why = nullptr);
    // A notification sent can still be clicked.
    bool waiting() const { return !open_.isEmpty(); }

Q_SIGNALS:
    void settled();

private Q_SLOTS:
    void actionInvoked(uint id, const QString& action);
    void notificationClosed(uint id, uint reason);

private:
    bool listen();
    void forget(uint id);

    QString program_;
    QHash<uint, QString> open_; // notification → the saved search its click opens
    QTimer wait_;
    int listening_ = -1; // -1 not asked yet, 0 no actions, 1 listening for clicks
};

} // namespace tally
