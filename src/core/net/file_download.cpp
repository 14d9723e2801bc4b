#include "core/net/file_download.h"

#include "core/files/safe_file.h"
#include "core/net/http_reply.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tally {

namespace {

constexpr int ReportIntervalMs = 200;
constexpr qsizetype ErrorBodyLimit = 2048;
constexpr qint64 ValidatorLimit = 1024;

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The error code of an S3-style error answer ("<Error><Code>SlowDown</Code>..."), if it has one.
QString errorCode(const QByteArray& body) {
    const qsizetype from = body.indexOf("<Code>"), to = body.indexOf("</Code>");
    if (from < 0 || to <= from + 6 || to - from > 70)
        return QString();
    return QString::fromLatin1(body.mid(from + 6, to - from - 6)).simplified();
}

// A connection that could not be made, dropped, or went silent: worth another try.
bool transient(CURLcode result) {
    switch (result) {
    case CURLE_COULDNT_CONNECT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_SSL_CONNECT_ERROR:
        return true;
    default:
        return false;
    }
}

qint64 fileSize(const QString& path) {
    return QFileInfo(path).size();
}

} // namespace

FileDownload::FileDownload(QObject* parent) : QObject(parent) {
    qRegisterMetaType<tally::DownloadProgress>();
    qRegisterMetaType<tally::FileDownload::Outcome>();
    transfer_.onHeader = [this](QByteArrayView) { return onHeader(); };
    transfer_.onBody = [this](QByteArrayView bytes) { return onBody(bytes); };
    transfer_.onDone = [this](CURLcode result) { onDone(result); };
    retryTimer_.setSingleShot(true);
    connect(&retryTimer_, &QTimer::timeout, this, &FileDownload::tick);
}

FileDownload::~FileDownload() {
    transfer_.cancel();
    closePart();
}

bool FileDownload::looksLikeGzip(QByteArrayView firstBytes) {
    return firstBytes.size() >= 2 && quint8(firstBytes[0]) == 0x1f && quint8(firstBytes[1]) == 0x8b;
}

QString FileDownload::sizeText(qint64 bytes) {
    if (bytes < 1024)
        return tr("%1 bytes").arg(bytes);
    const char* const units[] = {"KiB", "MiB", "GiB", "TiB"};
    double value = double(bytes);
    int unit = -1;
    while (value >= 1024 && unit < 3) {
        value /= 1024;
        ++unit;
    }
    return QStringLiteral("%1 %2").arg(value, 0, 'f', value < 10 ? 1 : 0).arg(units[unit]);
}

void FileDownload::start(const QUrl& url, const QString& target, const Options& options) {
    transfer_.cancel();
    retryTimer_.stop();
    url_ = url;
    target_ = target;
    options_ = options;
    cancelRequested_ = false;
    redirects_ = 0;
    retriedFresh_ = false;
    tries_ = 1;
    forbiddenTries_ = 0;
    running_ = true;
    clock_.start();
    if (!options.resume)
        dropPart();
    begin();
}

void FileDownload::begin() {
    total_ = -1;
    errorBody_.clear();
    failure_.clear();
    damaged_ = otherFile_ = false;
    checkedSpace_ = false;
    closePart();
    if (!openPart())
        return;
    const qint64 offset = offset_;
    const int stall = options_.stallSeconds;
    transfer_.onStart = [offset, stall](CURL* handle) {
        // The range as a header of its own: a server that answers the whole file instead is
        // then read (from the start), where libcurl's resume would give up.
        if (offset > 0)
            curl_easy_setopt(handle, CURLOPT_RANGE, (QByteArray::number(offset) + '-').constData());
        // The file's bytes as they are stored: never decoded, so that a range means the same.
        curl_easy_setopt(handle, CURLOPT_ACCEPT_ENCODING, static_cast<const char*>(nullptr));
        curl_easy_setopt(handle, CURLOPT_HTTP_CONTENT_DECODING, 0L);
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, 30L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, long(stall));
    };
    HttpTransfer::Request request{url_, "GET", {}, {}, {}};
    if (offset_ > 0 && !validator_.isEmpty())
        request.headers.append({"If-Range", validator_});
    lastReport_.invalidate();
    transfer_.start(request);
}

