#include "ui/units.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace vx
{

double twipsPerPixel()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}

int twipsToPixels(double twips)
{
    return static_cast<int>(std::lround(twips / twipsPerPixel()));
}

double pixelsToTwips(int pixels)
{
    return pixels * twipsPerPixel();
}

QSizeF screenSizeTwips()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->geometry().size() : QSize(1024, 768);
    const double tpp = twipsPerPixel();
    return {size.width() * tpp, size.height() * tpp};
}

QRectF availableScreenTwips()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const double tpp = twipsPerPixel();
    return {room.x() * tpp, room.y() * tpp, room.width() * tpp, room.height() * tpp};
}

QColor colorFromBgr(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

QFont designFont(double pointSize, bool bold, bool italic)
{
    static const QString family = [] {
        const QStringList families = QFontDatabase::families();
        for (const char* wanted : {"Arial", "Liberation Sans"}) {
            if (families.contains(QLatin1String(wanted), Qt::CaseInsensitive))
                return QString::fromLatin1(wanted);
        }
        return QStringLiteral("Sans Serif");
    }();
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    font.setItalic(italic);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace vx
