#pragma once

#include <QString>

namespace vx
{

// Case-insensitive match of a name against a mask with '*' and '?'.
bool wildcardMatch(const QString& mask, const QString& name);

// Whether a path, written on Windows (a drive letter, or a leading backslash as in
// "\\server\share"), can name no file on this system. Such a path is never read as a relative
// name under the current folder. False on Windows.
bool isWindowsOnlyPath(const QString& path);

// True when the last component of `pattern` (wildcards allowed) matches a regular, non-hidden
// file in its folder. The empty path and paths the file system refuses answer false.
bool normalFileMatches(const QString& pattern);

} // namespace vx
