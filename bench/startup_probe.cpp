// A bare Qt Widgets program for the start-up benchmark to compare with: a main window of the
// program's size holding a label. Prints "<main() to shown, us> <clock at shown, us> <peak RSS at
// shown, KiB>". Built twice: as it is, and with Qt Charts and Data Visualization linked.
#include "startup_probe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QWindow>

#include <cstdio>

int main(int argc, char* argv[]) {
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("A bare window")));
    window.resize(878, 760);
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const long long shownAt = tally::bench::monotonicMicros();
    std::printf("%lld %lld %ld\n", static_cast<long long>(sinceMain.nsecsElapsed() / 1000), shownAt,
                tally::bench::statusKiB("self", "VmHWM"));
    return 0;
}
