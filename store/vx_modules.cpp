#include "store/vx_modules.h"

#include "app/mnu_error.h"
#include "store/sys_procs.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSaveFile>
#include <QSet>
#include <QTemporaryFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstdio>
#include <unistd.h>
#endif

namespace vx::VX_modules
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

bool copy_file(const QString& source, const QString& destination)
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

void show_notice(const QString& upper, const QString& lower)
{
    mnu_error::get().showNotice(upper, lower, true);
}

QString file_name_of(const QString& path)
{
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

void remove_duplicates(QListWidget& list)
{
    // One pass with a set; rebuilt only when something repeats. The list is read in runs with
    // the event loop served between them, so its length is taken afresh each step.
    QStringList kept;
    kept.reserve(list.count());
    QSet<QString> seen;
    seen.reserve(list.count());
    int i = 0;
    for (; i < list.count(); ++i) {
        const QString text = list.item(i)->text();
        const qsizetype before = seen.size();
        seen.insert(text);
        if (seen.size() != before)
            kept.append(text);
        if (i % 4096 == 4095)
            sys_procs::pumpIfDue();
    }
    if (kept.size() == i)
        return;
    sys_procs::clearItems(list);
    sys_procs::appendItems(list, kept);
}

} // namespace vx::VX_modules
