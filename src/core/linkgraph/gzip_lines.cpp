#include "core/linkgraph/gzip_lines.h"

#include <QFileInfo>

#include <cstring>

#include <zlib.h>

namespace tally {

namespace {
constexpr qsizetype BufferSize = 4 * 1024 * 1024;
constexpr qsizetype InputSize = 1024 * 1024;
} // namespace

struct GzipLineReader::Inflater {
    z_stream stream{};
    bool ready = false;
    ~Inflater() {
        if (ready)
            inflateEnd(&stream);
    }
};

GzipLineReader::GzipLineReader(const QString& path) : path_(path) {}

GzipLineReader::~GzipLineReader() = default;

bool GzipLineReader::fail(const QString& why) {
    error_ = why;
    atEnd_ = true;
    return false;
}

bool GzipLineReader::open() {
    const QFileInfo info(path_);
    if (!info.exists())
        return fail(QStringLiteral("there is no file %1").arg(path_));
    if (info.isDir())
        return fail(QStringLiteral("%1 is a folder").arg(path_));
    file_.setFileName(path_);
    if (!file_.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1 cannot be read: %2").arg(path_, file_.errorString()));
    fileSize_ = file_.isSequential() ? 0 : file_.size();
    const QByteArray magic = file_.peek(2);
    gzip_ = magic.size() == 2 && uchar(magic[0]) == 0x1f && uchar(magic[1]) == 0x8b;
    if (gzip_) {
        inflater_ = std::make_unique<Inflater>();
        // 16 + 15: a gzip header and trailer around the deflate stream, the largest window.
        if (inflateInit2(&inflater_->stream, 16 + MAX_WBITS) != Z_OK)
            return fail(QStringLiteral("the decompressor could not be started"));
        inflater_->ready = true;
        input_.resize(InputSize);
    }
    buffer_.resize(BufferSize);
    return true;
}

bool GzipLineReader::fill() {
    char* out = buffer_.data() + end_;
    const qsizetype room = buffer_.size() - end_;
    if (!gzip_) {
        const qint64 n = file_.read(out, room);
        if (n < 0)
            return fail(QStringLiteral("%1 cannot be read: %2").arg(path_, file_.errorString()));
        if (n == 0)
            atEnd_ = true;
        end_ += n;
        bytesRead_ += n;
        return true;
    }
    z_stream& z = inflater_->stream;
    for (;;) {
        if (z.avail_in == 0) {
            const qint64 n = file_.read(input_.data(), input_.size());
            if (n < 0)
                return fail(
                    QStringLiteral("%1 cannot be read: %2").arg(path_, file_.errorString()));
            if (n == 0) {
                if (inMember_)
                    return fail(QStringLiteral("%1 ends in the middle of its compressed data "
                                               "(is the file complete?)")
                                    .arg(path_));
                atEnd_ = true;
                return true;
            }
            bytesRead_ += n;
            z.next_in = reinterpret_cast<Bytef*>(input_.data());
            z.avail_in = uInt(n);
        }
        if (!inMember_) {
            // Another member follows, or bytes after the last one, which gzip ignores as well.
            if (z.next_in[0] != 0x1f) {
                atEnd_ = true;
                return true;
            }
            inflateReset(&z);
            inMember_ = true;
        }
        z.next_out = reinterpret_cast<Bytef*>(out);
        z.avail_out = uInt(room);
        const int status = inflate(&z, Z_NO_FLUSH);
        const qsizetype produced = room - qsizetype(z.avail_out);
        end_ += produced;
        if (status == Z_STREAM_END)
            inMember_ = false;
        else if (status != Z_OK && status != Z_BUF_ERROR)
            return fail(
                QStringLiteral("%1 is damaged: %2")
                    .arg(path_, QString::fromLatin1(z.msg ? z.msg : "bad compressed data")));
        if (produced > 0)
            return true;
        if (status == Z_BUF_ERROR && z.avail_in > 0)
            return fail(
                QStringLiteral("%1 is damaged: the compressed data goes nowhere").arg(path_));
    }
}

bool GzipLineReader::next(QByteArrayView* line, bool* tooLong) {
    *tooLong = false;
    for (;;) {
        const char* start = buffer_.constData() + pos_;
        const auto* lineEnd =
            static_cast<const char*>(std::memchr(start, '\n', size_t(end_ - pos_)));
        if (lineEnd) {
            qsizetype size = lineEnd - start;
            pos_ += size + 1;
            if (skipping_) {
                skipping_ = false;
                *tooLong = true;
                *line = QByteArrayView();
                return true;
            }
            if (size > 0 && start[size - 1] == '\r')
                --size;
            *line = QByteArrayView(start, size);
            return true;
        }
        if (end_ - pos_ > MaxLineLength) {
            skipping_ = true;
            pos_ = end_;
        }
        if (atEnd_) {
            if (!error_.isEmpty())
                return false;
            if (skipping_) {
                skipping_ = false;
                *tooLong = true;
                *line = QByteArrayView();
                return true;
            }
            if (pos_ < end_) { // a last line without a line end
                qsizetype size = end_ - pos_;
                if (start[size - 1] == '\r')
                    --size;
                *line = QByteArrayView(start, size);
                pos_ = end_;
                return true;
            }
            return false;
        }
        // Keep the start of the line, make room behind it and read on.
        if (pos_ > 0) {
            std::memmove(buffer_.data(), buffer_.constData() + pos_, size_t(end_ - pos_));
            end_ -= pos_;
            pos_ = 0;
        }
        if (!fill())
            return false;
    }
}

} // namespace tally
