#include "support/local_http_server.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QMutexLocker>
#include <QPointer>
#include <QSslKey>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace tally::test {

namespace {

QByteArray reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 206:
        return "Partial Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 303:
        return "See Other";
    case 307:
        return "Temporary Redirect";
    case 308:
        return "Permanent Redirect";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 402:
        return "Payment Required";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 416:
        return "Range Not Satisfiable";
    case 429:
        return "Too Many Requests";
    case 500:
        return "Internal Server Error";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    default:
        return "Status";
    }
}

// Largest piece of a generated body handed to the socket at once, and how much may wait unsent.
constexpr qint64 GeneratedPiece = 64 * 1024;
constexpr qint64 GeneratedBacklog = 256 * 1024;

} // namespace

QByteArray HttpRequest::header(const QByteArray& name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return {};
}

HttpResponse HttpResponse::page(const QByteArray& body, int status) {
    HttpResponse r;
    r.status = status;
    r.body = body;
    r.headers.append(std::pair<QByteArray, QByteArray>("Content-Type", "text/html"));
    return r;
}

HttpResponse HttpResponse::redirect(const QByteArray& location, int status) {
    HttpResponse r;
    r.status = status;
    r.headers.append(std::pair<QByteArray, QByteArray>("Location", location));
    r.body = "<html><body>Moved</body></html>";
    return r;
}

HttpResponse HttpResponse::redirect(const QString& location, int status) {
    return redirect(location.toUtf8(), status);
}

HttpResponse HttpResponse::rawReply(const QByteArray& bytes) {
    HttpResponse r;
    r.body = bytes;
    r.raw = true;
    return r;
}

// One client connection: reads requests, answers them one after the other.
class HttpConnection : public QObject {
public:
    HttpConnection(LocalHttpServer* server, QTcpSocket* socket, int serial)
        : QObject(server), server_(server), socket_(socket), serial_(serial) {
        socket_->setParent(this);
        socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        connect(socket_, &QTcpSocket::readyRead, this, &HttpConnection::readRequests);
        connect(socket_, &QTcpSocket::bytesWritten, this, &HttpConnection::feedGenerated);
        connect(socket_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
        readRequests();
    }
    ~HttpConnection() override { socket_->disconnect(this); }

private:
    void readRequests() {
        in_ += socket_->readAll();
        if (busy_)
            return;
        const qsizetype end = in_.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        HttpRequest request;
        request.connection = serial_;
        const QList<QByteArray> lines = in_.left(end).split('\n');
        const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
        request.method = first.value(0);
        request.target = QString::fromLatin1(first.value(1));
        const QByteArray version = first.value(2);
        const qsizetype mark = request.target.indexOf(QLatin1Char('?'));
        request.path = mark < 0 ? request.target : request.target.left(mark);
        request.query = mark < 0 ? QString() : request.target.mid(mark + 1);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QByteArray line = lines[i].trimmed();
            const qsizetype colon = line.indexOf(':');
            if (colon > 0)
                request.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        }
        const qint64 length = request.header("Content-Length").toLongLong();
        if (in_.size() - (end + 4) < length)
            return; // the body is still on its way
        request.body = in_.mid(end + 4, length);
        in_.remove(0, end + 4 + length);

        const QByteArray connection = request.header("Connection").toLower();
        closeWhenDone_ =
            connection == "close" || (version == "HTTP/1.0" && connection != "keep-alive");
        busy_ = true;
        request.arrivalMs = QDeadlineTimer::current(Qt::PreciseTimer).deadline();
        server_->logRequest(request);
        response_ = server_->responseFor(request);
        if (response_.neverAnswer)
            return;
        if (response_.delayMs > 0)
            QTimer::singleShot(response_.delayMs, Qt::PreciseTimer, this, &HttpConnection::answer);
        else
            answer();
    }

