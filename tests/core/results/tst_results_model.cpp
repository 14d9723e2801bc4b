// The results model: totals and profiles derived from the cells (as the run's snapshot counts
// them), what a view reads of each cell, rows published in batches, the typed sort, a real run
// followed, and the throttle that paces the window's refreshes.
#include "core/net/network_page_fetcher.h"
#include "core/results/refresh_throttle.h"
#include "core/results/results_model.h"
#include "core/scan/scan_run.h"
#include "core/settings/ini_file.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"
#include "support/result_rows.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

using namespace tally;
using namespace tally::test;

namespace {

// The built-in engines with a score slot and a switched-off slot (-1: none) and thresholds.
std::shared_ptr<const EngineSnapshot> snapshot(int score = -1, int off = -1, qint64 low = 500,
                                               qint64 medium = 1000) {
    EngineSnapshot s = *EngineSnapshot::builtIn();
    if (score >= 0)
        s.slot[score].countsIntoTotal = false;
    if (off >= 0)
        s.slot[off].switchedOff = true;
    s.low = low;
    s.medium = medium;
    return std::make_shared<const EngineSnapshot>(s);
}

QStringList texts(const ResultsModel& model, int row) {
    QStringList out;
    for (int c = 0; c < ResultsModel::ColumnCount; ++c)
        out << model.index(row, c).data().toString();
    return out;
}

} // namespace

class TestResultsModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A row's total and profile come from the counts of the slots that count into the total; a
    // row without such a count has neither (never 0).
    void totalsAndProfiles_data() {
        QTest::addColumn<QStringList>("counts"); // "" a failed request
        QTest::addColumn<int>("score");
        QTest::addColumn<int>("off");
        QTest::addColumn<QString>("total");
        QTest::addColumn<int>("profile");
        QTest::addColumn<QStringList>("cells");
        const QStringList six{"100", "200", "300", "0", "5", "1"};
        QTest::newRow("every count") << six << -1 << -1 << "606" << 2 << six;
        QTest::newRow("a failure adds nothing")
            << QStringList{"100", "", "300", "0", "5", "1"} << -1 << -1 << "406" << 1
            << QStringList{"100", "", "300", "0", "5", "1"};
        QTest::newRow("no count at all") << QStringList{"", "", "", "", "", ""} << -1 << -1 << ""
                                         << 0 << QStringList{"", "", "", "", "", ""};
        QTest::newRow("a count that is no number")
            << QStringList{"n/a", "", "", "", "", ""} << -1 << -1 << "" << 0
            << QStringList{"n/a", "", "", "", "", ""};
        QTest::newRow("a score is shown, not summed")
            << QStringList{"100", "200", "4.5", "0", "5", "1"} << 2 << -1 << "306" << 1
            << QStringList{"100", "200", "4.5", "0", "5", "1"};
        QTest::newRow("a score alone makes no total")
            << QStringList{"", "", "4.5", "", "", ""} << 2 << -1 << "" << 0
            << QStringList{"", "", "4.5", "", "", ""};
        QTest::newRow("switched off says so, counts nothing")
            << six << -1 << 2 << "306" << 1 << QStringList{"100", "200", "off", "0", "5", "1"};
        QTest::newRow("ties to even, cell by cell")
            << QStringList{"0.5", "0.5", "1.5", "", "", ""} << -1 << -1 << "2" << 1
            << QStringList{"0.5", "0.5", "1.5", "", "", ""};
        QTest::newRow("64-bit") << QStringList{"9999999999", "9999999999", "", "", "", ""} << -1
                                << -1 << "19999999998" << 3
                                << QStringList{"9999999999", "9999999999", "", "", "", ""};
    }
    void totalsAndProfiles() {
        QFETCH(QStringList, counts);
        QFETCH(int, score);
        QFETCH(int, off);
        QFETCH(QString, total);
        QFETCH(int, profile);
        QFETCH(QStringList, cells);
        ResultsModel model;
        QAbstractItemModelTester tester(&model);
        model.insertRecord(1, finishedRecord("u", counts, snapshot(score, off)));
        QCOMPARE(texts(model, 0), (QStringList{"u", total} + cells));
        QCOMPARE(model.record(0).profile(), profile);
        QCOMPARE(model.index(0, 0).data(Qt::ToolTipRole).toString(), profileWords(profile));
        QCOMPARE(model.index(0, 0).data(Qt::AccessibleDescriptionRole).toString(),
                 profileWords(profile));
        // A failed cell's reason is its tooltip and description; a count has none.
        for (int s = 0; s < EngineCount; ++s) {
            const QString note = model.index(0, ResultsModel::columnOfSlot(s))
                                     .data(Qt::AccessibleDescriptionRole)
                                     .toString();
            const QString expected = s == off              ? QStringLiteral("switched off")
                                     : counts[s].isEmpty() ? QStringLiteral("refused")
                                                           : QString();
            QCOMPARE(note, expected);
        }
        // What a save takes: every engine not switched off, under its caption.
        const QList<RowCell> saved = savedCells(model.record(0));
        QCOMPARE(saved.size(), off >= 0 ? EngineCount - 1 : EngineCount);
        QCOMPARE(saved.first().caption, QStringLiteral("Google"));
        QCOMPARE(saved.first().count, counts.first());
    }

    // A finished row keeps its total; a cell that reports after the row finished changes it.
    void aLateCellChangesTheKeptTotal() {
        ResultsModel model;
        model.startRow(1, QStringLiteral("u"));
        model.setOutcome(1, 0, EngineOutcome::counted(QStringLiteral("100")));
        model.finishRow(1);
        QCOMPARE(model.record(0).totalText(), QStringLiteral("100"));
        model.setOutcome(1, 1, EngineOutcome::counted(QStringLiteral("5")));
        QCOMPARE(model.record(0).totalText(), QStringLiteral("105"));
        QCOMPARE(byTotalAscending({}).size(), 0);
    }

    void profileThresholds_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("profile");
        QTest::newRow("499 low") << "499" << 1;
        QTest::newRow("500 medium") << "500" << 2;
        QTest::newRow("999 medium") << "999" << 2;
        QTest::newRow("1000 high") << "1000" << 3;
    }
    // A counted cell's tooltip says what changed since its site's previous saved point of the
    // same source; today's own point is not that one.
    void countTooltipSaysWhatChanged() {
        test::TestEnv env;
        setHistoryToday(QDate(2026, 12, 9));
        const QString url = QStringLiteral("http://www.example.com/");
        const EngineSlotSnapshot& google = EngineSnapshot::builtIn()->slot[0];
        for (const auto& [day, count] : {std::pair{1, "100"}, std::pair{9, "7"}})
            QCOMPARE(saveSearchRow({RowCell(google.caption, count,
                                            {google.source, google.metric, {}, {}, url, {}})},
                                   env.file("Saved/site.vqz"), SaveMode::Append,
                                   QDate(2026, 12, day)),
                     SaveResult::Saved);
        ResultsModel model;
        model.insertRecord(1, finishedRecord(url, {"110", "5"}));
        model.insertRecord(2, finishedRecord("http://other.example/", {"110"}));
        const QString tip = model.index(0, 2).data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.startsWith("Since ") && tip.endsWith(": +10 (+10.0 %)"), qPrintable(tip));
        QVERIFY(model.index(0, 3).data(Qt::ToolTipRole).isNull()); // Altavista: no point
        QVERIFY(model.index(1, 2).data(Qt::ToolTipRole).isNull()); // another site
        setHistoryToday(QDate());
    }
    void profileThresholds() {
        QFETCH(QString, count);
        QFETCH(int, profile);
        const ResultRecord r = finishedRecord("u", {count}, snapshot());
        QCOMPARE(r.profile(), profile);
        // The run's own thresholds, not today's: 200 and 400 make the same count high.
        QCOMPARE(finishedRecord("u", {count}, snapshot(-1, -1, 200, 400)).profile(), 3);
    }

    void headerNamesTheSnapshot() {
        ResultsModel model;
        QSignalSpy header(&model, &QAbstractItemModel::headerDataChanged);
        EngineSnapshot s = *EngineSnapshot::builtIn();
        s.slot[5].caption = QStringLiteral("Links");
        s.slot[5].countMeaning = QStringLiteral("linking domains in cc");
        s.slot[3].problem = QStringLiteral("engine definition: broken");
        s.slot[4].switchedOff = true;
        model.setHeaderEngines(std::make_shared<const EngineSnapshot>(s));
        QCOMPARE(header.count(), 1);
        const auto caption = [&](int c, int role = Qt::DisplayRole) {
            return model.headerData(c, Qt::Horizontal, role).toString();
        };
        QCOMPARE(caption(0), QStringLiteral("Domain Name"));
        QCOMPARE(caption(1), QStringLiteral("Total"));
        QCOMPARE(caption(2), QStringLiteral("Google"));
        QCOMPARE(caption(7), QStringLiteral("Links"));
        QCOMPARE(caption(7, Qt::ToolTipRole), QStringLiteral("linking domains in cc"));
        QCOMPARE(caption(5, Qt::ToolTipRole), QStringLiteral("engine definition: broken"));
        QCOMPARE(caption(6, Qt::ToolTipRole), QStringLiteral("switched off"));
        QVERIFY(caption(2, Qt::ToolTipRole).isEmpty());
    }

    // Deferred: a run's rows wait, found by their positions, until publish() tells the views in
    // one insertion; cells of published rows change in place and are announced at publish().
    void deferredRowsArePublishedInOneGo() {
        ResultsModel model;
        QAbstractItemModelTester tester(&model);
        appendRecords(&model, {{"old1", "1"}, {"old2", "2"}}); // an earlier run's rows
        model.setDeferred(true);
        QSignalSpy changed(&model, &ResultsModel::changed);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy data(&model, &QAbstractItemModel::dataChanged);
        for (int p = 1; p <= 3; ++p) {
            model.startRow(p, QStringLiteral("new%1").arg(p));
            model.setOutcome(p, 0, EngineOutcome::counted(QString::number(10 * p)));
            model.finishRow(p);
        }
        QCOMPARE(changed.count(), 1); // once until published
        QCOMPARE(model.rowCount(), 2);
        QVERIFY(inserted.isEmpty());
        QVERIFY(model.hasUnpublished());
        QCOMPARE(model.recordAtPosition(2)->url, QStringLiteral("new2"));
        QCOMPARE(model.recordAtPosition(4)->url, QStringLiteral("old1"));
        QCOMPARE(model.scannedCount(), 3);

        model.publish();
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.first().at(1).toInt(), 0);
        QCOMPARE(inserted.first().at(2).toInt(), 2);
        QCOMPARE(texts(model, 1).mid(0, 3), (QStringList{"new2", "20", "20"}));
        QCOMPARE(model.record(3).url, QStringLiteral("old1")); // older rows follow
        QVERIFY(!model.hasUnpublished());

        QCOMPARE(model.widestText(ResultsModel::TotalColumn).size(), 2);
        // A published row's change: applied at once, announced at the next publish.
        model.setOutcome(2, 1, EngineOutcome::counted(QStringLiteral("12345")));
        QCOMPARE(model.index(1, 3).data().toString(), QStringLiteral("12345"));
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("12365"));
        QCOMPARE(changed.count(), 2);
        data.clear();
        model.publish();
        QCOMPARE(data.count(), 1);
        QCOMPARE(data.first().at(0).toModelIndex().row(), 1);
        QCOMPARE(data.first().at(1).toModelIndex().row(), 1);
        // The widest texts grew with the cells.
        QCOMPARE(model.widestText(ResultsModel::TotalColumn), QStringLiteral("12365"));
        QCOMPARE(model.widestText(ResultsModel::columnOfSlot(1)), QStringLiteral("12345"));

        // Clearing empties every row, the scanned ones too.
        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.scannedCount(), 0);
        QVERIFY(model.widestText(ResultsModel::TotalColumn).isEmpty());
    }

    // The typed sort moves whole rows and keeps persistent indexes (a view's selection) on them;
    // the sorted order can also be read without moving any.
    void sortKeepsRowsAndPersistentIndexes_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("kind");
        QTest::addColumn<bool>("ascending");
        QTest::addColumn<QStringList>("urls");
        QTest::newRow("total ascending")
            << 1 << int(SortKind::Number) << true << QStringList{"c", "a", "b"};
        QTest::newRow("total descending")
            << 1 << int(SortKind::Number) << false << QStringList{"b", "a", "c"};
        QTest::newRow("a count, failures first")
            << 3 << int(SortKind::Number) << true << QStringList{"c", "b", "a"};
        QTest::newRow("URL as text")
            << 0 << int(SortKind::Text) << false << QStringList{"c", "b", "a"};
    }
    void sortKeepsRowsAndPersistentIndexes() {
        QFETCH(int, column);
        QFETCH(int, kind);
        QFETCH(bool, ascending);
        QFETCH(QStringList, urls);
        ResultsModel model;
        QAbstractItemModelTester tester(&model);
        appendRecords(&model, {{"a", "20", "7"}, {"b", "30", "3"}, {"c", "10", ""}});
        const QPersistentModelIndex a(model.index(0, 2));
        // The same order read without moving a row (what the chart takes at a scan's end).
        QStringList sortedUrls;
        for (const auto& record : model.sortedRecords(column, SortKind(kind), ascending))
            sortedUrls << record->url;
        QCOMPARE(sortedUrls, urls);
        QCOMPARE(model.record(0).url, QStringLiteral("a"));
        model.sortRows(column, SortKind(kind), ascending);
        QStringList order;
        for (int r = 0; r < model.rowCount(); ++r)
            order << model.record(r).url;
        QCOMPARE(order, urls);
        QCOMPARE(a.row(), int(urls.indexOf("a")));
        QCOMPARE(a.data().toString(), QStringLiteral("20"));
    }

    // The total sorts by its value as its text would: no total and "too large" first, in their
    // order; equal totals keep theirs, both ways.
    void totalsSortAsTheirTexts() {
        ResultsModel model;
        appendRecords(&model, {{"none", ""},
                               {"big", "9223372036854775807", "1"},
                               {"neg", "-5"},
                               {"tie1", "7"},
                               {"zero", "0"},
                               {"tie2", "7"}});
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("too large"));
        QStringList totals;
        for (int r = 0; r < model.rowCount(); ++r)
            totals << model.index(r, 1).data().toString();
        for (const bool ascending : {true, false}) {
            QStringList order;
            for (const auto& record : model.sortedRecords(1, SortKind::Number, ascending))
                order << record->url;
            QStringList byText;
            for (int r : sortedPositions(totals, SortKind::Number, ascending))
                byText << model.record(r).url;
            QCOMPARE(order, byText);
        }
        QCOMPARE(model.sortedRecords(1, SortKind::Number, true).constLast()->url, "tie2");
    }

    // A real run followed: the header takes the run's snapshot, each row its counts and failures,
    // whatever engines.ini says while the run goes on.
    void followsARun() {
        TestEnv env(false);
        LocalHttpServer server;
        serveEnginePages(server, [](int e, const QString&) -> QByteArray {
            return e == 3 ? QByteArray() : QByteArray::number(e + 1);
        });
        writeEnginePrefixes(server, env.file("settings.ini"));
        NetworkPageFetcher fetcher;
        ScanRun run({"a.example", "b.example"}, env.file("settings.ini"), &fetcher);
        ResultsModel model;
        QAbstractItemModelTester tester(&model);
        model.follow(&run);
        QObject::connect(&run, &ScanRun::rowFinished, [&](int position) {
            if (position == 1)
                env.writeFile("engines.ini", "[Google]\nCaption=Renamed\n");
        });
        QSignalSpy finished(&run, &ScanRun::finished);
        run.start();
        QVERIFY(finished.wait(20000));
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.headerEngines(), run.snapshot());
        QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Google"));
        QCOMPARE(texts(model, 1), (QStringList{"b.example", "17", "1", "2", "3", "", "5", "6"}));
        QVERIFY(model.record(1).isFailure(3));
        QCOMPARE(model.record(1).engines->slot[0].caption, QStringLiteral("Google"));
        QCOMPARE(model.scannedCount(), 2);
    }

    // Requests between two refreshes make one refresh; the first waits for nothing, the next
    // for the interval; flush() runs a due refresh at once and nothing when none is due.
    void throttleRunsOneRefreshPerInterval() {
        int refreshes = 0;
        QElapsedTimer clock;
        QList<qint64> at;
        RefreshThrottle throttle(60, [&] {
            ++refreshes;
            at << clock.elapsed();
        });
        clock.start();
        for (int i = 0; i < 100; ++i)
            throttle.request();
        QVERIFY(throttle.isPending());
        QCOMPARE(refreshes, 0); // never inside the request
        QTRY_COMPARE(refreshes, 1);
        throttle.request();
        throttle.request();
        QTRY_COMPARE(refreshes, 2);
        QVERIFY2(at[1] - at[0] >= 55, qPrintable(QString::number(at[1] - at[0])));
        throttle.flush();
        QCOMPARE(refreshes, 2);
        throttle.request();
        throttle.flush();
        QCOMPARE(refreshes, 3);
        QVERIFY(!throttle.isPending());
        throttle.request();
        throttle.cancel();
        QTest::qWait(120);
        QCOMPARE(refreshes, 3);
    }
};

TALLY_GUILESS_TEST_MAIN(TestResultsModel)
#include "tst_results_model.moc"
