// The stand-alone browser window: its loading, its first address, its layout and its commands,
// against pages of a local server.
#include "gui/kit/windows.h"
#include "gui/main/about_window.h"
#include "gui/main/main_window.h"
#include "gui/webview/browser_window.h"
#include "gui/webview/lazy_web_view.h"
#include "support/gl_test_main.h"
#include "support/local_http_server.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QWindow>
#include <QtTest>

#include <memory>

using namespace tally;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::loadTimeout;
using tally::test::LocalHttpServer;

namespace {

// Waits until the window's browser has finished a load.
bool waitForLoad(BrowserWindow* window) {
    QSignalSpy complete(window->browser(), &LazyWebView::loadFinished);
    return complete.wait(loadTimeout);
}

} // namespace

class TestBrowserWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void visitOpensSiteAddressMaximised();
    void firstOpeningWithoutTargetLoadsSiteUrl();
    void enterInTheAddressBoxLoadsTheTypedText();
    void layoutFollowsTheWindowSize();
    void navigationCommandsWithoutHistoryDoNothing();
    void alwaysOnTopKeepsPlaceAndSize();

private:
    BrowserWindow* loadedWindow() const { return form_->browserWindow(); }
    bool browserWindowVisible() const { return loadedWindow() && loadedWindow()->isVisible(); }
    void closeBrowserWindow() {
        if (QWidget* w = loadedWindow()) {
            w->close();
            QTRY_VERIFY(!loadedWindow());
        }
    }
    // "Visit": the site's bare host name.
    void visit() { form_->visitWebsite(); }
    // The About window's web site: the site's full address until the browser was loaded once.
    void aboutWebsite() {
        form_->showAbout();
        Q_EMIT form_->aboutWindow()->websiteRequested();
    }

    std::unique_ptr<LocalHttpServer> server_;
    std::unique_ptr<test::TestEnv> env_;
    std::unique_ptr<MainWindow> form_;
    QString siteAddress_;
};

void TestBrowserWindow::initTestCase() {
    server_ = std::make_unique<LocalHttpServer>();
    QVERIFY(server_->isListening());
    server_->setHandler([](const HttpRequest& r) {
        return HttpResponse::page("<html><head><title>Page " + r.path.toUtf8() +
                                  "</title></head><body><a href=\"/next\">next</a></body></html>");
    });
}

void TestBrowserWindow::init() {
    env_ = std::make_unique<test::TestEnv>();
    server_->clearLog();
    // The product's site is the local server: a bare host name and a full address.
    ProductInfo info = product();
    siteAddress_ = "127.0.0.1:" + QString::number(server_->port()) + "/site";
    info.siteAddress = siteAddress_;
    info.siteUrl = server_->urlString("/siteurl");
    form_ = std::make_unique<MainWindow>(info);
}

void TestBrowserWindow::cleanup() {
    closeBrowserWindow();
    form_.reset();
    env_.reset();
}

