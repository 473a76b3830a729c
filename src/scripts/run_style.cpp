#include "scripts/run_style.h"

#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyleOption>

#include <algorithm>

RunStyle* RunStyle::instance()
{
    // Never deleted: widgets hold on to their style until the very end of the program.
    static RunStyle* style = new RunStyle;
    return style;
}

void RunStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const
{
    if (element == PE_PanelItemViewRow)
        return; // the grid's cells paint their ground, selection included
    const auto* frame = qstyleoption_cast<const QStyleOptionFrame*>(option);
    if (element != PE_PanelLineEdit || !frame || option->rect.isEmpty()) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
    const QString key = QStringLiteral("dcpeval-field-%1x%2-%3-%4-%5-%6-%7")
                            .arg(option->rect.width())
                            .arg(option->rect.height())
                            .arg(static_cast<unsigned>(option->state))
                            .arg(option->palette.cacheKey())
                            .arg(frame->lineWidth)
                            .arg(static_cast<int>(option->direction))
                            .arg(ratio);
    QPixmap drawn;
    if (!QPixmapCache::find(key, &drawn)) {
        drawn = QPixmap((QSizeF(option->rect.size()) * ratio).toSize());
        drawn.setDevicePixelRatio(ratio);
        drawn.fill(Qt::transparent);
        QPainter p(&drawn);
        QStyleOptionFrame at(*frame);
        at.rect = QRect(QPoint(0, 0), option->rect.size());
        QProxyStyle::drawPrimitive(element, &at, &p, widget);
        p.end();
        QPixmapCache::insert(key, drawn);
    }
    painter->drawPixmap(option->rect.topLeft(), drawn);
}

void RunStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
                                  const QWidget* widget) const
{
    // A fill of 96 lines or more is split among threads.
    constexpr int kBand = 90;
    const QRect r = option->rect;
    if (control != CC_ScrollBar || r.height() <= kBand) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    for (int top = r.top(); top <= r.bottom(); top += kBand) {
        painter->save();
        painter->setClipRect(QRect(r.left(), top, r.width(), std::min(kBand, r.bottom() + 1 - top)), Qt::IntersectClip);
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        painter->restore();
    }
}
