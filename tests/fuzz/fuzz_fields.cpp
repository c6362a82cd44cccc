// The delimited-field reader: always ends, agrees with a plain reading of the rules, and the
// byte reader and the decoding reader agree field for field.

#include "core/fields.h"
#include "core/textcodec.h"
#include "fuzzcheck.h"
#include "tests/support/fieldreader.h"

#include <QStringList>

namespace
{

bool blank(char c)
{
    return c == ' ' || c == '\t';
}

// The rules read as simply as possible, one character at a time.
QList<QByteArray> reference(const QByteArray& in)
{
    QList<QByteArray> fields;
    const qsizetype n = in.size();
    qsizetype i = 0;
    auto endField = [&] {
        if (i < n && in[i] == ',')
            ++i;
        else if (in.mid(i, 2) == "\r\n")
            i += 2;
        else if (i < n && (in[i] == '\r' || in[i] == '\n'))
            ++i;
    };
    while (i < n) {
        while (i < n && blank(in[i]))
            ++i;
        if (i < n && in[i] == '"') {
            qsizetype close = in.indexOf('"', i + 1);
            if (close < 0)
                close = n;
            fields.append(in.mid(i + 1, close - i - 1));
            i = qMin(close + 1, n);
            while (i < n && blank(in[i]))
                ++i;
        } else {
            qsizetype stop = i;
            while (stop < n && in[stop] != ',' && in[stop] != '\r' && in[stop] != '\n')
                ++stop;
            QByteArray field = in.mid(i, stop - i);
            while (!field.isEmpty() && blank(field.back()))
                field.chop(1);
            fields.append(field);
            i = stop;
        }
        endField();
    }
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));

    vx::FieldReader reader(input);
    QList<QByteArray> raw;
    while (!reader.atEnd()) {
        raw.append(reader.next());
        // Each field takes at least one byte, so there are never more fields than bytes.
        VX_FUZZ_CHECK(raw.size() <= input.size(), "the reader moves on at every field");
    }
    VX_FUZZ_CHECK(raw == reference(input), "the reader follows the rules");

    // A byte order mark at the start is no part of the text. UTF-16 is compared as the same
    // text in UTF-8, which has the same delimiters.
    vx::textcodec::Form form;
    const QString text = vx::textcodec::decodeFile(input, &form);
    const bool wide = vx::textcodec::isUtf16(form.encoding);
    raw.clear();
    for (vx::FieldReader body(wide ? text.toUtf8() : input.mid(vx::textcodec::markOf(form).size()));
         !body.atEnd();)
        raw.append(body.next());
    const QStringList decoded = vx::readFields(input);
    VX_FUZZ_CHECK(decoded.size() == raw.size(), "both readers find the same number of fields");
    // The whole file is read in one encoding.
    for (qsizetype i = 0; i < raw.size(); ++i)
        VX_FUZZ_CHECK(wide ? decoded.at(i).toUtf8() == raw.at(i)
                           : decoded.at(i) == vx::textcodec::decode(raw.at(i), form.encoding),
                      "both readers find the same field");
    return 0;
}
