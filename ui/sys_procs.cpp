#include "ui/sys_procs.h"

#include "core/clock.h"
#include "core/filesearch.h"
#include "core/listfile.h"
#include "core/textcodec.h"
#include "core/textfile.h"
#include "ui/form.h"
#include "ui/listbox.h"

#include <QCoreApplication>
#include <cmath>

namespace vx::sys_procs
{

bool file_exists(const QString& path)
{
    return normalFileMatches(path);
}

bool write_text_file(const QString& text, const QString& path)
{
    textcodec::Form used;
    const QByteArray bytes =
        textcodec::encodeFile(text + QLatin1String("\r\n"), textcodec::remembered(path), &used);
    if (!replaceFile(path, bytes))
        return false;
    textcodec::remember(path, used);
    return true;
}

void appendItems(ListBox& list, const TextList& items)
{
    list.addItems(items);
    QCoreApplication::processEvents();
}

bool load_list(const QString& path, ListBox& list)
{
    const std::optional<TextList> items = listfile::read(path);
    if (!items)
        return false;
    if (items->isEmpty() && !pathTaken(path))
        return true; // a missing file adds nothing
    appendItems(list, *items);
    return true;
}

void pause(int seconds)
{
    Clock& timer = clock();
    const double now = timer.secondsSinceMidnight();
    const double start = std::nearbyint(now); // halves to even
    // The wait ends when the timer would reach start + seconds, measured on a clock that is
    // never stepped: the timer set back an hour meanwhile would otherwise wait that hour.
    const double length = start + seconds - now;
    const double began = timer.elapsedSeconds();
    while (timer.elapsedSeconds() - began < length) {
        QCoreApplication::processEvents();
        timer.idle();
    }
}

void slide_out_left(Form& window)
{
    // Keys typed during or after the slide must not reach a window that is leaving.
    window.yieldKeyboard();
    do {
        QCoreApplication::processEvents();
        window.setLeft(std::floor(window.Left()) - 300);
    } while (!(window.Left() < -window.Width()));
    // Window managers keep part of every window on screen; hidden, nothing is left of it.
    window.hide();
}

} // namespace vx::sys_procs
