#pragma once

#include <QString>

namespace vx
{

// The name of the desktop entry an install puts in <prefix>/share/applications.
inline constexpr char kDesktopFileName[] = "vexloutil.desktop";

// The folder the catalogue lives in: the per-user data folder for an installed copy, else the
// executable's folder when it can be written (a portable copy), else the per-user data folder.
// Tests point it elsewhere with setAppFolder.
QString appFolder();
void setAppFolder(const QString& folder);

// An installed copy is an executable in <prefix>/bin with the desktop entry in
// <prefix>/share/applications.
bool isInstalledCopy(const QString& exeFolder);
// The choice appFolder makes for an executable in exeFolder.
QString chooseAppFolder(const QString& exeFolder);

} // namespace vx
