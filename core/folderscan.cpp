#include "core/folderscan.h"

#include "core/nativepath.h"

#include <QDir>
#include <QFile>

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

} // namespace vx
