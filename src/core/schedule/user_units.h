// A schedule carried out by the user's systemd instance: its units written, enabled, listed and
// removed through `systemctl --user` (the first systemctl on PATH, so that tests put a stand-in
// there; nothing else here touches the user's units).
#pragma once

#include "core/files/safe_file.h"
#include "core/schedule/schedule.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tally {

struct SystemctlRun {
    bool ran = false; // systemctl started and ended within its time
    int exitCode = -1;
    QString output; // standard output and error, trimmed
};
// `systemctl --user <arguments>`, waiting at most ten seconds.
SystemctlRun systemctlUser(const QStringList& arguments);

// Whether a user systemd instance answers; why not when it does not.
bool userSystemdRuns(QString* why = nullptr);

// Writes the schedule file and its units, reloads the user instance and enables the timer. On
// failure nothing of the schedule is left enabled, and the reason says what failed.
FileOutcome installSchedule(const Schedule& schedule, const QString& programPath);
// Disables the timer, removes the units and the schedule file.
FileOutcome removeSchedule(const QString& name);
// When the timer runs next, as the user instance says; invalid when it does not say.
QDateTime nextScheduledRun(const QString& name);

} // namespace tally
