#pragma once

#include <QString>

namespace vx
{

class main;

// The hub's Copy ROM: any file to any place, through the open and save dialogs.
void copyRom(main& hub);
// The hub's Export ROM: the viewed game's ROM into the export folder.
void exportRom(main& hub);

// Where Export ROM puts `source` inside `folder`: one separator between them, whichever of
// '\' and '/' the folder was typed with; under its base name with .z64 when `asZ64`.
QString exportTarget(const QString& folder, const QString& source, bool asZ64 = false);

} // namespace vx
