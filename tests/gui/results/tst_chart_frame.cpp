// The Chart View frame: chart types and their setting, loading a saved search per engine and for
// all engines, the one-date message, the current results, the chart's focus, the load dialog.
#include "core/results/results_model.h"
#include "core/settings/user_settings.h"
#include "gui/charts/chart_legend.h"
#include "gui/charts/history_chart.h"
#include "gui/results/chart_frame.h"
#include "gui/results/load_search_dialog.h"
#include "support/result_rows.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QApplication>
#include <QComboBox>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTimer>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QValueAxis>
#include <QtTest>

#include <memory>

using namespace tally;
using tally::test::ScriptedPrompts;
using tally::test::TestEnv;

namespace {

const QByteArray Example = "\r\n[Google]\r\n12-14-26=930\r\n12-07-26=912\r\n"
                           "\r\n[Altavista]\r\n12-14-26=150\r\n12-07-26=140\r\n"
                           "\r\n[Yahoo!]\r\n12-14-26=380\r\n12-07-26=377\r\n"
                           "\r\n[MSN]\r\n12-14-26=70\r\n12-07-26=65\r\n"
                           "\r\n[All The Web]\r\n12-14-26=90\r\n12-07-26=88\r\n"
                           "\r\n[Ask]\r\n12-14-26=12\r\n";

// Engines saved on different dates: Yahoo! skipped the middle date, Ask has only that one.
const QByteArray Gaps = "\r\n[Google]\r\n03-01-26=300\r\n02-01-26=200\r\n01-01-26=100\r\n"
                        "\r\n[Yahoo!]\r\n03-01-26=30\r\n01-01-26=10\r\n"
                        "\r\n[Ask]\r\n02-01-26=5\r\n";

// The x positions of the points a 2D line, step or area chart draws for a series.
QList<double> pointsOf(HistoryChart* chart, const QString& name) {
    QList<double> xs;
    for (const QPolygonF& line : chart->drawnLines(name))
        for (const QPointF& p : line)
            xs.append(p.x());
    return xs;
}

// Every text the chart's scene shows (titles, axis labels, legend).
QStringList sceneTexts(QChartView* view) {
    QStringList texts;
    for (QGraphicsItem* item : view->scene()->items())
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(item); text && text->isVisible())
            texts.append(text->toPlainText());
    return texts;
}

const QString OneDateMessage =
    QStringLiteral("You need atleast 2 saved searches to get any data displayed");

} // namespace

class TestChartFrame : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> env;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<ChartFrame> frame;

    template <typename T> T* child(const char* name) {
        return frame->findChild<T*>(QLatin1String(name));
    }
    QComboBox* engines() { return child<QComboBox>("cmbChart1"); }
    QComboBox* types() { return child<QComboBox>("cmbChart2"); }
    const ChartData& shown() { return frame->chart()->chartData(); }

    void load(const QString& fileName) { frame->chartSavedSearch(fileName); }

