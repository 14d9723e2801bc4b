// Ending the program through the browser window: closing it ends the program only when the main
// window has already been closed. Each case runs the application's event loop.
#include "gui/webview/browser_window.h"
#include "gui/webview/lazy_web_view.h"
#include "support/gl_test_main.h"
#include "support/local_http_server.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

using namespace tally;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;
using tally::test::stillRunning;

class TestBrowserShutdown : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void closingWithoutExitPendingKeepsRunning();
    void closingWithExitPendingEndsTheProgram();

private:
    // Opens the window, closes it from the event loop and returns the loop's exit code.
    int closeFromEventLoop(bool endsProgram);

    LocalHttpServer server_;
    QPointer<BrowserWindow> window_;
};

void TestBrowserShutdown::init() {
    server_.route("/site", HttpResponse::page("<title>Site</title>"));
}

int TestBrowserShutdown::closeFromEventLoop(bool endsProgram) {
    window_ = new BrowserWindow(QStringLiteral("Site"), server_.urlString("/site"));
    window_->setEndsProgramOnClose(endsProgram);
    BrowserWindow* window = window_;
    window->show();
    QTimer::singleShot(200, window, &QWidget::close);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(stillRunning); });
    giveUp.start(3000);
    return QCoreApplication::exec();
}

void TestBrowserShutdown::closingWithoutExitPendingKeepsRunning() {
    test::TestEnv env;
    QCOMPARE(closeFromEventLoop(false), stillRunning);
    QTRY_VERIFY(!window_);
}

void TestBrowserShutdown::closingWithExitPendingEndsTheProgram() {
    test::TestEnv env;
    QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
    QCOMPARE(closeFromEventLoop(true), 0);
    QCOMPARE(quitting.size(), 1);
    QTRY_VERIFY(!window_);
}

TALLY_GL_TEST_MAIN(TestBrowserShutdown)
#include "tst_browser_shutdown.moc"
