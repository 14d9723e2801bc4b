#include "support/session_bus.h"

#include <QFile>
#include <QString>

#include <csignal>
#include <cstdio>

namespace tally::test {

namespace {

constexpr const char* BusConfig =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";

} // namespace

SessionBus::SessionBus() {
    const QString config = folder_.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QString::fromLatin1(BusConfig).arg(folder_.path()).toUtf8()) < 0)
        return;
    file.close();
    // The daemon forks once it listens and prints its address and its process id.
    const QByteArray command = "dbus-daemon --fork --print-address=1 --print-pid=1 --config-file=" +
                               QFile::encodeName(config);
    FILE* out = popen(command.constData(), "r");
    if (!out)
        return;
    char line[512] = {};
    if (fgets(line, sizeof line, out))
        address_ = QByteArray(line).trimmed();
    if (fgets(line, sizeof line, out))
        pid_ = QByteArray(line).trimmed().toLongLong();
    pclose(out);
    if (!address_.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", address_);
}

SessionBus::~SessionBus() {
    if (pid_ > 0)
        ::kill(pid_t(pid_), SIGTERM);
}

} // namespace tally::test
