#include "core/catalogue.h"

#include "core/appfolder.h"
#include "core/folderscan.h"
#include "core/lockfile.h"
#include "core/logging.h"
#include "core/profile.h"
#include "core/textfile.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QThread>
#include <memory>
#include <thread>

namespace vx::catalogue
{

namespace
{

QString inApp(const QString& suffix)
{
    return appFolder() + QDir::separator() + suffix;
}

} // namespace

QString settingsPath()
{
    return inApp(QStringLiteral("vx.log"));
}

QString binPath()
{
    return inApp(QStringLiteral("bin"));
}

QString indexPath()
{
    return binPath() + QDir::separator() + QStringLiteral("bootlist.lst");
}

bool isGameNameCharacter(QChar c)
{
#ifdef Q_OS_WIN
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
#else
    // A colon is a plain character here, common in titles; such a catalogue cannot move to
    // Windows as it is.
    static const QString forbidden = QStringLiteral("\\/*?\"<>|");
#endif
    return c.unicode() >= 0x20 && c.unicode() != 0x7F && !forbidden.contains(c);
}

namespace
{

constexpr qsizetype kMaxFileName = 255;

// Whether "<name>.lib", `spare` bytes short of the limit, is a plain file name in bin.
bool fitsRecordName(const QString& name, qsizetype spare)
{
    for (const QChar c : name) {
        if (!isGameNameCharacter(c))
            return false;
    }
    const qsizetype suffix = QByteArrayLiteral(".lib").size();
    return QFile::encodeName(name).size() + suffix + spare <= kMaxFileName;
}

} // namespace

QString recordPath(const QString& name)
{
    if (!fitsRecordName(name, 0))
        return {};
    return binPath() + QDir::separator() + name + QStringLiteral(".lib");
}

bool isUsableGameName(const QString& name)
{
    // Earlier versions kept room after "<name>.lib" for a temporary's suffix and read no longer
    // name, so saves still leave it: a catalogue written here stays readable by them.
    return fitsRecordName(name, QByteArrayLiteral(".XXXXXX").size());
}

Record readRecord(const QString& recordPath)
{
    // One read of the file serves all five keys.
    const QByteArray content = readWholeFile(recordPath).value_or(QByteArray());
    auto key = [&](const char* section, const char* name) {
        return profile::valueIn(content, QLatin1String(section), QLatin1String(name));
    };
    return {key("paths", "file"), key("paths", "image"), key("info", "gametype"),
            key("info", "size"), key("info", "desc")};
}

QString exportFolder()
{
    return profile::read(settingsPath(), QStringLiteral("export"), QStringLiteral("path"));
}

QString datPath()
{
    return profile::read(settingsPath(), QStringLiteral("dat"), QStringLiteral("path"));
}

bool exportsBigEndian()
{
    return profile::read(settingsPath(), QStringLiteral("z64"), QStringLiteral("export")) ==
           QLatin1String("1");
}

namespace
{

// Only hidden names of a temporary's length are decoded and matched.
bool temporaryCandidate(const char* name, std::size_t length)
{
    return length == 17 && name[0] == '.';
}

} // namespace

StrayScan scanForStrayTemporaries()
{
    StrayScan scan;
    scan.inApp = namesInFolder(appFolder(), &temporaryCandidate);
    scan.inBin = namesInFolder(binPath(), [&](const char* name, std::size_t length) {
        scan.binNames.see(name, length);
        return temporaryCandidate(name, length);
    });
    scan.binNames.seenAll();
    return scan;
}

void removeStrayTemporaries(StrayScan& scan)
{
    scan.binNames.adopt();
    // A rewrite holds the lock from its temporary's making to its rename, so with the lock held
    // no other copy's temporary is in use; another copy busy writing is left alone, and so are
    // this one's writes under way (the lock nests within a process).
    const WriteLock lock(0);
    if (!lock.held())
        return;
    const auto sweep = [](const QString& folder, const QStringList& names) {
        const QDir dir(folder);
        for (const QString& name : names) {
            if (!isTemporaryName(name) || temporaryInUse(name) ||
                !QFileInfo(dir.filePath(name)).isFile())
                continue;
            // One in use by a copy that took the lock over is that copy's.
            if (lockLost())
                return;
            QFile temporary(dir.filePath(name));
            if (!temporary.remove())
                logFailure(lcStore(), "remove", temporary.fileName(), temporary.errorString());
        }
    };
    sweep(appFolder(), scan.inApp);
    BinChange change;
    sweep(binPath(), scan.inBin);
    change.done();
}

void removeStrayTemporaries()
{
    StrayScan scan = scanForStrayTemporaries();
    removeStrayTemporaries(scan);
}

QString lockPath()
{
    return inApp(QStringLiteral("vx.lock"));
}

namespace
{

// It nests within a thread; another thread of this process (an import's writer) waits for it as
// another copy does.
struct HeldLock {
    QMutex mutex;
    std::unique_ptr<LockFile> file;
    int depth = 0;
    std::thread::id owner;
};

HeldLock& heldLock()
{
    static HeldLock held;
    return held;
}

constexpr int kLockWaitMs = 8000;

} // namespace

WriteLock::WriteLock() : WriteLock(kLockWaitMs) {}

WriteLock::WriteLock(int waitMs)
{
    HeldLock& held = heldLock();
    const std::thread::id self = std::this_thread::get_id();
    {
        const QMutexLocker lock(&held.mutex);
        if (held.depth > 0 && held.owner == self) {
            ++held.depth;
            m_state = State::Held;
            return;
        }
    }
    auto file = std::make_unique<LockFile>(lockPath());
    QDeadlineTimer deadline(waitMs);
    for (;;) {
        {
            const QMutexLocker lock(&held.mutex);
            const LockFile::Attempt attempt =
                held.depth > 0 ? LockFile::Attempt::Held : file->tryTake();
            if (attempt == LockFile::Attempt::Taken) {
                held.file = std::move(file);
                held.depth = 1;
                held.owner = self;
                m_state = State::Held;
                return;
            }
            // Only another holder is worth waiting for: a folder that cannot hold the lock will
            // not.
            if (attempt == LockFile::Attempt::Unwritable)
                return;
        }
        if (deadline.hasExpired()) {
            logFailure(lcStore(), "lock", lockPath(),
                       QStringLiteral("another copy of the program holds it"));
            m_state = State::Busy;
            return;
        }
        // Painting goes on meanwhile; clicks wait, so no other write starts inside this one.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
        QThread::msleep(20);
    }
}

WriteLock::~WriteLock()
{
    if (!held())
        return;
    HeldLock& held = heldLock();
    const QMutexLocker lock(&held.mutex);
    if (--held.depth == 0)
        held.file.reset();
}

bool lockLost()
{
    HeldLock& held = heldLock();
    const QMutexLocker lock(&held.mutex);
    return held.depth > 0 && !held.file->stillHeld();
}

} // namespace vx::catalogue
