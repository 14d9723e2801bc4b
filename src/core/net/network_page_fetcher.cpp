#include "core/scan/network_page_fetcher.h"

#include <QCoreApplication>
#include <QTimer>

#include <algorithm>
#include <cerrno>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(PageFetcher)
};

bool isHttps(const QUrl& url) {
    return url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
}

bool isWebAddress(const QUrl& url) {
    return url.isValid() && !url.host().isEmpty() &&
           (isHttps(url) || url.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) == 0);
}

// A reason phrase fit to be shown: printable, nothing a tooltip could take for markup, short.
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
    return bytes % (1024 * 1024) ? Text::tr("%1 bytes").arg(bytes)
                                 : Text::tr("%1 MiB").arg(bytes / (1024 * 1024));
}

} // namespace

NetworkPageFetcher::NetworkPageFetcher(QObject* parent)
    : PageFetcher(parent), timer_(new QTimer(this)) {
    qRegisterMetaType<FetchResult>();
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &NetworkPageFetcher::checkTime);
    transfer_.onHeader = [this](QByteArrayView line) { return header(line); };
    transfer_.onBody = [this](QByteArrayView bytes) { return keepBody(bytes); };
    transfer_.onDone = [this](CURLcode result) { hopDone(result); };
}

NetworkPageFetcher::~NetworkPageFetcher() = default;

void NetworkPageFetcher::fetch(const FetchRequest& request) {
    abort();
    request_ = request;
    requested_ = QUrl(request.url, QUrl::TolerantMode);
    redirects_ = 0;
    peak_ = 0;
    cap_ = std::min(request.bodyCap, bodyCap_);
    if (!isWebAddress(requested_))
        return finish(FetchError::NotWebAddress, Text::tr("not a web address"));
    if (request.method != "GET" && request.method != "POST")
        return finish(FetchError::NotWebAddress,
                      Text::tr("not a request method: %1").arg(printable(request.method)));
    busy_ = true;
    clock_.start();
    requestEnd_ = requestLimitMs_;
    startHop(requested_);
}

void NetworkPageFetcher::abort() {
    ++serial_;
    busy_ = answerPending_ = false;
    timer_->stop();
    transfer_.cancel();
    reply_ = FetchResult();
}

// The request's own server: the same host and port, or the host's https on the standard ports.
bool NetworkPageFetcher::sameServer(const QUrl& url) const {
    const int port = url.port(isHttps(url) ? 443 : 80);
    const int asked = requested_.port(isHttps(requested_) ? 443 : 80);
    return url.host().compare(requested_.host(), Qt::CaseInsensitive) == 0 &&
           (port == asked || (asked == 80 && port == 443));
}

void NetworkPageFetcher::startHop(const QUrl& url) {
    url_ = url;
    reply_ = FetchResult();
    headBytes_ = bodyBytes_ = 0;
    headersDone_ = redirect_ = false;
    stopError_ = FetchError::None;
    headersEnd_ = clock_.elapsed() + headerTimeLimitMs_;
    lastByte_ = clock_.elapsed();
    transfer_.start({url, request_.method, request_.body, request_.contentType,
                     sameServer(url) ? request_.headers : PageFetcher::RequestHeaders()});
    checkTime();
}

void NetworkPageFetcher::checkTime() {
    const qint64 now = clock_.elapsed();
    const qint64 silence = lastByte_ + transferTimeoutMs_;
    if (now >= requestEnd_)
        return finish(FetchError::TimedOut,
                      Text::tr("the page took longer than %1").arg(seconds(requestLimitMs_)));
    if (!headersDone_ && now >= headersEnd_)
        return finish(FetchError::TimedOut,
                      Text::tr("no reply within %1").arg(seconds(headerTimeLimitMs_)));
    if (now >= silence)
        return finish(FetchError::TimedOut,
                      Text::tr("no data for %1").arg(seconds(transferTimeoutMs_)));
    timer_->start(
        int(std::min({requestEnd_, headersDone_ ? silence : headersEnd_, silence}) - now));
}

bool NetworkPageFetcher::stop(FetchError error, const QString& reason) {
    stopError_ = error;
    stopReason_ = reason;
    return false;
}

