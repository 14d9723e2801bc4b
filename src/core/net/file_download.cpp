#include "core/net/file_download.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

#include <cstdio>

namespace tally {

namespace {

constexpr int MaxRedirects = 5;
constexpr int ReportIntervalMs = 200;

bool headerIs(QByteArrayView line, QByteArrayView name, QByteArray* value) {
    if (line.size() <= name.size() || line[name.size()] != ':' ||
        QByteArrayView(line.first(name.size())).compare(name, Qt::CaseInsensitive) != 0)
        return false;
    *value = line.sliced(name.size() + 1).toByteArray().trimmed();
    return true;
}

qint64 number(QByteArrayView text) {
    bool ok = false;
    const qint64 n = text.toByteArray().toLongLong(&ok);
    return ok && n >= 0 ? n : -1;
}

} // namespace

FileDownload::FileDownload(QObject* parent) : QObject(parent) {
    qRegisterMetaType<tally::DownloadProgress>();
    qRegisterMetaType<tally::FileDownload::Outcome>();
    transfer_.onHeader = [this](QByteArrayView line) { return onHeader(line); };
    transfer_.onBody = [this](QByteArrayView bytes) { return onBody(bytes); };
    transfer_.onDone = [this](CURLcode result) { onDone(result); };
}

FileDownload::~FileDownload() {
    transfer_.cancel();
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
    url_ = url;
    target_ = target;
    options_ = options;
    cancelRequested_ = false;
    redirects_ = 0;
    retriedFresh_ = false;
    running_ = true;
    clock_.start();
    if (!options.resume)
        QFile::remove(partFile(target));
    begin();
}

void FileDownload::begin() {
    status_ = 0;
    total_ = -1;
    rangeStart_ = -1;
    location_.clear();
    failure_.clear();
    checkedSpace_ = false;
    file_.close();
    file_.setFileName(partFile(target_));
    head_.clear();
    if (file_.open(QIODevice::ReadOnly)) {
        head_ = file_.read(2);
        file_.close();
        if (options_.expectGzip && !head_.isEmpty() && !looksLikeGzip(head_) && head_.size() == 2) {
            QFile::remove(file_.fileName()); // not the file asked for: start again
            head_.clear();
        }
    }
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        finish(Outcome::Failed,
               tr("%1 cannot be written: %2")
                   .arg(QDir::toNativeSeparators(file_.fileName()), file_.errorString()));
        return;
    }
    offset_ = written_ = file_.size();
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
    lastReport_.invalidate();
    transfer_.start({url_, "GET", {}, {}, {}});
}

bool FileDownload::fail(const QString& error) {
    failure_ = error;
    return false;
}

bool FileDownload::onHeader(QByteArrayView line) {
    if (cancelRequested_)
        return false;
    QByteArray value;
    if (line.startsWith("HTTP/")) { // a new reply (an interim one, or the final one)
        const QList<QByteArray> words = line.toByteArray().simplified().split(' ');
        status_ = int(number(words.value(1)));
        total_ = rangeStart_ = -1;
        location_.clear();
    } else if (headerIs(line, "Content-Length", &value)) {
        if (status_ == 200)
            total_ = number(value);
    } else if (headerIs(line, "Content-Range", &value)) {
        // "bytes 100-199/200" (RFC 9110, 14.4); the total may be "*", and a range that cannot
        // be served reads "bytes */200".
        if (value.startsWith("bytes ")) {
            const QByteArrayView range = QByteArrayView(value).sliced(6);
            const qsizetype dash = range.indexOf('-'), slash = range.indexOf('/');
            rangeStart_ = dash > 0 ? number(range.first(dash)) : -1;
            if (slash >= 0)
                total_ = number(range.sliced(slash + 1));
        }
    } else if (headerIs(line, "Location", &value)) {
        location_ = value;
    } else if (line.trimmed().isEmpty() && (status_ == 200 || status_ == 206)) {
        if (status_ == 200 && offset_ > 0) { // the server sends the whole file again
            file_.resize(0);
            offset_ = written_ = 0;
            head_.clear();
        }
        if (status_ == 206 && rangeStart_ != offset_)
            return fail(tr("the server resumed %1 at byte %2 instead of %3")
                            .arg(url_.toDisplayString())
                            .arg(rangeStart_)
                            .arg(offset_));
        const QStorageInfo disk(QFileInfo(target_).absolutePath());
        const qint64 toCome = total_ >= 0 ? total_ - written_ : 0;
        if (disk.isValid() && disk.bytesAvailable() >= 0 &&
            disk.bytesAvailable() < toCome + options_.spareBytes)
            return fail(tr("not enough disk space in %1: %2 needed, %3 free")
                            .arg(QDir::toNativeSeparators(QFileInfo(target_).absolutePath()),
                                 sizeText(toCome + options_.spareBytes),
                                 sizeText(disk.bytesAvailable())));
        checkedSpace_ = true;
    }
    return true;
}

