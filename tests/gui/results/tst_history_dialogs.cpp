// The save dialog (SaveSearchDialog) and the load dialog (LoadSearchDialog), driven through their
// widgets.
#include "core/scan/engine_definitions.h"
#include "core/settings/user_settings.h"
#include "gui/kit/skin.h"
#include "gui/results/backfill_dialog.h"
#include "gui/results/load_search_dialog.h"
#include "gui/results/save_search_dialog.h"
#include "support/api_stand_ins.h"
#include "support/full_disk.h"
#include "support/main_window_fixture.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <optional>

#include <sys/stat.h>

using namespace tally;
using tally::test::ScriptedPrompts;
using tally::test::TestEnv;

namespace {

// A results row on its way to the save dialog; Ask gave no count.
const QList<RowCell> FirstRow = {{"Google", "912"}, {"Altavista", "140"}, {"Yahoo!", "377"},
                                 {"Ask", ""},       {"MSN", "65"},        {"All The Web", "88"}};
const QByteArray FirstSave = "\r\n[Google]\r\n12-07-26=912\r\n\r\n[Altavista]\r\n12-07-26=140\r\n"
                             "\r\n[Yahoo!]\r\n12-07-26=377\r\n\r\n[MSN]\r\n12-07-26=65\r\n"
                             "\r\n[All The Web]\r\n12-07-26=88\r\n";

template <typename T> T* child(QWidget* w, const char* name) {
    T* found = w->findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("no child %s", name);
    return found;
}

QStringList savedFiles(const TestEnv& env) {
    return QDir(env.file(QStringLiteral("Saved"))).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

class TestHistoryDialogs : public QObject {
    Q_OBJECT

    QList<RowCell> row_; // the results row on its way to the save dialog

private Q_SLOTS:
    void init() {
        setHistoryToday(QDate(2026, 12, 7));
        row_ = FirstRow;
    }
    void cleanup() { setHistoryToday(QDate()); }

    void saveDialogLayoutAndFirstSave() {
        TestEnv env;
        ScriptedPrompts prompts;
        QWidget owner;
        SaveSearchDialog dialog(row_, &owner);
        QCOMPARE(prompts.messages(), QStringList{"You currently do not have any saved searches"});
        QCOMPARE(prompts.calls[0].title, QStringLiteral("Information"));
        QCOMPARE(prompts.calls[0].icon, QMessageBox::Information);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Save Search Results"));
        QCOMPARE(dialog.parentWidget(), &owner);
        QVERIFY(dialog.isModal());
        QCOMPARE(child<QGroupBox>(&dialog, "Frame2")->title(),
                 QStringLiteral("Create New Save File"));
        QCOMPARE(child<QGroupBox>(&dialog, "Frame1")->title(),
                 QStringLiteral("Save Into An Old Search Result"));
        QCOMPARE(child<QLabel>(&dialog, "Label2")->text(),
                 QStringLiteral("Please choose a name for this search:"));
        QCOMPARE(child<QLabel>(&dialog, "Label1")->text(),
                 QStringLiteral("Append new results to this previous search:"));
        QCOMPARE(child<QPushButton>(&dialog, "Command3")->text(), QStringLiteral("Save"));
        QCOMPARE(child<QPushButton>(&dialog, "Command1")->text(), QStringLiteral("Ok"));
        QCOMPARE(child<QPushButton>(&dialog, "Command2")->text(), QStringLiteral("Cancel"));
        QCOMPARE(child<QComboBox>(&dialog, "Combo1")->count(), 0);
        for (QWidget* w : dialog.findChildren<QWidget*>()) {
            if (qobject_cast<QComboBox*>(w) || qobject_cast<QLineEdit*>(w))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }

        dialog.show();
        QTest::keyClicks(child<QLineEdit>(&dialog, "Text1"), QStringLiteral("mysite"));
        QTest::mouseClick(child<QPushButton>(&dialog, "Command3"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(env.readFile(QStringLiteral("Saved/mysite.vqz")), FirstSave);
        QCOMPARE(prompts.messages().size(), 1); // no confirmation
    }

    void enterInNameSavesAndEscapeCancels() {
        TestEnv env;
        ScriptedPrompts prompts;
        {
            SaveSearchDialog dialog(row_);
            dialog.show();
            QTest::keyClicks(child<QLineEdit>(&dialog, "Text1"), QStringLiteral("typed"));
            QTest::keyClick(child<QLineEdit>(&dialog, "Text1"), Qt::Key_Return);
            QVERIFY(!dialog.isVisible());
        }
        QVERIFY(QFile::exists(env.file(QStringLiteral("Saved/typed.vqz"))));
        {
            // A name typed as its file is the same saved search.
            SaveSearchDialog dialog(row_);
            dialog.show();
            QTest::keyClicks(child<QLineEdit>(&dialog, "Text1"), QStringLiteral("typed.VQZ"));
            QTest::keyClick(child<QLineEdit>(&dialog, "Text1"), Qt::Key_Return);
            // Asked before replacing "typed" (No, the default), not saved as "typed.VQZ.vqz".
            QVERIFY(prompts.messages().last().startsWith(
                QStringLiteral("A saved search named \"typed\" already exists.")));
        }
        {
            SaveSearchDialog dialog(row_);
            dialog.show();
            QTest::keyClicks(child<QLineEdit>(&dialog, "Text1"), QStringLiteral("other"));
            QTest::keyClick(&dialog, Qt::Key_Escape);
            QVERIFY(!dialog.isVisible());
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        {
            SaveSearchDialog dialog(row_);
            dialog.show();
            child<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("other"));
            QTest::mouseClick(child<QPushButton>(&dialog, "Command2"), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        }
        QCOMPARE(savedFiles(env), QStringList{"typed.vqz"});
    }

    void refusedNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString bad = QStringLiteral("A search name cannot hold \"/\" or control "
                                           "characters. Please choose another name.");
        QTest::newRow("empty") << QString()
                               << QStringLiteral("Please type a name for this search.");
        QTest::newRow("slash") << QStringLiteral("../escape") << bad;
        QTest::newRow("tab") << QStringLiteral("a\tb") << bad;
        QTest::newRow("line feed") << QStringLiteral("a\nb") << bad;
        // The temporary file of the save would not fit the file system's limit on names.
        QTest::newRow("too long") << QString(245, QLatin1Char('n'))
                                  << QStringLiteral("This name is too long for a file name. "
                                                    "Please choose a shorter name.");
    }
    void refusedNames() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TestEnv env;
        ScriptedPrompts prompts;
        SaveSearchDialog dialog(row_);
        dialog.show();
        child<QLineEdit>(&dialog, "Text1")->setText(name);
        QTest::mouseClick(child<QPushButton>(&dialog, "Command3"), Qt::LeftButton);
        QCOMPARE(prompts.messages().last(), message);
        QVERIFY(dialog.isVisible());
        QVERIFY(savedFiles(env).isEmpty());
        QVERIFY(!QFile::exists(env.file(QStringLiteral("escape.vqz"))));
    }

    void replacingAnExistingSearchAsksFirst() {
        TestEnv env;
        ScriptedPrompts prompts;
        const QByteArray old = "\r\n[Google]\r\n11-01-26=5\r\n\r\n[Ask]\r\n11-01-26=9\r\n";
        env.writeFile(QStringLiteral("Saved/mysite.vqz"), old);
        {
            prompts.buttons.enqueue(QMessageBox::No);
            SaveSearchDialog dialog(row_);
            dialog.show();
            child<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("mysite"));
            QTest::mouseClick(child<QPushButton>(&dialog, "Command3"), Qt::LeftButton);
            QVERIFY(prompts.calls.last().text.contains(QStringLiteral("already exists")));
            QCOMPARE(prompts.calls.last().buttons, QMessageBox::Yes | QMessageBox::No);
            QVERIFY(dialog.isVisible());
            QCOMPARE(env.readFile(QStringLiteral("Saved/mysite.vqz")), old);

            prompts.buttons.enqueue(QMessageBox::Yes);
            QTest::mouseClick(child<QPushButton>(&dialog, "Command3"), Qt::LeftButton);
            QVERIFY(!dialog.isVisible());
        }
        // Google starts afresh; Ask ("-" now) keeps its history.
        QCOMPARE(env.readFile(QStringLiteral("Saved/mysite.vqz")),
                 QByteArray("\r\n[Google]\r\n12-07-26=912\r\n\r\n[Ask]\r\n11-01-26=9\r\n"
                            "\r\n[Altavista]\r\n12-07-26=140\r\n\r\n[Yahoo!]\r\n12-07-26=377\r\n"
                            "\r\n[MSN]\r\n12-07-26=65\r\n\r\n[All The Web]\r\n12-07-26=88\r\n"));
    }

    void appendingNeedsAChoiceAndKeepsTheRealFile() {
        TestEnv env;
        ScriptedPrompts prompts;
        env.writeFile(QStringLiteral("Saved/b.vqz"), "\r\n[Google]\r\n11-01-26=1\r\n");
        env.writeFile(QStringLiteral("Saved/A.VQZ"), "\r\n[Google]\r\n11-01-26=2\r\n");
        SaveSearchDialog dialog(row_);
        dialog.show();
        QVERIFY(prompts.messages().isEmpty());
        auto* combo = child<QComboBox>(&dialog, "Combo1");
        QCOMPARE(combo->count(), 2);
        QCOMPARE(combo->itemText(0), QStringLiteral("A"));
        QCOMPARE(combo->itemText(1), QStringLiteral("b"));
        QCOMPARE(combo->currentIndex(), -1);

        QTest::mouseClick(child<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
        QCOMPARE(prompts.messages(),
                 QStringList{"Please choose a saved file in the dropdown box above"});
        QVERIFY(dialog.isVisible());

        combo->setCurrentIndex(0);
        QTest::mouseClick(child<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(env.readFile(QStringLiteral("Saved/A.VQZ"))
                    .startsWith("\r\n[Google]\r\n12-07-26=912\r\n11-01-26=2\r\n"));
        QCOMPARE(savedFiles(env), (QStringList{"A.VQZ", "b.vqz"}));
    }

    void failedWriteSaysSoAndStaysOpen() {
        TestEnv env;
        ScriptedPrompts prompts;
        QVERIFY(QDir(env.file(QStringLiteral("Saved"))).removeRecursively());
        env.writeFile(QStringLiteral("Saved"), "a file in the folder's place");
        SaveSearchDialog dialog(row_);
        dialog.show();
        child<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("mysite"));
        QTest::mouseClick(child<QPushButton>(&dialog, "Command3"), Qt::LeftButton);
        QVERIFY(prompts.messages().last().startsWith(
            QStringLiteral("The search results could not be saved to")));
        QCOMPARE(prompts.calls.last().icon, QMessageBox::Warning);
        QCOMPARE(prompts.calls.last().title, QStringLiteral("Tallyscope"));
        QVERIFY(dialog.isVisible());
    }

    // A saved search that cannot be read whole, or a disk that cannot take the save: the dialog
    // says why, naming the file, stays open, and the file keeps what it held.
    void filesThatCannotBeReadOrWritten_data() {
        QTest::addColumn<QString>("dialogKind");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("reason");
        QTest::newRow("load a FIFO") << "load"
                                     << "fifo"
                                     << "It is not a regular file";
        QTest::newRow("load over 64 MiB") << "load"
                                          << "big"
                                          << "It is larger than 64 MiB";
        QTest::newRow("append to a FIFO") << "save"
                                          << "fifo"
                                          << "It is not a regular file";
        QTest::newRow("append over 64 MiB") << "save"
                                            << "big"
                                            << "It is larger than 64 MiB";
        QTest::newRow("append on a full disk") << "save"
                                               << "full" << QString::fromLocal8Bit(strerror(EFBIG));
    }
    void filesThatCannotBeReadOrWritten() {
        QFETCH(QString, dialogKind);
        QFETCH(QString, setup);
        QFETCH(QString, reason);
        TestEnv env;
        ScriptedPrompts prompts;
        const QString path = env.file(QStringLiteral("Saved/site.vqz"));
        const QByteArray old = "\r\n[Google]\r\n11-01-26=2\r\n";
        if (setup == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (setup == QLatin1String("big"))
            QVERIFY(QFile(path).open(QIODevice::WriteOnly) && QFile::resize(path, 64 << 20 | 1));
        else
            env.writeFile(QStringLiteral("Saved/site.vqz"), old);

        std::optional<LoadSearchDialog> load;
        std::optional<SaveSearchDialog> save;
        QDialog* dialog = nullptr;
        if (dialogKind == QLatin1String("load"))
            dialog = &load.emplace();
        else
            dialog = &save.emplace(row_);
        std::optional<QSignalSpy> chosen;
        if (load)
            chosen.emplace(&*load, &LoadSearchDialog::savedSearchChosen);
        dialog->show();
        child<QComboBox>(dialog, "Combo1")->setCurrentIndex(0);
        {
            std::optional<test::FileSizeLimit> full;
            if (setup == QLatin1String("full"))
                full.emplace(old.size());
            QTest::mouseClick(child<QPushButton>(dialog, "Command1"), Qt::LeftButton);
        }
        QVERIFY(dialog->isVisible());
        const QString message = prompts.messages().value(0);
        QVERIFY2(message.contains(QLatin1Char('\n') + path + QStringLiteral("\n\n") + reason + '.'),
                 qPrintable(message));
        QCOMPARE(prompts.calls.last().icon, QMessageBox::Warning);
        if (chosen)
            QCOMPARE(chosen->count(), 0);
        if (setup == QLatin1String("full"))
            QCOMPARE(env.readFile(QStringLiteral("Saved/site.vqz")), old);
        QCOMPARE(QFileInfo(path).isFile(), setup != QLatin1String("fifo"));
        QCOMPARE(
            QDir(env.file(QStringLiteral("Saved")))
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot),
            QStringList{QStringLiteral("site.vqz")});
    }

    void missingFolderIsCreated() {
        TestEnv env;
        ScriptedPrompts prompts;
        QVERIFY(QDir(env.file(QStringLiteral("Saved"))).removeRecursively());
        SaveSearchDialog dialog(row_);
        dialog.show();
        child<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("fresh"));
        QTest::mouseClick(child<QPushButton>(&dialog, "Command3"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(env.readFile(QStringLiteral("Saved/fresh.vqz")), FirstSave);
    }

    void rowOfDashesSavesNothing() {
        TestEnv env;
        ScriptedPrompts prompts;
        row_ = {{"Google", "-"}, {"Altavista", "-"}, {"Yahoo!", ""},
                {"Ask", "-"},    {"MSN", "-"},       {"All The Web", "-"}};
        SaveSearchDialog dialog(row_);
        dialog.show();
        child<QLineEdit>(&dialog, "Text1")->setText(QStringLiteral("nothing"));
        QTest::mouseClick(child<QPushButton>(&dialog, "Command3"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(savedFiles(env).isEmpty());
    }

    void loadDialog() {
        TestEnv env;
        ScriptedPrompts prompts;
        {
            LoadSearchDialog dialog;
            QCOMPARE(prompts.messages(),
                     QStringList{"You currently do not have any saved searches"});
            QCOMPARE(dialog.windowTitle(), QStringLiteral("Load Saved Search"));
            QCOMPARE(child<QGroupBox>(&dialog, "Frame1")->title(),
                     QStringLiteral("Select saved search to load"));
            QCOMPARE(child<QPushButton>(&dialog, "Command1")->text(), QStringLiteral("Ok"));
            QCOMPARE(child<QPushButton>(&dialog, "Command2")->text(), QStringLiteral("Cancel"));
            dialog.show();
            QTest::mouseClick(child<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
            QCOMPARE(prompts.messages().last(),
                     QStringLiteral("Please choose a saved file in the dropdown box above"));
            QCOMPARE(prompts.calls.last().title, QStringLiteral("Select A Saved Search"));
            QCOMPARE(prompts.calls.last().icon, QMessageBox::Information);
            QVERIFY(dialog.isVisible());
        }
        env.writeFile(QStringLiteral("Saved/.vqz"), "");
        env.writeFile(QStringLiteral("Saved/Site.VQZ"), "\r\n[Google]\r\n11-01-26=2\r\n");
        prompts.calls.clear();
        {
            LoadSearchDialog dialog;
            QVERIFY(prompts.calls.isEmpty());
            QSignalSpy chosen(&dialog, &LoadSearchDialog::savedSearchChosen);
            dialog.show();
            auto* combo = child<QComboBox>(&dialog, "Combo1");
            QCOMPARE(combo->count(), 2);
            QCOMPARE(combo->itemText(0), QString()); // ".vqz"
            combo->setCurrentIndex(1);
            QTest::mouseClick(child<QPushButton>(&dialog, "Command2"), Qt::LeftButton);
            QCOMPARE(chosen.count(), 0);
        }
        {
            LoadSearchDialog dialog;
            QSignalSpy chosen(&dialog, &LoadSearchDialog::savedSearchChosen);
            dialog.show();
            child<QComboBox>(&dialog, "Combo1")->setCurrentIndex(1);
            QTest::mouseClick(child<QPushButton>(&dialog, "Command1"), Qt::LeftButton);
            QCOMPARE(chosen.count(), 1);
            QCOMPARE(chosen[0][0].toString(), QStringLiteral("Site.VQZ"));
            QVERIFY(!dialog.isVisible());
        }
    }

    // Load Data › Fill in the past...: the plan said before anything is asked, then the
    // provider's past merged, or nothing once Stop ends the request.
    void fillInThePast_data() {
        QTest::addColumn<bool>("answers");
        QTest::newRow("answered") << true;
        QTest::newRow("stopped") << false;
    }
    void fillInThePast() {
        QFETCH(bool, answers);
        TestEnv env;
        ScriptedPrompts prompts;
        test::LocalHttpServer server;
        std::unique_ptr<test::ApiStandIn> dataForSeo = test::apiStandIn("dataforseo");
        dataForSeo->setHistory("example.com",
                               {{QDate(2025, 11, 1), 700}, {QDate(2026, 5, 1), 810}});
        server.setHandler([&](const test::HttpRequest& r) {
            test::HttpResponse response = dataForSeo->answer(r);
            response.neverAnswer = !answers;
            return response;
        });
        for (const auto& [name, value] : dataForSeo->keys())
            QVERIFY(UserSettings::setApiKey(name, value));
        env.writeFile(EnginesIniName, "[Google]\r\nPreset=dataforseo\r\nServer=" +
                                          server.urlString(QString()).toUtf8() + "\r\n");
        const QString file = env.file("Saved/Site.vqz");
        QCOMPARE(
            saveSearchRow({RowCell("DataForSEO", "900",
                                   {"dataforseo", {}, {}, {}, "https://www.example.com/", {}})},
                          file, SaveMode::NewSearch, QDate(2026, 12, 7)),
            SaveResult::Saved);
        const QByteArray before = env.readFile("Saved/Site.vqz");

        LoadSearchDialog load;
        load.show();
        child<QComboBox>(&load, "Combo1")->setCurrentIndex(0);
        bool checked = false;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<BackfillDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QCOMPARE(child<QLineEdit>(dialog, "txtBackfillUrl")->text(),
                     "https://www.example.com/");
            const QString plan = child<QLabel>(dialog, "lblBackfillPlan")->text();
            QVERIFY2(plan.contains("DataForSEO: 1 request") && plan.contains("1 request in all") &&
                         plan.contains("Not asked: Altavista: its source keeps no history"),
                     qPrintable(plan));
            QSignalSpy done(dialog, &BackfillDialog::done);
            QTest::keyClick(child<QPushButton>(dialog, "cmdBackfillStart"), Qt::Key_Space);
            if (!answers) {
                QTRY_VERIFY(dataForSeo->requestCount() == 1);
                QTest::keyClick(child<QPushButton>(dialog, "cmdBackfillStop"), Qt::Key_Space);
            }
            QTRY_COMPARE(done.count(), 1);
            const QListWidget* log = child<QListWidget>(dialog, "lstBackfillLog");
            QCOMPARE(log->item(log->count() - 1)->text(),
                     answers ? "Done. New points saved: 2." : "Stopped. New points saved: 0.");
            test::screenshot(dialog, answers ? "backfill-dialog" : "backfill-dialog-stopped");
            QTest::mouseClick(child<QPushButton>(dialog, "cmdBackfillClose"), Qt::LeftButton);
            checked = true;
        });
        QTest::mouseClick(child<QPushButton>(&load, "cmdBackfill"), Qt::LeftButton);
        QVERIFY(checked);
        QCOMPARE(env.readFile("Saved/Site.vqz"),
                 answers ? QByteArray("\r\n[DataForSEO]\r\n12-07-26=900\r\n05-01-26=810\r\n"
                                      "11-01-25=700\r\n")
                         : before);
    }

    void bothDialogsAreSkinnedWhileTheSwitchIsOn() {
        TestEnv env;
        ScriptedPrompts prompts;
        env.writeFile(QStringLiteral("Saved/Site.vqz"), "\r\n[Google]\r\n11-01-26=2\r\n");
        skin::setEnabled(true);
        const skin::SkinColours colours = skin::colours();
        auto check = [&](QDialog* dialog) {
            auto* cancel = child<QPushButton>(dialog, "Command2");
            QCOMPARE(cancel->palette().color(QPalette::Active, QPalette::Button), colours.back);
            auto* combo = child<QComboBox>(dialog, "Combo1");
            QCOMPARE(combo->palette().color(QPalette::Active, QPalette::Text), colours.fore);
            QCOMPARE(dialog->palette().color(QPalette::Active, QPalette::Window), colours.panel);
        };
        // Each dialog on its own, with the program-wide skin not yet running.
        skin::stop();
        {
            LoadSearchDialog load;
            check(&load);
        }
        skin::stop();
        {
            SaveSearchDialog save(row_);
            check(&save);
        }
        skin::setEnabled(false);
        skin::stop();
    }
};

TALLY_TEST_MAIN(TestHistoryDialogs)
#include "tst_history_dialogs.moc"
