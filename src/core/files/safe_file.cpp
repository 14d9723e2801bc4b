#include "core/files/safe_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tally {

namespace {

std::atomic<quint64>& writesSoFar() {
    static std::atomic<quint64> writes{0};
    return writes;
}

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(SafeFile)
};

// The temporary file of a write is named after its target plus a dot and six random characters.
constexpr int TemporarySuffixBytes = 7;

QString notRegularReason() {
    return Text::tr("It is not a regular file");
}
QString folderReason() {
    return Text::tr("It is a folder");
}
QString tooLargeReason(qint64 limit) {
    return Text::tr("It is larger than %1").arg(sizeInWords(limit));
}

// The file a path finally names, following symbolic links (a link to a link included).
QFileInfo finalTarget(const QString& path) {
    QFileInfo info(path);
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info;
}

// Makes the rename itself durable; a folder that cannot be synced still holds the new file.
void syncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Why writing `target` cannot even start, or an empty text.
QString writeObstacle(const QFileInfo& target) {
    if (!fitsAtomicFileName(target.fileName()))
        return Text::tr("The file name is too long");
    struct stat st;
    const QByteArray encoded = QFile::encodeName(target.filePath());
    if (::stat(encoded.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return folderReason();
        if (!S_ISREG(st.st_mode))
            return notRegularReason();
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return Text::tr("The file is read-only");
    } else if (errno != ENOENT && errno != ENOTDIR) {
        return systemReason(errno);
    }
    if (!QFileInfo(target.absolutePath()).isDir())
        return Text::tr("The folder does not exist");
    return QString();
}

// Opens a file for reading without blocking (a FIFO would wait for a writer) and checks that it
// is a regular file within the limit. Returns the open descriptor, or -1 with `result` filled in.
int openBounded(const QString& path, qint64 limit, FileContents& result, qint64* size) {
    const QByteArray encoded = QFile::encodeName(path);
    const int fd = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        struct stat st;
        if (error == ENOENT || error == ENOTDIR) {
            result.status = FileContents::Status::Missing;
            result.reason = Text::tr("The file does not exist");
        } else {
            result.status = FileContents::Status::Refused;
            const bool special = ::stat(encoded.constData(), &st) == 0 && !S_ISREG(st.st_mode) &&
                                 !S_ISDIR(st.st_mode);
            result.reason = special ? notRegularReason() : systemReason(error);
        }
        return -1;
    }
    struct stat st;
    QString refusal;
    if (::fstat(fd, &st) != 0)
        refusal = systemReason(errno);
    else if (S_ISDIR(st.st_mode))
        refusal = folderReason();
    else if (!S_ISREG(st.st_mode))
        refusal = notRegularReason();
    else if (st.st_size > limit)
        refusal = tooLargeReason(limit);
    if (!refusal.isEmpty()) {
        ::close(fd);
        result.status = FileContents::Status::Refused;
        result.reason = refusal;
        return -1;
    }
    *size = st.st_size;
    return fd;
}

} // namespace

QString systemReason(int error) {
    const QString words = QString::fromLocal8Bit(std::strerror(error));
    if (error == ENOSPC || error == EDQUOT)
        return Text::tr("the disk is full (%1)").arg(words);
    return words;
}

FileOutcome FileOutcome::failure(const QString& reason) {
    return FileOutcome(reason.isEmpty() ? Text::tr("Unknown error") : reason);
}

int maxAtomicFileNameBytes() {
    return NAME_MAX - TemporarySuffixBytes;
}

bool fitsAtomicFileName(const QString& fileName) {
    return QFile::encodeName(fileName).size() <= maxAtomicFileNameBytes();
}

struct AtomicFileWriter::File {
    QFileInfo target;
    QSaveFile save;
    explicit File(const QFileInfo& info) : target(info), save(info.filePath()) {}
};

AtomicFileWriter::AtomicFileWriter(const QString& path, FileAccess access)
    : path_(path), access_(access) {}

AtomicFileWriter::~AtomicFileWriter() {
    if (file_)
        file_->save.cancelWriting();
}

bool AtomicFileWriter::fail(const QString& reason) {
    if (reason_.isEmpty())
        reason_ = reason.isEmpty() ? Text::tr("Unknown error") : reason;
    if (file_)
        file_->save.cancelWriting();
    return false;
}

