// The help window on its own: the help file, "Show at Startup", loading and unloading.
#include "core/files/safe_file.h"
#include "core/settings/user_settings.h"
#include "gui/help/help_window.h"
#include "gui/kit/skin.h"
#include "gui/main/main_window.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTextBrowser>
#include <QtTest>

#include <memory>

using namespace tally;
using tally::test::shippedHelp;
using tally::test::storedShowHelp;
using tally::test::TestEnv;

namespace {} // namespace

// The help window as the main window opens it. The program folder holds no help file when the
// main window loads, so the window does not open by itself.
class TestHelpWindow : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> env_;
    std::unique_ptr<MainWindow> owner_;

    QWidget* helpWindow() const { return owner_->helpWindow(); }
    void showHelpWindow() { owner_->showHelp(); }
    void unloadHelpWindow() { delete owner_->helpWindow(); }
    QCheckBox* check1() const {
        return helpWindow()->findChild<QCheckBox*>(QStringLiteral("Check1"));
    }
    QTextBrowser* rtf1() const {
        return helpWindow()->findChild<QTextBrowser*>(QStringLiteral("rtf1"));
    }

private slots:
    void init() {
        env_ = std::make_unique<TestEnv>();
        skin::setEnabled(false);
        owner_ = std::make_unique<MainWindow>();
        owner_->show();
    }
    void cleanup() {
        owner_.reset();
        skin::stop();
        skin::setEnabled(false);
        env_.reset();
    }

    void missingHelpFileShowsNothing() {
        showHelpWindow();
        QVERIFY(!helpWindow());
        QVERIFY(!owner_->findChild<QWidget*>(QStringLiteral("Form8")));
        // Nothing is stored either: the window never loaded its check box.
        QCOMPARE(storedShowHelp(), QStringLiteral("<absent>"));
        // A folder of that name is no help file.
        QDir(env_->path()).mkdir(QStringLiteral("Help.rtf"));
        showHelpWindow();
        QVERIFY(!helpWindow());
    }

    void firstOpeningWithNothingStored() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        showHelpWindow();
        QWidget* window = helpWindow();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QCOMPARE(window->objectName(), QStringLiteral("Form8"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Readme/Help"));
        // Owned by the main window as a tool window: it stays above its owner.
        QCOMPARE(window->parentWidget(), owner_.get());
        QCOMPARE(window->windowType(), Qt::Tool);
        QVERIFY(check1()->isChecked());
        QCOMPARE(check1()->accessibleName(), QStringLiteral("Show at Startup"));
        // Setting the box on load also stores it.
        QCOMPARE(storedShowHelp(), QStringLiteral("1"));
        QVERIFY(rtf1()->toPlainText().contains(QStringLiteral("Where your files live")));
        QVERIFY(rtf1()->isReadOnly());
    }

    void clickingTheBoxStoresAtOnce() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        showHelpWindow();
        QVERIFY(QTest::qWaitForWindowExposed(helpWindow()));
        QTest::mouseClick(check1(), Qt::LeftButton, {}, QPoint(8, check1()->height() / 2));
        QVERIFY(!check1()->isChecked());
        QCOMPARE(storedShowHelp(), QStringLiteral("0"));
        QTest::mouseClick(check1(), Qt::LeftButton, {}, QPoint(8, check1()->height() / 2));
        QCOMPARE(storedShowHelp(), QStringLiteral("1"));
        check1()->setFocus();
        QTest::keyClick(check1(), Qt::Key_Space);
        QCOMPARE(storedShowHelp(), QStringLiteral("0"));

        // Closing unloads the window; opening it again reads the stored value.
        helpWindow()->close();
        QTRY_VERIFY(!helpWindow());
        showHelpWindow();
        QVERIFY(helpWindow());
        QVERIFY(!check1()->isChecked());
        QCOMPARE(storedShowHelp(), QStringLiteral("0"));
    }

    void storedValuesOtherThanOne() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        writeSetting(QLatin1String(settingkeys::ShowHelp), QStringLiteral("yes"));
        showHelpWindow();
        QVERIFY(helpWindow());
        // Only "1" ticks the box (as only "1" opens the window at start-up); the box then stores
        // what it shows.
        QVERIFY(!check1()->isChecked());
        QCOMPARE(storedShowHelp(), QStringLiteral("0"));
    }

    void openingAgainOnlyShowsIt() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        showHelpWindow();
        QPointer<QWidget> first = helpWindow();
        first->hide();
        // Even with the file gone, a loaded window is only shown again.
        QFile::remove(env_->file(QStringLiteral("Help.rtf")));
        showHelpWindow();
        QCOMPARE(helpWindow(), first.data());
        QVERIFY(first->isVisible());
        unloadHelpWindow();
        QVERIFY(!first);
        QVERIFY(!helpWindow());
        unloadHelpWindow(); // nothing loaded: nothing happens
        showHelpWindow();
        QVERIFY(!helpWindow());
    }

    void escapeCloses() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        showHelpWindow();
        QWidget* window = helpWindow();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->activateWindow();
        QTest::keyClick(rtf1(), Qt::Key_Escape);
        QTRY_VERIFY(!helpWindow());
    }

    void unreadableOrPlainHelpFile() {
        // Not rich text: shown as it is.
        env_->writeFile(QStringLiteral("Help.rtf"), "Plain words\r\nSecond line");
        showHelpWindow();
        QVERIFY(helpWindow());
        QCOMPARE(rtf1()->toPlainText(), QStringLiteral("Plain words\nSecond line"));
        unloadHelpWindow();

        // One too large to read is refused with the reason (sparse: no 16 MiB written).
        QFile big(env_->file(QStringLiteral("Help.rtf")));
        QVERIFY(big.resize(HelpFileLimit + 1));
        showHelpWindow();
        QVERIFY(helpWindow());
        QVERIFY2(rtf1()->toPlainText().startsWith("The help file could not be read.") &&
                     rtf1()->toPlainText().endsWith("It is larger than 16 MiB."),
                 qPrintable(rtf1()->toPlainText()));
        QVERIFY(check1()->isEnabled());
    }

    void aChoiceThatCannotBeKeptIsReported() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        showHelpWindow();
        // A folder where the store's file goes.
        QVERIFY(QFile::remove(env_->storeFile()) && QDir().mkpath(env_->storeFile()));
        test::ScriptedPrompts prompts;
        QTest::mouseClick(check1(), Qt::LeftButton);
        QCOMPARE(prompts.calls.size(), 1);
        QVERIFY2(prompts.calls[0].text.startsWith("\"Show at Startup\" could not be kept in\n" +
                                                  QDir::toNativeSeparators(env_->storeFile())),
                 qPrintable(prompts.calls[0].text));
        QCOMPARE(prompts.calls[0].icon, QMessageBox::Warning);
    }

    void withoutAnOwner() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        HelpWindow window(nullptr);
        QVERIFY(window.isLoaded());
        QVERIFY(window.isWindow());
        QVERIFY(window.windowFlags() & Qt::WindowStaysOnTopHint);
    }

    void skinnedOnlyWithTheSwitch() {
        env_->writeFile(QStringLiteral("Help.rtf"), shippedHelp());
        showHelpWindow();
        QVERIFY(!helpWindow()->property("tallySkinned").toBool());
        unloadHelpWindow();
        skin::setEnabled(true);
        showHelpWindow();
        QVERIFY(helpWindow()->property("tallySkinned").toBool());
        QCOMPARE(helpWindow()->palette().color(QPalette::Window), QColor(235, 235, 235));
        skin::setEnabled(false);
    }
};

TALLY_TEST_MAIN(TestHelpWindow)
#include "tst_help_window.moc"
