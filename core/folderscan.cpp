#include "core/folderscan.h"

#include "core/nativepath.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <set>

#ifdef Q_OS_UNIX
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#else
#include <QDateTime>
#include <QFileInfo>
#endif

namespace vx
{

namespace
{

// As a file manager lists them: case aside first.
bool inNameOrder(const QString& a, const QString& b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

// One folder's files that fit and its folders, unsorted. False when it is no folder, cannot be
// read or was read before (`seen`: the folders read so far, by what the system knows them as).
bool readFolder(const QString& folder, const std::function<bool(const QString&)>& fits,
                const std::function<bool()>& stop, std::set<QString>& seen, QStringList& files,
                QStringList& folders)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(nativePath(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        !seen.insert(QString::number(st.st_dev) + QLatin1Char(':') + QString::number(st.st_ino))
             .second)
        return false;
    DIR* stream = ::opendir(nativePath(folder).constData());
    if (!stream)
        return false;
    while (const dirent* entry = ::readdir(stream)) {
        if (stop())
            break;
        // Hidden names stay hidden, as in the file manager the folder came from; so do . and ..
        if (entry->d_name[0] == '.')
            continue;
        const QString path =
            folder + QLatin1Char('/') +
            pathFromNative(QByteArrayView(entry->d_name, qsizetype(std::strlen(entry->d_name))));
        PathKind kind = PathKind::Other;
        if (entry->d_type == DT_DIR)
            kind = PathKind::Folder;
        else if (entry->d_type == DT_REG)
            kind = PathKind::File;
        else if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
            kind = pathKind(path);
        if (kind == PathKind::Folder)
            folders << path;
        else if (kind == PathKind::File && fits(path))
            files << path;
    }
    ::closedir(stream);
#else
    const QFileInfo info(folder);
    if (!info.isDir() || !seen.insert(info.canonicalFilePath()).second)
        return false;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        folders << dir.filePath(name);
    for (const QString& name : dir.entryList(QDir::Files))
        if (fits(dir.filePath(name)))
            files << dir.filePath(name);
#endif
    return true;
}

} // namespace

QStringList namesInFolder(const QString& folder,
                          const std::function<bool(const char* name, std::size_t length)>& keep)
{
    QStringList names;
#ifdef Q_OS_UNIX
    DIR* stream = ::opendir(nativePath(folder).constData());
    if (!stream)
        return names;
    while (const dirent* entry = ::readdir(stream)) {
        const std::size_t length = std::strlen(entry->d_name);
        if (keep(entry->d_name, length))
            names << pathFromNative(QByteArrayView(entry->d_name, qsizetype(length)));
    }
    ::closedir(stream);
#else
    const QStringList all = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);
    for (const QString& name : all) {
        const QByteArray raw = QFile::encodeName(name);
        if (keep(raw.constData(), static_cast<std::size_t>(raw.size())))
            names << name;
    }
#endif
    return names;
}

FolderStamp folderStamp(const QString& folder)
{
    FolderStamp stamp;
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(nativePath(folder).constData(), &st) != 0)
        return stamp;
    stamp.changed = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.id = quint64(st.st_ino) ^ (quint64(st.st_dev) << 32);
#else
    const QFileInfo info(folder);
    if (info.exists())
        stamp.changed = info.lastModified().toMSecsSinceEpoch();
#endif
    return stamp;
}

PathKind pathKind(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(nativePath(path).constData(), &st) != 0)
        return PathKind::Missing;
    if (S_ISREG(st.st_mode))
        return PathKind::File;
    return S_ISDIR(st.st_mode) ? PathKind::Folder : PathKind::Other;
#else
    const QFileInfo info(path);
    if (!info.exists())
        return PathKind::Missing;
    if (info.isFile())
        return PathKind::File;
    return info.isDir() ? PathKind::Folder : PathKind::Other;
#endif
}

bool sameFile(const QString& a, const QString& b)
{
#ifdef Q_OS_UNIX
    struct stat first;
    struct stat second;
    return ::stat(nativePath(a).constData(), &first) == 0 &&
           ::stat(nativePath(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
#else
    const QFileInfo first(a);
    return first.exists() && first.canonicalFilePath() == QFileInfo(b).canonicalFilePath();
#endif
}

QString firstFileUnder(const QString& folder, const std::function<bool(const QString& path)>& fits,
                       const std::function<bool()>& stop)
{
    std::set<QString> seen;
    // Depth first: the folders still to read, the next one last.
    QStringList pending{folder};
    while (!pending.isEmpty() && !stop()) {
        QStringList files;
        QStringList folders;
        if (!readFolder(pending.takeLast(), fits, stop, seen, files, folders) || stop())
            continue;
        if (!files.isEmpty())
            return *std::min_element(files.cbegin(), files.cend(), inNameOrder);
        std::sort(folders.begin(), folders.end(),
                  [](const QString& a, const QString& b) { return inNameOrder(b, a); });
        pending += folders;
    }
    return {};
}

QStringList filesUnder(const QString& folder, const std::function<bool(const QString& path)>& fits,
                       const std::function<bool()>& stop)
{
    std::set<QString> seen;
    QStringList found;
    QStringList pending{folder};
    while (!pending.isEmpty() && !stop()) {
        QStringList files;
        QStringList folders;
        if (!readFolder(pending.takeLast(), fits, stop, seen, files, folders))
            continue;
        std::sort(files.begin(), files.end(), inNameOrder);
        found += files;
        std::sort(folders.begin(), folders.end(),
                  [](const QString& a, const QString& b) { return inNameOrder(b, a); });
        pending += folders;
    }
    return found;
}

} // namespace vx
