#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace vx
{

// Plain ASCII is the same text in either encoding, so it can skip the conversions.
bool isAscii(const char* data, qsizetype size);
bool isAscii(QStringView text);

// Paths here may carry file-name bytes that are no UTF-8 (nativepath.h); these functions reach
// such files, Qt's file classes do not.

// The whole file, or nothing when it cannot be opened or read.
std::optional<QByteArray> readWholeFile(const QString& path);
// Whether the file holds exactly `bytes`, read a piece at a time: a long file known from before
// is not held twice to see it is unchanged.
bool fileHolds(const QString& path, QByteArrayView bytes);
// Whether anything (a file, a folder, a link, readable or not) stands at `path`.
bool pathTaken(const QString& path);
// Whether `path` is a regular file or a link to one.
bool isRegularFile(const QString& path);
bool removeFile(const QString& path);
// Creates the folder and any missing parents; true when it exists afterwards.
bool makeFolder(const QString& path);
// Tests: reads of `path` fail from now on, as on a failing disk; an empty path ends that.
void failReadsOf(const QString& path);

// Replaces the file through a temporary renamed over it, so a failed or interrupted write
// never leaves a truncated file behind. A link to an existing file is written through; a
// dangling link is refused rather than creating its target elsewhere. Nothing is replaced once
// another copy took the catalogue's lock from this one (catalogue::lockLost). False when nothing
// was replaced. Called on the application's thread, it serves the event loop while the bytes are
// written and flushed (runServingEvents): a slow disk does not freeze the windows.
bool replaceFile(const QString& path, const QByteArray& bytes);
// The bytes of a file to be written, made where they are written.
using Maker = std::function<QByteArray()>;
// As replaceFile, with the bytes `make` gives on the thread that writes them, so a long
// encoding does not hold up the windows either; `make` must then touch nothing the windows'
// thread may change meanwhile. The bytes written, or nothing when the file was not replaced.
std::optional<QByteArray> replaceFileMade(const QString& path, const Maker& make);
// As replaceFile, even with the lock lost: only to put back what this copy replaced a moment
// before and nobody has changed since.
bool putBackFile(const QString& path, const QByteArray& bytes);
// Whether this thread's last replaceFile was of `path` and failed because the file system refuses
// its name (a colon on exFAT).
bool nameRefused(const QString& path);
// Tests: `hook` runs right before each rename that makes a temporary a file, with the file's path;
// an empty one ends that.
void beforeRenameForTests(std::function<void(const QString&)> hook);
// Tests: `hook` runs on the thread that writes (not the windows' own, see runServingEvents) right
// before each temporary is written, with the file's path; an empty one ends that.
void beforeWriteForTests(std::function<void(const QString&)> hook);
// Tests: renames onto `path` fail with `error` from now on (EINVAL, as for a name the file system
// refuses); an empty path ends that.
void failRenamesTo(const QString& path, int error);

// Whether a file name is one replaceFile gives its temporaries (".~vx-" and eight letters or
// digits, then ".tmp"): a name no user would choose, so a sweep can remove them safely.
bool isTemporaryName(QStringView fileName);
// Whether this process is writing the temporary of that name: a replace serves the event loop
// while it writes, so a sweep may come by meanwhile.
bool temporaryInUse(QStringView fileName);

} // namespace vx
