#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Profile (INI) files with the semantics the catalogue's files were written with: names compare
// without regard to case, the first section and the first key of a name win, values are trimmed
// and lose one pair of surrounding quotes. A write replaces one value or appends one key or
// section and keeps every other byte of the file.
namespace vx::profile
{

struct Entry {
    QString section;
    QString key;
    QString value;
};

// On file contents, for callers that already hold the bytes; the values are applied in order.
QString valueIn(const QByteArray& content, const QString& section, const QString& key);
QByteArray withValues(const QByteArray& content, const QList<Entry>& entries);

// The stored value, whole; empty when the file, section or key is missing.
QString read(const QString& file, const QString& section, const QString& key);

// One value; a line break in it is stored as one space so it stays one line.
// False when the file could not be replaced (it is then untouched).
bool write(const QString& file, const QString& section, const QString& key, const QString& value);

// What reading back a value written as `value` gives: trimmed, one pair of quotes dropped.
QString asReadBack(const QString& value);

// Several values applied in order, as separate writes would, in one replacement of the file.
bool writeAll(const QString& file, const QList<Entry>& entries);

} // namespace vx::profile
