// `tallyscope --scan` with the shipped presets in the six slots, against the stand-ins of the
// backlink APIs (tests/support/api_stand_ins.h, each naming the documentation it follows) behind
// one server on 127.0.0.1: engines.ini holds nothing but `Preset=` and `Server=` lines (or
// `Kind=off`), the keys are in the per-user store. Rate limits come as each provider sends them:
// a 429 with Retry-After, DataForSEO's 40202 with HTTP 200, Bing's ThrottleHost fault.
#include "core/cli/command_line.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_table.h"
#include "core/settings/ini_file.h"
#include "core/settings/user_settings.h"
#include "core/webview/web_results.h"
#include "support/api_stand_ins.h"
#include "support/local_http_server.h"
#include "support/test_env.h"

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
};

QTEST_GUILESS_MAIN(TestBacklinkScan)
#include "tst_backlink_scan.moc"
