#include "store/catalogue.h"

#include "platform/appfolder.h"
#include "platform/profile.h"
#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <cstring>
#include <dirent.h>
#endif

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
    // The rewrite's temporary is the file's name plus a dot and six letters or digits. A record
    // always ends in ".lib", so no record can look like one.
    static const QRegularExpression temporary(
        QStringLiteral("^.+\\.(lib|lst|log)\\.[A-Za-z0-9]{6}$"));
    const auto sweep = [](const QString& folder, const QStringList& patterns) {
        QDir dir(folder);
#ifdef Q_OS_UNIX
        // bin holds a record a game: only the names are read (no per-entry file information),
        // and only those with a dot seven from the end go to the pattern.
        Q_UNUSED(patterns);
        DIR* stream = ::opendir(QFile::encodeName(folder).constData());
        if (!stream)
            return;
        QStringList stray;
        while (const dirent* entry = ::readdir(stream)) {
            const size_t length = std::strlen(entry->d_name);
            if (length < 12 || entry->d_name[length - 7] != '.')
                continue;
            const QString name = QFile::decodeName(entry->d_name);
            if (temporary.match(name).hasMatch() && QFileInfo(dir.filePath(name)).isFile())
                stray << name;
        }
        ::closedir(stream);
        for (const QString& name : stray)
            dir.remove(name);
#else
        for (const QString& name : dir.entryList(patterns, QDir::Files | QDir::Hidden)) {
            if (temporary.match(name).hasMatch())
                dir.remove(name);
        }
#endif
    };
    sweep(appFolder(), {QStringLiteral("vx.log.*")});
    sweep(binPath(), {QStringLiteral("*.lib.*"), QStringLiteral("*.lst.*")});
}

} // namespace vx::catalogue
