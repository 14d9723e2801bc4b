#include "core/linkgraph/link_index.h"

#include "core/linkgraph/domain_names.h"

#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace tally {

namespace {

constexpr char Magic[8] = {'T', 'L', 'N', 'K', 'I', 'D', 'X', '1'};
constexpr quint32 Version = 1;
constexpr quint32 MaxRecordsPerBlock = 4096;
constexpr qsizetype MaxNameBytes = 1024;

quint32 u32At(const uchar* p) {
    return qFromLittleEndian<quint32>(p);
}
quint64 u64At(const uchar* p) {
    return qFromLittleEndian<quint64>(p);
}
void putU32(char* p, quint32 value) {
    qToLittleEndian<quint32>(value, p);
}
void putU64(char* p, quint64 value) {
    qToLittleEndian<quint64>(value, p);
}

// The name that starts at an offset of a buffer whose names end in NUL.
QByteArrayView nameIn(const QByteArray& bytes, qsizetype at) {
    return QByteArrayView(bytes.constData() + at, qstrlen(bytes.constData() + at));
}

} // namespace

int graphNameOrder(QByteArrayView a, QByteArrayView b) {
    const qsizetype common = std::min(a.size(), b.size());
    if (common > 0)
        if (const int c = std::memcmp(a.data(), b.data(), size_t(common)); c != 0)
            return c;
    if (a.size() == b.size())
        return 0;
    // One is the start of the other: compare the shorter one's dot with the longer one's byte.
    const bool aShorter = a.size() < b.size();
    const uchar next = uchar(aShorter ? b[common] : a[common]);
    const int dotFirst = uchar('.') < next ? -1 : (uchar('.') > next ? 1 : -1);
    return aShorter ? dotFirst : -dotFirst;
}

// ---- Reading ----

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
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("there is no file %1").arg(path));
    if (!info.isFile())
        return fail(QStringLiteral("%1 is not a regular file").arg(path));
    file_.setFileName(path);
    if (!file_.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("%1 cannot be read: %2").arg(path, file_.errorString()));
    fileSize_ = quint64(file_.size());
    const QString notIndex = QStringLiteral("%1 is not a link index made by tallyscope-graph");
    if (fileSize_ < LinkIndexBuilder::HeaderSize)
        return fail(notIndex.arg(path));
    data_ = file_.map(0, qint64(fileSize_));
    if (!data_)
        return fail(QStringLiteral("%1 cannot be read: %2").arg(path, file_.errorString()));
    if (std::memcmp(data_, Magic, sizeof Magic) != 0)
        return fail(notIndex.arg(path));
    if (u32At(data_ + 8) != Version)
        return fail(QStringLiteral("%1 is a link index of another version").arg(path));
    const quint32 level = u32At(data_ + 12);
    recordCount_ = u64At(data_ + 16);
    recordsOffset_ = u64At(data_ + 24);
    recordsSize_ = u64At(data_ + 32);
    blocksOffset_ = u64At(data_ + 40);
    blockCount_ = u64At(data_ + 48);
    const quint32 releaseSize = u32At(data_ + 56);
    perBlock_ = u32At(data_ + 60);
    const quint64 header = LinkIndexBuilder::HeaderSize;
    const bool sound = level <= 1 && perBlock_ >= 1 && perBlock_ <= MaxRecordsPerBlock &&
                       releaseSize <= fileSize_ - header &&
                       recordsOffset_ == header + releaseSize &&
                       recordsSize_ <= fileSize_ - recordsOffset_ &&
                       blocksOffset_ == recordsOffset_ + recordsSize_ &&
                       blockCount_ <= (fileSize_ - blocksOffset_) / 8 &&
                       blockCount_ == (recordCount_ + perBlock_ - 1) / perBlock_ &&
                       recordCount_ <= recordsSize_ / 6;
    if (!sound)
        return fail(QStringLiteral("%1 is damaged (its header does not fit the file)").arg(path));
    level_ = GraphLevel(level);
    release_ = QString::fromUtf8(reinterpret_cast<const char*>(data_ + header), releaseSize);
    return true;
}

QString LinkIndex::countMeaning() const {
    return (level_ == GraphLevel::Hosts ? QStringLiteral("linking hosts in ")
                                        : QStringLiteral("linking domains in ")) +
           release_;
}

bool LinkIndex::recordAt(quint64 offset, QByteArrayView* name, quint64* countAt) const {
    if (offset >= recordsSize_)
        return false;
    const uchar* start = data_ + recordsOffset_ + offset;
    const quint64 left = recordsSize_ - offset;
    const auto* end = static_cast<const uchar*>(
        std::memchr(start, 0, size_t(std::min<quint64>(left, MaxNameBytes + 1))));
    if (!end || end == start || quint64(end - start) + 5 > left)
        return false;
    *name = QByteArrayView(reinterpret_cast<const char*>(start), end - start);
    *countAt = offset + quint64(end - start) + 1;
    return true;
}

