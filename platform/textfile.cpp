#include "platform/textfile.h"

#include <QFile>
#include <QSaveFile>

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
