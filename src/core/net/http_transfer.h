// One HTTP exchange over libcurl: the program's one HTTP client. The transfers of a thread share
// one libcurl multi handle (connections kept alive and reused per host, HTTP/2 streams multiplexed
// where the server offers it), driven by socket notifiers and a timer on the thread's event loop:
// nothing blocks, no thread is started.
//
// Every transfer follows the program's rules: http and https only; no redirect followed by
// libcurl (the caller decides what goes to the next host); the User-Agent; every content encoding
// the linked libcurl decodes; certificates verified; the proxy proxyFromEnvironment() names, never
// libcurl's own reading of the environment. A use with more needs (a download to a file: Range,
// progress, the announced length) sets them in onStart and takes the bytes from onBody.
#pragma once

#include "core/net/http_reply.h"

#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <QUrl>

#include <curl/curl.h>

#include <functional>
#include <memory>

namespace tally {

class CurlMulti;

class HttpTransfer {
public:
    static constexpr const char* UserAgent = "Mozilla";
    static constexpr long ReceiveBufferSize = 64 * 1024; // bytes read from a connection at once

    struct Request {
        QUrl url;
        QByteArray method = "GET", body, contentType; // a body for "POST" only
        QList<QPair<QByteArray, QByteArray>> headers; // any with a line break is left out
    };

    // Called within libcurl's work (where the transfer may be read, but not started, cancelled
    // or deleted); false stops the transfer. onHeader gets each status and header line as it
    // arrives, interim replies' too, once head() has read it; onBody the body's bytes, decoded.
    std::function<bool(QByteArrayView)> onHeader, onBody;
    // Once per start(), from the event loop, the transfer out of libcurl; never after cancel().
    std::function<void(CURLcode)> onDone;
    // Called by start() with the common options set: what one use adds (CURLOPT_RANGE...).
    std::function<void(CURL*)> onStart;

    HttpTransfer();
    ~HttpTransfer();
    HttpTransfer(const HttpTransfer&) = delete;
    HttpTransfer& operator=(const HttpTransfer&) = delete;
    // Starts the request, cancelling the one in flight.
    void start(const Request& request);
    // Ends the transfer at once; a reply not read to its end takes its connection with it.
    void cancel();
    bool isActive() const { return active_; }
    // The reply's status line and headers as read so far (the final reply's, once headEnded());
    // a chunked body's trailers are not read into it.
    const ReplyHead& head() const { return head_; }
    bool headEnded() const { return headEnded_; }
    void setCaFile(const QString& pemFile) { caFile_ = pemFile.toLocal8Bit(); }
    CURL* handle() const { return easy_; }
    QString proxy() const { return proxy_; } // "host:port" of the current request; empty: direct
    QString errorText() const { return QString::fromUtf8(error_); } // libcurl's, for the last end

private:
    friend class CurlMulti;
    std::shared_ptr<CurlMulti> multi_;
    CURL* easy_;
    curl_slist* headers_ = nullptr;
    QByteArray body_, caFile_;
    QString proxy_;
    char error_[CURL_ERROR_SIZE] = {};
    bool active_ = false;
    ReplyHead head_;
    bool headEnded_ = false;
};

} // namespace tally
