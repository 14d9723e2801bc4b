#include "core/linkgraph/link_index.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tally {

namespace {

constexpr char Magic[8] = {'T', 'L', 'N', 'K', 'I', 'D', 'X', '2'};
constexpr char OlderMagic[8] = {'T', 'L', 'N', 'K', 'I', 'D', 'X', '1'};
constexpr quint32 Version = 2;
constexpr quint32 MaxReleaseBytes = 4096;
// No block of a sound index comes near this (128 children of at most 1,024-byte names).
constexpr quint32 MaxBlockBytes = 4 * 1024 * 1024;
constexpr quint32 MaxLevels = 16;
constexpr qsizetype HeaderChecked = 120;

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(LinkIndex)
};

// ---- Numbers in the file ----

void putU16(QByteArray& out, qsizetype at, quint16 value) {
    qToLittleEndian<quint16>(value, out.data() + at);
}
void putU32(char* p, quint32 value) {
    qToLittleEndian<quint32>(value, p);
}
void putU64(char* p, quint64 value) {
    qToLittleEndian<quint64>(value, p);
}
void appendU64(QByteArray& out, quint64 value) {
    char field[8];
    putU64(field, value);
    out.append(field, 8);
}
void appendVarint(QByteArray& out, quint64 value) {
    while (value >= 0x80) {
        out.append(char((value & 0x7f) | 0x80));
        value >>= 7;
    }
    out.append(char(value));
}

// Reads a block's bytes front to back; any read past its end makes it bad for good.
class BlockReader {
public:
    explicit BlockReader(QByteArrayView bytes) : p_(bytes.data()), end_(p_ + bytes.size()) {}
    bool ok() const { return ok_; }
    bool atEnd() const { return p_ == end_; }
    quint8 u8() {
        if (!need(1))
            return 0;
        return quint8(*p_++);
    }
    quint16 u16() {
        if (!need(2))
            return 0;
        const quint16 v = qFromLittleEndian<quint16>(p_);
        p_ += 2;
        return v;
    }
    quint64 u64() {
        if (!need(8))
            return 0;
        const quint64 v = qFromLittleEndian<quint64>(p_);
        p_ += 8;
        return v;
    }
    quint64 varint() {
        quint64 value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (!need(1))
                return 0;
            const quint8 byte = quint8(*p_++);
            value |= quint64(byte & 0x7f) << shift;
            if (!(byte & 0x80))
                return value;
        }
        ok_ = false;
        return 0;
    }
    // The next name, front-coded against *name (which it replaces).
    bool name(QByteArray* name) {
        const quint64 shared = varint();
        const quint64 rest = varint();
        if (!ok_ || shared > quint64(name->size()) ||
            shared + rest > quint64(LinkIndexWriter::MaxNameBytes) || shared + rest == 0 ||
            !need(qsizetype(rest)))
            return ok_ = false;
        name->truncate(qsizetype(shared));
        name->append(p_, qsizetype(rest));
        p_ += rest;
        return true;
    }

private:
    bool need(qsizetype n) {
        if (!ok_ || end_ - p_ < n)
            return ok_ = false;
        return true;
    }
    const char* p_;
    const char* end_;
    bool ok_ = true;
};

// ---- The checksum of a block, seeded with the file's build number ----

quint64 mix(quint64 x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

quint64 checksum(quint64 seed, const char* data, qsizetype size) {
    quint64 h = mix(seed ^ (quint64(size) * 0x9e3779b97f4a7c15ULL));
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        h ^= mix(qFromLittleEndian<quint64>(data + i));
        h = (h << 29 | h >> 35) * 0x9e3779b97f4a7c15ULL;
    }
    quint64 tail = 0;
    for (qsizetype k = 0; i + k < size; ++k)
        tail |= quint64(uchar(data[i + k])) << (8 * k);
    return mix(h ^ mix(tail + 1));
}

