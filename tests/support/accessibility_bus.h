// Accessibility switched on as a screen reader switches it on, for tests on X (display label).
//
// Qt sends accessibility events only while its AT-SPI bridge is on, which it is when the session
// bus's accessibility service says so. The test gets a session bus of its own (SessionBus) on
// which it offers that service, saying "on"; the bridge then connects and
// QAccessible::isActive() is true. An update handler installed by the test receives every event
// the widgets send, in place of the bridge. Nothing outside the test's own bus is touched.
#pragma once

#include "support/test_main.h"

#include "support/session_bus.h"

#include <QAccessible>
#include <QList>
#include <QPointer>
#include <QString>

namespace tally::test {

class AccessibilityBus {
public:
    // Starts the bus daemon and points the session bus at it: before the QApplication exists.
    AccessibilityBus();
    ~AccessibilityBus();
    AccessibilityBus(const AccessibilityBus&) = delete;
    AccessibilityBus& operator=(const AccessibilityBus&) = delete;

    // Offers the accessibility service (the QApplication exists by now), waits until Qt's
    // accessibility is on and installs the handler that records events. False, with the reason,
    // when it did not come on.
    bool switchOn(QString* why);

    // One recorded event: its kind, its object and the object's accessible name at that moment.
    struct Event {
        QAccessible::Event type;
        QPointer<QObject> object;
        QString name;
    };
    static QList<Event>& events();

private:
    SessionBus bus_;
};

} // namespace tally::test

// The main of such a test: the bus before the application, a program that quits only when told.
#define TALLY_ACCESSIBILITY_TEST_MAIN(TestClass)                                                   \
    TALLY_MAIN {                                                                                   \
        QStandardPaths::setTestModeEnabled(true);                                                  \
        tally::test::AccessibilityBus bus;                                                         \
        QApplication app(argc, argv);                                                              \
        QApplication::setQuitOnLastWindowClosed(false);                                            \
        QString why;                                                                               \
        if (!bus.switchOn(&why))                                                                   \
            qFatal("accessibility did not come on: %s", qPrintable(why));                          \
        TestClass tc;                                                                              \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