bool NetworkPageFetcher::header(QByteArrayView view) {
    lastByte_ = clock_.elapsed();
    headBytes_ += view.size();
    peak_ = std::max(peak_, headBytes_ + reply_.body.size());
    if (headBytes_ > HeaderLimit)
        return stop(FetchError::BadReply,
                    Text::tr("reply headers longer than %1").arg(mebibytes(HeaderLimit)));
    const QByteArray line = view.trimmed().toByteArray();
    if (headersDone_)
        return true;                // a chunked body's trailers
    if (line.startsWith("HTTP/")) { // "HTTP/1.1 200 OK", "HTTP/2 200": a reply, or an interim one
        reply_ = FetchResult();
        const qsizetype space = line.indexOf(' ');
        reply_.status = line.mid(space + 1, 3).toInt();
        reply_.statusText = printable(line.mid(space + 5));
        location_.clear();
        length_ = -1;
        encoded_ = false;
        return reply_.status != 101 ||
               stop(FetchError::BadReply, Text::tr("unexpected protocol switch"));
    }
    if (line.isEmpty() && reply_.status >= 200) {
        headersDone_ = true;
        redirect_ =
            QList<int>{301, 302, 303, 307, 308}.contains(reply_.status) && !location_.isEmpty();
        // Room for the whole body at once, never copied as it grows: its length, or the cap
        // (pages not written to take no memory).
        if (!redirect_)
            reply_.body.reserve(
                qsizetype(length_ >= 0 && !encoded_ ? std::min(length_, cap_) : cap_));
        return true;
    }
    const qsizetype colon = line.indexOf(':');
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (colon <= 0) {
        return true; // not a header
    } else if (name == "content-length") {
        bool ok = false;
        const qint64 length = value.toLongLong(&ok);
        if (!ok || length < 0 || (length_ >= 0 && length_ != length))
            return stop(FetchError::BadReply, Text::tr("bad content length"));
        length_ = length;
    } else if (name == "transfer-encoding" && value.toLower() != "chunked") {
        // "chunked, identity" and the like: a framing that two readers may read apart.
        return stop(FetchError::BadReply,
                    Text::tr("unsupported transfer encoding %1").arg(printable(value)));
    } else if (name == "content-encoding") {
        encoded_ = true; // the length is not the body's
    } else if (name == "location") {
        location_ = value;
    } else if (name == "retry-after") {
        reply_.retryAfter = value.left(100);
    } else if (name == "content-type") {
        reply_.contentType = value.left(200);
    }
    return true;
}

bool NetworkPageFetcher::keepBody(QByteArrayView bytes) {
    lastByte_ = clock_.elapsed();
    const qint64 room = cap_ - bodyBytes_;
    bodyBytes_ += bytes.size();
    if (!redirect_) // a redirect's body is read and dropped
        reply_.body.append(bytes.first(qsizetype(std::min<qint64>(room, bytes.size()))));
    peak_ = std::max(peak_, headBytes_ + reply_.body.size());
    return bodyBytes_ <= cap_ ||
           stop(FetchError::TooLarge,
                Text::tr("%1 larger than %2")
                    .arg(cap_ <= ApiBodyCap ? "answer" : "page", mebibytes(cap_)));
}

void NetworkPageFetcher::hopDone(CURLcode result) {
    if (stopError_ != FetchError::None)
        return finish(stopError_, stopReason_);
    if (result != CURLE_OK)
        return failed(result);
    if (!redirect_)
        return finish(FetchError::None);
    const QUrl target = url_.resolved(QUrl(QString::fromLatin1(location_), QUrl::TolerantMode));
    // A POST's body goes to its own server only; after 301, 302 and 303 a GET follows.
    const bool keepsBody = request_.method == "POST" && reply_.status != 301 &&
                           reply_.status != 302 && reply_.status != 303;
    if (!isWebAddress(target) || (isHttps(url_) && !isHttps(target)) ||
        (keepsBody && !sameServer(target)))
        return finish(FetchError::RedirectRefused,
                      Text::tr("redirect to %1 not followed")
                          .arg(QString::fromLatin1(target.toEncoded().left(200))));
    if (++redirects_ > MaxRedirects)
        return finish(FetchError::TooManyRedirects,
                      Text::tr("more than %1 redirects").arg(MaxRedirects));
    if (!keepsBody)
        request_ = {request_.url, "GET", {}, {}, request_.headers, request_.bodyCap};
    startHop(target);
}

