#include "gui/charts/history_chart.h"

#include "gui/charts/history_chart_3d.h"
#include "gui/kit/accessibility.h"
#include "gui/kit/opengl_ready.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>

#include <algorithm>
#include <cmath>

namespace tally {

namespace {

// Row labels shown at most along the row axis before every n-th one is left out.
constexpr int MaxRowLabels = 24;
constexpr int MaxRowLabels3D = 16;
// Up to this many rows a line chart marks each point, so that a single date still shows.
constexpr int MaxMarkedRows = 40;

QString valueFormat(double largest) {
    return largest >= 10 ? QStringLiteral("%.0f") : QStringLiteral("%.1f");
}

double axisTop(double largest) {
    return largest > 0 ? largest * 1.05 : 1.0;
}

double smallestValue(const ChartData& data) {
    double smallest = 0;
    for (const QList<double>& series : data.values)
        for (double v : series)
            smallest = std::min(smallest, v);
    return smallest;
}

double valueAt(const ChartData& data, int series, int row) {
    const QList<double>& values = data.values.at(series);
    return row < values.size() ? values.at(row) : 0.0;
}

// Rows with a shown label: every stride-th row whose label is not empty and not seen before (the
// category axis keys its labels by text).
QList<int> labelledRows(const ChartData& data) {
    QList<int> rows;
    QStringList seen;
    const int stride = HistoryChart::labelStride(data.rowCount());
    for (int i = 0; i < data.rowCount(); i += stride) {
        const QString& label = data.rowLabels.at(i);
        if (label.isEmpty() || seen.contains(label))
            continue;
        seen.append(label);
        rows.append(i);
    }
    return rows;
}

// One series of a 3D chart as a height map: heights ys at the positions xs along the rows, the
// same at every depth except those marked onFloor, which lie at 0 and so close the shape's sides.
struct Profile3D {
    QList<float> xs;
    QList<float> ys;
    QList<float> depths;
    QList<bool> onFloor;
};

Profile3D profile3D(ChartKind kind, const QList<double>& values) {
    // Two positions this close apart make a wall that stands straight up.
    constexpr float Wall = 0.002f;
    Profile3D p;
    const int rows = int(values.size());
    auto add = [&](float x, double y) {
        p.xs.append(x);
        p.ys.append(float(y));
    };
    switch (kind) {
    case ChartKind::Bar: // a block per row with floor between the blocks
        for (int i = 0; i < rows; ++i) {
            add(i - 0.3f, 0);
            add(i - 0.3f + Wall, values.at(i));
            add(i + 0.3f - Wall, values.at(i));
            add(i + 0.3f, 0);
        }
        p.depths = {-0.3f, -0.3f + Wall, 0.3f - Wall, 0.3f};
        p.onFloor = {true, false, false, true};
        break;
    case ChartKind::Step: // one flat tread per row, joined by upright risers
        for (int i = 0; i < rows; ++i) {
            add(i - 0.5f + Wall, values.at(i));
            add(i + 0.5f - Wall, values.at(i));
        }
        p.depths = {-0.35f, -0.35f + Wall, 0.35f - Wall, 0.35f};
        p.onFloor = {true, false, false, true};
        break;
    case ChartKind::Area: // a slab from the floor up to the values
        for (int i = 0; i < rows; ++i)
            add(float(i), values.at(i));
        p.depths = {-0.3f, -0.3f + Wall, 0.3f - Wall, 0.3f};
        p.onFloor = {true, false, false, true};
        break;
    case ChartKind::Line: // a flat ribbon at the values
        for (int i = 0; i < rows; ++i)
            add(float(i), values.at(i));
        p.depths = {-0.12f, 0.12f};
        p.onFloor = {false, false};
        break;
    }
    if (rows == 1 && (kind == ChartKind::Area || kind == ChartKind::Line)) {
        // One date still needs two positions to make a surface.
        p.xs = {-0.3f, 0.3f};
        p.ys = {p.ys.at(0), p.ys.at(0)};
    }
    return p;
}

} // namespace

HistoryChart::HistoryChart(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("MSChart1"));
    accessibility::setRole(this, QAccessible::Chart);
    setContextMenuPolicy(Qt::CustomContextMenu);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pages_ = new QStackedWidget(this);
    layout->addWidget(pages_);

