#include "core/textcodec.h"

#include "core/textfile.h"

#include <QHash>
#include <QStringDecoder>

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

} // namespace

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

QString decode(QByteArrayView bytes, Encoding encoding)
{
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

std::optional<QByteArray> encode(QStringView text, Encoding encoding)
{
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

QByteArray encodeOrUtf8(QStringView text, Encoding preferred, Encoding* used)
{
    std::optional<QByteArray> bytes = encode(text, preferred);
    // Windows-1252 bytes beyond ASCII that happen to be valid UTF-8 would read back as other
    // text.
    if (!bytes || (preferred == Encoding::Windows1252 &&
                   !isAscii(bytes->constData(), bytes->size()) && isValidUtf8(*bytes))) {
        // Never a mixture: the whole text goes over to UTF-8.
        preferred = Encoding::Utf8;
        bytes = text.toUtf8();
    }
    if (used)
        *used = preferred;
    return *bytes;
}

namespace
{

QHash<QString, Encoding>& rememberedEncodings()
{
    static QHash<QString, Encoding> encodings;
    return encodings;
}

} // namespace

Encoding remembered(const QString& path)
{
    return rememberedEncodings().value(path, Encoding::Utf8);
}

void remember(const QString& path, Encoding encoding)
{
    // Only the few catalogue files are ever named here.
    if (encoding == Encoding::Utf8)
        rememberedEncodings().remove(path);
    else
        rememberedEncodings().insert(path, encoding);
}

} // namespace vx::textcodec
