// Scan › Schedule... driven from the keyboard: a list without URLs refused, a weekly schedule
// made for a list file (its units written for the user's systemd and enabled through a stand-in
// systemctl on PATH), listed with its next run, the recent runs shown from the record, and the
// schedule removed; a scan in the window recorded beside them, and the Chart View opened at a
// site's history as a notification's click asks. Nothing of the user's is touched.
#include "core/schedule/run_record.h"
#include "core/schedule/schedule.h"
#include "gui/schedule/schedule_dialog.h"
#include "gui/urllist/url_panel.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"
#include "support/main_window_fixture.h"
#include "support/systemctl_stand_in.h"
#include "support/test_main.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimeZone>
#include <QTreeWidget>

using namespace tally;
using namespace tally::test;

class TestScheduleWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void madeListedRemoved() {
        MainWindowFixture f;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(f.env.file(QStringLiteral("config"))));
        SystemctlStandIn systemctl;
        f.env.writeFile("Lists/sites.txt", "www.example.com\r\nwww.example.org\r\n");
        RunRecord earlier;
        earlier.when = QDateTime(QDate(2026, 12, 8), QTime(3, 0));
        earlier.schedule = QStringLiteral("old");
        earlier.counted = 11;
        earlier.failed = 1;
        earlier.exitCode = 5;
        earlier.sources = QStringList{QStringLiteral("Majestic: 1 failed, first: quota spent")};
        QVERIFY(appendRunRecord(earlier));

        activate(f.form.get());
        QTest::keyClick(f.form.get(), Qt::Key_S, Qt::AltModifier);
        QTest::keyClick(openPopup(), Qt::Key_H);
        ScheduleDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = f.form->findChild<ScheduleDialog*>(QStringLiteral("frmSchedule"))));
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
        auto* status = dialog->findChild<QLabel*>(QStringLiteral("lblScheduleStatus"));
        auto* schedules = dialog->findChild<QTreeWidget*>(QStringLiteral("lstSchedules"));
        auto* runs = dialog->findChild<QTreeWidget*>(QStringLiteral("lstRecentRuns"));
        QCOMPARE(runs->topLevelItemCount(), 1);
        QCOMPARE(runs->topLevelItem(0)->text(5), earlier.sources.first());

        // The window's list is empty: refused, nothing enabled.
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("txtScheduleName"));
        QCOMPARE(QApplication::focusWidget(), name);
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("weekly-sites"));
        // A button's Alt key clicks it a moment later, as the click is animated.
        QTest::keyClick(dialog, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY2(status->text().contains("holds no URLs"), qPrintable(status->text()));
        QVERIFY(systemctl.calls().isEmpty());

        // A list file, weekly on Monday at 03:00.
        QTest::keyClick(dialog, Qt::Key_L, Qt::AltModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("sites"));
        QCOMPARE(dialog->findChild<QComboBox*>(QStringLiteral("cmbScheduleList"))->currentText(),
                 QStringLiteral("sites.txt"));
        QTest::keyClick(dialog, Qt::Key_W, Qt::AltModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Weekly"));
        QTest::keyClick(dialog, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY2(status->text().startsWith("Scheduled \"weekly-sites\""),
                     qPrintable(status->text()));
        QVERIFY(f.env.readFile("config/systemd/user/tallyscope-weekly-sites.timer")
                    .contains("OnCalendar=Mon *-*-* 03:00:00\n"));
        QVERIFY(systemctl.calls().contains("--user enable --now tallyscope-weekly-sites.timer"));
        QCOMPARE(schedules->topLevelItemCount(), 1);
        QCOMPARE(schedules->topLevelItem(0)->text(0), QStringLiteral("weekly-sites"));
        const QDateTime next(QDate(2026, 12, 10), QTime(3, 0), QTimeZone::utc());
        QCOMPARE(schedules->topLevelItem(0)->text(3),
                 QLocale().toString(next.toLocalTime(), QLocale::ShortFormat));
        screenshot(dialog, QStringLiteral("schedule-dialog"));

        // Removed from the list by the keyboard.
        schedules->setFocus();
        QTest::keyClick(schedules, Qt::Key_Down);
        QVERIFY(schedules->currentItem());
        schedules->currentItem()->setSelected(true);
        QTest::keyClick(dialog, Qt::Key_M, Qt::AltModifier);
        QTRY_COMPARE(schedules->topLevelItemCount(), 0);
        QVERIFY(!QFile::exists(f.env.file("config/systemd/user/tallyscope-weekly-sites.timer")));
        QVERIFY(scheduleNames().isEmpty());
    }

    void windowScanRecordedHistoryOpened() {
        MainWindowFixture f;
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(f.env.file(QStringLiteral("config"))));
        LocalHttpServer server;
        serveEnginePages(server, [](int e, const QString&) {
            return e == 3 ? QByteArray() : QByteArray::number(100 + e); // Ask finds nothing
        });
        writeEnginePrefixes(server, f.env.file(QStringLiteral("settings.ini")));
        activate(f.form.get());
        f.form->urlPanel()->appendUrls({"http://www.example.com/"});
        QTest::keyClick(f.form->urlList(), Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(!f.form->isScanning(), 30000);
        QTRY_COMPARE(recentRuns().size(), 1);

        QTest::keyClick(f.form.get(), Qt::Key_S, Qt::AltModifier);
        QTest::keyClick(openPopup(), Qt::Key_H);
        ScheduleDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = f.form->findChild<ScheduleDialog*>(QStringLiteral("frmSchedule"))));
        const QTreeWidgetItem* run =
            dialog->findChild<QTreeWidget*>(QStringLiteral("lstRecentRuns"))->topLevelItem(0);
        QCOMPARE(run->text(1), QStringLiteral("in the window"));
        QCOMPARE(run->text(2) + run->text(3) + run->text(4), QStringLiteral("511"));
        QVERIFY2(run->text(5).startsWith("Ask: 1 failed, first: "), qPrintable(run->text(5)));
        screenshot(dialog, QStringLiteral("schedule-recent-runs"));
        dialog->close();

        f.env.writeFile("Saved/www.example.com.vqz",
                        "\r\n[Google]\r\n12-08-26=105\r\n12-01-26=140\r\n");
        f.form->showSavedSearchHistory(QStringLiteral("www.example.com"));
        QCOMPARE(f.form->currentTab(), 2);
        QCOMPARE(f.form->findChild<QComboBox*>(QStringLiteral("cmbChart1"))->currentText(),
                 QStringLiteral("Google"));
        screenshot(f.form.get(), QStringLiteral("history-from-notification"));
        f.form->showSavedSearchHistory(QStringLiteral("gone"));
        QVERIFY2(f.prompts.messages().last().startsWith("There is no saved search named \"gone\""),
                 qPrintable(f.prompts.messages().join('\n')));
    }
};

TALLY_TEST_MAIN(TestScheduleWindow)
#include "tst_schedule_window.moc"
