#include "platform/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cstdio>
#include <unistd.h>
#endif

namespace vx
{

QByteArray toLocalBytes(const QString& text)
{
    return text.toLocal8Bit();
}

QString fromLocalBytes(const QByteArray& bytes)
{
    return QString::fromLocal8Bit(bytes);
}

namespace
{

// Whether every unit of the text is below 0x80, eight bytes a step; `high` marks, in a word,
// the bits a unit at or above 0x80 would set.
template <typename Unit> bool allAscii(const Unit* units, qsizetype size, quint64 high)
{
    constexpr qsizetype perWord = 8 / sizeof(Unit);
    quint64 seen = 0;
    qsizetype i = 0;
    for (; i + perWord <= size; i += perWord) {
        quint64 word;
        std::memcpy(&word, units + i, 8);
        seen |= word;
    }
    quint64 rest = 0;
    for (; i < size; ++i)
        rest |= quint64(units[i]);
    return (seen & high) == 0 && rest < 0x80;
}

QString& failingRead()
{
    static QString path;
    return path;
}

QString temporaryName()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString name = QStringLiteral(".~vx-");
    for (int i = 0; i < 8; ++i)
        name += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
    return name + QStringLiteral(".tmp");
}

// The bytes reach the disk before the rename makes them the file, so a power cut cannot leave
// a renamed but empty file.
bool syncToDisk(int handle)
{
#ifdef Q_OS_WIN
    return _commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

bool renameOver(const QString& from, const QString& to)
{
#ifdef Q_OS_WIN
    return MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()),
                       reinterpret_cast<const wchar_t*>(to.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
}

} // namespace

bool isAscii(const char* data, qsizetype size)
{
    return allAscii(reinterpret_cast<const uchar*>(data), size, 0x8080808080808080ULL);
}

bool isAscii(QStringView text)
{
    return allAscii(text.utf16(), text.size(), 0xff80ff80ff80ff80ULL);
}

std::optional<QByteArray> readWholeFile(const QString& path)
{
    QFile file(path);
    if (path.isEmpty() || path == failingRead() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool pathTaken(const QString& path)
{
    const QFileInfo info(path);
    return !path.isEmpty() && (info.exists() || info.isSymLink());
}

void failReadsOf(const QString& path)
{
    failingRead() = path;
}

bool isTemporaryName(QStringView fileName)
{
    static const QRegularExpression temporary(QStringLiteral("^\\.~vx-[A-Za-z0-9]{8}\\.tmp$"));
    return temporary.match(fileName).hasMatch();
}

bool replaceFile(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return false;
    QString target = path;
    const QFileInfo link(path);
    if (link.isSymLink()) {
        // Written through, as editors and cp do; a dangling link would create a file wherever
        // it points, outside the catalogue.
        if (!link.isFile())
            return false;
        target = link.canonicalFilePath();
    }
    const QFileInfo existing(target);
    if (existing.exists() && !existing.isFile())
        return false;

    const QDir folder = existing.absoluteDir();
    QFile temporary;
    for (int attempt = 0;; ++attempt) {
        temporary.setFileName(folder.filePath(temporaryName()));
        // Unbuffered, so a short write (a full disk, a size limit) shows in write()'s count.
        if (temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        if (attempt == 3)
            return false;
    }
    bool written = temporary.write(bytes) == bytes.size();
    if (written && existing.exists())
        written = temporary.setPermissions(existing.permissions());
    written = written && syncToDisk(temporary.handle());
    temporary.close();
    written = written && temporary.error() == QFileDevice::NoError &&
              renameOver(temporary.fileName(), target);
    if (!written)
        temporary.remove();
    return written;
}

} // namespace vx
