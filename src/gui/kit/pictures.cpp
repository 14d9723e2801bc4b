#include "gui/kit/pictures.h"

#include "core/product/product.h"

#include <QCoreApplication>
#include <QFont>
#include <QHash>
#include <QIconEngine>
#include <QLineF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>

namespace tally::pictures {

namespace {

// The texts of this file, under one context of the catalogues.
struct Text {
    Q_DECLARE_TR_FUNCTIONS(Pictures)
};

// One colour per engine, in the engine table's order.
constexpr std::array<QRgb, 6> kBarColours = {0xff4285f4, 0xff7b5cd6, 0xff9c3fc0,
                                             0xffe8453c, 0xff19a974, 0xfff4a300};
constexpr std::array<qreal, 6> kBarHeights = {0.38, 0.52, 0.47, 0.66, 0.80, 1.0};

// The emblem's shapes inside `area`: six bars rising left to right, their base line, and a lens
// over the tallest ones with its handle towards the lower right. The painter and the SVG writer
// both draw these.
struct Emblem {
    std::array<QRectF, 6> bars;
    qreal barRadius = 0;
    QLineF baseLine;
    qreal baseWidth = 0;
    QPointF lensCentre;
    qreal lensRadius = 0;
    qreal ring = 0;
    QLineF handle;
};

Emblem emblemShapes(const QRectF& area) {
    Emblem e;
    const qreal gap = area.width() * 0.035;
    const qreal barWidth = (area.width() - gap * 5) / 6.0;
    const qreal baseline = area.bottom();
    for (int i = 0; i < 6; ++i) {
        const qreal height = area.height() * 0.78 * kBarHeights[i];
        e.bars[i] = QRectF(area.left() + i * (barWidth + gap), baseline - height, barWidth, height);
    }
    e.barRadius = barWidth * 0.18;
    e.baseLine = QLineF(QPointF(area.left() - gap, baseline + gap * 0.6),
                        QPointF(area.right() + gap, baseline + gap * 0.6));
    e.baseWidth = qMax<qreal>(1.0, area.height() * 0.02);
    e.lensRadius = area.width() * 0.2;
    e.lensCentre = QPointF(area.left() + area.width() * 0.62, area.top() + area.height() * 0.3);
    e.ring = qMax<qreal>(1.5, e.lensRadius * 0.2);
    const QPointF direction(0.7071, 0.7071);
    e.handle = QLineF(e.lensCentre + direction * (e.lensRadius + e.ring * 0.4),
                      e.lensCentre + direction * (e.lensRadius * 2.05));
    return e;
}

// The colours of the emblem and the logo's background.
QColor barTop(int i) {
    return QColor::fromRgb(kBarColours[i]).lighter(125);
}
QColor barBottom(int i) {
    return QColor::fromRgb(kBarColours[i]).darker(115);
}
QColor baseColour(bool onDark) {
    return onDark ? QColor(255, 255, 255, 170) : QColor(60, 70, 90);
}
QColor ringColour(bool onDark) {
    return onDark ? QColor(250, 250, 250) : QColor(50, 56, 66);
}
const QColor handleColour(40, 44, 52);
const QColor glassInner(255, 255, 255, 150);
const QColor glassOuter(200, 225, 255, 50);
const QColor logoTopLeft(24, 58, 104);
const QColor logoBottomRight(20, 118, 128);

void drawEmblem(QPainter& p, const QRectF& area, bool onDark) {
    const Emblem e = emblemShapes(area);
    for (int i = 0; i < 6; ++i) {
        const QRectF& bar = e.bars[i];
        QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
        fill.setColorAt(0.0, barTop(i));
        fill.setColorAt(1.0, barBottom(i));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRoundedRect(bar, e.barRadius, e.barRadius);
    }
    p.setPen(QPen(baseColour(onDark), e.baseWidth, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(e.baseLine);

    const qreal r = e.lensRadius;
    QRadialGradient glass(e.lensCentre - QPointF(r * 0.3, r * 0.3), r * 1.3);
    glass.setColorAt(0.0, glassInner);
    glass.setColorAt(1.0, glassOuter);
    p.setPen(QPen(handleColour, e.ring * 1.25, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(e.handle);
    p.setPen(QPen(ringColour(onDark), e.ring));
    p.setBrush(glass);
    p.drawEllipse(e.lensCentre, r, r);
}

QRectF logoBackground(int side) {
    return QRectF(0, 0, side, side).adjusted(1, 1, -1, -1);
}
QRectF logoEmblemArea(int side) {
    return QRectF(side * 0.16, side * 0.14, side * 0.68, side * 0.68);
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
               Text::tr("Link popularity of your web sites across six sources"));

    QFont small = subtitle;
    small.setPixelSize(qRound(h * 0.042));
    p.setFont(small);
    p.setPen(QColor(230, 240, 248));
    p.drawText(QRectF(w * 0.07, h * 0.8, w * 0.6, h * 0.08), Qt::AlignLeft | Qt::AlignVCenter,
               Text::tr("Version %1").arg(info.versionText()));
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
    back.setColorAt(0.0, logoTopLeft);
    back.setColorAt(1.0, logoBottomRight);
    p.setPen(Qt::NoPen);
    p.setBrush(back);
    p.drawRoundedRect(logoBackground(side), side * 0.16, side * 0.16);
    drawEmblem(p, logoEmblemArea(side), true);
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

namespace {

QString svgNumber(qreal value) {
    return QString::number(value, 'f', 2);
}

// fill="#rrggbb" fill-opacity="a" for a colour, under the attribute names given.
QString svgColour(const QColor& colour, const char* name, const char* opacityName) {
    QString text =
        QStringLiteral("%1=\"%2\"").arg(QLatin1String(name), colour.name(QColor::HexRgb));
    if (colour.alpha() != 255)
        text += QStringLiteral(" %1=\"%2\"")
                    .arg(QLatin1String(opacityName), svgNumber(colour.alphaF()));
    return text;
}

QString svgStop(qreal offset, const QColor& colour) {
    return QStringLiteral("<stop offset=\"%1\" %2/>")
        .arg(svgNumber(offset), svgColour(colour, "stop-color", "stop-opacity"));
}

} // namespace

QByteArray aboutLogoSvg(int side) {
    const Emblem e = emblemShapes(logoEmblemArea(side));
    const QRectF back = logoBackground(side);
    const qreal r = e.lensRadius;
    const QPointF glassCentre = e.lensCentre - QPointF(r * 0.3, r * 0.3);
    QStringList out;
    out << QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")
        << QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                          "viewBox=\"0 0 %1 %1\">")
               .arg(side)
        << QStringLiteral("<defs>")
        << QStringLiteral("<linearGradient id=\"back\" gradientUnits=\"userSpaceOnUse\" x1=\"0\" "
                          "y1=\"0\" x2=\"%1\" y2=\"%1\">")
               .arg(side)
        << svgStop(0, logoTopLeft) << svgStop(1, logoBottomRight)
        << QStringLiteral("</linearGradient>");
    for (int i = 0; i < 6; ++i)
        out << QStringLiteral("<linearGradient id=\"bar%1\" gradientUnits=\"userSpaceOnUse\" "
                              "x1=\"0\" y1=\"%2\" x2=\"0\" y2=\"%3\">")
                   .arg(i)
                   .arg(svgNumber(e.bars[i].top()), svgNumber(e.bars[i].bottom()))
            << svgStop(0, barTop(i)) << svgStop(1, barBottom(i))
            << QStringLiteral("</linearGradient>");
    out << QStringLiteral("<radialGradient id=\"glass\" gradientUnits=\"userSpaceOnUse\" "
                          "cx=\"%1\" cy=\"%2\" r=\"%3\">")
               .arg(svgNumber(glassCentre.x()), svgNumber(glassCentre.y()), svgNumber(r * 1.3))
        << svgStop(0, glassInner) << svgStop(1, glassOuter) << QStringLiteral("</radialGradient>")
        << QStringLiteral("</defs>");
    out << QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
                          "fill=\"url(#back)\"/>")
               .arg(svgNumber(back.x()), svgNumber(back.y()), svgNumber(back.width()),
                    svgNumber(back.height()), svgNumber(side * 0.16));
    for (int i = 0; i < 6; ++i) {
        const QRectF& bar = e.bars[i];
        out << QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" "
                              "fill=\"url(#bar%6)\"/>")
                   .arg(svgNumber(bar.x()), svgNumber(bar.y()), svgNumber(bar.width()),
                        svgNumber(bar.height()), svgNumber(e.barRadius))
                   .arg(i);
    }
    auto line = [&out](const QLineF& l, const QColor& colour, qreal width) {
        out << QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" %5 "
                              "stroke-width=\"%6\" stroke-linecap=\"round\"/>")
                   .arg(svgNumber(l.x1()), svgNumber(l.y1()), svgNumber(l.x2()), svgNumber(l.y2()),
                        svgColour(colour, "stroke", "stroke-opacity"), svgNumber(width));
    };
    line(e.baseLine, baseColour(true), e.baseWidth);
    line(e.handle, handleColour, e.ring * 1.25);
    out << QStringLiteral("<circle cx=\"%1\" cy=\"%2\" r=\"%3\" fill=\"url(#glass)\" %4 "
                          "stroke-width=\"%5\"/>")
               .arg(svgNumber(e.lensCentre.x()), svgNumber(e.lensCentre.y()), svgNumber(r),
                    svgColour(ringColour(true), "stroke", "stroke-opacity"), svgNumber(e.ring));
    out << QStringLiteral("</svg>");
    return out.join(QLatin1Char('\n')).toUtf8() + '\n';
}

} // namespace tally::pictures
