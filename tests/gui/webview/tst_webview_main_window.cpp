// The web view as the main window uses it: "Web Results" after a scan against a local server,
// the "Visit" button, and the order in which the main window and the browser window end the
// program.
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "core/product/engine_table.h"
#include "core/scan/url_encode.h"
#include "core/settings/ini_file.h"
#include "gui/charts/history_chart.h"
#include "gui/results/chart_frame.h"
#include "gui/results/results_table.h"
#include "gui/urllist/url_panel.h"
#include "gui/webview/browser_window.h"
#include "gui/webview/lazy_web_view.h"
#include "gui/webview/website_frame.h"
#include "support/item_views.h"
#include "support/local_http_server.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

#include <functional>

using namespace tally;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::loadTimeout;
using tally::test::LocalHttpServer;
using tally::test::MainWindowFixture;
using tally::test::stillRunning;

namespace {

// Whether the web engine's library is in this process.
bool webEngineLoaded() {
    QFile maps("/proc/self/maps");
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6WebEngineCore");
}

// The main window with the engines and the product's site on one local server; every page is
// titled with its path.
struct WebFixture : MainWindowFixture {
    LocalHttpServer server;
    int engineDelayMs = 0;

    WebFixture() {
        server.setHandler([this](const HttpRequest& r) {
            HttpResponse page = HttpResponse::page("<html><head><title>" + r.path.toUtf8() +
                                                   "</title></head><body>page</body></html>");
            if (r.path.startsWith("/engine"))
                page.delayMs = engineDelayMs;
            return page;
        });
        const QString ini = env.file("settings.ini");
        for (const EngineInfo& e : engineTable())
            modINI::WritePrivateProfileStringA(
                EnginesSection, e.key,
                server.urlString("/engine-" + QString::fromLatin1(e.key) + "?q=link:"), ini);
        ProductInfo info = product();
        info.siteAddress = "127.0.0.1:" + QString::number(server.port()) + "/site";
        open(info);
    }
    BrowserWindow* browserWindow() const { return form->browserWindow(); }
    bool browserWindowVisible() const { return browserWindow() && browserWindow()->isVisible(); }

    void scan(const QStringList& urls) {
        form->urlPanel()->appendUrls(urls);
        QTest::mouseClick(find<QPushButton>("Command1"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!form->isScanning(), loadTimeout);
    }
    // Clicks (or double-clicks) the results row of a URL, the nth of that URL.
    void clickResultsRow(const QString& url, int nth = 0, bool twice = false) {
        ResultsTable* table = form->resultsTable();
        for (int i = 0; i < test::rowCount(table); ++i) {
            if (test::cellText(table, i, 0) != url || nth-- > 0)
                continue;
            const QPoint at = test::rowPoint(table, i);
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
            if (twice)
                QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
            return;
        }
        QFAIL("no such results row");
    }
    QTreeView* list2() const { return form->websiteFrame()->webResults(); }
    int selectedWebRow() const {
        const QModelIndexList rows = list2()->selectionModel()->selectedRows();
        return rows.size() == 1 ? rows.first().row() : -1;
    }
};

// Runs the application's event loop; the steps run one after another from the loop, 300 ms
// apart. Returns the loop's exit code: 0 when the program was ended, stillRunning otherwise.
int runSteps(const QList<std::function<void()>>& steps) {
    int delay = 0;
    for (const auto& step : steps)
        QTimer::singleShot(delay += 300, qApp, step);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(stillRunning); });
    giveUp.start(delay + 3000);
    return QCoreApplication::exec();
}

} // namespace

class TestWebviewMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // First: nothing in this process has opened a page before it.
    void webResultsForTheSecondUrlShowsItsHomePage();
    void choosingTheWebsiteViewStartsTheWebEngine();
    void stopDropsThePageWaitingForTheWebEngine();
    void webResultsWithoutASelectedRowShowsTheMessage();
    void webResultsForARepeatedUrlOpensTheFirstGroup();
    void addressesFromTheListOpenOnlyOnTheWeb();
    void visitOpensTheSiteOnceAndShowsItAgain();
    void visitRefusesASiteThatIsNoWebAddress();
    void threeDimensionalChartSurvivesTheFirstWebPage();
    void threeDimensionalChartAfterTheFirstWebPage();
    // Each of these ends the application's event loop.
    void closingTheMainWindowFirstLeavesTheBrowserRunning();
    void closingTheBrowserFirstLeavesTheMainWindowRunning();
    void closingTheMainWindowAloneEndsTheProgram();
};