qsizetype commonPrefix(QByteArrayView a, QByteArrayView b) {
    const qsizetype n = std::min(a.size(), b.size());
    qsizetype i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

bool validName(QByteArrayView name) {
    return !name.isEmpty() && name.size() <= LinkIndexWriter::MaxNameBytes && !name.contains('\0');
}

qint64 nanoseconds(const struct timespec& t) {
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Reads exactly `size` bytes at `offset`; false on a short read or an error.
bool readExactly(int fd, quint64 offset, char* out, qsizetype size) {
    qsizetype done = 0;
    while (done < size) {
        const ssize_t got = ::pread(fd, out + done, size_t(size - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        done += got;
    }
    return true;
}

} // namespace

int graphNameOrder(QByteArrayView a, QByteArrayView b, NameOrder order) {
    const qsizetype common = std::min(a.size(), b.size());
    if (common > 0)
        if (const int c = std::memcmp(a.data(), b.data(), size_t(common)); c != 0)
            return c;
    if (a.size() == b.size())
        return 0;
    const bool aShorter = a.size() < b.size();
    if (order == NameOrder::Bytes)
        return aShorter ? -1 : 1;
    // One is the start of the other: compare the shorter one's dot with the longer one's byte.
    const uchar next = uchar(aShorter ? b[common] : a[common]);
    const int dotFirst = uchar('.') < next ? -1 : (uchar('.') > next ? 1 : -1);
    return aShorter ? dotFirst : -dotFirst;
}

QString measureKey(GraphMeasure measure) {
    switch (measure) {
    case GraphMeasure::HarmonicRank:
        return QStringLiteral("harmonic-rank");
    case GraphMeasure::PageRankRank:
        return QStringLiteral("pagerank-rank");
    case GraphMeasure::LinkingDomains:
        break;
    }
    return QStringLiteral("linking-domains");
}

bool measureFromKey(const QString& key, GraphMeasure* measure) {
    for (int m = 0; m < GraphMeasureCount; ++m)
        if (key.compare(measureKey(GraphMeasure(m)), Qt::CaseInsensitive) == 0) {
            *measure = GraphMeasure(m);
            return true;
        }
    return false;
}

// ---- Reading ----

LinkIndex::~LinkIndex() {
    if (fd_ >= 0)
        ::close(fd_);
}

namespace {

// The "*.links" files of a folder, the most recently made first.
QFileInfoList indexFilesIn(const QString& folder) {
    return QDir(folder).entryInfoList({QStringLiteral("*.links")}, QDir::Files, QDir::Time);
}

} // namespace

QList<std::shared_ptr<const LinkIndex>> LinkIndex::allIn(const QString& folder,
                                                         GraphMeasure measure) {
    QList<std::shared_ptr<const LinkIndex>> found;
    for (const QFileInfo& file : indexFilesIn(folder))
        if (std::shared_ptr<const LinkIndex> index = open(file.filePath());
            index && index->has(measure))
            found << index;
    return found;
}

std::shared_ptr<const LinkIndex> LinkIndex::newestIn(const QString& folder, GraphMeasure measure,
                                                     QString* problem) {
    for (const QFileInfo& file : indexFilesIn(folder))
        if (std::shared_ptr<const LinkIndex> index = open(file.filePath());
            index && index->has(measure))
            return index;
    if (problem)
        *problem =
            Text::tr("no link index with %1 in %2 (tallyscope-graph fetch --latest%3 --out %2 "
                     "makes one)")
                .arg(measureKey(measure), QDir::toNativeSeparators(folder),
                     measure == GraphMeasure::LinkingDomains ? QString()
                                                             : QStringLiteral(" --ranks"));
    return nullptr;
}

std::shared_ptr<const LinkIndex> LinkIndex::open(const QString& path, QString* problem) {
    std::shared_ptr<LinkIndex> index(new LinkIndex);
    if (!index->load(path, problem))
        return nullptr;
    return index;
}

bool LinkIndex::load(const QString& path, QString* problem) {
    auto fail = [problem](const QString& why) {
        if (problem)
            *problem = why;
        return false;
    };
    path_ = path;
    const QByteArray encoded = QFile::encodeName(path);
    fd_ = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            return fail(Text::tr("there is no file %1").arg(path));
        return fail(
            Text::tr("%1 cannot be read: %2").arg(path, QString::fromLocal8Bit(strerror(error))));
    }
    struct stat st;
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode))
        return fail(Text::tr("%1 is not a regular file").arg(path));
    fileSize_ = quint64(st.st_size);
    modifiedNs_ = nanoseconds(st.st_mtim);

    const QString notIndex = Text::tr("%1 is not a link index made by tallyscope-graph");
    const QString damaged = Text::tr("%1 is damaged (its header does not fit the file)");
    char header[LinkIndexWriter::HeaderSize];
    if (fileSize_ < LinkIndexWriter::HeaderSize || !readExactly(fd_, 0, header, sizeof header))
        return fail(notIndex.arg(path));
    if (std::memcmp(header, OlderMagic, sizeof OlderMagic) == 0)
        return fail(Text::tr("%1 is a link index of an older tallyscope-graph: import the release "
                             "again")
                        .arg(path));
    if (std::memcmp(header, Magic, sizeof Magic) != 0)
        return fail(notIndex.arg(path));
    header_ = QByteArray(header, sizeof header);
    auto u32 = [&header](int at) { return qFromLittleEndian<quint32>(header + at); };
    auto u64 = [&header](int at) { return qFromLittleEndian<quint64>(header + at); };
    if (u32(8) != Version)
        return fail(Text::tr("%1 is a link index of another version").arg(path));
    const quint32 level = u32(12);
    const quint32 order = u32(16);
    measures_ = u32(20);
    recordCount_ = u64(24);
    seed_ = u64(32);
    const quint64 rootOffset = u64(40);
    const quint32 rootSize = u32(48);
    levels_ = u32(52);
    const quint32 releaseSize = u32(56);
    const quint64 statedSize = u64(64);
    const quint64 rootChecksum = u64(72);
    const quint64 headerChecksum = u64(HeaderChecked);
    if (releaseSize > MaxReleaseBytes || statedSize != fileSize_ ||
        LinkIndexWriter::HeaderSize + releaseSize > fileSize_)
        return fail(damaged.arg(path));
    QByteArray checked(header, HeaderChecked);
    QByteArray release(qsizetype(releaseSize), '\0');
    if (!readExactly(fd_, LinkIndexWriter::HeaderSize, release.data(), release.size()))
        return fail(damaged.arg(path));
    checked += release;
    const bool sound = checksum(0, checked.constData(), checked.size()) == headerChecksum &&
                       level <= 1 && order <= 1 && measures_ != 0 && measures_ < 8 &&
                       levels_ >= 1 && levels_ <= MaxLevels && rootSize <= MaxBlockBytes &&
                       rootOffset >= LinkIndexWriter::HeaderSize + releaseSize &&
                       rootOffset <= fileSize_ && rootSize <= fileSize_ - rootOffset;
    if (!sound)
        return fail(damaged.arg(path));
    level_ = GraphLevel(level);
    order_ = NameOrder(order);
    release_ = QString::fromUtf8(release);
    if (readBlock(rootOffset, rootSize, rootChecksum, &root_) != Lookup::Status::Found)
        return fail(damaged.arg(path));
    return true;
}

