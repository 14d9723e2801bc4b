// Filling in 24 months of 100 sites from DataForSEO's history endpoint, as `tallyscope --backfill`
// does it (in process, on the core library), against the stand-in of the API on a local server
// in a thread of its own; beside it, curl sending the same 100 requests (same body and
// authentication) four at a time, as the fill-in keeps four in flight.
// Figures: the requests sent, the fill-in's median time and curl's, the points saved.
//
// Usage: backfill [sites] [runs]
#include "core/history/backfill.h"
#include "bench_stats.h"
#include "core/cli/command_line.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/settings/user_settings.h"
#include "support/api_stand_ins.h"
#include "support/local_http_server.h"
#include "support/test_env.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cstdio>
#include <memory>
#include <vector>

using namespace tally;
using tally::bench::median;

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int sites = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 3;
    if (QStandardPaths::findExecutable(QStringLiteral("curl")).isEmpty()) {
        std::fprintf(stderr, "curl is not installed\n");
        return 1;
    }
    std::unique_ptr<test::ApiStandIn> standIn = test::apiStandIn(QStringLiteral("dataforseo"));
    QList<QPair<QDate, qint64>> months;
    for (QDate d(2024, 12, 1); d <= QDate(2026, 12, 1); d = d.addMonths(1))
        months.append({d, 1000 + d.month()});
    QStringList names;
    for (int i = 0; i < sites; ++i) {
        names << QStringLiteral("site%1.example").arg(i, 3, 10, QLatin1Char('0'));
        standIn->setHistory(names.last(), months);
    }
    test::LocalHttpServerThread server;
    server.server()->setHandler(standIn->handler());
    const QString origin = server.server()->urlString(QString());

    // curl's list: the same POSTs with the same body and authentication.
    const auto& keys = standIn->keys();
    QTemporaryDir folder;
    const QString config = folder.filePath(QStringLiteral("curl.conf"));
    {
        QFile out(config);
        out.open(QIODevice::WriteOnly);
        out.write("parallel\nparallel-max = " + QByteArray::number(BackfillRequestsAtOnce) + "\n");
        const QByteArray user = (keys.at(0).second + QLatin1Char(':') + keys.at(1).second).toUtf8();
        for (const QString& name : names)
            out.write(QByteArray(name == names.first() ? "" : "next\n") +
                      "silent\nnoproxy = \"*\"\nfail\nuser = \"" + user + "\"\nurl = \"" +
                      origin.toUtf8() +
                      "/v3/backlinks/history/live\"\noutput = \"/dev/null\"\nheader = "
                      "\"Content-Type: application/json\"\ndata = \"[{\\\"target\\\": \\\"" +
                      name.toUtf8() + "\\\", \\\"date_from\\\": \\\"2024-12-01\\\"}]\"\n");
    }

    std::vector<double> fillMs, curlMs;
    int requests = 0;
    int points = 0;
    for (int run = 0; run < runs; ++run) {
        test::TestEnv env;
        for (const auto& [name, value] : keys)
            UserSettings::setApiKey(name, value);
        env.writeFile(EnginesIniName, "[Google]\r\nPreset=dataforseo\r\nServer=" + origin.toUtf8() +
                                          "\r\n[Altavista]\r\nKind=off\r\n[Yahoo]\r\nKind=off\r\n"
                                          "[Ask]\r\nKind=off\r\n[MSN]\r\nKind=off\r\n[ATW]\r\n"
                                          "Kind=off\r\n");
        QByteArray list;
        for (const QString& name : names)
            list += "https://www." + name.toUtf8() + "/\r\n";
        env.writeFile(QStringLiteral("list.txt"), list);
        setHistoryToday(QDate(2026, 12, 9));
        const int before = standIn->requestCount();
        QByteArray out, err;
        QBuffer outBuffer(&out), errBuffer(&err);
        outBuffer.open(QIODevice::WriteOnly);
        errBuffer.open(QIODevice::WriteOnly);
        QElapsedTimer clock;
        clock.start();
        const int code = cli::run(
            cli::parseArguments({QStringLiteral("--backfill"), env.file(QStringLiteral("list.txt")),
                                 QStringLiteral("--save"), QStringLiteral("{host}"),
                                 QStringLiteral("--quiet")}),
            &outBuffer, &errBuffer);
        fillMs.push_back(clock.nsecsElapsed() / 1e6);
        if (code != 0) {
            std::fprintf(stderr, "the fill-in failed (%d): %s\n", code, err.constData());
            return 1;
        }
        requests = standIn->requestCount() - before;
        points = 0;
        for (const QString& name : names)
            points += int(readEngineHistory(QStringLiteral("DataForSEO"),
                                            env.file(QStringLiteral("Saved/www.") + name +
                                                     QStringLiteral(".vqz")))
                              .size());

        QProcess curl;
        clock.restart();
        curl.start(QStringLiteral("curl"), {QStringLiteral("--config"), config});
        if (!curl.waitForFinished(10 * 60 * 1000) || curl.exitCode() != 0) {
            std::fprintf(stderr, "curl failed: %s\n", curl.readAllStandardError().constData());
            return 1;
        }
        curlMs.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::printf("backfill_requests: %d requests\n", requests);
    std::printf("backfill_points: %d points\n", points);
    std::printf("backfill_time: %.1f ms\n", median(fillMs));
    std::printf("backfill_curl_time: %.1f ms\n", median(curlMs));
    std::printf("backfill_ratio: %.2f fill-in/curl\n", median(fillMs) / median(curlMs));
    return 0;
}
