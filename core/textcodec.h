#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

// The text encodings of the catalogue's files. Catalogues written on Windows hold Windows-1252
// text; those written here hold UTF-8; a Windows editor may have saved one as UTF-16 ("Unicode").
// A file that starts with a UTF-16 byte order mark is UTF-16 in that byte order; otherwise it is
// read as UTF-8 when its bytes are valid UTF-8, else as Windows-1252, which decodes every byte
// (the five bytes the code page leaves unassigned become the same code points), so no byte is
// ever lost.
namespace vx::textcodec
{

enum class Encoding { Utf8, Windows1252, Utf16LE, Utf16BE };

// How a file's text is stored: its encoding, and whether a byte order mark comes first. UTF-16
// is only ever recognised by its mark; a UTF-8 mark is kept as the file had it.
struct Form {
    Encoding encoding = Encoding::Utf8;
    bool mark = false;
};
bool operator==(Form a, Form b);
inline bool operator!=(Form a, Form b)
{
    return !(a == b);
}

bool isValidUtf8(QByteArrayView bytes);
// The length of the valid UTF-8 sequence at `pos` (< size), or 0 when none starts there.
qsizetype utf8SequenceAt(QByteArrayView bytes, qsizetype pos);
bool isUtf16(Encoding encoding);
// How bytes that carry no mark of their own (a name, a stretch of a file) are read: UTF-8 when
// valid, else Windows-1252.
Encoding detect(QByteArrayView bytes);
// How a whole file is stored: UTF-16 by its mark, else as detect() says.
Form detectForm(QByteArrayView file);
// The mark a file in `form` starts with; empty when it has none.
QByteArrayView markOf(Form form);

// The bytes as text, each character of them (a byte order mark too). UTF-16 units are taken as
// they stand, lone surrogates too; a last odd byte is half a unit whose other half is zero.
QString decode(QByteArrayView bytes, Encoding encoding);
// The bytes as text, read as detect() decides.
QString decode(QByteArrayView bytes);
// A whole file's text, without its mark; `form` (when given) tells how it is stored.
QString decodeFile(QByteArrayView file, Form* form = nullptr);

// The text in `encoding`, or nothing when a character of it has no place in that encoding.
std::optional<QByteArray> encode(QStringView text, Encoding encoding);
// The whole text of a file, its mark first, in `preferred` when every character fits and the
// bytes read back as this text, else in UTF-8 (with the mark when it had one); `used` says how.
QByteArray encodeFile(QStringView text, Form preferred, Form* used = nullptr);

// How the file at `path` was last read or written by this process, so a rewrite keeps it; a
// file never seen (a new file) is UTF-8 without a mark.
Form remembered(const QString& path);
void remember(const QString& path, Form form);

} // namespace vx::textcodec
