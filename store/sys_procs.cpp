#include "store/sys_procs.h"

#include "platform/clock.h"
#include "platform/fields.h"
#include "platform/filesearch.h"
#include "platform/form.h"
#include "platform/listbox.h"
#include "platform/profile.h"
#include "platform/textfile.h"
#include "platform/windowing.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <cmath>

namespace vx::sys_procs
{

namespace
{

// Long fills hand control back to the event loop at least this often.
constexpr qint64 kPumpIntervalMs = 15;

// Time since the event loop last ran: restarted at every turn of it, so only a stretch of work
// longer than the interval pumps, wherever that work began.
QElapsedTimer& sinceLastPump()
{
    static QElapsedTimer timer;
    static QPointer<QAbstractEventDispatcher> watched;
    if (!timer.isValid())
        timer.start();
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher && dispatcher != watched) {
        watched = dispatcher;
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, dispatcher,
                         [] { timer.restart(); });
        timer.restart();
    }
    return timer;
}

bool needsQuotes(const QString& item)
{
    if (item.isEmpty())
        return false;
    const QChar first = item.front();
    const QChar last = item.back();
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    return item.contains(QLatin1Char(',')) || blank(first) || blank(last);
}

} // namespace

bool file_exists(const QString& path)
{
    return normalFileMatches(path);
}

bool write_text_file(const QString& text, const QString& path)
{
    QByteArray bytes = toLocalBytes(text);
    bytes.append("\r\n");
    return replaceFile(path, bytes);
}

void pumpIfDue()
{
    if (sinceLastPump().elapsed() >= kPumpIntervalMs) {
        QCoreApplication::processEvents();
        sinceLastPump().restart();
    }
}

void appendItems(ListBox& list, const QStringList& items)
{
    list.addItems(items);
    QCoreApplication::processEvents();
}

void clearItems(ListBox& list)
{
    list.clear();
}

void load_list(const QString& path, ListBox& list)
{
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return;
    pumpIfDue();
    const QStringList items = readFields(*bytes);
    pumpIfDue();
    appendItems(list, items);
}

QString listFileText(const QStringList& items)
{
    qsizetype total = 0;
    for (const QString& item : items)
        total += item.size() + 4;
    QString text;
    text.reserve(total);
    for (const QString& item : items) {
        if (needsQuotes(item)) {
            text.append(QLatin1Char('"'));
            text.append(item);
            text.append(QLatin1Char('"'));
        } else {
            text.append(item);
        }
        text.append(QLatin1String("\r\n"));
    }
    return text;
}

QByteArray listFileBytes(const QStringList& items)
{
    // One conversion of the whole text: far cheaper than one per line.
    return toLocalBytes(listFileText(items));
}

QStringList listItems(const ListBox& list)
{
    return list.items();
}

bool save_list(const QString& path, const ListBox& list)
{
    return replaceFile(path, listFileBytes(listItems(list)));
}

QString read_ini(const QString& section, const QString& key, const QString& file)
{
    return profile::read(file, section, key);
}

void pause(int seconds)
{
    Clock& timer = clock();
    const double start = std::nearbyint(timer.secondsSinceMidnight()); // halves to even
    auto elapsed = [&] {
        double now = timer.secondsSinceMidnight();
        // The timer restarts at midnight. A start rounded up may lie just ahead of the timer,
        // so only a large step back counts as the day turning.
        if (now < start - 43200.0)
            now += 86400.0;
        return now - start;
    };
    while (elapsed() < seconds) {
        QCoreApplication::processEvents();
        timer.idle();
    }
}

void stay_on_top(QWidget& window)
{
    setTopmost(window);
}

void drag_form(QWidget& window)
{
    startWindowDrag(window);
}

void slide_out_left(Form& window)
{
    do {
        QCoreApplication::processEvents();
        window.setLeft(std::floor(window.Left()) - 300);
    } while (!(window.Left() < -window.Width()));
}

} // namespace vx::sys_procs