bool LinkIndex::unchanged() const {
    struct stat st;
    // Not the status change time: it moves when the file is renamed away, which leaves the
    // open file as it was.
    return ::fstat(fd_, &st) == 0 && quint64(st.st_size) == fileSize_ &&
           nanoseconds(st.st_mtim) == modifiedNs_;
}

bool LinkIndex::rewritten() const {
    // The times may not have moved yet (they tick in milliseconds), the header has: another
    // index has another build number.
    char header[LinkIndexWriter::HeaderSize];
    return !unchanged() || !readExactly(fd_, 0, header, sizeof header) ||
           QByteArrayView(header, sizeof header) != header_;
}

LinkIndex::Lookup::Status LinkIndex::readBlock(quint64 offset, quint32 size, quint64 sum,
                                               QByteArray* block) const {
    if (size > MaxBlockBytes || size < 3)
        return Lookup::Status::Damaged;
    block->resize(qsizetype(size));
    if (!readExactly(fd_, offset, block->data(), block->size()) ||
        checksum(seed_, block->constData(), block->size()) != sum)
        return rewritten() ? Lookup::Status::Changed : Lookup::Status::Damaged;
    return Lookup::Status::Found;
}

QString LinkIndex::countMeaning() const {
    return (level_ == GraphLevel::Hosts ? Text::tr("linking hosts in %1")
                                        : Text::tr("linking domains in %1"))
        .arg(release_);
}

