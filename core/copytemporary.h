#pragma once

#include <QByteArray>
#include <QString>

// The named temporaries of Copy ROM and Export ROM. A copy writes to a file without a name
// where the file system allows it; where it does not (exFAT, NTFS and other FUSE drivers) the
// temporary is named, and a copy killed midway leaves it behind. Its name tells who wrote it,
// so a later copy can tell a dead writer's leftover from a live one's work in progress.
namespace vx
{

// A fresh name for a temporary written by process `pid` of this system:
// ".vx-copy-<system>-<pid>-<random>", where <system> stands for this boot of this machine and
// its process-id namespace, the scope in which the process id means something.
QByteArray copyTemporaryName(qint64 pid);
// The same for this process.
QByteArray copyTemporaryName();

// A temporary untouched for this long is dead whoever wrote it: a live copy rewrites it many
// times a second. Long enough for a clock a time zone off on another machine sharing the folder.
constexpr qint64 kForeignTemporaryAgeSecs = qint64(24) * 60 * 60;

// Removes from `folder` the temporaries that copies left when they died: one written on this
// system whose process is gone, and one of another system (or an older program, whose names say
// nothing) untouched for kForeignTemporaryAgeSecs. A temporary whose writer on this system still
// runs stays, and so does every other file. Safe on any thread.
void removeDeadCopyTemporaries(const QString& folder);
#ifdef Q_OS_UNIX
// The same for a folder already open.
void removeDeadCopyTemporaries(int folderFd, const QString& folderName);
#endif

// removeDeadCopyTemporaries on a thread of its own, so a large or slow folder never holds up the
// windows; quitting does not wait for it beyond waitForCopyTemporarySweeps.
void removeDeadCopyTemporariesInBackground(const QString& folder);
// False when a sweep outlasts `timeoutMs`.
bool waitForCopyTemporarySweeps(int timeoutMs);

} // namespace vx
