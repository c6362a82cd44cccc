#pragma once

#include "core/textlist.h"

#include <QList>
#include <QString>

namespace vx
{

// What the add and edit windows hand to a save.
struct GameEntry {
    QString name;
    QString romPath;
    QString imagePath;
    QString gameType;
    QString sizeText;
    QString description;
    // The edit window's: the name the game was opened under; a name that differs renames it.
    QString openedAs{};
    // An add whose name has a record with other values replaces it only once the user said so.
    bool replaceConfirmed = false;
};

// A fixed notice of two lines.
struct Notice {
    QString upper;
    QString lower;
};

enum class SaveOutcome {
    Refused, // a field was empty or unusable; nothing was read or written
    Failed,  // the index could not be read, or the record or the index could not be written;
             // both are as they were
    Saved,   // record and index written
    // An add whose name has a record with other values, not yet confirmed: nothing was written.
    WouldReplace,
};

struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Refused;
    // To show in this order: warnings that let the save go on, then what stopped it.
    QList<Notice> notices;
    // Saved: the index's items as reading the file now gives them.
    TextList index;
    // Saved by a rename: the name the game had.
    QString renamedFrom;
};

// Set by the windows while a save or a Clear runs, with what follows it. Both serve the event
// loop, and a write started inside another would write an index read before it, so a second
// one meanwhile is not started.
bool& catalogueWriteRunning();

// The save shared by the add and edit windows: the entry checked, the record's six keys
// written and the name appended to the index, under the catalogue's lock. A save that cannot
// finish leaves both files as they were. Serves the event loop between its steps, and while each
// file is written and flushed (clicks wait for those).
// A rename (openedAs set and other than the name) is refused when the new name has a record of
// its own; else the record is written under the new name (keeping the old one's other keys),
// every index line that found the old record takes the new name where it stands (the name is
// appended when none did), and the old record is removed, in that order: a kill leaves at worst
// both records.
SaveResult saveGame(const GameEntry& entry);

} // namespace vx
