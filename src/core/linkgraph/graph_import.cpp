#include "core/linkgraph/graph_import.h"

#include "core/files/safe_file.h"
#include "core/linkgraph/gzip_lines.h"
#include "core/numbers/numbers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace tally {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(GraphImport)
};

// The count of an id that has no vertex.
constexpr quint32 NoVertex = 0xFFFFFFFFu;
// The largest count kept; more links count no further.
constexpr quint32 MostLinks = 0xFFFFFFFEu;
// Ids are numbered from 0: an id this far beyond the vertex lines read so far is no id.
constexpr quint64 IdSlack = 1u << 20;
constexpr qsizetype MaxNameBytes = LinkIndexWriter::MaxNameBytes;

// A vertex name: printable ASCII or UTF-8 bytes, no blanks or control characters, and a first
// label (the top-level domain, in reverse notation) that is not a number: so that an id, a
// position or a value of another file never passes for a name. *upper: it holds capitals.
bool isVertexName(QByteArrayView name, bool* upper) {
    if (name.isEmpty() || name.size() > MaxNameBytes)
        return false;
    bool firstLabel = true;
    bool firstLabelDigits = true;
    *upper = false;
    for (char c : name) {
        const uchar u = uchar(c);
        if (u <= 0x20 || u == 0x7f)
            return false;
        if (c >= 'A' && c <= 'Z')
            *upper = true;
        if (firstLabel) {
            if (c == '.')
                firstLabel = false;
            else if (c < '0' || c > '9')
                firstLabelDigits = false;
        }
    }
    return !firstLabelDigits;
}

// The name in lower case (in `buffer` when it held capitals): names are looked up in lower case.
QByteArrayView lowered(QByteArrayView name, bool upper, QByteArray* buffer) {
    if (!upper)
        return name;
    *buffer = name.toByteArray().toLower();
    return *buffer;
}

// Splits a line at its tabs into up to `max` fields; the number of fields it has (max + 1 when it
// has more).
int splitFields(QByteArrayView line, QByteArrayView* fields, int max) {
    int n = 0;
    const char* p = line.data();
    const char* end = p + line.size();
    for (;;) {
        const auto* tab = static_cast<const char*>(std::memchr(p, '\t', size_t(end - p)));
        if (n == max)
            return max + 1;
        fields[n++] = QByteArrayView(p, (tab ? tab : end) - p);
        if (!tab)
            return n;
        p = tab + 1;
    }
}

bool isPlainNumber(QByteArrayView text) {
    return readPlainIndex(text).has_value();
}

// What a line that did not read looks like: hints for the message when a whole file does not
// read as what it was given as.
struct Lookalikes {
    quint64 edges = 0;    // "<number>\t<number>"
    quint64 vertices = 0; // "<number>\t<name>[\t<number>]"
    quint64 ranks = 0;    // five or six fields, or a "#harmonicc_pos" header
    bool ranksHeader = false;

    void note(QByteArrayView line) {
        if (line.startsWith("#harmonicc_pos")) {
            ranksHeader = true;
            return;
        }
        QByteArrayView f[7];
        const int n = splitFields(line, f, 6);
        bool upper = false;
        if (n == 2 && isPlainNumber(f[0]) && isPlainNumber(f[1]))
            ++edges;
        else if ((n == 2 || n == 3) && isPlainNumber(f[0]) && isVertexName(f[1], &upper))
            ++vertices;
        else if ((n == 5 || n == 6) && isPlainNumber(f[0]))
            ++ranks;
    }
    // " (it looks like ...)" for the likeliest other kind, or nothing.
    QString hint(quint64 unread, const char* given) const {
        const QString as = QLatin1String(given);
        if (ranksHeader || (ranks * 2 > unread && as != QLatin1String("ranks")))
            return Text::tr(" (it looks like a ranks file: give it with --ranks)");
        if (edges * 2 > unread && as != QLatin1String("edges"))
            return Text::tr(
                " (it looks like an edges file: are the vertices and edges files swapped?)");
        if (vertices * 2 > unread && as != QLatin1String("vertices"))
            return Text::tr(
                " (it looks like a vertices file: are the files given in the wrong order?)");
        return QString();
    }
};

// What a file given as `kind` ("vertices") and reading as that only in part is told.
QString unreadable(const QString& file, const char* kind, const char* layout, quint64 good,
                   quint64 lines, const Lookalikes& lookalikes) {
    const QString as = QLatin1String(kind) == QLatin1String("edges")
                           ? Text::tr("an edges file")
                           : Text::tr("a %1 file").arg(QLatin1String(kind));
    return Text::tr("%1 does not read as %2: %3 of its %4 lines are \"%5\"%6")
        .arg(file, as, QString::number(good), QString::number(lines), QLatin1String(layout),
             lookalikes.hint(lines - good, kind));
}