private Q_SLOTS:
    void init() {
        env = std::make_unique<TestEnv>();
        prompts = std::make_unique<ScriptedPrompts>();
        frame = std::make_unique<ChartFrame>();
        frame->resize(700, 600);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
    }
    void cleanup() {
        frame.reset();
        prompts.reset();
        env.reset();
    }

    void controls() {
        QCOMPARE(frame->title(), QStringLiteral("Results - Chart View"));
        QCOMPARE(child<QPushButton>("Command7")->text(), QStringLiteral("Load Data"));
        QCOMPARE(child<QPushButton>("Command14")->text(), QStringLiteral("Print"));
        QCOMPARE(child<QLabel>("lblChartSearch")->text(), QStringLiteral("Search Engine:"));
        QCOMPARE(child<QLabel>("lblChartType")->text(), QStringLiteral("Chart Type:"));
        QVERIFY(child<HistoryChart>("MSChart1"));
        QVERIFY(child<QWidget>("cmdFocus"));
        QCOMPARE(types()->count(), 8);
        QCOMPARE(types()->itemText(2), QStringLiteral("3d Line Graph"));
        QVERIFY(!engines()->isEnabled());
        for (QWidget* w : frame->findChildren<QWidget*>()) {
            auto* button = qobject_cast<QPushButton*>(w);
            if (qobject_cast<QComboBox*>(w) || (button && button->text().isEmpty()))
                QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
        }
    }

    void restoreStoredType_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("type");
        QTest::newRow("none") << QString() << 3;
        QTest::newRow("5") << "5" << 5;
        QTest::newRow("0") << "0" << 0;
        QTest::newRow("3") << "3" << 3;
        QTest::newRow("9") << "9" << 3;
        QTest::newRow("word") << "abc" << 3;
    }
    void restoreStoredType() {
        QFETCH(QString, stored);
        QFETCH(int, type);
        if (!stored.isNull())
            writeSetting(QLatin1String(settingkeys::ChartType), stored);
        frame->restoreChartType();
        QCOMPARE(types()->currentIndex(), type);
        QCOMPARE(frame->chart()->chartType(), type);
        QCOMPARE(child<QLabel>("Label1")->text(),
                 type % 2 == 0 ? QStringLiteral("Control Key + Drag to rotate.") : QString());
    }

    void choosingTypeStoresItAndSetsHint() {
        frame->restoreChartType();
        types()->setCurrentIndex(2);
        QCOMPARE(readSetting(QLatin1String(settingkeys::ChartType)), QStringLiteral("2"));
        QCOMPARE(child<QLabel>("Label1")->text(), QStringLiteral("Control Key + Drag to rotate."));
        types()->setCurrentIndex(3);
        QCOMPARE(readSetting(QLatin1String(settingkeys::ChartType)), QStringLiteral("3"));
        QCOMPARE(child<QLabel>("Label1")->text(), QString());
        types()->setCurrentIndex(7);
        QCOMPARE(readSetting(QLatin1String(settingkeys::ChartType)), QStringLiteral("7"));
    }

    void loadingChartsFirstEngine() {
        env->writeFile(QStringLiteral("Saved/mysite.vqz"), Example);
        frame->restoreChartType();
        load(QStringLiteral("mysite.vqz"));
        QCOMPARE(frame->currentSavedSearchPath(), env->file(QStringLiteral("Saved/mysite.vqz")));
        QVERIFY(engines()->isEnabled());
        QStringList items;
        for (int i = 0; i < engines()->count(); ++i)
            items << engines()->itemText(i);
        QCOMPARE(items, (QStringList{"Google", "Altavista", "Yahoo!", "MSN", "All The Web", "Ask",
                                     "All Engines"}));
        QCOMPARE(engines()->currentIndex(), 0);
        QCOMPARE(shown().title, QStringLiteral("mysite"));
        QCOMPARE(shown().seriesLabels, QStringList{"Google"});
        QCOMPARE(shown().rowLabels, (QStringList{"12-14-26", "12-07-26"}));
        QCOMPARE(shown().values, (QList<QList<ChartValue>>{{930, 912}}));
        QCOMPARE(shown().axisTitle, QStringLiteral("Linking Sites"));

        // The 2D line chart on screen says the same.
        QChart* chart = frame->chart()->chartView()->chart();
        QCOMPARE(chart->title(), QStringLiteral("mysite"));
        QCOMPARE(chart->series().size(), 1);
        QCOMPARE(chart->series()[0]->name(), QStringLiteral("Google"));
        QCOMPARE(frame->chart()->drawnLines(QStringLiteral("Google")),
                 (QList<QPolygonF>{QPolygonF({QPointF(0, 930), QPointF(1, 912)})}));
        auto* valueAxis = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0));
        QCOMPARE(valueAxis->titleText(), QStringLiteral("Linking Sites"));
        auto* rowAxis = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal).value(0));
        QCOMPARE(rowAxis->categoriesLabels(), (QStringList{"12-14-26", "12-07-26"}));
        QVERIFY(frame->chart()->legend()->isVisible());
        QCOMPARE(frame->chart()->legend()->shownText(0), QStringLiteral("Google"));

        // Ask has one date: the message says so, and the chart still draws its point.
        engines()->setCurrentIndex(5);
        QCOMPARE(prompts->messages(), QStringList{OneDateMessage});
        QCOMPARE(shown().values, (QList<QList<ChartValue>>{{12}}));
        QCOMPARE(shown().title, QStringLiteral("mysite"));
    }

    void allEnginesAndOneDateMessageOnce() {
        env->writeFile(QStringLiteral("Saved/mysite.vqz"), Example);
        load(QStringLiteral("mysite.vqz"));
        QVERIFY(prompts->messages().isEmpty());
        QVERIFY(!frame->twoSearchesWarned());
        engines()->setCurrentIndex(engines()->count() - 1);
        QCOMPARE(shown().seriesLabels,
                 (QStringList{"Google", "Altavista", "Yahoo!", "MSN", "All The Web", "Ask"}));
        // Every date of any engine; Ask, saved first on the later date, has no value on the other.
        QCOMPARE(shown().rowLabels, (QStringList{"12-14-26", "12-07-26"}));
        QCOMPARE(shown().values[0], (QList<ChartValue>{930, 912}));
        QCOMPARE(shown().values[5], (QList<ChartValue>{12, std::nullopt}));
        QCOMPARE(prompts->messages(), QStringList{OneDateMessage});
        QCOMPARE(prompts->calls[0].title, QStringLiteral("Information"));
        QVERIFY(frame->twoSearchesWarned());

        engines()->setCurrentIndex(5);
        engines()->setCurrentIndex(engines()->count() - 1);
        load(QStringLiteral("mysite.vqz"));
        QCOMPARE(prompts->messages().size(), 1);
    }

    void firstEngineFixesTheBand() {
        env->writeFile(QStringLiteral("Saved/big.vqz"),
                       "\r\n[Google]\r\n01-02-25=2000000\r\n01-01-25=1000\r\n"
                       "\r\n[Yahoo!]\r\n01-02-25=300000000\r\n01-01-25=5\r\n");
        load(QStringLiteral("big.vqz"));
        QCOMPARE(shown().axisTitle, QStringLiteral("Linking Sites x10"));
        engines()->setCurrentIndex(1);
        QCOMPARE(shown().axisTitle, QStringLiteral("Linking Sites x1000"));
        QCOMPARE(shown().values[0][0], 300000.0);
        engines()->setCurrentIndex(2);
        QCOMPARE(shown().axisTitle, QStringLiteral("Linking Sites x10"));
        QCOMPARE(shown().values[1][0], 30000000.0);
    }

    void emptyOrOddSavedSearches() {
        env->writeFile(QStringLiteral("Saved/empty.vqz"), "");
        load(QStringLiteral("empty.vqz"));
        QCOMPARE(engines()->count(), 1);
        QCOMPARE(engines()->itemText(0), QStringLiteral("All Engines"));
        QCOMPARE(shown().title, QStringLiteral("empty"));
        QCOMPARE(shown().seriesCount(), 0);

        load(QStringLiteral("gone.vqz")); // deleted since it was listed
        QCOMPARE(shown().title, QStringLiteral("gone"));
        QCOMPARE(shown().seriesCount(), 0);

        env->writeFile(QStringLiteral("Saved/odd.vqz"),
                       "[Google]\r\n[Ask]\r\njunk\r\n01-01-25=x\r\n[MSN\r\n");
        load(QStringLiteral("odd.vqz"));
        QCOMPARE(shown().rowCount(), 0);
        engines()->setCurrentIndex(1);
        QCOMPARE(shown().values, (QList<QList<ChartValue>>{{0}}));
        engines()->setCurrentIndex(engines()->count() - 1);
        QCOMPARE(shown().seriesCount(), 3);
        for (int type = 0; type < 8; ++type)
            types()->setCurrentIndex(type); // every type draws odd content without trouble
    }

    void currentResults() {
        env->writeFile(QStringLiteral("Saved/mysite.vqz"), Example);
        load(QStringLiteral("mysite.vqz"));
        ResultsModel model;
        test::appendRecords(&model, {{"http://www.a.example/", "10", "-", "", "20", "x", "0"},
                                     {"b.example", "5", "0", "0", "0", "0", "0"}});
        frame->setResultsModel(&model);
        frame->chartCurrentResults();
        QVERIFY(!engines()->isEnabled());
        QCOMPARE(engines()->count(), 0);
        QCOMPARE(shown().title, QStringLiteral("Temporary Search Results"));
        QCOMPARE(shown().seriesLabels, (QStringList{"a.example", "b.example"}));
        QCOMPARE(shown().rowLabels, EngineSnapshot::builtIn()->captions());
        // Nothing is drawn where a request gave no count.
        QCOMPARE(shown().values[0],
                 (QList<ChartValue>{10, std::nullopt, std::nullopt, 20, std::nullopt, 0}));
        const QList<QPolygonF> lines = frame->chart()->drawnLines(QStringLiteral("a.example"));
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.value(0), QPolygonF({QPointF(0, 10)}));
        // The legend names each site by its host; the whole URL is its tooltip and its name.
        ChartLegend* legend = frame->chart()->legend();
        QCOMPARE(legend->entryCount(), 2);
        QCOMPARE(legend->shownText(0), QStringLiteral("a.example"));
        QCOMPARE(legend->entry(0)->toolTip(), QStringLiteral("http://www.a.example/"));
        QCOMPARE(legend->entry(0)->accessibleName(), QStringLiteral("http://www.a.example/"));

        // Another type redraws the same content.
        types()->setCurrentIndex(1);
        QCOMPARE(shown().seriesLabels, (QStringList{"a.example", "b.example"}));
        auto* bars = qobject_cast<QBarSeries*>(frame->chart()->chartView()->chart()->series()[0]);
        QVERIFY(bars);
        QCOMPARE(bars->count(), 2);

        // No results table at all: an empty chart.
        frame->setResultsModel(nullptr);
        frame->chartCurrentResults();
        QCOMPARE(shown().seriesCount(), 0);
        QCOMPARE(shown().title, QStringLiteral("Temporary Search Results"));
    }

    // A host too long for the legend is cut in the middle, keeping its start and its end; more
    // sites than the legend holds end in one entry that says how many more there are.
    void legendCutsLongHostsInTheMiddle() {
        ResultsModel model;
        const QString longHost = QStringLiteral("a-very-long-host-name-of-a-site-with-many-words-"
                                                "in-it.example-domain.example");
        QList<QStringList> rows{{"http://www." + longHost + "/page", "5"}};
        for (int i = 0; i < ChartLegend::MostEntries + 4; ++i)
            rows << QStringList{QStringLiteral("http://s%1.example/").arg(i), "1"};
        test::appendRecords(&model, rows);
        frame->setResultsModel(&model);
        frame->resize(500, frame->height());
        frame->chartCurrentResults();
        ChartLegend* legend = frame->chart()->legend();
        QTRY_VERIFY(legend->width() > 0 && legend->entry(0)->width() < legend->width());
        const QString shown = legend->shownText(0);
        QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
        QVERIFY(shown.startsWith(QStringLiteral("a-very")));
        QVERIFY(shown.endsWith(QStringLiteral("example")));
        QCOMPARE(legend->entry(0)->toolTip(), "http://www." + longHost + "/page");
        QCOMPARE(legend->entryCount(), ChartLegend::MostEntries + 1);
        QVERIFY(legend->shownText(ChartLegend::MostEntries).startsWith(QStringLiteral("and 5 ")));
        frame->setResultsModel(nullptr);
    }

    void eachFlatTypeIsDrawnAsItsKind() {
        env->writeFile(QStringLiteral("Saved/mysite.vqz"), Example);
        load(QStringLiteral("mysite.vqz"));
        engines()->setCurrentIndex(0);
        QChartView* view = frame->chart()->chartView();
        types()->setCurrentIndex(1);
        QVERIFY(qobject_cast<QBarSeries*>(view->chart()->series().value(0)));
        types()->setCurrentIndex(5);
        QVERIFY(qobject_cast<QAreaSeries*>(view->chart()->series().value(0)));
        types()->setCurrentIndex(7);
        const QPolygonF steps = frame->chart()->drawnLines(QStringLiteral("Google")).value(0);
        QCOMPARE(steps.size(), 4); // a tread per date
        QCOMPARE(steps[0].y(), steps[1].y());
        QCOMPARE(steps[1].x() - steps[0].x(), 1.0);
        types()->setCurrentIndex(3);
        QCOMPARE(frame->chart()->drawnLines(QStringLiteral("Google")).value(0).size(), 2);
        types()->setCurrentIndex(1);
        QVERIFY(frame->chart()->drawnLines(QStringLiteral("Google")).isEmpty());
    }

    // Beyond a year of dates the bars are drawn as one shape per series: a bar per value in the
    // series' slot of its row, as tall as the value, and none where a value is missing.
    void aLongBarChartDrawsABarPerValue() {
        QByteArray google = "\r\n[Google]\r\n", yahoo = "\r\n[Yahoo!]\r\n";
        for (int d = 0; d < 400; ++d) {
            const QByteArray date = QDate(2025, 1, 1).addDays(d).toString("MM-dd-yy").toLatin1();
            google += date + '=' + QByteArray::number(100 + d) + "\r\n";
            if (d % 4 != 0)
                yahoo += date + "=7\r\n";
        }
        env->writeFile(QStringLiteral("Saved/long.vqz"), google + yahoo);
        load(QStringLiteral("long.vqz"));
        types()->setCurrentIndex(1);
        engines()->setCurrentIndex(engines()->count() - 1);
        QCOMPARE(shown().rowCount(), 400);
        QVERIFY(
            !qobject_cast<QBarSeries*>(frame->chart()->chartView()->chart()->series().value(0)));
        const QList<QPolygonF> googleBars = frame->chart()->drawnLines(QStringLiteral("Google"));
        const QList<QPolygonF> yahooBars = frame->chart()->drawnLines(QStringLiteral("Yahoo!"));
        QCOMPARE(googleBars.size(), 400);
        QCOMPARE(yahooBars.size(), 300);
        const int newest = shown().rowLabels.indexOf(QStringLiteral("02-04-26"));
        const QRectF bar = googleBars.at(newest).boundingRect();
        QCOMPARE(bar.left(), newest - 0.4);
        QCOMPARE(bar.width(), 0.4);
        QCOMPARE(bar.height(), 499.0);
        QCOMPARE(yahooBars.at(0).boundingRect().left(), 0.0);
    }

    // "All Engines" over engines saved on different dates, in every 2D type: each count stands at
    // its own date, nothing is drawn where an engine has no count, and the legend lists each
    // engine once, in section order, in the engine's own colour.
    void allEnginesGapsAndLegend_data() {
        QTest::addColumn<int>("type");
        QTest::newRow("2D Bar Chart") << 1;
        QTest::newRow("2D Line Graph") << 3;
        QTest::newRow("2D Area Chart") << 5;
        QTest::newRow("2D Step Chart") << 7;
    }
    void allEnginesGapsAndLegend() {
        QFETCH(int, type);
        env->writeFile(QStringLiteral("Saved/gaps.vqz"), Gaps);
        load(QStringLiteral("gaps.vqz"));
        types()->setCurrentIndex(type);
        engines()->setCurrentIndex(engines()->count() - 1);
        QCOMPARE(shown().rowLabels, (QStringList{"03-01-26", "02-01-26", "01-01-26"}));
        QChart* chart = frame->chart()->chartView()->chart();
        if (type == 1) {
            auto* bars = qobject_cast<QBarSeries*>(chart->series().value(0));
            QVERIFY(bars);
            QCOMPARE(bars->barSets()[1]->label(), QStringLiteral("Yahoo!"));
            QCOMPARE(bars->barSets()[1]->at(1), 0.0); // no bar
            QCOMPARE(bars->barSets()[2]->at(0), 0.0);
            QCOMPARE(bars->barSets()[2]->at(1), 5.0);
        } else {
            HistoryChart* drawn = frame->chart();
            QCOMPARE(drawn->drawnLines(QStringLiteral("Yahoo!")).size(), 2); // broken at the gap
            for (double x : pointsOf(drawn, QStringLiteral("Yahoo!")))
                QVERIFY2(x <= 0.5 || x >= 1.5, qPrintable(QString::number(x)));
            const QList<double> ask = pointsOf(drawn, QStringLiteral("Ask"));
            QVERIFY(!ask.isEmpty());
            for (double x : ask)
                QVERIFY2(x >= 0.5 && x <= 1.5, qPrintable(QString::number(x)));
            QCOMPARE(drawn->drawnLines(QStringLiteral("Google")).size(), 1);
            QCOMPARE(pointsOf(drawn, QStringLiteral("Google")).size(), type == 7 ? 6 : 3);
        }
        QStringList legend;
        ChartLegend* shownLegend = frame->chart()->legend();
        for (int i = 0; i < shownLegend->entryCount(); ++i) {
            legend << shownLegend->shownText(i);
            const int slot =
                QStringList{"Google", "Altavista", "Yahoo!", "Ask"}.indexOf(legend.last());
            QCOMPARE(shownLegend->colour(i).rgb(), HistoryChart::slotColor(slot).rgb());
            QCOMPARE(shownLegend->entry(i)->toolTip(), legend.last());
        }
        QCOMPARE(legend, (QStringList{"Google", "Yahoo!", "Ask"}));
    }

    // The value axis ends on a round number, its ticks are round, and its labels carry group
    // separators.
    void valueAxisRoundWithGroupSeparators() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        env->writeFile(QStringLiteral("Saved/big.vqz"),
                       "\r\n[Google]\r\n01-02-25=150000000\r\n01-01-25=95800000\r\n");
        load(QStringLiteral("big.vqz"));
        types()->setCurrentIndex(3);
        QChartView* view = frame->chart()->chartView();
        auto* axis = qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Vertical).value(0));
        QVERIFY(axis);
        QCOMPARE(axis->min(), 0.0);
        QCOMPARE(axis->max(), 150000.0);
        QCOMPARE(axis->tickCount(), 4);
        const QStringList texts = sceneTexts(view);
        for (const char* label : {"0", "50,000", "100,000", "150,000"})
            QVERIFY2(texts.contains(QLatin1String(label)), qPrintable(texts.join(" | ")));
    }

    void chartNeverKeepsFocus() {
        QApplication::setActiveWindow(frame.get());
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        frame->chart()->setFocus();
        QCOMPARE(QApplication::focusWidget(), child<QWidget>("cmdFocus"));
        types()->setFocus();
        QTest::mouseClick(frame->chart()->chartView()->viewport(), Qt::LeftButton);
        QVERIFY(QApplication::focusWidget() != frame->chart()->chartView());
        frame->chart()->chartView()->setFocus();
        QCOMPARE(QApplication::focusWidget(), child<QWidget>("cmdFocus"));
    }

    void aChartTypeThatCannotBeKeptIsReported() {
        QVERIFY(QDir().mkpath(env->storeFile())); // a folder where the store's file goes
        types()->setFocus();
        QTest::keyClick(types(), Qt::Key_Down);
        QCOMPARE(frame->chart()->chartType(), 4); // the chart follows all the same
        QCOMPARE(prompts->calls.size(), 1);
        QVERIFY2(prompts->calls[0].text.startsWith(
                     "The chart type could not be kept for the next start in\n" +
                     QDir::toNativeSeparators(env->storeFile()) + "\n\n"),
                 qPrintable(prompts->calls[0].text));
        QCOMPARE(prompts->calls[0].icon, QMessageBox::Warning);
    }

    void loadDataOpensTheLoadDialog() {
        env->writeFile(QStringLiteral("Saved/mysite.vqz"), Example);
        QWidget* owner = nullptr;
        QTimer::singleShot(0, this, [&] {
            auto* dialog = qobject_cast<LoadSearchDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            owner = dialog->parentWidget();
            dialog->findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(0);
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("Command1")),
                              Qt::LeftButton);
        });
        QTest::mouseClick(child<QPushButton>("Command7"), Qt::LeftButton);
        QCOMPARE(owner, frame->window());
        QCOMPARE(frame->currentSavedSearchPath(), env->file(QStringLiteral("Saved/mysite.vqz")));
        QCOMPARE(shown().title, QStringLiteral("mysite"));
        QCOMPARE(engines()->count(), 7);
    }
};

TALLY_TEST_MAIN(TestChartFrame)
#include "tst_chart_frame.moc"
