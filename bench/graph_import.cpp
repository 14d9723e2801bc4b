// The link graph at scale: a synthetic web graph in the published text layout (gzip), imported by
// tallyscope-graph, then looked up. Figures: the sizes, the import's time and peak resident
// memory, the index's size and the time of one lookup by URL.
//
// Usage: graph_import [--vertices N] [--edges M] [--keep FOLDER]
//   defaults 1,000,000 vertices and 10,000,000 edges; the files go to a temporary folder (or to
//   FOLDER, and stay there).
//
// The graph: names "<tld>.site<9 digits>" over a few top-level domains, in the files' name order
// and numbered in it; every vertex links to 0..2*M/N others, chosen with a strong bias towards a
// few popular ones, each from id's targets sorted and distinct, as in the published files.
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
#include <vector>

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

QByteArray nameOf(quint64 id, quint64 vertices) {
    const int tld = int(id * TldCount / vertices);
    return QByteArray(Tlds[tld]) + ".site" + QByteArray::number(id).rightJustified(9, '0');
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
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QLatin1String("--vertices"))
            vertices = args[i + 1].toULongLong();
        else if (args[i] == QLatin1String("--edges"))
            edges = args[i + 1].toULongLong();
        else if (args[i] == QLatin1String("--keep"))
            keep = args[i + 1];
    }
    if (vertices < 100) {
        std::fprintf(stderr, "graph_import: at least 100 vertices\n");
        return 2;
    }
    QTemporaryDir temporary;
    const QString folder = keep.isEmpty() ? temporary.path() : keep;
    QDir().mkpath(folder);
    const QString verticesFile = folder + "/cc-main-bench-domain-vertices.txt.gz";
    const QString edgesFile = folder + "/cc-main-bench-domain-edges.txt.gz";
    const QString indexFile = folder + "/bench.links";

    QElapsedTimer clock;
    clock.start();
    {
        Gzip gz;
        QByteArray text;
        for (quint64 id = 0; id < vertices; ++id) {
            text += QByteArray::number(id) + '\t' + nameOf(id, vertices) + "\t1\n";
            if (text.size() > (1 << 20)) {
                gz.add(text);
                text.clear();
            }
        }
        gz.add(text, true);
        const QByteArray bytes = gz.take();
        figure("graph_vertices_gz_size", double(bytes.size()) / (1 << 20), "MiB");
        if (!writeFileAtomically(verticesFile, bytes))
            return 1;
    }
    quint64 written = 0;
    {
        Gzip gz;
        QByteArray text;
        QRandomGenerator random(42);
        const double mean = double(edges) / double(vertices);
        std::vector<quint32> targets;
        for (quint64 from = 0; from < vertices && written < edges; ++from) {
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
                ++written;
            }
            if (text.size() > (1 << 20)) {
                gz.add(text);
                text.clear();
            }
        }
        gz.add(text, true);
        const QByteArray bytes = gz.take();
        figure("graph_edges_gz_size", double(bytes.size()) / (1 << 20), "MiB");
        if (!writeFileAtomically(edgesFile, bytes))
            return 1;
    }
    figure("graph_vertices", double(vertices), "vertices");
    figure("graph_edges", double(written), "edges");
    figure("graph_generate_time", double(clock.elapsed()) / 1000, "s");

    // The import, as a user runs it; its own peak memory (VmHWM) from its summary, "peak memory:
    // 47 MiB (48123 KiB)" (a child's rusage would count the pages it shared with this process
    // before it started the tool). A graph of three vertices gives the tool's own start.
    const QString tool = QCoreApplication::applicationDirPath() + "/../bin/tallyscope-graph";
    const auto runImport = [&tool](const QStringList& files, const QString& out, double* peakKiB) {
        QProcess import;
        import.start(tool, QStringList{"import"} + files + QStringList{"--out", out});
        const bool ok = import.waitForFinished(-1) && import.exitCode() == 0;
        const QByteArray summary = import.readAllStandardError();
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
    clock.restart();
    if (!runImport({verticesFile, edgesFile}, indexFile, &peakKiB)) {
        std::fprintf(stderr, "graph_import: %s failed\n", qPrintable(tool));
        return 1;
    }
    const double importSeconds = double(clock.elapsed()) / 1000;
    figure("graph_import_time", importSeconds, "s");
    figure("graph_import_rate", double(written) / importSeconds / 1e6, "M edges/s");
    figure("graph_import_peak_rss", peakKiB / 1024, "MiB");
    figure("graph_import_start_rss", startKiB / 1024, "MiB");
    figure("graph_import_rss_per_vertex", (peakKiB - startKiB) * 1024 / double(vertices), "bytes");
    figure("graph_index_size", double(QFileInfo(indexFile).size()) / (1 << 20), "MiB");

    // Lookups by URL: half of them hit, half are absent names.
    const auto index = LinkIndex::open(indexFile);
    if (!index)
        return 1;
    constexpr int Lookups = 200000;
    QStringList urls;
    QRandomGenerator random(7);
    for (int i = 0; i < Lookups; ++i) {
        const quint64 id = random.bounded(quint64(vertices));
        QByteArray name = nameOf(id, vertices);
        // "com.site000000123" as "http://www.site000000123.com/"
        const qsizetype dot = name.indexOf('.');
        QString host = QString::fromLatin1(name.mid(dot + 1) + '.' + name.left(dot));
        if (i % 2)
            host.prepend("x");
        urls << "http://www." + host + "/page";
    }
    clock.restart();
    quint64 found = 0;
    for (const QString& url : urls)
        found += index->findUrl(url).status == LinkIndex::Lookup::Status::Found ? 1 : 0;
    const double lookupNs = double(clock.nsecsElapsed()) / Lookups;
    figure("graph_lookup_time", lookupNs / 1000, "us per URL");
    figure("graph_lookup_found", double(found) * 100 / Lookups, "%");
    return 0;
}
