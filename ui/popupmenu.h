#pragma once

class QMenu;

namespace vx
{

// Gives a pop-up menu the windows' own look rather than the system's: the dark well, the
// commands' blue bold italics, red under the pointer or the keyboard, as the hub's commands.
void lookLikeTheWindows(QMenu& menu);

} // namespace vx