LinkIndex::Lookup LinkIndex::find(QByteArrayView reversed) const {
    Lookup result;
    result.name = reversed.toByteArray();
    if (blockCount_ == 0 || reversed.isEmpty())
        return result;
    auto blockStart = [this](quint64 block) { return u64At(data_ + blocksOffset_ + 8 * block); };
    // The last block whose first name is not after the one looked for.
    quint64 low = 0;
    quint64 high = blockCount_;
    while (low < high) {
        const quint64 mid = low + (high - low) / 2;
        QByteArrayView first;
        quint64 countAt = 0;
        if (!recordAt(blockStart(mid), &first, &countAt)) {
            result.status = Lookup::Status::Damaged;
            return result;
        }
        if (graphNameOrder(first, reversed) <= 0)
            low = mid + 1;
        else
            high = mid;
    }
    if (low == 0)
        return result; // before the first name
    quint64 offset = blockStart(low - 1);
    for (quint32 i = 0; i < perBlock_ && offset < recordsSize_; ++i) {
        QByteArrayView name;
        quint64 countAt = 0;
        if (!recordAt(offset, &name, &countAt)) {
            result.status = Lookup::Status::Damaged;
            return result;
        }
        const int order = graphNameOrder(name, reversed);
        if (order == 0) {
            result.status = Lookup::Status::Found;
            result.count = u32At(data_ + recordsOffset_ + countAt);
            return result;
        }
        if (order > 0)
            break;
        offset = countAt + 4;
    }
    return result;
}

LinkIndex::Lookup LinkIndex::findUrl(const QString& url) const {
    Lookup result;
    const QList<QByteArray> names = graphNamesOfUrl(url);
    for (const QByteArray& name : names) {
        result = find(name);
        if (result.status != Lookup::Status::NotFound)
            return result;
    }
    result.name = names.isEmpty() ? QByteArray() : names.join(", ");
    return result;
}

// ---- Building ----

LinkIndexBuilder::LinkIndexBuilder(const QString& release, GraphLevel level) : level_(level) {
    const QByteArray name = release.toUtf8();
    bytes_ = QByteArray(qsizetype(HeaderSize), '\0');
    bytes_ += name;
    recordsOffset_ = quint64(bytes_.size());
}

void LinkIndexBuilder::add(QByteArrayView name, quint32 id) {
    const qsizetype at = bytes_.size();
    bytes_.append(name.data(), name.size());
    bytes_.append('\0');
    char field[4];
    putU32(field, id);
    bytes_.append(field, 4);
    if (inOrder_ && lastName_ >= 0 && graphNameOrder(nameIn(bytes_, lastName_), name) > 0)
        inOrder_ = false;
    lastName_ = at;
    ++records_;
}

LinkIndexBuilder::Result LinkIndexBuilder::finish(const std::function<quint32(quint32)>& countOf) {
    Result result;
    const qsizetype start = qsizetype(recordsOffset_);
    if (!inOrder_) {
        // Out of order: the records in name order into a second buffer.
        std::vector<qsizetype> offsets;
        offsets.reserve(size_t(records_));
        for (qsizetype at = start; at < bytes_.size();) {
            offsets.push_back(at);
            at += qstrlen(bytes_.constData() + at) + 5;
        }
        std::sort(offsets.begin(), offsets.end(), [this](qsizetype a, qsizetype b) {
            const int order = graphNameOrder(nameIn(bytes_, a), nameIn(bytes_, b));
            return order != 0 ? order < 0 : a < b;
        });
        QByteArray sorted;
        sorted.reserve(bytes_.size());
        sorted.append(bytes_.constData(), start);
        for (qsizetype at : offsets)
            sorted.append(bytes_.constData() + at, qstrlen(bytes_.constData() + at) + 5);
        offsets = {};
        bytes_ = std::move(sorted);
        result.sorted = true;
    }

    // One pass in place: counts in place of the ids, later records of a name dropped.
    char* data = bytes_.data();
    const qsizetype end = bytes_.size();
    std::vector<quint64> blocks;
    qsizetype write = start;
    qsizetype previousName = -1;
    qsizetype previousNameSize = 0;
    quint64 kept = 0;
    for (qsizetype read = start; read < end;) {
        const qsizetype nameSize = qstrlen(data + read);
        const qsizetype recordSize = nameSize + 5;
        const quint32 count = countOf(qFromLittleEndian<quint32>(data + read + nameSize + 1));
        if (previousName >= 0 && previousNameSize == nameSize &&
            std::memcmp(data + previousName, data + read, size_t(nameSize)) == 0) {
            char* field = data + previousName + nameSize + 1;
            putU32(field, std::max(qFromLittleEndian<quint32>(field), count));
            ++result.duplicateNames;
            read += recordSize;
            continue;
        }
        if (write != read)
            std::memmove(data + write, data + read, size_t(recordSize));
        putU32(data + write + nameSize + 1, count);
        if (kept % RecordsPerBlock == 0)
            blocks.push_back(quint64(write - start));
        previousName = write;
        previousNameSize = nameSize;
        write += recordSize;
        read += recordSize;
        ++kept;
    }
    bytes_.truncate(write);
    const quint64 recordsSize = quint64(write - start);
    const quint64 blocksOffset = quint64(bytes_.size());
    for (quint64 block : blocks) {
        char field[8];
        putU64(field, block);
        bytes_.append(field, 8);
    }

    char* header = bytes_.data();
    std::memcpy(header, Magic, sizeof Magic);
    putU32(header + 8, Version);
    putU32(header + 12, quint32(level_));
    putU64(header + 16, kept);
    putU64(header + 24, recordsOffset_);
    putU64(header + 32, recordsSize);
    putU64(header + 40, blocksOffset);
    putU64(header + 48, quint64(blocks.size()));
    putU32(header + 56, quint32(recordsOffset_ - HeaderSize));
    putU32(header + 60, RecordsPerBlock);

    result.records = kept;
    result.bytes = std::move(bytes_);
    bytes_.clear();
    records_ = 0;
    lastName_ = -1;
    inOrder_ = true;
    return result;
}

} // namespace tally
