#pragma once

#include "platform/textcodec.h"
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

// Every field of the data, read as UTF-8 when it is valid UTF-8, else as Windows-1252;
// `encoding` (when given) tells which.
TextList readFieldTexts(const QByteArray& data, textcodec::Encoding* encoding = nullptr);
QStringList readFields(const QByteArray& data);

} // namespace vx
