// The results table through the main window's real widgets: the typed sort on header clicks, the
// right-button handling and its menu, Save Selected, Clear Results, and the web-results list's
// header sort.
#include "support/main_window_fixture.h"

#include "core/results/saved_search.h"
#include "gui/results/results_table.h"
#include "gui/urllist/url_panel.h"
#include "gui/webview/website_frame.h"

#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

using namespace tally;
using tally::test::MainWindowFixture;

namespace {

// Rows of the results table: URL, total and six counts.
void fill(ResultsTable* table, const QList<QStringList>& rows) {
    int position = 1;
    for (const QStringList& cells : rows) {
        QTreeWidgetItem* row = table->addRow(position++, cells.value(0));
        for (int c = 1; c < cells.size(); ++c)
            row->setText(c, cells[c]);
    }
}

QStringList column(const QTreeWidget* table, int c) {
    QStringList out;
    for (int i = 0; i < table->topLevelItemCount(); ++i)
        out << table->topLevelItem(i)->text(c - 1);
    return out;
}

void clickHeader(QTreeWidget* table, int c) {
    QHeaderView* header = table->header();
    const QPoint pos(header->sectionViewportPosition(c - 1) + header->sectionSize(c - 1) / 2,
                     header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, pos);
}

QPoint rowPoint(QTreeWidget* table, int row) {
    return table->visualItemRect(table->topLevelItem(row)).center();
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
};

void TestResultsTable::headerClicksAlternatePerColumn() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    fill(table, {{"http://a", "100", "5"}, {"http://b", "20", "7"}, {"http://c", "3", "6"}});
    clickHeader(table, 2);
    QCOMPARE(column(table, 2), (QStringList{"3", "20", "100"}));
    clickHeader(table, 2);
    QCOMPARE(column(table, 2), (QStringList{"100", "20", "3"}));
    QVERIFY(!table->columnDirection(2));
    // Column 3 starts ascending on its own, whatever column 2 did.
    clickHeader(table, 3);
    QCOMPARE(column(table, 3), (QStringList{"5", "6", "7"}));
    QVERIFY(table->columnDirection(3));
    QVERIFY(table->isSorted());
    QCOMPARE(table->header()->sortIndicatorSection(), 2);
    // The flags survive clearing the table.
    f.form->clearResults();
    QVERIFY(table->columnDirection(3));
}

void TestResultsTable::numbersNegativesAndNonNumbers() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    fill(table, {{"a", "7"}, {"b", "-1"}, {"c", ""}, {"d", "0"}, {"e", "n/a"}, {"f", "-5"}});
    f.form->sortByColumn(2);
    QCOMPARE(column(table, 2), (QStringList{"", "n/a", "-5", "-1", "0", "7"}));
    f.form->sortByColumn(2);
    QCOMPARE(column(table, 2), (QStringList{"7", "0", "-1", "-5", "", "n/a"}));
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
    fill(table, {{"a", "1,000"}, {"b", "20"}, {"c", "3"}});
    QTreeWidgetItem* b = table->topLevelItem(1);
    b->setIcon(0, profileIcon(2));
    b->setData(1, Qt::UserRole, QStringLiteral("tag of b"));
    table->setCurrentItem(b);
    sortRows(table, 2, SortKind::Number, true);
    QCOMPARE(column(table, 2), (QStringList{"3", "20", "1,000"}));
    QCOMPARE(table->topLevelItem(1), b);
    QCOMPARE(b->data(1, Qt::UserRole).toString(), QStringLiteral("tag of b"));
    QVERIFY(!b->icon(0).isNull());
    QCOMPARE(table->selectedRow(), b);
    QCOMPARE(table->currentItem(), b);
    QCOMPARE(table->cursor().shape(), Qt::ArrowCursor);
    // Out-of-range columns do nothing.
    sortRows(table, 9, SortKind::Number, true);
    sortRows(table, 0, SortKind::Text, true);
    QCOMPARE(column(table, 2), (QStringList{"3", "20", "1,000"}));
}

