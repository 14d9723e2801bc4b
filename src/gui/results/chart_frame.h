// The Chart View frame (object name "Frame3"): Load Data, Print, the engine and chart-type lists
// and the history chart, with its context menu ("mnuChart": "Show as Table") on a right click and
// on Shift+F10 or the Menu key anywhere in the frame.
#pragma once

#include "core/results/provenance.h"
#include "core/results/results_model.h"

#include <QGroupBox>
#include <QPointer>
#include <QSet>

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

namespace tally {

class ChartTableDialog;
class HistoryChart;

class ChartFrame : public QGroupBox {
    Q_OBJECT
public:
    explicit ChartFrame(QWidget* parent = nullptr);

    // Selects the stored chart type (start-up).
    void restoreChartType();

    // Where chartCurrentResults reads the current results (not owned).
    void setResultsModel(ResultsModel* model);

    HistoryChart* chart() const { return chart_; }
    // The saved search last charted (full path).
    QString currentSavedSearchPath() const { return savedSearchPath_; }
    // Whether the message about needing two saved searches was shown in this run.
    bool twoSearchesWarned() const { return twoSearchesWarned_; }
    // The chart's values as a table, while that window is open.
    ChartTableDialog* chartTable() const;

public Q_SLOTS:
    // Charts the saved search stored under this file name in the saved-search folder, the first
    // engine first.
    void chartSavedSearch(const QString& fileName);
    // One source of several saved searches side by side (file names in the saved-search folder),
    // its engine list the sections any of them holds.
    void chartSites(const QStringList& fileNames);
    // Charts the current results, in the table's order or in the order given; byTotal: in
    // ascending order of their totals (equal totals in the order given), put so when the chart
    // is made.
    void chartCurrentResults();
    void chartResults(const ResultRecords& rows, bool byTotal = false);
    // Shows the load dialog modally; the chosen saved search is charted.
    void loadSavedSearch();
    // Prints the chart.
    void printChart();
    // "Show as Table": the values the chart draws, in a table.
    void showChartTable();
    // "Export History...": the charted saved search's history as a CSV file.
    void exportHistory();

private:
    // Draws the chosen engine's history, or every engine's.
    void engineChosen();
    // Applies and stores the chosen chart type.
    void chartTypeChosen();
    // The chart never keeps the keyboard focus: it goes on to the focus sink.
    void takeFocusFromChart();
    void warnIfOneDate(qsizetype lines);
    void placeFocusSink();
    void showChartMenu(const QPoint& globalPos);

    QPushButton* loadButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QComboBox* engineList_ = nullptr;
    QComboBox* chartTypeList_ = nullptr;
    QLabel* engineLabel_ = nullptr;
    QLabel* chartTypeLabel_ = nullptr;
    HistoryChart* chart_ = nullptr;
    QWidget* focusSink_ = nullptr;
    QMenu* chartMenu_ = nullptr;
    QPointer<ChartTableDialog> table_;
    // The current results' cells without a count, by series and row (empty for a history).
    QList<QList<bool>> withoutCount_;
    QLabel* hintLabel_ = nullptr;
    QPointer<ResultsModel> results_;

    QString savedSearchPath_;
    Provenance sources_;          // of the saved search on show
    QStringList sitePaths_;       // the saved searches side by side, when they are on show
    QSet<QString> namedProblems_; // saved searches whose provenance could not be read
    QString title_;
    bool twoSearchesWarned_ = false;
    bool quietStore_ = false; // the type read at start-up is stored back without a word

protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace tally
