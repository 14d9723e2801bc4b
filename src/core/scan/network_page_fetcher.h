// GetUrlSource over QNetworkAccessManager: GET with the agent "Mozilla", no proxy, redirects
// followed (http to https too, never back; followed here rather than inside the manager, which
// sometimes sends a redirected request twice), the body whatever the status code, every byte one
// character. Nothing is ever shown: a request that cannot be made gives the empty text, a transfer
// that breaks, stalls or runs too long gives what had arrived.
#pragma once

#include "core/scan/page_fetcher.h"

#include <QByteArray>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;
class QUrl;

namespace tally {

class NetworkPageFetcher : public PageFetcher {
    Q_OBJECT
public:
    // No byte for this long ends the transfer (a platform's usual receive time-out).
    static constexpr int DefaultTransferTimeoutMs = 30 * 1000;
    // One request never takes longer than this, however slowly the bytes drip in.
    static constexpr int DefaultRequestLimitMs = 2 * 60 * 1000;
    // Bytes of body kept at most; a longer body ends the transfer there.
    static constexpr qint64 DefaultBodyCap = 32 * 1024 * 1024;
    // Redirects followed at most for one request; one more gives the empty text.
    static constexpr int MaxRedirects = 20;
    static constexpr const char* UserAgent = "Mozilla";

    explicit NetworkPageFetcher(QObject* parent = nullptr);
    ~NetworkPageFetcher() override;

    void GetUrlSource(const QString& strURL) override;
    void abort() override;
    bool isBusy() const;

    // The limits above (tests shorten them); they apply from the next request on.
    void setTransferTimeout(int ms) { transferTimeoutMs_ = ms; }
    int transferTimeout() const { return transferTimeoutMs_; }
    void setRequestLimit(int ms) { requestLimitMs_ = ms; }
    int requestLimit() const { return requestLimitMs_; }
    void setBodyCap(qint64 bytes) { bodyCap_ = bytes; }
    qint64 bodyCap() const { return bodyCap_; }

private:
    void startRequest(const QUrl& url);
    void readBody();
    void replyFinished();
    void finish();
    void release();
    void dropReply();

    QNetworkAccessManager* manager_;
    QNetworkReply* reply_ = nullptr;
    QTimer* idle_;
    QTimer* limit_;
    QByteArray body_;
    int redirects_ = 0;
    quint64 serial_ = 0; // the current request; a pending empty answer checks it
    int transferTimeoutMs_ = DefaultTransferTimeoutMs;
    int requestLimitMs_ = DefaultRequestLimitMs;
    qint64 bodyCap_ = DefaultBodyCap;
};

} // namespace tally
