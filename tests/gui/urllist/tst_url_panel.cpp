// The URL list through the main window's real widgets: every command from every control that
// reaches it, the context menu's states, list files and the clipboard.
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "gui/urllist/url_panel.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

#include <sys/stat.h>

using namespace tally;
using tally::test::MainWindowFixture;

namespace {

// Presses the right button on the list at a row (or below the rows when row < 0).
void rightPress(QListWidget* list, int row) {
    QPoint pos(10, list->viewport()->height() - 3);
    if (row >= 0)
        pos = list->visualItemRect(list->item(row)).center();
    QTest::mousePress(list->viewport(), Qt::RightButton, {}, pos);
    QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, pos);
}

} // namespace

class TestUrlPanel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void addFromEveryControl();
    void addKeepsTextAsTypedAndIgnoresShortOrCancelled();
    void deleteSelectsTheSuccessor();
    void clearAsksFirst();
    void contextMenuStates();
    void delKeyWorksAfterTheMenuOpenedWithoutSelection();
    void loadAppendsFileLines();
    void loadFromEveryControlAndMissingFile();
    void loadRefusesFilesItCannotReadWhole_data();
    void loadRefusesFilesItCannotReadWhole();
    void saveWritesCrLfLines();
    void saveAddsTxtOnlyWhenMissing();
    void saveFailureIsReportedAndListKept();
    void clipboardImport();
    void textFilterMatchesAnyCase();
};

void TestUrlPanel::addFromEveryControl() {
    MainWindowFixture f;
    f.prompts.inputs << QStringLiteral("http://one") << QStringLiteral("http://two")
                     << QStringLiteral("http://three");
    QTest::mouseClick(f.find<QPushButton>("cmdAdd"), Qt::LeftButton);
    f.find<QAction>("mnuNewURL")->trigger();
    f.find<QAction>("mnuURLNewURL")->trigger();
    QCOMPARE(f.form->urlPanel()->urls(), (QStringList{"http://one", "http://two", "http://three"}));
    for (const auto& call : f.prompts.calls) {
        QCOMPARE(call.kind, QStringLiteral("inputBox"));
        QCOMPARE(call.text, QStringLiteral("Please enter a URL"));
        QCOMPARE(call.title, QStringLiteral("New URL"));
        QCOMPARE(call.filter, QStringLiteral("http://")); // the prefilled text
    }
}

void TestUrlPanel::addKeepsTextAsTypedAndIgnoresShortOrCancelled() {
    MainWindowFixture f;
    UrlPanel* panel = f.form->urlPanel();
    f.prompts.inputs << QStringLiteral("http://") << QStringLiteral("http://x")
                     << QStringLiteral("") << std::nullopt << QStringLiteral(" http://dup ")
                     << QStringLiteral(" http://dup ");
    for (int i = 0; i < 6; ++i)
        panel->addUrl();
    QCOMPARE(panel->urls(), (QStringList{"http://x", " http://dup ", " http://dup "}));
}

void TestUrlPanel::deleteSelectsTheSuccessor() {
    MainWindowFixture f;
    UrlPanel* panel = f.form->urlPanel();
    QListWidget* list = f.form->urlList();
    panel->appendUrls({"a", "b", "c", "d"});
    // Nothing selected: nothing removed.
    QTest::mouseClick(f.find<QPushButton>("cmdDel"), Qt::LeftButton);
    QCOMPARE(panel->count(), 4);
    list->setCurrentRow(1);
    QTest::mouseClick(f.find<QPushButton>("cmdDel"), Qt::LeftButton);
    QCOMPARE(panel->urls(), (QStringList{"a", "c", "d"}));
    QCOMPARE(list->currentRow(), 1);
    QVERIFY(list->item(1)->isSelected());
    f.find<QAction>("mnuDeleteSelect")->trigger();
    QCOMPARE(panel->urls(), (QStringList{"a", "d"}));
    QCOMPARE(list->currentItem()->text(), QStringLiteral("d"));
    // The last entry: nothing is selected afterwards.
    f.find<QAction>("mnuDeleteSelect")->trigger();
    QCOMPARE(panel->urls(), QStringList{"a"});
    QVERIFY(list->selectedItems().isEmpty());
    f.find<QAction>("mnuDeleteSelect")->trigger();
    QCOMPARE(panel->urls(), QStringList{"a"});
    QVERIFY(f.prompts.calls.isEmpty());
}

