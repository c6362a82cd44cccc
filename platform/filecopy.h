#pragma once

#include <QString>

namespace vx
{

// Copies source over destination through a temporary file in the destination folder renamed
// over it at the end, so a failed copy never leaves a partial file and an existing destination
// is either replaced whole or kept. Refuses (false, nothing touched) a copy of a file onto
// itself, however the two paths are spelled.
bool copyFileReplacing(const QString& source, const QString& destination);

} // namespace vx
