#pragma once

#include "ui/controls.h"

#include <QIcon>

namespace vx
{

// An icon drawn from a picture at whatever size is asked for, when it is asked for: a window
// icon costs nothing until the window system wants one of its sizes.
QIcon pictureIcon(PicturePtr picture);

} // namespace vx
