// The import of a published web graph into a link index: for every vertex (a domain, or a host),
// the number of distinct vertices that link to it.
//
// The input is the graph's text form, plain or gzip-compressed:
//   vertices: "<id>\t<reversed name>" with an optional third column (the domain graphs' number of
//             hosts, ignored), ids numbered from 0 in the order of the names
//   edges:    "<from id>\t<to id>", sorted by the from id
// Both files are read once, as they stream. Memory grows with the vertices, not the edges: the
// names in the index being built, and two 32-bit numbers per id (the count, and the last vertex
// that linked to it, which makes a link count once however often it is listed among the edges of
// its from id). Lines that do not read are skipped and counted, as are edges to or from an id
// without a vertex, links of a vertex to itself, and repeated edges.
#pragma once

#include "core/files/safe_file.h"
#include "core/linkgraph/link_index.h"

#include <QString>

#include <functional>
#include <optional>

namespace tally {

struct GraphImportOptions {
    QString verticesFile;
    QString edgesFile;
    QString outFile;
    // The release name stored in the index; empty: from the vertices file's name.
    QString release;
    // Domains or hosts; nothing: from the vertices file's name (domains unless it says host).
    std::optional<GraphLevel> level;
};

struct GraphImportProgress {
    enum class Phase { Vertices, Edges, Writing };
    Phase phase = Phase::Vertices;
    quint64 lines = 0;    // lines of the current file so far
    qint64 bytesRead = 0; // bytes of the current file read so far
    qint64 fileSize = 0;  // its size (0 when unknown)
    qint64 elapsedMs = 0; // since the phase began
};

struct GraphImportReport {
    bool ok = false;
    QString error; // why nothing was written
    QString release;
    GraphLevel level = GraphLevel::Domains;

    quint64 vertexLines = 0;
    quint64 vertices = 0; // in the index
    quint64 malformedVertexLines = 0;
    quint64 repeatedIds = 0;   // a second vertex line for an id (skipped)
    quint64 repeatedNames = 0; // vertices of one name: the first kept, with the largest count
    bool namesSorted = false;  // the vertices were out of order and had to be sorted

    quint64 edgeLines = 0;
    quint64 links = 0; // distinct (from, to) pairs counted
    quint64 malformedEdgeLines = 0;
    quint64 unknownIdEdges = 0;
    quint64 selfLinks = 0;
    quint64 repeatedEdges = 0;
    quint64 fromIdsOutOfOrder = 0; // places where the from id went down (unsorted edges)

    qint64 indexBytes = 0;
};

using GraphImportProgressFn = std::function<void(const GraphImportProgress&)>;

// Reads both files and writes the index to options.outFile (atomically: on any failure an older
// file there stays as it was). Progress is reported about once a second.
GraphImportReport importGraph(const GraphImportOptions& options,
                              const GraphImportProgressFn& progress = {});

// The release and level a vertices file's name tells: "cc-main-2024-feb-apr-may-domain-vertices
// .txt.gz" gives "cc-main-2024-feb-apr-may" and domains.
struct ReleaseOfFile {
    QString release;
    GraphLevel level = GraphLevel::Domains;
};
ReleaseOfFile releaseOfVerticesFile(const QString& path);

} // namespace tally
