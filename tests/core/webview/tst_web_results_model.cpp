// The web-results list derived from the results: a "Home Page" row and one row per engine that
// has reported for each scanned URL, in scan order; brought up to date only by refresh(); emptied
// with the results; sorted by a column's text with one toggled order.
#include "core/results/results_model.h"
#include "core/webview/web_results_model.h"
#include "support/result_rows.h"
#include "support/test_main.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

using namespace tally;
using namespace tally::test;

namespace {

QStringList column(const WebResultsModel& list, int c) {
    QStringList out;
    for (int r = 0; r < list.rowCount(); ++r)
        out << list.index(r, c).data().toString();
    return out;
}

const QStringList SevenRows{"Home Page", "Google", "AltaVista", "Yahoo", "Ask", "MSN", "AllTheWeb"};

} // namespace

class TestWebResultsModel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void derivedFromTheScannedRows_data() {
        QTest::addColumn<int>("reported"); // engines of the second URL reported so far
        QTest::addColumn<int>("offFrom");  // first switched-off slot
        QTest::addColumn<QStringList>("secondRows");
        QTest::newRow("all reported") << 6 << 6 << SevenRows;
        QTest::newRow("in progress") << 2 << 6 << SevenRows.mid(0, 3);
        QTest::newRow("none reported yet") << 0 << 6 << SevenRows.mid(0, 1);
        QTest::newRow("switched-off engines have no page") << 6 << 4 << SevenRows.mid(0, 5);
    }
    void derivedFromTheScannedRows() {
        QFETCH(int, reported);
        QFETCH(int, offFrom);
        QFETCH(QStringList, secondRows);
        ResultsModel results;
        WebResultsModel list(&results);
        QAbstractItemModelTester tester(&list);
        // Rows added rather than scanned have no pages.
        appendRecords(&results, {{"added", "1"}});
        addScannedRow(&results, 1, "first", {"1", "2", "3", "4", "5", "6"});
        results.startRow(1, "second", engineSnapshot({}, offFrom));
        for (int s = 0; s < reported; ++s)
            results.setOutcome(1, s, EngineOutcome::counted("1"));
        QCOMPARE(list.rowCount(), 0); // nothing until it is looked at
        list.refresh();
        QCOMPARE(column(list, 0), SevenRows + secondRows);
        QCOMPARE(column(list, 1).count("first"), 7);
        QCOMPARE(column(list, 1).count("second"), secondRows.size());
        QCOMPARE(list.rowForUrl("second"), 7);
        QCOMPARE(list.rowForUrl("added"), -1);

        // The rest of the row comes at the next refresh, after the rows there are.
        for (int s = reported; s < EngineCount; ++s)
            results.setOutcome(1, s, EngineOutcome::counted("1"));
        results.finishRow(1);
        list.refresh();
        QCOMPARE(column(list, 0).mid(7), offFrom < 6 ? SevenRows.mid(0, 5) : SevenRows);

        // Cleared results empty the list at once.
        results.clear();
        QCOMPARE(list.rowCount(), 0);
        addScannedRow(&results, 1, "third", {"1"});
        list.refresh();
        QCOMPARE(column(list, 0), SevenRows.mid(0, 2));
    }

    // The first "Home Page" row of a URL scanned twice, wherever a sort has put it.
    void repeatedUrlOpensTheFirstGroup() {
        ResultsModel results;
        WebResultsModel list(&results);
        addScannedRow(&results, 1, "u", {"1"});
        addScannedRow(&results, 2, "v", {"1"});
        addScannedRow(&results, 3, "u", {"1"});
        list.refresh();
        QCOMPARE(list.rowForUrl("u"), 0);
        QVERIFY(list.toggleTextSort(2)); // descending by URL: the second u group comes first
        QCOMPARE(column(list, 1), (QStringList{"v", "v", "u", "u", "u", "u"}));
        const int row = list.rowForUrl("u");
        QCOMPARE(list.rowText(row), QStringLiteral("Home Page"));
        // The stable sort keeps the first group's rows before the second's.
        QCOMPARE(row, 2);
    }

    // One order for the whole list, toggled by every click: descending first. Rows scanned later
    // take their sorted places; persistent indexes follow their rows.
    void toggledTextSort() {
        ResultsModel results;
        WebResultsModel list(&results);
        QAbstractItemModelTester tester(&list);
        QVERIFY(list.toggleTextSort(1)); // an empty list: nothing, not even the toggle
        QVERIFY(!list.isSorted());
        addScannedRow(&results, 1, "http://u", {"1", "1", "1"}, engineSnapshot({}, 3));
        list.refresh();
        const QPersistentModelIndex google(list.index(1, 0));
        QVERIFY(list.toggleTextSort(1));
        QCOMPARE(column(list, 0), (QStringList{"Yahoo", "Home Page", "Google", "AltaVista"}));
        QCOMPARE(google.row(), 2);
        QVERIFY(!list.sortAscending());
        QVERIFY(list.toggleTextSort(1));
        QCOMPARE(column(list, 0), (QStringList{"AltaVista", "Google", "Home Page", "Yahoo"}));
        QVERIFY(!list.toggleTextSort(3));
        QVERIFY(!list.toggleTextSort(0));
        addScannedRow(&results, 2, "http://v", {"1"}, engineSnapshot({"Bing"}, 1));
        list.refresh();
        QCOMPARE(column(list, 0),
                 (QStringList{"AltaVista", "Bing", "Google", "Home Page", "Home Page", "Yahoo"}));
        QCOMPARE(list.url(4), QStringLiteral("http://v"));
        QCOMPARE(list.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Webpage Type"));
        QCOMPARE(list.headerData(1, Qt::Horizontal).toString(), QStringLiteral("URL"));
    }
};

TALLY_GUILESS_TEST_MAIN(TestWebResultsModel)
#include "tst_web_results_model.moc"
