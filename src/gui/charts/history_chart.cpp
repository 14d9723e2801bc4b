#include "gui/charts/history_chart.h"

#include "gui/charts/chart_legend.h"
#include "gui/charts/history_chart_3d.h"
#include "gui/kit/accessibility.h"
#include "gui/kit/contrast.h"
#include "gui/kit/opengl_ready.h"

#include <QGraphicsItem>
#include <QGraphicsSceneHoverEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTransform>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegend>
#include <QtCharts/QLegendMarker>
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
// Up to this many rows (a year of days) a bar chart is Qt's; beyond, its thousands of bars, each
// an item of the chart's scene, take far longer to lay out than to draw, and they are drawn as one
// shape per series as lines and areas are. Each row's bars share this share of the row's width.
constexpr int MaxBarSeriesRows = 366;
constexpr double BarWidth = 0.8;
// A 3D chart has room for about this many spans of rows along its row axis (two pixels or so
// each): a longer series is drawn with its highs, lows and run ends in each span, and
// its bars or steps, each narrower than a pixel there, as a slab along each run (runsToDraw).
constexpr int Spans3D = 300;

// A run of rows that hold a value (runsToDraw), with its values: a 2D line, step or area is drawn
// run by run.
struct Run {
    int first = 0;
    QList<double> values;
    QList<int> rows; // the row of each value
};

QList<Run> runsOf(const QList<ChartValue>& values, const QList<int>& breaks = {},
                  bool joined = false) {
    QList<Run> runs;
    for (QList<int>& rows : runsToDraw(values, 0, breaks, joined)) {
        Run run{rows.constFirst(), {}, {}};
        for (const int row : rows)
            run.values.append(*values.at(row));
        run.rows = std::move(rows);
        runs.append(std::move(run));
    }
    return runs;
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
// At a position marked collapsed every depth meets in the series' middle: the shape has no width
// there, so that between two runs of values nothing is drawn, and at a run's end the shape closes.
struct Profile3D {
    QList<float> xs;
    QList<float> ys;
    QList<bool> collapsed;
    QList<float> depths;
    QList<bool> onFloor;
};

// The shape of a series: a block per value (bars), a tread per value (steps), a slab (areas) or a
// ribbon (lines) along each run of values; nothing where a value is missing.
Profile3D profile3D(ChartKind kind, const QList<ChartValue>& values) {
    if ((kind == ChartKind::Bar || kind == ChartKind::Step) && values.size() > 2 * Spans3D)
        kind = ChartKind::Area; // bars and steps narrower than a pixel: a slab
    // Two positions this close apart make a wall that stands straight up.
    constexpr float Wall = 0.002f;
    Profile3D p;
    auto add = [&](float x, double y, bool collapsed = false) {
        p.xs.append(x);
        p.ys.append(float(y));
        p.collapsed.append(collapsed);
    };
    if (kind == ChartKind::Bar && values.size() > MaxBarSeriesRows) {
        // Beyond a year of dates the floor between two blocks is narrower than a pixel: the
        // blocks of a run stand side by side as the treads of a staircase, with half the corners.
        p = profile3D(ChartKind::Step, values);
        p.depths = {-0.3f, -0.3f + Wall, 0.3f - Wall, 0.3f};
        return p;
    }
    if (kind == ChartKind::Bar) { // a block per value with floor between the blocks
        for (int i = 0; i < values.size(); ++i) {
            if (!values.at(i))
                continue;
            add(i - 0.3f, 0);
            add(i - 0.3f + Wall, *values.at(i));
            add(i + 0.3f - Wall, *values.at(i));
            add(i + 0.3f, 0);
        }
        p.depths = {-0.3f, -0.3f + Wall, 0.3f - Wall, 0.3f};
        p.onFloor = {true, false, false, true};
        return p;
    }
    const QList<QList<int>> runs = runsToDraw(values, Spans3D);
    for (int r = 0; r < runs.size(); ++r) {
        const QList<int>& rows = runs.at(r);
        const int count = int(rows.size());
        const float first = float(rows.constFirst());
        const float last = float(rows.constLast());
        auto value = [&](int i) { return *values.at(rows.at(i)); };
        // A ribbon narrows to a line at its own height; a slab or a staircase to the floor.
        const double startHeight = kind == ChartKind::Line ? value(0) : 0.0;
        const double endHeight = kind == ChartKind::Line ? value(count - 1) : 0.0;
        if (kind == ChartKind::Step) {
            if (r > 0)
                add(first - 0.5f, 0, true);
            for (int i = 0; i < count; ++i) {
                add(rows.at(i) - 0.5f + Wall, value(i));
                add(rows.at(i) + 0.5f - Wall, value(i));
            }
            if (r + 1 < runs.size())
                add(last + 0.5f, 0, true);
            continue;
        }
        // Areas and lines: one date still needs two positions to make a surface.
        const float from = count == 1 ? first - 0.3f : first;
        const float to = count == 1 ? first + 0.3f : last;
        if (r > 0)
            add(from - Wall, startHeight, true);
        if (count == 1) {
            add(from, value(0));
            add(to, value(0));
        } else {
            for (int i = 0; i < count; ++i)
                add(rows.at(i), value(i));
        }
        if (r + 1 < runs.size())
            add(to + Wall, endHeight, true);
    }
    if (kind == ChartKind::Line) { // a flat ribbon at the values
        p.depths = {-0.12f, 0.12f};
        p.onFloor = {false, false};
    } else { // a slab, or one flat tread per row joined by upright risers, from the floor
        const float half = kind == ChartKind::Step ? 0.35f : 0.3f;
        p.depths = {-half, -half + Wall, half - Wall, half};
        p.onFloor = {true, false, false, true};
    }
    return p;
}

} // namespace

