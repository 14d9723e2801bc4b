// Ending the program through the browser window: closing it ends the program only when the main
// window has already been closed (ExitPending). Each case runs the application's event loop.
#include "core/product/app_state.h"
#include "support/local_http_server.h"
#include "support/test_env.h"
#include "gui/webview/browser_window.h"
#include "gui/webview/lazy_web_view.h"
#include "support/gl_test_main.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace tally;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;

namespace {
// The exit code of a loop that nobody ended.
constexpr int stillRunning = 42;
} // namespace

class TestBrowserShutdown : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void closingWithoutExitPendingKeepsRunning();
    void closingWithExitPendingEndsTheProgram();

private:
    // Opens the window, closes it from the event loop and returns the loop's exit code.
    int closeFromEventLoop();

    LocalHttpServer server_;
};

void TestBrowserShutdown::init() {
    server_.route("/site", HttpResponse::page("<title>Site</title>"));
    appState().SiteAddress = server_.urlString("/site");
    appState().BrowserTarget = "Website";
}

int TestBrowserShutdown::closeFromEventLoop() {
    showBrowserWindow();
    QWidget* window = browserWindow();
    if (!window)
        return -1;
    QTimer::singleShot(200, window, &QWidget::close);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(stillRunning); });
    giveUp.start(3000);
    return QCoreApplication::exec();
}

void TestBrowserShutdown::closingWithoutExitPendingKeepsRunning() {
    test::TestEnv env;
    appState().ExitPending = false;
    QCOMPARE(closeFromEventLoop(), stillRunning);
    QVERIFY(!browserWindow());
}

void TestBrowserShutdown::closingWithExitPendingEndsTheProgram() {
    test::TestEnv env;
    appState().ExitPending = true;
    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    QCOMPARE(closeFromEventLoop(), 0);
    QCOMPARE(quitting.size(), 1);
    QVERIFY(!browserWindow());
}

TALLY_GL_TEST_MAIN(TestBrowserShutdown)
#include "tst_browser_shutdown.moc"
