// The main window running a 1,000-URL scan (6,000 requests) against a local server in a thread of
// its own, with the real page fetcher: how long the window's event loop is ever kept from running.
// A 1 ms timer probes the loop; a gap between two of its ticks is a stall. Figures: the longest
// stall and the CPU time the window's thread spent in it, the most CPU spent between two ticks,
// the longest stall while URLs were being scanned, the 99.9th percentile gap, the stall in which
// the window handled the completion (two sorts and the chart hook), and the scan's wall time.
//
// Then six large answers at once: the engines asked in parallel for one URL, each answering a
// 30 MiB result page (its own count passage at the end), and then, as JSON engines, each a JSON
// answer of just under 1 MiB, and one of 30 MiB (beyond the cap of an API's answer): the longest
// stall of each scan and the CPU time spent in it.
//
// Usage: window_scan_stall [urls]
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_table.h"
#include "core/scan/scan_run.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "gui/main/main_window.h"
#include "gui/results/results_table.h"
#include "gui/urllist/url_panel.h"
#include "result_page.h"
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
#include <functional>
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

// A 1 ms timer on the event loop: the longest gap between its ticks and the thread's CPU time in
// that gap; onTick sees every tick.
class StallProbe {
public:
    explicit StallProbe(const QElapsedTimer& clock) : clock_(clock) {
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const double now = clock_.nsecsElapsed() / 1e6;
            const double cpu = threadCpuMs();
            if (now - at_ > longest) {
                longest = now - at_;
                longestCpu = cpu - atCpu_;
            }
            if (onTick)
                onTick(now, now - at_, cpu - atCpu_);
            at_ = now;
            atCpu_ = cpu;
        });
    }
    void start() {
        at_ = clock_.nsecsElapsed() / 1e6;
        atCpu_ = threadCpuMs();
        timer_.start();
    }
    void stop() { timer_.stop(); }

    std::function<void(double now, double gap, double cpu)> onTick;
    double longest = 0, longestCpu = 0;

private:
    const QElapsedTimer& clock_;
    QTimer timer_;
    double at_ = 0, atCpu_ = 0;
};

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int urls = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;

    QTemporaryDir folder;
    ProgramFolder::setOverride(folder.path());
    ProgramFolder::ensureFolders();
    setUserSettingsFile(folder.filePath(QStringLiteral("store.conf")));
    writeSetting(QLatin1String(settingkeys::ShowHelp), QStringLiteral("0"));

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

    // The probe.
    QElapsedTimer clock;
    clock.start();
    std::vector<double> gaps;
    std::vector<double> tickTimes;
    gaps.reserve(200000);
    tickTimes.reserve(200000);
    double longestInLoop = 0;
    double longestCpu = 0;
    bool inLoop = true;
    StallProbe probe(clock);
    probe.onTick = [&](double now, double gap, double cpu) {
        gaps.push_back(gap);
        tickTimes.push_back(now);
        if (inLoop)
            longestInLoop = std::max(longestInLoop, gap);
        longestCpu = std::max(longestCpu, cpu);
    };

    QEventLoop loop;
    double lastRowAt = 0, completedAt = 0;
    QTimer::singleShot(0, &form, [&] {
        probe.start();
        form.startScan();
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
        QObject::connect(run, &ScanRun::finished, &loop, &QEventLoop::quit);
    });
    const double started = clock.nsecsElapsed() / 1e6;
    loop.exec();
    probe.stop();
    const double wall = clock.nsecsElapsed() / 1e6 - started;

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
    std::printf("window_scan_urls: %d urls\n", urls);
    std::printf("window_scan_wall_time: %.0f ms\n", wall);
    std::printf("window_scan_longest_stall: %.2f ms\n", longest);
    std::printf("window_scan_longest_stall_cpu: %.2f ms\n", probe.longestCpu);
    std::printf("window_scan_longest_busy_gap_cpu: %.2f ms\n", longestCpu);
    std::printf("window_scan_longest_stall_during_urls: %.2f ms\n", longestInLoop);
    std::printf("window_scan_gap_p99_9: %.2f ms\n", p999);
    std::printf("window_scan_completion_stall: %.2f ms\n", completionGap);
    std::printf("window_scan_last_row_to_completion: %.2f ms\n", completedAt - lastRowAt);
    std::printf("window_scan_rows: %d rows\n", form.resultsTable()->topLevelItemCount());
    std::fflush(stdout);

    // Six large answers at once.
    writeSetting(QLatin1String(settingkeys::ParallelEngines), QStringLiteral("1"));
    // Each engine's own page, its count at the end.
    QList<QByteArray> largePages;
    for (int e = 0; e < EngineCount; ++e)
        largePages << QByteArray(30 * 1024 * 1024 - 100, 'p') + test::enginePage(e, "1,234");
    const QByteArray largeJson =
        "{\"pad\": \"" + QByteArray(1024 * 1024 - 100, 'j') + "\", \"count\": 4321}";
    const char* const keys[] = {"Google", "Altavista", "Yahoo", "Ask", "MSN", "ATW"};
    const QByteArray hugeJson =
        "{\"pad\": \"" + QByteArray(30 * 1024 * 1024, 'j') + "\", \"count\": 4321}";
    struct Large {
        const char* name;
        QByteArray body; // the same for every engine; none: each engine's large page
        bool json;
    } const larges[] = {{"six_marker_pages_30mib", {}, false},
                        {"six_json_answers_1mib", largeJson, true},
                        {"six_json_answers_30mib", hugeJson, true}};
    for (const Large& c : larges) {
        const QByteArray body = c.body;
        const bool json = c.json;
        server.server()->setHandler([body, largePages](const HttpRequest& r) {
            const int e = test::engineOfPath(r.path);
            return HttpResponse::page(!body.isEmpty()   ? body
                                      : e < EngineCount ? largePages[e]
                                                        : QByteArray());
        });
        QFile engines(folder.filePath(QLatin1String(EnginesIniName)));
        if (json && engines.open(QIODevice::WriteOnly))
            for (const char* key : keys)
                engines.write(QByteArray("[") + key + "]\nKind=json\nPointer=/count\n");
        engines.close();
        form.urlPanel()->list()->clear();
        form.urlPanel()->appendUrls({QStringLiteral("http://www.site.example/")});
        StallProbe tick(clock);
        QEventLoop large;
        int failed = 0;
        QTimer::singleShot(0, &form, [&] {
            tick.start();
            form.startScan();
            ScanRun* run = form.scanRun();
            QObject::connect(run, &ScanRun::finished, &large, [&, run] {
                failed = int(run->failures().size());
                large.quit();
            });
        });
        large.exec();
        tick.stop();
        engines.remove();
        const char* name = c.name;
        std::printf("%s_longest_stall: %.2f ms\n", name, tick.longest);
        std::printf("%s_longest_stall_cpu: %.2f ms\n", name, tick.longestCpu);
        std::printf("%s_failed_cells: %d\n", name, failed);
        std::fflush(stdout);
    }
    return 0;
}
