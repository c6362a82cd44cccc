#pragma once

// The profile reading rules written as plainly as possible, to check the real reader against.

#include "core/textcodec.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace vx::fuzz
{

inline bool profileBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f' || c == 0x1a;
}

inline QByteArray profileTrim(QByteArray text)
{
    while (!text.isEmpty() && profileBlank(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && profileBlank(text.back()))
        text.chop(1);
    return text;
}

inline QList<QByteArray> profileLines(QByteArray content)
{
    if (content.startsWith("\xEF\xBB\xBF"))
        content.remove(0, 3);
    content.replace('\r', '\n');
    QList<QByteArray> lines;
    for (const QByteArray& line : content.split('\n'))
        lines.append(profileTrim(line));
    return lines;
}

// A UTF-16 file is checked as the same text in UTF-8, where the rules see the same characters;
// nothing when the text has lone surrogates, which UTF-8 cannot hold.
inline std::optional<QByteArray> asBytewise(const QByteArray& content)
{
    if (!textcodec::isUtf16(textcodec::detectForm(content).encoding))
        return content;
    const QByteArray utf8 = textcodec::decodeFile(content).toUtf8();
    if (QString::fromUtf8(utf8) != textcodec::decodeFile(content))
        return std::nullopt;
    return utf8;
}

// A file is read as UTF-8 when it is valid UTF-8, else as Windows-1252.
inline QString textOf(const QByteArray& bytes, const QByteArray& content)
{
    return textcodec::decode(bytes, textcodec::isValidUtf8(content)
                                        ? textcodec::Encoding::Utf8
                                        : textcodec::Encoding::Windows1252);
}

inline bool sameName(const QByteArray& stored, const QString& wanted, const QByteArray& content)
{
    return textOf(stored, content).compare(wanted, Qt::CaseInsensitive) == 0;
}

// A header's name, or nothing for a line that is no header.
inline std::optional<QByteArray> headerName(const QByteArray& line)
{
    const qsizetype close = line.lastIndexOf(']');
    if (!line.startsWith('[') || close <= 0)
        return std::nullopt;
    return profileTrim(line.mid(1, close - 1));
}

inline QString referenceValue(const QByteArray& content, const QString& section, const QString& key)
{
    bool seenSection = false;
    bool inSection = false;
    for (const QByteArray& line : profileLines(content)) {
        if (const auto name = headerName(line)) {
            if (seenSection)
                return {};
            inSection = sameName(*name, section, content);
            seenSection = inSection;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inSection || eq < 0 || !sameName(profileTrim(line.left(eq)), key, content))
            continue;
        QByteArray value = profileTrim(line.mid(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        return textOf(value, content);
    }
    return {};
}

// Every (section, key) named in the file, in order; at most `limit` of them.
inline QList<QPair<QString, QString>> referencePairs(const QByteArray& content, int limit = 64)
{
    QList<QPair<QString, QString>> pairs;
    QString section;
    bool inSection = false;
    for (const QByteArray& line : profileLines(content)) {
        if (const auto name = headerName(line)) {
            section = textOf(*name, content);
            inSection = true;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inSection || eq < 0)
            continue;
        pairs.append({section, textOf(profileTrim(line.left(eq)), content)});
        if (pairs.size() >= limit)
            break;
    }
    return pairs;
}

} // namespace vx::fuzz
