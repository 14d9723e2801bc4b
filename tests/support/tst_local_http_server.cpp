// The tests' own HTTP server, driven by a raw socket so that every byte on the wire is seen.
#include "support/local_http_server.h"
#include "support/test_main.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;
using tally::test::LocalHttpServerThread;

namespace {

// Reads until the socket closes or the predicate holds on what arrived, at most timeoutMs. The
// event loop runs meanwhile, so that a server in this thread can answer.
QByteArray readUntil(QTcpSocket& s, const std::function<bool(const QByteArray&)>& enough,
                     int timeoutMs = 5000) {
    QByteArray got;
    QElapsedTimer t;
    t.start();
    while (!enough(got) && t.elapsed() < timeoutMs) {
        got += s.readAll();
        if (s.state() != QAbstractSocket::ConnectedState && s.bytesAvailable() == 0)
            break;
        QTest::qWait(1);
    }
    return got + s.readAll();
}

bool connectTo(QTcpSocket& s, quint16 port) {
    s.connectToHost(QHostAddress::LocalHost, port);
    return s.waitForConnected(5000);
}

int countOf(const QByteArray& text, const QByteArray& part) {
    return int(text.count(part));
}

} // namespace

class TestLocalHttpServer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void routesHandlerAndLog() {
        LocalHttpServer server;
        QVERIFY(server.isListening());
        QVERIFY(server.port() != 0);
        QCOMPARE(server.urlString(QStringLiteral("/a?b=1")),
                 QStringLiteral("http://127.0.0.1:%1/a?b=1").arg(server.port()));
        server.route(QStringLiteral("/page"), HttpResponse::page("hello"));
        server.setHandler(
            [](const HttpRequest& r) { return HttpResponse::page("query=" + r.query.toLatin1()); });

        QTcpSocket s;
        QVERIFY(connectTo(s, server.port()));
        // Three requests in one go on one connection: answered in order.
        s.write("GET /page HTTP/1.1\r\nHost: x\r\n\r\n"
                "GET /google?q=link:site1.example HTTP/1.1\r\nHost: x\r\n\r\n"
                "GET /page?ignored HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
        const QByteArray got = readUntil(s, [](const QByteArray&) { return false; });
        QCOMPARE(countOf(got, "HTTP/1.1 200 OK"), 3);
        const qsizetype a = got.indexOf("hello");
        const qsizetype b = got.indexOf("query=q=link:site1.example");
        QVERIFY(a > 0 && b > a);
        QVERIFY(got.indexOf("hello", b) > b);
        QVERIFY(got.contains("Content-Length: 5\r\n"));
        QVERIFY(got.contains("Connection: close\r\n"));
        QCOMPARE(server.requestTargets(),
                 (QStringList{"/page", "/google?q=link:site1.example", "/page?ignored"}));
        const QList<HttpRequest> log = server.requests();
        QCOMPARE(log[1].path, QStringLiteral("/google"));
        QCOMPARE(log[1].query, QStringLiteral("q=link:site1.example"));
        QCOMPARE(log[1].header("host"), QByteArray("x"));
        QCOMPARE(log[2].connection, log[0].connection);
        QCOMPARE(server.connectionCount(), 1);
        server.clearLog();
        QCOMPARE(server.requestCount(), 0);
    }

    void unknownPathIs404AndRedirectCarriesLocation() {
        LocalHttpServer server;
        server.route(QStringLiteral("/old"), HttpResponse::redirect(QByteArray("/new"), 301));
        QTcpSocket s;
        QVERIFY(connectTo(s, server.port()));
        s.write("GET /nothing HTTP/1.1\r\n\r\nGET /old HTTP/1.1\r\nConnection: close\r\n\r\n");
        const QByteArray got = readUntil(s, [](const QByteArray&) { return false; });
        QVERIFY(got.startsWith("HTTP/1.1 404 Not Found\r\n"));
        QVERIFY(got.contains("HTTP/1.1 301 Moved Permanently\r\n"));
        QVERIFY(got.contains("Location: /new\r\n"));
    }

