// "Show as Table" of the chart (object name "frmChartTable"): the values the chart draws, one line
// per row of the chart (a date, or an engine for the current results) and one column per series
// (an engine, or a URL), under the chart's title and value-axis title. A plain table that a screen
// reader reads cell by cell with its headers.
#pragma once

#include "core/results/chart_data.h"

#include <QDialog>

class QLabel;
class QTableWidget;

namespace tally {

class ChartTableDialog : public QDialog {
    Q_OBJECT
public:
    explicit ChartTableDialog(QWidget* owner = nullptr);

    // Shows these values (again, when the chart has changed while the table was open).
    // withoutCount[s][r] marks a value the chart draws as 0 because its cell held no count (a
    // failed request): the table says so instead of showing a 0 as if it were a count.
    void setChartData(const ChartData& data, const QList<QList<bool>>& withoutCount = {});

    QTableWidget* table() const { return table_; }

    // A value as the table shows it: the user's number format, without needless decimals.
    static QString valueText(double value);
    // What stands in a cell that held no count.
    static QString noCountText();

private:
    QLabel* caption_ = nullptr;
    QTableWidget* table_ = nullptr;
};

} // namespace tally
