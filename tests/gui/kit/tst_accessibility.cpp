// The program as a screen reader and the keyboard alone meet it, with accessibility switched on as
// a screen reader switches it on: what the accessibility interfaces read (the status text after a
// scan and its announcement, the profiles, the chart and its values as a table, the help and
// browser windows, every control of every window), the keys that open the menus and context
// menus, Enter on a result, the Tab walk through the Chart View, and "Show at Startup" stored
// however it changes.
#include "support/accessibility_bus.h"
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "core/product/engine_table.h"
#include "core/settings/ini_file.h"
#include "gui/charts/chart_table_dialog.h"
#include "gui/charts/history_chart.h"
#include "gui/help/help_window.h"
#include "gui/main/about_window.h"
#include "gui/main/scan_failures_dialog.h"
#include "gui/main/splash_window.h"
#include "gui/options/options_dialog.h"
#include "gui/results/chart_frame.h"
#include "gui/results/load_search_dialog.h"
#include "gui/results/results_table.h"
#include "gui/results/save_search_dialog.h"
#include "gui/urllist/url_panel.h"
#include "gui/webview/browser_window.h"
#include "gui/webview/website_frame.h"
#include "support/engine_pages.h"
#include "support/item_views.h"
#include "support/local_http_server.h"
#include "support/result_rows.h"

#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextDocument>
#include <QTreeView>
#include <QtCharts/QChartView>

using namespace tally;
using tally::test::AccessibilityBus;
using tally::test::activate;
using tally::test::HttpRequest;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;
using tally::test::MainWindowFixture;
using tally::test::openPopup;

namespace {

QAccessibleInterface* iface(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

// The last name a NameChanged event of this object carried, or a null string.
QString lastAnnounced(QObject* object) {
    QString name;
    for (const AccessibilityBus::Event& e : AccessibilityBus::events())
        if (e.type == QAccessible::NameChanged && e.object == object)
            name = e.name;
    return name;
}

// What a label shows: its text without markup and without its mnemonic's "&".
QString visibleText(const QLabel* label) {
    QString text = label->text();
    if (label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text))) {
        QTextDocument document;
        document.setHtml(text);
        text = document.toPlainText();
    }
    QString shown;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        shown += text.at(i);
    }
    return shown;
}

void focusOn(QWidget* widget) {
    widget->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), widget);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void scanIsReadAndAnnounced();
    void chartKeysAfterAClickOnTheTab();
    void chartViewTabWalkAndValues();
    void contextMenuKeysSortAndEnter();
    void menuBarKeys();
    void windowsAreWindowsAndTheBoxIsStored();
    void everyWindowNamesItsControls();
};

void TestAccessibility::scanIsReadAndAnnounced() {
    MainWindowFixture f;
    LocalHttpServer server;
    // Every engine reports 100, MSN fails.
    server.setHandler([](const HttpRequest& r) {
        return HttpResponse::page(test::enginePage(test::engineOfPath(r.path), "100"));
    });
    server.route(QStringLiteral("/msn"), HttpResponse::page("busy", 503));
    for (int e = 0; e < EngineCount; ++e)
        modINI::WritePrivateProfileStringA(
            EnginesSection, engineTable()[e].key,
            server.urlString(QLatin1String(test::EnginePaths[e]) + QLatin1String("?q=link:")),
            f.env.file(QStringLiteral("settings.ini")));
    f.form->urlPanel()->appendUrls({QStringLiteral("http://site.example/")});
    auto* panel = f.find<QLabel>("Panel1Text");
    AccessibilityBus::events().clear();
    QTest::keyClick(f.find<QPushButton>("Command1"), Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(!f.form->isScanning(), 30000);

    // The panel reads as its text, its role is its description, and the completion was
    // announced with the failure in it.
    const QString done =
        QStringLiteral("Search Complete.  Found 500 links.  1 of 6 requests failed.");
    QCOMPARE(f.form->panelText(1), done);
    QCOMPARE(iface(panel)->text(QAccessible::Name), done);
    QCOMPARE(lastAnnounced(panel), done);
    QVERIFY(iface(panel)->text(QAccessible::Description).startsWith("Status message"));
    QVERIFY(iface(panel)->text(QAccessible::Description).contains("without a count: 1"));
    for (int p = 2; p <= 4; ++p) {
        QLabel* other = f.find<QLabel>(qPrintable(QStringLiteral("Panel%1Text").arg(p)));
        QCOMPARE(iface(other)->text(QAccessible::Name), other->text());
    }

    // The profile in words: the icon cell's description and tooltip (500 is a medium total).
    ResultsTable* table = f.form->resultsTable();
    QAccessibleInterface* cell = iface(table)->tableInterface()->cellAt(0, 0);
    QVERIFY(cell);
    QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("http://site.example/"));
    QCOMPARE(cell->text(QAccessible::Description), QStringLiteral("Medium profile"));
    QCOMPARE(test::cellToolTip(table, 0, 0), QStringLiteral("Medium profile"));

    // The chart's values as a table: MSN gave no count, and the table does not call it 0.
    f.form->chartFrame()->showChartTable();
    QTableWidget* values = f.form->chartFrame()->chartTable()->table();
    QCOMPARE(values->item(0, 0)->text(), QStringLiteral("100"));
    QCOMPARE(values->item(4, 0)->text(), ChartTableDialog::noCountText());
}

