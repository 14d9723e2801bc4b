// Whole scan runs against engine pages served on 127.0.0.1: request order, the signals in order,
// cells, failures and their reasons, totals, icons, completion, stop, abort, the data options, the
// thresholds, pacing, Retry-After, engines that block, and asking the engines at once.
#include "core/files/safe_file.h"
#include "core/linkgraph/link_index.h"
#include "core/net/network_page_fetcher.h"
#include "core/product/engine_table.h"
#include "core/results/results_model.h"
#include "core/scan/scan_run.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QElapsedTimer>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <functional>

#include <memory>
#include <vector>

using namespace tally;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;

namespace {

// The engines of a test: counts by engine and URL, anything else a page without a count.
struct Engines {
    LocalHttpServer server;
    QHash<QString, QString> counts; // "<engine 0..5>|<url>" -> count text
    // Changes an answer before it goes (its timing, its status) by engine 0..5.
    std::function<void(int engine, HttpResponse&)> adjust;

    Engines() {
        server.setHandler([this](const HttpRequest& r) {
            const int e = test::engineOfPath(r.path);
            QString url = QUrl::fromPercentEncoding(r.query.toLatin1());
            url = url.mid(url.indexOf(QLatin1Char(':')) + 1);
            url = url.left(url.indexOf(QLatin1String("&rys=")) < 0
                               ? url.size()
                               : url.indexOf(QLatin1String("&rys=")));
            const auto it = counts.constFind(QString::number(e) + QLatin1Char('|') + url);
            HttpResponse response = HttpResponse::page(
                it == counts.constEnd()
                    ? QByteArray("<html><body>Nothing for this address</body></html>")
                    : test::enginePage(e, it->toLatin1()));
            if (adjust)
                adjust(e, response);
            return response;
        });
    }
    void set(const QString& url, const QStringList& perEngine) {
        for (int e = 0; e < perEngine.size(); ++e)
            if (!perEngine[e].isNull())
                counts.insert(QString::number(e) + QLatin1Char('|') + url, perEngine[e]);
    }
    QString prefix(int e) const {
        const char* queries[] = {
            "?hl=en&q=link:", "?q=link:", "?p=link:", "?q=links:", "?q=link:", "?q=link:"};
        return server.urlString(QLatin1String(test::EnginePaths[e]) + QLatin1String(queries[e]));
    }
    void writePrefixes(const QString& ini) const {
        for (int e = 0; e < EngineCount; ++e)
            modINI::WritePrivateProfileStringA(EnginesSection, engineTable()[e].key, prefix(e),
                                               ini);
    }
    // settings.ini in env with the engines' prefixes, the slot key asking pathAndQuery instead.
    QString settingsWithSlotAt(const test::TestEnv& env, const QString& key,
                               const QString& pathAndQuery) const {
        const QString ini = env.file("settings.ini");
        writePrefixes(ini);
        modINI::WritePrivateProfileStringA(EnginesSection, key, server.urlString(pathAndQuery),
                                           ini);
        return ini;
    }
};

// Every signal of a run as one line of text, in order, an engine by its results column (slot + 3);
// the failures also as "<row> <column> <reason>".
struct Recorder {
    QStringList events;
    QStringList failures;
    explicit Recorder(ScanRun& run) {
        QObject::connect(&run, &ScanRun::clearResultsRequested, [this] { events << "clear"; });
        QObject::connect(&run, &ScanRun::started,
                         [this](int n) { events << QStringLiteral("started %1").arg(n); });
        QObject::connect(&run, &ScanRun::rowStarted, [this](int p, const QString& url) {
            events << QStringLiteral("row %1 %2").arg(p).arg(url);
        });
        QObject::connect(&run, &ScanRun::webResultAdded,
                         [this](const QString& t, const QString& u) {
                             events << QStringLiteral("web %1 | %2").arg(t, u);
                         });
        QObject::connect(&run, &ScanRun::statusTextChanged,
                         [this](const QString& t) { events << "status " + t; });
        QObject::connect(&run, &ScanRun::progressChanged, [this](int v, int m) {
            events << QStringLiteral("progress %1/%2").arg(v).arg(m);
        });
        QObject::connect(
            &run, &ScanRun::engineResult, [this](int p, int slot, const EngineOutcome& outcome) {
                const int c = slot + 3;
                events << QStringLiteral("cell %1 %2 [%3]")
                              .arg(p)
                              .arg(c)
                              .arg(outcome.isCount() ? outcome.count : QString());
                if (!outcome.isCount())
                    failures << QStringLiteral("%1 %2 %3").arg(p).arg(c).arg(outcome.reason);
            });
        QObject::connect(
            &run, &ScanRun::rowFinished, [this](int p, std::optional<qint64> total, int icon) {
                events << QStringLiteral("total %1 %2 icon %3")
                              .arg(p)
                              .arg(total ? QString::number(*total) : QStringLiteral("none"))
                              .arg(icon);
            });
        QObject::connect(&run, &ScanRun::completed, [this](const QString& t, qint64 g, bool sort) {
            events << QStringLiteral("completed %1 | %2 | sort %3").arg(t).arg(g).arg(sort);
        });
        QObject::connect(&run, &ScanRun::stopped, [this] { events << "stopped"; });
        QObject::connect(&run, &ScanRun::finished, [this] { events << "finished"; });
    }
    QStringList starting(const QString& prefix) const {
        QStringList found;
        for (const QString& e : events)
            if (e.startsWith(prefix))
                found << e;
        return found;
    }
};

// The URL column of a results table as the window keeps it: cleared on request, rows inserted at
// the run's positions.
void keepTable(ScanRun& run, QStringList& urls) {
    QObject::connect(&run, &ScanRun::clearResultsRequested, [&urls] { urls.clear(); });
    QObject::connect(&run, &ScanRun::rowStarted,
                     [&urls](int p, const QString& url) { urls.insert(p - 1, url); });
}

// A fetcher of its own for each engine, so that the engines can be asked at once.
struct FetcherPerEngine {
    std::vector<std::unique_ptr<NetworkPageFetcher>> owned;
    QList<PageFetcher*> list;
    FetcherPerEngine() {
        for (int e = 0; e < EngineCount; ++e) {
            owned.push_back(std::make_unique<NetworkPageFetcher>());
            list << owned.back().get();
        }
    }
};

bool runToEnd(ScanRun& run, int ms = 20000) {
    QSignalSpy finished(&run, &ScanRun::finished);
    run.start();
    return !finished.isEmpty() || finished.wait(ms);
}

} // namespace

