// The Chart View frame (Frame3): Load Data, Print, the engine and chart-type lists and the chart.
#pragma once

#include <QGroupBox>
#include <QPointer>

class QAbstractItemModel;
class QComboBox;
class QLabel;
class QPushButton;

namespace tally {

class HistoryChart;

class ChartFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit ChartFrame(QWidget* parent = nullptr);

    // Selects the chart type stored under cmbChart2 (start-up).
    void restoreChartType();

    // Where doChart2 reads the current results: column 0 the URL, columns 2 to 7 the engine
    // counts, their header captions the row labels. Without one, the window's "ListView1" is used.
    void setResultsModel(QAbstractItemModel* model);

    HistoryChart* chart() const { return MSChart1_; }
    // The saved search last charted by doChart (full path).
    QString currentSavedSearchPath() const { return CurrentSavedSearchPath_; }
    // Whether the message about needing two saved searches was shown in this run.
    bool twoSearchesWarned() const { return TwoSearchesWarned_; }

public Q_SLOTS:
    // Charts the saved search appState().CurrentSavedSearch.
    void doChart();
    // Redraws the chart.
    void doChart2();
    // Shows the load dialog (LoadSearchDialog) modally, owned by this frame's window.
    void showLoadDialog();
    // Prints the chart (Command14).
    void printChart();

    // Draws the chosen engine's history, or all engines' (cmbChart1).
    void cmbChart1_Click();
    // Applies and stores the chosen chart type (cmbChart2).
    void cmbChart2_Click();
    // The chart never keeps the keyboard focus: it goes on to cmdFocus.
    void MSChart1_GotFocus();
    void Command7_Click();
    void Command14_Click();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void warnIfOneDate(qsizetype lines);
    QAbstractItemModel* resultsModel() const;
    void placeFocusSink();

    QPushButton* Command7_ = nullptr;
    QPushButton* Command14_ = nullptr;
    QComboBox* cmbChart1_ = nullptr;
    QComboBox* cmbChart2_ = nullptr;
    QLabel* lblChartSearch_ = nullptr;
    QLabel* lblChartType_ = nullptr;
    HistoryChart* MSChart1_ = nullptr;
    QPushButton* cmdFocus_ = nullptr;
    QLabel* Label1_ = nullptr;
    QPointer<QAbstractItemModel> results_;

    QString CurrentSavedSearchPath_;
    QString title_;
    bool TwoSearchesWarned_ = false;
};

} // namespace tally
