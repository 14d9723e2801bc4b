#include "gui/kit/clipped_label.h"

#include <QHelpEvent>
#include <QToolTip>

namespace tally {

ClippedLabel::ClippedLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
}

bool ClippedLabel::isClipped() const {
    return fontMetrics().horizontalAdvance(text()) > contentsRect().width() - 2 * margin();
}

bool ClippedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip && toolTip().isEmpty()) {
        auto* help = static_cast<QHelpEvent*>(event);
        if (isClipped())
            QToolTip::showText(help->globalPos(), text(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QLabel::event(event);
}

} // namespace tally
