// The help window opened at start-up under a real window manager (openbox on the test's X server):
// it stays above the main window when the main window is activated and raised, as a click into it
// does.
#include "core/settings/user_settings.h"
#include "gui/help/help_window.h"
#include "gui/kit/skin.h"
#include "gui/main/main_window.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"

#include <QApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

using namespace tally;

namespace {

xcb_connection_t* connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// A window list property of the root window (the window manager's), bottom to top.
QList<xcb_window_t> rootWindows(const char* property) {
    xcb_connection_t* c = connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atom(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(qstrlen(property)), property),
                              nullptr),
        &std::free);
    QList<xcb_window_t> windows;
    if (!atom || atom->atom == XCB_ATOM_NONE)
        return windows;
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(
            c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 4096), nullptr),
        &std::free);
    if (!reply)
        return windows;
    const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_window_t));
    for (int i = 0; i < count; ++i)
        windows.append(ids[i]);
    return windows;
}

// Whether the window manager stacks the first window above the second.
bool stackedAbove(const QWidget* upper, const QWidget* lower) {
    const QList<xcb_window_t> stacking = rootWindows("_NET_CLIENT_LIST_STACKING");
    const qsizetype u = stacking.indexOf(xcb_window_t(upper->winId()));
    const qsizetype l = stacking.indexOf(xcb_window_t(lower->winId()));
    return u >= 0 && l >= 0 && u > l;
}

} // namespace

class TestHelpStacking : public QObject {
    Q_OBJECT

    QProcess windowManager_;

private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
        if (openbox.isEmpty())
            QSKIP("needs the openbox window manager (packages.txt)");
        QVERIFY(rootWindows("_NET_SUPPORTING_WM_CHECK").isEmpty()); // no other one running
        windowManager_.start(openbox, {QStringLiteral("--sm-disable")});
        QVERIFY(windowManager_.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(!rootWindows("_NET_SUPPORTING_WM_CHECK").isEmpty(), 10000);
        skin::setEnabled(false);
    }
    void cleanupTestCase() {
        if (windowManager_.state() == QProcess::NotRunning)
            return;
        windowManager_.terminate();
        windowManager_.waitForFinished(5000);
    }

    void helpStaysAboveTheMainWindow() {
        test::TestEnv env;
        env.writeFile(QStringLiteral("Help.rtf"), test::shippedHelp());
        test::ScriptedPrompts prompts;
        MainWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY(form.helpWindow() && form.helpWindow()->isVisible());
        HelpWindow* help = form.helpWindow();
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QTRY_VERIFY(stackedAbove(help, &form));

        // Another window over the main window; then a click into the main window activates and
        // raises it above that one, and the help window stays on top of it.
        QWidget other;
        other.setWindowTitle(QStringLiteral("other"));
        other.setGeometry(form.geometry().adjusted(40, 40, -40, -40));
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));
        QTRY_VERIFY(stackedAbove(&other, &form));
        for (int click = 0; click < 2; ++click) {
            other.raise();
            QTRY_VERIFY(stackedAbove(&other, &form));
            form.activateWindow();
            form.raise();
            QTRY_VERIFY(stackedAbove(&form, &other));
            QVERIFY(stackedAbove(help, &form));
        }
    }
};

int main(int argc, char* argv[]) {
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestHelpStacking test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_help_stacking.moc"