LinkIndex::Lookup LinkIndex::find(QByteArrayView reversed) const {
    Lookup result;
    result.name = reversed.toByteArray();
    if (!validName(reversed))
        return result;
    auto finish = [this, &result](Lookup::Status status) {
        // Whatever the blocks said, a file that changed meanwhile gives no answer.
        result.status = unchanged() ? status : Lookup::Status::Changed;
        if (result.status != Lookup::Status::Found)
            result.values = {};
        return result;
    };
    QByteArray block = root_;
    QByteArray name;
    for (quint32 level = levels_ - 1;; --level) {
        BlockReader in(block);
        const quint8 kind = in.u8();
        const quint16 entries = in.u16();
        if (!in.ok() || kind != level)
            return finish(Lookup::Status::Damaged);
        name.clear();
        if (level == 0) {
            for (quint16 i = 0; i < entries; ++i) {
                if (!in.name(&name))
                    return finish(Lookup::Status::Damaged);
                GraphValues values{};
                for (int m = 0; m < GraphMeasureCount; ++m)
                    if (measures_ & (1u << m))
                        values[size_t(m)] = quint32(std::min<quint64>(in.varint(), 0xffffffffu));
                if (!in.ok())
                    return finish(Lookup::Status::Damaged);
                const int order = graphNameOrder(name, reversed, order_);
                if (order == 0) {
                    result.values = values;
                    return finish(Lookup::Status::Found);
                }
                if (order > 0)
                    break;
            }
            return finish(Lookup::Status::NotFound);
        }
        // The last child whose first name is not after the one looked for.
        bool found = false;
        quint64 offset = 0;
        quint64 size = 0;
        quint64 sum = 0;
        for (quint16 i = 0; i < entries; ++i) {
            if (!in.name(&name))
                return finish(Lookup::Status::Damaged);
            const quint64 childOffset = in.varint();
            const quint64 childSize = in.varint();
            const quint64 childSum = in.u64();
            if (!in.ok())
                return finish(Lookup::Status::Damaged);
            if (graphNameOrder(name, reversed, order_) > 0)
                break;
            found = true;
            offset = childOffset;
            size = childSize;
            sum = childSum;
        }
        if (!found)
            return finish(Lookup::Status::NotFound);
        if (size > MaxBlockBytes || offset > fileSize_ || size > fileSize_ - offset)
            return finish(Lookup::Status::Damaged);
        // Index blocks are kept once read (within a budget); the records' blocks are read each
        // time, and any change of the file since shows in them or in its times.
        if (level > 1 && cached(offset, &block))
            continue;
        const Lookup::Status read = readBlock(offset, quint32(size), sum, &block);
        if (read != Lookup::Status::Found)
            return finish(read);
        if (level > 1)
            keep(offset, block);
    }
}

bool LinkIndex::cached(quint64 offset, QByteArray* block) const {
    std::lock_guard lock(cacheMutex_);
    const auto it = cache_.find(offset);
    if (it == cache_.end())
        return false;
    *block = it->second;
    return true;
}

