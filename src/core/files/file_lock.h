// An exclusive lock held while a file is loaded, changed and replaced, so that two programs (the
// window and a scan run by a timer) never lose each other's changes to one file.
//
// The lock is flock() on a lock file of its own beside the file: ".<name>.lock" in the same
// folder, there only while a program holds it. The file itself is never locked, because every
// write replaces it with a new file. The holder removes the lock file before it lets go; a program
// that was waiting on the removed file sees, once it holds the lock, that the name now belongs to
// no file or another one, and starts over with the file of that name. A lock that another program
// holds is waited for, a few milliseconds at a time, up to a limit (10 s); past it the change is
// given up and the reason says that the file is in use, rather than waiting for ever on a program
// that hangs. The wait blocks the calling thread: a save holds its lock for milliseconds, so only
// a save that meets another program's save waits at all.
#pragma once

#include "core/files/safe_file.h"

#include <QString>

namespace tally {

// How long a change waits for another program's lock on its file.
inline constexpr int FileLockWaitLimitMs = 10 * 1000;

class FileLock {
public:
    // Locks nothing yet: acquire() does.
    explicit FileLock(const QString& file);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Takes the lock, waiting while another holder keeps it, at most the wait limit. Fails with
    // the reason when the lock file cannot be made or the limit passes.
    FileOutcome acquire();
    bool isHeld() const { return fd_ >= 0; }
    void release();

    // The lock file of a file: ".<name>.lock" beside it.
    static QString lockFileOf(const QString& file);

    // The wait limit in milliseconds (tests shorten it); a value below 0 restores the default.
    static void setWaitLimitMs(int ms);
    static int waitLimitMs();

private:
    QString file_;
    int fd_ = -1;
};

} // namespace tally
