#pragma once

#include "platform/textlist.h"

#include <QByteArray>
#include <QStringList>

namespace vx
{

// Delimited-field input: comma- and line-separated fields, double-quoted fields may hold commas.
class FieldReader
{
public:
    explicit FieldReader(QByteArray data);

    bool atEnd() const;
    // The next field's raw bytes; call only while !atEnd().
    QByteArray next();

private:
    QByteArray m_data;
    qsizetype m_pos = 0;
};

// Every field of the data, decoded from the locale's encoding.
TextList readFieldTexts(const QByteArray& data);
QStringList readFields(const QByteArray& data);

} // namespace vx
