#include "gui/results/results_table.h"

#include "gui/kit/accessibility.h"
#include "gui/kit/icons.h"
#include "gui/kit/twips.h"

#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleOption>

#include <algorithm>

namespace tally {

namespace {

// The designed width of the domain column in twips, the least it starts with before any result.
constexpr int DesignedDomainWidth = 2750;

} // namespace

QIcon profileIcon(int icon) {
    if (icon < 1 || icon > 3)
        return QIcon();
    static const QIcon icons[] = {tally::icon(IconKind::ProfileLow),
                                  tally::icon(IconKind::ProfileMedium),
                                  tally::icon(IconKind::ProfileHigh)};
    return icons[icon - 1];
}

QIcon failureMark() {
    static const QIcon mark = icon(IconKind::FailureMark);
    return mark;
}

QVariant ResultsItemModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DecorationRole)
        return ResultsModel::data(index, role);
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    const ResultRecord& r = record(index.row());
    if (index.column() == UrlColumn) {
        const QIcon icon = profileIcon(r.profile());
        return icon.isNull() ? QVariant() : QVariant(icon);
    }
    const int slot = slotOfColumn(index.column());
    return slot >= 0 && r.isFailure(slot) ? QVariant(failureMark()) : QVariant();
}

SortArrowHeader::SortArrowHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    // As a tree view's own header is.
    setSectionsMovable(true);
    setStretchLastSection(true);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void SortArrowHeader::initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const {
    QHeaderView::initStyleOptionForIndex(option, logicalIndex);
    if (option->sortIndicator == QStyleOptionHeader::SortUp)
        option->sortIndicator = QStyleOptionHeader::SortDown;
    else if (option->sortIndicator == QStyleOptionHeader::SortDown)
        option->sortIndicator = QStyleOptionHeader::SortUp;
}

ResultsTable::ResultsTable(QWidget* parent) : QTreeView(parent) {
    setObjectName(QStringLiteral("ListView1"));
    setAccessibleName(tr("Results"));
    setHeader(new SortArrowHeader(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIconSize(QSize(16, 16));
    // A URL too long for its column keeps its start and its end.
    setTextElideMode(Qt::ElideMiddle);
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { Q_EMIT columnClicked(logical + 1); });
    accessibility::onContextMenuKeys(this, Qt::WidgetShortcut,
                                     [this] { openContextMenuFromKeyboard(); });
    connect(header(), &QHeaderView::sectionResized, this, [this] {
        if (!fitting_)
            columnsSizedByUser_ = true;
    });
}

void ResultsTable::setResultsModel(ResultsModel* model) {
    if (results_)
        disconnect(results_, nullptr, this, nullptr);
    results_ = model;
    fitting_ = true; // the header's new sections are not the user's sizes
    setModel(model);
    if (model)
        header()->resizeSection(0, px(DesignedDomainWidth));
    fitting_ = false;
    if (!model)
        return;
    connect(model, &ResultsModel::published, this, &ResultsTable::fitColumns);
    connect(model, &QAbstractItemModel::modelReset, this, &ResultsTable::fitColumns);
    connect(model, &QAbstractItemModel::headerDataChanged, this, &ResultsTable::fitColumns);
    fitColumns();
}

int ResultsTable::contentWidth(int column) const {
    if (!results_)
        return 0;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, &option, this) + 1;
    int width = fontMetrics().horizontalAdvance(results_->widestText(column));
    if (ResultsModel::slotOfColumn(column) >= 0)
        width = std::max(width, iconSize().width()); // a failed cell shows its mark alone
    // The delegate's margins on both sides, and a pixel for rounding.
    return width + 2 * margin + 2;
}