void TestAccessibility::chartKeysAfterAClickOnTheTab() {
    MainWindowFixture f;
    activate(f.form.get());
    focusOn(f.find<QListWidget>("List1"));
    auto* tabs = f.find<QTabWidget>("TabStrip1");
    // Ctrl+L opens the load dialog once the Chart View shows, wherever the focus stayed.
    const auto pressLoadKey = [&] {
        bool opened = false;
        QTimer::singleShot(0, this, [&opened] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                opened = qobject_cast<LoadSearchDialog*>(dialog) != nullptr;
                qobject_cast<QDialog*>(dialog)->reject();
            }
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_L, Qt::ControlModifier);
        QTest::qWait(20);
        return opened;
    };
    QVERIFY(!pressLoadKey()); // the Data View shows
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    QCOMPARE(tabs->currentIndex(), 1);
    QVERIFY(pressLoadKey());
}

void TestAccessibility::chartViewTabWalkAndValues() {
    MainWindowFixture f;
    // Counts above 1,000,000: the chart draws them divided by 10.
    f.env.writeFile(QStringLiteral("Saved/mysite.vqz"),
                    "\r\n[Google]\r\n12-14-26=1500000\r\n12-07-26=1200005\r\n"
                    "\r\n[Yahoo!]\r\n12-14-26=380\r\n12-07-26=377\r\n");
    f.form->selectTab(2);
    ChartFrame* frame = f.form->chartFrame();
    frame->chartSavedSearch(QStringLiteral("mysite.vqz"));
    activate(f.form.get());

    // Tab from Load Data through the frame's controls and out of it, never onto the chart or
    // its focus sink; Shift+Tab comes back through "Export History..." to "Chart Type".
    auto* chartType = f.find<QComboBox>("cmbChart2");
    focusOn(f.find<QPushButton>("Command7"));
    QStringList walk;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walk << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(walk.mid(0, 4),
             (QStringList{"Command14", "cmbChart1", "cmbChart2", "cmdExportHistory"}));
    QWidget* after = QApplication::focusWidget();
    QVERIFY2(!frame->isAncestorOf(after), qPrintable(walk.last()));
    QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), chartType);

    // The chart never keeps the keyboard: it goes to the sink, which reads as the chart and is
    // no push button.
    QWidget* sink = f.find<QWidget>("cmdFocus");
    frame->chart()->chartView()->setFocus();
    QCOMPARE(QApplication::focusWidget(), sink);
    QAccessibleInterface* chart = iface(frame->chart());
    QCOMPARE(chart->role(), QAccessible::Chart);
    QCOMPARE(chart->text(QAccessible::Name), QStringLiteral("mysite"));
    QVERIFY(chart->text(QAccessible::Description).contains("Linking Sites x10"));
    QCOMPARE(iface(sink)->role(), QAccessible::Chart);
    QCOMPARE(iface(sink)->text(QAccessible::Name), QStringLiteral("mysite"));
    QVERIFY(!iface(sink)->state().focusable);

    // Shift+F10 on "Chart Type" opens the chart's menu; T chooses "Show as Table", which lists
    // the counts the chart draws, as they were counted (the chart divides them by ten).
    focusOn(chartType);
    QTest::keyClick(chartType, Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = openPopup();
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QStringLiteral("mnuChart"));
    QTest::keyClick(menu, Qt::Key_T);
    QTRY_VERIFY(frame->chartTable() && frame->chartTable()->isVisible());
    QTableWidget* values = frame->chartTable()->table();
    const ChartData& drawn = frame->chart()->chartData();
    QCOMPARE(values->columnCount(), drawn.seriesCount());
    QCOMPARE(values->rowCount(), drawn.rowCount());
    for (int s = 0; s < drawn.seriesCount(); ++s) {
        QCOMPARE(values->horizontalHeaderItem(s)->text(), drawn.seriesLabels.at(s));
        for (int r = 0; r < drawn.rowCount(); ++r) {
            QCOMPARE(values->verticalHeaderItem(r)->text(), drawn.rowLabels.at(r));
            const std::optional<qint64> count = drawn.counts[s][r];
            QCOMPARE(values->item(r, s)->text(), count ? QString::number(*count) : QString());
        }
    }
    QCOMPARE(values->item(0, 0)->text(), QStringLiteral("1500000"));
    QCOMPARE(values->item(1, 0)->text(), QStringLiteral("1200005")); // not "120,000.5"
    QCOMPARE(f.find<QLabel>("lblChartTable")->text(), QStringLiteral("mysite: Linking Sites"));
    // Another engine while the table is open: the table follows the chart.
    f.find<QComboBox>("cmbChart1")->setCurrentIndex(1);
    QCOMPARE(values->item(0, 0)->text(), QStringLiteral("380"));
    QTest::keyClick(values, Qt::Key_Escape);
    QTRY_VERIFY(!frame->chartTable());
}

