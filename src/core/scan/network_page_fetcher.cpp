#include "core/scan/network_page_fetcher.h"

#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>
#if QT_CONFIG(ssl)
#include <QSslSocket>
#endif

#include <algorithm>
#include <cstring>

namespace tally {

namespace {

constexpr qint64 ChunkLineLimit = 1024;

bool isHttps(const QUrl& url) {
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

bool isWebAddress(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QByteArray environment(const char* lower, const char* upper) {
    QByteArray value = qgetenv(lower).trimmed();
    if (value.isEmpty() && upper)
        value = qgetenv(upper).trimmed();
    return value;
}

// Whether no_proxy names the host: "*", the host itself, or a domain it lies in (".example.com",
// "example.com", "*.example.com"); an address only by itself. A port after an entry is ignored.
bool reachedDirectly(const QString& host) {
    const QByteArray name = host.toLower().toUtf8();
    const bool isAddress = !QHostAddress(host).isNull();
    for (QByteArray entry : environment("no_proxy", "NO_PROXY").split(',')) {
        entry = entry.trimmed().toLower();
        if (entry == "*")
            return true;
        if (entry.count(':') == 1)
            entry = entry.left(entry.indexOf(':'));
        if (entry.startsWith("*."))
            entry = entry.mid(2);
        else if (entry.startsWith('.'))
            entry = entry.mid(1);
        if (!entry.isEmpty() && (name == entry || (!isAddress && name.endsWith('.' + entry))))
            return true;
    }
    return false;
}

// A reason phrase fit to be shown: printable characters only, nothing a tooltip could take for
// markup, not too long.
QString printable(const QByteArray& text) {
    QString out;
    for (char c : text.left(100))
        if (uchar(c) >= 0x20 && uchar(c) != 0x7f && c != '<' && c != '>' && c != '&')
            out += QLatin1Char(c);
    return out.trimmed();
}

QString seconds(int ms) {
    return QString::number((ms + 999) / 1000) + QStringLiteral(" s");
}

QString mebibytes(qint64 bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return QString::number(bytes / (1024 * 1024)) + QStringLiteral(" MiB");
    return QString::number(bytes) + QStringLiteral(" bytes");
}

} // namespace

QNetworkProxy proxyFromEnvironment(const QUrl& url) {
    const QByteArray value = isHttps(url) ? environment("https_proxy", "HTTPS_PROXY")
                                          : environment("http_proxy", nullptr);
    if (value.isEmpty() || reachedDirectly(url.host()))
        return QNetworkProxy(QNetworkProxy::NoProxy);
    const QUrl proxy(QString::fromUtf8(value.contains("://") ? value : "http://" + value),
                     QUrl::TolerantMode);
    const QString scheme = proxy.scheme().toLower();
    QNetworkProxy::ProxyType type;
    if (scheme == QLatin1String("http"))
        type = QNetworkProxy::HttpProxy;
    else if (scheme == QLatin1String("socks5") || scheme == QLatin1String("socks5h"))
        type = QNetworkProxy::Socks5Proxy;
    else
        return QNetworkProxy(QNetworkProxy::NoProxy);
    if (!proxy.isValid() || proxy.host().isEmpty())
        return QNetworkProxy(QNetworkProxy::NoProxy);
    return QNetworkProxy(type, proxy.host(), quint16(proxy.port(1080)),
                         proxy.userName(QUrl::FullyDecoded), proxy.password(QUrl::FullyDecoded));
}

NetworkPageFetcher::NetworkPageFetcher(QObject* parent)
    : PageFetcher(parent), idle_(new QTimer(this)), headerLimit_(new QTimer(this)),
      limit_(new QTimer(this)) {
    qRegisterMetaType<FetchResult>();
    for (QTimer* t : {idle_, headerLimit_, limit_})
        t->setSingleShot(true);
    connect(idle_, &QTimer::timeout, this, [this] {
        finish(FetchError::TimedOut,
               QStringLiteral("no data for %1").arg(seconds(transferTimeoutMs_)));
    });
    connect(headerLimit_, &QTimer::timeout, this, [this] {
        finish(FetchError::TimedOut,
               QStringLiteral("no reply within %1").arg(seconds(headerTimeLimitMs_)));
    });
    connect(limit_, &QTimer::timeout, this, [this] {
        finish(FetchError::TimedOut,
               QStringLiteral("the page took longer than %1").arg(seconds(requestLimitMs_)));
    });
}

NetworkPageFetcher::~NetworkPageFetcher() {
    ++serial_;
    dropSocket();
}

bool NetworkPageFetcher::isBusy() const {
    return phase_ != Phase::Idle || answerPending_;
}

void NetworkPageFetcher::GetUrlSource(const QString& strURL) {
    abort();
    requested_ = strURL;
    redirects_ = 0;
    retriedFresh_ = false;
    peakBuffered_ = 0;
    const QUrl url(strURL, QUrl::TolerantMode);
    requestedHost_ = url.host().toLower();
    requestedPort_ = url.port(isHttps(url) ? 443 : 80);
    extraHeaders_ = requestHeaders();
    if (!isWebAddress(url)) {
        FetchResult result;
        result.url = strURL;
        result.error = FetchError::NotWebAddress;
        result.errorText = QStringLiteral("not a web address");
        emitLater(std::move(result));
        return;
    }
    limit_->start(requestLimitMs_);
    startRequest(url, true);
}

void NetworkPageFetcher::abort() {
    ++serial_;
    answerPending_ = false;
    idle_->stop();
    headerLimit_->stop();
    limit_->stop();
    if (phase_ != Phase::Idle) {
        // A reply half read cannot be followed by another on the same connection.
        dropSocket();
        phase_ = Phase::Idle;
    }
    resetReply();
}

void NetworkPageFetcher::resetReply() {
    line_.clear();
    headBytes_ = 0;
    anyReplyByte_ = false;
    status_ = 0;
    statusText_.clear();
    http10_ = false;
    location_.clear();
    retryAfter_.clear();
    chunked_ = false;
    closeAfterReply_ = false;
    keepAliveHeader_ = false;
    contentLength_ = -1;
    framing_ = Framing::None;
    remaining_ = 0;
    chunkPart_ = ChunkPart::SizeLine;
    discardBody_ = false;
    bodyBytes_ = 0;
    body_.clear();
}

void NetworkPageFetcher::startRequest(const QUrl& url, bool allowReuse) {
    url_ = url;
    resetReply();
    phase_ = Phase::Connecting;
    headerLimit_->start(headerTimeLimitMs_);
    idle_->start(transferTimeoutMs_);

    const bool https = isHttps(url);
    proxy_ = proxyFromEnvironment(url);
    absoluteForm_ = !https && proxy_.type() == QNetworkProxy::HttpProxy;
    const QString key = url.scheme().toLower() + QLatin1Char('|') + url.host().toLower() +
                        QLatin1Char('|') + QString::number(url.port(https ? 443 : 80)) +
                        QLatin1Char('|') + QString::number(int(proxy_.type())) + QLatin1Char('|') +
                        proxy_.hostName() + QLatin1Char('|') + QString::number(proxy_.port()) +
                        QLatin1Char('|') + proxy_.user();
    if (allowReuse && socket_ && socketReusable_ && socketKey_ == key &&
        socket_->state() == QAbstractSocket::ConnectedState) {
        reusedConnection_ = true;
        sendRequest();
        return;
    }
    reusedConnection_ = false;
    openConnection(key);
}

void NetworkPageFetcher::openConnection(const QString& key) {
    dropSocket();
    const bool https = isHttps(url_);
#if QT_CONFIG(ssl)
    if (https && !QSslSocket::supportsSsl()) {
        finish(FetchError::ConnectFailed, QStringLiteral("secure connections are not available"));
        return;
    }
    QSslSocket* secure = https ? new QSslSocket(this) : nullptr;
    socket_ = secure ? secure : new QTcpSocket(this);
#else
    if (https) {
        finish(FetchError::ConnectFailed, QStringLiteral("secure connections are not available"));
        return;
    }
    socket_ = new QTcpSocket(this);
#endif
    socketKey_ = key;
    socketReusable_ = false;
    socket_->setReadBufferSize(ReadBufferSize);
    // An http proxy is spoken to directly with the whole address in the request line; a secure
    // connection goes through it as a tunnel, and a SOCKS proxy carries either.
    socket_->setProxy(absoluteForm_ ? QNetworkProxy(QNetworkProxy::NoProxy) : proxy_);
    connect(socket_, &QTcpSocket::readyRead, this, &NetworkPageFetcher::readReply);
    connect(socket_, &QTcpSocket::disconnected, this, &NetworkPageFetcher::connectionClosed);
    connect(socket_, &QTcpSocket::errorOccurred, this, &NetworkPageFetcher::socketError);
    const quint16 port = quint16(url_.port(https ? 443 : 80));
#if QT_CONFIG(ssl)
    if (secure) {
        connect(secure, &QSslSocket::encrypted, this, &NetworkPageFetcher::sendRequest);
        secure->connectToHostEncrypted(url_.host(), port);
        return;
    }
#endif
    connect(socket_, &QTcpSocket::connected, this, &NetworkPageFetcher::sendRequest);
    if (absoluteForm_)
        socket_->connectToHost(proxy_.hostName(), proxy_.port());
    else
        socket_->connectToHost(url_.host(), port);
}

void NetworkPageFetcher::sendRequest() {
    if (phase_ != Phase::Connecting || !socket_)
        return;
    QByteArray target;
    if (absoluteForm_) {
        target = url_.toEncoded(QUrl::RemoveFragment | QUrl::RemoveUserInfo);
    } else {
        target = url_.path(QUrl::FullyEncoded).toLatin1();
        if (target.isEmpty())
            target = "/";
        if (url_.hasQuery())
            target += '?' + url_.query(QUrl::FullyEncoded).toLatin1();
    }
    QByteArray host = url_.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (url_.port() != -1 && url_.port() != (isHttps(url_) ? 443 : 80))
        host += ':' + QByteArray::number(url_.port());
    // An API key goes to the server it was meant for only, never on after a redirect elsewhere.
    // (The same host and port, or that host's secure address on the standard ports.)
    const int port = url_.port(isHttps(url_) ? 443 : 80);
    const bool withExtra = !extraHeaders_.isEmpty() && url_.host().toLower() == requestedHost_ &&
                           (port == requestedPort_ || (requestedPort_ == 80 && port == 443));
    auto extra = [&](const QByteArray& name) {
        if (withExtra)
            for (const auto& header : extraHeaders_)
                if (qstricmp(header.first.constData(), name.constData()) == 0)
                    return true;
        return false;
    };
    QByteArray request = "GET " + target + " HTTP/1.1\r\nHost: " + host + "\r\n";
    if (!extra("User-Agent"))
        request += QByteArray("User-Agent: ") + UserAgent + "\r\n";
    if (!extra("Accept"))
        request += "Accept: */*\r\n";
    request += "Connection: keep-alive\r\n";
    if (withExtra)
        for (const auto& [name, value] : extraHeaders_) {
            // A line break would start another header or end them all: such a header is dropped.
            const bool oneLine = !name.isEmpty() && !name.contains('\r') && !name.contains('\n') &&
                                 !name.contains(':') && !value.contains('\r') &&
                                 !value.contains('\n') && !value.contains('\0');
            if (oneLine)
                request += name + ": " + value + "\r\n";
        }
    if (absoluteForm_ && !proxy_.user().isEmpty())
        request += "Proxy-Authorization: Basic " +
                   (proxy_.user() + QLatin1Char(':') + proxy_.password()).toUtf8().toBase64() +
                   "\r\n";
    request += "\r\n";
    phase_ = Phase::StatusLine;
    socket_->write(request);
}

void NetworkPageFetcher::noteBuffered() {
    const qint64 held =
        (socket_ ? socket_->bytesAvailable() : 0) + line_.size() + qint64(body_.size());
    peakBuffered_ = std::max(peakBuffered_, held);
}

void NetworkPageFetcher::readReply() {
    if (!socket_)
        return;
    if (phase_ == Phase::Idle) {
        // Bytes on a connection kept for later: it no longer holds a clean reply boundary.
        dropSocket();
        return;
    }
    if (phase_ == Phase::Connecting)
        return;
    QTcpSocket* const socket = socket_;
    const quint64 serial = serial_;
    idle_->start(transferTimeoutMs_);
    while (socket_ == socket && serial == serial_ && socket->bytesAvailable() > 0) {
        noteBuffered();
        const QByteArray piece = socket->read(ReadBufferSize);
        if (piece.isEmpty())
            break;
        anyReplyByte_ = true;
        const Step step = consume(piece.constData(), piece.size());
        if (step != Step::More)
            return;
    }
    noteBuffered();
}

NetworkPageFetcher::Step NetworkPageFetcher::consume(const char* data, qint64 size) {
    while (size > 0) {
        Step step;
        if (phase_ == Phase::Body)
            step = consumeBody(data, size);
        else if (phase_ == Phase::StatusLine || phase_ == Phase::Headers ||
                 phase_ == Phase::Trailers)
            step = consumeLines(data, size);
        else
            return Step::Ended;
        if (step == Step::Ended)
            return step;
        if (step == Step::Complete) {
            // Bytes beyond the reply: the connection is not at a clean boundary any more.
            if (size > 0)
                closeAfterReply_ = true;
            replyComplete();
            return Step::Complete;
        }
    }
    return Step::More;
}

NetworkPageFetcher::Step NetworkPageFetcher::consumeLines(const char*& data, qint64& size) {
    while (size > 0 && phase_ != Phase::Body) {
        const char* end = static_cast<const char*>(std::memchr(data, '\n', size_t(size)));
        const qint64 take = end ? qint64(end - data) + 1 : size;
        headBytes_ += take;
        if (headBytes_ > HeaderLimit) {
            finish(FetchError::BadReply,
                   QStringLiteral("reply headers longer than %1").arg(mebibytes(HeaderLimit)));
            return Step::Ended;
        }
        line_.append(data, take);
        data += take;
        size -= take;
        if (!end)
            return Step::More;
        QByteArray line = std::move(line_);
        line_.clear();
        line.chop(1);
        if (line.endsWith('\r'))
            line.chop(1);
        const Step step = headLine(line);
        if (step != Step::More)
            return step;
    }
    return Step::More;
}

NetworkPageFetcher::Step NetworkPageFetcher::headLine(const QByteArray& line) {
    switch (phase_) {
    case Phase::StatusLine: {
        if (line.isEmpty())
            return Step::More; // a stray line break before the reply
        // "HTTP/1.x NNN reason"
        const bool valid = line.size() >= 12 && line.startsWith("HTTP/1.") && line[8] == ' ' &&
                           std::all_of(line.begin() + 9, line.begin() + 12,
                                       [](char c) { return c >= '0' && c <= '9'; }) &&
                           (line.size() == 12 || line[12] == ' ');
        if (!valid) {
            finish(FetchError::BadReply, QStringLiteral("not an HTTP reply"));
            return Step::Ended;
        }
        http10_ = line[7] == '0';
        status_ = line.mid(9, 3).toInt();
        statusText_ = printable(line.mid(13));
        location_.clear();
        retryAfter_.clear();
        chunked_ = false;
        closeAfterReply_ = false;
        keepAliveHeader_ = false;
        contentLength_ = -1;
        phase_ = Phase::Headers;
        return Step::More;
    }
    case Phase::Headers: {
        if (line.isEmpty()) {
            if (status_ == 101) {
                finish(FetchError::BadReply, QStringLiteral("unexpected protocol switch"));
                return Step::Ended;
            }
            if (status_ < 200) { // an interim reply: the real one follows
                phase_ = Phase::StatusLine;
                return Step::More;
            }
            return headersComplete();
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return Step::More; // not a header; ignored
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (name == "content-length") {
            bool ok = false;
            const qint64 length = value.toLongLong(&ok);
            if (!ok || length < 0 || (contentLength_ >= 0 && contentLength_ != length)) {
                finish(FetchError::BadReply, QStringLiteral("bad content length"));
                return Step::Ended;
            }
            contentLength_ = length;
        } else if (name == "transfer-encoding") {
            chunked_ = value.toLower().contains("chunked");
        } else if (name == "connection") {
            const QByteArray v = value.toLower();
            closeAfterReply_ = closeAfterReply_ || v.contains("close");
            keepAliveHeader_ = keepAliveHeader_ || v.contains("keep-alive");
        } else if (name == "location") {
            location_ = value;
        } else if (name == "retry-after") {
            retryAfter_ = value.left(100);
        }
        return Step::More;
    }
    case Phase::Trailers:
        return line.isEmpty() ? Step::Complete : Step::More;
    default:
        return Step::Ended;
    }
}

NetworkPageFetcher::Step NetworkPageFetcher::headersComplete() {
    headerLimit_->stop();
    discardBody_ = isRedirect(status_) && !location_.isEmpty();
    if (status_ == 204 || status_ == 304) {
        framing_ = Framing::None;
        return Step::Complete;
    }
    phase_ = Phase::Body;
    if (chunked_) {
        framing_ = Framing::Chunked;
        chunkPart_ = ChunkPart::SizeLine;
        remaining_ = 0;
    } else if (contentLength_ >= 0) {
        framing_ = Framing::Length;
        remaining_ = contentLength_;
        if (remaining_ == 0)
            return Step::Complete;
    } else {
        framing_ = Framing::UntilClose;
    }
    return Step::More;
}

NetworkPageFetcher::Step NetworkPageFetcher::consumeBody(const char*& data, qint64& size) {
    switch (framing_) {
    case Framing::Length: {
        const qint64 take = std::min(remaining_, size);
        if (!keepBody(data, take))
            return Step::Ended;
        data += take;
        size -= take;
        remaining_ -= take;
        return remaining_ == 0 ? Step::Complete : Step::More;
    }
    case Framing::UntilClose: {
        if (!keepBody(data, size))
            return Step::Ended;
        data += size;
        size = 0;
        return Step::More;
    }
    case Framing::Chunked:
        while (size > 0) {
            if (chunkPart_ == ChunkPart::Data) {
                const qint64 take = std::min(remaining_, size);
                if (!keepBody(data, take))
                    return Step::Ended;
                data += take;
                size -= take;
                remaining_ -= take;
                if (remaining_ == 0)
                    chunkPart_ = ChunkPart::DataEnd;
                continue;
            }
            // The chunk's size line, or the line break after its data.
            const char* end = static_cast<const char*>(std::memchr(data, '\n', size_t(size)));
            const qint64 take = end ? qint64(end - data) + 1 : size;
            if (line_.size() + take > ChunkLineLimit) {
                finish(FetchError::BadReply, QStringLiteral("broken chunked body"));
                return Step::Ended;
            }
            line_.append(data, take);
            data += take;
            size -= take;
            if (!end)
                return Step::More;
            QByteArray line = std::move(line_);
            line_.clear();
            line = line.trimmed();
            if (chunkPart_ == ChunkPart::DataEnd) {
                if (!line.isEmpty()) {
                    finish(FetchError::BadReply, QStringLiteral("broken chunked body"));
                    return Step::Ended;
                }
                chunkPart_ = ChunkPart::SizeLine;
                continue;
            }
            const qsizetype semicolon = line.indexOf(';');
            if (semicolon >= 0)
                line = line.left(semicolon).trimmed();
            bool ok = false;
            const qint64 chunk = line.toLongLong(&ok, 16);
            if (!ok || chunk < 0 || line.size() > 15) {
                finish(FetchError::BadReply, QStringLiteral("broken chunked body"));
                return Step::Ended;
            }
            if (chunk == 0) {
                phase_ = Phase::Trailers;
                return Step::More;
            }
            remaining_ = chunk;
            chunkPart_ = ChunkPart::Data;
        }
        return Step::More;
    case Framing::None:
        return Step::Complete;
    }
    return Step::Ended;
}

bool NetworkPageFetcher::keepBody(const char* data, qint64 size) {
    bodyBytes_ += size;
    if (bodyBytes_ > bodyCap_) {
        // Reading stops here: the connection goes, with whatever it still holds.
        if (!discardBody_)
            body_.append(data, size - (bodyBytes_ - bodyCap_));
        noteBuffered();
        finish(FetchError::TooLarge,
               QStringLiteral("page larger than %1").arg(mebibytes(bodyCap_)));
        return false;
    }
    if (!discardBody_) {
        if (body_.capacity() == 0) {
            // Room for the whole body at once: a growing body is never copied, so that it
            // holds at most its own size. Pages not yet written take no memory.
            const qint64 expected = framing_ == Framing::Length ? contentLength_ : bodyCap_;
            body_.reserve(qsizetype(std::min(expected, bodyCap_)));
        }
        body_.append(data, size);
    }
    return true;
}

void NetworkPageFetcher::replyComplete() {
    const bool keepAlive =
        !closeAfterReply_ && framing_ != Framing::UntilClose && (!http10_ || keepAliveHeader_);
    socketReusable_ = keepAlive;
    if (!discardBody_) {
        finish(FetchError::None);
        return;
    }
    const QUrl target = url_.resolved(QUrl(QString::fromLatin1(location_), QUrl::TolerantMode));
    const bool lessSafe = isHttps(url_) && !isHttps(target);
    if (!isWebAddress(target) || lessSafe) {
        finish(FetchError::RedirectRefused,
               QStringLiteral("redirect to %1 not followed")
                   .arg(QString::fromLatin1(target.toEncoded().left(200))));
        return;
    }
    if (++redirects_ > MaxRedirects) {
        finish(FetchError::TooManyRedirects,
               QStringLiteral("more than %1 redirects").arg(MaxRedirects));
        return;
    }
    if (!keepAlive)
        dropSocket();
    startRequest(target, true);
}

void NetworkPageFetcher::connectionClosed() {
    if (!socket_)
        return;
    if (phase_ == Phase::Idle) {
        dropSocket();
        return;
    }
    // What the socket still holds comes first.
    QTcpSocket* const socket = socket_;
    const quint64 serial = serial_;
    readReply();
    if (serial != serial_ || socket_ != socket || phase_ == Phase::Idle ||
        socket->bytesAvailable() > 0)
        return;
    if (phase_ == Phase::Body && framing_ == Framing::UntilClose) {
        closeAfterReply_ = true;
        replyComplete();
        return;
    }
    if (phase_ == Phase::StatusLine && !anyReplyByte_ && reusedConnection_ && !retriedFresh_) {
        // The server had closed the kept connection: once more on a new one.
        retriedFresh_ = true;
        dropSocket();
        startRequest(url_, false);
        return;
    }
    if (phase_ == Phase::Connecting) {
        finish(FetchError::ConnectFailed, QStringLiteral("the connection closed"));
        return;
    }
    finish(FetchError::BrokenOff, anyReplyByte_
                                      ? QStringLiteral("the connection broke off")
                                      : QStringLiteral("the server closed without a reply"));
}

void NetworkPageFetcher::socketError() {
    if (!socket_)
        return;
    const QAbstractSocket::SocketError error = socket_->error();
    if (error == QAbstractSocket::RemoteHostClosedError) {
        connectionClosed();
        return;
    }
    if (phase_ == Phase::Idle) {
        dropSocket();
        return;
    }
    const QString detail = socket_->errorString();
    if (phase_ == Phase::StatusLine && !anyReplyByte_ && reusedConnection_ && !retriedFresh_) {
        retriedFresh_ = true;
        dropSocket();
        startRequest(url_, false);
        return;
    }
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        finish(FetchError::ConnectionRefused, QStringLiteral("connection refused"));
        return;
    case QAbstractSocket::HostNotFoundError:
        finish(FetchError::HostNotFound, QStringLiteral("host not found"));
        return;
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        finish(FetchError::ConnectFailed, QStringLiteral("secure connection failed: ") + detail);
        return;
    case QAbstractSocket::ProxyAuthenticationRequiredError:
    case QAbstractSocket::ProxyConnectionRefusedError:
    case QAbstractSocket::ProxyConnectionClosedError:
    case QAbstractSocket::ProxyConnectionTimeoutError:
    case QAbstractSocket::ProxyNotFoundError:
    case QAbstractSocket::ProxyProtocolError:
        finish(FetchError::ConnectFailed, QStringLiteral("proxy: ") + detail);
        return;
    default:
        if (phase_ == Phase::Connecting)
            finish(FetchError::ConnectFailed, detail);
        else
            finish(FetchError::BrokenOff, detail);
    }
}

void NetworkPageFetcher::finish(FetchError error, const QString& errorText) {
    FetchResult result;
    result.url = requested_;
    result.error = error;
    result.errorText = errorText;
    result.status = status_;
    result.statusText = statusText_;
    result.retryAfter = retryAfter_;
    result.body = std::move(body_);
    idle_->stop();
    headerLimit_->stop();
    limit_->stop();
    // A reply that did not end cleanly takes its connection with it.
    if (error != FetchError::None || !socketReusable_)
        dropSocket();
    phase_ = Phase::Idle;
    resetReply();
    emitLater(std::move(result));
}

void NetworkPageFetcher::emitLater(FetchResult result) {
    answerPending_ = true;
    QTimer::singleShot(0, this, [this, serial = serial_, result = std::move(result)] {
        if (serial != serial_ || !answerPending_)
            return;
        answerPending_ = false;
        Q_EMIT pageFetched(result);
    });
}

void NetworkPageFetcher::dropSocket() {
    if (!socket_)
        return;
    QTcpSocket* socket = socket_;
    socket_ = nullptr;
    socketReusable_ = false;
    socketKey_.clear();
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

} // namespace tally
