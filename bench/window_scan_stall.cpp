// The main window running a 1,000-URL scan (6,000 requests) against a local server in a thread of
// its own, with the real page fetcher: how long the window's event loop is ever kept from running.
// A 1 ms timer probes the loop; a gap between two of its ticks is a stall. Figures: the longest
// stall and the CPU time the window's thread spent in it, the most CPU spent between two ticks,
// the longest stall while URLs were being scanned, the 99.9th percentile gap, the stall in which
// the window handled the completion (two sorts and the chart hook), the scan's wall time and its
// time per URL, the requests that gave no count (0 with the benchmark page), and the window's
// memory: its resident size before the scan, after it and at its peak, and per URL scanned (the
// local server's log of requests is emptied as the scan goes, so that it does not count). A stall
// with little CPU in it is the machine running something else: the most CPU the window's thread
// spent between two ticks while URLs were scanned is the window's own longest stall.
//
// Then six large answers at once (see the end), each measured the same way.
//
// Usage: window_scan_stall [urls] [--sequential] (the engines one after the other; else all six
// at once)
#include "core/results/results_model.h"
#include "core/scan/engine_definitions.h"
#include "core/product/engine_table.h"
#include "core/scan/scan_run.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "gui/main/main_window.h"
#include "gui/results/results_table.h"
#include "gui/urllist/url_panel.h"
#include "result_page.h"
#include "startup_probe.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace tally;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::LocalHttpServerThread;

namespace {

// CPU time of this thread in milliseconds: a wall-clock gap with little CPU in it is the machine
// running something else, not the window being busy.
double threadCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int urls = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const bool sequential = argc > 2 && qstrcmp(argv[2], "--sequential") == 0;

    QTemporaryDir folder;
    ProgramFolder::setOverride(folder.path());
    ProgramFolder::ensureFolders();
    setUserSettingsFile(folder.filePath(QStringLiteral("store.conf")));
    writeSetting(QLatin1String(settingkeys::ShowHelp), QStringLiteral("0"));
    writeSetting(QLatin1String(settingkeys::ParallelEngines),
                 sequential ? QStringLiteral("0") : QStringLiteral("1"));

    LocalHttpServerThread server;
    const QByteArray page = benchResultPage();
    server.server()->setHandler([page](const HttpRequest&) { return HttpResponse::page(page); });
    test::writeEnginePrefixes(*server.server(), ProgramFolder::settingsIni());

    MainWindow form;
    form.show();
    QStringList list;
    for (int i = 0; i < urls; ++i)
        list << QStringLiteral("http://www.site%1.example/").arg(i);
    form.urlPanel()->appendUrls(list);
    const long rssBefore = bench::statusKiB("self", "VmRSS");

