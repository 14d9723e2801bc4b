// The Sources window through its real widgets, from the Tools menu and from Options: a preset
// picked with the keyboard, its key typed, Test against the preset's stand-in on 127.0.0.1, Ok
// writing one Preset= line into a hand-written engines.ini (its comments kept) and the key into
// section Keys only; Cancel writing nothing; the main window's hint bar that offers the window;
// the Common Crawl window fetching a release from a stand-in of its publisher, stopped and
// resumed, then offered to the first built-in column; a damaged download named, the program up.
#include "core/results/results_model.h"
#include "core/scan/engine_definitions.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "gui/main/main_window.h"
#include "gui/options/options_dialog.h"
#include "gui/results/results_table.h"
#include "gui/sources/common_crawl_dialog.h"
#include "gui/sources/sources_dialog.h"
#include "gui/sources/sources_hint_bar.h"
#include "support/api_stand_ins.h"
#include "support/common_crawl_stand_in.h"
#include "support/encodings.h"
#include "support/local_http_server.h"
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tally;
using tally::test::MainWindowFixture;

namespace {

const QString KeyValue = QStringLiteral("MAJ-KEY-0123456789");

// A hand-written engines.ini: comments, an unknown section, a switched-off slot, and the fifth
// slot on a preset through a local server.
QByteArray handWritten(const QString& server) {
    return "; my engines, written by hand\r\n\r\n[Google]\r\n; blocked from here\r\nKind=off\r\n"
           "\r\n[MSN]\r\n; the stand-in\r\nPreset=moz\r\nServer=" +
           server.toUtf8() + "\r\n\r\n[Notes]\r\nwho=me\r\n";
}

SourcesDialog* openFromTools(MainWindowFixture& f) {
    f.find<QAction>("mnuSources")->trigger();
    return f.form->sourcesDialog();
}

// The per-user store's file as it is on disk.
QByteArray storeBytes(const MainWindowFixture& f) {
    QFile file(f.env.storeFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The shipped presets with Majestic's address on a local stand-in, for as long as it lives: a
// column switched to Majestic keeps none of its old preset's lines, its Server= included.
struct LocalMajestic {
    QTemporaryDir folder;
    explicit LocalMajestic(const QString& server) {
        const QDir shipped(QStringLiteral(TALLY_SOURCE_DIR "/data/presets"));
        for (const QString& name : shipped.entryList({QStringLiteral("*.ini")}, QDir::Files)) {
            QFile in(shipped.filePath(name)), out(folder.filePath(name));
            if (!in.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly))
                continue;
            out.write(in.readAll().replace("https://api.majestic.com", server.toUtf8()));
        }
        ProgramFolder::setPresetsOverride(folder.path());
    }
};

// Majestic's stand-in on a local server (4321 for example.com), and the presets pointing at it.
struct MajesticSource {
    std::unique_ptr<test::ApiStandIn> standIn = test::apiStandIn(QStringLiteral("majestic"));
    test::LocalHttpServer server;
    std::unique_ptr<LocalMajestic> presets;
    MajesticSource() {
        standIn->setValue(QStringLiteral("example.com"), "4321");
        server.setHandler(standIn->handler());
        presets = std::make_unique<LocalMajestic>(server.urlString(QString()));
    }
};

template <typename T> T* child(QWidget* window, const QString& name) {
    return window->findChild<T*>(name);
}

} // namespace

class TestSourcesWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void presetPickedTestedAndSaved() {
        MainWindowFixture f;
        const MajesticSource source;
        const std::unique_ptr<test::ApiStandIn>& standIn = source.standIn;
        const test::LocalHttpServer& server = source.server;
        const QByteArray before = handWritten(server.urlString(QString()));
        f.env.writeFile(QStringLiteral("engines.ini"), before);
        QCOMPARE(standIn->keys().first().first, QStringLiteral("majestic"));
        const QString key = standIn->keys().first().second;

