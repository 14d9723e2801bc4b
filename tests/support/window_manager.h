// A real window manager for the tests that need one (stacking, placement, window classes): openbox
// started on the test's X server, and what it says about the windows through the root window's
// properties.
#pragma once

#include <QList>
#include <QProcess>
#include <QString>

#include <cstdint>

class QWidget;

namespace tally::test {

class WindowManager {
public:
    // Starts openbox when the platform is X11, none runs yet and openbox is installed; otherwise
    // why not in skipReason().
    WindowManager();
    ~WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

    bool running() const { return skipReason_.isEmpty(); }
    QString skipReason() const { return skipReason_; }

    // The client windows the manager lists, bottom to top.
    static QList<std::uint32_t> stacking();
    // Whether the manager stacks the first window above the second.
    static bool stackedAbove(const QWidget* upper, const QWidget* lower);
    // A window's WM_CLASS: its instance and its class name.
    static QStringList windowClass(std::uint32_t window);

private:
    QProcess process_;
    QString skipReason_;
};

} // namespace tally::test
