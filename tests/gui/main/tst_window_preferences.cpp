// What the main window keeps from one session to the next, changed through its controls and seen
// again in a new window: its geometry, the split beside the URL list, the results columns, the URL
// list (after Exit, and after a run that ended without closing), the chart type and the choice of
// the desktop's look (View menu and Options); and what it says when the files behind them cannot
// be read or written.
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "core/settings/program_folder.h"
#include "gui/kit/skin.h"
#include "gui/options/options_dialog.h"
#include "gui/results/results_table.h"
#include "gui/urllist/url_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>

using namespace tally;
using tally::test::activate;
using tally::test::MainWindowFixture;
using tally::test::openPopup;

namespace {

// Drags a widget's point by `by` with the left button held, in `steps` moves (a widget that moves
// under the pointer, as a splitter's handle does, is dragged in one).
void drag(QWidget* widget, const QPoint& from, const QPoint& by, int steps = 2) {
    QTest::mousePress(widget, Qt::LeftButton, {}, from);
    for (int step = 1; step <= steps; ++step)
        QTest::mouseMove(widget, from + by * step / steps);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, from + by);
}

QWidget* visibleWindow(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String(name) && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

class TestWindowPreferences : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { skin::setDesktopLook(false); }

    // One row per preference: changed as a user changes it, then the window closed with Exit
    // (Ctrl+X), or left without closing (a run that was killed: only what was kept at once
    // survives), then a new window shows it again.
    void keptForTheNextStart_data() {
        QTest::addColumn<QString>("preference");
        QTest::addColumn<bool>("exit");
        QTest::newRow("geometry") << "geometry" << true;
        QTest::newRow("split beside the URL list") << "split" << true;
        QTest::newRow("results columns") << "columns" << true;
        QTest::newRow("URL list, after Exit") << "urls" << true;
        QTest::newRow("URL list, without closing") << "urls" << false;
        QTest::newRow("URL list emptied, without closing") << "no urls" << false;
        QTest::newRow("chart type, without closing") << "chart type" << false;
        QTest::newRow("desktop look from the View menu") << "look from menu" << false;
        QTest::newRow("desktop look from Options") << "look from options" << false;
    }
    void keptForTheNextStart() {
        QFETCH(QString, preference);
        QFETCH(bool, exit);
        MainWindowFixture f;
        activate(f.form.get());
        QVariant changed; // what the new window must show

        if (preference == "geometry") {
            const QRect placed(60, 50, 700, 520);
            f.form->setGeometry(placed);
            QTRY_COMPARE(f.form->geometry(), placed);
            changed = placed;
        } else if (preference == "split") {
            auto* split = f.find<QSplitter>("splitURLs");
            const int before = f.form->urlPanel()->width();
            QSplitterHandle* handle = split->handle(1);
            drag(handle, handle->rect().center(), QPoint(70, 0), 1);
            QTRY_VERIFY(qAbs(f.form->urlPanel()->width() - (before + 70)) <= 2);
            changed = f.form->urlPanel()->width();
        } else if (preference == "columns") {
            QHeaderView* header = f.form->resultsTable()->header();
            const int before = header->sectionSize(2);
            const int edge = header->sectionViewportPosition(3) - 1; // Google's right edge
            drag(header->viewport(), QPoint(edge, header->height() / 2), QPoint(45, 0));
            QTRY_COMPARE(header->sectionSize(2), before + 45);
            changed = before + 45;
        } else if (preference == "urls" || preference == "no urls") {
            for (const char* url : {"http://kept.example", "http://also.example"}) {
                f.prompts.inputs.enqueue(QString::fromLatin1(url));
                QTest::keyClick(f.form.get(), Qt::Key_N, Qt::ControlModifier);
            }
            changed = QStringList{"http://kept.example", "http://also.example"};
            if (preference == "no urls") {
                QListWidget* list = f.form->urlList();
                list->setFocus();
                f.prompts.buttons.enqueue(QMessageBox::Yes);
                QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier); // "Clear list"
                QCOMPARE(list->count(), 0);
                changed = QStringList();
            }
            QTest::qWait(0); // the change is written once the event loop comes round
        } else if (preference == "chart type") {
            f.form->selectTab(2);
            auto* chartType = f.find<QComboBox>("cmbChart2");
            chartType->setFocus();
            QTest::keyClick(chartType, Qt::Key_Down);
            QCOMPARE(chartType->currentIndex(), 4);
            changed = 4;
        } else if (preference == "look from menu") {
            QTest::keyClick(f.form.get(), Qt::Key_V, Qt::AltModifier);
            QMenu* view = openPopup();
            QVERIFY(view);
            QCOMPARE(view->objectName(), QStringLiteral("mnuView"));
            QTest::keyClick(view, Qt::Key_U);
            QTRY_VERIFY(skin::desktopLook());
            changed = true;
        } else if (preference == "look from options") {
            QTest::mouseClick(f.find<QPushButton>("Command6"), Qt::LeftButton);
            QWidget* options = visibleWindow("Form2");
            QVERIFY(options && QTest::qWaitForWindowExposed(options));
            auto* box = options->findChild<QCheckBox*>("chkDesktopLook");
            QVERIFY(box && !box->isChecked());
            QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
            QVERIFY(skin::desktopLook());
            QVERIFY(f.find<QAction>("mnuDesktopLook")->isChecked()); // the menu follows
            // Kept at once: Cancel does not take it back.
            QTest::mouseClick(options->findChild<QPushButton*>("Command2"), Qt::LeftButton);
            changed = true;
        }

        if (exit) {
            QTest::keyClick(f.form.get(), Qt::Key_X, Qt::ControlModifier);
            QVERIFY(!f.form->isVisible());
        }
        skin::setDesktopLook(false); // a new run starts without it
        f.open(product());

        if (preference == "geometry") {
            QCOMPARE(f.form->geometry(), changed.toRect());
        } else if (preference == "split") {
            QCOMPARE(f.form->urlPanel()->width(), changed.toInt());
        } else if (preference == "columns") {
            QCOMPARE(f.form->resultsTable()->header()->sectionSize(2), changed.toInt());
        } else if (preference == "urls" || preference == "no urls") {
            QCOMPARE(f.form->urlPanel()->urls(), changed.toStringList());
        } else if (preference == "chart type") {
            QCOMPARE(f.find<QComboBox>("cmbChart2")->currentIndex(), changed.toInt());
        } else {
            QVERIFY(skin::desktopLook());
            QVERIFY(f.find<QAction>("mnuDesktopLook")->isChecked());
            QVERIFY(UserSettings::useDesktopLook());
        }
        // Nothing went wrong on the way (the only question is "Clear list"'s).
        for (const test::ScriptedPrompts::Call& call : std::as_const(f.prompts.calls))
            QVERIFY2(call.kind != QLatin1String("msgBox") || call.icon == QMessageBox::NoIcon,
                     qPrintable(call.text));
    }

    // Unticked in the View menu, the skin comes back in every open window: its palette and the
    // designed 8-point font; ticked, neither.
    void theLookChangesEveryOpenWindow() {
        MainWindowFixture f;
        skin::setEnabled(true);
        skin::skinWindow(f.form.get());
        QCOMPARE(f.form->font().pointSize(), 8);
        QAction* look = f.find<QAction>("mnuDesktopLook");
        look->trigger();
        QVERIFY(skin::desktopLook() && !skin::started());
        QCOMPARE(f.form->font(), QApplication::font());
        QCOMPARE(f.form->palette().color(QPalette::Window),
                 QApplication::palette().color(QPalette::Window));
        look->trigger();
        QVERIFY(!skin::desktopLook() && skin::started());
        QCOMPARE(f.form->font().pointSize(), 8);
        QCOMPARE(f.form->palette().color(QPalette::Window), skin::colours().panel);
        skin::stop();
        skin::setEnabled(false);
    }

    // A window left on a screen that is gone comes back on this one.
    void aWindowLeftOffTheScreenComesBackOnIt() {
        MainWindowFixture f;
        const QRect screen = f.form->screen()->availableGeometry();
        f.form->setGeometry(QRect(screen.right() + 400, screen.bottom() + 300, 600, 400));
        QTest::keyClick(f.form.get(), Qt::Key_X, Qt::ControlModifier);
        f.open(product());
        QTRY_VERIFY2(screen.contains(f.form->frameGeometry()),
                     qPrintable(QStringLiteral("%1,%2").arg(f.form->x()).arg(f.form->y())));
    }

    // The files behind the session: a URL list that cannot be read is said at start, one that
    // cannot be written once, however often the list changes; the list itself stays.
    void aSessionListThatCannotBeKeptIsSaidOnce() {
        MainWindowFixture f(false);
        QVERIFY(QDir().mkpath(ProgramFolder::sessionUrlList())); // a folder in its place
        f.open(product());
        QCOMPARE(f.prompts.messages().size(), 1);
        QVERIFY2(f.prompts.messages().first().contains("The URL list of the last session could "
                                                       "not be read from"),
                 qPrintable(f.prompts.messages().first()));
        for (const char* url : {"http://one.example", "http://two.example"}) {
            f.prompts.inputs.enqueue(QString::fromLatin1(url));
            QTest::keyClick(f.form.get(), Qt::Key_N, Qt::ControlModifier);
            QTest::qWait(0);
        }
        QCOMPARE(f.prompts.messages().size(), 2);
        QVERIFY2(f.prompts.messages().last().contains("could not be kept for the next start in\n" +
                                                      ProgramFolder::sessionUrlList()),
                 qPrintable(f.prompts.messages().last()));
        QCOMPARE(f.form->urlPanel()->urls(),
                 (QStringList{"http://one.example", "http://two.example"}));
    }

    // Settings that cannot be read are said when the window opens, not as a missing API key.
    void anUnreadableStoreIsSaidAtStart() {
        MainWindowFixture f(false);
        QFile::remove(f.env.storeFile());
        QVERIFY(QDir().mkpath(f.env.storeFile()));
        f.open(product());
        QTRY_COMPARE(f.prompts.messages().size(), 1);
        QCOMPARE(f.prompts.calls.constLast().icon, QMessageBox::Warning);
        QCOMPARE(f.prompts.messages().first(), userSettingsProblem());
        QVERIFY(f.prompts.messages().first().contains("It is a folder"));
    }
};

TALLY_GL_TEST_MAIN(TestWindowPreferences)
#include "tst_window_preferences.moc"
