#include "core/files/file_lock.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(FileLock)
};

int& waitLimit() {
    static int limit = FileLockWaitLimitMs;
    return limit;
}

// Between two tries: short enough that a save waits little behind another program's save (which
// holds the lock for a few milliseconds), long enough not to spin.
constexpr long RetryNs = 5 * 1000 * 1000;

} // namespace

FileLock::FileLock(const QString& file) : file_(file) {}

FileLock::~FileLock() {
    release();
}

QString FileLock::lockFileOf(const QString& file) {
    const QFileInfo info(file);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".lock");
}

void FileLock::setWaitLimitMs(int ms) {
    waitLimit() = ms < 0 ? FileLockWaitLimitMs : ms;
}

int FileLock::waitLimitMs() {
    return waitLimit();
}

FileOutcome FileLock::acquire() {
    if (fd_ >= 0)
        return FileOutcome::success();
    const QString lockFile = lockFileOf(file_);
    const QByteArray path = QFile::encodeName(lockFile);
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0)
            return FileOutcome::failure(Text::tr("Its lock file %1 could not be made: %2")
                                            .arg(QDir::toNativeSeparators(lockFile),
                                                 QString::fromLocal8Bit(std::strerror(errno))));
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before removed the file as it let go: this one is locked only if it is
            // still the file of that name.
            struct stat held {
            }, named{};
            if (::fstat(fd, &held) == 0 && ::stat(path.constData(), &named) == 0 &&
                held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
                fd_ = fd;
                return FileOutcome::success();
            }
            ::close(fd);
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR)
            return FileOutcome::failure(Text::tr("Its lock file %1 could not be locked: %2")
                                            .arg(QDir::toNativeSeparators(lockFile),
                                                 QString::fromLocal8Bit(std::strerror(error))));
        if (waited.elapsed() >= waitLimit())
            return FileOutcome::failure(
                Text::tr("Another program has been changing it for more than %1 s (it "
                         "holds the lock file %2); nothing was written")
                    .arg(waitLimit() / 1000.0, 0, 'g', 3)
                    .arg(QDir::toNativeSeparators(lockFile)));
        timespec pause{0, RetryNs};
        nanosleep(&pause, nullptr);
    }
}

void FileLock::release() {
    if (fd_ < 0)
        return;
    // Removed while still held, so that no lock file stays behind: a program that opened it in
    // the meantime finds, once it holds the lock, that the name is gone and takes a new file.
    ::unlink(QFile::encodeName(lockFileOf(file_)).constData());
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

} // namespace tally
