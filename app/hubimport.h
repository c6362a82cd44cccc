#pragma once

#include <QStringList>

namespace vx
{

class main;

// Adds every cartridge image in the files and folders given (folders searched to the bottom),
// with the progress window and Cancel, and one notice at the end. Ignored while a save, a Clear
// or another import runs.
void importRoms(main& hub, const QStringList& paths);
// Import ROMs from the hub's menu: a folder, or files, chosen in a dialog.
void chooseAndImport(main& hub, bool folder);
// Lists again every record the index lacks, with a notice saying how many.
void rebuildIndex();

} // namespace vx
