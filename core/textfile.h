#pragma once

#include <QByteArray>
#include <QString>
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
// dangling link is refused rather than creating its target elsewhere. False when nothing was
// replaced.
bool replaceFile(const QString& path, const QByteArray& bytes);

// Whether a file name is one replaceFile gives its temporaries (".~vx-" and eight letters or
// digits, then ".tmp"): a name no user would choose, so a sweep can remove them safely.
bool isTemporaryName(QStringView fileName);

} // namespace vx
