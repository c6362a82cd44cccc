#include "edit/edit_rom_list.h"

#include "art/art.h"
#include "platform/forms.h"

#include <QListWidget>

namespace vx
{

edit_rom_list& edit_rom_list::get()
{
    return lazyForm<edit_rom_list>();
}

edit_rom_list::edit_rom_list()
    : Form(QStringLiteral("edit_rom_list"), Qt::FramelessWindowHint | Qt::Tool),
      rom_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Edit ROM"));
    setClientSize(2490, 3585);
    setBackground(art::listBackground());
    rom_list->setObjectName(QStringLiteral("rom_list"));
}

} // namespace vx
