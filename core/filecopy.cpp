#include "core/filecopy.h"

#include "core/cartridge.h"
#include "core/copytemporary.h"
#include "core/logging.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QSaveFile>
#include <algorithm>
#include <vector>

#ifdef Q_OS_UNIX
#include "core/fd.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <linux/fs.h>
#endif
#endif

namespace vx
{

namespace
{

// Large enough that the kernel copies at full speed, small enough that a cancel is noticed
// within a few tens of milliseconds.
constexpr qint64 kPiece = 16LL << 20;
constexpr qint64 kBuffer = 1LL << 20;

struct PieceSeam {
    std::function<void()> hook;
    qint64 bytes = kPiece;
    bool named = false;
};

PieceSeam& seam()
{
    static PieceSeam s;
    return s;
}

void pieceDone(CopyProgress& progress, qint64 done)
{
    progress.done = done;
    if (seam().hook)
        seam().hook();
}

#ifdef Q_OS_UNIX

// Where the bytes land: the destination itself, or the file its link points at.
struct Target {
    QByteArray folder;
    QByteArray name;
    bool exists = false;
    struct stat st {
    };
};

// False when the copy must not go there; the reason is logged.
bool findTarget(QByteArray path, const struct stat& source, Target& target)
{
    const auto refused = [&path](const QString& reason) {
        logFailure(lcCopy(), "copy to", QFile::decodeName(path), reason);
        return false;
    };
    struct stat st {
    };
    if (::lstat(path.constData(), &st) == 0) {
        if (S_ISLNK(st.st_mode)) {
            // Written through, as cp does; a link to nothing is refused, as cp does.
            char* resolved = ::realpath(path.constData(), nullptr);
            if (!resolved)
                return refused(systemError());
            path = resolved;
            std::free(resolved);
            if (::stat(path.constData(), &st) != 0)
                return refused(systemError());
        }
        if (!S_ISREG(st.st_mode))
            return refused(QStringLiteral("not a file"));
        if (st.st_dev == source.st_dev && st.st_ino == source.st_ino)
            return refused(QStringLiteral("it is the file copied"));
        // No write bit at all is the read-only mark, which holds even for an administrator.
        if ((st.st_mode & 0222) == 0)
            return refused(QStringLiteral("read-only"));
        if (::access(path.constData(), W_OK) != 0)
            return refused(systemError());
        target.exists = true;
        target.st = st;
    } else if (errno != ENOENT) {
        return refused(systemError());
    }
    const qsizetype slash = path.lastIndexOf('/');
    target.folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
    target.name = path.mid(slash + 1);
    return !target.name.isEmpty() && target.name != "." && target.name != "..";
}

// The copy's file in the destination's folder. Where it can be, it has no name until it is
// complete, so a copy killed midway leaves nothing at all; a named one is removed on failure.
class Temporary
{
public:
    explicit Temporary(int folder) : m_folder(folder) {}
    ~Temporary()
    {
        if (!m_name.isEmpty())
            ::unlinkat(m_folder, m_name.constData(), 0);
    }
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    int fd() const { return m_fd.get(); }

