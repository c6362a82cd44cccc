#include "core/textcodec.h"

#include "core/textfile.h"

#include <QHash>
#include <QMutex>
#include <QStringDecoder>
#include <QtEndian>

namespace vx::textcodec
{

namespace
{

// Windows-1252 from 0x80 to 0x9F; every other byte is its own code point (ASCII below, Latin-1
// above). The five bytes the code page leaves unassigned keep their own code points too.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// The byte for a character, or -1 when Windows-1252 has none.
int windows1252Byte(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i) {
        if (kHigh[i] == c)
            return 0x80 + i;
    }
    return -1;
}

const QByteArrayView kUtf8Mark("\xEF\xBB\xBF");
const QByteArrayView kUtf16LEMark("\xFF\xFE");
const QByteArrayView kUtf16BEMark("\xFE\xFF");

QString decodeUtf16(QByteArrayView bytes, Encoding encoding)
{
    const bool odd = bytes.size() % 2 != 0;
    const qsizetype whole = bytes.size() / 2;
    QString text(whole + (odd ? 1 : 0), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    // Units are copied as they stand: a lone surrogate is kept to be written back.
    if (encoding == Encoding::Utf16LE)
        qFromLittleEndian<char16_t>(bytes.data(), whole, out);
    else
        qFromBigEndian<char16_t>(bytes.data(), whole, out);
    if (odd) {
        // A file cut inside a unit keeps its last byte, in its place.
        const auto last = char16_t(uchar(bytes.back()));
        out[whole] = encoding == Encoding::Utf16LE ? last : char16_t(last << 8);
    }
    return text;
}

QByteArray encodeUtf16(QStringView text, Encoding encoding)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    if (encoding == Encoding::Utf16LE)
        qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    else
        qToBigEndian<char16_t>(text.utf16(), text.size(), bytes.data());
    return bytes;
}

} // namespace

bool isUtf16(Encoding encoding)
{
    return encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE;
}

bool operator==(Form a, Form b)
{
    return a.encoding == b.encoding && a.mark == b.mark;
}

qsizetype utf8SequenceAt(QByteArrayView bytes, qsizetype pos)
{
    const auto* data = reinterpret_cast<const uchar*>(bytes.data());
    const uchar lead = data[pos];
    if (lead < 0x80)
        return 1;
    int follow;
    char32_t code;
    char32_t least;
    if (lead >= 0xC2 && lead <= 0xDF) {
        follow = 1;
        code = lead & 0x1F;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        follow = 2;
        code = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        follow = 3;
        code = lead & 0x07;
        least = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() - pos <= follow)
        return 0;
    for (int k = 1; k <= follow; ++k) {
        const uchar next = data[pos + k];
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and code points past Unicode are no UTF-8.
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return follow + 1;
}

bool isValidUtf8(QByteArrayView bytes)
{
    // Qt's check runs through ASCII many bytes a step and agrees with utf8SequenceAt: no overlong
    // forms, surrogates or code points past Unicode.
    return bytes.isValidUtf8();
}

Encoding detect(QByteArrayView bytes)
{
    return isValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Windows1252;
}

Form detectForm(QByteArrayView file)
{
    if (file.startsWith(kUtf16LEMark))
        return {Encoding::Utf16LE, true};
    if (file.startsWith(kUtf16BEMark))
        return {Encoding::Utf16BE, true};
    return {detect(file), file.startsWith(kUtf8Mark)};
}

QByteArrayView markOf(Form form)
{
    switch (form.encoding) {
    case Encoding::Utf16LE:
        return kUtf16LEMark;
    case Encoding::Utf16BE:
        return kUtf16BEMark;
    case Encoding::Utf8:
    case Encoding::Windows1252:
        break;
    }
    return form.mark ? kUtf8Mark : QByteArrayView();
}

QString decode(QByteArrayView bytes, Encoding encoding)
{
    if (isUtf16(encoding))
        return decodeUtf16(bytes, encoding);
    if (encoding == Encoding::Utf8) {
        // QString::fromUtf8 would drop a byte order mark at the start of any stretch.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(bytes);
    }
    // Latin-1 but for 0x80 to 0x9F: converted in one fast step, then those few put right.
    QString text = QString::fromLatin1(bytes);
    const char* in = bytes.data();
    char16_t* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const uchar b = uchar(in[i]);
        if ((b & 0xE0) == 0x80)
            out[i] = kHigh[b - 0x80];
    }
    return text;
}

QString decode(QByteArrayView bytes)
{
    return decode(bytes, detect(bytes));
}

QString decodeFile(QByteArrayView file, Form* form)
{
    const Form found = detectForm(file);
    if (form)
        *form = found;
    return decode(file.sliced(markOf(found).size()), found.encoding);
}

std::optional<QByteArray> encode(QStringView text, Encoding encoding)
{
    if (isUtf16(encoding))
        return encodeUtf16(text, encoding);
    if (encoding == Encoding::Utf8)
        return text.toUtf8();
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text) {
        const int b = windows1252Byte(c.unicode());
        if (b < 0)
            return std::nullopt;
        *out++ = char(b);
    }
    return bytes;
}

QByteArray encodeFile(QStringView text, Form preferred, Form* used)
{
    std::optional<QByteArray> bytes = encode(text, preferred.encoding);
    // Windows-1252 bytes beyond ASCII that happen to be valid UTF-8 would read back as other
    // text.
    if (!bytes || (preferred.encoding == Encoding::Windows1252 &&
                   !isAscii(bytes->constData(), bytes->size()) && isValidUtf8(*bytes))) {
        // Never a mixture: the whole text goes over to UTF-8.
        preferred.encoding = Encoding::Utf8;
        bytes = text.toUtf8();
    }
    preferred.mark = !markOf(preferred).isEmpty();
    if (used)
        *used = preferred;
    if (preferred.mark)
        bytes->prepend(markOf(preferred));
    return *bytes;
}

namespace
{

// An import writes on a thread of its own while the windows read.
QMutex formsMutex;

QHash<QString, Form>& rememberedForms()
{
    static QHash<QString, Form> forms;
    return forms;
}

} // namespace

Form remembered(const QString& path)
{
    const QMutexLocker lock(&formsMutex);
    return rememberedForms().value(path, Form());
}

void remember(const QString& path, Form form)
{
    // Only the few catalogue files are ever named here.
    const QMutexLocker lock(&formsMutex);
    if (form == Form())
        rememberedForms().remove(path);
    else
        rememberedForms().insert(path, form);
}

} // namespace vx::textcodec
