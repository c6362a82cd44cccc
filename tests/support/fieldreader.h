#pragma once

#include "core/fieldparse.h"
#include "core/fields.h"

#include <QByteArray>
#include <QStringList>

// The list reader's parser on raw bytes and as plain strings, for the tests and fuzz targets
// that compare the two.
namespace vx
{

// The fields of the data one by one, as bytes, without decoding.
class FieldReader
{
public:
    explicit FieldReader(QByteArray data) : m_data(std::move(data)) {}

    bool atEnd() const { return m_pos >= m_data.size(); }
    // The next field's raw bytes; call only while !atEnd().
    QByteArray next()
    {
        const fieldparse::Span span =
            fieldparse::nextField(m_data.constData(), m_data.size(), m_pos);
        return m_data.sliced(span.begin, span.size);
    }

private:
    QByteArray m_data;
    qsizetype m_pos = 0;
};

inline QStringList readFields(const QByteArray& data)
{
    return readFieldTexts(data).toStringList();
}

} // namespace vx
