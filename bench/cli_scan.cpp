// A scan of 1,000 URLs (6,000 requests) against engines on a local server (in a thread of its
// own): `tallyscope --scan LIST --csv FILE` as a process of its own against the main window
// scanning the same list in this process. Figures: the median wall time of each and their ratio
// both ways (command line / window, and window / command line), and the command line's peak memory
// (the largest resident set of the process). For comparison, the same command through a program
// linked with the core library alone (probes/cli_core_only): what the windowed libraries that
// tallyscope links cost a scan that never loads a window.
//
// Then the command line beside curl: requests per second of the same scan (the six engines asked
// at once, as by default) against curl fetching the same addresses in one process, six at a time
// (--parallel --parallel-max 6) and one after another (a keep-alive loop), with engines that
// answer at once and after 2 ms, and the ratios of their times (command line / curl). And the
// memory one large answer costs: the peak of a one-URL scan whose first engine answers a 30 MiB
// result page (plain, then gzip-compressed), or, as a JSON engine, a JSON answer of just under
// 1 MiB, above the peak of the same scan with small pages. And a scheduled run of 100 of the
// sites (--run-schedule: scan, save per site, record, notifications) beside --scan --save of them.
//
// The command line runs from a copy of the executable in a temporary folder, which is then its
// program folder (a portable copy), with the per-user store in a temporary home.
//
// First, what the outputs cost: the command line's peak memory writing --json beside --csv
// (TALLY_BENCH_OUTPUTS_ONLY=1: that alone). TALLY_BENCH_CURL_ONLY=1: the command line beside curl
// alone; TALLY_BENCH_DELAYS=0: only the engines that answer at once (a long list at 2 ms takes
// long). curl one after another runs for lists of up to 10,000 URLs.
//
// Usage: cli_scan [urls] [runs]
#include "bench_stats.h"
#include "core/product/engine_table.h"
#include "core/scan/engine_definitions.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "gui/main/main_window.h"
#include "gui/urllist/url_panel.h"
#include "support/encodings.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QListWidget>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

using namespace tally;
using tally::bench::median;

namespace {

struct ProcessFigures {
    double ms = -1;
    double peakMiB = 0;
    double cpuMs = 0; // user and system time
    int exitCode = -1;
};

// The processes are started by a small helper forked at the very start: a child's peak memory
// (ru_maxrss) counts the memory of the process it was forked from, so the window's would count
// in the command line's if this process started it. Requests go down one pipe (the arguments,
// NUL-separated, then an empty one), figures come back up another.
struct Spawner {
    int requests[2] = {-1, -1};
    int answers[2] = {-1, -1};