    void cutConnectionSendsPartOfAnnouncedBody() {
        LocalHttpServer server;
        HttpResponse r = HttpResponse::page(QByteArray(1000, 'a'));
        r.cutAfter = 300;
        server.route(QStringLiteral("/cut"), r);
        QTcpSocket s;
        QVERIFY(connectTo(s, server.port()));
        s.write("GET /cut HTTP/1.1\r\n\r\n");
        const QByteArray got = readUntil(s, [](const QByteArray&) { return false; });
        QVERIFY(got.contains("Content-Length: 1000\r\n"));
        QCOMPARE(got.size() - (got.indexOf("\r\n\r\n") + 4), 300);
        QCOMPARE(s.state(), QAbstractSocket::UnconnectedState);
    }

    void dripDelayAndGeneratedBodies() {
        LocalHttpServer server;
        HttpResponse drip = HttpResponse::page("abcdefghij");
        drip.dripBytes = 3;
        drip.dripIntervalMs = 20;
        server.route(QStringLiteral("/drip"), drip);
        HttpResponse late = HttpResponse::page("late");
        late.delayMs = 150;
        server.route(QStringLiteral("/late"), late);
        HttpResponse big;
        big.generatedSize = 5 * 1024 * 1024;
        big.noLength = true;
        server.route(QStringLiteral("/big"), big);

        QTcpSocket s;
        QVERIFY(connectTo(s, server.port()));
        QElapsedTimer t;
        t.start();
        s.write("GET /drip HTTP/1.1\r\n\r\n");
        QByteArray got = readUntil(s, [](const QByteArray& g) { return g.endsWith("abcdefghij"); });
        QVERIFY(got.endsWith("\r\n\r\nabcdefghij"));
        QVERIFY(t.elapsed() >= 55); // four pieces, three pauses

        t.restart();
        s.write("GET /late HTTP/1.1\r\n\r\n");
        got = readUntil(s, [](const QByteArray& g) { return g.endsWith("late"); });
        QVERIFY(got.endsWith("late"));
        QVERIFY(t.elapsed() >= 140);

        s.write("GET /big HTTP/1.1\r\n\r\n");
        got = readUntil(
            s, [](const QByteArray&) { return false; }, 20000);
        QVERIFY(!got.contains("Content-Length"));
        QCOMPARE(got.size() - (got.indexOf("\r\n\r\n") + 4), 5 * 1024 * 1024);
        QCOMPARE(server.connectionCount(), 1);
    }

    void neverAnswerKeepsSilent() {
        LocalHttpServer server;
        HttpResponse r;
        r.neverAnswer = true;
        server.route(QStringLiteral("/silent"), r);
        QSignalSpy arrived(&server, &LocalHttpServer::requestReceived);
        QTcpSocket s;
        QVERIFY(connectTo(s, server.port()));
        s.write("GET /silent HTTP/1.1\r\n\r\n");
        QTRY_COMPARE(arrived.size(), 1);
        QTest::qWait(300);
        QCOMPARE(s.bytesAvailable(), 0);
        QCOMPARE(s.state(), QAbstractSocket::ConnectedState);
    }

    void closeRefusesFurtherConnections() {
        LocalHttpServer server;
        const quint16 port = server.port();
        server.close();
        QVERIFY(!server.isListening());
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(!s.waitForConnected(2000));
    }

    void serverInItsOwnThread() {
        LocalHttpServerThread runner;
        LocalHttpServer* server = runner.server();
        QVERIFY(server->isListening());
        QVERIFY(server->thread() != thread());
        server->setHandler(
            [](const HttpRequest& r) { return HttpResponse::page(r.path.toLatin1()); });
        // This thread blocks in waitForReadyRead: only a server in another thread can answer.
        QTcpSocket s;
        QVERIFY(connectTo(s, server->port()));
        s.write("GET /threaded HTTP/1.1\r\nConnection: close\r\n\r\n");
        QByteArray got;
        while (s.waitForReadyRead(5000))
            got += s.readAll();
        QVERIFY(got.endsWith("/threaded"));
        QCOMPARE(server->requestTargets(), QStringList{"/threaded"});
    }
};

TALLY_GUILESS_TEST_MAIN(TestLocalHttpServer)
#include "tst_local_http_server.moc"
