#include "gui/sources/sources_hint_bar.h"

#include "gui/kit/accessibility.h"
#include "gui/kit/icons.h"

#include <QAccessible>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QStyle>

namespace tally {

SourcesHintBar::SourcesHintBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("barSourcesHint"));
    accessibility::setRole(this, QAccessible::AlertMessage);
    setAccessibleName(tr("Sources hint"));
    setFrameShape(QFrame::StyledPanel);
    // The tooltip colours: a note beside the window's content in light and dark looks alike.
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);

    // The program's own picture: the desktop's was looked up in its icon theme, a search through
    // the theme's folders that took an eighth of the program's start.
    auto* info = new QLabel(this);
    info->setObjectName(QStringLiteral("imgSourcesHint"));
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize);
    info->setPixmap(icon(IconKind::Information).pixmap(side, side));
    info->setAccessibleName(tr("Information"));
    text_ = new QLabel(tr("The built-in engines no longer report link counts. Pick a backlink "
                          "source for your columns in the Sources window."),
                       this);
    text_->setObjectName(QStringLiteral("lblSourcesHint"));
    text_->setWordWrap(true);
    text_->setForegroundRole(QPalette::ToolTipText);
    open_ = new QPushButton(tr("&Choose Sources..."), this);
    open_->setObjectName(QStringLiteral("cmdHintSources"));
    close_ = new QPushButton(QStringLiteral("\u2715"), this);
    close_->setObjectName(QStringLiteral("cmdHintClose"));
    close_->setAccessibleName(tr("Close the hint"));
    close_->setToolTip(tr("Close the hint (Esc)"));
    close_->setFlat(true);
    for (QPushButton* button : {open_, close_}) {
        button->setAutoDefault(false);
        button->installEventFilter(this);
    }

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 4, 4, 4);
    row->addWidget(info);
    row->addWidget(text_, 1);
    row->addWidget(open_);
    row->addWidget(close_);

    connect(open_, &QPushButton::clicked, this, [this] {
        dismiss();
        Q_EMIT sourcesRequested();
    });
    connect(close_, &QPushButton::clicked, this, &SourcesHintBar::dismiss);
    hide();
}

void SourcesHintBar::offer() {
    if (isVisible())
        return;
    show();
    // Heard once as an alert; the focus stays where it is.
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void SourcesHintBar::dismiss() {
    // The focus goes on to the window's next control, never nowhere.
    if (isAncestorOf(QApplication::focusWidget())) {
        QWidget* next = close_->nextInFocusChain();
        while (next != close_ && (isAncestorOf(next) || !(next->focusPolicy() & Qt::TabFocus) ||
                                  !next->isVisible() || !next->isEnabled()))
            next = next->nextInFocusChain();
        if (next != close_)
            next->setFocus(Qt::TabFocusReason);
    }
    hide();
    Q_EMIT dismissed();
}

bool SourcesHintBar::eventFilter(QObject* watched, QEvent* event) {
    // Esc on the bar's buttons is the bar's, before any shortcut of the window takes it.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            event->accept();
            if (event->type() == QEvent::KeyPress)
                dismiss();
            return event->type() == QEvent::KeyPress;
        }
    }
    return QFrame::eventFilter(watched, event);
}

void SourcesHintBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        dismiss();
        return;
    }
    QFrame::keyPressEvent(event);
}

} // namespace tally
