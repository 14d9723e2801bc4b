// Scheduled scans through the command line: the units written for the user's systemd (checked by
// systemd-analyze verify) and enabled, listed and removed through a stand-in systemctl on PATH;
// the crontab line where no user instance runs; schedules that cannot run named; and a scheduled
// run against a local stand-in of Majestic (its documented answers, tests/support/
// api_stand_ins.h) recorded and told to the desktop through a notification service of the test's
// own session bus.
#include "core/cli/command_line.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/schedule/desktop_notifications.h"
#include "core/schedule/run_record.h"
#include "core/schedule/schedule.h"
#include "core/settings/user_settings.h"
#include "support/api_stand_ins.h"
#include "support/local_http_server.h"
#include "support/notifications_stand_in.h"
#include "support/session_bus.h"
#include "support/systemctl_stand_in.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

using namespace tally;
using namespace tally::cli;

namespace {

struct Cli {
    QByteArray out;
    QByteArray err;
    int code = -1;
};
Cli runCli(const QStringList& arguments) {
    Cli r;
    QBuffer out(&r.out);
    QBuffer err(&r.err);
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    r.code = cli::run(parseArguments(arguments), &out, &err);
    return r;
}

// The per-user configuration folder (units, schedules) inside the test's folder.
void useConfigIn(const test::TestEnv& env) {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(env.file(QStringLiteral("config"))));
}

} // namespace

