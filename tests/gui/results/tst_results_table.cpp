// The results table through the main window's real widgets: the typed sort on header clicks, the
// right-button handling and its menu, Save Selected, Clear Results, and the web-results list's
// header sort.
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_snapshot.h"
#include "gui/results/results_table.h"
#include "gui/urllist/url_panel.h"
#include "gui/webview/website_frame.h"
#include "support/item_views.h"
#include "support/result_rows.h"

#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace tally;
using tally::test::MainWindowFixture;
using namespace tally::test;

namespace {

// Rows of the results table: URL and the six counts (the total follows from them).
void fill(ResultsTable* table, const QList<QStringList>& rows) {
    appendRecords(table->resultsModel(), rows);
}

// The texts of a 1-based column.
QStringList column(const QAbstractItemView* table, int c) {
    return columnTexts(table, c - 1);
}

void clickHeader(QTreeView* table, int c) {
    QHeaderView* header = table->header();
    const QPoint pos(header->sectionViewportPosition(c - 1) + header->sectionSize(c - 1) / 2,
                     header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, pos);
}

// Web-results rows for a URL: its home page and a row per type given (slots from there on
// switched off), as a scan of it leaves them.
void scanRows(MainWindowFixture& f, const QString& url, const QStringList& types) {
    ResultsModel* model = f.form->resultsModel();
    QStringList counts;
    for (qsizetype i = 0; i < types.size(); ++i)
        counts << QStringLiteral("1");
    addScannedRow(model, model->rowCount() + 1, url, counts,
                  engineSnapshot(types, int(types.size())));
    f.form->websiteFrame()->refreshWebResults();
}

} // namespace

class TestResultsTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void headerClicksAlternatePerColumn();
    void numbersNegativesAndNonNumbers();
    void textColumnIgnoresCase();
    void cellsIconsDataAndSelectionSurvive();
    void rightPressSelectsOrClears();
    void rightReleaseOverRowPopsTheMenu();
    void saveSelectedBuildsPendingText();
    void clearResults();
    void webResultsListHeaderToggles();
    void numberColumnsFitTheirValues();
};

void TestResultsTable::headerClicksAlternatePerColumn() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    // Totals 100, 20, 3; Altavista 5, 7, 6.
    fill(table, {{"http://a", "95", "5"}, {"http://b", "13", "7"}, {"http://c", "-3", "6"}});
    QCOMPARE(column(table, 2), (QStringList{"100", "20", "3"}));
    clickHeader(table, 2);
    QCOMPARE(column(table, 2), (QStringList{"3", "20", "100"}));
    clickHeader(table, 2);
    QCOMPARE(column(table, 2), (QStringList{"100", "20", "3"}));
    QVERIFY(!table->columnDirection(2));
    // Column 4 starts ascending on its own, whatever column 2 did.
    clickHeader(table, 4);
    QCOMPARE(column(table, 4), (QStringList{"5", "6", "7"}));
    QVERIFY(table->columnDirection(4));
    QVERIFY(table->isSorted());
    QCOMPARE(table->header()->sortIndicatorSection(), 3);
    // The flags survive clearing the table.
    f.form->clearResults();
    QVERIFY(table->columnDirection(4));
}

void TestResultsTable::numbersNegativesAndNonNumbers() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    // "" is a request that gave no count; "n/a" a page that carried that text.
    fill(table, {{"a", "7"}, {"b", "-1"}, {"c", ""}, {"d", "0"}, {"e", "n/a"}, {"f", "-5"}});
    f.form->sortByColumn(3);
    QCOMPARE(column(table, 3), (QStringList{"", "n/a", "-5", "-1", "0", "7"}));
    f.form->sortByColumn(3);
    QCOMPARE(column(table, 3), (QStringList{"7", "0", "-1", "-5", "", "n/a"}));
    // Neither has a total: never a 0.
    QCOMPARE(column(table, 2), (QStringList{"7", "0", "-1", "-5", "", ""}));
}

