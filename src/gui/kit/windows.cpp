#include "gui/kit/windows.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace tally {

void setDesignedSize(QWidget* control, const QSize& designed) {
    control->setMinimumSize(designed);
    control->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

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

QRect fittedGeometry(const QSize& size, const QMargins& frame, const QRect& available) {
    const QSize room = available.marginsRemoved(frame).size();
    const QSize fitted(qMax(1, qMin(size.width(), room.width())),
                       qMax(1, qMin(size.height(), room.height())));
    QRect outer(QPoint(0, 0), fitted.grownBy(frame));
    outer.moveCenter(available.center());
    // An area too small even for the frame: its top-left corner stays on the screen.
    outer.moveTopLeft(
        QPoint(qMax(outer.left(), available.left()), qMax(outer.top(), available.top())));
    return outer.marginsRemoved(frame);
}

QRect besideGeometry(const QSize& size, const QSize& least, const QMargins& frame,
                     const QRect& owner, const QRect& available) {
    const int outerWidth = size.width() + frame.left() + frame.right();
    const int rightRoom = available.right() - owner.right();
    const int leftRoom = owner.left() - available.left();
    const int leastOuter = least.width() + frame.left() + frame.right();
    const bool right = rightRoom >= std::min(outerWidth, leastOuter) &&
                       (rightRoom >= outerWidth || rightRoom >= leftRoom);
    const int room = right ? rightRoom : leftRoom;
    if (room < leastOuter && room < outerWidth)
        return QRect();
    const int width = std::min(outerWidth, room) - frame.left() - frame.right();
    const int roomHigh = available.height() - frame.top() - frame.bottom();
    const int height =
        std::max(std::min(size.height(), roomHigh), std::min(least.height(), roomHigh));
    QRect outer(0, 0, width + frame.left() + frame.right(), height + frame.top() + frame.bottom());
    outer.moveTop(
        std::max(available.top(), std::min(owner.top(), available.bottom() + 1 - outer.height())));
    if (right)
        outer.moveLeft(owner.right() + 1);
    else
        outer.moveRight(owner.left() - 1);
    return outer.marginsRemoved(frame);
}

void fitOnScreen(QWidget* window) {
    if (!window)
        return;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QMargins frame;
    if (window->isVisible() && window->frameGeometry() != window->geometry()) {
        const QRect outer = window->frameGeometry();
        const QRect inner = window->geometry();
        frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    } else {
        // A usual title bar and border, scaled with the font.
        const int title = QFontMetrics(QGuiApplication::font()).height() * 2;
        frame = QMargins(4, title, 4, 4);
    }
    const QRect placed = fittedGeometry(window->size(), frame, screen->availableGeometry());
    window->resize(placed.size());
    window->move(placed.topLeft() - QPoint(frame.left(), frame.top()));
}

void sizeToContents(QWidget* window, const QSize& least) {
    QSize size = window->sizeHint().expandedTo(least);
    if (const QLayout* layout = window->layout(); layout && layout->hasHeightForWidth())
        size.setHeight(std::max(size.height(), layout->totalHeightForWidth(size.width())));
    if (const QScreen* screen =
            window->screen() ? window->screen() : QGuiApplication::primaryScreen()) {
        // Room for a usual title bar and border, scaled with the font.
        const int title = QFontMetrics(QGuiApplication::font()).height() * 2;
        size = size.boundedTo(screen->availableGeometry().size() - QSize(8, title + 4));
    }
    window->resize(size);
}

bool frameIsOnScreen(const QWidget* window) {
    const QScreen* screen = window ? window->screen() : nullptr;
    return !screen || screen->availableGeometry().contains(window->frameGeometry());
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
