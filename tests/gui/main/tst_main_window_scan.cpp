// Whole scans run from the main window against engine pages served on 127.0.0.1: rows, icons,
// totals, status texts, progress, button states before, during and after, Stop, the data options,
// failed requests, and closing the window in the middle of a scan.
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "core/files/safe_file.h"
#include "core/linkgraph/link_index.h"
#include "core/product/engine_table.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/scan_run.h"
#include "core/settings/ini_file.h"
#include "gui/charts/history_chart.h"
#include "gui/main/scan_failures_dialog.h"
#include "gui/results/chart_frame.h"
#include "gui/results/results_table.h"
#include "gui/sources/sources_dialog.h"
#include "gui/urllist/url_panel.h"
#include "gui/webview/website_frame.h"
#include "support/engine_pages.h"
#include "support/item_views.h"
#include "support/local_http_server.h"
#include "support/result_rows.h"

#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QProxyStyle>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyleOptionHeader>
#include <QTimer>
#include <QTreeWidget>

#include <sys/stat.h>

using namespace tally;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;
using tally::test::MainWindowFixture;
using namespace tally::test;

namespace {

// The sort arrow a header asks its style to draw for a section, as it paints.
class ArrowRecorder : public QProxyStyle {
public:
    QHash<int, QStyleOptionHeader::SortIndicator> arrows;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (auto* header = qstyleoption_cast<const QStyleOptionHeader*>(option);
            header && element == CE_Header)
            const_cast<ArrowRecorder*>(this)->arrows[header->section] = header->sortIndicator;
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

QStyleOptionHeader::SortIndicator arrowDrawn(QHeaderView* header, int section) {
    auto* recorder = new ArrowRecorder;
    header->setStyle(recorder);
    header->grab();
    const auto arrow = recorder->arrows.value(section, QStyleOptionHeader::None);
    header->setStyle(nullptr);
    delete recorder;
    return arrow;
}

// Six engines on one local server. A URL "http://siteN.example/" gets the count N * (engine + 1)
// from every engine, so its row total is 21 * N.
struct Engines {
    LocalHttpServer server;
    HttpResponse slow; // answers for the engine paths, with this response's timing

    Engines() {
        server.setHandler([this](const HttpRequest& r) {
            const int e = test::engineOfPath(r.path);
            const QString query = QUrl::fromPercentEncoding(r.query.toLatin1());
            const int at = query.indexOf(QLatin1String("http://site"));
            const int n = at < 0 ? 0 : query.mid(at + 11).section(QLatin1Char('.'), 0, 0).toInt();
            HttpResponse response = slow;
            response.body = test::enginePage(e, QByteArray::number(n * (e + 1)));
            return response;
        });
    }
    void writePrefixes(const QString& ini) const {
        for (int e = 0; e < EngineCount; ++e)
            modINI::WritePrivateProfileStringA(
                EnginesSection, engineTable()[e].key,
                server.urlString(QLatin1String(test::EnginePaths[e]) + QLatin1String("?q=link:")),
                ini);
    }
};

QString site(int n) {
    return QStringLiteral("http://site%1.example/").arg(n);
}

// The texts of a 1-based column.
QStringList column(const QAbstractItemView* table, int c) {
    return columnTexts(table, c - 1);
}

// The profile icon of a row, compared by its picture.
int iconOf(const QAbstractItemView* table, int row) {
    const QIcon shown = cellIcon(table, row, 0);
    for (int icon = 1; icon <= 3; ++icon)
        if (!shown.isNull() && samePicture(shown, profileIcon(icon)))
            return icon;
    return 0;
}

struct ScanFixture : MainWindowFixture {
    Engines engines;
    ScanFixture() { engines.writePrefixes(env.file(QStringLiteral("settings.ini"))); }
    QPushButton* start() const { return find<QPushButton>("Command1"); }
    QPushButton* stop() const { return find<QPushButton>("Command2"); }
    QAction* stopMenu() const { return find<QAction>("mnuStop"); }
    QProgressBar* bar() const { return find<QProgressBar>("ProgressBar1"); }
    ResultsTable* table() const { return form->resultsTable(); }
    void waitIdle() const { QTRY_VERIFY_WITH_TIMEOUT(!form->isScanning(), 30000); }
};

} // namespace

class TestMainWindowScan : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholeScan();
    void commandsDuringAScan();
    void stopDuringTheSecondOfFiveUrls();
    void withoutClearingNewRowsComeFirst();
    void withoutAutoSortRowsKeepScanOrder();
    void failedRequestsAreMarkedNamedAndNeverCounted();
    void unreadableSettingsAreSaidAndNeverAskTheSite_data();
    void unreadableSettingsAreSaidAndNeverAskTheSite();
    void closingDuringAScanAbortsIt();
    void slotCaptionsAndGraphCounts();
    void aScanReachesTheScreenThrottled();
};

