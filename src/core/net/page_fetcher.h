// Fetching one page: GetUrlSource (and requests with a method and a body, fetch()) behind an
// interface, so that the scan can be driven by any source of pages. The fetch is asynchronous: it
// reports what came back, or why nothing usable did, through pageFetched().
#pragma once

#include "core/net/http_reply.h"

#include <QByteArray>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPair>
#include <QString>

namespace tally {

// What one fetch brought back.
struct FetchResult {
    QString url; // the address asked for
    FetchError error = FetchError::None;
    QString errorText;      // the detail of the error for the user, empty with FetchError::None
    int status = 0;         // the HTTP status of the final reply; 0 when none arrived
    QString statusText;     // its reason phrase as sent ("Too Many Requests")
    QByteArray retryAfter;  // the final reply's Retry-After header, as sent
    QByteArray contentType; // the final reply's Content-Type header, as sent
    QByteArray body; // the body's bytes, decoded from their content encoding: all of them, or
                     // what arrived before the error

    bool complete() const { return error == FetchError::None; }
};

// The most body bytes kept of a web page, and of an API's answer (real ones are a few KB). A body
// beyond its cap ends the fetch there with FetchError::TooLarge.
inline constexpr qint64 PageBodyCap = 32 * 1024 * 1024;
inline constexpr qint64 ApiBodyCap = 1024 * 1024;

struct FetchRequest;

class PageFetcher : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~PageFetcher() override = default;

    // Extra request headers ("API-Key", "..."). A fetch sends them only to the host it was asked
    // for, never after a redirect to another host.
    using RequestHeaders = QList<QPair<QByteArray, QByteArray>>;

    // Starts a GET of strURL with the headers of setRequestHeaders() and the web page's cap.
    void GetUrlSource(const QString& strURL);
    // Starts a request. pageFetched() follows exactly once, later on the event loop. A fetch
    // started while another is in flight cancels that one.
    virtual void fetch(const FetchRequest& request) = 0;
    // Cancels the fetch in flight at once, if any, dropping its connection; no pageFetched()
    // follows for it.
    virtual void abort() = 0;

    // The extra headers of GetUrlSource from now on; empty for none.
    void setRequestHeaders(const RequestHeaders& headers) { requestHeaders_ = headers; }
    const RequestHeaders& requestHeaders() const { return requestHeaders_; }

Q_SIGNALS:
    void pageFetched(const tally::FetchResult& result);

private:
    RequestHeaders requestHeaders_;
};

// One request: GET, or POST with a body. Its headers, body and any key in its address go only to
// the address's own server: a redirect to another host gets none of them (and a POST that would
// carry its body there is not followed).
struct FetchRequest {
    QString url;
    QByteArray method = "GET";           // "GET" or "POST"
    QByteArray body;                     // POST only
    QByteArray contentType;              // of the body ("application/json")
    PageFetcher::RequestHeaders headers; // sent only to the url's own server
    qint64 bodyCap = PageBodyCap;        // PageBodyCap for web pages, ApiBodyCap for API answers
};

inline void PageFetcher::GetUrlSource(const QString& strURL) {
    FetchRequest request;
    request.url = strURL;
    request.headers = requestHeaders_;
    fetch(request);
}

} // namespace tally

Q_DECLARE_METATYPE(tally::FetchResult)
