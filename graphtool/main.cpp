// tallyscope-graph: the link index of a published web graph for Tallyscope's graph engines.
//
//   tallyscope-graph import <vertices> [<edges>] [--ranks FILE] [--out FILE] [--release NAME]
//                           [--level domain|host]
//   tallyscope-graph import-counts <file> [--out FILE] [--release NAME] [--level domain|host]
//   tallyscope-graph lookup <index> <url>...
//   tallyscope-graph fetch [--latest | --release ID] [--level domain|host] [--ranks] --out DIR
//                          [--index URL] [--data URL] [--keep-downloads] [--tries N]
//   tallyscope-graph --version | --help
#include "core/linkgraph/graph_fetch.h"
#include "core/linkgraph/graph_import.h"
#include "core/linkgraph/link_index.h"
#include "core/product/product.h"
#include "core/translations/translations.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <new>

#include <unistd.h>

using namespace tally;

namespace {

// For people: translated like every other message (the command and option names stay).
const char* const Usage = QT_TRANSLATE_NOOP(
    "GraphTool",
    "usage:\n"
    "  tallyscope-graph import <vertices> [<edges>] [--ranks FILE] [--out FILE]\n"
    "                          [--release NAME] [--level domain|host]\n"
    "      Reads a web graph's vertices (\"id<TAB>reversed name[<TAB>hosts]\"), edges\n"
    "      (\"from id<TAB>to id\", sorted by from id) and ranks file (harmonic centrality and\n"
    "      PageRank positions), plain or gzip, and writes the link index: the number of\n"
    "      distinct vertices linking to each vertex, and its positions. Give the edges, the\n"
    "      ranks or both. FILE defaults to <release>-<level>.links in the current folder; the\n"
    "      release and level default to what the vertices file's name says\n"
    "      (cc-main-2024-feb-apr-may-domain-vertices.txt.gz).\n"
    "  tallyscope-graph import-counts <file> [--out FILE] [--release NAME] [--level domain|host]\n"
    "      Makes the same index from a table of \"reversed name<TAB>count\" lines (plain or\n"
    "      gzip), such as a Spark or DuckDB job over a whole release writes.\n"
    "  tallyscope-graph lookup <index> <url>...\n"
    "      Prints each URL's vertex and values: the exact host in a host index, the\n"
    "      registrable domain in a domain index.\n"
    "  tallyscope-graph fetch [--latest | --release ID] [--level domain|host] [--ranks]\n"
    "                         --out DIR [--index URL] [--data URL] [--keep-downloads]\n"
    "                         [--tries N]\n"
    "      Downloads a release of the Common Crawl web graph (the newest by default) into DIR\n"
    "      and imports it into DIR/<release>-<level>.links. An interrupted or failed run goes\n"
    "      on where it stopped when the same command is run again. --index and --data replace\n"
    "      the publisher's list of releases and the base address of its files (a mirror).\n"
    "      A file that the server refuses for a while (429, 503 SlowDown, 403) or whose\n"
    "      connection drops is tried again, waiting longer each time (or as Retry-After asks),\n"
    "      N times in all (20 by default). Every file is checked as it comes: a damaged one is\n"
    "      removed and downloaded again by the next run.\n"
    "  tallyscope-graph --version\n"
    "\n"
    "Exit status: 0 done, 1 failed (a lookup: a URL not in the index), 2 bad arguments,\n"
    "130 interrupted. A failed or interrupted import leaves any earlier index as it was.\n");

std::atomic<bool> interrupted{false};

extern "C" void onInterrupt(int) {
    interrupted.store(true);
    std::signal(SIGINT, SIG_DFL); // a second Ctrl+C ends the program at once
    std::signal(SIGTERM, SIG_DFL);
}

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(GraphTool)
};

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
        return Text::tr("%1 s").arg(seconds);
    if (seconds < 3600)
        return Text::tr("%1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    return Text::tr("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

void showProgress(const GraphImportProgress& p) {
    static const bool terminal = ::isatty(STDERR_FILENO);
    if (p.phase == GraphImportProgress::Phase::Writing) {
        std::fprintf(stderr, "%s%s\n", terminal ? "\n" : "",
                     Text::tr("writing the index...").toLocal8Bit().constData());
        return;
    }
    const char* what =
        p.phase == GraphImportProgress::Phase::Vertices ? QT_TRANSLATE_NOOP("GraphTool", "vertices")
        : p.phase == GraphImportProgress::Phase::Edges  ? QT_TRANSLATE_NOOP("GraphTool", "edges")
        : p.phase == GraphImportProgress::Phase::Ranks  ? QT_TRANSLATE_NOOP("GraphTool", "ranks")
                                                        : QT_TRANSLATE_NOOP("GraphTool", "counts");
    const double seconds = std::max<double>(double(p.elapsedMs), 1) / 1000.0;
    QString line = Text::tr("%1: %2 lines").arg(Text::tr(what), number(p.lines));
    if (p.elapsedMs >= 200) // a rate over less is noise
        line += Text::tr(", %1 lines/s").arg(number(quint64(double(p.lines) / seconds)));
    if (p.fileSize > 0 && p.bytesRead > 0) {
        const double done = double(p.bytesRead) / double(p.fileSize);
        line += Text::tr(", %1% of the file").arg(int(done * 100));
        if (done > 0.001 && done < 1)
            line += Text::tr(", about %1 left")
                        .arg(duration(qint64(seconds * (1 - done) / done + 0.5)));
    }
    std::fprintf(stderr, terminal ? "\r%-78s" : "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

// Reads a command's arguments with the options it takes; false (having said why) on a bad one.
// An option the command does not take is named as given ("unknown option --fast", or for fetch
// "fetch does not take --fast"), followed by the usage.
bool parseCommand(QCommandLineParser& parser, const QString& command, const QStringList& args) {
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    if (parser.parse(QStringList{QStringLiteral("tallyscope-graph")} + args))
        return true;
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty()) {
        say(QStringLiteral("tallyscope-graph: ") + parser.errorText());
        return false;
    }
    // As it was written: "-x" or "--x", without any value joined to it.
    QString option = QStringLiteral("--") + unknown.first();
    for (const QString& arg : args)
        if (arg.startsWith(QLatin1Char('-')) &&
            arg.section(QLatin1Char('='), 0, 0).remove(QRegularExpression(QStringLiteral("^-+"))) ==
                unknown.first()) {
            option = arg.section(QLatin1Char('='), 0, 0);
            break;
        }
    say(command == QLatin1String("fetch")
            ? Text::tr("tallyscope-graph: fetch does not take %1").arg(option)
            : Text::tr("tallyscope-graph: unknown option %1").arg(option));
    std::fputs(Usage, stderr);
    return false;
}

// --level's value, when given; false (having said why) on a bad one.
bool readLevel(const QCommandLineParser& parser, std::optional<GraphLevel>* level) {
    if (!parser.isSet(QStringLiteral("level")))
        return true;
    const QString value = parser.value(QStringLiteral("level"));
    if (value != QLatin1String("domain") && value != QLatin1String("host")) {
        say(Text::tr("tallyscope-graph: --level takes domain or host"));
        return false;
    }
    *level = value == QLatin1String("host") ? GraphLevel::Hosts : GraphLevel::Domains;
    return true;
}

// The options every import takes.
struct CommonOptions {
    QString out;
    QString release;
    std::optional<GraphLevel> level;
    QString ranks;
    QStringList files;
};

bool readOptions(const QString& command, const QStringList& args, bool ranksAllowed,
                 CommonOptions* o) {
    QCommandLineParser parser;
    parser.addOptions({{QStringLiteral("out"), QString(), QStringLiteral("FILE")},
                       {QStringLiteral("release"), QString(), QStringLiteral("NAME")},
                       {QStringLiteral("level"), QString(), QStringLiteral("LEVEL")}});
    if (ranksAllowed)
        parser.addOption({QStringLiteral("ranks"), QString(), QStringLiteral("FILE")});
    if (!parseCommand(parser, command, args) || !readLevel(parser, &o->level))
        return false;
    o->out = parser.value(QStringLiteral("out"));
    o->release = parser.value(QStringLiteral("release"));
    o->ranks = ranksAllowed ? parser.value(QStringLiteral("ranks")) : QString();
    o->files = parser.positionalArguments();
    return true;
}

QString defaultOut(const QString& release, GraphLevel level) {
    return release + (level == GraphLevel::Hosts ? QStringLiteral("-host.links")
                                                 : QStringLiteral("-domain.links"));
}

int failure(const GraphImportReport& r, const QString& out) {
    say(QStringLiteral("tallyscope-graph: ") + r.error);
    if (QFileInfo::exists(out))
        say(Text::tr("%1 was left as it was.").arg(out));
    return r.cancelled ? 130 : 1;
}

void summary(const GraphImportReport& r, const QString& out) {
    const QString level = r.level == GraphLevel::Hosts ? Text::tr("hosts") : Text::tr("domains");
    say(Text::tr("%1: %2 %3 of %4, %5 bytes (names in %6 order)")
            .arg(out, number(r.vertices), level, r.release, number(quint64(r.indexBytes)),
                 r.order == NameOrder::Bytes ? Text::tr("byte") : Text::tr("trailing-dot")));
    say(Text::tr("vertices: %1 lines, %2 malformed, %3 repeated ids, %4 repeated names%5")
            .arg(number(r.vertexLines), number(r.malformedVertexLines), number(r.repeatedIds),
                 number(r.repeatedNames),
                 r.namesSorted ? Text::tr(" (in no known order: sorted)") : QString()));
    if (r.measures & measureBit(GraphMeasure::LinkingDomains) && r.edgeLines > 0)
        say(Text::tr("edges: %1 lines, %2 links counted, %3 malformed, %4 with an unknown id, "
                     "%5 repeated, %6 to themselves")
                .arg(number(r.edgeLines), number(r.links), number(r.malformedEdgeLines),
                     number(r.unknownIdEdges), number(r.repeatedEdges), number(r.selfLinks)));
    if (r.fromIdsOutOfOrder > 0)
        say(Text::tr(
                "warning: the edges are not sorted by from id (%1 places); a link listed in two "
                "places counts twice")
                .arg(number(r.fromIdsOutOfOrder)));
    if (r.measures & measureBit(GraphMeasure::HarmonicRank))
        say(Text::tr("ranks: %1 lines, %2 vertices ranked, %3 malformed, %4 not in the vertices")
                .arg(number(r.rankLines), number(r.ranked), number(r.malformedRankLines),
                     number(r.unknownRankNames)));
    say(Text::tr("processor time: %1 s parsing, %2 s reading and inflating")
            .arg(double(r.parsingCpuMs) / 1000, 0, 'f', 2)
            .arg(double(r.readingCpuMs) / 1000, 0, 'f', 2));
    const qint64 peak = peakMemoryKiB();
    say(Text::tr("peak memory: %1 MiB (%2 KiB)").arg(peak / 1024).arg(peak));
}

int import(const QStringList& args) {
    CommonOptions o;
    if (!readOptions(QStringLiteral("import"), args, true, &o))
        return 2;
    if (o.files.isEmpty() || o.files.size() > 2 || (o.files.size() == 1 && o.ranks.isEmpty())) {
        std::fputs(Usage, stderr);
        return 2;
    }
    GraphImportOptions options;
    options.verticesFile = o.files[0];
    options.edgesFile = o.files.value(1);
    options.ranksFile = o.ranks;
    options.release = o.release;
    options.level = o.level;
    options.cancel = &interrupted;
    options.outFile = o.out;
    if (options.outFile.isEmpty()) {
        const ReleaseOfFile named = releaseOfVerticesFile(options.verticesFile);
        options.outFile = defaultOut(o.release.isEmpty() ? named.release : o.release,
                                     o.level.value_or(named.level));
    }
    const GraphImportReport r = importGraph(options, showProgress);
    if (!r.ok)
        return failure(r, options.outFile);
    summary(r, options.outFile);
    return 0;
}

int importCountsCommand(const QStringList& args) {
    CommonOptions o;
    if (!readOptions(QStringLiteral("import-counts"), args, false, &o))
        return 2;
    if (o.files.size() != 1) {
        std::fputs(Usage, stderr);
        return 2;
    }
    CountsImportOptions options;
    options.countsFile = o.files[0];
    options.release = o.release;
    options.level = o.level.value_or(GraphLevel::Domains);
    options.cancel = &interrupted;
    options.outFile =
        o.out.isEmpty()
            ? defaultOut(o.release.isEmpty() ? releaseOfVerticesFile(options.countsFile).release
                                             : o.release,
                         options.level)
            : o.out;
    const GraphImportReport r = importCounts(options, showProgress);
    if (!r.ok)
        return failure(r, options.outFile);
    say(Text::tr("%1: %2 %3 of %4 from %5 lines (%6 malformed, %7 repeated names), %8 bytes")
            .arg(options.outFile, number(r.vertices),
                 r.level == GraphLevel::Hosts ? Text::tr("hosts") : Text::tr("domains"), r.release,
                 number(r.vertexLines), number(r.malformedVertexLines), number(r.repeatedNames),
                 number(quint64(r.indexBytes))));
    return 0;
}

// One line per URL: the URL, its linking count (or "-"), the vertex looked for (or "-"), what the
// count means or why there is none, and any positions the index holds.
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
    const QString what = index->level() == GraphLevel::Hosts
                             ? Text::tr("linking hosts to %1 in %2")
                             : Text::tr("linking domains to %1 in %2");
    int status = 0;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const LinkIndex::Lookup found = index->findUrl(args[i]);
        const QString vertex =
            found.name.isEmpty() ? QStringLiteral("-") : QString::fromUtf8(found.name);
        QStringList fields{args[i]};
        switch (found.status) {
        case LinkIndex::Lookup::Status::Found:
            fields << (index->has(GraphMeasure::LinkingDomains) ? QString::number(found.count())
                                                                : QStringLiteral("-"))
                   << vertex << what.arg(vertex, index->releaseName());
            for (GraphMeasure m : {GraphMeasure::HarmonicRank, GraphMeasure::PageRankRank})
                if (index->has(m))
                    fields << measureKey(m) + QLatin1Char(' ') +
                                  (found.value(m) ? QString::number(found.value(m))
                                                  : QStringLiteral("-"));
            break;
        case LinkIndex::Lookup::Status::NotFound:
            fields << QStringLiteral("-") << vertex
                   << (found.name.isEmpty() ? found.problem
                                            : Text::tr("not in %1").arg(index->releaseName()));
            status = 1;
            break;
        case LinkIndex::Lookup::Status::Damaged:
            say(Text::tr("tallyscope-graph: %1 is damaged").arg(args[0]));
            return 1;
        case LinkIndex::Lookup::Status::Changed:
            say(Text::tr("tallyscope-graph: %1: index changed during the lookups").arg(args[0]));
            return 1;
        }
        std::printf("%s\n", fields.join(QLatin1Char('\t')).toLocal8Bit().constData());
    }
    return status;
}

