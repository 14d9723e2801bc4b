// The process's standard input replaced for the lifetime of the object, as a shell pipe or a
// redirection sets it up for a command-line run inside the test process.
#pragma once

#include <QByteArray>
#include <QString>

namespace tally::test {

class StandardInput {
public:
    // A pipe holding `bytes`, its writing end closed (as after `printf ... |`).
    explicit StandardInput(const QByteArray& bytes);
    // The file at `path`, opened for reading (as `< path`).
    explicit StandardInput(const QString& path);
    ~StandardInput();
    StandardInput(const StandardInput&) = delete;
    StandardInput& operator=(const StandardInput&) = delete;

private:
    void take(int fd);
    int saved_ = -1;
};

} // namespace tally::test
