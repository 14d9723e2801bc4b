// The Website View frame on its own: the web-results list, the address box, the navigation buttons
// and the embedded browser, against pages of a local server.
#include "core/results/results_model.h"
#include "core/scan/url_encode.h"
#include "core/webview/web_results_model.h"
#include "gui/results/results_table.h"
#include "gui/webview/lazy_web_view.h"
#include "gui/webview/web_page_view.h"
#include "gui/webview/website_frame.h"
#include "support/gl_test_main.h"
#include "support/item_views.h"
#include "support/local_http_server.h"
#include "support/result_rows.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>
#include <QWebEngineView>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tally;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::loadTimeout;
using tally::test::LocalHttpServer;

namespace {

const QStringList engineRows = {"Google", "AltaVista", "Yahoo", "Ask", "MSN", "AllTheWeb"};

// Clicks a row of the list as a user does.
void clickRow(QTreeView* list, int row) {
    QVERIFY(row < test::rowCount(list));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, test::rowPoint(list, row));
}

} // namespace

class TestWebsiteFrame : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithoutTheWebEngine();
    void freshViewCommandsDoNothing();
    void homePageRowOpensTheUrlUnchanged();
    void engineRowsOpenPrefixAndEncodedUrl();
    void unknownRowTextOpensNothing();
    void showWebResultsForTheSecondUrlSelectsTheEighthRow();
    void showWebResultsForARepeatedUrlOpensTheFirstGroup();
    void showWebResultsForAnUnlistedUrlDoesNothing();
    void showWebResultsTakesTheHomePageRow_data();
    void showWebResultsTakesTheHomePageRow();
    void addressesFromTheListOpenOnlyOnTheWeb_data();
    void addressesFromTheListOpenOnlyOnTheWeb();
    void localPagesReachNoOtherFilesNorSites();
    void enterInTheAddressBoxOpensTheTypedText();
    void backForwardAndRefresh();
    void hoveredLinkGoesToTheStatusText();

private:
    // A shown frame over results of its own, its list and its browser.
    void makeFrame();
    // A URL as a scan leaves it: its seven rows in the list ("Home Page" and the six engines).
    void addScannedRows(const QString& url);
    // A URL scanned by engines named by rowTexts (the other slots switched off): "Home Page" and
    // one row per text.
    void addScannedRows(const QString& url, const QStringList& rowTexts);
    QString engineTarget(const QString& path, const QString& url) const {
        return path + "?q=link:" + xurlEncode::URLEncode(url);
    }

    std::unique_ptr<LocalHttpServer> server_;
    std::unique_ptr<test::TestEnv> env_;
    std::unique_ptr<ResultsModel> results_;
    std::unique_ptr<WebResultsModel> webResults_;
    std::unique_ptr<WebsiteFrame> frame_;
    QTreeView* list_ = nullptr;
    QLineEdit* address_ = nullptr;
};

void TestWebsiteFrame::initTestCase() {
    server_ = std::make_unique<LocalHttpServer>();
    QVERIFY(server_->isListening());
    // Every page is titled with its path.
    server_->setHandler([](const HttpRequest& r) {
        return HttpResponse::page("<html><head><title>" + r.path.toUtf8() +
                                  "</title></head><body><p>" + r.target.toHtmlEscaped().toUtf8() +
                                  "</p></body></html>");
    });
}

void TestWebsiteFrame::init() {
    env_ = std::make_unique<test::TestEnv>(false);
    // Each engine its own page on the local server.
    QByteArray ini = "[Engines]\r\n";
    const QStringList keys = {"Google", "Altavista", "Yahoo", "Ask", "MSN", "ATW"};
    for (const QString& key : keys)
        ini += key.toUtf8() + "=" + server_->urlString("/" + key.toLower() + "?q=link:").toUtf8() +
               "\r\n";
    env_->writeFile("settings.ini", ini);
    server_->clearLog();
}

void TestWebsiteFrame::cleanup() {
    frame_.reset();
    webResults_.reset();
    results_.reset();
    env_.reset();
}

void TestWebsiteFrame::addScannedRows(const QString& url) {
    test::addScannedRow(results_.get(), results_->rowCount() + 1, url,
                        {"1", "2", "3", "4", "5", "6"});
    frame_->refreshWebResults();
}

