#include "support/accessibility_bus.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusError>
#include <QDeadlineTimer>
#include <QFile>

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

void recordEvent(QAccessibleEvent* event) {
    AccessibilityBus::Event recorded{event->type(), event->object(), QString()};
    if (event->type() == QAccessible::NameChanged ||
        event->type() == QAccessible::DescriptionChanged)
        if (QAccessibleInterface* iface = event->accessibleInterface())
            recorded.name = iface->text(QAccessible::Name);
    AccessibilityBus::events().append(recorded);
}

} // namespace

AccessibilityBus::AccessibilityBus() = default;
AccessibilityBus::~AccessibilityBus() = default;

QList<AccessibilityBus::Event>& AccessibilityBus::events() {
    static QList<Event> recorded;
    return recorded;
}

bool AccessibilityBus::switchOn(QString* why) {
    if (!bus_.isRunning()) {
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