void TestMainWindowScan::wholeScan() {
    ScanFixture f;
    // Totals 21 * N: 420 (low), 504 (medium), 1008 (high).
    f.form->urlPanel()->appendUrls({site(20), site(48), site(24)});
    appendRecords(f.form->resultsModel(), {{"old row"}}); // cleared by the scan (chkClear default)
    QVERIFY(f.start()->isEnabled() && !f.stop()->isEnabled() && !f.stopMenu()->isEnabled());

    QStringList statuses;
    struct During {
        QString caption;
        bool start = true, stop = false, stopMenu = false, clearAll = true, barVisible = false;
        int maximum = 0;
    } during;
    QTest::mouseClick(f.start(), Qt::LeftButton);
    ScanRun* run = f.form->scanRun();
    QVERIFY(run);
    QObject::connect(run, &ScanRun::statusTextChanged, [&](const QString& t) { statuses << t; });
    QObject::connect(run, &ScanRun::rowFinished, [&](int position) {
        if (position != 2)
            return;
        during.caption = f.start()->text();
        during.start = f.start()->isEnabled();
        during.stop = f.stop()->isEnabled();
        during.stopMenu = f.stopMenu()->isEnabled();
        during.clearAll = f.find<QPushButton>("Command5")->isEnabled();
        during.barVisible = f.bar()->isVisible();
        during.maximum = f.bar()->maximum();
    });
    f.waitIdle();

    QCOMPARE(during.caption, QStringLiteral("Searching..."));
    QVERIFY(!during.start && during.stop && during.stopMenu && !during.clearAll);
    QVERIFY(during.barVisible);
    QCOMPARE(during.maximum, 18);
    QCOMPARE(statuses.size(), 18);
    QCOMPARE(statuses.first(), "Scanning " + site(20) + " on Google");
    QCOMPARE(statuses.last(), "Scanning " + site(24) + " on All The Web");

    // After: the completion text, buttons back, bar hidden, sorted by total descending.
    QCOMPARE(f.form->panelText(1), QStringLiteral("Search Complete.  Found 1932 links."));
    QCOMPARE(f.start()->text(), QStringLiteral("Start"));
    QVERIFY(f.start()->isEnabled() && !f.stop()->isEnabled() && !f.stopMenu()->isEnabled());
    QVERIFY(f.find<QPushButton>("Command5")->isEnabled());
    QVERIFY(!f.bar()->isVisible());
    QCOMPARE(f.bar()->value(), 18);
    QCOMPARE(column(f.table(), 1), (QStringList{site(48), site(24), site(20)}));
    QCOMPARE(column(f.table(), 2), (QStringList{"1008", "504", "420"}));
    // The chart of the results takes them in ascending order of their totals.
    QCOMPARE(f.form->chartFrame()->chart()->chartData().seriesDescriptions,
             (QStringList{site(20), site(24), site(48)}));
    for (int e = 0; e < EngineCount; ++e)
        QCOMPARE(cellText(f.table(), 0, 2 + e), QString::number(48 * (e + 1)));
    QCOMPARE(iconOf(f.table(), 0), 3);
    QCOMPARE(iconOf(f.table(), 1), 2);
    QCOMPARE(iconOf(f.table(), 2), 1);
    QVERIFY(f.table()->isSorted());
    // The Total header shows the direction of that sort: down. A click sorts it ascending: up.
    QCOMPARE(arrowDrawn(f.table()->header(), 1), QStyleOptionHeader::SortDown);
    f.form->sortByColumn(2);
    QCOMPARE(column(f.table(), 2), (QStringList{"420", "504", "1008"}));
    QCOMPARE(arrowDrawn(f.table()->header(), 1), QStyleOptionHeader::SortUp);

    // Seven web-results rows per URL, in scan order.
    QTreeView* list2 = f.form->websiteFrame()->webResults();
    QCOMPARE(rowCount(list2), 21);
    const QStringList types{"Home Page", "Google", "AltaVista", "Yahoo", "Ask", "MSN", "AllTheWeb"};
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(cellText(list2, i, 0), types[i]);
        QCOMPARE(cellText(list2, i, 1), site(20));
    }
    QCOMPARE(cellText(list2, 7, 1), site(48));
    QCOMPARE(f.engines.server.requestCount(), 18);
    QVERIFY(f.form->findChild<ScanRun*>() == nullptr ||
            !f.form->findChild<ScanRun*>()->isRunning());
}

