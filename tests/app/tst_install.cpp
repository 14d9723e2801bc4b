// The program as a user gets it: this build installed with `cmake --install --strip` (as `make
// install` does) into a temporary prefix, the installation made read-only, and the installed
// program started with a fresh home folder. It keeps its data in ~/.local/share/Tallyscope, made on
// its first start with the shipped settings.ini; the window (driven from inside by the test's
// window driver, a plugin the toolkit loads) shows the installed help, saves Options and a saved
// search there; a scan from the command line writes its CSV and the same saved search; the
// installation is never written.
#include "core/product/engine_table.h"
#include "core/results/saved_search.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"
#include "support/test_main.h"

#include <QDirIterator>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

using namespace tally;

namespace {

const QString appId = QStringLiteral(TALLY_APP_ID);

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Every file below a folder with its size and time, to see that nothing changed.
QStringList snapshot(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        files << info.filePath() + QLatin1Char(' ') + QString::number(info.size()) +
                     QLatin1Char(' ') + info.lastModified().toString(Qt::ISODateWithMs);
    }
    files.sort();
    return files;
}

void setWritable(const QString& folder, bool writable) {
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    QStringList paths{folder};
    while (it.hasNext())
        paths << it.next();
    for (const QString& path : std::as_const(paths)) {
        QFile::Permissions p = QFile::permissions(path);
        const QFile::Permissions write =
            QFile::WriteOwner | QFile::WriteUser | QFile::WriteGroup | QFile::WriteOther;
        QFile::setPermissions(path,
                              writable ? p | QFile::WriteOwner | QFile::WriteUser : p & ~write);
    }
}

