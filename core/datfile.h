#pragma once

#include "core/romsums.h"

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

// A set of known good dumps in the Logiqx XML format every dump group publishes:
// <datafile><game name="…"><rom name="…" size="…" crc="…" md5="…" sha1="…"/></game>…</datafile>
namespace vx::datfile
{

// Larger than any cartridge set by far; a file beyond it is not a DAT meant for this.
constexpr qint64 kMaxFileBytes = 256 << 20;
constexpr qsizetype kMaxRoms = 2'000'000;

struct Rom {
    QString game;
    qint64 size = -1; // -1 when the DAT gives none
    quint32 crc32 = 0;
    bool hasCrc32 = false;
    QByteArray sha1; // raw bytes; empty when the DAT gives none
};

class Dat;

struct Loaded {
    std::shared_ptr<const Dat> dat; // null on failure
    QString error;                  // why, for the notice's lower line
};

// Reads and indexes a DAT; slow for large ones (a second or so for 60,000 ROMs), so off the
// windows' thread.
Loaded load(const QString& path);

class Dat
{
public:
    // The ROM the sums are, by SHA-1, else by CRC32 and size where the DAT lists no SHA-1 for
    // it (a SHA-1 that differs is another dump whatever its CRC32); null when none is.
    const Rom* find(const romsums::Sums& sums) const;
    qsizetype size() const { return qsizetype(m_roms.size()); }

private:
    friend Loaded load(const QString& path);
    std::vector<Rom> m_roms;
    QHash<QByteArray, qsizetype> m_bySha1;
    QMultiHash<quint32, qsizetype> m_byCrc32;
};

} // namespace vx::datfile