    // The umask applies to `mode`, as it does for cp's new files.
    bool open(mode_t mode)
    {
#ifdef O_TMPFILE
        if (!seam().named && ::access("/proc/self/fd", X_OK) == 0) {
            m_fd.reset(::openat(m_folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, mode));
            if (m_fd.get() >= 0)
                return true;
        }
#endif
        for (int tries = 0; tries < 100; ++tries) {
            const QByteArray name = copyTemporaryName();
            m_fd.reset(::openat(m_folder, name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                                mode));
            if (m_fd.get() >= 0) {
                m_name = name;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    // Puts the finished file in place of `name` in one step.
    bool replace(const QByteArray& name)
    {
        if (m_name.isEmpty()) {
            const QByteArray self = "/proc/self/fd/" + QByteArray::number(m_fd.get());
            for (int tries = 0; m_name.isEmpty() && tries < 100; ++tries) {
                const QByteArray candidate = copyTemporaryName();
                if (::linkat(AT_FDCWD, self.constData(), m_folder, candidate.constData(),
                             AT_SYMLINK_FOLLOW) == 0)
                    m_name = candidate;
                else if (errno != EEXIST)
                    return false;
            }
        }
        if (m_name.isEmpty() ||
            ::renameat(m_folder, m_name.constData(), m_folder, name.constData()) != 0)
            return false;
        m_name.clear();
        return true;
    }

private:
    int m_folder;
    Fd m_fd;
    QByteArray m_name;
};

// Copies [from, to) of `in` to the same offsets of `out`: in the kernel while that works
// between these two files, else through a buffer, turned into the cartridge's order on the way
// when `swapped` names the source's. `reached` ends short when the source does. `source` and
// `destination` name the files in the log.
struct Ends {
    int in;
    int out;
    const QString& source;
    const QString& destination;
    std::optional<cartridge::Order> swapped;
};

// Writes all `size` bytes at `pos` of the destination.
bool writeAt(const Ends& ends, const char* bytes, ssize_t size, off_t pos)
{
    for (ssize_t written = 0; written < size;) {
        const ssize_t put =
            ::pwrite(ends.out, bytes + written, size_t(size - written), pos + written);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            logFailure(lcCopy(), "write", ends.destination,
                       put < 0 ? systemError() : QStringLiteral("nothing written"));
            return false;
        }
        written += put;
    }
    return true;
}

bool copyRange(const Ends& ends, off_t from, off_t to, bool& inKernel, CopyProgress& progress,
               off_t& reached)
{
    const int in = ends.in;
    std::vector<char> buffer;
    off_t pos = from;
    while (pos < to) {
        if (progress.cancelled)
            return false;
        size_t want = size_t(std::min<off_t>(seam().bytes, to - pos));
        // Whole words, so no word is split between two pieces.
        if (ends.swapped && want > 4)
            want -= want % 4;
        if (inKernel) {
            off_t inAt = pos;
            off_t outAt = pos;
            const ssize_t moved = ::copy_file_range(in, &inAt, ends.out, &outAt, want, 0);
            if (moved > 0) {
                pos += moved;
                pieceDone(progress, pos);
                continue;
            }
            if (moved < 0 && errno == EINTR)
                continue;
            if (moved < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL &&
                errno != EOPNOTSUPP && errno != EPERM) {
                logFailure(lcCopy(), "copy to", ends.destination, systemError());
                return false;
            }
            inKernel = false; // not offered here (or nothing to say): a plain read tells
        }
        if (buffer.empty())
            buffer.resize(size_t(kBuffer));
        ssize_t got = ::pread(in, buffer.data(), std::min(want, buffer.size()), pos);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            logFailure(lcCopy(), "read", ends.source, systemError());
            return false;
        }
        if (got == 0)
            break;
        if (ends.swapped) {
            // A short read inside the file is cut back to whole words, read again next time.
            const ssize_t whole = got - got % 4;
            if (whole > 0 && pos + got < to)
                got = whole;
            cartridge::toBigEndian(buffer.data(), got, *ends.swapped);
        }
        if (!writeAt(ends, buffer.data(), got, pos))
            return false;
        pos += got;
        pieceDone(progress, pos);
    }
    reached = pos;
    return true;
}

// The order a copy turns into the cartridge's: the source's when it is a swapped image.
std::optional<cartridge::Order> swappedOrder(int in, CopyConversion conversion)
{
    if (conversion != CopyConversion::ToBigEndian)
        return {};
    QByteArray first(4, '\0');
    if (::pread(in, first.data(), size_t(first.size()), 0) != first.size())
        return {};
    const std::optional<cartridge::Order> order = cartridge::byteOrder(first);
    return order == cartridge::Order::Big ? std::nullopt : order;
}

CopyResult copyPosix(const QString& source, const QString& destination, CopyProgress& progress,
                     CopyConversion conversion)
{
    const auto failed = [](const char* what, const QString& path, const QString& reason) {
        logFailure(lcCopy(), what, path, reason);
        return CopyResult::Failed;
    };
    const Fd in(::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC));
    struct stat st {
    };
    if (in.get() < 0 || ::fstat(in.get(), &st) != 0)
        return failed("read", source, systemError());
    if (!S_ISREG(st.st_mode))
        return failed("read", source, QStringLiteral("not a file"));
    Target target;
    if (!findTarget(QFile::encodeName(destination), st, target))
        return CopyResult::Failed;
    const QString folderName = QFile::decodeName(target.folder);
    const Fd folder(::open(target.folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0)
        return failed("open the folder", folderName, systemError());
    // What copies killed here before left behind; a copy to this folder is where it is looked for.
    removeDeadCopyTemporaries(folder.get(), folderName);
    Temporary out(folder.get());
    if (!out.open(target.exists ? 0600 : (st.st_mode & 0777)))
        return failed("create a file in", folderName, systemError());

    progress.total = st.st_size;
    off_t size = st.st_size;
    const std::optional<cartridge::Order> swapped = swappedOrder(in.get(), conversion);
    // Bytes to turn pass through the buffer; a hole is zeros in any order, so it stays a hole.
    bool inKernel = !swapped;
#ifdef FICLONE
    // Where the file system shares blocks between files (as cp does by default), the copy is
    // one step and holes stay holes.
    const bool cloned = !swapped && ::ioctl(out.fd(), FICLONE, in.get()) == 0;
#else
    const bool cloned = false;
#endif
    if (!cloned)
        ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
    // Only the stretches that hold data are copied; the holes between them stay holes.
    for (off_t pos = cloned ? size : 0; pos < size;) {
        off_t data = ::lseek(in.get(), pos, SEEK_DATA);
        if (data < 0)
            data = errno == ENXIO ? size : pos; // all hole from here, or no hole support
        if (data >= size)
            break;
        off_t hole = ::lseek(in.get(), data, SEEK_HOLE);
        if (hole <= data || hole > size)
            hole = size;
        if (swapped) {
            // Stretches of whole words, should a file system give others: zeros read from a
            // hole are zeros turned.
            data -= data % 4;
            hole = std::min<off_t>(size, hole + (4 - hole % 4) % 4);
        }
        off_t reached = hole;
        if (!copyRange({in.get(), out.fd(), source, destination, swapped}, data, hole, inKernel,
                       progress, reached))
            return progress.cancelled ? CopyResult::Cancelled : CopyResult::Failed;
        if (reached < hole) {
            size = reached; // the source got shorter while it was read
            break;
        }
        pos = hole;
    }
    if (::ftruncate(out.fd(), size) != 0)
        return failed("set the size of the copy in", folderName, systemError());
    if (target.exists) {
        // Replacing keeps what the old file had: its owner where we may give it, its bits.
        if (::fchown(out.fd(), target.st.st_uid, target.st.st_gid) != 0) {
            // Not ours to give: the file stays ours, as a file we write always is.
        }
        if (::fchmod(out.fd(), target.st.st_mode & 07777) != 0)
            return failed("keep the permissions of", destination, systemError());
    }
    if (progress.cancelled)
        return CopyResult::Cancelled;
    progress.done = size;
    if (!out.replace(target.name))
        return failed("put the copy in place of", destination, systemError());
    return CopyResult::Copied;
}

#else

#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
constexpr Qt::CaseSensitivity pathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
#endif

CopyResult copyPortable(const QString& source, const QString& destination, CopyProgress& progress,
                        CopyConversion conversion)
{
    const QFileInfo from(source);
    const QFileInfo to(destination);
    if (!from.isFile())
        return CopyResult::Failed;
    if (to.exists() && (!to.isFile() || !to.isWritable() ||
                        from.canonicalFilePath().compare(to.canonicalFilePath(), pathCase) == 0))
        return CopyResult::Failed;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        logFailure(lcCopy(), "read", source, in.errorString());
        return CopyResult::Failed;
    }
    progress.total = in.size();
    QSaveFile out(to.exists() ? to.canonicalFilePath() : destination);
    // Unbuffered so every short write is seen.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        logFailure(lcCopy(), "write", destination, out.errorString());
        return CopyResult::Failed;
    }
    std::optional<cartridge::Order> swapped;
    if (conversion == CopyConversion::ToBigEndian) {
        swapped = cartridge::byteOrder(in.peek(4));
        if (swapped == cartridge::Order::Big)
            swapped.reset();
    }
    QByteArray buffer(kBuffer, Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        if (progress.cancelled) {
            out.cancelWriting();
            return CopyResult::Cancelled;
        }
        const qint64 got = in.read(buffer.data(), buffer.size());
        if (got == 0)
            break;
        // Reads of a file come whole but at its end, so words are never split.
        if (got > 0 && swapped)
            cartridge::toBigEndian(buffer.data(), got, *swapped);
        if (got < 0 || out.write(buffer.constData(), got) != got) {
            logFailure(lcCopy(), "copy to", destination,
                       got < 0 ? in.errorString() : out.errorString());
            out.cancelWriting();
            return CopyResult::Failed;
        }
        done += got;
        pieceDone(progress, done);
    }
    if (!out.commit()) {
        logFailure(lcCopy(), "write", destination, out.errorString());
        return CopyResult::Failed;
    }
    return CopyResult::Copied;
}

#endif

} // namespace