void TestWebsiteFrame::addScannedRows(const QString& url, const QStringList& rowTexts) {
    QStringList counts;
    for (qsizetype i = 0; i < rowTexts.size(); ++i)
        counts << "1";
    test::addScannedRow(results_.get(), results_->rowCount() + 1, url, counts,
                        test::engineSnapshot(rowTexts, int(rowTexts.size())));
    frame_->refreshWebResults();
}

void TestWebsiteFrame::makeFrame() {
    results_ = std::make_unique<ResultsModel>();
    webResults_ = std::make_unique<WebResultsModel>(results_.get());
    frame_ = std::make_unique<WebsiteFrame>();
    frame_->setWebResultsModel(webResults_.get());
    frame_->resize(800, 600);
    frame_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    list_ = frame_->findChild<QTreeView*>("ListView2");
    address_ = frame_->findChild<QLineEdit*>("Text1");
    QVERIFY(list_);
    QVERIFY(address_);
}

void TestWebsiteFrame::startsWithoutTheWebEngine() {
    makeFrame();
    QCOMPARE(frame_->title(), QString("Results - Website View"));
    QCOMPARE(test::headerText(list_, 0), QString("Webpage Type"));
    QCOMPARE(test::headerText(list_, 1), QString("URL"));
    // Once laid out: a quarter and three quarters of the list's width.
    const int width = list_->viewport()->width();
    QVERIFY(width > 400);
    QCOMPARE(list_->columnWidth(0), width / 4);
    QCOMPARE(list_->columnWidth(1), width - width / 4);
    for (const char* name : {"Command10", "Command8", "Command9", "Command11", "Command70"}) {
        auto* button = frame_->findChild<QPushButton*>(name);
        QVERIFY2(button && button->isEnabled() && !button->accessibleName().isEmpty(), name);
    }
    // Start-up points the browser at about:blank without starting the web engine.
    frame_->openBlankPage();
    QVERIFY(!frame_->browser()->isCreated());
    QVERIFY(!frame_->findChild<WebPageView*>());
    QVERIFY(!frame_->findChild<QWebEngineView*>());
    QCOMPARE(frame_->browser()->currentAddress(), QString("about:blank"));
    QCOMPARE(address_->text(), QString("about:blank"));
}

void TestWebsiteFrame::freshViewCommandsDoNothing() {
    test::ScriptedPrompts prompts;
    makeFrame();
    QSignalSpy opening(frame_.get(), &WebsiteFrame::openingText);
    QSignalSpy status(frame_.get(), &WebsiteFrame::statusText);
    for (const char* name : {"Command8", "Command9", "Command11", "Command70"})
        QTest::mouseClick(frame_->findChild<QPushButton*>(name), Qt::LeftButton);
    // Go with an empty address box, and a click on an empty list.
    QTest::mouseClick(frame_->findChild<QPushButton*>("Command10"), Qt::LeftButton);
    QTest::mouseClick(list_->viewport(), Qt::LeftButton);
    QVERIFY(!frame_->browser()->isCreated());
    QTest::qWait(200);
    QVERIFY(opening.isEmpty());
    QVERIFY(status.isEmpty());
    QVERIFY(prompts.calls.isEmpty());
    QVERIFY(server_->requestTargets().isEmpty());
}

void TestWebsiteFrame::homePageRowOpensTheUrlUnchanged() {
    makeFrame();
    QSignalSpy opening(frame_.get(), &WebsiteFrame::openingText);
    QSignalSpy status(frame_.get(), &WebsiteFrame::statusText);
    QSignalSpy tab(frame_.get(), &WebsiteFrame::websiteTabRequested);
    const QString url = server_->urlString("/home?a=1&b=x%20y");
    addScannedRows(url);
    clickRow(list_, 0);
    QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), QStringList{"/home?a=1&b=x%20y"},
                              loadTimeout);
    // The address box shows the completed page's address; panel 2 showed "Opening " + address.
    QTRY_COMPARE_WITH_TIMEOUT(address_->text(), url, loadTimeout);
    QVERIFY(!opening.isEmpty());
    QCOMPARE(opening.first().first().toString(), "Opening " + url);
    QVERIFY(!status.isEmpty());
    QCOMPARE(status.last().first().toString(), QString("Done"));
    // A plain click on the list does not switch tabs.
    QVERIFY(tab.isEmpty());
    // The plugin's view, inside it the web engine's.
    auto* page = frame_->findChild<WebPageView*>("WebBrowser1");
    QVERIFY(page);
    QCOMPARE(frame_->browser()->view(), page);
    auto* view = page->findChild<QWebEngineView*>();
    QVERIFY(view);
    QCOMPARE(view->title(), QString("/home"));
}

