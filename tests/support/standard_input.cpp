#include "support/standard_input.h"

#include <QFile>

#include <fcntl.h>
#include <unistd.h>

namespace tally::test {

StandardInput::StandardInput(const QByteArray& bytes) {
    int ends[2];
    if (::pipe(ends) != 0)
        return;
    // Small enough for the pipe's buffer: written at once, then the writer goes.
    if (::write(ends[1], bytes.constData(), size_t(bytes.size())) != bytes.size())
        qWarning("the pipe did not take the whole input");
    ::close(ends[1]);
    take(ends[0]);
}

StandardInput::StandardInput(const QString& path) {
    take(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
}

void StandardInput::take(int fd) {
    if (fd < 0)
        return;
    saved_ = ::dup(STDIN_FILENO);
    ::dup2(fd, STDIN_FILENO);
    ::close(fd);
}

StandardInput::~StandardInput() {
    if (saved_ < 0)
        return;
    ::dup2(saved_, STDIN_FILENO);
    ::close(saved_);
}

} // namespace tally::test
