#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

class QThreadPool;
class QWidget;

namespace vx
{

using FileFits = std::function<bool(const QString& path)>;

// The local paths of a text/uri-list, from its raw bytes: a name whose bytes are no UTF-8 keeps
// them (nativepath.h), so the file can still be opened.
QStringList localPathsIn(const QByteArray& uriList);

// Lets `window` and every control in it take local files and folders dropped on them. A drag is
// taken when it holds a file that `fits` or any folder; the first file that fits, in the order
// dropped, goes to `take`. A dropped folder is searched for one after the drop, away from the
// windows, under the busy pointer; when none is found a notice says that no `wanted` (as "ROM")
// was found. A drag with neither is refused (a field never turns a dragged file into text); a
// drag of plain text still reaches the fields as before.
// With `takeMany`, a drop of several usable files or of any folder goes to it whole instead, in the
// order dropped, without a search.
void acceptFileDrops(QWidget& window, FileFits fits, std::function<void(const QString&)> take,
                     const QString& wanted,
                     std::function<void(const QStringList&)> takeMany = nullptr);

// Where dropped folders are searched. Never waited for: a folder on a hung network share must not
// hold up the program's end.
QThreadPool& folderDropSearches();

// A file whose name says it is a picture the detail view can show.
bool hasPictureSuffix(const QString& path);

} // namespace vx
