// GetUrlSource and fetch() against a real server on 127.0.0.1: whole bodies, redirects, error
// pages, refused and silent servers, the transfer time-out, the request limit, the body caps, a
// cut connection, hostile servers and broken replies, proxies from the environment, compressed
// bodies, POST, certificates.
#include "core/net/network_page_fetcher.h"
#include "core/scan/engine_parser.h"
#include "support/encodings.h"
#include "support/local_http_server.h"
#include "support/test_main.h"

#include <QElapsedTimer>
#include <curl/curl.h>

#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>

using tally::FetchError;
using tally::FetchRequest;
using tally::FetchResult;
using tally::NetworkPageFetcher;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;

namespace {

// Every byte value in turn, n bytes.
QByteArray allBytes(int n) {
    QByteArray bytes(n, '\0');
    for (int i = 0; i < n; ++i)
        bytes[i] = char(i % 256);
    return bytes;
}

struct Fetch {
    bool arrived = false;
    int answers = 0;
    QString body;
    FetchResult result;
    qint64 ms = 0;
};

FetchResult resultOf(const QSignalSpy& spy, int i = 0) {
    return spy.at(i).first().value<FetchResult>();
}

Fetch fetch(NetworkPageFetcher& fetcher, const FetchRequest& request, int waitMs = 10000) {
    QSignalSpy spy(&fetcher, &NetworkPageFetcher::pageFetched);
    QElapsedTimer t;
    t.start();
    if (request.method == "GET" && request.bodyCap == tally::PageBodyCap)
        fetcher.GetUrlSource(request.url);
    else
        fetcher.fetch(request);
    Fetch f;
    f.arrived = spy.size() == 1 || spy.wait(waitMs);
    f.ms = t.elapsed();
    QTest::qWait(20); // a second answer would show here
    f.answers = int(spy.size());
    if (!spy.isEmpty()) {
        f.result = resultOf(spy);
        f.body = QString::fromLatin1(f.result.body);
    }
    return f;
}

Fetch fetch(NetworkPageFetcher& fetcher, const QString& url, int waitMs = 10000) {
    FetchRequest request;
    request.url = url;
    return fetch(fetcher, request, waitMs);
}

// A test file: the certificates of tests/data/tls.
QString tlsFile(const char* name) {
    return QStringLiteral(TALLY_TEST_DATA "/tls/") + QLatin1String(name);
}

} // namespace

