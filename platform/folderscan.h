#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>

namespace vx
{

// The names in a folder whose raw bytes pass `keep`, decoded. Reads names only, no per-entry
// file information, so a folder of tens of thousands of records is scanned in a few
// milliseconds. An unreadable folder gives nothing.
QStringList namesInFolder(const QString& folder,
                          bool (*keep)(const char* name, std::size_t length));

} // namespace vx
