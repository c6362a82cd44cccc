// The profile writer. After one key is written, reading it gives the value written, as one
// line, and every other key of the file reads as it did before. Input: section NUL key NUL value
// NUL file contents.

#include "core/profile.h"
#include "core/textcodec.h"
#include "fuzzcheck.h"
#include "profilereference.h"

#include <QRegularExpression>

namespace
{

// Names the writer cannot make findable again are outside the property: a name that loses
// blanks at its ends when read, holds a line break, or (a key) holds '=' or would read as a
// section header.
bool writableName(const QByteArray& name, bool isKey)
{
    if (name.contains('\r') || name.contains('\n') || vx::fuzz::profileTrim(name) != name)
        return false;
    return !isKey || (!name.contains('=') && !name.startsWith('['));
}

// A written value reads back whole, as one line: its lines (ended by CR LF, CR or LF) joined by
// one space each.
QString readBack(const QString& written)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return written.split(lineBreak).join(QLatin1Char(' '));
}

QByteArray withValue(const QByteArray& content, const QString& section, const QString& key,
                     const QString& value)
{
    return vx::profile::withValues(content, {vx::profile::Entry{section, key, value}});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> parts = vx::fuzz::splitInput(data, size, 4);
    // Names and values are text in the program, here from UTF-8 or Windows-1252 bytes.
    const QString section = vx::textcodec::decode(parts[0]);
    const QString key = vx::textcodec::decode(parts[1]);
    const QString value = vx::textcodec::decode(parts[2]);
    const QByteArray& content = parts[3];

    const QByteArray written = withValue(content, section, key, value);
    if (!writableName(section.toUtf8(), false) || !writableName(key.toUtf8(), true))
        return 0;

    // A Windows-1252 file that cannot hold the new text goes over to UTF-8 whole.
    using vx::textcodec::Encoding;
    const bool fits =
        vx::textcodec::encode(section + key + readBack(value), Encoding::Windows1252).has_value();
    if (vx::textcodec::detectForm(content).encoding == Encoding::Windows1252 && !fits)
        VX_FUZZ_CHECK(vx::textcodec::isValidUtf8(written), "never a mixture of encodings");

    VX_FUZZ_CHECK(vx::profile::valueIn(written, section, key) == readBack(value),
                  "the written key reads back as one line");

    for (const auto& [s, k] :
         vx::fuzz::referencePairs(vx::fuzz::asBytewise(content).value_or(QByteArray()))) {
        if (s.compare(section, Qt::CaseInsensitive) == 0 &&
            k.compare(key, Qt::CaseInsensitive) == 0)
            continue;
        VX_FUZZ_CHECK(vx::profile::valueIn(written, s, k) == vx::profile::valueIn(content, s, k),
                      "every other key reads as before");
    }

    VX_FUZZ_CHECK(withValue(written, section, key, value) == written,
                  "a second write of the same value changes nothing");
    return 0;
}
