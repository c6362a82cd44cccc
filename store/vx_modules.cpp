#include "store/vx_modules.h"

#include "app/mnu_error.h"
#include "platform/filecopy.h"
#include "platform/listbox.h"
#include "store/sys_procs.h"

#include <QCoreApplication>
#include <QSet>

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
    // One pass with a set; the list is replaced in one step, and only when something repeats.
    // The list is read in runs with the event loop served between them, so its length is taken
    // afresh each step.
    QStringList kept;
    kept.reserve(list.count());
    QSet<QString> seen;
    seen.reserve(list.count());
    int i = 0;
    for (; i < list.count(); ++i) {
        const QString text = list.text(i);
        const qsizetype before = seen.size();
        seen.insert(text);
        if (seen.size() != before)
            kept.append(text);
        if (i % 4096 == 4095)
            sys_procs::pumpIfDue();
    }
    if (kept.size() == i)
        return;
    list.setItems(kept);
    // As after any fill of the list.
    QCoreApplication::processEvents();
}

} // namespace vx::VX_modules
