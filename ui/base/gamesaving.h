#pragma once

#include "core/gamesave.h"

namespace vx
{

class Form;

// The save of the add and edit windows: run while no other save or Clear runs, its notices
// shown; once saved, the browser takes the index as written and the window slides away.
void saveFromWindow(const GameEntry& entry, Form& window);

} // namespace vx