// One series of a 2D line, step or area chart, drawn run by run into the chart's plot: a line (its
// points marked when the rows are few, a run of one date always), a staircase or a see-through
// area for each run of values, and nothing between the runs; or of a long bar chart, a bar per
// value. A Qt Charts series cannot break, and one series per run costs seconds in a long history
// with many gaps (thousands of bars as many items); this is one item per series.
// An empty series of the same name and colour stands in the chart for the legend and the axes.
class RunsShape : public QGraphicsItem {
public:
    // A bar chart's series takes its slot of `slotCount` beside the other series in each row.
    RunsShape(QChart* chart, QAbstractSeries* anchor, ChartKind kind, const QList<Run>& runs,
              const QColor& colour, bool markPoints, int slot = 0, int slotCount = 1)
        : QGraphicsItem(chart), chart_(chart), anchor_(anchor), kind_(kind), colour_(colour),
          markPoints_(markPoints) {
        const double barWidth = BarWidth / slotCount;
        for (const Run& run : runs) {
            if (kind == ChartKind::Bar) { // a block per value, its outline as a closed line
                for (int i = 0; i < run.values.size(); ++i)
                    lines_.append(QPolygonF(QRectF(run.rows.at(i) - BarWidth / 2 + slot * barWidth,
                                                   0, barWidth, run.values.at(i))));
                continue;
            }
            QPolygonF line;
            const int count = int(run.values.size());
            for (int i = 0; i < count; ++i) {
                const double x = run.rows.at(i);
                if (kind == ChartKind::Step) {
                    line << QPointF(x - 0.5, run.values.at(i))
                         << QPointF(x + 0.5, run.values.at(i));
                } else if (kind == ChartKind::Area && count == 1) {
                    // One date still covers an area: spread over its row.
                    line << QPointF(x - 0.4, run.values.at(i))
                         << QPointF(x + 0.4, run.values.at(i));
                } else {
                    line << QPointF(x, run.values.at(i));
                }
            }
            lines_.append(line);
        }
    }

    QString name() const { return anchor_->name(); }
    // The lines drawn, in values: x the row, y the value.
    const QList<QPolygonF>& lines() const { return lines_; }