void TestResultsTable::rightPressSelectsOrClears() {
    MainWindowFixture f;
    ResultsTable* table = f.form->resultsTable();
    fill(table, {{"http://a"}, {"http://b"}});
    QTest::mousePress(table->viewport(), Qt::RightButton, {}, rowPoint(table, 1));
    QCOMPARE(table->selectedRow(), table->topLevelItem(1));
    // An empty area: the selection goes and no menu shows.
    const QPoint empty(20, table->viewport()->height() - 4);
    QTest::mousePress(table->viewport(), Qt::RightButton, {}, empty);
    QTest::mouseRelease(table->viewport(), Qt::RightButton, {}, empty);
    QVERIFY(table->selectedRow() == nullptr);
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
    QCOMPARE(table->selectedRow(), table->topLevelItem(0));
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
    fill(table, {{"http://a", "21", "1", "2", "3", "4", "5", "6"}});
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
    table->setCurrentItem(table->topLevelItem(0));
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
    QTreeWidget* list2 = f.form->websiteFrame()->webResults();
    // Clear All on an empty table: nothing visible, no message.
    QTest::mouseClick(f.find<QPushButton>("Command5"), Qt::LeftButton);
    QVERIFY(f.prompts.calls.isEmpty());
    fill(table, {{"a"}, {"b"}});
    f.form->websiteFrame()->addWebResult(QStringLiteral("Home Page"), QStringLiteral("a"));
    f.form->urlPanel()->appendUrls({"a"});
    QTest::mouseClick(f.find<QPushButton>("Command5"), Qt::LeftButton);
    QCOMPARE(table->topLevelItemCount(), 0);
    QCOMPARE(list2->topLevelItemCount(), 0);
    QCOMPARE(f.form->scanPosition(), 0);
    QCOMPARE(f.form->urlPanel()->count(), 1);
    fill(table, {{"a"}});
    f.find<QAction>("mnuClearResults")->trigger();
    QCOMPARE(table->topLevelItemCount(), 0);
    QVERIFY(f.prompts.calls.isEmpty());
}

void TestResultsTable::webResultsListHeaderToggles() {
    MainWindowFixture f;
    f.form->selectTab(3);
    QTreeWidget* list2 = f.form->websiteFrame()->webResults();
    // No rows: nothing happens, and the order is not toggled.
    QVERIFY(toggleTextSort(list2, 1, true));
    for (const char* t : {"Home Page", "Google", "AltaVista", "ask"})
        f.form->websiteFrame()->addWebResult(QLatin1String(t), QStringLiteral("http://u"));
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
    QVERIFY(!toggleTextSort(list2, 5, false));
    QVERIFY(f.prompts.calls.isEmpty());
    QVERIFY(!toggleTextSort(list2, 5, true));
    QCOMPARE(f.prompts.calls.size(), 1);
    QCOMPARE(f.prompts.calls[0].title,
             QStringLiteral("Error in Function : EnhListView_SortColumns"));
    QCOMPARE(f.prompts.calls[0].icon, QMessageBox::Information);
    QVERIFY(f.prompts.calls[0].text.startsWith(QStringLiteral("Error")));
    QVERIFY(f.prompts.calls[0].text.contains(QLatin1Char('\t')));
    // A row appended while the list is sorted takes its sorted place.
    clickHeader(list2, 1); // ascending by type
    QCOMPARE(column(list2, 1), (QStringList{"AltaVista", "ask", "Google", "Home Page"}));
    f.form->websiteFrame()->addWebResult(QStringLiteral("Bing"), QStringLiteral("http://v"));
    placeSortedRow(list2, list2->topLevelItem(list2->topLevelItemCount() - 1));
    QCOMPARE(column(list2, 1), (QStringList{"AltaVista", "ask", "Bing", "Google", "Home Page"}));
}

TALLY_GL_TEST_MAIN(TestResultsTable)
#include "tst_results_table.moc"
