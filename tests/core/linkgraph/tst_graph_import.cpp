// The link graph: importing a web graph in its published text form (gzip or plain), the index's
// lookups by URL, and indexes that are not what they claim.
#include "core/files/safe_file.h"
#include "core/linkgraph/domain_names.h"
#include "core/linkgraph/graph_import.h"
#include "core/linkgraph/link_index.h"
#include "support/test_env.h"

#include <QRegularExpression>
#include <QTest>

using namespace tally;

namespace {

const QString Fixture = QStringLiteral("graph/cc-main-2099-jan-feb-mar-domain-");

// "name=count" for each name, "name=-" when the index does not hold it.
QStringList counts(const LinkIndex& index, const QStringList& names) {
    QStringList out;
    for (const QString& name : names) {
        const LinkIndex::Lookup found = index.find(name.toUtf8());
        out << name + QLatin1Char('=') +
                   (found.status == LinkIndex::Lookup::Status::Found ? QString::number(found.count)
                                                                     : QStringLiteral("-"));
    }
    return out;
}

QString summary(const GraphImportReport& r) {
    return QStringLiteral("vertices %1, malformed %2, repeated ids %3, repeated names %4%5; "
                          "links %6, malformed %7, unknown %8, self %9, repeated %10")
        .arg(r.vertices)
        .arg(r.malformedVertexLines)
        .arg(r.repeatedIds)
        .arg(r.repeatedNames)
        .arg(r.namesSorted ? QStringLiteral(", sorted") : QString())
        .arg(r.links)
        .arg(r.malformedEdgeLines)
        .arg(r.unknownIdEdges)
        .arg(r.selfLinks)
        .arg(r.repeatedEdges);
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
        // The published layout, gzip, the edges in two gzip members: an edge to an unknown id, a
        // repeated edge, a self link, a vertex without edges, malformed lines of both files, a
        // CR LF line end and a last line without one.
        QTest::newRow("published fixture")
            << test::readDataFile(Fixture + "vertices.txt.gz")
            << test::readDataFile(Fixture + "edges.txt.gz")
            << "vertices 6, malformed 2, repeated ids 0, repeated names 0; links 7, malformed 1, "
               "unknown 1, self 1, repeated 1"
            << QStringList{"com.alpha=2", "com.beta=1",      "com.gamma=3", "net.lonely=0",
                           "org.delta=0", "uk.co.epsilon=1", "org.bad=-",   "com.unknown=-"};
        // Names out of order are sorted; a name twice keeps one vertex with the larger count;
        // an id twice keeps the first; ids far beyond the lines read are no ids.
        QTest::newRow("unsorted and repeated names")
            << QByteArray("0\torg.b\n1\tcom.a\n2\tORG.B\n1\tnet.again\n99999999\tcom.far\n3\tcom."
                          "z\n")
            << QByteArray("1\t0\n1\t2\n3\t2\n3\t0\n")
            << "vertices 3, malformed 1, repeated ids 1, "
               "repeated names 1, sorted; links 4, "
               "malformed 0, unknown 0, self 0, repeated "
               "0"
            << QStringList{"com.a=0", "org.b=2", "com.z=0", "net.again=-", "com.far=-"};
        // The edges of one from id in any order: each link counts once.
        QTest::newRow("repeated edges apart")
            << QByteArray("0\tcom.a\n1\tcom.b\n2\tcom.c\n")
            << QByteArray("0\t2\n0\t1\n0\t2\n1\t2\n")
            << "vertices 3, malformed 0, repeated ids 0, repeated names 0; links 3, malformed 0, "
               "unknown 0, self 0, repeated 1"
            << QStringList{"com.a=0", "com.b=1", "com.c=2"};
        QTest::newRow("lines of every kind of wrong")
            << QByteArray("0\tcom.a\n\n-1\tcom.neg\n01\tcom.zero\n1\tcom b\n1\t\n1\tcom.b\t7\t8\n" +
                          QByteArray(70000, 'x') + "\n2\tcom.c")
            << QByteArray("0\t1\t2\n0 1\n0\t\n\t1\n+0\t1\n1\t0\n" + QByteArray(70000, '1') +
                          "\n2\t1\r\n")
            << "vertices 3, malformed 6, repeated ids 0, repeated names 0; links 2, malformed 6, "
               "unknown 0, self 0, repeated 0"
            << QStringList{"com.a=1", "com.b=1", "com.c=0"};
    }
    void import() {
        QFETCH(QByteArray, vertices);
        QFETCH(QByteArray, edges);
        QFETCH(QString, report);
        QFETCH(QStringList, counts);
        test::TestEnv env(false);
        env.writeFile("rel-domain-vertices.txt.gz", vertices);
        env.writeFile("edges", edges);
        GraphImportOptions options{env.file("rel-domain-vertices.txt.gz"), env.file("edges"),
                                   env.file("out.links"), QString(), std::nullopt};
        int progressCalls = 0;
        const GraphImportReport r =
            importGraph(options, [&progressCalls](const GraphImportProgress&) { ++progressCalls; });
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(summary(r), report);
        QVERIFY(progressCalls >= 3); // the end of each file, and the writing
        QCOMPARE(r.release, QString("rel"));
        QString problem;
        const auto index = LinkIndex::open(env.file("out.links"), &problem);
        QVERIFY2(index, qPrintable(problem));
        QCOMPARE(index->size(), r.vertices);
        QStringList names = counts;
        names.replaceInStrings(QRegularExpression("=.*"), QString());
        QCOMPARE(::counts(*index, names), counts);
    }