void TestWebsiteFrame::engineRowsOpenPrefixAndEncodedUrl() {
    makeFrame();
    QSignalSpy tab(frame_.get(), &WebsiteFrame::websiteTabRequested);
    const QString url = server_->urlString("/site/page.html");
    addScannedRows(url);
    // "AltaVista" reads the key "Altavista", "AllTheWeb" the key "ATW".
    const QStringList paths = {"/google", "/altavista", "/yahoo", "/ask", "/msn", "/atw"};
    QStringList expected;
    for (int i = 0; i < engineRows.size(); ++i) {
        clickRow(list_, i + 1);
        expected << engineTarget(paths[i], url);
        QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), expected, loadTimeout);
        QTRY_COMPARE_WITH_TIMEOUT(address_->text(), server_->urlString(expected.last()),
                                  loadTimeout);
    }
    // The scheme's ":" and the "/" of the URL arrive encoded.
    QCOMPARE(expected.first(), "/google?q=link:http%3A%2F%2F127.0.0.1%3A" +
                                   QString::number(server_->port()) + "%2Fsite%2Fpage.html");
    QVERIFY(tab.isEmpty());

    // A prefix changed in settings.ini applies to the next click.
    env_->writeFile("settings.ini",
                    "[Engines]\r\nGoogle=" + server_->urlString("/changed?q=").toUtf8() + "\r\n");
    clickRow(list_, 1);
    QTRY_VERIFY_WITH_TIMEOUT(
        server_->pageTargets().contains("/changed?q=" + xurlEncode::URLEncode(url)), loadTimeout);
}

void TestWebsiteFrame::unknownRowTextOpensNothing() {
    makeFrame();
    // Row texts that are no slot's: not exactly a row text, a key rather than a row text.
    addScannedRows(server_->urlString("/last"), {"Bing", "google", "ATW"});
    QCOMPARE(test::columnTexts(list_, 0), (QStringList{"Home Page", "Bing", "google", "ATW"}));
    for (int row = 1; row < 4; ++row)
        clickRow(list_, row);
    // A row that does open something shows that nothing before it was requested.
    clickRow(list_, 0);
    QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), QStringList{"/last"}, loadTimeout);
}

void TestWebsiteFrame::showWebResultsForTheSecondUrlSelectsTheEighthRow() {
    makeFrame();
    QSignalSpy tab(frame_.get(), &WebsiteFrame::websiteTabRequested);
    const QString first = server_->urlString("/first");
    const QString second = server_->urlString("/second");
    addScannedRows(first);
    addScannedRows(second);
    // Enough rows that the eighth lies below the list's visible part.
    for (int i = 0; i < 5; ++i)
        addScannedRows(server_->urlString("/more" + QString::number(i)));
    list_->scrollToBottom();
    frame_->showWebResultsFor(second);
    const QModelIndexList selected = list_->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().row(), 7);
    QVERIFY(list_->viewport()->rect().contains(list_->visualRect(selected.first()).center()));
    QCOMPARE(tab.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), QStringList{"/second"}, loadTimeout);
}

void TestWebsiteFrame::showWebResultsForARepeatedUrlOpensTheFirstGroup() {
    makeFrame();
    const QString url = server_->urlString("/again");
    addScannedRows(server_->urlString("/other"));
    addScannedRows(url);
    addScannedRows(url);
    frame_->showWebResultsFor(url);
    QCOMPARE(test::currentRow(list_), 7);
    QVERIFY(list_->selectionModel()->isRowSelected(7));
    QVERIFY(!list_->selectionModel()->isRowSelected(14));
    QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), QStringList{"/again"}, loadTimeout);
}

void TestWebsiteFrame::showWebResultsForAnUnlistedUrlDoesNothing() {
    test::ScriptedPrompts prompts;
    makeFrame();
    QSignalSpy tab(frame_.get(), &WebsiteFrame::websiteTabRequested);
    addScannedRows(server_->urlString("/listed"));
    // Only exact matches count: a different letter case is another URL.
    frame_->showWebResultsFor(server_->urlString("/LISTED"));
    QVERIFY(prompts.calls.isEmpty());
    QVERIFY(tab.isEmpty());
    QVERIFY(!list_->selectionModel()->hasSelection());
    QVERIFY(!frame_->browser()->isCreated());
}

