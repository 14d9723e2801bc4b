// The About window's web site opens the browser window without touching BrowserTarget: with a
// target other than "Website" the browser opens the full site address, here a local page.
#include "gui/main/about_window.h"
#include "core/product/app_state.h"
#include "support/local_http_server.h"
#include "support/test_env.h"
#include "gui/webview/browser_window.h"

#include <QApplication>
#include <QLabel>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace tally;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;

class TestAboutWebsite : public QObject {
    Q_OBJECT

    std::unique_ptr<LocalHttpServer> server_;
    std::unique_ptr<test::TestEnv> env_;

    bool siteRequested() const {
        return server_->requestTargets().contains(QStringLiteral("/site"));
    }

private slots:
    void initTestCase() {
        server_ = std::make_unique<LocalHttpServer>();
        QVERIFY(server_->isListening());
        server_->route(QStringLiteral("/site"),
                       HttpResponse::page("<html><head><title>Site</title></head>"
                                          "<body>The product site</body></html>"));
        setSiteUrl(server_->urlString(QStringLiteral("/site")));
        env_ = std::make_unique<test::TestEnv>();
        appState().SkinningOn = false;
    }
    void cleanupTestCase() {
        unloadAboutWindow();
        if (QWidget* browser = browserWindow()) {
            browser->close();
            QTRY_VERIFY(!browserWindow());
        }
        setSiteUrl(QString());
        env_.reset();
    }

    void websiteOpensTheBrowserWindow() {
        appState().BrowserTarget = QStringLiteral("Elsewhere");
        showAboutWindow(nullptr);
        QWidget* about = aboutWindow();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        auto* website = about->findChild<QLabel*>(QStringLiteral("lblWebsite"));
        QSignalSpy activated(website, &QLabel::linkActivated);
        // A click on the address itself.
        QTest::mouseClick(website, Qt::LeftButton, {}, QPoint(6, website->height() / 2));
        QCOMPARE(activated.count(), 1);
        QTRY_VERIFY(browserWindowVisible());
        // Not sent to SiteAddress: the About window left BrowserTarget alone, so the browser
        // opened the full site address.
        QTRY_VERIFY_WITH_TIMEOUT(siteRequested(), 30000);
        // The About window stays open.
        QVERIFY(about->isVisible());
    }

    void againOnlyShowsTheBrowserWindow() {
        QWidget* browser = browserWindow();
        QVERIFY(browser);
        browser->hide();
        QWidget* about = aboutWindow();
        auto* website = about->findChild<QLabel*>(QStringLiteral("lblWebsite"));
        QTest::mouseClick(website, Qt::LeftButton, {}, QPoint(6, website->height() / 2));
        QTRY_VERIFY(browserWindowVisible());
        QCOMPARE(browserWindow(), browser);
    }
};

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestAboutWebsite tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_about_website.moc"
