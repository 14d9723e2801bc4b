// Fetching one page: GetUrlSource behind an interface, so that the scan can be driven by any
// source of pages. The fetch is asynchronous: it reports what came back, or why nothing usable
// did, through pageFetched().
#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPair>
#include <QString>

namespace tally {

// Why a fetch ended without the whole reply.
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

// What one fetch brought back.
struct FetchResult {
    QString url; // the address asked for
    FetchError error = FetchError::None;
    QString errorText;     // the detail of the error for the user, empty with FetchError::None
    int status = 0;        // the HTTP status of the final reply; 0 when none arrived
    QString statusText;    // its reason phrase as sent ("Too Many Requests")
    QByteArray retryAfter; // the final reply's Retry-After header, as sent
    QByteArray body;       // the body's bytes: all of them, or what arrived before the error

    bool complete() const { return error == FetchError::None; }
};

class PageFetcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PageFetcher() override = default;

    // Starts a GET of strURL. pageFetched() follows exactly once, later on the event loop.
    // A fetch started while another is in flight cancels that one.
    virtual void GetUrlSource(const QString& strURL) = 0;
    // Cancels the fetch in flight at once, if any, dropping its connection; no pageFetched()
    // follows for it.
    virtual void abort() = 0;

    // Extra request headers ("API-Key", "...") for the fetches started from now on; empty for
    // none. A fetch sends them only to the host it was asked for, never after a redirect to
    // another host.
    using RequestHeaders = QList<QPair<QByteArray, QByteArray>>;
    void setRequestHeaders(const RequestHeaders& headers) { requestHeaders_ = headers; }
    const RequestHeaders& requestHeaders() const { return requestHeaders_; }

Q_SIGNALS:
    void pageFetched(const tally::FetchResult& result);

private:
    RequestHeaders requestHeaders_;
};

} // namespace tally

Q_DECLARE_METATYPE(tally::FetchResult)
