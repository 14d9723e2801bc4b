// A slot's request built from its definition: placeholders filled in and encoded for where they
// stand, keys kept to the definition's own server and masked wherever an address is shown.
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_request.h"
#include "support/api_stand_ins.h"
#include "support/test_main.h"

#include <QTest>

using namespace tally;

namespace {

// A json slot with nothing of the built-in engine.
EngineDefinition apiSlot() {
    EngineDefinition d;
    d.kind = EngineKind::Json;
    d.pointer = QStringLiteral("/n");
    d.keyName = QStringLiteral("site-key");
    d.plainRequest = false;
    return d;
}

const QHash<QString, QString> Keys{{QStringLiteral("site-key"), QStringLiteral("a b&c\"d")},
                                   {QStringLiteral("other"), QStringLiteral("0th3r")}};

} // namespace

class TestEngineRequest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each placeholder, encoded for the place it stands in.
    void placeholders_data() {
        QTest::addColumn<QString>("place"); // address, header, json, form, text
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("filled");
        const QString a = "https://api.example.net/v1?t=";
        const QString odd = "http://www.example.com/a b?x=1&y=\"2\"\\";
        QTest::newRow("url in an address") << "address" << a + "{url}" << odd << 0
                                           << a + "http%3A%2F%2Fwww.example.com%2Fa%20b%3Fx%3D1%"
                                                  "26y%3D%222%22%5C";
        QTest::newRow("encoded-url is not encoded twice")
            << "address" << a + "{encoded-url}"
            << "http://a.example/%20" << 0 << a + "http%3A%2F%2Fa.example%2F%2520";
        QTest::newRow("host") << "address" << a + "{host}"
                              << "https://Shop.Example.co.uk:8080/x" << 0
                              << a + "shop.example.co.uk";
        QTest::newRow("domain") << "address" << a + "{domain}"
                                << "http://shop.example.co.uk/x" << 0 << a + "example.co.uk";
        QTest::newRow("today and yesterday") << "address" << a + "{yesterday}..{today}"
                                             << "a.example" << 0 << a + "2026-02-28..2026-03-01";
        QTest::newRow("a date format") << "address" << a + "{date:yyyyMMdd}&w={date:ddd}"
                                       << "a.example" << 0 << a + "20260301&w=Sun";
        QTest::newRow("page") << "address" << a + "x&page={page}"
                              << "a.example" << 3 << a + "x&page=3";
        QTest::newRow("key in an address") << "address" << a + "x&key={key}"
                                           << "a.example" << 0 << a + "x&key=a%20b%26c%22d";
        QTest::newRow("a named key") << "address" << a + "x&k={key:other}"
                                     << "a.example" << 0 << a + "x&k=0th3r";
        QTest::newRow("braces that are text stay") << "address" << a + "{Url}{ url}{}"
                                                   << "a.example" << 0 << a + "{Url}{ url}{}";
        QTest::newRow("key in a header") << "header"
                                         << "Bearer {key}"
                                         << "a.example" << 0 << "Bearer a b&c\"d";
        QTest::newRow("url in a header") << "header"
                                         << "{url}" << odd << 0 << odd;
        QTest::newRow("url in a JSON body")
            << "json"
            << "{\"targets\": [\"{url}\"], \"k\": \"{key}\"}" << odd << 0
            << "{\"targets\": [\"http://www.example.com/a b?x=1&y=\\\"2\\\"\\\\\"], \"k\": "
               "\"a b&c\\\"d\"}";
        QTest::newRow("a JSON array body")
            << "json"
            << "[{\"target\": \"{domain}\", \"include_subdomains\": true}]"
            << "http://www.example.com/" << 0
            << "[{\"target\": \"example.com\", \"include_subdomains\": true}]";
        QTest::newRow("a form body")
            << "form"
            << "target={url}&key={key}"
            << "http://a.example/" << 0 << "target=http%3A%2F%2Fa.example%2F&key=a%20b%26c%22d";
        QTest::newRow("a text body") << "text"
                                     << "site {host}"
                                     << "http://a.example/" << 0 << "site a.example";
    }
    void placeholders() {
        QFETCH(QString, place);
        QFETCH(QString, text);
        QFETCH(QString, url);
        QFETCH(int, page);
        QFETCH(QString, filled);
        EngineDefinition d = apiSlot();
        d.address = QStringLiteral("https://api.example.net/v1");
        if (place == QLatin1String("address"))
            d.address = text;
        else if (place == QLatin1String("header"))
            d.headers = {{"X-Value", text}};
        else {
            d.method = "POST";
            d.body = text;
            d.contentType = place == QLatin1String("json") ? QByteArray()
                            : place == QLatin1String("form")
                                ? QByteArray("application/x-www-form-urlencoded")
                                : QByteArray("text/plain");
        }
        const RequestBuild build =
            buildEngineRequest(d, QString(), url, test::RequestTime, Keys, page);
        QVERIFY2(build.request, qPrintable(build.failure.reason));
        const EngineRequest& r = *build.request;
        if (place == QLatin1String("address"))
            QCOMPARE(r.url, filled);
        else if (place == QLatin1String("header"))
            QCOMPARE(QString::fromUtf8(r.headers.value(0).second), filled);
        else
            QCOMPARE(QString::fromUtf8(r.body), filled);
        if (place == QLatin1String("json"))
            QCOMPARE(r.contentType, QByteArray("application/json"));
        QVERIFY(r.api);
    }

    // A key goes to the server the definition writes out, never to one the URL decides.
    void keysStayWithTheirServer_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("sentTo"); // the request's address, or "refused: <reason>"
        const QString url = "http://evil.example/";
        QTest::newRow("key in the query of its own server")
            << "https://api.example.net/x?d={domain}&k={key}"
            << ""
            << ""
            << ""
            << ""
            << "https://api.example.net/x?d=evil.example&k=a%20b%26c%22d";
        QTest::newRow("the URL as the address")
            << "{url}?k={key}"
            << ""
            << ""
            << ""
            << ""
            << "refused: engine definition: a request that carries a key must write out its "
               "server";
        QTest::newRow("the host from the URL") << "https://{host}/x?k={key}"
                                               << ""
                                               << ""
                                               << ""
                                               << ""
                                               << "refused: engine definition: a request";
        QTest::newRow("user name trick") << "https://api.example.net@evil.example/x?k={key}"
                                         << ""
                                         << ""
                                         << ""
                                         << ""
                                         << "refused: engine definition: a request";
        QTest::newRow("an empty prefix (never the URL itself)")
            << ""
            << ""
            << "X-Key: {key}"
            << ""
            << ""
            << "refused: not configured: settings.ini has no query prefix";
        QTest::newRow("a prefix that does not end its host")
            << ""
            << "https://api.example.net"
            << "X-Key: {key}"
            << ""
            << ""
            << "refused: engine definition: a request";
        QTest::newRow("a prefix that does") << ""
                                            << "https://api.example.net/?q="
                                            << "X-Key: {key}"
                                            << ""
                                            << ""
                                            << "https://api.example.net/?q=http://evil.example/";
        QTest::newRow("a key in the body") << "{url}"
                                           << ""
                                           << ""
                                           << "{\"k\": \"{key}\"}"
                                           << ""
                                           << "refused: engine definition: a request";
        QTest::newRow("the server moved") << "https://api.example.net/x?k={key}"
                                          << ""
                                          << ""
                                          << ""
                                          << "http://127.0.0.1:8080"
                                          << "http://127.0.0.1:8080/x?k=a%20b%26c%22d";
        QTest::newRow("the server moved, the host from the URL")
            << "https://{host}/x?k={key}"
            << ""
            << ""
            << ""
            << "https://mirror.example"
            << "https://mirror.example/x?k=a%20b%26c%22d";
        QTest::newRow("no key, any address") << "{url}"
                                             << ""
                                             << ""
                                             << ""
                                             << ""
                                             << "http%3A%2F%2Fevil.example%2F";
    }
    void keysStayWithTheirServer() {
        QFETCH(QString, address);
        QFETCH(QString, prefix);
        QFETCH(QString, header);
        QFETCH(QString, body);
        QFETCH(QString, server);
        QFETCH(QString, sentTo);
        EngineDefinition d = apiSlot();
        d.address = address;
        d.server = server;
        if (!header.isEmpty())
            d.headers = {{header.section(':', 0, 0).toLatin1(), header.section(':', 1).trimmed()}};
        if (!body.isEmpty()) {
            d.method = "POST";
            d.body = body;
        }
        const RequestBuild build =
            buildEngineRequest(d, prefix, "http://evil.example/", test::RequestTime, Keys);
        if (sentTo.startsWith(QLatin1String("refused: "))) {
            QVERIFY(!build.request);
            QCOMPARE(build.failure.failure, FailureKind::Definition);
            QVERIFY2(build.failure.reason.startsWith(sentTo.mid(9)),
                     qPrintable(build.failure.reason));
            QVERIFY(!build.failure.reason.contains(QLatin1String("a b&c")));
        } else {
            QVERIFY2(build.request, qPrintable(build.failure.reason));
            QCOMPARE(build.request->url, sentTo);
        }
    }

    // Where the address is shown, every key in it is "…".
    void keysAreMaskedWhereShown() {
        EngineDefinition d = apiSlot();
        d.address = QStringLiteral("https://api.example.net/x?k={key}&o={key:other}");
        d.basicAuthUser = QStringLiteral("site-key");
        d.basicAuthSecret = QStringLiteral("other");
        const RequestBuild build =
            buildEngineRequest(d, QString(), "a.example", test::RequestTime, Keys);
        QVERIFY(build.request);
        QCOMPARE(build.request->shownUrl, QString("https://api.example.net/x?k=\u2026&o=\u2026"));
        const QByteArray token = QByteArray("a b&c\"d:0th3r").toBase64();
        QCOMPARE(build.request->headers.value(0),
                 (QPair<QByteArray, QByteArray>("Authorization", "Basic " + token)));
        QCOMPARE(maskSecrets("Basic " + QString::fromLatin1(token) +
                                 " k=a%20b%26c%22d "
                                 "\"a b&c\\\"d\" a b&c\"d",
                             {"a b&c\"d", QString::fromLatin1(token), QString()}),
                 QString("Basic \u2026 k=\u2026 \"\u2026\" \u2026"));
    }

    void requestsThatCannotBeMade_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("basicUser");
        QTest::addColumn<int>("failure");
        QTest::addColumn<QString>("reason");
        const QString a = "https://api.example.net/x?d=";
        QTest::newRow("no host for {domain}") << a + "{domain}"
                                              << ""
                                              << "not a url"
                                              << "" << int(FailureKind::CouldNotConnect)
                                              << "could not connect: no host name in the address";
        QTest::newRow("a line break into a header")
            << a << "{url}"
            << "http://a.example/\r\nX-Evil: 1"
            << "" << int(FailureKind::CouldNotConnect)
            << "could not connect: the value of {url} in the header X-Value holds a line break";
        QTest::newRow("a key with a line break into a header")
            << a << "Bearer {key:broken}"
            << "http://a.example/"
            << "" << int(FailureKind::Definition)
            << "engine definition: the API key in the header X-Value holds a line break";
        QTest::newRow("a key that is not stored")
            << a + "{key:missing}"
            << ""
            << "http://a.example/"
            << "" << int(FailureKind::Definition)
            << "engine definition: no API key: give missing a value in section Keys";
        QTest::newRow("a user name with a colon") << a << ""
                                                  << "http://a.example/"
                                                  << "colon" << int(FailureKind::Definition)
                                                  << "engine definition: the key colon holds \":\"";
    }
    void requestsThatCannotBeMade() {
        QFETCH(QString, address);
        QFETCH(QString, header);
        QFETCH(QString, url);
        QFETCH(QString, basicUser);
        QFETCH(int, failure);
        QFETCH(QString, reason);
        EngineDefinition d = apiSlot();
        d.address = address;
        if (!header.isEmpty())
            d.headers = {{"X-Value", header}};
        if (!basicUser.isEmpty()) {
            d.basicAuthUser = basicUser;
            d.basicAuthSecret = QStringLiteral("other");
        }
        QHash<QString, QString> keys = Keys;
        keys.insert(QStringLiteral("colon"), QStringLiteral("a:b"));
        keys.insert(QStringLiteral("broken"), QStringLiteral("a\r\nb"));
        const RequestBuild build = buildEngineRequest(d, QString(), url, test::RequestTime, keys);
        QVERIFY(!build.request);
        QCOMPARE(int(build.failure.failure), failure);
        QVERIFY2(build.failure.reason.startsWith(reason), qPrintable(build.failure.reason));
    }

    // A POST carries its body as JSON unless the definition says otherwise; a body that is no
    // longer JSON once filled in is not sent.
    void postBodies() {
        EngineDefinition d = apiSlot();
        d.address = QStringLiteral("https://api.example.net/v2/url_metrics");
        d.method = "POST";
        d.body = QStringLiteral("{\"targets\": [\"{domain}\"], \"page\": {page}}");
        RequestBuild build =
            buildEngineRequest(d, QString(), "http://www.a.example/", test::RequestTime, Keys, 2);
        QVERIFY(build.request);
        QCOMPARE(build.request->method, QByteArray("POST"));
        QCOMPARE(build.request->contentType, QByteArray("application/json"));
        QCOMPARE(build.request->body, QByteArray("{\"targets\": [\"a.example\"], \"page\": 2}"));
        d.body = QStringLiteral("{\"target\": {host}}");
        build = buildEngineRequest(d, QString(), "http://www.a.example/", test::RequestTime, Keys);
        QVERIFY(!build.request);
        QVERIFY(build.failure.reason.startsWith("engine definition: the Body is not JSON once "
                                                "filled in"));
        // A markers slot's request is the page it always was: prefix, URL, suffix, no body.
        const EngineDefinition google = builtInEngines().definitions[0];
        build = buildEngineRequest(google, "http://g.example/search?q=link:", "a.example",
                                   test::RequestTime, {});
        QVERIFY(build.request);
        QCOMPARE(build.request->url, QString("http://g.example/search?q=link:a.example"));
        QCOMPARE(build.request->method, QByteArray("GET"));
        QVERIFY(build.request->body.isEmpty() && build.request->contentType.isEmpty());
        QVERIFY(!build.request->api);
        build = buildEngineRequest(builtInEngines().definitions[5],
                                   "http://atw.example/?q=", "a.example", test::RequestTime, {});
        QCOMPARE(build.request->url, QString("http://atw.example/?q=a.example&rys=0&_sb_lang="
                                             "pref&ocjp=1"));
    }

    void servers_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("origin"); // scheme host port, or "-"
        QTest::newRow("local") << "http://127.0.0.1:8080"
                               << "http 127.0.0.1 8080";
        QTest::newRow("default port") << "https://Mirror.Example"
                                      << "https mirror.example 443";
        QTest::newRow("trailing slash") << "http://proxy.corp.example/"
                                        << "http proxy.corp.example 80";
        QTest::newRow("IPv6") << "http://[::1]:9000"
                              << "http [::1] 9000";
        QTest::newRow("a path") << "http://x.example/api"
                                << "-";
        QTest::newRow("a user") << "http://me@x.example"
                                << "-";
        QTest::newRow("port 0") << "http://x.example:0"
                                << "-";
        QTest::newRow("port too large") << "http://x.example:65536"
                                        << "-";
        QTest::newRow("not http") << "ftp://x.example"
                                  << "-";
        QTest::newRow("no scheme") << "x.example:80"
                                   << "-";
        QTest::newRow("blank host") << "http://:80"
                                    << "-";
        QTest::newRow("odd host") << "http://a_b.example"
                                  << "-";
    }
    void servers() {
        QFETCH(QString, text);
        QFETCH(QString, origin);
        QString why;
        const std::optional<ServerOrigin> read = readServer(text, &why);
        QCOMPARE(read ? QStringLiteral("%1 %2 %3").arg(read->scheme, read->host).arg(read->port)
                      : QStringLiteral("-"),
                 origin);
        QCOMPARE(why.isEmpty(), bool(read));
    }
};

TALLY_GUILESS_TEST_MAIN(TestEngineRequest)
#include "tst_engine_request.moc"
