// A scan against hostile engines on a local server in a thread of its own. Figures:
//   - the peak resident memory above the idle program of a one-URL scan in which one engine (and
//     then all six, asked one after the other and at once) sends an endless body;
//   - the time from Stop to the end of the run while every engine drips one byte a second.
//
// Usage: scan_hostile
#include "core/product/engine_table.h"
#include "core/net/network_page_fetcher.h"
#include "core/scan/scan_run.h"
#include "core/settings/user_settings.h"
#include "result_page.h"
#include "startup_probe.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace tally;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::LocalHttpServerThread;

namespace {

// Starts the peak (VmHWM) afresh from the current resident size.
void resetPeak() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

struct Run {
    double ms = 0;
    QList<ScanFailure> failures;
};

// A one-URL scan with one fetcher per engine; stopAfterMs >= 0 presses Stop then, and ms is the
// time from Stop to the end of the run.
Run scanOnce(const QString& ini, int stopAfterMs = -1) {
    NetworkPageFetcher fetchers[EngineCount];
    QList<PageFetcher*> list;
    for (NetworkPageFetcher& f : fetchers)
        list << &f;
    ScanRun run({QStringLiteral("www.site.example")}, ini, list);
    QEventLoop loop;
    QObject::connect(&run, &ScanRun::finished, &loop, &QEventLoop::quit);
    QElapsedTimer clock;
    clock.start();
    if (stopAfterMs >= 0)
        QTimer::singleShot(stopAfterMs, &run, [&] {
            clock.restart();
            run.requestStop();
        });
    run.start();
    loop.exec();
    Run r;
    r.ms = clock.nsecsElapsed() / 1e6;
    r.failures = run.failures();
    return r;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    setUserSettingsFile(dir.filePath(QStringLiteral("store.conf")));
    LocalHttpServerThread serverThread;
    auto* server = serverThread.server();
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    test::writeEnginePrefixes(*server, ini);
    const QByteArray page = benchResultPage();

    enum class Kind { Page, Endless, Drip };
    const auto serve = [&](Kind first, Kind others) {
        server->setHandler([page, first, others](const HttpRequest& r) {
            const Kind kind = r.path == QLatin1String("/google") ? first : others;
            HttpResponse response = HttpResponse::page(page);
            if (kind == Kind::Endless) {
                response.body.clear();
                response.generatedSize = qint64(1) << 40;
                response.noLength = true;
            } else if (kind == Kind::Drip) {
                response.body = QByteArray(100000, 'd');
                response.dripBytes = 1;
                response.dripIntervalMs = 1000;
            }
            return response;
        });
    };

    // Warm up: the fetchers, the sockets and the parser have run once.
    serve(Kind::Page, Kind::Page);
    scanOnce(ini);

    struct Case {
        const char* name;
        Kind google, others;
        bool parallel;
    } cases[] = {{"endless_body_one_engine", Kind::Endless, Kind::Page, true},
                 {"endless_body_six_engines_sequential", Kind::Endless, Kind::Endless, false},
                 {"endless_body_six_engines_parallel", Kind::Endless, Kind::Endless, true}};
    for (const Case& c : cases) {
        serve(c.google, c.others);
        writeSetting(QLatin1String(settingkeys::ParallelEngines),
                     c.parallel ? QStringLiteral("1") : QStringLiteral("0"));
        const qint64 idle = bench::statusKiB("self", "VmRSS");
        resetPeak();
        const Run r = scanOnce(ini);
        const qint64 peak = bench::statusKiB("self", "VmHWM");
        std::printf("%s_peak_rss_above_idle: %.1f MiB\n", c.name, (peak - idle) / 1024.0);
        std::printf("%s_time: %.0f ms\n", c.name, r.ms);
        std::printf("%s_failed_cells: %d\n", c.name, int(r.failures.size()));
        std::fflush(stdout);
    }

    for (const bool parallel : {false, true}) {
        serve(Kind::Drip, Kind::Drip);
        writeSetting(QLatin1String(settingkeys::ParallelEngines),
                     parallel ? QStringLiteral("1") : QStringLiteral("0"));
        const Run r = scanOnce(ini, 1500);
        std::printf("stop_to_end_drip_%s: %.2f ms\n", parallel ? "parallel" : "sequential", r.ms);
        std::printf("stop_to_end_drip_%s_stopped_cells: %d\n", parallel ? "parallel" : "sequential",
                    int(r.failures.size()));
        std::fflush(stdout);
    }
    return 0;
}
