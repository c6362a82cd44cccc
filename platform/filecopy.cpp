#include "platform/filecopy.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <unistd.h>
#endif

namespace vx
{

namespace
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
constexpr Qt::CaseSensitivity pathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
#endif

// Copies what is left of `in` to `out`; false at the first failed read or short write.
bool copyBytes(QFile& in, QFileDevice& out)
{
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        if (out.write(buffer.constData(), got) != got)
            return false;
    }
}

#ifdef Q_OS_UNIX
// A ROM is copied as cp would copy it (in the kernel where it can be, no flush to the disk), but
// into a temporary file in the destination folder renamed over the destination at the end, so a
// failed copy never leaves a partial file. The catalogue's own files keep their flushed rewrites.
bool copyThroughTemporary(QFile& in, const QString& destination)
{
    const QFileInfo to(destination);
    QTemporaryFile out(to.absolutePath() + QStringLiteral("/.") + to.fileName() +
                       QStringLiteral(".XXXXXX"));
    if (!out.open())
        return false;
    bool copied = true;
    bool inKernel = true;
    for (;;) {
        const ssize_t sent =
            ::copy_file_range(in.handle(), nullptr, out.handle(), nullptr, ssize_t(1) << 30, 0);
        if (sent > 0)
            continue;
        if (sent < 0 && ::lseek(out.handle(), 0, SEEK_CUR) == 0 &&
            (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP)) {
            inKernel = false; // not offered between these files: copy through a buffer
        } else {
            copied = sent == 0;
        }
        break;
    }
    if (!inKernel) {
        QFile raw;
        copied = raw.open(out.handle(), QIODevice::WriteOnly | QIODevice::Unbuffered,
                          QFileDevice::DontCloseHandle) &&
                 copyBytes(in, raw);
    }
    const QFileDevice::Permissions mode =
        to.exists() ? QFile::permissions(destination)
                    : (QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                       QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (!copied || !out.setPermissions(mode) || !out.flush())
        return false;
    // Replaces the destination in one step; on failure the temporary file goes with `out`.
    if (::rename(QFile::encodeName(out.fileName()).constData(),
                 QFile::encodeName(destination).constData()) != 0)
        return false;
    out.setAutoRemove(false);
    return true;
}
#endif

} // namespace

bool copyFileReplacing(const QString& source, const QString& destination)
{
    const QFileInfo from(source);
    const QFileInfo to(destination);
    if (source.isEmpty() || destination.isEmpty() || !from.isFile())
        return false;
    // However the two paths are spelled (links, dots, letter case where it does not count),
    // one file must not be copied onto itself.
    if (to.exists() && from.canonicalFilePath().compare(to.canonicalFilePath(), pathCase) == 0)
        return false;

    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
#ifdef Q_OS_UNIX
    return copyThroughTemporary(in, destination);
#else
    QSaveFile out(destination);
    // Unbuffered so every short write is seen (see replaceFile).
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (!copyBytes(in, out)) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
#endif
}

} // namespace vx
