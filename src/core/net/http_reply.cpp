#include "core/net/http_reply.h"

#include "core/net/http_transfer.h"
#include "core/net/web_address.h"
#include "core/numbers/numbers.h"

#include <QCoreApplication>

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

char16_t code(char c) {
    return uchar(c);
}
char16_t code(QChar c) {
    return c.unicode();
}

template <class View> bool tokenOnly(View name) {
    static constexpr QByteArrayView separators = "\"(),/:;<=>?@[\\]{}";
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](auto c) {
        const char16_t u = code(c);
        return u > 0x20 && u <= 0x7e && !separators.contains(char(u));
    });
}

template <class View> bool breakOrNul(View text) {
    return std::any_of(text.begin(), text.end(), [](auto c) {
        const char16_t u = code(c);
        return u == '\r' || u == '\n' || u == 0;
    });
}

qint64 length(QByteArrayView text) {
    bool ok = false;
    const qint64 n = text.toByteArray().toLongLong(&ok);
    return ok && n >= 0 ? n : -1;
}

} // namespace

bool isHeaderName(QByteArrayView name) {
    return tokenOnly(name);
}
bool isHeaderName(QStringView name) {
    return tokenOnly(name);
}
bool holdsLineBreakOrNul(QByteArrayView text) {
    return breakOrNul(text);
}
bool holdsLineBreakOrNul(QStringView text) {
    return breakOrNul(text);
}

bool ReplyHead::read(QByteArrayView view) {
    const QByteArrayView line = view.trimmed();
    QByteArray value;
    if (line.startsWith("HTTP/")) { // "HTTP/1.1 200 OK", "HTTP/2 200"
        *this = ReplyHead();
        const qsizetype space = line.indexOf(' ');
        if (space > 0) {
            status = line.sliced(space + 1)
                         .first(std::min<qsizetype>(3, line.size() - space - 1))
                         .toInt();
            reason = line.size() > space + 5 ? line.sliced(space + 5).toByteArray() : QByteArray();
        }
    } else if (line.isEmpty()) {
        return status >= 200;
    } else if (headerIs(line, "Content-Length", &value)) {
        const qint64 n = length(value);
        badLength = badLength || n < 0 || (contentLength >= 0 && contentLength != n);
        contentLength = n;
    } else if (headerIs(line, "Content-Range", &value)) {
        // "bytes 100-199/200" (RFC 9110, 14.4); the total may be "*", and a range that cannot be
        // served reads "bytes */200".
        if (value.startsWith("bytes ")) {
            const QByteArrayView range = QByteArrayView(value).sliced(6);
            const qsizetype dash = range.indexOf('-'), slash = range.indexOf('/');
            rangeStart = dash > 0 ? length(range.first(dash)) : -1;
            if (slash >= 0)
                rangeTotal = length(range.sliced(slash + 1));
        }
    } else if (headerIs(line, "Transfer-Encoding", &value)) {
        transferEncoding = value;
    } else if (headerIs(line, "Content-Encoding", &value)) {
        encoded = true;
    } else if (headerIs(line, "Location", &value)) {
        location = value;
    } else if (headerIs(line, "Retry-After", &value)) {
        retryAfter = value;
    } else if (headerIs(line, "Content-Type", &value)) {
        contentType = value;
    } else if (headerIs(line, "ETag", &value)) {
        etag = value;
    } else if (headerIs(line, "Last-Modified", &value)) {
        lastModified = value;
    }
    return false;
}

bool ReplyHead::redirects() const {
    return (status == 301 || status == 302 || status == 303 || status == 307 || status == 308) &&
           !location.isEmpty();
}

QUrl redirectTarget(const QUrl& from, const QByteArray& location) {
    return from.resolved(QUrl(QString::fromLatin1(location), QUrl::TolerantMode));
}

bool mayRedirect(const QUrl& from, const QUrl& to) {
    return isWebUrl(to) && (!isHttps(from) || isHttps(to));
}

bool sameServer(const QUrl& asked, const QUrl& url) {
    const int port = url.port(isHttps(url) ? 443 : 80);
    const int askedPort = asked.port(isHttps(asked) ? 443 : 80);
    return url.host().compare(asked.host(), Qt::CaseInsensitive) == 0 &&
           (port == askedPort || (askedPort == 80 && port == 443));
}

