// tallyscope-graph fetch run as a user runs it, against a local stand-in of the web graph's
// publisher (support/common_crawl_stand_in.h: graphinfo.json as index.commoncrawl.org serves it,
// an array newest first of {"id", "crawls", "index", "location", "stats": {"host": {"nodes",
// "arcs"}, "domain": {"nodes", "arcs"}}}; the release's files under
// projects/hyperlinkgraph/<id>/{domain,host}/ as data.commoncrawl.org serves them, host parts
// named by the .paths.gz lists, byte ranges answered 206 with Content-Range): the newest release
// (or a named one) downloaded and imported, a run cut off or interrupted half-way resumed with a
// Range request, wrong answers refused keeping the old index, and Preset=commoncrawl counting a
// table of URLs from the fetched index. The faults of the real internet: damaged, cut and endless
// files, S3's 503 SlowDown, a file replaced between two runs, a full disk.
#include "core/linkgraph/link_index.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/engine_outcome.h"
#include "core/settings/program_folder.h"
#include "support/common_crawl_stand_in.h"
#include "support/encodings.h"
#include "support/full_disk.h"
#include "support/local_http_server.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <vector>

using namespace tally;

namespace {

const QString Newest = QStringLiteral("cc-main-2099-apr-may-jun");
const QString Older = QStringLiteral("cc-main-2099-jan-feb-mar");

// Domains as the publisher's domain graphs hold them, with how many domains link to each. The
// decoys are what a two-label rule would look up ("uk.me", "jp.kawasaki").
QMap<QByteArray, int> domains() {
    return {{"uk.co.example", 3},  {"uk.me.someone", 5},     {"uk.me", 41},
            {"au.com.example", 7}, {"jp.kawasaki.city", 11}, {"jp.kawasaki.foo.shop", 13},
            {"jp.kawasaki", 37},   {"de.xn--bcher-kva", 17}, {"com.example", 19},
            {"com.blogspot", 23},  {"org.example", 2}};
}

QMap<QByteArray, int> hosts() {
    return {{"com.example", 6}, {"com.example.blog", 4}, {"com.blogspot.myblog", 9}};
}

struct Publisher {
    test::CommonCrawlStandIn standIn;
    test::LocalHttpServerThread server;
    Publisher(qint64 statsScale = 1) {
        const test::SmallGraph d = test::smallGraph(domains()), h = test::smallGraph(hosts());
        standIn.addRelease(Older, test::smallGraph({{"com.example", 1}}));
        standIn.addRelease(Newest, d, &h, statsScale);
        server.server()->setHandler(standIn.handler());
    }
    QStringList args(const QString& out) const {
        return {"fetch",
                "--index",
                server.server()->urlString("/graphinfo.json"),
                "--data",
                server.server()->urlString(""),
                "--out",
                out};
    }
    QString edges() const {
        return test::CommonCrawlStandIn::releaseFolder(Newest, "domain") + Newest +
               "-domain-edges.txt.gz";
    }
    QStringList fileRequests() const {
        QStringList files;
        for (const test::HttpRequest& r : server.server()->requests())
            if (r.path != QLatin1String("/graphinfo.json"))
                files << r.path.section('/', -1);
        return files;
    }
};

// Text that does not compress: gzip files of about its size.
QByteArray randomText(qsizetype size) {
    std::vector<quint32> words(size_t(size + 3) / 4);
    QRandomGenerator(7).fillRange(words.data(), qsizetype(words.size()));
    const auto* random = reinterpret_cast<const unsigned char*>(words.data());
    QByteArray text(size, Qt::Uninitialized);
    char* out = text.data();
    for (qsizetype i = 0; i < size; ++i)
        out[i] = char('a' + random[i] % 26);
    return text;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestGraphFetch : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void fetchesAndImports_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("index");     // the file made in the folder
        QTest::addColumn<QStringList>("files"); // downloaded, in order
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("count");    // its linking domains (hosts)
        QTest::addColumn<int>("position"); // its harmonic position; 0: no ranks
        const QString d = Newest + "-domain-";
        QTest::newRow("newest, domains") << QStringList{"--latest"} << Newest + "-domain.links"
                                         << QStringList{d + "vertices.txt.gz", d + "edges.txt.gz"}
                                         << "http://www.example.co.uk/" << 3 << 0;
        QTest::newRow("with ranks")
            << QStringList{"--ranks"} << Newest + "-domain.links"
            << QStringList{d + "vertices.txt.gz", d + "edges.txt.gz", d + "ranks.txt.gz"}
            << "https://www.shop.someone.me.uk/" << 5 << 9;
        QTest::newRow("a named release")
            << QStringList{"--release", Older} << Older + "-domain.links"
            << QStringList{Older + "-domain-vertices.txt.gz", Older + "-domain-edges.txt.gz"}
            << "http://example.com/" << 1 << 0;
        QTest::newRow("hosts, from their parts")
            << QStringList{"--level", "host", "--ranks"} << Newest + "-host.links"
            << QStringList{Newest + "-host-vertices.paths.gz", Newest + "-host-edges.paths.gz",
                           "part-00000-8d1f.txt.gz",           "part-00001-8d1f.txt.gz",
                           "part-00000-8d1f.txt.gz",           "part-00001-8d1f.txt.gz",
                           Newest + "-host-ranks.txt.gz"}
            << "http://www.blog.example.com:8080/" << 4 << 3;
    }
    void fetchesAndImports() {
        QFETCH(QStringList, options);
        QFETCH(QString, index);
        QFETCH(QStringList, files);
        QFETCH(QString, url);
        QFETCH(int, count);
        QFETCH(int, position);
        Publisher publisher;
        QTemporaryDir out;
        const test::ToolRun run = test::runGraphTool(publisher.args(out.path()) + options);
        QVERIFY2(run.exit == 0, qPrintable(run.err));
        QCOMPARE(publisher.fileRequests(), files);
        // Only the index is left: the downloads are removed once it is made.
        QCOMPARE(QDir(out.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 QStringList{index});
        QString why;
        const auto made = LinkIndex::open(out.filePath(index), &why);
        QVERIFY2(made, qPrintable(why));
        QCOMPARE(made->releaseName(), index.section('-', 0, -2));
        const LinkIndex::Lookup found = made->findUrl(url);
        QCOMPARE(int(found.status), int(LinkIndex::Lookup::Status::Found));
        QCOMPARE(int(found.count()), count);
        QCOMPARE(int(found.value(GraphMeasure::HarmonicRank)), position);
        // The same command again finds the index there and fetches nothing.
        publisher.server.server()->clearLog();
        const test::ToolRun again = test::runGraphTool(publisher.args(out.path()) + options);
        QCOMPARE(again.exit, 0);
        QVERIFY2(again.err.contains("is there already: nothing to fetch"), qPrintable(again.err));
        QVERIFY(publisher.fileRequests().isEmpty());
    }

    // Failures say why and what to run to go on, and keep an older index as it was; a cut-off
    // download goes on from where it stopped when the same command runs again.
    void failuresKeepTheOldIndex_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QByteArray>("resumedWith"); // the Range of the run again; empty: none
        // Cut off half-way through the edges ("HALF" stands for that byte).
        QTest::newRow("cut off") << "cut" << QStringList{"--tries", "1"}
                                 << "short body: HALF of the " << QByteArray("bytes=HALF-");
        // "whole": the next run downloads the edges again from their start.
        QTest::newRow("corrupted edges of megabytes")
            << "corrupted" << QStringList() << "-domain-edges.txt.gz is damaged at byte "
            << QByteArray("whole");
        QTest::newRow("cut edges of megabytes")
            << "truncated" << QStringList()
            << "ends in the middle of its compressed data (is the file complete?); it was removed"
            << QByteArray("whole");
        QTest::newRow("damaged on the disk from an earlier run")
            << "kept damaged" << QStringList() << "-domain-edges.txt.gz is damaged at byte "
            << QByteArray("whole");
        QTest::newRow("endless list")
            << "endless list" << QStringList() << "sent more than the 16 MiB such a file may be"
            << QByteArray();
        QTest::newRow("endless edges")
            << "endless edges" << QStringList() << "sent more than the 16 MiB such a file may be"
            << QByteArray("whole");
        QTest::newRow("full disk")
            << "full disk" << QStringList() << "not enough disk space in " << QByteArray();
        QTest::newRow("not gzip") << "html" << QStringList() << "is not a gzip file"
                                  << QByteArray();
        QTest::newRow("no such release") << "" << QStringList{"--release", "cc-main-1999"}
                                         << "there is no release cc-main-1999 in the list "
                                            "(the newest is " +
                                                Newest + ")"
                                         << QByteArray();
        QTest::newRow("no room") << "huge" << QStringList() << "not enough disk space in "
                                 << QByteArray();
        QTest::newRow("no list") << "no list" << QStringList() << "answered HTTP 404"
                                 << QByteArray();
    }
    void failuresKeepTheOldIndex() {
        QFETCH(QString, fault);
        QFETCH(QStringList, options);
        QFETCH(QString, error);
        QFETCH(QByteArray, resumedWith);
        Publisher publisher(fault == QLatin1String("huge") ? qint64(1) << 50 : 1);
        const QByteArray half =
            QByteArray::number(publisher.standIn.file(publisher.edges()).size() / 2);
        error.replace("HALF", QString::fromLatin1(half));
        resumedWith.replace("HALF", half);
        if (fault == QLatin1String("cut"))
            publisher.standIn.cutNext(publisher.edges(), half.toLongLong());
        if (fault == QLatin1String("html"))
            publisher.standIn.setFile(publisher.edges(), "<html><body>Busy</body></html>");
        const QByteArray goodEdges = publisher.standIn.file(publisher.edges());
        // Edges of megabytes, made only for the rows that damage them.
        const QByteArray big =
            fault == QLatin1String("corrupted") || fault == QLatin1String("truncated")
                ? test::gzipped(randomText(6 * 1024 * 1024))
                : QByteArray();
        if (fault == QLatin1String("corrupted"))
            publisher.standIn.setFile(publisher.edges(), big.left(big.size() / 2) +
                                                             QByteArray(4096, 'Z') +
                                                             big.mid(big.size() / 2 + 4096));
        if (fault == QLatin1String("truncated"))
            publisher.standIn.setFile(publisher.edges(), big.left(big.size() * 2 / 3));
        if (fault == QLatin1String("endless list") || fault == QLatin1String("endless edges")) {
            test::HttpResponse endless =
                test::HttpResponse::page(fault == QLatin1String("endless edges")
                                             ? test::gzipped(randomText(32 * 1024 * 1024))
                                             : QByteArray());
            endless.noLength = true;
            if (fault == QLatin1String("endless list"))
                endless.generatedSize = qint64(1) << 40;
            publisher.server.server()->route(
                fault == QLatin1String("endless list") ? "/graphinfo.json" : publisher.edges(),
                endless);
        }
        QTemporaryDir out;
        std::optional<test::SmallFileSystem> disk;
        if (fault == QLatin1String("full disk")) {
            disk.emplace(out.path());
            if (!disk->mounted())
                QSKIP("cannot mount a small tmpfs here (needs root)");
        }
        if (fault == QLatin1String("kept damaged")) {
            QFile f(out.filePath(Newest + "-domain-edges.txt.gz"));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(goodEdges.left(goodEdges.size() / 2));
        }
        const QString old = out.filePath(Older + "-domain.links");
        {
            QFile f(old);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("the index of an older release");
        }
        QStringList args = publisher.args(out.path()) + options;
        if (fault == QLatin1String("no list"))
            args[2] = publisher.server.server()->urlString("/nothing.json");
        if (disk)
            disk->fill();
        const test::ToolRun run = test::runGraphTool(args);
        QCOMPARE(run.exit, 1);
        QVERIFY2(run.err.contains(error), qPrintable(run.err));
        QVERIFY2(run.err.contains("to continue, run the same command again:\n  tallyscope-graph " +
                                  args.join(' ')),
                 qPrintable(run.err));
        QCOMPARE(readAll(old), QByteArray("the index of an older release"));
        QVERIFY(!QFile::exists(out.filePath(Newest + "-domain.links")));
        if (resumedWith.isEmpty())
            return;
        publisher.server.server()->clearLog();
        publisher.server.server()->removeRoute(publisher.edges());
        publisher.standIn.setFile(publisher.edges(), goodEdges);
        const test::ToolRun again = test::runGraphTool(args);
        QVERIFY2(again.exit == 0, qPrintable(again.err));
        // The vertices were complete: only the rest of the edges (or all of them again, after
        // a damaged download) was asked for.
        QCOMPARE(publisher.fileRequests(), QStringList{Newest + "-domain-edges.txt.gz"});
        QCOMPARE(publisher.server.server()->requests().last().header("Range"),
                 resumedWith == "whole" ? QByteArray() : resumedWith);
        QVERIFY(LinkIndex::open(out.filePath(Newest + "-domain.links")));
    }

