#include "core/textfile.h"

#include "core/catalogue.h"
#include "core/logging.h"
#include "core/nativepath.h"
#include "core/pump.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vx
{

namespace
{

// Whether every unit of the text is below 0x80, eight bytes a step; `high` marks, in a word,
// the bits a unit at or above 0x80 would set.
template <typename Unit> bool allAscii(const Unit* units, qsizetype size, quint64 high)
{
    constexpr qsizetype perWord = 8 / sizeof(Unit);
    quint64 seen = 0;
    qsizetype i = 0;
    for (; i + perWord <= size; i += perWord) {
        quint64 word;
        std::memcpy(&word, units + i, 8);
        seen |= word;
    }
    quint64 rest = 0;
    for (; i < size; ++i)
        rest |= quint64(units[i]);
    return (seen & high) == 0 && rest < 0x80;
}

QString& failingRead()
{
    static QString path;
    return path;
}

struct FailingRename {
    QString path;
    int error = 0;
};

FailingRename& failingRename()
{
    static FailingRename failing;
    return failing;
}

std::function<void(const QString&)>& renameHook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

std::function<void(const QString&)>& writeHook()
{
    static std::function<void(const QString&)> hook;
    return hook;
}

// The names of the temporaries this process is writing: a rewrite spans turns of the event loop
// now, and a sweep meanwhile must leave them alone.
struct TemporariesInUse {
    QMutex mutex;
    QSet<QString> names;
};

TemporariesInUse& temporariesInUse()
{
    static TemporariesInUse inUse;
    return inUse;
}

void noteInUse(const QString& name, bool inUse)
{
    TemporariesInUse& all = temporariesInUse();
    const QMutexLocker locker(&all.mutex);
    if (inUse)
        all.names.insert(name);
    else
        all.names.remove(name);
}

// The file whose name the file system refused in this thread's last replaceFile.
QString& lastNameRefused()
{
    thread_local QString refused;
    return refused;
}

// Asked right before the rename that makes a temporary the file at `path`.
bool mayRename(const QString& path, bool putBack)
{
    if (renameHook())
        renameHook()(path);
    // What this copy read may be older than the changes of the copy that took its lock.
    if (!putBack && catalogue::lockLost()) {
        logFailure(lcStore(), "replace", path,
                   QStringLiteral("another copy of the program took over the catalogue's lock"));
        return false;
    }
    return true;
}

// The failure a test asked for at `path`, as an error number; 0 for none.
int failureOfRenameTo(const QString& path)
{
    const FailingRename& failing = failingRename();
    return !failing.path.isEmpty() && path == failing.path ? failing.error : 0;
}

QString temporaryName()
{
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString name = QStringLiteral(".~vx-");
    for (int i = 0; i < 8; ++i)
        name += QLatin1Char(letters[QRandomGenerator::global()->bounded(62)]);
    return name + QStringLiteral(".tmp");
}

#ifdef Q_OS_WIN
// The bytes reach the disk before the rename makes them the file, so a power cut cannot leave
// a renamed but empty file.
bool syncToDisk(int handle)
{
    return _commit(handle) == 0;
}

bool renameOver(const QString& from, const QString& to)
{
    return MoveFileExW(reinterpret_cast<const wchar_t*>(from.utf16()),
                       reinterpret_cast<const wchar_t*>(to.utf16()),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}
#endif

} // namespace

bool isAscii(const char* data, qsizetype size)
{
    return allAscii(reinterpret_cast<const uchar*>(data), size, 0x8080808080808080ULL);
}

bool isAscii(QStringView text)
{
    return allAscii(text.utf16(), text.size(), 0xff80ff80ff80ff80ULL);
}

namespace
{

// Opens the file for reading; false (a failure logged, a missing file not) when it cannot be.
bool openForReading(const QString& path, QFile& file)
{
    if (path.isEmpty())
        return false;
    if (path == failingRead()) {
        logFailure(lcStore(), "read", path, systemError(EIO));
        return false;
    }
#ifdef Q_OS_WIN
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.error() != QFileDevice::OpenError || file.exists())
            logFailure(lcStore(), "open", path, file.errorString());
        return false;
    }
#else
    const int handle = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0) {
        // A missing file is an answer callers expect, not a failure.
        if (errno != ENOENT)
            logFailure(lcStore(), "open", path, systemError());
        return false;
    }
    if (!file.open(handle, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        logFailure(lcStore(), "open", path, file.errorString());
        return false;
    }
#endif
    return true;
}

} // namespace

std::optional<QByteArray> readWholeFile(const QString& path)
{
    QFile file;
    if (!openForReading(path, file))
        return std::nullopt;
    // Read into a buffer of the file's own size: readAll grows its buffer by doubling, and the
    // index at a million names would keep about 30 MB it never uses.
    QByteArray bytes;
    if (const qint64 size = file.size(); size > 0) {
        // Made at its size: resize() would round the room up to a power of two.
        bytes = QByteArray(size, Qt::Uninitialized);
        qint64 got = 0;
        for (qint64 n = 0; got < size && (n = file.read(bytes.data() + got, size - got)) > 0;)
            got += n;
        bytes.truncate(got);
    }
    // What a file still being written gained meanwhile.
    if (file.error() == QFileDevice::NoError)
        bytes += file.readAll();
    if (file.error() != QFileDevice::NoError) {
        logFailure(lcStore(), "read", path, file.errorString());
        return std::nullopt;
    }
    return bytes;
}

