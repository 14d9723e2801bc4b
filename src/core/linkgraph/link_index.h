// The link index: for every domain (or host) of a web graph, the number of distinct domains that
// link to it, and where the release has them, its harmonic-centrality and PageRank positions.
// Written once by the graph import (tallyscope-graph), read by the scan's graph engines.
//
// Reading is safe while the file is replaced or rewritten: the index is read with pread() from
// its open descriptor (never mapped, so a file cut short under the reader raises no SIGBUS), every
// block read is checked against the checksum its parent holds, seeded with the file's own build
// number, and the file's size and modification time (and after a block that does not check, its
// header) are compared with those it had when it was opened. A file
// replaced by a rename stays readable as it was; one rewritten in place fails its lookups with
// Status::Changed instead of giving a count that belongs to neither version.
//
// Layout (all numbers little-endian; "varint" is 7 bits a byte, low first):
//   header, 128 bytes: "TLNKIDX2", u32 version (2), u32 level (0 domains, 1 hosts), u32 name
//     order (0 plain bytes, 1 as if each name ended in a dot), u32 measures (bit 0 linking
//     domains, 1 harmonic-centrality position, 2 PageRank position), u64 records, u64 build
//     number, u64 root offset, u32 root size, u32 levels, u32 release name size, u32 reserved,
//     u64 file size, u64 root checksum; at 120 the u64 checksum of the header's first 120 bytes
//     and the release name
//   the release name (UTF-8), at offset 128
//   the blocks, children before parents, the root last:
//     data block (level 0): u8 0, u16 n, n records: varint bytes shared with the name before
//       (0 for the first), varint length of the rest, the rest, a varint per measure (0: none)
//     index block (level > 0): u8 level, u16 n, n children: their first name coded as above,
//       varint offset, varint size, u64 checksum
// A lookup reads one block per level below the root (which it keeps, as it keeps the other index
// blocks it reads, up to 8 MiB): a few reads of a few KiB, and for most lookups one.
#pragma once

#include "core/linkgraph/domain_names.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace tally {

// How the names of an index (and of the vertices file it was made from) are ordered: plain byte
// order (the graphs since 2022: "ac.gov.ascension" before "ac.gov.ascension-island"), or as if
// every name ended in a dot (earlier releases: "ac.gov.ascension-island" first).
enum class NameOrder { Bytes = 0, TrailingDot = 1 };

// <0, 0 or >0 as a comes before, is, or comes after b in that order (bytes compared unsigned).
int graphNameOrder(QByteArrayView a, QByteArrayView b, NameOrder order = NameOrder::TrailingDot);

// What an index can say about a vertex.
enum class GraphMeasure {
    LinkingDomains = 0, // distinct vertices linking to it (in-degree)
    HarmonicRank = 1,   // position by harmonic centrality, 1 the best
    PageRankRank = 2    // position by PageRank, 1 the best
};
inline constexpr int GraphMeasureCount = 3;
inline constexpr quint32 measureBit(GraphMeasure m) {
    return 1u << int(m);
}
// The names engines.ini uses for them: "linking-domains", "harmonic-rank", "pagerank-rank".
QString measureKey(GraphMeasure measure);
bool measureFromKey(const QString& key, GraphMeasure* measure);

using GraphValues = std::array<quint32, GraphMeasureCount>;

class LinkIndex {
public:
    ~LinkIndex();
    LinkIndex(const LinkIndex&) = delete;
    LinkIndex& operator=(const LinkIndex&) = delete;

    // The index in `path`, opened; nothing when it cannot be used, and *problem says why.
    static std::shared_ptr<const LinkIndex> open(const QString& path, QString* problem = nullptr);
    // The most recently made "*.links" file of `folder` that opens and holds `measure` (the one
    // an update fetched last); nothing, with *problem, when there is none.
    static std::shared_ptr<const LinkIndex> newestIn(const QString& folder, GraphMeasure measure,
                                                     QString* problem = nullptr);
    // Every index of `folder` that opens and holds `measure`, the most recently made first.
    static QList<std::shared_ptr<const LinkIndex>> allIn(const QString& folder,
                                                         GraphMeasure measure);

    QString path() const { return path_; }
    QString releaseName() const { return release_; }
    GraphLevel level() const { return level_; }
    NameOrder nameOrder() const { return order_; }
    quint64 size() const { return recordCount_; }
    quint32 measures() const { return measures_; }
    bool has(GraphMeasure m) const { return (measures_ & measureBit(m)) != 0; }
    // "linking domains in <release>" (or "linking hosts in ...").
    QString countMeaning() const;

