// Saved searches and charts from the main window: "Save Selected" through the save dialog, "View
// Graph..." through the load dialog, the stored chart type at start-up, the chart after a scan.
#include "support/main_window_fixture.h"
#include "support/test_main.h"

#include "core/results/saved_search.h"
#include "gui/charts/history_chart.h"
#include "gui/results/chart_frame.h"
#include "gui/results/load_search_dialog.h"
#include "gui/results/results_table.h"
#include "gui/results/save_search_dialog.h"
#include "support/item_views.h"
#include "support/result_rows.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace tally;
using tally::test::MainWindowFixture;
using namespace tally::test;

class TestHistoryForm1 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { setHistoryToday(QDate()); }

    void saveSelectedThenViewGraph() {
        MainWindowFixture fx;
        setHistoryToday(QDate(2026, 12, 7));
        ResultsTable* table = fx.form->resultsTable();
        // Ask gave no count for site.example.
        appendRecords(fx.form->resultsModel(),
                      {{"other.example", "1", "1", "1", "1", "1", "1"},
                       {"site.example", "912", "140", "377", "", "65", "88"}});
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, rowPoint(table, 1));

        QWidget* saveOwner = nullptr;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<SaveSearchDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            saveOwner = dialog->parentWidget();
            dialog->findChild<QLineEdit*>(QStringLiteral("Text1"))
                ->setText(QStringLiteral("mysite"));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command3")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(fx.find<QPushButton>("Command4"), Qt::LeftButton);
        QCOMPARE(saveOwner, fx.form.get());
        QCOMPARE(fx.env.readFile(QStringLiteral("Saved/mysite.vqz")),
                 QByteArray("\r\n[Google]\r\n12-07-26=912\r\n\r\n[Altavista]\r\n12-07-26=140\r\n"
                            "\r\n[Yahoo!]\r\n12-07-26=377\r\n\r\n[MSN]\r\n12-07-26=65\r\n"
                            "\r\n[All The Web]\r\n12-07-26=88\r\n"));
        QCOMPARE(fx.prompts.messages(),
                 QStringList{"You currently do not have any saved searches"});

        const QStringList before = test::rowTexts(table, 1);
        QCOMPARE(before.at(1), QStringLiteral("1582"));
        QWidget* loadOwner = nullptr;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<LoadSearchDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            loadOwner = dialog->parentWidget();
            dialog->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(0);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        });
        fx.find<QAction>("mnuGraph")->trigger();
        QCOMPARE(loadOwner, fx.form.get());
        const ChartData& shown = fx.form->chartFrame()->chart()->chartData();
        QCOMPARE(shown.title, QStringLiteral("mysite"));
        QCOMPARE(shown.seriesLabels, QStringList{"Google"});
        QCOMPARE(shown.values, (QList<QList<ChartValue>>{{912}}));
        // One date so far: the message says a second save is needed.
        QCOMPARE(fx.prompts.messages().last(),
                 QStringLiteral("You need atleast 2 saved searches to get any data displayed"));
        // Loading leaves the results as they were.
        QCOMPARE(rowCount(table), 2);
        QCOMPARE(test::rowTexts(table, 1), before);
    }

    void storedChartTypeAtStartUp() {
        test::TestEnv env;
        test::ScriptedPrompts prompts;
        writeSetting(QLatin1String(settingkeys::ShowHelp), QStringLiteral("0"));
        writeSetting(QLatin1String(settingkeys::ChartType), QStringLiteral("6"));
        {
            MainWindow form;
            auto* types = form.findChild<QComboBox*>(QStringLiteral("cmbChart2"));
            QCOMPARE(types->currentIndex(), 6);
            QCOMPARE(form.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                     QStringLiteral("Control Key + Drag to rotate."));
            types->setCurrentIndex(5);
        }
        QCOMPARE(readSetting(QLatin1String(settingkeys::ChartType)), QStringLiteral("5"));
        writeSetting(QLatin1String(settingkeys::ChartType), QStringLiteral("twelve"));
        MainWindow form;
        QCOMPARE(form.findChild<QComboBox*>(QStringLiteral("cmbChart2"))->currentIndex(), 3);
    }

    // The chart of the results: a site by its host, without "www.", the URL in full as its
    // description; a request that gave no count draws nothing (never a 0).
    void chartOfTheCurrentResults() {
        MainWindowFixture fx;
        appendRecords(fx.form->resultsModel(),
                      {{"http://www.a.example/page", "10", "-", "", "20", "0", "0"},
                       {"b.example", "2000000", "0", "0", "0", "0", "0"}});
        fx.form->chartFrame()->chartCurrentResults();
        const ChartData& shown = fx.form->chartFrame()->chart()->chartData();
        QCOMPARE(shown.title, QStringLiteral("Temporary Search Results"));
        QCOMPARE(shown.seriesLabels, (QStringList{"a.example", "b.example"}));
        QCOMPARE(shown.seriesDescriptions, (QStringList{"http://www.a.example/page", "b.example"}));
        QCOMPARE(shown.rowLabels,
                 (QStringList{"Google", "Altavista", "Yahoo!", "Ask", "MSN", "All The Web"}));
        QCOMPARE(shown.axisTitle, QStringLiteral("Linking Sites")); // the first URL's counts
        QCOMPARE(shown.values[0], (QList<ChartValue>{10, std::nullopt, std::nullopt, 20, 0, 0}));
        QVERIFY(!fx.find<QComboBox>("cmbChart1")->isEnabled());
    }
};

TALLY_GL_TEST_MAIN(TestHistoryForm1)
#include "tst_history_main_window.moc"
