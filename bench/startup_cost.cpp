// What a start costs, side by side, each figure the median over fresh processes:
//   bare window        a bare Qt Widgets main window (probes/bare_window)
//   bare window + 2D/3D charts   the same with Qt Charts and Data Visualization linked
//                      (probes/bare_window_charts): what the chart libraries add to every start
//   before split       the program as it was before the web engine became a plugin: the web
//                      engine linked (loaded at every start), the shared OpenGL context made with
//                      the application and the main window OpenGL-ready from the start
//                      (probes/program_before_split, built from this file)
//   program            the program as it is
//   program, tab first the same, with the Website View shown a second before the page is asked
//                      for, as a person looks at the tab before choosing a page
// For each: the time from main() to the main window's first exposure, the time from launching
// the process to it (with the loading of the libraries), and the peak resident memory (VmHWM) at
// that moment. For the two programs also the time to open a page of a local server in the Website
// View, the peak resident memory after it, and the memory of the web engine's helper processes.
// Goals for the program: peak memory at start at most 2.5 times the bare window's, time to shown
// at most 1.5 times, the first page in under 300 ms.
//
// Usage: startup_cost [runs]   (needs a display: under Xvfb, with the web engine's usual flags)
#include "bench_stats.h"
#include "startup_probe.h"

#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "gui/kit/opengl_ready.h"
#include "gui/kit/pictures.h"
#include "gui/kit/skin.h"
#include "gui/main/main_window.h"
#include "gui/webview/lazy_web_view.h"
#include "gui/webview/web_engine_plugin.h"
#include "gui/webview/website_frame.h"
#include "support/local_http_server.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

using namespace tally;
using tally::bench::median;

