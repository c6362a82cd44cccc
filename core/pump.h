#pragma once

#include <functional>

namespace vx
{

// Serves the event loop when it last ran long enough ago: long reads and writes of the
// catalogue call it between their steps so the windows stay alive.
void pumpIfDue();

// Runs `work` on a thread of its own and returns when it is done; meanwhile this thread serves
// the event loop, so the windows paint and answer the window manager however long the work
// blocks (a flush to a slow disk). Clicks and keys wait until it is done, as they would behind
// work done here: no command starts inside it. Without an event loop to serve (no application,
// or another thread than its), `work` runs here.
void runServingEvents(const std::function<void()>& work);

} // namespace vx
