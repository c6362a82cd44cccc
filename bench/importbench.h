#pragma once

#include <QString>

namespace vx::bench
{

// Import many against its floor: `count` sparse cartridge images in a folder of `work`, brought
// into a fresh catalogue `runs` times; the floor reads 64 bytes of each image and writes each
// record once with QSaveFile. Prints the figures; with `check`, non-zero when the import takes
// more than twice its floor.
int importBench(const QString& work, int count, int runs, bool check);

} // namespace vx::bench
