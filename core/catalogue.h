#pragma once

#include "core/recordlookup.h"

#include <QString>
#include <QStringList>

// Where the catalogue's files are and what a game record holds.
namespace vx::catalogue
{

QString settingsPath(); // vx.log
QString binPath();      // the folder of the index and the records
QString indexPath();    // bin/bootlist.lst
// The record of a game, always inside bin; empty for a name that cannot be a file name there
// (such a name, from a hand-edited index, then reads as a missing record). Any name that fits
// a file name is read, even one too long for a save.
QString recordPath(const QString& name);

// Whether a save may use a game name: a plain file name inside bin on this platform (a colon
// only where the platform allows it), short enough for earlier versions to read.
bool isUsableGameName(const QString& name);
// Whether a game name may hold the character at all (the length aside).
bool isGameNameCharacter(QChar c);

struct Record {
    QString file;
    QString image;
    QString gametype;
    QString size;
    QString desc;
};

// The five keys the windows show; missing keys read as empty.
Record readRecord(const QString& recordPath);

// The export folder from the settings; empty when none is set.
QString exportFolder();
// The DAT of known good dumps the ROMs are checked against; empty when none is set. A section of
// its own, which earlier versions never read.
QString datPath();
// Whether Export ROM writes cartridge images in the cartridge's own order, as .z64 files. A
// section of its own too.
bool exportsBigEndian();

// Removes what an interrupted rewrite of the settings, the index or a record left behind: the
// temporaries beside the program and in bin, and only those. The files themselves are always
// whole, old or new. Skipped while another copy of the program writes.
void removeStrayTemporaries();

// The same in two steps, so the long one (reading bin's names) can run on another thread. The
// names are read without the lock: a temporary in use then is renamed away by the time the lock
// is ours, and one whose writer died is stray all the same.
struct StrayScan {
    QStringList inApp;
    QStringList inBin;
    BinScan binNames; // what the record lookups learn from this reading of bin
};
StrayScan scanForStrayTemporaries();
// With the lock, on the thread that writes the catalogue.
void removeStrayTemporaries(StrayScan& scan);

// Held around every read-modify-write of the catalogue's files (and the sweep), so two copies of
// the program on one catalogue, or two users of a shared folder, never lose each other's
// changes. A lock left by a killed copy is taken over (lockfile.h). Waits a few seconds for
// another copy; within this process it nests.
class WriteLock
{
public:
    enum class State {
        Held,
        Busy,       // another copy kept the catalogue all the while
        Unwritable, // the lock cannot be made there; waiting would not help
    };

    WriteLock();
    explicit WriteLock(int waitMs);
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

    bool held() const { return m_state == State::Held; }
    State state() const { return m_state; }

private:
    State m_state = State::Unwritable;
};

// Whether this process holds the lock but another copy, taking this one for dead, took it over
// meanwhile. This copy's reading of the catalogue may then be older than that copy's changes, so
// it writes nothing more.
bool lockLost();

// The lock's file, beside the settings.
QString lockPath();

} // namespace vx::catalogue
