// A table model whose rows a sort puts in a new order, as the results and the web-results list
// are sorted: the rows move together, and every persistent index (a view's selection, its
// current row) moves with its row.
#pragma once

#include <QAbstractTableModel>
#include <QList>

#include <vector>

namespace tally {

class ReorderableTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

protected:
    // Puts `rows` (the model's rows, one per row) into `order`: the old positions in their new
    // order, as sortedPositions gives them. Nothing happens when the order is the present one.
    template <typename Row> void reorderRows(QList<Row>& rows, const QList<int>& order) {
        const int n = int(rows.size());
        bool same = true;
        for (int i = 0; i < n && same; ++i)
            same = order.at(i) == i;
        if (same)
            return;
        Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        std::vector<int> newRowOf(size_t(n), 0);
        QList<Row> sorted;
        sorted.reserve(n);
        for (int i = 0; i < n; ++i) {
            newRowOf[size_t(order.at(i))] = i;
            sorted.append(std::move(rows[order.at(i)]));
        }
        rows = std::move(sorted);
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& old : from)
            to.append(index(newRowOf[size_t(old.row())], old.column()));
        changePersistentIndexList(from, to);
        Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
};

} // namespace tally