    static void serve(int in, int out) {
        for (;;) {
            std::vector<std::string> args;
            std::string arg;
            char c = 0;
            for (;;) {
                if (read(in, &c, 1) != 1)
                    _exit(0);
                if (c != 0) {
                    arg += c;
                } else if (arg.empty()) {
                    break;
                } else {
                    args.push_back(arg);
                    arg.clear();
                }
            }
            std::vector<char*> argv;
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ProcessFigures f;
            timespec start{}, end{};
            clock_gettime(CLOCK_MONOTONIC, &start);
            pid_t pid = 0;
            int status = 0;
            rusage usage{};
            // Their summaries on standard error are not the benchmark's output.
            posix_spawn_file_actions_t quiet;
            posix_spawn_file_actions_init(&quiet);
            posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
            const int spawned = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
            posix_spawn_file_actions_destroy(&quiet);
            if (spawned == 0 && wait4(pid, &status, 0, &usage) == pid) {
                clock_gettime(CLOCK_MONOTONIC, &end);
                f.ms = (end.tv_sec - start.tv_sec) * 1e3 + (end.tv_nsec - start.tv_nsec) / 1e6;
                f.peakMiB = usage.ru_maxrss / 1024.0;
                f.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                          (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
                f.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            if (write(out, &f, sizeof f) != sizeof f)
                _exit(1);
        }
    }

    bool start() {
        if (pipe(requests) != 0 || pipe(answers) != 0)
            return false;
        const pid_t pid = fork();
        if (pid < 0)
            return false;
        if (pid == 0) {
            close(requests[1]);
            close(answers[0]);
            serve(requests[0], answers[1]);
        }
        close(requests[0]);
        close(answers[1]);
        return true;
    }

    ProcessFigures run(const QString& program, const QStringList& arguments) {
        QByteArray request = program.toLocal8Bit() + '\0';
        for (const QString& a : arguments)
            request += a.toLocal8Bit() + '\0';
        request += '\0';
        ProcessFigures f;
        if (write(requests[1], request.constData(), size_t(request.size())) != request.size() ||
            read(answers[0], &f, sizeof f) != sizeof f)
            return ProcessFigures();
        return f;
    }
};

double windowScanMs(MainWindow& form, const QStringList& urls) {
    form.urlPanel()->appendUrls(urls);
    QElapsedTimer clock;
    clock.start();
    form.startScan();
    QEventLoop loop;
    QObject::connect(form.scanRun(), &ScanRun::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const double ms = clock.nsecsElapsed() / 1e6;
    form.urlPanel()->list()->clear();
    return ms;
}

} // namespace

int main(int argc, char* argv[]) {
    // The command line's home: its per-user store in a folder of its own.
    QTemporaryDir folder;
    const QString home = folder.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    qputenv("HOME", home.toLocal8Bit());
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    Spawner spawner;
    if (!spawner.start())
        return 1;

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const int urlCount = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;

    test::LocalHttpServerThread server;
    test::serveEnginePages(
        *server.server(), [](int e, const QString&) { return QByteArray::number((e + 1) * 1234); });

    // The command line's program folder: a copy of the program with settings.ini beside it.
    const QString program = folder.filePath(QStringLiteral("tallyscope"));
    const QString coreOnly = folder.filePath(QStringLiteral("cli_core_only"));
    const QString bench = QCoreApplication::applicationDirPath();
    if (!QFile::copy(bench + QStringLiteral("/../bin/tallyscope"), program) ||
        !QFile::copy(bench + QStringLiteral("/probes/cli_core_only"), coreOnly)) {
        std::fprintf(stderr, "the program or the probe is missing\n");
        return 1;
    }
    test::writeEnginePrefixes(*server.server(), folder.filePath(QStringLiteral("settings.ini")));
    QByteArray list;
    QStringList urls;
    for (int i = 0; i < urlCount; ++i) {
        urls << QStringLiteral("www.site%1.example").arg(i, 4, 10, QLatin1Char('0'));
        list += urls.last().toLatin1() + "\r\n";
    }
    const QString listFile = folder.filePath(QStringLiteral("list.txt"));
    QFile out(listFile);
    out.open(QIODevice::WriteOnly);
    out.write(list);
    out.close();
    const QStringList arguments{QStringLiteral("--scan"), listFile, QStringLiteral("--csv"),
                                folder.filePath(QStringLiteral("out.csv")),
                                QStringLiteral("--quiet")};

    const bool curlOnly = qEnvironmentVariableIsSet("TALLY_BENCH_CURL_ONLY");
    // What the outputs cost: the command line's peak with --json beside the same with --csv.
    if (!curlOnly) {
        std::vector<double> csvPeak, jsonPeak;
        for (int i = 0; i < runs; ++i)
            for (const char* output : {"--csv", "--json"}) {
                const ProcessFigures f = spawner.run(
                    program, {QStringLiteral("--scan"), listFile, QLatin1String(output),
                              folder.filePath(QStringLiteral("out")), QStringLiteral("--quiet")});
                (qstrcmp(output, "--csv") == 0 ? csvPeak : jsonPeak).push_back(f.peakMiB);
            }
        std::printf("cli_scan_%d_csv_peak_rss: %.1f MiB\n", urlCount, median(csvPeak));
        std::printf("cli_scan_%d_json_peak_rss: %.1f MiB\n", urlCount, median(jsonPeak));
        std::printf("cli_scan_%d_json_csv_ratio: %.2f json/csv\n", urlCount,
                    median(jsonPeak) / median(csvPeak));
        std::fflush(stdout);
        if (qEnvironmentVariableIsSet("TALLY_BENCH_OUTPUTS_ONLY"))
            return 0;
    }

    // The window: its own program folder and store, the same engines.
    if (!curlOnly) {
        QTemporaryDir windowFolder;
        ProgramFolder::setOverride(windowFolder.path());
        ProgramFolder::ensureFolders();
        setUserSettingsFile(windowFolder.filePath(QStringLiteral("store.conf")));
        writeSetting(QLatin1String(settingkeys::ShowHelp), QStringLiteral("0"));
        test::writeEnginePrefixes(*server.server(), ProgramFolder::settingsIni());
        MainWindow form;
        form.show();

        std::vector<double> cliMs, windowMs, coreMs, ratios, windowRatios, cliPeak, corePeak;
        windowScanMs(form, urls.mid(0, 50)); // warm-up
        for (int i = 0; i < runs; ++i) {
            const ProcessFigures cli = spawner.run(program, arguments);
            const double window = windowScanMs(form, urls);
            const ProcessFigures core = spawner.run(coreOnly, arguments);
            if (cli.exitCode != 0 || core.exitCode != 0) {
                std::fprintf(stderr, "run %d: exit codes %d and %d\n", i, cli.exitCode,
                             core.exitCode);
                return 1;
            }
            cliMs.push_back(cli.ms);
            windowMs.push_back(window);
            coreMs.push_back(core.ms);
            ratios.push_back(cli.ms / window);
            windowRatios.push_back(window / cli.ms);
            cliPeak.push_back(cli.peakMiB);
            corePeak.push_back(core.peakMiB);
        }
        std::printf("cli_scan_%d_time: %.1f ms\n", urlCount, median(cliMs));
        std::printf("window_scan_%d_time: %.1f ms\n", urlCount, median(windowMs));
        std::printf("cli_scan_%d_ratio: %.3f cli/window\n", urlCount, median(ratios));
        std::printf("window_scan_%d_ratio: %.2f window/cli\n", urlCount, median(windowRatios));
        std::printf("cli_scan_%d_peak_rss: %.1f MiB\n", urlCount,
                    *std::max_element(cliPeak.begin(), cliPeak.end()));
        std::printf("core_only_scan_%d_time: %.1f ms\n", urlCount, median(coreMs));
        std::printf("core_only_scan_%d_peak_rss: %.1f MiB\n", urlCount,
                    *std::max_element(corePeak.begin(), corePeak.end()));
        std::fflush(stdout);

        // A scheduled run (--run-schedule: the scan, a saved search per site, the record of runs
        // and what the desktop is told) of 100 sites, beside the same scan and saves asked with
        // --scan.
        {
            const QString list100 = folder.filePath(QStringLiteral("list100.txt"));
            QFile sites(list100);
            sites.open(QIODevice::WriteOnly);
            sites.write(urls.mid(0, 100).join(QStringLiteral("\r\n")).toLatin1() + "\r\n");
            sites.close();
            const QString schedules = home + QStringLiteral("/.config/Tallyscope/schedules");
            QDir().mkpath(schedules);
            QFile schedule(schedules + QStringLiteral("/b.ini"));
            schedule.open(QIODevice::WriteOnly);
            schedule.write("[Schedule]\r\nList=" + list100.toUtf8() +
                           "\r\nEvery=daily\r\nAt=03:00\r\nSave={host}\r\nNotifyDrop=10\r\n");
            schedule.close();
            std::vector<double> scheduledMs, scanMs, ratio, peak, scanPeak;
            for (int i = 0; i < runs; ++i) {
                const ProcessFigures run =
                    spawner.run(program, {QStringLiteral("--run-schedule"), QStringLiteral("b"),
                                          QStringLiteral("--quiet")});
                const ProcessFigures scan = spawner.run(
                    program, {QStringLiteral("--scan"), list100, QStringLiteral("--save"),
                              QStringLiteral("{host}"), QStringLiteral("--quiet")});
                if (run.exitCode != 0 || scan.exitCode != 0) {
                    std::fprintf(stderr, "scheduled run: exit codes %d and %d\n", run.exitCode,
                                 scan.exitCode);
                    return 1;
                }
                scheduledMs.push_back(run.ms);
                scanMs.push_back(scan.ms);
                ratio.push_back(run.ms / scan.ms);
                peak.push_back(run.peakMiB);
                scanPeak.push_back(scan.peakMiB);
            }
            std::printf("scheduled_run_100_time: %.1f ms\n", median(scheduledMs));
            std::printf("scan_save_100_time: %.1f ms\n", median(scanMs));
            std::printf("scheduled_run_100_ratio: %.3f scheduled/scan --save\n", median(ratio));
            std::printf("scheduled_run_100_peak_rss: %.1f MiB\n",
                        *std::max_element(peak.begin(), peak.end()));
            std::printf("scan_save_100_peak_rss: %.1f MiB\n",
                        *std::max_element(scanPeak.begin(), scanPeak.end()));
            std::fflush(stdout);
        }
    }

    // The command line beside curl over the same addresses, in the same order.
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    const QString curlConfig = folder.filePath(QStringLiteral("curl.conf"));
    {
        const QString ini = folder.filePath(QStringLiteral("settings.ini"));
        QFile config(curlConfig);
        config.open(QIODevice::WriteOnly);
        config.write("silent\ngloboff\nuser-agent = \"Mozilla\"\nnoproxy = \"*\"\n");
        for (const QString& url : urls)
            for (int e = 0; e < EngineCount; ++e)
                config.write(
                    "url = \"" +
                    (modINI::ReadIniValue(EnginesSection, engineTable()[e].key, QString(), ini) +
                     url + QLatin1String(engineTable()[e].querySuffix))
                        .toUtf8() +
                    "\"\noutput = \"/dev/null\"\n");
    }
    const auto serve = [&](int delayMs, const QByteArray& firstEngineBody, bool gzip) {
        server.server()->setHandler([=](const test::HttpRequest& r) {
            const int e = test::engineOfPath(r.path);
            test::HttpResponse response =
                e == 0 && !firstEngineBody.isEmpty() ? test::HttpResponse::page(firstEngineBody)
                : e < EngineCount ? test::HttpResponse::page(test::enginePage(e, "1,234"))
                                  : test::HttpResponse::page("", 404);
            if (e == 0 && gzip)
                response.headers.append(
                    std::pair<QByteArray, QByteArray>("Content-Encoding", "gzip"));
            response.delayMs = delayMs;
            return response;
        });
    };
    const double requests = double(urlCount) * EngineCount;
    QList<int> delays{0, 2};
    if (const QString chosen = qEnvironmentVariable("TALLY_BENCH_DELAYS"); !chosen.isEmpty()) {
        delays.clear();
        for (const QString& d : chosen.split(QLatin1Char(',')))
            delays << d.toInt();
    }
    const bool withLoop = urlCount <= 10000;
    for (const int delayMs : std::as_const(delays)) {
        serve(delayMs, {}, false);
        std::vector<double> scanMs, parallelMs, loopMs, toParallel, toLoop, scanCpu, parallelCpu;
        for (int i = 0; i < runs; ++i) {
            const ProcessFigures cli = spawner.run(program, arguments);
            const ProcessFigures parallel =
                spawner.run(curl, {QStringLiteral("--parallel"), QStringLiteral("--parallel-max"),
                                   QStringLiteral("6"), QStringLiteral("--config"), curlConfig});
            const ProcessFigures loop =
                withLoop ? spawner.run(curl, {QStringLiteral("--config"), curlConfig})
                         : ProcessFigures{1, 0, 0, 0};
            if (cli.exitCode != 0 || parallel.exitCode != 0 || loop.exitCode != 0) {
                std::fprintf(stderr, "%d ms: exit codes %d, %d and %d (curl)\n", delayMs,
                             cli.exitCode, parallel.exitCode, loop.exitCode);
                return 1;
            }
            scanMs.push_back(cli.ms);
            scanCpu.push_back(cli.cpuMs);
            parallelCpu.push_back(parallel.cpuMs);
            parallelMs.push_back(parallel.ms);
            loopMs.push_back(loop.ms);
            toParallel.push_back(cli.ms / parallel.ms);
            toLoop.push_back(cli.ms / loop.ms);
        }
        std::printf("cli_scan_%dms_requests_per_second: %.0f requests/s\n", delayMs,
                    requests / median(scanMs) * 1000);
        std::printf("curl_parallel_%dms_requests_per_second: %.0f requests/s\n", delayMs,
                    requests / median(parallelMs) * 1000);
        if (withLoop)
            std::printf("curl_loop_%dms_requests_per_second: %.0f requests/s\n", delayMs,
                        requests / median(loopMs) * 1000);
        std::printf("cli_scan_%dms_ratio_parallel: %.3f cli/curl --parallel\n", delayMs,
                    median(toParallel));
        if (withLoop)
            std::printf("cli_scan_%dms_ratio_loop: %.3f cli/curl loop\n", delayMs, median(toLoop));
        std::printf("cli_scan_%dms_cpu: %.0f ms (curl --parallel: %.0f ms)\n", delayMs,
                    median(scanCpu), median(parallelCpu));
        std::fflush(stdout);
    }

    if (curlOnly)
        return 0;

    // One large answer, against small ones.
    const QString oneUrl = folder.filePath(QStringLiteral("one.txt"));
    QFile one(oneUrl);
    one.open(QIODevice::WriteOnly);
    one.write("www.site.example\r\n");
    one.close();
    const QStringList oneArguments{QStringLiteral("--scan"), oneUrl, QStringLiteral("--csv"),
                                   folder.filePath(QStringLiteral("one.csv")),
                                   QStringLiteral("--quiet")};
    const QString enginesIni = folder.filePath(QLatin1String(EnginesIniName));
    const auto peakOf = [&](const QString& which, const QByteArray& body, bool gzip, bool json) {
        QFile::remove(enginesIni);
        if (json) {
            QFile file(enginesIni);
            file.open(QIODevice::WriteOnly);
            file.write("[Google]\nKind=json\nPointer=/count\n");
        }
        serve(0, body, gzip);
        std::vector<double> peaks;
        for (int i = 0; i < runs; ++i) {
            const ProcessFigures f = spawner.run(which, oneArguments);
            if (f.exitCode != 0)
                std::fprintf(stderr, "a large answer gave no count (exit code %d)\n", f.exitCode);
            peaks.push_back(f.peakMiB);
        }
        QFile::remove(enginesIni);
        return median(peaks);
    };
    const QByteArray largePage =
        QByteArray(30 * 1024 * 1024 - 100, 'p') + "</b> of about <b>1,234</b> linking to <b>x</b>";
    const QByteArray largeJson =
        "{\"pad\": \"" + QByteArray(1024 * 1024 - 100, 'j') + "\", \"count\": 4321}";
    // The program, and the same scan on the core library alone (a smaller start-up peak).
    for (const QString& which : {program, coreOnly}) {
        const char* name = which == program ? "cli" : "core_only";
        const double idle = peakOf(which, {}, false, false);
        std::printf("%s_one_url_peak_rss: %.1f MiB\n", name, idle);
        std::printf("%s_marker_page_30mib_peak_above_idle: %.1f MiB\n", name,
                    peakOf(which, largePage, false, false) - idle);
        std::printf("%s_marker_page_30mib_gzip_peak_above_idle: %.1f MiB\n", name,
                    peakOf(which, test::gzipped(largePage), true, false) - idle);
        std::printf("%s_json_answer_1mib_peak_above_idle: %.1f MiB\n", name,
                    peakOf(which, largeJson, false, true) - idle);
        std::fflush(stdout);
    }
    return 0;
}