// What libcurl ended with, said as the program says it: a proxy named where the failure was the
// proxy's, a certificate's problem by name.
void NetworkPageFetcher::failed(CURLcode result) {
    const QString proxy =
        transfer_.proxy().isEmpty() ? QString() : Text::tr("proxy %1: ").arg(transfer_.proxy());
    const QString detail = transfer_.errorText();
    long osError = 0, verify = 0, tunnel = 0;
    curl_easy_getinfo(transfer_.handle(), CURLINFO_OS_ERRNO, &osError);
    curl_easy_getinfo(transfer_.handle(), CURLINFO_SSL_VERIFYRESULT, &verify);
    curl_easy_getinfo(transfer_.handle(), CURLINFO_HTTP_CONNECTCODE, &tunnel);
    switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return finish(FetchError::HostNotFound, Text::tr("host not found"));
    case CURLE_COULDNT_RESOLVE_PROXY:
        return finish(FetchError::ConnectFailed, proxy + Text::tr("host not found"));
    case CURLE_COULDNT_CONNECT:
        if (osError == ECONNREFUSED)
            return finish(proxy.isEmpty() ? FetchError::ConnectionRefused
                                          : FetchError::ConnectFailed,
                          proxy + Text::tr("connection refused"));
        return finish(FetchError::ConnectFailed, proxy + detail);
    case CURLE_PROXY:
        return finish(FetchError::ConnectFailed, proxy + detail);
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE: // OpenSSL's X509_V_ERR_... numbers
        return finish(FetchError::ConnectFailed,
                      Text::tr("secure connection failed: %1")
                          .arg(verify == 18 || verify == 19 ? Text::tr("self-signed certificate")
                               : verify == 10               ? Text::tr("certificate expired")
                               : verify == 9                ? Text::tr("certificate not yet valid")
                               : verify == 2 || verify == 20 || verify == 21
                                   ? Text::tr("certificate of an unknown authority")
                               : detail.contains(QLatin1String("target host name"))
                                   ? Text::tr("certificate for another host")
                                   : detail));
    case CURLE_GOT_NOTHING:
        return finish(FetchError::BrokenOff, Text::tr("the server closed without a reply"));
    case CURLE_BAD_CONTENT_ENCODING:
        return finish(FetchError::BadReply, Text::tr("broken compressed body: %1").arg(detail));
    case CURLE_UNSUPPORTED_PROTOCOL: // no status line: HTTP/0.9 at best
    case CURLE_WEIRD_SERVER_REPLY:
        return finish(FetchError::BadReply, Text::tr("not an HTTP reply"));
    case CURLE_OUT_OF_MEMORY: // a header line beyond libcurl's own limit
        return finish(FetchError::BadReply, Text::tr("reply header line too long"));
    case CURLE_RECV_ERROR:
        if (tunnel >= 300 && !proxy.isEmpty())
            return finish(FetchError::ConnectFailed,
                          proxy + Text::tr("tunnel refused (HTTP status %1)").arg(tunnel));
        if (detail.contains(QLatin1String("chunked-encoding")))
            return finish(FetchError::BadReply, Text::tr("broken chunked body"));
        [[fallthrough]];
    case CURLE_PARTIAL_FILE:
    case CURLE_SEND_ERROR:
        return finish(FetchError::BrokenOff, Text::tr("the connection broke off"));
    default:
        return finish(reply_.status ? FetchError::BadReply : FetchError::ConnectFailed, detail);
    }
}

void NetworkPageFetcher::finish(FetchError error, const QString& errorText) {
    timer_->stop();
    transfer_.cancel(); // a reply that did not end cleanly takes its connection with it
    FetchResult result = std::exchange(reply_, FetchResult());
    result.body.squeeze();
    result.url = request_.url;
    result.error = error;
    result.errorText = errorText;
    busy_ = false;
    answerPending_ = true;
    QTimer::singleShot(0, this, [this, serial = serial_, result = std::move(result)] {
        if (serial == serial_ && std::exchange(answerPending_, false))
            Q_EMIT pageFetched(result);
    });
}

} // namespace tally
