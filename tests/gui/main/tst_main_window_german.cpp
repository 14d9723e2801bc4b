// The main window in German: the program's catalogue of the user's language is loaded and the
// menus, buttons and tabs read in it, mnemonics and shortcuts kept.
#include "core/translations/translations.h"
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include <QMenu>
#include <QPushButton>
#include <QTabWidget>

using tally::test::MainWindowFixture;

class TestMainWindowGerman : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        QVERIFY(tally::installTranslations(QLocale(), QStringLiteral(TALLY_TRANSLATIONS_DIR)));
    }
    void captionsInGerman_data();
    void captionsInGerman();
    void tabsInGerman();
    void everyMenuItemHasItsOwnAltKey();
};

void TestMainWindowGerman::captionsInGerman_data() {
    QTest::addColumn<QString>("objectName");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("File menu") << "mnuFile2"
                               << "&Datei" << QKeySequence();
    QTest::newRow("Scan menu") << "mnuOptions"
                               << "&Suche" << QKeySequence();
    QTest::newRow("Options menu") << "mnuOptions2"
                                  << "&Einstellungen" << QKeySequence();
    QTest::newRow("Help menu") << "mnuHelp01"
                               << "&Hilfe" << QKeySequence();
    QTest::newRow("About menu") << "mnuHelp"
                                << "Ü&ber" << QKeySequence();
    QTest::newRow("View menu") << "mnuView"
                               << "&Ansicht" << QKeySequence();
    QTest::newRow("Tools menu") << "mnuTools"
                                << "&Werkzeuge" << QKeySequence();
    QTest::newRow("Exit") << "mnuExitNow"
                          << "&Beenden" << QKeySequence(Qt::CTRL | Qt::Key_X);
    QTest::newRow("Add URL") << "mnuNewURL"
                             << "URL &hinzufügen" << QKeySequence(Qt::CTRL | Qt::Key_N);
    QTest::newRow("Export") << "mnuExportResults"
                            << "Ergebnisse &exportieren …" << QKeySequence(Qt::CTRL | Qt::Key_E);
    QTest::newRow("Start Scan") << "mnuScan"
                                << "Suche &starten" << QKeySequence(Qt::Key_F5);
    QTest::newRow("View Options") << "mnuConfig"
                                  << "Einstellungen &anzeigen" << QKeySequence();
    QTest::newRow("Sources") << "mnuSources"
                             << "&Quellen …" << QKeySequence();
    QTest::newRow("Details") << "mnuFailureDetails"
                             << "&Details …" << QKeySequence();
}

void TestMainWindowGerman::captionsInGerman() {
    QFETCH(QString, objectName);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    MainWindowFixture f;
    const auto* action = f.form->findChild<QAction*>(objectName);
    QVERIFY(action);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
}

void TestMainWindowGerman::tabsInGerman() {
    MainWindowFixture f;
    QCOMPARE(f.find<QPushButton>("Command1")->text(), QStringLiteral("Start"));
    QCOMPARE(f.find<QPushButton>("Command2")->text(), QStringLiteral("Stopp"));
    QCOMPARE(f.find<QPushButton>("Command6")->text(), QStringLiteral("Einstellungen"));
    const auto* tabs = f.find<QTabWidget>("TabStrip1");
    QCOMPARE(tabs->tabText(0), QStringLiteral("Datenansicht"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("Website-Ansicht"));
    QCOMPARE(f.form->windowTitle(),
             tally::product().name + QStringLiteral(" von ") + tally::product().company);
}

// The German captions choose their own Alt keys: none missing, none shared within a menu or
// on the menu bar.
void TestMainWindowGerman::everyMenuItemHasItsOwnAltKey() {
    MainWindowFixture f;
    const QStringList missing = tally::test::itemsWithoutOwnAltKey(f.form.get());
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(", "))));
}

TALLY_GL_TEST_MAIN(TestMainWindowGerman)
#include "tst_main_window_german.moc"
