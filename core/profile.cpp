#include "core/profile.h"

#include "core/textcodec.h"
#include "core/textfile.h"

namespace vx::profile
{

namespace
{

using textcodec::Encoding;

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == '\x1a';
}

bool isBreak(char c)
{
    return c == '\r' || c == '\n';
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

Line lineAt(const QByteArray& content, qsizetype pos)
{
    Line line;
    line.begin = pos;
    const char* data = content.constData();
    const qsizetype size = content.size();
    qsizetype i = pos;
    while (i < size && !isBreak(data[i]))
        ++i;
    line.end = i;
    if (i < size) {
        line.hasBreak = true;
        i += (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
    }
    line.next = i;
    return line;
}

QByteArrayView trimmedView(QByteArrayView text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && isBlank(text[b]))
        ++b;
    while (e > b && isBlank(text[e - 1]))
        --e;
    return text.sliced(b, e - b);
}

bool sameName(QByteArrayView stored, const QString& wanted, Encoding encoding)
{
    return QString::compare(textcodec::decode(stored, encoding), wanted, Qt::CaseInsensitive) == 0;
}

// Where a (section, key) pair stands in the file, or where it would go.
struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    // The stored value's bytes (key found), without its leading and trailing blanks.
    qsizetype valueBegin = 0;
    qsizetype valueEnd = 0;
    // After this line a missing key is inserted: the section's last key line or its header.
    Line insertAfter;
};

qsizetype bodyStart(const QByteArray& content)
{
    return content.startsWith("\xEF\xBB\xBF") ? 3 : 0;
}

Location locate(const QByteArray& content, const QString& section, const QString& key,
                Encoding encoding)
{
    Location loc;
    const QByteArrayView all(content);
    // Keys before the first header belong to no named section, so nothing matches until then.
    bool inSection = false;
    for (qsizetype pos = bodyStart(content); pos < content.size();) {
        const Line line = lineAt(content, pos);
        pos = line.next;
        const QByteArrayView raw = all.sliced(line.begin, line.end - line.begin);
        const QByteArrayView text = trimmedView(raw);
        const qsizetype close = text.lastIndexOf(']');
        if (text.startsWith('[') && close > 0) {
            if (loc.sectionFound)
                break; // only the first section of the name is searched
            inSection = sameName(trimmedView(text.sliced(1, close - 1)), section, encoding);
            if (inSection) {
                loc.sectionFound = true;
                loc.insertAfter = line;
            }
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = text.indexOf('=');
        if (eq < 0)
            continue;
        loc.insertAfter = line;
        if (!sameName(trimmedView(text.first(eq)), key, encoding))
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

// The bytes stored for a value: one line that reads back as the value. A value the reader would
// change (blanks at an end, or a pair of surrounding quotes it would drop) is stored in quotes.
QString oneLineText(const QString& value)
{
    QString text = value;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

// The text's bytes in an encoding it is known to fit.
QByteArray bytesIn(const QString& text, Encoding encoding)
{
    return textcodec::encode(text, encoding).value_or(text.toUtf8());
}

QByteArray oneLine(const QString& value, Encoding encoding)
{
    QByteArray bytes = bytesIn(oneLineText(value), encoding);
    const bool quoted = bytes.size() >= 2 && (bytes.front() == '"' || bytes.front() == '\'') &&
                        bytes.back() == bytes.front();
    if (!bytes.isEmpty() && (isBlank(bytes.front()) || isBlank(bytes.back()) || quoted))
        bytes = '"' + bytes + '"';
    return bytes;
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

QByteArray spliced(const QByteArray& content, Encoding encoding, const QString& section,
                   const QString& key, const QString& value)
{
    const QByteArray bytes = oneLine(value, encoding);
    const Location loc = locate(content, section, key, encoding);
    QByteArray result = content;
    if (loc.keyFound) {
        const qsizetype length = loc.valueEnd - loc.valueBegin;
        if (QByteArrayView(content).sliced(loc.valueBegin, length) != bytes)
            result.replace(loc.valueBegin, length, bytes);
        return result;
    }
    const QByteArray keyLine = bytesIn(key, encoding) + '=' + bytes + kLineEnd;
    if (loc.sectionFound) {
        const Line& after = loc.insertAfter;
        result.insert(after.next, after.hasBreak ? keyLine : kLineEnd + keyLine);
        return result;
    }
    // A last line without a line end gets one before the new section.
    if (result.size() > bodyStart(result) && !isBreak(result.back()))
        result += kLineEnd;
    result += '[' + bytesIn(section, encoding) + ']' + kLineEnd + keyLine;
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
    const Encoding encoding = textcodec::detect(content);
    const Location loc = locate(content, section, key, encoding);
    if (!loc.keyFound)
        return {};
    QByteArrayView value =
        QByteArrayView(content).sliced(loc.valueBegin, loc.valueEnd - loc.valueBegin);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    return textcodec::decode(value, encoding);
}

QByteArray withValue(const QByteArray& content, const QString& section, const QString& key,
                     const QString& value)
{
    Encoding encoding = textcodec::detect(content);
    return withValueIn(content, encoding, section, key, value);
}

QString asReadBack(const QString& value)
{
    const QByteArray bytes = value.toUtf8();
    QByteArrayView text = trimmedView(bytes);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front())
        text = text.sliced(1, text.size() - 2);
    return QString::fromUtf8(text);
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
    QByteArray content = old.value_or(QByteArray());
    // The encoding the file was read in holds for every value, even when an earlier one leaves
    // the file without a byte that tells.
    Encoding encoding = textcodec::detect(content);
    for (const Entry& entry : entries)
        content = withValueIn(content, encoding, entry.section, entry.key, entry.value);
    if (old && content == *old)
        return true;
    return replaceFile(file, content);
}

} // namespace vx::profile