    // The probe.
    QElapsedTimer clock;
    clock.start();
    std::vector<double> gaps;
    std::vector<double> tickTimes;
    gaps.reserve(200000);
    tickTimes.reserve(200000);
    double last = 0;
    double lastCpu = 0;
    double longestInLoop = 0;
    double longestCpuInLoop = 0;
    double longestCpuInLoopAt = 0;
    double longestGap = 0;
    double longestGapCpu = 0;
    double longestCpu = 0;
    bool inLoop = true;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const double now = clock.nsecsElapsed() / 1e6;
        const double cpu = threadCpuMs();
        const double gap = now - last;
        gaps.push_back(gap);
        tickTimes.push_back(now);
        if (inLoop) {
            longestInLoop = std::max(longestInLoop, gap);
            if (cpu - lastCpu > longestCpuInLoop) {
                longestCpuInLoop = cpu - lastCpu;
                longestCpuInLoopAt = now;
            }
        }
        if (gap > longestGap) {
            longestGap = gap;
            longestGapCpu = cpu - lastCpu;
        }
        longestCpu = std::max(longestCpu, cpu - lastCpu);
        last = now;
        lastCpu = cpu;
    });

    // The server's log of requests is the test server's, not the window's memory.
    QTimer trimLog;
    trimLog.setInterval(250);
    QObject::connect(&trimLog, &QTimer::timeout, [&server] { server.server()->clearLog(); });
    trimLog.start();

    QEventLoop loop;
    double lastRowAt = 0, completedAt = 0;
    double startCpu = 0;
    // The window is painted for the first time before the probe starts: that paint is no stall of
    // the scan.
    QTimer::singleShot(500, &form, [&] {
        last = clock.nsecsElapsed() / 1e6;
        lastCpu = threadCpuMs();
        probe.start();
        const double before = threadCpuMs();
        form.startScan();
        startCpu = threadCpuMs() - before;
        ScanRun* run = form.scanRun();
        QObject::connect(run, &ScanRun::rowFinished, [&](int position) {
            if (position == urls) {
                lastRowAt = clock.nsecsElapsed() / 1e6;
                inLoop = false;
            }
        });
        // Connected after the window's own handler, so it runs once the window is done.
        QObject::connect(run, &ScanRun::completed,
                         [&] { completedAt = clock.nsecsElapsed() / 1e6; });
        // The probe goes on a little after the end: the completion's own stall is measured too.
        QObject::connect(run, &ScanRun::finished,
                         [&loop] { QTimer::singleShot(300, &loop, &QEventLoop::quit); });
    });
    const double started = clock.nsecsElapsed() / 1e6;
    loop.exec();
    probe.stop();
    const double wall = clock.nsecsElapsed() / 1e6 - started;
    int failed = 0;
    const ResultsModel* results = form.resultsModel();
    for (int r = 0; r < results->rowCount(); ++r)
        for (int e = 0; e < EngineCount; ++e)
            failed += results->record(r).isFailure(e) ? 1 : 0;
    const long rssAfter = bench::statusKiB("self", "VmRSS");
    const long rssPeak = bench::statusKiB("self", "VmHWM");

    // The gap in which the window handled the scan's completion (status, two sorts, the chart).
    double completionGap = 0;
    for (size_t i = 0; i < tickTimes.size(); ++i)
        if (tickTimes[i] >= completedAt && tickTimes[i] - gaps[i] <= completedAt) {
            completionGap = gaps[i];
            break;
        }
    std::vector<double> sorted = gaps;
    std::sort(sorted.begin(), sorted.end());
    const double longest = sorted.empty() ? 0 : sorted.back();
    const double p999 = sorted.empty() ? 0 : sorted[size_t(double(sorted.size() - 1) * 0.999)];
    std::printf("window_scan_urls: %d urls (%s)\n", urls, sequential ? "sequential" : "parallel");
    std::printf("window_scan_wall_time: %.0f ms\n", wall);
    std::printf("window_scan_time_per_url: %.3f ms\n", wall / urls);
    std::printf("window_scan_failed_requests: %d\n", failed);
    std::printf("window_scan_longest_stall: %.2f ms\n", longest);
    std::printf("window_scan_longest_stall_cpu: %.2f ms\n", longestGapCpu);
    std::printf("window_scan_longest_busy_gap_cpu: %.2f ms\n", longestCpu);
    std::printf("window_scan_longest_stall_during_urls: %.2f ms\n", longestInLoop);
    std::printf("window_scan_longest_busy_gap_cpu_during_urls: %.2f ms (ending %.0f ms after the "
                "start)\n",
                longestCpuInLoop, longestCpuInLoopAt - started);
    std::printf("window_scan_gap_p99_9: %.2f ms\n", p999);
    std::printf("window_scan_start_cpu: %.2f ms\n", startCpu);
    std::printf("window_scan_completion_stall: %.2f ms\n", completionGap);
    std::printf("window_scan_last_row_to_completion: %.2f ms\n", completedAt - lastRowAt);
    std::printf("window_scan_rows: %d rows\n", form.resultsModel()->rowCount());
    std::printf("window_rss_before_scan: %.1f MiB\n", rssBefore / 1024.0);
    std::printf("window_rss_after_scan: %.1f MiB\n", rssAfter / 1024.0);
    std::printf("window_peak_rss: %.1f MiB\n", rssPeak / 1024.0);
    std::printf("window_rss_per_url: %.2f KiB\n", double(rssAfter - rssBefore) / urls);
    std::fflush(stdout);

    // Six large answers at once, for one URL: each engine's own result page of 30 MiB (its count
    // at the end), then, as JSON engines, each a JSON answer of just under 1 MiB, and one of
    // 30 MiB (beyond the cap of an API's answer): the longest stall of each scan and the CPU time
    // the window's thread spent in it.
    trimLog.stop();
    writeSetting(QLatin1String(settingkeys::ParallelEngines), QStringLiteral("1"));
    QList<QByteArray> largePages;
    for (int e = 0; e < EngineCount; ++e)
        largePages << QByteArray(30 * 1024 * 1024 - 100, 'p') + test::enginePage(e, "1,234");
    const QByteArray jsonOf1MiB =
        "{\"pad\": \"" + QByteArray(1024 * 1024 - 100, 'j') + "\", \"count\": 4321}";
    const QByteArray jsonOf30MiB =
        "{\"pad\": \"" + QByteArray(30 * 1024 * 1024, 'j') + "\", \"count\": 4321}";
    const struct {
        const char* name;
        QByteArray body; // the same for every engine; none: each engine's large page
    } larges[] = {{"six_marker_pages_30mib", {}},
                  {"six_json_answers_1mib", jsonOf1MiB},
                  {"six_json_answers_30mib", jsonOf30MiB}};
    for (const auto& large : larges) {
        const QByteArray body = large.body;
        server.server()->setHandler([body, largePages](const HttpRequest& r) {
            const int e = test::engineOfPath(r.path);
            return HttpResponse::page(!body.isEmpty()   ? body
                                      : e < EngineCount ? largePages[e]
                                                        : QByteArray());
        });
        QFile engines(folder.filePath(QLatin1String(EnginesIniName)));
        if (!body.isEmpty() && engines.open(QIODevice::WriteOnly))
            for (const EngineInfo& engine : engineTable())
                engines.write("[" + QByteArray(engine.key) + "]\nKind=json\nAddress=" +
                              server.server()->urlString(QStringLiteral("/json")).toUtf8() +
                              "?u={encoded-url}\nPointer=/count\n");
        engines.close();
        form.urlPanel()->list()->clear();
        form.urlPanel()->appendUrls({QStringLiteral("http://www.site.example/")});

        double largeLongest = 0, largeLongestCpu = 0;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const double now = clock.nsecsElapsed() / 1e6;
            const double cpu = threadCpuMs();
            if (now - last > largeLongest) {
                largeLongest = now - last;
                largeLongestCpu = cpu - lastCpu;
            }
            last = now;
            lastCpu = cpu;
        });
        QEventLoop done;
        int failedCells = 0;
        QTimer::singleShot(0, &form, [&] {
            last = clock.nsecsElapsed() / 1e6;
            lastCpu = threadCpuMs();
            tick.start();
            form.startScan();
            QObject::connect(form.scanRun(), &ScanRun::finished, &done, [&] {
                for (int r = 0; r < results->rowCount(); ++r)
                    for (int e = 0; e < EngineCount; ++e)
                        failedCells += results->record(r).isFailure(e) ? 1 : 0;
                done.quit();
            });
        });
        done.exec();
        tick.stop();
        engines.remove();
        std::printf("%s_longest_stall: %.2f ms\n", large.name, largeLongest);
        std::printf("%s_longest_stall_cpu: %.2f ms\n", large.name, largeLongestCpu);
        std::printf("%s_failed_cells: %d\n", large.name, failedCells);
        std::fflush(stdout);
    }
    return 0;
}
