#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <optional>

// A ROM's checksums as the sets of known good dumps list them: over the cartridge's own
// (big-endian) byte order, whatever order the file holds, and of a zip's cartridge image.
namespace vx::romsums
{

// What the header's own check words say about the first MiB after the boot code.
enum class HeaderCheck {
    Good,
    Bad,
    UnknownBootCode, // boot code of no known boot chip: the words cannot be recomputed
    NotChecked,      // no cartridge image, or one too short to hold the checked MiB
};

struct Sums {
    qint64 size = 0;
    quint32 crc32 = 0;
    QByteArray md5;  // raw bytes
    QByteArray sha1; // raw bytes
    HeaderCheck header = HeaderCheck::NotChecked;
};

// The boot chips whose check words can be recomputed; 7101 and 7102 boot as 6102 and 6101.
enum class BootChip { Unknown, Nus6101, Nus6102, Nus6103, Nus6105, Nus6106 };

constexpr qsizetype kBootCodeStart = 0x40;
constexpr qsizetype kCheckedStart = 0x1000;
constexpr qsizetype kCheckedEnd = 0x101000;

// The boot chip the boot code (bytes 0x40 to 0xFFF) was made for, by its CRC32.
BootChip bootChipOf(quint32 bootCodeCrc32);

// The two check words over 0x1000 to 0x100FFF of a big-endian image of at least kCheckedEnd
// bytes; nothing for an unknown chip.
std::optional<std::pair<quint32, quint32>> checkWords(const QByteArray& image, BootChip chip);

// Recomputes the words of a big-endian image's start and compares them with its header.
HeaderCheck checkHeader(const QByteArray& start);

// CRC32 as zip and the sets use it, continued from `crc` (0 to begin).
quint32 crc32(quint32 crc, const char* data, qsizetype length);

// Streams the file (a zip's first cartridge image) in large blocks. Nothing when it cannot be
// read, is no regular file, or is a zip without a cartridge image; nothing either once
// `cancelled` turns true.
std::optional<Sums> ofFile(const QString& path, const std::atomic_bool* cancelled = nullptr);

} // namespace vx::romsums
