#include "gui/kit/icons.h"

#include "gui/kit/contrast.h"

#include <QGuiApplication>
#include <QPalette>

#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QTransform>

#include <cmath>

namespace tally {

namespace {

// The colours of the pictures; a disabled picture draws every one of them in grey. On a dark
// background (the desktop's dark colours) the results table's pictures take lighter inks, so that
// they stand out as they do on white.
struct Inks {
    bool disabled = false;
    bool dark = false;
    QColor pick(QRgb rgb) const {
        if (!disabled)
            return QColor::fromRgb(rgb);
        const int grey = qGray(rgb);
        return QColor(160 + grey / 6, 160 + grey / 6, 160 + grey / 6);
    }
    QColor ink() const { return pick(0x334e7a); }
    QColor paper() const { return pick(0xf4f7fc); }
    QColor green() const { return pick(0x2e8b3a); }
    QColor red() const { return pick(0xc62828); }
    QColor amber() const { return pick(0xef9a00); }
    QColor blue() const { return pick(0x336ec6); }
    QColor sky() const { return pick(0xd6e9ff); }
};

QPen line(const QColor& colour, qreal width = 1.2) {
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void arrow(QPainter& p, const Inks& c, bool right) {
    QPainterPath path;
    path.moveTo(2, 6.5);
    path.lineTo(8.5, 6.5);
    path.lineTo(8.5, 3);
    path.lineTo(14, 8);
    path.lineTo(8.5, 13);
    path.lineTo(8.5, 9.5);
    path.lineTo(2, 9.5);
    path.closeSubpath();
    if (!right) // the same arrow, mirrored in the 16-unit square
        path = QTransform(-1, 0, 0, 1, 16, 0).map(path);
    p.setPen(line(c.ink(), 0.8));
    p.setBrush(c.blue());
    p.drawPath(path);
}

void globe(QPainter& p, const Inks& c) {
    p.setPen(line(c.ink(), 1));
    p.setBrush(c.sky());
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.drawLine(QPointF(2.8, 4.8), QPointF(13.2, 4.8));
    p.drawLine(QPointF(2.8, 11.2), QPointF(13.2, 11.2));
}

void page(QPainter& p, const Inks& c, const QRectF& r) {
    QPainterPath path;
    const qreal fold = r.width() * 0.35;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(line(c.ink(), 1));
    p.setBrush(c.paper());
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - fold, r.top()), QPointF(r.right() - fold, r.top() + fold));
    p.drawLine(QPointF(r.right() - fold, r.top() + fold), QPointF(r.right(), r.top() + fold));
}

void cross(QPainter& p, const QColor& colour, const QRectF& r, qreal width) {
    p.setPen(line(colour, width));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

// A signal-strength picture: `level` of three bars in the profile's colour.
void profileBars(QPainter& p, const Inks& c, int level) {
    const QColor colours[] = {c.pick(c.dark ? 0xff6b5e : 0xc62828), c.pick(0xef9a00),
                              c.pick(c.dark ? 0x4cc760 : 0x2e8b3a)};
    const QColor colour = colours[level - 1];
    for (int bar = 0; bar < 3; ++bar) {
        const qreal height = 5 + bar * 5;
        if (bar < level) {
            p.setPen(line(c.dark ? colour.lighter(130) : colour.darker(140), 1));
            p.setBrush(colour);
        } else if (c.dark) { // an empty bar stays darker than a full one
            p.setPen(line(c.pick(0x8a8a8a), 1));
            p.setBrush(c.pick(0x3a3a3a));
        } else {
            p.setPen(line(c.pick(0x9e9e9e), 1));
            p.setBrush(c.pick(0xeeeeee));
        }
        p.drawRect(QRectF(1.5 + bar * 5, 14.5 - height, 3.5, height));
    }
}

// The pictures, each on a square of 16 units.

void playTriangle(QPainter& p, const Inks& c) {
    QPainterPath path;
    path.moveTo(4, 2.5);
    path.lineTo(13.5, 8);
    path.lineTo(4, 13.5);
    path.closeSubpath();
    p.setPen(line(c.green().darker(130), 1));
    p.setBrush(c.green());
    p.drawPath(path);
}

void stopSquare(QPainter& p, const Inks& c) {
    p.setPen(line(c.red().darker(130), 1));
    p.setBrush(c.red());
    p.drawRoundedRect(QRectF(3, 3, 10, 10), 1.5, 1.5);
}

void sliders(QPainter& p, const Inks& c) {
    for (int i = 0; i < 3; ++i) {
        const qreal y = 3.5 + i * 4.5;
        p.setPen(line(c.ink(), 1.3));
        p.drawLine(QPointF(2, y), QPointF(14, y));
        const qreal knob = i == 1 ? 10 : (i == 0 ? 5 : 7.5);
        p.setPen(line(c.ink(), 1));
        p.setBrush(i == 1 ? c.amber() : c.blue());
        p.drawEllipse(QPointF(knob, y), 2, 2);
    }
}

void pageWithPlus(QPainter& p, const Inks& c) {
    page(p, c, QRectF(2.5, 1.5, 9, 12));
    p.setPen(line(c.green(), 2));
    p.drawLine(QPointF(12, 9), QPointF(12, 15));
    p.drawLine(QPointF(9, 12), QPointF(15, 12));
}

void redCross(QPainter& p, const Inks& c) {
    cross(p, c.red(), QRectF(3.5, 3.5, 9, 9), 2.4);
}

void folder(QPainter& p, const Inks& c) {
    QPainterPath back;
    back.moveTo(1.5, 13.5);
    back.lineTo(1.5, 3);
    back.lineTo(5.5, 3);
    back.lineTo(7, 4.5);
    back.lineTo(13, 4.5);
    back.lineTo(13, 7);
    p.setPen(line(c.ink(), 1));
    p.setBrush(c.amber().lighter(130));
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4, 7);
    front.lineTo(15, 7);
    front.lineTo(12.5, 13.5);
    front.closeSubpath();
    p.setBrush(c.amber());
    p.drawPath(front);
}

void floppy(QPainter& p, const Inks& c) {
    p.setPen(line(c.ink(), 1));
    p.setBrush(c.blue());
    p.drawRoundedRect(QRectF(2, 2, 12, 12), 1.2, 1.2);
    p.setBrush(c.paper());
    p.drawRect(QRectF(4.5, 2, 7, 4.5));
    p.setBrush(c.sky());
    p.drawRect(QRectF(4, 9, 8, 5));
}

void magnifiedPage(QPainter& p, const Inks& c) {
    page(p, c, QRectF(1.5, 1.5, 9, 12));
    p.setPen(line(c.ink(), 1.6));
    p.drawLine(QPointF(11.5, 11.5), QPointF(14.5, 14.5));
    p.setPen(line(c.ink(), 1.1));
    p.setBrush(c.sky());
    p.drawEllipse(QPointF(9.5, 9.5), 3, 3);
}

void eraser(QPainter& p, const Inks& c) {
    p.save();
    p.translate(8, 8);
    p.rotate(-40);
    p.setPen(line(c.ink(), 1));
    p.setBrush(c.red().lighter(150));
    p.drawRoundedRect(QRectF(-6, -3, 6, 6), 1, 1);
    p.setBrush(c.paper());
    p.drawRoundedRect(QRectF(0, -3, 6, 6), 1, 1);
    p.restore();
    p.setPen(line(c.ink(), 1));
    p.drawLine(QPointF(2, 14.5), QPointF(14, 14.5));
}

void printer(QPainter& p, const Inks& c) {
    p.setPen(line(c.ink(), 1));
    p.setBrush(c.paper());
    p.drawRect(QRectF(4.5, 1.5, 7, 5));
    p.setBrush(c.blue());
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 6), 1.2, 1.2);
    p.setBrush(c.paper());
    p.drawRect(QRectF(4.5, 9.5, 7, 5));
    p.drawLine(QPointF(6, 11.5), QPointF(10, 11.5));
    p.drawLine(QPointF(6, 13), QPointF(10, 13));
}