void TestBrowserWindow::visitOpensSiteAddressMaximised() {
    visit();
    BrowserWindow* window = loadedWindow();
    QVERIFY(window);
    QCOMPARE(window->objectName(), QString("frmWebsite"));
    QVERIFY(browserWindowVisible());
    QCOMPARE(window->windowTitle(), siteAddress_);
    QVERIFY(window->windowState() & Qt::WindowMaximized);
    // Topmost only while loading.
    QVERIFY(!(window->windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(waitForLoad(window));
    QCOMPARE(server_->pageTargets(), QStringList{"/site"});
    QCOMPARE(window->windowTitle(), QString("Page /site"));
    QCOMPARE(window->findChild<QLineEdit*>("Text1")->text(), server_->urlString("/site"));
    QCOMPARE(window->findChild<QLabel*>("StatusPanel1")->text(), QString("Done"));

    // A second "Visit" shows the same window without loading it again.
    visit();
    QCOMPARE(loadedWindow(), window);
    QTest::qWait(300);
    QCOMPARE(server_->pageTargets(), QStringList{"/site"});

    // Closing it (without the main window gone) only closes it.
    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    window->close();
    QTRY_VERIFY(!loadedWindow());
    QVERIFY(!browserWindowVisible());
    QVERIFY(quitting.isEmpty());
}

void TestBrowserWindow::firstOpeningWithoutTargetLoadsSiteUrl() {
    // As the About window opens it before any browser window was loaded.
    aboutWebsite();
    QVERIFY(waitForLoad(loadedWindow()));
    QCOMPARE(server_->pageTargets(), QStringList{"/siteurl"});
    closeBrowserWindow();
    // Any later opening loads the site address.
    aboutWebsite();
    QVERIFY(waitForLoad(loadedWindow()));
    QCOMPARE(server_->pageTargets(), (QStringList{"/siteurl", "/site"}));
}

void TestBrowserWindow::enterInTheAddressBoxLoadsTheTypedText() {
    visit();
    BrowserWindow* window = loadedWindow();
    QVERIFY(waitForLoad(window));
    auto* address = window->findChild<QLineEdit*>("Text1");
    address->clear();
    QTest::keyClicks(address, "127.0.0.1:" + QString::number(server_->port()) + "/typed?a=b");
    QSignalSpy complete(window->browser(), &LazyWebView::loadFinished);
    QTest::keyClick(address, Qt::Key_Enter);
    QVERIFY(complete.wait(loadTimeout));
    QCOMPARE(server_->pageTargets().last(), QString("/typed?a=b"));
    QCOMPARE(address->text(), server_->urlString("/typed?a=b"));
    QCOMPARE(window->windowTitle(), QString("Page /typed"));

    // Back returns to the first page; Go loads the box's text.
    QTest::mouseClick(window->findChild<QPushButton*>("Command4"), Qt::LeftButton);
    QVERIFY(complete.wait(loadTimeout));
    QCOMPARE(address->text(), server_->urlString("/site"));
    address->setText(server_->urlString("/go"));
    QTest::mouseClick(window->findChild<QPushButton*>("Command3"), Qt::LeftButton);
    QVERIFY(complete.wait(loadTimeout));
    QCOMPARE(window->windowTitle(), QString("Page /go"));
}

void TestBrowserWindow::layoutFollowsTheWindowSize() {
    visit();
    BrowserWindow* window = loadedWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->setWindowState(Qt::WindowNoState);
    auto* frame = window->findChild<QGroupBox*>("frmBrowser");
    auto* address = window->findChild<QLineEdit*>("Text1");
    auto* go = window->findChild<QPushButton*>("Command3");
    auto* browser = window->browser();
    auto* panel1 = window->findChild<QLabel*>("StatusPanel1");
    auto* panel2 = window->findChild<QLabel*>("StatusPanel2");
    auto* statusBar = window->findChild<QStatusBar*>("StatusBar1");
    QVERIFY(frame && address && go && panel1 && panel2 && statusBar);
    for (const QSize size : {QSize(900, 700), QSize(1300, 950), QSize(640, 480)}) {
        window->resize(size);
        QTRY_COMPARE(window->size(), size);
        QTRY_COMPARE(frame->width(), size.width() - 20);
        const auto inFrame = [frame](QWidget* w) {
            return QRect(w->mapTo(frame, QPoint(0, 0)), w->size());
        };
        const QRect box = inFrame(address);
        const QRect goRect = inFrame(go);
        // The box and "Go" on one line; "Go" starts 100 twips right of the box and ends 200
        // before the frame's right edge (inside its border).
        const int frameRight = frame->contentsRect().right();
        QVERIFY(goRect.top() < box.bottom() && box.top() < goRect.bottom());
        QCOMPARE(goRect.left(), box.right() + 1 + 7);
        QCOMPARE(frameRight - goRect.right(), 13);
        // The browser fills the frame less 100 twips on the right.
        QCOMPARE(frameRight - browser->geometry().right(), 7);
        QVERIFY(browser->height() > size.height() / 2);
        // The frame reaches down to the status bar, which lies at the bottom edge.
        QCOMPARE(statusBar->geometry().bottom(), size.height() - 1);
        QVERIFY(frame->geometry().bottom() < statusBar->geometry().top());
        // The two panels are half the window's width each (less the status bar's margins).
        QVERIFY2(qAbs(panel1->width() - size.width() / 2) <= 8,
                 qPrintable(QString::number(panel1->width())));
        QVERIFY(qAbs(panel1->width() - panel2->width()) <= 1);
        QVERIFY(panel2->geometry().left() > panel1->geometry().right());
    }
}

void TestBrowserWindow::navigationCommandsWithoutHistoryDoNothing() {
    visit();
    BrowserWindow* window = loadedWindow();
    QVERIFY(waitForLoad(window));
    QSignalSpy begun(window->browser(), &LazyWebView::loadStarted);
    for (const char* name : {"Command4", "Command5", "Command6"}) {
        auto* button = window->findChild<QPushButton*>(name);
        QVERIFY2(button && button->isEnabled() && !button->accessibleName().isEmpty(), name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QTest::qWait(300);
    QVERIFY(begun.isEmpty());
    QCOMPARE(server_->pageTargets(), QStringList{"/site"});
    QCOMPARE(window->windowTitle(), QString("Page /site"));
}

void TestBrowserWindow::alwaysOnTopKeepsPlaceAndSize() {
    // A window not shown yet only takes the hint.
    QWidget hidden;
    setAlwaysOnTop(&hidden, true);
    QVERIFY(hidden.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!hidden.isVisible());
    setAlwaysOnTop(&hidden, false);
    QVERIFY(!(hidden.windowFlags() & Qt::WindowStaysOnTopHint));

    QWidget window;
    window.setGeometry(120, 90, 400, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect before = window.geometry();
    QWindow* handle = window.windowHandle();
    setAlwaysOnTop(&window, true);
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(handle->flags() & Qt::WindowStaysOnTopHint);
    // The same native window, still shown, in the same place.
    QCOMPARE(window.windowHandle(), handle);
    QVERIFY(window.isVisible());
    QTest::qWait(100);
    QCOMPARE(window.geometry(), before);
    setAlwaysOnTop(&window, false);
    QVERIFY(!(window.windowFlags() & Qt::WindowStaysOnTopHint));
    QVERIFY(!(handle->flags() & Qt::WindowStaysOnTopHint));
    QVERIFY(window.isVisible());
    QTest::qWait(100);
    QCOMPARE(window.geometry(), before);
    // A child widget stands for its window.
    QWidget* child = new QWidget(&window);
    setAlwaysOnTop(child, true);
    QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    setAlwaysOnTop(nullptr, true);
}

TALLY_GL_TEST_MAIN(TestBrowserWindow)
#include "tst_browser_window.moc"
