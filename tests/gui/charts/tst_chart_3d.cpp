// The 3D chart types on a real display: each type's shapes, title and legend, turning by dragging
// with the Control key held, the chart's focus, and printing through renderToImage.
#include "gui/charts/chart_legend.h"
#include "gui/charts/history_chart.h"
#include "gui/kit/print.h"
#include "gui/results/chart_frame.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"
#include "support/test_main.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPrinter>
#include <QPushButton>
#include <QtCharts/QChartView>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>
#include <QtTest>

#include <algorithm>
#include <memory>

using namespace tally;
using tally::test::ScriptedPrompts;
using tally::test::TestEnv;

namespace {

ChartData sample() {
    ChartData data;
    data.title = QStringLiteral("mysite");
    data.axisTitle = QStringLiteral("Linking Sites x10");
    data.seriesLabels = {QStringLiteral("Google"), QStringLiteral("Altavista")};
    data.rowLabels = {QStringLiteral("12-21-26"), QStringLiteral("12-14-26"),
                      QStringLiteral("12-07-26")};
    data.values = {{930, 920, 912}, {150, 145, 140}};
    return data;
}

void sendMouse(QWindow* window, QEvent::Type type, QPoint pos, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    QMouseEvent event(type, QPointF(pos), QPointF(window->mapToGlobal(pos)), button, buttons,
                      modifiers);
    QCoreApplication::sendEvent(window, &event);
}

void drag(QWindow* window, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    const QPoint start(window->width() / 2, window->height() / 2);
    sendMouse(window, QEvent::MouseButtonPress, start, button, button, modifiers);
    for (int step = 1; step <= 5; ++step)
        sendMouse(window, QEvent::MouseMove, start + QPoint(step * 10, step * 4), Qt::NoButton,
                  button, modifiers);
    sendMouse(window, QEvent::MouseButtonRelease, start + QPoint(50, 20), button, Qt::NoButton,
              modifiers);
}

} // namespace

class TestChart3D : public QObject {
    Q_OBJECT

    std::unique_ptr<TestEnv> env;
    std::unique_ptr<ScriptedPrompts> prompts;
    std::unique_ptr<ChartFrame> frame;

