#include "gui/charts/chart_table_dialog.h"

#include "gui/kit/pictures.h"
#include "gui/kit/skin.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

namespace tally {

ChartTableDialog::ChartTableDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmChartTable"));
    setWindowTitle(tr("Chart Values"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setWindowIcon(pictures::programIcon());

    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("lblChartTable"));
    caption_->setTextFormat(Qt::PlainText);
    caption_->setWordWrap(true);

    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("tblChartValues"));
    table_->setAccessibleName(tr("Chart values"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setTabKeyNavigation(false); // Tab goes on to Close
    table_->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    caption_->setBuddy(table_);

    auto* close = new QPushButton(tr("Close"), this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(caption_);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);

    skin::skinWindow(this);
}

QString ChartTableDialog::valueText(double value) {
    return QLocale().toString(value, 'f', QLocale::FloatingPointShortest);
}

QString ChartTableDialog::noCountText() {
    return tr("no count");
}

void ChartTableDialog::setChartData(const ChartData& data, const QList<QList<bool>>& withoutCount) {
    // The table lists the counts as they were counted, not as the value axis scales them: its
    // caption names the unscaled quantity ("Linking Sites", never "Linking Sites x10").
    bool anyCount = false;
    for (const QList<ChartValue>& series : data.counts)
        for (const ChartValue& count : series)
            anyCount = anyCount || count.has_value();
    const QString quantity = anyCount ? scaleBandFor(0).axisTitle : data.axisTitle;
    QStringList caption;
    if (!data.title.isEmpty())
        caption << data.title;
    if (!quantity.isEmpty())
        caption << quantity;
    caption_->setText(caption.join(QStringLiteral(": ")));
    table_->setAccessibleDescription(caption_->text());

    table_->clear();
    // Where the points' sources are known, each series has a column of them beside its values.
    const bool withSources = !data.pointSources.isEmpty();
    const int per = withSources ? 2 : 1;
    table_->setColumnCount(data.seriesCount() * per);
    table_->setRowCount(data.rowCount());
    // A series by its full name: a site's URL rather than the host the legend shows.
    QStringList columns;
    for (int s = 0; s < data.seriesCount(); ++s) {
        columns << data.seriesDescription(s);
        if (withSources)
            columns << tr("%1 source").arg(data.seriesDescription(s));
    }
    table_->setHorizontalHeaderLabels(columns);
    // A row without a label of its own keeps the table's row number.
    for (int r = 0; r < data.rowCount(); ++r)
        if (!data.rowLabels.at(r).isEmpty())
            table_->setVerticalHeaderItem(r, new QTableWidgetItem(data.rowLabels.at(r)));
    for (int s = 0; s < data.seriesCount(); ++s) {
        const QList<ChartValue>& values = data.values.value(s);
        for (int r = 0; r < data.rowCount(); ++r) {
            const bool noCount = withoutCount.value(s).value(r, false);
            const ChartValue value = values.value(r);
            const ChartValue count = data.counts.value(s).value(r);
            QString why;
            QString text;
            if (noCount) {
                text = noCountText();
                why = tr("The request gave no count; the chart draws nothing here.");
            } else if (count) {
                // As the results table writes a count: every digit, no separators; a score with
                // its decimals.
                text = QString::number(*count, 'f', QLocale::FloatingPointShortest);
            } else if (!value) {
                why = tr("Not saved on this date; the chart draws nothing here.");
            } else {
                text = valueText(*value);
            }
            auto* cell = new QTableWidgetItem(text);
            cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (!why.isEmpty()) {
                cell->setToolTip(why);
                cell->setData(Qt::AccessibleDescriptionRole, why);
            }
            table_->setItem(r, s * per, cell);
            if (!withSources)
                continue;
            QString from = value ? data.pointSources.value(s).value(r) : QString();
            for (const ChartData::SourceChange& change : data.sourceChanges)
                if (change.series == s && change.newerRow == r)
                    from += QStringLiteral(" (") + change.text + QLatin1Char(')');
            table_->setItem(r, s * per + 1, new QTableWidgetItem(from));
        }
    }
    table_->resizeColumnsToContents();
    if (table_->rowCount() > 0 && table_->columnCount() > 0)
        table_->setCurrentCell(0, 0);

    // As large as the table needs, within most of the screen; once shown, the user's size stays.
    if (isVisible())
        return;
    const int width = table_->verticalHeader()->sizeHint().width() +
                      table_->horizontalHeader()->length() + table_->frameWidth() * 2 + 40;
    const int height = table_->horizontalHeader()->sizeHint().height() +
                       table_->verticalHeader()->length() + table_->frameWidth() * 2 + 120;
    QSize wanted(qMax(width, 320), qMax(height, 200));
    if (const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 4 / 5);
    resize(wanted);
}

} // namespace tally
