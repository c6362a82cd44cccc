#pragma once

#include "core/textlist.h"

#include <functional>

namespace vx
{

// The first of every text in `all`, in order, sharing its blocks. Linear in practice at a
// million texts: the texts are hashed in one pass through their blocks, repeats are found by
// hash in tables small enough for the processor's caches, and only the texts whose hashes
// repeat are compared. `between` (when given) is called between steps, so a caller can serve
// its event loop.
TextList firstOfEach(const TextList& all, const std::function<void()>& between = {});

} // namespace vx
