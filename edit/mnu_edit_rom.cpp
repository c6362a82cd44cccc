#include "edit/mnu_edit_rom.h"

#include "ui/base/gamesaving.h"
#include "ui/forms.h"
#include "ui/sys_procs.h"

namespace vx
{

mnu_edit_rom& mnu_edit_rom::get()
{
    return lazyForm<mnu_edit_rom>();
}

mnu_edit_rom::mnu_edit_rom()
    : GameForm(EditWindow), Picture1(button(BrowseRom)), Picture2(button(BrowsePicture)),
      Picture3(button(Ok)), Picture4(button(Cancel))
{
    // The browse buttons act at the press, OK and Cancel at the click.
    connect(Picture1, &PictureBox::mouseDown, this, &mnu_edit_rom::Picture1_MouseDown);
    connect(Picture2, &PictureBox::mouseDown, this, &mnu_edit_rom::Picture2_MouseDown);
    connect(Picture3, &PictureBox::clicked, this, &mnu_edit_rom::Picture3_Click);
    connect(Picture4, &PictureBox::clicked, this, &mnu_edit_rom::Picture4_Click);
}

void mnu_edit_rom::open(const QString& name, const catalogue::Record& record)
{
    m_openedName = name;
    showEntry({name, record.file, record.image, record.gametype, record.size, record.desc});
}

void mnu_edit_rom::closeIfRemoved()
{
    // By its record: another case of the name may have found the same one.
    if (isVisible() && !m_openedName.isEmpty() && catalogue::findRecord(m_openedName).isEmpty())
        sys_procs::slide_out_left(*this);
}

// The browse buttons open the add window's dialogs; only the path box changes, as on a drop.
void mnu_edit_rom::Picture1_MouseDown()
{
    browse(BrowseRom);
}

void mnu_edit_rom::Picture2_MouseDown()
{
    browse(BrowsePicture);
}

void mnu_edit_rom::Picture3_Click()
{
    // A name box that differs from the name the game was opened under renames it; before any
    // game is opened there is nothing to rename.
    GameEntry entry = typedEntry();
    entry.openedAs = m_openedName;
    if (m_openedName.isEmpty())
        entry.name.clear();
    saveFromWindow(entry, *this);
}

void mnu_edit_rom::Picture4_Click()
{
    sys_procs::slide_out_left(*this);
}

} // namespace vx