class TestPageFetcher : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void limitsAreNamed() {
        QCOMPARE(NetworkPageFetcher::DefaultTransferTimeoutMs, 30000);
        QCOMPARE(NetworkPageFetcher::DefaultRequestLimitMs, 120000);
        QCOMPARE(NetworkPageFetcher::DefaultBodyCap, qint64(32) * 1024 * 1024);
        NetworkPageFetcher fetcher;
        QCOMPARE(fetcher.transferTimeout(), NetworkPageFetcher::DefaultTransferTimeoutMs);
        QCOMPARE(fetcher.requestLimit(), NetworkPageFetcher::DefaultRequestLimitMs);
        QCOMPARE(fetcher.bodyCap(), NetworkPageFetcher::DefaultBodyCap);
    }

    void wholeBodyByteForByte() {
        LocalHttpServer server;
        // 600 bytes arriving as 256, 256 and 88, every byte value among them.
        HttpResponse dripped = HttpResponse::page(allBytes(600));
        dripped.dripBytes = 256;
        dripped.dripIntervalMs = 40;
        server.route("/600", dripped);
        server.route("/small", HttpResponse::page(allBytes(200)));
        server.route("/empty", HttpResponse::page(QByteArray()));
        NetworkPageFetcher fetcher;

        Fetch f = fetch(fetcher, server.urlString("/600"));
        QVERIFY(f.arrived);
        QCOMPARE(f.answers, 1);
        QCOMPARE(f.body.size(), 600);
        QCOMPARE(f.body, QString::fromLatin1(allBytes(600)));

        f = fetch(fetcher, server.urlString("/small"));
        QCOMPARE(f.body, QString::fromLatin1(allBytes(200)));
        f = fetch(fetcher, server.urlString("/empty"));
        QVERIFY(f.arrived);
        QCOMPARE(f.body, QString());

        // GET, agent "Mozilla", one connection kept alive for all three.
        const QList<HttpRequest> log = server.requests();
        QCOMPARE(log.size(), 3);
        for (const HttpRequest& r : log) {
            QCOMPARE(r.method, QByteArray("GET"));
            QCOMPARE(r.header("User-Agent"), QByteArray("Mozilla"));
        }
        QCOMPARE(server.connectionCount(), 1);
    }

    void queryAddressSentAsGiven() {
        LocalHttpServer server;
        server.setHandler([](const HttpRequest&) { return HttpResponse::page("ok"); });
        NetworkPageFetcher fetcher;
        QVERIFY(fetch(fetcher, server.urlString("/search?hl=en&ie=UTF-8&q=link:www.site1.example"))
                    .arrived);
        QVERIFY(
            fetch(fetcher, server.urlString("/web?q=links:site2.example/a/b.html&rys=0")).arrived);
        QCOMPARE(server.requestTargets(),
                 (QStringList{"/search?hl=en&ie=UTF-8&q=link:www.site1.example",
                              "/web?q=links:site2.example/a/b.html&rys=0"}));
    }

    void redirectsFollowed() {
        LocalHttpServer server;
        LocalHttpServer other;
        other.route("/final", HttpResponse::page("the final page"));
        server.route("/first", HttpResponse::redirect(QByteArray("/second"), 301));
        server.route("/second", HttpResponse::redirect(QByteArray("third"), 303));
        server.route("/third", HttpResponse::redirect(QByteArray("/fourth"), 307));
        server.route("/fourth", HttpResponse::redirect(other.urlString("/final"), 308));
        NetworkPageFetcher fetcher;
        // Each address of the chain is asked for once, every time.
        for (int round = 0; round < 20; ++round) {
            server.clearLog();
            other.clearLog();
            const Fetch f = fetch(fetcher, server.urlString("/first"));
            QCOMPARE(f.body, QString("the final page"));
            QCOMPARE(f.answers, 1);
            QCOMPARE(server.requestTargets(),
                     (QStringList{"/first", "/second", "/third", "/fourth"}));
            QCOMPARE(other.requestTargets(), QStringList{"/final"});
        }
        for (const HttpRequest& r : server.requests() + other.requests())
            QCOMPARE(r.header("User-Agent"), QByteArray("Mozilla"));
    }

    // Extra headers (an API key) go to the address asked for and its own redirects, never to
    // another server; the request's own Accept and User-Agent give way to them.
    void extraHeadersStayWithTheirServer() {
        LocalHttpServer server;
        LocalHttpServer other;
        server.route("/api", HttpResponse::redirect(QByteArray("/v2"), 302));
        server.route("/v2", HttpResponse::redirect(other.urlString("/elsewhere"), 302));
        other.route("/elsewhere", HttpResponse::page("{}"));
        NetworkPageFetcher fetcher;
        fetcher.setRequestHeaders(
            {{"API-Key", "k3y"}, {"Accept", "application/json"}, {"Bad", "a\r\nInjected: yes"}});
        QVERIFY(fetch(fetcher, server.urlString("/api")).arrived);
        fetcher.setRequestHeaders({});
        QVERIFY(fetch(fetcher, server.urlString("/v2")).arrived);
        // /api and /v2 with the headers, then /v2 without; /elsewhere twice, never with them.
        const QList<HttpRequest> own = server.requests();
        QCOMPARE(own.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(own[i].header("API-Key"), QByteArray(i < 2 ? "k3y" : ""));
            QCOMPARE(own[i].header("Accept"), QByteArray(i < 2 ? "application/json" : "*/*"));
            QCOMPARE(own[i].header("Injected"), QByteArray());
        }
        QCOMPARE(other.requestCount(), 2);
        for (const HttpRequest& r : other.requests())
            QCOMPARE(r.header("API-Key"), QByteArray());
    }

    void redirectLoopEndsEmpty() {
        LocalHttpServer server;
        server.route("/loop", HttpResponse::redirect(QByteArray("/loop"), 302));
        server.route("/nowhere", HttpResponse::redirect(QByteArray("ftp://127.0.0.1/x"), 302));
        NetworkPageFetcher fetcher;
        Fetch f = fetch(fetcher, server.urlString("/loop"));
        QVERIFY(f.arrived);
        QCOMPARE(f.answers, 1);
        QCOMPARE(f.body, QString());
        QCOMPARE(f.result.error, FetchError::TooManyRedirects);
        QCOMPARE(server.requestCount(), NetworkPageFetcher::MaxRedirects + 1);
        f = fetch(fetcher, server.urlString("/nowhere"));
        QVERIFY(f.arrived);
        QCOMPARE(f.body, QString());
        QCOMPARE(f.result.error, FetchError::RedirectRefused);
    }

    void errorStatusStillGivesTheBody() {
        LocalHttpServer server;
        server.route("/missing", HttpResponse::page("<td>Showing results 1-10 of 77</td>", 404));
        server.route("/broken", HttpResponse::page("server trouble", 500));
        NetworkPageFetcher fetcher;
        Fetch f = fetch(fetcher, server.urlString("/missing"));
        QCOMPARE(f.body, QString("<td>Showing results 1-10 of 77</td>"));
        QCOMPARE(tally::ParseEngineData(f.body, 4), QString("77"));
        QVERIFY(f.result.complete());
        QCOMPARE(f.result.status, 404);
        QCOMPARE(f.result.statusText, QString("Not Found"));
        QCOMPARE(fetch(fetcher, server.urlString("/broken")).body, QString("server trouble"));
    }

    void unreachableGivesEmptyText() {
        quint16 port;
        {
            LocalHttpServer gone;
            port = gone.port();
        }
        NetworkPageFetcher fetcher;
        Fetch f = fetch(fetcher, QStringLiteral("http://127.0.0.1:%1/x").arg(port));
        QVERIFY(f.arrived);
        QCOMPARE(f.answers, 1);
        QCOMPARE(f.body, QString());
        QCOMPARE(f.result.error, FetchError::ConnectionRefused);
        // Addresses that cannot be opened at all answer too, never at once.
        for (const QString& bad : {QString(), QString("www.site1.example"), QString("not a url"),
                                   QString("file:///etc/hostname"), QString("http://")}) {
            QSignalSpy spy(&fetcher, &NetworkPageFetcher::pageFetched);
            fetcher.GetUrlSource(bad);
            QCOMPARE(spy.size(), 0);
            QVERIFY2(spy.wait(5000), qPrintable(bad));
            QCOMPARE(resultOf(spy).body, QByteArray());
            QCOMPARE(resultOf(spy).error, FetchError::NotWebAddress);
        }
    }

    void silentServerEndsAtTheTransferTimeout() {
        LocalHttpServer server;
        HttpResponse silent;
        silent.neverAnswer = true;
        server.route("/silent", silent);
        // Headers and 100 bytes, then nothing more.
        HttpResponse stalls = HttpResponse::page(QByteArray(1000, 'a'));
        stalls.dripBytes = 100;
        stalls.dripIntervalMs = 60 * 1000;
        server.route("/stalls", stalls);
        NetworkPageFetcher fetcher;
        fetcher.setTransferTimeout(400);
        Fetch f = fetch(fetcher, server.urlString("/silent"));
        QVERIFY(f.arrived);
        QCOMPARE(f.body, QString());
        QCOMPARE(f.result.error, FetchError::TimedOut);
        QVERIFY(f.ms >= 350);
        f = fetch(fetcher, server.urlString("/stalls"));
        QVERIFY(f.arrived);
        QCOMPARE(f.body, QString(100, 'a'));
    }

    void drippingServerEndsAtTheRequestLimit() {
        LocalHttpServer server;
        HttpResponse drip = HttpResponse::page(QByteArray(100000, 'd'));
        drip.dripBytes = 1;
        drip.dripIntervalMs = 20;
        server.route("/drip", drip);
        NetworkPageFetcher fetcher;
        fetcher.setTransferTimeout(5000); // each byte comes well within it
        fetcher.setRequestLimit(600);
        const Fetch f = fetch(fetcher, server.urlString("/drip"));
        QVERIFY(f.arrived);
        QVERIFY(f.ms >= 550);
        QVERIFY2(f.body.size() >= 1 && f.body.size() < 1000,
                 qPrintable(QString::number(f.body.size())));
        QCOMPARE(f.body, QString(f.body.size(), 'd'));
    }

    void bodyCappedKeepsWhatArrivedUpToTheCap() {
        LocalHttpServer server;
        HttpResponse huge;
        huge.generatedSize = NetworkPageFetcher::DefaultBodyCap + 5 * 1024 * 1024;
        server.route("/huge", huge);
        HttpResponse endless; // no length: it would go on until the server closes
        endless.generatedSize = qint64(1) << 40;
        endless.noLength = true;
        server.route("/endless", endless);
        NetworkPageFetcher fetcher;
        Fetch f = fetch(fetcher, server.urlString("/huge"), 60000);
        QVERIFY(f.arrived);
        QCOMPARE(f.body.size(), NetworkPageFetcher::DefaultBodyCap);
        QCOMPARE(f.result.error, FetchError::TooLarge);
        QVERIFY(f.body.startsWith("xxxx") && f.body.endsWith("xxxx"));
        f = {};
        fetcher.setBodyCap(100000);
        f = fetch(fetcher, server.urlString("/endless"), 60000);
        QCOMPARE(f.body.size(), 100000);
    }

    void cutConnectionGivesWhatArrived() {
        LocalHttpServer server;
        HttpResponse cut = HttpResponse::page(allBytes(1000));
        cut.cutAfter = 300;
        server.route("/cut", cut);
        NetworkPageFetcher fetcher;
        const Fetch f = fetch(fetcher, server.urlString("/cut"));
        QVERIFY(f.arrived);
        QCOMPARE(f.body, QString::fromLatin1(allBytes(300)));
        QCOMPARE(f.result.error, FetchError::BrokenOff);
    }

    void proxyOnlyFromTheEnvironment() {
        LocalHttpServer server;
        LocalHttpServer proxy;
        server.route("/p", HttpResponse::page("direct"));
        proxy.setHandler([](const HttpRequest&) { return HttpResponse::page("via proxy"); });
        const QByteArray proxyAddress = "http://127.0.0.1:" + QByteArray::number(proxy.port());
        // The application's proxy setting is not the user's: without the variables, direct.
        QNetworkProxy::setApplicationProxy(
            QNetworkProxy(QNetworkProxy::HttpProxy, QStringLiteral("127.0.0.1"), proxy.port()));
        qunsetenv("http_proxy");
        qunsetenv("no_proxy");
        qunsetenv("NO_PROXY");
        NetworkPageFetcher fetcher;
        QCOMPARE(fetch(fetcher, server.urlString("/p")).body, QString("direct"));
        QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
        QCOMPARE(proxy.requestCount(), 0);

        // http_proxy: the whole address goes to the proxy; no_proxy exempts hosts and domains.
        qputenv("http_proxy", proxyAddress);
        QCOMPARE(fetch(fetcher, server.urlString("/p?q=1")).body, QString("via proxy"));
        QCOMPARE(proxy.requestTargets(), QStringList{server.urlString("/p?q=1")});
        QCOMPARE(proxy.requests().first().header("User-Agent"), QByteArray("Mozilla"));
        for (const char* exempt : {"127.0.0.1", "localhost,127.0.0.1:8080", "*"}) {
            qputenv("no_proxy", exempt);
            QCOMPARE(fetch(fetcher, server.urlString("/p")).body, QString("direct"));
        }
        qputenv("no_proxy", ".example.com,0.0.1");
        QCOMPARE(fetch(fetcher, server.urlString("/p")).body, QString("via proxy"));
        qunsetenv("http_proxy");
        qunsetenv("no_proxy");

        QCOMPARE(tally::proxyFromEnvironment(QUrl("https://www.example.com/")).type(),
                 QNetworkProxy::NoProxy);
        qputenv("https_proxy", "user:secret@proxy.example:3128");
        qputenv("NO_PROXY", "other.example");
        const QNetworkProxy https = tally::proxyFromEnvironment(QUrl("https://www.example.com/"));
        QCOMPARE(https.type(), QNetworkProxy::HttpProxy);
        QCOMPARE(https.hostName(), QString("proxy.example"));
        QCOMPARE(https.port(), quint16(3128));
        QCOMPARE(https.user(), QString("user"));
        QCOMPARE(tally::proxyFromEnvironment(QUrl("https://a.other.example/")).type(),
                 QNetworkProxy::NoProxy);
        QCOMPARE(tally::proxyFromEnvironment(QUrl("http://www.example.com/")).type(),
                 QNetworkProxy::NoProxy);
        qunsetenv("https_proxy");
        qunsetenv("NO_PROXY");
    }

    // Servers that never end their reply: each request ends at a limit with its reason, holds
    // a bounded number of bytes, and the fetcher goes on to serve a good server.
    void hostileServers_data() {
        QTest::addColumn<int>("flood");
        QTest::addColumn<int>("dripMs");
        QTest::addColumn<qint64>("bodySize");
        QTest::addColumn<int>("error");
        QTest::addColumn<qint64>("maxBuffered");
        using Flood = HttpResponse::Flood;
        const qint64 head =
            NetworkPageFetcher::HeaderLimit + 2 * NetworkPageFetcher::ReadBufferSize;
        const qint64 body =
            NetworkPageFetcher::DefaultBodyCap + 2 * NetworkPageFetcher::ReadBufferSize;
        QTest::newRow("endless header lines")
            << int(Flood::HeaderLines) << 0 << qint64(-1) << int(FetchError::BadReply) << head;
        QTest::newRow("endless status line")
            << int(Flood::StatusLine) << 0 << qint64(-1) << int(FetchError::BadReply) << head;
        QTest::newRow("100-Continue flood")
            << int(Flood::Continues) << 0 << qint64(-1) << int(FetchError::BadReply) << head;
        QTest::newRow("header lines dripping")
            << int(Flood::HeaderLines) << 50 << qint64(-1) << int(FetchError::TimedOut) << head;
        QTest::newRow("endless body")
            << int(Flood::None) << 0 << (qint64(1) << 40) << int(FetchError::TooLarge) << body;
        QTest::newRow("dripping body") << int(Flood::None) << 20 << qint64(1000000)
                                       << int(FetchError::TimedOut) << qint64(4096);
    }
    void hostileServers() {
        QFETCH(int, flood);
        QFETCH(int, dripMs);
        QFETCH(qint64, bodySize);
        QFETCH(int, error);
        QFETCH(qint64, maxBuffered);
        LocalHttpServer server;
        HttpResponse hostile;
        hostile.flood = HttpResponse::Flood(flood);
        hostile.dripIntervalMs = dripMs;
        if (bodySize >= 0) {
            hostile.generatedSize = bodySize;
            hostile.noLength = true;
            hostile.dripBytes = dripMs > 0 ? 1 : 0;
        }
        server.route("/hostile", hostile);
        server.route("/good", HttpResponse::page("good page"));
        NetworkPageFetcher fetcher;
        fetcher.setHeaderTimeLimit(1000);
        fetcher.setRequestLimit(1500);
        const Fetch f = fetch(fetcher, server.urlString("/hostile"), 30000);
        QVERIFY(f.arrived);
        QCOMPARE(int(f.result.error), error);
        QVERIFY(!f.result.errorText.isEmpty());
        QVERIFY2(f.ms < 10000, qPrintable(QString::number(f.ms)));
        QVERIFY2(fetcher.peakBufferedBytes() <= maxBuffered,
                 qPrintable(QString::number(fetcher.peakBufferedBytes())));
        QVERIFY(!fetcher.isBusy());
        QCOMPARE(fetch(fetcher, server.urlString("/good")).body, QString("good page"));
        NetworkPageFetcher other;
        QCOMPARE(fetch(other, server.urlString("/good")).body, QString("good page"));
    }

    void newFetchOrAbortCancelsTheOneInFlight() {
        LocalHttpServer server;
        HttpResponse late = HttpResponse::page("late");
        late.delayMs = 300;
        server.route("/late", late);
        server.route("/now", HttpResponse::page("now"));
        NetworkPageFetcher fetcher;
        QSignalSpy spy(&fetcher, &NetworkPageFetcher::pageFetched);
        fetcher.GetUrlSource(server.urlString("/late"));
        QTRY_COMPARE(server.requestCount(), 1);
        QVERIFY(fetcher.isBusy());
        fetcher.GetUrlSource(server.urlString("/now"));
        QVERIFY(spy.wait(5000));
        QTest::qWait(500);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(resultOf(spy).body, QByteArray("now"));

        spy.clear();
        fetcher.GetUrlSource(server.urlString("/late"));
        QTRY_COMPARE(server.requestCount(), 3);
        fetcher.abort();
        QVERIFY(!fetcher.isBusy());
        QTest::qWait(500);
        QCOMPARE(spy.size(), 0);
        // A pending empty answer is cancelled as well.
        fetcher.GetUrlSource(QString("nowhere"));
        fetcher.abort();
        QTest::qWait(50);
        QCOMPARE(spy.size(), 0);
    }

    // Each content encoding the linked libcurl decodes is offered and arrives decoded, byte for
    // byte. The replies are shaped as RFC 9110 (8.4) has them: Content-Encoding names the
    // coding, Content-Length the encoded bytes; the bodies are the codings' own formats (gzip RFC
    // 1952, deflate as the zlib format of RFC 1950, br RFC 7932, zstd RFC 8878).
    void compressedBodies_data() {
        QTest::addColumn<QByteArray>("coding");
        QTest::addColumn<int>("feature"); // what curl_version_info() says the library decodes
        QTest::newRow("gzip") << QByteArray("gzip") << int(CURL_VERSION_LIBZ);
        QTest::newRow("deflate") << QByteArray("deflate") << int(CURL_VERSION_LIBZ);
        QTest::newRow("br") << QByteArray("br") << int(CURL_VERSION_BROTLI);
        QTest::newRow("zstd") << QByteArray("zstd") << int(CURL_VERSION_ZSTD);
    }
    void compressedBodies() {
        QFETCH(QByteArray, coding);
        QFETCH(int, feature);
        if (!(curl_version_info(CURLVERSION_NOW)->features & feature))
            QSKIP("the linked libcurl does not decode this coding");
        const QByteArray page = allBytes(200000);
        const QByteArray encoded = coding == "gzip"      ? tally::test::gzipped(page)
                                   : coding == "deflate" ? tally::test::deflated(page)
                                   : coding == "br"      ? tally::test::storedBrotli(page)
                                                         : tally::test::storedZstd(page);
        LocalHttpServer server;
        HttpResponse reply = HttpResponse::page(encoded);
        reply.headers.append(std::pair<QByteArray, QByteArray>("Content-Encoding", coding));
        server.route("/c", reply);
        NetworkPageFetcher fetcher;
        const Fetch f = fetch(fetcher, server.urlString("/c"));
        QCOMPARE(f.result.error, FetchError::None);
        QCOMPARE(f.result.body, page);
        QCOMPARE(f.result.contentType, QByteArray("text/html"));
        const QList<QByteArray> offered =
            server.requests().first().header("Accept-Encoding").split(',');
        QVERIFY(std::any_of(offered.begin(), offered.end(),
                            [&](const QByteArray& c) { return c.trimmed() == coding; }));
    }

    // The cap counts decoded bytes, so that a small gzip stream that decodes to far more (a
    // decompression bomb) stops at it with what fits; an API answer's cap is 1 MiB.
    void bodyCaps_data() {
        QTest::addColumn<bool>("gzip");
        QTest::addColumn<qint64>("size"); // decoded
        QTest::addColumn<qint64>("cap");  // the request's
        QTest::addColumn<QString>("reason");
        const qint64 mib = 1024 * 1024;
        QTest::newRow("bomb, page")
            << true << 40 * mib << tally::PageBodyCap << "page larger than 32 MiB";
        QTest::newRow("bomb, API")
            << true << 40 * mib << tally::ApiBodyCap << "answer larger than 1 MiB";
        QTest::newRow("API, a byte over")
            << false << mib + 1 << tally::ApiBodyCap << "answer larger than 1 MiB";
        QTest::newRow("API, at the cap") << false << mib << tally::ApiBodyCap << "";
        QTest::newRow("gzip API, at the cap") << true << mib << tally::ApiBodyCap << "";
    }
    void bodyCaps() {
        QFETCH(bool, gzip);
        QFETCH(qint64, size);
        QFETCH(qint64, cap);
        QFETCH(QString, reason);
        LocalHttpServer server;
        HttpResponse reply =
            HttpResponse::page(gzip ? tally::test::gzippedZeros(size) : QByteArray(size, '\0'));
        if (gzip)
            reply.headers.append(std::pair<QByteArray, QByteArray>("Content-Encoding", "gzip"));
        server.route("/big", reply);
        NetworkPageFetcher fetcher;
        FetchRequest request;
        request.url = server.urlString("/big");
        request.bodyCap = cap;
        const Fetch f = fetch(fetcher, request, 60000);
        QCOMPARE(f.result.error, reason.isEmpty() ? FetchError::None : FetchError::TooLarge);
        QCOMPARE(f.result.errorText, reason);
        QCOMPARE(f.result.body, QByteArray(std::min(size, cap), '\0'));
        QVERIFY(fetcher.peakBufferedBytes() <= cap + NetworkPageFetcher::HeaderLimit);
    }

    // POST as RFC 9110 (9.3.3) has it: the body with its length and type, no "Expect" wait.
    // After 301, 302 and 303 the next request is a GET without the body; 307 and 308 repeat the
    // POST, but a body and the request's headers never go to another host.
    void postRequests_data() {
        QTest::addColumn<int>("redirect"); // 0: none
        QTest::addColumn<bool>("otherHost");
        QTest::addColumn<QByteArray>("finalMethod"); // empty: not followed
        QTest::newRow("answered") << 0 << false << QByteArray("POST");
        QTest::newRow("303, same server") << 303 << false << QByteArray("GET");
        QTest::newRow("307, same server") << 307 << false << QByteArray("POST");
        QTest::newRow("302, another host") << 302 << true << QByteArray("GET");
        QTest::newRow("308, another host") << 308 << true << QByteArray();
    }
    void postRequests() {
        QFETCH(int, redirect);
        QFETCH(bool, otherHost);
        QFETCH(QByteArray, finalMethod);
        LocalHttpServer server;
        LocalHttpServer other;
        LocalHttpServer& target = otherHost ? other : server;
        target.route("/final", HttpResponse::page("done"));
        server.route("/api", redirect ? HttpResponse::redirect(target.urlString("/final"), redirect)
                                      : HttpResponse::page("done"));
        NetworkPageFetcher fetcher;
        FetchRequest request;
        request.url = server.urlString("/api");
        request.method = "POST";
        request.body = R"({"target": "example.com", "mode": "domain"})";
        request.contentType = "application/json";
        request.headers = {{"API-Key", "k3y"}};
        const Fetch f = fetch(fetcher, request);
        const HttpRequest first = server.requests().first();
        QCOMPARE(first.method, QByteArray("POST"));
        QCOMPARE(first.body, request.body);
        QCOMPARE(first.header("Content-Type"), QByteArray("application/json"));
        QCOMPARE(first.header("Expect"), QByteArray());
        QCOMPARE(first.header("API-Key"), QByteArray("k3y"));
        if (finalMethod.isEmpty()) {
            QCOMPARE(f.result.error, FetchError::RedirectRefused);
            QCOMPARE(other.requestCount(), 0);
            return;
        }
        QCOMPARE(f.result.error, FetchError::None);
        QCOMPARE(f.result.body, QByteArray("done"));
        const HttpRequest last = redirect ? target.requests().last() : first;
        QCOMPARE(last.method, finalMethod);
        const bool post = finalMethod == "POST";
        QCOMPARE(last.body, post ? request.body : QByteArray());
        QCOMPARE(last.header("Content-Type"), post ? request.contentType : QByteArray());
        QCOMPARE(last.header("API-Key"), otherHost ? QByteArray() : QByteArray("k3y"));
    }

    // Replies that break HTTP/1.1's message framing (RFC 9112, sections 2, 6 and 7) or its
    // content encoding end with their reason, and the next request is answered.
    void brokenReplies_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QByteArray>("body");
        const QByteArray chunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
        QTest::newRow("chunked with a trailer")
            << chunked + "5\r\nhello\r\n6;x=y\r\n world\r\n0\r\nX-Trailer: t\r\n\r\n"
            << 0 << "" << QByteArray("hello world");
        QTest::newRow("chunked, identity")
            << QByteArray("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked, identity\r\n\r\n"
                          "5\r\nhello\r\n0\r\n\r\n")
            << int(FetchError::BadReply) << "unsupported transfer encoding chunked, identity"
            << QByteArray();
        QTest::newRow("chunk size not hex")
            << chunked + "zz\r\nhello\r\n0\r\n\r\n"
            << int(FetchError::BadReply) << "broken chunked body" << QByteArray();
        QTest::newRow("chunked body cut off")
            << chunked + "10\r\nhello" << int(FetchError::BrokenOff) << "the connection broke off"
            << QByteArray("hello");
        QTest::newRow("conflicting lengths")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\nhello")
            << int(FetchError::BadReply) << "bad content length" << QByteArray();
        QTest::newRow("length not a number")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 5x\r\n\r\nhello")
            << int(FetchError::BadReply) << "bad content length" << QByteArray();
        QTest::newRow("not HTTP") << QByteArray("SSH-2.0-OpenSSH_9.2\r\n\r\n")
                                  << int(FetchError::BadReply) << "not an HTTP reply"
                                  << QByteArray();
        QTest::newRow("protocol switch")
            << QByteArray("HTTP/1.1 101 Switching Protocols\r\nUpgrade: h2c\r\n\r\n")
            << int(FetchError::BadReply) << "unexpected protocol switch" << QByteArray();
        QTest::newRow("gzip that is not")
            << QByteArray("HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Length: 10\r\n\r\n"
                          "not gzip!!")
            << int(FetchError::BadReply) << "broken compressed body" << QByteArray();
        QTest::newRow("closed without a reply")
            << QByteArray() << int(FetchError::BrokenOff) << "the server closed without a reply"
            << QByteArray();
    }
    void brokenReplies() {
        QFETCH(QByteArray, reply);
        QFETCH(int, error);
        QFETCH(QString, reason);
        QFETCH(QByteArray, body);
        LocalHttpServer server;
        server.route("/broken", HttpResponse::rawReply(reply));
        server.route("/good", HttpResponse::page("good page"));
        NetworkPageFetcher fetcher;
        const Fetch f = fetch(fetcher, server.urlString("/broken"));
        QVERIFY(f.arrived);
        QCOMPARE(f.answers, 1);
        QCOMPARE(int(f.result.error), error);
        QVERIFY2(reason.isEmpty() ? f.result.errorText.isEmpty()
                                  : f.result.errorText.startsWith(reason),
                 qPrintable(f.result.errorText));
        QCOMPARE(f.result.body, body);
        QCOMPARE(fetch(fetcher, server.urlString("/good")).body, QString("good page"));
    }

    // Certificates are verified (against the test authority where it is trusted), and a failure
    // names what is wrong with the certificate.
    void certificates_data() {
        QTest::addColumn<QString>("certificate");
        QTest::addColumn<bool>("trusted"); // the test authority
        QTest::addColumn<QString>("reason");
        QTest::newRow("valid") << "server.pem" << true << "";
        QTest::newRow("unknown authority")
            << "server.pem" << false
            << "secure connection failed: certificate of an unknown authority";
        QTest::newRow("self-signed")
            << "self_signed.pem" << true << "secure connection failed: self-signed certificate";
        QTest::newRow("another host")
            << "other_host.pem" << true << "secure connection failed: certificate for another host";
        QTest::newRow("expired") << "expired.pem" << true
                                 << "secure connection failed: certificate expired";
    }
    void certificates() {
        QFETCH(QString, certificate);
        QFETCH(bool, trusted);
        QFETCH(QString, reason);
        LocalHttpServer server(tlsFile(certificate.toLatin1().constData()), tlsFile("server.key"));
        server.route("/s", HttpResponse::page("secure page"));
        NetworkPageFetcher fetcher;
        if (trusted)
            fetcher.setCaFile(tlsFile("ca.pem"));
        const Fetch f = fetch(fetcher, server.urlString("/s"));
        QVERIFY(server.urlString().startsWith("https://"));
        QCOMPARE(f.result.errorText, reason);
        QCOMPARE(f.result.error, reason.isEmpty() ? FetchError::None : FetchError::ConnectFailed);
        QCOMPARE(f.body, reason.isEmpty() ? QString("secure page") : QString());
        QCOMPARE(server.requestCount(), reason.isEmpty() ? 1 : 0);
    }

    // A proxy that cannot be reached is named as the proxy, never taken for the site; HTTP_PROXY
    // is not read; an https address goes through the proxy's tunnel (CONNECT, RFC 9110 9.3.6),
    // and the request's own headers never go to the proxy.
    void proxiesNamedInFailures() {
        LocalHttpServer server;
        LocalHttpServer proxy; // answers CONNECT with its 404
        server.route("/p", HttpResponse::page("direct"));
        quint16 dead;
        {
            LocalHttpServer gone;
            dead = gone.port();
        }
        const QByteArray deadProxy = "127.0.0.1:" + QByteArray::number(dead);
        qunsetenv("no_proxy");
        qunsetenv("NO_PROXY");
        NetworkPageFetcher fetcher;
        qputenv("HTTP_PROXY", "http://" + deadProxy);
        QCOMPARE(fetch(fetcher, server.urlString("/p")).body, QString("direct"));
        qputenv("http_proxy", deadProxy);
        Fetch f = fetch(fetcher, server.urlString("/p"));
        qunsetenv("http_proxy");
        qunsetenv("HTTP_PROXY");
        QCOMPARE(f.result.error, FetchError::ConnectFailed);
        QCOMPARE(f.result.errorText, "proxy " + deadProxy + ": connection refused");

        qputenv("https_proxy", "http://127.0.0.1:" + QByteArray::number(proxy.port()));
        fetcher.setRequestHeaders({{"API-Key", "k3y"}});
        const QString secure = QStringLiteral("https://127.0.0.1:%1/p").arg(server.port());
        f = fetch(fetcher, secure);
        qunsetenv("https_proxy");
        QCOMPARE(f.result.error, FetchError::ConnectFailed);
        QCOMPARE(f.result.errorText, QStringLiteral("proxy 127.0.0.1:%1: tunnel refused (HTTP "
                                                    "status 404)")
                                         .arg(proxy.port()));
        QCOMPARE(proxy.requestCount(), 1);
        const HttpRequest tunnel = proxy.requests().first();
        QCOMPARE(tunnel.method, QByteArray("CONNECT"));
        QCOMPARE(tunnel.target, QStringLiteral("127.0.0.1:%1").arg(server.port()));
        QCOMPARE(tunnel.header("API-Key"), QByteArray());
    }
};

TALLY_GUILESS_TEST_MAIN(TestPageFetcher)
#include "tst_page_fetcher.moc"