// The ".part" opened for appending; what an earlier run kept is checked again (the file's first
// bytes, and every byte where there is a check), and started again when it is not the beginning of
// a good file.
bool FileDownload::openPart() {
    const QString part = partFile(target_);
    fd_ =
        ::open(QFile::encodeName(part).constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
        finish(Outcome::Failed,
               tr("%1 cannot be written: %2").arg(native(part), systemReason(errno)));
        return false;
    }
    offset_ = qint64(st.st_size);
    head_.clear();
    if (options_.check)
        options_.check->restart();
    bool good = true;
    QByteArray buffer(int(std::min<qint64>(std::max<qint64>(offset_, 2), MiB)), Qt::Uninitialized);
    for (qint64 at = 0; good && at < offset_ && (at == 0 || options_.check);) {
        const ssize_t n =
            ::pread(fd_, buffer.data(), size_t(std::min<qint64>(buffer.size(), offset_ - at)), at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || cancelRequested_) {
            good = false;
            break;
        }
        if (at == 0)
            head_ = buffer.left(int(std::min<ssize_t>(n, 2)));
        if (options_.check && !options_.check->add(QByteArrayView(buffer.constData(), n)).isEmpty())
            good = false;
        at += n;
    }
    if (cancelRequested_) {
        finish(Outcome::Cancelled);
        return false;
    }
    if (options_.expectGzip && head_.size() == 2 && !looksLikeGzip(head_))
        good = false;
    if (offset_ > 0 && !good) { // not the file asked for, or damaged: start again
        if (::ftruncate(fd_, 0) != 0) {
            finish(Outcome::Failed,
                   tr("%1 cannot be written: %2").arg(native(part), systemReason(errno)));
            return false;
        }
        offset_ = 0;
        head_.clear();
        if (options_.check)
            options_.check->restart();
    }
    validator_.clear();
    if (offset_ == 0)
        QFile::remove(validatorFile(target_));
    else if (const FileContents v = readFileBounded(validatorFile(target_), ValidatorLimit);
             v.isRead())
        validator_ = v.bytes.trimmed();
    written_ = offset_;
    return true;
}

void FileDownload::closePart() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

void FileDownload::dropPart() {
    closePart();
    QFile::remove(partFile(target_));
    QFile::remove(validatorFile(target_));
}

bool FileDownload::fail(const QString& error, bool damaged) {
    failure_ = error;
    damaged_ = damaged;
    return false;
}

bool FileDownload::onHeader() {
    if (cancelRequested_)
        return false;
    const ReplyHead& head = transfer_.head();
    // The whole file's length: a 200's Content-Length, or the total of a Content-Range.
    total_ = head.rangeTotal >= 0 ? head.rangeTotal : head.status == 200 ? head.contentLength : -1;
    return !transfer_.headEnded() || (head.status != 200 && head.status != 206) || headersDone();
}

bool FileDownload::headersDone() {
    // The version of the file this reply is of: a strong ETag, else its date (RFC 9110, 13.1.5:
    // If-Range takes no weak validator).
    const QByteArray version =
        !transfer_.head().etag.isEmpty() && !transfer_.head().etag.startsWith("W/")
            ? transfer_.head().etag
            : transfer_.head().lastModified;
    if (transfer_.head().status == 206 && !validator_.isEmpty() && !version.isEmpty() &&
        version != validator_) {
        otherFile_ = true;
        return fail(
            tr("%1 changed on the server since its download began").arg(url_.toDisplayString()));
    }
    if (transfer_.head().status == 200 && offset_ > 0) { // the server sends the whole file again
        if (::ftruncate(fd_, 0) != 0)
            return fail(
                tr("%1 cannot be written: %2").arg(native(partFile(target_)), systemReason(errno)));
        offset_ = written_ = 0;
        head_.clear();
        if (options_.check)
            options_.check->restart();
    }
    if (transfer_.head().status == 206 && transfer_.head().rangeStart != offset_)
        return fail(tr("the server resumed %1 at byte %2 instead of %3")
                        .arg(url_.toDisplayString())
                        .arg(transfer_.head().rangeStart)
                        .arg(offset_));
    if (offset_ == 0 || validator_.isEmpty()) {
        validator_ = version;
        if (version.isEmpty())
            QFile::remove(validatorFile(target_));
        else
            writeFileAtomically(validatorFile(target_), version + '\n');
    }
    if (options_.maxBytes >= 0 && total_ > options_.maxBytes)
        return fail(tr("%1 is %2, more than the %3 such a file may be")
                        .arg(url_.toDisplayString(), sizeText(total_), sizeText(options_.maxBytes)),
                    true);
    const QString folder = QFileInfo(target_).absolutePath();
    const QStorageInfo disk(folder);
    const qint64 toCome = total_ >= 0 ? total_ - written_ : 0;
    if (disk.isValid() && disk.bytesAvailable() >= 0 &&
        disk.bytesAvailable() < toCome + options_.spareBytes)
        return fail(tr("not enough disk space in %1: %2 needed, %3 free")
                        .arg(native(folder), sizeText(toCome + options_.spareBytes),
                             sizeText(disk.bytesAvailable())));
    checkedSpace_ = true;
    return true;
}