    QComboBox* types() { return frame->findChild<QComboBox*>(QStringLiteral("cmbChart2")); }

private Q_SLOTS:
    void init() {
        env = std::make_unique<TestEnv>();
        prompts = std::make_unique<ScriptedPrompts>();
        frame = std::make_unique<ChartFrame>();
        frame->resize(800, 650);
        frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(frame.get()));
        frame->chart()->setChartData(sample());
    }
    void cleanup() {
        printing::setPrinterFactory({});
        frame.reset();
        prompts.reset();
        env.reset();
    }

    void eachType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("depths");    // lines across each series' shape
        QTest::addColumn<int>("positions"); // points along it for three rows
        QTest::newRow("3D Bar Chart") << 0 << 4 << 12;
        QTest::newRow("3d Line Graph") << 2 << 2 << 3;
        QTest::newRow("3D Area Chart") << 4 << 4 << 3;
        QTest::newRow("3D Step Chart") << 6 << 4 << 6;
    }
    void eachType() {
        QFETCH(int, type);
        QFETCH(int, depths);
        QFETCH(int, positions);
        types()->setCurrentIndex(type);
        HistoryChart* chart = frame->chart();
        QCOMPARE(chart->shownType(), type);
        QCOMPARE(frame->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("Control Key + Drag to rotate."));
        Q3DSurface* graph = chart->surface3D();
        QVERIFY(graph);
        QVERIFY(chart->graphContainer()->isVisible());
        const QList<QSurface3DSeries*> series = graph->seriesList();
        QCOMPARE(series.size(), 2);
        QCOMPARE(series[0]->name(), QStringLiteral("Google"));
        QCOMPARE(series[1]->name(), QStringLiteral("Altavista"));
        QVERIFY(series[0]->baseColor() != series[1]->baseColor());
        QCOMPARE(series[0]->dataProxy()->rowCount(), depths);
        QCOMPARE(series[0]->dataProxy()->columnCount(), positions);
        // The value axis's title stands upright above the graph, readable, not sideways in it.
        auto* axisTitle = frame->findChild<QLabel*>(QStringLiteral("chartAxisTitle"));
        QCOMPARE(axisTitle->text(), QStringLiteral("Linking Sites x10"));
        QVERIFY(axisTitle->isVisible());
        QVERIFY(axisTitle->geometry().bottom() <= chart->graphContainer()->geometry().top());
        QVERIFY(!graph->axisY()->isTitleVisible());
        QCOMPARE(frame->findChild<QLabel*>(QStringLiteral("chartTitle"))->text(),
                 QStringLiteral("mysite"));
        ChartLegend* legend = chart->legend();
        QVERIFY(legend->isVisible());
        QCOMPARE(legend->shownText(0), QStringLiteral("Google"));
        QCOMPARE(legend->shownText(1), QStringLiteral("Altavista"));

        // The picture holds the graph itself, not the black of a grabbed OpenGL window.
        const QImage picture = chart->renderImage().convertToFormat(QImage::Format_RGB32);
        const QRect area(chart->graphContainer()->mapTo(chart, QPoint(0, 0)) *
                             picture.devicePixelRatio(),
                         chart->graphContainer()->size() * picture.devicePixelRatio());
        int black = 0;
        int total = 0;
        for (int y = area.top(); y <= area.bottom(); y += 3)
            for (int x = area.left(); x <= area.right(); x += 3, ++total)
                if (qGray(picture.pixel(x, y)) < 16)
                    ++black;
        QVERIFY2(black < total / 4, qPrintable(QStringLiteral("%1 of %2").arg(black).arg(total)));
    }

    // The value axis on round numbers, as the 2D charts have it, its labels with group separators.
    void valueAxisRoundWithGroupSeparators() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        ChartData data = sample();
        data.values = {{958000, 766000, 575000}, {150000, 145000, 140000}};
        frame->chart()->setChartData(data);
        types()->setCurrentIndex(0);
        QValue3DAxis* axis = frame->chart()->surface3D()->axisY();
        QCOMPARE(axis->min(), 0.0f);
        QCOMPARE(axis->max(), 1000000.0f);
        QCOMPARE(axis->segmentCount(), 5);
        QTRY_COMPARE(axis->labels(),
                     (QStringList{"0", "200,000", "400,000", "600,000", "800,000", "1,000,000"}));
    }

    // Beyond a year of dates the blocks of a bar chart stand side by side: two positions a value.
    void aLongBarChartHasNoFloorBetweenItsBlocks() {
        ChartData data = sample();
        data.rowLabels.clear();
        data.values = {{}, {}};
        for (int row = 0; row < 400; ++row) {
            data.rowLabels << QString::number(row);
            data.values[0] << 1000 + row;
            data.values[1] << 500;
        }
        frame->chart()->setChartData(data);
        types()->setCurrentIndex(0);
        const QSurfaceDataRow& top =
            *frame->chart()->surface3D()->seriesList()[0]->dataProxy()->array()->at(1);
        QCOMPARE(top.size(), 800);
        QCOMPARE(top.at(1).x() - top.at(0).x(), 1.0f - 2 * 0.002f); // a whole row wide
        QCOMPARE(top.at(1).y(), 1000.0f);
    }

    // Ten years of days: every 3D type draws a series with what its row axis can show (a few
    // hundred positions, not thousands), its highest and lowest counts among them.
    void aTenYearChartDrawsWhatItsWidthShows() {
        ChartData data = sample();
        data.rowLabels.clear();
        data.values = {{}};
        for (int row = 0; row < 3650; ++row) {
            data.rowLabels << QString::number(row);
            data.values[0] << 1000 + (row * 7919) % 3650;
        }
        frame->chart()->setChartData(data);
        for (int type : {0, 2, 4, 6}) {
            types()->setCurrentIndex(type);
            const QSurfaceDataRow& top =
                *frame->chart()->surface3D()->seriesList()[0]->dataProxy()->array()->at(1);
            QVERIFY2(top.size() < 700, qPrintable(QString::number(top.size())));
            const auto [low, high] = std::minmax_element(
                top.begin(), top.end(), [](const auto& a, const auto& b) { return a.y() < b.y(); });
            QCOMPARE(low->y(), 1000.0f);
            QCOMPARE(high->y(), 4649.0f);
        }
    }

    // "All Engines" over engines saved on different dates: nothing stands where an engine has no
    // count (no block, no piece of ribbon, step or slab), and every engine keeps its colour.
    void gapsStayEmpty_data() {
        QTest::addColumn<int>("type");
        QTest::newRow("3D Bar Chart") << 0;
        QTest::newRow("3d Line Graph") << 2;
        QTest::newRow("3D Area Chart") << 4;
        QTest::newRow("3D Step Chart") << 6;
    }
    void gapsStayEmpty() {
        QFETCH(int, type);
        ChartData data = sample();
        data.seriesLabels = {QStringLiteral("Google"), QStringLiteral("Yahoo!"),
                             QStringLiteral("Ask")};
        data.values = {{930, 920, 912}, {380, std::nullopt, 377}, {std::nullopt, 12, std::nullopt}};
        frame->chart()->setChartData(data);
        types()->setCurrentIndex(type);
        // Where each engine's shape has a width: one surface per engine, narrowed to nothing
        // between its runs.
        QHash<QString, QList<float>> xs;
        const QList<QSurface3DSeries*> surfaces = frame->chart()->surface3D()->seriesList();
        QCOMPARE(surfaces.size(), 3);
        for (QSurface3DSeries* series : surfaces) {
            QCOMPARE(
                series->baseColor(),
                HistoryChart::slotColor(
                    QStringList{"Google", "Altavista", "Yahoo!", "Ask"}.indexOf(series->name())));
            const QSurfaceDataArray& rows = *series->dataProxy()->array();
            for (qsizetype c = 0; c < rows.constFirst()->size(); ++c) {
                float near = rows.constFirst()->at(c).z();
                float far = near;
                for (const QSurfaceDataRow* row : rows) {
                    near = std::min(near, row->at(c).z());
                    far = std::max(far, row->at(c).z());
                }
                if (far > near)
                    xs[series->name()].append(rows.constFirst()->at(c).x());
            }
        }
        QVERIFY(!xs.value(QStringLiteral("Yahoo!")).isEmpty());
        for (float x : xs.value(QStringLiteral("Yahoo!")))
            QVERIFY2(x <= 0.5f || x >= 1.5f, qPrintable(QString::number(x)));
        QVERIFY(!xs.value(QStringLiteral("Ask")).isEmpty());
        for (float x : xs.value(QStringLiteral("Ask")))
            QVERIFY2(x >= 0.5f && x <= 1.5f, qPrintable(QString::number(x)));
    }

    void twoDimensionalTypeHidesTheGraph() {
        types()->setCurrentIndex(0);
        types()->setCurrentIndex(3);
        QCOMPARE(frame->chart()->shownType(), 3);
        QVERIFY(frame->chart()->chartView()->isVisible());
        QVERIFY(!frame->chart()->graphContainer());
        QCOMPARE(frame->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QString());
    }

    void controlDragTurnsTheChart() {
        types()->setCurrentIndex(2);
        Q3DSurface* graph = frame->chart()->surface3D();
        Q3DCamera* camera = graph->scene()->activeCamera();
        const float x0 = camera->xRotation();
        const float y0 = camera->yRotation();

        drag(graph, Qt::LeftButton, Qt::NoModifier);
        drag(graph, Qt::RightButton, Qt::NoModifier);
        drag(graph, Qt::RightButton, Qt::ControlModifier);
        QCOMPARE(camera->xRotation(), x0);
        QCOMPARE(camera->yRotation(), y0);

        drag(graph, Qt::LeftButton, Qt::ControlModifier);
        QVERIFY(camera->xRotation() != x0);
        QVERIFY(camera->yRotation() != y0);
    }

    void chartNeverKeepsFocus() {
        types()->setCurrentIndex(4);
        frame->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        auto* sink = frame->findChild<QWidget*>(QStringLiteral("cmdFocus"));
        types()->setFocus();
        // The graph's own window taking the focus, as a click on it does.
        frame->chart()->surface3D()->requestActivate();
        QTRY_COMPARE(QApplication::focusWidget(), sink);
        types()->setFocus();
        frame->chart()->graphContainer()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), sink);
    }

    void printsThreeDimensionalChartOnOnePage() {
        types()->setCurrentIndex(6);
        const QString file = env->file(QStringLiteral("chart3d.pdf"));
        printing::setPrinterFactory([&] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(file);
            return printer;
        });
        QTest::mouseClick(frame->findChild<QPushButton*>(QStringLiteral("Command14")),
                          Qt::LeftButton);
        QVERIFY(prompts->calls.isEmpty());
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray pdf = in.readAll();
        QCOMPARE(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") +
                     pdf.count("/Type /Page/") + pdf.count("/Type /Page "),
                 1);
    }
};

TALLY_MAIN {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TestChart3D test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chart_3d.moc"