void TestWebviewMainWindow::webResultsForTheSecondUrlShowsItsHomePage() {
    WebFixture f;
    const QString first = f.server.urlString("/one/");
    const QString second = f.server.urlString("/two/");
    f.scan({first, second});
    QCOMPARE(test::rowCount(f.list2()), 14);
    QCOMPARE(f.form->currentTab(), 1);
    // The browser is not started by a scan, nor the web engine loaded, nor OpenGL prepared.
    QVERIFY(!f.form->websiteFrame()->browser()->isCreated());
    QVERIFY(!webEngineLoaded());
    QVERIFY(!QOpenGLContext::globalShareContext());
    QVERIFY(!f.form->findChild<QOpenGLWidget*>());
    f.server.clearLog();

    f.clickResultsRow(second);
    QSignalSpy status(f.form->websiteFrame(), &WebsiteFrame::statusText);
    QTest::mouseClick(f.find<QPushButton>("Command12"), Qt::LeftButton);
    // The click returns with the tab in sight and the page announced; the engine starts after it.
    QVERIFY(!f.form->websiteFrame()->browser()->isCreated());
    QCOMPARE(status.size(), 1);
    QCOMPARE(status.first().first().toString(), "Opening page " + second);
    QCOMPARE(f.selectedWebRow(), 7);
    QCOMPARE(test::cellText(f.list2(), 7, 0), QString("Home Page"));
    QCOMPARE(f.form->currentTab(), 3);
    QVERIFY(f.find<QWidget>("Frame4")->isVisible());
    QVERIFY(f.list2()->viewport()->rect().contains(
        f.list2()->visualRect(f.list2()->model()->index(7, 0)).center()));
    QTRY_COMPARE_WITH_TIMEOUT(f.server.pageTargets(), QStringList{"/two/"}, loadTimeout);
    auto* address = f.form->websiteFrame()->findChild<QLineEdit*>("Text1");
    QTRY_COMPARE_WITH_TIMEOUT(address->text(), second, loadTimeout);
    // Status panel 2 told which page was opening; panel 1 carries the browser's status.
    QCOMPARE(f.form->panelText(2), "Opening " + second);
    QCOMPARE(f.form->panelText(1), QString("Done"));
    QVERIFY(webEngineLoaded());
    QVERIFY(QOpenGLContext::globalShareContext());

    // A click on the second URL's "Google" row opens the engine's page; the tab stays.
    QCOMPARE(test::cellText(f.list2(), 8, 0), QString("Google"));
    QTest::mouseClick(f.list2()->viewport(), Qt::LeftButton, {}, test::rowPoint(f.list2(), 8));
    QTRY_VERIFY_WITH_TIMEOUT(
        f.server.pageTargets().contains("/engine-Google?q=link:" + xurlEncode::URLEncode(second)),
        loadTimeout);
    QCOMPARE(f.form->currentTab(), 3);
}

void TestWebviewMainWindow::webResultsWithoutASelectedRowShowsTheMessage() {
    WebFixture f;
    // With an empty table, and with rows but none selected.
    QTest::mouseClick(f.find<QPushButton>("Command12"), Qt::LeftButton);
    f.scan({f.server.urlString("/one/")});
    f.form->resultsTable()->clearSelection();
    f.form->resultsTable()->setCurrentIndex(QModelIndex());
    f.form->selectTab(2);
    QTest::mouseClick(f.find<QPushButton>("Command12"), Qt::LeftButton);
    const QString message =
        "You must first select the item in the results list you wish to view web results for.";
    QCOMPARE(f.prompts.messages(), (QStringList{message, message}));
    QCOMPARE(f.prompts.calls.last().title, QString("Tallyscope"));
    QCOMPARE(f.form->currentTab(), 2);
    QCOMPARE(f.selectedWebRow(), -1);
}

