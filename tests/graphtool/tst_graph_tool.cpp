// tallyscope-graph run as a process, as a user runs it: imports of the published layout (the
// fixture tests/data/graph/cc-main-2099-jan-feb-mar-domain-*.txt.gz, see tst_graph_import),
// wrong files refused with the old index kept, a table of counts, lookups naming the vertex,
// its version, and an import interrupted with Ctrl+C.
#include "core/files/safe_file.h"
#include "core/product/product.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <csignal>

#include <sys/stat.h>
#include <unistd.h>

using namespace tally;

namespace {

QString fixture(const char* file) {
    return test::dataFile(
        QStringLiteral("graph/cc-main-2099-jan-feb-mar-domain-%1.txt.gz").arg(QLatin1String(file)));
}

} // namespace

class TestGraphTool : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void commands_data() {
        QTest::addColumn<QStringList>("args"); // "V", "E", "R": the fixture's files
        QTest::addColumn<int>("exit");
        QTest::addColumn<QString>("out"); // what standard output holds
        QTest::addColumn<QString>("err"); // what standard error holds
        QTest::addColumn<bool>("made");   // out.links holds a new index
        const QString kept = "out.links was left as it was.";
        QTest::newRow("version") << QStringList{"--version"} << 0
                                 << "tallyscope-graph " + product().versionText() << "" << false;
        QTest::newRow("no command") << QStringList{} << 2 << ""
                                    << "usage:" << false;
        QTest::newRow("unknown option") << QStringList{"import", "V", "E", "--fast"} << 2 << ""
                                        << "unknown option --fast" << false;
        QTest::newRow("unknown short option") << QStringList{"import", "V", "E", "-x"} << 2 << ""
                                              << "unknown option -x" << false;
        QTest::newRow("no value") << QStringList{"import", "V", "E", "--out"} << 2 << ""
                                  << "Missing value after '--out'" << false;
        QTest::newRow("fetch's unknown option")
            << QStringList{"fetch", "--fast", "--out", "x"} << 2 << ""
            << "fetch does not take --fast" << false;
        QTest::newRow("one file, no ranks") << QStringList{"import", "V"} << 2 << ""
                                            << "usage:" << false;
        QTest::newRow("import") << QStringList{"import", "V", "E", "--out", "out.links"} << 0 << ""
                                << "out.links: 20 domains of cc-main-2099-jan-feb-mar" << true;
        QTest::newRow("import with ranks")
            << QStringList{"import", "V", "E", "--ranks", "R", "--out", "out.links"} << 0 << ""
            << "ranks: 21 lines, 20 vertices ranked, 0 malformed, 0 not in the vertices" << true;
        QTest::newRow("swapped files")
            << QStringList{"import", "E", "V", "--out", "out.links"} << 1 << ""
            << "are the vertices and edges files swapped?)\n" + kept << false;
        QTest::newRow("ranks as the vertices")
            << QStringList{"import", "R", "E", "--out", "out.links"} << 1 << ""
            << "not a vertices file: give it with --ranks\n" + kept << false;
        QTest::newRow("missing file")
            << QStringList{"import", "V", "nothere.gz", "--out", "out.links"} << 1 << ""
            << "there is no file nothere.gz\n" + kept << false;
        QTest::newRow("counts") << QStringList{"import-counts", "C", "--out", "out.links"} << 0
                                << ""
                                << "out.links: 2 domains of counts from 2 lines" << true;
        QTest::newRow("bad level")
            << QStringList{"import-counts", "C", "--level", "site"} << 2 << ""
            << "--level takes domain or host" << false;
    }
    void commands() {
        QFETCH(QStringList, args);
        QFETCH(int, exit);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(bool, made);
        test::TestEnv env(false);
        env.writeFile("out.links", "older index");
        env.writeFile("counts.txt", "com.example\t12\norg.example\t3\n");
        const QHash<QString, QString> files{{"V", fixture("vertices")},
                                            {"E", fixture("edges")},
                                            {"R", fixture("ranks")},
                                            {"C", "counts.txt"}};
        for (QString& arg : args)
            arg = files.value(arg, arg);
        const test::ToolRun run = test::runGraphTool(args, env.path());
        QCOMPARE(run.exit, exit);
        QVERIFY2(run.out.contains(out), qPrintable(run.out));
        QVERIFY2(run.err.contains(err), qPrintable(run.err));
        QCOMPARE(env.readFile("out.links") != "older index", made);
        QCOMPARE(QDir(env.path()).entryList(QDir::Files).size(), 2); // nothing left behind
    }

    // The index goes to <release>-domain.links by default; each URL's line names its vertex.
    void lookups() {
        test::TestEnv env(false);
        QCOMPARE(test::runGraphTool(
                     {"import", fixture("vertices"), fixture("edges"), "--ranks", fixture("ranks")},
                     env.path())
                     .exit,
                 0);
        const QString index = "cc-main-2099-jan-feb-mar-domain.links";
        QVERIFY(QFile::exists(env.file(index)));
        test::ToolRun run = test::runGraphTool({"lookup", index, "http://www.shop.someone.me.uk/",
                                                "myblog.blogspot.com", "http://10.0.0.1/"},
                                               env.path());
        QCOMPARE(run.exit, 1); // the address has no vertex

        QCOMPARE(run.out.split('\n'),
                 (QStringList{"http://www.shop.someone.me.uk/\t1\tuk.me.someone\tlinking domains "
                              "to uk.me.someone in cc-main-2099-jan-feb-mar\tharmonic-rank "
                              "19\tpagerank-rank 20",
                              "myblog.blogspot.com\t2\tcom.blogspot\tlinking domains to "
                              "com.blogspot in cc-main-2099-jan-feb-mar\tharmonic-rank "
                              "17\tpagerank-rank 13",
                              "http://10.0.0.1/\t-\t-\tan IP address (the web graphs hold host "
                              "names only)",
                              ""}));
        run = test::runGraphTool({"lookup", index, "alpha.com"}, env.path());
        QCOMPARE(run.exit, 0);
        run = test::runGraphTool({"lookup", index, "nothere.org"}, env.path());
        QCOMPARE(run.exit, 1);
        QCOMPARE(run.out,
                 QString("nothere.org\t-\torg.nothere\tnot in cc-main-2099-jan-feb-mar\n"));
        run = test::runGraphTool({"lookup", "counts.txt", "a.com"}, env.path());
        QCOMPARE(run.exit, 1);
        QVERIFY2(run.err.contains("there is no file counts.txt"), qPrintable(run.err));
    }

    // Ctrl+C in the middle of an import: it stops, says so, and the old index stays. The
    // vertices come through a FIFO, so that the interruption falls in the middle.
    void interrupted() {
        test::TestEnv env(false);
        env.writeFile("out.links", "older index");
        env.writeFile("e", "0\t1\n");
        // Should the tool stop reading before all is written, a write fails rather than ends
        // the test.
        std::signal(SIGPIPE, SIG_IGN);
        const QByteArray fifo = QFile::encodeName(env.file("v"));
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        QProcess tool;
        tool.setWorkingDirectory(env.path());
        tool.start(QStringLiteral(TALLY_GRAPH_TOOL), {"import", "v", "e", "--out", "out.links"});
        QVERIFY(tool.waitForStarted());
        QFile writer(env.file("v"));
        QVERIFY(writer.open(QIODevice::WriteOnly)); // waits for the tool to open it
        QByteArray lines;
        for (int i = 0; i < 70000; ++i)
            lines += QByteArray::number(i) + "\tcom.v" + QByteArray::number(1000000 + i) + '\n';
        QCOMPARE(writer.write(lines), lines.size());
        writer.flush();
        QCOMPARE(::kill(pid_t(tool.processId()), SIGINT), 0);
        QByteArray more;
        for (int i = 70000; i < 140000; ++i)
            more += QByteArray::number(i) + "\tcom.v" + QByteArray::number(1000000 + i) + '\n';
        writer.write(more); // the tool looks at the interruption every 65,536 lines
        writer.close();
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitCode(), 130);
        const QString err = QString::fromUtf8(tool.readAllStandardError());
        QVERIFY2(err.contains("cancelled; nothing was written"), qPrintable(err));
        QCOMPARE(env.readFile("out.links"), QByteArray("older index"));
        QCOMPARE(QDir(env.path()).entryList(QDir::Files | QDir::System).size(), 3);
    }
};

TALLY_GUILESS_TEST_MAIN(TestGraphTool)
#include "tst_graph_tool.moc"
