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

QString chooseFolder()
{
    const QString exeFolder = QCoreApplication::applicationDirPath();
    if (!exeFolder.isEmpty() && canWriteIn(exeFolder))
        return QDir::toNativeSeparators(exeFolder);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return QDir::toNativeSeparators(data);
}

} // namespace

QString appFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    static const QString folder = chooseFolder();
    return folder;
}

void setAppFolder(const QString& folder)
{
    overrideFolder() = QDir::toNativeSeparators(folder);
}

} // namespace vx