void TestAccessibility::contextMenuKeysSortAndEnter() {
    MainWindowFixture f;
    activate(f.form.get());

    // Shift+F10 on the URL list: its menu, as the right button opens it.
    QListWidget* urls = f.form->urlList();
    f.form->urlPanel()->appendUrls({QStringLiteral("http://b.example/")});
    focusOn(urls);
    urls->setCurrentRow(0);
    QTest::keyClick(urls, Qt::Key_F10, Qt::ShiftModifier);
    QMenu* menu = openPopup();
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QStringLiteral("mnuURL"));
    QVERIFY(f.find<QAction>("mnuDeleteSelect")->isEnabled());
    QTest::keyClick(menu, Qt::Key_Escape);
    QTRY_VERIFY(!menu->isVisible());

    // The Menu key on the results table: the row's menu. "Sort by", "Total" from the keys alone
    // sorts as the header click does.
    ResultsTable* table = f.form->resultsTable();
    test::appendRecords(f.form->resultsModel(), {{"http://b.example/", "20"}});
    test::addScannedRow(f.form->resultsModel(), 2, QStringLiteral("about:blank"), {"5"});
    focusOn(table);
    table->selectRow(0);
    QTest::keyClick(table, Qt::Key_Menu);
    menu = openPopup();
    QVERIFY(menu);
    QCOMPARE(menu->objectName(), QStringLiteral("mnuListView"));
    QCOMPARE(menu->actions().first()->text(), QStringLiteral("&Save Result For http://b.example/"));
    QTest::keyClick(menu, Qt::Key_Up); // the last entry: "Sort by"
    QTest::keyClick(menu, Qt::Key_Right);
    QMenu* sortBy = openPopup();
    QVERIFY(sortBy && sortBy != menu);
    QTest::keyClick(sortBy, Qt::Key_Down); // "Domain Name" -> "Total"
    QTest::keyClick(sortBy, Qt::Key_Return);
    QTRY_VERIFY(!QApplication::activePopupWidget());
    QCOMPARE(test::cellText(table, 0, 0), QStringLiteral("about:blank"));
    QVERIFY(table->columnDirection(2));

    // Enter on a row does what a double click does: its web results in the Website View.
    focusOn(table);
    QTest::keyClick(table, Qt::Key_Home);
    QTest::keyClick(table, Qt::Key_Return);
    QCOMPARE(f.form->currentTab(), 3);
    QTreeView* list2 = f.form->websiteFrame()->webResults();
    QCOMPARE(list2->currentIndex().siblingAtColumn(1).data().toString(),
             QStringLiteral("about:blank"));
    QCOMPARE(list2->currentIndex().siblingAtColumn(0).data().toString(),
             QStringLiteral("Home Page"));
}