CopyResult copyFileReplacing(const QString& source, const QString& destination,
                             CopyProgress* progress, CopyConversion conversion)
{
    CopyProgress own;
    CopyProgress& p = progress ? *progress : own;
    if (source.isEmpty() || destination.isEmpty())
        return CopyResult::Failed;
#ifdef Q_OS_UNIX
    return copyPosix(source, destination, p, conversion);
#else
    return copyPortable(source, destination, p, conversion);
#endif
}

BackgroundCopy::BackgroundCopy(QString source, QString destination, CopyConversion conversion,
                               QObject* parent)
    : QObject(parent), m_source(std::move(source)), m_destination(std::move(destination)),
      m_conversion(conversion)
{
}

BackgroundCopy::~BackgroundCopy()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void BackgroundCopy::start()
{
    m_thread = std::thread([this] {
        const CopyResult result =
            copyFileReplacing(m_source, m_destination, &m_progress, m_conversion);
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                if (m_thread.joinable())
                    m_thread.join();
                m_result = result;
                emit finished(result);
            },
            Qt::QueuedConnection);
    });
}

void setCopyPieceHook(std::function<void()> hook, qint64 pieceBytes)
{
    seam().bytes = hook ? pieceBytes : kPiece;
    seam().hook = std::move(hook);
}

void setCopyTemporaryNamed(bool named)
{
    seam().named = named;
}

} // namespace vx
