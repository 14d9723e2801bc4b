// The results table (ListView1) and the small list operations shared with the web-results list.
#pragma once

#include "core/exports/table_export.h"
#include "core/results/sort_keys.h"

#include <QHeaderView>
#include <QTreeWidget>

#include <array>

class QIcon;

namespace tally {

struct EngineSet;

// Report-view columns of the results table (1-based numbers in the comments of the callers).
inline constexpr int ResultsColumnCount = 8;

// The profile icons 1 (low), 2 (medium) and 3 (high); a null icon for any other number.
QIcon profileIcon(int icon);
// The profile in words: "Low profile", "Medium profile", "High profile"; empty for any other.
QString profileText(int icon);
// Shows a row's profile (1 low, 2 medium, 3 high, 0 none): the icon in the first column, its
// words as the cell's tooltip and accessible description; the exports read it back.
void showProfile(QTreeWidgetItem* row, int icon);

// The small warning mark of an engine cell whose request gave no count.
QIcon failureMark();

// Shows an engine cell's outcome in a row (0-based column): the text, and for a failure (a
// non-empty reason) the warning mark with the reason as tooltip and as the cell's accessible
// description. An empty reason clears all three.
void showCellOutcome(QTreeWidgetItem* row, int column, const QString& text, const QString& reason);

// The header of the program's report lists: its sort indicator points up for an ascending sort and
// down for a descending one. (Qt's own header hands the style the opposite arrow.)
class SortArrowHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit SortArrowHeader(QWidget* parent = nullptr);

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override;
};

// A row of the results table. It carries the key of its cell in the sort column while
// sortRows runs, so that the table's own sort orders the rows by it.
class ResultsRow : public QTreeWidgetItem {
public:
    static constexpr int Type = QTreeWidgetItem::UserType + 1;
    explicit ResultsRow(const QStringList& texts = {}) : QTreeWidgetItem(texts, Type) {}

    SortKey sortKey;
    bool operator<(const QTreeWidgetItem& other) const override;
};

class ResultsTable : public QTreeWidget {
    Q_OBJECT
public:
    explicit ResultsTable(QWidget* parent = nullptr);

    // The direction flag of a column (1..8): true after an odd number of header clicks.
    bool columnDirection(int column) const;
    // Inverts the column's direction flag and returns the new value.
    bool flipColumnDirection(int column);

    // Adds rows at the end (cells in column order).
    void appendRows(const QList<QStringList>& rows);
    // Adds a row with the given text at a 1-based position (clamped to the table).
    QTreeWidgetItem* addRow(int position, const QString& text);
    // The row at a 1-based position, or nullptr.
    QTreeWidgetItem* rowAt(int position) const;
    // The selected row, or nullptr.
    QTreeWidgetItem* selectedRow() const;
    // Every row as the exports write it, in the table's order.
    QList<ResultRow> resultRows() const;

    // Sets the column widths for the table's width: the designed widths where they fit, else
    // narrower, so that all eight columns show with their header texts whole; the domain column
    // gives up most. Runs on every resize until the user sizes a column by hand.
    void fitColumns();

    // The six engine columns' captions as the slots are defined, with what a column's counts mean
    // (a graph engine's "linking domains in <release>") or what is wrong with its definition as
    // the caption's tooltip.
    void setEngineCaptions(const EngineSet& engines);

    // Whether the table is in sorted mode (left on by a sort, turned off by a scan's start).
    bool isSorted() const { return sorted_; }
    void setSorted(bool sorted, int column = 0, Qt::SortOrder order = Qt::AscendingOrder);

Q_SIGNALS:
    // A header click on a 1-based column.
    void columnClicked(int column);
    // Right-button release over a row: the context menu belongs at globalPos.
    void rowContextMenuRequested(QTreeWidgetItem* row, const QPoint& globalPos);
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

    std::array<bool, ResultsColumnCount> directions_{};
    bool sorted_ = false;
    bool fitting_ = false;
    bool columnsSizedByUser_ = false;
};

// The typed sort of a report list by a 1-based column. The row order changes; every cell's text,
// icon and data stay as they were, and so does the selection. The list is left in sorted mode.
void sortRows(QTreeWidget* list, int column, SortKind kind, bool ascending);

// The web-results list's header click: a text sort by the 1-based column with the list's one
// sort order toggled (ascending at first, so the first click sorts descending). True on success;
// on failure, with showErrors, a message box says why.
bool toggleTextSort(QTreeWidget* list, int column, bool showErrors);

// Puts a row just appended to a list in sorted mode (toggleTextSort) at its sorted place.
void placeSortedRow(QTreeWidget* list, QTreeWidgetItem* row);

} // namespace tally
