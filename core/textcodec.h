#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// The text encodings of the catalogue's files. Catalogues written on Windows hold Windows-1252
// text; those written here hold UTF-8. A file is read as UTF-8 when its bytes are valid UTF-8,
// otherwise as Windows-1252, which decodes every byte (the five bytes the code page leaves
// unassigned become the same code points), so no byte is ever lost.
namespace vx::textcodec
{

enum class Encoding { Utf8, Windows1252 };

bool isValidUtf8(QByteArrayView bytes);
// The length of the valid UTF-8 sequence at `pos` (< size), or 0 when none starts there.
qsizetype utf8SequenceAt(QByteArrayView bytes, qsizetype pos);
// How the bytes are read.
Encoding detect(QByteArrayView bytes);

// The bytes as text, each character of them (a byte order mark too).
QString decode(QByteArrayView bytes, Encoding encoding);
// The bytes as text, read as detect() decides.
QString decode(QByteArrayView bytes);

// The text in `encoding`, or nothing when a character of it has no place in that encoding.
std::optional<QByteArray> encode(QStringView text, Encoding encoding);
// The whole text of a file in `preferred` when every character fits and the bytes read back as
// this text, else in UTF-8; `used` says which.
QByteArray encodeOrUtf8(QStringView text, Encoding preferred, Encoding* used = nullptr);

// How the file at `path` was last read or written by this process, so a rewrite keeps it; a
// file never seen (a new file) is UTF-8.
Encoding remembered(const QString& path);
void remember(const QString& path, Encoding encoding);

} // namespace vx::textcodec
