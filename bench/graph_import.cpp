// The link graph at scale: a synthetic web graph in the published text layout (gzip), imported by
// tallyscope-graph, then looked up. Figures: the sizes, the import's time and peak resident
// memory, the same file's decompression alone (zcat | wc -l) in the same run and the ratio of the
// two, the index's size and the time of one lookup by URL.
//
// Usage: graph_import [--vertices N] [--edges M] [--order bytes|dot] [--keep FOLDER]
//   defaults 1,000,000 vertices, 10,000,000 edges and plain byte order; the files go to a
//   temporary folder (or to FOLDER, where they stay and are used again by the next run of the
//   same size and order).
//
// The graph: names "<tld>.site<9 digits>" over a few top-level domains, and after every 16th of
// them the same with "-b", numbered in the files' name order: in plain byte order (current
// releases) "com.site000000016" comes before "com.site000000016-b", as if each name ended in a
// dot (earlier releases) after it, so that each order is one the other is not. Every vertex
// links to 0..2*M/N others, chosen with a strong bias towards a few popular ones, each from id's
// targets sorted and distinct, as in the published files.
#include "core/files/safe_file.h"
#include "core/linkgraph/link_index.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

#include <sys/resource.h>
#include <zlib.h>

using namespace tally;

namespace {

const char* const Tlds[] = {"at", "co", "com", "de", "fr", "it", "net", "org", "ru", "uk"};
constexpr int TldCount = int(std::size(Tlds));

// gzip compression into memory, fast level, as the import reads it.
class Gzip {
public:
    Gzip() {
        deflateInit2(&z_, 1, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        chunk_.resize(1 << 20);
    }
    ~Gzip() { deflateEnd(&z_); }
    void add(const QByteArray& text, bool last = false) {
        z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.constData()));
        z_.avail_in = uInt(text.size());
        do {
            z_.next_out = reinterpret_cast<Bytef*>(chunk_.data());
            z_.avail_out = uInt(chunk_.size());
            deflate(&z_, last ? Z_FINISH : Z_NO_FLUSH);
            out_.append(chunk_.constData(), chunk_.size() - qsizetype(z_.avail_out));
        } while (z_.avail_out == 0);
    }
    QByteArray take() { return std::move(out_); }

private:
    z_stream z_{};
    QByteArray chunk_;
    QByteArray out_;
};

// Vertex ids come in groups of 17: 16 names and one "-b" beside the group's first.
QByteArray nameOf(quint64 id, quint64 vertices, bool dotOrder) {
    const quint64 bases = vertices * 16 / 17 + 16;
    const quint64 group = id / 17;
    const quint64 within = id % 17;
    const bool variant = within == (dotOrder ? 0 : 1);
    const quint64 base = group * 16 + (within <= 1 ? 0 : within - 1);
    const int tld = int(base * TldCount / bases);
    return QByteArray(Tlds[tld]) + ".site" + QByteArray::number(base).rightJustified(9, '0') +
           (variant ? "-b" : "");
}

// Writes the synthetic graph's two gzip files; *written: the edges written.
bool writeGraph(const QString& verticesFile, const QString& edgesFile, quint64 vertices,
                quint64 edges, bool dotOrder, quint64* written) {
    {
        Gzip gz;
        QByteArray text;
        for (quint64 id = 0; id < vertices; ++id) {
            text += QByteArray::number(id) + '\t' + nameOf(id, vertices, dotOrder) + "\t1\n";
            if (text.size() > (1 << 20)) {
                gz.add(text);
                text.clear();
            }
        }
        gz.add(text, true);
        if (!writeFileAtomically(verticesFile, gz.take()))
            return false;
    }
    Gzip gz;
    QByteArray text;
    QRandomGenerator random(42);
    const double mean = double(edges) / double(vertices);
    std::vector<quint32> targets;
    for (quint64 from = 0; from < vertices && *written < edges; ++from) {
        const int degree = int(random.bounded(2 * mean + 1));
        targets.clear();
        for (int k = 0; k < degree; ++k) {
            // Popular vertices first: u^3 puts most links on a few low ids.
            const double u = random.generateDouble();
            targets.push_back(quint32(double(vertices - 1) * u * u * u));
        }
        std::sort(targets.begin(), targets.end());
        targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
        const QByteArray fromText = QByteArray::number(from) + '\t';
        for (quint32 to : targets) {
            if (to == from)
                continue;
            text += fromText + QByteArray::number(to) + '\n';
            ++*written;
        }
        if (text.size() > (1 << 20)) {
            gz.add(text);
            text.clear();
        }
    }
    gz.add(text, true);
    return bool(writeFileAtomically(edgesFile, gz.take()));
}

