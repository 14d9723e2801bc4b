#include "support/window_manager.h"

#include <QGuiApplication>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace tally::test {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;

xcb_connection_t* connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t rootWindow() {
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

xcb_atom_t atom(const char* name) {
    xcb_connection_t* c = connection();
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, uint16_t(qstrlen(name)), name), nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QByteArray property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) {
    xcb_connection_t* c = connection();
    if (name == XCB_ATOM_NONE)
        return QByteArray();
    Reply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 16384), nullptr),
        &std::free);
    if (!reply)
        return QByteArray();
    // The value's length in bytes, whatever its format.
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

QList<std::uint32_t> windowList(const char* name) {
    const QByteArray bytes = property(rootWindow(), atom(name), XCB_ATOM_WINDOW);
    QList<std::uint32_t> windows;
    const auto* ids = reinterpret_cast<const xcb_window_t*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size() / qsizetype(sizeof(xcb_window_t)); ++i)
        windows.append(ids[i]);
    return windows;
}

} // namespace

WindowManager::WindowManager() {
    if (QGuiApplication::platformName() != QLatin1String("xcb") || !connection()) {
        skipReason_ = QStringLiteral("needs an X server");
        return;
    }
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (openbox.isEmpty()) {
        skipReason_ = QStringLiteral("needs the openbox window manager (packages.txt)");
        return;
    }
    if (!windowList("_NET_SUPPORTING_WM_CHECK").isEmpty()) {
        skipReason_ = QStringLiteral("another window manager runs on this display");
        return;
    }
    process_.start(openbox, {QStringLiteral("--sm-disable")});
    if (!process_.waitForStarted() ||
        !QTest::qWaitFor([] { return !windowList("_NET_SUPPORTING_WM_CHECK").isEmpty(); }, 10000))
        skipReason_ = QStringLiteral("openbox did not start");
}

WindowManager::~WindowManager() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    process_.waitForFinished(5000);
}

QList<std::uint32_t> WindowManager::stacking() {
    return windowList("_NET_CLIENT_LIST_STACKING");
}

bool WindowManager::stackedAbove(const QWidget* upper, const QWidget* lower) {
    const QList<std::uint32_t> order = stacking();
    const qsizetype u = order.indexOf(std::uint32_t(upper->winId()));
    const qsizetype l = order.indexOf(std::uint32_t(lower->winId()));
    return u >= 0 && l >= 0 && u > l;
}

QStringList WindowManager::windowClass(std::uint32_t window) {
    const QByteArray bytes = property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
    QStringList parts;
    for (const QByteArray& part : bytes.split('\0'))
        if (!part.isEmpty())
            parts << QString::fromLatin1(part);
    return parts;
}

} // namespace tally::test