void TestMainWindowScan::commandsDuringAScan() {
    ScanFixture f;
    f.engines.slow.delayMs = 30;
    f.form->urlPanel()->appendUrls({site(3), site(1), site(2)});
    f.form->startScan();
    QVERIFY(f.form->isScanning());
    ScanRun* run = f.form->scanRun();
    QTRY_VERIFY(rowCount(f.table()) >= 1);
    // "Start Scan" again does nothing; header clicks do not sort; Clear is refused.
    f.form->startScan();
    QCOMPARE(f.form->scanRun(), run);
    QHeaderView* header = f.table()->header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 5, header->height() / 2));
    QVERIFY(!f.table()->columnDirection(2));
    QVERIFY(!f.find<QPushButton>("Command5")->isEnabled());
    QVERIFY(!f.find<QAction>("mnuClearResults")->isEnabled());
    f.form->clearResults();
    QVERIFY(rowCount(f.table()) >= 1);
    // Edits of the URL list do not change the run's snapshot.
    f.form->urlPanel()->appendUrls({site(9)});
    f.waitIdle();
    QCOMPARE(rowCount(f.table()), 3);
    QVERIFY(f.find<QAction>("mnuClearResults")->isEnabled());
}

void TestMainWindowScan::stopDuringTheSecondOfFiveUrls() {
    ScanFixture f;
    // One request after the other, so that the third engine is not asked yet.
    writeSetting(QLatin1String(settingkeys::ParallelEngines), QStringLiteral("0"));
    f.form->urlPanel()->appendUrls({site(1), site(2), site(3), site(4), site(5)});
    QTest::mouseClick(f.start(), Qt::LeftButton);
    ScanRun* run = f.form->scanRun();
    bool barHiddenAtOnce = false;
    QObject::connect(run, &ScanRun::statusTextChanged, f.form.get(), [&](const QString& t) {
        if (t == "Scanning " + site(2) + " on AltaVista") { // the third engine is next
            QTest::mouseClick(f.stop(), Qt::LeftButton);
            barHiddenAtOnce = !f.bar()->isVisible();
        }
    });
    QSignalSpy stopped(run, &ScanRun::stopped);
    f.waitIdle();
    QVERIFY(barHiddenAtOnce);
    QCOMPARE(stopped.count(), 1);
    // Nothing more was asked: the second row keeps Google and AltaVista, its other cells say
    // "stopped"; the run ended with two rows and no completion text.
    QCOMPARE(rowCount(f.table()), 2);
    QCOMPARE(column(f.table(), 1), (QStringList{site(1), site(2)}));
    QCOMPARE(column(f.table(), 2), (QStringList{"21", "6"}));
    QCOMPARE(cellToolTip(f.table(), 1, 4), QStringLiteral("stopped"));
    QCOMPARE(cellText(f.table(), 1, 7), QString());
    QCOMPARE(f.form->panelText(1), QStringLiteral("Stopped"));
    QCOMPARE(f.start()->text(), QStringLiteral("Start"));
    QVERIFY(f.start()->isEnabled() && !f.stop()->isEnabled() && !f.stopMenu()->isEnabled());
    QCOMPARE(f.engines.server.requestCount(), 8);
    QVERIFY(!f.table()->isSorted());
    // A new scan after a stop runs to its end.
    QTest::mouseClick(f.start(), Qt::LeftButton);
    f.waitIdle();
    QCOMPARE(rowCount(f.table()), 5);
    QCOMPARE(f.form->panelText(1), QStringLiteral("Search Complete.  Found 315 links."));
}