    // The 2D view is made when it first draws: a chart nobody looks at costs the start nothing.

    page3D_ = new QWidget(pages_);
    page3D_->setObjectName(QStringLiteral("chartPage3D"));
    page3D_->setAutoFillBackground(true);
    QPalette white = page3D_->palette();
    white.setColor(QPalette::Window, Qt::white);
    page3D_->setPalette(white);
    layout3D_ = new QVBoxLayout(page3D_);
    layout3D_->setContentsMargins(4, 4, 4, 4);
    title3D_ = new QLabel(page3D_);
    title3D_->setObjectName(QStringLiteral("chartTitle"));
    title3D_->setAlignment(Qt::AlignCenter);
    QFont titleFont = title3D_->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    title3D_->setFont(titleFont);
    legend3D_ = new QLabel(page3D_);
    legend3D_->setObjectName(QStringLiteral("chartLegend"));
    legend3D_->setAlignment(Qt::AlignCenter);
    legend3D_->setWordWrap(true);
    legend3D_->setTextFormat(Qt::RichText);
    layout3D_->addWidget(title3D_);
    layout3D_->addWidget(legend3D_);
    pages_->addWidget(page3D_);

    data_.axisTitle = scaleBandFor(0).axisTitle;
    describe();
    redraw();
}

HistoryChart::~HistoryChart() = default;

void HistoryChart::setChartData(const ChartData& data) {
    data_ = data;
    // Every series holds one value per row, however the content was built.
    data_.values.resize(data_.seriesLabels.size());
    for (QList<double>& series : data_.values)
        series.resize(data_.rowLabels.size(), 0.0);
    describe();
    redraw();
    Q_EMIT contentChanged();
}

void HistoryChart::setChartType(int type) {
    data_.type = std::clamp(type, 0, ChartTypeCount - 1);
    describe();
    redraw();
}

void HistoryChart::describe() {
    setAccessibleName(data_.title.isEmpty() ? QStringLiteral("Chart") : data_.title);
    QString description = chartTypeNames().value(data_.type);
    if (!data_.axisTitle.isEmpty())
        description += QStringLiteral(", value axis: ") + data_.axisTitle;
    description += QStringLiteral(", %1 series of %2 values. Show as Table (Shift+F10, the Menu "
                                  "key) lists the values.")
                       .arg(data_.seriesCount())
                       .arg(data_.rowCount());
    setAccessibleDescription(description);
}

