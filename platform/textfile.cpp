#include "platform/textfile.h"

#include <QFile>
#include <QSaveFile>
#include <cstring>

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
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

bool replaceFile(const QString& path, const QByteArray& bytes)
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    // Unbuffered, so a short write (a full disk, a size limit) shows in write()'s count; a
    // buffered one can be lost at commit and leave a truncated file reported as written.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vx