void TestAccessibility::menuBarKeys() {
    MainWindowFixture f;
    activate(f.form.get());
    const struct {
        QKeyCombination keys;
        const char* menu;
    } cases[] = {
        {Qt::Key_F10, "mnuFile2"},           {Qt::ALT | Qt::Key_F, "mnuFile2"},
        {Qt::ALT | Qt::Key_S, "mnuOptions"}, {Qt::ALT | Qt::Key_O, "mnuOptions2"},
        {Qt::ALT | Qt::Key_V, "mnuView"},    {Qt::ALT | Qt::Key_T, "mnuTools"},
        {Qt::ALT | Qt::Key_H, "mnuHelp01"},  {Qt::ALT | Qt::Key_A, "mnuHelp"},
    };
    for (const auto& c : cases) {
        QTest::keyClick(f.form.get(), c.keys.key(), c.keys.keyboardModifiers());
        QMenu* menu = openPopup();
        QVERIFY2(menu && menu->objectName() == QLatin1String(c.menu), c.menu);
        QTest::keyClick(menu, Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
    }
    // The captions read the same as without their mnemonics.
    QAccessibleInterface* bar = iface(f.form->menuBar());
    QStringList captions;
    for (int i = 0; i < bar->childCount(); ++i)
        if (!bar->child(i)->state().invisible)
            captions << bar->child(i)->text(QAccessible::Name);
    QCOMPARE(captions, (QStringList{"File", "Scan", "Options", "View", "Tools", "Help", "About"}));
}

void TestAccessibility::windowsAreWindowsAndTheBoxIsStored() {
    MainWindowFixture f;
    f.env.writeFile(QStringLiteral("Help.rtf"), test::shippedHelp());
    f.form->showHelp();
    HelpWindow* help = f.form->helpWindow();
    QVERIFY(help && QTest::qWaitForWindowExposed(help));
    QCOMPARE(help->parentWidget(), f.form.get()); // owned, and above its owner
    QCOMPARE(iface(help)->role(), QAccessible::Window);
    QCOMPARE(iface(help)->text(QAccessible::Name), QStringLiteral("Readme/Help"));
    BrowserWindow browser(QStringLiteral("www.example.com"), QStringLiteral("about:blank"));
    QCOMPARE(iface(&browser)->role(), QAccessible::Window);
    QCOMPARE(iface(&browser)->text(QAccessible::Name), browser.windowTitle());

    // "Show at Startup" is stored after a key and after the accessibility toggle action.
    auto* box = help->findChild<QCheckBox*>(QStringLiteral("Check1"));
    const auto stored = [] { return readSetting(QLatin1String(settingkeys::ShowHelp)); };
    QVERIFY(!box->isChecked());
    QCOMPARE(stored(), QStringLiteral("0"));
    activate(help);
    focusOn(box);
    QTest::keyClick(box, Qt::Key_Space);
    QCOMPARE(stored(), QStringLiteral("1"));
    iface(box)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    QVERIFY(!box->isChecked());
    QCOMPARE(stored(), QStringLiteral("0"));
}

void TestAccessibility::everyWindowNamesItsControls() {
    MainWindowFixture f;
    f.env.writeFile(QStringLiteral("Help.rtf"), test::shippedHelp());
    f.form->showHelp();
    f.form->chartFrame()->showChartTable();
    f.form->showScanFailures();
    f.form->showAbout();
    OptionsDialog options;
    LoadSearchDialog load;
    SaveSearchDialog save({{QStringLiteral("Google"), QStringLiteral("12")}});
    BrowserWindow browser(QStringLiteral("www.example.com"), QStringLiteral("about:blank"));
    SplashWindow splash(60000, false);
    const QList<QWidget*> windows = {f.form.get(),
                                     f.form->helpWindow(),
                                     f.form->chartFrame()->chartTable(),
                                     f.form->failuresDialog(),
                                     f.form->aboutWindow(),
                                     &options,
                                     &load,
                                     &save,
                                     &browser,
                                     &splash};
    QStringList faults;
    for (QWidget* window : windows) {
        QVERIFY(window);
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        for (QWidget* w : widgets) {
            if (w->window() != window && w->window()->windowType() == Qt::Popup)
                continue; // menus and lists of combo boxes are read with their owners
            const QString where = window->objectName() + QLatin1Char('/') + w->objectName() +
                                  QLatin1Char(' ') + QLatin1String(w->metaObject()->className());
            QAccessibleInterface* i = iface(w);
            QVERIFY2(i, qPrintable(where));
            if (i->state().focusable && i->text(QAccessible::Name).isEmpty())
                faults << QStringLiteral("no name: ") + where;
            // A label reads as what it shows, an empty one as nothing; a picture has its own
            // name, a hidden label is not read.
            if (auto* label = qobject_cast<QLabel*>(w);
                label && label->pixmap().isNull() && !label->isHidden())
                if (i->text(QAccessible::Name) != visibleText(label))
                    faults << QStringLiteral("name differs from the text: ") + where;
        }
    }
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
}

TALLY_ACCESSIBILITY_TEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
