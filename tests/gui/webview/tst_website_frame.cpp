// The Website View frame on its own: the web-results list, the address box, the navigation buttons
// and the embedded browser, against pages of a local server.
#include "core/scan/url_encode.h"
#include "gui/results/results_table.h"
#include "gui/webview/lazy_web_view.h"
#include "gui/webview/web_page_view.h"
#include "gui/webview/website_frame.h"
#include "support/gl_test_main.h"
#include "support/local_http_server.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>
#include <QWebEngineView>
#include <QtTest>

#include <functional>
#include <memory>

using namespace tally;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;

namespace {

constexpr int loadTimeout = 30000;

const QStringList engineRows = {"Google", "AltaVista", "Yahoo", "Ask", "MSN", "AllTheWeb"};

// The targets the browser asked for, without its icon requests.
// Clicks a row of the list as a user does.
void clickRow(QTreeWidget* list, int row) {
    QTreeWidgetItem* item = list->topLevelItem(row);
    QVERIFY(item);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(item).center());
}

// The seven rows a scan adds for one URL.
void addScannedRows(WebsiteFrame& frame, const QString& url) {
    frame.addWebResult("Home Page", url);
    for (const QString& row : engineRows)
        frame.addWebResult(row, url);
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
    // A shown frame, its list and its browser.
    void makeFrame();
    QString engineTarget(const QString& path, const QString& url) const {
        return path + "?q=link:" + xurlEncode::URLEncode(url);
    }

    std::unique_ptr<LocalHttpServer> server_;
    std::unique_ptr<test::TestEnv> env_;
    std::unique_ptr<WebsiteFrame> frame_;
    QTreeWidget* list_ = nullptr;
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
    env_.reset();
}

void TestWebsiteFrame::makeFrame() {
    frame_ = std::make_unique<WebsiteFrame>();
    frame_->resize(800, 600);
    frame_->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame_.get()));
    list_ = frame_->findChild<QTreeWidget*>("ListView2");
    address_ = frame_->findChild<QLineEdit*>("Text1");
    QVERIFY(list_);
    QVERIFY(address_);
}

void TestWebsiteFrame::startsWithoutTheWebEngine() {
    makeFrame();
    QCOMPARE(frame_->title(), QString("Results - Website View"));
    QCOMPARE(list_->headerItem()->text(0), QString("Webpage Type"));
    QCOMPARE(list_->headerItem()->text(1), QString("URL"));
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
    addScannedRows(*frame_, url);
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
    addScannedRows(*frame_, url);
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
    frame_->addWebResult("Bing", server_->urlString("/bing"));
    frame_->addWebResult("google", server_->urlString("/lower"));
    frame_->addWebResult("ATW", server_->urlString("/key"));
    frame_->addWebResult("Home Page", server_->urlString("/last"));
    for (int row = 0; row < 3; ++row)
        clickRow(list_, row);
    // A row that does open something shows that nothing before it was requested.
    clickRow(list_, 3);
    QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), QStringList{"/last"}, loadTimeout);
}

void TestWebsiteFrame::showWebResultsForTheSecondUrlSelectsTheEighthRow() {
    makeFrame();
    QSignalSpy tab(frame_.get(), &WebsiteFrame::websiteTabRequested);
    const QString first = server_->urlString("/first");
    const QString second = server_->urlString("/second");
    addScannedRows(*frame_, first);
    addScannedRows(*frame_, second);
    // Enough rows that the eighth lies below the list's visible part.
    for (int i = 0; i < 5; ++i)
        addScannedRows(*frame_, server_->urlString("/more" + QString::number(i)));
    list_->scrollToBottom();
    QTreeWidgetItem resultsRow(QStringList{second, "0"});
    frame_->showWebResultsFor(resultsRow.text(0));
    QCOMPARE(list_->selectedItems().size(), 1);
    QCOMPARE(list_->indexOfTopLevelItem(list_->selectedItems().first()), 7);
    QVERIFY(
        list_->viewport()->rect().contains(list_->visualItemRect(list_->topLevelItem(7)).center()));
    QCOMPARE(tab.size(), 1);
    QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), QStringList{"/second"}, loadTimeout);
}

