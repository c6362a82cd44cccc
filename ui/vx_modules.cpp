#include "ui/vx_modules.h"

#include "core/distinct.h"
#include "core/pump.h"
#include "ui/base/mnu_error.h"
#include "ui/listbox.h"
#include "ui/sys_procs.h"

#include <QCoreApplication>

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

namespace
{

// Whether `now` is still the very list `before` was: the same blocks and entries, unchanged.
bool sameList(const TextList& now, const TextList& before)
{
    const auto& a = now.segments();
    const auto& b = before.segments();
    if (now.size() != before.size() || a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].block.constData() != b[i].block.constData() ||
            a[i].spans.constData() != b[i].spans.constData())
            return false;
    }
    return true;
}

} // namespace

void remove_duplicates(ListBox& list)
{
    // The repeats are found on a thread of its own while this one serves the event loop (clicks
    // and keys wait, as behind any other step of View ROM), and the list is replaced in one step,
    // only when something repeats. A list changed meanwhile (a save adds the index it wrote) is
    // gone through again.
    for (;;) {
        const TextList all = list.texts();
        TextList kept;
        runServingEvents([&all, &kept] { kept = firstOfEach(all); });
        if (!sameList(list.texts(), all))
            continue;
        if (kept.size() == all.size())
            return;
        list.setItems(kept);
        // As after any fill of the list.
        QCoreApplication::processEvents();
        return;
    }
}

} // namespace vx::VX_modules
