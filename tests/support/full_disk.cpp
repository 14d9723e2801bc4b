#include "support/full_disk.h"

#include <QByteArray>
#include <QFile>

#include <csignal>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace tally::test {

SmallFileSystem::SmallFileSystem(const QString& folder, bool readOnly) : folder_(folder) {
    mounted_ = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs",
                       readOnly ? MS_RDONLY : 0, "size=64k,mode=0755") == 0;
}

SmallFileSystem::~SmallFileSystem() {
    if (mounted_)
        ::umount2(QFile::encodeName(folder_).constData(), MNT_DETACH);
}

void SmallFileSystem::fill() const {
    const QByteArray path = QFile::encodeName(folder_ + QStringLiteral("/.filler"));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const QByteArray block(4096, 'x');
    for (qsizetype size = block.size(); size > 0; size /= 2)
        while (::write(fd, block.constData(), size_t(size)) == size) {
        }
    ::close(fd);
}

FileSizeLimit::FileSizeLimit(qint64 bytes) {
    // Without this the kernel ends the process instead of failing the write.
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    struct rlimit limit = previous_;
    limit.rlim_cur = rlim_t(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
}

} // namespace tally::test
