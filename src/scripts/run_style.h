#pragma once
// The style of the script window's grid and fields: the application's own, with what a run
// repaints in every frame made cheap. A field's frame is drawn once per size, state and palette
// and then copied; the grid's row panels are left out, as its cells paint all of themselves;
// a scroll bar is painted in bands short enough that the raster engine fills them at once
// rather than handing each fill to its worker threads and waiting for them, which took longer
// than the painting.
#include <QProxyStyle>

class RunStyle : public QProxyStyle {
public:
    // One for the program: the style follows the application's.
    static RunStyle* instance();

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                            const QWidget* widget = nullptr) const override;

private:
    RunStyle() = default;
};