void ResultsTable::fitColumns() {
    if (!results_ || fitting_)
        return;
    const int columns = ResultsColumnCount;
    // At least a header's text and the room of a sort arrow, which every column may come to show.
    std::array<int, ResultsColumnCount> least{};
    const bool arrowShown = header()->isSortIndicatorShown();
    fitting_ = true;
    header()->setSortIndicatorShown(true);
    for (int c = 0; c < columns; ++c)
        least[c] = header()->sectionSizeHint(c);
    header()->setSortIndicatorShown(arrowShown);
    fitting_ = false;

    std::array<int, ResultsColumnCount> widths{};
    int numbers = 0;
    for (int c = 1; c < columns; ++c) {
        const int slot = ResultsModel::slotOfColumn(c);
        const bool hidden =
            hideOff_ && slot >= 0 && results_->headerEngines()->slot[slot].switchedOff;
        if (isColumnHidden(c) != hidden) {
            fitting_ = true;
            setColumnHidden(c, hidden);
            fitting_ = false;
        }
        if (hidden)
            continue;
        widths[c] = std::max(least[c], contentWidth(c));
        if (columnsSizedByUser_)
            widths[c] = std::max(widths[c], columnWidth(c)); // only ever grows then
        numbers += widths[c];
    }
    const int available = viewport()->width();
    widths[0] = columnsSizedByUser_ ? columnWidth(0) : std::max(least[0], available - numbers);
    fitting_ = true;
    for (int c = 0; c < columns; ++c)
        if (!isColumnHidden(c) && columnWidth(c) != widths[c])
            setColumnWidth(c, widths[c]);
    fitting_ = false;
}

void ResultsTable::setHideOffColumns(bool hide) {
    hideOff_ = hide;
    fitColumns();
}

bool ResultsTable::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)
        fitColumns();
    return QTreeView::viewportEvent(event);
}

bool ResultsTable::columnDirection(int column) const {
    return column >= 1 && column <= ResultsColumnCount && directions_[column - 1];
}

bool ResultsTable::flipColumnDirection(int column) {
    if (column < 1 || column > ResultsColumnCount)
        return false;
    directions_[column - 1] = !directions_[column - 1];
    return directions_[column - 1];
}

int ResultsTable::selectedRow() const {
    if (!selectionModel())
        return -1;
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}

std::shared_ptr<const ResultRecord> ResultsTable::selectedRecord() const {
    return results_ ? results_->recordAt(selectedRow()) : nullptr;
}

void ResultsTable::selectRow(int row) {
    if (!results_ || row < 0 || row >= results_->rowCount())
        return;
    setCurrentIndex(results_->index(row, 0));
}

void ResultsTable::sortRows(int column, SortKind kind, bool ascending) {
    if (!results_ || column < 1 || column > ResultsColumnCount)
        return;
    // The hourglass over the table while its rows change places.
    const bool hadCursor = testAttribute(Qt::WA_SetCursor);
    const QCursor oldCursor = cursor();
    setCursor(Qt::WaitCursor);
    results_->sortRows(column - 1, kind, ascending);
    setSorted(true, column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    if (hadCursor)
        setCursor(oldCursor);
    else
        unsetCursor();
}

void ResultsTable::setSorted(bool sorted, int column, Qt::SortOrder order) {
    sorted_ = sorted;
    header()->setSortIndicatorShown(sorted);
    if (sorted)
        header()->setSortIndicator(column - 1, order);
}

void ResultsTable::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QTreeView::mousePressEvent(event);
        return;
    }
    // Right press: select the row under the mouse, or clear the selection.
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid())
        selectRow(at.row());
    else if (selectionModel() && selectionModel()->hasSelection())
        clearSelection();
    event->accept();
}

void ResultsTable::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QTreeView::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid())
        Q_EMIT rowContextMenuRequested(at.row(), event->globalPosition().toPoint());
}

void ResultsTable::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        Q_EMIT doubleClicked();
}

void ResultsTable::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        state() != EditingState) {
        event->accept();
        Q_EMIT enterPressed();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ResultsTable::openContextMenuFromKeyboard() {
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    selectRow(current.row()); // selected as a right press selects the row under the mouse
    Q_EMIT rowContextMenuRequested(current.row(), accessibility::keyboardMenuPosition(this));
}

} // namespace tally
