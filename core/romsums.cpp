#include "core/romsums.h"

#include "core/cartridge.h"
#include "core/folderscan.h"
#include "core/md5.h"
#include "core/nativepath.h"
#include "core/sha1.h"

#include <QFile>
#include <QSemaphore>
#include <QtEndian>
#include <algorithm>
#include <archive.h>
#include <archive_entry.h>
#include <array>
#include <functional>
#include <memory>
#include <thread>
#include <vector>
#include <zlib.h>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace vx::romsums
{

namespace
{

// Small enough that MD5 starts a moment after the file is opened, large enough that the hand-overs
// cost nothing; a few in flight so the reading never waits on MD5's pace while it keeps ahead.
constexpr qsizetype kBlock = 1 << 20;
constexpr int kInFlight = 6;

quint32 word(const char* at)
{
    return qFromBigEndian<quint32>(at);
}

quint32 rotateLeft(quint32 value, unsigned by)
{
    by &= 31;
    return by == 0 ? value : (value << by) | (value >> (32 - by));
}

struct ArchiveFree {
    void operator()(archive* a) const { archive_read_free(a); }
};

// Where the image's bytes come from: the file itself, or a zip's entry.
using Source = std::function<qsizetype(char* into, qsizetype most)>;

// Fills `into` as far as the source goes; a short count only at the end, -1 on a read error.
qsizetype fill(const Source& source, char* into, qsizetype most)
{
    qsizetype got = 0;
    while (got < most) {
        const qsizetype n = source(into + got, most - got);
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

// MD5, the slowest of the three and one that cannot be spread over cores, on a thread of its own,
// fed blocks the reading thread has read and swapped; that thread takes SHA-1 and CRC32 on the
// same blocks meanwhile, and stays ahead of MD5. The wall time is then about MD5's alone.
class Md5Thread
{
public:
    Md5Thread() : m_thread([this] { run(); }) {}
    ~Md5Thread() { stop(); }
    Md5Thread(const Md5Thread&) = delete;
    Md5Thread& operator=(const Md5Thread&) = delete;

    // A block free for the reading thread to fill, once MD5 is done with what it held.
    std::vector<char>& nextFree()
    {
        m_free.acquire();
        return m_blocks[m_next].bytes;
    }
    // Hands the block nextFree() gave over to MD5; it is read, never written, until it comes
    // back round.
    void hand(qsizetype size)
    {
        m_blocks[m_next].size = size;
        m_next = (m_next + 1) % kInFlight;
        m_filled.release();
    }
    QByteArray result()
    {
        stop();
        return m_md5.result();
    }

private:
    struct Block {
        std::vector<char> bytes;
        qsizetype size = 0; // -1 ends the thread
    };

    void run()
    {
        for (int at = 0;; at = (at + 1) % kInFlight) {
            m_filled.acquire();
            const Block& block = m_blocks[size_t(at)];
            if (block.size < 0)
                return;
            m_md5.addData(block.bytes.data(), block.size);
            m_free.release();
        }
    }

    void stop()
    {
        if (!m_thread.joinable())
            return;
        nextFree();
        hand(-1);
        m_thread.join();
    }

    std::array<Block, kInFlight> m_blocks;
    int m_next = 0;
    QSemaphore m_free{kInFlight};
    QSemaphore m_filled{0};
    Md5 m_md5;
    std::thread m_thread; // last: starts once the rest is there
};

// Hashes what the source gives, `first` (the bytes already read to tell the order) ahead of it.
std::optional<Sums> digest(const QByteArray& first, const Source& source,
                           const std::atomic_bool* cancelled)
{
    const std::optional<cartridge::Order> order = cartridge::byteOrder(first);
    Md5Thread md5;
    Sha1 sha1;
    Sums sums;
    QByteArray start; // the header check's bytes, big-endian
    for (bool firstBlock = true;; firstBlock = false) {
        std::vector<char>& block = md5.nextFree();
        block.resize(size_t(kBlock));
        // Blocks are whole words but at the end, so a swap never straddles two.
        const qsizetype had = firstBlock ? first.size() : 0;
        std::copy(first.cbegin(), first.cbegin() + had, block.begin());
        const qsizetype got = fill(source, block.data() + had, kBlock - had);
        if (got < 0 || (cancelled && cancelled->load()))
            return {};
        const qsizetype size = had + got;
        if (size == 0)
            break;
        if (order)
            cartridge::toBigEndian(block.data(), size, *order);
        md5.hand(size);
        if (order && start.size() < kCheckedEnd)
            start.append(block.data(), std::min(size, kCheckedEnd - start.size()));
        sha1.addData(block.data(), size);
        sums.crc32 = crc32(sums.crc32, block.data(), size);
        sums.size += size;
        if (size < kBlock)
            break;
    }
    sums.md5 = md5.result();
    sums.sha1 = sha1.result();
    sums.header = order ? checkHeader(start) : HeaderCheck::NotChecked;
    return sums;
}

std::optional<Sums> ofZip(const QString& path, const std::atomic_bool* cancelled)
{
    const std::unique_ptr<archive, ArchiveFree> zip(archive_read_new());
    if (!zip || archive_read_support_format_zip_seekable(zip.get()) != ARCHIVE_OK)
        return {};
    if (archive_read_open_filename(zip.get(), nativePath(path).constData(), 1 << 20) != ARCHIVE_OK)
        return {};
    const Source source = [&zip](char* into, qsizetype most) -> qsizetype {
        const la_ssize_t n = archive_read_data(zip.get(), into, size_t(most));
        return n < 0 ? -1 : qsizetype(n);
    };
    // The entry the header is read from (cartridge::readFile): the first cartridge image among
    // the first entries.
    archive_entry* entry = nullptr;
    for (int examined = 0; examined < cartridge::kMaxZipEntries; ++examined) {
        const int status = archive_read_next_header(zip.get(), &entry);
        if (status == ARCHIVE_EOF || status == ARCHIVE_FATAL)
            return {};
        if (status < ARCHIVE_WARN || archive_entry_filetype(entry) != AE_IFREG ||
            archive_entry_is_encrypted(entry) || !archive_entry_size_is_set(entry) ||
            archive_entry_size(entry) < cartridge::kHeaderBytes)
            continue;
        QByteArray first(cartridge::kHeaderBytes, '\0');
        if (fill(source, first.data(), first.size()) != first.size() ||
            !cartridge::fromHeader(first, archive_entry_size(entry)))
            continue;
        return digest(first, source, cancelled);
    }
    return {};
}

} // namespace

BootChip bootChipOf(quint32 bootCodeCrc32)
{
    switch (bootCodeCrc32) {
    case 0x6170A4A1: // 6101
    case 0x009E9EA3: // 7102
        return BootChip::Nus6101;
    case 0x90BB6CB5: // 6102, 7101
        return BootChip::Nus6102;
    case 0x0B050EE0: // 6103, 7103
        return BootChip::Nus6103;
    case 0x98BC2C86: // 6105, 7105
        return BootChip::Nus6105;
    case 0xACC8580A: // 6106, 7106
        return BootChip::Nus6106;
    default:
        return BootChip::Unknown;
    }
}

std::optional<std::pair<quint32, quint32>> checkWords(const QByteArray& image, BootChip chip)
{
    if (image.size() < kCheckedEnd)
        return {};
    quint32 seed = 0;
    switch (chip) {
    case BootChip::Nus6101:
    case BootChip::Nus6102:
        seed = 0xF8CA4DDC;
        break;
    case BootChip::Nus6103:
        seed = 0xA3886759;
        break;
    case BootChip::Nus6105:
        seed = 0xDF26F436;
        break;
    case BootChip::Nus6106:
        seed = 0x1FEA617A;
        break;
    case BootChip::Unknown:
        return {};
    }
    // The six running words of the published description, all starting from the seed.
    quint32 t1 = seed;
    quint32 t2 = seed;
    quint32 t3 = seed;
    quint32 t4 = seed;
    quint32 t5 = seed;
    quint32 t6 = seed;
    const char* const rom = image.constData();
    for (qsizetype i = kCheckedStart; i < kCheckedEnd; i += 4) {
        const quint32 d = word(rom + i);
        if (t6 + d < t6)
            ++t4;
        t6 += d;
        t3 ^= d;
        const quint32 r = rotateLeft(d, d & 0x1F);
        t5 += r;
        t2 ^= t2 > d ? r : t6 ^ d;
        // The 6105's boot code mixes in words of its own second half.
        t1 += chip == BootChip::Nus6105 ? word(rom + 0x750 + (i & 0xFF)) ^ d : t5 ^ d;
    }
    switch (chip) {
    case BootChip::Nus6103:
        return std::pair{(t6 ^ t4) + t3, (t5 ^ t2) + t1};
    case BootChip::Nus6106:
        return std::pair{t6 * t4 + t3, t5 * t2 + t1};
    default:
        return std::pair{t6 ^ t4 ^ t3, t5 ^ t2 ^ t1};
    }
}

HeaderCheck checkHeader(const QByteArray& start)
{
    if (start.size() < kCheckedEnd)
        return HeaderCheck::NotChecked;
    const BootChip chip =
        bootChipOf(crc32(0, start.constData() + kBootCodeStart, kCheckedStart - kBootCodeStart));
    const auto words = checkWords(start, chip);
    if (!words)
        return HeaderCheck::UnknownBootCode;
    const bool good = word(start.constData() + 0x10) == words->first &&
                      word(start.constData() + 0x14) == words->second;
    return good ? HeaderCheck::Good : HeaderCheck::Bad;
}

quint32 crc32(quint32 crc, const char* data, qsizetype length)
{
    // zlib's, which Qt and the zip reader link already; it takes at most 4 GiB a call.
    while (length > 0) {
        const auto step = static_cast<uInt>(std::min<qsizetype>(length, 1 << 30));
        crc = quint32(::crc32(crc, reinterpret_cast<const Bytef*>(data), step));
        data += step;
        length -= step;
    }
    return crc;
}

std::optional<Sums> ofFile(const QString& path, const std::atomic_bool* cancelled)
{
    QFile file;
    if (!cartridge::openRegularFile(file, path, QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    const QByteArray first = file.read(cartridge::kHeaderBytes);
    if (first.startsWith("PK\x03\x04")) {
        if (!cartridge::zipDirectoryWithinBounds(file))
            return {};
        file.close();
        return ofZip(path, cancelled);
    }
    const Source source = [&file](char* into, qsizetype most) -> qsizetype {
        return qsizetype(file.read(into, most));
    };
    return digest(first, source, cancelled);
}

} // namespace vx::romsums