void TestUrlPanel::clearAsksFirst() {
    MainWindowFixture f;
    UrlPanel* panel = f.form->urlPanel();
    panel->appendUrls({"a", "b"});
    f.prompts.buttons << QMessageBox::No << QMessageBox::Yes;
    f.find<QAction>("mnuClearList")->trigger();
    QCOMPARE(panel->count(), 2);
    f.find<QAction>("mnuClearList")->trigger();
    QCOMPARE(panel->count(), 0);
    QCOMPARE(f.prompts.calls.size(), 2);
    const auto& call = f.prompts.calls[0];
    QCOMPARE(call.text, QStringLiteral("This will delete all the URLs, Continue?"));
    QCOMPARE(call.title, QStringLiteral("Warning"));
    QCOMPARE(call.icon, QMessageBox::NoIcon);
    QCOMPARE(call.buttons, QMessageBox::Yes | QMessageBox::No);
}

void TestUrlPanel::contextMenuStates() {
    MainWindowFixture f;
    QListWidget* list = f.form->urlList();
    auto* menu = f.find<QMenu>("mnuURL");
    auto* del = f.find<QAction>("mnuDeleteSelect");
    auto* save = f.find<QAction>("mnuURLSaveUrlList");
    // Over an empty list: both disabled, the rest enabled; the menu pops up.
    rightPress(list, -1);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(!del->isEnabled());
    QVERIFY(!save->isEnabled());
    for (const char* n : {"mnuURLNewURL", "mnuClearList", "mnuURLLoadUrlList", "mnuLoadClipboard"})
        QVERIFY2(f.find<QAction>(n)->isEnabled(), n);
    menu->hide();
    // Entries but no selection: Save enabled, Delete still disabled.
    f.form->urlPanel()->appendUrls({"a", "b"});
    list->clearSelection();
    list->setCurrentRow(-1);
    rightPress(list, -1);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(!del->isEnabled());
    QVERIFY(save->isEnabled());
    menu->hide();
    list->setCurrentRow(0);
    rightPress(list, 1);
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(del->isEnabled());
    menu->hide();
    // The buttons and the File menu are never disabled by this.
    for (const char* n : {"cmdAdd", "cmdDel", "cmdOpen", "cmdSave"})
        QVERIFY(f.find<QPushButton>(n)->isEnabled());
    for (const char* n : {"mnuNewURL", "mnuSaveUrlList", "mnuOpenURLList", "mnuOpenClipboard"})
        QVERIFY(f.find<QAction>(n)->isEnabled());
}

void TestUrlPanel::delKeyWorksAfterTheMenuOpenedWithoutSelection() {
    MainWindowFixture f;
    QListWidget* list = f.form->urlList();
    f.form->urlPanel()->appendUrls({"a", "b", "c"});
    auto* menu = f.find<QMenu>("mnuURL");
    rightPress(list, -1); // nothing selected: "Delete Selected" is disabled
    QTRY_VERIFY(menu->isVisible());
    menu->hide();
    QVERIFY(!f.find<QAction>("mnuDeleteSelect")->isEnabled());
    f.form->activateWindow();
    list->setFocus();
    QTRY_VERIFY(list->hasFocus());
    list->setCurrentRow(1);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(f.form->urlPanel()->urls(), (QStringList{"a", "c"}));
    // Without a selection Del removes nothing.
    list->clearSelection();
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(f.form->urlPanel()->count(), 2);
}

