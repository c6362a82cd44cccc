#include "store/recordlookup.h"

#include "platform/nativepath.h"
#include "platform/textcodec.h"
#include "platform/textfile.h"
#include "store/catalogue.h"

#include <QDir>
#include <QSet>
#include <QStringList>
#include <algorithm>

namespace vx::catalogue
{

namespace
{

// The case-folded names of the records in bin, as they were when bin had `stamp`.
struct KnownNames {
    QSet<size_t> folded;
    FolderStamp stamp;
    bool complete = false;
};

KnownNames& known()
{
    static KnownNames names;
    return names;
}

// The text of a name in bin: names that are no UTF-8 were written by Windows in its code page.
QString nameText(QByteArrayView raw)
{
    return textcodec::decode(raw);
}

size_t foldedKey(const QString& text)
{
    return qHash(text.toCaseFolded());
}

bool isRecordName(const char* name, std::size_t length)
{
    return length >= 4 && qstrnicmp(name + length - 4, ".lib", 4) == 0;
}

} // namespace

QString findRecord(const QString& name)
{
    const QString exact = recordPath(name);
    if (exact.isEmpty() || isRegularFile(exact))
        return exact;
    const QString wanted = name + QStringLiteral(".lib");
    const QString folder = binPath();
    KnownNames& names = known();
    const FolderStamp now = folderStamp(folder);
    const bool current = names.complete && names.stamp == now;
    if (current && !names.folded.contains(foldedKey(wanted)))
        return {};

    // Read afresh: the names another case of this one matches, and, when what was known of
    // bin is out of date, every name.
    QSet<size_t> folded;
    const auto keep = [&](const char* entry, std::size_t length) {
        if (!isRecordName(entry, length))
            return false;
        const QString text = nameText(QByteArrayView(entry, qsizetype(length)));
        if (!current)
            folded.insert(foldedKey(text));
        return text.compare(wanted, Qt::CaseInsensitive) == 0;
    };
    QStringList matches = namesInFolder(folder, keep);
    if (!current)
        names = {std::move(folded), now, now.changed >= 0};

    // The exact text first, then the folder's own names in the order of their bytes.
    const auto rank = [&](const QString& entry) {
        const QByteArray raw = nativePath(entry);
        return std::make_pair(nameText(raw) != wanted, raw);
    };
    std::sort(matches.begin(), matches.end(),
              [&](const QString& a, const QString& b) { return rank(a) < rank(b); });
    for (const QString& entry : matches) {
        const QString path = folder + QDir::separator() + entry;
        if (isRegularFile(path))
            return path;
    }
    return {};
}

BinScan::BinScan() : m_before(folderStamp(binPath()))
{
    known() = {};
}

void BinScan::see(const char* name, std::size_t length)
{
    if (isRecordName(name, length))
        known().folded.insert(foldedKey(nameText(QByteArrayView(name, qsizetype(length)))));
}

BinScan::~BinScan()
{
    // Only what the scan saw counts, and only while bin stays as it was when the scan began.
    KnownNames& names = known();
    names.stamp = m_before;
    names.complete = m_before.changed >= 0;
}

BinChange::BinChange() : m_before(folderStamp(binPath())) {}

void BinChange::done(const QString& recordPath)
{
    KnownNames& names = known();
    if (!names.complete || names.stamp != m_before)
        return;
    if (!recordPath.isEmpty()) {
        const QString fileName = recordPath.mid(recordPath.lastIndexOf(QDir::separator()) + 1);
        names.folded.insert(foldedKey(nameText(nativePath(fileName))));
    }
    names.stamp = folderStamp(binPath());
}

} // namespace vx::catalogue
