#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <functional>

namespace vx
{

// The names in a folder whose raw bytes pass `keep`, decoded as paths are (nativepath.h), so
// names that are no UTF-8 can still be opened. Reads names only, no per-entry file information,
// so a folder of tens of thousands of records is scanned in a few milliseconds, and only names
// that pass become strings (a whole list of 100,000 records as QDir gives it raised the peak
// memory by about 40 MiB). An unreadable folder gives nothing.
QStringList namesInFolder(const QString& folder,
                          const std::function<bool(const char* name, std::size_t length)>& keep);

// When a folder's list of names last changed, and which folder it is: equal stamps mean the same
// names, as far as the system keeps time.
struct FolderStamp {
    qint64 changed = -1;
    quint64 id = 0;
    bool operator==(const FolderStamp& other) const
    {
        return changed == other.changed && id == other.id;
    }
    bool operator!=(const FolderStamp& other) const { return !(*this == other); }
};
// A missing folder has the stamp of changed -1.
FolderStamp folderStamp(const QString& folder);

// What a path names, by one look that follows links; no folder is read.
enum class PathKind { Missing, File, Folder, Other };
PathKind pathKind(const QString& path);
// Whether both paths name one file (a file system that ignores case gives one file two names).
bool sameFile(const QString& a, const QString& b);

// The first regular file under `folder` whose path passes `fits`: the folder's own files in name
// order, then each subfolder in name order, searched the same way. Reads names only and keeps
// only those that fit or are folders, so a folder of hundreds of thousands of files costs little
// memory; a folder reached twice (through a link) is searched once. Gives up, empty, as soon as
// `stop` answers true; empty too when nothing fits.
QString firstFileUnder(const QString& folder, const std::function<bool(const QString& path)>& fits,
                       const std::function<bool()>& stop);
// Every regular file under `folder` whose path passes `fits`, in the order firstFileUnder takes
// them (hidden names skipped, a folder reached twice read once); what was found so far when
// `stop` answers true.
QStringList filesUnder(const QString& folder, const std::function<bool(const QString& path)>& fits,
                       const std::function<bool()>& stop);

} // namespace vx
