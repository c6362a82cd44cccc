#pragma once

#include <QtGlobal>

// The delimited-field parser, on bytes or on decoded text: every character it looks for is
// ASCII, so both see the same fields. Shared by the list reader and the tests' byte reader.
namespace vx::fieldparse
{

template <typename Ch> inline bool isBlank(Ch c)
{
    return c == ' ' || c == '\t';
}

struct Span {
    qsizetype begin;
    qsizetype size;
};

// Steps past one line end (CR LF, CR or LF) at `pos`, if there is one.
template <typename Ch> inline qsizetype skipLineEnd(const Ch* data, qsizetype size, qsizetype pos)
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
template <typename Ch> inline void skipPlain(const Ch* data, qsizetype size, qsizetype& pos)
{
    while (pos < size && data[pos] != ',' && data[pos] != '\r' && data[pos] != '\n')
        ++pos;
}

// The field starting at `pos` (not at the end), and `pos` moved past it and its delimiter.
template <typename Ch> inline Span nextField(const Ch* data, qsizetype size, qsizetype& pos)
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

} // namespace vx::fieldparse
