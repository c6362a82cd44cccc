#include "browser/mnu_list.h"

#include "core/reentry.h"
#include "ui/forms.h"
#include "ui/sys_procs.h"
#include "ui/vx_modules.h"

namespace vx
{

mnu_list& mnu_list::get()
{
    return lazyForm<mnu_list>();
}

mnu_list::mnu_list()
    : ListWindow({QStringLiteral("mnu_list"), QStringLiteral("View ROM"), 2505, false})
{
    connect(rom_list, &ListBox::itemDoubleClicked, this, &mnu_list::rom_list_DblClick);
}

void mnu_list::Form_Load()
{
    VX_modules::remove_duplicates(*rom_list);
}

void mnu_list::rom_list_DblClick()
{
    // The slide pumps events; a second double click meanwhile is ignored.
    ReentryGuard guard(m_viewing);
    if (!guard.entered())
        return;

    // Nothing selected (a double click on the bare list): nothing to show.
    const int row = rom_list->currentRow();
    if (row < 0 || row != rom_list->selectedRow())
        return;

    const QString name = rom_list->text(row);
    const QString recordPath = recordOrNotice(row);
    // Missing: the detail view keeps the last game shown, and the browser stays for another
    // choice.
    if (recordPath.isEmpty())
        return;

    emit gameChosen(name, catalogue::readRecord(recordPath));

    sys_procs::slide_out_left(*this);
}

void mnu_list::chooseCurrent()
{
    // The keyboard's cursor shows on a row from the moment the list has the focus: Enter views
    // that row even before an arrow has selected it.
    const int current = rom_list->currentRow();
    if (current >= 0 && rom_list->selectedRow() < 0)
        rom_list->setCurrentRow(current);
    rom_list_DblClick();
}

void mnu_list::takeIndex(const TextList& names)
{
    rom_list->addItems(names);
}

void mnu_list::showIndex()
{
    VX_modules::remove_duplicates(*rom_list);
    // A hand-written index without the empty first line keeps its first name.
    if (rom_list->count() > 0 && rom_list->text(0).isEmpty())
        rom_list->removeItem(0);
    showOnTop(rom_list);
}

void mnu_list::takeSavedIndex(const TextList& index)
{
    hide();
    sys_procs::appendItems(*rom_list, index);
}

void mnu_list::Label2_Click()
{
    hide();
}

} // namespace vx
