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
    // are compared only when their hashes agree.
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

    QStringList kept;
    kept.reserve(list.count());
    // Read in place: a copy of each text would write to every string's memory twice.
    QStringList all = list.items();
    int i = 0;
    for (; i < all.size(); ++i) {
        const QString& text = all.at(i);
        if (qsizetype(kept.size()) * 2 >= qsizetype(table.size()))
            grow(kept.size() + 1);
        const quint32 hash = quint32(qHash(text));
        quint32 at = hash & mask;
        bool seen = false;
        for (; table[at].row >= 0; at = (at + 1) & mask) {
            if (table[at].hash == hash && kept.at(table[at].row) == text) {
                seen = true;
                break;
            }
        }
        if (!seen) {
            table[at] = {hash, qint32(kept.size())};
            kept.append(text);
        }
        if (i % 4096 == 4095) {
            sys_procs::pumpIfDue();
            all = list.items();
        }
    }
    if (kept.size() == i)
        return;
    list.setItems(kept);
    // As after any fill of the list.
    QCoreApplication::processEvents();
}

} // namespace vx::VX_modules