    void importFailures_data() {
        QTest::addColumn<QByteArray>("vertices");
        QTest::addColumn<QString>("error");
        const QByteArray gz = test::readDataFile(Fixture + "vertices.txt.gz");
        QTest::newRow("cut-off gzip") << gz.left(gz.size() / 2) << "ends in the middle";
        QTest::newRow("damaged gzip") << gz.left(12) + QByteArray(40, '\xff') << "is damaged";
        QTest::newRow("no vertex") << QByteArray("no\nvertex here\n") << "holds no vertex";
    }
    void importFailures() {
        QFETCH(QByteArray, vertices);
        QFETCH(QString, error);
        test::TestEnv env(false);
        env.writeFile("v", vertices);
        env.writeFile("e", "0\t1\n");
        env.writeFile("out.links", "older index");
        const GraphImportReport r =
            importGraph({env.file("v"), env.file("e"), env.file("out.links"), "r", std::nullopt});
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(error), qPrintable(r.error));
        QCOMPARE(env.readFile("out.links"), QByteArray("older index")); // untouched
    }

    void lookupByUrl_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("expected"); // count and vertex, or "-"
        QTest::newRow("host without www") << "http://www.alpha.com/page"
                                          << "2 com.alpha";
        QTest::newRow("domain of a host") << "https://blog.gamma.com:8080/x"
                                          << "3 com.gamma";
        QTest::newRow("as listed, no scheme") << "lonely.net"
                                              << "0 net.lonely";
        QTest::newRow("country second level") << "WWW.Epsilon.CO.UK."
                                              << "1 uk.co.epsilon";
        QTest::newRow("not in the graph") << "http://unknown.org/"
                                          << "-";
        QTest::newRow("address") << "http://127.0.0.1/"
                                 << "-";
        QTest::newRow("nothing") << ""
                                 << "-";
    }
    void lookupByUrl() {
        QFETCH(QString, url);
        QFETCH(QString, expected);
        test::TestEnv env(false);
        QVERIFY(importGraph({test::dataFile(Fixture + "vertices.txt.gz"),
                             test::dataFile(Fixture + "edges.txt.gz"), env.file("i"), QString(),
                             std::nullopt})
                    .ok);
        const auto index = LinkIndex::open(env.file("i"));
        QVERIFY(index);
        QCOMPARE(index->countMeaning(), QString("linking domains in cc-main-2099-jan-feb-mar"));
        const LinkIndex::Lookup found = index->findUrl(url);
        QCOMPARE(found.status == LinkIndex::Lookup::Status::Found
                     ? QString::number(found.count) + ' ' + QString::fromUtf8(found.name)
                     : QStringLiteral("-"),
                 expected);
    }

    // Many names: lookups cross blocks; an index that is not one, or is damaged, is refused or
    // fails its lookups, never read out of bounds.
    void largeAndDamagedIndexes() {
        test::TestEnv env(false);
        LinkIndexBuilder builder("big", GraphLevel::Hosts);
        for (quint32 i = 0; i < 1000; ++i)
            builder.add(QByteArray("com.site") + QByteArray::number(100000 + i), i);
        const QByteArray bytes = builder.finish([](quint32 id) { return id * 3; }).bytes;
        QVERIFY(writeFileAtomically(env.file("big"), bytes));
        auto index = LinkIndex::open(env.file("big"));
        QVERIFY(index);
        QCOMPARE(index->countMeaning(), QString("linking hosts in big"));
        for (quint32 i : {0u, 63u, 64u, 500u, 999u})
            QCOMPARE(index->find("com.site" + QByteArray::number(100000 + i)).count, i * 3);
        for (const char* absent : {"com.site0", "com.site100000x", "zzz", "a"})
            QCOMPARE(index->find(absent).status, LinkIndex::Lookup::Status::NotFound);

        QString problem;
        QVERIFY(writeFileAtomically(env.file("short"), bytes.left(100)));
        QVERIFY(!LinkIndex::open(env.file("short"), &problem));
        QVERIFY2(problem.contains("damaged"), qPrintable(problem));
        QVERIFY(!LinkIndex::open(env.file("none"), &problem));
        QVERIFY(problem.contains("there is no file"));
        env.writeFile("text", QByteArray(200, 'x'));
        QVERIFY(!LinkIndex::open(env.file("text"), &problem));
        QVERIFY(problem.contains("not a link index"));
        QVERIFY(!LinkIndex::open(env.path(), &problem));
        QVERIFY(problem.contains("not a regular file"));
        // Records overwritten with bytes that hold no NUL, and a block pointing past them.
        QByteArray damaged = bytes;
        damaged.replace(64 + 3, 4000, QByteArray(4000, 'y'));
        const qsizetype blocks = damaged.size() - 16 * 8;
        damaged.replace(blocks + 8, 8, QByteArray(8, '\x7f'));
        QVERIFY(writeFileAtomically(env.file("damaged"), damaged));
        index = LinkIndex::open(env.file("damaged"));
        QVERIFY(index);
        QCOMPARE(index->find("com.site100999").count, 999u * 3);
        QCOMPARE(index->find("com.site100010").status, LinkIndex::Lookup::Status::Damaged);
        for (const char* name : {"com.site100000", "com.site100070", "com.site100500", "zzz"})
            index->find(name); // whatever they give, within the file
    }

    void names_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("names"); // the vertex names looked for, best first
        QTest::newRow("two labels") << "example.com"
                                    << "com.example";
        QTest::newRow("www and a path") << "http://www.example.com/a b"
                                        << "com.example";
        QTest::newRow("subdomain") << "a.b.example.com"
                                   << "com.example.b.a com.example";
        QTest::newRow("co.uk") << "https://www.Example.co.uk:81"
                               << "uk.co.example";
        QTest::newRow("com.au") << "shop.example.com.au"
                                << "au.com.example.shop au.com.example";
        QTest::newRow("not a country") << "x.co.example"
                                       << "example.co.x example.co";
        QTest::newRow("one label") << "localhost"
                                   << "localhost";
        QTest::newRow("international") << "bücher.de"
                                       << "de.xn--bcher-kva";
        QTest::newRow("IP address") << "http://10.0.0.1/"
                                    << "";
    }
    void names() {
        QFETCH(QString, url);
        QFETCH(QString, names);
        QCOMPARE(QString::fromUtf8(graphNamesOfUrl(url).join(' ')), names);
    }

    void nameOrder() {
        // As if every name ended in a dot: the order of the published vertex files.
        const QList<QByteArray> ordered{"ac.gov",           "ac.gov.ascension-island",
                                        "ac.gov.ascension", "ac.gov.ascension.mail",
                                        "ac.gov0",          "com.a"};
        for (qsizetype i = 0; i + 1 < ordered.size(); ++i) {
            QVERIFY2(graphNameOrder(ordered[i], ordered[i + 1]) < 0, ordered[i].constData());
            QVERIFY(graphNameOrder(ordered[i + 1], ordered[i]) > 0);
            QCOMPARE(graphNameOrder(ordered[i], ordered[i]), 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestGraphImport)
#include "tst_graph_import.moc"
