#include "edit/edit_rom_list.h"

#include "core/catalogue.h"
#include "core/reentry.h"
#include "edit/mnu_edit_rom.h"
#include "ui/forms.h"
#include "ui/sys_procs.h"

namespace vx
{

edit_rom_list& edit_rom_list::get()
{
    return lazyForm<edit_rom_list>();
}

edit_rom_list::edit_rom_list()
    : ListWindow({QStringLiteral("edit_rom_list"), QStringLiteral("Edit ROM"), 2490, true})
{
    // A choice is a selection made by the user: a press on an entry or a keyboard move. The
    // current row alone is not enough, since the list makes its first entry current (without
    // selecting it) when it gains focus, and emptying the list clears the selection.
    // While a name is being found, the arrows move through the names found and Enter opens one.
    connect(rom_list, &ListBox::entrySelected, this, [this] {
        if (!rom_list->selectingByKeyboard() || rom_list->filter().isEmpty())
            rom_list_Click();
    });
}

void edit_rom_list::rom_list_Click()
{
    // Removing a missing entry and the slide both run events; a choice meanwhile is ignored.
    ReentryGuard guard(m_choosing);
    if (!guard.entered())
        return;
    const int row = rom_list->selectedRow();
    if (row < 0)
        return;
    QString name = rom_list->text(row);
    const QString recordPath = recordOrNotice(row);
    if (recordPath.isEmpty()) {
        rom_list->setCurrentRow(-1);
        rom_list->clearSelection();
        // The edit window opens empty.
        name.clear();
    }

    mnu_edit_rom::get().open(name, catalogue::readRecord(recordPath));
    sys_procs::slide_out_left(*this);
    emit gameOpened();
}

void edit_rom_list::chooseCurrent()
{
    const int current = rom_list->currentRow();
    if (current < 0)
        return;
    if (rom_list->selectedRow() == current)
        rom_list_Click();
    else
        rom_list->setCurrentRow(current); // the selection opens it
}

void edit_rom_list::showIndex()
{
    showOnTop(rom_list);
}

void edit_rom_list::Label2_Click()
{
    sys_procs::slide_out_left(*this);
}

} // namespace vx
