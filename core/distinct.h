#pragma once

#include "core/textlist.h"

namespace vx
{

// The first of every text in `all`, in order, sharing its blocks. Linear in practice at a
// million texts: the texts are hashed in one pass through their blocks, repeats are found by
// hash in tables small enough for the processor's caches, and only the texts whose hashes
// repeat are compared. Safe on any thread.
TextList firstOfEach(const TextList& all);

} // namespace vx