void LinkIndex::keep(quint64 offset, const QByteArray& block) const {
    std::lock_guard lock(cacheMutex_);
    if (cacheBytes_ + quint64(block.size()) > CacheBudget)
        return;
    if (cache_.emplace(offset, block).second)
        cacheBytes_ += quint64(block.size());
}

LinkIndex::Lookup LinkIndex::findUrl(const QString& url) const {
    QString problem;
    const QByteArray name = graphVertexOfUrl(url, level_, &problem);
    if (name.isEmpty()) {
        Lookup none;
        none.problem = problem;
        return none;
    }
    return find(name);
}

// ---- Writing ----

struct LinkIndexWriter::Level {
    QByteArray block;
    int entries = 0;
    QByteArray previousName; // the last name coded into the block
    QByteArray firstName;    // the block's first name, its entry in the level above
    quint64 blocksWritten = 0;
};

LinkIndexWriter::LinkIndexWriter(Sink& sink, const QString& release, GraphLevel level,
                                 NameOrder order, quint32 measures)
    : sink_(sink), release_(release.toUtf8().left(qsizetype(MaxReleaseBytes))), graphLevel_(level),
      order_(order), measures_(measures & 7u), seed_(QRandomGenerator::system()->generate64()) {
    if (measures_ == 0)
        measures_ = measureBit(GraphMeasure::LinkingDomains);
    levels_.resize(1);
    const QByteArray start = QByteArray(qsizetype(HeaderSize), '\0') + release_;
    failed_ = !sink_.append(start.constData(), start.size());
    position_ = quint64(start.size());
}

LinkIndexWriter::~LinkIndexWriter() = default;

bool LinkIndexWriter::add(QByteArrayView name, const GraphValues& values) {
    if (failed_ || !validName(name) ||
        (records_ > 0 && graphNameOrder(lastName_, name, order_) >= 0))
        return false;
    Level& data = levels_[0];
    if (data.entries == 0) {
        data.block.clear();
        data.block.append('\0');      // level 0
        data.block.append("\0\0", 2); // the number of records, when known
        data.previousName.truncate(0);
        data.firstName = name.toByteArray();
    }
    const qsizetype shared = commonPrefix(data.previousName, name);
    appendVarint(data.block, quint64(shared));
    appendVarint(data.block, quint64(name.size() - shared));
    data.block.append(name.data() + shared, name.size() - shared);
    for (int m = 0; m < GraphMeasureCount; ++m)
        if (measures_ & (1u << m))
            appendVarint(data.block, values[size_t(m)]);
    // Copied into the buffers they have: no new one for each name.
    for (QByteArray* copy : {&data.previousName, &lastName_}) {
        copy->resize(name.size());
        std::memcpy(copy->data(), name.data(), size_t(name.size()));
    }
    ++data.entries;
    ++records_;
    if (data.entries == RecordsPerBlock && !flushLevel(0))
        return false;
    return true;
}

bool LinkIndexWriter::appendBlock(const QByteArray& block, quint64* offset, quint64* sum) {
    *offset = position_;
    *sum = checksum(seed_, block.constData(), block.size());
    if (!sink_.append(block.constData(), block.size()))
        return !(failed_ = true);
    position_ += quint64(block.size());
    return true;
}

bool LinkIndexWriter::flushLevel(size_t level) {
    if (levels_[level].entries == 0)
        return true;
    quint64 offset = 0;
    quint64 sum = 0;
    {
        Level& full = levels_[level];
        putU16(full.block, 1, quint16(full.entries));
        if (!appendBlock(full.block, &offset, &sum))
            return false;
    }
    const QByteArray first = levels_[level].firstName;
    const qsizetype size = levels_[level].block.size();
    ++levels_[level].blocksWritten;
    levels_[level].entries = 0;
    if (levels_.size() == level + 1)
        levels_.resize(level + 2);
    Level& parent = levels_[level + 1];
    if (parent.entries == 0) {
        parent.block.clear();
        parent.block.append(char(level + 1));
        parent.block.append("\0\0", 2);
        parent.previousName.clear();
        parent.firstName = first;
    }
    const qsizetype shared = commonPrefix(parent.previousName, first);
    appendVarint(parent.block, quint64(shared));
    appendVarint(parent.block, quint64(first.size() - shared));
    parent.block.append(first.constData() + shared, first.size() - shared);
    appendVarint(parent.block, offset);
    appendVarint(parent.block, quint64(size));
    appendU64(parent.block, sum);
    parent.previousName = first;
    ++parent.entries;
    if (parent.entries == ChildrenPerBlock)
        return flushLevel(level + 1);
    return true;
}