    // Follows the plot area, wherever the chart's layout puts it.
    void place() {
        prepareGeometryChange();
        shownLines_.clear();
        fills_.clear();
        marks_.clear();
        // Both axes are linear: two points give where every value lies.
        const QPointF origin = chart_->mapToPosition(QPointF(0, 0), anchor_);
        const QPointF unit = chart_->mapToPosition(QPointF(1, 1), anchor_) - origin;
        const QTransform toPlot(unit.x(), 0, 0, unit.y(), origin.x(), origin.y());
        const auto at = [&toPlot](const QPointF& value) { return toPlot.map(value); };
        for (const QPolygonF& line : lines_) {
            const QPolygonF shown = toPlot.map(line);
            if (kind_ == ChartKind::Bar) {
                fills_.append(shown);
                continue;
            }
            shownLines_.append(shown);
            if (kind_ == ChartKind::Area) {
                // Filled (and stroked) run by run: the painter fills thousands of outlines at once
                // (one path) far more slowly than each on its own.
                fills_.append(QPolygonF() << at(QPointF(line.constFirst().x(), 0)) << shown
                                          << at(QPointF(line.constLast().x(), 0)));
            }
            if (kind_ == ChartKind::Line && (markPoints_ || line.size() == 1))
                marks_ << shown;
        }
        bounds_ = chart_->plotArea();
    }

    QRectF boundingRect() const override { return bounds_; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        painter->setClipRect(chart_->plotArea());
        if (kind_ == ChartKind::Bar) { // bars stand side by side, solid as a bar chart's
            painter->setPen(Qt::NoPen);
            painter->setBrush(colour_);
            fillAll(painter);
        } else if (!fills_.isEmpty()) {
            paintSeeThrough(painter);
        }
        painter->setRenderHint(QPainter::Antialiasing);
        QPen pen(colour_);
        pen.setWidthF(2.0);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        for (const QPolygonF& line : shownLines_) // one at a time, as the areas
            painter->drawPolyline(line);
        painter->setPen(QPen(Qt::white, 1.0));
        painter->setBrush(colour_);
        for (const QPointF& mark : marks_)
            painter->drawEllipse(mark, 3.5, 3.5);
    }

private:
    // The fills without antialiasing: their edges lie under the stroked lines drawn next, and an
    // antialiased fill of every run of a long history with many gaps costs seconds.
    void fillAll(QPainter* painter) const {
        painter->setRenderHint(QPainter::Antialiasing, false);
        for (const QPolygonF& area : fills_)
            painter->drawPolygon(area);
    }

    // The areas see-through, so that one lying in front of another never hides it. Filled solid
    // on a layer of their own, which is then laid on the chart see-through: the painter fills
    // thousands of see-through outlines far more slowly than solid ones (one path even slower).
    void paintSeeThrough(QPainter* painter) const {
        const qreal ratio = painter->device()->devicePixelRatio();
        const QTransform toLayer = painter->worldTransform() * QTransform::fromScale(ratio, ratio);
        const QRect area = toLayer.mapRect(chart_->plotArea()).toAlignedRect();
        if (area.isEmpty())
            return;
        QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
        layer.fill(Qt::transparent);
        {
            QPainter onLayer(&layer);
            onLayer.setTransform(toLayer * QTransform::fromTranslate(-area.left(), -area.top()));
            onLayer.setPen(Qt::NoPen);
            onLayer.setBrush(colour_);
            fillAll(&onLayer);
        }
        layer.setDevicePixelRatio(ratio);
        painter->save();
        painter->setWorldTransform(QTransform());
        painter->setOpacity(painter->opacity() * 90 / 255.0);
        painter->drawImage(QPointF(area.topLeft()) / ratio, layer);
        painter->restore();
    }

    QChart* chart_;
    QAbstractSeries* anchor_;
    ChartKind kind_;
    QColor colour_;
    bool markPoints_;
    QList<QPolygonF> lines_;
    QList<QPolygonF> shownLines_;
    QList<QPolygonF> fills_;
    QPolygonF marks_;
    QRectF bounds_;
};

// Where a series' points change source or release: a dashed upright rule between the two rows in
// the series' colour, the new source named at its top, and what changed as its tooltip.
class ChangeMark : public QGraphicsItem {
public:
    ChangeMark(QChart* chart, QAbstractSeries* anchor, const ChartData::SourceChange& change,
               const QColor& colour)
        : QGraphicsItem(chart), chart_(chart), anchor_(anchor), colour_(colour),
          x_((change.newerRow + change.olderRow) / 2.0),
          label_(change.text.section(QStringLiteral(" \u2192 "), -1)) {
        setToolTip(change.text);
    }