void TestMainWindowScan::withoutClearingNewRowsComeFirst() {
    ScanFixture f;
    writeSetting(QLatin1String(settingkeys::ClearResults), QStringLiteral("0"));
    writeSetting(QLatin1String(settingkeys::AutoSort), QStringLiteral("0"));
    f.form->urlPanel()->appendUrls({site(1), site(2)});
    f.form->startScan();
    f.waitIdle();
    f.form->urlPanel()->list()->clear();
    f.form->urlPanel()->appendUrls({site(3), site(4)});
    f.form->startScan();
    f.waitIdle();
    QCOMPARE(column(f.table(), 1), (QStringList{site(3), site(4), site(1), site(2)}));
    QCOMPARE(column(f.table(), 2), (QStringList{"63", "84", "21", "42"}));
    QCOMPARE(rowCount(f.form->websiteFrame()->webResults()), 28);
}

void TestMainWindowScan::withoutAutoSortRowsKeepScanOrder() {
    ScanFixture f;
    writeSetting(QLatin1String(settingkeys::AutoSort), QStringLiteral("0"));
    f.form->urlPanel()->appendUrls({site(1), site(30), site(2)});
    f.form->startScan();
    f.waitIdle();
    QCOMPARE(column(f.table(), 1), (QStringList{site(1), site(30), site(2)}));
    QCOMPARE(f.form->chartFrame()->chart()->chartData().seriesDescriptions,
             (QStringList{site(1), site(30), site(2)}));
    QVERIFY(!f.table()->isSorted());
    QCOMPARE(f.form->panelText(1), QStringLiteral("Search Complete.  Found 693 links."));
}

void TestMainWindowScan::failedRequestsAreMarkedNamedAndNeverCounted() {
    ScanFixture f;
    setHistoryToday(QDate(2026, 12, 7));
    f.engines.server.route(QStringLiteral("/ask"), HttpResponse::page("Not Found"));
    f.engines.server.route(QStringLiteral("/msn"), HttpResponse::page("busy", 429));
    f.form->urlPanel()->appendUrls({site(10), site(20)});
    QTest::mouseClick(f.start(), Qt::LeftButton);
    f.waitIdle();

    // Totals and icons from the counts alone: 20 * (1 + 2 + 3 + 6) = 240, 10 * 12 = 120.
    QCOMPARE(f.form->panelText(1),
             QStringLiteral("Search Complete.  Found 360 links.  4 of 12 requests failed."));
    QCOMPARE(column(f.table(), 1), (QStringList{site(20), site(10)}));
    QCOMPARE(column(f.table(), 2), (QStringList{"240", "120"}));
    QCOMPARE(iconOf(f.table(), 1), 1);
    const QIcon mark = failureMark();
    const struct {
        int column;
        QString text, reason;
    } cells[] = {{3, "20", ""},
                 {6, "", "page not recognised"},
                 {7, "", "blocked by the engine (HTTP status 429 Too Many Requests)"},
                 {8, "120", ""}};
    for (const auto& c : cells) {
        QCOMPARE(cellText(f.table(), 0, c.column - 1), c.text);
        QCOMPARE(cellToolTip(f.table(), 0, c.column - 1), c.reason);
        QCOMPARE(cellDescription(f.table(), 0, c.column - 1), c.reason);
        const QIcon icon = cellIcon(f.table(), 0, c.column - 1);
        QCOMPARE(!icon.isNull() && samePicture(icon, mark), !c.reason.isEmpty());
    }
    const QString summary = f.find<QLabel>("Panel1Text")->toolTip();
    QVERIFY(summary.contains(site(10) + ", Ask: page not recognised"));
    QVERIFY(summary.contains(site(20) + ", MSN: blocked by the engine"));

    // The status bar's menu lists every failed request.
    QStatusBar* bar = f.find<QStatusBar>("StatusBar1");
    auto* menu = f.find<QMenu>("mnuStatus");
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 5),
                            bar->mapToGlobal(QPoint(20, 5)));
    QApplication::sendEvent(bar, &event);
    QTRY_VERIFY(menu->isVisible());
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
    QTRY_VERIFY(f.form->failuresDialog() && f.form->failuresDialog()->isVisible());
    QTreeWidget* list = f.form->failuresDialog()->list();
    QCOMPARE(list->topLevelItemCount(), 4);
    QCOMPARE(list->topLevelItem(0)->text(0), site(10));
    QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("Ask"));
    QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("page not recognised"));
    // Its Sources... (Alt+S) leads to where sources are mended.
    QTRY_COMPARE(QApplication::activeWindow(), f.form->failuresDialog());
    QTest::keyClick(f.form->failuresDialog(), Qt::Key_S, Qt::AltModifier);
    QTRY_VERIFY(f.form->sourcesDialog() && f.form->sourcesDialog()->isVisible());
    QVERIFY(!f.form->failuresDialog()->isVisible());
    f.form->sourcesDialog()->reject();
    QTRY_VERIFY(!f.form->sourcesDialog());

    // Save Selected keeps the failed cells out of the history.
    QTest::mouseClick(f.table()->viewport(), Qt::LeftButton, {}, rowPoint(f.table(), 0));
    QTimer::singleShot(0, f.form.get(), [] {
        auto* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(QStringLiteral("s20"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command3")),
                          Qt::LeftButton);
    });
    QTest::mouseClick(f.find<QPushButton>("Command4"), Qt::LeftButton);
    QCOMPARE(f.env.readFile(QStringLiteral("Saved/s20.vqz")),
             QByteArray("\r\n[Google]\r\n12-07-26=20\r\n\r\n[Altavista]\r\n12-07-26=40\r\n"
                        "\r\n[Yahoo!]\r\n12-07-26=60\r\n\r\n[All The Web]\r\n12-07-26=120\r\n"));
    setHistoryToday(QDate());
}

