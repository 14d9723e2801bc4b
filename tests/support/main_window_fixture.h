// What the main window's tests share: a shown main window in a temporary program folder with an
// isolated per-user store.
#pragma once

#include "core/settings/user_settings.h"
#include "gui/main/main_window.h"
#include "support/gl_test_main.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QtTest>

#include <memory>

namespace tally::test {

// The menu that popped up (a failure when none does).
inline QMenu* openPopup() {
    QMenu* menu = nullptr;
    [&] { QTRY_VERIFY((menu = qobject_cast<QMenu*>(QApplication::activePopupWidget()))); }();
    return menu;
}

// A window's picture as it shows now; with TALLY_SCREENSHOTS set to a folder, also kept there as
// NAME.png for a person to look at.
inline QImage screenshot(QWidget* window, const QString& name) {
    QTest::qWait(50); // laid out and painted
    const QImage shot = window->grab().toImage();
    if (const QString folder = qEnvironmentVariable("TALLY_SCREENSHOTS"); !folder.isEmpty()) {
        QDir().mkpath(folder);
        shot.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
    return shot;
}

// The window made the active one, as a click into it does. A window manager may let a request
// pass unanswered (one made in the same moment as the last change of focus is no newer than it):
// asked again, it takes a later one.
inline void activate(QWidget* window) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        window->activateWindow();
        if (QTest::qWaitForWindowActive(window, 1000))
            return;
    }
    QFAIL("the window did not become active");
}

// The items of the window's menus (the menu bar, every menu and context menu) that have no Alt
// key or share it with another item of their menu, as "menu: caption".
inline QStringList itemsWithoutOwnAltKey(QWidget* window) {
    QList<QWidget*> menus;
    for (QMenuBar* bar : window->findChildren<QMenuBar*>())
        menus << bar;
    for (QMenu* menu : window->findChildren<QMenu*>())
        menus << menu;
    QStringList missing;
    for (QWidget* menu : std::as_const(menus)) {
        QList<QKeySequence> seen;
        for (QAction* action : menu->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            const QKeySequence key = QKeySequence::mnemonic(action->text());
            if (key.isEmpty() || seen.contains(key))
                missing << menu->objectName() + QStringLiteral(": ") + action->text();
            seen << key;
        }
    }
    return missing;
}

// A program folder, a per-user store (help window off unless asked for, Sources hint done),
// scripted prompts and the main window, shown and laid out.
struct MainWindowFixture {
    TestEnv env;
    ScriptedPrompts prompts;
    std::unique_ptr<MainWindow> form;

    explicit MainWindowFixture(bool show = true, bool helpAtStart = false) {
        writeSetting(QLatin1String(settingkeys::ShowHelp),
                     helpAtStart ? QStringLiteral("1") : QStringLiteral("0"));
        // The Sources hint would show on this fresh start and move the window's content down.
        writeSetting(QLatin1String(settingkeys::SourcesHint), QStringLiteral("1"));
        open(product(), show);
    }

    // Replaces the main window by one that shows other product information (a test's own site).
    void open(const ProductInfo& info, bool show = true) {
        form.reset();
        form = std::make_unique<MainWindow>(info);
        if (show) {
            form->show();
            if (!QTest::qWaitForWindowExposed(form.get()))
                qWarning("the main window was not exposed");
        }
    }
    ~MainWindowFixture() {
        form.reset();
        // Windows the main window opened without an owner (Options, browser) go with the test.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible())
                w->close();
    }

    template <typename T> T* find(const char* name) const {
        return form->findChild<T*>(QLatin1String(name));
    }
};

} // namespace tally::test
