// A small HTTP/1.1 server on 127.0.0.1 for the tests: canned responses by path, a handler for any
// other address, and the awkward servers a client must survive (slow, dripping, silent, cut off,
// endless). Qt Core and Network only.
//
//   LocalHttpServer server;                                   // listens on 127.0.0.1, port 0
//   server.route("/page", HttpResponse::page("<html>...</html>"));
//   server.route("/old", HttpResponse::redirect(server.urlString("/page")));
//   server.setHandler([](const HttpRequest& r) {              // every path without a route
//       return HttpResponse::page("count for " + r.query.toLatin1());
//   });
//   fetch(server.url("/page"));
//   QCOMPARE(server.requestTargets(), QStringList{"/page"});  // path + query, in arrival order
//
// Connections are kept alive (HTTP/1.1) unless the client or the response asks to close, and
// requests on one connection are answered in order. Without a route and without a handler the
// answer is 404 "Not Found". Made with a certificate and its key, the server speaks HTTPS.
//
// Threads: the server answers in the thread it lives in. route(), setHandler(), the request log
// and url() may be called from any thread; the handler runs in the server's thread. For a server
// in a thread of its own (so that the client's event loop does not slow it) use
// LocalHttpServerThread.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <utility>

class QTcpServer;
class QThread;

namespace tally::test {

using HttpHeaders = QList<std::pair<QByteArray, QByteArray>>;

struct HttpRequest {
    QByteArray method; // "GET"
    QString target;    // path and query as sent: "/google?q=link:site1.example"
    QString path;      // "/google"
    QString query;     // "q=link:site1.example" (without the "?"); empty when there is none
    HttpHeaders headers;
    QByteArray body;
    int connection = 0; // serial number (1, 2, ...) of the connection it arrived on
    qint64 arrivalMs =
        0; // when it arrived, in milliseconds of the monotonic clock (QDeadlineTimer::current())

    // The first header of that name (any case), or an empty array.
    QByteArray header(const QByteArray& name) const;
};

struct HttpResponse {
    // Replies that never end, sent as fast as the client reads (or one piece per dripIntervalMs):
    // header lines after a status line, one endless status line, or "100 Continue" replies.
    enum class Flood { None, HeaderLines, StatusLine, Continues };

    int status = 200;
    QByteArray body;
    // Extra header lines. Content-Length and Connection are added by the server.
    HttpHeaders headers;

    // Wait this long after the request before sending anything.
    int delayMs = 0;
    // > 0: send the body this many bytes at a time, with dripIntervalMs between the pieces.
    int dripBytes = 0;
    int dripIntervalMs = 0;
    // >= 0: announce the whole body, send only this many bytes of it, then drop the connection.
    qint64 cutAfter = -1;
    // >= 0: the body is this many bytes of 'x', made while sending (huge bodies cost no memory).
    qint64 generatedSize = -1;
    // Read the request and never answer; the connection stays open until the client leaves.
    bool neverAnswer = false;
    // Send "Connection: close" and close after the body.
    bool closeAfter = false;
    // Send no Content-Length: the body ends when the server closes the connection.
    bool noLength = false;
    // Instead of a reply, one of the endless streams above.
    Flood flood = Flood::None;
    // body is the whole reply, sent as it is (status line, headers and body); then the server
    // closes. An empty one closes without a reply.
    bool raw = false;

    // A 200 page (or another status) with a body.
    static HttpResponse page(const QByteArray& body, int status = 200);
    // A redirect to location (absolute or relative).
    static HttpResponse redirect(const QByteArray& location, int status = 302);
    static HttpResponse redirect(const QString& location, int status = 302);
    // The bytes of a reply exactly as given.
    static HttpResponse rawReply(const QByteArray& bytes);
};

class LocalHttpServer : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<HttpResponse(const HttpRequest&)>;

    // Listens on 127.0.0.1 at a free port at once.
    explicit LocalHttpServer(QObject* parent = nullptr);
    // The same over TLS, with the certificate and private key of these PEM files.
    LocalHttpServer(const QString& certificateFile, const QString& keyFile,
                    QObject* parent = nullptr);
    ~LocalHttpServer() override;

    bool isListening() const;
    quint16 port() const;
    // "http://127.0.0.1:<port>" (https for a TLS server) + pathAndQuery ("/x?y=1").
    QString urlString(const QString& pathAndQuery = QStringLiteral("/")) const;
    QUrl url(const QString& pathAndQuery = QStringLiteral("/")) const;

    // The response for one path (without the query), replacing an earlier one.
    void route(const QString& path, const HttpResponse& response);
    void removeRoute(const QString& path);
    // The answer for every path without a route.
    void setHandler(Handler handler);

    // The requests received so far, in arrival order.
    QList<HttpRequest> requests() const;
    QStringList requestTargets() const;
    // The same without the requests a browser makes on its own (its "/favicon.ico").
    QStringList pageTargets() const;
    int requestCount() const;
    // Connections accepted so far (keep-alive clients reuse one).
    int connectionCount() const;
    void clearLog();

    // Stops listening and drops every connection: the port then refuses connections.
    void close();

Q_SIGNALS:
    // A request has arrived and was logged (emitted in the server's thread).
    void requestReceived(const QString& target);

private:
    friend class HttpConnection;
    void acceptConnections();
    HttpResponse responseFor(const HttpRequest& request);
    void logRequest(const HttpRequest& request);

    void listen();

    QTcpServer* tcp_;
    quint16 port_ = 0;
    bool secure_ = false;
    mutable QMutex mutex_;
    QHash<QString, HttpResponse> routes_;
    Handler handler_;
    QList<HttpRequest> log_;
    int connections_ = 0;
};

// A LocalHttpServer living and answering in a QThread of its own.
class LocalHttpServerThread {
public:
    // Starts the thread and returns once the server listens.
    LocalHttpServerThread();
    // Deletes the server in its thread and ends the thread.
    ~LocalHttpServerThread();
    LocalHttpServerThread(const LocalHttpServerThread&) = delete;
    LocalHttpServerThread& operator=(const LocalHttpServerThread&) = delete;

    // Call only the thread-safe members from other threads: route(), setHandler(), url(), the log.
    LocalHttpServer* server() const { return server_; }

private:
    QThread* thread_;
    QObject* context_;
    LocalHttpServer* server_ = nullptr;
};

} // namespace tally::test