bool tooFewRead(quint64 good, quint64 lines) {
    return lines == 0 || double(good) < MinimumReadShare * double(lines);
}

bool tooManyUnknown(quint64 unknown, quint64 all) {
    return double(unknown) > MaximumUnknownShare * double(all);
}

// Reports progress about once a second, and tells when the import is to stop.
class Pacer {
public:
    Pacer(const GraphImportProgressFn& report, GraphImportProgress::Phase phase,
          const std::atomic<bool>* cancel)
        : report_(report), cancel_(cancel) {
        progress_.phase = phase;
        clock_.start();
    }
    // False when the import is cancelled.
    bool line(const GzipLineReader& reader) {
        if ((++progress_.lines & 0xffff) != 0)
            return true;
        if (cancel_ && cancel_->load(std::memory_order_relaxed))
            return false;
        if (report_ && clock_.elapsed() - last_ >= 1000) {
            last_ = clock_.elapsed();
            send(reader);
        }
        return true;
    }
    void send(const GzipLineReader& reader) {
        if (!report_)
            return;
        progress_.bytesRead = reader.bytesRead();
        progress_.fileSize = reader.fileSize();
        progress_.elapsedMs = clock_.elapsed();
        report_(progress_);
    }

private:
    const GraphImportProgressFn& report_;
    const std::atomic<bool>* cancel_;
    GraphImportProgress progress_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
};

void putVarint(char*& p, quint64 value) {
    while (value >= 0x80) {
        *p++ = char((value & 0x7f) | 0x80);
        value >>= 7;
    }
    *p++ = char(value);
}

quint64 takeVarint(const char*& p) {
    quint64 value = 0;
    for (int shift = 0;; shift += 7) {
        const quint8 byte = quint8(*p++);
        value |= quint64(byte & 0x7f) << shift;
        if (!(byte & 0x80))
            return value;
    }
}

// The vertex names in the order they came, front-coded (each as the bytes it shares with the
// name before and the rest) in pages of 4 MiB, which grow without ever being copied. Every 64th
// name is written whole, so that a sorted table can be searched. A record's id is its position
// unless the vertices file numbered them otherwise.
class NameTable {
public:
    static constexpr qsizetype PageSize = 4 * 1024 * 1024;
    static constexpr quint64 BlockRecords = 64;

    void add(QByteArrayView name, quint32 id) {
        if (records_ > 0) {
            const int byteOrder = graphNameOrder(last_, name, NameOrder::Bytes);
            if (byteOrder > 0)
                byteOrdered_ = false;
            if (byteOrder != 0 && graphNameOrder(last_, name, NameOrder::TrailingDot) > 0)
                dotOrdered_ = false;
        }
        if (!ids_.empty() || id != records_) {
            if (ids_.empty())
                for (quint64 r = 0; r < records_; ++r)
                    ids_.push_back(quint32(r));
            ids_.push_back(id);
        }
        maxId_ = std::max(maxId_, id);
        const bool head = records_ % BlockRecords == 0;
        qsizetype shared = 0;
        if (!head) {
            const qsizetype n = std::min(last_.size(), name.size());
            while (shared < n && last_[shared] == name[shared])
                ++shared;
        }
        if (pages_.empty() || PageSize - used_.back() < MaxNameBytes + 32) {
            pages_.push_back(std::unique_ptr<char[]>(new char[size_t(PageSize)])); // not cleared
            used_.push_back(0);
        }
        if (head)
            heads_.push_back(quint64(pages_.size() - 1) * PageSize + quint64(used_.back()));
        char* start = pages_.back().get() + used_.back();
        char* p = start;
        putVarint(p, quint64(shared));
        putVarint(p, quint64(name.size() - shared));
        std::memcpy(p, name.data() + shared, size_t(name.size() - shared));
        p += name.size() - shared;
        used_.back() += p - start;
        last_.truncate(shared);
        last_.append(name.data() + shared, name.size() - shared);
        ++records_;
    }

    quint64 size() const { return records_; }
    bool identityIds() const { return ids_.empty(); }
    quint32 idOf(quint64 record) const { return ids_.empty() ? quint32(record) : ids_[record]; }
    quint32 maxId() const { return maxId_; }
    bool sorted() const { return byteOrdered_ || dotOrdered_; }
    NameOrder order() const { return byteOrdered_ ? NameOrder::Bytes : NameOrder::TrailingDot; }

