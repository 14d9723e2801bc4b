// GetUrlSource over the program's own HTTP/1.1 client on Qt's sockets: GET with the agent
// "Mozilla", redirects followed (http to https too, never back), the body whatever the status
// code, every byte kept. It runs on the event loop of its thread and never blocks it.
//
// Every reply is read within limits, and a reply that breaks one ends with the connection itself
// dropped, so that one hostile server fails alone:
//   - the status lines and headers (interim "100 Continue" replies included) hold at most
//     HeaderLimit bytes, and must be complete within the header time limit;
//   - no byte for the transfer time-out, or the whole request beyond the request limit, ends it;
//   - at most ReadBufferSize bytes wait in the socket, and reading stops at the body cap.
// A connection is kept alive for the next request to the same host.
//
// Proxies come from the environment as command-line tools read them: http_proxy for http
// addresses, https_proxy (or HTTPS_PROXY) for https, no_proxy (or NO_PROXY) for the hosts that
// are reached directly. Without them every connection is direct.
#pragma once

#include "core/scan/page_fetcher.h"

#include <QByteArray>
#include <QNetworkProxy>
#include <QUrl>

class QTcpSocket;
class QTimer;

namespace tally {

// The proxy for an address according to the environment (see above); NoProxy when none applies.
QNetworkProxy proxyFromEnvironment(const QUrl& url);

class NetworkPageFetcher : public PageFetcher {
    Q_OBJECT
public:
    // No byte for this long ends the transfer (a platform's usual receive time-out).
    static constexpr int DefaultTransferTimeoutMs = 30 * 1000;
    // The reply's headers must be complete this long after the request started.
    static constexpr int DefaultHeaderTimeLimitMs = 30 * 1000;
    // One request never takes longer than this, however slowly the bytes drip in.
    static constexpr int DefaultRequestLimitMs = 2 * 60 * 1000;
    // Bytes of body kept at most; a longer body ends the transfer there.
    static constexpr qint64 DefaultBodyCap = 32 * 1024 * 1024;
    // Bytes of status lines and headers of one reply at most.
    static constexpr qint64 HeaderLimit = 64 * 1024;
    // Bytes the socket may hold unread.
    static constexpr qint64 ReadBufferSize = 64 * 1024;
    // Redirects followed at most for one request; one more ends it.
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
    void setHeaderTimeLimit(int ms) { headerTimeLimitMs_ = ms; }
    int headerTimeLimit() const { return headerTimeLimitMs_; }
    void setRequestLimit(int ms) { requestLimitMs_ = ms; }
    int requestLimit() const { return requestLimitMs_; }
    void setBodyCap(qint64 bytes) { bodyCap_ = bytes; }
    qint64 bodyCap() const { return bodyCap_; }

    // The most bytes of the current (or last) request held at once: unread in the socket, in the
    // header buffer and in the body.
    qint64 peakBufferedBytes() const { return peakBuffered_; }

private:
    enum class Phase { Idle, Connecting, StatusLine, Headers, Body, Trailers };
    enum class Framing { None, Length, Chunked, UntilClose };
    enum class ChunkPart { SizeLine, Data, DataEnd };
    // Where reading a piece of the reply left it.
    enum class Step { More, Complete, Ended };

    void startRequest(const QUrl& url, bool allowReuse);
    void openConnection(const QString& key);
    void sendRequest();
    void readReply();
    Step consume(const char* data, qint64 size);
    Step consumeLines(const char*& data, qint64& size);
    Step consumeBody(const char*& data, qint64& size);
    Step headLine(const QByteArray& line);
    Step headersComplete();
    bool keepBody(const char* data, qint64 size);
    void replyComplete();
    void connectionClosed();
    void socketError();
    void finish(FetchError error, const QString& errorText = QString());
    void emitLater(FetchResult result);
    void resetReply();
    void dropSocket();
    void noteBuffered();

    QTcpSocket* socket_ = nullptr;
    QString socketKey_; // where the socket leads (scheme, host, port, proxy)
    bool socketReusable_ = false;
    QTimer* idle_;
    QTimer* headerLimit_;
    QTimer* limit_;

    // The request in flight.
    quint64 serial_ = 0;          // the current request; answers of older ones check it
    QString requested_;           // the address as given
    QString requestedHost_;       // its host, lower case: where the extra headers may go
    int requestedPort_ = 0;       // its port
    RequestHeaders extraHeaders_; // the extra headers of this request
    QUrl url_;                    // the address now asked for (after redirects)
    int redirects_ = 0;
    QNetworkProxy proxy_;       // the proxy of this request, from the environment
    bool absoluteForm_ = false; // the request line names the whole address (an http proxy)
    bool reusedConnection_ = false;
    bool retriedFresh_ = false;
    bool answerPending_ = false;
    Phase phase_ = Phase::Idle;

    // The reply being read.
    QByteArray line_;      // a status, header, chunk-size or trailer line being gathered
    qint64 headBytes_ = 0; // bytes of status lines and headers so far
    bool anyReplyByte_ = false;
    int status_ = 0;
    QString statusText_;
    bool http10_ = false;
    QByteArray location_;
    QByteArray retryAfter_;
    bool chunked_ = false;
    bool closeAfterReply_ = false;
    bool keepAliveHeader_ = false;
    qint64 contentLength_ = -1;
    Framing framing_ = Framing::None;
    qint64 remaining_ = 0; // of the body or the current chunk
    ChunkPart chunkPart_ = ChunkPart::SizeLine;
    bool discardBody_ = false;
    qint64 bodyBytes_ = 0;
    QByteArray body_;
    qint64 peakBuffered_ = 0;

    int transferTimeoutMs_ = DefaultTransferTimeoutMs;
    int headerTimeLimitMs_ = DefaultHeaderTimeLimitMs;
    int requestLimitMs_ = DefaultRequestLimitMs;
    qint64 bodyCap_ = DefaultBodyCap;
};

} // namespace tally
