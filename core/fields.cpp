#include "core/fields.h"

#include "core/fieldparse.h"
#include "core/textcodec.h"
#include "core/textfile.h"

namespace vx
{

TextList readFieldTexts(const QByteArray& data, textcodec::Encoding* encoding)
{
    QList<TextList::Span> spans;
    auto spansOver = [&spans, &data](const auto* chars, qsizetype size) {
        // About one field per line in the catalogue's lists; written in place, grown if short.
        spans.resize(data.count('\n') + 1);
        TextList::Span* out = spans.data();
        qsizetype count = 0;
        for (qsizetype pos = 0; pos < size;) {
            const fieldparse::Span span = fieldparse::nextField(chars, size, pos);
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

} // namespace vx
