#pragma once

#include "ui/dialogs.h"

class QLineEdit;

namespace vx
{

// What a browse button beside a game's path box chooses.
enum class GameFile { Rom, Picture };

// The browse buttons of the add and edit windows: opens the open dialog for `kind` from `window`.
// It starts from the box's file when the box names one in a folder that exists, else in the
// folder of the file last chosen with `dialog`. True when the user chose a file (then in
// dialog.FileName); a cancel leaves the box to the caller untouched.
bool browseGameFile(CommonDialog& dialog, GameFile kind, QWidget& window, const QLineEdit& box);

} // namespace vx
