// A text file read line by line as it streams from the disk, plain or gzip-compressed (also
// several gzip members one after the other, as parallel compressors write them and as gzip files
// joined with cat are). Memory stays a few MiB whatever the file's size.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <memory>

namespace tally {

class GzipLineReader {
public:
    // Longer lines are not kept: they come back as too long, and are skipped.
    static constexpr qsizetype MaxLineLength = 64 * 1024;

    explicit GzipLineReader(const QString& path);
    ~GzipLineReader();
    GzipLineReader(const GzipLineReader&) = delete;
    GzipLineReader& operator=(const GzipLineReader&) = delete;

    // Opens the file; false with the reason in error() when it cannot be read.
    bool open();
    // The next line without its line end (LF or CR LF), valid until the next call. A line longer
    // than MaxLineLength comes back empty with *tooLong set. False at the end of the file, and on
    // a damaged or cut-off file (error() then says why).
    bool next(QByteArrayView* line, bool* tooLong);

    QString error() const { return error_; }
    bool compressed() const { return gzip_; }
    // Bytes of the file read so far, and its size (0 when it has none, as a pipe).
    qint64 bytesRead() const { return bytesRead_; }
    qint64 fileSize() const { return fileSize_; }

private:
    bool fill();
    bool fail(const QString& why);

    struct Inflater;
    QString path_;
    QFile file_;
    std::unique_ptr<Inflater> inflater_;
    bool gzip_ = false;
    bool inMember_ = false; // inside a gzip member: its end must still come
    bool atEnd_ = false;
    bool skipping_ = false; // dropping the rest of a line that is too long
    QByteArray buffer_;     // decompressed text: [pos_, end_) not yet handed out
    qsizetype pos_ = 0;
    qsizetype end_ = 0;
    QByteArray input_; // compressed bytes read from the file
    qint64 bytesRead_ = 0;
    qint64 fileSize_ = 0;
    QString error_;
};

} // namespace tally