void TestResultsTable::textColumnIgnoresCase() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    fill(table, {{"http://www.abd.com"}, {"HTTP://WWW.ABC.COM"}, {"http://www.abb.com"}});
    f.form->sortByColumn(1);
    QCOMPARE(column(table, 1),
             (QStringList{"http://www.abb.com", "HTTP://WWW.ABC.COM", "http://www.abd.com"}));
    f.form->sortByColumn(1);
    QCOMPARE(column(table, 1).constFirst(), QStringLiteral("http://www.abd.com"));
}

void TestResultsTable::cellsIconsDataAndSelectionSurvive() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    // b: a failed Altavista request, a medium profile (total 520).
    fill(table, {{"a", "1000"}, {"b", "520", ""}, {"c", "3"}});
    const QIcon mark = failureMark();
    QVERIFY(samePicture(cellIcon(table, 1, 3), mark));
    QCOMPARE(cellToolTip(table, 1, 3), QStringLiteral("refused"));
    table->selectRow(1);
    table->sortRows(2, SortKind::Number, true);
    QCOMPARE(column(table, 2), (QStringList{"3", "520", "1000"}));
    QCOMPARE(cellText(table, 1, 0), QStringLiteral("b"));
    QVERIFY(samePicture(cellIcon(table, 1, 3), mark));
    QCOMPARE(cellToolTip(table, 1, 3), QStringLiteral("refused"));
    QVERIFY(samePicture(cellIcon(table, 1, 0), profileIcon(2)));
    QCOMPARE(table->selectedRow(), 1);
    QCOMPARE(currentRow(table), 1);
    QCOMPARE(table->cursor().shape(), Qt::ArrowCursor);
    // Out-of-range columns do nothing.
    table->sortRows(9, SortKind::Number, true);
    table->sortRows(0, SortKind::Text, true);
    QCOMPARE(column(table, 2), (QStringList{"3", "520", "1000"}));
}

void TestResultsTable::rightPressSelectsOrClears() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    fill(table, {{"http://a"}, {"http://b"}});
    QTest::mousePress(table->viewport(), Qt::RightButton, {}, rowPoint(table, 1));
    QCOMPARE(table->selectedRow(), 1);
    // An empty area: the selection goes and no menu shows.
    const QPoint empty(20, table->viewport()->height() - 4);
    QTest::mousePress(table->viewport(), Qt::RightButton, {}, empty);
    QTest::mouseRelease(table->viewport(), Qt::RightButton, {}, empty);
    QCOMPARE(table->selectedRow(), -1);
    QVERIFY(!f.find<QMenu>("mnuListView")->isVisible());
}

void TestResultsTable::rightReleaseOverRowPopsTheMenu() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    fill(table, {{"http://a"}, {"http://b&c"}});
    auto* menu = f.find<QMenu>("mnuListView");
    QTest::mousePress(table->viewport(), Qt::RightButton, {}, rowPoint(table, 0));
    QTest::mouseRelease(table->viewport(), Qt::RightButton, {}, rowPoint(table, 0));
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->actions().constFirst()->text(), QStringLiteral("&Save Result For http://a"));
    QCOMPARE(table->selectedRow(), 0);
    menu->hide();
    QTest::mousePress(table->viewport(), Qt::RightButton, {}, rowPoint(table, 1));
    QTest::mouseRelease(table->viewport(), Qt::RightButton, {}, rowPoint(table, 1));
    QTRY_VERIFY(menu->isVisible());
    // An ampersand in the URL shows as itself, not as a mnemonic.
    QCOMPARE(menu->actions().constFirst()->text(), QStringLiteral("&Save Result For http://b&&c"));
    menu->hide();
}

