#include "core/linkgraph/gzip_lines.h"

#include "core/files/safe_file.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <time.h>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(GzipLines)
};

constexpr qsizetype ChunkSize = 2 * 1024 * 1024;
constexpr int Chunks = 3; // one being parsed, the others read ahead
constexpr qsizetype InputSize = 1024 * 1024;

} // namespace

struct GzipMembers::Z {
    z_stream stream{};
    bool ready = false;
    ~Z() {
        if (ready)
            inflateEnd(&stream);
    }
};

GzipMembers::GzipMembers() : z_(std::make_unique<Z>()) {}
GzipMembers::~GzipMembers() = default;

void GzipMembers::give(const char* data, qsizetype size) {
    z_->stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    z_->stream.avail_in = uInt(size);
    given_ += size;
}

qsizetype GzipMembers::pending() const {
    return qsizetype(z_->stream.avail_in);
}

qint64 GzipMembers::position() const {
    return given_ - qint64(z_->stream.avail_in);
}

qsizetype GzipMembers::fail(const QString& how) {
    damageAt_ = position();
    damage_ = how;
    return -1;
}

QString GzipMembers::damageText(const QString& name) const {
    return Text::tr("%1 is damaged at byte %L2: %3").arg(name).arg(damageAt_).arg(damage_);
}

qsizetype GzipMembers::inflate(char* out, qsizetype room) {
    z_stream& z = z_->stream;
    if (damaged())
        return -1;
    qsizetype produced = 0;
    while (produced < room && z.avail_in > 0 && !ended_) {
        if (!inMember_) {
            // Another member follows, or bytes after the last one, which gzip ignores too.
            if (z.next_in[0] != 0x1f) {
                if (!sawMember_)
                    return fail(Text::tr("it is not gzip data"));
                ended_ = true;
                break;
            }
            // 16 + 15: a gzip header and trailer around the deflate stream, the largest window.
            if (!z_->ready) {
                if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK)
                    return fail(Text::tr("the decompressor could not be started"));
                z_->ready = true;
            } else {
                inflateReset(&z);
            }
            inMember_ = sawMember_ = true;
        }
        z.next_out = reinterpret_cast<Bytef*>(out + produced);
        z.avail_out = uInt(room - produced);
        const uInt before = z.avail_out;
        const int status = ::inflate(&z, Z_NO_FLUSH);
        produced += qsizetype(before - z.avail_out);
        if (status == Z_STREAM_END)
            inMember_ = false;
        else if (status != Z_OK && status != Z_BUF_ERROR)
            return fail(QString::fromLatin1(z.msg ? z.msg : "bad compressed data"));
        else if (status == Z_BUF_ERROR && z.avail_in > 0 && z.avail_out > 0)
            return fail(Text::tr("the compressed data goes nowhere"));
    }
    return produced;
}

bool GzipMembers::endOfInput() {
    if (damaged())
        return false;
    if (inMember_) {
        fail(Text::tr("it ends in the middle of its compressed data (is the file complete?)"));
        return false;
    }
    if (!sawMember_) {
        fail(Text::tr("it holds no compressed data"));
        return false;
    }
    return true;
}

void GzipDownloadCheck::restart() {
    members_ = std::make_unique<GzipMembers>();
}

QString GzipDownloadCheck::add(QByteArrayView bytes) {
    static thread_local std::vector<char> scratch(size_t(256 * 1024));
    members_->give(bytes.data(), bytes.size());
    while (members_->pending() > 0 && !members_->ended())
        if (members_->inflate(scratch.data(), qsizetype(scratch.size())) < 0)
            return members_->damageText(name_);
    return QString();
}

QString GzipDownloadCheck::end() {
    return members_->endOfInput() ? QString() : members_->damageText(name_);
}

// What the two threads share: the file, the chunks and the queue of filled ones. The reading
// thread fills chunks with whole lines (each ends with a line end) and queues them; the parsing
// thread takes them in order and gives them back.
struct GzipLineReader::Shared {
    struct Chunk {
        // Not cleared: a page of it costs memory only once it is written.
        std::unique_ptr<char[]> bytes = std::unique_ptr<char[]>(new char[size_t(ChunkSize)]);
        qsizetype size = 0;
    };