// A round sign of one colour with a darker rim, filling the square.
void disc(QPainter& p, const QColor& colour) {
    p.setPen(line(colour.darker(120), 1));
    p.setBrush(colour);
    p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
}

void stopSign(QPainter& p, const Inks& c) {
    disc(p, c.red());
    cross(p, QColor(Qt::white), QRectF(5.2, 5.2, 5.6, 5.6), 1.8);
}

void circularArrow(QPainter& p, const Inks& c) {
    p.setPen(line(c.green(), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 2.5, 11, 11), 60 * 16, 290 * 16);
    // The arrow head at the start of the arc.
    const qreal angle = 60.0 * M_PI / 180.0;
    const QPointF tip(8 + 5.5 * std::cos(angle), 8 - 5.5 * std::sin(angle));
    QPainterPath head;
    head.moveTo(tip + QPointF(-3.2, -1.6));
    head.lineTo(tip + QPointF(1.2, -2.4));
    head.lineTo(tip + QPointF(0.6, 2.4));
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(c.green());
    p.drawPath(head);
}

void table(QPainter& p, const Inks& c) {
    p.setPen(line(c.ink(), 1));
    p.setBrush(c.paper());
    p.drawRect(QRectF(1.5, 2.5, 13, 11));
    p.fillRect(QRectF(2, 3, 12, 3), c.ink());
    p.drawLine(QPointF(6.5, 6), QPointF(6.5, 13.5));
    p.drawLine(QPointF(2, 9.5), QPointF(14, 9.5));
}

