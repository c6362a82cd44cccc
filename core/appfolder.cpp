#include "core/appfolder.h"

#include "core/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vx
{

namespace
{

QString& overrideFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString chooseAppFolder(const QString& exeFolder)
{
    // A catalogue copied together with the program keeps working where it is; anything else
    // stays out of the build or install folder, where a rebuild or an upgrade would lose it.
    if (!exeFolder.isEmpty()) {
        const QDir dir(exeFolder);
        if (QFileInfo::exists(dir.filePath(QStringLiteral("vx.log"))) ||
            QFileInfo::exists(dir.filePath(QStringLiteral("portable"))))
            return QDir::toNativeSeparators(exeFolder);
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    makeFolder(data);
    return QDir::toNativeSeparators(data);
}

QString appFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    static const QString folder = chooseAppFolder(QCoreApplication::applicationDirPath());
    return folder;
}

void setAppFolder(const QString& folder)
{
    overrideFolder() = QDir::toNativeSeparators(folder);
}

} // namespace vx