    struct Lookup {
        enum class Status {
            Found,
            NotFound,
            Damaged, // the file holds something that is not an index's
            Changed  // the file was rewritten since it was opened
        };
        Status status = Status::NotFound;
        GraphValues values{}; // by GraphMeasure; 0 where the index has no value
        QByteArray name;      // the vertex looked for (found or not); empty when there was none
        QString problem;      // why there was no vertex to look for (a URL without a host...)
        quint32 count() const { return values[0]; }
        quint32 value(GraphMeasure m) const { return values[size_t(m)]; }
    };
    // The values of one vertex, by its reversed name.
    Lookup find(QByteArrayView reversedName) const;
    // The values of a URL's vertex at the index's level (graphVertexOfUrl): the exact host (a
    // host index) or the registrable domain (a domain index), never another vertex's.
    Lookup findUrl(const QString& url) const;

private:
    LinkIndex() = default;
    bool load(const QString& path, QString* problem);
    // The block at offset/size, checked; Damaged or Changed when it is not what its parent said.
    Lookup::Status readBlock(quint64 offset, quint32 size, quint64 checksum,
                             QByteArray* block) const;
    // Whether the file is as it was opened: by its size and times (cheap), and by those and its
    // header (after a block did not check).
    bool unchanged() const;
    bool rewritten() const;
    // Index blocks (above the records' blocks) read before, kept up to CacheBudget bytes.
    bool cached(quint64 offset, QByteArray* block) const;
    void keep(quint64 offset, const QByteArray& block) const;
    static constexpr quint64 CacheBudget = 8 * 1024 * 1024;

    int fd_ = -1;
    QString path_;
    QString release_;
    GraphLevel level_ = GraphLevel::Domains;
    NameOrder order_ = NameOrder::Bytes;
    quint32 measures_ = 0;
    quint64 recordCount_ = 0;
    quint64 seed_ = 0;
    quint32 levels_ = 0;
    QByteArray root_;
    QByteArray header_;
    mutable std::mutex cacheMutex_;
    mutable std::unordered_map<quint64, QByteArray> cache_;
    mutable quint64 cacheBytes_ = 0;
    // What fstat() said at opening.
    quint64 fileSize_ = 0;
    qint64 modifiedNs_ = 0;
    quint64 inode_ = 0;
};

// Writes a link index as its records come, in name order, with a constant amount of memory: one
// block per level is held until it is full. The bytes go to a sink: a file being written
// (AtomicFileWriter), or a buffer.
class LinkIndexWriter {
public:
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual bool append(const char* data, qsizetype size) = 0;
        // Rewrites bytes already appended (the header at the end).
        virtual bool overwrite(quint64 offset, const char* data, qsizetype size) = 0;
    };

    static constexpr int RecordsPerBlock = 64;
    static constexpr int ChildrenPerBlock = 128;
    static constexpr quint64 HeaderSize = 128;
    static constexpr qsizetype MaxNameBytes = 1024;

    // `measures`: the bits of the GraphMeasures the records carry.
    LinkIndexWriter(Sink& sink, const QString& release, GraphLevel level, NameOrder order,
                    quint32 measures);
    ~LinkIndexWriter();

    // Adds the next record. Names must come strictly in the order given (no name twice), 1 to
    // MaxNameBytes bytes without NUL; false when one does not, or the sink failed.
    bool add(QByteArrayView name, const GraphValues& values);
    // Writes the rest and the header; false when the sink failed.
    bool finish();
    quint64 records() const { return records_; }
    quint64 bytesWritten() const { return position_; }

private:
    struct Level;
    bool flushLevel(size_t level);
    bool appendBlock(const QByteArray& block, quint64* offset, quint64* checksum);

    Sink& sink_;
    QByteArray release_;
    GraphLevel graphLevel_;
    NameOrder order_;
    quint32 measures_;
    quint64 seed_;
    quint64 position_ = 0;
    quint64 records_ = 0;
    QByteArray lastName_;
    std::vector<Level> levels_;
    bool failed_ = false;
};

// A sink that keeps the index's bytes in memory (a small index, a test's).
class LinkIndexBytes : public LinkIndexWriter::Sink {
public:
    bool append(const char* data, qsizetype size) override;
    bool overwrite(quint64 offset, const char* data, qsizetype size) override;
    QByteArray bytes;
};

// A small index made in memory from records in any order (tests, a handful of names): of several
// records of one name the first stays, with the largest count.
class LinkIndexBuilder {
public:
    LinkIndexBuilder(const QString& release, GraphLevel level);

    // Adds a record (name: 1 to 1024 bytes, no NUL) with the id its count is asked for by.
    void add(QByteArrayView name, quint32 id);
    quint64 recordCount() const { return quint64(records_.size()); }

    struct Result {
        QByteArray bytes;
        quint64 records = 0;
        quint64 duplicateNames = 0;
    };
    // The index, with countOf(id) for every record; the builder is empty afterwards.
    Result finish(const std::function<quint32(quint32 id)>& countOf);

private:
    QString release_;
    GraphLevel level_;
    std::vector<std::pair<QByteArray, quint32>> records_;
};

} // namespace tally
