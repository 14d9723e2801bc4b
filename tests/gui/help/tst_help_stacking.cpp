// The help window opened at start-up under a real window manager (openbox on the test's X server):
// it opens beside the main window where the screen has room, covering none of it, and stays above
// the main window when the main window is activated and raised, as a click into it does.
#include "core/settings/user_settings.h"
#include "gui/help/help_window.h"
#include "gui/kit/skin.h"
#include "gui/main/main_window.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"
#include "support/test_main.h"
#include "support/window_manager.h"

#include <QApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace tally;
using tally::test::WindowManager;

namespace {

// Shows the main window and waits for the help window it opens at start-up; null when none shows.
HelpWindow* showWithHelp(MainWindow& form) {
    form.show();
    if (!QTest::qWaitForWindowExposed(&form) ||
        !QTest::qWaitFor([&] { return form.helpWindow() && form.helpWindow()->isVisible(); }) ||
        !QTest::qWaitForWindowExposed(form.helpWindow()))
        return nullptr;
    return form.helpWindow();
}

} // namespace

class TestHelpStacking : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowManager> windowManager_;

private Q_SLOTS:
    void initTestCase() {
        windowManager_ = std::make_unique<WindowManager>();
        if (!windowManager_->running())
            QSKIP(qPrintable(windowManager_->skipReason()));
        skin::setEnabled(false);
    }
    void cleanupTestCase() { windowManager_.reset(); }

    void helpStaysAboveTheMainWindow() {
        test::TestEnv env;
        env.writeFile(QStringLiteral("Help.rtf"), test::shippedHelp());
        test::ScriptedPrompts prompts;
        MainWindow form;
        HelpWindow* help = showWithHelp(form);
        QVERIFY(help);
        QTRY_VERIFY(WindowManager::stackedAbove(help, &form));

        // Another window over the main window; then a click into the main window activates and
        // raises it above that one, and the help window stays on top of it.
        QWidget other;
        other.setWindowTitle(QStringLiteral("other"));
        other.setGeometry(form.geometry().adjusted(40, 40, -40, -40));
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTRY_VERIFY(WindowManager::stackedAbove(&other, &form));
        for (int click = 0; click < 2; ++click) {
            other.raise();
            QTRY_VERIFY(WindowManager::stackedAbove(&other, &form));
            form.activateWindow();
            form.raise();
            QTRY_VERIFY(WindowManager::stackedAbove(&form, &other));
            QVERIFY(WindowManager::stackedAbove(help, &form));
        }
    }

    // Where the help window opens at start-up, by where the main window was left (its frame's
    // left edge and width, in parts of the screen's width).
    void helpOpensBesideTheMainWindow_data() {
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("width");
        QTest::addColumn<QString>("side");
        QTest::newRow("at the left edge: right of it") << 0.0 << 0.5 << "right";
        QTest::newRow("at the right edge: left of it") << 0.5 << 0.5 << "left";
        QTest::newRow("more room on the right, not enough: right of it, narrowed")
            << 0.2 << 0.5 << "right";
        QTest::newRow("the whole width: over its centre") << 0.0 << 1.0 << "over";
    }
    void helpOpensBesideTheMainWindow() {
        QFETCH(double, left);
        QFETCH(double, width);
        QFETCH(QString, side);
        test::TestEnv env;
        env.writeFile(QStringLiteral("Help.rtf"), test::shippedHelp());
        test::ScriptedPrompts prompts;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        // The main window as a previous session left it.
        {
            MainWindow previous;
            previous.setGeometry(QRect(screen.left() + int(screen.width() * left) + 8,
                                       screen.top() + 40, int(screen.width() * width) - 16,
                                       screen.height() * 2 / 3));
            previous.close(); // keeps its layout
        }
        MainWindow form;
        HelpWindow* help = showWithHelp(form);
        QVERIFY(help);
        QTRY_VERIFY(help->frameGeometry() != help->geometry()); // the frame is known
        const QRect main = form.frameGeometry();
        const QRect shown = help->frameGeometry();
        const QString where = QStringLiteral("main %1,%2 %3x%4, help %5,%6 %7x%8")
                                  .arg(main.x())
                                  .arg(main.y())
                                  .arg(main.width())
                                  .arg(main.height())
                                  .arg(shown.x())
                                  .arg(shown.y())
                                  .arg(shown.width())
                                  .arg(shown.height());
        if (side == QLatin1String("over")) {
            QVERIFY2(qAbs(shown.center().x() - main.center().x()) <= 2, qPrintable(where));
        } else {
            QVERIFY2(!shown.intersects(main), qPrintable(where));
            QVERIFY2(side == QLatin1String("right") ? shown.left() > main.right()
                                                    : shown.right() < main.left(),
                     qPrintable(where));
            QVERIFY2(screen.contains(shown), qPrintable(where));
            QVERIFY2(shown.width() >= help->minimumWidth(), qPrintable(where));
        }
        QTRY_VERIFY(WindowManager::stackedAbove(help, &form)); // above its owner in every case
    }
};

TALLY_MAIN {
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestHelpStacking test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_help_stacking.moc"