void TestResultsTable::saveSelectedBuildsPendingText() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    fill(table, {{"http://a", "1", "2", "3", "4", "5", "6"}});
    QCOMPARE(cellText(table, 0, 1), QStringLiteral("21"));
    // No row selected: the message and no dialog.
    QTest::mouseClick(f.find<QPushButton>("Command4"), Qt::LeftButton);
    QCOMPARE(f.prompts.calls.size(), 1);
    QCOMPARE(
        f.prompts.calls[0].text,
        QStringLiteral(
            "You must first select the item in the results list that you would like to save."));
    QCOMPARE(f.prompts.calls[0].title, QStringLiteral("Tallyscope"));
    QCOMPARE(f.prompts.calls[0].icon, QMessageBox::NoIcon);
    QVERIFY(QDir(f.env.file(QStringLiteral("Saved"))).isEmpty());

    // With the row selected: the save dialog, modal over the main window, saves its cells.
    setHistoryToday(QDate(2026, 12, 7));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rowPoint(table, 0));
    QWidget* owner = nullptr;
    QTimer::singleShot(0, this, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog && dialog->objectName() == QLatin1String("Form5"));
        owner = dialog->parentWidget();
        dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("row"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command3")),
                          Qt::LeftButton);
    });
    QTest::mouseClick(f.find<QPushButton>("Command4"), Qt::LeftButton);
    setHistoryToday(QDate());
    QCOMPARE(owner, f.form.get());
    QCOMPARE(f.env.readFile(QStringLiteral("Saved/row.vqz")),
             QByteArray("\r\n[Google]\r\n12-07-26=1\r\n\r\n[Altavista]\r\n12-07-26=2\r\n"
                        "\r\n[Yahoo!]\r\n12-07-26=3\r\n\r\n[Ask]\r\n12-07-26=4\r\n"
                        "\r\n[MSN]\r\n12-07-26=5\r\n\r\n[All The Web]\r\n12-07-26=6\r\n"));
}

void TestResultsTable::clearResults() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    QTreeView* list2 = f.form->websiteFrame()->webResults();
    // Clear All on an empty table: nothing visible, no message.
    QTest::mouseClick(f.find<QPushButton>("Command5"), Qt::LeftButton);
    QVERIFY(f.prompts.calls.isEmpty());
    fill(table, {{"a"}, {"b"}});
    scanRows(f, QStringLiteral("c"), {"Google"});
    QCOMPARE(rowCount(list2), 2);
    f.form->urlPanel()->appendUrls({"a"});
    QTest::mouseClick(f.find<QPushButton>("Command5"), Qt::LeftButton);
    QCOMPARE(rowCount(table), 0);
    QCOMPARE(rowCount(list2), 0);
    QCOMPARE(f.form->scanPosition(), 0);
    QCOMPARE(f.form->urlPanel()->count(), 1);
    fill(table, {{"a"}});
    f.find<QAction>("mnuClearResults")->trigger();
    QCOMPARE(rowCount(table), 0);
    QVERIFY(f.prompts.calls.isEmpty());
}