    // S3's 503 SlowDown with Retry-After is waited for and tried again, said on standard error;
    // a file replaced on the server between two runs is not joined to its older part.
    void survivesSlowDownsAndReplacedFiles() {
        Publisher publisher;
        publisher.standIn.slowDown(publisher.edges(), 2, 1);
        QTemporaryDir out;
        QElapsedTimer clock;
        clock.start();
        const test::ToolRun run = test::runGraphTool(publisher.args(out.path()));
        QVERIFY2(run.exit == 0, qPrintable(run.err));
        QVERIFY(clock.elapsed() >= 2000);
        QCOMPARE(publisher.fileRequests().count(Newest + "-domain-edges.txt.gz"), 3);
        QVERIFY2(
            run.err.contains(Newest + "-domain-edges.txt.gz: http://") &&
                run.err.contains(" answered HTTP 503 (SlowDown); retrying in 1 s, try 3 of 20"),
            qPrintable(run.err));

        // A second release whose edges are cut half-way, then replaced by a file with one link
        // less to uk.co.example before the run that resumes.
        Publisher replaced;
        QTemporaryDir out2;
        replaced.standIn.cutNext(replaced.edges(),
                                 replaced.standIn.file(replaced.edges()).size() / 2);
        QCOMPARE(test::runGraphTool(replaced.args(out2.path()) + QStringList{"--tries", "1"}).exit,
                 1);
        const test::SmallGraph graph = test::smallGraph(domains());
        QByteArray target, fewer;
        for (const QByteArray& line : graph.vertices.split('\n'))
            if (line.split('\t').value(1) == "uk.co.example")
                target = line.split('\t').value(0);
        bool dropped = false; // one link to uk.co.example less
        for (const QByteArray& line : graph.edges.split('\n')) {
            if (!dropped && line.split('\t').value(1) == target)
                dropped = true;
            else if (!line.isEmpty())
                fewer += line + '\n';
        }
        replaced.standIn.setFile(replaced.edges(), test::gzipped(fewer));
        replaced.server.server()->clearLog();
        const test::ToolRun again = test::runGraphTool(replaced.args(out2.path()));
        QVERIFY2(again.exit == 0, qPrintable(again.err));
        const test::HttpRequest resumed = replaced.server.server()->requests().last();
        QVERIFY(resumed.header("Range").startsWith("bytes="));
        QVERIFY(resumed.header("If-Range").startsWith('"'));
        const auto index = LinkIndex::open(out2.filePath(Newest + "-domain.links"));
        QVERIFY(index);
        QCOMPARE(int(index->findUrl("http://www.example.co.uk/").count()), 2);
    }

