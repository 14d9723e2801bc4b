#include "gui/kit/accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QKeySequence>
#include <QLabel>
#include <QShortcut>

namespace tally::accessibility {

namespace {

constexpr const char* RoleProperty = "tallyAccessibleRole";

// Asked by Qt for every object whose interface it makes: the widgets given a role get a plain
// widget interface in that role; everything else is left to Qt.
QAccessibleInterface* roleFactory(const QString&, QObject* object) {
    if (!object || !object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(RoleProperty);
    if (!role.isValid())
        return nullptr;
    return new QAccessibleWidget(static_cast<QWidget*>(object),
                                 static_cast<QAccessible::Role>(role.toInt()));
}

} // namespace

void setRole(QWidget* widget, QAccessible::Role role) {
    static const bool installed = [] {
        QAccessible::installFactory(roleFactory);
        return true;
    }();
    Q_UNUSED(installed);
    if (widget)
        widget->setProperty(RoleProperty, int(role));
}

void announce(QLabel* label, const QString& text) {
    if (!label)
        return;
    if (label->text() != text) {
        label->setText(text); // reports the label's new name itself
        return;
    }
    QAccessibleEvent changed(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

void onContextMenuKeys(QWidget* scope, Qt::ShortcutContext context, std::function<void()> open) {
    for (const QKeySequence& keys :
         {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        auto* shortcut = new QShortcut(keys, scope);
        shortcut->setContext(context);
        QObject::connect(shortcut, &QShortcut::activated, scope, open);
    }
}

QPoint keyboardMenuPosition(const QAbstractItemView* view) {
    const QWidget* area = view->viewport();
    QRect row = view->visualRect(view->currentIndex());
    if (!row.isValid() || !area->rect().intersects(row))
        row = QRect(0, 0, area->width(), 0);
    return area->mapToGlobal(QPoint(row.left() + qMin(row.width(), 40), row.bottom() + 1));
}

QStringList withMnemonics(const QStringList& captions) {
    QStringList marked;
    QString taken;
    for (const QString& caption : captions) {
        qsizetype at = -1;
        qsizetype first = -1;
        for (qsizetype i = 0; i < caption.size() && at < 0; ++i) {
            if (!caption[i].isLetterOrNumber())
                continue;
            if (first < 0)
                first = i;
            if (!taken.contains(caption[i].toLower()))
                at = i;
        }
        if (at < 0)
            at = first;
        QString text;
        for (qsizetype i = 0; i < caption.size(); ++i) {
            if (i == at)
                text += QLatin1Char('&');
            text += caption[i];
            if (caption[i] == QLatin1Char('&'))
                text += QLatin1Char('&');
        }
        if (at >= 0)
            taken += caption[at].toLower();
        marked << text;
    }
    return marked;
}

QString withoutMnemonic(const QString& caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

} // namespace tally::accessibility