    void place() {
        prepareGeometryChange();
        const QRectF plot = chart_->plotArea();
        const double x = chart_->mapToPosition(QPointF(x_, 0), anchor_).x();
        const QFontMetricsF metrics(chart_->font());
        const double width = metrics.horizontalAdvance(label_) + 6;
        rule_ = QLineF(x, plot.top(), x, plot.bottom());
        labelBox_ = QRectF(x + 3, plot.top() + 2, width, metrics.height() + 2);
    }

    QRectF boundingRect() const override {
        return QRectF(rule_.p1() - QPointF(3, 0), rule_.p2() + QPointF(3, 0)).united(labelBox_);
    }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        QPen pen(colour_, 1.5, Qt::DashLine);
        painter->setPen(pen);
        painter->drawLine(rule_);
        painter->setPen(colour_);
        painter->setFont(chart_->font());
        painter->drawText(labelBox_, Qt::AlignLeft | Qt::AlignVCenter, label_);
    }

private:
    QChart* chart_;
    QAbstractSeries* anchor_;
    QColor colour_;
    double x_;
    QString label_;
    QLineF rule_;
    QRectF labelBox_;
};

// The tooltip of the point under the pointer: its series, date, count and where it came from.
class PointTips : public QGraphicsItem {
public:
    PointTips(QChart* chart, QAbstractSeries* anchor, const ChartData& data)
        : QGraphicsItem(chart), chart_(chart), anchor_(anchor), data_(data) {
        setAcceptHoverEvents(true);
    }
    void place() {
        prepareGeometryChange();
        bounds_ = chart_->plotArea();
    }
    QRectF boundingRect() const override { return bounds_; }
    void paint(QPainter*, const QStyleOptionGraphicsItem*, QWidget*) override {}

protected:
    void hoverMoveEvent(QGraphicsSceneHoverEvent* event) override {
        const QPointF value = chart_->mapToValue(event->pos(), anchor_);
        const int row = int(std::lround(value.x()));
        QString tip;
        double nearest = 12.0; // pixels
        for (int s = 0; s < data_.seriesCount() && row >= 0 && row < data_.rowCount(); ++s) {
            const ChartValue v = data_.values.at(s).value(row);
            if (!v)
                continue;
            const double distance =
                std::abs(chart_->mapToPosition(QPointF(row, *v), anchor_).y() - event->pos().y());
            if (distance > nearest)
                continue;
            nearest = distance;
            const ChartValue count = data_.counts.at(s).value(row);
            tip = QStringLiteral("%1, %2: %3")
                      .arg(data_.seriesLabels.at(s), data_.rowLabels.at(row),
                           chartNumberLocale().toString(count.value_or(*v), 'f',
                                                        QLocale::FloatingPointShortest));
            if (const QString from = data_.pointSources.value(s).value(row); !from.isEmpty())
                tip += QLatin1Char('\n') + from;
        }
        setToolTip(tip);
    }

private:
    QChart* chart_;
    QAbstractSeries* anchor_;
    const ChartData& data_;
    QRectF bounds_;
};

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
    page3D_->setBackgroundRole(QPalette::Base); // white in the skin, the desktop's otherwise
    layout3D_ = new QVBoxLayout(page3D_);
    layout3D_->setContentsMargins(4, 4, 4, 4);
    title3D_ = new QLabel(page3D_);
    title3D_->setObjectName(QStringLiteral("chartTitle"));
    title3D_->setAlignment(Qt::AlignCenter);
    // The value axis's title, upright and in the window's font: the graph's own would stand
    // sideways along the axis, in the small print of the axis labels.
    axisTitle3D_ = new QLabel(page3D_);
    axisTitle3D_->setObjectName(QStringLiteral("chartAxisTitle"));
    axisTitle3D_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    axisTitle3D_->setIndent(8);
    sizeTitles3D();
    layout3D_->addWidget(title3D_);
    layout3D_->addWidget(axisTitle3D_);
    pages_->addWidget(page3D_);
    // One legend under both kinds of chart; many sites scroll within a quarter of its height.
    legendArea_ = new QScrollArea(this);
    legendArea_->setObjectName(QStringLiteral("chartLegendArea"));
    legendArea_->setFrameShape(QFrame::NoFrame);
    legendArea_->setWidgetResizable(true);
    legendArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    legendArea_->setFocusPolicy(Qt::NoFocus); // out of the Tab chain, as the chart is
    legend_ = new ChartLegend;
    legendArea_->setWidget(legend_);
    legendArea_->hide(); // until there is something to name
    layout->addWidget(legendArea_);

    data_.axisTitle = scaleBandFor(0).axisTitle;
    describe();
    redraw();
}

