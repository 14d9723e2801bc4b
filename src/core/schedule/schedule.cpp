#include "core/schedule/schedule.h"

#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tally {

namespace {

struct Text {
    Q_DECLARE_TR_FUNCTIONS(Schedule)
};

const QString Section = QStringLiteral("Schedule");
// Day names as systemd and the schedule file write them, Monday first.
const QStringList Days{QStringLiteral("Mon"), QStringLiteral("Tue"), QStringLiteral("Wed"),
                       QStringLiteral("Thu"), QStringLiteral("Fri"), QStringLiteral("Sat"),
                       QStringLiteral("Sun")};

QString everyKey(Schedule::Every every) {
    switch (every) {
    case Schedule::Every::Weekly:
        return QStringLiteral("weekly");
    case Schedule::Every::Hours:
        return QStringLiteral("hours");
    case Schedule::Every::Daily:
        break;
    }
    return QStringLiteral("daily");
}

// A path as systemd's command lines take it: in double quotes when it holds a blank.
QString unitQuoted(const QString& path) {
    if (!path.contains(QLatin1Char(' ')) && !path.contains(QLatin1Char('"')))
        return path;
    QString quoted = path;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QString Schedule::onCalendar() const {
    const QString time = at.toString(QStringLiteral("HH:mm:00"));
    switch (every) {
    case Every::Weekly:
        return Days.value(weekday - 1, Days.first()) + QStringLiteral(" *-*-* ") + time;
    case Every::Hours:
        return QStringLiteral("*-*-* %1/%2:%3:00")
            .arg(at.hour(), 2, 10, QLatin1Char('0'))
            .arg(hours)
            .arg(at.minute(), 2, 10, QLatin1Char('0'));
    case Every::Daily:
        break;
    }
    return QStringLiteral("*-*-* ") + time;
}

QString Schedule::describe() const {
    const QString time = at.toString(QStringLiteral("HH:mm"));
    switch (every) {
    case Every::Weekly:
        return Text::tr("weekly on %1 at %2")
            .arg(QLocale().dayName(std::clamp(weekday, 1, 7)), time);
    case Every::Hours:
        return Text::tr("every %n hours from %1", nullptr, hours).arg(time);
    case Every::Daily:
        break;
    }
    return Text::tr("daily at %1").arg(time);
}

QString scheduleProblem(const Schedule& s) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z0-9_-]{1,40}$"));
    if (!name.match(s.name).hasMatch())
        return Text::tr("the name \"%1\" must be 1 to 40 letters, digits, \"-\" or \"_\"")
            .arg(s.name.left(60));
    if (s.listFile.isEmpty())
        return Text::tr("no URL list file is named");
    if (!s.at.isValid())
        return Text::tr("the time of day is not a time (HH:MM)");
    if (s.every == Schedule::Every::Hours && (s.hours < 1 || s.hours > 23))
        return Text::tr("every %1 hours: the hours must be 1 to 23").arg(s.hours);
    if (s.weekday < 1 || s.weekday > 7)
        return Text::tr("the day of the week must be 1 (Monday) to 7 (Sunday)");
    if (s.notifyDropPercent < 0 || s.notifyDropPercent > 100)
        return Text::tr("the drop to tell must be 0 to 100 percent");
    return QString();
}

QString scheduleFolder() {
    return QFileInfo(userSettingsFile()).absolutePath() + QStringLiteral("/schedules");
}

QString scheduleFile(const QString& name) {
    return scheduleFolder() + QLatin1Char('/') + name + QStringLiteral(".ini");
}

QStringList scheduleNames() {
    QStringList names;
    for (const QFileInfo& file :
         QDir(scheduleFolder()).entryInfoList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name))
        names << file.completeBaseName();
    return names;
}

std::optional<Schedule> readSchedule(const QString& name, QString* problem) {
    auto fail = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    const QString file = scheduleFile(name);
    if (!QFileInfo::exists(file))
        return fail(Text::tr("there is no schedule named \"%1\" in %2")
                        .arg(name.left(60), QDir::toNativeSeparators(scheduleFolder())));
    const modINI::IniDocument ini = modINI::IniDocument::load(file);
    if (!ini.outcome())
        return fail(ini.outcome().reason());
    auto value = [&ini](const char* key) {
        return ini.value(Section, QLatin1String(key), QString()).trimmed();
    };
    Schedule s;
    s.name = name;
    s.listFile = value("List");
    const QString every = value("Every").toLower();
    if (every == QLatin1String("weekly"))
        s.every = Schedule::Every::Weekly;
    else if (every == QLatin1String("hours"))
        s.every = Schedule::Every::Hours;
    else if (every != QLatin1String("daily"))
        return fail(Text::tr("%1: Every is \"%2\", not daily, weekly or hours")
                        .arg(QDir::toNativeSeparators(file), every.left(40)));
    bool ok = true;
    if (s.every == Schedule::Every::Hours)
        s.hours = value("Hours").toInt(&ok);
    s.at = QTime::fromString(value("At"), QStringLiteral("HH:mm"));
    if (s.every == Schedule::Every::Weekly)
        s.weekday = int(Days.indexOf(value("Day"))) + 1;
    s.saveName = value("Save");
    bool dropRead = true;
    s.notifyDropPercent = value("NotifyDrop").toInt(&dropRead);
    s.notifyBroken = value("NotifyBroken").toLower() != QLatin1String("no");
    if (!ok || !dropRead || s.saveName.isEmpty())
        s.hours = 0; // named below as a schedule that does not read
    QString why = scheduleProblem(s);
    if (why.isEmpty() && (!ok || !dropRead || s.saveName.isEmpty()))
        why = Text::tr("Hours, NotifyDrop or Save does not read");
    if (!why.isEmpty())
        return fail(Text::tr("%1: %2").arg(QDir::toNativeSeparators(file), why));
    return s;
}