    // Reads the records in order.
    class Cursor {
    public:
        explicit Cursor(const NameTable& table, quint64 from = 0) : table_(table) {
            if (from < table.records_) {
                const quint64 head = table.heads_[from / BlockRecords];
                page_ = size_t(head / PageSize);
                offset_ = qsizetype(head % PageSize);
                record_ = from - from % BlockRecords;
                while (record_ < from)
                    next();
            } else {
                record_ = table.records_;
            }
        }
        bool next() {
            if (record_ == table_.records_)
                return false;
            if (offset_ == table_.used_[page_]) {
                ++page_;
                offset_ = 0;
            }
            const char* start = table_.pages_[page_].get() + offset_;
            const char* p = start;
            const quint64 shared = takeVarint(p);
            const quint64 rest = takeVarint(p);
            name_.truncate(qsizetype(shared));
            name_.append(p, qsizetype(rest));
            offset_ += (p - start) + qsizetype(rest);
            ++record_;
            return true;
        }
        const QByteArray& name() const { return name_; }
        quint64 record() const { return record_ - 1; }

    private:
        const NameTable& table_;
        size_t page_ = 0;
        qsizetype offset_ = 0;
        quint64 record_ = 0;
        QByteArray name_;
    };

    // The first record of a name, in a sorted table.
    std::optional<quint64> find(QByteArrayView name) const {
        const NameOrder o = order();
        // The last block whose first name is not after the name.
        quint64 low = 0;
        quint64 high = heads_.size();
        while (low < high) {
            const quint64 mid = low + (high - low) / 2;
            if (graphNameOrder(headName(mid), name, o) < 0)
                low = mid + 1;
            else
                high = mid;
        }
        // Names equal to it may end the block before.
        quint64 block = low > 0 ? low - 1 : 0;
        for (Cursor cursor(*this, block * BlockRecords); cursor.next();) {
            const int order = graphNameOrder(cursor.name(), name, o);
            if (order == 0)
                return cursor.record();
            if (order > 0)
                break;
        }
        return std::nullopt;
    }

    // Puts the records in plain byte order (names that came in neither order).
    void sortByBytes() {
        std::vector<std::pair<QByteArray, quint32>> all;
        all.reserve(size_t(records_));
        for (Cursor cursor(*this); cursor.next();)
            all.emplace_back(cursor.name(), idOf(cursor.record()));
        std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) {
            return graphNameOrder(a.first, b.first, NameOrder::Bytes) < 0;
        });
        *this = NameTable();
        for (const auto& [name, id] : all)
            add(name, id);
    }

private:
    QByteArrayView headName(quint64 block) const {
        const quint64 at = heads_[block];
        const char* p = pages_[size_t(at / PageSize)].get() + at % PageSize;
        takeVarint(p); // 0: nothing shared
        const quint64 size = takeVarint(p);
        return QByteArrayView(p, qsizetype(size));
    }

    std::vector<std::unique_ptr<char[]>> pages_;
    std::vector<qsizetype> used_;
    std::vector<quint64> heads_; // where every 64th record starts (page * PageSize + offset)
    std::vector<quint32> ids_;   // empty while every record's id is its position
    QByteArray last_;
    quint64 records_ = 0;
    quint32 maxId_ = 0;
    bool byteOrdered_ = true;
    bool dotOrdered_ = true;
};

// Counts each from id's distinct targets once, whatever the order they are listed in: targets
// listed in rising order (the published layout) are counted as they come; any other is kept
// until the from id's edges end and counted then unless it was counted already.
class LinkCounter {
public:
    LinkCounter(std::vector<quint32>& counts, GraphImportReport& report)
        : counts_(counts), report_(report) {}

    void edge(quint32 from, quint32 to) {
        if (from != from_ || !started_) {
            close();
            if (started_ && from < from_)
                ++report_.fromIdsOutOfOrder;
            started_ = true;
            from_ = from;
            haveLast_ = false;
            targets_.clear();
        }
        if (from == to) {
            ++report_.selfLinks;
        } else if (!haveLast_ || to > lastTo_) {
            count(to);
            lastTo_ = to;
            haveLast_ = true;
            targets_.push_back(to);
        } else if (to == lastTo_) {
            ++report_.repeatedEdges;
        } else {
            late_.push_back(to);
        }
    }

    // The targets that came out of order, once the from id's edges are over.
    void close() {
        if (late_.empty())
            return;
        std::sort(late_.begin(), late_.end());
        for (size_t i = 0; i < late_.size(); ++i) {
            if ((i > 0 && late_[i] == late_[i - 1]) ||
                std::binary_search(targets_.begin(), targets_.end(), late_[i]))
                ++report_.repeatedEdges;
            else
                count(late_[i]);
        }
        late_.clear();
    }

private:
    void count(quint32 to) {
        quint32& c = counts_[to];
        if (c < MostLinks)
            ++c;
        ++report_.links;
    }

