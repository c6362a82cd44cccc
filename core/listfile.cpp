#include "core/listfile.h"

#include "core/fields.h"
#include "core/pump.h"
#include "core/textfile.h"

#include <algorithm>

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

// Writes the segment's items into `out`, one a line, and returns the end. `troubles` is set
// when an item holds a quote or a line break, which may keep it from reading back as itself.
template <typename Ch>
Ch* writeItems(const Ch* block, const QList<TextList::Span>& spans, Ch* out, bool& troubles)
{
    bool trouble = false;
    for (const TextList::Span& span : spans) {
        const Ch* item = block + span.begin;
        const qsizetype size = span.size;
        // One pass copies the item and notes what it holds: saves write every name each time.
        bool comma = false;
        for (qsizetype k = 0; k < size; ++k) {
            const Ch c = item[k];
            comma |= c == ',';
            trouble |= c == '"' || c == '\r' || c == '\n';
            out[k] = c;
        }
        if (needsQuotes(item, size, comma)) {
            // Rare: moved one place on, after its opening quote.
            std::copy_backward(out, out + size, out + size + 1);
            *out = '"';
            out += size + 1;
            *out++ = '"';
        } else {
            out += size;
        }
        *out++ = '\r';
        *out++ = '\n';
    }
    troubles = troubles || trouble;
    return out;
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

TextList decode(const QByteArray& bytes, textcodec::Encoding* encoding)
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

void rememberWritten(const QByteArray& bytes, const TextList& items)
{
    // Only plain ASCII is remembered so, which reads as UTF-8.
    knownListFile() = {bytes, items, textcodec::Encoding::Utf8};
}

QByteArray encode(const TextList& items, textcodec::Encoding encoding, bool* plain,
                  textcodec::Encoding* used)
{
    qsizetype room = 0;
    bool ascii = true;
    for (const TextList::Segment& segment : items.segments()) {
        ascii = ascii && isAscii(segment.block);
        room += segment.spans.size() * 4; // quotes and a line end
        for (const TextList::Span& span : segment.spans)
            room += span.size;
    }
    bool troubles = false;
    if (ascii) {
        // Plain ASCII, the usual catalogue, is the same bytes in either encoding: each block is
        // narrowed in one step and the items copied out of it.
        QByteArray bytes(room, Qt::Uninitialized);
        char* out = bytes.data();
        for (const TextList::Segment& segment : items.segments())
            out = writeItems(segment.block.toLatin1().constData(), segment.spans, out, troubles);
        bytes.truncate(out - bytes.constData());
        if (plain)
            *plain = !troubles;
        if (used)
            *used = encoding;
        return bytes;
    }
    QString text(room, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    for (const TextList::Segment& segment : items.segments())
        out = writeItems(reinterpret_cast<const char16_t*>(segment.block.utf16()), segment.spans,
                         out, troubles);
    text.truncate(out - reinterpret_cast<const char16_t*>(text.constData()));
    if (plain)
        *plain = false;
    return textcodec::encodeOrUtf8(text, encoding, used);
}

std::optional<TextList> read(const QString& path)
{
    const auto bytes = readWholeFile(path);
    if (!bytes) {
        if (pathTaken(path))
            return std::nullopt;
        return TextList();
    }
    pumpIfDue();
    textcodec::Encoding encoding;
    TextList found = decode(*bytes, &encoding);
    // The next save writes the file back in the encoding it was read in.
    textcodec::remember(path, encoding);
    pumpIfDue();
    return found;
}

bool write(const QString& path, const TextList& list)
{
    textcodec::Encoding used;
    const QByteArray written = encode(list, textcodec::remembered(path), nullptr, &used);
    if (!replaceFile(path, written))
        return false;
    textcodec::remember(path, used);
    return true;
}

} // namespace vx::listfile
