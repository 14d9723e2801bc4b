#include "support/accessibility_bus.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusError>
#include <QDeadlineTimer>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <cstdio>
#include <memory>
#include <utility>

namespace tally::test {

namespace {

// The accessibility service's status: accessibility and the screen reader are on.
class StatusAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Status")
    Q_PROPERTY(bool IsEnabled READ on)
    Q_PROPERTY(bool ScreenReaderEnabled READ on)
public:
    explicit StatusAdaptor(QObject* parent) : QDBusAbstractAdaptor(parent) {}
    bool on() const { return true; }
};

// Where the accessibility tree is published: the test's own session bus.
class BusAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.a11y.Bus")
public:
    BusAdaptor(QObject* parent, QString address)
        : QDBusAbstractAdaptor(parent), address_(std::move(address)) {}
public Q_SLOTS:
    QString GetAddress() const { return address_; }

private:
    QString address_;
};

// A session bus that starts no services of its own and lets the test own any name.
constexpr const char* BusConfig =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";

std::unique_ptr<QTemporaryDir>& busFolder() {
    static std::unique_ptr<QTemporaryDir> folder;
    return folder;
}

void recordEvent(QAccessibleEvent* event) {
    AccessibilityBus::Event recorded{event->type(), event->object(), QString()};
    if (event->type() == QAccessible::NameChanged ||
        event->type() == QAccessible::DescriptionChanged)
        if (QAccessibleInterface* iface = event->accessibleInterface())
            recorded.name = iface->text(QAccessible::Name);
    AccessibilityBus::events().append(recorded);
}

} // namespace

AccessibilityBus::AccessibilityBus() {
    busFolder() = std::make_unique<QTemporaryDir>();
    const QString config = busFolder()->filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QString::fromLatin1(BusConfig).arg(busFolder()->path()).toUtf8()) < 0)
        return;
    file.close();
    // The daemon forks once it listens and prints its address and its process id.
    const QByteArray command = "dbus-daemon --fork --print-address=1 --print-pid=1 --config-file=" +
                               QFile::encodeName(config);
    FILE* out = popen(command.constData(), "r");
    if (!out)
        return;
    char line[512] = {};
    QByteArray address;
    if (fgets(line, sizeof line, out))
        address = QByteArray(line).trimmed();
    if (fgets(line, sizeof line, out))
        daemonPid_ = QByteArray(line).trimmed().toLongLong();
    pclose(out);
    if (!address.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
}

AccessibilityBus::~AccessibilityBus() {
    if (daemonPid_ > 0)
        ::kill(pid_t(daemonPid_), SIGTERM);
}

QList<AccessibilityBus::Event>& AccessibilityBus::events() {
    static QList<Event> recorded;
    return recorded;
}

bool AccessibilityBus::switchOn(QString* why) {
    if (daemonPid_ <= 0) {
        *why = QStringLiteral("dbus-daemon could not be started");
        return false;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    auto* service = new QObject(QCoreApplication::instance());
    new StatusAdaptor(service);
    new BusAdaptor(service, qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
    if (!bus.registerObject(QStringLiteral("/org/a11y/bus"), service,
                            QDBusConnection::ExportAdaptors) ||
        !bus.registerService(QStringLiteral("org.a11y.Bus"))) {
        *why = bus.lastError().message();
        return false;
    }
    const QDeadlineTimer deadline(10000);
    while (!QAccessible::isActive() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    if (!QAccessible::isActive()) {
        *why = QStringLiteral("the platform's accessibility bridge stayed off");
        return false;
    }
    QAccessible::installUpdateHandler(recordEvent);
    return true;
}

} // namespace tally::test

#include "accessibility_bus.moc"
