// The chart's legend, under the chart in 2D and 3D alike: one entry per series, a square in the
// series' colour and its label. A label too long for its room is cut in the middle (a site's host
// keeps its start and its end); the full description (a site's whole URL) is each entry's tooltip
// and accessible name. Entries flow in rows as wide as the legend.
#pragma once

#include <QColor>
#include <QList>
#include <QStringList>
#include <QWidget>

namespace tally {

class ChartLegend : public QWidget {
    Q_OBJECT
public:
    // More series than this are summed up in one last entry ("and 12 more").
    static constexpr int MostEntries = 100;

    explicit ChartLegend(QWidget* parent = nullptr);

    // labels, one per series; descriptions (empty: the labels) and colours of the entries shown.
    void setEntries(const QStringList& labels, const QStringList& descriptions,
                    const QList<QColor>& colours);

    int entryCount() const { return int(entries_.size()); }
    // An entry's widget, its text as shown (cut where needed) and its colour.
    QWidget* entry(int i) const;
    QString shownText(int i) const;
    QColor colour(int i) const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Places the entries in rows for a width; returns the height they take.
    int place(int width, bool move) const;

    QList<QWidget*> entries_;
};

} // namespace tally