    std::vector<quint32>& counts_;
    GraphImportReport& report_;
    bool started_ = false;
    quint32 from_ = 0;
    bool haveLast_ = false;
    quint32 lastTo_ = 0;
    std::vector<quint32> targets_; // counted, in rising order
    std::vector<quint32> late_;    // listed after a larger target
};

class FileSink : public LinkIndexWriter::Sink {
public:
    explicit FileSink(AtomicFileWriter& file) : file_(file) {}
    bool append(const char* data, qsizetype size) override { return file_.write(data, size); }
    bool overwrite(quint64 offset, const char* data, qsizetype size) override {
        return file_.overwrite(qint64(offset), data, size);
    }

private:
    AtomicFileWriter& file_;
};

qint64 threadCpuMs() {
    timespec cpu{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
    return qint64(cpu.tv_sec) * 1000 + cpu.tv_nsec / 1000000;
}

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

QString sameFile(const QString& out, const QStringList& inputs) {
    const QString target = QFileInfo(out).canonicalFilePath();
    if (target.isEmpty())
        return QString();
    for (const QString& input : inputs)
        if (!input.isEmpty() && QFileInfo(input).canonicalFilePath() == target)
            return Text::tr("the index would replace %1, which it is made from: give another --out")
                .arg(input);
    return QString();
}

// Writes the table's records with their values (merging records of one name) to the index.
struct Values {
    const std::vector<quint32>* counts = nullptr;   // by id
    const std::vector<quint32>* harmonic = nullptr; // by record
    const std::vector<quint32>* pageRank = nullptr; // by record
};

bool writeIndex(const NameTable& table, const Values& values, quint32 measures,
                const QString& outFile, GraphImportReport& report,
                const GraphImportProgressFn& progress, const std::atomic<bool>* cancel) {
    if (progress) {
        GraphImportProgress writing;
        writing.phase = GraphImportProgress::Phase::Writing;
        progress(writing);
    }
    AtomicFileWriter file(outFile);
    if (const FileOutcome opened = file.open(); !opened) {
        report.error = Text::tr("%1 could not be written: %2").arg(outFile, opened.reason());
        return false;
    }
    FileSink sink(file);
    LinkIndexWriter writer(sink, report.release, report.level, table.order(), measures);
    auto better = [](quint32 a, quint32 b) { return a == 0 ? b : (b == 0 ? a : std::min(a, b)); };
    QByteArray pendingName;
    GraphValues pending{};
    bool havePending = false;
    auto flush = [&]() { return !havePending || writer.add(pendingName, pending); };
    for (NameTable::Cursor cursor(table); cursor.next();) {
        if ((cursor.record() & 0xffff) == 0 && cancelled(cancel)) {
            report.cancelled = true;
            report.error = Text::tr("cancelled; nothing was written");
            return false;
        }
        const quint64 record = cursor.record();
        const quint32 id = table.idOf(record);
        GraphValues v{};
        if (values.counts)
            v[0] = (*values.counts)[id];
        if (values.harmonic)
            v[1] = (*values.harmonic)[record];
        if (values.pageRank)
            v[2] = (*values.pageRank)[record];
        if (havePending && cursor.name() == pendingName) {
            pending[0] = std::max(pending[0], v[0]);
            pending[1] = better(pending[1], v[1]);
            pending[2] = better(pending[2], v[2]);
            ++report.repeatedNames;
            continue;
        }
        if (!flush())
            break;
        pendingName.resize(cursor.name().size()); // no new buffer for each name
        std::memcpy(pendingName.data(), cursor.name().constData(), size_t(cursor.name().size()));
        pending = v;
        havePending = true;
    }
    if (!flush() || !writer.finish()) {
        report.error =
            Text::tr("%1 could not be written: %2")
                .arg(outFile, file.reason().isEmpty() ? Text::tr("the names are out of order")
                                                      : file.reason());
        return false;
    }
    if (const FileOutcome committed = file.commit(); !committed) {
        report.error = Text::tr("%1 could not be written: %2").arg(outFile, committed.reason());
        return false;
    }
    report.vertices = writer.records();
    report.indexBytes = qint64(writer.bytesWritten());
    report.order = table.order();
    report.measures = measures;
    return true;
}

} // namespace