        SourcesDialog* dialog = openFromTools(f);
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->objectName(), QStringLiteral("frmSources"));
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        // It comes forward with the focus on the first column's choice.
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
        QCOMPARE(QApplication::focusWidget(), child<QComboBox>(dialog, "cmbSource1"));
        QVERIFY(child<QLabel>(dialog, "lblNow1")->text().contains(QStringLiteral("off")));
        QVERIFY(child<QLabel>(dialog, "lblNow2")
                    ->text()
                    .contains(QStringLiteral("no longer reports link counts")));

        // Alt+5 reaches the fifth column's choice; typing picks Majestic.
        QTest::keyClick(dialog, Qt::Key_5, Qt::AltModifier);
        auto* choice = child<QComboBox>(dialog, "cmbSource5");
        QTRY_COMPARE(QApplication::focusWidget(), choice);
        QCOMPARE(choice->currentText(), QStringLiteral("Moz (moz-token)"));
        QTest::keyClicks(choice, QStringLiteral("Maj"));
        QCOMPARE(choice->currentText(), QStringLiteral("Majestic"));
        // Its key field follows: one, named after the key, masked.
        QTest::keyClick(choice, Qt::Key_Tab);
        auto* keyBox = child<QLineEdit>(dialog, "txtKey5_1");
        QCOMPARE(QApplication::focusWidget(), keyBox);
        QVERIFY(!child<QLineEdit>(dialog, "txtKey5_2")->isVisible());
        QCOMPARE(keyBox->echoMode(), QLineEdit::Password);
        QVERIFY(keyBox->accessibleName().contains(QStringLiteral("majestic")));
        QTest::keyClicks(keyBox, key);
        // Test for a typed URL.
        QTest::keyClick(keyBox, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), child<QPushButton>(dialog, "cmdTest5"));
        auto* url = child<QLineEdit>(dialog, "txtTestUrl");
        QTest::keyClicks(url, QStringLiteral("http://www.example.com/"));
        QTest::mouseClick(child<QPushButton>(dialog, "cmdTest5"), Qt::LeftButton);
        auto* summary = child<QLabel>(dialog, "lblTestSummary");
        QTRY_VERIFY_WITH_TIMEOUT(summary->text().contains(QStringLiteral("4321")), 15000);
        const QString details = child<QPlainTextEdit>(dialog, "txtTestResult")->toPlainText();
        QVERIFY2(details.contains(server.urlString(QStringLiteral("/api/json?app_api_key=…"))),
                 qPrintable(details));
        QVERIFY(details.contains(QStringLiteral("Status: 200")));
        QVERIFY(details.contains(QStringLiteral("Value read: 4321")));
        QVERIFY(details.contains(QStringLiteral("RefDomains")));
        QVERIFY(!details.contains(key));
        QVERIFY(!summary->text().contains(key));
        QCOMPARE(standIn->requestCount(), 1);
        // Nothing is stored before Ok.
        QCOMPARE(UserSettings::apiKey(QStringLiteral("majestic")), QString());
        QCOMPARE(f.env.readFile(QStringLiteral("engines.ini")), before);

        QSignalSpy changed(dialog, &SourcesDialog::enginesChanged);
        QTest::mouseClick(child<QPushButton>(dialog, "cmdOk"), Qt::LeftButton);
        QCOMPARE(changed.size(), 1);
        QTRY_VERIFY(!f.form->sourcesDialog());
        // Moz's gateway went with Moz: Majestic's key never goes there.
        QByteArray expected = before;
        expected.replace("Preset=moz\r\nServer=" + server.urlString(QString()).toUtf8(),
                         "Preset=majestic");
        const QByteArray after = f.env.readFile(QStringLiteral("engines.ini"));
        QCOMPARE(after, expected);
        QCOMPARE(after.count("Preset="), 1);
        QCOMPARE(UserSettings::apiKey(QStringLiteral("majestic")), key);
        QVERIFY(!after.contains(key.toUtf8()));
        QVERIFY(!f.env.readFile(QStringLiteral("settings.ini")).contains(key.toUtf8()));
        // The main window's columns follow at once.
        QCOMPARE(f.form->resultsModel()
                     ->headerData(ResultsModel::FirstEngineColumn + 4, Qt::Horizontal)
                     .toString(),
                 QStringLiteral("Majestic"));
        QCOMPARE(programEngines().definitions[4].preset, QStringLiteral("majestic"));
        QVERIFY(programEngines().definitions[4].usable());
    }

    // Ok and Cancel leave a slot the window cannot represent exactly as written.
    void customAndCancel_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("Ok without changes") << true;
        QTest::newRow("Cancel after changes") << false;
    }
    void customAndCancel() {
        QFETCH(bool, ok);
        MainWindowFixture f;
        const QByteArray before = "# mine\n[Ask]\nKind=json\nAddress=http://127.0.0.1:9/n?u={url}\n"
                                  "Pointer=/n\n\n[ATW]\nPreset=moz\n";
        f.env.writeFile(QStringLiteral("engines.ini"), before);
        const QByteArray store = storeBytes(f);
        SourcesDialog* dialog = openFromTools(f);
        auto* custom = child<QComboBox>(dialog, "cmbSource4");
        QCOMPARE(custom->currentText(), QStringLiteral("Custom definition in engines.ini (left as "
                                                       "it is)"));
        QVERIFY(child<QLabel>(dialog, "lblNow4")->text().contains(QStringLiteral("custom")));
        if (!ok) {
            // Changes made, a key typed: Cancel forgets them all.
            auto* moz = child<QComboBox>(dialog, "cmbSource6");
            moz->setFocus();
            QTest::keyClick(moz, Qt::Key_Down);
            QVERIFY(moz->currentText() != QStringLiteral("Moz"));
            custom->setFocus();
            QTest::keyClick(custom, Qt::Key_Home);
            auto* mozKey = child<QLineEdit>(dialog, "txtKey6_1");
            QTest::keyClicks(mozKey, QStringLiteral("typed"));
        }
        QTest::mouseClick(child<QPushButton>(dialog, ok ? "cmdOk" : "cmdCancel"), Qt::LeftButton);
        QTRY_VERIFY(!f.form->sourcesDialog());
        QCOMPARE(f.env.readFile(QStringLiteral("engines.ini")), before);
        QCOMPARE(storeBytes(f), store);
    }

    void reachedFromOptions() {
        MainWindowFixture f;
        f.find<QAction>("mnuConfig")->trigger();
        OptionsDialog* options = f.form->optionsDialog();
        QVERIFY(options);
        auto* sources = options->findChild<QPushButton*>(QStringLiteral("cmdSources"));
        QVERIFY(sources);
        QCOMPARE(sources->text(), QStringLiteral("Sources..."));
        QTest::mouseClick(sources, Qt::LeftButton);
        SourcesDialog* dialog = f.form->sourcesDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), options);
        // Off for the first column, then Ok: the Options labels follow.
        auto* first = child<QComboBox>(dialog, "cmbSource1");
        first->setCurrentIndex(first->findText(QStringLiteral("Off (asks nothing)")));
        QTest::mouseClick(child<QPushButton>(dialog, "cmdOk"), Qt::LeftButton);
        QCOMPARE(f.env.readFile(QStringLiteral("engines.ini")),
                 QByteArray("[Google]\r\nKind=off\r\n"));
        QVERIFY(options->isVisible());
    }

    void hintBar_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Esc") << "esc";
        QTest::newRow("close button") << "close";
        QTest::newRow("followed") << "open";
        QTest::newRow("sources changed from the Tools menu") << "tools";
    }
    void hintBar() {
        QFETCH(QString, how);
        // A fresh start (no engines.ini, nothing saved) of a user who has not seen the hint yet.
        MainWindowFixture f(false);
        writeSetting(QLatin1String(settingkeys::SourcesHint), QStringLiteral("0"));
        f.open(product());
        auto* bar = f.find<SourcesHintBar>("barSourcesHint");
        QVERIFY(bar->isVisible());
        QVERIFY(
            f.find<QLabel>("lblSourcesHint")
                ->text()
                .contains(QStringLiteral("The built-in engines no longer report link counts.")));
        QVERIFY(!bar->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(f.form->panelText(1), QString());
        auto* open = f.find<QPushButton>("cmdHintSources");
        auto* close = f.find<QPushButton>("cmdHintClose");
        QVERIFY(!close->accessibleName().isEmpty());
        if (how == QLatin1String("esc")) {
            open->setFocus();
            QTest::keyClick(open, Qt::Key_Escape);
        } else if (how == QLatin1String("tools")) {
            SourcesDialog* dialog = openFromTools(f);
            auto* first = child<QComboBox>(dialog, "cmbSource1");
            first->setCurrentIndex(first->findText(QStringLiteral("Off (asks nothing)")));
            QVERIFY(bar->isVisible());
            QTest::mouseClick(child<QPushButton>(dialog, "cmdOk"), Qt::LeftButton);
            QTRY_VERIFY(!f.form->sourcesDialog());
        } else {
            QTest::mouseClick(how == QLatin1String("open") ? open : close, Qt::LeftButton);
        }
        QVERIFY(!bar->isVisible());
        if (how != QLatin1String("tools"))
            QCOMPARE(f.form->sourcesDialog() != nullptr, how == QLatin1String("open"));
        QVERIFY(UserSettings::sourcesHintDone());
        // Once closed or followed, it stays away.
        f.open(product());
        QVERIFY(!f.find<SourcesHintBar>("barSourcesHint")->isVisible());
    }

    // A preset already counting in another column is refused there; Enter in the URL field
    // tests (an empty field, the example it shows) and never presses Ok; Ok keeps what another
    // program wrote into engines.ini while the window was open.
    void testsAndSavesWithoutHarm() {
        MainWindowFixture f;
        const MajesticSource source;
        const std::unique_ptr<test::ApiStandIn>& standIn = source.standIn;
        f.env.writeFile(QStringLiteral("engines.ini"), "[ATW]\r\nPreset=majestic\r\n");
        UserSettings::setApiKey(QStringLiteral("majestic"), standIn->keys().first().second);
        SourcesDialog* dialog = openFromTools(f);
        QTRY_COMPARE(QApplication::activeWindow(), dialog);
        auto* summary = child<QLabel>(dialog, "lblTestSummary");

        auto* first = child<QComboBox>(dialog, "cmbSource1");
        const QString was = first->currentText();
        QTest::keyClicks(first, QStringLiteral("Maj"));
        QCOMPARE(first->currentText(), was);
        QVERIFY2(summary->text().startsWith(QStringLiteral("Majestic counts in column 6")),
                 qPrintable(summary->text()));

        auto* url = child<QLineEdit>(dialog, "txtTestUrl");
        QTest::keyClick(dialog, Qt::Key_U, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), url);
        QTest::keyClick(url, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(summary->text().contains(QStringLiteral("value 4321")), 15000);
        QVERIFY(dialog->isVisible());
        QCOMPARE(standIn->requestCount(), 1);

        // One source asked two ways (Moz's token, its legacy pair) is still one source.
        auto* third = child<QComboBox>(dialog, "cmbSource3");
        auto* fourth = child<QComboBox>(dialog, "cmbSource4");
        QTest::keyClicks(third, QStringLiteral("Moz"));
        QTest::keyClick(third, Qt::Key_Down);
        QCOMPARE(third->currentText(), QStringLiteral("Moz (moz-token)"));
        const QString fourthWas = fourth->currentText();
        QTest::keyClicks(fourth, QStringLiteral("Moz"));
        QCOMPARE(fourth->currentText(), fourthWas);
        QVERIFY2(summary->text().startsWith(
                     QStringLiteral("Moz (moz-access-id, moz-secret-key) counts in column 3")),
                 qPrintable(summary->text()));
        QTest::keyClicks(third, QStringLiteral("Built"));

        const QByteArray theirs = "[ATW]\r\nPreset=majestic\r\n\r\n[Notes]\r\nby=another\r\n";
        f.env.writeFile(QStringLiteral("engines.ini"), theirs);
        auto* second = child<QComboBox>(dialog, "cmbSource2");
        QTest::keyClicks(second, QStringLiteral("Off"));
        QTest::keyClick(dialog, Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(!f.form->sourcesDialog());
        const QByteArray after = f.env.readFile(QStringLiteral("engines.ini"));
        QVERIFY2(after.startsWith(theirs) && after.contains("[Altavista]\r\nKind=off"),
                 after.constData());
    }

    // The publisher's newest release through the window: stopped during a download, resumed with
    // a Range request, imported off the GUI thread, then a column set to it.
    void commonCrawlDownloaded() {
        MainWindowFixture f;
        const QString release = QStringLiteral("cc-main-2099-apr-may-jun");
        test::CommonCrawlStandIn publisher;
        publisher.addRelease(release, test::smallGraph({{"com.example", 19}, {"org.other", 2}}));
        const QString edges = test::CommonCrawlStandIn::releaseFolder(release, "domain") + release +
                              QStringLiteral("-domain-edges.txt.gz");
        publisher.drip(edges, 8, 100); // slow enough to be stopped half-way
        test::LocalHttpServer server;
        server.setHandler(publisher.handler());
        writeSetting(QLatin1String(settingkeys::GraphListAddress),
                     server.urlString(QStringLiteral("/graphinfo.json")));
        writeSetting(QLatin1String(settingkeys::GraphDataAddress), server.urlString(QString()));

        SourcesDialog* sources = openFromTools(f);
        QTRY_COMPARE(QApplication::activeWindow(), sources);
        QTest::keyClick(sources, Qt::Key_C, Qt::AltModifier); // the button's click is animated
        QTRY_VERIFY(sources->commonCrawlDialog());
        CommonCrawlDialog* window = sources->commonCrawlDialog();
        QTRY_COMPARE(QApplication::activeWindow(), window);
        QCOMPARE(window->objectName(), QStringLiteral("frmCommonCrawl"));
        QVERIFY(child<QLabel>(window, "lblInstalled")->text().contains(QStringLiteral("none")));
        auto* download = child<QPushButton>(window, "cmdDownload");
        auto* stop = child<QPushButton>(window, "cmdStopFetch");
        auto* status = child<QLabel>(window, "lblFetchStatus");
        QCOMPARE(download->text(), QStringLiteral("&Download"));
        QCOMPARE(QApplication::focusWidget(), download);
        QVERIFY(!stop->isEnabled());

        QTest::keyClick(download, Qt::Key_Space);
        QVERIFY(window->isFetching());
        QTRY_VERIFY2_WITH_TIMEOUT(status->text().contains(QStringLiteral("edges")),
                                  qPrintable(status->text()), 15000);
        QCOMPARE(QApplication::focusWidget(), stop);
        QTest::keyClick(stop, Qt::Key_Space);
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith(QStringLiteral("Stopped.")), 15000);
        QVERIFY(!window->isFetching());
        const QDir graphs(ProgramFolder::graphsFolder());
        QCOMPARE(graphs.entryList({QStringLiteral("*.links")}, QDir::Files), QStringList());
        QCOMPARE(graphs.entryList({QStringLiteral("*edges*.part")}, QDir::Files).size(), 1);

        publisher.drip(edges, 1 << 20, 1);
        QTest::mouseClick(download, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith(QStringLiteral("Done")), 30000);
        QVERIFY2(status->text().contains(release), qPrintable(status->text()));
        bool resumed = false;
        for (const test::HttpRequest& r : server.requests())
            resumed = resumed || (r.path == edges && r.header("Range").startsWith("bytes="));
        QVERIFY(resumed);
        QCOMPARE(graphs.entryList({QStringLiteral("*.links")}, QDir::Files),
                 QStringList{release + QStringLiteral("-domain.links")});
        QVERIFY(child<QLabel>(window, "lblInstalled")->text().contains(release));
        QCOMPARE(download->text(), QStringLiteral("&Update"));
        // The first column still on its built-in engine is offered the index.
        QCOMPARE(child<QComboBox>(sources, "cmbSource1")->currentText(),
                 QStringLiteral("Common Crawl (free, no key)"));

        // An update when the newest release is there already fetches nothing.
        const int requests = int(server.requests().size());
        QTest::mouseClick(download, Qt::LeftButton);
        QTRY_VERIFY(status->text().startsWith(QStringLiteral("You have the newest release")));
        QCOMPARE(server.requests().size(), requests + 1); // the list only

        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!sources->commonCrawlDialog());
        QTest::mouseClick(child<QPushButton>(sources, "cmdOk"), Qt::LeftButton);
        QCOMPARE(f.env.readFile(QStringLiteral("engines.ini")),
                 QByteArray("[Google]\r\nPreset=commoncrawl\r\n"));
        const EngineDefinition google = programEngines().definitions[0];
        QVERIFY2(google.usable(), qPrintable(google.failureReason()));
    }

    // An edges file of megabytes kept damaged from an earlier run: the import names the damage
    // and the window stays; the file goes, the next Download fetches it whole, and the Sources
    // window's line for the column waiting for an index says so once the window closes.
    void commonCrawlDamagedDownload() {
        MainWindowFixture f;
        f.env.writeFile(QStringLiteral("engines.ini"), "[Google]\r\nPreset=commoncrawl\r\n");
        const QString release = QStringLiteral("cc-main-2099-apr-may-jun");
        test::CommonCrawlStandIn publisher;
        publisher.addRelease(release, test::smallGraph({{"com.example", 19}}));
        test::LocalHttpServer server;
        server.setHandler(publisher.handler());
        writeSetting(QLatin1String(settingkeys::GraphListAddress),
                     server.urlString(QStringLiteral("/graphinfo.json")));
        writeSetting(QLatin1String(settingkeys::GraphDataAddress), server.urlString(QString()));
        QByteArray lines(8 * 1024 * 1024, '\n'); // lines of digits that compress to megabytes
        QRandomGenerator random(3);
        for (qsizetype i = 0; i < lines.size(); ++i)
            if (i % 16 != 15)
                lines[i] = char(i % 16 == 7 ? '\t' : '0' + random.bounded(10));
        const QByteArray edges = test::gzipped(lines);
        QVERIFY(edges.size() > 2 * 1024 * 1024);
        const QString kept =
            QDir(ProgramFolder::graphsFolder()).filePath(release + "-domain-edges.txt.gz");
        QVERIFY(QDir().mkpath(ProgramFolder::graphsFolder()));
        QFile damaged(kept);
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(edges.left(edges.size() / 2) + QByteArray(512, 'Z') +
                      edges.mid(edges.size() / 2 + 512));
        damaged.close();

        SourcesDialog* sources = openFromTools(f);
        auto* now = child<QLabel>(sources, "lblNow1");
        QVERIFY2(now->text().contains(QStringLiteral("no Index, and")), qPrintable(now->text()));
        QTRY_COMPARE(QApplication::activeWindow(), sources);
        QTest::keyClick(sources, Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(sources->commonCrawlDialog());
        CommonCrawlDialog* window = sources->commonCrawlDialog();
        auto* download = child<QPushButton>(window, "cmdDownload");
        auto* status = child<QLabel>(window, "lblFetchStatus");
        QTest::mouseClick(download, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith(QStringLiteral("The download did not")),
                                 30000);
        QVERIFY2(status->text().contains(release + "-domain-edges.txt.gz is damaged at byte ") &&
                     status->text().contains(QStringLiteral("downloaded again next time")),
                 qPrintable(status->text()));
        QVERIFY(!QFile::exists(kept));
        QVERIFY(window->isVisible());

        QTest::mouseClick(download, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(status->text().startsWith(QStringLiteral("Done")), 30000);
        QCOMPARE(child<QProgressBar>(window, "prgFetch")->value(),
                 child<QProgressBar>(window, "prgFetch")->maximum());
        QTest::keyClick(window, Qt::Key_Escape);
        QTRY_VERIFY(!sources->commonCrawlDialog());
        QVERIFY2(!now->text().contains(QStringLiteral("no Index, and")), qPrintable(now->text()));
    }

    void noHintWithEnginesIni() {
        MainWindowFixture f(false);
        writeSetting(QLatin1String(settingkeys::SourcesHint), QStringLiteral("0"));
        f.env.writeFile(QStringLiteral("engines.ini"), "[MSN]\r\nPreset=moz\r\n");
        f.open(product());
        QVERIFY(!f.find<SourcesHintBar>("barSourcesHint")->isVisible());
    }
};

TALLY_TEST_MAIN(TestSourcesWindow)
#include "tst_sources_window.moc"
