// Scheduled scans: what a schedule is, where it is kept, and the user units that carry it out.
//
// A schedule is a file <config>/Tallyscope/schedules/<name>.ini beside the per-user settings,
// section [Schedule]: List (the URL list file), Every (daily, weekly or hours), Hours (1 to 23,
// for hours), At (HH:MM), Day (mon..sun, for weekly), Save (the saved-search name, "{host}" for
// one per site), NotifyDrop (a count falling by more than this many percent against the site's
// previous saved point of the same source is told; 0 tells none), NotifyBroken (yes or no: a
// source that refused is told). The user's systemd instance runs it: a service
// tallyscope-<name>.service (`tallyscope --run-schedule <name>`, exit 0 and 1 success, anything
// else failure) and a timer tallyscope-<name>.timer (Persistent=true: a run missed while the
// machine was off happens at the next start) under <config>/systemd/user.
#pragma once

#include "core/files/safe_file.h"

#include <QString>
#include <QStringList>
#include <QTime>

#include <optional>

namespace tally {

struct Schedule {
    enum class Every { Daily, Weekly, Hours };

    QString name;     // letters, digits, "-" and "_", at most 40: also the units' names
    QString listFile; // absolute
    Every every = Every::Daily;
    int hours = 6;   // Every::Hours
    QTime at{3, 0};  // the time of day (Every::Hours: its minute, and the first run's hour)
    int weekday = 1; // Every::Weekly: 1 Monday .. 7 Sunday
    QString saveName = QStringLiteral("{host}");
    int notifyDropPercent = 10;
    bool notifyBroken = true;

    // systemd's OnCalendar= for it ("*-*-* 03:00:00", "Mon *-*-* 03:00:00", "*-*-* 03/6:00:00").
    QString onCalendar() const;
    // The same in words, for the window ("daily at 03:00").
    QString describe() const;
};

// What is wrong with a schedule's name or settings; empty when nothing is.
QString scheduleProblem(const Schedule& schedule);

// <config>/Tallyscope/schedules, beside the per-user settings.
QString scheduleFolder();
QString scheduleFile(const QString& name);
// The names of the schedules kept, sorted.
QStringList scheduleNames();
// A kept schedule; nothing, with *problem saying why, when it is missing or does not read as one
// (a file edited by hand into nonsense is named, never run).
std::optional<Schedule> readSchedule(const QString& name, QString* problem = nullptr);
FileOutcome writeSchedule(const Schedule& schedule);
FileOutcome removeScheduleFile(const QString& name);

// The user units: <config>/systemd/user, and the units' texts for the program at programPath.
QString userUnitFolder();
QString serviceName(const QString& name); // tallyscope-<name>.service
QString timerName(const QString& name);   // tallyscope-<name>.timer
QString serviceUnitText(const Schedule& schedule, const QString& programPath);
QString timerUnitText(const Schedule& schedule);
// The crontab line that does the same where no user systemd runs.
QString crontabLine(const Schedule& schedule, const QString& programPath);

} // namespace tally
