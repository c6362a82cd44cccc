#include "art/painting.h"

#include "ui/units.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vx::art
{

TwipsCanvas::TwipsCanvas(QPainter& painter, const QRectF& target, double widthTwips,
                         double heightTwips)
    : m_painter(painter), m_target(target),
      m_scale(std::min(target.width() / widthTwips, target.height() / heightTwips))
{
}

QRectF TwipsCanvas::rect(double left, double top, double width, double height) const
{
    return {m_target.left() + left * m_scale, m_target.top() + top * m_scale, width * m_scale,
            height * m_scale};
}

QPointF TwipsCanvas::point(double left, double top) const
{
    return {m_target.left() + left * m_scale, m_target.top() + top * m_scale};
}

double TwipsCanvas::pixels(double twips) const
{
    return std::max(1.0, std::round(twips * m_scale));
}

void paintBevel(QPainter& painter, const QRectF& rect, double width, bool sunken)
{
    const QColor light(224, 224, 224);
    const QColor mid(160, 160, 160);
    const QColor dark(72, 72, 72);

    painter.save();
    painter.setPen(Qt::NoPen);
    // Light from the top left: the top and left sides of a raised bevel catch it.
    QPolygonF upper;
    upper << rect.topLeft() << rect.topRight() << QPointF(rect.right() - width, rect.top() + width)
          << QPointF(rect.left() + width, rect.top() + width)
          << QPointF(rect.left() + width, rect.bottom() - width) << rect.bottomLeft();
    painter.setBrush(sunken ? dark : light);
    painter.drawPolygon(upper);

    QPolygonF lower;
    lower << rect.bottomRight() << rect.bottomLeft()
          << QPointF(rect.left() + width, rect.bottom() - width)
          << QPointF(rect.right() - width, rect.bottom() - width)
          << QPointF(rect.right() - width, rect.top() + width) << rect.topRight();
    painter.setBrush(sunken ? light : dark);
    painter.drawPolygon(lower);

    // A wide bevel gets a mid-grey core, so it reads as a moulded frame rather than two slabs.
    if (width >= 3) {
        const double edge = std::floor(width / 3);
        QPainterPath core;
        core.addRect(rect.adjusted(edge, edge, -edge, -edge));
        core.addRect(rect.adjusted(width - edge, width - edge, edge - width, edge - width));
        painter.setBrush(mid);
        painter.drawPath(core);
    }
    painter.restore();
}

void paintFramedFace(QPainter& painter, const QRectF& target, double frame, double inner)
{
    painter.fillRect(target, Qt::black);
    paintBevel(painter, target, frame, false);
    paintBevel(painter, target.adjusted(frame, frame, -frame, -frame), inner, true);
}

void paintCaption(TwipsCanvas& canvas, const Caption& caption)
{
    QPainter& painter = canvas.painter();
    painter.save();
    QFont font = designFont(caption.pointSize, caption.bold, caption.italic);
    // Point sizes are designed for 15 twips a pixel (20 twips a point); scale with the canvas.
    font.setPixelSize(std::max(1, int(std::lround(caption.pointSize * 20 * canvas.scale()))));
    painter.setFont(font);
    painter.setPen(caption.color);
    const QFontMetricsF metrics(font);
    const QPointF origin = canvas.point(caption.left, caption.top);
    double baseline = origin.y() + metrics.ascent();
    if (caption.band > 0) {
        const double centre = origin.y() + caption.band * canvas.scale() / 2;
        baseline = std::round(centre + metrics.capHeight() / 2);
    }
    painter.drawText(QPointF(origin.x(), baseline), caption.text);
    painter.restore();
}

} // namespace vx::art