bool fileHolds(const QString& path, QByteArrayView bytes)
{
    QFile file;
    if (!openForReading(path, file) || file.size() != bytes.size())
        return false;
    constexpr qsizetype kChunk = 1 << 20;
    QByteArray chunk(std::min(kChunk, bytes.size()) + 1, Qt::Uninitialized);
    for (qsizetype at = 0;;) {
        const qint64 got = file.read(chunk.data(), chunk.size());
        if (got < 0)
            return false;
        if (got == 0)
            return at == bytes.size();
        if (at + got > bytes.size() ||
            std::memcmp(chunk.constData(), bytes.data() + at, size_t(got)) != 0)
            return false;
        at += got;
    }
}

bool pathTaken(const QString& path)
{
    if (path.isEmpty())
        return false;
#ifdef Q_OS_WIN
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
#else
    struct stat st;
    return ::lstat(nativePath(path).constData(), &st) == 0;
#endif
}

bool isRegularFile(const QString& path)
{
    if (path.isEmpty())
        return false;
#ifdef Q_OS_WIN
    return QFileInfo(path).isFile();
#else
    struct stat st;
    return ::stat(nativePath(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
#endif
}

bool removeFile(const QString& path)
{
#ifdef Q_OS_WIN
    return QFile::remove(path);
#else
    return !path.isEmpty() && ::unlink(nativePath(path).constData()) == 0;
#endif
}

bool makeFolder(const QString& path)
{
    if (QDir().mkpath(path))
        return true;
    // mkpath tells no reason; the last call it made left one in errno.
    logFailure(lcStore(), "create the folder", path, systemError());
    return false;
}

void failReadsOf(const QString& path)
{
    failingRead() = path;
}

void beforeRenameForTests(std::function<void(const QString&)> hook)
{
    renameHook() = std::move(hook);
}

void beforeWriteForTests(std::function<void(const QString&)> hook)
{
    writeHook() = std::move(hook);
}

bool temporaryInUse(QStringView fileName)
{
    TemporariesInUse& all = temporariesInUse();
    const QMutexLocker locker(&all.mutex);
    return all.names.contains(fileName.toString());
}

void failRenamesTo(const QString& path, int error)
{
    failingRename() = {path, error};
}

bool nameRefused(const QString& path)
{
    return !path.isEmpty() && lastNameRefused() == path;
}

bool isTemporaryName(QStringView fileName)
{
    static const QRegularExpression temporary(QStringLiteral("^\\.~vx-[A-Za-z0-9]{8}\\.tmp$"));
    return temporary.match(fileName).hasMatch();
}

namespace
{

#ifdef Q_OS_WIN
bool replaceThroughTemporary(const QString& path, const Maker& make, QByteArray& bytes,
                             bool putBack)
{
    lastNameRefused().clear();
    if (path.isEmpty())
        return false;
    QString target = path;
    const QFileInfo link(path);
    if (link.isSymLink()) {
        // Written through, as editors and cp do; a dangling link would create a file wherever
        // it points, outside the catalogue.
        if (!link.isFile())
            return false;
        target = link.canonicalFilePath();
    }
    const QFileInfo existing(target);
    if (existing.exists() && !existing.isFile())
        return false;

    const QDir folder = existing.absoluteDir();
    QFile temporary;
    QString name;
    bool made = false;
    bool written = false;
    // The write and the flush wait on the disk; the windows go on meanwhile.
    runServingEvents([&] {
        bytes = make();
        for (int attempt = 0; !made; ++attempt) {
            if (attempt == 4)
                return;
            name = temporaryName();
            noteInUse(name, true);
            temporary.setFileName(folder.filePath(name));
            // Unbuffered, so a short write (a full disk, a size limit) shows in write()'s count.
            made =
                temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
            if (!made)
                noteInUse(name, false);
        }
        if (writeHook())
            writeHook()(path);
        written = temporary.write(bytes) == bytes.size();
        if (written && existing.exists())
            written = temporary.setPermissions(existing.permissions());
        written = written && syncToDisk(temporary.handle());
        temporary.close();
        written = written && temporary.error() == QFileDevice::NoError;
    });
    if (!made)
        return false;
    written = written && mayRename(path, putBack);
    if (written) {
        const int failure = failureOfRenameTo(path);
        written = failure == 0 && renameOver(temporary.fileName(), target);
        if (!written &&
            (failure == EINVAL || (failure == 0 && GetLastError() == ERROR_INVALID_NAME)))
            lastNameRefused() = path;
    }
    if (!written) {
        logFailure(lcStore(), "replace", path, temporary.errorString());
        temporary.remove();
    }
    noteInUse(name, false);
    return written;
}
#else
// A temporary written and flushed to the disk, or why not; made on a worker thread, so it only
// tells what failed and the caller logs it.
struct Temporary {
    QByteArray path;
    QString name;
    const char* failedAt = nullptr;
    QString failure; // the file or folder that failed; empty when the temporary is ready
    QString reason;
};

// A new temporary in `folder` holding `bytes`, with the permission bits `mode` when it is not
// negative, flushed to the disk. It is noted as in use from before it exists.
Temporary writeTemporary(const QString& path, const QByteArray& folder, const QByteArray& bytes,
                         int mode)
{
    Temporary made;
    int handle = -1;
    for (int attempt = 0; handle < 0; ++attempt) {
        if (attempt == 4) {
            made.failedAt = "create a file in";
            made.failure = QFile::decodeName(folder);
            made.reason = systemError();
            return made;
        }
        made.name = temporaryName();
        noteInUse(made.name, true);
        made.path = folder + '/' + QFile::encodeName(made.name);
        handle = ::open(made.path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (handle < 0)
            noteInUse(made.name, false);
    }
    QFile temporary;
    const auto failed = [&](const char* what, const QString& reason) {
        made.failedAt = what;
        made.failure = path;
        made.reason = reason;
        temporary.close();
        ::unlink(made.path.constData());
        noteInUse(made.name, false);
        return made;
    };
    // Unbuffered, so a short write (a full disk, a size limit) shows in write()'s count.
    if (!temporary.open(handle, QIODevice::WriteOnly | QIODevice::Unbuffered,
                        QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return failed("write", temporary.errorString());
    }
    if (writeHook())
        writeHook()(path);
    if (temporary.write(bytes) != bytes.size())
        return failed("write", temporary.errorString());
    if (mode >= 0 && ::fchmod(handle, mode_t(mode)) != 0)
        return failed("keep the permissions of", systemError());
    // The bytes reach the disk before the rename makes them the file, so a power cut cannot
    // leave a renamed but empty file.
    if (::fsync(handle) != 0)
        return failed("flush", systemError());
    temporary.close();
    if (temporary.error() != QFileDevice::NoError)
        return failed("write", temporary.errorString());
    return made;
}

// On the system's bytes, so a record whose name is no UTF-8 is rewritten where it lies.
bool replaceThroughTemporary(const QString& path, const Maker& make, QByteArray& bytes,
                             bool putBack)
{
    lastNameRefused().clear();
    if (path.isEmpty())
        return false;
    QByteArray target = nativePath(path);
    struct stat st;
    if (::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
        // Written through, as editors and cp do; a dangling link would create a file wherever
        // it points, outside the catalogue.
        if (::stat(target.constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
            logFailure(lcStore(), "write through", path, QStringLiteral("links to no file"));
            return false;
        }
        char* real = ::realpath(target.constData(), nullptr);
        if (!real) {
            logFailure(lcStore(), "resolve", path, systemError());
            return false;
        }
        target = real;
        std::free(real);
    }
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        logFailure(lcStore(), "replace", path, QStringLiteral("not a file"));
        return false;
    }

    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = slash < 0 ? QByteArray(".") : target.left(qMax<qsizetype>(slash, 1));
    Temporary temporary;
    // The write and the flush wait on the disk; the windows go on meanwhile.
    runServingEvents([&] {
        bytes = make();
        temporary = writeTemporary(path, folder, bytes, exists ? int(st.st_mode & 0777) : -1);
    });
    if (!temporary.failure.isEmpty()) {
        logFailure(lcStore(), temporary.failedAt, temporary.failure, temporary.reason);
        return false;
    }
    const auto done = [&](bool replaced) {
        if (!replaced)
            ::unlink(temporary.path.constData());
        noteInUse(temporary.name, false);
        return replaced;
    };
    if (!mayRename(path, putBack))
        return done(false);
    const int failure = failureOfRenameTo(path);
    if (failure != 0 || ::rename(temporary.path.constData(), target.constData()) != 0) {
        const int error = failure != 0 ? failure : errno;
        if (error == EINVAL)
            lastNameRefused() = path;
        logFailure(lcStore(), "rename a temporary over", path, systemError(error));
        return done(false);
    }
    return done(true);
}
#endif

} // namespace

bool replaceFile(const QString& path, const QByteArray& bytes)
{
    QByteArray written;
    return replaceThroughTemporary(
        path, [&bytes] { return bytes; }, written, false);
}

std::optional<QByteArray> replaceFileMade(const QString& path, const Maker& make)
{
    QByteArray written;
    if (!replaceThroughTemporary(path, make, written, false))
        return std::nullopt;
    return written;
}

bool putBackFile(const QString& path, const QByteArray& bytes)
{
    QByteArray written;
    return replaceThroughTemporary(
        path, [&bytes] { return bytes; }, written, true);
}

} // namespace vx
