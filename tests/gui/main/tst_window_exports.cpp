// The window's exports and saves next to the command line's: "Export Results..." writes the bytes
// the command line writes for the same list, a row saved with Save Selected is byte for byte what
// --save writes (new and appended), "Export History..." writes the charted saved search aligned
// by date; failures are reported with the file.
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "core/cli/command_line.h"
#include "core/exports/table_export.h"
#include "core/results/saved_search.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/scan_run.h"
#include "gui/results/chart_frame.h"
#include "gui/results/results_table.h"
#include "gui/results/save_search_dialog.h"
#include "gui/urllist/url_panel.h"
#include "support/engine_pages.h"
#include "support/item_views.h"
#include "support/local_http_server.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace tally;
using tally::test::LocalHttpServer;
using tally::test::MainWindowFixture;

namespace {

// The window with engines on a local server: www.a.example counts 10..60, www.b.example 1..6;
// a URL in `failing` gets a 404 from Ask.
struct Scene {
    MainWindowFixture f;
    LocalHttpServer server;
    QStringList failing;

    Scene() {
        test::serveEnginePages(server, [this](int e, const QString& url) -> QByteArray {
            if (e == 3 && failing.contains(url))
                return QByteArray();
            return QByteArray::number((e + 1) * (url.contains(QLatin1String("www.a.")) ? 10 : 1));
        });
        test::writeEnginePrefixes(server, f.env.file("settings.ini"));
        writeSetting(QLatin1String(settingkeys::AutoSort), QStringLiteral("0"));
    }

    void scanInWindow(const QStringList& urls) {
        f.form->urlPanel()->appendUrls(urls);
        f.form->startScan();
        QTRY_VERIFY_WITH_TIMEOUT(!f.form->isScanning(), 20000);
    }

    // The command line in this process, on the same program folder; its standard output.
    QByteArray commandLine(const QStringList& urls, const QStringList& options) {
        QByteArray list;
        for (const QString& url : urls)
            list += url.toUtf8() + "\r\n";
        f.env.writeFile("Lists/cli.txt", list);
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        cli::run(cli::parseArguments(QStringList{"--scan", f.env.file("Lists/cli.txt"), "--quiet"} +
                                     options),
                 &out, &err);
        return out.data();
    }

    // Save Selected on the row of `url`, answering the save dialog with `answer`.
    void saveSelected(const QString& url, const std::function<void(SaveSearchDialog*)>& answer) {
        ResultsTable* table = f.form->resultsTable();
        for (int i = 0; i < test::rowCount(table); ++i)
            if (test::cellText(table, i, 0) == url)
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, test::rowPoint(table, i));
        bool answered = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<SaveSearchDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            answer(dialog);
            answered = true;
        });
        QTest::mouseClick(f.find<QPushButton>("Command4"), Qt::LeftButton);
        QVERIFY(answered);
    }
};

} // namespace

