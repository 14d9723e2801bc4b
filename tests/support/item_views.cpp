#include "support/item_views.h"

#include <QImage>
#include <QPixmap>

namespace tally::test {

int rowCount(const QAbstractItemView* view) {
    return view && view->model() ? view->model()->rowCount() : 0;
}

QVariant cellData(const QAbstractItemView* view, int row, int column, int role) {
    if (!view || !view->model())
        return QVariant();
    return view->model()->index(row, column).data(role);
}

QString cellText(const QAbstractItemView* view, int row, int column) {
    return cellData(view, row, column, Qt::DisplayRole).toString();
}

QString cellToolTip(const QAbstractItemView* view, int row, int column) {
    return cellData(view, row, column, Qt::ToolTipRole).toString();
}

QString cellDescription(const QAbstractItemView* view, int row, int column) {
    return cellData(view, row, column, Qt::AccessibleDescriptionRole).toString();
}

QIcon cellIcon(const QAbstractItemView* view, int row, int column) {
    return cellData(view, row, column, Qt::DecorationRole).value<QIcon>();
}

bool samePicture(const QIcon& a, const QIcon& b) {
    if (a.isNull() || b.isNull())
        return a.isNull() == b.isNull();
    return a.pixmap(16, 16).toImage() == b.pixmap(16, 16).toImage();
}

QStringList columnTexts(const QAbstractItemView* view, int column) {
    QStringList texts;
    for (int r = 0; r < rowCount(view); ++r)
        texts << cellText(view, r, column);
    return texts;
}

QStringList rowTexts(const QAbstractItemView* view, int row) {
    QStringList texts;
    const int columns = view && view->model() ? view->model()->columnCount() : 0;
    for (int c = 0; c < columns; ++c)
        texts << cellText(view, row, c);
    return texts;
}

QString headerText(const QAbstractItemView* view, int column) {
    return view && view->model() ? view->model()->headerData(column, Qt::Horizontal).toString()
                                 : QString();
}

QString headerToolTip(const QAbstractItemView* view, int column) {
    return view && view->model()
               ? view->model()->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString()
               : QString();
}

QPoint rowPoint(QAbstractItemView* view, int row) {
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    return view->visualRect(index).center();
}

void selectRow(QAbstractItemView* view, int row) {
    view->setCurrentIndex(view->model()->index(row, 0));
}

int currentRow(const QAbstractItemView* view) {
    return view ? view->currentIndex().row() : -1;
}

} // namespace tally::test
