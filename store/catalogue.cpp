#include "store/catalogue.h"

#include "platform/appfolder.h"
#include "platform/folderscan.h"
#include "platform/profile.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace vx::catalogue
{

namespace
{

QString inApp(const QString& suffix)
{
    return appFolder() + QDir::separator() + suffix;
}

} // namespace

QString settingsPath()
{
    return inApp(QStringLiteral("vx.log"));
}

QString binPath()
{
    return inApp(QStringLiteral("bin"));
}

QString indexPath()
{
    return binPath() + QDir::separator() + QStringLiteral("bootlist.lst");
}

QString recordPath(const QString& name)
{
    if (!isUsableGameName(name))
        return {};
    return binPath() + QDir::separator() + name + QStringLiteral(".lib");
}

bool isUsableGameName(const QString& name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || forbidden.contains(c))
            return false;
    }
    // A file name holds at most 255 bytes, and the record's rewrite goes through a temporary
    // named "<name>.lib.XXXXXX"; a longer name could never be saved.
    constexpr qsizetype kMaxFileName = 255;
    const qsizetype temporarySuffix = QByteArrayLiteral(".lib.XXXXXX").size();
    return QFile::encodeName(name).size() + temporarySuffix <= kMaxFileName;
}

Record readRecord(const QString& recordPath)
{
    // One read of the file serves all five keys.
    const QByteArray content = readWholeFile(recordPath).value_or(QByteArray());
    auto key = [&](const char* section, const char* name) {
        return profile::valueIn(content, QLatin1String(section), QLatin1String(name));
    };
    return {key("paths", "file"), key("paths", "image"), key("info", "gametype"),
            key("info", "size"), key("info", "desc")};
}

QString exportFolder()
{
    return profile::read(settingsPath(), QStringLiteral("export"), QStringLiteral("path"));
}

void removeStrayTemporaries()
{
    // A rewrite's temporary is the file's name plus a dot and six letters or digits. A record
    // always ends in ".lib", so no record can look like one; beside the program only the
    // settings' own temporaries are touched.
    static const QRegularExpression inApp(QStringLiteral("^vx\\.log\\.[A-Za-z0-9]{6}$"));
    static const QRegularExpression inBin(
        QStringLiteral("^(.+\\.lib|bootlist\\.lst)\\.[A-Za-z0-9]{6}$"));
    // Only names with a dot seven from the end are decoded and matched.
    const auto candidate = [](const char* name, std::size_t length) {
        return length >= 12 && name[length - 7] == '.';
    };
    const auto sweep = [&](const QString& folder, const QRegularExpression& temporary) {
        const QDir dir(folder);
        for (const QString& name : namesInFolder(folder, candidate)) {
            if (temporary.match(name).hasMatch() && QFileInfo(dir.filePath(name)).isFile())
                QFile::remove(dir.filePath(name));
        }
    };
    sweep(appFolder(), inApp);
    sweep(binPath(), inBin);
}

} // namespace vx::catalogue