    void answer() {
        const HttpResponse& r = response_;
        if (r.flood != HttpResponse::Flood::None) {
            startFlood();
            return;
        }
        if (r.raw) {
            socket_->write(r.body);
            closeWhenDone_ = true;
            done();
            return;
        }
        const qint64 length = r.generatedSize >= 0 ? r.generatedSize : r.body.size();
        toSend_ = r.cutAfter >= 0 ? std::min(r.cutAfter, length) : length;
        sent_ = 0;
        closeWhenDone_ = closeWhenDone_ || r.closeAfter || r.noLength || r.cutAfter >= 0;

        QByteArray head =
            "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + reasonPhrase(r.status) + "\r\n";
        for (const auto& [key, value] : r.headers)
            head += key + ": " + value + "\r\n";
        if (!r.noLength)
            head += "Content-Length: " + QByteArray::number(length) + "\r\n";
        head += closeWhenDone_ ? "Connection: close\r\n" : "Connection: keep-alive\r\n";
        head += "\r\n";
        socket_->write(head);

        if (r.dripBytes > 0) {
            drip_ = new QTimer(this);
            drip_->setTimerType(Qt::PreciseTimer);
            connect(drip_, &QTimer::timeout, this, &HttpConnection::dripOnce);
            drip_->start(r.dripIntervalMs);
            dripOnce();
        } else if (r.generatedSize >= 0) {
            generating_ = true;
            feedGenerated();
        } else {
            socket_->write(r.body.left(toSend_));
            sent_ = toSend_;
            done();
        }
    }

    // An endless stream in place of a reply: its start, then the same piece over and over.
    void startFlood() {
        QByteArray start;
        switch (response_.flood) {
        case HttpResponse::Flood::HeaderLines:
            start = "HTTP/1.1 200 OK\r\n";
            floodPiece_ = "X-Filler: " + QByteArray(200, 'h') + "\r\n";
            break;
        case HttpResponse::Flood::StatusLine:
            start = "HTTP/1.1 200 ";
            floodPiece_ = QByteArray(1024, 's');
            break;
        default:
            floodPiece_ = "HTTP/1.1 100 Continue\r\n\r\n";
            break;
        }
        socket_->write(start);
        toSend_ = qint64(1) << 50;
        sent_ = 0;
        closeWhenDone_ = true;
        if (response_.dripIntervalMs > 0) {
            drip_ = new QTimer(this);
            connect(drip_, &QTimer::timeout, this, [this] { socket_->write(floodPiece_); });
            drip_->start(response_.dripIntervalMs);
        } else {
            generating_ = true;
            feedGenerated();
        }
    }

    QByteArray bodyPiece(qint64 size) const {
        if (response_.flood != HttpResponse::Flood::None) {
            QByteArray piece;
            while (piece.size() < size)
                piece += floodPiece_;
            return piece;
        }
        if (response_.generatedSize >= 0)
            return QByteArray(size, 'x');
        return response_.body.mid(sent_, size);
    }

    void dripOnce() {
        const qint64 size = std::min<qint64>(response_.dripBytes, toSend_ - sent_);
        if (size > 0) {
            socket_->write(bodyPiece(size));
            sent_ += size;
        }
        if (sent_ >= toSend_) {
            drip_->stop();
            drip_->deleteLater();
            drip_ = nullptr;
            done();
        }
    }

    void feedGenerated() {
        if (!generating_)
            return;
        while (sent_ < toSend_ && socket_->bytesToWrite() < GeneratedBacklog) {
            const qint64 size = std::min(GeneratedPiece, toSend_ - sent_);
            socket_->write(bodyPiece(size));
            sent_ += size;
        }
        if (sent_ >= toSend_) {
            generating_ = false;
            done();
        }
    }

    void done() {
        if (closeWhenDone_) {
            socket_->disconnectFromHost();
            return;
        }
        busy_ = false;
        response_ = HttpResponse();
        if (!in_.isEmpty())
            QTimer::singleShot(0, this, &HttpConnection::readRequests);
    }

    LocalHttpServer* server_;
    QTcpSocket* socket_;
    int serial_;
    QByteArray in_;
    bool busy_ = false;
    bool closeWhenDone_ = false;
    bool generating_ = false;
    HttpResponse response_;
    qint64 toSend_ = 0;
    qint64 sent_ = 0;
    QTimer* drip_ = nullptr;
    QByteArray floodPiece_;
};

LocalHttpServer::LocalHttpServer(QObject* parent) : QObject(parent), tcp_(new QTcpServer(this)) {
    listen();
}

