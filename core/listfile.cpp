#include "core/listfile.h"

#include "core/bytescan.h"
#include "core/fields.h"
#include "core/pump.h"
#include "core/textfile.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <QMutex>
#include <algorithm>
#include <cstring>
#include <utility>

namespace vx::listfile
{

namespace
{

// The one quoting rule: an item is written in double quotes when it would not read back alone
// otherwise, for a comma inside it or a blank at either end (reading trims those).
template <typename Ch> bool needsQuotes(const Ch* item, qsizetype size, bool hasComma)
{
    const auto blank = [](Ch c) { return c == ' ' || c == '\t'; };
    return size > 0 && (hasComma || blank(item[0]) || blank(item[size - 1]));
}

// The items, each on its own line, as text: for a list that is not plain ASCII, encoded after.
QString listFileText(const TextList& items)
{
    QString text;
    qsizetype room = 0;
    items.forEach([&room](QStringView item) { room += item.size() + 4; });
    text.reserve(room);
    items.forEach([&text](QStringView item) {
        const bool quoted = needsQuotes(item.utf16(), item.size(), item.contains(u','));
        if (quoted)
            text += u'"';
        text += item;
        if (quoted)
            text += u'"';
        text += u"\r\n";
    });
    return text;
}

// Narrows an ASCII item into place, eight characters a step where the processor allows.
void narrowInto(char* out, const char16_t* item, qsizetype size)
{
    qsizetype k = 0;
#ifdef __SSE2__
    for (; k + 8 <= size; k += 8) {
        const __m128i wide = _mm_loadu_si128(reinterpret_cast<const __m128i*>(item + k));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(wide, wide));
    }
#endif
    for (; k < size; ++k)
        out[k] = char(item[k]);
}

// The bytes of plain ASCII items, each on its own line, after `mark`: each item narrowed
// straight into place (a narrowed copy of a whole block would cost as much memory again as the
// file), then looked at eight bytes a step (bytescan.h). `troubles` tells whether an item holds
// a quote or a line break, which may keep it from reading back as itself.
QByteArray asciiListFile(const TextList& items, QByteArrayView mark, bool& troubles)
{
    using namespace bytescan;
    qsizetype total = mark.size();
    for (const TextList::Segment& segment : items.segments()) {
        for (const TextList::Span& span : segment.spans)
            total += span.size + 4;
    }
    // Room for a whole word read past the last item's end.
    QByteArray bytes(total + 8, Qt::Uninitialized);
    char* out = bytes.data();
    if (!mark.isEmpty()) {
        std::memcpy(out, mark.data(), size_t(mark.size()));
        out += mark.size();
    }
    quint64 marks = 0;
    for (const TextList::Segment& segment : items.segments()) {
        const auto* chars = reinterpret_cast<const char16_t*>(segment.block.constData());
        for (const TextList::Span& span : segment.spans) {
            const qsizetype size = span.size;
            narrowInto(out, chars + span.begin, size);
            quint64 commas = 0;
            for (qsizetype k = 0; k < size; k += 8) {
                quint64 word = load(out + k);
                if (size - k < 8)
                    word &= keepFirst(size - k);
                commas |= bytesEqual(word, ',');
                marks |= bytesEqual(word, '"') | bytesEqual(word, '\r') | bytesEqual(word, '\n');
            }
            if (needsQuotes(out, size, commas != 0)) {
                // Rare: moved one place further on, after its opening quote.
                std::memmove(out + 1, out, size_t(size));
                *out++ = '"';
                out += size;
                *out++ = '"';
            } else {
                out += size;
            }
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    troubles = marks != 0;
    bytes.truncate(out - bytes.constData());
    return bytes;
}

// The last list file read or written, and its items: a save reads back the index it wrote a
// moment before, and View ROM and Edit ROM read the same index again and again. Items depend
// on the bytes alone, so equal bytes give the same items without reading them again.
struct KnownListFile {
    QByteArray bytes;
    TextList items;
    textcodec::Form form;
};

// An import writes on a thread of its own while the windows read.
QMutex knownMutex;

KnownListFile& knownListFile()
{
    static KnownListFile known;
    return known;
}

} // namespace

TextList decode(const QByteArray& bytes, textcodec::Form* form)
{
    const QMutexLocker lock(&knownMutex);
    KnownListFile& known = knownListFile();
    if (known.bytes.size() != bytes.size() || known.bytes != bytes) {
        textcodec::Form found;
        TextList items = readFieldTexts(bytes, &found);
        known = {bytes, std::move(items), found};
    }
    if (form)
        *form = known.form;
    return known.items;
}

TextList parse(const QByteArray& bytes, textcodec::Form* form)
{
    return readFieldTexts(bytes, form);
}

void rememberParsed(const QByteArray& bytes, const TextList& items, textcodec::Form form)
{
    const QMutexLocker lock(&knownMutex);
    knownListFile() = {bytes, items, form};
}

void rememberWritten(const QByteArray& bytes, const TextList& items)
{
    const QMutexLocker lock(&knownMutex);
    // Only plain ASCII is remembered so, which reads as UTF-8, after a UTF-8 mark if any.
    knownListFile() = {bytes, items, {textcodec::Encoding::Utf8, bytes.startsWith("\xEF\xBB\xBF")}};
}

QByteArray encode(const TextList& items, textcodec::Form form, bool* plain, textcodec::Form* used)
{
    using textcodec::Encoding;
    const bool bytewise = form.encoding == Encoding::Utf8 || form.encoding == Encoding::Windows1252;
    const bool ascii =
        bytewise && std::all_of(items.segments().begin(), items.segments().end(),
                                [](const TextList::Segment& s) { return isAscii(s.block); });
    if (!ascii) {
        if (plain)
            *plain = false;
        return textcodec::encodeFile(listFileText(items), form, used);
    }
    // Plain ASCII, the usual catalogue, is the same bytes in either byte-wide encoding.
    bool troubles = false;
    QByteArray bytes = asciiListFile(items, textcodec::markOf(form), troubles);
    if (plain)
        *plain = !troubles;
    if (used)
        *used = form;
    return bytes;
}

std::optional<TextList> read(const QString& path)
{
    // A long index takes a while to compare, read and decode: that is done on a thread of its
    // own while this one serves the event loop.
    KnownListFile known; // shared data: the copy costs nothing
    {
        const QMutexLocker lock(&knownMutex);
        known = knownListFile();
    }
    bool same = false;
    std::optional<QByteArray> bytes;
    bool taken = false;
    KnownListFile found;
    runServingEvents([&] {
        same = !known.bytes.isEmpty() && fileHolds(path, known.bytes);
        if (same)
            return;
        bytes = readWholeFile(path);
        if (!bytes) {
            taken = pathTaken(path);
            return;
        }
        textcodec::Form form;
        TextList items = parse(*bytes, &form);
        found = {*bytes, std::move(items), form};
    });
    if (same) {
        textcodec::remember(path, known.form);
        return known.items;
    }
    if (!bytes)
        return taken ? std::nullopt : std::optional<TextList>(TextList());
    // The next save writes the file back in the encoding it was read in.
    textcodec::remember(path, found.form);
    rememberParsed(found.bytes, found.items, found.form);
    return found.items;
}

std::optional<TextList> write(const QString& path, const TextList& items)
{
    bool plain = false;
    const textcodec::Form form = textcodec::remembered(path);
    textcodec::Form used = form;
    // The bytes last read are of no more use once the file is replaced; let them go before the
    // new ones are made, so the two never take room together.
    KnownListFile last;
    {
        const QMutexLocker lock(&knownMutex);
        last = std::exchange(knownListFile(), {});
    }
    // Made and read back beside the write: at a million names the encoding alone would hold up
    // the windows. The items are this call's own copy, which nothing on the windows' thread
    // changes. Plain items read back as themselves; other bytes as the file would be.
    TextList readBack;
    textcodec::Form readAs{};
    const std::optional<QByteArray> bytes = replaceFileMade(
        path, [&last, items = TextList(items), form, &plain, &used, &readBack, &readAs] {
            last = {};
            QByteArray made = encode(items, form, &plain, &used);
            if (!plain)
                readBack = parse(made, &readAs);
            return made;
        });
    if (!bytes)
        return std::nullopt;
    textcodec::remember(path, used);
    if (plain) {
        rememberWritten(*bytes, items);
        return items;
    }
    rememberParsed(*bytes, readBack, readAs);
    return readBack;
}

} // namespace vx::listfile