// The (width, height) of a PNG file from its header.
QSize pngSize(const QByteArray& png) {
    if (png.size() < 24 || !png.startsWith("\x89PNG\r\n\x1a\n"))
        return QSize();
    auto be = [&png](int at) {
        return (uchar(png[at]) << 24) | (uchar(png[at + 1]) << 16) | (uchar(png[at + 2]) << 8) |
               uchar(png[at + 3]);
    };
    return QSize(be(16), be(20));
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString prefix_;
    QString home_;
    QStringList installed_;
    test::LocalHttpServerThread engines_;

    QString dataFolder() const { return home_ + QStringLiteral("/.local/share/Tallyscope"); }

    // The installed program with the fresh home folder, no display and no XDG folders of the
    // machine's; `extra` adds to the environment.
    Run run(const QStringList& arguments, const QStringList& extra = {}, int timeoutMs = 60000,
            const QByteArray& input = QByteArray()) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME", "XDG_CONFIG_HOME",
              "XDG_CACHE_HOME", "XDG_DATA_DIRS", "QT_PLUGIN_PATH", "QT_QPA_GENERIC_PLUGINS"})
            env.remove(QLatin1String(name));
        env.insert(QStringLiteral("HOME"), home_);
        for (const QString& pair : extra)
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        QProcess process;
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(home_);
        process.start(prefix_ + QStringLiteral("/bin/tallyscope"), arguments);
        process.write(input); // standard input is a pipe, closed after these bytes
        process.closeWriteChannel();
        Run result;
        if (!process.waitForFinished(timeoutMs)) {
            process.kill();
            process.waitForFinished();
        } else if (process.exitStatus() == QProcess::NormalExit) {
            result.exitCode = process.exitCode();
        }
        result.out = process.readAllStandardOutput();
        result.err = process.readAllStandardError();
        return result;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        prefix_ = dir_.filePath(QStringLiteral("prefix"));
        home_ = dir_.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(home_));
        QProcess install;
        install.start(QStringLiteral(TALLY_CMAKE),
                      {"--install", TALLY_BUILD_DIR, "--prefix", prefix_, "--strip"});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitCode() == 0, install.readAllStandardError().constData());
        setWritable(prefix_, false);
        installed_ = snapshot(prefix_);
        // Every engine counts 100 x its number: a total of 2100.
        test::serveEnginePages(*engines_.server(), [](int e, const QString&) {
            return QByteArray::number((e + 1) * 100);
        });
    }
    void cleanupTestCase() { setWritable(prefix_, true); }

    void installedFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("iconSide");
        QTest::newRow("program") << "bin/tallyscope" << 0;
        QTest::newRow("web engine plugin") << "lib/tallyscope/plugins/libtallywebengine.so" << 0;
        QTest::newRow("help") << "share/tallyscope/Help.rtf" << 0;
        QTest::newRow("settings") << "share/tallyscope/settings.ini" << 0;
        QTest::newRow("German catalogue") << "share/tallyscope/translations/tallyscope_de.qm" << 0;
        for (const char* preset : {"ahrefs", "bing-webmaster", "dataforseo", "majestic", "moz",
                                   "moz-legacy", "openpagerank", "semrush"})
            QTest::newRow(preset) << QStringLiteral("share/tallyscope/presets/%1.ini").arg(preset)
                                  << 0;
        QTest::newRow("desktop entry") << "share/applications/" + appId + ".desktop" << 0;
        QTest::newRow("metainfo") << "share/metainfo/" + appId + ".metainfo.xml" << 0;
        QTest::newRow("scalable icon")
            << "share/icons/hicolor/scalable/apps/" + appId + ".svg" << 0;
        for (const int side : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::newRow(qPrintable(QStringLiteral("icon %1").arg(side)))
                << QStringLiteral("share/icons/hicolor/%1x%1/apps/%2.png").arg(side).arg(appId)
                << side;
        QTest::newRow("licence") << "share/doc/tallyscope/copyright" << 0;
        QTest::newRow("graph tool") << "bin/tallyscope-graph" << 0;
        QTest::newRow("manual page") << "share/man/man1/tallyscope.1.gz" << 0;
        QTest::newRow("graph tool's manual page") << "share/man/man1/tallyscope-graph.1.gz" << 0;
        QTest::newRow("readme") << "share/doc/tallyscope/README.md" << 0;
        QTest::newRow("changelog") << "share/doc/tallyscope/changelog.gz" << 0;
        QTest::newRow("engines.ini documentation") << "share/doc/tallyscope/engines.ini.md" << 0;
    }
    void installedFiles() {
        QFETCH(QString, path);
        QFETCH(int, iconSide);
        const QFileInfo info(prefix_ + QLatin1Char('/') + path);
        QVERIFY2(info.isFile() && info.size() > 0, qPrintable(path));
        QVERIFY(!info.isWritable() || geteuid() == 0);
        if (iconSide)
            QCOMPARE(pngSize(readAll(info.filePath())), QSize(iconSide, iconSide));
        if (path.startsWith("bin/")) {
            QVERIFY(info.isExecutable());
            // Stripped: no symbol table, only what the dynamic linker needs.
            const QByteArray program = readAll(info.filePath());
            QVERIFY(program.startsWith("\x7f"
                                       "ELF"));
            QVERIFY(!program.contains(QByteArray(".symtab\0", 8)));
        }
        if (path.endsWith(".gz")) {
            // Gzipped as Debian ships them: a manual page of the program's own options, the
            // changelog in Debian's format.
            QProcess gunzip;
            gunzip.start(QStringLiteral("gzip"), {"-dc", info.filePath()});
            QVERIFY(gunzip.waitForFinished(30000) && gunzip.exitCode() == 0);
            const QByteArray text = gunzip.readAllStandardOutput();
            if (path.contains("/man1/tallyscope.1"))
                QVERIFY(text.contains(".TH TALLYSCOPE \"1\"") && text.contains("\\-\\-scan") &&
                        text.contains(".SH FILES") && text.contains("1.3"));
            else if (path.contains("/man1/"))
                QVERIFY(text.contains(".TH TALLYSCOPE-GRAPH") && text.contains("lookup"));
            else
                QVERIFY(text.startsWith("tallyscope (1.3) "));
        }
        if (path.endsWith("engines.ini.md")) {
            const QByteArray text = readAll(info.filePath());
            QVERIFY(text.startsWith("# engines.ini"));
            QVERIFY(text.contains("| `Kind` |") && text.contains("### Example: a link graph"));
            QVERIFY(!text.contains("## A link graph on disk: tallyscope-graph"));
        }
        if (path.endsWith(".svg"))
            QVERIFY(readAll(info.filePath()).contains("<svg "));
        if (path.endsWith("settings.ini"))
            QCOMPARE(readAll(info.filePath()), defaultSettingsIni());
    }

    void desktopEntryAndMetainfo() {
        const QByteArray desktop = readAll(prefix_ + "/share/applications/" + appId + ".desktop");
        for (const char* line : {"Exec=tallyscope\n", "Categories=Network;Utility;\n",
                                 "Type=Application\n", "StartupWMClass=Tallyscope\n"})
            QVERIFY2(desktop.contains(line), line);
        QVERIFY(desktop.contains("Icon=" + appId.toUtf8() + "\n"));
        const QString metainfo = prefix_ + "/share/metainfo/" + appId + ".metainfo.xml";
        QVERIFY(readAll(metainfo).contains("<id>" + appId.toUtf8() + "</id>"));
        const QString validator = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
        if (validator.isEmpty())
            return; // validated where the tool is installed
        QProcess validate;
        validate.start(validator, {"validate", "--no-net", metainfo});
        QVERIFY(validate.waitForFinished(60000));
        QVERIFY2(validate.exitCode() == 0, validate.readAllStandardOutput().constData());
    }

    void commandLineNeedsNoDisplay() {
        Run version = run({"--version"});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QByteArray("Tallyscope 1.3\n"));
        Run help = run({"--help"});
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.startsWith("Usage: tallyscope [--history NAME]\n"));
        Run bad = run({"--scan"});
        QCOMPARE(bad.exitCode, 2);
        QVERIFY(bad.err.contains("--scan needs a value"));
        QVERIFY(!QFileInfo::exists(dataFolder())); // none of these prepares anything
    }

    void firstStartMakesTheDataFolder() {
        const Run none = run({"--export-history", "none"});
        QCOMPARE(none.exitCode, 2);
        QVERIFY(none.err.contains("no saved search named \"none\""));
        QCOMPARE(readAll(dataFolder() + "/settings.ini"),
                 readAll(prefix_ + "/share/tallyscope/settings.ini"));
        QVERIFY(QFileInfo(dataFolder() + "/Saved").isDir());
        QVERIFY(QFileInfo(dataFolder() + "/Lists").isDir());
    }

    void windowKeepsItsDataThere() {
        const QString report = dir_.filePath("driver.txt");
        const Run window =
            run({},
                {"QT_QPA_PLATFORM=offscreen", "QT_PLUGIN_PATH=" TALLY_DRIVER_DIR,
                 "QT_QPA_GENERIC_PLUGINS=tallydriver", "TALLY_DRIVER_REPORT=" + report,
                 "TALLY_DRIVER_SERVER=" + engines_.server()->urlString(""),
                 "TALLY_DRIVER_URL=www.installed.example"},
                90000);
        const QString seen = QString::fromUtf8(readAll(report));
        QVERIFY2(window.exitCode == 0, qPrintable(seen + window.err));
        // The save dialog says, as it does, that there is no saved search yet.
        QCOMPARE(seen, QStringLiteral("help: shown\noptions: closed\ntotal: 2100\n"
                                      "message: You currently do not have any saved searches\n"
                                      "saved: closed\ndata: %1\ndone: \n")
                           .arg(dataFolder()));
        // Options Ok wrote the prefixes into the data folder's settings.ini.
        QVERIFY(
            readAll(dataFolder() + "/settings.ini")
                .contains("Google=" + engines_.server()->urlString("/google?q=link:").toUtf8()));
        // Save Selected wrote the saved search there.
        const QString key = historyDateKey(QDate::currentDate());
        QByteArray expected;
        for (int e = 0; e < EngineCount; ++e)
            expected += "\r\n[" + QByteArray(engineTable()[e].caption) + "]\r\n" + key.toLatin1() +
                        "=" + QByteArray::number((e + 1) * 100) + "\r\n";
        QCOMPARE(readAll(dataFolder() + "/Saved/installed.vqz"), expected);
    }

    void scanFromTheCommandLine() {
        const QString list = dir_.filePath("list.txt");
        QFile file(list);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("www.installed.example\n");
        file.close();
        const Run scan = run({"--scan", list, "--csv", "-", "--save", "cli", "--quiet"});
        QCOMPARE(scan.exitCode, 0);
        QVERIFY(scan.out.endsWith("\r\nwww.installed.example,100,200,300,400,500,600,2100,high,"
                                  ",,,,,\r\n"));
        QCOMPARE(scan.err, QByteArray()); // quiet, and every request counted
        // The same day's counts, saved as the window saved them.
        QCOMPARE(readAll(dataFolder() + "/Saved/cli.vqz"),
                 readAll(dataFolder() + "/Saved/installed.vqz"));

        // The list through a pipe, as cron's `... | tallyscope --scan -` gives it.
        const Run piped = run({"--scan", "-", "--quiet"}, {}, 60000, "www.piped.example\n");
        QCOMPARE(piped.exitCode, 0);
        QVERIFY(piped.out.endsWith("\r\nwww.piped.example,100,200,300,400,500,600,2100,high,"
                                   ",,,,,\r\n"));
    }

    void installationIsNeverWritten() { QCOMPARE(snapshot(prefix_), installed_); }
};

TALLY_GUILESS_TEST_MAIN(TestInstall)
#include "tst_install.moc"
