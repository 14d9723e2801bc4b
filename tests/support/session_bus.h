// A session bus of the test's own: a dbus-daemon run for the test, which starts no services and
// lets the test own any name. The constructor points DBUS_SESSION_BUS_ADDRESS at it (before any
// connection to the session bus is made); the destructor stops it. Nothing outside the test's own
// bus is touched: not the user's notifications, not the user's accessibility service.
#pragma once

#include <QByteArray>
#include <QTemporaryDir>

namespace tally::test {

class SessionBus {
public:
    SessionBus();
    ~SessionBus();
    SessionBus(const SessionBus&) = delete;
    SessionBus& operator=(const SessionBus&) = delete;

    bool isRunning() const { return pid_ > 0; }
    QByteArray address() const { return address_; }

private:
    QTemporaryDir folder_;
    QByteArray address_;
    qint64 pid_ = 0;
};

} // namespace tally::test