TransferFailure transferFailure(CURLcode result, const HttpTransfer& transfer, bool replied) {
    const QString proxy =
        transfer.proxy().isEmpty() ? QString() : Text::tr("proxy %1: ").arg(transfer.proxy());
    QString detail = transfer.errorText();
    if (detail.isEmpty())
        detail = QString::fromUtf8(curl_easy_strerror(result));
    long osError = 0, verify = 0, tunnel = 0;
    curl_easy_getinfo(transfer.handle(), CURLINFO_OS_ERRNO, &osError);
    curl_easy_getinfo(transfer.handle(), CURLINFO_SSL_VERIFYRESULT, &verify);
    curl_easy_getinfo(transfer.handle(), CURLINFO_HTTP_CONNECTCODE, &tunnel);
    switch (result) {
    case CURLE_COULDNT_RESOLVE_HOST:
        return {FetchError::HostNotFound, Text::tr("host not found")};
    case CURLE_COULDNT_RESOLVE_PROXY:
        return {FetchError::ConnectFailed, proxy + Text::tr("host not found")};
    case CURLE_COULDNT_CONNECT:
        if (osError == ECONNREFUSED)
            return {proxy.isEmpty() ? FetchError::ConnectionRefused : FetchError::ConnectFailed,
                    proxy + Text::tr("connection refused")};
        return {FetchError::ConnectFailed, proxy + detail};
    case CURLE_PROXY:
        return {FetchError::ConnectFailed, proxy + detail};
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_CACERT_BADFILE: // OpenSSL's X509_V_ERR_... numbers
        return {FetchError::ConnectFailed,
                Text::tr("secure connection failed: %1")
                    .arg(verify == 18 || verify == 19 ? Text::tr("self-signed certificate")
                         : verify == 10               ? Text::tr("certificate expired")
                         : verify == 9                ? Text::tr("certificate not yet valid")
                         : verify == 2 || verify == 20 || verify == 21
                             ? Text::tr("certificate of an unknown authority")
                         : detail.contains(QLatin1String("target host name"))
                             ? Text::tr("certificate for another host")
                             : detail)};
    case CURLE_GOT_NOTHING:
        return {FetchError::BrokenOff, Text::tr("the server closed without a reply")};
    case CURLE_BAD_CONTENT_ENCODING:
        return {FetchError::BadReply, Text::tr("broken compressed body: %1").arg(detail)};
    case CURLE_UNSUPPORTED_PROTOCOL: // no status line: HTTP/0.9 at best
    case CURLE_WEIRD_SERVER_REPLY:
        return {FetchError::BadReply, Text::tr("not an HTTP reply")};
    case CURLE_OUT_OF_MEMORY: // a header line beyond libcurl's own limit
        return {FetchError::BadReply, Text::tr("reply header line too long")};
    case CURLE_RECV_ERROR:
        if (tunnel >= 300 && !proxy.isEmpty())
            return {FetchError::ConnectFailed,
                    proxy + Text::tr("tunnel refused (HTTP status %1)").arg(tunnel)};
        if (detail.contains(QLatin1String("chunked-encoding")))
            return {FetchError::BadReply, Text::tr("broken chunked body")};
        [[fallthrough]];
    case CURLE_PARTIAL_FILE:
    case CURLE_SEND_ERROR:
        return {FetchError::BrokenOff, Text::tr("the connection broke off")};
    default:
        return {replied ? FetchError::BadReply : FetchError::ConnectFailed, detail};
    }
}

bool headerIs(QByteArrayView line, QByteArrayView name, QByteArray* value) {
    if (line.size() <= name.size() || line[name.size()] != ':' ||
        QByteArrayView(line.first(name.size())).compare(name, Qt::CaseInsensitive) != 0)
        return false;
    *value = line.sliced(name.size() + 1).toByteArray().trimmed();
    return true;
}

std::optional<qint64> retryAfterMs(QByteArrayView bytes, const QDateTime& now) {
    const QString value = QString::fromLatin1(bytes).trimmed();
    if (value.isEmpty())
        return std::nullopt;
    if (const std::optional<qint64> secs = readWholeNumber(value)) {
        if (*secs < 0 || value.startsWith(QLatin1Char('-')) || value.startsWith(QLatin1Char('+')))
            return std::nullopt;
        return *secs > (qint64(1) << 40) ? qint64(1) << 50 : *secs * 1000;
    }
    // An HTTP date: "Sun, 06 Nov 1994 08:49:37 GMT" (read as the same date at +0000).
    QString date = value;
    if (date.endsWith(QLatin1String(" GMT")) || date.endsWith(QLatin1String(" UTC")))
        date = date.left(date.size() - 4) + QLatin1String(" +0000");
    const QDateTime when = QDateTime::fromString(date, Qt::RFC2822Date);
    if (!when.isValid())
        return std::nullopt;
    return std::max<qint64>(0, now.msecsTo(when));
}

} // namespace tally
