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

bool isAscii(const char* data, qsizetype size)
{
    // Eight bytes a step.
    quint64 high = 0;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        high |= word;
    }
    for (; i < size; ++i)
        high |= uchar(data[i]);
    return (high & 0x8080808080808080ULL) == 0;
}

bool isAscii(QStringView text)
{
    // Four characters a step.
    const char16_t* chars = text.utf16();
    const qsizetype size = text.size();
    quint64 high = 0;
    qsizetype i = 0;
    for (; i + 4 <= size; i += 4) {
        quint64 word;
        std::memcpy(&word, chars + i, 8);
        high |= word;
    }
    for (; i < size; ++i)
        high |= chars[i];
    return (high & 0xff80ff80ff80ff80ULL) == 0;
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