ReleaseOfFile releaseOfVerticesFile(const QString& path) {
    QString name = QFileInfo(path).fileName();
    for (const char* end : {".gz", ".txt", ".tsv", "-vertices", ".vertices", "-ranks", "-counts"})
        if (name.endsWith(QLatin1String(end), Qt::CaseInsensitive))
            name.chop(qsizetype(qstrlen(end)));
    ReleaseOfFile result;
    result.release = name;
    if (name.endsWith(QLatin1String("-domain"), Qt::CaseInsensitive)) {
        result.release.chop(7);
    } else if (name.endsWith(QLatin1String("-host"), Qt::CaseInsensitive)) {
        result.release.chop(5);
        result.level = GraphLevel::Hosts;
    }
    if (result.release.isEmpty())
        result.release = name;
    return result;
}

namespace {

// How the import ends when a step cannot go on; each returns false for the step to return.
bool failed(GraphImportReport& report, const QString& why) {
    report.ok = false;
    report.error = why;
    return false;
}

// A file that cannot be read on: its reason, and the file itself when it is damaged.
bool readFailed(GraphImportReport& report, const GzipLineReader& reader) {
    if (reader.damaged())
        report.damagedFile = reader.path();
    return failed(report, reader.error());
}

bool stopped(GraphImportReport& report) {
    report.cancelled = true;
    return failed(report, Text::tr("cancelled; nothing was written"));
}

// Vertices: the names in the order they come, with their ids.
bool readVertices(GzipLineReader& vertices, const GraphImportOptions& options,
                  const GraphImportProgressFn& progress, NameTable& table,
                  GraphImportReport& report) {
    Pacer pacer(progress, GraphImportProgress::Phase::Vertices, options.cancel);
    Lookalikes lookalikes;
    std::vector<bool> seen; // ids met, once the ids are not the lines' positions
    QByteArrayView line;
    bool tooLong = false;
    QByteArray lower;
    QByteArrayView fields[4];
    while (vertices.next(&line, &tooLong)) {
        ++report.vertexLines;
        if (!pacer.line(vertices))
            return stopped(report);
        const int n = tooLong ? 0 : splitFields(line, fields, 3);
        const std::optional<quint64> id =
            n == 2 || n == 3 ? readPlainIndex(fields[0]) : std::nullopt;
        bool upper = false;
        if (!id || *id >= MostLinks || *id > 2 * report.vertexLines + IdSlack ||
            !isVertexName(fields[1], &upper)) {
            ++report.malformedVertexLines;
            if (!tooLong)
                lookalikes.note(line);
            if (lookalikes.ranksHeader && report.vertexLines == 1)
                return failed(report,
                              Text::tr("%1 is a ranks file (harmonic centrality and PageRank "
                                       "positions), not a vertices file: give it with --ranks")
                                  .arg(options.verticesFile));
            continue;
        }
        if (*id != table.size() || !seen.empty()) {
            if (seen.empty())
                seen.assign(size_t(table.size()), true);
            if (*id >= seen.size())
                seen.resize(size_t(*id + 1), false);
            if (seen[size_t(*id)]) {
                ++report.repeatedIds;
                continue;
            }
            seen[size_t(*id)] = true;
        }
        table.add(lowered(fields[1], upper, &lower), quint32(*id));
    }
    if (!vertices.error().isEmpty())
        return readFailed(report, vertices);
    pacer.send(vertices);
    const quint64 good = report.vertexLines - report.malformedVertexLines;
    if (table.size() == 0 && report.vertexLines == 0)
        return failed(
            report,
            Text::tr("%1 holds no vertex (\"<id><tab><name>\" lines)").arg(options.verticesFile));
    if (tooFewRead(good, report.vertexLines))
        return failed(report,
                      unreadable(options.verticesFile, "vertices", "<id><TAB><reversed name>", good,
                                 report.vertexLines, lookalikes));
    return true;
}

// The counts by id; an id without a vertex is marked while the edges are read.
bool countEdges(GzipLineReader& edges, const NameTable& table, const GraphImportOptions& options,
                const GraphImportProgressFn& progress, std::vector<quint32>& counts,
                GraphImportReport& report) {
    const bool identity = table.identityIds();
    counts.assign(size_t(table.maxId()) + 1, identity ? 0 : NoVertex);
    if (!identity)
        for (quint64 r = 0; r < table.size(); ++r)
            counts[table.idOf(r)] = 0;
    Pacer pacer(progress, GraphImportProgress::Phase::Edges, options.cancel);
    Lookalikes lookalikes;
    LinkCounter counter(counts, report);
    const quint64 known = counts.size();
    // Edges go in batches, so that the counts they will touch are fetched from memory ahead.
    constexpr int Batch = 256;
    constexpr int Ahead = 16;
    quint32 batch[Batch][2];
    int queued = 0;
    auto flush = [&]() {
        for (int i = 0; i < queued; ++i) {
            if (i + Ahead < queued)
                __builtin_prefetch(&counts[batch[i + Ahead][1]], 1);
            counter.edge(batch[i][0], batch[i][1]);
        }
        queued = 0;
    };
    // Lines are read where they lie: "<digits>\t<digits>\n" in one pass; anything else is
    // looked at whole.
    const char* p = nullptr;
    const char* end = nullptr;
    while (edges.nextLines(&p, &end)) {
        while (p < end) {
            ++report.edgeLines;
            if (!pacer.line(edges))
                return stopped(report);
            quint64 from = 0;
            quint64 to = 0;
            const char* q = scanPlainIndex(p, end, &from);
            bool read = false;
            if (q && *q == '\t') {
                q = scanPlainIndex(q + 1, end, &to);
                if (q && *q == '\r')
                    ++q;
                read = q && *q == '\n';
            }
            if (!read) {
                const auto* lineEnd =
                    static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)));
                QByteArrayView line(p, lineEnd - p);
                if (line.endsWith('\r'))
                    line.chop(1);
                ++report.malformedEdgeLines;
                if (line.size() <= GzipLineReader::MaxLineLength)
                    lookalikes.note(line);
                p = lineEnd + 1;
                continue;
            }
            p = q + 1;
            if (from >= known || to >= known ||
                (!identity &&
                 (counts[size_t(from)] == NoVertex || counts[size_t(to)] == NoVertex))) {
                ++report.unknownIdEdges;
                continue;
            }
            batch[queued][0] = quint32(from);
            batch[queued][1] = quint32(to);
            if (++queued == Batch)
                flush();
        }
    }
    flush();
    counter.close();
    if (!edges.error().isEmpty())
        return readFailed(report, edges);
    pacer.send(edges);
    const quint64 good = report.edgeLines - report.malformedEdgeLines;
    if (report.edgeLines > 0 && tooFewRead(good, report.edgeLines))
        return failed(report, unreadable(options.edgesFile, "edges", "<from id><TAB><to id>", good,
                                         report.edgeLines, lookalikes));
    if (tooManyUnknown(report.unknownIdEdges, good))
        return failed(report,
                      Text::tr("%1 of the %2 edges in %3 name ids that %4 does not hold: are both "
                               "files of the same release?")
                          .arg(report.unknownIdEdges)
                          .arg(good)
                          .arg(options.edgesFile, options.verticesFile));
    if (!identity)
        for (quint32& c : counts)
            if (c == NoVertex)
                c = 0;
    return true;
}

