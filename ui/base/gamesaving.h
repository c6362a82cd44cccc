#pragma once

#include "core/gamesave.h"

namespace vx
{

class Form;
class ListBox;

// The save of the add and edit windows: run while no other save or Clear runs, its notices
// shown; once saved, the window's working list and the browser take the index as written and
// the window slides away.
void saveFromWindow(const GameEntry& entry, ListBox& workingList, Form& window);

} // namespace vx
