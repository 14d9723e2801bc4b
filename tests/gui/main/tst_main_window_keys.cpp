// The keys people try first, pressed on the real window: F1 the help, F5 a scan and F5 or Esc to
// stop it with the focus left where it was, "Details..." in the Scan menu, and an Alt key on every
// menu item.
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "core/product/engine_table.h"
#include "gui/help/help_window.h"
#include "gui/kit/accessibility.h"
#include "gui/main/scan_failures_dialog.h"
#include "gui/urllist/url_panel.h"
#include "support/engine_pages.h"
#include "support/local_http_server.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>

using namespace tally;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::itemsWithoutOwnAltKey;
using tally::test::LocalHttpServer;
using tally::test::MainWindowFixture;
using tally::test::openPopup;

namespace {

// Engines on a local server that answer after `delayMs`; Ask answers 404.
struct KeysFixture : MainWindowFixture {
    LocalHttpServer server;
    int delayMs = 0;

    KeysFixture() {
        server.setHandler([this](const HttpRequest& r) {
            const int e = test::engineOfPath(r.path);
            HttpResponse response;
            response.delayMs = delayMs;
            if (e == 3)
                response.status = 404;
            else
                response.body = test::enginePage(e, "7");
            return response;
        });
        test::writeEnginePrefixes(server, env.file(QStringLiteral("settings.ini")));
        form->urlPanel()->appendUrls({"http://a.example/", "http://b.example/"});
        test::activate(form.get());
    }
    QPushButton* start() const { return find<QPushButton>("Command1"); }
    QPushButton* stop() const { return find<QPushButton>("Command2"); }
};

} // namespace