// Ranks: each line's vertex found by its name.
bool readRanks(GzipLineReader& ranks, const NameTable& table, const GraphImportOptions& options,
               const GraphImportProgressFn& progress, std::vector<quint32>& harmonic,
               std::vector<quint32>& pageRank, GraphImportReport& report) {
    harmonic.assign(size_t(table.size()), 0);
    pageRank.assign(size_t(table.size()), 0);
    Pacer pacer(progress, GraphImportProgress::Phase::Ranks, options.cancel);
    Lookalikes lookalikes;
    quint64 headers = 0;
    QByteArrayView line;
    bool tooLong = false;
    QByteArrayView fields[7];
    QByteArray lower;
    // A position; "---" (a vertex the other ranking missed) is none.
    auto position = [](QByteArrayView text, bool* ok) -> quint32 {
        if (text == "---")
            return 0;
        const std::optional<quint64> p = readPlainIndex(text);
        *ok = *ok && p && *p >= 1 && *p <= 0xffffffffu;
        return p ? quint32(std::min<quint64>(*p, 0xffffffffu)) : 0;
    };
    while (ranks.next(&line, &tooLong)) {
        ++report.rankLines;
        if (!pacer.line(ranks))
            return stopped(report);
        if (!tooLong && line.startsWith('#')) {
            ++headers;
            continue;
        }
        const int n = tooLong ? 0 : splitFields(line, fields, 6);
        bool ok = n == 5 || n == 6;
        bool upper = false;
        const quint32 hc = ok ? position(fields[0], &ok) : 0;
        const quint32 pr = ok ? position(fields[2], &ok) : 0;
        ok = ok && isVertexName(fields[4], &upper);
        if (!ok) {
            ++report.malformedRankLines;
            if (!tooLong)
                lookalikes.note(line);
            continue;
        }
        const std::optional<quint64> record = table.find(lowered(fields[4], upper, &lower));
        if (!record) {
            ++report.unknownRankNames;
            continue;
        }
        harmonic[size_t(*record)] = hc;
        pageRank[size_t(*record)] = pr;
        ++report.ranked;
    }
    if (!ranks.error().isEmpty())
        return readFailed(report, ranks);
    pacer.send(ranks);
    const quint64 lines = report.rankLines - headers;
    const quint64 good = lines - report.malformedRankLines;
    if (tooFewRead(good, lines))
        return failed(report, unreadable(options.ranksFile, "ranks",
                                         "<harmonic position><TAB><value><TAB><PageRank "
                                         "position><TAB><value><TAB><reversed name>",
                                         good, lines, lookalikes));
    if (tooManyUnknown(report.unknownRankNames, good))
        return failed(report,
                      Text::tr("%1 of the %2 vertices in %3 are not in %4: are both files of the "
                               "same release?")
                          .arg(report.unknownRankNames)
                          .arg(good)
                          .arg(options.ranksFile, options.verticesFile));
    return true;
}