HistoryChart::~HistoryChart() = default;

void HistoryChart::setChartDataLater(std::function<ChartData()> make, int type) {
    make_ = std::move(make);
    data_.type = std::clamp(type, 0, ChartTypeCount - 1);
    pending_ = true;
    if (isVisible())
        drawPending();
}

void HistoryChart::makePending() const {
    if (!make_)
        return;
    ChartData data = std::exchange(const_cast<HistoryChart*>(this)->make_, nullptr)();
    data.type = data_.type;
    const_cast<HistoryChart*>(this)->setChartData(data);
}

void HistoryChart::setChartData(const ChartData& data) {
    make_ = nullptr;
    data_ = data;
    // Every series holds one entry per row, however the content was built.
    if (data_.values.size() != data_.seriesLabels.size())
        data_.values.resize(data_.seriesLabels.size());
    for (qsizetype s = 0; s < data_.values.size(); ++s)
        if (data_.values.at(s).size() != data_.rowLabels.size()) // else no copy of a shared list
            data_.values[s].resize(data_.rowLabels.size());
    if (data_.counts.size() != data_.seriesLabels.size())
        data_.counts.resize(data_.seriesLabels.size());
    for (qsizetype s = 0; s < data_.counts.size(); ++s)
        if (data_.counts.at(s).size() != data_.rowLabels.size())
            data_.counts[s].resize(data_.rowLabels.size());
    colourSlots_ = seriesColourSlots(data_.seriesLabels);
    updateLegend();
    describe();
    redraw();
    Q_EMIT contentChanged();
}

void HistoryChart::setChartType(int type) {
    makePending();
    data_.type = std::clamp(type, 0, ChartTypeCount - 1);
    describe();
    redraw();
}

void HistoryChart::describe() {
    setAccessibleName(data_.title.isEmpty() ? tr("Chart") : data_.title);
    QString description = chartTypeNames().value(data_.type);
    if (!data_.axisTitle.isEmpty())
        description += tr(", value axis: %1").arg(data_.axisTitle);
    description += tr(", %1 series of %2 values. Show as Table (Shift+F10, the Menu "
                      "key) lists the values.")
                       .arg(data_.seriesCount())
                       .arg(data_.rowCount());
    for (const ChartData::SourceChange& change : std::as_const(data_.sourceChanges))
        description += tr(" %1 between %2 and %3: %4.")
                           .arg(data_.seriesLabels.value(change.series),
                                data_.rowLabels.value(change.olderRow),
                                data_.rowLabels.value(change.newerRow), change.text);
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

QList<QPolygonF> HistoryChart::drawnLines(const QString& series) const {
    drawPending();
    QList<QPolygonF> lines;
    if (pages_->currentWidget() == view2D_)
        for (const RunsShape* shape : runShapes_)
            if (shape->name() == series)
                lines += shape->lines();
    return lines;
}

QColor HistoryChart::slotColor(int slot) {
    // The first six are the engines' (Google, Altavista, Yahoo!, Ask, MSN, All The Web).
    static const QColor palette[] = {
        // Each stands out on white (a contrast of 3 at least).
        QColor(0x1f, 0x5f, 0xbf), QColor(0xd9, 0x3a, 0x2b), QColor(0x2e, 0x9e, 0x44),
        QColor(0xc0, 0x7f, 0x00), QColor(0x8e, 0x44, 0xad), QColor(0x17, 0xa2, 0xb8),
        QColor(0x7f, 0x55, 0x39), QColor(0xe0, 0x4f, 0x9f), QColor(0x55, 0x55, 0x55),
        QColor(0x78, 0x96, 0x00),
    };
    constexpr int count = int(std::size(palette));
    return palette[((slot % count) + count) % count];
}

QColor HistoryChart::seriesColor(int series) const {
    makePending();
    const QColor colour = slotColor(colourSlots_.value(series, series));
    // On a dark background each engine's colour is lightened just enough to stand out.
    const QColor background = palette().color(QPalette::Base);
    return isDark(palette()) ? readableOn(colour, background, GraphicContrast) : colour;
}

void HistoryChart::sizeTitles3D() {
    QFont titleFont = font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(font().pointSizeF() * 1.3);
    title3D_->setFont(titleFont);
    QFont axisFont = font();
    axisFont.setBold(true);
    axisTitle3D_->setFont(axisFont);
}

void HistoryChart::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // Another look (the desktop's palette or font, or the skin's again): drawn anew in it.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::FontChange) {
        sizeTitles3D();
        if (legend_)
            updateLegend(); // the series' colours follow the background, its rows the font
        if (surface_ || view2D_)
            redraw();
    }
}

