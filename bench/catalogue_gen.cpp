#include "bench/catalogue_gen.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <algorithm>
#include <random>

namespace vxbench
{

namespace
{

const char* const kWords[] = {
    "Super",   "Mario",   "Kart",  "Legend",   "Zelda",   "Star",      "Fox",      "Wave",
    "Race",    "Golden",  "Eye",   "Banjo",    "Tooie",   "Donkey",    "Kong",     "Perfect",
    "Dark",    "Jet",     "Force", "Gemini",   "Pilot",   "Wings",     "Blast",    "Corps",
    "Extreme", "Rally",   "Turok", "Dinosaur", "Hunter",  "Rogue",     "Squadron", "Smash",
    "Bros",    "Paper",   "Party", "Tennis",   "Golf",    "Snowboard", "Kids",     "Harvest",
    "Moon",    "Ocarina", "Time",  "Majora",   "Mask",    "Conker",    "Bad",      "Fur",
    "Day",     "Yoshi",   "Story", "Kirby",    "Crystal", "Shards",    "Pokemon",  "Stadium",
    "Snap",    "Excite",  "Bike",  "Cruis'n",  "World",   "Blitz",     "Hydro",    "Thunder",
};
const char* const kTags[] = {"(U)", "(E)", "(J)", "(U) [!]", "(E) [!]", "(M3)", "(Beta)", ""};

QString gameName(int i, QRandomGenerator& random)
{
    const int words = 2 + int(random.bounded(4));
    QStringList parts;
    for (int w = 0; w < words; ++w)
        parts << QString::fromLatin1(kWords[random.bounded(int(std::size(kWords)))]);
    // The number keeps every name distinct, as a sequel or a revision would.
    parts << QString::number(i + 1);
    const QString tag = QString::fromLatin1(kTags[random.bounded(int(std::size(kTags)))]);
    if (!tag.isEmpty())
        parts << tag;
    return parts.join(QLatin1Char(' '));
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

} // namespace

Catalogue makeCatalogue(const QString& folder, int entries, const QString& romPath,
                        const QString& imagePath)
{
    Catalogue cat;
    cat.folder = folder;
    cat.entries = entries;
    cat.exportFolder = folder + QStringLiteral("/export");
    QDir().mkpath(folder + QStringLiteral("/bin"));
    QDir().mkpath(cat.exportFolder);

    writeBytes(folder + QStringLiteral("/vx.log"),
               QByteArrayLiteral("[info]\r\nruns=1\r\n[dir]\r\nmade=bin\r\n[file]\r\nmade=1\r\n"
                                 "[export]\r\npath=") +
                   cat.exportFolder.toLocal8Bit() + QByteArrayLiteral("\r\n"));

    QRandomGenerator random(20240601u + quint32(entries));
    const int distinctCount = (entries + 1) / 2;
    cat.distinct.reserve(distinctCount);
    for (int i = 0; i < distinctCount; ++i)
        cat.distinct << gameName(i, random);

    // Every distinct name once, the other half repeats of random names, all shuffled.
    QStringList lines = cat.distinct;
    lines.reserve(entries);
    while (lines.size() < entries)
        lines << cat.distinct.at(random.bounded(distinctCount));
    std::shuffle(lines.begin(), lines.end(), std::mt19937(entries));

    QByteArray index = "\r\n";
    for (const QString& name : lines)
        index += name.toLocal8Bit() + "\r\n";
    writeBytes(folder + QStringLiteral("/bin/bootlist.lst"), index);

    const char* const types[] = {"US", "JAP", "PAL", "Other!"};
    const char* const sizes[] = {"64", "96", "128", "256", "320"};
    for (int i = 0; i < distinctCount; ++i) {
        const QString& name = cat.distinct.at(i);
        QByteArray record =
            "[paths]\r\nfile=" + romPath.toLocal8Bit() + "\r\nimage=" + imagePath.toLocal8Bit() +
            "\r\n[info]\r\ngamename=" + name.toLocal8Bit() + "\r\ngametype=" + types[i % 4] +
            "\r\nsize=" + sizes[i % 5] + "\r\ndesc=" + name.toLocal8Bit() +
            " is a cartridge from the shelf; plays well, the save battery was "
            "replaced in the spring.\r\n";
        writeBytes(folder + QStringLiteral("/bin/") + name + QStringLiteral(".lib"), record);
    }
    return cat;
}

bool makeRom(const QString& path, qint64 bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    QRandomGenerator random(64);
    for (qint64 done = 0; done < bytes; done += block.size()) {
        random.fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
        const qint64 size = std::min<qint64>(block.size(), bytes - done);
        if (file.write(block.constData(), size) != size)
            return false;
    }
    return true;
}

bool makePicture(const QString& path)
{
    QImage image(320, 224, QImage::Format_RGB32);
    image.fill(QColor(20, 40, 120));
    QPainter painter(&image);
    for (int i = 0; i < 12; ++i) {
        painter.setBrush(QColor::fromHsv(i * 30, 200, 230));
        painter.drawEllipse(QPoint(20 + i * 25, 60 + (i % 4) * 30), 30, 20);
    }
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("BOX ART"));
    painter.end();
    return image.save(path, "PNG");
}

} // namespace vxbench
