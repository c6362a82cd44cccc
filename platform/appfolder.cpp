#include "platform/appfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace vx
{

namespace
{

QString& overrideFolder()
{
    static QString folder;
    return folder;
}

bool canWriteIn(const QString& folder)
{
    // Permission bits say nothing for root or on some mounts; try it.
    QTemporaryFile probe(folder + QStringLiteral("/.vx-probe-XXXXXX"));
    return probe.open();
}

} // namespace

bool isInstalledCopy(const QString& exeFolder)
{
    // What an install lays down: <prefix>/bin/vexloutil beside <prefix>/share/applications.
    const QDir bin(exeFolder);
    return bin.dirName() == QLatin1String("bin") &&
           QFileInfo::exists(bin.absoluteFilePath(QStringLiteral("../share/applications/") +
                                                  QLatin1String(kDesktopFileName)));
}

QString chooseAppFolder(const QString& exeFolder)
{
    // An installed copy is shared by every user and may be upgraded under them, so even a root
    // who could write beside it keeps the catalogue in the per-user folder.
    if (!exeFolder.isEmpty() && !isInstalledCopy(exeFolder) && canWriteIn(exeFolder))
        return QDir::toNativeSeparators(exeFolder);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
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
