#include "gui/results/results_table.h"

#include "core/scan/engine_table.h"
#include "gui/kit/prompts.h"
#include "gui/kit/twips.h"

#include <QApplication>
#include <QHeaderView>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace tally {

namespace {

// Properties of a list in toggleTextSort's sorted mode.
constexpr const char* SortedModeProperty = "tallySortedMode";
constexpr const char* SortAscendingProperty = "tallySortAscending";
constexpr const char* SortColumnProperty = "tallySortColumn";

// A signal-strength picture: one, two or three bars in the profile's colour.
QPixmap drawProfileIcon(int level) {
    const int size = 16;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    static const QColor colours[] = {QColor(0xc6, 0x28, 0x28), QColor(0xef, 0x9a, 0x00),
                                     QColor(0x2e, 0x8b, 0x3a)};
    const QColor colour = colours[level - 1];
    for (int bar = 0; bar < 3; ++bar) {
        const int height = 5 + bar * 5;
        const QRectF r(1.5 + bar * 5, size - 1.5 - height, 3.5, height);
        if (bar < level) {
            p.setPen(QPen(colour.darker(140), 1));
            p.setBrush(colour);
        } else {
            p.setPen(QPen(QColor(0x9e, 0x9e, 0x9e), 1));
            p.setBrush(QColor(0xee, 0xee, 0xee));
        }
        p.drawRect(r);
    }
    return pixmap;
}

// A warning mark: an amber triangle holding an exclamation mark.
QPixmap drawFailureMark() {
    const int size = 16;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF corners[] = {{8, 1.5}, {15, 14.5}, {1, 14.5}};
    p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), 1));
    p.setBrush(QColor(0xf5, 0xb4, 0x00));
    p.drawPolygon(corners, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x20, 0x20, 0x20));
    p.drawRect(QRectF(7.1, 5.5, 1.8, 5));
    p.drawEllipse(QRectF(7, 11.4, 2, 2));
    return pixmap;
}

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

bool ResultsRow::operator<(const QTreeWidgetItem& other) const {
    if (other.type() != Type)
        return QTreeWidgetItem::operator<(other);
    return sortKey < static_cast<const ResultsRow&>(other).sortKey;
}

QIcon profileIcon(int icon) {
    if (icon < 1 || icon > 3)
        return QIcon();
    static const QIcon icons[] = {QIcon(drawProfileIcon(1)), QIcon(drawProfileIcon(2)),
                                  QIcon(drawProfileIcon(3))};
    return icons[icon - 1];
}

QIcon failureMark() {
    static const QIcon mark(drawFailureMark());
    return mark;
}

namespace {
// What a row keeps for the exports beside what it shows.
constexpr int FailureReasonRole = Qt::UserRole + 1;
constexpr int ProfileRole = Qt::UserRole + 2;
} // namespace

void setRowProfile(QTreeWidgetItem* row, int profile) {
    row->setIcon(0, profileIcon(profile));
    row->setData(0, ProfileRole, profile);
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
    static constexpr int widths[ResultsColumnCount] = {2750, 950, 950, 950, 950, 950, 950, 1100};
    for (int c = 0; c < ResultsColumnCount; ++c)
        setColumnWidth(c, px(widths[c]));
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setSortIndicatorShown(false);
    connect(header(), &QHeaderView::sectionClicked, this,
            [this](int logical) { Q_EMIT columnClicked(logical + 1); });
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
