#include "store/vx_modules.h"

#include "app/mnu_error.h"
#include "store/sys_procs.h"

#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QSaveFile>
#include <QSet>

namespace vx::VX_modules
{

namespace
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
constexpr Qt::CaseSensitivity pathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
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
    QSaveFile out(destination);
    // Unbuffered so every short write is seen (see replaceFile).
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got < 0) {
            out.cancelWriting();
            return false;
        }
        if (got == 0)
            break;
        if (out.write(buffer.constData(), got) != got) {
            out.cancelWriting();
            return false;
        }
    }
    return out.commit();
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
    // One pass with a set; rebuilt only when something repeats.
    const int count = list.count();
    QStringList kept;
    kept.reserve(count);
    QSet<QString> seen;
    seen.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString text = list.item(i)->text();
        if (!seen.contains(text)) {
            seen.insert(text);
            kept.append(text);
        }
    }
    if (kept.size() == count)
        return;
    list.clear();
    sys_procs::appendItems(list, kept);
}

} // namespace vx::VX_modules
