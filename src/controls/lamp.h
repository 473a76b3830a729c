#pragma once
// A status lamp: a filled shape painted with one of the sixteen colours of the program's
// palette (0 black, 2 dark green, 9 blue, 10 green, 12 red, 14 yellow, ...).
#include <QColor>
#include <QWidget>

QColor paletteColor(int index);

class Lamp : public QWidget {
    Q_OBJECT
public:
    enum class Shape { Rectangle, Circle };
    explicit Lamp(QWidget* parent = nullptr, Shape shape = Shape::Circle);

    void setFillColor(int paletteIndex);
    int fillColor() const { return color_; }
    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    int color_ = 0;
    Shape shape_;
};
