#include "platform/fields.h"

#include "platform/textfile.h"

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
    while (pos < size && data[pos] != ',' && data[pos] != '\r' && data[pos] != '\n')
        ++pos;
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

QStringList readFields(const QByteArray& data)
{
    QStringList fields;
    // About one field per line in the catalogue's lists; a cheap guess saves regrowing.
    fields.reserve(data.count('\n') + 1);

    // One decode of the whole text is several times faster than one per field and gives the
    // same fields, since the delimiters are ASCII, which the locale's encodings never use inside
    // a multi-byte character. Only invalid sequences decode differently at a field's edge, so
    // text holding a replacement character is decoded field by field.
    const QString text = fromLocalBytes(data);
    if (!text.contains(QChar::ReplacementCharacter)) {
        const QChar* chars = text.constData();
        for (qsizetype pos = 0; pos < text.size();) {
            const Span span = nextField(chars, text.size(), pos);
            fields.append(QString(chars + span.begin, span.size));
        }
        return fields;
    }
    const char* bytes = data.constData();
    for (qsizetype pos = 0; pos < data.size();) {
        const Span span = nextField(bytes, data.size(), pos);
        fields.append(fromLocalBytes(QByteArray::fromRawData(bytes + span.begin, span.size)));
    }
    return fields;
}

} // namespace vx
