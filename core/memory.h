#pragma once

namespace vx
{

// Keeps memory the program frees for its next use instead of handing it back to the system at
// once. Lists of a hundred thousand names are read, copied and written in buffers of several
// megabytes again and again; each one taken afresh from the system is cleared page by page,
// which costs as much as reading the index itself.
void keepFreedMemoryForReuse();

} // namespace vx
