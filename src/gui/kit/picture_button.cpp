#include "gui/kit/picture_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

#include <algorithm>

namespace tally {

PictureButton::PictureButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

QSize PictureButton::sizeHint() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    const QFontMetrics metrics = fontMetrics();
    const QSize picture = icon().isNull() ? QSize() : iconSize();
    const int gap = picture.isEmpty() ? 0 : 2;
    const QSize content(std::max(picture.width(), metrics.horizontalAdvance(
                                                      QString(text()).remove(QLatin1Char('&')))),
                        picture.height() + gap + metrics.height());
    // The bevel's margins, without the least width some styles give every push button.
    const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this) +
                       2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    return content + QSize(margin, margin);
}

QSize PictureButton::minimumSizeHint() const {
    return sizeHint();
}

void PictureButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    // The frame and focus of a push button, without its own label.
    QStyleOptionButton bevel = option;
    bevel.text.clear();
    bevel.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, bevel);

    QRect content = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (option.state & (QStyle::State_Sunken | QStyle::State_On))
        content.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                          style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    const QFontMetrics metrics = fontMetrics();
    const QSize picture = icon().isNull() ? QSize() : iconSize();
    const int gap = picture.isEmpty() ? 0 : 2;
    // Too little room for both: the caption alone.
    const bool withPicture =
        !picture.isEmpty() && content.height() >= picture.height() + gap + metrics.height();
    const int height = (withPicture ? picture.height() + gap : 0) + metrics.height();
    int top = content.top() + (content.height() - height) / 2;
    if (withPicture) {
        const QPixmap pixmap = icon().pixmap(picture, devicePixelRatio(),
                                             isEnabled() ? QIcon::Normal : QIcon::Disabled);
        const QSize shown = pixmap.deviceIndependentSize().toSize();
        painter.drawPixmap(content.left() + (content.width() - shown.width()) / 2, top, pixmap);
        top += picture.height() + gap;
    }
    const QRect textRect(content.left(), top, content.width(), metrics.height());
    painter.drawItemText(
        textRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic, palette(), isEnabled(),
        metrics.elidedText(text(), Qt::ElideRight, content.width()), QPalette::ButtonText);
}

} // namespace tally
