#pragma once

#include <QString>

class QWidget;

namespace vx
{

class Form;
class ListBox;

// What the add and edit windows hand to a save.
struct GameEntry {
    QString name;
    QString romPath;
    QString imagePath;
    QString gameType;
    QString sizeText;
    QString description;
};

// Names the six fields of the add and edit windows for assistive technology, as their captions
// on the window read.
void nameGameFields(QWidget* name, QWidget* romPath, QWidget* imagePath, QWidget* gameType,
                    QWidget* size, QWidget* description);

// Set while a save or a Clear runs. Both pump events, and a write started inside another would
// write an index read before it, so a second one meanwhile is ignored.
bool& catalogueWriteRunning();

enum class SaveOutcome {
    Refused, // a field was empty or unusable; nothing was read or written
    Failed,  // the index could not be read, or the record or the index could not be written;
             // both are as they were
    Saved,   // record and index written, browser list refreshed, window slid away
    Busy,    // another save was still running; this one was ignored
};

// The save shared by the add and edit windows: checks, warnings, the record's six keys, the
// name appended to the index through the window's working list, the browser's list refreshed
// and the window slid away.
SaveOutcome saveGame(const GameEntry& entry, ListBox& workingList, Form& window);

} // namespace vx
