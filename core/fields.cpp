#include "core/fields.h"

#include "core/fieldparse.h"
#include "core/textcodec.h"
#include "core/textfile.h"

namespace vx
{

TextList readFieldTexts(const QByteArray& data, textcodec::Form* form)
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
        if (form)
            *form = textcodec::Form();
        spansOver(data.constData(), data.size());
        return TextList(QString::fromLatin1(data), std::move(spans));
    }

    // One decode of the whole text is several times faster than one per field and gives the
    // same fields: the delimiters are ASCII, which no encoding here uses for anything else. The
    // fields are then stretches of that one text. A byte order mark is no part of it.
    QString text = textcodec::decodeFile(data, form);
    spansOver(text.constData(), text.size());
    return TextList(std::move(text), std::move(spans));
}

} // namespace vx
