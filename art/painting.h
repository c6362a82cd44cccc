#pragma once

#include <QColor>
#include <QList>
#include <QRectF>
#include <QString>

class QPainter;

namespace vx::art
{

// A caption drawn into a background, placed in the window's twips. With a band height it is
// centred in the band [top, top + band] so it lines up with the control beside it.
struct Caption {
    QString text;
    double left;
    double top;
    double pointSize = 8.25;
    bool bold = true;
    bool italic = true;
    QColor color = QColor(128, 128, 255);
    double band = 0;
};

// Maps a window designed in twips onto the rectangle it is painted into.
class TwipsCanvas
{
public:
    TwipsCanvas(QPainter& painter, const QRectF& target, double widthTwips, double heightTwips);
    QRectF rect(double left, double top, double width, double height) const;
    QPointF point(double left, double top) const;
    // A length in twips on the canvas, whole pixels and never less than one, so lines stay crisp.
    double pixels(double twips) const;
    double scale() const { return m_scale; }
    QPainter& painter() { return m_painter; }

private:
    QPainter& m_painter;
    QRectF m_target;
    double m_scale;
};

// Black face inside a grey bevelled frame: a raised band of `frame` with a sunken line of
// `inner` inside it.
void paintFramedFace(QPainter& painter, const QRectF& target, double frame, double inner);
// A raised (or, sunken) grey bevel of the given width inside a rectangle.
void paintBevel(QPainter& painter, const QRectF& rect, double width, bool sunken);
void paintCaption(TwipsCanvas& canvas, const Caption& caption);

} // namespace vx::art
