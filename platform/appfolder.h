#pragma once

#include <QString>

namespace vx
{

// The folder the catalogue lives in: the executable's folder when it can be written (a portable
// install), else the per-user data folder. Tests point it elsewhere with setAppFolder.
QString appFolder();
void setAppFolder(const QString& folder);

} // namespace vx
