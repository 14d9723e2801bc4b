#include "gui/results/results_table.h"

#include "core/scan/engine_definitions.h"
#include "core/scan/engine_table.h"

#include "gui/kit/accessibility.h"
#include "gui/kit/icons.h"
#include "gui/kit/prompts.h"
#include "gui/kit/twips.h"

#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>

namespace tally {

namespace {

// The designed column widths in twips: Domain Name, Total and the six engines.
constexpr int DesignedWidths[ResultsColumnCount] = {2750, 950, 950, 950, 950, 950, 950, 1100};

// Properties of a list in toggleTextSort's sorted mode.
constexpr const char* SortedModeProperty = "tallySortedMode";
constexpr const char* SortAscendingProperty = "tallySortAscending";
constexpr const char* SortColumnProperty = "tallySortColumn";

// Restores the selection and current row after the rows were taken out and put back.
struct SelectionKeeper {
    QTreeWidget* list;
    QList<QTreeWidgetItem*> selected;
    QTreeWidgetItem* current;
    explicit SelectionKeeper(QTreeWidget* l)
        : list(l), selected(l->selectedItems()), current(l->currentItem()) {}
    void restore() {
        const QSignalBlocker block(list);
        if (current)
            list->setCurrentItem(current, 0, QItemSelectionModel::NoUpdate);
        for (QTreeWidgetItem* item : selected)
            item->setSelected(true);
    }
};

// Puts the top-level rows of a list into the order given by their old positions.
void reorderRows(QTreeWidget* list, const QList<int>& order) {
    SelectionKeeper keeper(list);
    QTreeWidgetItem* root = list->invisibleRootItem();
    const QList<QTreeWidgetItem*> rows = root->takeChildren();
    QList<QTreeWidgetItem*> sorted;
    sorted.reserve(rows.size());
    for (int position : order)
        sorted.append(rows.at(position));
    root->addChildren(sorted);
    keeper.restore();
}

} // namespace

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

bool ResultsRow::operator<(const QTreeWidgetItem& other) const {
    if (other.type() != Type)
        return QTreeWidgetItem::operator<(other);
    return sortKey < static_cast<const ResultsRow&>(other).sortKey;
}

QIcon profileIcon(int icon) {
    if (icon < 1 || icon > 3)
        return QIcon();
    static const QIcon icons[] = {tally::icon(IconKind::ProfileLow),
                                  tally::icon(IconKind::ProfileMedium),
                                  tally::icon(IconKind::ProfileHigh)};
    return icons[icon - 1];
}

QString profileText(int icon) {
    static const char* const texts[] = {"Low profile", "Medium profile", "High profile"};
    return icon >= 1 && icon <= 3 ? QString::fromLatin1(texts[icon - 1]) : QString();
}

QIcon failureMark() {
    static const QIcon mark = icon(IconKind::FailureMark);
    return mark;
}

namespace {
// What a row keeps for the exports beside what it shows.
constexpr int FailureReasonRole = Qt::UserRole + 1;
constexpr int ProfileRole = Qt::UserRole + 2;
} // namespace

void showProfile(QTreeWidgetItem* row, int icon) {
    const QString text = profileText(icon);
    row->setIcon(0, profileIcon(icon));
    row->setToolTip(0, text);
    row->setData(0, Qt::AccessibleDescriptionRole, text.isEmpty() ? QVariant() : text);
    row->setData(0, ProfileRole, icon);
}

void showCellOutcome(QTreeWidgetItem* row, int column, const QString& text, const QString& reason) {
    row->setData(column, FailureReasonRole, reason.isEmpty() ? QVariant() : reason);
    row->setText(column, text);
    row->setIcon(column, reason.isEmpty() ? QIcon() : failureMark());
    row->setToolTip(column, reason);
    row->setData(column, Qt::AccessibleDescriptionRole, reason.isEmpty() ? QVariant() : reason);
}

ResultsTable::ResultsTable(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("ListView1"));
    setAccessibleName(QStringLiteral("Results"));
    setHeader(new SortArrowHeader(this));
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setIconSize(QSize(16, 16));
    setHeaderLabels({QStringLiteral("Domain Name"), QStringLiteral("Total"),
                     QStringLiteral("Google"), QStringLiteral("Altavista"),
                     QStringLiteral("Yahoo!"), QStringLiteral("Ask"), QStringLiteral("MSN"),
                     QStringLiteral("All The Web")});
    for (int c = 0; c < ResultsColumnCount; ++c)
        setColumnWidth(c, px(DesignedWidths[c]));
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

void ResultsTable::fitColumns() {
    const int available = viewport()->width();
    if (columnsSizedByUser_ || available <= 0)
        return;
    // The designed widths hold the designed 8-point font's counts; a larger font widens them in
    // step, so that a count is never shown shortened.
    const double fontScale = std::max(1.0, QFontInfo(font()).pointSizeF() / 8.0);
    const auto designedWidth = [fontScale](int c) {
        return int(px(DesignedWidths[c]) * fontScale);
    };
    int designed = 0;
    for (int c = 0; c < ResultsColumnCount; ++c)
        designed += designedWidth(c);
    const double scale = std::min(1.0, double(available) / designed);
    // At least a header's text and the room of a sort arrow, which every column may come to show.
    std::array<int, ResultsColumnCount> least{};
    const bool arrowShown = header()->isSortIndicatorShown();
    header()->setSortIndicatorShown(true);
    for (int c = 0; c < ResultsColumnCount; ++c)
        least[c] = header()->sectionSizeHint(c);
    header()->setSortIndicatorShown(arrowShown);
    std::array<int, ResultsColumnCount> widths{};
    int counts = 0;
    for (int c = 1; c < ResultsColumnCount; ++c) {
        widths[c] = std::max(least[c], int(designedWidth(c) * scale));
        counts += widths[c];
    }
    widths[0] = std::min(designedWidth(0), std::max(least[0], available - counts));
    fitting_ = true;
    for (int c = 0; c < ResultsColumnCount; ++c)
        if (columnWidth(c) != widths[c])
            setColumnWidth(c, widths[c]);
    fitting_ = false;
}

bool ResultsTable::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::Resize || event->type() == QEvent::FontChange)
        fitColumns();
    return QTreeWidget::viewportEvent(event);
}

