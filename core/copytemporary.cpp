#include "core/copytemporary.h"

#include "core/logging.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QThreadPool>
#include <cstring>
#include <ctime>
#include <optional>
#include <vector>

#ifdef Q_OS_UNIX
#include "core/fd.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#endif

namespace vx
{

namespace
{

constexpr char kPrefix[] = ".vx-copy-";
constexpr qsizetype kPrefixLength = sizeof kPrefix - 1;
constexpr qsizetype kSystemLength = 12;

// Two processes of one system share a kernel boot and a process-id namespace; the process id
// only means something within both. Where the boot cannot be told, a random stand-in: nothing
// else then matches, so only the age rule ever removes this system's temporaries.
QByteArray makeSystemToken()
{
    QByteArray identity = QSysInfo::bootUniqueId();
    if (identity.isEmpty())
        return QByteArray::number(QRandomGenerator::global()->generate64(), 16)
            .rightJustified(kSystemLength, '0')
            .left(kSystemLength);
#ifdef Q_OS_LINUX
    char ns[64] = {};
    if (::readlink("/proc/self/ns/pid", ns, sizeof ns - 1) > 0)
        identity += ns;
#endif
    return QCryptographicHash::hash(identity, QCryptographicHash::Sha256)
        .toHex()
        .left(kSystemLength);
}

const QByteArray& systemToken()
{
    static const QByteArray token = makeSystemToken();
    return token;
}

bool isLowerAlnum(const QByteArray& part, bool hexOnly)
{
    for (const char c : part) {
        const bool digit = c >= '0' && c <= '9';
        const bool letter = hexOnly ? c >= 'a' && c <= 'f' : c >= 'a' && c <= 'z';
        if (!digit && !letter)
            return false;
    }
    return !part.isEmpty();
}

// What a name says about its writer.
struct Writer {
    QByteArray system; // empty for the older ".vx-copy-<random>" names, which say nothing
    qint64 pid = 0;
};

std::optional<Writer> writerOf(const QByteArray& name)
{
    if (!name.startsWith(kPrefix))
        return {};
    const QList<QByteArray> parts = name.mid(kPrefixLength).split('-');
    if (parts.size() == 1 && parts[0].size() <= 13 && isLowerAlnum(parts[0], false))
        return Writer{};
    bool number = false;
    if (parts.size() != 3 || parts[0].size() != kSystemLength || !isLowerAlnum(parts[0], true) ||
        parts[1].size() > 10 || !isLowerAlnum(parts[1], false) || !isLowerAlnum(parts[2], false))
        return {};
    const qint64 pid = parts[1].toLongLong(&number);
    if (!number || pid <= 0)
        return {};
    return Writer{parts[0], pid};
}

#ifdef Q_OS_UNIX

bool processAlive(qint64 pid)
{
    // EPERM: there, but another user's.
    return ::kill(pid_t(pid), 0) == 0 || errno != ESRCH;
}

bool isDead(const Writer& writer, const struct stat& st)
{
    // Of this system the process tells; a live one may be a stalled copy, or a later process
    // that got the number, whose end then lets the temporary go.
    if (writer.system == systemToken())
        return !processAlive(writer.pid);
    return std::time(nullptr) - st.st_mtime > kForeignTemporaryAgeSecs;
}

#endif

QThreadPool& sweepPool()
{
    // Never destroyed, so quitting never waits on a hung network folder.
    static QThreadPool* const pool = new QThreadPool;
    return *pool;
}

} // namespace

QByteArray copyTemporaryName(qint64 pid)
{
    return kPrefix + systemToken() + '-' + QByteArray::number(pid) + '-' +
           QByteArray::number(QRandomGenerator::global()->generate(), 36);
}

QByteArray copyTemporaryName()
{
    return copyTemporaryName(QCoreApplication::applicationPid());
}

#ifdef Q_OS_UNIX

void removeDeadCopyTemporaries(int folderFd, const QString& folderName)
{
    // Names first, then removals: a folder changed while it is read may skip or repeat names.
    std::vector<std::pair<QByteArray, Writer>> found;
    {
        const int listing = ::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        DIR* dir = listing < 0 ? nullptr : ::fdopendir(listing);
        if (!dir) {
            if (listing >= 0)
                ::close(listing);
            logFailure(lcCopy(), "read the folder", folderName, systemError());
            return;
        }
        while (const dirent* entry = ::readdir(dir)) {
            if (std::strncmp(entry->d_name, kPrefix, kPrefixLength) != 0)
                continue;
            const QByteArray name(entry->d_name);
            if (const std::optional<Writer> writer = writerOf(name))
                found.emplace_back(name, *writer);
        }
        ::closedir(dir);
    }
    for (const auto& [name, writer] : found) {
        struct stat st {
        };
        if (::fstatat(folderFd, name.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || !isDead(writer, st))
            continue;
        if (::unlinkat(folderFd, name.constData(), 0) != 0 && errno != ENOENT)
            logFailure(lcCopy(), "remove", folderName + QLatin1Char('/') + QFile::decodeName(name),
                       systemError());
    }
}

void removeDeadCopyTemporaries(const QString& folder)
{
    const Fd fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno != ENOENT)
            logFailure(lcCopy(), "open the folder", folder, systemError());
        return;
    }
    removeDeadCopyTemporaries(fd.get(), folder);
}

#else

// Copies here go through QSaveFile, whose temporaries are its own; a folder shared with a Unix
// copy still gets the age rule.
void removeDeadCopyTemporaries(const QString& folder)
{
    const QDir dir(folder);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (const QFileInfo& info : dir.entryInfoList({QString::fromLatin1(kPrefix) + u'*'},
                                                   QDir::Files | QDir::Hidden | QDir::System)) {
        if (writerOf(QFile::encodeName(info.fileName())) &&
            info.lastModified().secsTo(now) > kForeignTemporaryAgeSecs)
            QFile::remove(info.filePath());
    }
}

#endif

void removeDeadCopyTemporariesInBackground(const QString& folder)
{
    sweepPool().start([folder] { removeDeadCopyTemporaries(folder); });
}

bool waitForCopyTemporarySweeps(int timeoutMs)
{
    return sweepPool().waitForDone(timeoutMs);
}

} // namespace vx
