#pragma once

namespace vx
{

// Serves the event loop when it last ran long enough ago: long reads and writes of the
// catalogue call it between their steps so the windows stay alive.
void pumpIfDue();

} // namespace vx
