#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>

namespace vx
{

// Twips per logical pixel of the primary screen (15 at 96 DPI).
double twipsPerPixel();
int twipsToPixels(double twips);
double pixelsToTwips(int pixels);

// The primary screen's size in twips.
QSizeF screenSizeTwips();
// The part of the primary screen left to windows (without panels), in twips.
QRectF availableScreenTwips();

// Colours as the catalogue's windows were designed: 0x00BBGGRR.
QColor colorFromBgr(quint32 bgr);

// Arial where present, Liberation Sans otherwise; point sizes as designed.
QFont designFont(double pointSize, bool bold = false, bool italic = false);

} // namespace vx
