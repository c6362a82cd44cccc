#include "core/filesearch.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace vx
{

namespace
{

QList<uint> folded(const QString& text)
{
    QList<uint> chars = text.toUcs4();
    for (uint& c : chars)
        c = QChar::toCaseFolded(c);
    return chars;
}

bool globMatch(const QList<uint>& mask, const QList<uint>& name)
{
    // Greedy match that backtracks only to the latest '*': linear for the usual masks.
    qsizetype m = 0;
    qsizetype n = 0;
    qsizetype starM = -1;
    qsizetype starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starM = m++;
            starN = n;
        } else if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
            ++m;
            ++n;
        } else if (starM >= 0) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

bool hasWildcard(const QString& text)
{
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
}

} // namespace

bool wildcardMatch(const QString& mask, const QString& name)
{
    const QList<uint> n = folded(name);
    const QList<uint> m = folded(mask);
    if (globMatch(m, n))
        return true;
    // As on the legacy host, a mask ending in ".*" also matches names without an extension,
    // which is how "*.*" matches every name.
    return mask.endsWith(QLatin1String(".*")) && globMatch(m.first(m.size() - 2), n);
}

bool isWindowsOnlyPath(const QString& path)
{
#ifdef Q_OS_WIN
    Q_UNUSED(path);
    return false;
#else
    const bool drive = path.size() >= 2 && path.at(1) == QLatin1Char(':') &&
                       path.at(0).unicode() < 0x80 && path.at(0).isLetter();
    return drive || path.startsWith(QLatin1Char('\\'));
#endif
}

bool normalFileMatches(const QString& pattern)
{
    if (pattern.isEmpty() || isWindowsOnlyPath(pattern))
        return false;
    const QString path = QDir::fromNativeSeparators(pattern);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString mask = path.mid(slash + 1);
    if (mask.isEmpty())
        return false;

    if (!hasWildcard(mask)) {
        // isFile() follows a link, so a link to a regular file counts and one to a folder not.
        const QFileInfo info(path);
        return !mask.startsWith(QLatin1Char('.')) && info.isFile();
    }

    const QString folder = slash < 0 ? QStringLiteral(".") : path.left(slash + 1);
    const QDir dir(folder);
    if (!dir.exists())
        return false;
    // Without QDir::Hidden dot files are left out; broken links are left out with System.
    const QStringList entries = dir.entryList(QDir::Files, QDir::NoSort);
    return std::any_of(entries.begin(), entries.end(),
                       [&mask](const QString& entry) { return wildcardMatch(mask, entry); });
}

} // namespace vx