void HistoryChart::fitRowLabels() {
    if (!rowAxis_ || !view2D_)
        return;
    const int rows = data_.rowCount();
    // Upright labels when only every n-th row has one: a slanted label would not fit its space.
    // Labels wider than a row's share of the plot (a large font, long captions, a narrow chart)
    // stand upright too, so that none is cut short.
    int angle = 0;
    if (rows > 8) {
        angle = HistoryChart::labelStride(rows) > 1 ? -90 : -60;
    } else if (rows > 0) {
        const QFontMetrics metrics(rowAxis_->labelsFont());
        int widest = 0;
        for (const QString& label : data_.rowLabels)
            widest = std::max(widest, metrics.horizontalAdvance(label));
        // The plot as wide as the chart less its value axis, while the layout has not run.
        const qreal plot = view2D_->chart()->plotArea().width();
        const qreal room =
            plot > 0 ? plot : width() - metrics.horizontalAdvance(QStringLiteral("0,000,000 ")) * 2;
        if (widest + metrics.averageCharWidth() * 2 > room / rows)
            angle = -90;
    }
    if (rowAxis_->labelsAngle() != angle)
        rowAxis_->setLabelsAngle(angle);
}

void HistoryChart::styleChart(QChart* chart) const {
    // The window's colours and font: white, black and the designed font in the skin, the
    // desktop's under its look (dark colours and large fonts included).
    const QPalette colours = palette();
    const QColor base = colours.color(QPalette::Base);
    const QColor text = readableOn(colours.color(QPalette::Text), base);
    QColor grid = text;
    grid.setAlphaF(0.18f);
    QColor line = text;
    line.setAlphaF(0.55f);
    chart->setBackgroundBrush(base);
    chart->setBackgroundPen(Qt::NoPen);
    chart->setTitleBrush(text);
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsColor(text);
        axis->setTitleBrush(text);
        axis->setGridLineColor(grid);
        axis->setLinePenColor(line);
    }
    QFont title = font();
    title.setBold(true);
    title.setPointSizeF(std::max(font().pointSizeF() * 1.2, 11.0));
    chart->setTitleFont(title);
    for (QAbstractAxis* axis : chart->axes()) {
        axis->setLabelsFont(font());
        axis->setTitleFont(font());
    }
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
    makePending();
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
    runShapes_.clear(); // they go with the old chart
    changeMarks_.clear();
    const ChartKind kind = chartTypeKind(type);
    const int rows = data_.rowCount();
    auto* chart = new QChart();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(data_.title);
    chart->legend()->setVisible(false); // the chart's own legend stands under it (legend_)

    auto* axisX = new QCategoryAxis();
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axisX->setStartValue(-0.5);
    for (int i : labelledRows(data_))
        axisX->append(data_.rowLabels.at(i), i);
    axisX->setRange(-0.5, std::max(rows, 1) - 0.5);
    axisX->setGridLineVisible(false);
    chart->addAxis(axisX, Qt::AlignBottom);

    const ValueScale scale = niceValueScale(data_.smallestValue(), data_.largestValue());
    auto* axisY = new QValueAxis();
    axisY->setTitleText(data_.axisTitle);
    axisY->setRange(scale.min, scale.max);
    axisY->setTickCount(scale.tickCount());
    // Written in the user's locale with its group separators, as the 3D chart writes them.
    chart->setLocale(chartNumberLocale());
    chart->setLocalizeNumbers(true);
    axisY->setLabelFormat(QStringLiteral("%.%1f").arg(scale.decimals));
    chart->addAxis(axisY, Qt::AlignLeft);

    auto attach = [&](QAbstractSeries* series) {
        chart->addSeries(series);
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    };

    if (kind == ChartKind::Bar && rows <= MaxBarSeriesRows) {
        auto* bars = new QBarSeries();
        for (int s = 0; s < data_.seriesCount(); ++s) {
            auto* set = new QBarSet(data_.seriesLabels.at(s));
            set->setColor(seriesColor(s));
            set->setBorderColor(seriesColor(s).darker(130));
            QList<qreal> values;
            values.reserve(rows);
            for (const ChartValue& v : data_.values.at(s))
                values.append(v.value_or(0.0)); // no value: no bar
            set->append(values);
            bars->append(set);
        }
        bars->setBarWidth(BarWidth);
        attach(bars);
    } else {
        // Series in their order, so that the legend lists them so, each drawn by a RunsShape over
        // an empty stand-in series that gives the legend its entry and the shape its axes.
        // Areas are see-through, so that one lying in front of another never hides it.
        for (int s = 0; s < data_.seriesCount(); ++s) {
            const QColor colour = seriesColor(s);
            QPen pen(colour);
            pen.setWidthF(2.0);
            auto* line = new QLineSeries();
            line->setPen(pen);
            QAbstractSeries* anchor = line;
            if (kind == ChartKind::Area) {
                auto* area = new QAreaSeries(line);
                QColor fill = colour;
                fill.setAlpha(90);
                area->setColor(fill);
                area->setBorderColor(colour);
                area->setPen(pen);
                anchor = area;
            }
            anchor->setName(data_.seriesLabels.at(s));
            attach(anchor);
            QList<int> breaks;
            for (const ChartData::SourceChange& change : std::as_const(data_.sourceChanges))
                if (change.series == s) {
                    breaks << change.olderRow;
                    auto* mark = new ChangeMark(chart, anchor, change, colour);
                    mark->setZValue(6);
                    changeMarks_.append(mark);
                }
            auto* shape = new RunsShape(chart, anchor, kind,
                                        runsOf(data_.values.at(s), breaks, data_.joinGaps), colour,
                                        rows <= MaxMarkedRows, s, data_.seriesCount());
            shape->setZValue(5 + s * 0.01); // over the grid and the axes, in series order
            runShapes_.append(shape);
        }
        PointTips* tips = nullptr;
        if (!runShapes_.isEmpty()) {
            tips = new PointTips(chart, chart->series().constFirst(), data_);
            tips->setZValue(7);
        }
        connect(chart, &QChart::plotAreaChanged, chart,
                [shapes = runShapes_, marks = changeMarks_, tips] {
                    for (RunsShape* shape : shapes)
                        shape->place();
                    for (ChangeMark* mark : marks)
                        mark->place();
                    if (tips)
                        tips->place();
                });
    }

    if (!view2D_) {
        view2D_ = new QChartView(pages_);
        view2D_->setObjectName(QStringLiteral("chartView2D"));
        view2D_->setAccessibleName(tr("Chart"));
        view2D_->setFocusPolicy(Qt::ClickFocus); // out of the Tab chain
        view2D_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view2D_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
            Q_EMIT customContextMenuRequested(mapFromGlobal(view2D_->viewport()->mapToGlobal(pos)));
        });
        view2D_->setRenderHint(QPainter::Antialiasing);
        pages_->insertWidget(0, view2D_);
    }
    styleChart(chart);
    QChart* old = view2D_->chart();
    view2D_->setChart(chart);
    delete old;
    rowAxis_ = axisX;
    fitRowLabels();
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
    surface_->activeTheme()->setColorStyle(Q3DTheme::ColorStyleUniform);
    surface_->activeTheme()->setLabelBackgroundEnabled(false);
    surface_->activeTheme()->setLabelBorderEnabled(false);
    surface_->scene()->activeCamera()->setCameraPreset(Q3DCamera::CameraPresetIsometricRightHigh);
    surface_->scene()->activeCamera()->setZoomLevel(90.0f);
    // Rows along, series in depth, whatever the number of either: a long history stays deep
    // enough to tell its series apart.
    surface_->setHorizontalAspectRatio(2.5f);
    surface_->setActiveInputHandler(new CtrlDragRotation(surface_));
    surface_->installEventFilter(this);
    surface_->axisY()->setTitleVisible(false); // axisTitle3D_ shows it
    surfaceContainer_ = QWidget::createWindowContainer(surface_, page3D_);
    surfaceContainer_->setObjectName(QStringLiteral("surface3D"));
    surfaceContainer_->setAccessibleName(tr("3D chart"));
    surfaceContainer_->setFocusPolicy(Qt::ClickFocus);
    surfaceContainer_->setMinimumSize(100, 100);
    surfaceContainer_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout3D_->insertWidget(layout3D_->indexOf(axisTitle3D_) + 1, surfaceContainer_, 1);
    return true;
}

