#include "core/sumcache.h"

#include "core/catalogue.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <vector>

namespace vx::sumcache
{

namespace
{

const QByteArray kFirstLine = QByteArrayLiteral("Vexloutil checksums 1");

char headerLetter(romsums::HeaderCheck check)
{
    switch (check) {
    case romsums::HeaderCheck::Good:
        return 'G';
    case romsums::HeaderCheck::Bad:
        return 'B';
    case romsums::HeaderCheck::UnknownBootCode:
        return 'U';
    case romsums::HeaderCheck::NotChecked:
        break;
    }
    return 'N';
}

std::optional<romsums::HeaderCheck> headerOf(const QByteArray& letter)
{
    if (letter == "G")
        return romsums::HeaderCheck::Good;
    if (letter == "B")
        return romsums::HeaderCheck::Bad;
    if (letter == "U")
        return romsums::HeaderCheck::UnknownBootCode;
    if (letter == "N")
        return romsums::HeaderCheck::NotChecked;
    return {};
}

// Blanks and line breaks would split the fields and lines, so the path goes percent-encoded.
QByteArray encodedPath(const QString& path)
{
    return path.toUtf8().toPercentEncoding(QByteArrayLiteral("/"));
}

} // namespace

std::optional<romsums::Sums> Cache::find(const Key& key) const
{
    const auto at = m_entries.constFind(key.path);
    if (at == m_entries.cend() || at->size != key.size || at->modifiedMs != key.modifiedMs)
        return {};
    return at->sums;
}

void Cache::put(const Key& key, const romsums::Sums& sums)
{
    m_entries.insert(key.path, Entry{key.size, key.modifiedMs, ++m_stamp, sums});
    if (m_entries.size() <= kMaxEntries)
        return;
    // A tenth at a time, so a full cache is not sorted at every ROM.
    std::vector<qint64> stamps;
    stamps.reserve(size_t(m_entries.size()));
    for (const Entry& entry : std::as_const(m_entries))
        stamps.push_back(entry.stamp);
    const auto cut = stamps.begin() + kMaxEntries / 10;
    std::nth_element(stamps.begin(), cut, stamps.end());
    const qint64 oldest = *cut;
    m_entries.removeIf([oldest](const auto& entry) { return entry.value().stamp < oldest; });
}

void Cache::read(const QString& file)
{
    m_entries.clear();
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly) || in.readLine().trimmed() != kFirstLine)
        return;
    while (!in.atEnd()) {
        const QList<QByteArray> fields = in.readLine().trimmed().split(' ');
        if (fields.size() != 8)
            continue;
        romsums::Sums sums;
        bool sizeOk = false;
        bool fileSizeOk = false;
        bool timeOk = false;
        bool crcOk = false;
        sums.sha1 = QByteArray::fromHex(fields[0]);
        sums.md5 = QByteArray::fromHex(fields[1]);
        sums.crc32 = fields[2].toUInt(&crcOk, 16);
        const auto header = headerOf(fields[3]);
        sums.size = fields[4].toLongLong(&sizeOk);
        // The file's length differs from the image's for a zip, so both are kept.
        const qint64 fileSize = fields[5].toLongLong(&fileSizeOk);
        const qint64 modified = fields[6].toLongLong(&timeOk);
        const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(fields[7]));
        if (sums.sha1.size() != 20 || sums.md5.size() != 16 || !crcOk || !header || !sizeOk ||
            !fileSizeOk || !timeOk || path.isEmpty())
            continue;
        sums.header = *header;
        m_entries.insert(path, Entry{fileSize, modified, ++m_stamp, sums});
    }
}

bool Cache::write(const QString& file) const
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = kFirstLine + '\n';
    for (auto at = m_entries.cbegin(); at != m_entries.cend(); ++at) {
        const romsums::Sums& sums = at->sums;
        text += sums.sha1.toHex() + ' ' + sums.md5.toHex() + ' ' +
                QByteArray::number(sums.crc32, 16).rightJustified(8, '0') + ' ' +
                headerLetter(sums.header) + ' ' + QByteArray::number(sums.size) + ' ' +
                QByteArray::number(at->size) + ' ' + QByteArray::number(at->modifiedMs) + ' ' +
                encodedPath(at.key()) + '\n';
    }
    out.write(text);
    return out.commit();
}

QString filePath()
{
    return QFileInfo(catalogue::settingsPath()).dir().filePath(QStringLiteral("vx-checksums.txt"));
}

} // namespace vx::sumcache
