#include "add/mnu_add_rom.h"

#include "art/art.h"
#include "platform/forms.h"

namespace vx
{

mnu_add_rom& mnu_add_rom::get()
{
    return lazyForm<mnu_add_rom>();
}

mnu_add_rom::mnu_add_rom() : Form(QStringLiteral("mnu_add_rom"), Qt::FramelessWindowHint | Qt::Tool)
{
    setWindowTitle(QStringLiteral("Add ROM"));
    setClientSize(5715, 4470);
    setBackground(art::addBackground());
}

} // namespace vx
