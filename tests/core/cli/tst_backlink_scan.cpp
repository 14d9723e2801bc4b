// `tallyscope --scan` with the shipped presets in the six slots, against the stand-ins of the
// backlink APIs (tests/support/api_stand_ins.h, each naming the documentation it follows) behind
// one server on 127.0.0.1 (and `tallyscope --backfill` against their history endpoints and the
// web graph's releases on the disk): engines.ini holds nothing but `Preset=` and `Server=` lines
// (or `Kind=off`), the keys are in the per-user store. Rate limits come as each provider sends
// them: a 429 with Retry-After, DataForSEO's 40202 with HTTP 200, Bing's ThrottleHost fault.
#include "core/cli/command_line.h"
#include "core/files/safe_file.h"
#include "core/history/backfill.h"
#include "core/linkgraph/link_index.h"
#include "core/product/engine_table.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"
#include "core/webview/web_results.h"
#include "support/api_stand_ins.h"
#include "support/local_http_server.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <map>
#include <memory>

using namespace tally;
using namespace tally::cli;

namespace {

const QStringList Urls{QStringLiteral("http://www.example.com/"),
                       QStringLiteral("https://shop.example.org/")};

// What each stand-in knows of the two URLs: referring domains (a rank for Open PageRank; for
// Bing Webmaster the links to the verified site, by the URL as listed).
QByteArray valueOf(const QString& preset, int url) {
    if (preset == QLatin1String("openpagerank"))
        return url == 0 ? "4.68" : "2.5";
    if (preset == QLatin1String("bing-webmaster"))
        return url == 0 ? "1234" : "56";
    return url == 0 ? "4321" : "17";
}
QString siteOf(const QString& preset, int url) {
    if (preset == QLatin1String("bing-webmaster"))
        return Urls.at(url);
    return url == 0 ? QStringLiteral("example.com") : QStringLiteral("example.org");
}

// The provider's own words for a key it refuses, as each stand-in answers them.
QString refusedKeyText(const QString& preset) {
    static const std::map<QString, QString> texts{
        {"moz", "Invalid credentials"},
        {"moz-legacy", "Invalid credentials"},
        {"majestic", "The API key is not valid"},
        {"ahrefs", "Invalid API key"},
        {"semrush", "ERROR 120 :: WRONG KEY - ID PAIR"},
        {"dataforseo", "You are not authorized to access this resource"},
        {"openpagerank", "Invalid API key"},
        {"bing-webmaster", "ERROR!!! InvalidApiKey"}};
    return texts.at(preset);
}

enum class Mode { Counts, BadKey, Quota, RateLimited, UnknownSite };

// The stand-ins of the sources asked, behind one local server, each answering its provider's
// paths.
struct Providers {
    test::LocalHttpServer server;
    std::map<QString, std::unique_ptr<test::ApiStandIn>> standIns;

    explicit Providers(const QStringList& asked) {
        for (const QString& preset : test::standInPresets())
            if (asked.contains(preset))
                standIns[preset] = test::apiStandIn(preset);
        server.setHandler([this](const test::HttpRequest& r) {
            for (auto& [preset, standIn] : standIns)
                if (r.path == pathOf(preset))
                    return standIn->answer(r);
            return test::HttpResponse::page("Not Found", 404);
        });
    }
    static QString pathOf(const QString& preset) {
        static const std::map<QString, QString> paths{
            {"moz", "/v2/url_metrics"},
            {"moz-legacy", "/v2/url_metrics"},
            {"majestic", "/api/json"},
            {"ahrefs", "/v3/site-explorer/backlinks-stats"},
            {"semrush", "/analytics/v1/"},
            {"dataforseo", "/v3/backlinks/summary/live"},
            {"openpagerank", "/v1/domains/bulk"},
            {"bing-webmaster", "/webmaster/api.svc/json/GetLinkCounts"}};
        return paths.at(preset);
    }
};

int runCli(const QStringList& arguments, QByteArray* out, QByteArray* err) {
    QBuffer outBuffer(out);
    QBuffer errBuffer(err);
    outBuffer.open(QIODevice::WriteOnly);
    errBuffer.open(QIODevice::WriteOnly);
    return cli::run(parseArguments(arguments), &outBuffer, &errBuffer);
}

} // namespace

