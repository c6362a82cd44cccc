#include "store/sys_procs.h"

#include "platform/bytescan.h"
#include "platform/clock.h"
#include "platform/fields.h"
#include "platform/filesearch.h"
#include "platform/form.h"
#include "platform/listbox.h"
#include "platform/profile.h"
#include "platform/textcodec.h"
#include "platform/textfile.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <algorithm>
#include <cmath>
#include <cstring>

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

bool needsQuotes(QStringView item)
{
    if (item.isEmpty())
        return false;
    auto blank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    if (blank(item.front()) || blank(item.back()))
        return true;
    // Inline rather than a library search: names are short, and a call per name costs more
    // than the name.
    return std::any_of(item.begin(), item.end(), [](QChar c) { return c == QLatin1Char(','); });
}

// The last list file read or written, and its items: a save reads back the index it wrote a
// moment before, and View ROM and Edit ROM read the same index again and again. Items depend
// on the bytes alone, so equal bytes give the same items without reading them again.
struct KnownListFile {
    QByteArray bytes;
    TextList items;
    textcodec::Encoding encoding = textcodec::Encoding::Utf8;
};

KnownListFile& knownListFile()
{
    static KnownListFile known;
    return known;
}

} // namespace

TextList listFileItems(const QByteArray& bytes, textcodec::Encoding* encoding)
{
    KnownListFile& known = knownListFile();
    if (known.bytes.size() != bytes.size() || known.bytes != bytes) {
        textcodec::Encoding found;
        TextList items = readFieldTexts(bytes, &found);
        known = {bytes, std::move(items), found};
    }
    if (encoding)
        *encoding = known.encoding;
    return known.items;
}

void rememberListFile(const QByteArray& bytes, const TextList& items)
{
    // Only plain ASCII is remembered so, which reads as UTF-8.
    knownListFile() = {bytes, items, textcodec::Encoding::Utf8};
}

bool file_exists(const QString& path)
{
    return normalFileMatches(path);
}

bool write_text_file(const QString& text, const QString& path)
{
    textcodec::Encoding used;
    QByteArray bytes = textcodec::encodeOrUtf8(text, textcodec::remembered(path), &used);
    bytes.append("\r\n");
    if (!replaceFile(path, bytes))
        return false;
    textcodec::remember(path, used);
    return true;
}

void pumpIfDue()
{
    if (sinceLastPump().elapsed() >= kPumpIntervalMs) {
        QCoreApplication::processEvents();
        sinceLastPump().restart();
    }
}

void appendItems(ListBox& list, const TextList& items)
{
    list.addItems(items);
    QCoreApplication::processEvents();
}

bool load_list(const QString& path, ListBox& list)
{
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return !pathTaken(path);
    pumpIfDue();
    textcodec::Encoding encoding;
    const TextList items = listFileItems(*bytes, &encoding);
    // The next save writes the file back in the encoding it was read in.
    textcodec::remember(path, encoding);
    pumpIfDue();
    appendItems(list, items);
    return true;
}

namespace
{

// The list file as text, each item on its own line, quoted when it would not read back alone.
QString listFileText(const TextList& items)
{
    qsizetype total = 0;
    for (const TextList::Segment& segment : items.segments()) {
        for (const TextList::Span& span : segment.spans)
            total += span.size + 4;
    }
    // Written straight into the text: far cheaper than growing it one item at a time.
    QString text(total, Qt::Uninitialized);
    QChar* out = text.data();
    items.forEach([&](QStringView item) {
        const bool quoted = needsQuotes(item);
        if (quoted)
            *out++ = QLatin1Char('"');
        out = std::copy(item.begin(), item.end(), out);
        if (quoted)
            *out++ = QLatin1Char('"');
        *out++ = QLatin1Char('\r');
        *out++ = QLatin1Char('\n');
    });
    text.truncate(out - text.constData());
    return text;
}

} // namespace

QByteArray listFileBytes(const TextList& items, textcodec::Encoding encoding, bool* plain,
                         textcodec::Encoding* used)
{
    if (used)
        *used = encoding;
    // Plain ASCII, the usual catalogue, is the same bytes in either encoding: each block is
    // narrowed in one step and the items copied out of it.
    bool ascii = true;
    for (const TextList::Segment& segment : items.segments())
        ascii = ascii && isAscii(segment.block);
    if (!ascii) {
        if (plain)
            *plain = false;
        return textcodec::encodeOrUtf8(listFileText(items), encoding, used);
    }
    qsizetype total = 0;
    for (const TextList::Segment& segment : items.segments()) {
        for (const TextList::Span& span : segment.spans)
            total += span.size + 4;
    }
    // Room for a whole word written past the last item's end.
    QByteArray bytes(total + 8, Qt::Uninitialized);
    char* out = bytes.data();
    using namespace bytescan;
    // A comma asks for quotes; a quote or a line break may keep an item from reading back.
    quint64 troubles = 0;
    for (const TextList::Segment& segment : items.segments()) {
        const QByteArray narrow = segment.block.toLatin1();
        // A word read at an item's last bytes runs on into what follows it in the block, except
        // at the very end.
        const char* end = narrow.constData() + narrow.size();
        for (const TextList::Span& span : segment.spans) {
            const char* item = narrow.constData() + span.begin;
            const qsizetype size = span.size;
            quint64 commas = 0;
            for (qsizetype k = 0; k < size; k += 8) {
                quint64 word =
                    item + k + 8 <= end ? load(item + k) : loadTail(item + k, end - item - k);
                std::memcpy(out + k, &word, 8);
                if (size - k < 8)
                    word &= keepFirst(size - k);
                commas |= bytesEqual(word, ',');
                troubles |= bytesEqual(word, '"') | bytesEqual(word, '\r') | bytesEqual(word, '\n');
            }
            const auto blank = [](char c) { return c == ' ' || c == '\t'; };
            const bool quoted = size > 0 && (commas || blank(item[0]) || blank(item[size - 1]));
            if (quoted) {
                // Rare: written again one place further on, after its opening quote.
                std::memmove(out + 1, item, size_t(size));
                *out++ = '"';
            }
            out += size;
            if (quoted)
                *out++ = '"';
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    const bool readsBack = troubles == 0;
    if (plain)
        *plain = readsBack;
    bytes.truncate(out - bytes.constData());
    return bytes;
}

bool save_list(const QString& path, const ListBox& list)
{
    textcodec::Encoding used;
    const QByteArray bytes =
        listFileBytes(list.texts(), textcodec::remembered(path), nullptr, &used);
    if (!replaceFile(path, bytes))
        return false;
    textcodec::remember(path, used);
    return true;
}

QString read_ini(const QString& section, const QString& key, const QString& file)
{
    return profile::read(file, section, key);
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
