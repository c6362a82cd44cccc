#include "art/painting.h"

#include "platform/units.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

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

void paintBevel(QPainter& painter, const QRectF& rect, double width, bool sunken)
{
    const QColor light(224, 224, 224);
    const QColor mid(160, 160, 160);
    const QColor dark(72, 72, 72);
    const QColor topLeft = sunken ? dark : light;
    const QColor bottomRight = sunken ? light : dark;

    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(mid);
    QPainterPath frame;
    frame.addRect(rect);
    frame.addRect(rect.adjusted(width, width, -width, -width));
    painter.drawPath(frame);

    QPolygonF upper;
    upper << rect.topLeft() << rect.topRight() << QPointF(rect.right() - width, rect.top() + width)
          << QPointF(rect.left() + width, rect.top() + width)
          << QPointF(rect.left() + width, rect.bottom() - width) << rect.bottomLeft();
    painter.setBrush(topLeft);
    painter.drawPolygon(upper);

    QPolygonF lower;
    lower << rect.bottomRight() << rect.bottomLeft()
          << QPointF(rect.left() + width, rect.bottom() - width)
          << QPointF(rect.right() - width, rect.bottom() - width)
          << QPointF(rect.right() - width, rect.top() + width) << rect.topRight();
    painter.setBrush(bottomRight);
    painter.drawPolygon(lower);

    // A mid-grey core line keeps the frame readable as one band at small sizes.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(mid, std::max(1.0, width / 3)));
    const double half = width / 2;
    painter.drawRect(rect.adjusted(half, half, -half, -half));
    painter.restore();
}

void paintFramedFace(QPainter& painter, const QRectF& target, double frameWidth)
{
    painter.fillRect(target, Qt::black);
    paintBevel(painter, target, frameWidth, false);
    paintBevel(painter, target.adjusted(frameWidth, frameWidth, -frameWidth, -frameWidth),
               std::max(1.0, frameWidth / 3), true);
}

void paintCaption(TwipsCanvas& canvas, const Caption& caption)
{
    QPainter& painter = canvas.painter();
    painter.save();
    QFont font = designFont(caption.pointSize, caption.bold, caption.italic);
    // Point sizes are designed for 15 twips a pixel; scale with the canvas.
    font.setPixelSize(std::max(1, static_cast<int>(caption.pointSize * 20 * canvas.scale() + 0.5)));
    painter.setFont(font);
    painter.setPen(caption.color);
    const QPointF origin = canvas.point(caption.left, caption.top);
    const QFontMetricsF metrics(font);
    painter.drawText(QPointF(origin.x(), origin.y() + metrics.ascent()), caption.text);
    painter.restore();
}

} // namespace vx::art
