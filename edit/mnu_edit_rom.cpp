#include "edit/mnu_edit_rom.h"

#include "art/art.h"
#include "platform/forms.h"

namespace vx
{

mnu_edit_rom& mnu_edit_rom::get()
{
    return lazyForm<mnu_edit_rom>();
}

mnu_edit_rom::mnu_edit_rom()
    : Form(QStringLiteral("mnu_edit_rom"), Qt::FramelessWindowHint | Qt::Tool)
{
    setWindowTitle(QStringLiteral("Edit ROM"));
    setClientSize(5745, 4470);
    setBackground(art::editBackground());
}

} // namespace vx
