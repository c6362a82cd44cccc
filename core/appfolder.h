#pragma once

#include <QString>

namespace vx
{

// The folder the catalogue lives in: the executable's folder when it already holds a catalogue
// (vx.log) or is marked portable (a file named "portable" beside the executable), else the
// per-user data folder. Tests point it elsewhere with setAppFolder.
QString appFolder();
void setAppFolder(const QString& folder);

// The choice appFolder makes for an executable in exeFolder.
QString chooseAppFolder(const QString& exeFolder);

} // namespace vx
