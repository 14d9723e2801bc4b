// Every shipped preset against a local stand-in of its API (tests/support/api_stand_ins.h): the
// request the preset builds is judged by the stand-in as the provider judges it, and its answers
// (a count, a refused key, a spent quota, a rate limit, an unknown site) read as a count or as a
// failure in the provider's own words, with no key in any reason or shown address. Each stand-in
// names the documentation page it follows.
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"
#include "core/scan/engine_request.h"
#include "core/settings/user_settings.h"
#include "support/api_stand_ins.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QTest>
#include <QUrl>

using namespace tally;

namespace {

const QString KnownUrl = QStringLiteral("http://www.example.com/");
const QString UnknownUrl = QStringLiteral("http://www.unknown-site.example/");

// The request as the stand-in's server would receive it.
test::HttpRequest received(const EngineRequest& request) {
    const QUrl url(request.url);
    test::HttpRequest r;
    r.method = request.method;
    r.path = url.path(QUrl::FullyEncoded);
    r.query = url.query(QUrl::FullyEncoded);
    r.target = r.path + (r.query.isEmpty() ? QString() : QLatin1Char('?') + r.query);
    r.headers = request.headers;
    if (!request.contentType.isEmpty())
        r.headers.append({QByteArrayLiteral("Content-Type"), request.contentType});
    r.body = request.body;
    return r;
}

// The answer as the fetch reports it.
FetchResult fetched(const test::HttpResponse& response) {
    FetchResult fetch;
    fetch.status = response.status;
    for (const auto& [name, value] : response.headers)
        if (name.compare("Retry-After", Qt::CaseInsensitive) == 0)
            fetch.retryAfter = value;
    fetch.body = response.body;
    return fetch;
}

struct Asked {
    EngineOutcome outcome;
    QStringList shownUrls;
    QList<FetchResult> answers;
};

// Every request of a slot for a URL (each page of a paged answer), answered by the stand-in.
Asked ask(const EngineDefinition& d, const QString& url, test::ApiStandIn& standIn) {
    Asked asked;
    PagedCount pages(d);
    while (const std::optional<int> page = pages.nextPage()) {
        const RequestBuild build = buildEngineRequest(d, QString(), url, test::RequestTime, *page);
        if (!build.request) {
            asked.outcome = build.failure;
            return asked;
        }
        asked.shownUrls << build.request->shownUrl;
        const FetchResult answer = fetched(standIn.answer(received(*build.request)));
        asked.answers << answer;
        if (!d.isPaged()) {
            asked.outcome = engineOutcome(answer, d);
            return asked;
        }
        pages.add(answer);
    }
    asked.outcome = pages.outcome();
    return asked;
}

// The preset in the fifth slot, its server moved to `server`, with the stand-in's keys (or
// wrong ones) in section Keys.
EngineDefinition presetSlot(const test::TestEnv& env, const test::ApiStandIn& standIn,
                            const QString& server, bool rightKeys = true) {
    for (const auto& [name, value] : standIn.keys())
        UserSettings::setApiKey(name, rightKeys ? value : value + QStringLiteral("-wrong"));
    env.writeFile(EnginesIniName, "[MSN]\r\nPreset=" + standIn.preset().toUtf8() +
                                      "\r\nServer=" + server.toUtf8() + "\r\n");
    return loadEngines(env.file(EnginesIniName)).definitions[4];
}

// The value the stand-in knows for the known URL, and how the cell shows it.
struct Known {
    QString site;
    QByteArray value;
};
Known knownValue(const QString& preset) {
    if (preset == QLatin1String("bing-webmaster"))
        return {KnownUrl, "1234"};
    if (preset == QLatin1String("openpagerank"))
        return {QStringLiteral("example.com"), "4.68"};
    return {QStringLiteral("example.com"), "4321"};
}

} // namespace

