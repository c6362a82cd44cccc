#include "core/cartridge.h"

#include "core/catalogue.h"
#include "core/folderscan.h"
#include "core/nativepath.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QThreadPool>
#include <QtEndian>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <array>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vx::cartridge
{

std::optional<Order> byteOrder(const QByteArray& first)
{
    if (first.size() < 4)
        return {};
    const auto b = [&](int i) { return static_cast<unsigned char>(first[i]); };
    const std::array<unsigned char, 4> start{b(0), b(1), b(2), b(3)};
    if (start == std::array<unsigned char, 4>{0x80, 0x37, 0x12, 0x40})
        return Order::Big;
    if (start == std::array<unsigned char, 4>{0x37, 0x80, 0x40, 0x12})
        return Order::Swapped16;
    if (start == std::array<unsigned char, 4>{0x40, 0x12, 0x37, 0x80})
        return Order::Little32;
    return {};
}

void toBigEndian(char* data, qsizetype size, Order order)
{
    // Qt's array swaps run many bytes a step; a 64 MiB image is turned in a few milliseconds.
    if (order == Order::Swapped16)
        qbswap<2>(data, size / 2, data);
    else if (order == Order::Little32)
        qbswap<4>(data, size / 4, data);
}

namespace
{

QByteArray toBigEndian(QByteArray bytes, Order order)
{
    toBigEndian(bytes.data(), bytes.size(), order);
    return bytes;
}

// ASCII, with the half-width katakana of JIS X 0201 some Japanese titles use. Padding NULs read
// as blanks; other bytes, and characters a game name refuses, are left out.
QString internalName(const QByteArray& field)
{
    QString name;
    for (const char byte : field) {
        const auto b = static_cast<unsigned char>(byte);
        QChar c;
        if (b == 0)
            c = QLatin1Char(' ');
        else if (b < 0x80)
            c = QLatin1Char(static_cast<char>(b));
        else if (b >= 0xA1 && b <= 0xDF)
            c = QChar(0xFF61 + (b - 0xA1));
        else
            continue;
        if (catalogue::isGameNameCharacter(c))
            name.append(c);
    }
    return name.trimmed();
}

QString region(char destination)
{
    switch (destination) {
    case 'E':
    case 'N':
        return QStringLiteral("US");
    case 'J':
        return QStringLiteral("JAP");
    case 'P':
    case 'D':
    case 'F':
    case 'I':
    case 'S':
    case 'U':
    case 'X':
    case 'Y':
    case 'H':
    case 'W':
    case 'L':
        return QStringLiteral("PAL");
    default:
        return QStringLiteral("Other!");
    }
}

// The size box takes whole numbers up to 32767; a length that is no whole number of megabits
// (a damaged or trimmed dump) tells no cartridge size.
QString megabits(qint64 length)
{
    if (length <= 0 || length % kMegabit != 0 || length / kMegabit > 32767)
        return {};
    return QString::number(length / kMegabit);
}

struct ArchiveFree {
    void operator()(archive* a) const { archive_read_free(a); }
};

quint64 littleEndian(const char* at, int bytes)
{
    quint64 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(at[i]);
    return value;
}

} // namespace

// The unpacker holds every directory entry in memory at
// once, so a directory of millions of entries would take gigabytes. It walks from where the end
// records say the directory starts up to the end record, whatever count they claim, so the
// entries there are counted too.
bool zipDirectoryWithinBounds(QFile& file)
{
    constexpr qint64 kEndRecord = 22;
    constexpr qint64 kLocator = 20;
    constexpr qint64 kEnd64Record = 56;
    const qint64 size = file.size();
    // The end record, after which only its comment of at most 64 KiB may follow.
    const qint64 tailStart = std::max<qint64>(0, size - kEndRecord - 0xFFFF);
    if (!file.seek(tailStart))
        return false;
    const QByteArray tail = file.read(size - tailStart);
    const qsizetype at = tail.size() < kEndRecord ? -1
                                                  : tail.lastIndexOf(QByteArrayView("PK\x05\x06"),
                                                                     tail.size() - kEndRecord);
    if (at < 0)
        return false;
    const char* end = tail.constData() + at;
    const qint64 endAt = tailStart + at;
    quint64 entries = littleEndian(end + 10, 2);
    quint64 bytes = littleEndian(end + 12, 4);
    quint64 start = quint64(endAt) - std::min<quint64>(bytes, quint64(endAt));
    if (at >= kLocator && tail.mid(at - kLocator, 4) == "PK\x06\x07") {
        // Zip64: the counts and the start are in a record of their own.
        const quint64 recordAt = littleEndian(end - kLocator + 8, 8);
        if (recordAt > quint64(endAt) || !file.seek(qint64(recordAt)))
            return false;
        const QByteArray record = file.read(kEnd64Record);
        if (record.size() != kEnd64Record || !record.startsWith("PK\x06\x06"))
            return false;
        entries = littleEndian(record.constData() + 32, 8);
        bytes = littleEndian(record.constData() + 40, 8);
        start = littleEndian(record.constData() + 48, 8);
    }
    if (entries > kMaxZipDirectoryEntries || bytes > quint64(kMaxZipDirectoryBytes) ||
        start > quint64(endAt) || quint64(endAt) - start > quint64(kMaxZipDirectoryBytes))
        return false;

    // Every entry the unpacker takes begins with this signature.
    const QByteArrayView signature("PK\x01\x02");
    if (!file.seek(qint64(start)))
        return false;
    qint64 left = endAt - qint64(start);
    qint64 found = 0;
    QByteArray carried; // a signature may straddle two pieces
    while (left > 0) {
        const QByteArray piece = carried + file.read(std::min<qint64>(left, 1 << 20));
        if (piece.size() <= carried.size())
            return false;
        left -= piece.size() - carried.size();
        for (qsizetype i = piece.indexOf(signature); i >= 0; i = piece.indexOf(signature, i + 1)) {
            if (++found > kMaxZipDirectoryEntries)
                return false;
        }
        carried = piece.right(signature.size() - 1);
    }
    return true;
}

namespace
{

// The first cartridge image among the zip's first entries. Only the central directory and each
// entry's first bytes are read: the seekable reader finds every entry from the directory, so
// skipping one costs nothing whatever it unpacks to.
std::optional<Details> readZip(const QString& path)
{
    const std::unique_ptr<archive, ArchiveFree> zip(archive_read_new());
    if (!zip || archive_read_support_format_zip_seekable(zip.get()) != ARCHIVE_OK)
        return {};
    if (archive_read_open_filename(zip.get(), nativePath(path).constData(), 16384) != ARCHIVE_OK)
        return {};
    archive_entry* entry = nullptr;
    for (int examined = 0; examined < kMaxZipEntries; ++examined) {
        const int status = archive_read_next_header(zip.get(), &entry);
        if (status == ARCHIVE_EOF || status == ARCHIVE_FATAL)
            return {};
        if (status < ARCHIVE_WARN || archive_entry_filetype(entry) != AE_IFREG ||
            archive_entry_is_encrypted(entry) || !archive_entry_size_is_set(entry) ||
            archive_entry_size(entry) < kHeaderBytes)
            continue;
        QByteArray first(kHeaderBytes, '\0');
        qsizetype got = 0;
        while (got < kHeaderBytes) {
            const la_ssize_t n =
                archive_read_data(zip.get(), first.data() + got, size_t(kHeaderBytes - got));
            if (n <= 0)
                break;
            got += n;
        }
        if (got < kHeaderBytes)
            continue; // damaged data; a later entry may still be whole
        if (auto details = fromHeader(first, archive_entry_size(entry)))
            return details;
    }
    return {};
}

} // namespace

std::optional<Details> fromHeader(const QByteArray& first, qint64 length)
{
    const std::optional<Order> order = byteOrder(first);
    if (!order || first.size() < kHeaderBytes)
        return {};
    const QByteArray header = toBigEndian(first.left(kHeaderBytes), *order);
    return Details{internalName(header.mid(0x20, 20)), region(header[0x3E]), megabits(length)};
}

bool openRegularFile(QFile& file, const QString& path, QIODevice::OpenMode mode)
{
    // Only a regular file: a pipe or a device could keep the read waiting forever.
    if (path.isEmpty() || pathKind(path) != PathKind::File)
        return false;
#ifdef Q_OS_UNIX
    // By the system's bytes: a name that is no UTF-8 is out of QFile's reach.
    const int handle = ::open(nativePath(path).constData(), O_RDONLY | O_CLOEXEC);
    if (handle < 0)
        return false;
    if (!file.open(handle, mode, QFileDevice::AutoCloseHandle)) {
        ::close(handle);
        return false;
    }
    return true;
#else
    file.setFileName(path);
    return file.open(mode);
#endif
}

std::optional<Details> readFile(const QString& path)
{
    QFile file;
    if (!openRegularFile(file, path, QIODevice::ReadOnly))
        return {};
    const QByteArray first = file.read(kHeaderBytes);
    if (first.startsWith("PK\x03\x04")) {
        if (!zipDirectoryWithinBounds(file))
            return {};
        file.close();
        return readZip(path);
    }
    return fromHeader(first, file.size());
}

bool hasRomSuffix(const QString& path)
{
    static const QStringList suffixes{QStringLiteral("rom"), QStringLiteral("v64"),
                                      QStringLiteral("z64"), QStringLiteral("n64"),
                                      QStringLiteral("zip")};
    return suffixes.contains(QFileInfo(path).suffix(), Qt::CaseInsensitive);
}

struct Reader::Link {
    QMutex mutex;
    Reader* reader = nullptr; // null once the reader is gone
};

Reader::Reader(Found found, QObject* parent)
    : QObject(parent), m_link(std::make_shared<Link>()), m_found(std::move(found))
{
    m_link->reader = this;
}

Reader::~Reader()
{
    const QMutexLocker lock(&m_link->mutex);
    m_link->reader = nullptr;
}

void Reader::read(const QString& path)
{
    pool().start([link = m_link, path] {
        const std::optional<Details> details = readFile(path);
        if (!details)
            return;
        const QMutexLocker lock(&link->mutex);
        // Posted while the reader is known to live; should it go before delivery, so does the
        // call.
        if (Reader* reader = link->reader)
            QMetaObject::invokeMethod(
                reader, [reader, path, found = *details] { reader->m_found(path, found); },
                Qt::QueuedConnection);
    });
}

// The reads' own threads, never destroyed and never waited for at the end.
QThreadPool& Reader::pool()
{
    static QThreadPool* const threads = new QThreadPool;
    return *threads;
}

} // namespace vx::cartridge
