#include "support/systemctl_stand_in.h"

#include <QFile>

namespace tally::test {

SystemctlStandIn::SystemctlStandIn(bool offline) : oldPath_(qgetenv("PATH")) {
    const QString script = folder_.filePath(QStringLiteral("systemctl"));
    QFile file(script);
    file.open(QIODevice::WriteOnly);
    file.write("#!/bin/sh\n"
               "echo \"$*\" >> \"" +
               QFile::encodeName(folder_.filePath("calls.log")) + "\"\n");
    if (offline)
        file.write("echo 'Failed to connect to bus: No medium found' >&2\nexit 1\n");
    else
        file.write(QByteArray("case \"$*\" in\n"
                              "  *is-system-running*) echo running ;;\n"
                              "  *NextElapseUSecRealtime*) echo '") +
                   NextRun + "' ;;\nesac\nexit 0\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("PATH", QFile::encodeName(folder_.path()) + ':' + oldPath_);
}

SystemctlStandIn::~SystemctlStandIn() {
    qputenv("PATH", oldPath_);
}

QStringList SystemctlStandIn::calls() const {
    QFile log(folder_.filePath(QStringLiteral("calls.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(log.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace tally::test
