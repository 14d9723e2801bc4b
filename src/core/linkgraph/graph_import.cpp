#include "core/linkgraph/graph_import.h"

#include "core/linkgraph/gzip_lines.h"
#include "core/numbers/numbers.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <cstring>
#include <vector>

namespace tally {

namespace {

// The count of an id that has no vertex.
constexpr quint32 NoVertex = 0xFFFFFFFFu;
// The largest count kept; more links count no further.
constexpr quint32 MostLinks = 0xFFFFFFFEu;
// Ids are numbered from 0: an id this far beyond the vertex lines read so far is no id.
constexpr quint64 IdSlack = 1u << 20;
constexpr qsizetype MaxNameBytes = 1024;

// A vertex name: printable ASCII or UTF-8 bytes, no blanks or control characters.
bool isName(QByteArrayView name) {
    if (name.isEmpty() || name.size() > MaxNameBytes)
        return false;
    for (char c : name)
        if (uchar(c) <= 0x20 || uchar(c) == 0x7f)
            return false;
    return true;
}

// Reports progress about once a second.
class Pacer {
public:
    Pacer(const GraphImportProgressFn& report, GraphImportProgress::Phase phase) : report_(report) {
        progress_.phase = phase;
        clock_.start();
    }
    void line(const GzipLineReader& reader) {
        ++progress_.lines;
        if (!report_ || (progress_.lines & 0xffff) != 0 || clock_.elapsed() - last_ < 1000)
            return;
        last_ = clock_.elapsed();
        send(reader);
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
    GraphImportProgress progress_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
};

// Splits at the first tab: the field before it, and the rest after it (nothing without a tab).
bool takeField(QByteArrayView& rest, QByteArrayView* field) {
    const qsizetype tab = rest.indexOf('\t');
    if (tab < 0) {
        *field = rest;
        rest = QByteArrayView();
        return false;
    }
    *field = rest.first(tab);
    rest = rest.sliced(tab + 1);
    return true;
}

} // namespace

ReleaseOfFile releaseOfVerticesFile(const QString& path) {
    QString name = QFileInfo(path).fileName();
    for (const char* end : {".gz", ".txt", "-vertices", ".vertices"})
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

GraphImportReport importGraph(const GraphImportOptions& options,
                              const GraphImportProgressFn& progress) {
    GraphImportReport report;
    const ReleaseOfFile fromName = releaseOfVerticesFile(options.verticesFile);
    report.release = options.release.isEmpty() ? fromName.release : options.release;
    report.level = options.level.value_or(fromName.level);
    auto failed = [&report](const QString& why) {
        report.ok = false;
        report.error = why;
        return report;
    };

    // Both files must open before the long work begins.
    GzipLineReader vertices(options.verticesFile);
    if (!vertices.open())
        return failed(vertices.error());
    GzipLineReader edges(options.edgesFile);
    if (!edges.open())
        return failed(edges.error());
    if (options.outFile.isEmpty())
        return failed(QStringLiteral("no file to write the index to"));

    // Vertices: the names go into the index as they come, each with its id where its count will
    // be; counts[id] marks the ids that have a vertex.
    LinkIndexBuilder builder(report.release, report.level);
    std::vector<quint32> counts;
    {
        Pacer pacer(progress, GraphImportProgress::Phase::Vertices);
        QByteArrayView line;
        bool tooLong = false;
        QByteArray lower;
        while (vertices.next(&line, &tooLong)) {
            ++report.vertexLines;
            pacer.line(vertices);
            QByteArrayView idText;
            QByteArrayView name;
            QByteArrayView rest = line;
            const bool hasName = takeField(rest, &idText);
            if (hasName)
                takeField(rest, &name); // the rest, if any, is the number of hosts
            const std::optional<quint64> id = hasName ? readPlainIndex(idText) : std::nullopt;
            if (tooLong || !id || *id >= MostLinks || *id > 2 * report.vertexLines + IdSlack ||
                !isName(name)) {
                ++report.malformedVertexLines;
                continue;
            }
            if (*id >= counts.size())
                counts.resize(size_t(*id + 1), NoVertex);
            if (counts[size_t(*id)] != NoVertex) {
                ++report.repeatedIds;
                continue;
            }
            counts[size_t(*id)] = 0;
            // Names are looked up in lower case.
            lower.resize(name.size());
            std::memcpy(lower.data(), name.data(), size_t(name.size()));
            for (char& c : lower)
                if (c >= 'A' && c <= 'Z')
                    c = char(c - 'A' + 'a');
            builder.add(lower, quint32(*id));
        }
        if (!vertices.error().isEmpty())
            return failed(vertices.error());
        pacer.send(vertices);
    }
    if (builder.recordCount() == 0)
        return failed(QStringLiteral("%1 holds no vertex (\"<id><tab><name>\" lines)")
                          .arg(options.verticesFile));

    // Edges: a link from -> to counts once per from id, whatever the order of its edges.
    {
        Pacer pacer(progress, GraphImportProgress::Phase::Edges);
        std::vector<quint32> lastFrom(counts.size(), 0); // from id + 1 of the last counted link
        const quint64 known = counts.size();
        quint64 previousFrom = 0;
        QByteArrayView line;
        bool tooLong = false;
        while (edges.next(&line, &tooLong)) {
            ++report.edgeLines;
            pacer.line(edges);
            QByteArrayView fromText;
            QByteArrayView toText;
            QByteArrayView rest = line;
            const bool twoFields = takeField(rest, &fromText) && !takeField(rest, &toText);
            const std::optional<quint64> from = twoFields ? readPlainIndex(fromText) : std::nullopt;
            const std::optional<quint64> to = twoFields ? readPlainIndex(toText) : std::nullopt;
            if (tooLong || !from || !to) {
                ++report.malformedEdgeLines;
                continue;
            }
            if (*from < previousFrom)
                ++report.fromIdsOutOfOrder;
            previousFrom = *from;
            if (*from >= known || *to >= known || counts[size_t(*from)] == NoVertex ||
                counts[size_t(*to)] == NoVertex) {
                ++report.unknownIdEdges;
                continue;
            }
            if (*from == *to) {
                ++report.selfLinks;
                continue;
            }
            quint32& last = lastFrom[size_t(*to)];
            if (last == quint32(*from + 1)) {
                ++report.repeatedEdges;
                continue;
            }
            last = quint32(*from + 1);
            quint32& count = counts[size_t(*to)];
            if (count < MostLinks)
                ++count;
            ++report.links;
        }
        if (!edges.error().isEmpty())
            return failed(edges.error());
        pacer.send(edges);
    }

    if (progress) {
        GraphImportProgress writing;
        writing.phase = GraphImportProgress::Phase::Writing;
        progress(writing);
    }
    report.namesSorted = !builder.inOrder();
    LinkIndexBuilder::Result index =
        builder.finish([&counts](quint32 id) { return counts[size_t(id)]; });
    counts = {};
    report.vertices = index.records;
    report.repeatedNames = index.duplicateNames;
    report.indexBytes = index.bytes.size();
    if (const FileOutcome written = writeFileAtomically(options.outFile, index.bytes); !written)
        return failed(
            QStringLiteral("%1 could not be written: %2").arg(options.outFile, written.reason()));
    report.ok = true;
    return report;
}

} // namespace tally
