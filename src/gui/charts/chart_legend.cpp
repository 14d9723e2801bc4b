#include "gui/charts/chart_legend.h"

#include "gui/kit/accessibility.h"

#include <QPainter>

#include <algorithm>

namespace tally {

namespace {

constexpr int Swatch = 10;  // the colour square
constexpr int Gap = 4;      // between the square and the text
constexpr int Spacing = 14; // between two entries
constexpr int Margin = 2;

// One entry: the square and the label, cut in the middle to the width it is given.
class LegendEntry : public QWidget {
public:
    LegendEntry(const QString& label, const QString& description, const QColor& colour,
                QWidget* parent)
        : QWidget(parent), label_(label), colour_(colour) {
        setObjectName(QStringLiteral("chartLegendEntry"));
        accessibility::setRole(this, QAccessible::ListItem);
        setAccessibleName(description);
        setToolTip(description);
    }
    // The width it needs to show its label whole.
    int naturalWidth() const { return Swatch + Gap + fontMetrics().horizontalAdvance(label_) + 1; }
    QString shownText() const {
        return fontMetrics().elidedText(label_, Qt::ElideMiddle,
                                        std::max(0, width() - Swatch - Gap));
    }
    QColor colour() const { return colour_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const int top = (height() - Swatch) / 2;
        painter.fillRect(QRect(0, top, Swatch, Swatch), colour_);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(QRect(Swatch + Gap, 0, width() - Swatch - Gap, height()),
                         Qt::AlignLeft | Qt::AlignVCenter, shownText());
    }

private:
    QString label_;
    QColor colour_;
};

} // namespace

ChartLegend::ChartLegend(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("chartLegend"));
    accessibility::setRole(this, QAccessible::List);
    setAccessibleName(tr("Legend"));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    // On the chart's own background: white in the skin, the desktop's (dark ones too) otherwise.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
}

void ChartLegend::setEntries(const QStringList& labels, const QStringList& descriptions,
                             const QList<QColor>& colours) {
    qDeleteAll(entries_);
    entries_.clear();
    const int shown = int(std::min<qsizetype>(labels.size(), MostEntries));
    for (int i = 0; i < shown; ++i) {
        const QString description =
            descriptions.value(i).isEmpty() ? labels.at(i) : descriptions.at(i);
        auto* entry = new LegendEntry(labels.at(i), description, colours.value(i), this);
        entry->show();
        entries_.append(entry);
    }
    if (labels.size() > shown) {
        const QString more =
            tr("and %1 more (Show as Table lists them all)").arg(labels.size() - shown);
        auto* entry = new LegendEntry(more, more, Qt::transparent, this);
        entry->show();
        entries_.append(entry);
    }
    setVisible(!entries_.isEmpty());
    updateGeometry();
    place(width(), true);
}

QWidget* ChartLegend::entry(int i) const {
    return entries_.value(i);
}

QString ChartLegend::shownText(int i) const {
    const auto* e = static_cast<const LegendEntry*>(entries_.value(i));
    return e ? e->shownText() : QString();
}

QColor ChartLegend::colour(int i) const {
    const auto* e = static_cast<const LegendEntry*>(entries_.value(i));
    return e ? e->colour() : QColor();
}

int ChartLegend::place(int width, bool move) const {
    const int rowHeight = std::max(Swatch, fontMetrics().height()) + 2;
    const int room = std::max(1, width - 2 * Margin);
    // An entry takes at most a third of the row (all of it when the legend is narrow), so that a
    // long host never crowds the others out.
    const int widest = room < 240 ? room : room / 3;
    int x = 0;
    int y = Margin;
    for (QWidget* w : entries_) {
        const int natural = static_cast<const LegendEntry*>(w)->naturalWidth();
        const int entryWidth = std::min(natural, widest);
        if (x > 0 && x + entryWidth > room) {
            x = 0;
            y += rowHeight;
        }
        if (move)
            w->setGeometry(Margin + x, y, entryWidth, rowHeight);
        x += entryWidth + Spacing;
    }
    return entries_.isEmpty() ? 0 : y + rowHeight + Margin;
}

int ChartLegend::heightForWidth(int width) const {
    return place(width, false);
}

QSize ChartLegend::sizeHint() const {
    int natural = 0;
    for (QWidget* w : entries_)
        natural += static_cast<const LegendEntry*>(w)->naturalWidth() + Spacing;
    const int width = std::min(natural, 600);
    return QSize(width, heightForWidth(std::max(width, 1)));
}

void ChartLegend::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place(width(), true);
}

} // namespace tally
