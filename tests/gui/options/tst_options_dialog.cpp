// The Options dialog through its real widgets: load, the threshold rule on every keystroke, Ok,
// Cancel, Reset, and one dialog at a time.
#include "core/net/network_page_fetcher.h"
#include "core/product/engine_table.h"
#include "core/scan/engine_definitions.h"
#include "core/scan/scan_run.h"
#include "core/settings/ini_file.h"
#include "core/settings/program_folder.h"
#include "core/settings/user_settings.h"
#include "gui/options/options_dialog.h"
#include "support/full_disk.h"
#include "support/local_http_server.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <optional>

#include <sys/stat.h>

using namespace tally;
using tally::test::HttpResponse;
using tally::test::LocalHttpServer;
using tally::test::ScriptedPrompts;
using tally::test::TestEnv;

using tally::test::flushDeletes;

namespace {

// settings.ini with prefixes of the user's own and an unrelated section after them.
const QByteArray CustomIni =
    "\r\n[Engines]\r\nGoogle=http://g/?q=link:\r\nAltavista=http://a/\r\n"
    "Yahoo=http://y/\r\nAsk=http://k/\r\nMSN=http://m/\r\nATW=http://w/\r\n"
    "\r\n[Other]\r\nx=1\r\n";

QLineEdit* box(OptionsDialog* form, int index) {
    return form->findChild<QLineEdit*>(QStringLiteral("txtProfile%1").arg(index));
}

QStringList thresholds(OptionsDialog* form) {
    return {box(form, 0)->text(), box(form, 1)->text(), box(form, 2)->text()};
}

QStringList list(const char* low, const char* medium, const char* high) {
    return {QString::fromLatin1(low), QString::fromLatin1(medium), QString::fromLatin1(high)};
}

// Selects all of a box with the keyboard and types the keys one by one.
void retype(QLineEdit* edit, const QString& keys) {
    edit->setFocus();
    QTest::keySequence(edit, QKeySequence::SelectAll);
    QTest::keyClicks(edit, keys);
}

// Replaces the whole text of a box in one edit, as a paste does.
void paste(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    edit->insert(text);
}

QPushButton* button(OptionsDialog* form, const char* name) {
    return form->findChild<QPushButton*>(QString::fromLatin1(name));
}

QString stored(const QString& key) {
    return readSetting(key);
}

} // namespace

