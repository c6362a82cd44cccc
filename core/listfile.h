#pragma once

#include "core/textcodec.h"
#include "core/textlist.h"

#include <QByteArray>
#include <QString>
#include <optional>

// The index and the other list files: one item a line, an item that would not read back alone
// written in double quotes; read as delimited fields.
namespace vx::listfile
{

// The items of the file at `path`, serving the event loop between the steps. A missing file
// holds none; nothing when the file is there but cannot be read. The file's encoding is
// remembered for the next write.
std::optional<TextList> read(const QString& path);

// Replaces the file with the items, in the encoding it was read in (and after its byte order mark
// when it had one) when every item fits it, else in UTF-8, and gives the items as reading the
// file now gives them. Nothing when it could not be written; the old file is then unchanged.
std::optional<TextList> write(const QString& path, const TextList& items);

// The file's bytes, in `form` when every item fits it, else in UTF-8; `used` (when given)
// tells how. `plain` (when given) tells whether reading the bytes back surely gives exactly
// these items: every item plain ASCII without quotes or line breaks, in UTF-8 or Windows-1252.
QByteArray encode(const TextList& items, textcodec::Form form, bool* plain = nullptr,
                  textcodec::Form* used = nullptr);
// The items a list file's bytes hold; `form` (when given) tells how they were read.
TextList decode(const QByteArray& bytes, textcodec::Form* form = nullptr);
// Notes that `bytes`, just written, hold `items`, so reading them back need not parse them.
void rememberWritten(const QByteArray& bytes, const TextList& items);
// The items as decode() gives them, without what it remembers: safe on any thread.
TextList parse(const QByteArray& bytes, textcodec::Form* form = nullptr);
// Notes that `bytes` hold `items`, read as `form` (parsed on another thread).
void rememberParsed(const QByteArray& bytes, const TextList& items, textcodec::Form form);

} // namespace vx::listfile
