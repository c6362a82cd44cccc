#pragma once

#include <QByteArray>

namespace vx
{

// The windows of this program place themselves, which a Wayland client cannot do. In a Wayland
// session with XWayland (an X display) and no platform chosen by the user, the program asks Qt
// for the X platform; otherwise it leaves the choice to Qt. Returns the platform to set, or
// nothing.
QByteArray preferredPlatform(const QByteArray& chosen, const QByteArray& sessionType,
                             const QByteArray& waylandDisplay, const QByteArray& x11Display);

// Applies preferredPlatform to this process's environment; call before the application starts.
void preferPlacedWindows();

} // namespace vx
