#pragma once

#include "core/gamesave.h"

#include <QString>

namespace vx
{

enum class RemoveOutcome {
    Failed,  // nothing was changed
    Removed, // the name is out of the index (its record may have stayed: see the notices)
};

struct RemoveResult {
    RemoveOutcome outcome = RemoveOutcome::Failed;
    QList<Notice> notices;
};

// Takes a game out of the catalogue under the lock: every index line of exactly `name`, then
// its record. Its ROM and picture files are not the catalogue's and stay. The index goes first,
// so a kill between the two steps leaves at worst a record no line names, which rebuilding the
// index takes back; never an index line without its record.
RemoveResult removeGame(const QString& name);

} // namespace vx
