// The import of a web graph in its published text form (gzip or plain): vertices, edges and the
// ranks file, in both name orders; wrong files refused with the old index kept; a table of counts;
// cancelling; and the lookups by URL of the index made.
//
// The fixture tests/data/graph/cc-main-2099-jan-feb-mar-domain-*.txt.gz follows the publisher's
// layout: vertices "id<TAB>reversed domain<TAB>number of hosts" numbered from 0 in plain byte
// order (releases since 2022), edges "from id<TAB>to id" sorted by from id (here in two gzip
// members), and the ranks file with its header line "#harmonicc_pos<TAB>#harmonicc_val<TAB>#pr_pos
// <TAB>#pr_val<TAB>#host_rev<TAB>#n_hosts" and one line per domain by harmonic-centrality position.
#include "core/files/safe_file.h"
#include "core/linkgraph/graph_import.h"
#include "core/linkgraph/link_index.h"
#include "support/encodings.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QTest>

using namespace tally;

namespace {

const QString Fixture = QStringLiteral("graph/cc-main-2099-jan-feb-mar-domain-");

// "name=count" for each name, "name=-" when the index does not hold it; with ranks,
// "name=count/harmonic/pagerank".
QStringList valuesIn(const LinkIndex& index, const QStringList& names) {
    QStringList out;
    for (const QString& name : names) {
        const LinkIndex::Lookup found = index.find(name.section('=', 0, 0).toUtf8());
        QString text = QStringLiteral("-");
        if (found.status == LinkIndex::Lookup::Status::Found) {
            text = QString::number(found.count());
            if (index.has(GraphMeasure::HarmonicRank))
                text += QStringLiteral("/%1/%2").arg(found.values[1]).arg(found.values[2]);
        }
        out << name.section('=', 0, 0) + QLatin1Char('=') + text;
    }
    return out;
}

QString summary(const GraphImportReport& r) {
    return QStringLiteral("vertices %1, malformed %2, repeated ids %3, repeated names %4, %5 "
                          "order%6; links %7, malformed %8, unknown %9, self %10, repeated %11")
        .arg(r.vertices)
        .arg(r.malformedVertexLines)
        .arg(r.repeatedIds)
        .arg(r.repeatedNames)
        .arg(r.order == NameOrder::Bytes ? "byte" : "dot")
        .arg(r.namesSorted ? QStringLiteral(", sorted") : QString())
        .arg(r.links)
        .arg(r.malformedEdgeLines)
        .arg(r.unknownIdEdges)
        .arg(r.selfLinks)
        .arg(r.repeatedEdges);
}

// Vertex lines "i<TAB>com.v<i>" for i in [0, n), in byte order.
QByteArray plainVertices(int n) {
    QByteArray text;
    for (int i = 0; i < n; ++i)
        text += QByteArray::number(i) + "\tcom.v" + QByteArray::number(i + 100000) + "\n";
    return text;
}

// Edges from every vertex to the next (i -> i+1), and `unknown` more to ids beyond the vertices.
QByteArray chainEdges(int n, int unknown) {
    QByteArray text;
    for (int i = 0; i + 1 < n; ++i)
        text += QByteArray::number(i) + '\t' + QByteArray::number(i + 1) + '\n';
    for (int k = 0; k < unknown; ++k)
        text += QByteArray::number(n - 1) + '\t' + QByteArray::number(n + 10 + k) + '\n';
    return text;
}

// Two edges from every vertex to vertices spread over the graph: text that compresses into
// megabytes, so that a damage lies chunks after the start.
QByteArray scatteredEdges(int n) {
    QByteArray text;
    for (qint64 i = 0; i < n; ++i)
        text += QByteArray::number(i) + '\t' + QByteArray::number((i * 7919 + 13) % n) + '\n' +
                QByteArray::number(i) + '\t' + QByteArray::number((i * 104729 + 7) % n) + '\n';
    return text;
}

// The files of a folder, without the ones a test wrote itself.
QStringList leftovers(const test::TestEnv& env) {
    QStringList files = QDir(env.path()).entryList(QDir::Files | QDir::Hidden);
    files.removeIf([](const QString& f) {
        return f == "v" || f == "e" || f == "r" || f == "out.links" || f.startsWith("rel-domain-");
    });
    return files;
}

} // namespace

