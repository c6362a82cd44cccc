#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QFile;
class QThreadPool;

namespace vx::test
{
struct ReaderProbe;
}

// What a cartridge image says about itself in its 64-byte header.
namespace vx::cartridge
{

// Ready for the add window's boxes; a part that cannot be told is empty.
struct Details {
    QString name;     // the internal name, trimmed, without characters a game name refuses
    QString gameType; // "US", "JAP", "PAL" or "Other!"
    QString size;     // megabits, when the length is a whole number of them
};

constexpr int kHeaderBytes = 64;
constexpr qint64 kMegabit = 131072;
// Entries of a zip looked at before giving up, so a zip of many small files answers quickly.
constexpr int kMaxZipEntries = 64;
// A zip whose central directory holds more entries or bytes than this is refused unread: the
// unpacker would hold all of it in memory.
constexpr qint64 kMaxZipDirectoryEntries = 65536;
constexpr qint64 kMaxZipDirectoryBytes = 16 << 20;

// The three byte orders images come in: big-endian (.z64, the cartridge's own), 16-bit swapped
// (.v64) and 32-bit little-endian (.n64).
enum class Order { Big, Swapped16, Little32 };
// Told from an image's first four bytes; nothing for what is no cartridge image.
std::optional<Order> byteOrder(const QByteArray& first);
// Turns bytes of `order` into the cartridge's own order in place; `size` a multiple of four but
// at an image's end.
void toBigEndian(char* data, qsizetype size, Order order);

// `first` holds an image's first bytes in any of the three byte orders, `length` is the whole
// image's; nothing when the bytes are not the start of a cartridge image.
std::optional<Details> fromHeader(const QByteArray& first, qint64 length);

// Reads a file's header, or that of the first cartridge image in a zip, unpacked in memory: of
// a plain file its first 64 bytes, of a zip its directory and one step of the unpacker for each
// of at most kMaxZipEntries entries. Nothing for anything that is not a regular file holding a
// cartridge image, a damaged or encrypted zip included, nor for a zip whose directory is beyond
// the bounds above.
std::optional<Details> readFile(const QString& path);

// Opens a regular file (never a pipe or a device) for reading, by the system's bytes.
bool openRegularFile(QFile& file, const QString& path, QIODevice::OpenMode mode);

// Whether a zip's central directory is within the bounds above, judged from the file's own end
// records before the unpacker sees it.
bool zipDirectoryWithinBounds(QFile& file);

// A name the ROM dialog offers, or one cartridge images commonly carry.
bool hasRomSuffix(const QString& path);

// Reads headers on threads of its own that quitting does not wait for (a file on a hung network
// folder must not hold up the program's end). `found` runs on the owner's thread, for cartridge
// images only, and never after the reader is gone.
class Reader : public QObject
{
    Q_OBJECT

public:
    using Found = std::function<void(const QString& path, const Details& details)>;
    Reader(Found found, QObject* parent);
    ~Reader() override;

    void read(const QString& path);

private:
    // The reads' threads; tests wait on them through the probe.
    friend struct test::ReaderProbe;
    static QThreadPool& pool();

    struct Link;
    std::shared_ptr<Link> m_link;
    Found m_found;
};

} // namespace vx::cartridge
