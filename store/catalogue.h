#pragma once

#include <QString>

// Where the catalogue's files are and what a game record holds.
namespace vx::catalogue
{

QString settingsPath(); // vx.log
QString binPath();      // the folder of the index and the records
QString indexPath();    // bin/bootlist.lst
// The record of a game, always inside bin; empty for a name that cannot be a file name there
// (such a name, from a hand-edited index, then reads as a missing record).
QString recordPath(const QString& name);

// Whether a game name can be a plain file name inside bin on Linux and Windows alike.
bool isUsableGameName(const QString& name);

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

// Removes what an interrupted rewrite of the settings, the index or a record left behind: the
// temporary beside the file ("bootlist.lst.Ab12Cd"). The file itself is always whole, old or new.
void removeStrayTemporaries();

} // namespace vx::catalogue