class TestScanRun : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void wholeRun() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        engines.set("site1.example", {"1,234", "12", "5,678", "4,321", "2,468", "98 765"});
        engines.set("www.site2.example/a b", {"7", "", "", "", "", ""});
        engines.set("big.example", {"9999999999", "9999999999", "9999999999", "9999999999",
                                    "9999999999", "9999999999"});
        const QStringList urls{"site1.example", "www.site2.example/a b", "big.example"};
        NetworkPageFetcher fetcher;
        ScanRun run(urls, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QVERIFY(!run.isRunning());

        // One request per engine in table order, the URL appended as given.
        QStringList expectedTargets;
        for (const QString& url : urls)
            for (int e = 0; e < EngineCount; ++e)
                expectedTargets << QUrl(engines.prefix(e) + url + engineTable()[e].querySuffix)
                                       .toString(QUrl::RemoveScheme | QUrl::RemoveAuthority |
                                                 QUrl::FullyEncoded);
        QCOMPARE(engines.server.requestTargets(), expectedTargets);
        QCOMPARE(engines.server.requestTargets().first(),
                 QString("/google?hl=en&q=link:site1.example"));
        QCOMPARE(engines.server.requestTargets().at(5),
                 QString("/atw?q=link:site1.example&rys=0&_sb_lang=pref&ocjp=1"));

        // The start, then the first URL step by step.
        const QStringList head = rec.events.mid(0, 28);
        const QStringList expectedHead{"clear",
                                       "started 3",
                                       "progress 0/18",
                                       "web Home Page | site1.example",
                                       "row 1 site1.example",
                                       "web Google | site1.example",
                                       "status Scanning site1.example on Google",
                                       "progress 1/18",
                                       "cell 1 3 [1234]",
                                       "web AltaVista | site1.example",
                                       "status Scanning site1.example on AltaVista",
                                       "progress 2/18",
                                       "cell 1 4 [12]",
                                       "web Yahoo | site1.example",
                                       "status Scanning site1.example on Yahoo!",
                                       "progress 3/18",
                                       "cell 1 5 [5678]",
                                       "web Ask | site1.example",
                                       "status Scanning site1.example on Ask",
                                       "progress 4/18",
                                       "cell 1 6 [4321]",
                                       "web MSN | site1.example",
                                       "status Scanning site1.example on MSN",
                                       "progress 5/18",
                                       "cell 1 7 [2468]",
                                       "web AllTheWeb | site1.example",
                                       "status Scanning site1.example on All The Web",
                                       "progress 6/18"};
        QCOMPARE(head, expectedHead);
        // AllTheWeb's space becomes a zero; the comma-free cells add up.
        QCOMPARE(rec.events.at(28), QString("cell 1 8 [980765]"));
        const qint64 row1 = 1234 + 12 + 5678 + 4321 + 2468 + 980765;
        QCOMPARE(rec.events.at(29), QStringLiteral("total 1 %1 icon 3").arg(row1));
        QCOMPARE(rec.starting("web Home Page").size(), 3);
        QCOMPARE(rec.starting("web ").size(), 21);

        // Pages without a count: failed cells, empty, with their reason; 7 < 500 is low.
        QCOMPARE(rec.starting("cell 2"),
                 (QStringList{"cell 2 3 [7]", "cell 2 4 []", "cell 2 5 []", "cell 2 6 []",
                              "cell 2 7 []", "cell 2 8 []"}));
        QCOMPARE(rec.failures, (QStringList{"2 4 page not recognised", "2 5 page not recognised",
                                            "2 6 page not recognised", "2 7 page not recognised",
                                            "2 8 page not recognised"}));
        QCOMPARE(run.failures().size(), 5);
        QCOMPARE(run.failures().first().url, QString("www.site2.example/a b"));
        QCOMPARE(run.failures().first().engine, QString("Altavista"));
        // 64-bit totals.
        const qint64 row3 = Q_INT64_C(59999999994);
        QCOMPARE(rec.starting("total"),
                 (QStringList{QStringLiteral("total 1 %1 icon 3").arg(row1), "total 2 7 icon 1",
                              QStringLiteral("total 3 %1 icon 3").arg(row3)}));
        const qint64 grand = row1 + 7 + row3;
        QCOMPARE(rec.events.mid(rec.events.size() - 2),
                 (QStringList{QStringLiteral("completed Search Complete.  Found %1 links.  5 of 18 "
                                             "requests failed. | %1 | sort 1")
                                  .arg(grand),
                              "finished"}));
        QCOMPARE(rec.starting("progress").last(), QString("progress 18/18"));
        QCOMPARE(rec.starting("stopped").size(), 0);
    }

    void emptyListOnlyFinishes() {
        test::TestEnv env;
        NetworkPageFetcher fetcher;
        ScanRun run({}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QSignalSpy finished(&run, &ScanRun::finished);
        run.start();
        QTest::qWait(20);
        QCOMPARE(rec.events, QStringList{"finished"});
        QVERIFY(!run.isRunning());
    }

    void stopDuringSecondUrlEndsAtOnce() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        const QStringList urls{"u1", "u2", "u3", "u4", "u5"};
        for (const QString& u : urls)
            engines.set(u, {"100", "", "", "", "", ""});
        NetworkPageFetcher fetcher;
        ScanRun run(urls, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        // Stop once the second engine of the second URL is reported: nothing more is asked, the
        // rest of the row is "stopped", and the row keeps what it had.
        QObject::connect(&run, &ScanRun::engineResult, [&](int position, int slot) {
            if (position == 2 && slot == 1)
                run.requestStop();
        });
        QVERIFY(runToEnd(run));
        QCOMPARE(engines.server.requestCount(), 8);
        QCOMPARE(rec.failures.mid(rec.failures.size() - 4),
                 (QStringList{"2 5 stopped", "2 6 stopped", "2 7 stopped", "2 8 stopped"}));
        QCOMPARE(rec.starting("total"), (QStringList{"total 1 100 icon 1", "total 2 100 icon 1"}));
        QCOMPARE(rec.starting("row "), (QStringList{"row 1 u1", "row 2 u2"}));
        QCOMPARE(rec.starting("status").last(), QString("status Scanning u2 on All The Web"));
        QCOMPARE(rec.events.mid(rec.events.size() - 2), (QStringList{"stopped", "finished"}));
        QCOMPARE(rec.starting("completed").size(), 0);
        QVERIFY(!run.isRunning());
    }

    void stopAfterTheLastRowDoesNotStopTheNextRun() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        NetworkPageFetcher fetcher;
        ScanRun run({"a", "b"}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        bool stopOnce = true;
        QObject::connect(&run, &ScanRun::rowFinished, [&](int position) {
            if (position == 2 && stopOnce) {
                stopOnce = false;
                run.requestStop();
            }
        });
        // No URL follows the stop: the run completes.
        QVERIFY(runToEnd(run));
        QCOMPARE(rec.starting("completed").size(), 1);
        QCOMPARE(rec.starting("stopped").size(), 0);
        // A stop asked for after the end does not linger either.
        run.requestStop();
        rec.events.clear();
        QVERIFY(runToEnd(run));
        QCOMPARE(rec.starting("total").size(), 2);
        QCOMPARE(rec.starting("completed").size(), 1);
        QCOMPARE(engines.server.requestCount(), 24);
    }

    void abortEndsAtOnce() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        HttpResponse silent;
        silent.neverAnswer = true;
        engines.server.route("/yahoo", silent);
        NetworkPageFetcher fetcher;
        ScanRun run({"a", "b"}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        run.start();
        QTRY_COMPARE(engines.server.requestCount(), 3);
        QVERIFY(run.isRunning());
        QVERIFY(fetcher.isBusy());
        const int before = int(rec.events.size());
        run.abort();
        QVERIFY(!run.isRunning());
        QVERIFY(!fetcher.isBusy());
        QTest::qWait(200);
        QCOMPARE(rec.events.size(), before);
        QCOMPARE(engines.server.requestCount(), 3);
    }

    void dataOptions() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        NetworkPageFetcher fetcher;
        QStringList table{"older"};
        ScanRun first({"a", "b"}, env.file("settings.ini"), &fetcher);
        keepTable(first, table);
        QVERIFY(runToEnd(first));
        QCOMPARE(table, (QStringList{"a", "b"}));

        // chkClear off: the new rows go first, the older ones follow.
        writeSetting(settingkeys::ClearResults, "0");
        writeSetting(settingkeys::AutoSort, "0");
        ScanRun second({"c", "d"}, env.file("settings.ini"), &fetcher);
        Recorder rec(second);
        keepTable(second, table);
        QVERIFY(runToEnd(second));
        QCOMPARE(table, (QStringList{"c", "d", "a", "b"}));
        QCOMPARE(rec.starting("clear").size(), 0);
        QVERIFY(rec.starting("completed").first().endsWith("sort 0"));

        // Set only when the text reads as the whole number 1.
        writeSetting(settingkeys::ClearResults, " 1 ");
        writeSetting(settingkeys::AutoSort, "yes");
        rec.events.clear();
        QVERIFY(runToEnd(second));
        QCOMPARE(rec.events.first(), QString("clear"));
        QCOMPARE(table, (QStringList{"c", "d"}));
        QVERIFY(rec.starting("completed").first().endsWith("sort 0"));
    }

    void thresholdsAndIcons_data() {
        QTest::addColumn<QString>("low");
        QTest::addColumn<QString>("medium");
        QTest::addColumn<QStringList>("icons"); // for totals 499, 500, 999, 1000, 20
        QTest::newRow("defaults") << QString() << QString() << QStringList{"1", "2", "2", "3", "1"};
        QTest::newRow("empty and blank fall back") << ""
                                                   << " " << QStringList{"1", "2", "2", "3", "1"};
        QTest::newRow("text falls back") << "abc"
                                         << "1.5e3" << QStringList{"1", "2", "2", "3", "1"};
        QTest::newRow("own values") << "20"
                                    << "500" << QStringList{"2", "3", "3", "3", "2"};
    }
    void thresholdsAndIcons() {
        QFETCH(QString, low);
        QFETCH(QString, medium);
        QFETCH(QStringList, icons);
        test::TestEnv env(false);
        if (!low.isNull())
            writeSetting(settingkeys::LowThreshold, low);
        if (!medium.isNull())
            writeSetting(settingkeys::MediumThreshold, medium);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        const QStringList totals{"499", "500", "999", "1000", "20"};
        for (const QString& t : totals)
            engines.set("t" + t, {t, "", "", "", "", ""});
        QStringList urls;
        for (const QString& t : totals)
            urls << "t" + t;
        NetworkPageFetcher fetcher;
        ScanRun run(urls, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QStringList got;
        for (const QString& e : rec.starting("total"))
            got << e.section(' ', -1);
        QCOMPARE(got, icons);
    }

    void cellsThatAreNotNumbersFailAndRounding() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        // Fractions round half to even at every step; "many" and a page without a count fail.
        engines.set("f", {"2.5", "0.5", "1,000", "many", "", "1.5"});
        NetworkPageFetcher fetcher;
        ScanRun run({"f"}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QCOMPARE(rec.starting("cell"),
                 (QStringList{"cell 1 3 [2.5]", "cell 1 4 [0.5]", "cell 1 5 [1000]", "cell 1 6 []",
                              "cell 1 7 []", "cell 1 8 [1.5]"}));
        // 2.5 -> 2; 2 + 0.5 -> 2; + 1000 -> 1002; 1002 + 1.5 -> 1004 (even).
        QCOMPARE(rec.starting("total"), QStringList{"total 1 1004 icon 3"});
        QVERIFY(rec.starting("completed")
                    .first()
                    .startsWith("completed Search Complete.  Found 1004 links.  2 of 6 requests "
                                "failed. |"));
    }

    // Counts that add up past 64 bits have no total (files say "too large"), never a capped one.
    void totalTooLargeIsNoNumber() {
        ResultRecord record;
        for (int s = 0; s < 2; ++s)
            record.settle(s, EngineOutcome::counted("5000000000000000000"));
        record.finish();
        QVERIFY(record.totalTooLarge() && !record.total() && record.profile() == 0);
        QCOMPARE(record.totalText(), QStringLiteral("too large"));
        QCOMPARE(ScanRun::completionText(-1),
                 QStringLiteral("Search Complete.  Found more links than can be added up."));
    }

    void prefixesReadBeforeEveryRequest() {
        test::TestEnv env(false);
        Engines engines;
        const QString ini = env.file("settings.ini");
        engines.writePrefixes(ini);
        // No Yahoo key: the column is not configured and asks nothing (never the URL alone).
        modINI::WritePrivateProfileSectionA(EnginesSection, QString(), ini);
        for (int e = 0; e < EngineCount; ++e)
            if (e != 2)
                modINI::WritePrivateProfileStringA(EnginesSection, engineTable()[e].key,
                                                   engines.prefix(e), ini);
        engines.server.route("/bare", HttpResponse::page("of about 33 for <strong>"));
        const QString bare = engines.server.urlString("/bare");
        NetworkPageFetcher fetcher;
        ScanRun run({bare, bare}, ini, &fetcher);
        Recorder rec(run);
        // A prefix saved during the run applies to the next request.
        QObject::connect(&run, &ScanRun::engineResult, [&](int position, int slot) {
            if (position == 1 && slot == 0)
                modINI::WritePrivateProfileStringA(
                    EnginesSection, "Altavista", engines.server.urlString("/changed?q=link:"), ini);
        });
        QVERIFY(runToEnd(run));
        const QStringList targets = engines.server.requestTargets();
        QCOMPARE(targets.size(), 10);
        QCOMPARE(targets.at(1), "/changed?q=link:" + bare);
        QCOMPARE(targets.at(6), "/changed?q=link:" + bare);
        QVERIFY(!targets.contains(QString("/bare")));
        QCOMPARE(rec.failures.filter(QRegularExpression("^\\d 5 ")),
                 (QStringList{"1 5 not configured: settings.ini has no query prefix for Yahoo "
                              "(Tools \u203a Options)",
                              "2 5 not configured: settings.ini has no query prefix for Yahoo "
                              "(Tools \u203a Options)"}));
    }

    void unreachableEnginesFail() {
        test::TestEnv env(false);
        quint16 port;
        {
            LocalHttpServer gone;
            port = gone.port();
        }
        for (const EngineInfo& e : engineTable())
            modINI::WritePrivateProfileStringA(EnginesSection, e.key,
                                               QStringLiteral("http://127.0.0.1:%1/x?q=").arg(port),
                                               env.file("settings.ini"));
        NetworkPageFetcher fetcher;
        ScanRun run({"nowhere.example"}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QCOMPARE(rec.starting("cell"), (QStringList{"cell 1 3 []", "cell 1 4 []", "cell 1 5 []",
                                                    "cell 1 6 []", "cell 1 7 []", "cell 1 8 []"}));
        QCOMPARE(rec.failures.size(), 6);
        for (const QString& f : rec.failures)
            QVERIFY(f.endsWith(" could not connect: connection refused"));
        // No count at all: no profile icon.
        QCOMPARE(rec.starting("total"), QStringList{"total 1 none icon 0"});
        QVERIFY(rec.starting("completed")
                    .first()
                    .startsWith("completed Search Complete.  Found 0 links.  6 of 6 requests "
                                "failed. |"));
    }

    // What the engines send back instead of a count: every cell fails with its reason, never a
    // count, for each of the six engines.
    void failureOutcomes_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("retryAfter");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("requestsEach"); // -1: the server is gone
        const QByteArray none;
        QTest::newRow("body 429") << 200 << QByteArray("429") << none << "page not recognised" << 1;
        QTest::newRow("body Not Found")
            << 200 << QByteArray("Not Found") << none << "page not recognised" << 1;
        QTest::newRow("body Error 503")
            << 200 << QByteArray("Error 503") << none << "page not recognised" << 1;
        QTest::newRow("HTTP 429") << 429 << QByteArray("429") << none
                                  << "blocked by the engine (HTTP status 429 Too Many Requests)"
                                  << 1;
        QTest::newRow("HTTP 429 with Retry-After")
            << 429 << QByteArray("429") << QByteArray("0")
            << "blocked by the engine (HTTP status 429 Too Many Requests)" << 2;
        QTest::newRow("HTTP 503 with Retry-After")
            << 503 << QByteArray("Error 503") << QByteArray("0")
            << "HTTP status 503 Service Unavailable" << 2;
        QTest::newRow("captcha page")
            << 200 << QByteArray("<form>Type the characters of the CAPTCHA</form>") << none
            << "blocked by the engine (captcha page)" << 1;
        QTest::newRow("consent page") << 200 << QByteArray("<h1>Before you continue</h1>") << none
                                      << "blocked by the engine (consent page)" << 1;
        QTest::newRow("refused connection")
            << 0 << none << none << "could not connect: connection refused" << -1;
    }
    void failureOutcomes() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, retryAfter);
        QFETCH(QString, reason);
        QFETCH(int, requestsEach);
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        engines.server.setHandler([&](const HttpRequest&) {
            HttpResponse r = HttpResponse::page(body, status);
            if (!retryAfter.isEmpty())
                r.headers.append(std::pair<QByteArray, QByteArray>("Retry-After", retryAfter));
            return r;
        });
        if (requestsEach < 0)
            engines.server.close();
        NetworkPageFetcher fetcher;
        ScanRun run({"site.example"}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QStringList expected;
        for (int column = 3; column <= 8; ++column)
            expected << QStringLiteral("1 %1 %2").arg(column).arg(reason);
        QCOMPARE(rec.failures, expected);
        QCOMPARE(rec.starting("cell").join(' ').count("[]"), 6);
        QCOMPARE(rec.starting("total"), QStringList{"total 1 none icon 0"});
        QVERIFY(rec.starting("completed")
                    .first()
                    .startsWith("completed Search Complete.  Found 0 links.  6 of 6 requests "
                                "failed. |"));
        QCOMPARE(engines.server.requestCount(), std::max(0, requestsEach) * EngineCount);
    }

    void retryAfterWaitsOnceAndStopEndsTheWait() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        engines.set("a", {"5", "6", "7", "8", "9", "10"});
        // Google asks to come back in a second, then answers.
        int googleAsked = 0;
        engines.adjust = [&](int e, HttpResponse& r) {
            if (e == 0 && ++googleAsked == 1) {
                r.status = 429;
                r.headers.append(std::pair<QByteArray, QByteArray>("Retry-After", "1"));
            }
        };
        NetworkPageFetcher fetcher;
        ScanRun run({"a"}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QCOMPARE(rec.starting("cell 1 3"), QStringList{"cell 1 3 [5]"});
        QCOMPARE(rec.starting("total"), QStringList{"total 1 45 icon 1"});
        const QList<HttpRequest> log = engines.server.requests();
        QCOMPARE(log.size(), 7);
        QVERIFY2(log[1].arrivalMs - log[0].arrivalMs >= 950,
                 qPrintable(QString::number(log[1].arrivalMs - log[0].arrivalMs)));

        // A long wait ends at once on Stop; the cell is "stopped".
        HttpResponse later = HttpResponse::page("busy", 503);
        later.headers.append(std::pair<QByteArray, QByteArray>("Retry-After", "30"));
        engines.server.route("/google", later);
        engines.server.clearLog();
        ScanRun waiting({"a", "b"}, env.file("settings.ini"), &fetcher);
        Recorder rec2(waiting);
        QSignalSpy finished(&waiting, &ScanRun::finished);
        waiting.start();
        QTRY_COMPARE(engines.server.requestCount(), 1);
        QTest::qWait(50);
        QElapsedTimer clock;
        clock.start();
        waiting.requestStop();
        QVERIFY(finished.wait(1000));
        QVERIFY(clock.elapsed() < 1000);
        QCOMPARE(rec2.failures.first(), QString("1 3 stopped"));
        QCOMPARE(rec2.failures.size(), 6);
        QCOMPARE(rec2.events.mid(rec2.events.size() - 2), (QStringList{"stopped", "finished"}));
        QCOMPARE(engines.server.requestCount(), 1);
    }

    void stopDuringARequestEndsAtOnce() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        HttpResponse drip = HttpResponse::page(QByteArray(100000, 'd'));
        drip.dripBytes = 1;
        drip.dripIntervalMs = 100;
        engines.server.route("/yahoo", drip);
        NetworkPageFetcher fetcher;
        ScanRun run({"a", "b"}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QSignalSpy finished(&run, &ScanRun::finished);
        run.start();
        QTRY_COMPARE(engines.server.requestCount(), 3);
        QTest::qWait(150);
        run.requestStop();
        QVERIFY(!fetcher.isBusy());
        QVERIFY(finished.wait(1000));
        QCOMPARE(rec.failures.mid(rec.failures.size() - 4),
                 (QStringList{"1 5 stopped", "1 6 stopped", "1 7 stopped", "1 8 stopped"}));
        QCOMPARE(rec.starting("stopped").size(), 1);
        QCOMPARE(rec.starting("row ").size(), 1);
        QCOMPARE(engines.server.requestCount(), 3);
    }

    void pacingSpacesAnEnginesRequests() {
        test::TestEnv env(false);
        Engines engines;
        const QString ini = env.file("settings.ini");
        engines.writePrefixes(ini);
        modINI::WritePrivateProfileStringA(PacingSection, "Google", "200", ini);
        modINI::WritePrivateProfileStringA(PacingSection, "Yahoo", "soon", ini); // none
        NetworkPageFetcher fetcher;
        ScanRun run({"a", "b", "c"}, ini, &fetcher);
        QVERIFY(runToEnd(run));
        QList<qint64> google;
        for (const HttpRequest& r : engines.server.requests())
            if (r.path == "/google")
                google << r.arrivalMs;
        QCOMPARE(google.size(), 3);
        for (int i = 1; i < google.size(); ++i)
            QVERIFY2(google[i] - google[i - 1] >= 195,
                     qPrintable(QString::number(google[i] - google[i - 1])));
    }

    void engineThatBlocksTwiceIsSkipped() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        engines.server.route("/msn",
                             HttpResponse::page("<p>unusual traffic from your network</p>"));
        for (const char* url : {"a", "b", "c"})
            engines.set(url, {"1", "1", "1", "1", "", "1"});
        NetworkPageFetcher fetcher;
        ScanRun run({"a", "b", "c"}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QCOMPARE(rec.failures, (QStringList{"1 7 blocked by the engine (unusual traffic page)",
                                            "2 7 blocked by the engine (unusual traffic page)",
                                            "3 7 skipped: blocked earlier in this run"}));
        QCOMPARE(engines.server.requestTargets().filter("/msn").size(), 2);
        QCOMPARE(rec.starting("total"),
                 (QStringList{"total 1 5 icon 1", "total 2 5 icon 1", "total 3 5 icon 1"}));
    }

    // With one fetcher per engine the six requests of a URL go out together; the signals are
    // the same, in the same order, as one after the other.
    void enginesAskedAtOnceReportInOrder() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        engines.set("a", {"1", "2", "3", "", "5", "6"});
        engines.set("b", {"7", "8", "9", "10", "11", "12"});
        // Later engines answer first; Google's and Yahoo!'s pages are large, read off the event
        // loop's thread.
        engines.adjust = [](int e, HttpResponse& r) {
            r.delayMs = 300 - 50 * e;
            if (e == 0 || e == 2)
                r.body.prepend(QByteArray(2 * 1024 * 1024, 'p'));
        };
        FetcherPerEngine fetchers;
        QStringList eventsOf[2];
        qint64 spread[2] = {}, secondUrlAfter[2] = {};
        for (const char* parallel : {"0", "1"}) {
            const int p = parallel[0] - '0';
            writeSetting(settingkeys::ParallelEngines, parallel);
            engines.server.clearLog();
            ScanRun run({"a", "b"}, env.file("settings.ini"), fetchers.list);
            Recorder rec(run);
            QVERIFY(runToEnd(run));
            eventsOf[p] = rec.events;
            const QList<HttpRequest> log = engines.server.requests();
            QCOMPARE(log.size(), 12);
            spread[p] = log[5].arrivalMs - log[0].arrivalMs;
            secondUrlAfter[p] = log[6].arrivalMs - log[0].arrivalMs;
        }
        QCOMPARE(eventsOf[1], eventsOf[0]);
        QVERIFY(eventsOf[1].contains("cell 1 6 []"));
        QVERIFY(eventsOf[1].contains("cell 2 3 [7]") && eventsOf[1].contains("cell 2 5 [9]"));
        QVERIFY2(spread[1] < 200, qPrintable(QString::number(spread[1])));
        QVERIFY2(spread[0] >= 1000, qPrintable(QString::number(spread[0])));
        // At once, the engines that answered go on to b while Google still works on a.
        QVERIFY2(secondUrlAfter[1] < 250, qPrintable(QString::number(secondUrlAfter[1])));
    }

    // A stop while the engines work ahead ends with the row being reported: what was asked about
    // later URLs is let go.
    void stopWhileEnginesWorkAhead() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        for (const char* url : {"a", "b", "c"})
            engines.set(url, {"1", "2", "3", "4", "5", "6"});
        engines.adjust = [](int e, HttpResponse& r) { r.delayMs = e == 0 ? 3000 : 0; };
        writeSetting(settingkeys::ParallelEngines, "1");
        FetcherPerEngine fetchers;
        ScanRun run({"a", "b", "c"}, env.file("settings.ini"), fetchers.list);
        Recorder rec(run);
        QSignalSpy finished(&run, &ScanRun::finished);
        run.start();
        // Google still on a, the five others through c.
        QTRY_COMPARE_WITH_TIMEOUT(engines.server.requestCount(), 16, 2000);
        run.requestStop();
        QVERIFY(!finished.isEmpty() || finished.wait(2000));
        QCOMPARE(rec.starting("row "), QStringList{"row 1 a"});
        QCOMPARE(rec.failures, QStringList{"1 3 stopped"});
        QCOMPARE(rec.starting("total"), QStringList{"total 1 20 icon 1"});
        QCOMPARE(rec.events.mid(rec.events.size() - 2), (QStringList{"stopped", "finished"}));
    }

    // engines.ini repoints slots: Google's markers changed, Ask broken, MSN the JSON API of the
    // README's example (its key in a header, the URL's domain in the query, a caption of its
    // own), ATW a local link index. The broken slot and the graph make no request.
    void slotsDefinedByEnginesIni() {
        test::TestEnv env(false);
        Engines engines;
        const QString ini = engines.settingsWithSlotAt(env, "MSN", "/v1/links?domain=");
        engines.set("www.known.example", {"", "12", "5", "", "", ""});
        engines.set("nowhere.example", {"", "3", "4", "", "", ""});
        engines.server.route("/google", HttpResponse::page("<p>Results: 1,234 links</p>"));
        // The example reply of the README.
        engines.server.route("/v1/links",
                             HttpResponse::page("{\"status\": \"ok\", \"results\": [{\"domain\": "
                                                "\"known.example\", \"referring_domains\": 4321, "
                                                "\"backlinks\": 98765}]}"));
        LinkIndexBuilder index("cc-test", GraphLevel::Domains);
        index.add("example.known", 0);
        QVERIFY(writeFileAtomically(env.file("test.links"),
                                    index.finish([](quint32) { return 77; }).bytes));
        QVERIFY(UserSettings::setApiKey("backlinks-api", "k3y"));
        env.writeFile(EnginesIniName, "[Google]\nCountBefore=\"Results: \"\nCountAfter=\" links\"\n"
                                      "[Ask]\nKind=jsn\n"
                                      "[MSN]\nCaption=Backlinks API\nKind=json\nTarget=domain\n"
                                      "Pointer=/results/0/referring_domains\n"
                                      "KeyName=backlinks-api\nHeader1=X-API-Key: {key}\n"
                                      "Header2=Accept: application/json\n"
                                      "[ATW]\nKind=graph\nIndex=test.links\n");
        NetworkPageFetcher fetcher;
        ScanRun run({"www.known.example", "nowhere.example"}, ini, &fetcher);
        Recorder rec(run);
        QStringList notes;
        QObject::connect(
            &run, &ScanRun::engineResult,
            [&notes](int, int, const EngineOutcome& outcome) { notes << outcome.note; });
        QVERIFY(runToEnd(run));

        QCOMPARE(rec.starting("cell 1"),
                 (QStringList{"cell 1 3 [1234]", "cell 1 4 [12]", "cell 1 5 [5]", "cell 1 6 []",
                              "cell 1 7 [4321]", "cell 1 8 [77]"}));
        QCOMPARE(notes.at(5), QString("linking domains to example.known in cc-test"));
        const QString badKind =
            "engine definition: unknown kind \"jsn\" (markers, json, table, graph or off)";
        QCOMPARE(rec.failures, (QStringList{"1 6 " + badKind, "2 6 " + badKind,
                                            "2 8 not in cc-test (looked for example.nowhere)"}));
        QCOMPARE(run.failures().first().engine, QString("Ask"));
        QVERIFY(rec.events.contains("status Scanning www.known.example on Backlinks API"));
        QVERIFY(rec.events.contains("web Backlinks API | www.known.example"));
        QCOMPARE(rec.starting("total 1"),
                 QStringList{QStringLiteral("total 1 %1 icon 3").arg(1234 + 12 + 5 + 4321 + 77)});
        const QStringList targets = engines.server.requestTargets();
        QCOMPARE(targets.filter("/ask").size() + targets.filter("/atw").size(), 0);
        QCOMPARE(targets.filter("/v1/"), (QStringList{"/v1/links?domain=known.example",
                                                      "/v1/links?domain=nowhere.example"}));
        for (const HttpRequest& r : engines.server.requests()) {
            const bool api = r.path == "/v1/links";
            QCOMPARE(r.header("X-API-Key"), api ? QByteArray("k3y") : QByteArray());
            QCOMPARE(r.header("Accept"), QByteArray(api ? "application/json" : "*/*"));
        }
    }

    // A key refused twice: the rest of the run skips the slot instead of asking again.
    void refusedKeyIsAskedTwiceOnly() {
        test::TestEnv env(false);
        Engines engines;
        const QString ini = engines.settingsWithSlotAt(env, "ATW", "/api?u=");
        engines.server.route("/api", HttpResponse::page("{}", 401));
        env.writeFile(EnginesIniName, "[ATW]\nKind=json\nPointer=/count\n");
        NetworkPageFetcher fetcher;
        ScanRun run({"a", "b", "c"}, ini, &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QStringList refused = rec.failures.filter(QRegularExpression("^\\d 8 "));
        refused.replaceInStrings(QRegularExpression(" \\(HTTP status 401 .*\\)$"), QString());
        QCOMPARE(refused, (QStringList{"1 8 API key refused", "2 8 API key refused",
                                       "3 8 skipped: API key refused earlier in this run"}));
        QCOMPARE(engines.server.requestTargets().filter("/api").size(), 2);
    }

    // A json slot's answer is held to the API cap of 1 MiB; a result page of the same size is
    // read whole.
    void apiAnswersHaveTheirOwnCap() {
        test::TestEnv env(false);
        Engines engines;
        const QString ini = engines.settingsWithSlotAt(env, "ATW", "/api?u=");
        const QByteArray pad(2 * 1024 * 1024, ' ');
        engines.server.route("/api",
                             HttpResponse::page("{\"count\": 7, \"pad\": \"" + pad + "\"}"));
        engines.server.route("/google", HttpResponse::page(pad + test::enginePage(0, "1,234")));
        env.writeFile(EnginesIniName, "[ATW]\nKind=json\nPointer=/count\n");
        NetworkPageFetcher fetcher;
        ScanRun run({"a"}, ini, &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QCOMPARE(rec.starting("cell 1 3"), QStringList{"cell 1 3 [1234]"});
        QCOMPARE(rec.failures.filter(QRegularExpression("^1 8 ")),
                 QStringList{"1 8 answer larger than 1 MiB"});
    }

    // Every request is the slot's definition built out (address, method, body, headers, keys);
    // a request that cannot be built fails with the builder's reason and goes nowhere, and a key
    // the provider quotes back is never shown.
    void requestsAreBuiltFromTheDefinition_data() {
        QTest::addColumn<QByteArray>("section"); // [ATW]; SERVER stands for the local server
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("target"); // what the server was asked; empty: nothing
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("authorization");
        QTest::addColumn<QString>("cell"); // the count, or "!" and a part of the reason
        QTest::newRow("POST, JSON body, HTTP Basic")
            << QByteArray("Kind=json\nAddress=SERVER/api/post\nMethod=POST\n"
                          "Body={\"targets\": [\"{domain}\"]}\nBasicAuth=user-id,user-secret\n"
                          "Pointer=/count\n")
            << "http://www.shop.example.co.uk/a"
            << "/api/post" << QByteArray("{\"targets\": [\"example.co.uk\"]}")
            << "Basic " + QByteArray("id-7:s3cr3t-9").toBase64() << "12";
        QTest::newRow("key in the query, quoted back by the provider")
            << QByteArray("Kind=json\nAddress=SERVER/api/echo?key={key:user-secret}&d={host}\n"
                          "Pointer=/count\n")
            << "http://www.example.com/"
            << "/api/echo?key=s3cr3t-9&d=www.example.com" << QByteArray() << QByteArray()
            << "!no data for www.example.com with key \u2026";
        QTest::newRow("no host for {domain}: not sent")
            << QByteArray("Kind=json\nAddress=SERVER/api/post?d={domain}\nPointer=/count\n")
            << "http://10.1.2.3/"
            << "" << QByteArray() << QByteArray()
            << "!could not connect: no host name in the address";
    }
    void requestsAreBuiltFromTheDefinition() {
        QFETCH(QByteArray, section);
        QFETCH(QString, url);
        QFETCH(QString, target);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, authorization);
        QFETCH(QString, cell);
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        engines.server.route("/api/post", HttpResponse::page("{\"count\": 12}"));
        engines.server.route("/api/echo", HttpResponse::page("{\"message\": \"no data for "
                                                             "www.example.com with key "
                                                             "s3cr3t-9\"}",
                                                             404));
        QVERIFY(UserSettings::setApiKey("user-id", "id-7"));
        QVERIFY(UserSettings::setApiKey("user-secret", "s3cr3t-9"));
        section.replace("SERVER", engines.server.urlString(QString()).toUtf8());
        env.writeFile(EnginesIniName, "[ATW]\n" + section);
        NetworkPageFetcher fetcher;
        ScanRun run({url}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QList<HttpRequest> asked;
        for (const HttpRequest& r : engines.server.requests())
            if (r.path.startsWith("/api/"))
                asked << r;
        QCOMPARE(asked.size(), target.isEmpty() ? 0 : 1);
        if (!target.isEmpty()) {
            QCOMPARE(asked[0].target, target);
            QCOMPARE(asked[0].method, QByteArray(body.isEmpty() ? "GET" : "POST"));
            QCOMPARE(asked[0].body, body);
            QCOMPARE(asked[0].header("Authorization"), authorization);
            if (!body.isEmpty())
                QCOMPARE(asked[0].header("Content-Type"), QByteArray("application/json"));
        }
        if (cell.startsWith('!')) {
            const QStringList failed = rec.failures.filter(QRegularExpression("^1 8 "));
            QCOMPARE(failed.size(), 1);
            QVERIFY2(failed[0].contains(cell.mid(1)), qPrintable(failed[0]));
            QVERIFY2(!failed[0].contains("s3cr3t"), qPrintable(failed[0]));
        } else {
            QCOMPARE(rec.starting("cell 1 8"), QStringList{"cell 1 8 [" + cell + "]"});
        }
    }

    // A web page asked to come back later (429 with Retry-After) on every first request, and
    // answering on the retry: every count arrives, and the engine is never skipped; an API slot
    // is asked once more the same way.
    void retryThatSucceedsIsNoBlock() {
        test::TestEnv env(false);
        Engines engines;
        const QString ini = engines.settingsWithSlotAt(env, "ATW", "/api?u=");
        env.writeFile(EnginesIniName, "[ATW]\nKind=json\nPointer=/count\n");
        QSet<QString> limited;
        engines.server.setHandler([&](const HttpRequest& r) {
            HttpResponse response =
                r.path == "/api"
                    ? HttpResponse::page("{\"count\": 3}")
                    : HttpResponse::page(test::enginePage(test::engineOfPath(r.path), "2"));
            if (!limited.contains(r.target)) {
                limited.insert(r.target);
                response.status = 429;
                response.headers.append(std::pair<QByteArray, QByteArray>("Retry-After", "0"));
            }
            return response;
        });
        NetworkPageFetcher fetcher;
        ScanRun run({"a", "b", "c"}, ini, &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QCOMPARE(rec.failures, QStringList());
        QCOMPARE(rec.starting("total"),
                 (QStringList{"total 1 13 icon 1", "total 2 13 icon 1", "total 3 13 icon 1"}));
        QCOMPARE(engines.server.requestCount(), 3 * EngineCount * 2);
    }

    // Kind=off asks nothing and is no failure; InTotal=no is shown but never summed. The run's
    // snapshot carries both, and the completion text counts only the requests made.
    void switchedOffSlotAndScore() {
        test::TestEnv env(false);
        Engines engines;
        const QString ini = engines.settingsWithSlotAt(env, "MSN", "/score?u=");
        engines.set("a", {"10", "20", "", "40", "", "60"});
        engines.server.route("/score", HttpResponse::page("{\"rank\": 4.5}"));
        env.writeFile(EnginesIniName, "[Ask]\nKind=off\n[MSN]\nKind=json\nPointer=/rank\n"
                                      "InTotal=no\n");
        NetworkPageFetcher fetcher;
        ScanRun run({"a"}, ini, &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QVERIFY(run.snapshot()->slot[3].switchedOff);
        QVERIFY(!run.snapshot()->slot[4].countsIntoTotal);
        QVERIFY(run.snapshot()->slot[0].countsIntoTotal && !run.snapshot()->slot[0].switchedOff);
        QCOMPARE(engines.server.requestTargets().filter("/ask").size(), 0);
        QCOMPARE(rec.starting("cell 1 7"), QStringList{"cell 1 7 [4.5]"});
        // Yahoo's page has no count: the one failure of five requests. Ask's cell is off.
        QCOMPARE(rec.failures, (QStringList{"1 5 page not recognised", "1 6 off"}));
        // The switched-off slot is never named as being scanned.
        QVERIFY(rec.starting("status").filter(" on Ask").isEmpty());
        QCOMPARE(rec.starting("status").size(), 5);
        QCOMPARE(run.failures().size(), 1);
        QCOMPARE(rec.starting("total"), QStringList{"total 1 90 icon 1"});
        QVERIFY(rec.starting("completed")
                    .first()
                    .startsWith("completed Search Complete.  Found 90 links.  1 of 5 requests "
                                "failed. |"));
    }

    void helpers() {
        QCOMPARE(ScanRun::completionText(1234), QString("Search Complete.  Found 1234 links."));
        QCOMPARE(ScanRun::completionText(1234, 0, 12),
                 QString("Search Complete.  Found 1234 links."));
        QCOMPARE(ScanRun::completionText(0, 2, 12),
                 QString("Search Complete.  Found 0 links.  2 of 12 requests failed."));
        QCOMPARE(profileOf(499, 500, 1000), 1);
        QCOMPARE(profileOf(500, 500, 1000), 2);
        QCOMPARE(profileOf(1000, 500, 1000), 3);
        // A low threshold above the medium one: below low is still low.
        QCOMPARE(profileOf(700, 800, 600), 1);
        QCOMPARE(profileOf(900, 800, 600), 3);
    }
};

TALLY_GUILESS_TEST_MAIN(TestScanRun)
#include "tst_scan_run.moc"