// settings.ini or engines.ini there but unreadable: said once the window is up (the window
// starts all the same), and a scan's requests fail with the reason instead of asking the listed
// site itself for want of a prefix.
void TestMainWindowScan::unreadableSettingsAreSaidAndNeverAskTheSite_data() {
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("reason");
    QTest::newRow("readable") << ""
                              << ""
                              << "";
    QTest::newRow("settings.ini a FIFO") << "settings.ini"
                                         << "The engines' query prefixes cannot be read from"
                                         << "settings.ini cannot be read: It is not a regular file";
    QTest::newRow("engines.ini a FIFO") << "engines.ini"
                                        << "What each engine column asks cannot be read from"
                                        << "engines.ini cannot be read: It is not a regular file";
}
void TestMainWindowScan::unreadableSettingsAreSaidAndNeverAskTheSite() {
    QFETCH(QString, file);
    QFETCH(QString, message);
    QFETCH(QString, reason);
    ScanFixture f;
    if (!file.isEmpty()) {
        QFile::remove(f.env.file(file));
        QCOMPARE(::mkfifo(QFile::encodeName(f.env.file(file)).constData(), 0600), 0);
    }
    f.open(product());
    if (message.isEmpty()) {
        QTest::qWait(50);
        QCOMPARE(f.prompts.messages(), QStringList());
    } else {
        QTRY_COMPARE(f.prompts.messages().size(), 1);
        QVERIFY2(f.prompts.messages().first().startsWith(message + "\n" + f.env.file(file)),
                 qPrintable(f.prompts.messages().first()));
    }
    QVERIFY(f.form->isVisible());

    f.form->urlPanel()->appendUrls({site(10)});
    QTest::mouseClick(f.start(), Qt::LeftButton);
    f.waitIdle();
    QCOMPARE(f.engines.server.requestCount(), reason.isEmpty() ? EngineCount : 0);
    for (int e = 0; e < EngineCount; ++e)
        QVERIFY2(cellToolTip(f.table(), 0, 2 + e).contains(reason),
                 qPrintable(cellToolTip(f.table(), 0, 2 + e)));
}

void TestMainWindowScan::closingDuringAScanAbortsIt() {
    ScanFixture f;
    writeSetting(QLatin1String(settingkeys::ParallelEngines), QStringLiteral("0"));
    f.form->urlPanel()->appendUrls({site(1), site(2)});
    // The first request never gets an answer.
    f.engines.server.route(QStringLiteral("/google"), [] {
        HttpResponse r;
        r.neverAnswer = true;
        return r;
    }());
    f.form->startScan();
    QTRY_COMPARE(f.engines.server.requestCount(), 1);
    QPointer<ScanRun> run = f.form->scanRun();
    QSignalSpy ending(f.form.get(), &MainWindow::programEnding);
    f.form->close();
    QCOMPARE(ending.count(), 1);
    QVERIFY(!f.form->isScanning());
    QTRY_VERIFY(run.isNull());
    // Nothing more arrives: no row, no request.
    QTest::qWait(200);
    QCOMPARE(rowCount(f.table()), 1);
    QCOMPARE(f.engines.server.requestCount(), 1);
}

