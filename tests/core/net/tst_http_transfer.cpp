// The HTTP client itself, against a server on 127.0.0.1: what a use adds in onStart reaches the
// request (a Range, as a resumed download sends it: RFC 9110, 14.2), a callback stops its
// transfer, cancel() ends one at once without an end to report, and transfers of one thread run
// side by side and keep their connections alive for the next.
#include "core/net/http_transfer.h"
#include "support/encodings.h"
#include "support/local_http_server.h"
#include "support/test_main.h"

#include <QTimer>

#include <QTest>

using tally::HttpTransfer;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;

namespace {

// A transfer that records what it was given.
struct Recorder {
    HttpTransfer transfer;
    QByteArray headers, body;
    QList<CURLcode> ends;

    Recorder() {
        transfer.onHeader = [this](QByteArrayView line) {
            headers += line.toByteArray();
            return true;
        };
        transfer.onBody = [this](QByteArrayView bytes) {
            body += bytes.toByteArray();
            return true;
        };
        transfer.onDone = [this](CURLcode result) { ends << result; };
    }
    void start(const QUrl& url) { transfer.start({url, "GET", {}, {}, {}}); }
};

} // namespace

class TestHttpTransfer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void onStartAddsToTheRequest() {
        LocalHttpServer server;
        HttpResponse part = HttpResponse::page("0123456789");
        part.status = 206;
        part.headers.append(std::pair<QByteArray, QByteArray>("Content-Range", "bytes 10-19/20"));
        server.route("/file.gz", part);
        Recorder r;
        r.transfer.onStart = [](CURL* handle) {
            curl_easy_setopt(handle, CURLOPT_RESUME_FROM_LARGE, curl_off_t(10));
        };
        r.start(server.url("/file.gz"));
        QTRY_VERIFY_WITH_TIMEOUT(!r.ends.isEmpty(), 10000);
        QCOMPARE(r.ends, QList<CURLcode>{CURLE_OK});
        QCOMPARE(server.requests().first().header("Range"), QByteArray("bytes=10-"));
        QVERIFY(r.headers.startsWith("HTTP/1.1 206 "));
        QVERIFY(r.headers.contains("Content-Range: bytes 10-19/20\r\n"));
        QCOMPARE(r.body, QByteArray("0123456789"));
    }

    // Only headers that are a token and a value without a line break or NUL are sent.
    void onlyWellFormedHeadersSent() {
        LocalHttpServer server;
        server.route("/h", HttpResponse::page("ok"));
        Recorder r;
        r.transfer.start({server.url("/h"),
                          "GET",
                          {},
                          {},
                          {{"Good", "1"},
                           {"Bad Name", "2"},
                           {"Bad:Name", "3"},
                           {"X-Break", "a\r\nInjected: 1"},
                           {"X-Nul", QByteArray("a\0b", 3)}}});
        QTRY_VERIFY_WITH_TIMEOUT(!r.ends.isEmpty(), 10000);
        const auto request = server.requests().first();
        QCOMPARE(request.header("Good"), QByteArray("1"));
        for (const char* name : {"Bad Name", "Bad", "X-Break", "Injected", "X-Nul"})
            QVERIFY2(request.header(name).isNull(), name);
    }

    // A large body arriving at once is handed out a bounded amount per turn of the event loop (a
    // zero timer ticks once a turn), whole and in order; a compressed one as libcurl decodes it.
    void largeBodyInTurns_data() {
        QTest::addColumn<bool>("gzip");
        QTest::newRow("plain") << false;
        QTest::newRow("gzip") << true;
    }
    void largeBodyInTurns() {
        QFETCH(bool, gzip);
        QByteArray page(8 * 1024 * 1024, Qt::Uninitialized);
        for (qsizetype i = 0; i < page.size(); ++i)
            page[i] = char('a' + (i * 7919 / 4096) % 26);
        tally::test::LocalHttpServerThread server;
        HttpResponse response = HttpResponse::page(gzip ? tally::test::gzipped(page) : page);
        if (gzip)
            response.headers.append(std::pair<QByteArray, QByteArray>("Content-Encoding", "gzip"));
        server.server()->route("/large", response);
        Recorder r;
        qint64 thisTurn = 0, mostInATurn = 0;
        r.transfer.onBody = [&](QByteArrayView bytes) {
            r.body += bytes.toByteArray();
            mostInATurn = std::max(mostInATurn, thisTurn += bytes.size());
            return true;
        };
        QTimer turns;
        connect(&turns, &QTimer::timeout, [&] { thisTurn = 0; });
        turns.start(0);
        r.start(server.server()->url("/large"));
        QTRY_VERIFY_WITH_TIMEOUT(!r.ends.isEmpty(), 20000);
        QCOMPARE(r.ends, QList<CURLcode>{CURLE_OK});
        QVERIFY(r.body == page);
        // The test's tick and the transfer's own turn are two events of the loop: between two
        // ticks the end of one bounded helping and the start of the next may both fall (unbounded,
        // 3 to 5 MiB arrive between ticks).
        if (!gzip)
            QVERIFY2(mostInATurn <= 2 * (1024 * 1024 + HttpTransfer::ReceiveBufferSize),
                     qPrintable(QString::number(mostInATurn)));
    }

    // A callback that says no ends its transfer with libcurl's write error.
    void callbacksStopTheTransfer_data() {
        QTest::addColumn<bool>("inHeaders");
        QTest::newRow("header") << true;
        QTest::newRow("body") << false;
    }
    void callbacksStopTheTransfer() {
        QFETCH(bool, inHeaders);
        LocalHttpServer server;
        server.route("/x", HttpResponse::page(QByteArray(100000, 'x')));
        Recorder r;
        (inHeaders ? r.transfer.onHeader : r.transfer.onBody) = [](QByteArrayView) {
            return false;
        };
        r.start(server.url("/x"));
        QTRY_VERIFY_WITH_TIMEOUT(!r.ends.isEmpty(), 10000);
        QCOMPARE(r.ends, QList<CURLcode>{CURLE_WRITE_ERROR});
        QVERIFY(!r.transfer.isActive());
    }

    void cancelEndsAtOnce() {
        LocalHttpServer server;
        HttpResponse late = HttpResponse::page("late");
        late.delayMs = 300;
        server.route("/late", late);
        server.route("/now", HttpResponse::page("now"));
        Recorder r;
        r.start(server.url("/late"));
        QTRY_COMPARE(server.requestCount(), 1);
        r.transfer.cancel();
        QVERIFY(!r.transfer.isActive());
        QTest::qWait(500);
        QVERIFY(r.ends.isEmpty());
        // Its connection went with it: the next request opens another.
        r.start(server.url("/now"));
        QTRY_VERIFY_WITH_TIMEOUT(!r.ends.isEmpty(), 10000);
        QCOMPARE(r.body, QByteArray("now"));
        QCOMPARE(server.connectionCount(), 2);
    }

    // Six at once, as the engines are asked: six connections, found again every round.
    void transfersSideBySideKeepTheirConnections() {
        LocalHttpServer server;
        HttpResponse slow = HttpResponse::page("slow");
        slow.delayMs = 50;
        server.route("/slow", slow);
        Recorder six[6];
        for (int round = 0; round < 3; ++round) {
            for (Recorder& r : six) {
                r.ends.clear();
                r.start(server.url("/slow"));
            }
            for (Recorder& r : six) {
                QTRY_VERIFY_WITH_TIMEOUT(!r.ends.isEmpty(), 10000);
                QCOMPARE(r.ends, QList<CURLcode>{CURLE_OK});
            }
        }
        QCOMPARE(server.requestCount(), 18);
        QCOMPARE(server.connectionCount(), 6);
    }
};

TALLY_GUILESS_TEST_MAIN(TestHttpTransfer)
#include "tst_http_transfer.moc"