// Every file opens before the long work begins.
std::unique_ptr<GzipLineReader> opened(const QString& path, GraphImportReport& report) {
    if (path.isEmpty())
        return nullptr;
    auto reader = std::make_unique<GzipLineReader>(path);
    if (!reader->open()) {
        readFailed(report, *reader);
        return nullptr;
    }
    return reader;
}

} // namespace

GraphImportReport importGraph(const GraphImportOptions& options,
                              const GraphImportProgressFn& progress) {
    const qint64 cpuAtStart = threadCpuMs();
    GraphImportReport report;
    const ReleaseOfFile fromName = releaseOfVerticesFile(options.verticesFile);
    report.release = options.release.isEmpty() ? fromName.release : options.release;
    report.level = options.level.value_or(fromName.level);
    if (options.outFile.isEmpty()) {
        failed(report, Text::tr("no file to write the index to"));
        return report;
    }
    if (options.edgesFile.isEmpty() && options.ranksFile.isEmpty()) {
        failed(report, Text::tr("nothing to import: give an edges file, a ranks file or both"));
        return report;
    }
    if (const QString clash =
            sameFile(options.outFile, {options.verticesFile, options.edgesFile, options.ranksFile});
        !clash.isEmpty()) {
        failed(report, clash);
        return report;
    }

    GzipLineReader vertices(options.verticesFile);
    if (!vertices.open()) {
        readFailed(report, vertices);
        return report;
    }
    const std::unique_ptr<GzipLineReader> edges = opened(options.edgesFile, report);
    if (!report.error.isEmpty())
        return report;
    const std::unique_ptr<GzipLineReader> ranks = opened(options.ranksFile, report);
    if (!report.error.isEmpty())
        return report;

    NameTable table;
    if (!readVertices(vertices, options, progress, table, report))
        return report;
    if (!table.sorted()) {
        table.sortByBytes();
        report.namesSorted = true;
    }
    std::vector<quint32> counts;
    std::vector<quint32> harmonic;
    std::vector<quint32> pageRank;
    Values values;
    quint32 measures = 0;
    if (edges) {
        if (!countEdges(*edges, table, options, progress, counts, report))
            return report;
        measures |= measureBit(GraphMeasure::LinkingDomains);
        values.counts = &counts;
    }
    if (ranks) {
        if (!readRanks(*ranks, table, options, progress, harmonic, pageRank, report))
            return report;
        measures |= measureBit(GraphMeasure::HarmonicRank) | measureBit(GraphMeasure::PageRankRank);
        values.harmonic = &harmonic;
        values.pageRank = &pageRank;
    }
    if (!writeIndex(table, values, measures, options.outFile, report, progress, options.cancel))
        return report;
    report.ok = true;
    report.parsingCpuMs = threadCpuMs() - cpuAtStart;
    report.readingCpuMs = vertices.readingCpuMs() + (edges ? edges->readingCpuMs() : 0) +
                          (ranks ? ranks->readingCpuMs() : 0);
    return report;
}

