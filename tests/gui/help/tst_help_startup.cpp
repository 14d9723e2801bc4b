// The help and About windows with the real main window: start-up, "View Help", "About this
// software", and shut-down; the whole start through the splash window.
#include "core/settings/user_settings.h"
#include "gui/help/help_window.h"
#include "gui/kit/skin.h"
#include "gui/main/about_window.h"
#include "gui/main/main_window.h"
#include "gui/main/splash_window.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QtTest>

#include <memory>

using namespace tally;
using tally::test::shippedHelp;
using tally::test::storedShowHelp;

namespace {

// The loaded window of that object name, wherever it is, or nullptr.
QWidget* loadedWindow(const char* name) {
    for (QWidget* w : QApplication::allWidgets())
        if (w->isWindow() && w->objectName() == QLatin1String(name))
            return w;
    return nullptr;
}
QWidget* helpWindow() {
    return loadedWindow("Form8");
}
QWidget* aboutWindow() {
    return loadedWindow("frmAbout");
}

QCheckBox* check1() {
    return helpWindow()->findChild<QCheckBox*>(QStringLiteral("Check1"));
}

void trigger(QWidget* form, const char* action) {
    auto* item = form->findChild<QAction*>(QLatin1String(action));
    QVERIFY2(item, action);
    item->trigger();
}

} // namespace

class TestHelpStartup : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestEnv> env_;
    std::unique_ptr<test::ScriptedPrompts> prompts_;

private slots:
    void init() {
        env_ = std::make_unique<test::TestEnv>();
        prompts_ = std::make_unique<test::ScriptedPrompts>();
        skin::setEnabled(false);
    }
    void cleanup() {
        skin::stop();
        skin::setEnabled(false);
        prompts_.reset();
        env_.reset();
    }

    void firstStartOpensTheHelpChecked() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        QCOMPARE(storedShowHelp(), QStringLiteral("<absent>"));
        // The whole start: splash, then the main window, whose load opens the help window.
        SplashWindow splash(10);
        QTRY_VERIFY(splash.mainWindow());
        MainWindow* form = splash.mainWindow();
        QTRY_VERIFY(helpWindow());
        QVERIFY(helpWindow()->isVisible());
        QCOMPARE(helpWindow()->parentWidget(), form);
        QCOMPARE(helpWindow()->windowType(), Qt::Tool);
        QVERIFY(check1()->isChecked());
        QCOMPARE(storedShowHelp(), QStringLiteral("1"));
        QVERIFY(helpWindow()
                    ->findChild<QTextBrowser*>(QStringLiteral("rtf1"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("Tallyscope Help")));
        // Skinned like every window of the run.
        QVERIFY(helpWindow()->property("tallySkinned").toBool());
        QVERIFY(form->property("tallySkinned").toBool());
    }

    void uncheckedStaysClosedAtTheNextStart() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        {
            MainWindow form;
            QTest::qWait(50);
            QVERIFY(!helpWindow()); // not before the main window is on screen
            form.show();
            QTRY_VERIFY(helpWindow());
            QVERIFY(QTest::qWaitForWindowExposed(helpWindow()));
            QTest::mouseClick(check1(), Qt::LeftButton, {}, QPoint(8, check1()->height() / 2));
            QCOMPARE(storedShowHelp(), QStringLiteral("0"));
        }
        // The help window went with its owner.
        QVERIFY(!helpWindow());
        MainWindow form;
        form.show();
        QTest::qWait(50);
        QVERIFY(!helpWindow());
        // "View Help" still opens it, unchecked.
        trigger(&form, "mnuHelpItem");
        QVERIFY(helpWindow());
        QVERIFY(helpWindow()->isVisible());
        QVERIFY(!check1()->isChecked());
        QCOMPARE(storedShowHelp(), QStringLiteral("0"));
        // Again while it is open: the same window.
        QWidget* first = helpWindow();
        trigger(&form, "mnuHelpItem");
        QCOMPARE(helpWindow(), first);
    }

    void missingHelpFileShowsNothing() {
        MainWindow form;
        form.show();
        QVERIFY(!helpWindow());
        trigger(&form, "mnuHelpItem");
        QVERIFY(!helpWindow());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY(!(w->objectName() == QLatin1String("Form8") && w->isVisible()));
        for (QWidget* w : form.findChildren<QWidget*>(QStringLiteral("Form8")))
            QVERIFY(!w->isVisible());
    }

    void aboutFromTheMenu() {
        MainWindow form;
        form.show();
        trigger(&form, "mnuAbout");
        QWidget* about = aboutWindow();
        QVERIFY(about);
        QVERIFY(about->isVisible());
        QCOMPARE(about->parentWidget(), &form);
        trigger(&form, "mnuAbout");
        QCOMPARE(aboutWindow(), about);
    }

    void shutDownUnloadsThemAndStopsTheSkin() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        SplashWindow splash(10);
        QTRY_VERIFY(splash.mainWindow());
        MainWindow* form = splash.mainWindow();
        trigger(form, "mnuAbout");
        QTRY_VERIFY(helpWindow() && aboutWindow());
        QVERIFY(skin::started());
        QSignalSpy ending(form, &MainWindow::programEnding);
        trigger(form, "mnuExitNow");
        QCOMPARE(ending.count(), 1);
        QTRY_VERIFY(!helpWindow());
        QTRY_VERIFY(!aboutWindow());
        QVERIFY(!skin::started());
    }
};

TALLY_MAIN {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestHelpStartup tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_help_startup.moc"
