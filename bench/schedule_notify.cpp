// A scheduled run as its service starts it: `tallyscope --run-schedule b` of 100 sites against
// engines on a local server, with a notification service on a session bus of the bench's own.
// Figures: the median time from the start of the process to the notification of a dropped count
// arriving at the service (what `systemctl --user start` of the service adds to is the start of
// this process), and the run's whole wall time beside it, the notification dismissed at once.
//
// Usage: schedule_notify [runs]
#include "bench_stats.h"
#include "core/results/saved_search.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"
#include "support/notifications_stand_in.h"
#include "support/session_bus.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

using namespace tally;
using tally::bench::median;

int main(int argc, char* argv[]) {
    QTemporaryDir folder;
    const QString home = folder.filePath(QStringLiteral("home"));
    QDir().mkpath(home + QStringLiteral("/.config/Tallyscope/schedules"));
    qputenv("HOME", home.toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    test::SessionBus bus; // before any connection to the session bus
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    test::NotificationsStandIn notifications;
    if (!bus.isRunning() || !notifications.serveOn()) {
        std::fprintf(stderr, "no session bus of the bench's own\n");
        return 1;
    }

    test::LocalHttpServerThread server;
    test::serveEnginePages(
        *server.server(), [](int e, const QString&) { return QByteArray::number((e + 1) * 1234); });
    const QString program = folder.filePath(QStringLiteral("tallyscope"));
    if (!QFile::copy(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/tallyscope"),
                     program)) {
        std::fprintf(stderr, "the program is missing\n");
        return 1;
    }
    test::writeEnginePrefixes(*server.server(), folder.filePath(QStringLiteral("settings.ini")));
    QByteArray list;
    for (int i = 0; i < 100; ++i)
        list += QStringLiteral("www.site%1.example\r\n").arg(i, 3, 10, QLatin1Char('0')).toLatin1();
    const QString listFile = folder.filePath(QStringLiteral("list.txt"));
    {
        QFile out(listFile);
        out.open(QIODevice::WriteOnly);
        out.write(list);
    }
    {
        QFile schedule(home + QStringLiteral("/.config/Tallyscope/schedules/b.ini"));
        schedule.open(QIODevice::WriteOnly);
        schedule.write("[Schedule]\r\nList=" + listFile.toUtf8() +
                       "\r\nEvery=daily\r\nAt=03:00\r\nSave={host}\r\nNotifyDrop=10\r\n");
    }
    // One site whose Google count was far higher yesterday: every run tells of its drop.
    QDir().mkpath(folder.filePath(QStringLiteral("Saved")));
    {
        QFile saved(folder.filePath(QStringLiteral("Saved/www.site000.example.vqz")));
        saved.open(QIODevice::WriteOnly);
        saved.write("\r\n[Google]\r\n" +
                    historyDateKey(QDate::currentDate().addDays(-1)).toLatin1() + "=99999\r\n");
    }

    std::vector<double> toNotification, wall;
    for (int i = 0; i < runs; ++i) {
        notifications.told.clear();
        QProcess run;
        QElapsedTimer clock;
        double notifiedMs = -1;
        QEventLoop loop;
        QObject::connect(&notifications, &test::NotificationsStandIn::notified, &loop,
                         [&] { notifiedMs = clock.nsecsElapsed() / 1e6; });
        QObject::connect(&run, &QProcess::finished, &loop, &QEventLoop::quit);
        clock.start();
        run.start(program, {QStringLiteral("--run-schedule"), QStringLiteral("b"),
                            QStringLiteral("--quiet")});
        loop.exec();
        const double ms = clock.nsecsElapsed() / 1e6;
        QObject::disconnect(&notifications, nullptr, &loop, nullptr);
        if (notifiedMs < 0 || run.exitCode() != 0) {
            std::fprintf(stderr, "run %d: exit code %d, %lld notifications\n%s\n", i,
                         run.exitCode(), qlonglong(notifications.told.size()),
                         run.readAllStandardError().constData());
            return 1;
        }
        toNotification.push_back(notifiedMs);
        wall.push_back(ms);
    }
    std::printf("scheduled_run_100_start_to_notification: %.1f ms\n", median(toNotification));
    std::printf("scheduled_run_100_wall_time: %.1f ms\n", median(wall));
    return 0;
}