void TestWebsiteFrame::showWebResultsForARepeatedUrlOpensTheFirstGroup() {
    makeFrame();
    const QString url = server_->urlString("/again");
    addScannedRows(*frame_, server_->urlString("/other"));
    addScannedRows(*frame_, url);
    addScannedRows(*frame_, url);
    QTreeWidgetItem resultsRow(QStringList{url});
    frame_->showWebResultsFor(resultsRow.text(0));
    QCOMPARE(list_->indexOfTopLevelItem(list_->currentItem()), 7);
    QVERIFY(list_->topLevelItem(7)->isSelected());
    QVERIFY(!list_->topLevelItem(14)->isSelected());
    QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), QStringList{"/again"}, loadTimeout);
}

void TestWebsiteFrame::showWebResultsForAnUnlistedUrlDoesNothing() {
    test::ScriptedPrompts prompts;
    makeFrame();
    QSignalSpy tab(frame_.get(), &WebsiteFrame::websiteTabRequested);
    addScannedRows(*frame_, server_->urlString("/listed"));
    // Only exact matches count: a different letter case is another URL.
    QTreeWidgetItem resultsRow(QStringList{server_->urlString("/LISTED")});
    frame_->showWebResultsFor(resultsRow.text(0));
    QVERIFY(prompts.calls.isEmpty());
    QVERIFY(tab.isEmpty());
    QVERIFY(list_->selectedItems().isEmpty());
    QVERIFY(!frame_->browser()->isCreated());
}

// "Web Results" opens the URL's "Home Page" row however the user sorted the list, and the URL's
// first row when it has no such row.
void TestWebsiteFrame::showWebResultsTakesTheHomePageRow_data() {
    QTest::addColumn<bool>("homePageRow");
    QTest::addColumn<QString>("opened");
    QTest::newRow("sorted list") << true << "/site";
    QTest::newRow("no home page row") << false << "/yahoo?q=link:";
}

void TestWebsiteFrame::showWebResultsTakesTheHomePageRow() {
    QFETCH(bool, homePageRow);
    QFETCH(QString, opened);
    makeFrame();
    const QString url = server_->urlString("/site");
    addScannedRows(*frame_, server_->urlString("/other"));
    if (homePageRow)
        frame_->addWebResult("Home Page", url);
    for (const QString& row : engineRows)
        frame_->addWebResult(row, url);
    // The user sorts by "Webpage Type" (the main window's header click): descending at first, so
    // "Yahoo" and "MSN" come before "Home Page".
    QVERIFY(toggleTextSort(list_, 1, false));
    QCOMPARE(list_->topLevelItem(0)->text(0), QString("Yahoo"));
    frame_->showWebResultsFor(url);
    QCOMPARE(list_->selectedItems().size(), 1);
    QCOMPARE(list_->selectedItems().first()->text(1), url);
    QCOMPARE(list_->selectedItems().first()->text(0), homePageRow ? "Home Page" : "Yahoo");
    const QString target = homePageRow ? opened : engineTarget(opened.section('?', 0, 0), url);
    QTRY_COMPARE_WITH_TIMEOUT(server_->pageTargets(), QStringList{target}, loadTimeout);
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
    frame_->addWebResult(rowText, url);
    clickRow(list_, 0);
    QCOMPARE(prompts.messages().size(), 1);
    QVERIFY(prompts.messages().first().startsWith("This address was not opened:"));
    QCOMPARE(prompts.calls.first().icon, QMessageBox::Warning);
    QVERIFY(!frame_->browser()->isCreated());
    // "Web Results" for it says the same.
    frame_->showWebResultsFor(url);
    QCOMPARE(prompts.messages().size(), 2);
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
