#include "ui/vx_modules.h"

#include "ui/base/mnu_error.h"
#include "ui/listbox.h"
#include "ui/sys_procs.h"

#include <QCoreApplication>
#include <QSet>

namespace vx::VX_modules
{

void show_notice(const QString& upper, const QString& lower)
{
    mnu_error::get().showNotice(upper, lower);
}

void show_notices(const QList<Notice>& notices)
{
    for (const Notice& notice : notices)
        show_notice(notice.upper, notice.lower);
}

QString file_name_of(const QString& path)
{
    const qsizetype cut =
        std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    return path.mid(cut + 1);
}

void remove_duplicates(ListBox& list)
{
    // One pass with a set of the texts kept, which point into the list's own blocks: those stay
    // alive in `kept`. The list is replaced in one step, and only when something repeats.
    const TextList all = list.texts();
    TextList kept;
    QSet<QStringView> seen;
    seen.reserve(all.size());
    for (const TextList::Segment& segment : all.segments()) {
        for (const TextList::Span& span : segment.spans) {
            const QStringView text(segment.block.constData() + span.begin, span.size);
            // One look-up a name: the set grows only by a text it did not hold.
            const qsizetype before = seen.size();
            seen.insert(text);
            if (seen.size() != before)
                kept.appendShared(segment, span);
        }
    }
    if (kept.size() == all.size())
        return;
    list.setItems(kept);
    // As after any fill of the list.
    QCoreApplication::processEvents();
}

} // namespace vx::VX_modules
