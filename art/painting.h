#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace vx::art
{

// A caption drawn into a background, placed in the window's twips.
struct Caption {
    QString text;
    double left;
    double top;
    double pointSize = 8.25;
    bool bold = true;
    bool italic = true;
    QColor color = QColor(128, 128, 255);
};

// Maps a window designed in twips onto the rectangle it is painted into.
class TwipsCanvas
{
public:
    TwipsCanvas(QPainter& painter, const QRectF& target, double widthTwips, double heightTwips);
    QRectF rect(double left, double top, double width, double height) const;
    QPointF point(double left, double top) const;
    double scale() const { return m_scale; }
    QPainter& painter() { return m_painter; }

private:
    QPainter& m_painter;
    QRectF m_target;
    double m_scale;
};

// Black face inside a grey bevelled frame.
void paintFramedFace(QPainter& painter, const QRectF& target, double frameWidth);
// A raised (or, pressed, sunken) grey bevel around a rectangle.
void paintBevel(QPainter& painter, const QRectF& rect, double width, bool sunken);
void paintCaption(TwipsCanvas& canvas, const Caption& caption);

} // namespace vx::art