bool LinkIndexWriter::finish() {
    if (failed_)
        return false;
    size_t level = 0;
    while (!(level + 1 == levels_.size() && levels_[level].blocksWritten == 0)) {
        if (!flushLevel(level))
            return false;
        ++level;
    }
    // Everything left is in this level's one block: the root.
    Level& top = levels_[level];
    if (top.entries == 0) { // no record at all
        top.block = QByteArray(3, '\0');
        top.block[0] = char(level);
    } else {
        putU16(top.block, 1, quint16(top.entries));
    }
    quint64 rootOffset = 0;
    quint64 rootSum = 0;
    if (!appendBlock(top.block, &rootOffset, &rootSum))
        return false;

    char header[HeaderSize] = {};
    std::memcpy(header, Magic, sizeof Magic);
    putU32(header + 8, Version);
    putU32(header + 12, quint32(graphLevel_));
    putU32(header + 16, quint32(order_));
    putU32(header + 20, measures_);
    putU64(header + 24, records_);
    putU64(header + 32, seed_);
    putU64(header + 40, rootOffset);
    putU32(header + 48, quint32(top.block.size()));
    putU32(header + 52, quint32(level + 1));
    putU32(header + 56, quint32(release_.size()));
    putU64(header + 64, position_);
    putU64(header + 72, rootSum);
    const QByteArray checked = QByteArray(header, HeaderChecked) + release_;
    putU64(header + HeaderChecked, checksum(0, checked.constData(), checked.size()));
    if (!sink_.overwrite(0, header, sizeof header))
        return !(failed_ = true);
    return true;
}

// ---- Building small indexes in memory ----

bool LinkIndexBytes::append(const char* data, qsizetype size) {
    bytes.append(data, size);
    return true;
}

bool LinkIndexBytes::overwrite(quint64 offset, const char* data, qsizetype size) {
    if (offset + quint64(size) > quint64(bytes.size()))
        return false;
    std::memcpy(bytes.data() + offset, data, size_t(size));
    return true;
}

LinkIndexBuilder::LinkIndexBuilder(const QString& release, GraphLevel level)
    : release_(release), level_(level) {}

void LinkIndexBuilder::add(QByteArrayView name, quint32 id) {
    records_.emplace_back(name.toByteArray(), id);
}

LinkIndexBuilder::Result LinkIndexBuilder::finish(const std::function<quint32(quint32)>& countOf) {
    std::stable_sort(records_.begin(), records_.end(), [](const auto& a, const auto& b) {
        return graphNameOrder(a.first, b.first, NameOrder::Bytes) < 0;
    });
    Result result;
    LinkIndexBytes sink;
    LinkIndexWriter writer(sink, release_, level_, NameOrder::Bytes,
                           measureBit(GraphMeasure::LinkingDomains));
    for (size_t i = 0; i < records_.size();) {
        GraphValues values{};
        values[0] = countOf(records_[i].second);
        size_t next = i + 1;
        for (; next < records_.size() && records_[next].first == records_[i].first; ++next) {
            values[0] = std::max(values[0], countOf(records_[next].second));
            ++result.duplicateNames;
        }
        if (writer.add(records_[i].first, values))
            ++result.records;
        i = next;
    }
    writer.finish();
    result.bytes = std::move(sink.bytes);
    records_.clear();
    return result;
}

} // namespace tally