class TestMainWindowKeys : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // A scan started and stopped by each way a user tries, and where the focus is afterwards: where
    // it was, or on the twin of a button that had it and is disabled now.
    void startAndStop_data() {
        QTest::addColumn<QString>("startWith");
        QTest::addColumn<QString>("stopWith");
        QTest::addColumn<QString>("focusWhileScanning");
        QTest::addColumn<QString>("focusAfter");
        QTest::newRow("F5, F5 again") << "F5"
                                      << "F5"
                                      << "List1"
                                      << "List1";
        QTest::newRow("F5, Esc") << "F5"
                                 << "Esc"
                                 << "List1"
                                 << "List1";
        QTest::newRow("Start Scan of the menu, Esc") << "menu"
                                                     << "Esc"
                                                     << "List1"
                                                     << "List1";
        QTest::newRow("Start clicked, Space on Stop") << "click"
                                                      << "Space"
                                                      << "Command2"
                                                      << "Command1";
    }
    void startAndStop() {
        QFETCH(QString, startWith);
        QFETCH(QString, stopWith);
        QFETCH(QString, focusWhileScanning);
        QFETCH(QString, focusAfter);
        KeysFixture f;
        f.delayMs = 400; // long enough to stop it in the middle
        QListWidget* list = f.form->urlList();
        list->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), list);

        if (startWith == "F5") {
            QTest::keyClick(list, Qt::Key_F5);
        } else if (startWith == "menu") {
            QTest::keyClick(f.form.get(), Qt::Key_S, Qt::AltModifier);
            QMenu* scan = openPopup();
            QVERIFY(scan);
            QTest::keyClick(scan, Qt::Key_S); // "&Start Scan"
        } else {
            QTest::mouseClick(f.start(), Qt::LeftButton);
        }
        QTRY_VERIFY(f.form->isScanning() && f.stop()->isEnabled());
        // The window's focus, which comes back with the window whatever took the keyboard
        // meanwhile (a menu).
        QTRY_VERIFY(f.form->focusWidget());
        QTRY_COMPARE(f.form->focusWidget()->objectName(), focusWhileScanning);
        QVERIFY(!f.find<QAction>("mnuScan")->isEnabled()); // F5 now stops

        f.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QWidget* focused = f.form->focusWidget();
        if (stopWith == "F5")
            QTest::keyClick(focused, Qt::Key_F5);
        else if (stopWith == "Esc")
            QTest::keyClick(focused, Qt::Key_Escape);
        else
            QTest::keyClick(focused, Qt::Key_Space);
        QTRY_VERIFY(!f.form->isScanning());
        QVERIFY(f.start()->isEnabled() && !f.stop()->isEnabled());
        QTRY_VERIFY(f.form->focusWidget());
        QTRY_COMPARE(f.form->focusWidget()->objectName(), focusAfter);
    }

    // In the Website View F5 and Esc are the page's (reload, stop loading), never ambiguous with
    // the scan's; elsewhere they are the scan's again.
    void theWebPageKeepsItsKeys() {
        KeysFixture f;
        QTest::failOnWarning(QRegularExpression(QStringLiteral("[Aa]mbiguous")));
        f.form->selectTab(3);
        auto* address = f.find<QLineEdit>("Text1");
        address->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), address);
        QVERIFY(f.find<QAction>("mnuScan")->shortcut().isEmpty());
        QTest::keyClick(address, Qt::Key_F5);
        QTest::keyClick(address, Qt::Key_Escape);
        QVERIFY(!f.form->isScanning());
        f.form->urlList()->setFocus();
        QTRY_COMPARE(f.find<QAction>("mnuScan")->shortcut(), QKeySequence(Qt::Key_F5));
        QTest::keyClick(f.form->urlList(), Qt::Key_F5);
        QTRY_VERIFY(f.form->isScanning() || !f.form->scanFailures().isEmpty());
    }

    void f1OpensTheHelp() {
        KeysFixture f;
        f.env.writeFile(QStringLiteral("Help.rtf"), test::shippedHelp());
        QVERIFY(!f.form->helpWindow());
        QTest::keyClick(f.form->urlList(), Qt::Key_F1);
        QTRY_VERIFY(f.form->helpWindow() && f.form->helpWindow()->isVisible());
    }

    // The failures of a scan, from the Scan menu as from the status bar's menu.
    void detailsInTheScanMenu() {
        KeysFixture f;
        QAction* details = f.find<QAction>("mnuScanDetails");
        QVERIFY(details && !details->isEnabled()); // nothing failed yet
        QTest::keyClick(f.form->urlList(), Qt::Key_F5);
        QTRY_VERIFY_WITH_TIMEOUT(!f.form->isScanning(), 30000);
        QVERIFY(details->isEnabled());
        QVERIFY(f.find<QAction>("mnuFailureDetails")->isEnabled());
        QTest::keyClick(f.form.get(), Qt::Key_S, Qt::AltModifier);
        QMenu* scan = openPopup();
        QVERIFY(scan);
        QCOMPARE(scan->objectName(), QStringLiteral("mnuOptions"));
        QTest::keyClick(scan, Qt::Key_D);
        QTRY_VERIFY(f.form->failuresDialog() && f.form->failuresDialog()->isVisible());
        QCOMPARE(f.form->scanFailures().size(), 2); // Ask, for each URL
    }

    // Every item of every menu, the context menus included, has an Alt key, and no two items of
    // one menu share it; the shortcuts of the original design are kept beside the new keys.
    void everyMenuItemHasAnAltKey() {
        MainWindowFixture f;
        const QStringList missing = itemsWithoutOwnAltKey(f.form.get());
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
        QVERIFY(f.form->findChildren<QMenu*>().size() >= 10);

        const char* shortcuts[][2] = {{"mnuNewURL", "Ctrl+N"},      {"mnuSaveUrlList", "Ctrl+S"},
                                      {"mnuOpenURLList", "Ctrl+O"}, {"mnuOpenClipboard", "Ctrl+V"},
                                      {"mnuExitNow", "Ctrl+X"},     {"mnuScan", "F5"},
                                      {"mnuStop", "Esc"},           {"mnuHelpItem", "F1"},
                                      {"mnuDeleteSelect", "Del"},   {"mnuClearList", "Shift+Del"}};
        for (auto& s : shortcuts)
            QCOMPARE(f.find<QAction>(s[0])->shortcut(), QKeySequence(QString::fromLatin1(s[1])));
        QVERIFY(f.find<QAction>("mnuStop")->shortcuts().contains(QKeySequence(Qt::Key_F5)));
    }

    // Mnemonics for captions that come from data: each marked once, "&" in a caption shown.
    void mnemonicsOfDataCaptions_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("the results columns")
            << QStringList{"Domain Name", "Total", "Google", "Altavista",
                           "Yahoo!",      "Ask",   "MSN",    "All The Web"}
            << QStringList{"&Domain Name", "&Total", "&Google", "&Altavista",
                           "&Yahoo!",      "A&sk",   "&MSN",    "A&ll The Web"};
        QTest::newRow("an ampersand of a caption")
            << QStringList{"R&D", "Rank"} << QStringList{"&R&&D", "R&ank"};
        QTest::newRow("every letter taken")
            << QStringList{"ab", "ba", "ab"} << QStringList{"&ab", "&ba", "&ab"};
        QTest::newRow("no letter") << QStringList{"--", ""} << QStringList{"--", ""};
    }
    void mnemonicsOfDataCaptions() {
        QFETCH(QStringList, captions);
        QFETCH(QStringList, marked);
        const QStringList made = accessibility::withMnemonics(captions);
        QCOMPARE(made, marked);
        for (qsizetype i = 0; i < made.size(); ++i)
            QCOMPARE(accessibility::withoutMnemonic(made.at(i)), captions.at(i));
    }
};

TALLY_GL_TEST_MAIN(TestMainWindowKeys)
#include "tst_main_window_keys.moc"