FileOutcome writeSchedule(const Schedule& s) {
    if (const QString why = scheduleProblem(s); !why.isEmpty())
        return FileOutcome::failure(why);
    if (const FileOutcome made = makeFolder(scheduleFolder()); !made)
        return made;
    modINI::IniFileEdit edit(scheduleFile(s.name));
    edit.writePrivateProfileSection(Section, QString());
    edit.writePrivateProfileString(Section, QStringLiteral("List"), s.listFile);
    edit.writePrivateProfileString(Section, QStringLiteral("Every"), everyKey(s.every));
    if (s.every == Schedule::Every::Hours)
        edit.writePrivateProfileString(Section, QStringLiteral("Hours"), QString::number(s.hours));
    edit.writePrivateProfileString(Section, QStringLiteral("At"),
                                   s.at.toString(QStringLiteral("HH:mm")));
    if (s.every == Schedule::Every::Weekly)
        edit.writePrivateProfileString(Section, QStringLiteral("Day"), Days.at(s.weekday - 1));
    edit.writePrivateProfileString(Section, QStringLiteral("Save"), s.saveName);
    edit.writePrivateProfileString(Section, QStringLiteral("NotifyDrop"),
                                   QString::number(s.notifyDropPercent));
    edit.writePrivateProfileString(Section, QStringLiteral("NotifyBroken"),
                                   s.notifyBroken ? QStringLiteral("yes") : QStringLiteral("no"));
    return edit.save();
}

FileOutcome removeScheduleFile(const QString& name) {
    QFile file(scheduleFile(name));
    if (file.exists() && !file.remove())
        return FileOutcome::failure(file.errorString());
    return FileOutcome::success();
}

QString userUnitFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/systemd/user");
}

QString serviceName(const QString& name) {
    return QStringLiteral("tallyscope-%1.service").arg(name);
}

QString timerName(const QString& name) {
    return QStringLiteral("tallyscope-%1.timer").arg(name);
}

QString serviceUnitText(const Schedule& s, const QString& programPath) {
    return QStringLiteral("# Written by Tallyscope for its schedule \"%1\" (Scan > Schedule...).\n"
                          "[Unit]\n"
                          "Description=Tallyscope scheduled scan %1\n"
                          "\n"
                          "[Service]\n"
                          "Type=oneshot\n"
                          "ExecStart=%2 --run-schedule %1\n"
                          "# 1: some sites gave no count, the others were saved; 5: a source "
                          "refused\n"
                          "SuccessExitStatus=1\n"
                          "# The window a click on the run's notification opens outlives the run.\n"
                          "KillMode=process\n")
        .arg(s.name, unitQuoted(programPath));
}

QString timerUnitText(const Schedule& s) {
    return QStringLiteral("# Written by Tallyscope for its schedule \"%1\" (Scan > Schedule...).\n"
                          "[Unit]\n"
                          "Description=Tallyscope scheduled scan %1, %2\n"
                          "\n"
                          "[Timer]\n"
                          "OnCalendar=%3\n"
                          "Persistent=true\n"
                          "\n"
                          "[Install]\n"
                          "WantedBy=timers.target\n")
        .arg(s.name, everyKey(s.every), s.onCalendar());
}

QString crontabLine(const Schedule& s, const QString& programPath) {
    QString when;
    switch (s.every) {
    case Schedule::Every::Weekly:
        when = QStringLiteral("%1 %2 * * %3").arg(s.at.minute()).arg(s.at.hour()).arg(s.weekday);
        break;
    case Schedule::Every::Hours:
        when = QStringLiteral("%1 %2-23/%3 * * *").arg(s.at.minute()).arg(s.at.hour()).arg(s.hours);
        break;
    case Schedule::Every::Daily:
        when = QStringLiteral("%1 %2 * * *").arg(s.at.minute()).arg(s.at.hour());
        break;
    }
    QString program = programPath;
    program.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return when + QStringLiteral(" '") + program + QStringLiteral("' --run-schedule ") + s.name;
}

} // namespace tally