bool HistoryChart::draw3D(int type) {
    if (!ensureSurface())
        return false;
    // The window's colours, as the 2D charts take them: white, black and light grey lines in the
    // skin.
    const QColor base = palette().color(QPalette::Base);
    const QColor text = readableOn(palette().color(QPalette::Text), base);
    Q3DTheme* theme = surface_->activeTheme();
    theme->setBackgroundColor(base);
    theme->setWindowColor(base);
    theme->setLabelTextColor(text);
    theme->setGridLineColor(isDark(palette()) ? base.lighter(220) : QColor(0xc8, 0xc8, 0xc8));
    drawSurface3D(chartTypeKind(type));
    title3D_->setText(data_.title);
    title3D_->setVisible(!data_.title.isEmpty());
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
        if (profile.xs.size() < 2)
            continue; // no value at all
        auto* array = new QSurfaceDataArray();
        array->reserve(profile.depths.size());
        for (qsizetype d = 0; d < profile.depths.size(); ++d) {
            auto* row = new QSurfaceDataRow(profile.xs.size());
            for (qsizetype x = 0; x < profile.xs.size(); ++x) {
                const bool collapsed = profile.collapsed.at(x);
                const float y = profile.onFloor.at(d) && !collapsed ? 0.0f : profile.ys.at(x);
                const float z = float(s) + (collapsed ? 0.0f : profile.depths.at(d));
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
    // The same round ticks and the same labels as the 2D charts.
    const ValueScale scale = niceValueScale(data_.smallestValue(), data_.largestValue());
    auto* valueFormatter = new NumberAxisFormatter();
    valueFormatter->setDecimals(scale.decimals);
    surface_->axisY()->setFormatter(valueFormatter);
    surface_->axisY()->setTitle(data_.axisTitle);
    surface_->axisY()->setSegmentCount(scale.tickCount() - 1);
    surface_->axisY()->setSubSegmentCount(1);
    surface_->axisY()->setRange(float(scale.min), float(scale.max));
    axisTitle3D_->setText(data_.axisTitle);
}

void HistoryChart::updateLegend() {
    QList<QColor> colours;
    QStringList descriptions;
    const int named = std::min(data_.seriesCount(), ChartLegend::MostEntries);
    for (int series = 0; series < named; ++series) {
        colours << seriesColor(series);
        descriptions << data_.seriesDescription(series);
    }
    legend_->setEntries(data_.seriesLabels, descriptions, colours);
    legendArea_->setVisible(legend_->entryCount() > 0);
    fitLegend();
}

void HistoryChart::fitLegend() {
    // As tall as its rows, up to a quarter of the chart's height; it scrolls beyond that.
    const int width = legendArea_->width() - legendArea_->verticalScrollBar()->sizeHint().width();
    const int wanted = legend_->heightForWidth(std::max(width, 1));
    const int height =
        std::min(wanted, std::max(legend_->fontMetrics().height() * 2, this->height() / 4));
    if (legendArea_->maximumHeight() != height)
        legendArea_->setFixedHeight(height);
}

void HistoryChart::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitLegend();
    if (view2D_ && view2D_->chart())
        fitRowLabels();
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