// "Web Results" opens the URL's "Home Page" row however the user sorted the list.
void TestWebsiteFrame::showWebResultsTakesTheHomePageRow_data() {
    QTest::addColumn<int>("clicks");
    QTest::newRow("sorted descending") << 1;
    QTest::newRow("sorted ascending") << 2;
}

void TestWebsiteFrame::showWebResultsTakesTheHomePageRow() {
    QFETCH(int, clicks);
    makeFrame();
    const QString url = server_->urlString("/site");
    addScannedRows(server_->urlString("/other"));
    addScannedRows(url);
    // The user sorts by "Webpage Type" (the main window's header click): descending at first, so
    // "Yahoo" and "MSN" come before "Home Page".
    for (int i = 0; i < clicks; ++i)
        QVERIFY(frame_->sortWebResults(1, false));
    QCOMPARE(test::cellText(list_, 0, 0), QString(clicks == 1 ? "Yahoo" : "AllTheWeb"));
    frame_->showWebResultsFor(url);
    const QModelIndexList selected = list_->selectionModel()->selectedRows();
    QCOMPARE(selected.size(), 1);
    QCOMPARE(selected.first().siblingAtColumn(1).data().toString(), url);
    QCOMPARE(selected.first().data().toString(), QString("Home Page"));
    QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), QStringList{"/site"}, loadTimeout);
}

// The list's URLs and the prefixes of settings.ini open only as web addresses; anything else is
// refused with a message, and the browser is not even started for it.
void TestWebsiteFrame::addressesFromTheListOpenOnlyOnTheWeb_data() {
    QTest::addColumn<QString>("rowText");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("googlePrefix");
    QTest::newRow("file home page") << "Home Page"
                                    << "file:///etc/passwd"
                                    << "";
    QTest::newRow("local path") << "Home Page"
                                << "/etc/passwd"
                                << "";
    QTest::newRow("javascript home page") << "Home Page"
                                          << "javascript:document.title='ran'"
                                          << "";
    QTest::newRow("data home page") << "Home Page"
                                    << "data:text/html,<b>x</b>"
                                    << "";
    QTest::newRow("javascript prefix") << "Google"
                                       << "http://site.example"
                                       << "javascript:document.title='ran';//";
    QTest::newRow("file prefix") << "Google"
                                 << "http://site.example"
                                 << "file:///etc/passwd?";
}

void TestWebsiteFrame::addressesFromTheListOpenOnlyOnTheWeb() {
    QFETCH(QString, rowText);
    QFETCH(QString, url);
    QFETCH(QString, googlePrefix);
    test::ScriptedPrompts prompts;
    if (!googlePrefix.isEmpty())
        env_->writeFile("settings.ini", "[Engines]\r\nGoogle=" + googlePrefix.toUtf8() + "\r\n");
    makeFrame();
    addScannedRows(url, {"Google"});
    clickRow(list_, rowText == "Home Page" ? 0 : 1);
    QCOMPARE(prompts.messages().size(), 1);
    QVERIFY(prompts.messages().first().startsWith("This address was not opened:"));
    QCOMPARE(prompts.calls.first().icon, QMessageBox::Warning);
    QVERIFY(!frame_->browser()->isCreated());
    // "Web Results" for a URL that is no web address says the same. (For the others it opens
    // their home page, which this test leaves unasked: it reaches no other address.)
    if (rowText == "Home Page") {
        frame_->showWebResultsFor(url);
        QCOMPARE(prompts.messages().size(), 2);
    }
    QVERIFY(!frame_->browser()->isCreated());
    QCOMPARE(frame_->browser()->currentAddress(), QString("about:blank"));
}