void warningTriangle(QPainter& p, const Inks& c) {
    const QPointF corners[] = {{8, 1.5}, {15, 14.5}, {1, 14.5}};
    p.setPen(line(c.pick(c.dark ? 0xffd54f : 0x8a5a00), 1));
    p.setBrush(c.pick(0xf5b400));
    p.drawPolygon(corners, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(c.pick(0x202020));
    p.drawRect(QRectF(7.1, 5.5, 1.8, 5));
    p.drawEllipse(QRectF(7, 11.4, 2, 2));
}

void information(QPainter& p, const Inks& c) {
    disc(p, c.blue());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(Qt::white));
    p.drawEllipse(QRectF(7, 3.8, 2, 2));
    p.drawRect(QRectF(7.1, 6.8, 1.8, 5.6));
}

void barChart(QPainter& p, const Inks& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c.green());
    p.drawRect(QRectF(2, 8, 3, 6));
    p.setBrush(c.amber());
    p.drawRect(QRectF(6.5, 4, 3, 10));
    p.setBrush(c.blue());
    p.drawRect(QRectF(11, 2, 3, 12));
    p.setPen(line(c.ink(), 1));
    p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
}

void draw(QPainter& p, IconKind kind, const Inks& c) {
    switch (kind) {
    case IconKind::Start:
        playTriangle(p, c);
        return;
    case IconKind::Stop:
        stopSquare(p, c);
        return;
    case IconKind::Options:
        sliders(p, c);
        return;
    case IconKind::Website:
    case IconKind::WebsiteTab:
        globe(p, c);
        return;
    case IconKind::AddUrl:
        pageWithPlus(p, c);
        return;
    case IconKind::Delete:
        redCross(p, c);
        return;
    case IconKind::Open:
        folder(p, c);
        return;
    case IconKind::Save:
        floppy(p, c);
        return;
    case IconKind::WebResults:
        magnifiedPage(p, c);
        return;
    case IconKind::ClearAll:
        eraser(p, c);
        return;
    case IconKind::Print:
        printer(p, c);
        return;
    case IconKind::Go:
    case IconKind::Forward:
        arrow(p, c, true);
        return;
    case IconKind::Back:
        arrow(p, c, false);
        return;
    case IconKind::StopLoading:
        stopSign(p, c);
        return;
    case IconKind::Reload:
        circularArrow(p, c);
        return;
    case IconKind::DataTab:
        table(p, c);
        return;
    case IconKind::ProfileLow:
        profileBars(p, c, 1);
        return;
    case IconKind::ProfileMedium:
        profileBars(p, c, 2);
        return;
    case IconKind::ProfileHigh:
        profileBars(p, c, 3);
        return;
    case IconKind::FailureMark:
        warningTriangle(p, c);
        return;
    case IconKind::Information:
        information(p, c);
        return;
    case IconKind::ChartTab:
        barChart(p, c);
        return;
    }
}

// Whether pictures are shown on dark colours: the application's palette is a dark one.
bool darkBackground() {
    return isDark(QGuiApplication::palette());
}

// Paints one kind of picture at whatever size is asked for, keeping the pixmaps it made.
class PaintedIconEngine : public QIconEngine {
public:
    explicit PaintedIconEngine(IconKind kind) : kind_(kind) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const qreal side = qMin(rect.width(), rect.height());
        painter->translate(rect.x() + (rect.width() - side) / 2.0,
                           rect.y() + (rect.height() - side) / 2.0);
        painter->scale(side / 16.0, side / 16.0);
        draw(*painter, kind_, Inks{mode == QIcon::Disabled, darkBackground()});
        painter->restore();
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const quint64 key = (quint64(size.width()) << 32) | (quint64(size.height()) << 8) |
                            quint64(mode == QIcon::Disabled) | (quint64(darkBackground()) << 1);
        if (const auto found = made_.constFind(key); found != made_.cend())
            return *found;
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        painter.end();
        made_.insert(key, pixmap);
        return pixmap;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {QSize(16, 16), QSize(24, 24), QSize(32, 32), QSize(48, 48)};
    }

    QIconEngine* clone() const override { return new PaintedIconEngine(kind_); }
    QString key() const override { return QStringLiteral("tallypainted"); }

private:
    IconKind kind_;
    QHash<quint64, QPixmap> made_;
};

} // namespace

QIcon icon(IconKind kind) {
    return QIcon(new PaintedIconEngine(kind));
}

} // namespace tally
