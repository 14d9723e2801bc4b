// Whole-file reads and writes of the program's own files (settings.ini, the per-user store, saved
// searches, URL lists and whatever else the program saves).
//
// A write replaces the file atomically: the bytes go into a temporary file beside it, unbuffered
// and checked write by write, are flushed to the disk and only then take the file's place in one
// rename. A write that fails for any reason (a full disk, a read-only file or folder, a folder in
// the file's place, a name too long) leaves the old file exactly as it was, leaves nothing else
// behind, and says why. A reader, or a crash at any moment, sees either the old file or the new
// one, never a part of it.
//
// A read takes only regular files (a FIFO, a device or a socket could block or never end) and
// only up to a size limit given by the kind of file.
#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

namespace tally {

// Success, or the reason of a failure in words fit for a message ("No space left on device").
class FileOutcome {
public:
    static FileOutcome success() { return FileOutcome(QString()); }
    static FileOutcome failure(const QString& reason);

    bool ok() const { return reason_.isEmpty(); }
    explicit operator bool() const { return ok(); }
    // Empty on success.
    const QString& reason() const { return reason_; }

private:
    explicit FileOutcome(const QString& reason) : reason_(reason) {}
    QString reason_;
};

// The system's words for an errno value; a full disk (or a spent quota) is named as one.
QString systemReason(int error);

// The size limits of the files the program reads whole.
inline constexpr qint64 MiB = 1024 * 1024;
inline constexpr qint64 SettingsFileLimit = 1 * MiB;     // settings.ini, the per-user store
inline constexpr qint64 SavedSearchFileLimit = 64 * MiB; // a saved search
inline constexpr qint64 UrlListFileLimit = 64 * MiB;     // a URL list file
inline constexpr qint64 HelpFileLimit = 16 * MiB;        // Help.rtf

// Who may read a file the program writes.
enum class FileAccess {
    Usual,    // a new file as the umask makes it; an existing file keeps its permissions
    OwnerOnly // read and write for the owner alone, new or not (a file that holds secrets)
};

// Replaces (or creates) the file at `path` with exactly `bytes`. A symbolic link is followed and
// its target replaced. Fails without touching anything when the file exists but is not a regular
// file, is read-only (no write permission bit set, whoever the program runs as), when its folder
// does not exist or cannot be written, or when any write, the flush to the disk or the rename
// fails. With FileAccess::OwnerOnly the new file never exists with wider permissions, not even
// for a moment.
FileOutcome writeFileAtomically(const QString& path, const QByteArray& bytes,
                                FileAccess access = FileAccess::Usual);

// The same for a file written piece by piece (a link index of gigabytes): the pieces go into the
// temporary file as they come, and only commit() puts it in the file's place. Destroyed without a
// successful commit (a failed write, a cancelled import), it removes the temporary file and leaves
// the old file exactly as it was.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(const QString& path, FileAccess access = FileAccess::Usual);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Starts the temporary file; fails as writeFileAtomically would before writing anything.
    FileOutcome open();
    // Appends bytes (buffered); false once any write failed (reason() says why).
    bool write(const char* data, qsizetype size);
    // Rewrites bytes already written, at `offset` from the start.
    bool overwrite(qint64 offset, const char* data, qsizetype size);
    // Flushes to the disk and replaces the file.
    FileOutcome commit();
    QString reason() const { return reason_; }

private:
    bool flushBuffer();
    bool fail(const QString& reason);

    struct File;
    QString path_;
    FileAccess access_;
    std::unique_ptr<File> file_;
    QByteArray buffer_;
    QString reason_;
};

// The folder, made with any folders above it that are missing; success when it is there.
FileOutcome makeFolder(const QString& folder);

// The checks of writeFileAtomically without writing, and whether the folder takes a new file:
// success when the file could be replaced (or created) now.
FileOutcome checkFileWritable(const QString& path);

// What tells a file's new contents from its old without reading them: its identity (device,
// inode), size and times, from one stat. Equal stamps: the same file, as it was.
struct FileStamp {
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool operator==(const FileStamp&) const = default;
    static FileStamp of(const QString& path);
};
// How many files this program has replaced so far (writeFileAtomically, AtomicFileWriter): a
// reader that keeps a file's contents and looks at the file only now and then sees this program's
// own writes at once.
quint64 filesWrittenSoFar();

// Whether two paths name the same file: the same file on the disk (through a symbolic link or a
// hard link too), or, for a file not there yet, the same name in the same real folder.
bool isSameFile(const QString& a, const QString& b);

// Removes what writes of `path` that never finished (a killed program) left beside it: files
// named after it plus a dot and six letters or digits. Only for a caller that holds the file's
// lock (file_lock.h), so that no write in progress loses its temporary file.
void removeAbandonedTemporaries(const QString& path);

// The longest file name, in bytes of its encoded form, that writeFileAtomically can write: the
// temporary file beside it needs a few bytes more within the file system's limit on names.
int maxAtomicFileNameBytes();
// Whether a file name (without folder) is short enough for writeFileAtomically.
bool fitsAtomicFileName(const QString& fileName);

// A whole file read with readFileBounded.
struct FileContents {
    enum class Status {
        Read,    // bytes holds the whole file
        Missing, // there is no file (or no folder) of that name
        Refused  // it exists but cannot be read: not a regular file, too large, no permission...
    };
    Status status = Status::Missing;
    QByteArray bytes;
    QString reason; // for Missing and Refused

    bool isRead() const { return status == Status::Read; }
};

// Reads the file whole when it is a regular file of at most `limit` bytes. Never blocks on a FIFO
// and never reads more than `limit` bytes, even from a file that grows while it is read.
FileContents readFileBounded(const QString& path, qint64 limit);

// Reads an open descriptor to its end (a pipe, a terminal, a regular file), at most `limit`
// bytes; Refused with the reason when there is more or a read fails. The descriptor stays open.
FileContents readDescriptorBounded(int fd, qint64 limit);

// The checks of readFileBounded without reading: success when the file could be read whole now.
FileOutcome checkFileReadable(const QString& path, qint64 limit);

// A size in words for messages: "1 MiB", "64 MiB", "512 KiB", "100 bytes".
QString sizeInWords(qint64 bytes);

// The bytes after a leading UTF-8 byte-order mark (the whole bytes when there is none).
QByteArray withoutByteOrderMark(const QByteArray& bytes);

} // namespace tally