    QString path;
    int fd = -1;
    bool gzip = false;
    GzipMembers members;
    bool ended = false;   // the text is over (bytes after the last gzip member are not text)
    bool damaged = false; // the compressed data is damaged or cut off
    // Plain text: the first bytes, read to tell gzip from text, still to be handed out.
    qsizetype pendingStart = 0;
    qsizetype pendingEnd = 0;
    std::vector<char> input = std::vector<char>(size_t(InputSize));
    std::atomic<qint64> bytesRead{0};
    std::atomic<qint64> cpuMs{0};

    std::vector<Chunk> chunks;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Chunk*> filled;
    std::vector<Chunk*> free;
    Chunk* parsing = nullptr;
    bool done = false; // the reading thread has queued its last chunk
    bool stop = false; // the parsing side wants no more
    QString error;     // why reading ended early
    std::thread thread;

    ~Shared() {
        if (fd >= 0)
            ::close(fd);
    }

    // Up to `room` bytes of text into `out`: as many as there are, short only at the end of the
    // file. -1 on an error (in `why`).
    qsizetype fill(char* out, qsizetype room, QString* why) {
        qsizetype produced = 0;
        while (produced < room && !ended) {
            if (!gzip && pendingStart < pendingEnd) {
                const qsizetype n = std::min(room - produced, pendingEnd - pendingStart);
                std::memcpy(out + produced, input.data() + pendingStart, size_t(n));
                pendingStart += n;
                produced += n;
                continue;
            }
            if (!gzip) {
                const ssize_t n = ::read(fd, out + produced, size_t(room - produced));
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0) {
                    *why = Text::tr("%1 cannot be read: %2").arg(path, systemReason(errno));
                    return -1;
                }
                if (n == 0)
                    return produced;
                produced += n;
                bytesRead += n;
                continue;
            }
            if (members.pending() == 0) {
                ssize_t n;
                do
                    n = ::read(fd, input.data(), input.size());
                while (n < 0 && errno == EINTR);
                if (n < 0) {
                    *why = Text::tr("%1 cannot be read: %2").arg(path, systemReason(errno));
                    return -1;
                }
                if (n == 0) {
                    if (members.endOfInput())
                        return produced;
                    damaged = true;
                    *why = members.damageText(path);
                    return -1;
                }
                bytesRead += n;
                members.give(input.data(), n);
            }
            const qsizetype n = members.inflate(out + produced, room - produced);
            if (n < 0) {
                damaged = true;
                *why = members.damageText(path);
                return -1;
            }
            produced += n;
            ended = members.ended();
        }
        return produced;
    }

    Chunk* takeFree() {
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return stop || !free.empty(); });
        if (stop)
            return nullptr;
        Chunk* chunk = free.back();
        free.pop_back();
        return chunk;
    }

    void hand(Chunk* chunk) {
        std::lock_guard lock(mutex);
        filled.push_back(chunk);
        changed.notify_all();
    }

    void finish(const QString& why) {
        timespec cpu{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        cpuMs = qint64(cpu.tv_sec) * 1000 + cpu.tv_nsec / 1000000;
        std::lock_guard lock(mutex);
        error = why;
        done = true;
        changed.notify_all();
    }

    // The reading thread: fills chunks with whole lines until the end of the file.
    void read() {
        Chunk* out = takeFree();
        if (!out)
            return finish(QString());
        out->size = 0;
        qsizetype lineStart = 0; // where the line not yet ended begins
        QString why;
        // A full chunk goes to the parser without the line it ends in, which begins the next one;
        // false when the parser wants no more.
        auto handOver = [this, &out, &lineStart]() {
            Chunk* next = takeFree();
            if (!next)
                return false;
            next->size = out->size - lineStart;
            std::memcpy(next->bytes.get(), out->bytes.get() + lineStart, size_t(next->size));
            out->size = lineStart;
            hand(out);
            out = next;
            lineStart = 0;
            return true;
        };
        for (;;) {
            if (out->size == ChunkSize && !handOver()) {
                hand(out);
                return finish(QString());
            }
            char* region = out->bytes.get() + out->size;
            const qsizetype n = fill(region, ChunkSize - out->size, &why);
            if (n < 0) {
                // The lines before the damage are handed out; the line it cut is not (a chunk
                // always ends with a line end).
                out->size = lineStart;
                hand(out);
                return finish(why);
            }
            if (n == 0)
                break;
            out->size += n;
            if (const void* last = memrchr(region, '\n', size_t(n)))
                lineStart = static_cast<const char*>(last) - out->bytes.get() + 1;
            // A line too long to keep: its start (one byte more than a line may have, which tells
            // the parser) stays, and what comes after it is dropped until its end; so a line
            // never outgrows a chunk.
            if (out->size - lineStart > MaxLineLength + 1)
                out->size = lineStart + MaxLineLength + 1;
            std::lock_guard lock(mutex);
            if (stop)
                break;
        }
        // A last line without a line end gets one.
        if (out->size > lineStart) {
            if (out->size == ChunkSize && !handOver()) {
                hand(out);
                return finish(QString());
            }
            out->bytes[size_t(out->size++)] = '\n';
        }
        hand(out);
        finish(QString());
    }
};