void TestUrlPanel::loadAppendsFileLines() {
    MainWindowFixture f;
    UrlPanel* panel = f.form->urlPanel();
    f.env.writeFile(QStringLiteral("Lists/l.txt"),
                    "http://a\r\n\r\nhttp://b\r\n  \r\nhttp://c\nhttp://d\rhttp://e");
    panel->appendUrls({"first"});
    const QString path = f.env.file(QStringLiteral("Lists/l.txt"));
    f.prompts.files << path << path;
    QTest::mouseClick(f.find<QPushButton>("cmdOpen"), Qt::LeftButton);
    const QStringList once{"http://a", "http://b", "  ", "http://c", "http://d", "http://e"};
    QCOMPARE(panel->urls(), QStringList{"first"} + once);
    // Loading the same file again doubles the list.
    f.find<QAction>("mnuOpenURLList")->trigger();
    QCOMPARE(panel->urls(), QStringList{"first"} + once + once);
    const auto& call = f.prompts.calls[0];
    QCOMPARE(call.kind, QStringLiteral("openFile"));
    QCOMPARE(call.text, QStringLiteral("Select a file"));
    QCOMPARE(QDir(call.folder).canonicalPath(),
             QDir(f.env.file(QStringLiteral("Lists"))).canonicalPath());
    QCOMPARE(call.filter, QStringLiteral("Text Files (*.txt)"));
}

void TestUrlPanel::loadFromEveryControlAndMissingFile() {
    MainWindowFixture f;
    UrlPanel* panel = f.form->urlPanel();
    f.env.writeFile(QStringLiteral("Lists/one.txt"), "http://a\r\n");
    const QString path = f.env.file(QStringLiteral("Lists/one.txt"));
    f.prompts.files << path << f.env.file(QStringLiteral("Lists/missing.txt")) << QString();
    f.find<QAction>("mnuURLLoadUrlList")->trigger();
    f.find<QAction>("mnuURLLoadUrlList")->trigger(); // a name typed for a missing file
    f.find<QAction>("mnuOpenURLList")->trigger();    // cancelled
    QCOMPARE(panel->urls(), QStringList{"http://a"});
    QCOMPARE(f.prompts.messages(), QStringList());
}

void TestUrlPanel::loadRefusesFilesItCannotReadWhole_data() {
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("reason");
    QTest::newRow("FIFO") << "fifo"
                          << "It is not a regular file";
    QTest::newRow("link to /dev/urandom") << "urandom"
                                          << "It is not a regular file";
    QTest::newRow("over 64 MiB") << "big"
                                 << "It is larger than 64 MiB";
}

