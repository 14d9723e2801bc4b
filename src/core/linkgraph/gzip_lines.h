// A text file read line by line as it streams from the disk, plain or gzip-compressed (also
// several gzip members one after the other, as parallel compressors write them and as gzip files
// joined with cat are). Memory stays a few MiB whatever the file's size.
//
// Reading and decompressing run on a second thread, a few MiB ahead of the lines handed out, so
// that the thread that parses the lines and the one that inflates them share the work: the import
// of a web graph goes as fast as the slower of the two. This is the program's one place with a
// thread of its own; it touches nothing but the file and the buffers it hands over.
#pragma once

#include "core/net/file_download.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstring>
#include <memory>

namespace tally {

// gzip members inflated one after the other, as gzip reads them; bytes after the last member that
// do not begin another one end the text (gzip ignores them too). The one place that says what a
// good gzip file is: the line reader and the check of a download both inflate through it.
class GzipMembers {
public:
    GzipMembers();
    ~GzipMembers();
    GzipMembers(const GzipMembers&) = delete;
    GzipMembers& operator=(const GzipMembers&) = delete;

    // The next compressed bytes, kept by the caller until they are taken (pending() is 0).
    void give(const char* data, qsizetype size);
    qsizetype pending() const;
    // Up to `room` bytes of text into `out` from the bytes given; -1 when they are damaged
    // (damaged() then holds). 0 with pending() left only once the text has ended.
    qsizetype inflate(char* out, qsizetype room);
    // The input ends here: false (damaged) unless that is the end of a whole member.
    bool endOfInput();
    bool ended() const { return ended_; }
    bool damaged() const { return damageAt_ >= 0; }
    // "<name> is damaged at byte N: <how>".
    QString damageText(const QString& name) const;
    // Compressed bytes taken so far.
    qint64 position() const;

private:
    qsizetype fail(const QString& how);

    struct Z;
    std::unique_ptr<Z> z_;
    qint64 given_ = 0;
    bool inMember_ = false;
    bool ended_ = false;
    bool sawMember_ = false;
    qint64 damageAt_ = -1;
    QString damage_;
};

// A download checked as a gzip file while it comes: every member inflated to its end with its
// checksum and length; a file whose text is cut off or damaged fails (and is fetched again).
class GzipDownloadCheck : public DownloadCheck {
public:
    // `name` is what a damage is said of ("<name> is damaged at byte N: ...").
    explicit GzipDownloadCheck(const QString& name) : name_(name) {}
    void restart() override;
    QString add(QByteArrayView bytes) override;
    QString end() override;

private:
    QString name_;
    std::unique_ptr<GzipMembers> members_ = std::make_unique<GzipMembers>();
};

class GzipLineReader {
public:
    // Longer lines are not kept: they come back as too long, and are skipped.
    static constexpr qsizetype MaxLineLength = 64 * 1024;

    explicit GzipLineReader(const QString& path);
    // Stops the reading thread (at once, even in the middle of the file).
    ~GzipLineReader();
    GzipLineReader(const GzipLineReader&) = delete;
    GzipLineReader& operator=(const GzipLineReader&) = delete;

    // Opens the file and starts reading it; false with the reason in error() when it cannot be
    // read.
    bool open();
    // The next line without its line end (LF or CR LF), valid until the next call. A line longer
    // than MaxLineLength comes back empty with *tooLong set. False at the end of the file, and on
    // a damaged or cut-off file (error() then says why, once the lines before the damage are
    // read).
    bool next(QByteArrayView* line, bool* tooLong) {
        if (pos_ == end_ && !nextChunk())
            return false;
        // Every chunk ends with a line end.
        const char* lineEnd =
            static_cast<const char*>(std::memchr(pos_, '\n', size_t(end_ - pos_)));
        qsizetype size = lineEnd - pos_;
        const char* start = pos_;
        pos_ = lineEnd + 1;
        if (size > 0 && start[size - 1] == '\r')
            --size;
        *tooLong = size > MaxLineLength;
        *line = *tooLong ? QByteArrayView() : QByteArrayView(start, size);
        return true;
    }

    // The rest of the current chunk of lines, taken at once (each of its lines ends with a line
    // end, and one longer than MaxLineLength has more bytes than that), for a parser that goes
    // through the lines itself. False at the end of the file, as next().
    bool nextLines(const char** begin, const char** end) {
        if (pos_ == end_ && !nextChunk())
            return false;
        *begin = pos_;
        *end = end_;
        pos_ = end_;
        return true;
    }

    QString error() const;
    // The file was read as far as it is good: its compressed data is damaged or cut off.
    bool damaged() const;
    const QString& path() const { return path_; }
    bool compressed() const { return gzip_; }
    // Bytes of the file read so far, and its size (0 when it has none, as a pipe).
    qint64 bytesRead() const;
    qint64 fileSize() const { return fileSize_; }
    // The processor time the reading thread has taken, once it has read the whole file.
    qint64 readingCpuMs() const;

private:
    bool nextChunk();
    bool fail(const QString& why);

    struct Shared;
    QString path_;
    bool gzip_ = false;
    qint64 fileSize_ = 0;
    QString openError_;
    std::unique_ptr<Shared> shared_;
    const char* pos_ = nullptr;
    const char* end_ = nullptr;
};

} // namespace tally