void ResultsTable::setEngineCaptions(const EngineSet& engines) {
    QTreeWidgetItem* header = headerItem();
    for (const EngineDefinition& engine : engines.definitions) {
        const int column = engineTable()[engine.slot].resultsColumn - 1;
        if (header->text(column) != engine.caption) {
            header->setText(column, engine.caption);
            // A caption of the user's own may be longer than the designed width: the column
            // grows to show it whole (room for the sort mark included), and never shrinks.
            const int needed =
                this->header()->fontMetrics().horizontalAdvance(engine.caption) + px(480);
            if (columnWidth(column) < needed) {
                fitting_ = true;
                setColumnWidth(column, needed);
                fitting_ = false;
            }
        }
        const QString tip = !engine.usable() ? engine.failureReason() : engine.countMeaning();
        header->setToolTip(column, tip);
    }
}

QList<ResultRow> ResultsTable::resultRows() const {
    QList<ResultRow> rows;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = topLevelItem(i);
        ResultRow row;
        row.url = item->text(0);
        row.total = item->text(1);
        row.profile = item->data(0, ProfileRole).toInt();
        for (int e = 0; e < EngineCount; ++e) {
            const int column = engineTable()[e].resultsColumn - 1;
            row.reasons[e] = item->data(column, FailureReasonRole).toString();
            row.counts[e] = row.reasons[e].isEmpty() ? item->text(column) : QString();
        }
        rows.append(row);
    }
    return rows;
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

void ResultsTable::appendRows(const QList<QStringList>& rows) {
    QList<QTreeWidgetItem*> items;
    items.reserve(rows.size());
    for (const QStringList& cells : rows)
        items.append(new ResultsRow(cells));
    addTopLevelItems(items);
}

QTreeWidgetItem* ResultsTable::addRow(int position, const QString& text) {
    auto* row = new ResultsRow({text});
    const int index = std::clamp(position - 1, 0, topLevelItemCount());
    insertTopLevelItem(index, row);
    return row;
}

QTreeWidgetItem* ResultsTable::rowAt(int position) const {
    return topLevelItem(position - 1);
}

QTreeWidgetItem* ResultsTable::selectedRow() const {
    const QList<QTreeWidgetItem*> rows = selectedItems();
    return rows.isEmpty() ? nullptr : rows.constFirst();
}

void ResultsTable::setSorted(bool sorted, int column, Qt::SortOrder order) {
    sorted_ = sorted;
    header()->setSortIndicatorShown(sorted);
    if (sorted)
        header()->setSortIndicator(column - 1, order);
}

void ResultsTable::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QTreeWidget::mousePressEvent(event);
        return;
    }
    // Right press: select the row under the mouse, or clear the selection.
    if (QTreeWidgetItem* row = itemAt(event->position().toPoint()))
        setCurrentItem(row);
    else if (!selectedItems().isEmpty())
        clearSelection();
    event->accept();
}

