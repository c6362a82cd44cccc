#include "ui/popupmenu.h"

#include "ui/units.h"

#include <QMenu>

namespace vx
{

void lookLikeTheWindows(QMenu& menu)
{
    menu.setFont(designFont(8.25, true, true));
    menu.setStyleSheet(QStringLiteral(
        "QMenu { background: rgb(12, 12, 36); border: 1px solid rgb(110, 110, 160); padding: 3px; }"
        "QMenu::item { color: rgb(0, 0, 255); background: transparent; padding: 3px 18px 3px 10px; "
        "}"
        "QMenu::item:selected { color: rgb(255, 0, 0); }"
        "QMenu::item:disabled { color: rgb(80, 80, 120); }"
        "QMenu::separator { height: 1px; background: rgb(70, 70, 110); margin: 3px 6px; }"));
}

} // namespace vx
