// The Chart View frame (Frame3): Load Data, Print, the engine and chart-type lists and the chart.
#pragma once

#include <QGroupBox>

namespace tally {

class ChartFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit ChartFrame(QWidget* parent = nullptr);

    // Selects the chart type stored under cmbChart2 (start-up).
    void restoreChartType();

public Q_SLOTS:
    // Charts the saved search appState().CurrentSavedSearch.
    void doChart();
    // Redraws the chart.
    void doChart2();
    // Shows the load dialog (Form4) modally, owned by this frame's window.
    void showLoadDialog();
    // Prints the chart (Command14).
    void printChart();
};

} // namespace tally
