#pragma once

#include "core/textcodec.h"
#include "core/textlist.h"

#include <QByteArray>

namespace vx
{

// Delimited-field input: comma- and line-separated fields, double-quoted fields may hold commas.
// Every field of the data, read as textcodec reads a file; `form` (when given) tells how.
TextList readFieldTexts(const QByteArray& data, textcodec::Form* form = nullptr);

} // namespace vx
