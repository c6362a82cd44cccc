// The size conversion: never fails, stays in range, agrees with exact arithmetic on plain
// decimals, and reads its own output back.

#include "core/number.h"
#include "core/textfile.h"
#include "fuzzcheck.h"

#include <QRegularExpression>

namespace
{

struct Expected {
    bool known = false; // the text is a plain decimal the reference can work out
    std::optional<int> value;
};

// Plain decimals ("-0012", "+7.250") worked out exactly with whole numbers: the value times
// 10^digits, rounded half to even. Unknown when the text is no plain decimal or too long for it.
Expected reference(const QString& text)
{
    static const QRegularExpression plain(
        QStringLiteral("^ *([+-]?)([0-9]{0,9})(?:\\.([0-9]{0,6}))? *$"));
    const auto match = plain.match(text);
    if (!match.hasMatch())
        return {};
    const QString whole = match.captured(2);
    const QString fraction = match.captured(3);
    if (whole.isEmpty() && fraction.isEmpty())
        return {true, std::nullopt}; // no digit at all
    qint64 scale = 1;
    for (qsizetype i = 0; i < fraction.size(); ++i)
        scale *= 10;
    const qint64 scaled = whole.toLongLong() * scale + fraction.toLongLong();
    qint64 rounded = scaled / scale;
    const qint64 twiceRest = 2 * (scaled % scale);
    if (twiceRest > scale || (twiceRest == scale && rounded % 2 == 1))
        ++rounded;
    if (match.captured(1) == QLatin1String("-"))
        rounded = -rounded;
    if (rounded < -32768 || rounded > 32767)
        return {true, std::nullopt};
    return {true, int(rounded)};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text =
        QString::fromUtf8(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    const std::optional<int> value = vx::toInt16(text);
    if (value)
        VX_FUZZ_CHECK(*value >= -32768 && *value <= 32767, "a size is a 16-bit whole number");

    if (const Expected expected = reference(text); expected.known)
        VX_FUZZ_CHECK(value == expected.value, "plain decimals convert exactly");

    if (value) {
        VX_FUZZ_CHECK(vx::toInt16(QString::number(*value)) == value,
                      "the stored form reads back as itself");
        VX_FUZZ_CHECK(vx::toInt16(QStringLiteral("  ") + text + QStringLiteral(" ")) == value,
                      "blanks around a size change nothing");
    }
    return 0;
}