bool FileDownload::onBody(QByteArrayView bytes) {
    if (cancelRequested_)
        return false;
    if (status_ != 200 && status_ != 206)
        return true; // an error page or a redirect's body: not the file
    if (!checkedSpace_)
        return false;
    if (options_.expectGzip && head_.size() < 2) {
        head_ += bytes.first(std::min<qsizetype>(2 - head_.size(), bytes.size())).toByteArray();
        if (head_.size() == 2 && !looksLikeGzip(head_))
            return fail(tr("%1 is not a gzip file").arg(url_.toDisplayString()));
    }
    if (total_ >= 0 && written_ + bytes.size() > total_)
        return fail(tr("%1 sent more than the %2 bytes it announced")
                        .arg(url_.toDisplayString())
                        .arg(total_));
    if (file_.write(bytes.data(), bytes.size()) != bytes.size())
        return fail(tr("%1 cannot be written: %2")
                        .arg(QDir::toNativeSeparators(file_.fileName()), file_.errorString()));
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

void FileDownload::onDone(CURLcode result) {
    const bool flushed = file_.flush();
    const QString writeError = file_.errorString();
    file_.close();
    const QString part = partFile(target_);
    if (cancelRequested_)
        return finish(Outcome::Cancelled);
    if (!failure_.isEmpty()) {
        if (options_.expectGzip && head_.size() == 2 && !looksLikeGzip(head_))
            QFile::remove(part);
        return finish(Outcome::Failed, failure_);
    }
    if (!flushed)
        return finish(
            Outcome::Failed,
            tr("%1 cannot be written: %2").arg(QDir::toNativeSeparators(part), writeError));
    const bool gotFile = status_ == 200 || status_ == 206;
    if (result != CURLE_OK && !(gotFile && result == CURLE_PARTIAL_FILE)) {
        const QString why = result == CURLE_OPERATION_TIMEDOUT
                                ? tr("no data for %1 s").arg(options_.stallSeconds)
                                : transfer_.errorText();
        return finish(
            Outcome::Failed,
            tr("download of %1 failed after %2: %3")
                .arg(url_.toDisplayString(), sizeText(written_),
                     why.isEmpty() ? QString::fromUtf8(curl_easy_strerror(result)) : why));
    }
    if (status_ >= 300 && status_ < 400 && !location_.isEmpty()) {
        const QUrl next = url_.resolved(QUrl::fromEncoded(location_));
        if (++redirects_ > MaxRedirects ||
            (next.scheme() != QLatin1String("http") && next.scheme() != QLatin1String("https")))
            return finish(
                Outcome::Failed,
                tr("%1 redirects too often or away from the web").arg(url_.toDisplayString()));
        url_ = next;
        return begin();
    }
    if (status_ == 416 && !retriedFresh_) { // the ".part" is not a start of this file
        retriedFresh_ = true;
        QFile::remove(part);
        return begin();
    }
    if (!gotFile)
        return finish(Outcome::Failed,
                      tr("%1 answered HTTP %2").arg(url_.toDisplayString()).arg(status_));
    if (total_ >= 0 && written_ != total_)
        return finish(Outcome::Failed, tr("short body: %1 of the %2 bytes %3 announced")
                                           .arg(written_)
                                           .arg(total_)
                                           .arg(url_.toDisplayString()));
    if (options_.expectGzip && !looksLikeGzip(head_)) {
        QFile::remove(part);
        return finish(Outcome::Failed, tr("%1 is not a gzip file").arg(url_.toDisplayString()));
    }
    // The whole file: it takes the target's place in one rename.
    if (std::rename(QFile::encodeName(part).constData(), QFile::encodeName(target_).constData()) !=
        0)
        return finish(Outcome::Failed,
                      tr("%1 cannot be renamed to %2")
                          .arg(QDir::toNativeSeparators(part), QDir::toNativeSeparators(target_)));
    report(true);
    finish(Outcome::Done);
}

void FileDownload::finish(Outcome outcome, const QString& error) {
    if (!running_)
        return;
    running_ = false;
    if (outcome != Outcome::Done && QFileInfo(partFile(target_)).size() == 0)
        QFile::remove(partFile(target_)); // nothing came: nothing to resume
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
            file_.close();
            finish(Outcome::Cancelled);
        },
        Qt::QueuedConnection);
}

} // namespace tally
