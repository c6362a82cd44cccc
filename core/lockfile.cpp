#include "core/lockfile.h"

#include "core/logging.h"
#include "core/nativepath.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QSysInfo>
#include <optional>

#ifdef Q_OS_WIN
#include <QFile>
#include <QLockFile>
#else
#include "core/fd.h"

#include <QSemaphore>
#include <QThread>
#include <cerrno>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif
#endif

namespace vx
{

namespace
{

// A holder on another machine is taken for dead when its lock has gone unrefreshed this long.
constexpr int kStaleMs = 30000;
// The owner is written as soon as the lock is made, so an empty lock this old was left by a copy
// killed in between.
constexpr int kAbandonedEmptyMs = 1000;

} // namespace

LockFile::LockFile(QString path) : LockFile(std::move(path), false) {}

LockFile::LockFile(QString path, bool guard) : m_path(std::move(path)), m_guard(guard) {}

#ifdef Q_OS_WIN

// Windows keeps a lock file from being removed while its holder has it open, so a live holder
// cannot lose it and needs no refresh; QLockFile takes a dead holder's over.
struct LockFile::Held {
    explicit Held(const QString& path) : file(path) {}
    QLockFile file;
};

LockFile::~LockFile() = default;

LockFile::Attempt LockFile::tryTake()
{
    if (m_held)
        return Attempt::Taken;
    for (int round = 0; round < 2; ++round) {
        const QFileInfo info(m_path);
        if ((info.exists() || info.isSymLink()) && !info.isFile()) {
            logFailure(lcStore(), "lock", m_path, QStringLiteral("not a lock file"));
            return Attempt::Unwritable;
        }
        auto held = std::make_unique<Held>(m_path);
        held->file.setStaleLockTime(kStaleMs);
        if (held->file.tryLock(0)) {
            m_held = std::move(held);
            return Attempt::Taken;
        }
        if (held->file.error() != QLockFile::LockFailedError) {
            logFailure(lcStore(), "lock", m_path, QStringLiteral("the lock file cannot be made"));
            return Attempt::Unwritable;
        }
        const Attempt removed = removeIfAbandoned();
        if (removed != Attempt::Taken)
            return removed;
    }
    return Attempt::Held;
}

bool LockFile::stillHeld() const
{
    return m_held != nullptr;
}

// QLockFile takes an empty lock for stale only after its stale time; it goes under the guard
// QLockFile's own removal takes.
LockFile::Attempt LockFile::removeIfAbandoned()
{
    const auto abandoned = [&] {
        const QFileInfo info(m_path);
        return info.isFile() && info.size() == 0 &&
               qAbs(info.lastModified().msecsTo(QDateTime::currentDateTime())) >= kAbandonedEmptyMs;
    };
    if (!abandoned())
        return Attempt::Held;
    QLockFile guard(m_path + QStringLiteral(".rmlock"));
    return guard.tryLock(0) && abandoned() && QFile::remove(m_path) ? Attempt::Taken
                                                                    : Attempt::Held;
}

#else

namespace
{

// Well inside the stale time, so a write held up by a slow share never comes near it.
constexpr int kRefreshMs = 2000;

// Whether another machine may see the owner only once it is flushed: a share may hold a write
// back until then, and an empty lock soon counts as abandoned. On a disk of this machine the
// flush only cost each save a disk round trip (the saves' benchmark figures doubled).
bool ownerNeedsFlush(int fd)
{
#ifdef Q_OS_LINUX
    struct statfs fs;
    if (::fstatfs(fd, &fs) != 0)
        return true;
    switch (static_cast<quint32>(fs.f_type)) {
    case 0xEF53U:     // ext2, ext3, ext4
    case 0x58465342U: // xfs
    case 0x9123683EU: // btrfs
    case 0x2FC12FC1U: // zfs
    case 0xF2F52010U: // f2fs
    case 0x01021994U: // tmpfs
    case 0x2011BAB0U: // exfat
    case 0x4D44U:     // vfat
    case 0x7366746EU: // ntfs3
        return false;
    default:
        return true;
    }
#else
    Q_UNUSED(fd)
    return true;
#endif
}

QByteArray programFileName(const QString& path)
{
    return QFileInfo(path).fileName().toUtf8();
}

// What the program at a process id is called, as QLockFile names it; empty when that cannot be
// seen (no /proc, or another user's process).
QByteArray programOf(qint64 pid)
{
    QByteArray target(PATH_MAX, '\0');
    const QByteArray link = "/proc/" + QByteArray::number(pid) + "/exe";
    const ssize_t length = ::readlink(link.constData(), target.data(), target.size());
    if (length <= 0)
        return {};
    target.truncate(length);
    const QByteArray deleted(" (deleted)");
    if (target.endsWith(deleted))
        target.chop(deleted.size());
    return target.mid(target.lastIndexOf('/') + 1);
}

// The owner's lines as QLockFile writes them: process id, program, host, machine id, boot id.
QByteArray ownerLines()
{
    const qint64 pid = QCoreApplication::applicationPid();
    QByteArray program = programOf(pid);
    if (program.isEmpty())
        program = programFileName(QCoreApplication::applicationFilePath());
    return QByteArray::number(pid) + '\n' + program + '\n' + QSysInfo::machineHostName().toUtf8() +
           '\n' + QSysInfo::machineUniqueId() + '\n' + QSysInfo::bootUniqueId() + '\n';
}

// Whether the lock's owner ran on this machine and is gone. One on another machine can only be
// told by the lock's age.
bool ownerGone(const QByteArray& owner)
{
    const QList<QByteArray> lines = owner.split('\n');
    bool number = false;
    const qint64 pid = lines.value(0).toLongLong(&number);
    if (!number || pid <= 0)
        return false;
    const QByteArray host = lines.value(2);
    const QByteArray machine = lines.value(3);
    const QByteArray boot = lines.value(4);
    bool here = host.isEmpty() || host == QSysInfo::machineHostName().toUtf8();
    const QByteArray ourMachine = QSysInfo::machineUniqueId();
    if (!machine.isEmpty() && !ourMachine.isEmpty())
        here = machine == ourMachine;
    if (!here)
        return false;
    if ((!boot.isEmpty() && boot != QSysInfo::bootUniqueId()) || pid > INT_MAX)
        return true;
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return true;
    // The process id given since to another program. Another user's process cannot be looked
    // at, and is taken for the owner.
    const QByteArray running = programOf(pid);
    const QByteArray program = programFileName(QString::fromUtf8(lines.value(1)));
    return !running.isEmpty() && !program.isEmpty() && running != program;
}

qint64 ageMs(const struct stat& st)
{
    const qint64 modified = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return qAbs(QDateTime::currentMSecsSinceEpoch() - modified);
}

// Whether a lock (its owner lines, none when they cannot be read) was left by a copy that is gone.
bool abandoned(const std::optional<QByteArray>& owner, const struct stat& st)
{
    const qint64 age = ageMs(st);
    if (owner && owner->isEmpty())
        return age >= kAbandonedEmptyMs;
    return (owner && ownerGone(*owner)) || age > kStaleMs;
}

std::optional<QByteArray> readOwner(int handle)
{
    QByteArray owner(4096, '\0');
    const ssize_t length = ::pread(handle, owner.data(), owner.size(), 0);
    if (length < 0)
        return std::nullopt;
    owner.truncate(length);
    return owner;
}

// Removes the lock at `path` when its owner is gone (or only judges, with `judgeOnly`); Taken
// when it is gone now (or would be).
LockFile::Attempt removeAbandoned(const QString& name, bool judgeOnly)
{
    using Attempt = LockFile::Attempt;
    const QByteArray path = nativePath(name);
    const Fd handle(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat judged;
    const bool opened = handle.get() >= 0;
    if (!opened && errno == ENOENT)
        return Attempt::Taken;
    // A lock its owner's umask keeps from other users is judged by its age alone.
    if (opened ? ::fstat(handle.get(), &judged) != 0 : ::lstat(path.constData(), &judged) != 0) {
        if (errno == ENOENT)
            return Attempt::Taken;
        logFailure(lcStore(), "examine", name, systemError());
        return Attempt::Unwritable;
    }
    // A folder or a link there is no copy's lock, and waiting will not change it.
    if (!S_ISREG(judged.st_mode)) {
        logFailure(lcStore(), "lock", name, QStringLiteral("not a lock file"));
        return Attempt::Unwritable;
    }
    if (!abandoned(opened ? readOwner(handle.get()) : std::nullopt, judged))
        return Attempt::Held;
    // An owner on this machine that still runs holds its flock.
    if (opened && ::flock(handle.get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return Attempt::Held;
    if (judgeOnly)
        return Attempt::Taken;
    // Still the lock judged, not one made since.
    struct stat now;
    if (::lstat(path.constData(), &now) != 0)
        return errno == ENOENT ? Attempt::Taken : Attempt::Held;
    if (now.st_dev != judged.st_dev || now.st_ino != judged.st_ino)
        return Attempt::Held;
    // Removed without opening it for writing: the folder's permission is what counts, and
    // another user's lock cannot be written.
    if (::unlink(path.constData()) != 0 && errno != ENOENT) {
        logFailure(lcStore(), "remove a dead copy's lock", name, systemError());
        return Attempt::Unwritable;
    }
    return Attempt::Taken;
}

} // namespace

struct LockFile::Held {
    explicit Held(int fd) : handle(fd) {}
    ~Held()
    {
        if (refresher) {
            stop.release();
            refresher->wait();
        }
        ::close(handle);
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    int handle;
    dev_t device = 0;
    ino_t inode = 0;
    QSemaphore stop;
    std::unique_ptr<QThread> refresher;
};

LockFile::~LockFile()
{
    // Another copy's lock, made after it took this one over, stays.
    if (stillHeld())
        ::unlink(nativePath(m_path).constData());
}

// NOLINTNEXTLINE(misc-no-recursion): a takeover's guard takes over without a guard of its own.
LockFile::Attempt LockFile::tryTake()
{
    if (m_held)
        return Attempt::Taken;
    const QByteArray path = nativePath(m_path);
    for (int round = 0; round < 2; ++round) {
        const int made = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (made < 0 && errno != EEXIST) {
            logFailure(lcStore(), "make the lock", m_path, systemError());
            return Attempt::Unwritable;
        }
        if (made < 0) {
            const Attempt removed = removeIfAbandoned();
            if (removed != Attempt::Taken)
                return removed;
            continue;
        }
        auto held = std::make_unique<Held>(made);
        // Keeps copies on this machine from removing it while it is held.
        ::flock(made, LOCK_EX | LOCK_NB);
        const QByteArray owner = ownerLines();
        struct stat st;
        if (::write(made, owner.constData(), owner.size()) != owner.size() ||
            ::fstat(made, &st) != 0) {
            logFailure(lcStore(), "write the lock", m_path, systemError());
            ::unlink(path.constData());
            return Attempt::Unwritable;
        }
        if (ownerNeedsFlush(made))
            ::fdatasync(made);
        held->device = st.st_dev;
        held->inode = st.st_ino;
        if (!m_guard) {
            // From a thread of its own, so it goes on while a write blocks this one.
            Held* refreshed = held.get();
            held->refresher.reset(QThread::create([refreshed] {
                while (!refreshed->stop.tryAcquire(1, kRefreshMs))
                    ::futimens(refreshed->handle, nullptr);
            }));
            held->refresher->start();
        }
        m_held = std::move(held);
        return Attempt::Taken;
    }
    return Attempt::Held;
}

bool LockFile::stillHeld() const
{
    if (!m_held)
        return false;
    // Opened rather than looked up, so a network share shows the file as it is now.
    const Fd handle(
        ::open(nativePath(m_path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    struct stat st;
    return handle.get() >= 0 && ::fstat(handle.get(), &st) == 0 && st.st_dev == m_held->device &&
           st.st_ino == m_held->inode;
}

// NOLINTNEXTLINE(misc-no-recursion): as tryTake, two levels deep at most.
LockFile::Attempt LockFile::removeIfAbandoned()
{
    if (m_guard)
        return removeAbandoned(m_path, false);
    // Judged first without the guard, so waiting for a live holder makes no files.
    const Attempt judged = removeAbandoned(m_path, true);
    if (judged != Attempt::Taken)
        return judged;
    // Two copies taking over one dead lock must not remove each other's new one.
    LockFile guard(m_path + QStringLiteral(".rmlock"), true);
    const Attempt guarded = guard.tryTake();
    return guarded == Attempt::Taken ? removeAbandoned(m_path, false) : guarded;
}

#endif

} // namespace vx
