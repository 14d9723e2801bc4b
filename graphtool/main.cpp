// tallyscope-graph: the link index of a published web graph for Tallyscope's graph engines.
//
//   tallyscope-graph import <vertices> <edges> [--out FILE] [--release NAME] [--level domain|host]
//   tallyscope-graph lookup <index> <url>...
#include "core/linkgraph/graph_import.h"
#include "core/linkgraph/link_index.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QStringList>

#include <cstdio>
#include <new>

#include <unistd.h>

using namespace tally;

namespace {

const char* const Usage =
    "usage:\n"
    "  tallyscope-graph import <vertices> <edges> [--out FILE] [--release NAME]\n"
    "                          [--level domain|host]\n"
    "      Reads a web graph's vertices (\"id<TAB>reversed name[<TAB>hosts]\") and edges\n"
    "      (\"from id<TAB>to id\", sorted by from id), plain or gzip, and writes the link index:\n"
    "      the number of distinct vertices linking to each vertex. FILE defaults to\n"
    "      <release>-<level>.links in the current folder; the release and level default to\n"
    "      what the vertices file's name says (cc-main-2024-feb-apr-may-domain-vertices.txt.gz).\n"
    "  tallyscope-graph lookup <index> <url>...\n"
    "      Prints each URL's count: by its host, else by its registrable domain.\n";

QString number(quint64 n) {
    return QLocale::c().toString(qulonglong(n));
}

void say(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

// Peak resident memory of this process in KiB (0 when unknown).
qint64 peakMemoryKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

QString duration(qint64 seconds) {
    if (seconds < 60)
        return QStringLiteral("%1 s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

void showProgress(const GraphImportProgress& p) {
    static const bool terminal = ::isatty(STDERR_FILENO);
    if (p.phase == GraphImportProgress::Phase::Writing) {
        std::fprintf(stderr, "%swriting the index...\n", terminal ? "\n" : "");
        return;
    }
    const char* what = p.phase == GraphImportProgress::Phase::Vertices ? "vertices" : "edges";
    const double seconds = std::max<double>(p.elapsedMs, 1) / 1000.0;
    QString line = QStringLiteral("%1: %2 lines").arg(QLatin1String(what), number(p.lines));
    if (p.elapsedMs >= 200) // a rate over less is noise
        line += QStringLiteral(", %1 lines/s").arg(number(quint64(double(p.lines) / seconds)));
    if (p.fileSize > 0 && p.bytesRead > 0) {
        const double done = double(p.bytesRead) / double(p.fileSize);
        line += QStringLiteral(", %1% of the file").arg(int(done * 100));
        if (done > 0.001 && done < 1)
            line += QStringLiteral(", about %1 left")
                        .arg(duration(qint64(seconds * (1 - done) / done + 0.5)));
    }
    std::fprintf(stderr, terminal ? "\r%-78s" : "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

int import(const QStringList& args) {
    GraphImportOptions options;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--out") && hasValue) {
            options.outFile = args[++i];
        } else if (arg == QLatin1String("--release") && hasValue) {
            options.release = args[++i];
        } else if (arg == QLatin1String("--level") && hasValue) {
            const QString level = args[++i];
            if (level == QLatin1String("domain"))
                options.level = GraphLevel::Domains;
            else if (level == QLatin1String("host"))
                options.level = GraphLevel::Hosts;
            else {
                say(QStringLiteral("tallyscope-graph: --level takes domain or host"));
                return 2;
            }
        } else if (arg.startsWith(QLatin1String("--"))) {
            say(QStringLiteral("tallyscope-graph: unknown option %1").arg(arg));
            std::fputs(Usage, stderr);
            return 2;
        } else {
            files << arg;
        }
    }
    if (files.size() != 2) {
        std::fputs(Usage, stderr);
        return 2;
    }
    options.verticesFile = files[0];
    options.edgesFile = files[1];
    if (options.outFile.isEmpty()) {
        const ReleaseOfFile named = releaseOfVerticesFile(options.verticesFile);
        const GraphLevel level = options.level.value_or(named.level);
        options.outFile = (options.release.isEmpty() ? named.release : options.release) +
                          (level == GraphLevel::Hosts ? QStringLiteral("-host.links")
                                                      : QStringLiteral("-domain.links"));
    }

    const GraphImportReport r = importGraph(options, showProgress);
    if (!r.ok) {
        say(QStringLiteral("tallyscope-graph: ") + r.error);
        return 1;
    }
    const QString level =
        r.level == GraphLevel::Hosts ? QStringLiteral("hosts") : QStringLiteral("domains");
    say(QStringLiteral("%1: %2 %3 of %4, %5 bytes")
            .arg(options.outFile, number(r.vertices), level, r.release,
                 number(quint64(r.indexBytes))));
    say(QStringLiteral("vertices: %1 lines, %2 malformed, %3 repeated ids, %4 repeated names%5")
            .arg(number(r.vertexLines), number(r.malformedVertexLines), number(r.repeatedIds),
                 number(r.repeatedNames),
                 r.namesSorted ? QStringLiteral(" (not in name order: sorted)") : QString()));
    say(QStringLiteral("edges: %1 lines, %2 links counted, %3 malformed, %4 with an unknown id, "
                       "%5 repeated, %6 to themselves")
            .arg(number(r.edgeLines), number(r.links), number(r.malformedEdgeLines),
                 number(r.unknownIdEdges), number(r.repeatedEdges), number(r.selfLinks)));
    if (r.fromIdsOutOfOrder > 0)
        say(QStringLiteral(
                "warning: the edges are not sorted by from id (%1 places); a link listed "
                "in two places counts twice")
                .arg(number(r.fromIdsOutOfOrder)));
    const qint64 peak = peakMemoryKiB();
    say(QStringLiteral("peak memory: %1 MiB (%2 KiB)").arg(peak / 1024).arg(peak));
    return 0;
}

int lookup(const QStringList& args) {
    if (args.size() < 2) {
        std::fputs(Usage, stderr);
        return 2;
    }
    QString problem;
    const std::shared_ptr<const LinkIndex> index = LinkIndex::open(args[0], &problem);
    if (!index) {
        say(QStringLiteral("tallyscope-graph: ") + problem);
        return 1;
    }
    int status = 0;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const LinkIndex::Lookup found = index->findUrl(args[i]);
        QString line;
        switch (found.status) {
        case LinkIndex::Lookup::Status::Found:
            line = QStringLiteral("%1\t%2\t%3 (%4)")
                       .arg(args[i], QString::number(found.count), index->countMeaning(),
                            QString::fromUtf8(found.name));
            break;
        case LinkIndex::Lookup::Status::NotFound:
            line = QStringLiteral("%1\t-\tnot in %2").arg(args[i], index->releaseName());
            status = 1;
            break;
        case LinkIndex::Lookup::Status::Damaged:
            say(QStringLiteral("tallyscope-graph: %1 is damaged").arg(args[0]));
            return 1;
        }
        std::printf("%s\n", line.toLocal8Bit().constData());
    }
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    try {
        if (command == QLatin1String("import"))
            return import(args);
        if (command == QLatin1String("lookup"))
            return lookup(args);
    } catch (const std::bad_alloc&) {
        say(QStringLiteral("tallyscope-graph: out of memory; nothing was written"));
        return 1;
    }
    std::fputs(Usage, command == QLatin1String("--help") ? stdout : stderr);
    return command == QLatin1String("--help") ? 0 : 2;
}
