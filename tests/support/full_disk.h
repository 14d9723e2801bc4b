// Real write failures for tests: a small file system that can be filled up, and the process's file
// size limit, under which a write past the limit fails in the kernel as it does on a full disk.
#pragma once

#include <QString>

#include <sys/resource.h>

namespace tally::test {

// A 64 KiB tmpfs mounted over an existing folder for the lifetime of the object, read-only when
// asked (a read-only mount stops root as well). Mounting needs root (or the right capability);
// mounted() tells whether it worked, so that tests can skip.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const QString& folder, bool readOnly = false);
    ~SmallFileSystem();
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool mounted() const { return mounted_; }
    // Takes up every free block with a filler file, so that the next write finds no space.
    void fill() const;

private:
    QString folder_;
    bool mounted_ = false;
};

// Writes that would make any file larger than `bytes` fail (EFBIG) while the object lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    struct rlimit previous_ {};
};

} // namespace tally::test