void TestResultsTable::webResultsListHeaderToggles() {
    MainWindowFixture f;
    f.form->selectTab(3);
    WebsiteFrame* frame = f.form->websiteFrame();
    QTreeView* list2 = frame->webResults();
    // No rows: nothing happens, and the order is not toggled.
    QVERIFY(frame->sortWebResults(1, true));
    scanRows(f, QStringLiteral("http://u"), {"Google", "AltaVista", "ask"});
    QCOMPARE(column(list2, 1), (QStringList{"Home Page", "Google", "AltaVista", "ask"}));
    // One order for the whole list, ascending at first: the first click sorts descending.
    clickHeader(list2, 1);
    QCOMPARE(column(list2, 1), (QStringList{"Home Page", "Google", "ask", "AltaVista"}));
    clickHeader(list2, 1);
    QCOMPARE(column(list2, 1), (QStringList{"AltaVista", "ask", "Google", "Home Page"}));
    // Another column continues from the order the last click left: descending now.
    clickHeader(list2, 2);
    QCOMPARE(list2->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    QCOMPARE(list2->header()->sortIndicatorSection(), 1);
    // A failing sort is silent unless asked to report.
    QVERIFY(!frame->sortWebResults(5, false));
    QVERIFY(f.prompts.calls.isEmpty());
    QVERIFY(!frame->sortWebResults(5, true));
    QCOMPARE(f.prompts.calls.size(), 1);
    QCOMPARE(f.prompts.calls[0].title,
             QStringLiteral("Error in Function : EnhListView_SortColumns"));
    QCOMPARE(f.prompts.calls[0].icon, QMessageBox::Information);
    QVERIFY(f.prompts.calls[0].text.startsWith(QStringLiteral("Error")));
    QVERIFY(f.prompts.calls[0].text.contains(QLatin1Char('\t')));
    // Rows scanned while the list is sorted take their sorted places.
    clickHeader(list2, 1); // ascending by type
    QCOMPARE(column(list2, 1), (QStringList{"AltaVista", "ask", "Google", "Home Page"}));
    scanRows(f, QStringLiteral("http://v"), {"Bing"});
    QCOMPARE(column(list2, 1),
             (QStringList{"AltaVista", "ask", "Bing", "Google", "Home Page", "Home Page"}));
    QCOMPARE(column(list2, 2).at(3), QStringLiteral("http://u"));
    QCOMPARE(column(list2, 2).at(5), QStringLiteral("http://v"));
}

// A count or total is never cut: each number column is at least as wide as its widest value, and
// the domain column takes the rest, its URLs cut in the middle.
void TestResultsTable::numberColumnsFitTheirValues() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    const QString long_ = QStringLiteral("http://www.a-very-long-domain-name-for-a-table.example/");
    fill(table, {{long_, "800000000000", "1", "", "3"}});
    QCOMPARE(table->textElideMode(), Qt::ElideMiddle);
    const QFontMetrics metrics = table->fontMetrics();
    for (int c : {1, 2}) {
        const QString value = cellText(table, 0, c);
        QVERIFY2(table->columnWidth(c) > metrics.horizontalAdvance(value) + 4,
                 qPrintable(QStringLiteral("column %1: %2 for %3")
                                .arg(c + 1)
                                .arg(table->columnWidth(c))
                                .arg(value)));
    }
    int numbers = 0;
    for (int c = 1; c < ResultsColumnCount; ++c)
        numbers += table->columnWidth(c);
    QCOMPARE(table->columnWidth(0) + numbers,
             std::max(table->viewport()->width(), table->columnWidth(0) + numbers));
    QVERIFY(table->columnWidth(0) >= table->header()->sectionSizeHint(0) - 20);
    // A wider window gives the domain column the room; the number columns keep their widths.
    const int before = table->columnWidth(0);
    f.form->resize(f.form->width() + 200, f.form->height());
    QTRY_VERIFY(table->columnWidth(0) > before);
    int after = 0;
    for (int c = 1; c < ResultsColumnCount; ++c)
        after += table->columnWidth(c);
    QCOMPARE(after, numbers);

    // View › Hide switched-off columns: an off source's column takes no room, the domain column
    // has it; kept for the next start.
    f.env.writeFile(EnginesIniName, "[Ask]\r\nKind=off\r\n");
    f.form->resultsModel()->setHeaderEngines(
        std::make_shared<const EngineSnapshot>(EngineSnapshot::of(programEngines())));
    const int wide = table->columnWidth(0);
    const int ask = ResultsModel::columnOfSlot(3);
    f.find<QAction>("mnuHideOffColumns")->trigger();
    QVERIFY(table->isColumnHidden(ask) && UserSettings::hideOffColumns());
    QTRY_VERIFY(table->columnWidth(0) > wide);
    f.find<QAction>("mnuHideOffColumns")->trigger();
    QVERIFY(!table->isColumnHidden(ask) && !UserSettings::hideOffColumns());
}

TALLY_GL_TEST_MAIN(TestResultsTable)
#include "tst_results_table.moc"
