#include "core/recordlookup.h"

#include "core/catalogue.h"
#include "core/folderwatch.h"
#include "core/nativepath.h"
#include "core/textcodec.h"
#include "core/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QRecursiveMutex>
#include <QStringList>
#include <QThread>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace vx::catalogue
{

namespace
{

// Hashes of names, gathered in bulk and sorted once (a set built an insertion at a time costs
// several times as much at half a million names), then kept sorted as single names arrive.
class KeySet
{
public:
    // Gathers a reading's keys: contains() waits for settle().
    void gather(size_t key) { m_keys.push_back(key); }
    void settle()
    {
        std::sort(m_keys.begin(), m_keys.end());
        m_keys.erase(std::unique(m_keys.begin(), m_keys.end()), m_keys.end());
    }
    // One arrival, the keys settled.
    void insert(size_t key)
    {
        const auto at = std::lower_bound(m_keys.begin(), m_keys.end(), key);
        if (at == m_keys.end() || *at != key)
            m_keys.insert(at, key);
    }
    bool contains(size_t key) const
    {
        return std::binary_search(m_keys.begin(), m_keys.end(), key);
    }

private:
    std::vector<size_t> m_keys;
};

} // namespace

// The case-folded names of the records in bin, from a reading of it and, where the system tells
// them, the names that arrived since; elsewhere valid while bin keeps the stamp it had then.
struct BinNames {
    QString folder;
    KeySet folded;
    std::unique_ptr<FolderWatch> watch;
    FolderStamp stamp;
    bool complete = false;
};

namespace
{

using KnownNames = BinNames;

void (*&pendingReading())()
{
    static void (*finish)() = nullptr;
    return finish;
}

// An import looks records up on a thread of its own while the windows do.
QRecursiveMutex knownMutex;

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

// The same key straight from a name's bytes: a plain ASCII name (nearly every name) is folded
// in place, without making its text twice.
size_t foldedKey(QByteArrayView raw)
{
    constexpr qsizetype kLongest = 255;
    char16_t folded[kLongest];
    if (raw.size() > kLongest)
        return foldedKey(nameText(raw));
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const auto c = static_cast<unsigned char>(raw[i]);
        if (c >= 0x80)
            return foldedKey(nameText(raw));
        folded[i] = char16_t(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
    return qHash(QStringView(folded, raw.size()));
}

bool isRecordName(const char* name, std::size_t length)
{
    return length >= 4 && qstrnicmp(name + length - 4, ".lib", 4) == 0;
}

// A name arrived since bin was read.
void learn(KnownNames& names, const char* name, std::size_t length)
{
    if (isRecordName(name, length))
        names.folded.insert(foldedKey(QByteArrayView(name, qsizetype(length))));
}

// Forgets bin and starts to watch it, before it is read, so no arrival falls between.
void startReading(KnownNames& names, const QString& folder)
{
    names = KnownNames();
    names.folder = folder;
    names.watch = std::make_unique<FolderWatch>(folder);
    if (!names.watch->active())
        names.watch.reset();
    names.stamp = folderStamp(folder);
}

bool upToDate(KnownNames& names, const QString& folder)
{
    if (!names.complete || names.folder != folder)
        return false;
    if (names.watch)
        return names.watch->arrivals(
            [&names](const char* name, std::size_t length) { learn(names, name, length); });
    return names.stamp == folderStamp(folder);
}

} // namespace

QString findRecord(const QString& name)
{
    QString exact = recordPath(name);
    if (exact.isEmpty() || isRegularFile(exact))
        return exact;
    const QString wanted = name + QStringLiteral(".lib");
    const QString folder = binPath();
    // A reading of bin under way elsewhere (start-up's) is waited for rather than repeated.
    if (pendingReading() && QThread::currentThread() == qApp->thread())
        std::exchange(pendingReading(), nullptr)();
    const QMutexLocker lock(&knownMutex);
    KnownNames& names = known();
    const bool current = upToDate(names, folder);
    if (current && !names.folded.contains(foldedKey(wanted)))
        return {};

    // Read afresh: the names another case of this one matches, and, when what was known of
    // bin is out of date, every name.
    if (!current)
        startReading(names, folder);
    const auto keep = [&](const char* entry, std::size_t length) {
        if (!isRecordName(entry, length))
            return false;
        const QString text = nameText(QByteArrayView(entry, qsizetype(length)));
        if (!current)
            names.folded.gather(foldedKey(text));
        return text.compare(wanted, Qt::CaseInsensitive) == 0;
    };
    QStringList matches = namesInFolder(folder, keep);
    if (!current)
        names.folded.settle();
    names.complete = names.stamp.changed >= 0;

    // The exact text first, then the folder's own names in the order of their bytes.
    const auto rank = [&](const QString& entry) {
        const QByteArray raw = nativePath(entry);
        return std::make_pair(nameText(raw) != wanted, raw);
    };
    std::sort(matches.begin(), matches.end(),
              [&](const QString& a, const QString& b) { return rank(a) < rank(b); });
    for (const QString& entry : matches) {
        QString path = folder + QDir::separator() + entry;
        if (isRegularFile(path))
            return path;
    }
    return {};
}

BinScan::BinScan() : m_names(std::make_unique<BinNames>())
{
    startReading(*m_names, binPath());
}

BinScan::~BinScan() = default;
BinScan::BinScan(BinScan&&) noexcept = default;
BinScan& BinScan::operator=(BinScan&&) noexcept = default;

void BinScan::see(const char* name, std::size_t length)
{
    if (isRecordName(name, length))
        m_names->folded.gather(foldedKey(QByteArrayView(name, qsizetype(length))));
}

void BinScan::seenAll()
{
    m_names->folded.settle();
}

void BinScan::adopt()
{
    if (!m_names)
        return;
    const QMutexLocker lock(&knownMutex);
    KnownNames& names = known();
    // A lookup that read bin since this reading began knows at least as much.
    if (names.complete && names.folder == m_names->folder)
        return;
    m_names->complete = m_names->stamp.changed >= 0;
    names = std::move(*m_names);
    m_names.reset();
}

void setBinReadingPending(void (*finish)())
{
    pendingReading() = finish;
}

BinChange::BinChange() : m_before(folderStamp(binPath())) {}

void BinChange::done(const QString& recordPath)
{
    // A watch tells of this change as of any other.
    const QMutexLocker lock(&knownMutex);
    KnownNames& names = known();
    if (names.watch || !names.complete || names.stamp != m_before)
        return;
    if (!recordPath.isEmpty()) {
        const QString fileName = recordPath.mid(recordPath.lastIndexOf(QDir::separator()) + 1);
        const QByteArray raw = nativePath(fileName);
        learn(names, raw.constData(), std::size_t(raw.size()));
    }
    names.stamp = folderStamp(binPath());
}

} // namespace vx::catalogue
