// The command line: reading the arguments, and --scan and --export-history run to their end
// against engines on a local server, with their outputs, saved searches and exit codes.
#include "core/cli/command_line.h"
#include "core/exports/table_export.h"
#include "core/linkgraph/link_index.h"
#include "core/results/chart_data.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/settings/user_settings.h"
#include "support/api_stand_ins.h"
#include "support/engine_pages.h"
#include "support/full_disk.h"
#include "support/local_http_server.h"
#include "support/standard_input.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

using namespace tally;
using namespace tally::cli;
using tally::test::LocalHttpServer;
using tally::test::TestEnv;

namespace {

// A program folder with engines on a local server: www.a.example gets 10, 20, ... 60 (total
// 210), www.b.example 1..6 (total 21); a URL named in `failing` gets a 404 from Ask.
struct Scene {
    TestEnv env;
    LocalHttpServer server;
    QStringList failing;
    bool failEveryEngine = false;
    QBuffer out;
    QBuffer err;

    Scene() {
        test::serveEnginePages(server, [this](int e, const QString& url) -> QByteArray {
            if ((e == 3 || failEveryEngine) && failing.contains(url))
                return QByteArray();
            return QByteArray::number((e + 1) * (url.contains(QLatin1String("www.a.")) ? 10 : 1));
        });
        test::writeEnginePrefixes(server, env.file("settings.ini"));
        writeSetting(QLatin1String(settingkeys::AutoSort), QStringLiteral("0"));
        setHistoryToday(QDate(2026, 12, 14));
    }
    ~Scene() { setHistoryToday(QDate()); }

