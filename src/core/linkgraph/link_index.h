// The link index: for every domain (or host) of a web graph, the number of distinct domains that
// link to it. Written once by the graph import (tallyscope-graph), read by the scan's graph
// engines without loading it: the file is mapped and looked up in place.
//
// Layout (all numbers little-endian):
//   header, 64 bytes: "TLNKIDX1", u32 version (1), u32 level (0 domains, 1 hosts),
//     u64 record count, u64 records offset, u64 records size, u64 block index offset,
//     u64 block count, u32 release name size, u32 records per block
//   the release name (UTF-8), at offset 64
//   the records in name order: the reversed name, a NUL, a u32 count
//   the block index: the u64 offset (from the first record) of every RecordsPerBlock-th record
// Names are ordered as if each ended in a dot (graphNameOrder), the order the published vertex
// files use; a lookup finds its block by a binary search of the blocks' first names and reads at
// most one block.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace tally {

// <0, 0 or >0 as a comes before, is, or comes after b: bytes compared without sign, with a dot
// after each name, so that "ac.gov.ascension-island" comes before "ac.gov.ascension".
int graphNameOrder(QByteArrayView a, QByteArrayView b);

enum class GraphLevel { Domains = 0, Hosts = 1 };

class LinkIndex {
public:
    // The index in `path`, mapped; nothing when it cannot be used, and *problem says why.
    static std::shared_ptr<const LinkIndex> open(const QString& path, QString* problem = nullptr);

    QString releaseName() const { return release_; }
    GraphLevel level() const { return level_; }
    quint64 size() const { return recordCount_; }
    // "linking domains in <release>" (or "linking hosts in ...").
    QString countMeaning() const;

    struct Lookup {
        enum class Status { Found, NotFound, Damaged };
        Status status = Status::NotFound;
        quint32 count = 0;
        QByteArray name; // the vertex found, or the names tried
    };
    // The count of one reversed name.
    Lookup find(QByteArrayView reversedName) const;
    // The count of a URL: by its host, else by its registrable domain (graphNamesOfUrl).
    Lookup findUrl(const QString& url) const;

private:
    LinkIndex() = default;
    bool load(const QString& path, QString* problem);
    // The record at an offset in the records: its name, and the offset of its count.
    bool recordAt(quint64 offset, QByteArrayView* name, quint64* countAt) const;

    QFile file_;
    const uchar* data_ = nullptr;
    quint64 fileSize_ = 0;
    QString release_;
    GraphLevel level_ = GraphLevel::Domains;
    quint64 recordCount_ = 0;
    quint64 recordsOffset_ = 0;
    quint64 recordsSize_ = 0;
    quint64 blocksOffset_ = 0;
    quint64 blockCount_ = 0;
    quint32 perBlock_ = 0;
};

// Builds the bytes of a link index in one buffer, the records first in the order they come.
// Each record carries a vertex id until finish() puts its count in its place; records out of
// order are sorted then, and of several records of one name the first stays, with the largest
// count.
class LinkIndexBuilder {
public:
    static constexpr quint32 RecordsPerBlock = 64;
    static constexpr quint64 HeaderSize = 64;

    LinkIndexBuilder(const QString& release, GraphLevel level);

    // Adds a record (name: 1 to 1024 bytes, no NUL).
    void add(QByteArrayView name, quint32 id);
    quint64 recordCount() const { return records_; }
    // Whether the records so far came in name order.
    bool inOrder() const { return inOrder_; }
    // The bytes held so far.
    qsizetype bufferSize() const { return bytes_.size(); }

    struct Result {
        QByteArray bytes;
        quint64 records = 0;
        quint64 duplicateNames = 0;
        bool sorted = false; // the records had to be sorted
    };
    // The index, with countOf(id) for every record; the builder is empty afterwards.
    Result finish(const std::function<quint32(quint32 id)>& countOf);

private:
    QByteArray bytes_;
    quint64 recordsOffset_ = 0;
    quint64 records_ = 0;
    qsizetype lastName_ = -1; // offset of the last record's name
    bool inOrder_ = true;
    GraphLevel level_;
};

} // namespace tally
