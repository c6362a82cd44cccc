#pragma once

namespace vx
{

// Creates the hub, runs its load (a first run goes through the setup window) and shows it.
// What its first paint does not need follows that paint (see main::finishStartup). The caller
// owns the application object and its event loop.
void start();

// What follows the event loop: returns `code`, or ends the process with it at once when a
// picture decode is still running after a short wait (a hung network folder).
int finish(int code);

} // namespace vx
