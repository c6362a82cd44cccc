#pragma once

#include "core/gamesave.h"
#include "core/textlist.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

// Bringing many cartridge images into the catalogue at once, and listing again the records an
// index lost.
namespace vx::romimport
{

// How far an import has got; written by the thread doing the work, read by the window showing it.
struct Progress {
    std::atomic<int> done{0};
    std::atomic<int> total{0};
    std::atomic<bool> cancelled{false};
};

// One cartridge image, ready to be a record.
struct Game {
    QString name;
    QString romPath;
    QString imagePath; // empty when no picture of its name was found
    QString gameType;
    QString size;
};

// What the files given to an import hold.
struct Found {
    QList<Game> games;    // in the order the files were taken
    int notCartridge = 0; // files read that hold no cartridge image
    int unnamed = 0;      // images whose file name and header both give no usable name
};

// The game name a file's name gives: its name without the last extension, with the characters a
// game name refuses left out (as the header fill leaves them out) and cut to the length a save
// takes; empty when nothing usable is left.
QString nameFromFileName(const QString& path);
// `text` as a game name: refused characters left out, blanks at the ends trimmed, cut to the
// length a save takes; empty when nothing usable is left.
QString usableName(const QString& text);

// The files an import reads: each given file, and under each given folder (subfolders
// included, hidden ones skipped) every file with a ROM's name, in name order.
QStringList filesToRead(const QStringList& paths, const std::function<bool()>& stop);

// Reads the files' headers and finds each image's picture: a file with the image's base name and
// one of `pictureSuffixes` (lower case), in the image's folder, else in a `pictures`, `images` or
// `boxart` folder inside it or beside it. A game is named by `datName` (a DAT's name for the
// file; empty for none) when given, else by its file. Reads no catalogue file, so it may run on
// any thread; counts `progress.done` up to the number of files and stops early once it is
// cancelled.
Found readFiles(const QStringList& files, const QStringList& pictureSuffixes, Progress& progress,
                const std::function<QString(const QString& path)>& datName = {});

enum class Outcome {
    Done,      // every game written or skipped, the index written
    Cancelled, // stopped: the games written so far are in the index
    Failed,    // stopped by a write that failed: the games written so far are in the index, or,
               // when it was the index that failed, none of them was kept
};

struct Result {
    Outcome outcome = Outcome::Done;
    int added = 0;
    int alreadyThere = 0; // a record of the name was there, or came earlier in the same import
    QList<Notice> notices;
    TextList index; // as written, when it was
    bool indexWritten = false;
};

// Writes a record for each game whose name no record has yet, then the index once with the added
// names after its lines, all under the catalogue's lock: a kill leaves whole records and the
// index as before or as after. `step` runs after each game; the import stops at the next game
// once `progress.cancelled` is set. `progress.done` counts the games. May run on any thread
// while no other write of this process runs.
Result writeGames(const QList<Game>& games, Progress& progress, const std::function<void()>& step);

// The notice an import ends with.
Notice summary(const Found& found, const Result& result);

struct Rebuilt {
    bool written = false; // the index was written (or had nothing to gain)
    int added = 0;
    QList<Notice> notices;
    TextList index; // as written
};

// Appends, after the index's lines, the name of every record in bin the index does not list
// (under any case of it), in name order; removes nothing. Under the catalogue's lock.
Rebuilt rebuildIndex();

} // namespace vx::romimport