bool HistoryChart::eventFilter(QObject* watched, QEvent* event) {
    // The 3D graph is a window of its own, out of reach of the widgets' context menu events.
    if (watched == surface_ && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            Q_EMIT customContextMenuRequested(mapFromGlobal(mouse->globalPosition().toPoint()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QWidget* HistoryChart::graphContainer() const {
    drawPending();
    return pages_->currentWidget() == page3D_ ? surfaceContainer_ : nullptr;
}

QAbstract3DGraph* HistoryChart::activeGraph() const {
    return graphContainer() ? surface_ : nullptr;
}

bool HistoryChart::ownsWindow(const QWindow* window) const {
    return window != nullptr && window == static_cast<const QWindow*>(surface_);
}

QColor HistoryChart::seriesColor(int series) {
    static const QColor palette[] = {
        QColor(0x1f, 0x5f, 0xbf), QColor(0xd9, 0x3a, 0x2b), QColor(0x2e, 0x9e, 0x44),
        QColor(0xe8, 0x9c, 0x13), QColor(0x8e, 0x44, 0xad), QColor(0x17, 0xa2, 0xb8),
        QColor(0x7f, 0x55, 0x39), QColor(0xe0, 0x4f, 0x9f), QColor(0x55, 0x55, 0x55),
        QColor(0x9a, 0xb8, 0x1c),
    };
    constexpr int count = int(std::size(palette));
    return palette[((series % count) + count) % count];
}

int HistoryChart::labelStride(int rows, int most) {
    if (most <= 0)
        most = MaxRowLabels;
    return rows <= most ? 1 : (rows + most - 1) / most;
}

void HistoryChart::redraw() {
    if (!isVisible()) {
        pending_ = true;
        return;
    }
    drawNow();
}

void HistoryChart::drawPending() const {
    if (pending_)
        const_cast<HistoryChart*>(this)->drawNow();
}

void HistoryChart::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    drawPending();
}

void HistoryChart::drawNow() {
    pending_ = false;
    const int type = data_.type;
    if (chartTypeIs3D(type) && draw3D(type)) {
        shownType_ = type;
        pages_->setCurrentWidget(page3D_);
        return;
    }
    // Without OpenGL a 3D type is drawn as its 2D twin, which follows it in the list.
    const int flat = chartTypeIs3D(type) ? type + 1 : type;
    draw2D(flat);
    shownType_ = flat;
    pages_->setCurrentWidget(view2D_);
}

void HistoryChart::draw2D(int type) {
    const ChartKind kind = chartTypeKind(type);
    const int rows = data_.rowCount();
    auto* chart = new QChart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(data_.title);
    QFont titleFont = chart->titleFont();
    titleFont.setBold(true);
    titleFont.setPointSizeF(std::max(titleFont.pointSizeF(), 11.0));
    chart->setTitleFont(titleFont);
    chart->legend()->setVisible(true);
    chart->legend()->setAlignment(Qt::AlignBottom);

    auto* axisX = new QCategoryAxis();
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axisX->setStartValue(-0.5);
    for (int i : labelledRows(data_))
        axisX->append(data_.rowLabels.at(i), i);
    axisX->setRange(-0.5, std::max(rows, 1) - 0.5);
    axisX->setGridLineVisible(false);
    // Upright labels when only every n-th row has one: a slanted label would not fit its space.
    if (rows > 8)
        axisX->setLabelsAngle(HistoryChart::labelStride(rows) > 1 ? -90 : -60);
    chart->addAxis(axisX, Qt::AlignBottom);

    const double largest = data_.largestValue();
    auto* axisY = new QValueAxis();
    axisY->setTitleText(data_.axisTitle);
    axisY->setRange(smallestValue(data_), axisTop(largest));
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(valueFormat(largest));
    chart->addAxis(axisY, Qt::AlignLeft);

    auto attach = [&](QAbstractSeries* series) {
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    };

    if (kind == ChartKind::Bar) {
        auto* bars = new QBarSeries();
        for (int s = 0; s < data_.seriesCount(); ++s) {
            auto* set = new QBarSet(data_.seriesLabels.at(s));
            set->setColor(seriesColor(s));
            set->setBorderColor(seriesColor(s).darker(130));
            QList<qreal> values;
            values.reserve(rows);
            for (int i = 0; i < rows; ++i)
                values.append(valueAt(data_, s, i));
            set->append(values);
            bars->append(set);
        }
        bars->setBarWidth(0.8);
        attach(bars);
    } else {
        // Areas overlap: the one reaching highest goes in first, at the back.
        QList<int> order;
        for (int s = 0; s < data_.seriesCount(); ++s)
            order.append(s);
        if (kind == ChartKind::Area) {
            std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
                const QList<double>& va = data_.values.at(a);
                const QList<double>& vb = data_.values.at(b);
                const double ma = va.isEmpty() ? 0 : *std::max_element(va.begin(), va.end());
                const double mb = vb.isEmpty() ? 0 : *std::max_element(vb.begin(), vb.end());
                return ma > mb;
            });
        }
        for (int s : order) {
            auto* line = new QLineSeries();
            line->setName(data_.seriesLabels.at(s));
            QList<QPointF> points;
            points.reserve(kind == ChartKind::Step ? 2 * rows : rows);
            for (int i = 0; i < rows; ++i) {
                const double v = valueAt(data_, s, i);
                if (kind == ChartKind::Step) {
                    points.append(QPointF(i - 0.5, v));
                    points.append(QPointF(i + 0.5, v));
                } else {
                    points.append(QPointF(i, v));
                }
            }
            if (kind == ChartKind::Area && rows == 1) {
                // One date still covers an area: spread the point over its row.
                points = {QPointF(-0.4, points[0].y()), QPointF(0.4, points[0].y())};
            }
            line->replace(points);
            QPen pen(seriesColor(s));
            pen.setWidthF(2.0);
            line->setPen(pen);
            if (kind == ChartKind::Area) {
                auto* area = new QAreaSeries(line);
                area->setName(data_.seriesLabels.at(s));
                QColor fill = seriesColor(s);
                fill.setAlpha(210);
                area->setColor(fill);
                area->setBorderColor(seriesColor(s));
                attach(area);
            } else {
                line->setPointsVisible(kind == ChartKind::Line && rows <= MaxMarkedRows);
                attach(line);
            }
        }
    }

    if (!view2D_) {
        view2D_ = new QChartView(pages_);
        view2D_->setObjectName(QStringLiteral("chartView2D"));
        view2D_->setAccessibleName(QStringLiteral("Chart"));
        view2D_->setFocusPolicy(Qt::ClickFocus); // out of the Tab chain
        view2D_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view2D_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
            Q_EMIT customContextMenuRequested(mapFromGlobal(view2D_->viewport()->mapToGlobal(pos)));
        });
        view2D_->setRenderHint(QPainter::Antialiasing);
        pages_->insertWidget(0, view2D_);
    }
    QChart* old = view2D_->chart();
    view2D_->setChart(chart);
    delete old;
}

