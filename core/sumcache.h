#pragma once

#include "core/romsums.h"

#include <QHash>
#include <QString>
#include <optional>

// Checksums already computed, by ROM path, length and modification time, in a file of the
// program's own beside the settings (never in the catalogue's files), so a ROM viewed again is
// not read again.
namespace vx::sumcache
{

// Entries kept; the least recently computed go first.
constexpr qsizetype kMaxEntries = 100'000;

struct Key {
    QString path;
    qint64 size = 0;
    qint64 modifiedMs = 0;
};

class Cache
{
public:
    std::optional<romsums::Sums> find(const Key& key) const;
    void put(const Key& key, const romsums::Sums& sums);
    qsizetype size() const { return m_entries.size(); }

    // A missing file reads as empty; lines that make no sense are left out.
    void read(const QString& file);
    // Replaces the file whole; false when it could not be written.
    bool write(const QString& file) const;

private:
    struct Entry {
        qint64 size;
        qint64 modifiedMs;
        qint64 stamp; // order of computing, for the cap
        romsums::Sums sums;
    };
    QHash<QString, Entry> m_entries;
    qint64 m_stamp = 0;
};

// Beside vx.log.
QString filePath();

} // namespace vx::sumcache
