#include "store/vx_modules.h"

#include "app/mnu_error.h"
#include "platform/filecopy.h"
#include "platform/listbox.h"
#include "store/sys_procs.h"

#include <QCoreApplication>
#include <vector>

namespace vx::VX_modules
{

bool copy_file(const QString& source, const QString& destination)
{
    return copyFileReplacing(source, destination);
}

void show_notice(const QString& upper, const QString& lower)
{
    mnu_error::get().showNotice(upper, lower, true);
}

QString file_name_of(const QString& path)
{
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

void remove_duplicates(ListBox& list)
{
    // One pass; the list is replaced in one step, and only when something repeats. The list is
    // read in runs with the event loop served between them, and taken afresh after each. The texts
    // seen are found through an open table of (hash, kept row) pairs: eight bytes a slot stay in
    // the processor's cache at a hundred thousand names where a set of strings would not, and texts
    // are compared only when their hashes agree. The kept entries share the list's text.
    struct Slot {
        quint32 hash = 0;
        qint32 row = -1;
    };
    std::vector<Slot> table;
    quint32 mask = 0;
    auto grow = [&](qsizetype wanted) {
        qsizetype size = 1024;
        while (size < wanted * 2)
            size *= 2;
        std::vector<Slot> bigger(static_cast<size_t>(size));
        const quint32 newMask = quint32(size - 1);
        for (const Slot& slot : table) {
            if (slot.row < 0)
                continue;
            quint32 at = slot.hash & newMask;
            while (bigger[at].row >= 0)
                at = (at + 1) & newMask;
            bigger[at] = slot;
        }
        table.swap(bigger);
        mask = newMask;
    };
    grow(list.count());

    TextList kept;
    // Where the kept texts are, in the order kept: a lookup by row in `kept` would search.
    std::vector<QStringView> keptTexts;
    keptTexts.reserve(size_t(list.count()));
    TextList all = list.texts();
    qsizetype i = 0;
    auto consider = [&](const TextList::Segment& segment, const TextList::Span& span) {
        const QStringView text(segment.block.constData() + span.begin, span.size);
        if (qsizetype(keptTexts.size()) * 2 >= qsizetype(table.size()))
            grow(qsizetype(keptTexts.size()) + 1);
        const quint32 hash = quint32(qHash(text));
        quint32 at = hash & mask;
        for (; table[at].row >= 0; at = (at + 1) & mask) {
            if (table[at].hash == hash && keptTexts[size_t(table[at].row)] == text)
                return;
        }
        table[at] = {hash, qint32(keptTexts.size())};
        keptTexts.push_back(text);
        kept.appendShared(segment, span);
    };
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
            for (qsizetype k = i - first; k < count; ++k) {
                consider(segment, segment.spans.at(k));
                ++i;
                if (i % 4096 == 0) {
                    sys_procs::pumpIfDue();
                    if (list.texts().segments().constData() != all.segments().constData()) {
                        all = list.texts();
                        changed = true;
                        break;
                    }
                }
            }
            if (changed)
                break;
            first += count;
        }
    }
    if (kept.size() == i)
        return;
    list.setItems(kept);
    // As after any fill of the list.
    QCoreApplication::processEvents();
}

} // namespace vx::VX_modules