// The processor time (user and system) of the children waited for so far, in seconds: what the
// programs run cost whatever else the machine was doing meanwhile.
double childrenCpuSeconds() {
    struct rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// How long a shell command takes, in seconds (and the processor time it took); -1 when it fails.
double secondsOf(const QString& command, double* cpu) {
    const double cpuBefore = childrenCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    QProcess shell;
    shell.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
    if (!shell.waitForFinished(-1) || shell.exitCode() != 0)
        return -1;
    *cpu = childrenCpuSeconds() - cpuBefore;
    return double(clock.elapsed()) / 1000;
}

void figure(const char* name, double value, const char* unit) {
    std::printf("%s: %.3f %s\n", name, value, unit);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    quint64 vertices = 1000000;
    quint64 edges = 10000000;
    QString keep;
    bool dotOrder = false;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--vertices"))
            vertices = args[i + 1].toULongLong();
        else if (args[i] == QLatin1String("--edges"))
            edges = args[i + 1].toULongLong();
        else if (args[i] == QLatin1String("--keep"))
            keep = args[i + 1];
        else if (args[i] == QLatin1String("--order"))
            dotOrder = args[i + 1] == QLatin1String("dot");
    }
    if (vertices < 100) {
        std::fprintf(stderr, "graph_import: at least 100 vertices\n");
        return 2;
    }
    QTemporaryDir temporary;
    const QString folder = keep.isEmpty() ? temporary.path() : keep;
    QDir().mkpath(folder);
    const QString stem = QStringLiteral("%1/cc-main-bench-%2-%3-%4-domain-")
                             .arg(folder)
                             .arg(vertices)
                             .arg(edges)
                             .arg(dotOrder ? "dot" : "bytes");
    const QString verticesFile = stem + "vertices.txt.gz";
    const QString edgesFile = stem + "edges.txt.gz";
    const QString indexFile = folder + "/bench.links";
    const QString countFile = stem + "count";
    const bool made = QFileInfo::exists(countFile) && QFileInfo::exists(verticesFile) &&
                      QFileInfo::exists(edgesFile);

    QElapsedTimer clock;
    clock.start();
    quint64 written = 0;
    if (made) {
        written = QString::fromLatin1(readFileBounded(countFile, 100).bytes).toULongLong();
    } else if (!writeGraph(verticesFile, edgesFile, vertices, edges, dotOrder, &written) ||
               !writeFileAtomically(countFile, QByteArray::number(written))) {
        return 1;
    }
    figure("graph_vertices_gz_size", double(QFileInfo(verticesFile).size()) / (1 << 20), "MiB");
    figure("graph_edges_gz_size", double(QFileInfo(edgesFile).size()) / (1 << 20), "MiB");
    figure("graph_vertices", double(vertices), "vertices");
    figure("graph_edges", double(written), "edges");
    figure("graph_generate_time", double(clock.elapsed()) / 1000, "s");

    // The import, as a user runs it; its own peak memory (VmHWM) from its summary, "peak memory:
    // 47 MiB (48123 KiB)" (a child's rusage would count the pages it shared with this process
    // before it started the tool). A graph of three vertices gives the tool's own start.
    const QString tool = QCoreApplication::applicationDirPath() + "/../bin/tallyscope-graph";
    QByteArray summary;
    const auto runImport = [&tool, &summary](const QStringList& files, const QString& out,
                                             double* peakKiB) {
        QProcess import;
        import.start(tool, QStringList{"import"} + files + QStringList{"--out", out});
        const bool ok = import.waitForFinished(-1) && import.exitCode() == 0;
        summary = import.readAllStandardError();
        std::fputs(summary.constData(), stderr);
        const QRegularExpressionMatch peak =
            QRegularExpression("peak memory: \\d+ MiB \\((\\d+) KiB\\)")
                .match(QString::fromLatin1(summary));
        *peakKiB = peak.hasMatch() ? peak.captured(1).toDouble() : -1;
        return ok;
    };
    double startKiB = 0;
    if (!writeFileAtomically(folder + "/tiny-v", "0\tcom.a\n1\tcom.b\n2\tcom.c\n") ||
        !writeFileAtomically(folder + "/tiny-e", "0\t1\n") ||
        !runImport({folder + "/tiny-v", folder + "/tiny-e"}, folder + "/tiny.links", &startKiB))
        return 1;
    double peakKiB = 0;
    const double cpuBefore = childrenCpuSeconds();
    clock.restart();
    if (!runImport({verticesFile, edgesFile}, indexFile, &peakKiB)) {
        std::fprintf(stderr, "graph_import: %s failed\n", qPrintable(tool));
        return 1;
    }
    const double importSeconds = double(clock.elapsed()) / 1000;
    const double importCpu = childrenCpuSeconds() - cpuBefore;
    if (summary.contains("sorted") ||
        !summary.contains(dotOrder ? "trailing-dot order" : "byte order")) {
        std::fprintf(stderr, "graph_import: the names were not taken in the order they came\n");
        return 1;
    }
    // Decompression alone, the same files, right after: what reading them costs at the least.
    double zcatEdgesCpu = 0;
    double zcatBothCpu = 0;
    const double zcatEdges =
        secondsOf(QStringLiteral("zcat '%1' | wc -l >/dev/null").arg(edgesFile), &zcatEdgesCpu);
    const double zcatBoth =
        secondsOf(QStringLiteral("zcat '%1' '%2' | wc -l >/dev/null").arg(verticesFile, edgesFile),
                  &zcatBothCpu);
    figure("graph_import_time", importSeconds, "s");
    figure("graph_import_rate", double(written) / importSeconds / 1e6, "M edges/s");
    figure("graph_zcat_edges_time", zcatEdges, "s");
    figure("graph_zcat_both_time", zcatBoth, "s");
    figure("graph_import_to_zcat_edges", importSeconds / zcatEdges, "x");
    figure("graph_import_to_zcat_both", importSeconds / zcatBoth, "x");
    // Processor time: the import's two threads together, and zcat's with wc's.
    figure("graph_import_cpu", importCpu, "s");
    // Each thread's share, from the tool's summary ("processor time: 5.10 s parsing, 5.62 s
    // reading and inflating"): on two cores of its own the import takes about the larger.
    const QRegularExpressionMatch threads =
        QRegularExpression("processor time: ([0-9.]+) s parsing, ([0-9.]+) s reading")
            .match(QString::fromLatin1(summary));
    const double parsing = threads.hasMatch() ? threads.captured(1).toDouble() : -1;
    const double reading = threads.hasMatch() ? threads.captured(2).toDouble() : -1;
    figure("graph_import_parsing_cpu", parsing, "s");
    figure("graph_import_reading_cpu", reading, "s");
    figure("graph_import_rate_on_two_free_cores",
           double(written) / std::max(parsing, reading) / 1e6, "M edges/s");
    figure("graph_zcat_edges_cpu", zcatEdgesCpu, "s");
    figure("graph_zcat_both_cpu", zcatBothCpu, "s");
    figure("graph_import_peak_rss", peakKiB / 1024, "MiB");
    figure("graph_import_start_rss", startKiB / 1024, "MiB");
    figure("graph_import_rss_per_vertex", (peakKiB - startKiB) * 1024 / double(vertices), "bytes");
    figure("graph_index_size", double(QFileInfo(indexFile).size()) / (1 << 20), "MiB");

    // Lookups by URL: half of them hit, half are absent names. The index is read with pread()
    // (no mapping): a lookup reads a few small blocks, from the page cache here.
    const auto index = LinkIndex::open(indexFile);
    if (!index)
        return 1;
    constexpr int Lookups = 200000;
    QStringList urls;
    QRandomGenerator random(7);
    for (int i = 0; i < Lookups; ++i) {
        const quint64 id = random.bounded(quint64(vertices));
        QByteArray name = nameOf(id, vertices, dotOrder);
        // "com.site000000123" as "http://www.site000000123.com/"
        const qsizetype dot = name.indexOf('.');
        QString host = QString::fromLatin1(name.mid(dot + 1) + '.' + name.left(dot));
        if (i % 2)
            host.prepend("x");
        urls << "http://www." + host + "/page";
    }
    clock.restart();
    timespec cpuStart{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuStart);
    quint64 found = 0;
    for (const QString& url : urls)
        found += index->findUrl(url).status == LinkIndex::Lookup::Status::Found ? 1 : 0;
    const double lookupNs = double(clock.nsecsElapsed()) / Lookups;
    timespec cpuEnd{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpuEnd);
    const double cpuNs = (double(cpuEnd.tv_sec - cpuStart.tv_sec) * 1e9 +
                          double(cpuEnd.tv_nsec - cpuStart.tv_nsec)) /
                         Lookups;
    figure("graph_lookup_time", lookupNs / 1000, "us per URL");
    figure("graph_lookup_cpu", cpuNs / 1000, "us per URL");
    figure("graph_lookup_found", double(found) * 100 / Lookups, "%");
    return 0;
}