// A local page typed into the address box opens, with scripts on, but reads neither another local
// file nor a page of a site.
void TestWebsiteFrame::localPagesReachNoOtherFilesNorSites() {
    makeFrame();
    server_->route("/secret", HttpResponse::page("remote secret"));
    env_->writeFile("secret.txt", "local secret");
    const QString read = R"(
        function tryRead(name, address) {
            try {
                var request = new XMLHttpRequest();
                request.open('GET', address, false);
                request.send();
                return name + ':' + request.responseText;
            } catch (e) {
                return name + ':blocked';
            }
        }
        document.title = [tryRead('file', '%1'), tryRead('remote', '%2')].join(' ');
    )";
    env_->writeFile("page.html",
                    "<html><head><script>" +
                        read.arg(QUrl::fromLocalFile(env_->file("secret.txt")).toString(),
                                 server_->urlString("/secret"))
                            .toUtf8() +
                        "</script></head><body>local</body></html>");
    address_->setText(QUrl::fromLocalFile(env_->file("page.html")).toString());
    QTest::keyClick(address_, Qt::Key_Return);
    QTRY_VERIFY_WITH_TIMEOUT(frame_->browser()->currentTitle().startsWith("file:"), loadTimeout);
    QCOMPARE(frame_->browser()->currentTitle(), QString("file:blocked remote:blocked"));
}

void TestWebsiteFrame::enterInTheAddressBoxOpensTheTypedText() {
    makeFrame();
    // A bare host name and port: the browser completes it to a web address.
    const QString typed = "127.0.0.1:" + QString::number(server_->port()) + "/typed?x=1";
    address_->setFocus();
    QTest::keyClicks(address_, typed);
    QTest::keyClick(address_, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), QStringList{"/typed?x=1"}, loadTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(address_->text(), "http://" + typed, loadTimeout);
    // Go does the same with the box's text.
    address_->setText(server_->urlString("/go"));
    QTest::mouseClick(frame_->findChild<QPushButton*>("Command10"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(server_->pageTargets().contains("/go"), loadTimeout);
}

void TestWebsiteFrame::backForwardAndRefresh() {
    makeFrame();
    LazyWebView* browser = frame_->browser();
    // Runs a command and waits until the load it starts has ended.
    const auto loaded = [browser](const std::function<void()>& command) {
        QSignalSpy complete(browser, &LazyWebView::loadFinished);
        command();
        return complete.wait(loadTimeout) || !complete.isEmpty();
    };
    auto* back = frame_->findChild<QPushButton*>("Command8");
    auto* forward = frame_->findChild<QPushButton*>("Command9");
    auto* refresh = frame_->findChild<QPushButton*>("Command70");
    for (const QString& path : QStringList{"/one", "/two"}) {
        address_->setText(server_->urlString(path));
        QVERIFY(loaded([this] { QTest::keyClick(address_, Qt::Key_Return); }));
    }
    QVERIFY(loaded([back] { QTest::mouseClick(back, Qt::LeftButton); }));
    QCOMPARE(address_->text(), server_->urlString("/one"));
    QVERIFY(loaded([forward] { QTest::mouseClick(forward, Qt::LeftButton); }));
    QCOMPARE(address_->text(), server_->urlString("/two"));
    // Forward at the end of the history does nothing.
    QSignalSpy begun(browser, &LazyWebView::loadStarted);
    QTest::mouseClick(forward, Qt::LeftButton);
    QTest::qWait(300);
    QVERIFY(begun.isEmpty());
    QCOMPARE(browser->currentAddress(), server_->urlString("/two"));
    const int before = server_->pageTargets().count("/two");
    QVERIFY(loaded([refresh] { QTest::mouseClick(refresh, Qt::LeftButton); }));
    QCOMPARE(server_->pageTargets().count("/two"), before + 1);
}

void TestWebsiteFrame::hoveredLinkGoesToTheStatusText() {
    makeFrame();
    server_->route("/links",
                   HttpResponse::page("<html><body style=\"margin:0\"><a href=\"/target\" "
                                      "style=\"display:block;width:400px;height:200px\">"
                                      "a link</a></body></html>"));
    QSignalSpy complete(frame_->browser(), &LazyWebView::loadFinished);
    frame_->browser()->open(server_->urlString("/links"));
    QVERIFY(complete.wait(loadTimeout));
    QSignalSpy status(frame_.get(), &WebsiteFrame::statusText);
    QWidget* surface = frame_->findChild<QWebEngineView*>()->focusProxy();
    QVERIFY(surface);
    // Chromium wants to see the pointer move, and then move again over the link.
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            QTest::mouseMove(surface, QPoint(50, 50));
            QTest::mouseMove(surface, QPoint(60, 60));
            return status.contains(QVariantList{server_->urlString("/target")});
        }(),
        loadTimeout);
}

TALLY_GL_TEST_MAIN(TestWebsiteFrame)
#include "tst_website_frame.moc"