namespace {

// The resident memory of every descendant process, in KiB.
long descendantsRssKiB(const QString& pid) {
    long total = 0;
    const QDir tasks(QStringLiteral("/proc/") + pid + QStringLiteral("/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task) + QStringLiteral("/children"));
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& child : children.readAll().simplified().split(' ')) {
            if (child.isEmpty())
                continue;
            total +=
                bench::statusKiB(child, "VmRSS") + descendantsRssKiB(QString::fromLatin1(child));
        }
    }
    return total;
}

// Runs until the event loop is told to quit or ms have passed.
void runFor(int ms) {
    QTimer::singleShot(ms, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

// Calls back on each drawing of the watched window.
class DrawWatch : public QObject {
public:
    explicit DrawWatch(std::function<void()> drawn) : drawn_(std::move(drawn)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::UpdateRequest)
            drawn_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> drawn_;
};

// One start of the program in this process, as app/main.cpp and the splash window start it (the
// splash window's own pause left out). Prints "<main() to shown, us> <clock at shown, us> <peak
// RSS at shown, KiB> <first page, ms> <peak RSS after it, KiB> <helper processes' RSS, KiB>
// <window drawn after the page was asked for, ms>".
int runProgram(const QElapsedTimer& sinceMain, QApplication& app, int tabLeadMs) {
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(pictures::programIcon());
    ProgramFolder::ensureFolders();
    // What the splash window sets up before it opens the main window.
    skin::setEnabled(true);
    skin::start();

    MainWindow form;
#ifdef TALLY_BENCH_BEFORE_SPLIT
    // The web view then made its window OpenGL-ready as the window was built.
    prepareWindowForOpenGL(&form);
#endif
    form.show();
    while (!form.windowHandle() || !form.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const long long shownAt = bench::monotonicMicros();
    const long long shownUs = sinceMain.nsecsElapsed() / 1000;
    const long hwmAtShown = bench::statusKiB("self", "VmHWM");
    // Let the start-up settle before the page opens.
    test::LocalHttpServer server;
    server.route(QStringLiteral("/"),
                 test::HttpResponse::page("<html><head><title>Home</title></head><body><h1>A "
                                          "home page</h1><p>Some text.</p></body></html>"));
    runFor(500);

    WebsiteFrame* frame = form.websiteFrame();
    QElapsedTimer page;
    page.start();
    form.selectTab(3);
    if (tabLeadMs > 0) {
        runFor(tabLeadMs);
        page.restart();
    }
    frame->findChild<QLineEdit*>(QStringLiteral("Text1"))->setText(server.urlString());
    // The window's first drawing after the click: how long it is kept from answering.
    qint64 drawnMs = -1;
    DrawWatch watch([&] {
        if (drawnMs < 0)
            drawnMs = page.elapsed();
    });
    form.installEventFilter(&watch);
    QObject::connect(frame->browser(), &LazyWebView::loadFinished, &app, &QCoreApplication::quit);
    QTimer::singleShot(60000, &app, &QCoreApplication::quit);
    frame->findChild<QPushButton*>(QStringLiteral("Command10"))->click();
    QCoreApplication::exec();
    const qint64 pageMs = page.elapsed();
    if (!frame->browser()->isCreated())
        return 1;
    runFor(500);
    const QString self = QString::number(QCoreApplication::applicationPid());
    std::printf("%lld %lld %ld %lld %ld %ld %lld\n", shownUs, shownAt, hwmAtShown,
                static_cast<long long>(pageMs), bench::statusKiB("self", "VmHWM"),
                descendantsRssKiB(self), static_cast<long long>(drawnMs));
    std::fflush(stdout);
    return 0;
}

// As the program's main() begins; the program before the split asked for the shared OpenGL
// context before the application existed.
int runProgramMain(int argc, char* argv[], const QElapsedTimer& sinceMain) {
#ifdef TALLY_BENCH_BEFORE_SPLIT
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
#endif
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    // The benchmark gives the program folder and the per-user store, made before the run, and
    // says where the plugin is: its probes live in a folder of their own.
    int tabLeadMs = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        const QString value = QString::fromLocal8Bit(argv[i + 1]);
        if (std::strcmp(argv[i], "--folder") == 0) {
            ProgramFolder::setOverride(value);
            setUserSettingsFile(QDir(value).filePath(QStringLiteral("store.conf")));
        } else if (std::strcmp(argv[i], "--plugins") == 0) {
            setWebEnginePluginFolder(value);
        } else if (std::strcmp(argv[i], "--tab-lead") == 0) {
            tabLeadMs = value.toInt();
        }
    }
    return runProgram(sinceMain, app, tabLeadMs);
}

#ifndef TALLY_BENCH_BEFORE_SPLIT
// The benchmark itself: it starts the runs and reports.

struct Variant {
    const char* key;   // the figures' names begin with startup_<key>
    const char* label; // the table's row
    QString program;
    QStringList arguments;
    bool opensPage;
    // Per figure, the value of every run.
    std::map<int, std::vector<double>> runs;
};

enum Figure { ToShown, LaunchToShown, PeakAtShown, FirstPage, PeakAfterPage, Helpers, Drawn };

// One run of a variant in a fresh process; false when it failed.
bool runOnce(Variant& v) {
    QProcess run;
    run.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Without the web engine's start-up report on every run.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_LOGGING_RULES")))
        env.insert(QStringLiteral("QT_LOGGING_RULES"),
                   QStringLiteral("qt.webenginecontext.info=false"));
    run.setProcessEnvironment(env);
    // A program folder of its own, and a per-user store as an earlier run leaves it, with the help
    // window off at start.
    QTemporaryDir folder;
    QStringList arguments = v.arguments;
    if (v.opensPage) {
        ProgramFolder::setOverride(folder.path());
        setUserSettingsFile(folder.filePath(QStringLiteral("store.conf")));
        UserSettings::setShowHelpAtStart(false);
        UserSettings::setChartType(UserSettings::chartType());
        arguments << QStringLiteral("--folder") << folder.path();
    }
    const long long launchedAt = bench::monotonicMicros();
    run.start(v.program, arguments);
    if (!run.waitForFinished(120000) || run.exitStatus() != QProcess::NormalExit ||
        run.exitCode() != 0)
        return false;
    const QList<QByteArray> f = run.readAllStandardOutput().trimmed().split(' ');
    if (f.size() != (v.opensPage ? 7 : 3))
        return false;
    v.runs[ToShown].push_back(f[0].toDouble() / 1000);
    v.runs[LaunchToShown].push_back((f[1].toLongLong() - launchedAt) / 1000.0);
    v.runs[PeakAtShown].push_back(f[2].toDouble() / 1024);
    if (v.opensPage) {
        v.runs[FirstPage].push_back(f[3].toDouble());
        v.runs[PeakAfterPage].push_back(f[4].toDouble() / 1024);
        v.runs[Helpers].push_back(f[5].toDouble() / 1024);
        v.runs[Drawn].push_back(f[6].toDouble());
    }
    return true;
}
#endif

} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceMain;
    sinceMain.start();
#ifdef TALLY_BENCH_BEFORE_SPLIT
    return runProgramMain(argc, argv, sinceMain);
#else
    if (argc > 1 && std::strcmp(argv[1], "--run") == 0)
        return runProgramMain(argc, argv, sinceMain);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const QString probes = QCoreApplication::applicationDirPath() + QStringLiteral("/probes/");
    const QStringList pluginArgs = {QStringLiteral("--plugins"), webEnginePluginFolder()};
    std::vector<Variant> variants = {
        {"bare_window", "bare window", probes + "bare_window", {}, false, {}},
        {"bare_window_charts",
         "bare window + 2D/3D charts",
         probes + "bare_window_charts",
         {},
         false,
         {}},
        {"before_split", "before split", probes + "program_before_split", pluginArgs, true, {}},
        {"program",
         "program",
         QCoreApplication::applicationFilePath(),
         QStringList{QStringLiteral("--run")} + pluginArgs,
         true,
         {}},
        {"program_tab_first",
         "program, tab first",
         QCoreApplication::applicationFilePath(),
         QStringList{QStringLiteral("--run")} + pluginArgs +
             QStringList{QStringLiteral("--tab-lead"), QStringLiteral("1000")},
         true,
         {}},
    };
    // Round by round, so that a slow spell of the machine weighs on every variant alike, with a
    // pause after each run for the web engine's helper processes to end.
    for (int i = 0; i < runs; ++i) {
        for (Variant& v : variants) {
            if (!runOnce(v)) {
                std::fprintf(stderr, "run %d of %s failed\n", i, v.key);
                return 1;
            }
            QThread::msleep(300);
        }
    }

    for (const Variant& v : variants) {
        const double shown = median(v.runs.at(ToShown));
        const double launch = median(v.runs.at(LaunchToShown));
        const double peak = median(v.runs.at(PeakAtShown));
        std::printf("startup_%s_main_to_shown: %.1f ms\n", v.key, shown);
        std::printf("startup_%s_launch_to_shown: %.1f ms\n", v.key, launch);
        std::printf("startup_%s_peak_rss_at_shown: %.1f MiB\n", v.key, peak);
        if (v.opensPage) {
            std::printf("startup_%s_first_page_in_website_view: %.0f ms\n", v.key,
                        median(v.runs.at(FirstPage)));
            std::printf("startup_%s_peak_rss_after_first_page: %.1f MiB\n", v.key,
                        median(v.runs.at(PeakAfterPage)));
            std::printf("startup_%s_helper_processes_rss_after_first_page: %.1f MiB\n", v.key,
                        median(v.runs.at(Helpers)));
            // None when the window had nothing to draw before the page opened.
            if (const double drawn = median(v.runs.at(Drawn)); drawn >= 0)
                std::printf("startup_%s_window_drawn_after_asking_for_the_page: %.0f ms\n", v.key,
                            drawn);
        }
    }
    const Variant& bare = variants.front();
    const Variant& program = variants.at(3);
    std::printf("startup_program_peak_rss_to_bare_window: %.2f x (goal <= 2.5)\n",
                median(program.runs.at(PeakAtShown)) / median(bare.runs.at(PeakAtShown)));
    std::printf("startup_program_main_to_shown_to_bare_window: %.2f x (goal <= 1.5)\n",
                median(program.runs.at(ToShown)) / median(bare.runs.at(ToShown)));
    std::printf("startup_program_launch_to_shown_to_bare_window: %.2f x\n",
                median(program.runs.at(LaunchToShown)) / median(bare.runs.at(LaunchToShown)));

    // The same figures as a table.
    std::printf("\n%-28s %10s %10s %10s %11s %11s %10s\n", "(medians)", "main>shown", "launch>shn",
                "peak RSS", "first page", "RSS after", "helpers");
    for (const Variant& v : variants) {
        std::printf("%-28s %7.1f ms %7.1f ms %6.1f MiB", v.label, median(v.runs.at(ToShown)),
                    median(v.runs.at(LaunchToShown)), median(v.runs.at(PeakAtShown)));
        if (v.opensPage)
            std::printf(" %8.0f ms %7.1f MiB %6.1f MiB", median(v.runs.at(FirstPage)),
                        median(v.runs.at(PeakAfterPage)), median(v.runs.at(Helpers)));
        std::printf("\n");
    }
    std::printf("(%d runs each)\n", runs);
    return 0;
#endif
}
