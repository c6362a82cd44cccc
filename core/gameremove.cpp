#include "core/gameremove.h"

#include "core/catalogue.h"
#include "core/listfile.h"
#include "core/pump.h"
#include "core/recordlookup.h"
#include "core/textfile.h"

namespace vx
{

namespace
{

Notice notice(const char* upper, const char* lower)
{
    return {QString::fromLatin1(upper), QString::fromLatin1(lower)};
}

Notice busy()
{
    return notice("The game could not be removed.",
                  "Another copy of the program is busy with the catalogue; try again.");
}

Notice cannotWrite()
{
    return notice("The game could not be removed.", "Check that the bin folder can be written.");
}

} // namespace

RemoveResult removeGame(const QString& name)
{
    RemoveResult result;
    const catalogue::WriteLock lock;
    if (!lock.held()) {
        result.notices << (lock.state() == catalogue::WriteLock::State::Busy ? busy()
                                                                             : cannotWrite());
        return result;
    }

    const QString indexPath = catalogue::indexPath();
    const std::optional<TextList> items = listfile::read(indexPath);
    if (!items) {
        // Written back without its names, the index would lose every one of them.
        result.notices << notice("The game could not be removed.",
                                 "Check that the bin folder can be read.");
        return result;
    }
    // Beside the windows: at a million names the pass alone would hold them up.
    TextList kept;
    runServingEvents(
        [&] { kept = items->filtered([&](QStringView line) { return line != name; }); });
    if (kept.size() != items->size() && !listfile::write(indexPath, kept)) {
        result.notices << (catalogue::lockLost() ? busy() : cannotWrite());
        return result;
    }
    result.outcome = RemoveOutcome::Removed;

    const QString recordPath = catalogue::findRecord(name);
    if (recordPath.isEmpty())
        return result;
    // Bin is read again at the next lookup: the change is a name gone, not one written.
    const catalogue::BinChange change;
    if (catalogue::lockLost() || !removeFile(recordPath))
        result.notices << notice("The game's record could not be deleted.",
                                 "Check that the bin folder can be written.");
    return result;
}

} // namespace vx
