#include "ui/session.h"

#include <QtGlobal>

namespace vx
{

QByteArray preferredPlatform(const QByteArray& chosen, const QByteArray& sessionType,
                             const QByteArray& waylandDisplay, const QByteArray& x11Display)
{
    const bool wayland = sessionType == "wayland" || !waylandDisplay.isEmpty();
    if (!chosen.isEmpty() || !wayland || x11Display.isEmpty())
        return {};
    return QByteArrayLiteral("xcb");
}

void preferPlacedWindows()
{
    const QByteArray platform =
        preferredPlatform(qgetenv("QT_QPA_PLATFORM"), qgetenv("XDG_SESSION_TYPE"),
                          qgetenv("WAYLAND_DISPLAY"), qgetenv("DISPLAY"));
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform);
}

} // namespace vx
