// A scan run over 1,000 URLs (6,000 requests) against a local server in a thread of its own,
// compared in the same run with curl fetching the same 6,000 addresses one after another in one
// process. Both keep their connection alive. Two settings of the server: each answer after 2 ms
// (a near engine) and at once (the client's own cost). For each: the median wall time of both,
// the median ratio scan / curl, and the longest the event loop was blocked during the scans
// (a 1 ms timer probe), with the most CPU time the thread itself spent between two probe ticks
// (a long stall with little CPU is the machine being busy elsewhere, not the scan).
//
//
// Then the engines asked one after the other against all six at once (parallelEngines): 200 URLs
// against engines that answer after 20 ms, both wall times, their ratio and the longest stall of
// each.
//
// Usage: scan_throughput [urls] [runs at 2 ms] [runs at once] [runs of the 20 ms comparison]
#include "bench_stats.h"
#include "core/product/engine_table.h"
#include "core/net/network_page_fetcher.h"
#include "core/scan/scan_run.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"
#include "result_page.h"
#include "support/local_http_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

using namespace tally;
using tally::bench::median;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;
using tally::test::LocalHttpServerThread;

namespace {

const char* const Paths[] = {"/google", "/altavista", "/yahoo", "/ask", "/msn", "/atw"};
const char* const Queries[] = {"?hl=en&ie=UTF-8&q=link:",   "?q=link:",
                               "?fr=fp-pull-web-t&p=link:", "?qsrc=1&o=312&q=links:",
                               "?FORM=SMCRT&q=link:",       "?cat=web&cs=utf8&q=link:"};

struct ScanFigures {
    double ms = 0;
    double maxStallMs = 0;   // longest gap between probe ticks, beyond the interval
    double maxBusyCpuMs = 0; // most CPU time the thread spent between two ticks
    int requests = 0;
};

qint64 threadCpuNs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

ScanFigures timeScan(const QStringList& urls, const QString& ini, LocalHttpServer* server,
                     bool sixFetchers = false) {
    const int before = server->requestCount();
    NetworkPageFetcher fetchers[EngineCount];
    QList<PageFetcher*> used{&fetchers[0]};
    if (sixFetchers) {
        used.clear();
        for (NetworkPageFetcher& f : fetchers)
            used << &f;
    }
    ScanRun run(urls, ini, used);
    QEventLoop loop;
    QObject::connect(&run, &ScanRun::finished, &loop, &QEventLoop::quit);

    // The probe: a 1 ms timer; the longest gap beyond its interval is the longest stall. The CPU
    // time the thread used within a gap tells our own work from time the machine gave elsewhere.
    QElapsedTimer probeClock;
    qint64 last = 0;
    qint64 longest = 0;
    qint64 lastCpu = threadCpuNs();
    qint64 longestCpu = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = probeClock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        longest = std::max(longest, now - last);
        longestCpu = std::max(longestCpu, cpu - lastCpu);
        last = now;
        lastCpu = cpu;
    });

    QElapsedTimer clock;
    clock.start();
    probeClock.start();
    probe.start();
    run.start();
    loop.exec();
    ScanFigures f;
    f.ms = clock.nsecsElapsed() / 1e6;
    probe.stop();
    f.maxStallMs = std::max(0.0, longest / 1e6 - 1.0);
    f.maxBusyCpuMs = longestCpu / 1e6;
    f.requests = server->requestCount() - before;
    return f;
}