FileOutcome AtomicFileWriter::open() {
    if (path_.isEmpty())
        return FileOutcome::failure(Text::tr("No file name"));
    const QFileInfo target = finalTarget(path_);
    if (const QString obstacle = writeObstacle(target); !obstacle.isEmpty())
        return FileOutcome::failure(obstacle);
    file_ = std::make_unique<File>(target);
    // Unbuffered, so that every write reaches the file (and reports its error) here rather than
    // in a flush at commit() that nothing would check.
    if (!file_->save.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const QString reason = file_->save.errorString();
        file_.reset();
        return FileOutcome::failure(reason);
    }
    // Narrowed before the first byte goes in, so that no other user can open it meanwhile.
    if (access_ == FileAccess::OwnerOnly &&
        ::fchmod(file_->save.handle(), S_IRUSR | S_IWUSR) != 0) {
        const QString reason = systemReason(errno);
        file_->save.cancelWriting();
        file_.reset();
        return FileOutcome::failure(reason);
    }
    return FileOutcome::success();
}

bool AtomicFileWriter::flushBuffer() {
    if (!reason_.isEmpty() || !file_)
        return fail(QString());
    qint64 done = 0;
    while (done < buffer_.size()) {
        const qint64 written = file_->save.write(buffer_.constData() + done, buffer_.size() - done);
        if (written <= 0)
            return fail(file_->save.error() != QFileDevice::NoError ? file_->save.errorString()
                                                                    : systemReason(ENOSPC));
        done += written;
    }
    buffer_.clear();
    return true;
}

bool AtomicFileWriter::write(const char* data, qsizetype size) {
    constexpr qsizetype Chunk = 1024 * 1024;
    if (!reason_.isEmpty() || !file_)
        return fail(QString());
    if (buffer_.size() + size > Chunk && !flushBuffer())
        return false;
    if (size >= Chunk) { // large pieces go through without a copy
        buffer_ = QByteArray::fromRawData(data, size);
        const bool ok = flushBuffer();
        buffer_ = QByteArray();
        return ok;
    }
    buffer_.append(data, size);
    return true;
}

bool AtomicFileWriter::overwrite(qint64 offset, const char* data, qsizetype size) {
    if (!flushBuffer())
        return false;
    const qint64 end = file_->save.pos();
    if (!file_->save.seek(offset) || file_->save.write(data, size) != size ||
        !file_->save.seek(end))
        return fail(file_->save.errorString());
    return true;
}

FileOutcome AtomicFileWriter::commit() {
    if (!flushBuffer())
        return FileOutcome::failure(reason_);
    QSaveFile& save = file_->save;
    if (save.error() != QFileDevice::NoError) {
        fail(save.errorString());
        return FileOutcome::failure(reason_);
    }
    // The data must be on the disk before the new file takes the old one's place.
    if (::fsync(save.handle()) != 0) {
        fail(systemReason(errno));
        return FileOutcome::failure(reason_);
    }
    if (!save.commit()) {
        reason_ = save.errorString();
        file_.reset();
        return FileOutcome::failure(reason_);
    }
    syncFolder(file_->target.absolutePath());
    file_.reset();
    writesSoFar().fetch_add(1, std::memory_order_relaxed);
    return FileOutcome::success();
}

quint64 filesWrittenSoFar() {
    return writesSoFar().load(std::memory_order_relaxed);
}

FileStamp FileStamp::of(const QString& path) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = quint64(info.st_dev);
    stamp.inode = quint64(info.st_ino);
    stamp.size = qint64(info.st_size);
    stamp.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.changedNs = qint64(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
    return stamp;
}

FileOutcome writeFileAtomically(const QString& path, const QByteArray& bytes, FileAccess access) {
    AtomicFileWriter writer(path, access);
    if (const FileOutcome opened = writer.open(); !opened)
        return opened;
    if (!writer.write(bytes.constData(), bytes.size()))
        return FileOutcome::failure(writer.reason());
    return writer.commit();
}

