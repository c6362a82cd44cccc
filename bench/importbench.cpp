#include "bench/importbench.h"

#include "core/appfolder.h"
#include "core/romimport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace vx::bench
{

namespace
{

constexpr double kTarget = 2.0;
constexpr qint64 kImageBytes = 8 << 20;

QByteArray header(int n)
{
    QByteArray bytes = QByteArray::fromHex("80371240") + QByteArray(0x1C, '\x0F');
    bytes += QByteArray("GAME ") + QByteArray::number(n);
    return bytes.leftJustified(0x3E, '\0') + "E\x01";
}

bool makeImages(const QString& folder, int count)
{
    QDir().mkpath(folder);
    for (int n = 0; n < count; ++n) {
        QFile file(folder + QStringLiteral("/Game %1 (USA).z64").arg(n, 5, 10, QLatin1Char('0')));
        // Sparse: only the header is data.
        if (!file.open(QIODevice::WriteOnly) || file.write(header(n)) != 64 ||
            !file.resize(kImageBytes))
            return false;
    }
    return true;
}

bool makeCatalogue(const QString& folder)
{
    QDir(folder).removeRecursively();
    QDir().mkpath(folder + QStringLiteral("/bin"));
    QFile settings(folder + QStringLiteral("/vx.log"));
    QFile index(folder + QStringLiteral("/bin/bootlist.lst"));
    return settings.open(QIODevice::WriteOnly) && settings.write("[info]\r\nruns=1\r\n") > 0 &&
           index.open(QIODevice::WriteOnly) && index.write("\r\n") == 2;
}

double ours(const QString& images, const QString& catalogue, int count)
{
    setAppFolder(catalogue);
    QElapsedTimer timer;
    timer.start();
    romimport::Progress reading;
    const romimport::Found found = romimport::readFiles(
        romimport::filesToRead({images}, [] { return false; }), {QStringLiteral("png")}, reading);
    romimport::Progress writing;
    const romimport::Result result = romimport::writeGames(found.games, writing, {});
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    return result.added == count ? ms : -1;
}

double floor(const QString& images, const QString& catalogue)
{
    QElapsedTimer timer;
    timer.start();
    const QDir dir(images);
    for (const QString& name : dir.entryList(QDir::Files)) {
        QFile image(dir.filePath(name));
        if (!image.open(QIODevice::ReadOnly) || image.read(64).size() != 64)
            return -1;
        const QString game = name.chopped(4);
        QSaveFile record(catalogue + QStringLiteral("/bin/") + game + QStringLiteral(".lib"));
        const QByteArray bytes = "[paths]\r\nfile=" + image.fileName().toUtf8() +
                                 "\r\nimage=\r\n[info]\r\ngamename=" + game.toUtf8() +
                                 "\r\ngametype=US\r\nsize=64\r\ndesc=\r\n";
        if (!record.open(QIODevice::WriteOnly) || record.write(bytes) != bytes.size() ||
            !record.commit())
            return -1;
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

} // namespace

int importBench(const QString& work, int count, int runs, bool check)
{
    const QString images = work + QStringLiteral("/import-roms");
    const QString catalogue = work + QStringLiteral("/import-catalogue");
    if (!makeImages(images, count)) {
        std::fprintf(stderr, "cannot write the images\n");
        return 2;
    }
    std::vector<double> ourTimes;
    std::vector<double> floorTimes;
    for (int run = 0; run < runs; ++run) {
        // Taking turns at going first.
        for (int turn = 0; turn < 2; ++turn) {
            if (!makeCatalogue(catalogue))
                return 2;
            const bool oursNow = (run + turn) % 2 == 0;
            const double ms = oursNow ? ours(images, catalogue, count) : floor(images, catalogue);
            if (ms < 0) {
                std::fprintf(stderr, "the import did not add every image\n");
                return 2;
            }
            (oursNow ? ourTimes : floorTimes).push_back(ms);
        }
    }
    const double mine = median(ourTimes);
    const double base = median(floorTimes);
    const double ratio = base > 0 ? mine / base : 0;
    const bool met = ratio <= kTarget;
    std::printf("import of %d sparse images: ours %.1f ms, floor %.1f ms, ratio %.2f (target <= "
                "%.1f) %s\n",
                count, mine, base, ratio, kTarget, met ? "met" : "MISSED");
    return check && !met ? 1 : 0;
}

} // namespace vx::bench
