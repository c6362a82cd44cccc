#pragma once

namespace vx
{

// From the first call on, a press that completes a double click begun in another window of the
// program does nothing, nor do the double click and the release that follow it. A click that
// closes its window (a choice in the record picker slides the picker away) would otherwise hand
// the rest of a double click to whatever lies below: a hub command.
void ignoreStrayDoubleClicks();

} // namespace vx
