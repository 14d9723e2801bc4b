#include "core/schedule/desktop_notifications.h"

#include "core/numbers/numbers.h"
#include "core/results/saved_search.h"
#include "core/settings/ini_file.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QVariantMap>

#include <cmath>

namespace tally {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(DesktopNotifications)
};

} // namespace

int CountDrop::percent() const {
    return before > 0 ? int(std::lround(100.0 * double(before - now) / double(before))) : 0;
}

QList<CountDrop> countDrops(const QString& savedSearchFile, const QDate& today, int percent) {
    QList<CountDrop> drops;
    if (percent <= 0)
        return drops;
    const QString title = savedSearchTitle(QFileInfo(savedSearchFile).fileName());
    for (const QString& section : modINI::ListIniSections(savedSearchFile)) {
        std::optional<qint64> now;
        CountDrop drop;
        for (const HistoryLine& line : readEngineHistoryLines(section, savedSearchFile)) {
            const std::optional<QDate> date = historyKeyDate(line.label);
            const std::optional<qint64> count = readWholeNumber(line.value);
            if (!date || !count)
                continue;
            if (*date == today && !now)
                now = *count;
            else if (*date < today && (!drop.beforeDate.isValid() || *date > drop.beforeDate)) {
                drop.beforeDate = *date;
                drop.before = *count;
            }
        }
        if (!now || !drop.beforeDate.isValid() || drop.before <= 0 || *now >= drop.before)
            continue;
        drop.site = title;
        drop.source = section;
        drop.now = *now;
        if (100.0 * double(drop.before - drop.now) > double(percent) * double(drop.before))
            drops << drop;
    }
    return drops;
}

QString dropText(const CountDrop& drop) {
    return Text::tr("%1: %2 → %3 (−%4 %) since %5")
        .arg(drop.source)
        .arg(drop.before)
        .arg(drop.now)
        .arg(drop.percent())
        .arg(drop.beforeDate.toString(Qt::ISODate));
}

bool notifyDesktop(const QString& summary, const QString& body, QString* why) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (why)
            *why = Text::tr("no session bus: %1").arg(bus.lastError().message());
        return false;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // The desktop entry lets the desktop start or raise the program when the notification is
    // clicked; the icon is the program's own.
    call << QStringLiteral("Tallyscope") << uint(0) << QStringLiteral(TALLY_APP_ID) << summary
         << body << QStringList()
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral(TALLY_APP_ID)}} << int(-1);
    // Blocks without an event loop of its own, for at most five seconds.
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (why)
            *why = reply.errorMessage();
        return false;
    }
    return true;
}

} // namespace tally
