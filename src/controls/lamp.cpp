#include "controls/lamp.h"

#include <QPainter>

QColor paletteColor(int index)
{
    static const QColor colors[16] = {
        QColor(0, 0, 0),       QColor(0, 0, 128),   QColor(0, 128, 0),   QColor(0, 128, 128),
        QColor(128, 0, 0),     QColor(128, 0, 128), QColor(128, 128, 0), QColor(192, 192, 192),
        QColor(128, 128, 128), QColor(0, 0, 255),   QColor(0, 255, 0),   QColor(0, 255, 255),
        QColor(255, 0, 0),     QColor(255, 0, 255), QColor(255, 255, 0), QColor(255, 255, 255),
    };
    return colors[index & 15];
}

Lamp::Lamp(QWidget* parent, Shape shape) : QWidget(parent), shape_(shape)
{
    setMinimumSize(12, 12);
}

void Lamp::setFillColor(int paletteIndex)
{
    if (color_ == paletteIndex)
        return;
    color_ = paletteIndex;
    update();
}

void Lamp::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(paletteColor(color_));
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    if (shape_ == Shape::Circle) {
        const qreal d = qMin(r.width(), r.height());
        p.drawEllipse(QRectF(r.center().x() - d / 2, r.center().y() - d / 2, d, d));
    } else {
        p.drawRect(r);
    }
}
