#include "ui/base/gamesaving.h"

#include "core/reentry.h"
#include "ui/base/indexevents.h"
#include "ui/busypointer.h"
#include "ui/dialogs.h"
#include "ui/form.h"
#include "ui/sys_procs.h"
#include "ui/vx_modules.h"

namespace vx
{

void saveFromWindow(const GameEntry& entry, Form& window)
{
    // The save and the slide serve the event loop; another save or a Clear meanwhile, from any
    // window, is ignored.
    ReentryGuard guard(catalogueWriteRunning());
    if (!guard.entered())
        return;
    // The browser first takes the index as it was before this save.
    emit IndexEvents::get().aboutToWrite();
    // The writes wait on the disk off this thread; clicks wait for them, the pointer says so.
    const auto save = [](const GameEntry& game) {
        const BusyPointer busy;
        return saveGame(game);
    };
    SaveResult saved = save(entry);
    if (saved.outcome == SaveOutcome::WouldReplace) {
        // Asked with the lock given back: another copy may write while the question waits.
        const auto answer = askQuestion(
            &window,
            QStringLiteral("A game named \u201C%1\u201D is already in the catalogue. Replace it?")
                .arg(entry.name),
            QStringLiteral("Vexloutil"), QMessageBox::Yes | QMessageBox::No, QMessageBox::Question,
            QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
        GameEntry confirmed = entry;
        confirmed.replaceConfirmed = true;
        saved = save(confirmed);
    }
    VX_modules::show_notices(saved.notices);
    if (saved.outcome != SaveOutcome::Saved)
        return;
    emit IndexEvents::get().saved(saved.index);
    if (!saved.renamedFrom.isEmpty())
        emit IndexEvents::get().renamed(saved.renamedFrom, entry.name);
    sys_procs::slide_out_left(window);
}

} // namespace vx
