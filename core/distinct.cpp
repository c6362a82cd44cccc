#include "core/distinct.h"

#include <QHash>
#include <QSet>
#include <vector>

namespace vx
{

namespace
{

// Texts are spread over this many parts by their hashes' top bits; at a million texts each
// part's table fits in the second-level cache.
constexpr int kPartBits = 8;
constexpr int kParts = 1 << kPartBits;

struct Entry {
    size_t hash;
    quint32 row;
};

// The plain way, for the rare list where two different texts share a hash.
TextList firstOfEachBySet(const TextList& all)
{
    TextList kept;
    QSet<QStringView> seen;
    seen.reserve(all.size());
    for (const TextList::Segment& segment : all.segments()) {
        for (const TextList::Span& span : segment.spans) {
            const qsizetype before = seen.size();
            seen.insert(QStringView(segment.block.constData() + span.begin, span.size));
            if (seen.size() != before)
                kept.appendShared(segment, span);
        }
    }
    return kept;
}

} // namespace

TextList firstOfEach(const TextList& all)
{
    const qsizetype count = all.size();

    // Hashes in order, straight into their parts.
    std::vector<std::vector<Entry>> parts(kParts);
    for (std::vector<Entry>& part : parts)
        part.reserve(size_t(count / kParts + count / (qsizetype(kParts) * 4) + 16));
    quint32 row = 0;
    for (const TextList::Segment& segment : all.segments()) {
        const QChar* chars = segment.block.constData();
        for (const TextList::Span& span : segment.spans) {
            const size_t hash = qHash(QStringView(chars + span.begin, span.size), 0);
            parts[hash >> (sizeof(size_t) * 8 - kPartBits)].push_back({hash, row++});
        }
    }

    // Within a part, rows come in order: the first of equal hashes is the one kept.
    std::vector<std::pair<quint32, quint32>> repeats; // row, the earlier row with its hash
    std::vector<qint32> table;
    for (const std::vector<Entry>& part : parts) {
        size_t width = 16;
        while (width < part.size() * 2)
            width *= 2;
        table.assign(width, -1);
        const size_t mask = width - 1;
        for (size_t i = 0; i < part.size(); ++i) {
            size_t slot = part[i].hash & mask;
            for (;; slot = (slot + 1) & mask) {
                const qint32 at = table[slot];
                if (at < 0) {
                    table[slot] = qint32(i);
                    break;
                }
                if (part[size_t(at)].hash == part[i].hash) {
                    repeats.emplace_back(part[i].row, part[size_t(at)].row);
                    break;
                }
            }
        }
    }
    parts = {};

    // A shared hash is taken for a repeat only once the texts are seen to be equal.
    std::vector<bool> repeated(size_t(count), false);
    for (const auto& [later, earlier] : repeats) {
        if (all.at(later) != all.at(earlier))
            return firstOfEachBySet(all);
        repeated[later] = true;
    }
    if (repeats.empty())
        return all;

    TextList kept;
    row = 0;
    for (const TextList::Segment& segment : all.segments()) {
        for (const TextList::Span& span : segment.spans) {
            if (!repeated[row++])
                kept.appendShared(segment, span);
        }
    }
    return kept;
}

} // namespace vx