class TestGraphImport : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void import_data() {
        QTest::addColumn<QByteArray>("vertices");
        QTest::addColumn<QByteArray>("edges");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("counts");
        // The published layout, gzip, the edges in two gzip members: a target listed twice (the
        // second time after a larger one), a self link, vertices without links, malformed lines
        // of both files within the tenth allowed, a CR LF line end and a last line without one.
        QTest::newRow("published fixture")
            << test::readDataFile(Fixture + "vertices.txt.gz")
            << test::readDataFile(Fixture + "edges.txt.gz")
            << "vertices 20, malformed 2, repeated ids 0, repeated names 0, byte order; links 20, "
               "malformed 1, unknown 0, self 1, repeated 1"
            << QStringList{"au.com.example=2",
                           "com.alpha=3",
                           "com.alpha-shop=1",
                           "com.blogspot=2",
                           "com.gamma=0",
                           "de.xn--bcher-kva=1",
                           "io.github=4",
                           "jp.kawasaki.city=2",
                           "jp.kawasaki.foo.shop=1",
                           "net.lonely=0",
                           "uk.gov=1",
                           "uk.me.someone=1",
                           "org.bad=-",
                           "xn--p1ai.xn--e1afmkfd=1"};
        // Names as earlier releases order them: as if each ended in a dot.
        QTest::newRow("trailing-dot order")
            << QByteArray("0\tac.gov\n1\tac.gov.ascension-island\n2\tac.gov.ascension\n"
                          "3\tac.gov.ascension.mail\n4\tcom.a\n")
            << QByteArray("0\t2\n1\t2\n3\t2\n3\t1\n4\t3\n")
            << "vertices 5, malformed 0, repeated ids 0, repeated names 0, dot order; links 5, "
               "malformed 0, unknown 0, self 0, repeated 0"
            << QStringList{"ac.gov=0", "ac.gov.ascension-island=1", "ac.gov.ascension=3",
                           "ac.gov.ascension.mail=1", "com.a=0"};
        // Names in neither order are sorted; a name twice keeps one vertex with the larger count;
        // an id twice keeps the first; an id far beyond the lines read is no id.
        QTest::newRow("unsorted, repeated names and ids")
            << QByteArray("0\torg.b\n1\tcom.a\n2\tORG.B\n1\tnet.again\n3\tcom.z\n4\tnet.y\n"
                          "5\tcom.c\n6\tcom.d\n7\tcom.e\n8\tcom.f\n99999999\tcom.far\n")
            << QByteArray("1\t0\n1\t2\n3\t2\n3\t0\n")
            << "vertices 8, malformed 1, repeated ids 1, repeated names 1, byte order, sorted; "
               "links 4, malformed 0, unknown 0, self 0, repeated 0"
            << QStringList{"com.a=0", "org.b=2", "com.z=0", "net.again=-", "com.far=-"};
        // Ids that are not the lines' positions: counts go by id.
        QTest::newRow("ids of their own")
            << QByteArray("7\tcom.a\n3\tcom.b\n5\tcom.c\n") << QByteArray("7\t3\n5\t3\n3\t7\n")
            << "vertices 3, malformed 0, repeated ids 0, repeated names 0, byte order; links 3, "
               "malformed 0, unknown 0, self 0, repeated 0"
            << QStringList{"com.a=1", "com.b=2", "com.c=0"};
        // The edges of one from id in any order: each link counts once.
        QTest::newRow("repeated edges apart")
            << QByteArray("0\tcom.a\n1\tcom.b\n2\tcom.c\n")
            << QByteArray("0\t2\n0\t1\n0\t2\n0\t1\n1\t2\n")
            << "vertices 3, malformed 0, repeated ids 0, repeated names 0, byte order; links 3, "
               "malformed 0, unknown 0, self 0, repeated 2"
            << QStringList{"com.a=0", "com.b=1", "com.c=2"};
        // One edge in a hundred may name an id without a vertex.
        QTest::newRow("an unknown id in a hundred")
            << plainVertices(101) << chainEdges(101, 1)
            << "vertices 101, malformed 0, repeated ids 0, repeated names 0, byte order; links "
               "100, malformed 0, unknown 1, self 0, repeated 0"
            << QStringList{"com.v100000=0", "com.v100001=1", "com.v100100=1"};
        // Lines of every kind of wrong, one in ten of each file.
        QTest::newRow("a tenth of wrong lines")
            << plainVertices(9) + "9\tcom b\n"
            << QByteArray("0\t2\n0\t1\t2\n") + chainEdges(9, 0)
            << "vertices 9, malformed 1, repeated ids 0, repeated names 0, byte order; links 9, "
               "malformed 1, unknown 0, self 0, repeated 0"
            << QStringList{"com.v100000=0", "com.v100002=2", "com.v100008=1"};
        // Files of a few MiB: lines cross the reading thread's chunks of 2 MiB, and a line of
        // 3 MB (longer than a chunk) across the first chunk's end is dropped from its 64 KiB on.
        QByteArray many = plainVertices(200000);
        const qsizetype cut = many.indexOf('\n', 2 * 1024 * 1024 - 100000) + 1;
        many.insert(cut, "7\tcom." + QByteArray(3000000, 'y') + "\n");
        QTest::newRow("lines across chunks")
            << many << test::gzipped(chainEdges(200000, 0))
            << "vertices 200000, malformed 1, repeated ids 0, repeated names 0, byte order; links "
               "199999, malformed 0, unknown 0, self 0, repeated 0"
            << QStringList{"com.v100000=0", "com.v200000=1", "com.v299999=1"};
        QTest::newRow("overlong lines")
            << plainVertices(10) + "10\tcom." + QByteArray(70000, 'x') + "\n" +
                   plainVertices(20).mid(plainVertices(10).size())
            << chainEdges(20, 0) + QByteArray(70000, '1') + "\n"
            << "vertices 20, malformed 1, repeated ids 0, repeated names 0, byte order; links 19, "
               "malformed 1, unknown 0, self 0, repeated 0"
            << QStringList{"com.v100010=1", "com.v100019=1"};
    }
    void import() {
        QFETCH(QByteArray, vertices);
        QFETCH(QByteArray, edges);
        QFETCH(QString, report);
        QFETCH(QStringList, counts);
        test::TestEnv env(false);
        env.writeFile("rel-domain-vertices.txt.gz", vertices);
        env.writeFile("e", edges);
        GraphImportOptions options;
        options.verticesFile = env.file("rel-domain-vertices.txt.gz");
        options.edgesFile = env.file("e");
        options.outFile = env.file("out.links");
        QList<GraphImportProgress::Phase> phases;
        const GraphImportReport r =
            importGraph(options, [&phases](const GraphImportProgress& p) { phases << p.phase; });
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(summary(r), report);
        QCOMPARE(r.release, QString("rel"));
        // The end of each file, then the writing.
        QCOMPARE(phases.mid(phases.size() - 3),
                 (QList<GraphImportProgress::Phase>{GraphImportProgress::Phase::Vertices,
                                                    GraphImportProgress::Phase::Edges,
                                                    GraphImportProgress::Phase::Writing}));
        QString problem;
        const auto index = LinkIndex::open(env.file("out.links"), &problem);
        QVERIFY2(index, qPrintable(problem));
        QCOMPARE(index->size(), r.vertices);
        QCOMPARE(index->nameOrder(), r.order);
        QCOMPARE(index->measures(), measureBit(GraphMeasure::LinkingDomains));
        QCOMPARE(valuesIn(*index, counts), counts);
        QCOMPARE(leftovers(env), QStringList());
    }

    void ranks_data() {
        QTest::addColumn<bool>("withEdges");
        QTest::addColumn<QStringList>("values"); // name=count/harmonic/pagerank
        QTest::newRow("edges and ranks")
            << true
            << QStringList{"io.github=4/1/15", "com.alpha=3/10/1", "de.xn--bcher-kva=1/20/18",
                           "com.blogspot=2/17/13", "uk.gov=1/18/16"};
        QTest::newRow("ranks only")
            << false << QStringList{"io.github=0/1/15", "com.alpha=0/10/1", "net.lonely=0/8/17"};
    }
    // The ranks file of the release, into the same index: positions by name.
    void ranks() {
        QFETCH(bool, withEdges);
        QFETCH(QStringList, values);
        test::TestEnv env(false);
        GraphImportOptions options;
        options.verticesFile = test::dataFile(Fixture + "vertices.txt.gz");
        if (withEdges)
            options.edgesFile = test::dataFile(Fixture + "edges.txt.gz");
        options.ranksFile = test::dataFile(Fixture + "ranks.txt.gz");
        options.outFile = env.file("out.links");
        const GraphImportReport r = importGraph(options);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.rankLines, 21u);
        QCOMPARE(r.ranked, 20u);
        QCOMPARE(r.malformedRankLines + r.unknownRankNames, 0u);
        const auto index = LinkIndex::open(env.file("out.links"));
        QVERIFY(index);
        QCOMPARE(index->has(GraphMeasure::LinkingDomains), withEdges);
        QVERIFY(index->has(GraphMeasure::HarmonicRank) && index->has(GraphMeasure::PageRankRank));
        QCOMPARE(index->releaseName(), QString("cc-main-2099-jan-feb-mar"));
        QCOMPARE(valuesIn(*index, values), values);
    }

    void wrongFiles_data() {
        QTest::addColumn<QByteArray>("vertices");
        QTest::addColumn<QByteArray>("edges"); // empty: none given
        QTest::addColumn<QByteArray>("ranks"); // empty: none given
        QTest::addColumn<QString>("error");
        const QByteArray v = test::readDataFile(Fixture + "vertices.txt.gz");
        const QByteArray e = test::readDataFile(Fixture + "edges.txt.gz");
        const QByteArray r = test::readDataFile(Fixture + "ranks.txt.gz");
        const QByteArray rankLines = "1\t3.0E7\t2\t0.01\tcom.a\t3\n2\t2.0E7\t1\t0.02\tcom.b\t1\n";
        QTest::newRow("ranks file as the vertices")
            << r << e << QByteArray()
            << "is a ranks file (harmonic centrality and PageRank "
               "positions), not a vertices file: give it with --ranks";
        QTest::newRow("ranks without their header as the vertices")
            << rankLines << e << QByteArray()
            << "does not read as a vertices file: 0 of its 2 lines are \"<id><TAB><reversed "
               "name>\" (it looks like a ranks file: give it with --ranks)";
        QTest::newRow("files swapped")
            << e << v << QByteArray()
            << "does not read as a vertices file: 1 of its 23 lines are \"<id><TAB><reversed "
               "name>\" (it looks like an edges file: are the vertices and edges files swapped?)";
        QTest::newRow("vertices as the edges")
            << v << v << QByteArray()
            << "does not read as an edges file: 0 of its 22 lines are \"<from id><TAB><to id>\" "
               "(it looks like a vertices file: are the files given in the wrong order?)";
        QTest::newRow("ranks as the edges")
            << v << r << QByteArray() << "(it looks like a ranks file: give it with --ranks)";
        QTest::newRow("vertices as the ranks")
            << v << QByteArray() << v
            << "does not read as a ranks file: 0 of its 22 lines are \"<harmonic position>";
        QTest::newRow("fewer than nine lines in ten")
            << plainVertices(8) + "x\n\n"
            << chainEdges(8, 0) << QByteArray()
            << "does not read as a vertices file: 8 of its 10 lines are";
        QTest::newRow("edges of another graph")
            << plainVertices(101) << chainEdges(101, 2) << QByteArray() << "2 of the 102 edges in";
        QTest::newRow("ranks of another release")
            << plainVertices(10) << QByteArray() << QByteArray("#harmonicc_pos\n") + rankLines
            << "2 of the 2 vertices in";
        QTest::newRow("cut-off gzip") << v.left(v.size() / 2) << e << QByteArray()
                                      << "ends in the middle of its compressed data";
        // Megabytes, damaged or cut off chunks after their start, where a chunk of lines used to
        // end without a line end.
        const QByteArray bigV = test::gzipped(plainVertices(400000));
        const QByteArray bigE = test::gzipped(scatteredEdges(400000));
        QVERIFY(bigE.size() > 3 * 1024 * 1024);
        const qsizetype at = bigE.size() * 2 / 3;
        QTest::newRow("damaged edges of megabytes")
            << bigV << bigE.left(at) + QByteArray(4096, '\x5a') + bigE.mid(at + 4096)
            << QByteArray() << "/e is damaged at byte ";
        QTest::newRow("cut-off edges of megabytes")
            << bigV << bigE.left(at) << QByteArray()
            << "/e is damaged at byte " + QLocale().toString(at) +
                   ": it ends in the middle of its compressed data";
        QTest::newRow("damaged gzip")
            << v.left(12) + QByteArray(40, '\xff') << e << QByteArray() << "is damaged at byte ";
        QTest::newRow("damaged edges") << v << e.left(20) + QByteArray(20, '\xff') + e.mid(40)
                                       << QByteArray() << "is damaged at byte ";
        QTest::newRow("empty") << QByteArray() << e << QByteArray() << "holds no vertex";
        QTest::newRow("nothing but vertices")
            << v << QByteArray() << QByteArray() << "nothing to import";
    }
    // Whatever is wrong, the reason is said and the index made before stays as it was, with no
    // temporary file left beside it.
    void wrongFiles() {
        QFETCH(QByteArray, vertices);
        QFETCH(QByteArray, edges);
        QFETCH(QByteArray, ranks);
        QFETCH(QString, error);
        test::TestEnv env(false);
        env.writeFile("v", vertices);
        GraphImportOptions options;
        options.verticesFile = env.file("v");
        if (!edges.isEmpty()) {
            env.writeFile("e", edges);
            options.edgesFile = env.file("e");
        }
        if (!ranks.isEmpty()) {
            env.writeFile("r", ranks);
            options.ranksFile = env.file("r");
        }
        options.outFile = env.file("out.links");
        options.release = "r";
        env.writeFile("out.links", "older index");
        const GraphImportReport r = importGraph(options);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(error), qPrintable(r.error));
        // A damaged input is named as the file to fetch again.
        QCOMPARE(r.damagedFile.isEmpty(), !r.error.contains(" is damaged at byte "));
        QCOMPARE(env.readFile("out.links"), QByteArray("older index"));
        QCOMPARE(leftovers(env), QStringList());
    }

    void outputIsAnInput() {
        test::TestEnv env(false);
        env.writeFile("v", plainVertices(3));
        env.writeFile("e", chainEdges(3, 0));
        GraphImportOptions options;
        options.verticesFile = env.file("v");
        options.edgesFile = env.file("e");
        options.outFile = env.file("./e");
        const GraphImportReport r = importGraph(options);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains("would replace"), qPrintable(r.error));
        QCOMPARE(env.readFile("e"), chainEdges(3, 0));
    }

    // Cancelled from another thread's flag (here the progress report, as the vertices end): no
    // index, the old one kept, nothing left behind.
    void cancel() {
        test::TestEnv env(false);
        env.writeFile("v", plainVertices(70000));
        env.writeFile("e", chainEdges(70000, 0));
        env.writeFile("out.links", "older index");
        std::atomic<bool> stop{false};
        GraphImportOptions options;
        options.verticesFile = env.file("v");
        options.edgesFile = env.file("e");
        options.outFile = env.file("out.links");
        options.cancel = &stop;
        const GraphImportReport r = importGraph(options, [&stop](const GraphImportProgress& p) {
            if (p.phase == GraphImportProgress::Phase::Vertices && p.lines == 70000)
                stop = true; // the vertices' last report
        });
        QVERIFY(!r.ok);
        QVERIFY(r.cancelled);
        QCOMPARE(r.edgeLines, 65536u); // it stopped at the first look at the flag
        QCOMPARE(env.readFile("out.links"), QByteArray("older index"));
        QCOMPARE(leftovers(env), QStringList());
    }

    void counts_data() {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<bool>("gzip");
        // "vertices N, malformed M, repeated K[, sorted]" or an error
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("counts");
        // As a job over a whole release writes it: names in any order, a header line.
        QTest::newRow("unsorted, with a header")
            << QByteArray("#name\tcount\ncom.b\t5\ncom.a\t12\norg.c\t0\nCOM.B\t7\n") << false
            << "vertices 3, malformed 0, repeated 1, sorted"
            << QStringList{"com.a=12", "com.b=7", "org.c=0", "com.c=-"};
        // Sorted as a database sorts it: written as it comes, however long.
        QTest::newRow("sorted, a name twice")
            << QByteArray("com.a\t1\ncom.a\t4\ncom.a-b\t2\ncom.a.x\t3\nnet.z\t9\n") << false
            << "vertices 4, malformed 0, repeated 1"
            << QStringList{"com.a=4", "com.a-b=2", "com.a.x=3", "net.z=9"};
        QTest::newRow("gzip, with a wrong line")
            << plainVertices(0) + "com.a\t1\ncom.b\t2\ncom.c\t3\ncom.d\t4\ncom.e\t5\ncom.f\t6\n"
                                  "com.g\t7\ncom.h\t8\ncom.i\t9\ncom.j\tmany\n"
            << true << "vertices 9, malformed 1, repeated 0"
            << QStringList{"com.a=1", "com.i=9", "com.j=-"};
        QTest::newRow("an edges file")
            << chainEdges(5, 0) << false << "does not read as a counts file: 0 of its 4 lines"
            << QStringList();
        QTest::newRow("empty") << QByteArray() << false << "does not read as a counts file"
                               << QStringList();
    }
    // A table of counts made elsewhere, into the same kind of index.
    void counts() {
        QFETCH(QByteArray, table);
        QFETCH(bool, gzip);
        QFETCH(QString, outcome);
        QFETCH(QStringList, counts);
        test::TestEnv env(false);
        env.writeFile("rel-domain-counts.txt", gzip ? test::gzipped(table) : table);
        CountsImportOptions options;
        options.countsFile = env.file("rel-domain-counts.txt");
        options.outFile = env.file("out.links");
        env.writeFile("out.links", "older index");
        const GraphImportReport r = importCounts(options);
        if (!outcome.startsWith("vertices")) {
            QVERIFY(!r.ok);
            QVERIFY2(r.error.contains(outcome), qPrintable(r.error));
            QCOMPARE(env.readFile("out.links"), QByteArray("older index"));
            QCOMPARE(QDir(env.path()).entryList(QDir::Files).size(), 2); // nothing left behind
            return;
        }
        QCOMPARE(QDir(env.path()).entryList(QDir::Files).size(), 2);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(QStringLiteral("vertices %1, malformed %2, repeated %3%4")
                     .arg(r.vertices)
                     .arg(r.malformedVertexLines)
                     .arg(r.repeatedNames)
                     .arg(r.namesSorted ? ", sorted" : ""),
                 outcome);
        QCOMPARE(r.release, QString("rel"));
        const auto index = LinkIndex::open(env.file("out.links"));
        QVERIFY(index);
        QCOMPARE(valuesIn(*index, counts), counts);
    }

    void lookupByUrl_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected"); // count and vertex, or "-" and why not
        QTest::newRow("www folded") << "http://www.alpha.com/page"
                                    << "3 com.alpha";
        QTest::newRow("subdomain and port") << "https://shop.alpha.com:8080/x"
                                            << "3 com.alpha";
        QTest::newRow("hyphen beside") << "alpha-shop.com"
                                       << "1 com.alpha-shop";
        QTest::newRow(".me.uk") << "http://www.shop.someone.me.uk/"
                                << "1 uk.me.someone";
        QTest::newRow(".com.au") << "www.example.com.au"
                                 << "2 au.com.example";
        QTest::newRow("city exception") << "http://www.city.kawasaki.jp/"
                                        << "2 jp.kawasaki.city";
        QTest::newRow("city wildcard") << "shop.foo.kawasaki.jp/a"
                                       << "1 jp.kawasaki.foo.shop";
        QTest::newRow("platform subdomain") << "https://myblog.blogspot.com/"
                                            << "2 com.blogspot";
        QTest::newRow("platform pages") << "someone.github.io"
                                        << "4 io.github";
        QTest::newRow("suffix as a domain") << "https://www.gov.uk/"
                                            << "1 uk.gov";
        QTest::newRow("IDN") << "http://bücher.de/"
                             << "1 de.xn--bcher-kva";
        QTest::newRow("IDN top-level") << "http://www.пример.рф/"
                                       << "1 xn--p1ai.xn--e1afmkfd";
        QTest::newRow("no links") << "lonely.net"
                                  << "0 net.lonely";
        QTest::newRow("not in the graph") << "http://unknown.org/"
                                          << "- org.unknown";
        QTest::newRow("other .co.uk") << "www.other.co.uk"
                                      << "- uk.co.other";
        QTest::newRow("address") << "http://127.0.0.1:8080/"
                                 << "- an IP address (the web graphs hold host names only)";
        QTest::newRow("nothing") << ""
                                 << "- not a web address with a host name";
    }
    void lookupByUrl() {
        QFETCH(QString, url);
        QFETCH(QString, expected);
        test::TestEnv env(false);
        GraphImportOptions options;
        options.verticesFile = test::dataFile(Fixture + "vertices.txt.gz");
        options.edgesFile = test::dataFile(Fixture + "edges.txt.gz");
        options.outFile = env.file("i");
        QVERIFY(importGraph(options).ok);
        const auto index = LinkIndex::open(env.file("i"));
        QVERIFY(index);
        QCOMPARE(index->countMeaning(), QString("linking domains in cc-main-2099-jan-feb-mar"));
        const LinkIndex::Lookup found = index->findUrl(url);
        QCOMPARE(found.status == LinkIndex::Lookup::Status::Found
                     ? QString::number(found.count()) + ' ' + QString::fromUtf8(found.name)
                     : "- " + (found.name.isEmpty() ? found.problem : QString(found.name)),
                 expected);
    }

    void hostLevel_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected");
        QTest::newRow("www folded") << "www.example.com"
                                    << "2 com.example";
        QTest::newRow("exact host") << "http://blog.example.com/x"
                                    << "1 com.example.blog";
        QTest::newRow("www of a subdomain") << "www.blog.example.com"
                                            << "1 com.example.blog";
        // Never another host's count: not the domain's.
        QTest::newRow("missing host") << "nothere.example.com"
                                      << "- com.example.nothere";
        QTest::newRow("platform subdomain") << "myblog.blogspot.com"
                                            << "0 com.blogspot.myblog";
        QTest::newRow("platform itself") << "blogspot.com"
                                         << "- com.blogspot";
    }
    // A host-level graph (its vertices file named "-host-"): exact hosts only.
    void hostLevel() {
        QFETCH(QString, url);
        QFETCH(QString, expected);
        test::TestEnv env(false);
        env.writeFile("rel-host-vertices.txt",
                      "0\tcom.blogspot.myblog\n1\tcom.example\n2\tcom.example.blog\n3\torg.x\n");
        env.writeFile("e", "2\t1\n3\t1\n3\t2\n");
        GraphImportOptions options;
        options.verticesFile = env.file("rel-host-vertices.txt");
        options.edgesFile = env.file("e");
        options.outFile = env.file("h.links");
        const GraphImportReport r = importGraph(options);
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.level, GraphLevel::Hosts);
        const auto index = LinkIndex::open(env.file("h.links"));
        QVERIFY(index);
        QCOMPARE(index->countMeaning(), QString("linking hosts in rel"));
        const LinkIndex::Lookup found = index->findUrl(url);
        QCOMPARE(found.status == LinkIndex::Lookup::Status::Found
                     ? QString::number(found.count()) + ' ' + QString::fromUtf8(found.name)
                     : "- " + QString::fromUtf8(found.name),
                 expected);
    }

    void releaseOfFile_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("release");
        QTest::addColumn<bool>("hosts");
        QTest::newRow("domain") << "/x/cc-main-2024-feb-apr-may-domain-vertices.txt.gz"
                                << "cc-main-2024-feb-apr-may" << false;
        QTest::newRow("host") << "cc-main-2017-18-nov-dec-jan-host-vertices.txt"
                              << "cc-main-2017-18-nov-dec-jan" << true;
        QTest::newRow("counts") << "cc-main-2025-domain-counts.tsv.gz"
                                << "cc-main-2025" << false;
        QTest::newRow("other") << "names.gz"
                               << "names" << false;
    }
    void releaseOfFile() {
        QFETCH(QString, file);
        QFETCH(QString, release);
        QFETCH(bool, hosts);
        const ReleaseOfFile r = releaseOfVerticesFile(file);
        QCOMPARE(r.release, release);
        QCOMPARE(r.level == GraphLevel::Hosts, hosts);
    }
};

TALLY_GUILESS_TEST_MAIN(TestGraphImport)
#include "tst_graph_import.moc"