class TestSchedule : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        // Nothing of the user's: units, schedules and notifications all stay in the test.
        QVERIFY(bus_.isRunning());
        QVERIFY(notifications_.serveOn());
    }

    void writtenEnabledListedRemoved_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("onCalendar");
        QTest::newRow("daily by default") << QStringList{} << "*-*-* 03:00:00";
        QTest::newRow("weekly") << QStringList{"--every", "weekly", "--day", "fri", "--at", "18:30"}
                                << "Fri *-*-* 18:30:00";
        QTest::newRow("every 6 hours")
            << QStringList{"--every", "6h", "--at", "01:15"} << "*-*-* 01/6:15:00";
    }
    void writtenEnabledListedRemoved() {
        QFETCH(QStringList, options);
        QFETCH(QString, onCalendar);
        test::TestEnv env;
        useConfigIn(env);
        test::SystemctlStandIn systemctl;
        env.writeFile("Lists/sites.txt", "www.example.com\r\n");
        const Cli made = runCli(
            QStringList{"--schedule", "nightly", "--list", env.file("Lists/sites.txt")} + options);
        QVERIFY2(made.code == ExitSuccess, made.err.constData());
        const QString timer = env.file("config/systemd/user/tallyscope-nightly.timer");
        const QString service = env.file("config/systemd/user/tallyscope-nightly.service");
        const QByteArray timerText = env.readFile("config/systemd/user/tallyscope-nightly.timer");
        QVERIFY2(timerText.contains("OnCalendar=" + onCalendar.toUtf8() + "\nPersistent=true\n"),
                 timerText.constData());
        QVERIFY(env.readFile("config/systemd/user/tallyscope-nightly.service")
                    .contains(" --run-schedule nightly\n#"));
        QVERIFY(env.readFile("config/systemd/user/tallyscope-nightly.service")
                    .contains("\nSuccessExitStatus=1\n"));
        const QString analyze = QStandardPaths::findExecutable(QStringLiteral("systemd-analyze"));
        QVERIFY2(!analyze.isEmpty(), "systemd-analyze is needed (packages.txt: systemd)");
        QProcess verify;
        verify.setProcessChannelMode(QProcess::MergedChannels);
        verify.start(analyze, {"verify", "--man=no", timer, service});
        QVERIFY(verify.waitForFinished(30000));
        QVERIFY2(verify.exitCode() == 0, verify.readAll().constData());
        QCOMPARE(systemctl.calls(), (QStringList{"--user is-system-running", "--user daemon-reload",
                                                 "--user enable --now tallyscope-nightly.timer"}));

        const Cli listed = runCli({"--schedules"});
        QVERIFY2(listed.out.startsWith("nightly\t") && listed.out.contains("\tnext 2026-12-10T"),
                 listed.out.constData());

        QCOMPARE(runCli({"--unschedule", "nightly"}).code, int(ExitSuccess));
        QVERIFY(!QFile::exists(timer) && !QFile::exists(service));
        QVERIFY(scheduleNames().isEmpty());
        QVERIFY(systemctl.calls().contains("--user disable --now tallyscope-nightly.timer"));
        QCOMPARE(runCli({"--unschedule", "nightly"}).code, int(ExitBadInput));
    }

    // Without a user instance the same schedule is offered as a crontab line, and kept for it; no
    // unit is written.
    void crontabWhereNoUserSystemd() {
        test::TestEnv env;
        useConfigIn(env);
        test::SystemctlStandIn systemctl(true);
        env.writeFile("Lists/sites.txt", "www.example.com\r\n");
        const Cli r = runCli({"--schedule", "n", "--list", env.file("Lists/sites.txt"), "--at",
                              "04:05", "--every", "weekly", "--day", "sun"});
        QCOMPARE(r.code, int(ExitBadInput));
        QVERIFY2(r.err.contains("Failed to connect to bus") && r.err.contains("\n5 4 * * 7 '") &&
                     r.err.endsWith("' --run-schedule n\n"),
                 r.err.constData());
        QVERIFY(!QDir(env.file("config/systemd/user")).exists());
        QCOMPARE(scheduleNames(), QStringList{"n"});
    }

    // A schedule that cannot run is named and runs nothing.
    void badSchedulesNamed_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("scheduleFile"); // written as schedules/x.ini first
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QByteArray good = "[Schedule]\r\nList=@/gone.txt\r\nEvery=daily\r\nAt=03:00\r\n"
                                "Save={host}\r\nNotifyDrop=10\r\n";
        QTest::newRow("edited into nonsense") << QStringList{"--run-schedule", "x"}
                                              << QByteArray("[Schedule]\r\nEvery=fortnightly\r\n")
                                              << int(ExitBadInput) << "Every is \"fortnightly\"";
        QTest::newRow("list gone") << QStringList{"--run-schedule", "x"} << good
                                   << int(ExitNotWritten) << "gone.txt of the schedule x is gone";
        QTest::newRow("no such schedule") << QStringList{"--run-schedule", "y"} << good
                                          << int(ExitBadInput) << "no schedule named \"y\"";
        QTest::newRow("a list without URLs")
            << QStringList{"--schedule", "x", "--list", "@/empty.txt"} << QByteArray()
            << int(ExitBadInput) << "holds no URLs";
        QTest::newRow("25 hours") << QStringList{"--schedule",  "x",       "--list",
                                                 "@/empty.txt", "--every", "25h"}
                                  << QByteArray() << int(ExitBadInput) << "must be 1 to 23";
    }
    void badSchedulesNamed() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, scheduleFile);
        QFETCH(int, code);
        QFETCH(QString, message);
        test::TestEnv env;
        useConfigIn(env);
        test::SystemctlStandIn systemctl;
        env.writeFile("empty.txt", "\r\n");
        if (!scheduleFile.isEmpty()) {
            QDir().mkpath(scheduleFolder());
            QFile file(tally::scheduleFile(QStringLiteral("x")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(scheduleFile.replace("@", QFile::encodeName(env.path())));
        }
        arguments.replaceInStrings("@", env.path());
        const Cli r = runCli(arguments);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message.toUtf8()), r.err.constData());
        QVERIFY(!systemctl.calls().contains("--user daemon-reload"));
    }

    // A scheduled run saves each site, records itself and tells the desktop what needs a look: a
    // count that fell by more than the share, a source that refused.
    void runRecordedAndTold() {
        test::TestEnv env;
        useConfigIn(env);
        test::SystemctlStandIn systemctl;
        auto majestic = test::apiStandIn("majestic");
        test::LocalHttpServer server;
        server.setHandler(majestic->handler());
        majestic->setValue("example.com", "4000");
        UserSettings::setApiKey("majestic", majestic->keys().first().second);
        env.writeFile(EnginesIniName, "[Google]\r\nKind=off\r\n[Altavista]\r\nKind=off\r\n"
                                      "[Yahoo]\r\nKind=off\r\n[Ask]\r\nKind=off\r\n"
                                      "[MSN]\r\nKind=off\r\n[ATW]\r\nPreset=majestic\r\nServer=" +
                                          server.urlString(QString()).toUtf8() + "\r\n");
        env.writeFile("Lists/sites.txt", "http://www.example.com/\r\n");
        setHistoryToday(QDate(2026, 12, 9));
        env.writeFile("Saved/www.example.com.vqz", "\r\n[Majestic]\r\n" +
                                                       historyDateKey(QDate(2026, 12, 1)).toUtf8() +
                                                       "=5000\r\n");
        QCOMPARE(runCli({"--schedule", "s", "--list", env.file("Lists/sites.txt"), "--notify-drop",
                         "15"})
                     .code,
                 int(ExitSuccess));

        notifications_.told.clear();
        notifications_.entries.clear();
        const Cli counted = runCli({"--run-schedule", "s"});
        QVERIFY2(counted.code == ExitSuccess, counted.err.constData());
        QCOMPARE(notifications_.told,
                 QStringList{"Tallyscope: Tallyscope: http://www.example.com/ dropped | Majestic: "
                             "5000 \u2192 4000 (\u221220 %) since 2026-12-01"});
        // Clicked, it starts or raises the program through its desktop entry.
        QCOMPARE(notifications_.entries, QStringList{QStringLiteral(TALLY_APP_ID)});
        QCOMPARE(notifications_.offered, (QStringList{"default", "Show history"}));

        majestic->setMode(test::StandInMode::QuotaExhausted);
        notifications_.told.clear();
        const Cli refused = runCli({"--run-schedule", "s"});
        QCOMPARE(refused.code, int(ExitSourceRefused));
        QCOMPARE(notifications_.told.size(), 1);
        QVERIFY2(notifications_.told.first().startsWith(
                     "Tallyscope: Tallyscope: Majestic refused | quota spent"),
                 qPrintable(notifications_.told.first()));

        const QList<RunRecord> runs = recentRuns();
        QCOMPARE(runs.size(), 2); // newest first
        QCOMPARE(runs.at(0).schedule, QStringLiteral("s"));
        QCOMPARE(runs.at(0).exitCode, int(ExitSourceRefused));
        QCOMPARE(runs.at(0).failed, 1);
        QVERIFY(runs.at(0).sources.first().startsWith("Majestic: 1 failed, first: quota spent"));
        QCOMPARE(runs.at(1).counted, 1);
        QCOMPARE(runs.at(1).exitCode, int(ExitSuccess));
        setHistoryToday(QDate());
    }

    // A click opens the window at the history the notification is about; a dismissal opens
    // nothing; either lets the run end, as does a service that offers no actions.
    void clickOpensHistory_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("actions");
        QTest::addColumn<QString>("opened");
        QTest::newRow("clicked") << int(test::NotificationsStandIn::Answer::Click) << true
                                 << "--history www.example.com\n";
        QTest::newRow("dismissed")
            << int(test::NotificationsStandIn::Answer::Dismiss) << true << "";
        QTest::newRow("no actions") << int(test::NotificationsStandIn::Answer::None) << false << "";
    }
    void clickOpensHistory() {
        QFETCH(int, answer);
        QFETCH(bool, actions);
        QFETCH(QString, opened);
        test::TestEnv env;
        const QString program = env.file("opener");
        env.writeFile("opener", "#!/bin/sh\necho \"$@\" > \"$0.args\"\n");
        QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        notifications_.answer = test::NotificationsStandIn::Answer(answer);
        notifications_.actions = actions;
        DesktopNotifier notifier(program);
        QSignalSpy settled(&notifier, &DesktopNotifier::settled);
        QVERIFY(notifier.notify("Tallyscope: dropped", "Majestic: 5000 → 4000", "www.example.com"));
        QCOMPARE(notifier.waiting(), actions);
        if (actions)
            QTRY_COMPARE(settled.size(), 1);
        if (!opened.isEmpty())
            QTRY_COMPARE(env.readFile("opener.args"), opened.toUtf8());
        QTest::qWait(50);
        QCOMPARE(QFile::exists(program + ".args"), !opened.isEmpty());
        notifications_.answer = test::NotificationsStandIn::Answer::Dismiss;
        notifications_.actions = true;
    }

private:
    test::SessionBus bus_;
    test::NotificationsStandIn notifications_;
};

TALLY_GUILESS_TEST_MAIN(TestSchedule)
#include "tst_schedule.moc"