void ResultsTable::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton) {
        QTreeWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    if (QTreeWidgetItem* row = itemAt(event->position().toPoint()))
        Q_EMIT rowContextMenuRequested(row, event->globalPosition().toPoint());
}

void ResultsTable::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
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
    QTreeWidget::keyPressEvent(event);
}

void ResultsTable::openContextMenuFromKeyboard() {
    QTreeWidgetItem* row = currentItem();
    if (!row)
        return;
    setCurrentItem(row); // selected as a right press selects the row under the mouse
    Q_EMIT rowContextMenuRequested(row, accessibility::keyboardMenuPosition(this));
}

void sortRows(QTreeWidget* list, int column, SortKind kind, bool ascending) {
    if (!list || column < 1 || column > list->columnCount())
        return;
    // The hourglass over the list, and no painting until the rows are in their new order.
    const bool hadCursor = list->testAttribute(Qt::WA_SetCursor);
    const QCursor oldCursor = list->cursor();
    list->setCursor(Qt::WaitCursor);
    const bool updates = list->updatesEnabled();
    list->setUpdatesEnabled(false);

    const int count = list->topLevelItemCount();
    bool keyed = true;
    for (int i = 0; i < count && keyed; ++i)
        keyed = list->topLevelItem(i)->type() == ResultsRow::Type;
    if (keyed) {
        // The rows carry their keys; the list's own stable sort orders them and keeps the
        // selection and the current row.
        for (int i = 0; i < count; ++i) {
            auto* row = static_cast<ResultsRow*>(list->topLevelItem(i));
            row->sortKey = makeSortKey(row->text(column - 1), kind);
        }
        list->sortItems(column - 1, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
        if (kind == SortKind::Text) // give the folded texts' memory back
            for (int i = 0; i < count; ++i)
                static_cast<ResultsRow*>(list->topLevelItem(i))->sortKey.text.clear();
    } else {
        QStringList cells;
        cells.reserve(count);
        for (int i = 0; i < count; ++i)
            cells.append(list->topLevelItem(i)->text(column - 1));
        reorderRows(list, sortedPositions(cells, kind, ascending));
    }

    if (auto* table = qobject_cast<ResultsTable*>(list))
        table->setSorted(true, column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    list->setUpdatesEnabled(updates);
    if (hadCursor)
        list->setCursor(oldCursor);
    else
        list->unsetCursor();
}

bool toggleTextSort(QTreeWidget* list, int column, bool showErrors) {
    if (!list)
        return false;
    if (list->topLevelItemCount() == 0)
        return true;
    if (column < 1 || column > list->columnCount()) {
        if (showErrors)
            Prompts::message(list->window(),
                             QStringLiteral("Error") + QString::number(380) + QLatin1Char('\t') +
                                 QStringLiteral("Invalid property value"),
                             QStringLiteral("Error in Function : EnhListView_SortColumns"),
                             QMessageBox::Information);
        return false;
    }
    const QVariant stored = list->property(SortAscendingProperty);
    const bool ascending = !(stored.isValid() ? stored.toBool() : true);
    list->setProperty(SortedModeProperty, true);
    list->setProperty(SortAscendingProperty, ascending);
    list->setProperty(SortColumnProperty, column);
    sortRows(list, column, SortKind::Text, ascending);
    list->header()->setSortIndicatorShown(true);
    list->header()->setSortIndicator(column - 1,
                                     ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    return true;
}

void placeSortedRow(QTreeWidget* list, QTreeWidgetItem* row) {
    if (!list || !row || !list->property(SortedModeProperty).toBool())
        return;
    const int index = list->indexOfTopLevelItem(row);
    if (index < 0)
        return;
    const int column = list->property(SortColumnProperty).toInt() - 1;
    const bool ascending = list->property(SortAscendingProperty).toBool();
    const QString key = row->text(column).toCaseFolded();
    // The first place among the other rows whose key sorts after this one (stable).
    int lo = 0;
    int hi = list->topLevelItemCount() - 1;
    auto rowKey = [&](int i) { return list->topLevelItem(i < index ? i : i + 1)->text(column); };
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        const QString other = rowKey(mid).toCaseFolded();
        const bool after = ascending ? key < other : other < key;
        if (after)
            hi = mid;
        else
            lo = mid + 1;
    }
    if (lo == index)
        return;
    SelectionKeeper keeper(list);
    list->takeTopLevelItem(index);
    list->insertTopLevelItem(lo, row);
    keeper.restore();
}

} // namespace tally
