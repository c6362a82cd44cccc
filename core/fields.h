#pragma once

#include "core/textcodec.h"
#include "core/textlist.h"

#include <QByteArray>

namespace vx
{

// Delimited-field input: comma- and line-separated fields, double-quoted fields may hold commas.
// Every field of the data, read as UTF-8 when it is valid UTF-8, else as Windows-1252;
// `encoding` (when given) tells which.
TextList readFieldTexts(const QByteArray& data, textcodec::Encoding* encoding = nullptr);

} // namespace vx