bool FileDownload::onBody(QByteArrayView bytes) {
    if (cancelRequested_)
        return false;
    if (transfer_.head().status != 200 &&
        transfer_.head().status != 206) { // an error page or a redirect's body: not the file
        if (errorBody_.size() < ErrorBodyLimit)
            errorBody_ += bytes.first(std::min(bytes.size(), ErrorBodyLimit - errorBody_.size()));
        return true;
    }
    if (!checkedSpace_)
        return false;
    if (options_.expectGzip && head_.size() < 2) {
        head_ += bytes.first(std::min<qsizetype>(2 - head_.size(), bytes.size())).toByteArray();
        if (head_.size() == 2 && !looksLikeGzip(head_))
            return fail(tr("%1 is not a gzip file").arg(url_.toDisplayString()), true);
    }
    if (total_ >= 0 && written_ + bytes.size() > total_)
        return fail(tr("%1 sent more than the %2 bytes it announced")
                        .arg(url_.toDisplayString())
                        .arg(total_));
    if (options_.maxBytes >= 0 && written_ + bytes.size() > options_.maxBytes)
        return fail(tr("%1 sent more than the %2 such a file may be; the download was stopped")
                        .arg(url_.toDisplayString(), sizeText(options_.maxBytes)),
                    true);
    if (options_.check)
        if (const QString why = options_.check->add(bytes); !why.isEmpty())
            return fail(why, true);
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd_, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(tr("%1 cannot be written: %2")
                            .arg(native(partFile(target_)), systemReason(n < 0 ? errno : ENOSPC)));
        done += n;
    }
    written_ += bytes.size();
    report(false);
    return true;
}

void FileDownload::report(bool force) {
    if (!force && lastReport_.isValid() && lastReport_.elapsed() < ReportIntervalMs)
        return;
    lastReport_.start();
    DownloadProgress p;
    p.bytes = written_;
    p.total = total_;
    const double seconds = double(std::max<qint64>(clock_.elapsed(), 1)) / 1000.0;
    p.bytesPerSecond = double(written_ - offset_) / seconds;
    if (total_ >= 0 && p.bytesPerSecond > 0 && clock_.elapsed() >= 1000)
        p.secondsLeft = qint64(double(total_ - written_) / p.bytesPerSecond + 0.5);
    Q_EMIT progress(p);
}

QString FileDownload::keptText() const {
    const qint64 kept = fileSize(partFile(target_));
    return kept > 0 ? tr("%1 of it is kept for the next run").arg(sizeText(kept))
                    : tr("nothing of it was kept");
}

