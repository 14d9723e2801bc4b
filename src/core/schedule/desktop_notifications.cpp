#include "core/schedule/desktop_notifications.h"

#include "core/numbers/numbers.h"
#include "core/results/saved_search.h"
#include "core/settings/ini_file.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QProcess>
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

namespace {

const QString NotificationsService = QStringLiteral("org.freedesktop.Notifications");
const QString NotificationsPath = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage notificationsCall(const QString& method) {
    return QDBusMessage::createMethodCall(NotificationsService, NotificationsPath,
                                          NotificationsService, method);
}

} // namespace

DesktopNotifier::DesktopNotifier(QString program, QObject* parent)
    : QObject(parent), program_(std::move(program)) {
    wait_.setSingleShot(true);
    wait_.setInterval(NotificationClickWaitMs);
    connect(&wait_, &QTimer::timeout, this, [this] {
        open_.clear();
        Q_EMIT settled();
    });
}

// Whether the service offers actions, and if so the click and the close heard from now on.
bool DesktopNotifier::listen() {
    if (listening_ >= 0)
        return listening_ == 1;
    QDBusConnection bus = QDBusConnection::sessionBus();
    // Blocks without an event loop of its own, for at most five seconds.
    const QDBusMessage reply =
        bus.call(notificationsCall(QStringLiteral("GetCapabilities")), QDBus::Block, 5000);
    const bool actions =
        reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() &&
        reply.arguments().constFirst().toStringList().contains(QLatin1String("actions"));
    listening_ =
        actions &&
        bus.connect(NotificationsService, NotificationsPath, NotificationsService,
                    QStringLiteral("ActionInvoked"), this, SLOT(actionInvoked(uint, QString))) &&
        bus.connect(NotificationsService, NotificationsPath, NotificationsService,
                    QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint, uint)));
    return listening_ == 1;
}

bool DesktopNotifier::notify(const QString& summary, const QString& body,
                             const QString& historyName, QString* why) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        if (why)
            *why = Text::tr("no session bus: %1").arg(bus.lastError().message());
        return false;
    }
    const bool clickable = listen();
    QDBusMessage call = notificationsCall(QStringLiteral("Notify"));
    // The desktop entry names the program and its icon to the desktop; "default" is the click on
    // the notification itself.
    const QStringList actions =
        clickable ? QStringList{QStringLiteral("default"),
                                historyName.isEmpty() ? Text::tr("Open") : Text::tr("Show history")}
                  : QStringList();
    call << QStringLiteral("Tallyscope") << uint(0) << QStringLiteral(TALLY_APP_ID) << summary
         << body << actions
         << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral(TALLY_APP_ID)}} << int(-1);
    const QDBusMessage reply = bus.call(call, QDBus::Block, 5000);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        if (why)
            *why = reply.errorMessage();
        return false;
    }
    if (clickable && !reply.arguments().isEmpty()) {
        open_.insert(reply.arguments().constFirst().toUInt(), historyName);
        if (!wait_.isActive())
            wait_.start();
    }
    return true;
}

void DesktopNotifier::actionInvoked(uint id, const QString& action) {
    if (!open_.contains(id) || action != QLatin1String("default"))
        return;
    const QString name = open_.value(id);
    QProcess::startDetached(
        program_, name.isEmpty() ? QStringList() : QStringList{QStringLiteral("--history"), name});
    forget(id);
}

void DesktopNotifier::notificationClosed(uint id, uint) {
    forget(id);
}

void DesktopNotifier::forget(uint id) {
    if (!open_.remove(id) || !open_.isEmpty())
        return;
    wait_.stop();
    Q_EMIT settled();
}

} // namespace tally