LocalHttpServer::LocalHttpServer(const QString& certificateFile, const QString& keyFile,
                                 QObject* parent)
    : QObject(parent), secure_(true) {
    auto* server = new QSslServer(this);
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(QSslCertificate::fromPath(certificateFile));
    QFile key(keyFile);
    if (key.open(QIODevice::ReadOnly))
        tls.setPrivateKey(QSslKey(key.readAll(), QSsl::Ec));
    server->setSslConfiguration(tls);
    tcp_ = server;
    // A connection is handed over once its handshake is done.
    connect(tcp_, &QTcpServer::pendingConnectionAvailable, this,
            &LocalHttpServer::acceptConnections);
    listen();
}

void LocalHttpServer::listen() {
    if (tcp_->listen(QHostAddress::LocalHost, 0))
        port_ = tcp_->serverPort();
    connect(tcp_, &QTcpServer::newConnection, this, &LocalHttpServer::acceptConnections);
}

LocalHttpServer::~LocalHttpServer() = default;

bool LocalHttpServer::isListening() const {
    return port_ != 0;
}

quint16 LocalHttpServer::port() const {
    return port_;
}

QString LocalHttpServer::urlString(const QString& pathAndQuery) const {
    return QStringLiteral("%1://127.0.0.1:%2").arg(secure_ ? "https" : "http").arg(port_) +
           pathAndQuery;
}

QUrl LocalHttpServer::url(const QString& pathAndQuery) const {
    return QUrl(urlString(pathAndQuery));
}

void LocalHttpServer::route(const QString& path, const HttpResponse& response) {
    QMutexLocker lock(&mutex_);
    routes_.insert(path, response);
}

void LocalHttpServer::removeRoute(const QString& path) {
    QMutexLocker lock(&mutex_);
    routes_.remove(path);
}

void LocalHttpServer::setHandler(Handler handler) {
    QMutexLocker lock(&mutex_);
    handler_ = std::move(handler);
}

QList<HttpRequest> LocalHttpServer::requests() const {
    QMutexLocker lock(&mutex_);
    return log_;
}

QStringList LocalHttpServer::requestTargets() const {
    QMutexLocker lock(&mutex_);
    QStringList targets;
    targets.reserve(log_.size());
    for (const HttpRequest& r : log_)
        targets << r.target;
    return targets;
}

QStringList LocalHttpServer::pageTargets() const {
    QStringList targets;
    for (const QString& t : requestTargets())
        if (!t.startsWith(QLatin1String("/favicon")))
            targets << t;
    return targets;
}

int LocalHttpServer::requestCount() const {
    QMutexLocker lock(&mutex_);
    return int(log_.size());
}

int LocalHttpServer::connectionCount() const {
    QMutexLocker lock(&mutex_);
    return connections_;
}

void LocalHttpServer::clearLog() {
    QMutexLocker lock(&mutex_);
    log_.clear();
}

void LocalHttpServer::close() {
    tcp_->close();
    port_ = 0;
    // Every child but the listening socket is a connection.
    const QObjectList open = children();
    for (QObject* c : open)
        if (c != tcp_)
            delete c;
}

void LocalHttpServer::acceptConnections() {
    while (QTcpSocket* socket = tcp_->nextPendingConnection()) {
        int serial;
        {
            QMutexLocker lock(&mutex_);
            serial = ++connections_;
        }
        new HttpConnection(this, socket, serial);
    }
}

HttpResponse LocalHttpServer::responseFor(const HttpRequest& request) {
    Handler handler;
    {
        QMutexLocker lock(&mutex_);
        const auto it = routes_.constFind(request.path);
        if (it != routes_.constEnd())
            return *it;
        handler = handler_;
    }
    if (handler)
        return handler(request);
    return HttpResponse::page("<html><body>Not Found</body></html>", 404);
}

void LocalHttpServer::logRequest(const HttpRequest& request) {
    {
        QMutexLocker lock(&mutex_);
        log_.append(request);
    }
    Q_EMIT requestReceived(request.target);
}

LocalHttpServerThread::LocalHttpServerThread() : thread_(new QThread), context_(new QObject) {
    thread_->setObjectName(QStringLiteral("LocalHttpServer"));
    context_->moveToThread(thread_);
    thread_->start();
    QMetaObject::invokeMethod(
        context_, [this] { server_ = new LocalHttpServer; }, Qt::BlockingQueuedConnection);
}

LocalHttpServerThread::~LocalHttpServerThread() {
    QMetaObject::invokeMethod(
        context_, [this] { delete server_; }, Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
    delete context_;
    delete thread_;
}

} // namespace tally::test
