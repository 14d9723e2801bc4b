#include "gui/kit/pictures.h"

#include "core/product/product.h"

#include <QFont>
#include <QHash>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

namespace tally::pictures {

namespace {

// One colour per engine, in the engine table's order.
constexpr std::array<QRgb, 6> kBarColours = {0xff4285f4, 0xff7b5cd6, 0xff9c3fc0,
                                             0xffe8453c, 0xff19a974, 0xfff4a300};
constexpr std::array<qreal, 6> kBarHeights = {0.38, 0.52, 0.47, 0.66, 0.80, 1.0};

// The emblem: six bars rising left to right inside `area`, a lens over the tallest ones.
void drawEmblem(QPainter& p, const QRectF& area, bool onDark) {
    const qreal gap = area.width() * 0.035;
    const qreal barWidth = (area.width() - gap * 5) / 6.0;
    const qreal baseline = area.bottom();
    for (int i = 0; i < 6; ++i) {
        const qreal height = area.height() * 0.78 * kBarHeights[i];
        const QRectF bar(area.left() + i * (barWidth + gap), baseline - height, barWidth, height);
        QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
        const QColor colour = QColor::fromRgb(kBarColours[i]);
        fill.setColorAt(0.0, colour.lighter(125));
        fill.setColorAt(1.0, colour.darker(115));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(bar, barWidth * 0.18, barWidth * 0.18);
    }
    // Base line.
    p.setPen(QPen(onDark ? QColor(255, 255, 255, 170) : QColor(60, 70, 90),
                  qMax<qreal>(1.0, area.height() * 0.02), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(area.left() - gap, baseline + gap * 0.6),
               QPointF(area.right() + gap, baseline + gap * 0.6));

    // The lens, over the upper right, with its handle towards the lower right.
    const qreal radius = area.width() * 0.2;
    const QPointF centre(area.left() + area.width() * 0.62, area.top() + area.height() * 0.3);
    QRadialGradient glass(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.3);
    glass.setColorAt(0.0, QColor(255, 255, 255, 150));
    glass.setColorAt(1.0, QColor(200, 225, 255, 50));
    const qreal ring = qMax<qreal>(1.5, radius * 0.2);
    const QPointF direction(0.7071, 0.7071);
    const QPointF handleStart = centre + direction * (radius + ring * 0.4);
    const QPointF handleEnd = centre + direction * (radius * 2.05);
    p.setPen(QPen(QColor(40, 44, 52), ring * 1.25, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(handleStart, handleEnd);
    p.setPen(QPen(onDark ? QColor(250, 250, 250) : QColor(50, 56, 66), ring));
    p.setBrush(glass);
    p.drawEllipse(centre, radius, radius);
}

QPixmap blank(const QSize& size, qreal ratio) {
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

} // namespace

QPixmap splashPicture(const QSize& size, qreal devicePixelRatio) {
    QPixmap pixmap = blank(size, devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF all(QPointF(0, 0), QSizeF(size));

    QLinearGradient sky(all.topLeft(), all.bottomRight());
    sky.setColorAt(0.0, QColor(18, 44, 84));
    sky.setColorAt(0.6, QColor(22, 82, 120));
    sky.setColorAt(1.0, QColor(18, 120, 128));
    p.fillRect(all, sky);

    // Faint grid, like chart paper.
    p.setPen(QPen(QColor(255, 255, 255, 18), 1));
    for (qreal y = all.height() * 0.18; y < all.height(); y += all.height() * 0.12)
        p.drawLine(QPointF(0, y), QPointF(all.width(), y));

    const qreal w = all.width();
    const qreal h = all.height();
    drawEmblem(p, QRectF(w * 0.60, h * 0.16, w * 0.32, h * 0.56), true);

    const ProductInfo& info = product();
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setStyleHint(QFont::SansSerif);
    title.setBold(true);
    title.setPixelSize(qRound(h * 0.14));
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(w * 0.07, h * 0.22, w * 0.56, h * 0.2), Qt::AlignLeft | Qt::AlignVCenter,
               info.name);

    QFont subtitle = title;
    subtitle.setBold(false);
    subtitle.setPixelSize(qRound(h * 0.052));
    p.setFont(subtitle);
    p.setPen(QColor(205, 228, 240));
    p.drawText(QRectF(w * 0.07, h * 0.42, w * 0.52, h * 0.2), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("Link popularity of your web sites across six search engines"));

    QFont small = subtitle;
    small.setPixelSize(qRound(h * 0.042));
    p.setFont(small);
    p.setPen(QColor(230, 240, 248));
    p.drawText(QRectF(w * 0.07, h * 0.8, w * 0.6, h * 0.08), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Version ") + info.versionText());
    p.setPen(QColor(170, 200, 220));
    p.drawText(QRectF(w * 0.4, h * 0.8, w * 0.53, h * 0.08), Qt::AlignRight | Qt::AlignVCenter,
               info.company);

    // A thin frame: the window has no border of its own.
    p.setPen(QPen(QColor(8, 24, 48), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(1, 1, -1, -1));
    return pixmap;
}

QPixmap aboutLogo(int side, qreal devicePixelRatio) {
    QPixmap pixmap = blank(QSize(side, side), devicePixelRatio);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(0, 0, side, side);
    QLinearGradient back(all.topLeft(), all.bottomRight());
    back.setColorAt(0.0, QColor(24, 58, 104));
    back.setColorAt(1.0, QColor(20, 118, 128));
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(all.adjusted(1, 1, -1, -1), side * 0.16, side * 0.16);
    drawEmblem(p, QRectF(side * 0.16, side * 0.14, side * 0.68, side * 0.68), true);
    return pixmap;
}

namespace {

// The logo as an icon, drawn at each size when it is first asked for.
class LogoIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        // At the painter's device-pixel ratio, so that the logo stays sharp on a scaled screen.
        const int side = qMin(rect.width(), rect.height());
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(QRect(rect.x() + (rect.width() - side) / 2,
                                  rect.y() + (rect.height() - side) / 2, side, side),
                            aboutLogo(side, ratio));
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = qMin(size.width(), size.height());
        if (!made_.contains(side))
            made_.insert(side, aboutLogo(side));
        return made_.value(side);
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = qMin(size.width(), size.height());
        return QSize(side, side);
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32),
                QSize(48, 48), QSize(64, 64), QSize(128, 128)};
    }
    QIconEngine* clone() const override { return new LogoIconEngine; }

private:
    QHash<int, QPixmap> made_;
};

} // namespace

QIcon programIcon() {
    return QIcon(new LogoIconEngine);
}

} // namespace tally::pictures
