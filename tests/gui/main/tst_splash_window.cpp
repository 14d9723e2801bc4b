// The splash window: display strings, the skinning switch, and the hand-over to the main window.
#include "core/settings/user_settings.h"
#include "gui/kit/skin.h"
#include "gui/main/main_window.h"
#include "gui/main/splash_window.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QApplication>
#include <QLabel>
#include <QStandardPaths>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace tally;

namespace {
int mainWindowCount() {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<MainWindow*>(widget))
            ++count;
    return count;
}
} // namespace

class TestSplashWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<tally::test::TestEnv> env_;

private slots:
    void init() {
        env_ = std::make_unique<tally::test::TestEnv>();
        writeSetting(QLatin1String(settingkeys::ShowHelp), QStringLiteral("0"));
        skin::setEnabled(false);
    }
    void cleanup() {
        skin::stop();
        skin::setEnabled(false);
        env_.reset();
    }

    void loadSwitchesTheSkinOn() {
        SplashWindow splash(60000);
        QVERIFY(skin::enabled());
        QCOMPARE(splash.windowTitle(), QStringLiteral("Tallyscope"));
        QVERIFY(skin::started());
        QVERIFY(splash.property("tallySkinned").toBool());
        // The picture, and no border.
        auto* image = splash.findChild<QLabel*>(QStringLiteral("Image1"));
        QVERIFY(image && !image->pixmap().isNull());
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(splash.size(), QSize(478, 318));
        // One single-shot delay of about 1.2 seconds by default.
        QCOMPARE(SplashWindow::DelayMs, 1200);
        auto* timer = splash.findChild<QTimer*>(QStringLiteral("Timer2"));
        QVERIFY(timer && timer->isActive() && timer->isSingleShot());
        QCOMPARE(timer->interval(), 60000);
        QCOMPARE(SplashWindow().findChild<QTimer*>(QStringLiteral("Timer2"))->interval(), 1200);
    }

    void opensTheMainWindowExactlyOnce() {
        QCOMPARE(mainWindowCount(), 0);
        SplashWindow splash(50);
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        QVERIFY(!splash.mainWindow());
        QTRY_VERIFY(splash.mainWindow());
        QCOMPARE(mainWindowCount(), 1);
        QVERIFY(splash.mainWindow()->isVisible());
        QVERIFY(splash.isHidden());
        QVERIFY(!splash.findChild<QTimer*>(QStringLiteral("Timer2"))->isActive());
        // Later ticks, real or forced, open nothing more.
        MainWindow* first = splash.mainWindow();
        splash.openMainWindow();
        QTest::qWait(150);
        QCOMPARE(mainWindowCount(), 1);
        QCOMPARE(splash.mainWindow(), first);
        QVERIFY(splash.isHidden());
    }

    void withSkinningOffItStillHandsOver() {
        SplashWindow splash(20, false);
        QVERIFY(!skin::enabled());
        QVERIFY(!skin::started());
        QVERIFY(!splash.property("tallySkinned").toBool());
        QVERIFY(!splash.testAttribute(Qt::WA_SetPalette));
        QVERIFY(!splash.findChild<QLabel*>(QStringLiteral("Image1"))->pixmap().isNull());
        QTRY_VERIFY(splash.mainWindow());
        QCOMPARE(mainWindowCount(), 1);
        QVERIFY(!splash.mainWindow()->property("tallySkinned").toBool());
    }
};

TALLY_MAIN {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestSplashWindow tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_splash_window.moc"
