#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace vx
{

// Catalogue files are 8-bit text in the locale's encoding, as they always were.
QByteArray toLocalBytes(const QString& text);
QString fromLocalBytes(const QByteArray& bytes);
// Plain ASCII is the same text in every local encoding, so it can skip the conversions.
bool isAscii(const char* data, qsizetype size);
bool isAscii(QStringView text);

// The whole file, or nothing when it cannot be opened or read.
std::optional<QByteArray> readWholeFile(const QString& path);

// Replaces the file through a temporary renamed over it, so a failed or interrupted write
// never leaves a truncated file behind. False when nothing was replaced.
bool replaceFile(const QString& path, const QByteArray& bytes);

} // namespace vx
