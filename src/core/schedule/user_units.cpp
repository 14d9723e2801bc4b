#include "core/schedule/user_units.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTimeZone>

namespace tally {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(UserUnits)
};

FileOutcome failedRun(const QStringList& arguments, const SystemctlRun& run) {
    const QString command = QStringLiteral("systemctl --user ") + arguments.join(QLatin1Char(' '));
    if (!run.ran)
        return FileOutcome::failure(Text::tr("%1 could not be run: %2").arg(command, run.output));
    return FileOutcome::failure(Text::tr("%1 failed (exit status %2): %3")
                                    .arg(command)
                                    .arg(run.exitCode)
                                    .arg(run.output.left(300)));
}

FileOutcome systemctlStep(const QStringList& arguments) {
    const SystemctlRun run = systemctlUser(arguments);
    return run.ran && run.exitCode == 0 ? FileOutcome::success() : failedRun(arguments, run);
}

} // namespace

SystemctlRun systemctlUser(const QStringList& arguments) {
    SystemctlRun result;
    const QString program = QStandardPaths::findExecutable(QStringLiteral("systemctl"));
    if (program.isEmpty()) {
        result.output = Text::tr("there is no systemctl on PATH");
        return result;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, QStringList{QStringLiteral("--user")} + arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(1000);
        result.output = process.errorString();
        return result;
    }
    result.ran = process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    result.output = QString::fromLocal8Bit(process.readAll().left(4096)).trimmed();
    return result;
}

bool userSystemdRuns(QString* why) {
    const SystemctlRun run = systemctlUser({QStringLiteral("is-system-running")});
    // running, degraded, starting...: an instance answered; offline or no bus: none.
    const bool runs = run.ran && !run.output.isEmpty() &&
                      !run.output.contains(QLatin1String("offline")) &&
                      !run.output.contains(QLatin1String("Failed to connect"));
    if (!runs && why)
        *why = run.ran ? run.output.left(300) : run.output;
    return runs;
}

FileOutcome installSchedule(const Schedule& schedule, const QString& programPath) {
    if (const FileOutcome written = writeSchedule(schedule); !written)
        return written;
    const QString folder = userUnitFolder();
    if (const FileOutcome made = makeFolder(folder); !made)
        return made;
    const QString service = folder + QLatin1Char('/') + serviceName(schedule.name);
    const QString timer = folder + QLatin1Char('/') + timerName(schedule.name);
    if (FileOutcome w =
            writeFileAtomically(service, serviceUnitText(schedule, programPath).toUtf8());
        !w)
        return w;
    if (FileOutcome w = writeFileAtomically(timer, timerUnitText(schedule).toUtf8()); !w)
        return w;
    if (FileOutcome reload = systemctlStep({QStringLiteral("daemon-reload")}); !reload)
        return reload;
    return systemctlStep(
        {QStringLiteral("enable"), QStringLiteral("--now"), timerName(schedule.name)});
}

FileOutcome removeSchedule(const QString& name) {
    // The timer goes first, so that no run starts while the files go; a timer the instance no
    // longer knows is gone all the same.
    systemctlUser({QStringLiteral("disable"), QStringLiteral("--now"), timerName(name)});
    const QString folder = userUnitFolder();
    for (const QString& unit : {serviceName(name), timerName(name)}) {
        QFile file(folder + QLatin1Char('/') + unit);
        if (file.exists() && !file.remove())
            return FileOutcome::failure(
                Text::tr("%1 could not be removed: %2")
                    .arg(QDir::toNativeSeparators(file.fileName()), file.errorString()));
    }
    systemctlUser({QStringLiteral("daemon-reload")});
    if (const FileOutcome removed = removeScheduleFile(name); !removed)
        return removed;
    return FileOutcome::success();
}

QDateTime nextScheduledRun(const QString& name) {
    const SystemctlRun run = systemctlUser({QStringLiteral("show"), timerName(name),
                                            QStringLiteral("--property=NextElapseUSecRealtime"),
                                            QStringLiteral("--value")});
    if (!run.ran || run.exitCode != 0)
        return QDateTime();
    // "Thu 2026-12-10 03:00:00 UTC": the date and time after the day's name.
    const QStringList parts = run.output.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() < 3)
        return QDateTime();
    QDateTime when = QDateTime::fromString(parts.at(1) + QLatin1Char(' ') + parts.at(2),
                                           QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (parts.size() >= 4 && parts.at(3) == QLatin1String("UTC"))
        when.setTimeZone(QTimeZone::utc());
    return when;
}

} // namespace tally
