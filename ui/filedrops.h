#pragma once

#include <QString>
#include <functional>

class QMimeData;
class QWidget;

namespace vx
{

using FileFits = std::function<bool(const QString& path)>;

// The first local file in a drop that `fits`. A dropped folder offers the files directly in it,
// in name order; anything after the first fit is left.
QString firstDroppedFile(const QMimeData& drop, const FileFits& fits);

// Lets `window` and every control in it take local files dropped on them: the drop's first
// file that fits goes to `take`. A drop with none is refused (a field never turns a dragged file
// into text); a drag of plain text still reaches the fields as before.
void acceptFileDrops(QWidget& window, FileFits fits, std::function<void(const QString&)> take);

// A file whose name says it is a picture the detail view can show.
bool hasPictureSuffix(const QString& path);

} // namespace vx