bool HistoryChart::ensureSurface() {
    if (surface_)
        return true;
    if (glFailed_)
        return false;
    // The graph is a native OpenGL window inside this one: the window must be ready for OpenGL
    // first, or the first web page would make it anew and take the graph's window down with it.
    prepareWindowForOpenGL(this);
    surface_ = new Q3DSurface();
    if (!surface_->hasContext()) {
        glFailed_ = true;
        delete surface_;
        surface_ = nullptr;
        return false;
    }
    surface_->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    surface_->setSelectionMode(QAbstract3DGraph::SelectionNone);
    surface_->activeTheme()->setType(Q3DTheme::ThemeQt);
    surface_->activeTheme()->setBackgroundColor(Qt::white);
    surface_->activeTheme()->setWindowColor(Qt::white);
    surface_->activeTheme()->setColorStyle(Q3DTheme::ColorStyleUniform);
    surface_->activeTheme()->setLabelBackgroundEnabled(false);
    surface_->activeTheme()->setLabelBorderEnabled(false);
    surface_->activeTheme()->setGridLineColor(QColor(0xc8, 0xc8, 0xc8));
    surface_->scene()->activeCamera()->setCameraPreset(Q3DCamera::CameraPresetIsometricRightHigh);
    surface_->scene()->activeCamera()->setZoomLevel(90.0f);
    // Rows along, series in depth, whatever the number of either: a long history stays deep
    // enough to tell its series apart.
    surface_->setHorizontalAspectRatio(2.5f);
    surface_->setActiveInputHandler(new CtrlDragRotation(surface_));
    surface_->installEventFilter(this);
    surface_->axisY()->setTitleVisible(true);
    surfaceContainer_ = QWidget::createWindowContainer(surface_, page3D_);
    surfaceContainer_->setObjectName(QStringLiteral("surface3D"));
    surfaceContainer_->setAccessibleName(QStringLiteral("3D chart"));
    surfaceContainer_->setFocusPolicy(Qt::ClickFocus);
    surfaceContainer_->setMinimumSize(100, 100);
    surfaceContainer_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout3D_->insertWidget(1, surfaceContainer_, 1);
    return true;
}

