#pragma once

#include <QByteArray>
#include <QList>
#include <utility>

// Cartridge images and zips of them for tests, without a window.
namespace vx::test
{

// A synthetic cartridge image `length` bytes long: the header's name field holds `name` padded
// with NULs, its destination code is `destination`; stored in `order` (0 big-endian, 1 16-bit
// swapped, 2 32-bit little-endian).
QByteArray cartridgeImage(const QByteArray& name, char destination, qint64 length = 131072,
                          int order = 0);
// A zip of the entries (name, bytes) in order, deflated; encrypted when `passphrase` is given.
QByteArray zipOf(const QList<std::pair<QByteArray, QByteArray>>& entries,
                 const char* passphrase = nullptr);
// `zip` (as zipOf makes it, without a comment) with zip64 end records that claim `entries`
// entries in a directory of `directoryBytes` bytes; where the directory starts is kept.
QByteArray withZip64End(const QByteArray& zip, quint64 entries, quint64 directoryBytes);

// Boot chips whose check words the tests work out: 6101, 6102, 6103, 6105, 6106.
enum Chip { C6101 = 6101, C6102 = 6102, C6103 = 6103, C6105 = 6105, C6106 = 6106 };
// A big-endian image of random bytes (from `seed`) behind a header, whose boot code is made to
// name `chip` (0: no known chip) and whose check words are worked out here, independently of
// the program, bit by bit and word by word as the published descriptions give them.
QByteArray checkedImage(int chip, qint64 length = 0x102000, quint32 seed = 1);
std::pair<quint32, quint32> expectedCheckWords(const QByteArray& image, int chip);
// The big-endian image in a file order (1: 16-bit swapped, 2: 32-bit little-endian), byte by
// byte.
QByteArray inFileOrder(const QByteArray& big, int order);
// CRC32 a bit at a time.
quint32 bitwiseCrc32(const QByteArray& bytes);

} // namespace vx::test
