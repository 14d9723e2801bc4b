// The Options dialog opened from the main window: "View Options" modal and owned by the window,
// the "Options" button modeless without an owner, one dialog at a time, gone at shut-down.
#include "gui/options/options_dialog.h"
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include <QAction>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

using namespace tally;
using tally::test::MainWindowFixture;

using tally::test::flushDeletes;

namespace {

// A click that goes through the window system, as a user's does, so that modality applies.
void userClick(QWidget* widget) {
    QWidget* window = widget->window();
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                      widget->mapTo(window, widget->rect().center()));
}

QAction* viewOptions(const MainWindowFixture& f) {
    return f.form->findChild<QAction*>(QStringLiteral("mnuConfig"));
}

} // namespace

class TestOptionsMainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { flushDeletes(); }

    void optionsButtonIsModelessViewOptionsAlwaysModal() {
        MainWindowFixture f;
        auto* command6 = f.find<QPushButton>("Command6");
        QTest::mouseClick(command6, Qt::LeftButton);
        QPointer<OptionsDialog> dialog = f.form->optionsDialog();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->parentWidget());
        QCOMPARE(dialog->windowModality(), Qt::NonModal);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QVERIFY(!QApplication::activeModalWidget());

        // The main window still takes clicks; a second "Options" brings the same dialog forward.
        dialog->showMinimized();
        QSignalSpy clicked(command6, &QPushButton::clicked);
        userClick(command6);
        QCOMPARE(clicked.size(), 1);
        QCOMPARE(f.form->optionsDialog(), dialog.data());
        QVERIFY(!dialog->isMinimized());

        // "View Options" meanwhile blocks the main window all the same: the open dialog becomes
        // its modal one, keeping what was typed into it.
        dialog->prefixBox(0)->setText(QStringLiteral("typed before"));
        viewOptions(f)->trigger();
        QCOMPARE(f.form->optionsDialog(), dialog.data());
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QCOMPARE(dialog->parentWidget(), f.form.get());
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(QApplication::activeModalWidget(), dialog.data());
        QCOMPARE(dialog->prefixBox(0)->text(), QStringLiteral("typed before"));
        userClick(command6);
        QCOMPARE(clicked.size(), 1);
        int dialogs = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            dialogs += qobject_cast<OptionsDialog*>(w) && w->isVisible();
        QCOMPARE(dialogs, 1);

        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);
        flushDeletes();
        QVERIFY(!dialog);
        QVERIFY(!f.form->optionsDialog());
    }

    void viewOptionsIsModal() {
        MainWindowFixture f;
        viewOptions(f)->trigger();
        QPointer<OptionsDialog> dialog = f.form->optionsDialog();
        QVERIFY(dialog);
        QCOMPARE(dialog->parentWidget(), f.form.get());
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QCOMPARE(QApplication::activeModalWidget(), dialog.data());

        // The main window is blocked: its buttons take no clicks until the dialog closes.
        auto* command6 = f.find<QPushButton>("Command6");
        QSignalSpy clicked(command6, &QPushButton::clicked);
        userClick(command6);
        QCOMPARE(clicked.size(), 0);
        QCOMPARE(f.form->optionsDialog(), dialog.data());

        // The dialog itself works: Ok saves and closes, and the window takes clicks again.
        QLineEdit* medium = dialog->thresholdBox(1);
        medium->selectAll();
        medium->insert(QStringLiteral("400"));
        QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        flushDeletes();
        QVERIFY(!dialog);
        QCOMPARE(readSetting(QLatin1String(settingkeys::LowThreshold)), QStringLiteral("399"));
        QVERIFY(!QApplication::activeModalWidget());
        userClick(command6);
        QCOMPARE(clicked.size(), 1);
        QVERIFY(f.form->optionsDialog());
        QCOMPARE(f.form->optionsDialog()->windowModality(), Qt::NonModal);
    }

    void shutDownUnloadsTheDialog() {
        MainWindowFixture f;
        QTest::mouseClick(f.find<QPushButton>("Command6"), Qt::LeftButton);
        QPointer<OptionsDialog> dialog = f.form->optionsDialog();
        QVERIFY(dialog);
        QLineEdit* google = dialog->prefixBox(0);
        google->setText(QStringLiteral("not saved"));
        f.form->close();
        QVERIFY(!dialog);
        QVERIFY(!f.form->optionsDialog());
        // Unloading is not Ok: nothing was written.
        QVERIFY(!f.env.readFile(QStringLiteral("settings.ini")).contains("not saved"));
    }
};

TALLY_GL_TEST_MAIN(TestOptionsMainWindow)
#include "tst_options_main_window.moc"
