// GetUrlSource and fetch() over the program's HTTP client (HttpTransfer): GET or POST, agent
// "Mozilla", compressed bodies decoded, the body whatever the status, every byte kept. Redirects
// are followed here, http to https too but never back, and a request's headers, body and address
// never go to another host. It runs on its thread's event loop and never blocks it.
//
// Every reply is read within limits, and one that breaks a limit ends with its connection dropped,
// so that a hostile server fails alone: at most HeaderLimit bytes of status lines and headers
// (interim replies' too), complete within the header time limit; no byte for the transfer
// time-out, or the whole request beyond the request limit, ends it; reading stops at the body cap,
// counted on the decoded bytes; a Transfer-Encoding other than "chunked", conflicting lengths and
// broken framing end it. A proxy that cannot be reached is named as the proxy, a certificate that
// fails verification by its problem.
#pragma once

#include "core/net/http_transfer.h"
#include "core/net/page_fetcher.h"
#include "core/net/proxy_environment.h"

#include <QElapsedTimer>

class QTimer;

namespace tally {

class NetworkPageFetcher : public PageFetcher {
    Q_OBJECT
public:
    static constexpr int DefaultTransferTimeoutMs = 30 * 1000;  // no byte for this long ends it
    static constexpr int DefaultHeaderTimeLimitMs = 30 * 1000;  // the headers complete within
    static constexpr int DefaultRequestLimitMs = 2 * 60 * 1000; // the whole request within
    static constexpr qint64 DefaultBodyCap = PageBodyCap; // body kept at most, whatever the request
    static constexpr qint64 HeaderLimit = 64 * 1024;      // status lines and headers of a reply
    static constexpr qint64 ReadBufferSize = HttpTransfer::ReceiveBufferSize;
    static constexpr int MaxRedirects = tally::MaxRedirects; // one more ends the request
    static constexpr const char* UserAgent = HttpTransfer::UserAgent;

    explicit NetworkPageFetcher(QObject* parent = nullptr);
    ~NetworkPageFetcher() override;

    void fetch(const FetchRequest& request) override;
    void abort() override;
    bool isBusy() const { return busy_ || answerPending_; }

    // The limits above (tests shorten them), from the next request on.
    void setTransferTimeout(int ms) { transferTimeoutMs_ = ms; }
    int transferTimeout() const { return transferTimeoutMs_; }
    void setHeaderTimeLimit(int ms) { headerTimeLimitMs_ = ms; }
    int headerTimeLimit() const { return headerTimeLimitMs_; }
    void setRequestLimit(int ms) { requestLimitMs_ = ms; }
    int requestLimit() const { return requestLimitMs_; }
    void setBodyCap(qint64 bytes) { bodyCap_ = bytes; }
    qint64 bodyCap() const { return bodyCap_; }
    // Trusts the authorities of this PEM file instead of the system's.
    void setCaFile(const QString& path) { transfer_.setCaFile(path); }
    // The most bytes of the current (or last) reply held at once: headers as they passed, body.
    qint64 peakBufferedBytes() const { return peak_; }

private:
    void startHop(const QUrl& url);
    bool header(QByteArrayView line);
    bool keepBody(QByteArrayView bytes);
    bool stop(FetchError error, const QString& reason);
    void hopDone(CURLcode result);
    void checkTime();
    void finish(FetchError error, const QString& errorText = QString());

    HttpTransfer transfer_;
    QTimer* timer_; // the nearest of the three limits
    QElapsedTimer clock_;
    qint64 requestEnd_ = 0, headersEnd_ = 0, lastByte_ = 0; // on clock_
    quint64 serial_ = 0; // the current request; answers of older ones check it
    bool busy_ = false, answerPending_ = false;

    FetchRequest request_;
    QUrl requested_, url_; // as asked for, and after redirects
    int redirects_ = 0;
    qint64 cap_ = 0;

    // The reply being read; stopError_ is why a callback stopped it.
    FetchResult reply_;
    qint64 headBytes_ = 0, bodyBytes_ = 0, peak_ = 0;
    bool headersDone_ = false, redirect_ = false;
    FetchError stopError_ = FetchError::None;
    QString stopReason_;

    int transferTimeoutMs_ = DefaultTransferTimeoutMs;
    int headerTimeLimitMs_ = DefaultHeaderTimeLimitMs;
    int requestLimitMs_ = DefaultRequestLimitMs;
    qint64 bodyCap_ = DefaultBodyCap;
};

} // namespace tally