class TestBacklinkScan : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scan_data() {
        QTest::addColumn<QStringList>("sources"); // a preset per slot, or "off"
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("exitCode");
        const QStringList six{"moz", "majestic", "ahrefs", "semrush", "dataforseo", "openpagerank"};
        const QStringList bingAndOff{"off", "bing-webmaster", "moz-legacy",
                                     "off", "majestic",       "off"};
        const struct {
            const char* name;
            Mode mode;
            int exitCode;
        } modes[] = {{"counts", Mode::Counts, ExitSuccess},
                     {"bad keys", Mode::BadKey, ExitSourceRefused},
                     {"spent quota", Mode::Quota, ExitSourceRefused},
                     {"rate limited first", Mode::RateLimited, ExitSuccess},
                     {"unknown sites", Mode::UnknownSite, ExitNothingCounted}};
        for (const auto& m : modes) {
            QTest::newRow(qPrintable(QStringLiteral("six presets, %1").arg(m.name)))
                << six << int(m.mode) << m.exitCode;
            QTest::newRow(
                qPrintable(QStringLiteral("bing, moz-legacy, majestic, three off, %1").arg(m.name)))
                << bingAndOff << int(m.mode) << m.exitCode;
        }
    }
    void scan() {
        QFETCH(QStringList, sources);
        QFETCH(int, mode);
        QFETCH(int, exitCode);
        const Mode m = Mode(mode);
        test::TestEnv env;
        Providers providers(sources);
        writeSetting(QLatin1String(settingkeys::ParallelEngines), QStringLiteral("1"));
        // Bing's throttling never ends here: 3 s of waiting in all, then it is not asked again.
        if (m == Mode::Quota)
            modINI::WritePrivateProfileStringA("Pacing", "RateLimitWait", "3",
                                               env.file("settings.ini"));
        setHistoryToday(QDate(2026, 3, 1));

        // engines.ini: one Preset= line and the stand-ins' server per slot; keys in section Keys.
        QByteArray ini = "; written by the test\r\n";
        QStringList secrets;
        for (int s = 0; s < EngineCount; ++s) {
            ini += "[" + QByteArray(engineTable()[s].key) + "]\r\n";
            if (sources[s] == QLatin1String("off")) {
                ini += "Kind=off\r\n";
                continue;
            }
            ini += "Preset=" + sources[s].toUtf8() +
                   "\r\nServer=" + providers.server.urlString(QString()).toUtf8() + "\r\n";
            test::ApiStandIn& standIn = *providers.standIns.at(sources[s]);
            QStringList stored;
            for (const auto& [name, value] : standIn.keys()) {
                stored << (m == Mode::BadKey ? value + QStringLiteral("-0ld") : value);
                QVERIFY(UserSettings::setApiKey(name, stored.last()));
                secrets << value << stored.last();
            }
            if (stored.size() == 2) // HTTP Basic: the two keys as one token
                secrets << QString::fromLatin1(stored.join(QLatin1Char(':')).toUtf8().toBase64());
            if (m == Mode::Quota)
                standIn.setMode(test::StandInMode::QuotaExhausted);
            if (m == Mode::RateLimited)
                standIn.setMode(test::StandInMode::RateLimited);
            for (int u = 0; u < Urls.size() && m != Mode::UnknownSite; ++u)
                standIn.setValue(siteOf(sources[s], u), valueOf(sources[s], u));
        }
        env.writeFile(EnginesIniName, ini);
        env.writeFile("Lists/sites.txt", Urls.join(QStringLiteral("\r\n")).toUtf8());

        QByteArray out;
        QByteArray err;
        const int code = runCli({"--scan", env.file("Lists/sites.txt"), "--csv", "-", "--json",
                                 env.file("scan.json"), "--save", "{host}"},
                                &out, &err);
        QVERIFY2(code == exitCode, err.constData());

        // The JSON lists the sources that are not off, in slot order.
        const QJsonArray results =
            QJsonDocument::fromJson(env.readFile("scan.json")).object()["results"].toArray();
        QCOMPARE(results.size(), Urls.size());
        QStringList asked = sources;
        asked.removeAll(QStringLiteral("off"));
        for (int u = 0; u < Urls.size(); ++u) {
            const QJsonObject row = results.at(u).toObject();
            QCOMPARE(row["url"].toString(), Urls.at(u));
            const QJsonArray engines = row["engines"].toArray();
            QCOMPARE(engines.size(), asked.size());
            qint64 total = 0;
            for (int e = 0; e < asked.size(); ++e) {
                const QJsonObject cell = engines.at(e).toObject();
                const QString preset = asked.at(e);
                const QString reason = cell["reason"].toString();
                const test::ApiStandIn& standIn = *providers.standIns.at(preset);
                if (m == Mode::Counts || m == Mode::RateLimited) {
                    QVERIFY2(reason.isEmpty(), qPrintable(preset + ": " + reason));
                    QCOMPARE(QString::number(cell["count"].toDouble()),
                             QString::fromLatin1(valueOf(preset, u)));
                    if (preset != QLatin1String("openpagerank")) // a rank, not in the total
                        total += valueOf(preset, u).toLongLong();
                    continue;
                }
                QVERIFY2(cell["count"].isNull(), qPrintable(preset));
                if (m == Mode::Quota && preset == QLatin1String("bing-webmaster")) {
                    // Throttled until the scan's waits are spent (1 s, then 2 s; the next 4 s
                    // would pass the 3 s), then not asked again.
                    QCOMPARE(standIn.requestCount(), 3);
                    QVERIFY2(reason.startsWith("rate limited") &&
                                 (u == 0 ? reason.contains("ThrottleUser")
                                         : reason.contains("not asked again")),
                             qPrintable(reason));
                    continue;
                }
                const QString quoted = m == Mode::BadKey  ? refusedKeyText(preset)
                                       : m == Mode::Quota ? standIn.quotaText()
                                                          : standIn.unknownSiteText();
                QVERIFY2(reason.contains(quoted), qPrintable(preset + ": " + reason));
                QVERIFY2(err.contains(quoted.toUtf8()), err.constData());
                // A refusal only the user can mend is named as one, and says where to mend it.
                if (m == Mode::BadKey || m == Mode::Quota)
                    QVERIFY2(
                        reason.startsWith(m == Mode::Quota ? "quota spent" : "API key refused") &&
                            reason.endsWith("(check the key and the plan in Tools › Sources)"),
                        qPrintable(preset + ": " + reason));
            }
            if (total > 0)
                QCOMPARE(row["total"].toInteger(), total);
            else
                QVERIFY(row["total"].isNull());
        }

        // A rate limit on the first request for each site: asked once more, and counted.
        if (m == Mode::RateLimited)
            for (const QString& preset : asked) {
                const int pages = preset == QLatin1String("bing-webmaster") ? 3 : 1;
                QCOMPARE(providers.standIns.at(preset)->requestCount(),
                         int(Urls.size()) * (pages + 1));
            }
        // Switched-off sources are nowhere: no column, no failure.
        QVERIFY(!out.contains(",off"));
        QVERIFY2(!err.contains(": off\n"), err.constData());
        const QByteArray csvHeader = out.left(out.indexOf("\r\n"));
        QCOMPARE(csvHeader.count(','), 1 + asked.size() * 2 + 1);
        if (m == Mode::Counts)
            QVERIFY2(err.contains("Found") && !err.contains("failed"), err.constData());
        // The summary says where a refusal is mended.
        QCOMPARE(QString::fromUtf8(err).contains(u"A source refused: see Tools \u203a Sources."),
                 m == Mode::BadKey || m == Mode::Quota);

        // No key in any output: standard output and error, the JSON, the saved searches, the
        // address behind each web-results row.
        QByteArray everything = out + err + env.readFile("scan.json");
        const QStringList saved = QDir(env.file("Saved")).entryList(QDir::Files);
        if (m == Mode::Counts)
            QCOMPARE(saved.size(), Urls.size());
        for (const QString& file : saved)
            everything +=
                env.readFile("Saved/" + file) + env.readFile("Saved/.provenance/" + file + ".json");
        const EngineSet set = loadEngines(env.file(EnginesIniName));
        for (const EngineDefinition& d : set.definitions)
            for (const QString& url : Urls)
                everything += webResultAddress(d.rowText, url, env.file("settings.ini"), set)
                                  .value_or(QString())
                                  .toUtf8();
        for (const QString& secret : std::as_const(secrets))
            for (const QByteArray& form : {secret.toUtf8(), QUrl::toPercentEncoding(secret)})
                QVERIFY2(!everything.contains(form), qPrintable(secret));
        setHistoryToday(QDate());
    }

    // --backfill: a provider's documented history answer, or the releases on the disk, merged
    // into a saved search that already holds two of the days.
    void backfill_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("mode"); // counts, damaged, bad key
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("added");
        QTest::addColumn<QString>("said");
        QTest::newRow("DataForSEO") << "dataforseo"
                                    << "counts" << int(ExitSuccess) << 23 << "";
        QTest::newRow("Ahrefs") << "ahrefs"
                                << "counts" << int(ExitSuccess) << 23 << "";
        QTest::newRow("Common Crawl releases") << "commoncrawl"
                                               << "counts" << int(ExitSuccess) << 2 << "";
        QTest::newRow("DataForSEO, a point without its count")
            << "dataforseo"
            << "damaged" << int(ExitNothingCounted) << 0
            << "/tasks/0/result/0/items/24/referring_main_domains is JSON null";
        QTest::newRow("Ahrefs, a point without its count")
            << "ahrefs"
            << "damaged" << int(ExitNothingCounted) << 0 << "nothing at /refdomains/24/refdomains";
        QTest::newRow("DataForSEO, key refused")
            << "dataforseo"
            << "bad key" << int(ExitSourceRefused) << 0 << "API key refused";
    }
    void backfill() {
        QFETCH(QString, source);
        QFETCH(QString, mode);
        QFETCH(int, exitCode);
        QFETCH(int, added);
        QFETCH(QString, said);
        test::TestEnv env;
        setHistoryToday(QDate(2026, 12, 9)); // 24 months back: since 2024-12-01
        test::LocalHttpServer server;
        QByteArray slot = "Preset=" + source.toUtf8() + "\r\n";
        const QString caption = source == "dataforseo" ? "DataForSEO"
                                : source == "ahrefs"   ? "Ahrefs"
                                                       : "Common Crawl";
        std::unique_ptr<test::ApiStandIn> standIn = test::apiStandIn(source);
        if (standIn) {
            slot += "Server=" + server.urlString(QString()).toUtf8() + "\r\n";
            server.setHandler(standIn->handler());
            for (const auto& [name, value] : standIn->keys())
                QVERIFY(UserSettings::setApiKey(name, mode == "bad key" ? value + "-0ld" : value));
            QList<QPair<QDate, qint64>> months; // 2024-06 to 2026-12, newest last
            for (QDate d(2024, 6, 1); d <= QDate(2026, 12, 1); d = d.addMonths(1))
                months.append({d, 1000 + d.month() * 10 + (d.year() - 2024)});
            standIn->setHistory("example.com", months);
            standIn->setHistoryDamaged(mode == "damaged");
        } else {
            // Three releases: one on a saved day, two new (one older than the months asked of
            // the providers: a release on the disk is read whatever its age).
            QVERIFY(QDir().mkpath(env.file("graphs")));
            for (const char* release : {"cc-main-2023-jan-feb-mar", "cc-main-2025-apr-may-jun",
                                        "cc-main-2025-jan-feb-mar"}) {
                LinkIndexBuilder index(QString::fromLatin1(release), GraphLevel::Domains);
                index.add("com.example", 0);
                QVERIFY(
                    writeFileAtomically(env.file(QStringLiteral("graphs/%1.links").arg(release)),
                                        index.finish([](quint32) { return 640; }).bytes));
            }
            slot += "Index=" + env.file("graphs/cc-main-2025-apr-may-jun.links").toUtf8() + "\r\n";
        }
        env.writeFile(EnginesIniName, "[Google]\r\n" + slot +
                                          "[Altavista]\r\nKind=off\r\n[Yahoo]\r\nKind=off\r\n"
                                          "[Ask]\r\nKind=off\r\n[MSN]\r\nKind=off\r\n"
                                          "[ATW]\r\nKind=off\r\n");
        env.writeFile("Lists/sites.txt", "http://www.example.com/\r\n");
        // Scanned on 1 December 2026 and on 1 June 2025 (a day the past holds too).
        const QByteArray before = "[" + caption.toUtf8() + "]\r\n12-01-26=5000\r\n06-01-25=1\r\n";
        env.writeFile("Saved/www.example.com.vqz", before);

        QByteArray out;
        QByteArray err;
        const int code =
            runCli({"--backfill", env.file("Lists/sites.txt"), "--save", "{host}"}, &out, &err);
        QVERIFY2(code == exitCode, err.constData());
        QVERIFY2(err.contains(said.toUtf8()), err.constData());
        const QByteArray vqz = env.readFile("Saved/www.example.com.vqz");
        if (added == 0) {
            QCOMPARE(vqz, before); // a failed answer saves nothing
            setHistoryToday(QDate());
            return;
        }
        // The file as saves write it (a blank line before the header), newest first, CR LF;
        // the saved days as they were.
        const QList<QByteArray> lines = vqz.split('\n');
        QVERIFY2(vqz.startsWith("\r\n[" + caption.toUtf8() + "]\r\n"), vqz.constData());
        QCOMPARE(lines.size(), 2 + 2 + added + 1);
        QVERIFY(vqz.endsWith("\r\n") && !vqz.mid(2).contains("\n\r\n"));
        QVERIFY(vqz.contains("\r\n12-01-26=5000\r\n") && vqz.contains("\r\n06-01-25=1\r\n"));
        QDate previous(2100, 1, 1);
        for (qsizetype i = 2; i + 1 < lines.size(); ++i) {
            const QDate date = *historyKeyDate(QString::fromLatin1(lines[i].left(8)));
            QVERIFY2(date < previous, lines[i].constData());
            QVERIFY(!standIn || date >= QDate(2024, 12, 1)); // as the provider was asked
            previous = date;
        }
        // Each point says where it came from; the scanned ones stay as they were.
        QVERIFY(runCli({"--export-history", "www.example.com", "--json", "-"}, &out, &err) == 0);
        int backfilled = 0;
        for (const QJsonValue& value :
             QJsonDocument::fromJson(out.mid(out.indexOf('{'))).object()["points"].toArray()) {
            const QJsonObject p = value.toObject();
            const bool scanned = p["date"] == "2026-12-01" || p["date"] == "2025-06-01";
            QCOMPARE(p["backfilled"].toBool(), !scanned);
            if (scanned)
                continue;
            ++backfilled;
            QCOMPARE(p["source"].toString(), source);
            QCOMPARE(p["caption"].toString(), caption);
            QCOMPARE(p["url"].toString(), "http://www.example.com/");
            const QDate date = QDate::fromString(p["date"].toString(), Qt::ISODate);
            QCOMPARE(standIn ? std::nullopt : releaseDate(p["release"].toString()),
                     standIn ? std::nullopt : std::optional(date));
            if (standIn) {
                QCOMPARE(p["count"].toInteger(), 1000 + date.month() * 10 + (date.year() - 2024));
            }
        }
        QCOMPARE(backfilled, added);
        setHistoryToday(QDate());
    }
};

TALLY_GUILESS_TEST_MAIN(TestBacklinkScan)
#include "tst_backlink_scan.moc"
