#include "store/vx_modules.h"

#include "app/mnu_error.h"
#include "platform/listbox.h"
#include "store/sys_procs.h"

#include <QCoreApplication>
#include <cstring>
#include <vector>

namespace vx::VX_modules
{

void show_notice(const QString& upper, const QString& lower)
{
    mnu_error::get().showNotice(upper, lower);
}

QString file_name_of(const QString& path)
{
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

namespace
{

// A quick hash of a name, eight bytes a step; the table compares texts whenever hashes agree,
// so it only has to spread names well, not resist anyone.
quint32 hashText(QStringView text)
{
    constexpr quint64 k = 0x9e3779b97f4a7c15ULL;
    quint64 h = quint64(text.size()) * k;
    const QChar* at = text.data();
    qsizetype left = text.size();
    for (; left >= 4; left -= 4, at += 4) {
        quint64 word;
        std::memcpy(&word, at, 8);
        h = (h ^ word) * k;
        h ^= h >> 29;
    }
    for (; left > 0; --left, ++at)
        h = (h ^ at->unicode()) * k;
    h ^= h >> 32;
    return quint32(h);
}

// Whether two lists hold the very same stored entries: the same spans of the same blocks. Such
// lists are equal without looking at a single text.
bool sameEntries(const TextList& a, const TextList& b)
{
    const auto& x = a.segments();
    const auto& y = b.segments();
    if (x.size() != y.size())
        return false;
    for (qsizetype k = 0; k < x.size(); ++k) {
        if (x[k].block.constData() != y[k].block.constData() ||
            x[k].spans.constData() != y[k].spans.constData() ||
            x[k].spans.size() != y[k].spans.size())
            return false;
    }
    return true;
}

// The last list freed of repeats and what was kept of it: View ROM fills the browser from the
// same index again and again, and its entries are then the very same stored ones.
struct LastRemoval {
    TextList before;
    TextList kept;
};

LastRemoval& lastRemoval()
{
    static LastRemoval last;
    return last;
}

} // namespace

// One pass of the open table above; split up, its steps would each need the table's state.
// NOLINTNEXTLINE(readability-function-cognitive-complexity)
void remove_duplicates(ListBox& list)
{
    LastRemoval& last = lastRemoval();
    if (!list.texts().isEmpty() && sameEntries(list.texts(), last.before)) {
        if (last.kept.size() == last.before.size())
            return;
        list.setItems(last.kept);
        QCoreApplication::processEvents();
        return;
    }

    // One pass; the list is replaced in one step, and only when something repeats. The list is
    // read in runs with the event loop served between them, and taken afresh after each. The texts
    // kept are found through an open table of (hash, length, where) slots, and texts are compared
    // only when hash and length agree. At a hundred thousand names the table and the texts lie
    // beyond the processor's nearer caches, so each run of names has its hashes worked out first
    // and their slots asked for ahead, letting the memory fetch them side by side.
    struct Slot {
        quint32 hash = 0;
        qint32 size = 0;
        const QChar* text = nullptr;
    };
    std::vector<Slot> table;
    quint32 mask = 0;
    qsizetype keptCount = 0;
    auto grow = [&](qsizetype wanted) {
        qsizetype size = 1024;
        while (size < wanted * 2)
            size *= 2;
        std::vector<Slot> bigger(static_cast<size_t>(size));
        const quint32 newMask = quint32(size - 1);
        for (const Slot& slot : table) {
            if (!slot.text)
                continue;
            quint32 at = slot.hash & newMask;
            while (bigger[at].text)
                at = (at + 1) & newMask;
            bigger[at] = slot;
        }
        table.swap(bigger);
        mask = newMask;
    };
    grow(list.count());

    TextList kept;
    // Adds the entry unless its text is kept already.
    auto consider = [&](const TextList::Segment& segment, const TextList::Span& span,
                        quint32 hash) {
        const QChar* text = segment.block.constData() + span.begin;
        quint32 at = hash & mask;
        for (; table[at].text; at = (at + 1) & mask) {
            const Slot& slot = table[at];
            if (slot.hash == hash && slot.size == span.size &&
                std::memcmp(slot.text, text, size_t(span.size) * sizeof(QChar)) == 0)
                return;
        }
        // A slot in use always points somewhere, even for an empty text.
        static const QChar nowhere;
        table[at] = {hash, qint32(span.size), text ? text : &nowhere};
        ++keptCount;
        kept.appendShared(segment, span);
        if (keptCount * 2 >= qsizetype(table.size()))
            grow(keptCount + 1);
    };

    constexpr qsizetype kRun = 64;
    quint32 hashes[kRun];
    TextList all = list.texts();
    bool retaken = false;
    qsizetype i = 0;
    // Walks the list from entry i on until it ends or a pump is due every 4096 entries; a list
    // changed meanwhile is taken afresh and the walk goes on at the same entry.
    for (bool changed = true; changed;) {
        changed = false;
        qsizetype first = 0;
        for (const TextList::Segment& segment : all.segments()) {
            const qsizetype count = segment.spans.size();
            if (i >= first + count) {
                first += count;
                continue;
            }
            for (qsizetype k = i - first; k < count && !changed;) {
                const qsizetype run = std::min(kRun, count - k);
                for (qsizetype r = 0; r < run; ++r) {
                    const TextList::Span& span = segment.spans.at(k + r);
                    hashes[r] =
                        hashText(QStringView(segment.block.constData() + span.begin, span.size));
#if defined(__GNUC__) || defined(__clang__)
                    __builtin_prefetch(&table[hashes[r] & mask]);
#endif
                }
                for (qsizetype r = 0; r < run; ++r) {
                    consider(segment, segment.spans.at(k + r), hashes[r]);
                    ++i;
                    if (i % 4096 == 0) {
                        sys_procs::pumpIfDue();
                        if (list.texts().segments().constData() != all.segments().constData()) {
                            all = list.texts();
                            changed = true;
                            retaken = true;
                            break;
                        }
                    }
                }
                k += run;
            }
            if (changed)
                break;
            first += count;
        }
    }
    // Only a walk over one unchanged list is worth keeping.
    if (!retaken && sameEntries(all, list.texts()))
        last = {all, kept};
    if (kept.size() == i)
        return;
    list.setItems(kept);
    // As after any fill of the list.
    QCoreApplication::processEvents();
}

} // namespace vx::VX_modules