bool HistoryChart::draw3D(int type) {
    if (!ensureSurface())
        return false;
    drawSurface3D(chartTypeKind(type));
    title3D_->setText(data_.title);
    title3D_->setVisible(!data_.title.isEmpty());
    updateLegend3D();
    return true;
}

void HistoryChart::drawSurface3D(ChartKind kind) {
    for (QSurface3DSeries* old : surface_->seriesList()) {
        surface_->removeSeries(old);
        delete old;
    }
    const int rows = data_.rowCount();
    for (int s = 0; rows > 0 && s < data_.seriesCount(); ++s) {
        const Profile3D profile = profile3D(kind, data_.values.at(s));
        auto* array = new QSurfaceDataArray();
        array->reserve(profile.depths.size());
        for (qsizetype d = 0; d < profile.depths.size(); ++d) {
            auto* row = new QSurfaceDataRow(profile.xs.size());
            const float z = float(s) + profile.depths.at(d);
            for (qsizetype x = 0; x < profile.xs.size(); ++x) {
                const float y = profile.onFloor.at(d) ? 0.0f : profile.ys.at(x);
                (*row)[x].setPosition(QVector3D(profile.xs.at(x), y, z));
            }
            array->append(row);
        }
        auto* series = new QSurface3DSeries();
        series->dataProxy()->resetArray(array);
        series->setName(data_.seriesLabels.at(s));
        series->setBaseColor(seriesColor(s));
        series->setFlatShadingEnabled(true);
        series->setDrawMode(QSurface3DSeries::DrawSurface);
        surface_->addSeries(series);
    }

    auto* rowFormatter = new TextAxisFormatter();
    rowFormatter->setTexts(data_.rowLabels, labelStride(rows, MaxRowLabels3D));
    surface_->axisX()->setFormatter(rowFormatter);
    surface_->axisX()->setRange(-0.5f, std::max(rows, 1) - 0.5f);
    surface_->axisX()->setLabelAutoRotation(60);
    auto* seriesFormatter = new TextAxisFormatter();
    seriesFormatter->setTexts(data_.seriesLabels, 1);
    surface_->axisZ()->setFormatter(seriesFormatter);
    surface_->axisZ()->setRange(-0.5f, std::max(data_.seriesCount(), 1) - 0.5f);
    surface_->axisZ()->setLabelAutoRotation(60);
    const double largest = data_.largestValue();
    surface_->axisY()->setTitle(data_.axisTitle);
    surface_->axisY()->setLabelFormat(valueFormat(largest));
    surface_->axisY()->setRange(float(smallestValue(data_)), float(axisTop(largest)));
}

void HistoryChart::updateLegend3D() {
    QString html;
    for (int s = 0; s < data_.seriesCount(); ++s) {
        html += QStringLiteral("<span style=\"color:%1\">&#9632;</span>&nbsp;%2 &nbsp; ")
                    .arg(seriesColor(s).name(), data_.seriesLabels.at(s).toHtmlEscaped());
    }
    legend3D_->setText(html);
    legend3D_->setVisible(data_.seriesCount() > 0);
}

QImage HistoryChart::renderImage() {
    drawPending();
    QImage image = grab().toImage();
    QAbstract3DGraph* graph = activeGraph();
    QWidget* container = graphContainer();
    if (graph && container) {
        // A window holding OpenGL content grabs black: draw the graph itself into its place.
        const qreal ratio = image.devicePixelRatio();
        const QImage scene = graph->renderToImage(0, container->size() * ratio);
        QPainter painter(&image);
        painter.drawImage(QRect(container->mapTo(this, QPoint(0, 0)), container->size()), scene);
    }
    return image;
}

} // namespace tally
