// The About window's web site opens the browser window: before the browser window was ever
// loaded it opens the site's full address, here a local page.
#include "gui/kit/skin.h"
#include "gui/main/about_window.h"
#include "gui/main/main_window.h"
#include "gui/webview/browser_window.h"
#include "support/local_http_server.h"
#include "support/test_env.h"
#include "support/test_main.h"

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
    std::unique_ptr<MainWindow> form_;

    bool browserVisible() const {
        return form_->browserWindow() && form_->browserWindow()->isVisible();
    }

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
        env_ = std::make_unique<test::TestEnv>();
        skin::setEnabled(false);
        ProductInfo info = product();
        info.siteAddress = QStringLiteral("127.0.0.1:1"); // never asked for
        info.siteUrl = server_->urlString(QStringLiteral("/site"));
        form_ = std::make_unique<MainWindow>(info);
        form_->show();
    }
    void cleanupTestCase() {
        form_.reset();
        env_.reset();
    }

    void websiteOpensTheBrowserWindow() {
        form_->showAbout();
        QWidget* about = form_->aboutWindow();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        auto* website = about->findChild<QLabel*>(QStringLiteral("lblWebsite"));
        QSignalSpy activated(website, &QLabel::linkActivated);
        // A click on the address itself.
        QTest::mouseClick(website, Qt::LeftButton, {}, QPoint(6, website->height() / 2));
        QCOMPARE(activated.count(), 1);
        QTRY_VERIFY(browserVisible());
        // The full site address, not the bare host name.
        QTRY_VERIFY_WITH_TIMEOUT(siteRequested(), 30000);
        // The About window stays open.
        QVERIFY(about->isVisible());
    }

    void againOnlyShowsTheBrowserWindow() {
        QWidget* browser = form_->browserWindow();
        QVERIFY(browser);
        browser->hide();
        QWidget* about = form_->aboutWindow();
        auto* website = about->findChild<QLabel*>(QStringLiteral("lblWebsite"));
        QTest::mouseClick(website, Qt::LeftButton, {}, QPoint(6, website->height() / 2));
        QTRY_VERIFY(browserVisible());
        QCOMPARE(form_->browserWindow(), browser);
    }
};

TALLY_MAIN {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestAboutWebsite tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_about_website.moc"
