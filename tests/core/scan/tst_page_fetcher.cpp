// GetUrlSource against a real server on 127.0.0.1: whole bodies, redirects, error pages, refused
// and silent servers, the transfer time-out, the request limit, the body cap, a cut connection,
// hostile servers, proxies from the environment.
#include "core/scan/engine_parser.h"
#include "core/scan/network_page_fetcher.h"
#include "support/local_http_server.h"

#include <QElapsedTimer>
#include <QNetworkProxy>
#include <QSignalSpy>
#include <QTest>

using tally::FetchError;
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

Fetch fetch(NetworkPageFetcher& fetcher, const QString& url, int waitMs = 10000) {
    QSignalSpy spy(&fetcher, &NetworkPageFetcher::pageFetched);
    QElapsedTimer t;
    t.start();
    fetcher.GetUrlSource(url);
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
};

QTEST_GUILESS_MAIN(TestPageFetcher)
#include "tst_page_fetcher.moc"
