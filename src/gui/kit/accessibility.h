// What assistive technology reads of the program's own widgets, and the keyboard's way to their
// context menus.
//
// - setRole: a widget that Qt would expose as a plain container ("filler" for a screen reader)
//   gets a role of its own: a top-level window QAccessible::Window, the chart QAccessible::Chart.
// - announce: a status text shown in a label and reported as a change of the label's name, which
//   is how a screen reader learns of it (a label's accessible name is its text as long as no
//   fixed accessible name hides it: describe a label's role with setAccessibleDescription).
// - onContextMenuKeys: Shift+F10 and the Menu key open a context menu from the keyboard.
// - withMnemonics: menu captions that come from data (column captions) get an Alt key each.
#pragma once

#include <QAccessible>
#include <QPoint>
#include <QStringList>

#include <functional>

class QAbstractItemView;
class QLabel;
class QWidget;

namespace tally::accessibility {

// Exposes the widget in the given role. Call it in the widget's constructor, before the widget is
// shown (its accessible interface is made once, when first asked for). Meant for widgets that
// have no richer interface of their own (a plain QWidget, a window built on QWidget); the widget's
// name stays its accessible name, or its title for a window.
void setRole(QWidget* widget, QAccessible::Role role);

// Shows the text in the label and reports the change, also when the text is the one shown
// already (a second scan that ends with the same words is announced again).
void announce(QLabel* label, const QString& text);

// Runs `open` when Shift+F10 or the Menu key is pressed while the focus is on `scope` (context
// Qt::WidgetShortcut) or on it or any of its children (Qt::WidgetWithChildrenShortcut).
void onContextMenuKeys(QWidget* scope, Qt::ShortcutContext context, std::function<void()> open);

// Where a context menu opened from the keyboard belongs in a list: at the current row, else at
// the top of the list (global coordinates).
QPoint keyboardMenuPosition(const QAbstractItemView* view);

// Menu captions from data, each with a mnemonic: an "&" already in a caption is shown as it is,
// and each caption is marked at its first letter or digit that no caption before it took (at its
// first one when all are taken).
QStringList withMnemonics(const QStringList& captions);

// A caption as the menu shows it: without its mnemonic mark ("&&" shows as "&").
QString withoutMnemonic(const QString& caption);

} // namespace tally::accessibility