void FileDownload::onDone(CURLcode result) {
    closePart();
    const QString part = partFile(target_);
    if (cancelRequested_)
        return finish(Outcome::Cancelled);
    if (otherFile_ && !retriedFresh_) { // the file was replaced: it starts again from byte 0
        retriedFresh_ = true;
        dropPart();
        return begin();
    }
    if (!failure_.isEmpty()) {
        if (damaged_) {
            dropPart();
            return finish(Outcome::Failed,
                          tr("%1; it was removed and is downloaded again next time").arg(failure_));
        }
        return finish(Outcome::Failed, failure_);
    }
    const bool gotFile = transfer_.head().status == 200 || transfer_.head().status == 206;
    const QString shortBody = tr("short body: %1 of the %2 bytes %3 announced")
                                  .arg(written_)
                                  .arg(total_)
                                  .arg(url_.toDisplayString());
    if (result != CURLE_OK) {
        const QString why =
            result == CURLE_OPERATION_TIMEDOUT
                ? tr("no data for %1 s").arg(options_.stallSeconds)
                : transferFailure(result, transfer_, transfer_.head().status != 0).reason;
        const QString reason = gotFile && result == CURLE_PARTIAL_FILE && total_ >= 0
                                   ? shortBody
                                   : tr("download of %1 failed after %2: %3")
                                         .arg(url_.toDisplayString(), sizeText(written_), why);
        if (transient(result))
            return retryLater(reason, 0, false);
        return finish(Outcome::Failed, reason);
    }
    if (transfer_.head().redirects()) {
        const QUrl next = redirectTarget(url_, transfer_.head().location);
        if (++redirects_ > MaxRedirects || !mayRedirect(url_, next))
            return finish(
                Outcome::Failed,
                tr("%1 redirects too often or away from the web").arg(url_.toDisplayString()));
        url_ = next;
        return begin();
    }
    if (transfer_.head().status == 416 &&
        !retriedFresh_) { // the ".part" is not a start of this file
        retriedFresh_ = true;
        dropPart();
        return begin();
    }
    if (!gotFile) {
        const QString code = errorCode(errorBody_);
        const QString reason =
            code.isEmpty()
                ? tr("%1 answered HTTP %2").arg(url_.toDisplayString()).arg(transfer_.head().status)
                : tr("%1 answered HTTP %2 (%3)")
                      .arg(url_.toDisplayString())
                      .arg(transfer_.head().status)
                      .arg(code);
        if (transfer_.head().status == 429 || transfer_.head().status == 500 ||
            transfer_.head().status == 502 || transfer_.head().status == 503 ||
            transfer_.head().status == 504 || transfer_.head().status == 403) {
            const std::optional<qint64> asked =
                retryAfterMs(transfer_.head().retryAfter, QDateTime::currentDateTimeUtc());
            return retryLater(reason, asked.value_or(0), transfer_.head().status == 403);
        }
        return finish(Outcome::Failed, reason);
    }
    if (total_ >= 0 && written_ != total_)
        return retryLater(shortBody, 0, false);
    if (options_.check)
        if (const QString why = options_.check->end(); !why.isEmpty()) {
            dropPart();
            return finish(Outcome::Failed,
                          tr("%1; it was removed and is downloaded again next time").arg(why));
        }
    if (options_.expectGzip && !looksLikeGzip(head_)) {
        dropPart();
        return finish(Outcome::Failed, tr("%1 is not a gzip file").arg(url_.toDisplayString()));
    }
    // The whole file: it takes the target's place in one rename.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target_).constData()) !=
        0)
        return finish(Outcome::Failed,
                      tr("%1 cannot be renamed to %2: %3")
                          .arg(native(part), native(target_), systemReason(errno)));
    QFile::remove(validatorFile(target_));
    report(true);
    finish(Outcome::Done);
}

void FileDownload::retryLater(const QString& reason, qint64 waitMs, bool forbidden) {
    if (forbidden)
        ++forbiddenTries_;
    if (tries_ >= options_.maxTries || (forbidden && forbiddenTries_ >= options_.forbiddenTries))
        return finish(
            Outcome::Failed,
            tr("%1 (given up after %n tries; %2)", nullptr, tries_).arg(reason, keptText()));
    const qint64 backoff =
        std::min<qint64>(qint64(options_.firstRetryMs) << std::min(tries_ - 1, 20), MaxBackoffMs);
    const qint64 wait = waitMs > 0 ? std::min(waitMs, MaxRetryAfterMs) : backoff;
    ++tries_;
    waiting_ = DownloadProgress();
    waiting_.bytes = written_;
    waiting_.total = total_;
    waiting_.retryTry = tries_;
    waiting_.retryTries = options_.maxTries;
    waiting_.retryReason = reason;
    retryAtMs_ = clock_.elapsed() + wait;
    tick();
}

// Counts the wait for a retry down, a second at a time, then makes the try.
void FileDownload::tick() {
    if (!running_)
        return;
    const qint64 left = retryAtMs_ - clock_.elapsed();
    if (left <= 0)
        return begin();
    waiting_.retryInSeconds = int((left + 999) / 1000);
    Q_EMIT progress(waiting_);
    retryTimer_.start(int(left % 1000 == 0 ? 1000 : left % 1000));
}

void FileDownload::finish(Outcome outcome, const QString& error) {
    if (!running_)
        return;
    running_ = false;
    retryTimer_.stop();
    closePart();
    if (outcome != Outcome::Done && fileSize(partFile(target_)) == 0)
        dropPart(); // nothing came: nothing to resume
    Q_EMIT finished(outcome, error);
}

void FileDownload::cancel() {
    cancelRequested_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!running_)
                return;
            transfer_.cancel();
            finish(Outcome::Cancelled);
        },
        Qt::QueuedConnection);
}

} // namespace tally
