// Reading an HTTP reply: the one place that says how a status line and the headers the program
// acts on are read, where a redirect may lead, what a Retry-After value means and how a failed
// transfer is told. Page fetches, API answers and downloads all read their replies here.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QUrl>

#include <curl/curl.h>

#include <optional>

namespace tally {

class HttpTransfer;

// Why a transfer ended without the whole reply.
enum class FetchError {
    None,              // the whole reply arrived (whatever its status)
    NotWebAddress,     // nothing that can be asked for over http or https
    ConnectionRefused, // nobody listens at the address
    HostNotFound,      // the host name does not resolve
    ConnectFailed,     // any other failure to connect (no route, secure connection refused...)
    TimedOut,          // no reply headers in time, no byte for too long, or the whole limit
    TooLarge,          // the body passed the cap; body holds its first bytes up to the cap
    BadReply,          // not an HTTP reply, headers beyond their limit, broken framing
    BrokenOff,         // the connection closed before the reply was complete
    TooManyRedirects,  // the redirects did not end
    RedirectRefused    // a redirect to something that is not a web address, or to plain http
};

// A header the program sends: a name that is a token (RFC 9110, 5.6.2), a value without a line
// break or NUL. The one rule, for the Header lines of engines.ini and every request's headers.
bool isHeaderName(QByteArrayView name);
bool isHeaderName(QStringView name);
bool holdsLineBreakOrNul(QByteArrayView text);
bool holdsLineBreakOrNul(QStringView text);

// True when `line` is the header `name` (any case), with its value trimmed into *value.
bool headerIs(QByteArrayView line, QByteArrayView name, QByteArray* value);

// How long a Retry-After value asks the client to wait: whole seconds, or an HTTP date taken
// against now (RFC 9110, 10.2.3). Nothing for a value that reads as neither.
std::optional<qint64> retryAfterMs(QByteArrayView value, const QDateTime& now);

// One reply's status line and headers as their lines arrive. A status line starts a new reply
// (an interim one, or the final one) and forgets the one before.
struct ReplyHead {
    int status = 0;
    QByteArray reason;         // the reason phrase as sent ("Too Many Requests")
    qint64 contentLength = -1; // none
    bool badLength = false;    // a Content-Length that is no length, or two that differ
    bool encoded = false;      // a Content-Encoding: the length is not the body's
    QByteArray transferEncoding, location, retryAfter, contentType, etag, lastModified;
    qint64 rangeStart = -1, rangeTotal = -1; // Content-Range "bytes 100-199/200"; -1: none or "*"

    // Reads one line, with or without its line end. True when it is the blank line that ends a
    // final reply's headers (lines after it are a chunked body's trailers).
    bool read(QByteArrayView line);
    // Whether the reply sends the client on: 301, 302, 303, 307 or 308 with a Location.
    bool redirects() const;
};

// The most redirects followed for one request; one more ends it.
inline constexpr int MaxRedirects = 20;

// Where a redirect from `from` leads, and whether it may be followed there: not to an address that
// is not http or https, nor from https back to plain http.
QUrl redirectTarget(const QUrl& from, const QByteArray& location);
bool mayRedirect(const QUrl& from, const QUrl& to);

// Whether `url` is the server `asked` names: the same host and port, or the host's https on the
// standard ports. A request's keys, headers and body go to no other.
bool sameServer(const QUrl& asked, const QUrl& url);

// Why a transfer failed, said as the program says it: a proxy named where the failure was the
// proxy's, a certificate's problem by name. `replied`: a status line had arrived.
struct TransferFailure {
    FetchError error;
    QString reason;
};
TransferFailure transferFailure(CURLcode result, const HttpTransfer& transfer, bool replied);

} // namespace tally
