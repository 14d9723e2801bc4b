// The history chart (MSChart1): draws one ChartData in any of the eight chart types. The 2D types
// are Qt Charts (bars as bar sets; lines, steps and areas drawn run by run by one item per series
// over a stand-in series that gives the legend its entry); the 3D types are one Data Visualization
// Q3DSurface, created when first needed, that shapes each series as a row of blocks (bars), a
// staircase (steps), a ribbon (lines) or a slab standing on the floor (areas). Q3DSurface colours
// every series on its own, which Q3DBars does not do for series laid out in depth. The 3D chart has
// a title and a value-axis title of its own and turns when dragged with the Control key held. One
// legend (ChartLegend) stands under both: a site by its host, cut in the middle where it must be,
// its whole URL as the entry's tooltip and accessible name.
//
// Every engine has one colour in every type and every saved search, and the legend lists the
// series in their order. A row without a value (an engine not saved on that date) shows no bar, and
// lines, steps and areas break there rather than pass through a value nobody saved.
//
// For assistive technology the chart is a chart named by its title, described by its type, its
// value axis and its size; its values are read through "Show as Table". A right click on the chart
// asks for the context menu (customContextMenuRequested), in 2D and 3D alike.
#pragma once

#include "core/results/chart_data.h"

#include <QImage>
#include <QPolygonF>
#include <QWidget>

#include <functional>

class QCategoryAxis;
class QChart;
class QChartView;
class QLabel;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;
class QWindow;

class Q3DSurface;
class QAbstract3DGraph;

namespace tally {

class ChartLegend;
class RunsShape;
class ChangeMark;

class HistoryChart : public QWidget {
    Q_OBJECT
public:
    explicit HistoryChart(QWidget* parent = nullptr);
    ~HistoryChart() override;

    // Draws new content in the content's own type.
    void setChartData(const ChartData& data);
    // The same for content that is made only when the chart is shown or its content looked at
    // (chartData(), legend(), seriesColor()), in the type given: a scan's end over a long list
    // does not pay for a chart nobody sees.
    void setChartDataLater(std::function<ChartData()> make, int type);
    const ChartData& chartData() const {
        makePending();
        return data_;
    }

    // Redraws the current content in another type (0..7).
    void setChartType(int type);
    int chartType() const { return data_.type; }

    // The type actually on screen: a 3D type falls back to its 2D twin where OpenGL is missing.
    int shownType() const {
        drawPending();
        return shownType_;
    }

    // The chart drawn into an image of its on-screen size, whatever lies over it on the screen.
    QImage renderImage();

    // The widgets in use, for tests and printing; the 3D graph is null until first needed.
    QChartView* chartView() const {
        drawPending();
        return view2D_;
    }
    Q3DSurface* surface3D() const {
        drawPending();
        return surface_;
    }
    QWidget* graphContainer() const;
    // The legend under the chart, in 2D and 3D alike.
    ChartLegend* legend() const {
        makePending();
        return legend_;
    }
    QAbstract3DGraph* activeGraph() const;
    // Whether the window is the 3D graph's own.
    bool ownsWindow(const QWindow* window) const;

    // The colour of a colour slot (seriesColourSlots), and the colour of series s of the content
    // on show: the same in every type and in the legend.
    static QColor slotColor(int slot);
    QColor seriesColor(int series) const;

    // What a 2D line, step or area chart draws for a series: one line per run of values, in
    // values (x the row, y the value); empty for other types.
    QList<QPolygonF> drawnLines(const QString& series) const;

    // Every n-th row label is shown along the row axis, so that at most `most` (a default when 0)
    // labels show for `rows` rows.
    static int labelStride(int rows, int most = 0);

Q_SIGNALS:
    // New content was set (setChartData).
    void contentChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // New content is drawn at once while the chart is on screen; while it is hidden (another tab
    // is showing) the drawing waits until it is shown or looked at, so that a scan's completion
    // does not pay for a chart nobody sees.
    void redraw();
    void drawNow();
    void drawPending() const;
    void makePending() const;
    void draw2D(int type);
    bool draw3D(int type);
    bool ensureSurface();
    void drawSurface3D(ChartKind kind);
    void updateLegend();
    void fitLegend();
    void describe();
    // The chart in the window's colours (and, under the desktop's look, its fonts).
    void styleChart(QChart* chart) const;
    // The row labels slanted when they do not fit their rows' width.
    void fitRowLabels();
    void sizeTitles3D();

    ChartData data_;
    QList<int> colourSlots_;
    QList<RunsShape*> runShapes_;    // of the 2D chart on show, owned by it
    QList<ChangeMark*> changeMarks_; // the same chart's marks of a source change
    int shownType_ = DefaultChartType;
    QStackedWidget* pages_ = nullptr;
    QChartView* view2D_ = nullptr;
    QCategoryAxis* rowAxis_ = nullptr; // of the 2D chart on show
    QWidget* page3D_ = nullptr;
    QLabel* title3D_ = nullptr;
    QLabel* axisTitle3D_ = nullptr;
    ChartLegend* legend_ = nullptr;
    QScrollArea* legendArea_ = nullptr;
    QVBoxLayout* layout3D_ = nullptr;
    Q3DSurface* surface_ = nullptr;
    QWidget* surfaceContainer_ = nullptr;
    bool glFailed_ = false;
    bool pending_ = false;
    std::function<ChartData()> make_; // content to be made (setChartDataLater)
};

} // namespace tally
