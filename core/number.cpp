#include "core/number.h"

#include <QLocale>

namespace vx
{

namespace
{

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The decimal point at `pos`, if any: '.' always, and the user's locale's.
qsizetype decimalPointAt(const QString& text, qsizetype pos)
{
    if (text.at(pos) == QLatin1Char('.'))
        return 1;
    const QString local = QLocale().decimalPoint();
    return !local.isEmpty() && QStringView(text).sliced(pos).startsWith(local) ? local.size() : 0;
}

} // namespace

// The digits are read exactly, never through a double, so a half is a half (12345.5 → 12346,
// 2.5 → 2). Exponent forms ("1e3"), thousands separators and hex are not numbers here: the size
// box only ever holds plain decimals, and accepting less keeps typing slips out of the catalogue.
std::optional<int> toInt16(const QString& input)
{
    const QString text = input.trimmed();
    qsizetype pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == QLatin1Char('-') || text[pos] == QLatin1Char('+')))
        negative = text[pos++] == QLatin1Char('-');

    // Whole part, capped: anything past 6 digits is out of range anyway.
    qint64 whole = 0;
    qsizetype digits = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos, ++digits)
        whole = qMin<qint64>(whole * 10 + (text[pos].unicode() - '0'), 1000000);

    // Fraction: only how it compares with one half matters.
    int half = -1; // -1 below a half, 0 exactly a half, 1 above
    if (pos < text.size()) {
        // Anything but a decimal point here is left over and refused below.
        pos += decimalPointAt(text, pos);
        bool first = true;
        for (; pos < text.size() && isDigit(text[pos]); ++pos, ++digits, first = false) {
            const int d = text[pos].unicode() - '0';
            if (first)
                half = d < 5 ? -1 : d > 5 ? 1 : 0;
            else if (half == 0 && d != 0)
                half = 1;
        }
    }
    if (digits == 0 || pos != text.size())
        return std::nullopt;

    if (half > 0 || (half == 0 && whole % 2 == 1))
        ++whole;
    const qint64 value = negative ? -whole : whole;
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return int(value);
}

} // namespace vx
