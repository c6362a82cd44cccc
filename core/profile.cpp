#include "core/profile.h"

#include "core/textcodec.h"
#include "core/textfile.h"

#include <type_traits>

namespace vx::profile
{

namespace
{

using textcodec::Encoding;

// A file's text is worked on in its own units: the bytes of a UTF-8 or Windows-1252 file, so
// every byte stays as it was, or the 16-bit units of a UTF-16 one. Every character the rules
// look for is ASCII, one unit in either.
template <typename Text> struct Units;

template <> struct Units<QByteArray> {
    using View = QByteArrayView;
    using Ch = char;
    static QByteArray ascii(const char* text) { return QByteArray(text); }
    // The text's bytes in an encoding it is known to fit.
    static QByteArray from(const QString& text, Encoding encoding)
    {
        return textcodec::encode(text, encoding).value_or(text.toUtf8());
    }
    static QString text(QByteArrayView units, Encoding encoding)
    {
        return textcodec::decode(units, encoding);
    }
};

template <> struct Units<QString> {
    using View = QStringView;
    using Ch = QChar;
    static QString ascii(const char* text) { return QString::fromLatin1(text); }
    static QString from(const QString& text, Encoding /*encoding*/) { return text; }
    static QString text(QStringView units, Encoding /*encoding*/) { return units.toString(); }
};

template <typename Text> using View = typename Units<Text>::View;

char16_t unit(char c)
{
    return uchar(c);
}

char16_t unit(QChar c)
{
    return c.unicode();
}

template <typename C> bool isBlank(C c)
{
    const char16_t u = unit(c);
    return u == ' ' || u == '\t' || u == '\r' || u == '\n' || u == '\v' || u == '\f' || u == 0x1a;
}

template <typename C> bool isBreak(C c)
{
    const char16_t u = unit(c);
    return u == '\r' || u == '\n';
}

template <typename C> bool isQuote(C c)
{
    const char16_t u = unit(c);
    return u == '"' || u == '\'';
}

// One line of the file: [begin, end) is its text without the line break, `next` the start of
// the following line. A line break is CR LF, CR or LF; a run of them only adds blank lines,
// which hold nothing, so reading is the same as splitting at any run.
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
    bool hasBreak = false;
};

template <typename Text> Line lineAt(const Text& content, qsizetype pos)
{
    Line line;
    line.begin = pos;
    const auto* data = content.constData();
    const qsizetype size = content.size();
    qsizetype i = pos;
    while (i < size && !isBreak(data[i]))
        ++i;
    line.end = i;
    if (i < size) {
        line.hasBreak = true;
        i += (unit(data[i]) == '\r' && i + 1 < size && unit(data[i + 1]) == '\n') ? 2 : 1;
    }
    line.next = i;
    return line;
}

template <typename V> V trimmedView(V text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.sliced(b, e - b);
}

// The value's text without one pair of surrounding quotes.
template <typename V> V unquoted(V value)
{
    if (value.size() >= 2 && isQuote(value.front()) && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

template <typename Text> bool sameName(View<Text> stored, const QString& wanted, Encoding encoding)
{
    return QString::compare(Units<Text>::text(stored, encoding), wanted, Qt::CaseInsensitive) == 0;
}

// Where a (section, key) pair stands in the file, or where it would go.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    // The stored value's units (key found), without its leading and trailing blanks.
    qsizetype valueBegin = 0;
    qsizetype valueEnd = 0;
    // After this line a missing key is inserted: the section's last key line or its header.
    Line insertAfter;
};

// Where the text starts: after a UTF-8 byte order mark. A UTF-16 file's mark is set aside
// before its units come here.
template <typename Text> qsizetype bodyStart(const Text& content)
{
    if constexpr (std::is_same_v<Text, QByteArray>)
        return content.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    else
        return 0;
}

template <typename Text>
Location locate(const Text& content, const QString& section, const QString& key, Encoding encoding)
{
    using Ch = typename Units<Text>::Ch;
    Location loc;
    const View<Text> all(content);
    // Keys before the first header belong to no named section, so nothing matches until then.
    bool inSection = false;
    for (qsizetype pos = bodyStart(content); pos < content.size();) {
        const Line line = lineAt(content, pos);
        pos = line.next;
        const View<Text> raw = all.sliced(line.begin, line.end - line.begin);
        const View<Text> text = trimmedView(raw);
        const qsizetype close = text.lastIndexOf(Ch(u']'));
        if (text.startsWith(Ch(u'[')) && close > 0) {
            if (loc.sectionFound)
                break; // only the first section of the name is searched
            inSection = sameName<Text>(trimmedView(text.sliced(1, close - 1)), section, encoding);
            if (inSection) {
                loc.sectionFound = true;
                loc.insertAfter = line;
            }
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = text.indexOf(Ch(u'='));
        if (eq < 0)
            continue;
        loc.insertAfter = line;
        if (!sameName<Text>(trimmedView(text.first(eq)), key, encoding))
            continue;
        // Back from views to offsets in the file.
        const qsizetype textBegin = line.begin + (text.data() - raw.data());
        qsizetype vb = textBegin + eq + 1;
        const qsizetype ve = textBegin + text.size();
        while (vb < ve && isBlank(content[vb]))
            ++vb;
        loc.keyFound = true;
        loc.valueBegin = vb;
        loc.valueEnd = ve;
        break; // the first key of the name wins
    }
    return loc;
}

template <typename Text>
QString valueInText(const Text& content, Encoding encoding, const QString& section,
                    const QString& key)
{
    const Location loc = locate(content, section, key, encoding);
    if (!loc.keyFound)
        return {};
    const View<Text> value =
        View<Text>(content).sliced(loc.valueBegin, loc.valueEnd - loc.valueBegin);
    return Units<Text>::text(unquoted(value), encoding);
}

// A value's line breaks, each one space: a value is one line of the file.
QString oneLineText(const QString& value)
{
    QString text = value;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// The bytes stored for a value: one line that reads back as the value. A value the reader would
// change (blanks at an end, or a pair of surrounding quotes it would drop) is stored in quotes.
template <typename Text> Text oneLine(const QString& value, Encoding encoding)
{
    Text stored = Units<Text>::from(oneLineText(value), encoding);
    const bool quoted =
        stored.size() >= 2 && isQuote(stored.front()) && stored.back() == stored.front();
    if (!stored.isEmpty() && (isBlank(stored.front()) || isBlank(stored.back()) || quoted))
        return Units<Text>::ascii("\"") + stored + Units<Text>::ascii("\"");
    return stored;
}

bool fits(const QString& text, Encoding encoding)
{
    return textcodec::encode(text, encoding).has_value();
}

void toUtf8(QByteArray& content, Encoding& encoding)
{
    const qsizetype bom = bodyStart(content);
    content = content.first(bom) + textcodec::decode(content.sliced(bom), encoding).toUtf8();
    encoding = Encoding::Utf8;
}

template <typename Text>
Text spliced(const Text& content, Encoding encoding, const QString& section, const QString& key,
             const QString& value)
{
    using U = Units<Text>;
    const Text lineEnd = U::ascii("\r\n");
    const Text stored = oneLine<Text>(value, encoding);
    const Location loc = locate(content, section, key, encoding);
    Text result = content;
    if (loc.keyFound) {
        const qsizetype length = loc.valueEnd - loc.valueBegin;
        if (View<Text>(content).sliced(loc.valueBegin, length) != stored)
            result.replace(loc.valueBegin, length, stored);
        return result;
    }
    const Text keyLine = U::from(key, encoding) + U::ascii("=") + stored + lineEnd;
    if (loc.sectionFound) {
        const Line& after = loc.insertAfter;
        result.insert(after.next, after.hasBreak ? keyLine : lineEnd + keyLine);
        return result;
    }
    // A last line without a line end gets one before the new section.
    if (result.size() > bodyStart(result) && !isBreak(result.back()))
        result += lineEnd;
    result += U::ascii("[") + U::from(section, encoding) + U::ascii("]") + lineEnd + keyLine;
    return result;
}

// The file with the value written, in `encoding` when the new text fits it. A Windows-1252 file
// that is to hold a character the code page lacks goes over to UTF-8 as a whole, never a mixture
// of the two; so does one whose new bytes would read back as other text in UTF-8.
QByteArray withValueIn(const QByteArray& original, Encoding& encoding, const QString& section,
                       const QString& key, const QString& value)
{
    QByteArray content = original;
    if (encoding == Encoding::Windows1252 &&
        !(fits(section, encoding) && fits(key, encoding) && fits(oneLineText(value), encoding)))
        toUtf8(content, encoding);
    QByteArray result = spliced(content, encoding, section, key, value);
    if (encoding == Encoding::Windows1252 && textcodec::isValidUtf8(result) &&
        !isAscii(result.constData(), result.size())) {
        toUtf8(content, encoding);
        result = spliced(content, encoding, section, key, value);
    }
    return result;
}

} // namespace

QString valueIn(const QByteArray& content, const QString& section, const QString& key)
{
    const Encoding encoding = textcodec::detectForm(content).encoding;
    if (textcodec::isUtf16(encoding))
        return valueInText(textcodec::decodeFile(content), encoding, section, key);
    return valueInText(content, encoding, section, key);
}

QByteArray withValues(const QByteArray& content, const QList<Entry>& entries)
{
    const textcodec::Form form = textcodec::detectForm(content);
    if (textcodec::isUtf16(form.encoding)) {
        // Worked on in its units and written back in them after its mark: every character fits.
        const QByteArrayView mark = textcodec::markOf(form);
        const QString before =
            textcodec::decode(QByteArrayView(content).sliced(mark.size()), form.encoding);
        QString text = before;
        for (const Entry& entry : entries)
            text = spliced(text, form.encoding, entry.section, entry.key, entry.value);
        // Unchanged text keeps its bytes, even a last odd byte.
        if (text == before)
            return content;
        return mark.toByteArray() + *textcodec::encode(text, form.encoding);
    }
    // The encoding the file was read in holds for every value, even when an earlier one leaves
    // the file without a byte that tells.
    Encoding encoding = form.encoding;
    QByteArray result = content;
    for (const Entry& entry : entries)
        result = withValueIn(result, encoding, entry.section, entry.key, entry.value);
    return result;
}

QString asReadBack(const QString& value)
{
    const QByteArray bytes = value.toUtf8();
    return QString::fromUtf8(unquoted(trimmedView(QByteArrayView(bytes))));
}

QString read(const QString& file, const QString& section, const QString& key)
{
    const std::optional<QByteArray> content = readWholeFile(file);
    return content ? valueIn(*content, section, key) : QString();
}

bool write(const QString& file, const QString& section, const QString& key, const QString& value)
{
    return writeAll(file, {Entry{section, key, value}});
}

bool writeAll(const QString& file, const QList<Entry>& entries)
{
    if (entries.isEmpty())
        return true;
    const std::optional<QByteArray> old = readWholeFile(file);
    // A file that exists but cannot be read must not be replaced by a near-empty one.
    if (!old && pathTaken(file))
        return false;
    const QByteArray content = withValues(old.value_or(QByteArray()), entries);
    if (old && content == *old)
        return true;
    return replaceFile(file, content);
}

} // namespace vx::profile
