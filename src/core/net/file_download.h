// One file downloaded to the disk over HttpTransfer (the proxy, certificate and event-loop rules of
// every request), for files of gigabytes: the bytes go into "<target>.part" beside the target,
// which takes the target's name only when the whole file has come.
//
// - A ".part" left by an interrupted or failed run is resumed with an HTTP Range request from its
//   size. A server that answers the whole file instead (200) starts the file again; one that
//   finds the range past the end (416) gets one fresh try.
// - The length the server announces (Content-Length, or the total of Content-Range) is checked:
//   a reply that ends short fails ("short body"), keeping the ".part" for the next try.
// - With expectGzip, the file's first two bytes must be gzip's magic number: anything else (an
//   error page served as 200, a wrong address) fails at once with "not a gzip file" and leaves
//   nothing behind.
// - Before the bytes are written, the free space of the target's file system must hold the bytes
//   still to come plus spareBytes (what the caller will need afterwards).
// - Redirects are followed (up to 5, http and https only): downloads carry no keys or headers of
//   their own.
// - progress() at most every 200 ms; cancel() may be called from any thread and ends the transfer
//   at once, keeping the ".part" to resume later.
//
// It runs on the thread it was made in: the window's worker thread (its own event loop drives its
// own libcurl multi handle there) or the command line's main thread.
#pragma once

#include "core/net/http_transfer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QUrl>

#include <atomic>

namespace tally {

struct DownloadProgress {
    qint64 bytes = 0;          // of the file so far, resumed bytes included
    qint64 total = -1;         // the announced length; -1 while unknown
    double bytesPerSecond = 0; // of this run, since its first byte
    qint64 secondsLeft = -1;   // at that rate; -1 while unknown
};

class FileDownload : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Done, Failed, Cancelled };

    struct Options {
        bool expectGzip = false;
        bool resume = true;    // false: a ".part" there is thrown away first
        qint64 spareBytes = 0; // free space needed beyond the file itself
        int stallSeconds = 60; // no byte for this long fails the download
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
    // The first bytes of a gzip file (RFC 1952: ID1 31, ID2 139).
    static bool looksLikeGzip(QByteArrayView firstBytes);
    static QString sizeText(qint64 bytes); // "1.4 GiB"

Q_SIGNALS:
    void progress(const tally::DownloadProgress& progress);
    // Once per start(); error says why for Failed (empty otherwise).
    void finished(tally::FileDownload::Outcome outcome, const QString& error);

private:
    void begin();
    bool onHeader(QByteArrayView line);
    bool onBody(QByteArrayView bytes);
    void onDone(CURLcode result);
    void finish(Outcome outcome, const QString& error = {});
    bool fail(const QString& error);
    void report(bool force);

    HttpTransfer transfer_;
    QUrl url_;
    QString target_;
    Options options_;
    QFile file_;
    QElapsedTimer clock_, lastReport_;
    std::atomic<bool> cancelRequested_{false};
    bool running_ = false;
    QString failure_; // set by a callback that stopped the transfer
    int redirects_ = 0;
    bool retriedFresh_ = false;
    // Of the reply being read.
    int status_ = 0;
    qint64 offset_ = 0;      // where the ".part" stood when the request went out
    qint64 written_ = 0;     // bytes of the file on the disk
    qint64 total_ = -1;      // the whole file's announced length
    qint64 rangeStart_ = -1; // the first byte of a 206 reply
    QByteArray location_;
    QByteArray head_; // the first bytes, for the gzip check
    bool checkedSpace_ = false;
};

} // namespace tally

Q_DECLARE_METATYPE(tally::DownloadProgress)