void TestWebviewMainWindow::webResultsForARepeatedUrlOpensTheFirstGroup() {
    WebFixture f;
    const QString url = f.server.urlString("/same/");
    f.scan({url, url});
    QCOMPARE(test::rowCount(f.list2()), 14);
    // A double click on the second results row of that URL.
    f.clickResultsRow(url, 1, true);
    QCOMPARE(f.selectedWebRow(), 0);
    QCOMPARE(f.form->currentTab(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(f.server.pageTargets().contains("/same/"), loadTimeout);
}

// The web engine starts while the user looks at the tab, without opening any page; the first page
// then opens in the view it made.
void TestWebviewMainWindow::choosingTheWebsiteViewStartsTheWebEngine() {
    WebFixture f;
    LazyWebView* browser = f.form->websiteFrame()->browser();
    QTabBar* tabBar = f.find<QTabWidget>("TabStrip1")->tabBar();
    QTest::mouseClick(tabBar, Qt::LeftButton, {}, tabBar->tabRect(2).center());
    QVERIFY(!browser->isCreated()); // not while the tab comes into sight
    QTRY_VERIFY(browser->isCreated());
    WebPageView* view = browser->view();
    QCOMPARE(browser->currentAddress(), QString("about:blank"));
    QTest::qWait(300);
    QVERIFY(f.server.requestTargets().isEmpty());

    auto* address = f.form->websiteFrame()->findChild<QLineEdit*>("Text1");
    address->setText(f.server.urlString("/typed/"));
    QTest::mouseClick(f.find<QPushButton>("Command10"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(f.server.pageTargets(), QStringList{"/typed/"}, loadTimeout);
    QCOMPARE(browser->view(), view);
}

// Stop pressed while the first page waits for the web engine: the engine starts, the page does not
// open.
void TestWebviewMainWindow::stopDropsThePageWaitingForTheWebEngine() {
    WebFixture f;
    f.form->websiteFrame()->findChild<QLineEdit*>("Text1")->setText(f.server.urlString("/stop/"));
    f.form->selectTab(3);
    QTest::mouseClick(f.find<QPushButton>("Command10"), Qt::LeftButton);
    QTest::mouseClick(f.find<QPushButton>("Command11"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(f.form->websiteFrame()->browser()->isCreated(), loadTimeout);
    QTest::qWait(300);
    QVERIFY(f.server.pageTargets().isEmpty());
}

void TestWebviewMainWindow::addressesFromTheListOpenOnlyOnTheWeb() {
    WebFixture f;
    const QString web = f.server.urlString("/web/");
    const QString file = "file:///etc/hostname";
    const QString script = "javascript:document.title='ran'";
    f.scan({file, script, web});
    for (const QString& url : {file, script}) {
        f.clickResultsRow(url);
        QTest::mouseClick(f.find<QPushButton>("Command12"), Qt::LeftButton);
        QVERIFY(f.prompts.messages().last().startsWith("This address was not opened:"));
        QVERIFY(f.prompts.messages().last().contains(url));
    }
    QCOMPARE(f.prompts.messages().size(), 2);
    QVERIFY(!f.form->websiteFrame()->browser()->isCreated());
    // A web address of the same list opens.
    f.server.clearLog();
    f.clickResultsRow(web);
    QTest::mouseClick(f.find<QPushButton>("Command12"), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(f.server.pageTargets(), QStringList{"/web/"}, loadTimeout);
    QCOMPARE(f.prompts.messages().size(), 2);
}

void TestWebviewMainWindow::visitOpensTheSiteOnceAndShowsItAgain() {
    WebFixture f;
    auto* visit = f.find<QPushButton>("Command3");
    QVERIFY(visit);
    QTest::mouseClick(visit, Qt::LeftButton);
    auto* window = f.browserWindow();
    QVERIFY(window && window->isVisible());
    QSignalSpy complete(window->browser(), &LazyWebView::loadFinished);
    QVERIFY(complete.wait(loadTimeout));
    QCOMPARE(f.server.pageTargets(), QStringList{"/site"});
    QCOMPARE(window->windowTitle(), QString("/site"));
    window->showMinimized();
    QTest::mouseClick(visit, Qt::LeftButton);
    QCOMPARE(f.browserWindow(), window);
    QVERIFY(!(window->windowState() & Qt::WindowMinimized));
    QTest::qWait(300);
    QCOMPARE(f.server.pageTargets(), QStringList{"/site"});
}

void TestWebviewMainWindow::visitRefusesASiteThatIsNoWebAddress() {
    WebFixture f;
    ProductInfo info = product();
    info.siteAddress = "file:///etc/passwd";
    f.open(info);
    QTest::mouseClick(f.find<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(f.prompts.messages().size(), 1);
    QVERIFY(f.prompts.messages().first().contains("file:///etc/passwd"));
    QVERIFY(!f.browserWindow());
}

void TestWebviewMainWindow::threeDimensionalChartSurvivesTheFirstWebPage() {
    WebFixture f;
    const QString first = f.server.urlString("/one/");
    f.scan({first, f.server.urlString("/two/")});
    // A 3D chart on screen before the web engine starts.
    f.form->selectTab(2);
    f.find<QComboBox>("cmbChart2")->setCurrentIndex(0);
    HistoryChart* chart = f.form->chartFrame()->chart();
    QVERIFY(chart->graphContainer());
    QTRY_VERIFY(chart->graphContainer()->isVisible());

    f.form->selectTab(1);
    f.clickResultsRow(first);
    QTest::mouseClick(f.find<QPushButton>("Command12"), Qt::LeftButton);
    QCOMPARE(f.form->currentTab(), 3);
    auto* address = f.form->websiteFrame()->findChild<QLineEdit*>("Text1");
    QTRY_COMPARE_WITH_TIMEOUT(address->text(), first, loadTimeout);

    // Back on the chart: the same content, still in 3D.
    f.form->selectTab(2);
    f.form->selectTab(1);
    f.form->selectTab(2);
    QTRY_VERIFY(chart->graphContainer() && chart->graphContainer()->isVisible());
    QCOMPARE(chart->shownType(), 0);
    QCOMPARE(chart->chartData().seriesLabels.size(), 2);
}

void TestWebviewMainWindow::threeDimensionalChartAfterTheFirstWebPage() {
    WebFixture f;
    const QString first = f.server.urlString("/one/");
    f.scan({first, f.server.urlString("/two/")});
    f.clickResultsRow(first);
    QTest::mouseClick(f.find<QPushButton>("Command12"), Qt::LeftButton);
    auto* address = f.form->websiteFrame()->findChild<QLineEdit*>("Text1");
    QTRY_COMPARE_WITH_TIMEOUT(address->text(), first, loadTimeout);
    QWidget* page = f.form->websiteFrame()->browser()->view();
    QVERIFY(page);

    // The first 3D chart of the window, with the web page open.
    f.form->selectTab(2);
    f.find<QComboBox>("cmbChart2")->setCurrentIndex(0);
    HistoryChart* chart = f.form->chartFrame()->chart();
    QTRY_VERIFY(chart->graphContainer() && chart->graphContainer()->isVisible());
    QCOMPARE(chart->shownType(), 0);

    // The page is still there, and the chart still 3D after it was shown again.
    f.form->selectTab(3);
    QTRY_VERIFY(page->isVisible());
    QCOMPARE(f.form->websiteFrame()->browser()->view(), page);
    QCOMPARE(f.form->websiteFrame()->browser()->currentAddress(), first);
    f.form->selectTab(2);
    QTRY_VERIFY(chart->graphContainer() && chart->graphContainer()->isVisible());
    QCOMPARE(chart->shownType(), 0);
}

void TestWebviewMainWindow::closingTheMainWindowFirstLeavesTheBrowserRunning() {
    WebFixture f;
    f.engineDelayMs = 5000;
    struct {
        bool mainVisible = true, browserVisible = false, exitPending = false, scanning = true;
    } afterMainClosed;
    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    const int code = runSteps({
        [&] {
            f.form->urlPanel()->appendUrls({f.server.urlString("/a/"), f.server.urlString("/b/")});
            QTest::mouseClick(f.find<QPushButton>("Command1"), Qt::LeftButton);
            QTest::mouseClick(f.find<QPushButton>("Command3"), Qt::LeftButton);
        },
        [&] { f.form->close(); },
        [&] {
            afterMainClosed = {f.form->isVisible(), f.browserWindowVisible(),
                               f.browserWindow() && f.browserWindow()->endsProgramOnClose(),
                               f.form->isScanning()};
            QVERIFY(quitting.isEmpty());
            f.browserWindow()->close();
        },
    });
    QCOMPARE(code, 0);
    QVERIFY(!afterMainClosed.mainVisible);
    QVERIFY(afterMainClosed.browserVisible);
    QVERIFY(afterMainClosed.exitPending);
    // The scan was stopped when the main window went.
    QVERIFY(!afterMainClosed.scanning);
    QCOMPARE(quitting.size(), 1);
    QTRY_VERIFY(!f.browserWindow());
}

void TestWebviewMainWindow::closingTheBrowserFirstLeavesTheMainWindowRunning() {
    WebFixture f;
    bool mainVisible = false, exitPending = true;
    const int code = runSteps({
        [&] { QTest::mouseClick(f.find<QPushButton>("Command3"), Qt::LeftButton); },
        [&] {
            exitPending = f.browserWindow()->endsProgramOnClose();
            f.browserWindow()->close();
        },
        [&] { mainVisible = f.form->isVisible(); },
        [&] { f.form->close(); },
    });
    QVERIFY(mainVisible);
    QVERIFY(!exitPending);
    QVERIFY(!f.browserWindow());
    QCOMPARE(code, 0);
}

void TestWebviewMainWindow::closingTheMainWindowAloneEndsTheProgram() {
    WebFixture f;
    QCOMPARE(runSteps({[&] { f.form->close(); }}), 0);
}

TALLY_GL_TEST_MAIN(TestWebviewMainWindow)
#include "tst_webview_main_window.moc"