GzipLineReader::GzipLineReader(const QString& path) : path_(path) {}

GzipLineReader::~GzipLineReader() {
    if (!shared_)
        return;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
        shared_->changed.notify_all();
    }
    if (shared_->thread.joinable())
        shared_->thread.join();
}

bool GzipLineReader::fail(const QString& why) {
    openError_ = why;
    return false;
}

bool GzipLineReader::open() {
    auto shared = std::make_unique<Shared>();
    shared->path = path_;
    const QByteArray encoded = QFile::encodeName(path_);
    shared->fd = ::open(encoded.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    if (shared->fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return fail(Text::tr("there is no file %1").arg(path_));
        return fail(Text::tr("%1 cannot be read: %2").arg(path_, systemReason(error)));
    }
    struct stat st;
    if (::fstat(shared->fd, &st) != 0)
        return fail(Text::tr("%1 cannot be read: %2").arg(path_, systemReason(errno)));
    if (S_ISDIR(st.st_mode))
        return fail(Text::tr("%1 is a folder").arg(path_));
    fileSize_ = S_ISREG(st.st_mode) ? qint64(st.st_size) : 0;

    // The first bytes tell gzip from plain text; they stay as the decompressor's first input.
    ssize_t n;
    do
        n = ::read(shared->fd, shared->input.data(), shared->input.size());
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return fail(Text::tr("%1 cannot be read: %2").arg(path_, systemReason(errno)));
    shared->bytesRead = n;
    gzip_ = n >= 2 && uchar(shared->input[0]) == 0x1f && uchar(shared->input[1]) == 0x8b;
    shared->gzip = gzip_;
    if (gzip_) {
        shared->members.give(shared->input.data(), n);
    } else {
        shared->pendingEnd = n;
    }
    shared_ = std::move(shared);
    return true;
}

bool GzipLineReader::nextChunk() {
    if (!shared_)
        return false;
    // The reading starts with the first line asked for, and its memory goes at the end.
    if (!shared_->thread.joinable() && !shared_->done) {
        shared_->chunks.resize(Chunks);
        for (Shared::Chunk& chunk : shared_->chunks)
            shared_->free.push_back(&chunk);
        shared_->thread = std::thread([s = shared_.get()] { s->read(); });
    }
    std::unique_lock lock(shared_->mutex);
    if (shared_->parsing) {
        shared_->free.push_back(shared_->parsing);
        shared_->parsing = nullptr;
        shared_->changed.notify_all();
    }
    for (;;) {
        shared_->changed.wait(lock, [this] { return !shared_->filled.empty() || shared_->done; });
        if (shared_->filled.empty()) {
            lock.unlock();
            if (shared_->thread.joinable())
                shared_->thread.join();
            shared_->free.clear();
            shared_->chunks.clear();
            pos_ = end_ = nullptr;
            return false;
        }
        Shared::Chunk* chunk = shared_->filled.front();
        shared_->filled.pop_front();
        if (chunk->size == 0) { // nothing in it: back to the reader
            shared_->free.push_back(chunk);
            shared_->changed.notify_all();
            continue;
        }
        shared_->parsing = chunk;
        pos_ = chunk->bytes.get();
        end_ = pos_ + chunk->size;
        return true;
    }
}

bool GzipLineReader::damaged() const {
    if (!shared_)
        return false;
    std::lock_guard lock(shared_->mutex);
    return shared_->damaged;
}

QString GzipLineReader::error() const {
    if (!openError_.isEmpty() || !shared_)
        return openError_;
    std::lock_guard lock(shared_->mutex);
    return shared_->error;
}

qint64 GzipLineReader::readingCpuMs() const {
    return shared_ ? shared_->cpuMs.load() : 0;
}

qint64 GzipLineReader::bytesRead() const {
    return shared_ ? shared_->bytesRead.load() : 0;
}

} // namespace tally
