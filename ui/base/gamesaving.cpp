#include "ui/base/gamesaving.h"

#include "core/reentry.h"
#include "ui/base/indexevents.h"
#include "ui/busypointer.h"
#include "ui/listbox.h"
#include "ui/sys_procs.h"
#include "ui/vx_modules.h"

namespace vx
{

void saveFromWindow(const GameEntry& entry, ListBox& workingList, Form& window)
{
    // The save and the slide serve the event loop; another save or a Clear meanwhile, from any
    // window, is ignored.
    ReentryGuard guard(catalogueWriteRunning());
    if (!guard.entered())
        return;
    // The browser first takes the index as it was before this save.
    emit IndexEvents::get().aboutToWrite();
    SaveResult saved;
    {
        // The writes wait on the disk off this thread; clicks wait for them, the pointer says so.
        const BusyPointer busy;
        saved = saveGame(entry);
    }
    VX_modules::show_notices(saved.notices);
    if (saved.outcome != SaveOutcome::Saved)
        return;
    workingList.setItems(saved.index);
    emit IndexEvents::get().saved(saved.index);
    sys_procs::slide_out_left(window);
}

} // namespace vx
