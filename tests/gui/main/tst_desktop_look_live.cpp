// "Use the desktop's colours and fonts" switched on and off while windows are open, on a desktop
// whose colour scheme is dark: a platform theme (Qt's KDE theme reading kdeglobals from the test's
// own configuration folder) hands the program a dark palette, as a dark desktop does. Every open
// window takes the desktop's dark colours at once, and the skin's again when switched off.
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "gui/kit/skin.h"
#include "gui/options/options_dialog.h"
#include "support/window_manager.h"

using namespace tally;
using namespace tally::test;

namespace {

const QColor DesktopWindow(42, 46, 50);
const QColor DesktopText(239, 240, 241);

// Both windows' colours: the window's back and its text.
QString coloursOf(QWidget* window) {
    return window->palette().color(QPalette::Window).name() + QLatin1Char('/') +
           window->palette().color(QPalette::WindowText).name();
}

} // namespace

class TestDesktopLookLive : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void switchedOnAndOffLive() {
        // The View menu is driven from the keyboard of the active window.
        WindowManager manager;
        if (!manager.running())
            QSKIP(qPrintable(manager.skipReason()));
        skin::setEnabled(true); // as the splash window does
        MainWindowFixture f;
        MainWindow* form = f.form.get();
        const QString skinned = coloursOf(form);
        QCOMPARE(form->palette().color(QPalette::Window), skin::colours().panel);
        form->showOptions(); // modeless, a window of its own
        OptionsDialog* options = form->optionsDialog();
        QVERIFY(options && options->isVisible());
        const QString dark = DesktopWindow.name() + QLatin1Char('/') + DesktopText.name();
        const QStringList shots{QStringLiteral("live-look-desktop-dark"),
                                QStringLiteral("live-look-skin-again")};
        for (int pass = 0; pass < 2; ++pass) {
            activate(form);
            QTest::keyClick(form, Qt::Key_V, Qt::AltModifier);
            QTest::keyClick(openPopup(), Qt::Key_U);
            const QString expected = pass == 0 ? dark : skinned;
            QTRY_COMPARE(coloursOf(form), expected);
            QCOMPARE(coloursOf(options), expected);
            screenshot(form, shots.at(pass));
            screenshot(options, shots.at(pass) + QStringLiteral("-options"));
        }
    }
};

TALLY_MAIN {
    // The desktop's colour scheme, dark, where Qt's KDE platform theme reads it: the configuration
    // folder of a home of the test's own (QStandardPaths' test mode puts it under .qttest).
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral(".qttest/config"));
    QFile globals(home.filePath(QStringLiteral(".qttest/config/kdeglobals")));
    if (!globals.open(QIODevice::WriteOnly))
        return 1;
    globals.write("[Colors:Window]\nBackgroundNormal=42,46,50\nForegroundNormal=239,240,241\n"
                  "[Colors:View]\nBackgroundNormal=27,30,32\nForegroundNormal=239,240,241\n"
                  "[Colors:Button]\nBackgroundNormal=49,54,59\nForegroundNormal=239,240,241\n"
                  "[Colors:Selection]\nBackgroundNormal=61,174,233\n"
                  "ForegroundNormal=252,252,252\n");
    globals.close();
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("QT_QPA_PLATFORMTHEME", "kde");
    qputenv("KDE_SESSION_VERSION", "5");
    return tally::test::runWindowTest<TestDesktopLookLive>(argc, argv);
}

#include "tst_desktop_look_live.moc"
