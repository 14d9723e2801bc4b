// The main window through its real widgets: controls and captions, menus and shortcuts, tabs, the
// layout on resize, start-up and shut-down.
#include "gui/kit/accessibility.h"
#include "gui/kit/twips.h"
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "gui/results/chart_frame.h"
#include "gui/results/results_table.h"
#include "gui/urllist/url_panel.h"
#include "gui/webview/website_frame.h"

#include <QClipboard>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolTip>
#include <QTreeView>

using namespace tally;
using tally::test::MainWindowFixture;

namespace {

// The items of a menu as a user reads them (each has an Alt key, whose mark is not shown).
QStringList menuItems(const QMenu* menu) {
    QStringList items;
    for (const QAction* a : menu->actions())
        items << (a->isSeparator() ? QStringLiteral("-")
                                   : accessibility::withoutMnemonic(a->text()));
    return items;
}

// The geometry of a widget in its window's coordinates.
QRect windowRect(const QWidget* w) {
    return QRect(w->mapTo(w->window(), QPoint(0, 0)), w->size());
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void controlsAndCaptions();
    void everyControlHasAnAccessibleName();
    void menusInOrder();
    void contextMenus();
    void menuShortcuts();
    void shortcutsLeaveTextBoxesAlone();
    void delKeysActOnUrlListWithFocus();
    void tabsShowExactlyOneFrame();
    void widerAndTaller();
    void minimiseRestoreAndTinyWindow();
    void helpAtStartFollowsSetting();
    void startWithEmptyListShowsOnlyTheProgressBar();
    void statusPanel2ShowsAClippedTextAsTooltip_data();
    void statusPanel2ShowsAClippedTextAsTooltip();
    void closingEndsTheProgram();
    void closingEndsTheProgramWithOtherWindowsOpen();
    void webResultsCommandsReachTheWebView();
};

void TestMainWindow::controlsAndCaptions() {
    MainWindowFixture f;
    QCOMPARE(f.form->currentTab(), 1);
    QVERIFY(f.find<QWidget>("Frame2")->isVisible());
    QVERIFY(!f.find<QWidget>("Frame3")->isVisible() && !f.find<QWidget>("Frame4")->isVisible());
    QCOMPARE(f.form->windowTitle(), product().name + " by " + product().company);
    QCOMPARE(f.find<QPushButton>("Command1")->text(), QStringLiteral("Start"));
    QVERIFY(f.find<QPushButton>("Command1")->isEnabled());
    QCOMPARE(f.find<QPushButton>("Command2")->text(), QStringLiteral("Stop"));
    QVERIFY(!f.find<QPushButton>("Command2")->isEnabled());
    QCOMPARE(f.find<QPushButton>("Command6")->text(), QStringLiteral("Options"));
    QCOMPARE(f.find<QPushButton>("Command3")->text(), "Visit " + product().siteAddress);
    QVERIFY(f.find<QWidget>("Picture1"));

    QCOMPARE(f.find<QGroupBox>("Frame1")->title(), QStringLiteral("URLs"));
    const char* urlButtons[][2] = {
        {"cmdAdd", "Add"}, {"cmdDel", "Delete"}, {"cmdOpen", "Load"}, {"cmdSave", "Save"}};
    for (auto& b : urlButtons)
        QCOMPARE(f.find<QPushButton>(b[0])->text(), QString::fromLatin1(b[1]));
    QCOMPARE(f.find<QListWidget>("List1")->count(), 0);

    auto* tabs = f.find<QTabWidget>("TabStrip1");
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Data View"));
    QCOMPARE(tabs->tabText(1), QStringLiteral("Chart View"));
    QCOMPARE(tabs->tabText(2), QStringLiteral("Website View"));
    for (int i = 0; i < 3; ++i)
        QVERIFY(!tabs->tabIcon(i).isNull());
    QCOMPARE(f.find<QGroupBox>("Frame2")->title(), QStringLiteral("Results - Data View"));
    QCOMPARE(f.find<QPushButton>("Command4")->text(), QStringLiteral("Save Selected"));
    QCOMPARE(f.find<QPushButton>("Command12")->text(), QStringLiteral("Web Results"));
    QCOMPARE(f.find<QPushButton>("Command5")->text(), QStringLiteral("Clear All"));
    QCOMPARE(f.form->chartFrame(), f.find<ChartFrame>("Frame3"));
    QCOMPARE(f.form->websiteFrame(), f.find<WebsiteFrame>("Frame4"));
    QVERIFY(f.find<QPushButton>("Command7") && f.find<QPushButton>("Command14"));
    QVERIFY(f.find<QPushButton>("Command10") && f.find<QLineEdit>("Text1"));

    auto* table = f.find<QTreeView>("ListView1");
    QCOMPARE(table->model()->columnCount(), 8);
    const QStringList headers{"Domain Name", "Total", "Google", "Altavista",
                              "Yahoo!",      "Ask",   "MSN",    "All The Web"};
    // At the designed size all eight columns fit the table, each header text whole with room
    // for a sort arrow ("All The Web" was cut off). The window was fitted into the test's small
    // screen: it is given its designed size back.
    f.form->resize(px(13170), px(11115) + f.form->menuBar()->sizeHint().height());
    int total = 0;
    for (int c = 0; c < 8; ++c) {
        QCOMPARE(table->model()->headerData(c, Qt::Horizontal).toString(), headers[c]);
        total += table->columnWidth(c);
    }
    QVERIFY2(total <= table->viewport()->width(),
             qPrintable(QStringLiteral("%1 > %2").arg(total).arg(table->viewport()->width())));
    table->header()->setSortIndicatorShown(true);
    for (int c = 0; c < 8; ++c) {
        table->header()->setSortIndicator(c, Qt::DescendingOrder);
        QVERIFY2(table->header()->sectionSizeHint(c) <= table->columnWidth(c),
                 qPrintable(headers[c]));
    }
    table->header()->setSortIndicatorShown(false);
    // ListView2: "Webpage Type" a quarter of its width, "URL" three quarters (once laid out).
    QTreeView* list2 = f.form->websiteFrame()->webResults();
    f.form->selectTab(3);
    QCOMPARE(list2->model()->headerData(0, Qt::Horizontal).toString(),
             QStringLiteral("Webpage Type"));
    QCOMPARE(list2->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("URL"));
    QVERIFY2(
        qAbs(list2->columnWidth(1) - 3 * list2->columnWidth(0)) <= 4,
        qPrintable(QStringLiteral("%1 %2").arg(list2->columnWidth(0)).arg(list2->columnWidth(1))));

    // Status bar: four panels, the first empty, time and date kept current; the bar hidden.
    QVERIFY(f.find<QStatusBar>("StatusBar1"));
    QCOMPARE(f.form->panelText(1), QString());
    QVERIFY(!f.form->panelText(3).isEmpty());
    QCOMPARE(f.form->panelText(4), QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
    QCOMPARE(f.find<QWidget>("Panel2")->width(), 233);
    auto* bar = f.find<QProgressBar>("ProgressBar1");
    QVERIFY(bar->isHidden());
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 100);
    // Laid over panel 2.
    QVERIFY(f.find<QWidget>("Panel2")->isAncestorOf(bar));

    // Loaded state: the data view shows, the others are hidden.
    f.form->selectTab(1);
    QCOMPARE(f.form->currentTab(), 1);
    QVERIFY(f.find<QWidget>("Frame2")->isVisible());
    QVERIFY(!f.find<QWidget>("Frame3")->isVisible());
    QVERIFY(!f.find<QWidget>("Frame4")->isVisible());
    // The window font is Verdana where it is installed, else a sans-serif face that is.
    const QString family = f.form->font().family();
    QVERIFY2(QFontDatabase::families().contains(family), qPrintable(family));
    QCOMPARE(family == QLatin1String("Verdana"),
             QFontDatabase::families().contains(QLatin1String("Verdana")));
    QCOMPARE(f.form->font().pointSize(), 8);
}

void TestMainWindow::everyControlHasAnAccessibleName() {
    MainWindowFixture f;
    const QList<QWidget*> widgets = f.form->findChildren<QWidget*>();
    QStringList missing;
    for (QWidget* w : widgets) {
        const bool control = qobject_cast<QAbstractButton*>(w) ||
                             qobject_cast<QAbstractItemView*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QProgressBar*>(w) || qobject_cast<QTabWidget*>(w);
        if (!control || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QString name = w->accessibleName();
        if (auto* b = qobject_cast<QAbstractButton*>(w))
            name = name.isEmpty() ? b->text() : name;
        if (name.isEmpty() && !w->objectName().isEmpty())
            missing << w->objectName();
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
}

void TestMainWindow::menusInOrder() {
    MainWindowFixture f;
    QStringList visibleMenus;
    for (QAction* a : f.form->menuBar()->actions())
        if (a->isVisible())
            visibleMenus << a->text();
    QCOMPARE(visibleMenus,
             (QStringList{"&File", "&Scan", "&Options", "&View", "&Tools", "&Help", "&About"}));
    auto* tools = f.find<QMenu>("mnuTools");
    QCOMPARE(tools->title(), QStringLiteral("&Tools"));
    QVERIFY(!f.find<QAction>("mnuGraph")->isVisible());
    QVERIFY(f.find<QAction>("mnuSources")->isVisible());
    QCOMPARE(f.find<QAction>("mnuSources")->text(), QStringLiteral("&Sources..."));

    QCOMPARE(menuItems(f.find<QMenu>("mnuFile2")),
             (QStringList{"Add URL", "-", "Save URL List to File", "Load URL List from File",
                          "Load URL List from Clipboard", "Export Results...", "-", "Exit"}));
    const char* shortcuts[][2] = {{"mnuNewURL", "Ctrl+N"},        {"mnuSaveUrlList", "Ctrl+S"},
                                  {"mnuOpenURLList", "Ctrl+O"},   {"mnuOpenClipboard", "Ctrl+V"},
                                  {"mnuExportResults", "Ctrl+E"}, {"mnuExitNow", "Ctrl+X"}};
    for (auto& s : shortcuts)
        QCOMPARE(f.find<QAction>(s[0])->shortcut(), QKeySequence(QString::fromLatin1(s[1])));
    QCOMPARE(menuItems(f.find<QMenu>("mnuOptions")),
             (QStringList{"Start Scan", "Stop Scan", "-", "Details...", "Schedule..."}));
    QVERIFY(f.find<QAction>("mnuScan")->isEnabled());
    QVERIFY(!f.find<QAction>("mnuStop")->isEnabled());
    QCOMPARE(menuItems(f.find<QMenu>("mnuOptions2")), QStringList{"View Options"});
    QCOMPARE(menuItems(f.find<QMenu>("mnuView")),
             (QStringList{"Use the desktop's colours and fonts", "Hide switched-off columns"}));
    QVERIFY(f.find<QAction>("mnuDesktopLook")->isCheckable());
    QCOMPARE(menuItems(f.find<QMenu>("mnuHelp01")), QStringList{"View Help"});
    QCOMPARE(menuItems(f.find<QMenu>("mnuHelp")), QStringList{"About this software"});
}

void TestMainWindow::contextMenus() {
    MainWindowFixture f;
    auto* listView = f.find<QMenu>("mnuListView");
    QCOMPARE(listView->title(), QStringLiteral("ListView"));
    QCOMPARE(menuItems(listView),
             (QStringList{"Save Results", "Web Results", "Clear Results", "-", "Sort by"}));
    QCOMPARE(menuItems(f.find<QMenu>("mnuSortBy")),
             (QStringList{"Domain Name", "Total", "Google", "Altavista", "Yahoo!", "Ask", "MSN",
                          "All The Web"}));
    auto* url = f.find<QMenu>("mnuURL");
    QCOMPARE(url->title(), QStringLiteral("URL"));
    QCOMPARE(menuItems(url), (QStringList{"New URL", "-", "Delete Selected", "Clear list", "-",
                                          "Load URL List from File", "Load URL List from Clipboard",
                                          "Save URL List to File"}));
    QCOMPARE(f.find<QAction>("mnuDeleteSelect")->shortcut(), QKeySequence(Qt::Key_Delete));
    QCOMPARE(f.find<QAction>("mnuClearList")->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_Delete));
    // Neither is on the menu bar.
    for (QAction* a : f.form->menuBar()->actions())
        QVERIFY(a->menu() != listView && a->menu() != url);
}

void TestMainWindow::menuShortcuts() {
    MainWindowFixture f;
    test::activate(f.form.get()); // shortcuts go to the active window only
    f.find<QListWidget>("List1")->setFocus();
    // Ctrl+N: the input box of "Add URL".
    f.prompts.inputs.enqueue(QStringLiteral("http://typed.example"));
    QTest::keyClick(f.form.get(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(f.prompts.calls.size(), 1);
    QCOMPARE(f.prompts.calls[0].kind, QStringLiteral("inputBox"));
    QCOMPARE(f.form->urlPanel()->urls(), QStringList{"http://typed.example"});
    // Ctrl+O and Ctrl+S: the file dialogs (cancelled).
    QTest::keyClick(f.form.get(), Qt::Key_O, Qt::ControlModifier);
    QTest::keyClick(f.form.get(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.prompts.calls.size(), 3);
    QCOMPARE(f.prompts.calls[1].kind, QStringLiteral("openFile"));
    QCOMPARE(f.prompts.calls[2].kind, QStringLiteral("saveFile"));
    // Ctrl+V: the clipboard import.
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted.example\r\n"));
    QTest::keyClick(f.form.get(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.form->urlPanel()->urls(),
             (QStringList{"http://typed.example", "http://www.pasted.example"}));
    // Ctrl+X: Exit closes the window and ends the program.
    QSignalSpy ending(f.form.get(), &MainWindow::programEnding);
    QTest::keyClick(f.form.get(), Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(ending.count(), 1);
    QVERIFY(!f.form->isVisible());
}

void TestMainWindow::shortcutsLeaveTextBoxesAlone() {
    MainWindowFixture f;
    f.form->selectTab(3);
    auto* text1 = f.form->websiteFrame()->findChild<QLineEdit*>(QStringLiteral("Text1"));
    QVERIFY(text1 && text1->isVisible());
    QCOMPARE(text1->text(), QStringLiteral("about:blank")); // the start page, no web engine
    text1->clear();
    f.form->activateWindow();
    text1->setFocus();
    QTRY_VERIFY(text1->hasFocus());
    QGuiApplication::clipboard()->setText(QStringLiteral("typed.example"));
    QTest::keyClick(text1, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text1->text(), QStringLiteral("typed.example"));
    QCOMPARE(f.form->urlPanel()->count(), 0);
    // Ctrl+X cuts the text instead of closing the window.
    QSignalSpy ending(f.form.get(), &MainWindow::programEnding);
    text1->selectAll();
    QTest::keyClick(text1, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(text1->text(), QString());
    QCOMPARE(ending.count(), 0);
    QVERIFY(f.form->isVisible());
    // Delete edits the text; the URL list is not touched.
    f.form->urlPanel()->appendUrls({"http://a"});
    f.form->urlList()->setCurrentRow(0);
    text1->setText(QStringLiteral("ab"));
    text1->setCursorPosition(0);
    QTest::keyClick(text1, Qt::Key_Delete);
    QCOMPARE(text1->text(), QStringLiteral("b"));
    QCOMPARE(f.form->urlPanel()->count(), 1);
}

void TestMainWindow::delKeysActOnUrlListWithFocus() {
    MainWindowFixture f;
    f.form->urlPanel()->appendUrls({"http://a", "http://b", "http://c"});
    QListWidget* list = f.form->urlList();
    f.form->activateWindow();
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(f.form->urlPanel()->urls(), (QStringList{"http://a", "http://c"}));
    QCOMPARE(list->currentRow(), 1);
    // Shift+Del asks, and No keeps the list.
    f.prompts.buttons.enqueue(QMessageBox::No);
    QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(f.prompts.messages(), QStringList{"This will delete all the URLs, Continue?"});
    QCOMPARE(f.form->urlPanel()->count(), 2);
    // Del on the results table does nothing to the URL list.
    f.find<QTreeView>("ListView1")->setFocus();
    QTRY_VERIFY(f.find<QTreeView>("ListView1")->hasFocus());
    QTest::keyClick(f.find<QTreeView>("ListView1"), Qt::Key_Delete);
    QCOMPARE(f.form->urlPanel()->count(), 2);
}

void TestMainWindow::tabsShowExactlyOneFrame() {
    MainWindowFixture f;
    QWidget* frames[] = {f.find<QWidget>("Frame2"), f.find<QWidget>("Frame3"),
                         f.find<QWidget>("Frame4")};
    QTabBar* tabBar = f.find<QTabWidget>("TabStrip1")->tabBar();
    for (int tab : {2, 3, 1, 3}) {
        QTest::mouseClick(tabBar, Qt::LeftButton, {}, tabBar->tabRect(tab - 1).center());
        QCOMPARE(f.form->currentTab(), tab);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(frames[i]->isVisible(), i == tab - 1);
        QCOMPARE(frames[0]->geometry(), frames[1]->geometry());
        QCOMPARE(frames[0]->geometry(), frames[2]->geometry());
    }
    f.form->selectTab(2);
    QVERIFY(frames[1]->isVisible() && !frames[0]->isVisible() && !frames[2]->isVisible());
    // Any other index changes nothing.
    f.form->selectTab(0);
    f.form->selectTab(4);
    QCOMPARE(f.form->currentTab(), 2);
    // The web view asks for its tab.
    Q_EMIT f.form->websiteFrame()->websiteTabRequested();
    QCOMPARE(f.form->currentTab(), 3);
    QVERIFY(frames[2]->isVisible());
}

void TestMainWindow::widerAndTaller() {
    MainWindowFixture f;
    const char* wider[] = {"TabStrip1", "Frame2", "ListView1", "Command3"};
    const char* inFrame3[] = {"Frame3", "MSChart1"};
    const char* inFrame4[] = {"Frame4", "ListView2", "WebBrowser1", "Text1", "Command10"};
    struct Snapshot {
        QHash<QString, QRect> rects;
    };
    auto snap = [&](Snapshot& s) {
        auto take = [&](const char* name) {
            QWidget* w = f.find<QWidget>(name);
            if (!w) // the embedded browser's place holder until a page is first opened
                w = f.find<QWidget>((QLatin1String(name) + QLatin1String("Host")).toLatin1());
            QVERIFY2(w, name);
            s.rects.insert(QLatin1String(name), windowRect(w));
        };
        for (const char* n : {"Frame1", "List1"})
            take(n);
        for (const char* n : wider)
            take(n);
        f.form->selectTab(2);
        for (const char* n : inFrame3)
            take(n);
        f.form->selectTab(3);
        for (const char* n : inFrame4)
            take(n);
        f.form->selectTab(1);
    };
    Snapshot before;
    snap(before);
    const QSize size = f.form->size();

    f.form->resize(size.width() + 100, size.height());
    QTRY_COMPARE(f.find<QWidget>("TabStrip1")->width(), before.rects["TabStrip1"].width() + 100);
    Snapshot w;
    snap(w);
    for (const char* n : {"TabStrip1", "Frame2", "ListView1", "Command3", "Frame3", "MSChart1",
                          "Frame4", "ListView2", "WebBrowser1", "Text1"})
        QVERIFY2(w.rects[n].width() == before.rects[n].width() + 100, n);
    QCOMPARE(w.rects["Command10"].left(), before.rects["Command10"].left() + 100);
    QCOMPARE(w.rects["Frame1"], before.rects["Frame1"]);
    QCOMPARE(w.rects["List1"], before.rects["List1"]);
    QCOMPARE(w.rects["Frame2"], w.rects["Frame3"]);
    QCOMPARE(w.rects["Frame2"], w.rects["Frame4"]);

    f.form->resize(size.width() + 100, size.height() + 100);
    QTRY_COMPARE(f.find<QWidget>("TabStrip1")->height(), before.rects["TabStrip1"].height() + 100);
    Snapshot t;
    snap(t);
    for (const char* n : {"Frame1", "List1", "TabStrip1", "Frame2", "Frame3", "Frame4", "ListView1",
                          "MSChart1", "WebBrowser1"})
        QVERIFY2(t.rects[n].height() == before.rects[n].height() + 100, n);
    QCOMPARE(t.rects["ListView2"].height(), before.rects["ListView2"].height());
    QCOMPARE(t.rects["Frame1"].width(), before.rects["Frame1"].width());
}

void TestMainWindow::minimiseRestoreAndTinyWindow() {
    MainWindowFixture f;
    const QRect table = windowRect(f.find<QWidget>("ListView1"));
    f.form->showMinimized();
    f.form->layoutControls(); // skipped while minimised
    f.form->showNormal();
    QTRY_COMPARE(windowRect(f.find<QWidget>("ListView1")), table);
    // A tiny window clips its controls; nothing fails and nothing gets a negative size.
    f.form->resize(60, 40);
    f.form->layoutControls();
    QTRY_VERIFY(f.form->width() < 200);
    for (QWidget* w : f.form->findChildren<QWidget*>())
        QVERIFY(w->width() >= 0 && w->height() >= 0);
    f.form->resize(900, 700);
    QTRY_COMPARE(f.form->width(), 900);
}

void TestMainWindow::helpAtStartFollowsSetting() {
    auto helpShown = [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("Form8") && w->isVisible())
                return true;
        return false;
    };
    {
        MainWindowFixture f(true, false);
        QVERIFY(!helpShown());
    }
    {
        test::TestEnv env;
        env.writeFile(QStringLiteral("Help.rtf"), "{\\rtf1\\ansi Help text.\\par}");
        test::ScriptedPrompts prompts;
        // Nothing stored: the help window opens with the main window.
        MainWindow form;
        form.show();
        QTRY_VERIFY(helpShown());
    }
    QTRY_VERIFY(!helpShown());
}

void TestMainWindow::statusPanel2ShowsAClippedTextAsTooltip_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("tooltip");
    QTest::newRow("fits") << "Opening http://a.example/" << false;
    QTest::newRow("clipped") << "Opening http://www.example.com/search?q=" + QString(80, 'x')
                             << true;
}

void TestMainWindow::statusPanel2ShowsAClippedTextAsTooltip() {
    QFETCH(QString, text);
    QFETCH(bool, tooltip);
    MainWindowFixture f;
    QTRY_VERIFY(!QToolTip::isVisible());
    f.form->setPanelText(2, text);
    auto* panel = f.find<QLabel>("Panel2Text");
    QVERIFY(panel);
    const QPoint at = panel->rect().center();
    QHelpEvent help(QEvent::ToolTip, at, panel->mapToGlobal(at));
    QApplication::sendEvent(panel, &help);
    QCOMPARE(QToolTip::isVisible(), tooltip);
    if (tooltip)
        QCOMPARE(QToolTip::text(), text);
    QToolTip::hideText();
}

void TestMainWindow::startWithEmptyListShowsOnlyTheProgressBar() {
    MainWindowFixture f;
    f.form->setPanelText(1, QStringLiteral("before"));
    QTest::mouseClick(f.find<QPushButton>("Command1"), Qt::LeftButton);
    QVERIFY(f.find<QProgressBar>("ProgressBar1")->isVisible());
    QCOMPARE(f.form->panelText(1), QStringLiteral("before"));
    QCOMPARE(f.find<QPushButton>("Command1")->text(), QStringLiteral("Start"));
    QVERIFY(!f.find<QPushButton>("Command2")->isEnabled());
    QVERIFY(!f.form->isScanning());
    QCOMPARE(f.find<QTreeView>("ListView1")->model()->rowCount(), 0);
}

void TestMainWindow::closingEndsTheProgram() {
    MainWindowFixture f;
    QSignalSpy ending(f.form.get(), &MainWindow::programEnding);
    f.find<QMenu>("mnuFile2");
    f.find<QAction>("mnuExitNow")->trigger();
    QCOMPARE(ending.count(), 1);
    QVERIFY(!f.form->isVisible());
    QVERIFY(f.prompts.calls.isEmpty()); // nothing asked on closing
}

void TestMainWindow::closingEndsTheProgramWithOtherWindowsOpen() {
    MainWindowFixture f;
    f.env.writeFile(QStringLiteral("Help.rtf"), "{\\rtf1\\ansi Help text.\\par}");
    auto shown = [](const char* name) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String(name) && w->isVisible())
                return true;
        return false;
    };
    QTest::mouseClick(f.find<QPushButton>("Command6"), Qt::LeftButton); // Options, modeless
    f.find<QAction>("mnuHelpItem")->trigger();
    f.find<QAction>("mnuAbout")->trigger();
    QTRY_VERIFY(shown("Form2"));
    QTRY_VERIFY(shown("Form8"));
    QTRY_VERIFY(shown("frmAbout"));
    QSignalSpy ending(f.form.get(), &MainWindow::programEnding);
    f.form->close();
    QCOMPARE(ending.count(), 1);
    QTRY_VERIFY(!shown("Form2") && !shown("Form8") && !shown("frmAbout"));
}

void TestMainWindow::webResultsCommandsReachTheWebView() {
    MainWindowFixture f;
    // With no results row selected, each of the three ways ends in the web view's message.
    QTest::mouseClick(f.find<QPushButton>("Command12"), Qt::LeftButton);
    f.find<QAction>("mnuWebResults")->trigger();
    QTreeView* table = f.find<QTreeView>("ListView1");
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(f.prompts.messages().size(), 3);
    for (const auto& call : f.prompts.calls) {
        QCOMPARE(call.title, QStringLiteral("Tallyscope"));
        QCOMPARE(call.text, QStringLiteral("You must first select the item in the results list "
                                           "you wish to view web results for."));
        QCOMPARE(call.icon, QMessageBox::NoIcon);
    }
    QCOMPARE(f.form->currentTab(), 1);
}

TALLY_GL_TEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
