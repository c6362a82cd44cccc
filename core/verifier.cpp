#include "core/verifier.h"

#include "core/filesearch.h"
#include "core/nativepath.h"
#include "core/sumcache.h"

#include <QDateTime>
#include <QFileInfo>
#include <QMutex>
#include <QThreadPool>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace vx
{

QString Verdict::text() const
{
    switch (kind) {
    case Kind::Verified:
        return QStringLiteral("Verified: ") + game;
    case Kind::HeaderFailed:
        return QStringLiteral("Header check failed: bad or modified dump");
    case Kind::NotInDat:
        break;
    }
    return QStringLiteral("Not in the DAT");
}

// What the threads share with the verifier: the checksums known, read from the cache file once.
struct DatNamer::Shared {
    QMutex mutex;
    sumcache::Cache cache;
    QString cacheFile;
    // Held by a thread reading the cache file, without `mutex`, so a view meanwhile only waits
    // for a look-up.
    QMutex reading;
    bool read = false;
    QMutex writing; // held while the cache file is written

    // Reads the cache file unless it was read since the last reset.
    void readOnce()
    {
        const QMutexLocker readingLock(&reading);
        if (read)
            return;
        const QString file = sumcache::filePath();
        sumcache::Cache fromFile;
        fromFile.read(file);
        const QMutexLocker lock(&mutex);
        cache = std::move(fromFile);
        cacheFile = file;
        read = true;
    }
};

namespace
{

std::optional<sumcache::Key> keyOf(const QString& path)
{
    if (path.isEmpty() || isWindowsOnlyPath(path))
        return {};
#ifdef Q_OS_UNIX
    // Asked at every view of a game: a plain stat, without the local-time conversion of
    // QFileInfo::lastModified, which costs more than the rest of a view.
    struct stat st;
    if (::stat(nativePath(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return sumcache::Key{path, qint64(st.st_size),
                         qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000};
#else
    const QFileInfo file(path);
    if (!file.isFile())
        return {};
    return sumcache::Key{path, file.size(), file.lastModified().toMSecsSinceEpoch()};
#endif
}

} // namespace

DatNamer::DatNamer(std::shared_ptr<Shared> shared, std::shared_ptr<const datfile::Dat> dat)
    : m_shared(std::move(shared)), m_dat(std::move(dat))
{
}

QString DatNamer::nameOf(const QString& path, const std::atomic_bool* cancelled)
{
    m_shared->readOnce();
    const std::optional<sumcache::Key> key = keyOf(path);
    if (!key)
        return {};
    std::optional<romsums::Sums> sums;
    {
        const QMutexLocker lock(&m_shared->mutex);
        sums = m_shared->cache.find(*key);
    }
    if (!sums) {
        sums = romsums::ofFile(path, cancelled);
        if (!sums)
            return {};
        const QMutexLocker lock(&m_shared->mutex);
        m_shared->cache.put(*key, *sums);
        m_computed = true;
    }
    const datfile::Rom* rom = m_dat->find(*sums);
    return rom ? rom->game : QString();
}

void DatNamer::keep()
{
    if (!m_computed)
        return;
    m_computed = false;
    const QMutexLocker writingLock(&m_shared->writing);
    sumcache::Cache snapshot;
    QString file;
    {
        const QMutexLocker lock(&m_shared->mutex);
        snapshot = m_shared->cache;
        file = m_shared->cacheFile;
    }
    // A cache that cannot be written only costs the next view a read.
    snapshot.write(file);
}

std::optional<DatNamer> Verifier::namer() const
{
    if (!m_dat)
        return {};
    return DatNamer(m_shared, m_dat);
}

Verifier& Verifier::get()
{
    // Never destroyed: threads still reading a ROM at the end post to it.
    static Verifier* const verifier = new Verifier;
    return *verifier;
}

Verifier::Verifier() : m_shared(std::make_shared<Shared>()) {}

QThreadPool& Verifier::pool()
{
    // Never destroyed and never waited for: a ROM on a hung network folder must not hold up the
    // program's end.
    static QThreadPool* const threads = [] {
        auto* made = new QThreadPool;
        made->setMaxThreadCount(2);
        return made;
    }();
    return *threads;
}

void Verifier::readDat(const QString& path, std::function<void(const datfile::Loaded&)> done)
{
    pool().start([this, path, done = std::move(done)] {
        datfile::Loaded loaded = datfile::load(path);
        QMetaObject::invokeMethod(
            this, [done, loaded = std::move(loaded)] { done(loaded); }, Qt::QueuedConnection);
    });
}

void Verifier::useDat(std::shared_ptr<const datfile::Dat> dat, const QString& path)
{
    if (dat == m_dat)
        return;
    m_dat = std::move(dat);
    m_datPath = m_dat ? path : QString();
    emit datChanged();
}

Verdict Verifier::judge(const romsums::Sums& sums) const
{
    if (const datfile::Rom* rom = m_dat->find(sums))
        return {Verdict::Kind::Verified, rom->game};
    if (sums.header == romsums::HeaderCheck::Bad)
        return {Verdict::Kind::HeaderFailed, {}};
    return {Verdict::Kind::NotInDat, {}};
}

std::optional<Verdict> Verifier::verdict(const QString& path)
{
    if (!hasDat())
        return {};
    const std::optional<sumcache::Key> key = keyOf(path);
    if (!key)
        return {};
    {
        const QMutexLocker lock(&m_shared->mutex);
        if (const auto sums = m_shared->cache.find(*key))
            return judge(*sums);
    }
    if (m_pending.contains(path))
        return {};
    m_pending.insert(path);
    pool().start([this, shared = m_shared, key = *key] {
        shared->readOnce();
        std::optional<romsums::Sums> sums;
        {
            const QMutexLocker lock(&shared->mutex);
            sums = shared->cache.find(key);
        }
        if (!sums) {
            sums = romsums::ofFile(key.path);
            if (sums) {
                // Written from a copy, so a view meanwhile does not wait for the disk; one
                // writer at a time, so the last file written holds every entry.
                const QMutexLocker writingLock(&shared->writing);
                sumcache::Cache snapshot;
                QString file;
                {
                    const QMutexLocker lock(&shared->mutex);
                    shared->cache.put(key, *sums);
                    snapshot = shared->cache;
                    file = shared->cacheFile;
                }
                // A cache that cannot be written only costs the next view a read.
                snapshot.write(file);
            }
        }
        QMetaObject::invokeMethod(
            this,
            [this, shared, path = key.path, sums] {
                if (m_shared != shared)
                    return;
                m_pending.remove(path);
                emit verdictReady(path,
                                  sums && hasDat() ? std::optional(judge(*sums)) : std::nullopt);
            },
            Qt::QueuedConnection);
    });
    return {};
}

void Verifier::reset()
{
    useDat(nullptr, {});
    m_pending.clear();
    // Threads of the last catalogue keep the state they began with; what they find is dropped.
    m_shared = std::make_shared<Shared>();
}

} // namespace vx
