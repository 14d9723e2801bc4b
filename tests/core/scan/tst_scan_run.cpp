// Whole scan runs against engine pages served on 127.0.0.1: request order, the signals in order,
// cells, totals, icons, completion, stop, abort, the data options and the thresholds.
#include "core/scan/engine_table.h"
#include "core/scan/network_page_fetcher.h"
#include "core/scan/scan_run.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"
#include "support/test_env.h"

#include <QHash>
#include <QSignalSpy>
#include <QTest>

using namespace tally;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;

namespace {

// The engines of a test: counts by engine and URL, anything else an empty page.
struct Engines {
    LocalHttpServer server;
    QHash<QString, QString> counts; // "<engine 0..5>|<url>" -> count text

    Engines() {
        server.setHandler([this](const HttpRequest& r) {
            const int e = test::engineOfPath(r.path);
            QString url = QUrl::fromPercentEncoding(r.query.toLatin1());
            url = url.mid(url.indexOf(QLatin1Char(':')) + 1);
            url = url.left(url.indexOf(QLatin1String("&rys=")) < 0
                               ? url.size()
                               : url.indexOf(QLatin1String("&rys=")));
            const auto it = counts.constFind(QString::number(e) + QLatin1Char('|') + url);
            return HttpResponse::page(
                it == counts.constEnd()
                    ? QByteArray("<html><body>Nothing for this address</body></html>")
                    : test::enginePage(e, it->toLatin1()));
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
};

// Every signal of a run as one line of text, in order.
struct Recorder {
    QStringList events;
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
        QObject::connect(&run, &ScanRun::engineResult, [this](int p, int c, const QString& cell) {
            events << QStringLiteral("cell %1 %2 [%3]").arg(p).arg(c).arg(cell);
        });
        QObject::connect(&run, &ScanRun::rowFinished, [this](int p, const QString& t, int icon) {
            events << QStringLiteral("total %1 %2 icon %3").arg(p).arg(t).arg(icon);
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

        // Empty pages: empty cells, but "0" for Ask and MSN; 7 < 500 is low.
        QCOMPARE(rec.starting("cell 2"),
                 (QStringList{"cell 2 3 [7]", "cell 2 4 []", "cell 2 5 []", "cell 2 6 [0]",
                              "cell 2 7 [0]", "cell 2 8 []"}));
        // 64-bit totals.
        const qint64 row3 = Q_INT64_C(59999999994);
        QCOMPARE(rec.starting("total"),
                 (QStringList{QStringLiteral("total 1 %1 icon 3").arg(row1), "total 2 7 icon 1",
                              QStringLiteral("total 3 %1 icon 3").arg(row3)}));
        const qint64 grand = row1 + 7 + row3;
        QCOMPARE(rec.events.mid(rec.events.size() - 2),
                 (QStringList{QStringLiteral("completed Search Complete.  Found %1 links. | %1 | "
                                             "sort 1")
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

    void stopDuringSecondUrlCompletesItAndEnds() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        const QStringList urls{"u1", "u2", "u3", "u4", "u5"};
        for (const QString& u : urls)
            engines.set(u, {"100", "", "", "", "", ""});
        NetworkPageFetcher fetcher;
        ScanRun run(urls, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        // Stop while the third engine of the second URL is being fetched.
        QObject::connect(&run, &ScanRun::engineResult,
                         [&](int position, int column, const QString&) {
                             if (position == 2 && column == 4)
                                 run.requestStop();
                         });
        QVERIFY(runToEnd(run));
        QCOMPARE(engines.server.requestCount(), 12);
        QCOMPARE(rec.starting("total"), (QStringList{"total 1 100 icon 1", "total 2 100 icon 1"}));
        QCOMPARE(rec.starting("row "), (QStringList{"row 1 u1", "row 2 u2"}));
        QCOMPARE(rec.starting("status").last(), QString("status Scanning u2 on All The Web"));
        QCOMPARE(rec.events.mid(rec.events.size() - 2), (QStringList{"stopped", "finished"}));
        QCOMPARE(rec.starting("completed").size(), 0);
        QVERIFY(!run.isRunning());
    }

    void stopDuringLastUrlDoesNotStopTheNextRun() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        NetworkPageFetcher fetcher;
        ScanRun run({"a", "b"}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        bool stopOnce = true;
        QObject::connect(&run, &ScanRun::engineResult,
                         [&](int position, int column, const QString&) {
                             if (position == 2 && column == 5 && stopOnce) {
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

    void cellsThatAreNotNumbersAndRounding() {
        test::TestEnv env(false);
        Engines engines;
        engines.writePrefixes(env.file("settings.ini"));
        // Fractions round half to even at every step; "many" keeps its text and counts 0.
        engines.set("f", {"2.5", "0.5", "1,000", "many", "", "1.5"});
        NetworkPageFetcher fetcher;
        ScanRun run({"f"}, env.file("settings.ini"), &fetcher);
        Recorder rec(run);
        QVERIFY(runToEnd(run));
        QCOMPARE(rec.starting("cell"),
                 (QStringList{"cell 1 3 [2.5]", "cell 1 4 [0.5]", "cell 1 5 [1000]",
                              "cell 1 6 [many]", "cell 1 7 [0]", "cell 1 8 [1.5]"}));
        // 2.5 -> 2; 2 + 0.5 -> 2; + 1000 -> 1002; many: 0; 0; 1002 + 1.5 -> 1004 (even).
        QCOMPARE(rec.starting("total"), QStringList{"total 1 1004 icon 3"});
        QVERIFY(rec.starting("completed")
                    .first()
                    .startsWith("completed Search Complete.  Found 1004 links."));
    }

    void prefixesReadBeforeEveryRequest() {
        test::TestEnv env(false);
        Engines engines;
        const QString ini = env.file("settings.ini");
        engines.writePrefixes(ini);
        // No Yahoo key: the URL alone is requested, here a full address on the same server.
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
        QObject::connect(
            &run, &ScanRun::engineResult, [&](int position, int column, const QString&) {
                if (position == 1 && column == 3)
                    modINI::WritePrivateProfileStringA(EnginesSection, "Altavista",
                                                       engines.server.urlString("/changed?q=link:"),
                                                       ini);
            });
        QVERIFY(runToEnd(run));
        const QStringList targets = engines.server.requestTargets();
        QCOMPARE(targets.size(), 12);
        QCOMPARE(targets.at(1), "/changed?q=link:" + bare);
        QCOMPARE(targets.at(2), QString("/bare"));
        QCOMPARE(targets.at(7), "/changed?q=link:" + bare);
        QCOMPARE(rec.starting("cell 1 5"), QStringList{"cell 1 5 [33]"});
    }

    void unreachableEnginesGiveEmptyCells() {
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
        QCOMPARE(rec.starting("cell"),
                 (QStringList{"cell 1 3 []", "cell 1 4 []", "cell 1 5 []", "cell 1 6 [0]",
                              "cell 1 7 [0]", "cell 1 8 []"}));
        QCOMPARE(rec.starting("total"), QStringList{"total 1 0 icon 1"});
        QVERIFY(rec.starting("completed")
                    .first()
                    .startsWith("completed Search Complete.  Found 0 links."));
    }

    void helpers() {
        QCOMPARE(ScanRun::completionText(1234), QString("Search Complete.  Found 1234 links."));
        QCOMPARE(ScanRun::profileIcon(499, 500, 1000), 1);
        QCOMPARE(ScanRun::profileIcon(500, 500, 1000), 2);
        QCOMPARE(ScanRun::profileIcon(1000, 500, 1000), 3);
        // A low threshold above the medium one: below low is still low.
        QCOMPARE(ScanRun::profileIcon(700, 800, 600), 1);
        QCOMPARE(ScanRun::profileIcon(900, 800, 600), 3);
    }
};

QTEST_GUILESS_MAIN(TestScanRun)
#include "tst_scan_run.moc"