double timeCurl(const QString& configFile) {
    QProcess curl;
    QElapsedTimer clock;
    clock.start();
    curl.start(QStringLiteral("curl"), {QStringLiteral("--config"), configFile});
    if (!curl.waitForFinished(10 * 60 * 1000) || curl.exitCode() != 0) {
        std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
        return -1;
    }
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int urlCount = args.size() > 1 ? args[1].toInt() : 1000;
    const int runsSlow = args.size() > 2 ? args[2].toInt() : 3;
    const int runsFast = args.size() > 3 ? args[3].toInt() : 5;
    const int runsParallel = args.size() > 4 ? args[4].toInt() : 1;

    QTemporaryDir dir;
    setUserSettingsFile(dir.filePath(QStringLiteral("store.conf")));
    if (QStandardPaths::findExecutable(QStringLiteral("curl")).isEmpty()) {
        std::fprintf(stderr, "curl is not installed\n");
        return 1;
    }

    LocalHttpServerThread serverThread;
    LocalHttpServer* server = serverThread.server();
    const QByteArray page = benchResultPage();
    const QString ini = dir.filePath(QStringLiteral("settings.ini"));
    for (int e = 0; e < EngineCount; ++e)
        modINI::WritePrivateProfileStringA(
            EnginesSection, engineTable()[e].key,
            server->urlString(QLatin1String(Paths[e]) + QLatin1String(Queries[e])), ini);

    QStringList urls;
    for (int i = 0; i < urlCount; ++i)
        urls << QStringLiteral("www.site%1.example").arg(i + 1, 4, 10, QLatin1Char('0'));

    // curl's list: the same addresses the scan asks for, in the same order.
    const QString config = dir.filePath(QStringLiteral("curl.conf"));
    {
        QFile out(config);
        out.open(QIODevice::WriteOnly);
        out.write("silent\ngloboff\nuser-agent = \"Mozilla\"\nnoproxy = \"*\"\n");
        for (const QString& url : urls)
            for (int e = 0; e < EngineCount; ++e) {
                const QString address =
                    modINI::ReadIniValue(EnginesSection, engineTable()[e].key, QString(), ini) +
                    url + QLatin1String(engineTable()[e].querySuffix);
                out.write("url = \"" + address.toUtf8() + "\"\noutput = \"/dev/null\"\n");
            }
    }

    // The one-fetcher comparison with curl: one request after the other.
    writeSetting(QLatin1String(settingkeys::ParallelEngines), QStringLiteral("0"));
    for (const int delayMs : {2, 0}) {
        server->setHandler([page, delayMs](const HttpRequest&) {
            HttpResponse r = HttpResponse::page(page);
            r.delayMs = delayMs;
            return r;
        });
        const int runs = delayMs ? runsSlow : runsFast;
        std::vector<double> scanMs, curlMs, ratios, stalls, busy;
        // A warm-up of each, then alternating runs.
        timeScan(urls.mid(0, 50), ini, server);
        for (int i = 0; i < runs; ++i) {
            const int connections = server->connectionCount();
            const ScanFigures s = timeScan(urls, ini, server);
            const int scanConnections = server->connectionCount() - connections;
            const double c = timeCurl(config);
            const int curlConnections = server->connectionCount() - connections - scanConnections;
            // Both sides are meant to keep one connection alive for the whole list.
            if (scanConnections != 1 || curlConnections != 1)
                std::fprintf(stderr, "note: the scan used %d connections, curl %d\n",
                             scanConnections, curlConnections);
            if (s.requests != urlCount * EngineCount || c <= 0) {
                std::fprintf(stderr, "run %d: %d requests, curl %.1f ms\n", i, s.requests, c);
                return 1;
            }
            scanMs.push_back(s.ms);
            curlMs.push_back(c);
            ratios.push_back(s.ms / c);
            stalls.push_back(s.maxStallMs);
            busy.push_back(s.maxBusyCpuMs);
        }
        const char* name = delayMs ? "scan_2ms" : "scan_0ms";
        std::printf("%s_scan_time: %.1f ms\n", name, median(scanMs));
        std::printf("%s_curl_time: %.1f ms\n", name, median(curlMs));
        std::printf("%s_ratio: %.3f scan/curl\n", name, median(ratios));
        std::printf("%s_max_stall: %.2f ms\n", name,
                    *std::max_element(stalls.begin(), stalls.end()));
        std::printf("%s_max_busy_cpu: %.2f ms\n", name,
                    *std::max_element(busy.begin(), busy.end()));
        std::fflush(stdout);
    }

    // One after the other against all six at once, with engines answering after 20 ms.
    server->setHandler([page](const HttpRequest&) {
        HttpResponse r = HttpResponse::page(page);
        r.delayMs = 20;
        return r;
    });
    const QStringList two = urls.mid(0, 200);
    std::vector<double> sequentialMs, parallelMs, ratios, sequentialStall, parallelStall;
    for (int i = 0; i < runsParallel; ++i) {
        writeSetting(QLatin1String(settingkeys::ParallelEngines), QStringLiteral("0"));
        const ScanFigures one = timeScan(two, ini, server, true);
        writeSetting(QLatin1String(settingkeys::ParallelEngines), QStringLiteral("1"));
        const ScanFigures six = timeScan(two, ini, server, true);
        if (one.requests != int(two.size()) * EngineCount ||
            six.requests != int(two.size()) * EngineCount) {
            std::fprintf(stderr, "parallel run %d: %d and %d requests\n", i, one.requests,
                         six.requests);
            return 1;
        }
        sequentialMs.push_back(one.ms);
        parallelMs.push_back(six.ms);
        ratios.push_back(one.ms / six.ms);
        sequentialStall.push_back(one.maxStallMs);
        parallelStall.push_back(six.maxStallMs);
    }
    if (runsParallel > 0) {
        std::printf("engines_20ms_sequential_time: %.1f ms\n", median(sequentialMs));
        std::printf("engines_20ms_parallel_time: %.1f ms\n", median(parallelMs));
        std::printf("engines_20ms_speedup: %.2f sequential/parallel\n", median(ratios));
        std::printf("engines_20ms_sequential_max_stall: %.2f ms\n",
                    *std::max_element(sequentialStall.begin(), sequentialStall.end()));
        std::printf("engines_20ms_parallel_max_stall: %.2f ms\n",
                    *std::max_element(parallelStall.begin(), parallelStall.end()));
    }
    return 0;
}
