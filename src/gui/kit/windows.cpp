#include "gui/kit/windows.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace tally {

void setAlwaysOnTop(QWidget* window, bool on) {
    if (!window)
        return;
    QWidget* w = window->window();
    const Qt::WindowFlags current = w->windowFlags();
    const Qt::WindowFlags wanted =
        on ? current | Qt::WindowStaysOnTopHint : current & ~Qt::WindowStaysOnTopHint;
    if (wanted != current) {
        if (QWindow* handle = w->windowHandle()) {
            // The native window exists: change its hint in place, so that it is neither hidden
            // nor re-created, moved or resized (the window manager is told through its state).
            w->overrideWindowFlags(wanted);
            handle->setFlags(wanted);
        } else {
            // Not created yet: there is nothing to move.
            w->setWindowFlags(wanted);
        }
    }
    if (on && w->isVisible())
        w->raise();
}

void bringForward(QWidget* window) {
    if (!window)
        return;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void centreOnScreen(QWidget* window) {
    if (!window)
        return;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    window->move(available.center() - QPoint(window->width() / 2, window->height() / 2));
}

} // namespace tally
