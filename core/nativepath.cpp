#include "core/nativepath.h"

#include "core/textcodec.h"

#include <QFile>
#include <algorithm>

namespace vx
{

namespace
{

bool isEscape(char16_t c)
{
    return c >= 0xDC80 && c <= 0xDCFF;
}

} // namespace

bool hasForeignBytes(const QString& path)
{
    return std::any_of(path.begin(), path.end(), [](QChar c) { return isEscape(c.unicode()); });
}

QByteArray nativePath(const QString& path)
{
    if (!hasForeignBytes(path))
        return QFile::encodeName(path);
    QByteArray bytes;
    qsizetype run = 0;
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char16_t c = path.at(i).unicode();
        // A low surrogate after a high one is half of a character, not a byte.
        const bool paired = i > 0 && path.at(i - 1).isHighSurrogate();
        if (!isEscape(c) || paired)
            continue;
        bytes += QStringView(path).sliced(run, i - run).toUtf8();
        bytes += char(c - 0xDC00);
        run = i + 1;
    }
    bytes += QStringView(path).sliced(run).toUtf8();
    return bytes;
}

QString pathFromNative(QByteArrayView native)
{
    if (textcodec::isValidUtf8(native))
        return QFile::decodeName(native.toByteArray());
    QString path;
    qsizetype run = 0;
    for (qsizetype i = 0; i < native.size();) {
        const qsizetype length = textcodec::utf8SequenceAt(native, i);
        if (length > 0) {
            i += length;
            continue;
        }
        path += textcodec::decode(native.sliced(run, i - run), textcodec::Encoding::Utf8);
        path += QChar(char16_t(0xDC00 + uchar(native[i])));
        run = ++i;
    }
    path += textcodec::decode(native.sliced(run), textcodec::Encoding::Utf8);
    return path;
}

} // namespace vx
