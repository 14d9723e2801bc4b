// Saves of one file by two programs at once: each load–change–replace holds the file's lock, so
// that neither loses the other's days; a lock held too long is reported, not waited on for ever.
//
// The two programs are this test started twice with "--save-days": each appends
// a run of days of its own to one saved search, as the window and a nightly scan would.
#include "core/files/file_lock.h"
#include "core/product/engine_table.h"
#include "core/results/saved_search.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QProcess>
#include <QtTest>

using namespace tally;
using tally::test::TestEnv;

namespace {

constexpr int DaysEach = 40;

QList<RowCell> cells(const QString& count) {
    return {{"Google", count}, {"Altavista", count}, {"Yahoo!", count},
            {"Ask", count},    {"MSN", count},       {"All The Web", count}};
}

// The worker: appends DaysEach days from `first` on to `file`, one save per day.
int saveDays(const QString& file, const QDate& first) {
    for (int d = 0; d < DaysEach; ++d) {
        QString reason;
        if (saveSearchRow(cells(QString::number(d + 1)), file, SaveMode::Append, first.addDays(d),
                          &reason) != SaveResult::Saved) {
            qWarning("save failed: %s", qPrintable(reason));
            return 1;
        }
    }
    return 0;
}

} // namespace

class TestSavedSearchLock : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { FileLock::setWaitLimitMs(-1); }

    // Two programs saving into one saved search at the same time: every day of both is there,
    // in every section.
    void twoProgramsKeepEachOthersDays() {
        TestEnv env;
        const QString file = savedSearchPath(QStringLiteral("shared.vqz"));
        QCOMPARE(saveSearchRow(cells("0"), file, SaveMode::NewSearch, QDate(2019, 1, 1)),
                 SaveResult::Saved);
        const QList<QDate> firsts{QDate(2020, 1, 1), QDate(2021, 1, 1)};
        QList<QProcess*> workers;
        for (const QDate& first : firsts) {
            auto* worker = new QProcess(this);
            worker->setProcessChannelMode(QProcess::ForwardedErrorChannel);
            worker->start(
                QCoreApplication::applicationFilePath(),
                {"tst_saved_search_lock", "--save-days", file, first.toString(Qt::ISODate)});
            workers << worker;
        }
        for (QProcess* worker : workers) {
            QVERIFY(worker->waitForFinished(120000));
            QCOMPARE(worker->exitStatus(), QProcess::NormalExit);
            QCOMPARE(worker->exitCode(), 0);
        }
        const QStringList sections = modINI::ListIniSections(file);
        QCOMPARE(sections.size(), EngineCount);
        for (const QString& section : sections) {
            const QList<HistoryRow> rows = readEngineHistory(section, file);
            QSet<QString> days;
            for (const HistoryRow& row : rows)
                days.insert(row.label);
            QCOMPARE(rows.size(), 1 + 2 * DaysEach);
            for (const QDate& first : firsts)
                for (int d = 0; d < DaysEach; ++d)
                    QVERIFY2(days.contains(historyDateKey(first.addDays(d))),
                             qPrintable(section + ": " + first.addDays(d).toString()));
        }
        // No lock file stays behind.
        QCOMPARE(QDir(env.file("Saved")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"shared.vqz"});
    }

    // A lock that another program keeps: the change is given up after the wait limit with a
    // reason that says so, the file stays as it was, and the next change after the lock went
    // goes through. Saved searches and settings.ini (the Options dialog's writes) alike.
    void aLockHeldTooLongIsReported_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("saved search") << "Saved/held.vqz";
        QTest::newRow("settings.ini") << "settings.ini";
    }
    void aLockHeldTooLongIsReported() {
        QFETCH(QString, file);
        TestEnv env;
        const QString path = env.file(file);
        env.writeFile(file, "\r\n[Google]\r\n01-01-26=1\r\n");
        FileLock::setWaitLimitMs(300);
        FileLock other(path);
        QVERIFY(other.acquire());
        QVERIFY(QFile::exists(FileLock::lockFileOf(path)));
        const FileOutcome refused =
            modINI::IniFileEdit(path).writeIniValue("Google", "01-02-26", "2").save();
        QVERIFY(!refused);
        QVERIFY2(refused.reason().contains("for more than 0.3 s"), qPrintable(refused.reason()));
        QVERIFY(refused.reason().contains(FileLock::lockFileOf(path)));
        QCOMPARE(env.readFile(file), QByteArray("\r\n[Google]\r\n01-01-26=1\r\n"));
        if (file.endsWith(".vqz")) {
            QString reason;
            QCOMPARE(saveSearchRow(cells("2"), path, SaveMode::Append, QDate(2026, 1, 2), &reason),
                     SaveResult::Failed);
            QVERIFY(reason.contains("Another program"));
        } else {
            QVERIFY(!modINI::WritePrivateProfileStringA("Engines", "Google", "x", path));
        }
        other.release();
        QVERIFY(!QFile::exists(FileLock::lockFileOf(path)));
        QVERIFY(modINI::IniFileEdit(path).writeIniValue("Google", "01-02-26", "2").save());
        QCOMPARE(modINI::ReadIniValue("Google", "01-02-26", QString(), path), QStringLiteral("2"));
    }

    void lockFileNamesAndFolders() {
        TestEnv env;
        QCOMPARE(FileLock::lockFileOf("/a/b/c.vqz"), QStringLiteral("/a/b/.c.vqz.lock"));
        // A folder where the lock file cannot be made: said, with the lock file's name.
        FileLock lock(env.file("missing/x.vqz"));
        const FileOutcome outcome = lock.acquire();
        QVERIFY(!outcome);
        QVERIFY(outcome.reason().contains(".x.vqz.lock"));
        QVERIFY(!lock.isHeld());
    }
};

TALLY_MAIN {
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--save-days") == 0)
        return saveDays(QString::fromLocal8Bit(argv[2]),
                        QDate::fromString(QString::fromLatin1(argv[3]), Qt::ISODate));
    TestSavedSearchLock test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_saved_search_lock.moc"
