// The import of a published web graph into a link index: for every vertex (a domain, or a host),
// the number of distinct vertices that link to it, and with the release's ranks file its
// harmonic-centrality and PageRank positions. Also the import of a plain table of counts.
//
// The input is the graph's text form, plain or gzip-compressed:
//   vertices: "<id>\t<reversed name>" with an optional third column (the domain graphs' number of
//             hosts, ignored), ids numbered from 0 in the order of the names
//   edges:    "<from id>\t<to id>", sorted by the from id
//   ranks:    a header line "#harmonicc_pos\t#harmonicc_val\t#pr_pos\t#pr_val\t#host_rev" (and
//             "\t#n_hosts" in the domain graphs), then one line per vertex in that layout; the
//             positions count from 1
//   counts:   "<reversed name>\t<count>", in any order
// Each file is read once, as it streams, by a second thread a few MiB ahead of the parsing. The
// names are kept front-coded, in the order they come: current releases list them in plain byte
// order, earlier ones as if each name ended in a dot, and both go into the index as they are
// (names in neither order are sorted, at some cost). Memory grows with the vertices, not the
// edges: the names (a few bytes each beyond what they share with the name before), a 32-bit count
// per vertex, and with ranks two 32-bit positions. Each from id's targets are counted once however
// often and in whatever order they are listed.
//
// Wrong input fails with a reason and leaves any file at the index's place as it was (the index
// is written to a temporary file and renamed over it): a file in which fewer than 90 % of the
// lines read (a ranks or edges file given as the vertices, the files swapped), edges naming ids
// without a vertex, or ranks naming vertices the graph does not hold, beyond 1 % of them.
#pragma once

#include "core/linkgraph/link_index.h"

#include <QString>

#include <atomic>
#include <functional>
#include <optional>

namespace tally {

// A file must have at least this share of lines that read.
inline constexpr double MinimumReadShare = 0.9;
// At most this share of edges (ranks) may name ids (vertices) the vertices file does not hold.
inline constexpr double MaximumUnknownShare = 0.01;

struct GraphImportOptions {
    QString verticesFile;
    QString edgesFile; // empty: no linking-domain counts (a ranks-only index)
    QString outFile;
    // The release name stored in the index; empty: from the vertices file's name.
    QString release;
    // Domains or hosts; nothing: from the vertices file's name (domains unless it says host).
    std::optional<GraphLevel> level;
    QString ranksFile; // empty: no ranks
    // Set (from any thread) to stop the import; it then fails with Cancelled and writes nothing.
    const std::atomic<bool>* cancel = nullptr;
};

struct GraphImportProgress {
    enum class Phase { Vertices, Edges, Ranks, Counts, Writing };
    Phase phase = Phase::Vertices;
    quint64 lines = 0;    // lines of the current file so far
    qint64 bytesRead = 0; // bytes of the current file read so far
    qint64 fileSize = 0;  // its size (0 when unknown)
    qint64 elapsedMs = 0; // since the phase began
};

struct GraphImportReport {
    bool ok = false;
    bool cancelled = false;
    QString error;       // why nothing was written
    QString damagedFile; // the input whose compressed data is damaged, when that is why
    QString release;
    GraphLevel level = GraphLevel::Domains;
    NameOrder order = NameOrder::Bytes;
    quint32 measures = 0; // the GraphMeasure bits the index holds

    quint64 vertexLines = 0;
    quint64 vertices = 0; // in the index
    quint64 malformedVertexLines = 0;
    quint64 repeatedIds = 0;   // a second vertex line for an id (skipped)
    quint64 repeatedNames = 0; // vertices of one name: one kept, with the largest count
    bool namesSorted = false;  // the vertices were in neither order and had to be sorted

    quint64 edgeLines = 0;
    quint64 links = 0; // distinct (from, to) pairs counted
    quint64 malformedEdgeLines = 0;
    quint64 unknownIdEdges = 0;
    quint64 selfLinks = 0;
    quint64 repeatedEdges = 0;
    quint64 fromIdsOutOfOrder = 0; // places where the from id went down (unsorted edges)

    quint64 rankLines = 0;
    quint64 ranked = 0; // vertices given a position
    quint64 malformedRankLines = 0;
    quint64 unknownRankNames = 0;

    qint64 indexBytes = 0;
    // Processor time of the thread that parsed and wrote, and of the threads that read and
    // inflated the files: what the import costs whatever else the machine does meanwhile.
    qint64 parsingCpuMs = 0;
    qint64 readingCpuMs = 0;
};

using GraphImportProgressFn = std::function<void(const GraphImportProgress&)>;

// Reads the files and writes the index to options.outFile (atomically: on any failure an older
// file there stays as it was). Progress is reported about once a second, on the calling thread.
GraphImportReport importGraph(const GraphImportOptions& options,
                              const GraphImportProgressFn& progress = {});

struct CountsImportOptions {
    QString countsFile;
    QString outFile;
    QString release; // empty: from the file's name
    GraphLevel level = GraphLevel::Domains;
    const std::atomic<bool>* cancel = nullptr;
};

// A two-column table "<reversed name>\t<count>" (as a Spark or DuckDB job over a release writes
// it) into a link index of linking-domain counts; the report's vertex fields describe its lines.
GraphImportReport importCounts(const CountsImportOptions& options,
                               const GraphImportProgressFn& progress = {});

// The release and level a vertices file's name tells: "cc-main-2024-feb-apr-may-domain-vertices
// .txt.gz" gives "cc-main-2024-feb-apr-may" and domains.
struct ReleaseOfFile {
    QString release;
    GraphLevel level = GraphLevel::Domains;
};
ReleaseOfFile releaseOfVerticesFile(const QString& path);

} // namespace tally
