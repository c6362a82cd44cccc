#pragma once

#include <QString>
#include <QStringList>

namespace vxbench
{

// A catalogue laid out as the program keeps it, in `folder`: vx.log with an export folder,
// bin/bootlist.lst of `entries` names (half of them repeats, in shuffled order, after the empty
// first line) and one record a distinct name. Every record names `romPath` and `imagePath`.
struct Catalogue {
    QString folder;
    QString exportFolder;
    QStringList distinct;
    int entries = 0;
};

Catalogue makeCatalogue(const QString& folder, int entries, const QString& romPath,
                        const QString& imagePath);

// A file of `bytes` bytes of varied content (a ROM).
bool makeRom(const QString& path, qint64 bytes);
// A small picture, as a game's box art would be.
bool makePicture(const QString& path);

} // namespace vxbench
