// The results table (ListView1): a tree view over the results model, and the header both report
// lists use.
#pragma once

#include "core/results/results_model.h"
#include "core/results/sort_keys.h"

#include <QHeaderView>
#include <QTreeView>

#include <array>
#include <memory>

class QIcon;

namespace tally {

// Report-view columns of the results table (1-based numbers in the comments of the callers).
inline constexpr int ResultsColumnCount = ResultsModel::ColumnCount;

// The profile icons 1 (low), 2 (medium) and 3 (high); a null icon for any other number.
QIcon profileIcon(int icon);

// The small warning mark of an engine cell whose request gave no count.
QIcon failureMark();

// The results model as the window shows it: the core model's texts, with the profile icon in the
// first column of a row that has a profile and the warning mark in each failed engine cell.
class ResultsItemModel : public ResultsModel {
    Q_OBJECT
public:
    using ResultsModel::ResultsModel;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
};

// The header of the program's report lists: its sort indicator points up for an ascending sort and
// down for a descending one. (Qt's own header hands the style the opposite arrow.)
class SortArrowHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit SortArrowHeader(QWidget* parent = nullptr);

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
};

class ResultsTable : public QTreeView {
    Q_OBJECT
public:
    explicit ResultsTable(QWidget* parent = nullptr);

    // The model the table shows (not owned). Its columns are fitted whenever the model publishes.
    void setResultsModel(ResultsModel* model);
    ResultsModel* resultsModel() const { return results_; }

    // The direction flag of a column (1..8): true after an odd number of header clicks.
    bool columnDirection(int column) const;
    // Inverts the column's direction flag and returns the new value.
    bool flipColumnDirection(int column);

    // The selected row (0-based), or -1.
    int selectedRow() const;
    // The record of the selected row, or nullptr.
    std::shared_ptr<const ResultRecord> selectedRecord() const;
    // Makes a row (0-based) the current and selected one.
    void selectRow(int row);

    // The typed sort by a 1-based column: the hourglass over the table while the model reorders
    // its rows, the selection and current row kept; the table is left in sorted mode.
    void sortRows(int column, SortKind kind, bool ascending);

    // Sets the column widths for the table's width: a number column is as wide as its widest
    // value and its header (so that a count or total is never cut), and the domain column takes
    // what is left (at least its header), its URLs cut in the middle where they do not fit. Runs
    // as results arrive and on every resize; once the user has sized a column by hand, only a
    // number column too narrow for its values still grows.
    void fitColumns();
    // Whether the columns of switched-off sources are hidden (View › Hide switched-off columns).
    void setHideOffColumns(bool hide);

    // Whether the table is in sorted mode (left on by a sort, turned off by a scan's start).
    bool isSorted() const { return sorted_; }
    void setSorted(bool sorted, int column = 0, Qt::SortOrder order = Qt::AscendingOrder);

Q_SIGNALS:
    // A header click on a 1-based column.
    void columnClicked(int column);
    // Right-button release over a row (0-based): the context menu belongs at globalPos.
    void rowContextMenuRequested(int row, const QPoint& globalPos);
    // A double click anywhere on the table.
    void doubleClicked();
    // Enter or Return on the table, the keyboard's double click.
    void enterPressed();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    // Shift+F10, the Menu key: the context menu of the current row, which becomes the selected one.
    void openContextMenuFromKeyboard();
    // The width a column needs for its widest text (and a failure mark, in an engine column).
    int contentWidth(int column) const;

    ResultsModel* results_ = nullptr;
    std::array<bool, ResultsColumnCount> directions_{};
    bool sorted_ = false;
    bool fitting_ = false;
    bool columnsSizedByUser_ = false;
    bool hideOff_ = false;
};

} // namespace tally
