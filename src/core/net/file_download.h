// One file downloaded to the disk over HttpTransfer (the proxy, certificate and event-loop rules of
// every request), for files of gigabytes: the bytes go into "<target>.part" beside the target,
// which takes the target's name only when the whole file has come and checked out.
//
// - A ".part" left by an interrupted or failed run is resumed with an HTTP Range request from its
//   size, with If-Range naming the version of the file it began with (its strong ETag, else its
//   Last-Modified, kept beside it in "<target>.part.validator"): a server whose file changed
//   meanwhile answers the whole new file (200), which starts the file again; a range of another
//   version (a server that ignores If-Range) starts it again too. One that finds the range past
//   the end (416) gets one fresh try.
// - Bounds: the length the server announces (Content-Length, or the total of Content-Range) must
//   come whole, and no more; with maxBytes, no file (announced or not) may grow past it.
// - With expectGzip, the file's first two bytes must be gzip's magic number: anything else (an
//   error page served as 200, a wrong address) fails at once with "not a gzip file" and leaves
//   nothing behind. A DownloadCheck reads every byte as it comes (a resumed part's stored bytes
//   first): a file that it finds damaged is removed, so that it is fetched again.
// - Before the bytes are written, the free space of the target's file system must hold the bytes
//   still to come plus spareBytes (what the caller will need afterwards); a write that finds the
//   disk full says so.
// - Transient failures are tried again, the part kept and resumed: 429, 500, 502, 503, 504, a 403
//   (what the publisher's CDN answers when it throttles; at most forbiddenTries, as it is also the
//   answer for a file that is not there) and connections that drop, stall or cannot be made. The
//   wait grows from firstRetryMs, doubling to at most a minute, or is what Retry-After asks (at
//   most MaxRetryAfterMs); progress() tells it ("retrying in 8 s, try 3 of 20"). After maxTries
//   tries in all the download fails, naming the last reason.
// - Redirects are followed (up to 5, http and https only; never from https to http): downloads
//   carry no keys or headers of their own.
// - progress() at most every 200 ms; cancel() may be called from any thread and ends the transfer
//   (or the wait for a retry) at once, keeping the ".part" to resume later.
//
// It runs on the thread it was made in: the window's worker thread (its own event loop drives its
// own libcurl multi handle there) or the command line's main thread.
#pragma once

#include "core/net/http_reply.h"
#include "core/net/http_transfer.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <atomic>
#include <memory>

namespace tally {

struct DownloadProgress {
    qint64 bytes = 0;          // of the file so far, resumed bytes included
    qint64 total = -1;         // the announced length; -1 while unknown
    double bytesPerSecond = 0; // of this run, since its first byte
    qint64 secondsLeft = -1;   // at that rate; -1 while unknown
    // While a failed try waits to be made again: the seconds until then, the try it will be and
    // the most there may be, and why the last one failed.
    int retryInSeconds = 0;
    int retryTry = 0;
    int retryTries = 0;
    QString retryReason;
};

// What a download's bytes must be, read as they come. add() gets every byte of the file in
// order, from byte 0; restart() says that the file starts again. A reason in words for a file
// that is damaged (or, from end(), incomplete); empty while all is well.
class DownloadCheck {
public:
    virtual ~DownloadCheck() = default;
    virtual void restart() = 0;
    virtual QString add(QByteArrayView bytes) = 0;
    virtual QString end() = 0;
};

class FileDownload : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Done, Failed, Cancelled };

    static constexpr qint64 MaxRetryAfterMs = 5 * 60 * 1000;
    static constexpr qint64 MaxBackoffMs = 60 * 1000;

    struct Options {
        bool expectGzip = false;
        bool resume = true;    // false: a ".part" there is thrown away first
        qint64 spareBytes = 0; // free space needed beyond the file itself
        int stallSeconds = 60; // no byte for this long fails the try
        qint64 maxBytes = -1;  // the most the file may hold; -1: no bound
        int maxTries = 20;
        int forbiddenTries = 5;
        int firstRetryMs = 1000;
        std::shared_ptr<DownloadCheck> check;
    };

    explicit FileDownload(QObject* parent = nullptr);
    ~FileDownload() override;

    // Downloads url into target. A target already there is replaced at the end.
    void start(const QUrl& url, const QString& target, const Options& options);
    void start(const QUrl& url, const QString& target) { start(url, target, Options()); }
    // From any thread: ends the transfer at once; finished(Cancelled) follows on the download's
    // thread.
    void cancel();
    bool isRunning() const { return running_; }

    static QString partFile(const QString& target) { return target + QStringLiteral(".part"); }
    static QString validatorFile(const QString& target) {
        return partFile(target) + QStringLiteral(".validator");
    }
    // The first bytes of a gzip file (RFC 1952: ID1 31, ID2 139).
    static bool looksLikeGzip(QByteArrayView firstBytes);
    static QString sizeText(qint64 bytes); // "1.4 GiB"

Q_SIGNALS:
    void progress(const tally::DownloadProgress& progress);
    // Once per start(); error says why for Failed (empty otherwise).
    void finished(tally::FileDownload::Outcome outcome, const QString& error);

private:
    void begin();
    bool openPart();
    bool onHeader();
    bool headersDone();
    bool onBody(QByteArrayView bytes);
    void onDone(CURLcode result);
    void retryLater(const QString& reason, qint64 waitMs, bool forbidden);
    void tick();
    void finish(Outcome outcome, const QString& error = {});
    bool fail(const QString& error, bool damaged = false);
    void dropPart();
    void closePart();
    void report(bool force);
    QString keptText() const;

    HttpTransfer transfer_;
    QUrl url_;
    QString target_;
    Options options_;
    int fd_ = -1;
    QElapsedTimer clock_, lastReport_;
    std::atomic<bool> cancelRequested_{false};
    bool running_ = false;
    QString failure_;        // set by a callback that stopped the transfer
    bool damaged_ = false;   // ... because the file is not what it must be: not kept
    bool otherFile_ = false; // ... because a range of another version of the file came
    int redirects_ = 0;
    bool retriedFresh_ = false;
    int tries_ = 1, forbiddenTries_ = 0;
    QTimer retryTimer_;
    qint64 retryAtMs_ = 0;
    DownloadProgress waiting_;
    QByteArray validator_; // the version the ".part" began with (If-Range)
    // Of the reply being read.
    qint64 offset_ = 0;  // where the ".part" stood when the request went out
    qint64 written_ = 0; // bytes of the file on the disk
    qint64 total_ = -1;  // the whole file's announced length
    QByteArray errorBody_;
    QByteArray head_; // the first bytes, for the gzip check
    bool checkedSpace_ = false;
};

} // namespace tally

Q_DECLARE_METATYPE(tally::DownloadProgress)