namespace {

// One pass over a table of counts. With a writer, the records go straight into the index while
// their names rise in byte order (a table sorted as a database sorts it): memory stays the same
// however long the table is; the first name out of that order ends the pass (false, *unsorted
// set). Without one, the names and counts are kept for sorting.
bool readCounts(const CountsImportOptions& options, const GraphImportProgressFn& progress,
                GraphImportReport& report, LinkIndexWriter* writer, bool* unsorted,
                NameTable* table, std::vector<quint32>* counts) {
    GzipLineReader file(options.countsFile);
    if (!file.open()) {
        report.error = file.error();
        return false;
    }
    Pacer pacer(progress, GraphImportProgress::Phase::Counts, options.cancel);
    Lookalikes lookalikes;
    QByteArrayView line;
    bool tooLong = false;
    QByteArrayView fields[3];
    QByteArray lower;
    QByteArray pendingName;
    GraphValues pending{};
    quint64 headers = 0;
    while (file.next(&line, &tooLong)) {
        ++report.vertexLines;
        if (!pacer.line(file)) {
            report.cancelled = true;
            report.error = Text::tr("cancelled; nothing was written");
            return false;
        }
        if (!tooLong && line.startsWith('#')) {
            ++headers;
            continue;
        }
        const int n = tooLong ? 0 : splitFields(line, fields, 2);
        const std::optional<quint64> count = n == 2 ? readPlainIndex(fields[1]) : std::nullopt;
        bool upper = false;
        if (!count || !isVertexName(fields[0], &upper)) {
            ++report.malformedVertexLines;
            if (!tooLong)
                lookalikes.note(line);
            continue;
        }
        const QByteArrayView name = lowered(fields[0], upper, &lower);
        const quint32 value = quint32(std::min<quint64>(*count, MostLinks));
        if (!writer) {
            table->add(name, quint32(table->size()));
            counts->push_back(value);
            continue;
        }
        const int order =
            pendingName.isEmpty() ? 1 : graphNameOrder(name, pendingName, NameOrder::Bytes);
        if (order < 0) {
            *unsorted = true;
            return false;
        }
        if (order == 0) {
            pending[0] = std::max(pending[0], value);
            ++report.repeatedNames;
            continue;
        }
        if (!pendingName.isEmpty() && !writer->add(pendingName, pending))
            return false;
        pendingName = name.toByteArray();
        pending = {value, 0, 0};
    }
    if (!file.error().isEmpty()) {
        report.error = file.error();
        if (file.damaged())
            report.damagedFile = file.path();
        return false;
    }
    pacer.send(file);
    const quint64 lines = report.vertexLines - headers;
    const quint64 good = lines - report.malformedVertexLines;
    if (tooFewRead(good, lines)) {
        report.error = unreadable(options.countsFile, "counts", "<reversed name><TAB><count>", good,
                                  lines, lookalikes);
        return false;
    }
    return !writer || pendingName.isEmpty() || writer->add(pendingName, pending);
}

} // namespace

GraphImportReport importCounts(const CountsImportOptions& options,
                               const GraphImportProgressFn& progress) {
    GraphImportReport report;
    report.release = options.release.isEmpty() ? releaseOfVerticesFile(options.countsFile).release
                                               : options.release;
    report.level = options.level;
    report.measures = measureBit(GraphMeasure::LinkingDomains);
    auto failed = [&report](const QString& why) {
        report.ok = false;
        if (report.error.isEmpty())
            report.error = why;
        return report;
    };
    if (options.outFile.isEmpty())
        return failed(Text::tr("no file to write the index to"));
    if (const QString clash = sameFile(options.outFile, {options.countsFile}); !clash.isEmpty())
        return failed(clash);

    // First as it comes, in byte order, straight into the index.
    bool unsorted = false;
    {
        AtomicFileWriter file(options.outFile);
        if (const FileOutcome opened = file.open(); !opened)
            return failed(
                Text::tr("%1 could not be written: %2").arg(options.outFile, opened.reason()));
        FileSink sink(file);
        LinkIndexWriter writer(sink, report.release, report.level, NameOrder::Bytes,
                               report.measures);
        if (readCounts(options, progress, report, &writer, &unsorted, nullptr, nullptr)) {
            if (!writer.finish())
                return failed(
                    Text::tr("%1 could not be written: %2").arg(options.outFile, file.reason()));
            if (progress) {
                GraphImportProgress writing;
                writing.phase = GraphImportProgress::Phase::Writing;
                progress(writing);
            }
            if (const FileOutcome committed = file.commit(); !committed)
                return failed(Text::tr("%1 could not be written: %2")
                                  .arg(options.outFile, committed.reason()));
            report.vertices = writer.records();
            report.indexBytes = qint64(writer.bytesWritten());
            report.order = NameOrder::Bytes;
            report.ok = true;
            return report;
        }
        if (!unsorted)
            return failed(
                file.reason().isEmpty()
                    ? report.error
                    : Text::tr("%1 could not be written: %2").arg(options.outFile, file.reason()));
    } // the temporary file goes

    // Out of order: read again, keep everything, sort.
    report = GraphImportReport{};
    report.release = options.release.isEmpty() ? releaseOfVerticesFile(options.countsFile).release
                                               : options.release;
    report.level = options.level;
    NameTable table;
    std::vector<quint32> counts; // by record, which is the id
    if (!readCounts(options, progress, report, nullptr, &unsorted, &table, &counts))
        return failed(report.error);
    if (!table.sorted()) {
        table.sortByBytes();
        report.namesSorted = true;
    }
    Values values;
    values.counts = &counts;
    if (!writeIndex(table, values, measureBit(GraphMeasure::LinkingDomains), options.outFile,
                    report, progress, options.cancel))
        return report;
    report.ok = true;
    return report;
}

} // namespace tally
