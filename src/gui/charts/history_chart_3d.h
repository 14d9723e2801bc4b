// Pieces of the three-dimensional history charts that Data Visualization lacks: rotation by
// dragging with the Control key held, text labels at whole-number positions of a value axis, and
// value labels written with the user's group separators.
#pragma once

#include <QPoint>
#include <QStringList>
#include <QtDataVisualization/QAbstract3DInputHandler>
#include <QtDataVisualization/QValue3DAxisFormatter>

namespace tally {

// Turns the camera while the left button is dragged with Control held; the wheel zooms. Plain
// clicks and drags do nothing, so the chart never selects or moves by accident.
class CtrlDragRotation : public QAbstract3DInputHandler {
    Q_OBJECT
public:
    explicit CtrlDragRotation(QObject* parent = nullptr);

    void mousePressEvent(QMouseEvent* event, const QPoint& mousePos) override;
    void mouseReleaseEvent(QMouseEvent* event, const QPoint& mousePos) override;
    void mouseMoveEvent(QMouseEvent* event, const QPoint& mousePos) override;
    void wheelEvent(QWheelEvent* event) override;

    bool isRotating() const { return rotating_; }

private:
    bool rotating_ = false;
    QPoint last_;
};

// Labels a value axis with texts at the positions 0, 1, 2, ...: the text at index i stands at
// value i. Every `stride`-th text is shown so that long histories stay readable.
class TextAxisFormatter : public QValue3DAxisFormatter {
    Q_OBJECT
public:
    explicit TextAxisFormatter(QObject* parent = nullptr);

    void setTexts(const QStringList& texts, int stride);

protected:
    QValue3DAxisFormatter* createNewInstance() const override;
    void recalculate() override;
    QString stringForValue(qreal value, const QString& format) const override;
    void populateCopy(QValue3DAxisFormatter& copy) const override;

private:
    QStringList texts_;
    int stride_ = 1;
};

// Writes a value axis's labels as the 2D charts do: with group separators and a fixed number of
// decimals ("150,000,000"). The ticks themselves are the axis's segments.
class NumberAxisFormatter : public QValue3DAxisFormatter {
    Q_OBJECT
public:
    explicit NumberAxisFormatter(QObject* parent = nullptr);

    void setDecimals(int decimals);

protected:
    QValue3DAxisFormatter* createNewInstance() const override;
    QString stringForValue(qreal value, const QString& format) const override;
    void populateCopy(QValue3DAxisFormatter& copy) const override;

private:
    int decimals_ = 0;
};

} // namespace tally