    QString list(const QByteArray& bytes) {
        env.writeFile("Lists/list.txt", bytes);
        return env.file("Lists/list.txt");
    }
    int run(const QStringList& arguments) {
        out.setData(QByteArray());
        err.setData(QByteArray());
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int code = cli::run(parseArguments(arguments), &out, &err);
        out.close();
        err.close();
        return code;
    }
    QString errText() const { return QString::fromLocal8Bit(err.data()); }
};

const QByteArray csvHeader = "URL,Google,Altavista,Yahoo!,Ask,MSN,All The Web,Total,Profile,"
                             "Google reason,Altavista reason,Yahoo! reason,Ask reason,MSN reason,"
                             "All The Web reason\r\n";

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void arguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("command");
        QTest::addColumn<QString>("error");
        const int window = int(Command::Window), help = int(Command::Help),
                  scan = int(Command::Scan), history = int(Command::ExportHistory);
        QTest::newRow("nothing") << QStringList{} << window << "";
        QTest::newRow("toolkit option") << QStringList{"-platform", "offscreen"} << window << "";
        QTest::newRow("toolkit, two dashes") << QStringList{"--platform", "xcb"} << window << "";
        QTest::newRow("window at a history") << QStringList{"--history", "n"} << window << "";
        QTest::newRow("help") << QStringList{"--help"} << help << "";
        QTest::newRow("-h") << QStringList{"-h"} << help << "";
        QTest::newRow("help wins") << QStringList{"--scan", "x", "--help"} << help << "";
        QTest::newRow("version") << QStringList{"--version"} << int(Command::Version) << "";
        QTest::newRow("scan") << QStringList{"--scan", "l.txt", "--csv", "-"} << scan << "";
        QTest::newRow("scan, equals") << QStringList{"--scan=l.txt", "--json=-"} << scan << "";
        QTest::newRow("history") << QStringList{"--export-history", "n"} << history << "";
        QTest::newRow("sites side by side")
            << QStringList{"--export-history", "a", "b", "--source", "Google"} << history << "";
        QTest::newRow("sites without a source")
            << QStringList{"--export-history", "a", "b"} << 0 << "need --source SECTION";
        QTest::newRow("unknown") << QStringList{"--bogus"} << 0 << "unknown option --bogus";
        QTest::newRow("no value") << QStringList{"--scan"} << 0 << "--scan needs a value";
        QTest::newRow("empty value") << QStringList{"--scan="} << 0 << "--scan needs a value";
        QTest::newRow("twice") << QStringList{"--scan", "a", "--scan", "b"} << 0
                               << "--scan is given twice";
        QTest::newRow("stray") << QStringList{"--scan", "a", "b"} << 0 << "unexpected argument b";
        QTest::newRow("no command") << QStringList{"--csv", "-"} << 0 << "is needed";
        QTest::newRow("both commands")
            << QStringList{"--scan", "a", "--export-history", "n"} << 0 << "cannot be combined";
        QTest::newRow("both to stdout") << QStringList{"--scan", "a", "--csv", "-", "--json", "-"}
                                        << 0 << "cannot both go to standard output";
        QTest::newRow("json of a history")
            << QStringList{"--export-history", "n", "--json", "x"} << history << "";
        QTest::newRow("flag with a value")
            << QStringList{"--scan", "a", "--quiet=1"} << 0 << "--quiet takes no value";
        QTest::newRow("toolkit option in a command")
            << QStringList{"--scan", "a", "-style", "x"} << 0 << "unknown option -style";
    }
    void arguments() {
        QFETCH(QStringList, arguments);
        QFETCH(int, command);
        QFETCH(QString, error);
        const Options options = parseArguments(arguments);
        QCOMPARE(options.error.contains(error) && options.error.isEmpty() == error.isEmpty(), true);
        if (error.isEmpty())
            QCOMPARE(int(options.command), command);
        QCOMPARE(isCommandLineRun(arguments), command != int(Command::Window) || !error.isEmpty());
    }

    // What the toolkit left to the window: --history NAME, else a refusal.
    void windowArguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("history");
        QTest::addColumn<QString>("error");
        QTest::newRow("none") << QStringList{} << ""
                              << "";
        QTest::newRow("history") << QStringList{"--history", "www.example.com"} << "www.example.com"
                                 << "";
        QTest::newRow("as its file") << QStringList{"--history=site.VQZ"} << "site"
                                     << "";
        QTest::newRow("no name") << QStringList{"--history"} << ""
                                 << "--history needs the name of a saved search";
        QTest::newRow("stray") << QStringList{"--history", "a", "b"} << ""
                               << "unexpected argument b";
        QTest::newRow("other") << QStringList{"x"} << ""
                               << "unexpected argument x";
    }
    void windowArguments() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, history);
        QFETCH(QString, error);
        const WindowOptions options = parseWindowArguments(arguments);
        QCOMPARE(options.history, history);
        QCOMPARE(options.error, error);
    }

    void scanOptionsAreResolved() {
        const Options o = parseArguments(
            {"--scan", "l.txt", "--csv", "out.csv", "--json", "-", "--save", "{host}", "--quiet"});
        QVERIFY(o.error.isEmpty());
        QCOMPARE(o.listFile, QDir::current().absoluteFilePath("l.txt"));
        QCOMPARE(o.csvTarget, QDir::current().absoluteFilePath("out.csv"));
        QCOMPARE(o.jsonTarget, QStringLiteral("-"));
        QCOMPARE(o.saveName, QStringLiteral("{host}"));
        QVERIFY(o.quiet);
    }

    void savedSearchNames_data() {
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "mine"
                               << "www.a.example"
                               << "mine";
        QTest::newRow("bare host") << "{host}"
                                   << "www.A.example"
                                   << "www.a.example";
        QTest::newRow("full address") << "site {host}"
                                      << "http://b.example:8080/x?y=1"
                                      << "site b.example";
        QTest::newRow("twice") << "{host}-{host}"
                               << "a.example"
                               << "a.example-a.example";
        QTest::newRow("no host") << "{host}"
                                 << ""
                                 << "";
    }
    void savedSearchNames() {
        QFETCH(QString, pattern);
        QFETCH(QString, url);
        QFETCH(QString, name);
        QCOMPARE(savedSearchNameFor(pattern, url), name);
    }

    void helpAndVersionGoToStandardOutput() {
        Scene s;
        QCOMPARE(s.run({"--version"}), int(ExitSuccess));
        QCOMPARE(s.out.data(), QByteArray("Tallyscope 1.3\n"));
        QCOMPARE(s.run({"--help"}), int(ExitSuccess));
        QVERIFY(s.out.data().startsWith(
            "Usage: tallyscope [--history NAME]\n  or:  tallyscope --scan LIST"));
        QCOMPARE(s.run({"--bogus"}), int(ExitBadInput));
        QVERIFY(s.out.data().isEmpty());
        QVERIFY(s.errText().startsWith("tallyscope: unknown option --bogus\n\nUsage:"));
    }

    void scanWritesCsvJsonAndProgress() {
        Scene s;
        const QString csv = s.env.file("out.csv");
        const QString json = s.env.file("out.json");
        QCOMPARE(s.run({"--scan", s.list("www.a.example\r\nwww.b.example\n"), "--csv", csv,
                        "--json", json}),
                 int(ExitSuccess));
        QCOMPARE(s.server.requestCount(), 12);
        QCOMPARE(s.env.readFile("out.csv"), csvHeader +
                                                "www.a.example,10,20,30,40,50,60,210,low,,,,,,\r\n"
                                                "www.b.example,1,2,3,4,5,6,21,low,,,,,,\r\n");
        const QJsonObject doc = QJsonDocument::fromJson(s.env.readFile("out.json")).object();
        QCOMPARE(doc["date"].toString(), QStringLiteral("2026-12-14"));
        QCOMPARE(doc["results"].toArray()[1].toObject()["total"].toInteger(), 21);
        QVERIFY(s.out.data().isEmpty());
        QVERIFY2(s.errText().contains("[1/2] www.a.example: 210\n[2/2] www.b.example: 21\n"
                                      "Search Complete.  Found 231 links.\n"),
                 qPrintable(s.errText()));
    }

    // A row reaches the table on standard output as soon as it is finished, not at the end.
    void rowsAreWrittenAsTheyFinish() {
        Scene s;
        struct Progress : QBuffer {
            const QBuffer* out = nullptr;
            QByteArray outAtSecondRow;
            qint64 writeData(const char* data, qint64 size) override {
                if (QByteArray(data, size).startsWith("[2/2]"))
                    outAtSecondRow = out->data();
                return QBuffer::writeData(data, size);
            }
        } err;
        err.out = &s.out;
        s.out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const QString list = s.list("www.a.example\nwww.b.example\n");
        QCOMPARE(cli::run(parseArguments({"--scan", list}), &s.out, &err), int(ExitSuccess));
        QCOMPARE(err.outAtSecondRow,
                 csvHeader + "www.a.example,10,20,30,40,50,60,210,low,,,,,,\r\n");
    }

    // An unreadable store is said first, quiet or not, and its keys fail as unreadable: a source
    // that only its user can mend.
    void anUnreadableStoreIsSaidAtStart() {
        Scene s;
        s.env.writeFile(EnginesIniName,
                        "[MSN]\nKind=json\nPointer=/n\nHeader1=API-Key: {key}\nKeyName=k\n");
        QFile::remove(s.env.storeFile());
        QVERIFY(QDir().mkpath(s.env.storeFile()));
        QCOMPARE(s.run({"--scan", s.list("www.b.example\n"), "--quiet"}), int(ExitSourceRefused));
        QVERIFY2(s.errText().startsWith("tallyscope: Your settings in " + s.env.storeFile() +
                                        " cannot be read: It is a folder."),
                 qPrintable(s.errText()));
        QVERIFY(s.errText().contains("MSN: engine definition: the API key k cannot be read"));
        QVERIFY(!s.errText().contains("no API key:"));
    }

    void failedRequestsExitOneWithTheirReasons() {
        Scene s;
        s.failing << "www.b.example";
        QCOMPARE(s.run({"--scan", s.list("www.a.example\nwww.b.example\n"), "--quiet"}),
                 int(ExitSomeFailed));
        // Without --csv, --json or --save, the CSV goes to standard output.
        QCOMPARE(s.out.data(),
                 csvHeader + "www.a.example,10,20,30,40,50,60,210,low,,,,,,\r\n"
                             "www.b.example,1,2,3,,5,6,17,low,,,,HTTP status 404 Not Found,,\r\n");
        QVERIFY(s.errText().contains("1 of 12 requests failed.\n  www.b.example, Ask: HTTP status "
                                     "404 Not Found\n"));
    }

    void savesAsTheSaveDialogDoes() {
        Scene s;
        const QString list = s.list("www.a.example\nhttp://www.b.example/page\n");
        QCOMPARE(s.run({"--scan", list, "--save", "{host}", "--quiet"}), int(ExitSuccess));
        QVERIFY(s.out.data().isEmpty()); // --save alone writes no table
        // A week later into the same saved searches, b with a failed request (not saved).
        setHistoryToday(QDate(2026, 12, 21));
        s.failing << "http://www.b.example/page";
        QCOMPARE(s.run({"--scan", list, "--save", "{host}", "--quiet"}), int(ExitSomeFailed));
        QCOMPARE(s.env.readFile("Saved/www.a.example.vqz"),
                 QByteArray("\r\n[Google]\r\n12-21-26=10\r\n12-14-26=10\r\n"
                            "\r\n[Altavista]\r\n12-21-26=20\r\n12-14-26=20\r\n"
                            "\r\n[Yahoo!]\r\n12-21-26=30\r\n12-14-26=30\r\n"
                            "\r\n[Ask]\r\n12-21-26=40\r\n12-14-26=40\r\n"
                            "\r\n[MSN]\r\n12-21-26=50\r\n12-14-26=50\r\n"
                            "\r\n[All The Web]\r\n12-21-26=60\r\n12-14-26=60\r\n"));
        const QByteArray b = s.env.readFile("Saved/www.b.example.vqz");
        QVERIFY(b.contains("\r\n[Ask]\r\n12-14-26=4\r\n"));
        QVERIFY(b.contains("\r\n[MSN]\r\n12-21-26=5\r\n12-14-26=5\r\n"));

        // The history, aligned by date, to standard output.
        QCOMPARE(s.run({"--export-history", "www.b.example"}), int(ExitSuccess));
        QCOMPARE(s.out.data(), QByteArray("Date,Google,Altavista,Yahoo!,Ask,MSN,All The Web\r\n"
                                          "2026-12-21,1,2,3,,5,6\r\n"
                                          "2026-12-14,1,2,3,4,5,6\r\n"));
    }

    void enginesIniCaptionsNameColumnsAndSections() {
        Scene s;
        s.env.writeFile("engines.ini", "[Ask]\r\nCaption=Backlinks\r\n");
        QCOMPARE(s.run({"--scan", s.list("www.b.example\n"), "--csv", "-", "--save", "{host}",
                        "--quiet"}),
                 int(ExitSuccess));
        QVERIFY(s.out.data().startsWith("URL,Google,Altavista,Yahoo!,Backlinks,MSN,"));
        QVERIFY(
            s.env.readFile("Saved/www.b.example.vqz").contains("\r\n[Backlinks]\r\n12-14-26=4"));
    }

    void badInputStopsBeforeTheFirstRequest_data() {
        QTest::addColumn<QByteArray>("listBytes");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("message");
        const QByteArray two = "www.a.example\nwww.b.example\n";
        QTest::newRow("missing list") << QByteArray() << QStringList{} << "could not be read";
        QTest::newRow("empty list") << QByteArray("\r\n\n") << QStringList{} << "holds no URLs";
        QTest::newRow("one name for two sites")
            << two << QStringList{"--save", "mine"} << "would both be saved as \"mine\"";
        QTest::newRow("name with a slash")
            << two << QStringList{"--save", "a/{host}"} << "holds \"/\"";
        QTest::newRow("no host") << QByteArray("http://\n") << QStringList{"--save", "{host}"}
                                 << "has no host";
        QTest::newRow("no such saved search")
            << QByteArray() << QStringList{"--export-history", "x"}
            << "no saved search named \"x\"";
        QTest::newRow("saved search of random bytes") // as the saved search, not the list
            << QByteArray("\x8f\x00[\xff]\x1b=\n\xfe", 9)
            << QStringList{"--export-history", "noise"} << "holds no saved counts";
    }
    void badInputStopsBeforeTheFirstRequest() {
        QFETCH(QByteArray, listBytes);
        QFETCH(QStringList, options);
        QFETCH(QString, message);
        Scene s;
        QStringList arguments;
        const bool history = options.startsWith("--export-history");
        if (!history)
            arguments << "--scan"
                      << (listBytes.isNull() ? s.env.file("missing.txt") : s.list(listBytes));
        else if (!listBytes.isNull())
            s.env.writeFile("Saved/noise.vqz", listBytes);
        QCOMPARE(s.run(arguments + options), int(ExitBadInput));
        QVERIFY2(s.errText().contains(message), qPrintable(s.errText()));
        QCOMPARE(s.server.requestCount(), 0);
        QCOMPARE(QDir(s.env.file("Saved")).entryList(QDir::Files).size(),
                 history && !listBytes.isNull() ? 1 : 0);
    }

    // The command line as cron and systemd meet it: each row sets the scene up (a keyword below),
    // runs the arguments ("LIST" is the list of www.a.example and www.b.example, "@" the program
    // folder) and compares the exit code, what standard error says ("" for nothing at all) and
    // how many requests reached the engines.
    void commandLineCases_data() {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("requests");
        const QStringList scan{"--scan", "LIST", "--quiet"};
        const QStringList toCsv = scan + QStringList{"--csv", "@/out.csv"};
        QTest::newRow("quiet, all counted: nothing said") << "" << toCsv << 0 << "" << 12;
        QTest::newRow("quiet, a request failed: said")
            << "b fails on Ask" << toCsv << 1
            << "1 of 12 requests failed.\n  www.b.example, Ask: HTTP status 404" << 12;
        QTest::newRow("nothing counted at all") << "every request fails" << toCsv << 4
                                                << "www.a.example, Google: HTTP status 404" << 12;
        QTest::newRow("list from standard input")
            << "list piped in" << QStringList{"--scan", "-", "--quiet", "--csv", "@/out.csv"} << 0
            << "" << 12;
        QTest::newRow("list from /dev/stdin, a pipe")
            << "list piped in" << QStringList{"--scan", "/dev/stdin", "--quiet"} << 0 << "" << 12;
        QTest::newRow("empty standard input")
            << "nothing piped in" << QStringList{"--scan", "-"} << 2
            << "the URL list standard input holds no URLs" << 0;
        QTest::newRow("csv and json to /dev/null, as cron jobs do")
            << "" << scan + QStringList{"--csv", "/dev/null", "--json", "/dev/null"} << 0 << ""
            << 12;
        QTest::newRow("csv in a missing folder")
            << "" << scan + QStringList{"--csv", "@/none/x.csv"} << 3
            << "x.csv could not be written: The folder does not exist" << 0;
        QTest::newRow("json into a folder") << "" << scan + QStringList{"--json", "@/Lists"} << 3
                                            << "Lists could not be written: It is a folder" << 0;
        QTest::newRow("csv in a read-only folder")
            << "read-only folder" << scan + QStringList{"--csv", "@/ro/x.csv"} << 3
            << "x.csv could not be written: " << 0;
        QTest::newRow("read-only csv")
            << "read-only csv" << toCsv + QStringList{"--save", "kept"} << 3
            << "out.csv could not be written: The file is read-only" << 0;
        QTest::newRow("csv is the list")
            << "" << scan + QStringList{"--csv", "LIST"} << 2 << "is the URL list itself" << 0;
        QTest::newRow("json is the list through a link")
            << "link to the list" << scan + QStringList{"--json", "@/link.json"} << 2
            << "--json " + QStringLiteral("@/link.json") + " is the URL list itself" << 0;
        QTest::newRow("json is the list given as standard input")
            << "list file as standard input" << QStringList{"--scan", "-", "--json", "LIST"} << 2
            << "is the URL list itself" << 0;
        QTest::newRow("csv and json in one file")
            << "" << toCsv + QStringList{"--json", "@/out.csv"} << 2
            << "--csv and --json name the same file" << 0;
        QTest::newRow("csv and json in one file by two paths")
            << "" << toCsv + QStringList{"--json", "@/Lists/../out.csv"} << 2
            << "--csv and --json name the same file" << 0;
        QTest::newRow("save named as its file")
            << "" << scan + QStringList{"--save", "{host}.vqz"} << 0 << "" << 12;
        QTest::newRow("settings.ini a FIFO")
            << "settings.ini a FIFO" << scan << 2
            << "settings.ini could not be read: It is not a regular file; nothing was asked" << 0;
        QTest::newRow("settings.ini too large")
            << "settings.ini too large" << scan << 2
            << "settings.ini could not be read: It is larger than 1 MiB" << 0;
        QTest::newRow("settings.ini a folder")
            << "settings.ini a folder" << scan << 2
            << "settings.ini could not be read: It is a folder" << 0;
        QTest::newRow("engines.ini a FIFO")
            << "engines.ini a FIFO" << scan << 2
            << "engines.ini could not be read: It is not a regular file" << 0;
        QTest::newRow("engines.ini of random bytes")
            << "engines.ini random" << scan << 2
            << "engines.ini could not be read: none of its sections is a column's" << 0;
        QTest::newRow("engines.ini of comments only: nothing changed")
            << "engines.ini comments" << scan << 0 << "" << 12;
        QTest::newRow("a killed save's leftover")
            << "killed save" << scan + QStringList{"--save", "{host}"} << 0 << "" << 12;
    }
    void commandLineCases() {
        QFETCH(QString, scene);
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, said);
        QFETCH(int, requests);
        Scene s;
        const QString list = s.list("www.a.example\nwww.b.example\n");
        const QString folder = s.env.path();
        std::optional<test::SmallFileSystem> readOnly;
        std::optional<test::StandardInput> input;
        if (scene == "b fails on Ask") {
            s.failing << "www.b.example";
        } else if (scene == "every request fails") {
            s.failing << "www.a.example"
                      << "www.b.example";
            s.failEveryEngine = true;
        } else if (scene == "list piped in") {
            input.emplace(QByteArray("www.a.example\nwww.b.example\n"));
        } else if (scene == "nothing piped in") {
            input.emplace(QByteArray("\n"));
        } else if (scene == "list file as standard input") {
            input.emplace(list);
        } else if (scene == "read-only folder") {
            QVERIFY(QDir(folder).mkdir("ro"));
            if (::geteuid() == 0) {
                readOnly.emplace(s.env.file("ro"), true);
                if (!readOnly->mounted())
                    QSKIP("root without a read-only mount: every folder takes a file");
            } else {
                QFile::setPermissions(s.env.file("ro"), QFile::ReadOwner | QFile::ExeOwner);
            }
        } else if (scene == "read-only csv") {
            s.env.writeFile("out.csv", "old");
            QFile::setPermissions(s.env.file("out.csv"), QFile::ReadOwner);
        } else if (scene == "link to the list") {
            QVERIFY(QFile::link(list, s.env.file("link.json")));
        } else if (scene == "settings.ini a FIFO" || scene == "engines.ini a FIFO") {
            const QString ini = s.env.file(scene.section(' ', 0, 0));
            QFile::remove(ini);
            QCOMPARE(::mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
        } else if (scene == "engines.ini random") {
            QByteArray noise(4096, Qt::Uninitialized);
            for (char& c : noise)
                c = char(QRandomGenerator::global()->bounded(256));
            s.env.writeFile("engines.ini", noise.replace('[', '('));
        } else if (scene == "engines.ini comments") {
            s.env.writeFile("engines.ini", "; mine\r\n\r\n# later\r\n");
        } else if (scene == "settings.ini too large") {
            s.env.writeFile("settings.ini", "[Engines]\r\n" + QByteArray(int(MiB), ';'));
        } else if (scene == "settings.ini a folder") {
            QFile::remove(s.env.file("settings.ini"));
            QVERIFY(QDir(folder).mkdir("settings.ini"));
        } else if (scene == "killed save") {
            s.env.writeFile("Saved/www.a.example.vqz", "\r\n[Google]\r\n12-07-26=9\r\n");
            s.env.writeFile("Saved/www.a.example.vqz.Ab12Cd", "\r\n[Goo");
            s.env.writeFile("Saved/www.a.example.vqz.notes", "kept");
            const QList<SavedSearchEntry> listed = listSavedSearches();
            QCOMPARE(listed.size(), 1);
            QCOMPARE(listed.first().fileName, QStringLiteral("www.a.example.vqz"));
        }
        for (QString& argument : arguments)
            argument = argument == "LIST" ? list : argument.replace('@', folder);
        said.replace('@', folder);

        QCOMPARE(s.run(arguments), code);
        if (said.isEmpty())
            QCOMPARE(s.errText(), QString());
        else
            QVERIFY2(s.errText().contains(said), qPrintable(s.errText()));
        QCOMPARE(s.server.requestCount(), requests);

        if (scene == "read-only csv") {
            QCOMPARE(s.env.readFile("out.csv"), QByteArray("old"));
            QVERIFY(!QFile::exists(s.env.file("Saved/kept.vqz")));
        } else if (arguments.contains("{host}.vqz")) {
            QVERIFY(QFile::exists(s.env.file("Saved/www.b.example.vqz")));
            QVERIFY(!QFile::exists(s.env.file("Saved/www.b.example.vqz.vqz")));
        } else if (scene == "killed save") {
            QVERIFY(!QFile::exists(s.env.file("Saved/www.a.example.vqz.Ab12Cd")));
            QCOMPARE(s.env.readFile("Saved/www.a.example.vqz.notes"), QByteArray("kept"));
            QVERIFY(
                s.env.readFile("Saved/www.a.example.vqz").contains("12-14-26=10\r\n12-07-26=9"));
        } else if (code == 0 && arguments.contains(folder + "/out.csv")) {
            QVERIFY(
                s.env.readFile("out.csv").endsWith("www.b.example,1,2,3,4,5,6,21,low,,,,,,\r\n"));
        }
    }

    // Each saved point keeps where it came from beside the saved search, which stays as it was
    // written before: a web graph release that changed, a preset switched under one caption.
    // A provenance file that is damaged or from a newer version is named, never blocks the
    // history and is never overwritten when newer.
    void historyKnowsWhereEachPointCameFrom_data() {
        QTest::addColumn<QStringList>("slotPerDay"); // the ATW section of engines.ini, 3 days
        QTest::addColumn<QStringList>("sources");    // of the points, newest first
        QTest::addColumn<QStringList>("releases");
        QTest::addColumn<QString>("change");     // marked between the newest two points
        QTest::addColumn<QByteArray>("besides"); // written over the provenance at the end
        const QString cc = "Preset=commoncrawl\nCaption=Common Crawl\nIndex=%1.links\n";
        const QString api = "Preset=%1\nCaption=Links\nServer=%2\n";
        QTest::newRow("two releases on three days")
            << QStringList{cc.arg("a"), cc.arg("a"), cc.arg("b")}
            << QStringList{"commoncrawl", "commoncrawl", "commoncrawl"}
            << QStringList{"cc-b", "cc-a", "cc-a"} << "release cc-a \u2192 cc-b" << QByteArray();
        const QStringList switched{api.arg("majestic", "%M"), api.arg("majestic", "%M"),
                                   api.arg("semrush", "%S")};
        QTest::newRow("a preset switched under one caption")
            << switched << QStringList{"semrush", "majestic", "majestic"} << QStringList{"", "", ""}
            << "source changed: Majestic \u2192 Semrush" << QByteArray();
        QTest::newRow("damaged beside it") << switched << QStringList{"", "", ""}
                                           << QStringList{"", "", ""} << "" << QByteArray("{oops");
        QTest::newRow("from a newer version")
            << switched << QStringList{"", "", ""} << QStringList{"", "", ""} << ""
            << QByteArray("{\"format\": \"tallyscope-provenance\", \"version\": 9}");
    }
    void historyKnowsWhereEachPointCameFrom() {
        QFETCH(QStringList, slotPerDay);
        QFETCH(QStringList, sources);
        QFETCH(QStringList, releases);
        QFETCH(QString, change);
        QFETCH(QByteArray, besides);
        Scene scene;
        LocalHttpServer majesticServer, semrushServer;
        auto majestic = test::apiStandIn("majestic");
        auto semrush = test::apiStandIn("semrush");
        majestic->setValue("known.example", "4000");
        semrush->setValue("known.example", "2500");
        majesticServer.setHandler(majestic->handler());
        semrushServer.setHandler(semrush->handler());
        for (const auto& standIn : {majestic.get(), semrush.get()})
            QVERIFY(UserSettings::setApiKey(standIn->keys().first().first,
                                            standIn->keys().first().second));
        for (const auto& [release, name, count] :
             {std::tuple{"cc-a", "a.links", 77}, std::tuple{"cc-b", "b.links", 80}}) {
            LinkIndexBuilder index(QString::fromLatin1(release), GraphLevel::Domains);
            index.add("example.known", 0);
            QVERIFY(writeFileAtomically(scene.env.file(QString::fromLatin1(name)),
                                        index.finish([count](quint32) { return count; }).bytes));
        }
        const QString list = scene.list("www.known.example\r\n");
        QByteArray expectedVqz;
        for (int day = 0; day < 3; ++day) {
            setHistoryToday(QDate(2026, 12, 1 + day));
            QString slot = slotPerDay.at(day);
            slot.replace("%M", majesticServer.urlString(QString()))
                .replace("%S", semrushServer.urlString(QString()));
            scene.env.writeFile(EnginesIniName, "[Google]\nKind=off\n[Altavista]\nKind=off\n"
                                                "[Yahoo]\nKind=off\n[Ask]\nKind=off\n"
                                                "[MSN]\nKind=off\n[ATW]\n" +
                                                    slot.toUtf8());
            const QString scanJson = scene.env.file("scan.json");
            QCOMPARE(scene.run({"--scan", list, "--save", "{host}", "--quiet", "--json", scanJson}),
                     int(ExitSuccess));
            // What changed since the site's previous point: only from the same source and release.
            const QJsonObject cell = QJsonDocument::fromJson(scene.env.readFile("scan.json"))
                                         .object()["results"][0]["engines"][0]
                                         .toObject();
            QCOMPARE(cell["changeSince"].toString(), day == 1 ? "2026-12-01" : "");
            QCOMPARE(cell.contains("change"), day == 1);
            if (day == 1)
                QVERIFY(cell["change"].toInteger() == 0 && cell["changePercent"].toDouble() == 0);
        }
        const QString vqz = scene.env.file("Saved/www.known.example.vqz");
        if (!besides.isEmpty())
            scene.env.writeFile("Saved/.provenance/www.known.example.vqz.json", besides);
        // The saved search as it always was: its lines, newest first, nothing added.
        const QByteArray caption =
            slotPerDay.first().contains("commoncrawl") ? "Common Crawl" : "Links";
        const QList<QByteArray> counts = caption == "Links"
                                             ? QList<QByteArray>{"2500", "4000", "4000"}
                                             : QList<QByteArray>{"80", "77", "77"};
        QCOMPARE(scene.env.readFile("Saved/www.known.example.vqz"),
                 "\r\n[" + caption + "]\r\n12-03-26=" + counts.at(0) +
                     "\r\n12-02-26=" + counts.at(1) + "\r\n12-01-26=" + counts.at(2) + "\r\n");

        const QString json = scene.env.file("history.json");
        QCOMPARE(scene.run({"--export-history", "www.known.example", "--json", json}),
                 int(ExitSuccess));
        QCOMPARE(scene.errText().contains("were left aside"), !besides.isEmpty());
        QCOMPARE(scene.run({"--export-history", "www.known.example"}), int(ExitSuccess));
        QCOMPARE(scene.out.data().startsWith("Date," + caption + "," + caption + " source," +
                                             caption + " release\r\n"),
                 besides.isEmpty());
        const QJsonArray points = QJsonDocument::fromJson(scene.env.readFile("history.json"))
                                      .object()["points"]
                                      .toArray();
        QCOMPARE(points.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QJsonObject p = points.at(i).toObject();
            QCOMPARE(p["date"].toString(), QDate(2026, 12, 3 - i).toString(Qt::ISODate));
            QCOMPARE(p["caption"].toString(), QString::fromLatin1(caption));
            QCOMPARE(QByteArray::number(p["count"].toInteger()), counts.at(i));
            QCOMPARE(p["source"].toString(), sources.at(i));
            QCOMPARE(p["release"].toString(), releases.at(i));
            QCOMPARE(p["backfilled"].toBool(), false);
        }
        ChartData chart = engineHistoryChart(QString::fromLatin1(caption),
                                             readEngineHistory(QString::fromLatin1(caption), vqz));
        markSources(chart, Provenance::read(vqz));
        QCOMPARE(chart.sourceChanges.size(), change.isEmpty() ? 0 : 1);
        if (!change.isEmpty()) {
            QCOMPARE(chart.sourceChanges.first().text, change);
            QCOMPARE(chart.sourceChanges.first().newerRow, 0);
            QCOMPARE(chart.sourceChanges.first().olderRow, 1);
        }
        if (besides.contains("version")) { // a newer version's file stays as it was
            QCOMPARE(scene.run({"--scan", list, "--save", "{host}", "--quiet"}), int(ExitSuccess));
            QCOMPARE(scene.env.readFile("Saved/.provenance/www.known.example.vqz.json"), besides);
        }
    }

    // One source of several saved searches side by side: a column per site, oldest date first,
    // nothing where a site has no point.
    void historiesSideBySide() {
        Scene scene;
        scene.env.writeFile("Saved/a.vqz", "\r\n[Google]\r\n12-14-26=30\r\n12-01-26=10\r\n"
                                           "[Yahoo!]\r\n12-14-26=5\r\n");
        scene.env.writeFile("Saved/b.vqz", "\r\n[Google]\r\n12-07-26=20\r\n");
        QCOMPARE(scene.run({"--export-history", "a", "b.vqz", "--source", "Google"}),
                 int(ExitSuccess));
        QCOMPARE(scene.out.data(), QByteArray("Date,a,b\r\n2026-12-01,10,\r\n2026-12-07,,20\r\n"
                                              "2026-12-14,30,\r\n"));
        QCOMPARE(scene.run({"--export-history", "a", "b", "--source", "Google", "--json", "-"}),
                 int(ExitSuccess));
        const QJsonArray sites =
            QJsonDocument::fromJson(scene.out.data()).object()["sites"].toArray();
        QCOMPARE(sites.size(), 2);
        QCOMPARE(sites.at(1).toObject()["points"].toArray().first().toObject()["count"].toInt(),
                 20);
        QCOMPARE(scene.run({"--export-history", "a", "gone", "--source", "Google"}),
                 int(ExitBadInput));
    }
};

TALLY_GUILESS_TEST_MAIN(TestCommandLine)
#include "tst_command_line.moc"
