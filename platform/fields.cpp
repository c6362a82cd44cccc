#include "platform/fields.h"

#include "platform/bytescan.h"
#include "platform/textcodec.h"
#include "platform/textfile.h"

#include <cstring>

namespace vx
{

namespace
{

// The parser runs on bytes (FieldReader) and on decoded text (readFields); every character it
// looks for is ASCII, so both see the same fields.
template <typename Ch> bool isBlank(Ch c)
{
    return c == ' ' || c == '\t';
}

struct Span {
    qsizetype begin;
    qsizetype size;
};

// Steps past one line end (CR LF, CR or LF) at `pos`, if there is one.
template <typename Ch> qsizetype skipLineEnd(const Ch* data, qsizetype size, qsizetype pos)
{
    if (pos < size && data[pos] == '\r')
        ++pos;
    else if (pos < size && data[pos] == '\n')
        return pos + 1;
    else
        return pos;
    if (pos < size && data[pos] == '\n')
        ++pos;
    return pos;
}

// Moves `pos` to the end of an unquoted field's text: a comma or a line end.
template <typename Ch> void skipPlain(const Ch* data, qsizetype size, qsizetype& pos)
{
    if constexpr (sizeof(Ch) == 1) {
        // Eight bytes a step through the body of a name, straight to the delimiter.
        for (; pos + 8 <= size; pos += 8) {
            const quint64 word = bytescan::load(data + pos);
            const quint64 marks = bytescan::bytesEqual(word, ',') |
                                  bytescan::bytesEqual(word, '\r') |
                                  bytescan::bytesEqual(word, '\n');
            if (marks) {
                pos += bytescan::firstMarked(marks);
                return;
            }
        }
    }
    while (pos < size && data[pos] != ',' && data[pos] != '\r' && data[pos] != '\n')
        ++pos;
}

// How many times `c` occurs.
qsizetype countOf(const QByteArray& data, char c)
{
    const char* bytes = data.constData();
    const qsizetype size = data.size();
    qsizetype count = 0;
    qsizetype i = 0;
    for (; i + 8 <= size; i += 8)
        count += bytescan::countMarked(bytescan::bytesEqual(bytescan::load(bytes + i), uchar(c)));
    for (; i < size; ++i)
        count += bytes[i] == c;
    return count;
}

// The field starting at `pos` (not at the end), and `pos` moved past it and its delimiter.
template <typename Ch> Span nextField(const Ch* data, qsizetype size, qsizetype& pos)
{
    while (pos < size && isBlank(data[pos]))
        ++pos;

    if (pos < size && data[pos] == '"') {
        const qsizetype begin = pos + 1;
        qsizetype end = begin;
        while (end < size && data[end] != '"')
            ++end;
        pos = end < size ? end + 1 : size;
        while (pos < size && isBlank(data[pos]))
            ++pos;
        // A comma or a line end closes the field; anything else starts the next one here.
        if (pos < size && data[pos] == ',')
            ++pos;
        else
            pos = skipLineEnd(data, size, pos);
        return {begin, end - begin};
    }

    const qsizetype begin = pos;
    skipPlain(data, size, pos);
    qsizetype end = pos;
    while (end > begin && isBlank(data[end - 1]))
        --end;
    if (pos < size && data[pos] == ',')
        ++pos;
    else
        pos = skipLineEnd(data, size, pos);
    return {begin, end - begin};
}

} // namespace

FieldReader::FieldReader(QByteArray data) : m_data(std::move(data)) {}

bool FieldReader::atEnd() const
{
    return m_pos >= m_data.size();
}

QByteArray FieldReader::next()
{
    const Span span = nextField(m_data.constData(), m_data.size(), m_pos);
    return m_data.sliced(span.begin, span.size);
}

TextList readFieldTexts(const QByteArray& data, textcodec::Encoding* encoding)
{
    // About one field per line in the catalogue's lists.
    QList<TextList::Span> spans;
    auto spansOver = [&spans, &data](const auto* chars, qsizetype size) {
        // About one field per line in the catalogue's lists; written in place, grown if short.
        spans.resize(countOf(data, '\n') + 1);
        TextList::Span* out = spans.data();
        qsizetype count = 0;
        for (qsizetype pos = 0; pos < size;) {
            const Span span = nextField(chars, size, pos);
            if (count == spans.size()) {
                spans.resize(count * 2);
                out = spans.data();
            }
            out[count++] = {span.begin, span.size};
        }
        spans.resize(count);
    };

    // Plain ASCII, the usual index, is parsed on its bytes: each is one character of the text.
    if (isAscii(data.constData(), data.size())) {
        if (encoding)
            *encoding = textcodec::Encoding::Utf8;
        spansOver(data.constData(), data.size());
        return TextList(QString::fromLatin1(data), std::move(spans));
    }

    // One decode of the whole text is several times faster than one per field and gives the
    // same fields: the delimiters are ASCII, which neither encoding uses for anything else. The
    // fields are then stretches of that one text.
    const textcodec::Encoding found = textcodec::detect(data);
    if (encoding)
        *encoding = found;
    // A byte order mark says how the text is written; it is no part of it.
    const QByteArrayView body =
        data.startsWith("\xEF\xBB\xBF") ? QByteArrayView(data).sliced(3) : QByteArrayView(data);
    QString text = textcodec::decode(body, found);
    spansOver(text.constData(), text.size());
    return TextList(std::move(text), std::move(spans));
}

QStringList readFields(const QByteArray& data)
{
    return readFieldTexts(data).toStringList();
}

} // namespace vx
