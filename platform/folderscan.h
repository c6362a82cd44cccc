#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>

namespace vx
{

// The names in a folder whose raw bytes pass `keep`, decoded as paths are (nativepath.h), so
// names that are no UTF-8 can still be opened. Reads names only, no per-entry file information,
// so a folder of tens of thousands of records is scanned in a few milliseconds. An unreadable
// folder gives nothing.
QStringList namesInFolder(const QString& folder,
                          const std::function<bool(const char* name, std::size_t length)>& keep);

} // namespace vx
