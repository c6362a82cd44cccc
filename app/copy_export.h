#pragma once

namespace vx
{

class main;

// The hub's Copy ROM: any file to any place, through the open and save dialogs.
void copyRom(main& hub);
// The hub's Export ROM: the viewed game's ROM into the export folder.
void exportRom(main& hub);

} // namespace vx