// The download's one line on a terminal: "edges (2 of 3): 1.2 GiB of 8.4 GiB, 24 MiB/s, about
// 5 min left".
void showFetchProgress(const GraphFetchProgress& p) {
    static const bool terminal = ::isatty(STDERR_FILENO);
    if (p.stage == GraphFetchProgress::Stage::Import) {
        showProgress(p.import);
        return;
    }
    if (p.stage == GraphFetchProgress::Stage::Join) {
        say(Text::tr("%1joining the parts into %2...")
                .arg(terminal ? QStringLiteral("\n") : QString(), p.file));
        return;
    }
    const DownloadProgress& d = p.download;
    static int lastTry = 0; // a retry is said once, where no terminal shows the countdown
    if (d.retryInSeconds > 0 && (terminal || d.retryTry != lastTry)) {
        lastTry = d.retryTry;
        const QString line =
            Text::tr("%1: %2; retrying in %3 s, try %4 of %5")
                .arg(p.file.isEmpty() ? Text::tr("the list of releases") : p.file, d.retryReason)
                .arg(d.retryInSeconds)
                .arg(d.retryTry)
                .arg(d.retryTries);
        if (terminal)
            std::fprintf(stderr, "\r%-78s", line.toLocal8Bit().constData());
        else
            say(line);
        return;
    }
    if (!terminal || p.stage != GraphFetchProgress::Stage::Download)
        return;
    QString line = Text::tr("%1 (%2 of %3): %4")
                       .arg(p.file)
                       .arg(p.fileNumber)
                       .arg(p.fileCount)
                       .arg(FileDownload::sizeText(d.bytes));
    if (d.total >= 0)
        line += Text::tr(" of %1").arg(FileDownload::sizeText(d.total));
    if (d.bytesPerSecond > 0)
        line += QStringLiteral(", %1/s").arg(FileDownload::sizeText(qint64(d.bytesPerSecond)));
    if (d.secondsLeft >= 0)
        line += Text::tr(", about %1 left").arg(duration(d.secondsLeft));
    std::fprintf(stderr, "\r%-78s", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

int fetch(QCoreApplication& app, const QStringList& args) {
    GraphFetchOptions o;
    QStringList again{QStringLiteral("tallyscope-graph"), QStringLiteral("fetch")};
    QCommandLineParser parser;
    parser.addOptions({{QStringLiteral("latest"), QString()},
                       {QStringLiteral("release"), QString(), QStringLiteral("ID")},
                       {QStringLiteral("level"), QString(), QStringLiteral("LEVEL")},
                       {QStringLiteral("ranks"), QString()},
                       {QStringLiteral("keep-downloads"), QString()},
                       {QStringLiteral("tries"), QString(), QStringLiteral("N")},
                       {QStringLiteral("out"), QString(), QStringLiteral("DIR")},
                       {QStringLiteral("index"), QString(), QStringLiteral("URL")},
                       {QStringLiteral("data"), QString(), QStringLiteral("URL")}});
    std::optional<GraphLevel> level;
    if (!parseCommand(parser, QStringLiteral("fetch"), args) || !readLevel(parser, &level))
        return 2;
    if (!parser.positionalArguments().isEmpty()) {
        say(Text::tr("tallyscope-graph: fetch does not take %1")
                .arg(parser.positionalArguments().first()));
        std::fputs(Usage, stderr);
        return 2;
    }
    // The last of --latest and --release counts.
    const auto lastAt = [&args](const QString& option) {
        for (qsizetype i = args.size() - 1; i >= 0; --i)
            if (args[i] == option || args[i].startsWith(option + QLatin1Char('=')))
                return i;
        return qsizetype(-1);
    };
    if (parser.isSet(QStringLiteral("release")) &&
        lastAt(QStringLiteral("--release")) > lastAt(QStringLiteral("--latest")))
        o.release = parser.value(QStringLiteral("release"));
    if (level)
        o.level = *level;
    o.ranks = parser.isSet(QStringLiteral("ranks"));
    o.keepDownloads = parser.isSet(QStringLiteral("keep-downloads"));
    if (parser.isSet(QStringLiteral("tries"))) {
        bool ok = false;
        o.tries = parser.value(QStringLiteral("tries")).toInt(&ok);
        if (!ok || o.tries < 1 || o.tries > 1000) {
            say(Text::tr("tallyscope-graph: --tries takes a number from 1 to 1000"));
            return 2;
        }
    }
    o.outFolder = parser.value(QStringLiteral("out"));
    for (const auto& [name, target] : {std::pair{QStringLiteral("index"), &o.indexUrl},
                                       std::pair{QStringLiteral("data"), &o.dataUrl}}) {
        if (!parser.isSet(name))
            continue;
        *target = QUrl(parser.value(name));
        if (!target->isValid() || (target->scheme() != QLatin1String("http") &&
                                   target->scheme() != QLatin1String("https"))) {
            say(Text::tr("tallyscope-graph: %1 takes an http or https address")
                    .arg(QStringLiteral("--") + name));
            return 2;
        }
    }
    if (o.outFolder.isEmpty()) {
        say(Text::tr("tallyscope-graph: fetch needs --out DIR"));
        return 2;
    }
    again << args;
    o.cancelFlag = &interrupted;
    GraphFetch fetch;
    QObject::connect(&fetch, &GraphFetch::progress, &fetch, &showFetchProgress);
    int status = 1;
    QObject::connect(&fetch, &GraphFetch::finished, &app, [&](const GraphFetchResult& r) {
        if (::isatty(STDERR_FILENO))
            std::fputs("\n", stderr);
        if (r.alreadyThere) {
            say(Text::tr("%1 is there already: nothing to fetch.")
                    .arg(QDir::toNativeSeparators(r.indexFile)));
            status = 0;
        } else if (r.ok) {
            summary(r.import, r.indexFile);
            status = 0;
        } else {
            say(QStringLiteral("tallyscope-graph: ") + r.error);
            if (!r.indexFile.isEmpty() && QFileInfo::exists(r.indexFile))
                say(Text::tr("%1 was left as it was.").arg(r.indexFile));
            say(r.keptBytes > 0
                    ? Text::tr("%1 of downloads is kept; to continue, run the same command again:")
                          .arg(FileDownload::sizeText(r.keptBytes))
                    : Text::tr("Nothing was kept; to continue, run the same command again:"));
            say(QStringLiteral("  ") + again.join(QLatin1Char(' ')));
            status = r.cancelled ? 130 : 1;
        }
        app.quit();
    });
    // Ctrl+C: the download ends at once (the import looks at the same flag itself).
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &fetch, [&] {
        if (interrupted.load())
            fetch.cancel();
    });
    watch.start(100);
    fetch.start(o);
    if (fetch.isRunning())
        app.exec();
    return status;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    installTranslations();
    QStringList args = app.arguments().mid(1);
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    try {
        if (command == QLatin1String("import"))
            return import(args);
        if (command == QLatin1String("import-counts"))
            return importCountsCommand(args);
        if (command == QLatin1String("lookup"))
            return lookup(args);
        if (command == QLatin1String("fetch"))
            return fetch(app, args);
    } catch (const std::bad_alloc&) {
        say(Text::tr("tallyscope-graph: out of memory; nothing was written"));
        return 1;
    }
    if (command == QLatin1String("--version")) {
        std::printf("tallyscope-graph %s (%s %s)\n",
                    product().versionText().toLocal8Bit().constData(),
                    product().name.toLocal8Bit().constData(),
                    product().versionText().toLocal8Bit().constData());
        return 0;
    }
    std::fputs(Text::tr(Usage).toLocal8Bit().constData(),
               command == QLatin1String("--help") ? stdout : stderr);
    return command == QLatin1String("--help") ? 0 : 2;
}
