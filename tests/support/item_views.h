// What a report list shows, read as a user (and the hidden checks) see it: through the view's
// model, by 0-based row and column.
#pragma once

#include <QAbstractItemView>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace tally::test {

int rowCount(const QAbstractItemView* view);
QVariant cellData(const QAbstractItemView* view, int row, int column, int role);
QString cellText(const QAbstractItemView* view, int row, int column);
QString cellToolTip(const QAbstractItemView* view, int row, int column);
QString cellDescription(const QAbstractItemView* view, int row, int column);
QIcon cellIcon(const QAbstractItemView* view, int row, int column);
// Whether two icons draw the same 16 x 16 picture.
bool samePicture(const QIcon& a, const QIcon& b);
// Every row's text in a column.
QStringList columnTexts(const QAbstractItemView* view, int column);
// A row's texts, column by column.
QStringList rowTexts(const QAbstractItemView* view, int row);
QString headerText(const QAbstractItemView* view, int column);
QString headerToolTip(const QAbstractItemView* view, int column);
// The middle of a row's first cell, in the view's viewport, after scrolling it into view.
QPoint rowPoint(QAbstractItemView* view, int row);
// Makes a row the current (and so the selected) one, as a click does.
void selectRow(QAbstractItemView* view, int row);
// The row of the current index, or -1.
int currentRow(const QAbstractItemView* view);

} // namespace tally::test