class TestWindowExports : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { setHistoryToday(QDate()); }

    void exportResultsWritesWhatTheCommandLineWrites() {
        Scene s;
        s.failing << "www.b.example";
        const QStringList urls{"www.a.example", "www.b.example"};
        s.scanInWindow(urls);
        const QString file = s.f.env.file("results.csv");
        s.f.prompts.files << file;
        s.f.find<QAction>("mnuExportResults")->trigger();
        const QByteArray exported = s.f.env.readFile("results.csv");
        QVERIFY(exported.contains("www.b.example,1,2,3,,5,6,17,low,,,,HTTP status 404 Not Found"));
        QCOMPARE(exported, s.commandLine(urls, {"--csv", "-"}));
        QCOMPARE(s.f.prompts.calls.last().kind, QStringLiteral("saveFile"));
        QVERIFY(s.f.prompts.messages().isEmpty());

        // A file that cannot be written: reported with its name, nothing written.
        const QString bad = s.f.env.file("missing/results.csv");
        s.f.prompts.files << bad;
        s.f.find<QAction>("mnuExportResults")->trigger();
        QCOMPARE(s.f.prompts.messages().size(), 1);
        QVERIFY(s.f.prompts.messages().last().contains(bad));
        QVERIFY(!QFile::exists(bad));

        // An empty table has nothing to export.
        s.f.form->clearResults();
        s.f.find<QAction>("mnuExportResults")->trigger();
        QCOMPARE(s.f.prompts.messages().last(),
                 QStringLiteral("There are no results to export yet."));
    }

    void saveSelectedWritesWhatSaveWrites() {
        Scene s;
        setHistoryToday(QDate(2026, 12, 7));
        s.scanInWindow({"www.a.example"});
        s.saveSelected("www.a.example", [](SaveSearchDialog* d) {
            d->findChild<QLineEdit*>("Text1")->setText("window");
            QTest::mouseClick(d->findChild<QPushButton*>("Command3"), Qt::LeftButton);
        });
        s.commandLine({"www.a.example"}, {"--save", "cli"});
        QCOMPARE(s.f.env.readFile("Saved/cli.vqz"), s.f.env.readFile("Saved/window.vqz"));

        // A week later Ask fails; each appends to its own saved search.
        setHistoryToday(QDate(2026, 12, 14));
        s.failing << "www.a.example";
        s.f.form->clearResults();
        s.f.form->urlPanel()->clearList();
        s.scanInWindow({"www.a.example"});
        s.saveSelected("www.a.example", [](SaveSearchDialog* d) {
            auto* list = d->findChild<QComboBox*>("Combo1");
            list->setCurrentIndex(list->findText("window"));
            QTest::mouseClick(d->findChild<QPushButton*>("Command1"), Qt::LeftButton);
        });
        s.commandLine({"www.a.example"}, {"--save", "cli"});
        const QByteArray window = s.f.env.readFile("Saved/window.vqz");
        QVERIFY(window.contains("\r\n[Ask]\r\n12-07-26=40\r\n\r\n"));
        QVERIFY(window.contains("\r\n[MSN]\r\n12-14-26=50\r\n12-07-26=50\r\n"));
        QCOMPARE(s.f.env.readFile("Saved/cli.vqz"), window);
    }

    // engines.ini edited while a scan runs: what the run fetched is shown, saved and exported
    // under the captions it was fetched with, by the window and by the command line alike.
    void anEnginesIniEditDuringAScanKeepsTheRunsCaptions() {
        Scene s;
        setHistoryToday(QDate(2026, 12, 7));
        const QByteArray renamed = "[Google]\nCaption=Renamed\n[ATW]\nCaption=Other\n";
        s.f.form->urlPanel()->appendUrls({"www.a.example", "www.b.example"});
        s.f.form->startScan();
        QObject::connect(s.f.form->scanRun(), &ScanRun::rowFinished, [&](int position) {
            if (position == 1)
                s.f.env.writeFile(EnginesIniName, renamed);
        });
        QTRY_VERIFY_WITH_TIMEOUT(!s.f.form->isScanning(), 20000);
        QCOMPARE(programEngines().captions().first(), QString("Renamed"));
        QCOMPARE(test::headerText(s.f.form->resultsTable(), 2), QString("Google"));

        s.saveSelected("www.b.example", [](SaveSearchDialog* d) {
            d->findChild<QLineEdit*>("Text1")->setText("edited");
            QTest::mouseClick(d->findChild<QPushButton*>("Command3"), Qt::LeftButton);
        });
        // No warning: only that there is no saved search to append to yet.
        QCOMPARE(s.f.prompts.messages(),
                 QStringList{"You currently do not have any saved searches"});
        QCOMPARE(s.f.env.readFile("Saved/edited.vqz"),
                 QByteArray("\r\n[Google]\r\n12-07-26=1\r\n\r\n[Altavista]\r\n12-07-26=2\r\n"
                            "\r\n[Yahoo!]\r\n12-07-26=3\r\n\r\n[Ask]\r\n12-07-26=4\r\n"
                            "\r\n[MSN]\r\n12-07-26=5\r\n\r\n[All The Web]\r\n12-07-26=6\r\n"));
        s.f.prompts.files << s.f.env.file("edited.csv");
        s.f.find<QAction>("mnuExportResults")->trigger();
        QVERIFY(s.f.env.readFile("edited.csv")
                    .startsWith("URL,Google,Altavista,Yahoo!,Ask,MSN,"
                                "All The Web,Total,Profile,"));

        // The command line: engines.ini changes after its first request; its saves and its CSV
        // keep the captions it started with, and it exits 0.
        QFile::remove(s.f.env.file(EnginesIniName));
        bool edited = false;
        s.server.setHandler([&](const test::HttpRequest& r) {
            if (!edited) {
                edited = true;
                s.f.env.writeFile(EnginesIniName, renamed);
            }
            const int e = test::engineOfPath(r.path);
            return test::HttpResponse::page(test::enginePage(e, QByteArray::number(e + 1)));
        });
        s.f.env.writeFile("Lists/edit.txt", "www.c.example\r\nwww.d.example\r\n");
        QBuffer out, err;
        out.open(QIODevice::WriteOnly);
        err.open(QIODevice::WriteOnly);
        const int code =
            cli::run(cli::parseArguments({"--scan", s.f.env.file("Lists/edit.txt"), "--save",
                                          "{host}", "--csv", "-", "--quiet"}),
                     &out, &err);
        QVERIFY(edited);
        QCOMPARE(code, int(cli::ExitSuccess));
        QVERIFY2(err.data().isEmpty(), err.data().constData()); // quiet: nothing failed
        QVERIFY(out.data().startsWith("URL,Google,Altavista,Yahoo!,Ask,MSN,All The Web,"));
        for (const char* site : {"Saved/www.c.example.vqz", "Saved/www.d.example.vqz"}) {
            const QByteArray saved = s.f.env.readFile(site);
            QVERIFY(saved.startsWith("\r\n[Google]\r\n12-07-26=1\r\n"));
            QVERIFY(saved.contains("\r\n[All The Web]\r\n12-07-26=6\r\n"));
            QVERIFY(!saved.contains("Renamed") && !saved.contains("Other"));
        }
    }

    void exportHistoryOfTheChartedSavedSearch() {
        Scene s;
        s.f.env.writeFile("Saved/site.vqz", "\r\n[Google]\r\n12-14-26=930\r\n12-07-26=912\r\n"
                                            "\r\n[Ask]\r\n12-14-26=12\r\n");
        auto* button = s.f.find<QPushButton>("cmdExportHistory");
        QVERIFY(!button->isEnabled());
        s.f.form->selectTab(2);
        s.f.form->chartFrame()->chartSavedSearch("site.vqz");
        QVERIFY(button->isEnabled());
        s.f.prompts.files << s.f.env.file("history.csv");
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(s.f.env.readFile("history.csv"),
                 QByteArray("Date,Google,Ask\r\n2026-12-14,930,12\r\n2026-12-07,912,\r\n"));
        QVERIFY(s.f.prompts.calls.last().folder.endsWith("site history.csv"));

        // The chart of the current results is no saved search.
        s.f.form->chartFrame()->chartCurrentResults();
        QVERIFY(!button->isEnabled());
    }
};

TALLY_GL_TEST_MAIN(TestWindowExports)
#include "tst_window_exports.moc"