    // Ctrl+C in the middle of a download stops it at once; the same command resumes it.
    void interruptedAndResumed() {
        Publisher publisher;
        const QByteArray edges = publisher.standIn.file(publisher.edges());
        // A tenth of the file every 200 ms: interrupted once a quarter has come.
        const int tenth = int(edges.size() / 10);
        QVERIFY(tenth > 4);
        publisher.standIn.drip(publisher.edges(), tenth, 200);
        QTemporaryDir out;
        const QString part = out.filePath(Newest + "-domain-edges.txt.gz.part");
        QProcess tool;
        tool.start(QStringLiteral(TALLY_GRAPH_TOOL), publisher.args(out.path()));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(part).size() >= 2 * tenth, 20000);
        ::kill(pid_t(tool.processId()), SIGINT);
        QVERIFY(tool.waitForFinished(5000));
        QCOMPARE(tool.exitCode(), 130);
        const qint64 kept = QFileInfo(part).size();
        QVERIFY(kept >= 2 * tenth && kept < edges.size());
        QVERIFY(!QFile::exists(out.filePath(Newest + "-domain.links")));
        publisher.standIn.drip(publisher.edges(), 1 << 20, 0);
        publisher.server.server()->clearLog();
        const test::ToolRun again = test::runGraphTool(publisher.args(out.path()));
        QVERIFY2(again.exit == 0, qPrintable(again.err));
        QCOMPARE(publisher.server.server()->requests().last().header("Range"),
                 "bytes=" + QByteArray::number(kept) + "-");
    }

    // The presets read the index fetched last into the per-user graphs folder: the registrable
    // domain by the Public Suffix List, as the publisher's domain graphs fold hosts.
    void presetsCountFromTheFetchedIndex_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("count");   // empty: a failure
        QTest::addColumn<QString>("matched"); // or the failure's words
        QTest::addColumn<QString>("position");
        QTest::newRow(".co.uk") << "http://www.example.co.uk/page"
                                << "3"
                                << "uk.co.example"
                                << "10";
        QTest::newRow(".me.uk") << "https://www.shop.someone.me.uk/"
                                << "5"
                                << "uk.me.someone"
                                << "9";
        QTest::newRow(".com.au") << "http://shop.example.com.au"
                                 << "7"
                                 << "au.com.example"
                                 << "8";
        QTest::newRow(".jp city (an exception)") << "http://www.city.kawasaki.jp/"
                                                 << "11"
                                                 << "jp.kawasaki.city"
                                                 << "7";
        QTest::newRow(".jp wildcard") << "http://shop.foo.kawasaki.jp/"
                                      << "13"
                                      << "jp.kawasaki.foo.shop"
                                      << "6";
        QTest::newRow("IDN") << "http://www.bücher.de/"
                             << "17"
                             << "de.xn--bcher-kva"
                             << "5";
        QTest::newRow("port") << "http://example.com:8080/x"
                              << "19"
                              << "com.example"
                              << "4";
        QTest::newRow("platform subdomain") << "https://myblog.blogspot.com/"
                                            << "23"
                                            << "com.blogspot"
                                            << "3";
        QTest::newRow("IP address") << "http://192.0.2.1/"
                                    << ""
                                    << "an IP address"
                                    << "";
        QTest::newRow("not in the graph") << "http://nothere.example.net/"
                                          << ""
                                          << "not in " + Newest + " (looked for net.example)"
                                          << "";
    }
    void presetsCountFromTheFetchedIndex() {
        QFETCH(QString, url);
        QFETCH(QString, count);
        QFETCH(QString, matched);
        QFETCH(QString, position);
        test::TestEnv env;
        Publisher publisher;
        const test::ToolRun run = test::runGraphTool(publisher.args(ProgramFolder::graphsFolder()) +
                                                     QStringList{"--ranks"});
        QVERIFY2(run.exit == 0, qPrintable(run.err));
        env.writeFile("engines.ini", "[ATW]\nPreset=commoncrawl\n[MSN]\nPreset=commoncrawl-rank\n");
        const EngineSet set = loadEngines(env.file("engines.ini"));
        const EngineDefinition& links = set.definitions[5];
        const EngineDefinition& rank = set.definitions[4];
        QVERIFY2(links.usable(), qPrintable(links.problem));
        QVERIFY2(rank.usable(), qPrintable(rank.problem));
        QVERIFY(links.countsIntoTotal);
        QVERIFY(!rank.countsIntoTotal);
        const EngineOutcome a = graphOutcome(links, url), b = graphOutcome(rank, url);
        if (count.isEmpty()) {
            QVERIFY(!a.isCount() && !b.isCount());
            QVERIFY2(a.reason.contains(matched), qPrintable(a.reason));
            QVERIFY(a.matched.isEmpty());
            return;
        }
        QCOMPARE(a.count, count);
        QCOMPARE(a.matched, matched);
        QCOMPARE(a.note, "linking domains to " + matched + " in " + Newest);
        QCOMPARE(b.count, position);
    }
};

TALLY_GUILESS_TEST_MAIN(TestGraphFetch)
#include "tst_graph_fetch.moc"
