#pragma once

#include <QString>

namespace vx
{

// Case-insensitive match of a name against a mask with '*' and '?'.
bool wildcardMatch(const QString& mask, const QString& name);

// True when the last component of `pattern` (wildcards allowed) matches a regular, non-hidden
// file in its folder. The empty path and paths the file system refuses answer false.
bool normalFileMatches(const QString& pattern);

} // namespace vx