class TestBacklinkPresets : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void answers_data() {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("scenario");
        for (const QString& preset : test::standInPresets())
            for (const char* scenario : {"count", "bad key", "quota", "rate limit", "unknown site"})
                QTest::newRow(qPrintable(preset + QStringLiteral(": ") + QLatin1String(scenario)))
                    << preset << QString::fromLatin1(scenario);
    }
    void answers() {
        QFETCH(QString, preset);
        QFETCH(QString, scenario);
        test::TestEnv env;
        const std::unique_ptr<test::ApiStandIn> standIn = test::apiStandIn(preset);
        QVERIFY(standIn);
        const Known known = knownValue(preset);
        standIn->setValue(known.site, known.value);
        const EngineDefinition d = presetSlot(env, *standIn, QStringLiteral("http://127.0.0.1:9"),
                                              scenario != QLatin1String("bad key"));
        QVERIFY2(d.usable(), qPrintable(d.problem));
        if (scenario == QLatin1String("quota"))
            standIn->setMode(test::StandInMode::QuotaExhausted);
        if (scenario == QLatin1String("rate limit"))
            standIn->setMode(test::StandInMode::RateLimited);

        const Asked asked =
            ask(d, scenario == QLatin1String("unknown site") ? UnknownUrl : KnownUrl, *standIn);
        const EngineOutcome& outcome = asked.outcome;
        const QString shown = outcome.isCount() ? outcome.count : outcome.reason;

        if (scenario == QLatin1String("count")) {
            QVERIFY2(outcome.isCount(), qPrintable(outcome.reason));
            QCOMPARE(outcome.count, QString::fromLatin1(known.value));
        } else if (scenario == QLatin1String("bad key")) {
            QCOMPARE(outcome.failure, FailureKind::KeyRefused);
        } else if (scenario == QLatin1String("quota")) {
            QVERIFY2(!outcome.isCount() && outcome.failure != FailureKind::KeyRefused,
                     qPrintable(shown));
            QVERIFY2(outcome.reason.contains(standIn->quotaText()), qPrintable(shown));
        } else if (scenario == QLatin1String("rate limit")) {
            // The first answer is a rate limit however the provider words it, asked again after
            // a second...
            QCOMPARE(outcome.failure, FailureKind::RateLimited);
            QVERIFY2(outcome.reason.startsWith("rate limited ("), qPrintable(shown));
            QCOMPARE(rateLimitWaitMs(asked.answers.first(), 0, QDateTime::currentDateTimeUtc()),
                     1000);
            // ...and the request made again after the wait counts.
            const Asked again = ask(d, KnownUrl, *standIn);
            QVERIFY2(again.outcome.isCount(), qPrintable(again.outcome.reason));
            QCOMPARE(again.outcome.count, QString::fromLatin1(known.value));
        } else {
            QVERIFY2(!outcome.isCount() && outcome.failure != FailureKind::KeyRefused,
                     qPrintable(shown));
            QVERIFY2(outcome.reason.contains(standIn->unknownSiteText()), qPrintable(shown));
            if (preset == QLatin1String("bing-webmaster")) // what to mend
                QVERIFY2(outcome.reason.contains("exactly as it is verified"), qPrintable(shown));
        }
        // No key, right or wrong, in the reason or in any address shown.
        for (const auto& [name, value] : standIn->keys())
            for (const QString& text : QStringList{shown} + asked.shownUrls)
                QVERIFY2(!text.contains(value), qPrintable(text));
    }

    // The request each preset makes, as its provider documents it.
    void requestShapes_data() {
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QByteArray>("method");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("moz") << "moz" << QByteArray("POST") << "/v2/url_metrics"
                             << "" << QByteArray("{\"targets\": [\"example.com\"]}");
        QTest::newRow("majestic") << "majestic" << QByteArray("GET") << "/api/json"
                                  << "app_api_key=9A8B7C6D5E4F3A2B1C0D9E8F&cmd=GetIndexItemInfo&"
                                     "items=1&item0=example.com&datasource=fresh"
                                  << QByteArray();
        QTest::newRow("ahrefs") << "ahrefs" << QByteArray("GET")
                                << "/v3/site-explorer/backlinks-stats"
                                << "target=example.com&mode=subdomains&date=2026-03-01"
                                << QByteArray();
        QTest::newRow("semrush") << "semrush" << QByteArray("GET") << "/analytics/v1/"
                                 << "key=b6c1a9e4d2f87a3e5c0b1d9f&type=backlinks_overview&"
                                    "target=example.com&target_type=root_domain&"
                                    "export_columns=domains_num"
                                 << QByteArray();
        QTest::newRow("dataforseo")
            << "dataforseo" << QByteArray("POST") << "/v3/backlinks/summary/live"
            << "" << QByteArray("[{\"target\": \"example.com\", \"include_subdomains\": true}]");
        QTest::newRow("openpagerank")
            << "openpagerank" << QByteArray("POST") << "/v1/domains/bulk"
            << "" << QByteArray("{\"domains\": [\"example.com\"], \"include_history\": false}");
        QTest::newRow("bing-webmaster")
            << "bing-webmaster" << QByteArray("GET") << "/webmaster/api.svc/json/GetLinkCounts"
            << "siteUrl=http%3A%2F%2Fwww.example.com%2F&page=0&apikey=e7d94a0c2b5f4e8a9c1d3b6f"
            << QByteArray();
    }
    void requestShapes() {
        QFETCH(QString, preset);
        QFETCH(QByteArray, method);
        QFETCH(QString, path);
        QFETCH(QString, query);
        QFETCH(QByteArray, body);
        test::TestEnv env;
        const std::unique_ptr<test::ApiStandIn> standIn = test::apiStandIn(preset);
        const EngineDefinition d = presetSlot(env, *standIn, QStringLiteral("http://127.0.0.1:9"));
        const RequestBuild build = buildEngineRequest(d, QString(), KnownUrl, test::RequestTime);
        QVERIFY2(build.request, qPrintable(build.failure.reason));
        const test::HttpRequest r = received(*build.request);
        QCOMPARE(r.method, method);
        QCOMPARE(r.path, path);
        QCOMPARE(test::queryItems(r.query), test::queryItems(query));
        QCOMPARE(r.body, body);
        QVERIFY(build.request->url.startsWith("http://127.0.0.1:9/"));
        QVERIFY(build.request->api);
        // Without Server= the request goes to the provider itself, over https.
        env.writeFile(EnginesIniName, "[MSN]\r\nPreset=" + preset.toUtf8() + "\r\n");
        const EngineDefinition own = loadEngines(env.file(EnginesIniName)).definitions[4];
        const RequestBuild direct = buildEngineRequest(own, QString(), KnownUrl, test::RequestTime);
        QVERIFY(direct.request);
        QVERIFY(direct.request->url.startsWith("https://"));
        QCOMPARE(QUrl(direct.request->url).path(QUrl::FullyEncoded), path);
    }

    // An account with the legacy key pair alone is asked that way under Preset=moz; a token,
    // once stored, is used instead.
    void mozLegacyPair() {
        test::TestEnv env;
        const std::unique_ptr<test::ApiStandIn> legacy = test::apiStandIn("moz-legacy");
        for (const auto& [name, value] : legacy->keys())
            UserSettings::setApiKey(name, value);
        env.writeFile(EnginesIniName, "[MSN]\r\nPreset=moz\r\nServer=http://127.0.0.1:9\r\n");
        const EngineDefinition d = loadEngines(env.file(EnginesIniName)).definitions[4];
        QVERIFY2(d.usable(), qPrintable(d.problem));
        QCOMPARE(d.preset, QStringLiteral("moz-legacy"));
        legacy->setValue(QStringLiteral("example.com"), "4321");
        QCOMPARE(ask(d, KnownUrl, *legacy).outcome.count, QStringLiteral("4321"));
        UserSettings::setApiKey(QStringLiteral("moz-token"), QStringLiteral("mozscape-T0k3n"));
        QCOMPARE(loadEngines(env.file(EnginesIniName)).definitions[4].preset,
                 QStringLiteral("moz"));
    }
};

TALLY_GUILESS_TEST_MAIN(TestBacklinkPresets)
#include "tst_backlink_presets.moc"
