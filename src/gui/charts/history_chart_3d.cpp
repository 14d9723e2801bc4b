#include "gui/charts/history_chart_3d.h"

#include "core/results/chart_data.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/QValue3DAxis>

#include <algorithm>
#include <cmath>

namespace tally {

namespace {
constexpr float DegreesPerPixel = 0.4f;
} // namespace

CtrlDragRotation::CtrlDragRotation(QObject* parent) : QAbstract3DInputHandler(parent) {}

void CtrlDragRotation::mousePressEvent(QMouseEvent* event, const QPoint& mousePos) {
    rotating_ = event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier) &&
                scene() != nullptr;
    last_ = mousePos;
}

void CtrlDragRotation::mouseReleaseEvent(QMouseEvent*, const QPoint&) {
    rotating_ = false;
}

void CtrlDragRotation::mouseMoveEvent(QMouseEvent* event, const QPoint& mousePos) {
    if (!rotating_)
        return;
    if (!(event->modifiers() & Qt::ControlModifier) || !(event->buttons() & Qt::LeftButton)) {
        rotating_ = false; // Control let go: the drag no longer turns the chart
        return;
    }
    Q3DCamera* camera = scene()->activeCamera();
    const QPoint delta = mousePos - last_;
    last_ = mousePos;
    camera->setXRotation(camera->xRotation() + delta.x() * DegreesPerPixel);
    camera->setYRotation(
        std::clamp(camera->yRotation() + delta.y() * DegreesPerPixel, 0.0f, 90.0f));
}

void CtrlDragRotation::wheelEvent(QWheelEvent* event) {
    if (scene() == nullptr)
        return;
    Q3DCamera* camera = scene()->activeCamera();
    const float steps = event->angleDelta().y() / 120.0f;
    camera->setZoomLevel(std::clamp(camera->zoomLevel() + steps * 10.0f, 20.0f, 500.0f));
}

TextAxisFormatter::TextAxisFormatter(QObject* parent) : QValue3DAxisFormatter(parent) {
    setAllowNegatives(true);
    setAllowZero(true);
}

void TextAxisFormatter::setTexts(const QStringList& texts, int stride) {
    texts_ = texts;
    stride_ = std::max(1, stride);
    markDirty(true);
}

QValue3DAxisFormatter* TextAxisFormatter::createNewInstance() const {
    return new TextAxisFormatter();
}

void TextAxisFormatter::recalculate() {
    gridPositions().clear();
    subGridPositions().clear();
    labelPositions().clear();
    labelStrings().clear();
    const float min = axis()->min();
    const float max = axis()->max();
    const float span = max - min;
    if (span <= 0)
        return;
    for (int i = 0; i < texts_.size(); i += stride_) {
        if (i < min || i > max)
            continue;
        const float position = (i - min) / span;
        gridPositions().append(position);
        labelPositions().append(position);
        labelStrings().append(texts_.at(i));
    }
}

QString TextAxisFormatter::stringForValue(qreal value, const QString&) const {
    const qsizetype i = std::lround(value);
    return i >= 0 && i < texts_.size() ? texts_.at(i) : QString();
}

void TextAxisFormatter::populateCopy(QValue3DAxisFormatter& copy) const {
    QValue3DAxisFormatter::populateCopy(copy);
    auto& target = static_cast<TextAxisFormatter&>(copy);
    target.texts_ = texts_;
    target.stride_ = stride_;
}

NumberAxisFormatter::NumberAxisFormatter(QObject* parent) : QValue3DAxisFormatter(parent) {
    setAllowNegatives(true);
    setAllowZero(true);
}

void NumberAxisFormatter::setDecimals(int decimals) {
    decimals_ = std::max(0, decimals);
    markDirty(true);
}

QValue3DAxisFormatter* NumberAxisFormatter::createNewInstance() const {
    return new NumberAxisFormatter();
}

QString NumberAxisFormatter::stringForValue(qreal value, const QString&) const {
    return chartValueText(value, decimals_);
}

void NumberAxisFormatter::populateCopy(QValue3DAxisFormatter& copy) const {
    QValue3DAxisFormatter::populateCopy(copy);
    static_cast<NumberAxisFormatter&>(copy).decimals_ = decimals_;
}

} // namespace tally