// A slot repointed by engines.ini at a link index: its column, its web-results rows and its
// status text take its caption, and its cells count with what they mean as their tooltip.
void TestMainWindowScan::slotCaptionsAndGraphCounts() {
    ScanFixture f;
    LinkIndexBuilder index(QStringLiteral("cc-test"), GraphLevel::Domains);
    index.add("example.site7", 0);
    QVERIFY(writeFileAtomically(f.env.file("t.links"),
                                index.finish([](quint32) { return 77u; }).bytes));
    f.env.writeFile(EnginesIniName, "[ATW]\nCaption=Linking domains\nKind=graph\nIndex=t.links\n");
    f.open(product()); // engines.ini is read as the window loads
    QCOMPARE(headerText(f.table(), 7), QString("Linking domains"));
    QCOMPARE(headerToolTip(f.table(), 7), QString("linking domains in cc-test"));
    QCOMPARE(headerText(f.table(), 6), QString("MSN"));

    f.form->urlPanel()->appendUrls({site(7)});
    QStringList statuses;
    QTest::mouseClick(f.start(), Qt::LeftButton);
    QObject::connect(f.form->scanRun(), &ScanRun::statusTextChanged,
                     [&](const QString& t) { statuses << t; });
    f.waitIdle();
    QCOMPARE(cellText(f.table(), 0, 7), QString("77"));
    QCOMPARE(cellToolTip(f.table(), 0, 7), QString("linking domains to example.site7 in cc-test"));
    QCOMPARE(cellDescription(f.table(), 0, 7),
             QString("linking domains to example.site7 in cc-test"));
    QCOMPARE(cellText(f.table(), 0, 1), QString::number(7 * (1 + 2 + 3 + 4 + 5) + 77));
    QCOMPARE(statuses.last(), "Scanning " + site(7) + " on Linking domains");
    QCOMPARE(cellText(f.form->websiteFrame()->webResults(), 6, 0), QString("Linking domains"));
    QCOMPARE(f.engines.server.requestCount(), 5); // no request for the graph
}

// What a scan changes reaches the screen at most every 100 ms (and at its end), never once per
// request: the table's new rows come in a few insertions, the progress bar in a few steps. The
// web-results list is derived when the Website View shows, not kept row by row meanwhile.
void TestMainWindowScan::aScanReachesTheScreenThrottled() {
    ScanFixture f;
    constexpr int Urls = 200;
    QStringList urls;
    for (int i = 1; i <= Urls; ++i)
        urls << site(i);
    f.form->urlPanel()->appendUrls(urls);
    QSignalSpy inserted(f.form->resultsModel(), &QAbstractItemModel::rowsInserted);
    QSignalSpy webInserted(f.form->websiteFrame()->webResultsModel(),
                           &QAbstractItemModel::rowsInserted);
    int steps = 0;
    QObject::connect(f.bar(), &QProgressBar::valueChanged, [&steps] { ++steps; });
    QElapsedTimer clock;
    clock.start();
    f.form->startScan();
    int webRowsDuring = -1;
    QString statusDuring;
    QObject::connect(f.form->scanRun(), &ScanRun::rowFinished, [&](int position) {
        if (position == Urls / 2) {
            webRowsDuring = rowCount(f.form->websiteFrame()->webResults());
            statusDuring = f.form->panelText(1);
        }
    });
    f.waitIdle();
    const qint64 refreshes = clock.elapsed() / 100 + 2;
    QVERIFY2(
        inserted.count() <= refreshes,
        qPrintable(
            QStringLiteral("%1 insertions in %2 ms").arg(inserted.count()).arg(clock.elapsed())));
    QVERIFY2(steps <= refreshes + 1, qPrintable(QString::number(steps)));
    QCOMPARE(rowCount(f.table()), Urls);
    QCOMPARE(f.bar()->value(), Urls * EngineCount);
    // Half way, the status panel was no further than the last refresh, and the hidden list empty.
    QVERIFY(statusDuring.isEmpty() || statusDuring.startsWith("Scanning "));
    QCOMPARE(webRowsDuring, 0);
    QVERIFY(webInserted.count() <= 1);
    QCOMPARE(rowCount(f.form->websiteFrame()->webResults()), Urls * 7);
}

TALLY_GL_TEST_MAIN(TestMainWindowScan)
#include "tst_main_window_scan.moc"