class TestOptionsDialog : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        // A failed test may leave its own dialog behind.
        for (QWidget* window : QApplication::topLevelWidgets())
            if (qobject_cast<OptionsDialog*>(window))
                delete window;
        flushDeletes();
    }

    void defaultsOnAnEmptyStore() {
        TestEnv env(false); // no settings.ini at all
        OptionsDialog form;
        QCOMPARE(form.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(thresholds(&form), list("500", "1000", "1000"));
        for (int i = 1; i <= 6; ++i) {
            auto* text = form.findChild<QLineEdit*>(QStringLiteral("Text%1").arg(i));
            QVERIFY(text);
            QCOMPARE(text->text(), QString());
            QVERIFY(!text->accessibleName().isEmpty());
        }
        QVERIFY(form.findChild<QCheckBox*>(QStringLiteral("chkClear"))->isChecked());
        QVERIFY(form.findChild<QCheckBox*>(QStringLiteral("chkAuto"))->isChecked());
        // Nothing is written by opening the dialog.
        QVERIFY(!QFile::exists(env.file(QStringLiteral("settings.ini"))));
        QVERIFY(!QFile::exists(env.storeFile()));
    }

    void captionsAndLayout() {
        TestEnv env;
        OptionsDialog form;
        QStringList frames;
        for (const char* name : {"Frame1", "Frame2", "Frame3"})
            frames << form.findChild<QGroupBox*>(QString::fromLatin1(name))->title();
        QCOMPARE(frames, QStringList({"Edit Search Engine URLs", "Define Popularity Ranks",
                                      "Data Options"}));
        QStringList labels;
        for (QLabel* label : form.findChildren<QLabel*>())
            labels << label->text();
        for (const char* caption :
             {"Google:", "Altavista:", "Yahoo!:", "Ask:", "MSN:", "AllTheWeb:",
              "High Profile if total is greater than: ", "Medium Profile if total is less than: ",
              "Low Profile if total is less than:"})
            QVERIFY2(labels.contains(QString::fromLatin1(caption)), caption);
        QCOMPARE(form.findChild<QCheckBox*>(QStringLiteral("chkClear"))->text(),
                 QStringLiteral("Clear results after each search"));
        QCOMPARE(form.findChild<QCheckBox*>(QStringLiteral("chkAuto"))->text(),
                 QStringLiteral("Auto-sort data by popularity"));
        QCOMPARE(button(&form, "Command1")->text(), QStringLiteral("Ok"));
        QCOMPARE(button(&form, "Command2")->text(), QStringLiteral("Cancel"));
        QCOMPARE(button(&form, "Command3")->text(), QStringLiteral("Reset"));

        // The array index runs from the bottom row up.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(box(&form, 2)->mapTo(&form, QPoint()).y() <
                box(&form, 1)->mapTo(&form, QPoint()).y());
        QVERIFY(box(&form, 1)->mapTo(&form, QPoint()).y() <
                box(&form, 0)->mapTo(&form, QPoint()).y());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(box(&form, i), form.thresholdBox(i));
    }

    // engines.ini's captions label the boxes; what is wrong with a slot shows under them, and
    // "Check engines" (reached with Tab after the last box and "Sources...") lists every slot.
    void engineDefinitionsShown() {
        for (const bool broken : {false, true}) {
            TestEnv env;
            ScriptedPrompts prompts;
            if (broken)
                env.writeFile(EnginesIniName, "[MSN]\nCaption=Backlinks\n[Ask]\nKind=jsn\n");
            OptionsDialog form;
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            auto* label = form.findChild<QLabel*>(QStringLiteral("lblEngine5"));
            QCOMPARE(label->text(), QString(broken ? "Backlinks:" : "MSN:"));
            QCOMPARE(form.prefixBox(4)->accessibleName(), QString(broken ? "Backlinks" : "MSN"));
            QCOMPARE(form.engineProblemsLabel()->isVisible(), broken);
            if (broken)
                QCOMPARE(form.engineProblemsLabel()->text(),
                         QString("Ask: engine definition: unknown kind \"jsn\" (markers, json, "
                                 "table, graph or off)"));

            form.prefixBox(5)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), button(&form, "cmdSources"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), button(&form, "cmdCheckEngines"));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            QCOMPARE(prompts.calls.size(), 1);
            const ScriptedPrompts::Call& call = prompts.calls.first();
            QCOMPARE(call.title, QString("Check engines"));
            QCOMPARE(call.icon, broken ? QMessageBox::Warning : QMessageBox::Information);
            const QStringList lines = call.text.split('\n');
            QCOMPARE(lines.size(), 7);
            QVERIFY2(lines[0].startsWith(broken ? "The engines as " : "The six built-in engines"),
                     qPrintable(lines[0]));
            const QString builtIn = ", the built-in search engine: it no longer reports link "
                                    "counts";
            QCOMPARE(lines[1], "Google: \"Google\"" + builtIn);
            QCOMPARE(lines[4], broken ? QString("Ask: \"Ask\", markers: engine definition: "
                                                "unknown kind \"jsn\" (markers, json, table, "
                                                "graph or off)")
                                      : "Ask: \"Ask\"" + builtIn);
            QCOMPARE(lines[5], (broken ? "MSN: \"Backlinks\"" : "MSN: \"MSN\"") + builtIn);
        }
    }

    void loadsBothStores() {
        TestEnv env;
        env.writeFile(QStringLiteral("settings.ini"), CustomIni);
        writeSetting(QStringLiteral("txtProfile0"), QStringLiteral("100"));
        writeSetting(QStringLiteral("txtProfile1"), QStringLiteral("300"));
        writeSetting(QStringLiteral("txtProfile2"), QStringLiteral("250"));
        writeSetting(QStringLiteral("chkAutoSort"), QStringLiteral("0"));
        writeSetting(QStringLiteral("chkClear"), QStringLiteral("1"));
        OptionsDialog form;
        QCOMPARE(form.prefixBox(0)->text(), QStringLiteral("http://g/?q=link:"));
        QCOMPARE(form.prefixBox(5)->text(), QStringLiteral("http://w/"));
        // The stored high threshold wins over the stored medium one.
        QCOMPARE(thresholds(&form), list("100", "250", "250"));
        QVERIFY(!form.findChild<QCheckBox*>(QStringLiteral("chkAuto"))->isChecked());
        QVERIFY(form.findChild<QCheckBox*>(QStringLiteral("chkClear"))->isChecked());
    }

    void loadRunsTheRuleForEachBox() {
        TestEnv env;
        // Low above the designed medium doubles into medium before medium is loaded.
        writeSetting(QStringLiteral("txtProfile0"), QStringLiteral("2000"));
        writeSetting(QStringLiteral("txtProfile1"), QStringLiteral("4000"));
        writeSetting(QStringLiteral("txtProfile2"), QStringLiteral("4000"));
        {
            OptionsDialog form;
            QCOMPARE(thresholds(&form), list("2000", "4000", "4000"));
        }
        // Text that does not read is shed on load; a stored empty box stays empty.
        writeSetting(QStringLiteral("txtProfile0"), QStringLiteral("abc"));
        writeSetting(QStringLiteral("txtProfile1"), QString());
        writeSetting(QStringLiteral("txtProfile2"), QString());
        writeSetting(QStringLiteral("chkAutoSort"), QStringLiteral("yes"));
        OptionsDialog form;
        QCOMPARE(thresholds(&form), list("", "", ""));
        QVERIFY(!form.findChild<QCheckBox*>(QStringLiteral("chkAuto"))->isChecked());
    }

    void lowAboveMediumDoubles() {
        TestEnv env;
        OptionsDialog form;
        paste(box(&form, 0), QStringLiteral("2000"));
        QCOMPARE(thresholds(&form), list("2000", "4000", "4000"));
    }

    void mediumInOneStepAndKeyByKey() {
        TestEnv env;
        {
            OptionsDialog form;
            paste(box(&form, 1), QStringLiteral("400"));
            QCOMPARE(thresholds(&form), list("399", "400", "400"));
        }
        OptionsDialog form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        retype(box(&form, 1), QStringLiteral("400"));
        QCOMPARE(thresholds(&form), list("3", "400", "400"));
    }

    void highInOneStep() {
        TestEnv env;
        OptionsDialog form;
        paste(box(&form, 2), QStringLiteral("700"));
        QCOMPARE(thresholds(&form), list("500", "700", "700"));
        paste(box(&form, 0), QStringLiteral("690"));
        paste(box(&form, 2), QStringLiteral("1000"));
        paste(box(&form, 0), QStringLiteral("800"));
        QCOMPARE(thresholds(&form), list("800", "1000", "1000"));
        paste(box(&form, 2), QStringLiteral("700"));
        QCOMPARE(thresholds(&form), list("699", "700", "700"));
    }

    void letterAfterTwelve_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("low") << 0 << list("12", "1000", "1000");
        QTest::newRow("medium") << 1 << list("0", "12", "12");
        QTest::newRow("high") << 2 << list("0", "12", "12");
    }
    void letterAfterTwelve() {
        QFETCH(int, index);
        QFETCH(QStringList, expected);
        TestEnv env;
        OptionsDialog form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        retype(box(&form, index), QStringLiteral("12"));
        QCOMPARE(thresholds(&form), expected);
        QTest::keyClick(box(&form, index), Qt::Key_Q);
        QCOMPARE(thresholds(&form), expected);
        QTest::keyClicks(box(&form, index), QStringLiteral("-x."));
        QCOMPARE(thresholds(&form), expected);
        QCOMPARE(box(&form, index)->cursorPosition(), 2);
    }

    void anotherEmptyBoxEmptiesTheTypedOne() {
        TestEnv env;
        OptionsDialog form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QLineEdit* high = box(&form, 2);
        high->setFocus();
        QTest::keySequence(high, QKeySequence::SelectAll);
        QTest::keyClick(high, Qt::Key_Delete);
        QCOMPARE(thresholds(&form), list("500", "1000", ""));
        QTest::keyClicks(box(&form, 0), QStringLiteral("7"));
        QCOMPARE(thresholds(&form), list("", "1000", ""));
    }

    void okWritesEverything() {
        TestEnv env;
        env.writeFile(QStringLiteral("settings.ini"), CustomIni);
        QPointer<OptionsDialog> form = new OptionsDialog;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        retype(form->prefixBox(0), QStringLiteral("http://example.test/s?q=link:"));
        form->prefixBox(3)->clear();
        paste(box(form, 1), QStringLiteral("400"));
        QTest::mouseClick(form->findChild<QCheckBox*>(QStringLiteral("chkClear")), Qt::LeftButton);
        QTest::mouseClick(button(form, "Command1"), Qt::LeftButton);
        flushDeletes();
        QVERIFY(!form);

        QCOMPARE(env.readFile(QStringLiteral("settings.ini")),
                 QByteArray("\r\n[Engines]\r\nGoogle=http://example.test/s?q=link:\r\n"
                            "Altavista=http://a/\r\nYahoo=http://y/\r\nAsk=\r\nMSN=http://m/\r\n"
                            "ATW=http://w/\r\n\r\n[Other]\r\nx=1\r\n"));
        QCOMPARE(stored(QStringLiteral("txtProfile0")), QStringLiteral("399"));
        QCOMPARE(stored(QStringLiteral("txtProfile1")), QStringLiteral("400"));
        QCOMPARE(stored(QStringLiteral("txtProfile2")), QStringLiteral("400"));
        QCOMPARE(stored(QStringLiteral("chkAutoSort")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("chkClear")), QStringLiteral("0"));
    }

    void okCreatesAMissingSettingsFileAndKeepsTextAsTyped() {
        TestEnv env(false);
        QPointer<OptionsDialog> form = new OptionsDialog;
        paste(box(form, 0), QStringLiteral(" 7 "));
        QTest::mouseClick(form->findChild<QCheckBox*>(QStringLiteral("chkAuto")), Qt::LeftButton);
        form->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        flushDeletes();
        QVERIFY(!form);
        QCOMPARE(env.readFile(QStringLiteral("settings.ini")),
                 QByteArray("\r\n[Engines]\r\nGoogle=\r\nAltavista=\r\nYahoo=\r\nAsk=\r\nMSN=\r\n"
                            "ATW=\r\n"));
        QCOMPARE(stored(QStringLiteral("txtProfile0")), QStringLiteral(" 7 "));
        QCOMPARE(stored(QStringLiteral("chkAutoSort")), QStringLiteral("0"));
    }

    void pastedLineBreaksDoNotReachSettingsIni() {
        TestEnv env;
        QPointer<OptionsDialog> form = new OptionsDialog;
        paste(form->prefixBox(2),
              QStringLiteral("http://y.test/?p=link:\r\n[Engines]\r\nGoogle=x"));
        QCOMPARE(form->prefixBox(2)->text(), QStringLiteral("http://y.test/?p=link:"));
        paste(form->prefixBox(4), QStringLiteral("\nMSN=x"));
        QCOMPARE(form->prefixBox(4)->text(), QString());
        button(form, "Command1")->click();
        QCOMPARE(modINI::ReadIniSection(QStringLiteral("Engines"), QString(),
                                        ProgramFolder::settingsIni())
                     .split(QStringLiteral("\r\n"))
                     .size(),
                 EngineCount);
        QCOMPARE(modINI::ReadIniValue(QStringLiteral("Engines"), QStringLiteral("Yahoo"), QString(),
                                      ProgramFolder::settingsIni()),
                 QStringLiteral("http://y.test/?p=link:"));
    }

    // Every write of the dialog either happens or is reported, naming the file; the dialog then
    // stays open with what was typed, and the files keep what they held.
    void writeFailuresAreReported_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("storeFails");
        for (const char* command : {"Command1", "Command3"}) {
            const QString suffix = QLatin1String(command) == QLatin1String("Command1")
                                       ? QStringLiteral(", Ok")
                                       : QStringLiteral(", Reset");
            for (const char* setup : {"read-only settings.ini", "settings.ini is a folder",
                                      "settings.ini is a FIFO", "full disk", "file size limit"})
                QTest::newRow(qPrintable(QLatin1String(setup) + suffix))
                    << QString::fromLatin1(setup) << QString::fromLatin1(command) << false;
        }
        QTest::newRow("store is a folder, Ok") << "store is a folder"
                                               << "Command1" << true;
    }
    void writeFailuresAreReported() {
        QFETCH(QString, setup);
        QFETCH(QString, command);
        QFETCH(bool, storeFails);
        TestEnv env;
        const QString ini = env.file(QStringLiteral("settings.ini"));
        std::optional<test::SmallFileSystem> disk;
        if (setup == QLatin1String("full disk")) {
            disk.emplace(env.path());
            if (!disk->mounted())
                QSKIP("cannot mount a small tmpfs here (needs root)");
        }
        env.writeFile(QStringLiteral("settings.ini"), CustomIni);
        if (setup == QLatin1String("read-only settings.ini")) {
            QFile::setPermissions(ini, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        } else if (setup == QLatin1String("settings.ini is a folder")) {
            QFile::remove(ini);
            QVERIFY(QDir().mkdir(ini));
        } else if (setup == QLatin1String("settings.ini is a FIFO")) {
            QFile::remove(ini);
            QCOMPARE(::mkfifo(QFile::encodeName(ini).constData(), 0600), 0);
        } else if (setup == QLatin1String("full disk")) {
            disk->fill();
        } else if (setup == QLatin1String("store is a folder")) {
            QVERIFY(QDir().mkdir(env.storeFile()));
        }
        const bool regular = QFileInfo(ini).isFile(); // a FIFO is never opened here
        const QByteArray iniBefore = regular ? env.readFile(QStringLiteral("settings.ini")) : "";
        ScriptedPrompts prompts;
        prompts.buttons.enqueue(QMessageBox::Yes); // Reset's question
        QPointer<OptionsDialog> form = new OptionsDialog;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        if (setup.contains(QLatin1String("FIFO")))
            QVERIFY(prompts.messages().value(0).startsWith(
                QStringLiteral("The options could not be read from\n") + ini));
        retype(form->prefixBox(0), QStringLiteral("http://typed.test/?q=link:"));
        {
            std::optional<test::FileSizeLimit> limit;
            if (setup == QLatin1String("file size limit"))
                limit.emplace(64);
            QTest::mouseClick(button(form, qPrintable(command)), Qt::LeftButton);
        }
        flushDeletes();
        QVERIFY(form && form->isVisible());
        const QString file = QDir::toNativeSeparators(storeFails ? env.storeFile() : ini);
        QVERIFY(!prompts.calls.isEmpty());
        const ScriptedPrompts::Call& report = prompts.calls.last();
        QVERIFY2(report.text.contains(QLatin1Char('\n') + file + QLatin1Char('\n')),
                 qPrintable(report.text));
        QCOMPARE(report.icon, QMessageBox::Warning);
        if (!storeFails) {
            if (regular)
                QCOMPARE(env.readFile(QStringLiteral("settings.ini")), iniBefore);
            QVERIFY(!QFile::exists(env.storeFile()));
        }
        QCOMPARE(QFileInfo(ini).isFile(), regular);
        if (command == QLatin1String("Command1")) // what was typed is still there
            QCOMPARE(form->prefixBox(0)->text(), QStringLiteral("http://typed.test/?q=link:"));
        delete form;
    }

    void resetNoThenCancel() {
        TestEnv env;
        env.writeFile(QStringLiteral("settings.ini"), CustomIni);
        writeSetting(QStringLiteral("txtProfile0"), QStringLiteral("20"));
        writeSetting(QStringLiteral("txtProfile1"), QStringLiteral("30"));
        writeSetting(QStringLiteral("txtProfile2"), QStringLiteral("30"));
        const QByteArray storeBefore = env.readFile(QStringLiteral("user-store.conf"));
        ScriptedPrompts prompts;
        prompts.buttons.enqueue(QMessageBox::No);

        QPointer<OptionsDialog> form = new OptionsDialog;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        retype(form->prefixBox(1), QStringLiteral("edited"));
        QCOMPARE(thresholds(form), list("20", "30", "30"));
        QTest::mouseClick(button(form, "Command3"), Qt::LeftButton);
        QCOMPARE(prompts.calls.size(), 1);
        QCOMPARE(prompts.calls[0].text, QStringLiteral("This will reset all engines, Continue?"));
        QCOMPARE(prompts.calls[0].title, QStringLiteral("Warning"));
        QCOMPARE(prompts.calls[0].buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(thresholds(form), list("500", "1000", "1000"));
        QCOMPARE(form->prefixBox(1)->text(), QStringLiteral("edited"));
        QCOMPARE(form->prefixBox(0)->text(), QStringLiteral("http://g/?q=link:"));
        QCOMPARE(env.readFile(QStringLiteral("settings.ini")), CustomIni);

        QTest::mouseClick(button(form, "Command2"), Qt::LeftButton);
        flushDeletes();
        QVERIFY(!form);
        QCOMPARE(env.readFile(QStringLiteral("settings.ini")), CustomIni);
        QCOMPARE(env.readFile(QStringLiteral("user-store.conf")), storeBefore);
    }

    void resetYesThenCancel() {
        TestEnv env;
        env.writeFile(QStringLiteral("settings.ini"), CustomIni);
        writeSetting(QStringLiteral("txtProfile0"), QStringLiteral("20"));
        writeSetting(QStringLiteral("txtProfile1"), QStringLiteral("30"));
        writeSetting(QStringLiteral("txtProfile2"), QStringLiteral("30"));
        ScriptedPrompts prompts;
        prompts.buttons.enqueue(QMessageBox::Yes);

        QPointer<OptionsDialog> form = new OptionsDialog;
        form->show();
        form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form));
        // The shortcut presses the button the way a click would (the press shows first).
        QTest::keyClick(form, Qt::Key_R, Qt::AltModifier);
        QTRY_COMPARE(prompts.calls.size(), 1);
        QCOMPARE(thresholds(form), list("500", "1000", "1000"));
        for (int i = 0; i < EngineCount; ++i)
            QCOMPARE(form->prefixBox(i)->text(),
                     QString::fromLatin1(engineTable()[i].defaultPrefix));
        // The prefixes are written at once, in place; the other section stays.
        QByteArray expected = defaultSettingsIni() + "\r\n[Other]\r\nx=1\r\n";
        QCOMPARE(env.readFile(QStringLiteral("settings.ini")), expected);

        QTest::keyClick(form, Qt::Key_Escape); // Cancel
        flushDeletes();
        QVERIFY(!form);
        QCOMPARE(env.readFile(QStringLiteral("settings.ini")), expected);
        QCOMPARE(stored(QStringLiteral("txtProfile0")), QStringLiteral("20"));
        QCOMPARE(stored(QStringLiteral("txtProfile1")), QStringLiteral("30"));
        QCOMPARE(stored(QStringLiteral("txtProfile2")), QStringLiteral("30"));
    }

    void resetRestoresEmptyBoxes() {
        // Stored empty thresholds leave boxes that no typing can fill; Reset still brings the
        // defaults back into all three.
        TestEnv env;
        writeSetting(QStringLiteral("txtProfile1"), QString());
        writeSetting(QStringLiteral("txtProfile2"), QStringLiteral(" "));
        ScriptedPrompts prompts;
        prompts.buttons.enqueue(QMessageBox::No);
        OptionsDialog form;
        QCOMPARE(thresholds(&form), list("500", "", " "));
        button(&form, "Command3")->click();
        QCOMPARE(thresholds(&form), list("500", "1000", "1000"));
        // The boxes work again.
        paste(box(&form, 1), QStringLiteral("400"));
        QCOMPARE(thresholds(&form), list("399", "400", "400"));
    }

    void savedOptionsReachTheScan() {
        // Prefixes saved while a scan runs apply to its next request; thresholds to the next run.
        TestEnv env;
        LocalHttpServer server;
        // Every page carries Google's count passage with 0: only Google's cell counts.
        server.setHandler([](const auto&) {
            return HttpResponse::page("<b>1</b> - <b>1</b> of <b>0</b> linking to <b>x</b>");
        });
        for (int i = 0; i < EngineCount; ++i)
            modINI::WritePrivateProfileStringA(
                QLatin1String(EnginesSection), QLatin1String(engineTable()[i].key),
                server.urlString(QStringLiteral("/e%1?q=").arg(i + 1)),
                ProgramFolder::settingsIni());

        QPointer<OptionsDialog> form = new OptionsDialog;
        paste(form->prefixBox(1), server.urlString(QStringLiteral("/changed?q=")));
        paste(box(form, 1), QStringLiteral("0")); // medium 0: a total of 0 is high profile
        QCOMPARE(thresholds(form), list("-1", "0", "0"));

        NetworkPageFetcher fetcher;
        ScanRun first({QStringLiteral("u.example")}, ProgramFolder::settingsIni(), &fetcher);
        connect(&first, &ScanRun::engineResult, form,
                [form] { button(form, "Command1")->click(); });
        QSignalSpy firstRow(&first, &ScanRun::rowFinished);
        QSignalSpy firstDone(&first, &ScanRun::finished);
        first.start();
        QVERIFY(firstDone.wait(20000));
        QVERIFY(!form);
        QCOMPARE(server.requestTargets().mid(0, 3),
                 QStringList({"/e1?q=u.example", "/changed?q=u.example", "/e3?q=u.example"}));
        QCOMPARE(firstRow.size(), 1);
        QCOMPARE(firstRow[0][1].value<std::optional<qint64>>(), std::optional<qint64>(0));
        QCOMPARE(firstRow[0][2].toInt(), 1); // read at the start: default thresholds, low

        ScanRun second({QStringLiteral("u.example")}, ProgramFolder::settingsIni(), &fetcher);
        QSignalSpy secondRow(&second, &ScanRun::rowFinished);
        QSignalSpy secondDone(&second, &ScanRun::finished);
        second.start();
        QVERIFY(secondDone.wait(20000));
        QCOMPARE(secondRow.size(), 1);
        QCOMPARE(secondRow[0][2].toInt(), 3);
    }
};

TALLY_TEST_MAIN(TestOptionsDialog)
#include "tst_options_dialog.moc"
