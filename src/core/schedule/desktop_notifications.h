// What a scheduled run tells the desktop, and the telling: org.freedesktop.Notifications on the
// session bus. Without a session bus or a notification service nothing is lost: the run's
// result is in the record of runs and in its log.
#pragma once

#include <QDate>
#include <QList>
#include <QString>

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

// Sends one notification; false, with *why, when there is no session bus or no service.
bool notifyDesktop(const QString& summary, const QString& body, QString* why = nullptr);

} // namespace tally
