#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names here are bytes, read as UTF-8. A catalogue unpacked from an archive made on Windows
// can hold names whose bytes are no UTF-8; Qt's file classes would turn them into U+FFFD and miss
// the file. Such a byte travels in a path as the lone surrogate U+DC00 + byte instead, and the
// catalogue's own file functions (textfile.h) turn it back.
namespace vx
{

// The bytes the system knows the path by.
QByteArray nativePath(const QString& path);
// A path from the system's bytes; every byte survives the trip back through nativePath.
QString pathFromNative(QByteArrayView native);
// Whether the path holds bytes that are no UTF-8, which Qt's file classes cannot reach.
bool hasForeignBytes(const QString& path);

} // namespace vx
