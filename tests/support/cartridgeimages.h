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

} // namespace vx::test