namespace {

// Reads `fd` to its end, at most `limit` bytes. One byte more than the limit tells a file that
// grew past it; files that report no size (pipes, some system files) are read in growing steps.
FileContents readToEnd(int fd, qint64 limit, qint64 sizeHint) {
    FileContents result;
    QByteArray bytes;
    bytes.resize(std::min(limit, sizeHint) + 1);
    qint64 total = 0;
    QString reason;
    while (total <= limit) {
        if (total == bytes.size())
            bytes.resize(std::min(limit + 1, std::max<qint64>(bytes.size() * 2, 64 * 1024)));
        const ssize_t got = ::read(fd, bytes.data() + total, size_t(bytes.size() - total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            reason = systemReason(errno);
            break;
        }
        if (got == 0)
            break;
        total += got;
    }
    if (reason.isEmpty() && total > limit)
        reason = tooLargeReason(limit);
    if (!reason.isEmpty()) {
        result.status = FileContents::Status::Refused;
        result.reason = reason;
        return result;
    }
    bytes.truncate(total);
    result.status = FileContents::Status::Read;
    result.bytes = std::move(bytes);
    return result;
}

} // namespace

FileContents readFileBounded(const QString& path, qint64 limit) {
    FileContents result;
    qint64 size = 0;
    const int fd = openBounded(path, limit, result, &size);
    if (fd < 0)
        return result;
    result = readToEnd(fd, limit, size);
    ::close(fd);
    return result;
}

FileContents readDescriptorBounded(int fd, qint64 limit) {
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        FileContents result;
        result.status = FileContents::Status::Refused;
        result.reason = systemReason(errno);
        return result;
    }
    if (S_ISDIR(st.st_mode)) {
        FileContents result;
        result.status = FileContents::Status::Refused;
        result.reason = folderReason();
        return result;
    }
    return readToEnd(fd, limit, S_ISREG(st.st_mode) ? qint64(st.st_size) : 0);
}

FileOutcome checkFileWritable(const QString& path) {
    if (path.isEmpty())
        return FileOutcome::failure(Text::tr("No file name"));
    const QFileInfo target = finalTarget(path);
    if (const QString obstacle = writeObstacle(target); !obstacle.isEmpty())
        return FileOutcome::failure(obstacle);
    // The new file is made beside the old one and renamed over it: the folder must take both.
    if (::access(QFile::encodeName(target.absolutePath()).constData(), W_OK | X_OK) != 0)
        return FileOutcome::failure(systemReason(errno));
    return FileOutcome::success();
}

bool isSameFile(const QString& a, const QString& b) {
    struct stat sa;
    struct stat sb;
    const bool hasA = ::stat(QFile::encodeName(a).constData(), &sa) == 0;
    const bool hasB = ::stat(QFile::encodeName(b).constData(), &sb) == 0;
    if (hasA || hasB)
        return hasA && hasB && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    // Neither is there yet: the same name in the same real folder (a link to a file not yet
    // made ends in its target's name).
    const QFileInfo ta = finalTarget(a);
    const QFileInfo tb = finalTarget(b);
    const QString folderA = QFileInfo(ta.absolutePath()).canonicalFilePath();
    return ta.fileName() == tb.fileName() && !folderA.isEmpty() &&
           folderA == QFileInfo(tb.absolutePath()).canonicalFilePath();
}

void removeAbandonedTemporaries(const QString& path) {
    const QFileInfo target = finalTarget(path);
    const QString prefix = target.fileName() + QLatin1Char('.');
    QDir folder = target.absoluteDir();
    const QStringList names =
        folder.entryList({prefix + QStringLiteral("??????")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QStringView suffix = QStringView(name).mid(prefix.size());
        if (std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
                return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') ||
                       (c >= u'0' && c <= u'9');
            }))
            folder.remove(name);
    }
}

FileOutcome checkFileReadable(const QString& path, qint64 limit) {
    FileContents result;
    qint64 size = 0;
    const int fd = openBounded(path, limit, result, &size);
    if (fd < 0)
        return FileOutcome::failure(result.reason);
    ::close(fd);
    return FileOutcome::success();
}

QString sizeInWords(qint64 bytes) {
    if (bytes >= MiB && bytes % MiB == 0)
        return Text::tr("%1 MiB").arg(bytes / MiB);
    if (bytes >= 1024 && bytes % 1024 == 0)
        return Text::tr("%1 KiB").arg(bytes / 1024);
    return Text::tr("%1 bytes").arg(bytes);
}

QByteArray withoutByteOrderMark(const QByteArray& bytes) {
    return bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
}

FileOutcome makeFolder(const QString& folder) {
    if (QFileInfo(folder).isDir() || QDir().mkpath(folder))
        return FileOutcome::success();
    return FileOutcome::failure(
        Text::tr("The folder %1 could not be created").arg(QDir::toNativeSeparators(folder)));
}

} // namespace tally