void TestUrlPanel::loadRefusesFilesItCannotReadWhole() {
    QFETCH(QString, setup);
    QFETCH(QString, reason);
    MainWindowFixture f;
    UrlPanel* panel = f.form->urlPanel();
    panel->appendUrls({"kept"});
    const QString path = f.env.file(QStringLiteral("Lists/l.txt"));
    if (setup == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (setup == QLatin1String("urandom"))
        QVERIFY(QFile::link(QStringLiteral("/dev/urandom"), path));
    else
        QVERIFY(QFile(path).open(QIODevice::WriteOnly) && QFile::resize(path, 64 << 20 | 1));
    f.prompts.files << path;
    QTest::mouseClick(f.find<QPushButton>("cmdOpen"), Qt::LeftButton);
    QCOMPARE(f.prompts.messages(),
             QStringList{QStringLiteral("The URL list could not be loaded from\n") + path +
                         QStringLiteral("\n\n") + reason + '.'});
    QCOMPARE(panel->urls(), QStringList{"kept"});
}

void TestUrlPanel::saveWritesCrLfLines() {
    MainWindowFixture f;
    UrlPanel* panel = f.form->urlPanel();
    panel->appendUrls({"http://a", "http://b", "http://c"});
    f.prompts.files << f.env.file(QStringLiteral("Lists/out"));
    QTest::mouseClick(f.find<QPushButton>("cmdSave"), Qt::LeftButton);
    QCOMPARE(f.env.readFile(QStringLiteral("Lists/out.txt")),
             QByteArray("http://a\r\nhttp://b\r\nhttp://c\r\n"));
    const auto& call = f.prompts.calls[0];
    QCOMPARE(call.kind, QStringLiteral("saveFile"));
    QCOMPARE(QDir(call.folder).canonicalPath(),
             QDir(f.env.file(QStringLiteral("Lists"))).canonicalPath());
    QCOMPARE(call.filter, QStringLiteral("Text Files (*.txt);;All Files (*)"));
    // Cancelled: nothing written. An empty list gives an empty file.
    f.find<QAction>("mnuSaveUrlList")->trigger();
    panel->list()->clear();
    f.prompts.files << f.env.file(QStringLiteral("Lists/empty.txt"));
    f.find<QAction>("mnuURLSaveUrlList")->trigger();
    QVERIFY(QFile::exists(f.env.file(QStringLiteral("Lists/empty.txt"))));
    QCOMPARE(f.env.readFile(QStringLiteral("Lists/empty.txt")), QByteArray());
}

void TestUrlPanel::saveAddsTxtOnlyWhenMissing() {
    MainWindowFixture f;
    f.form->urlPanel()->appendUrls({"x"});
    f.prompts.files << f.env.file(QStringLiteral("Lists/A.TXT"))
                    << f.env.file(QStringLiteral("Lists/b.csv"));
    f.form->urlPanel()->saveListFile();
    f.form->urlPanel()->saveListFile();
    QCOMPARE(f.env.readFile(QStringLiteral("Lists/A.TXT")), QByteArray("x\r\n"));
    QVERIFY(!QFile::exists(f.env.file(QStringLiteral("Lists/A.TXT.txt"))));
    QCOMPARE(f.env.readFile(QStringLiteral("Lists/b.csv.txt")), QByteArray("x\r\n"));
}

void TestUrlPanel::saveFailureIsReportedAndListKept() {
    MainWindowFixture f;
    f.form->urlPanel()->appendUrls({"x", "y"});
    f.prompts.files << f.env.file(QStringLiteral("no/such/folder/list.txt"));
    f.form->urlPanel()->saveListFile();
    QCOMPARE(f.prompts.messages().size(), 1);
    QVERIFY(f.prompts.messages()[0].startsWith(QStringLiteral("The URL list could not be saved")));
    QCOMPARE(f.form->urlPanel()->urls(), (QStringList{"x", "y"}));
}

void TestUrlPanel::clipboardImport() {
    MainWindowFixture f;
    UrlPanel* panel = f.form->urlPanel();
    panel->appendUrls({"kept"});
    QGuiApplication::clipboard()->setText(
        QStringLiteral("example.com\r\n\r\nwww.example.org\r\nhttp://x.net/\r\n"));
    f.find<QAction>("mnuOpenClipboard")->trigger();
    QCOMPARE(panel->urls(), (QStringList{"kept", "http://www.example.com", "http://www.example.org",
                                         "http://x.net/"}));
    // No scratch file is left in the program folder.
    QVERIFY(!QFile::exists(f.env.file(QStringLiteral("temp.txt"))));
    // From the context menu too; Linux text with LF line ends; empty clipboard adds nothing.
    QGuiApplication::clipboard()->setText(QStringLiteral("a.com\nb.com\n"));
    f.find<QAction>("mnuLoadClipboard")->trigger();
    QCOMPARE(panel->count(), 6);
    QCOMPARE(panel->urls().mid(4), (QStringList{"http://www.a.com", "http://www.b.com"}));
    QGuiApplication::clipboard()->clear();
    f.find<QAction>("mnuLoadClipboard")->trigger();
    QCOMPARE(panel->count(), 6);
}

// The Text Files filter lists .txt files whatever the letter case of their extension.
void TestUrlPanel::textFilterMatchesAnyCase() {
    test::TestEnv env;
    for (const char* name : {"a.txt", "b.TXT", "c.Txt", "d.csv"})
        env.writeFile(QStringLiteral("Lists/") + QLatin1String(name), "x\r\n");
    QFileDialog dialog(nullptr, QStringLiteral("Select a file"), env.file(QStringLiteral("Lists")),
                       QStringLiteral("Text Files (*.txt)"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.show();
    auto* view = dialog.findChild<QAbstractItemView*>(QStringLiteral("listView"));
    QVERIFY(view);
    QTRY_COMPARE(view->model()->rowCount(view->rootIndex()), 3);
    dialog.close();
}

TALLY_GL_TEST_MAIN(TestUrlPanel)
#include "tst_url_panel.moc"
